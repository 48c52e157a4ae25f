// The message dispatcher and the message log of the main window: every sig_data of the
// program arrives in recv_data.

#include "mainwindow.h"

#include "algorithmbox.h"
#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_connect.h"
#include "dialog_objecttrack.h"
#include "dialog_parsedata.h"
#include "heartbeat.h"
#include "fenkprotocol.h"
#include "lhframe.h"
#include "memoryhints.h"
#include "messagelog.h"
#include "refreshpace.h"
#include "raxoprotocol.h"
#include "messagebox.h"
#include "page_admin.h"
#include "page_drawzone.h"
#include "page_hoby_u.h"
#include "page_raxo_e.h"
#include "page_vimo_e.h"
#include "playbackproc.h"
#include "pointcloudanomalydetector.h"
#include "pointcloudui.h"
#include "recvboxdataproc.h"
#include "recvdataproc.h"
#include "recvdataproc2.h"
#include "recvdataproc3.h"
#include "sensorreceiver.h"
#include "tracelog.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr int kTypeOffset = int(LH_SUM_TYPE_AT);

const uint8_t *bytesOf(const QByteArray &a)
{
    return reinterpret_cast<const uint8_t *>(a.constData());
}

// True when the reply holds `needed` bytes; a shorter one is traced and ignored.
bool holds(const QByteArray &info, int needed, const char *what)
{
    if (info.size() >= needed)
        return true;
    QV_TRACE_LIMITED() << "reply too short for" << what << ":" << info.size() << "bytes, need" << needed;
    return false;
}

// The payload of a reply frame as its length field gives it, capped at what arrived: the sum
// byte after it is no field (read as one, a body a byte short would pass for a whole record).
std::pair<const uint8_t *, size_t> sumBody(const QByteArray &info)
{
    const uint8_t *p = bytesOf(info);
    if (info.size() < int(LH_SUM_HEADER))
        return {p, 0};
    const size_t held = info.size() > int(LH_SUM_OVERHEAD) ? size_t(info.size()) - LH_SUM_OVERHEAD : 0;
    return {p + LH_SUM_HEADER, std::min<size_t>(rd_u32(p + LH_SUM_LENGTH_AT), held)};
}

} // namespace

void MainWindow::recv_data(int type, QByteArray info)
{
    if (msg_is_log_line(type)) {
        queueLog(type, info);
        return;
    }
    switch (type) {
    case MSG_VIMO_PARAM:
        recvVimoParam(info);
        break;
    case MSG_RECV_STARTED:
        // Only the session's own receiver gets here (connectSession): its model, not whatever
        // a frame or a playback has made the current one since.
        updateVoxelActions();
        queryLidarParam(sessionModel);
        break;
    case MSG_ZONE_MONITOR:
        recvZoneMonitor(info);
        break;
    case MSG_CMD_INFO:
        recvCommandReply(info);
        break;
    case MSG_HEARTBEAT:
        recvHeartbeat(info);
        break;
    case MSG_LIDAR_TYPE:
        recvLidarType(info);
        break;
    case MSG_STOP:
        stopAll();
        break;
    case MSG_BOX_HEARTBEAT:
        recvBoxHeartbeat(info);
        break;
    default:
        break; // 11, 13, 14, 15, 19 and anything outside 1 to 22
    }
}

// ---- the message log ----

void MainWindow::queueLog(int type, const QByteArray &info)
{
    messageLog->queue(msg_type_text(type), QString::fromLocal8Bit(info));
    redrawFlag = true;
}

void MainWindow::flushLogQueue()
{
    messageLog->flush();
}

void MainWindow::logNetworkWarning(const QString &title, const QString &text, int repeats)
{
    if (repeats == 0)
        appendLog(title, text);
    else
        appendLog(title, tr("%1 (came %2 more times while it was shown)").arg(text).arg(repeats));
}

void MainWindow::appendLog(const QString &title, const QString &text)
{
    messageLog->append(title, text);
}

// ---- command replies ----

QString MainWindow::takeNote()
{
    return pendingNotes.isEmpty() ? QString() : pendingNotes.takeFirst().note;
}

void MainWindow::recvCommandReply(const QByteArray &info)
{
    switch (device_model(currentModel).replies) {
    case ReplyFormat::FenkSum:
        recvFenkReply(info);
        break;
    case ReplyFormat::RaxoSum:
        recvRaxoReply(info);
        break;
    case ReplyFormat::Text:
        recvTextReply(info);
        break;
    case ReplyFormat::None:
        break; // no session
    }
}

void MainWindow::confirmSetting(const QByteArray &info, const QString &title)
{
    // Both families put the u32 result at the same place.
    static_assert(FENK_REPLY_RESULT_AT == RAXO_REPLY_RESULT_AT, "one result offset");
    if (!holds(info, int(RAXO_REPLY_RESULT_AT) + 4, "the set result"))
        return;
    if (pendingNotes.isEmpty()) {
        show_network_warning(nullptr, tr("error"),
                             tr("Multiple simultaneous connections to the host computer exist!"));
        return;
    }
    const PendingCommand sent = pendingNotes.first();
    const QString &note = sent.note;
    const uint32_t result = rd_u32(bytesOf(info) + RAXO_REPLY_RESULT_AT);
    if (result != 0) {
        appendLog(title, tr("%1 SET NG  code:%2").arg(note).arg(result));
        pendingNotes.removeFirst();
        return;
    }
    appendLog(title, tr("%1 SET OK").arg(note));
    // What follows an accepted setting depends on what was set, not on how its note reads.
    const DeviceModel &model = device_model(currentModel);
    if (sent.key >= 0 && sent.key == model.dataTypeSetCode) {
        queryLidarParam(currentModel);
        pendingNotes.removeFirst();
    } else if (sent.key >= 0 && sent.key == model.addressSetCode) {
        // The sensor moves to its new address: the session cannot go on. The stop removes
        // every note.
        recv_data(MSG_STOP, QByteArray());
    } else {
        pendingNotes.removeFirst();
    }
}

void MainWindow::recvFenkReply(const QByteArray &info)
{
    if (!holds(info, kTypeOffset + 2, "the frame type"))
        return;
    const QString title = msg_type_text(MSG_CMD_INFO);
    switch (rd_u16(bytesOf(info) + kTypeOffset)) {
    case FENK_REPLY_PARAM:
        if (!holds(info, int(FENK_REPLY_DATA_TYPE_AT) + 2, "the data-type mask"))
            return;
        fenkParamPace->offer(info);
        appendLog(title, tr("get lidar parameters  OK"));
        break;
    case FENK_REPLY_SET:
        confirmSetting(info, title);
        break;
    default:
        break;
    }
}

void MainWindow::recvRaxoReply(const QByteArray &info)
{
    if (!holds(info, kTypeOffset + 2, "the frame type"))
        return;
    const QString title = tr("Info");
    const uint8_t *p = bytesOf(info);
    switch (rd_u16(p + kTypeOffset)) {
    case RAXO_REPLY_CALIBRATED:
        appendLog(title, tr("IMU calibrate  OK"));
        takeNote();
        break;
    case RAXO_REPLY_PARAM:
        if (!holds(info, LH_SUM_HEADER, "the parameter body"))
            return;
        raxoParamPace->offer(info);
        appendLog(title, tr("get lidar parameters  OK"));
        break;
    case RAXO_REPLY_SET:
        confirmSetting(info, title);
        break;
    case RAXO_REPLY_RUN:
        if (!holds(info, LH_SUM_HEADER + 1, "the run state"))
            return;
        if (p[LH_SUM_HEADER] == 0)
            QV_TRACE_LIMITED() << "set run ok";
        if (!pendingNotes.isEmpty())
            appendLog(title, tr("%1 SET OK").arg(takeNote()));
        break;
    case RAXO_REPLY_ALG_PARAM:
        if (!holds(info, LH_SUM_HEADER, "the algorithm body"))
            return;
        raxoAlgPace->offer(info);
        // The models are read back once per query: a device repeating its answer (or anyone
        // sending with its address) would keep the receiver downloading.
        if (algQueriesAsked > 0) {
            --algQueriesAsked;
            if (auto *raxo = sessionAs<RecvDataProc2>())
                raxo->PushCmd(RecvDataProc2::WORK_MODEL_READ);
        }
        if (!pendingNotes.isEmpty())
            appendLog(title, tr("%1 SET OK").arg(takeNote()));
        break;
    case RAXO_REPLY_NET_ERROR:
        if (!holds(info, int(RAXO_REPLY_COUNTER_AT) + 4, "the error counters"))
            return;
        if (!pendingNotes.isEmpty())
            appendLog(title, tr("%1 GET OK,timestamp:%2 count:%3")
                                 .arg(takeNote())
                                 .arg(rd_u32(p + RAXO_REPLY_RESULT_AT))
                                 .arg(rd_u32(p + RAXO_REPLY_COUNTER_AT)));
        break;
    default:
        break;
    }
}

void MainWindow::recvTextReply(const QByteArray &info)
{
    if (pendingNotes.isEmpty())
        return;
    const QString note = takeNote();
    const int end = info.indexOf('\0');
    const QString text = QString::fromLocal8Bit(end < 0 ? info : info.left(end));
    const QString title = tr("Info");
    const int at = text.indexOf("CPUTmp");
    if (at < 0) {
        appendLog(title, tr("%1 SET %2").arg(note, text));
        return;
    }
    // "CPUTmp", one separator, then the MCU temperature in tenths up to the next ",".
    const QString from = text.mid(at);
    QString value = from.mid(7);
    const int comma = value.indexOf(',');
    if (comma >= 0)
        value = value.left(comma);
    const float mcu = value.toFloat() / 10.0f; // not a number: 0
    // Before any connection dialog there is no heartbeat to read the motor from: the dialog's
    // own starting value.
    const float motor = dialogConnect != nullptr ? dialogConnect->motortemp : -1.0f;
    QV_TRACE_LIMITED() << from << from.size() << value;
    appendLog(title, tr("mcu temperature:%1 motor temperature:%2")
                         .arg(QString::number(mcu, 'g', 6), QString::number(motor, 'g', 6)));
}

void MainWindow::makeReplyPaces()
{
    fenkParamPace = new RefreshPace(this, [this](const QByteArray &info) { applyFenkParam(info); });
    raxoParamPace = new RefreshPace(this, [this](const QByteArray &info) { applyRaxoParam(info); });
    raxoAlgPace = new RefreshPace(this, [this](const QByteArray &info) { applyRaxoAlgParam(info); });
    vimoParamPace = new RefreshPace(this, [this](const QByteArray &info) { applyVimoParam(info); });
}

void MainWindow::applyFenkParam(const QByteArray &info)
{
    const auto b = sumBody(info);
    ui->page_fenku->setInfo(reinterpret_cast<const char *>(b.first), int(b.second));
    const uint16_t mask = rd_u16(bytesOf(info) + FENK_REPLY_DATA_TYPE_AT);
    ui->page_spandata->setDataType(mask);
    if (auto *fenk = sessionAs<RecvDataProc>())
        fenk->SetDataType(mask);
}

void MainWindow::applyRaxoParam(const QByteArray &info)
{
    const auto b = sumBody(info);
    ui->page_raxo_e->setInfo(b.first, b.second);
}

void MainWindow::applyRaxoAlgParam(const QByteArray &info)
{
    const auto b = sumBody(info);
    ui->page_raxo_e->setAlgInfo(b.first, b.second);
}

void MainWindow::noteSent(const QByteArray &frame)
{
    const auto *p = bytesOf(frame);
    if (device_model(sessionModel).replies == ReplyFormat::RaxoSum && frame.size() >= int(LH_SUM_OVERHEAD) &&
        rd_u16(p) == LH_MAGIC && rd_u16(p + kTypeOffset) == RAXO_GET_ALG_PARAM)
        ++algQueriesAsked;
}

void MainWindow::applyVimoParam(const QByteArray &info)
{
    VimoLidarInfo decoded;
    if (vimo_lidar_info_decode(bytesOf(info), size_t(info.size()), &decoded))
        ui->page_vimo_e->setInfo(decoded);
}

void MainWindow::recvVimoParam(const QByteArray &info)
{
    VimoLidarInfo decoded;
    if (currentModel != LIDAR_VIMO_E || size_t(info.size()) != VIMO_PARAM_SIZE ||
        !vimo_lidar_info_decode(bytesOf(info), size_t(info.size()), &decoded))
        return;
    vimoParamPace->offer(info);
    if (!pendingNotes.isEmpty())
        appendLog(tr("Info"), tr("%1 SET OK").arg(takeNote()));
}

// ---- zone monitor, heartbeats, playback model ----

void MainWindow::recvZoneMonitor(const QByteArray &info)
{
    if (size_t(info.size()) == OBJECT_LIST_MSG_SIZE) {
        if (!object_list_decode(bytesOf(info), size_t(info.size()), &trackedObjects))
            return;
        ui->page_2d->setObjects(showObjects, trackedObjects);
        if (objectTable != nullptr && !objectTable->isHidden()) {
            ObjectListMsg msg;
            std::memcpy(&msg, info.constData(), sizeof msg);
            objectTable->setObjModels(objectModels);
            objectTable->setObjectList(&msg);
        }
        scene_->updateMarkers(trackedObjects, showObjects && showMarkers);
        return;
    }
    ZoneAlarmMsg alarm;
    if (!zone_alarm_decode(bytesOf(info), size_t(info.size()), &alarm))
        return; // other sizes, and zones no view can show
    ui->page_raxo_e->getDrawZone()->setChangeZone(alarm.zone_id);
    QString text;
    if (currentModel == LIDAR_RAXO_S) {
        const uint32_t flags = alarm.alarm_flags;
        if (flags & ZONE_FLAG_OBSERVE)
            text += tr("Observe");
        if (flags & ZONE_FLAG_WARNING)
            text += tr("Warning");
        if (flags & ZONE_FLAG_ALARM)
            text += tr("Alarm");
    }
    ui->page_2d->setAlarm(alarm.zone_id, text);
}

void MainWindow::recvHeartbeat(const QByteArray &info)
{
    connectDialog()->recv_heartbeat(info);
}

void MainWindow::recvBoxHeartbeat(const QByteArray &info)
{
    if (algorithmBox == nullptr)
        return;
    BoxHeartbeat hb;
    if (!box_heartbeat_decode(bytesOf(info), size_t(info.size()), &hb))
        return;
    algorithmBox->setBoxInfo(hb);
}

void MainWindow::recvLidarType(const QByteArray &info)
{
    const int n = QString::fromLocal8Bit(info).toInt();
    appendLog(msg_type_text(MSG_LIDAR_TYPE), tr("lidar type:%1").arg(lidar_type_name(n)));
    currentModel = uint8_t(n);
    ui->page_spandata->setLidarType(uint8_t(n));
    scene_->setFramesKept(device_model(n).framesKept);
}

// ---- the stop message ----

void MainWindow::stopReceiver(bool repeatStop)
{
    // Forget it first: whatever runs during the wait below sees no receiver.
    QPointer<SensorReceiver> r(sessionReceiver);
    sessionReceiver = nullptr;
    if (r == nullptr)
        return;
    r->stop();
    // Its last messages are delivered meanwhile; the user's clicks are not, so no session
    // starts inside the wait.
    while (r != nullptr && !r->wait(10)) {
        if (repeatStop)
            r->stop();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void MainWindow::stopAll()
{
    if (stopping) {
        QV_TRACE() << "stop message while stopping: ignored";
        return;
    }
    stopping = true;
    debugView.hide();
    // Whatever the playback worker is reading now is left: it stops, and what it has posted
    // already is dropped on arrival.
    playback->abandon();
    ++playbackAbandons;
    stopReceiver(device_model(sessionModel).repeatStop);
    sessionModel = LIDAR_UNKNOWN;
    pendingNotes.clear();
    algQueriesAsked = 0;
    // A reply waiting to refresh a page belongs to the session that has ended.
    for (RefreshPace *pace : {fenkParamPace, raxoParamPace, raxoAlgPace, vimoParamPace})
        pace->cancel();
    // The free-text command window belongs to the session it was opened for.
    delete pageAdmin;
    pageAdmin = nullptr;
    updateVoxelActions();
    scene_->resetFrames();
    ui->page_2d->clearPoints();
    ui->page_spandata->clearData();
    frameCache.clear();
    cacheProgress = 0.0f;
    cacheIndex = 0;
    displayPaused = true;
    logOperate->setPlayState(false);
    ui->page_parse_data->setIsRun(false);
    logOperate->resetPlay();
    scene_->clearView();
    return_free_memory();
    stopping = false;
}
