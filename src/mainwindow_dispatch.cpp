// The message dispatcher and the message log of the main window: every sig_data of the
// program arrives in recv_data; command replies go on to the session, which reads them.

#include "mainwindow.h"

#include "algorithmbox.h"
#include "component_logoperate.h"
#include "dialog_alldata.h"
#include "dialog_connect.h"
#include "dialog_objecttrack.h"
#include "dialog_parsedata.h"
#include "devicesession.h"
#include "heartbeat.h"
#include "memoryhints.h"
#include "messagelog.h"
#include "modellayout.h"
#include "page_admin.h"
#include "page_drawzone.h"
#include "page_raxo_e.h"
#include "playbackproc.h"
#include "pointcloudui.h"
#include "tracelog.h"
#include "ui_mainwindow.h"

#include <cstring>

namespace {

const uint8_t *bytesOf(const QByteArray &a)
{
    return reinterpret_cast<const uint8_t *>(a.constData());
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
        session_->readVimoParameters(info, currentModel);
        break;
    case MSG_RECV_STARTED:
        // The session's model, not whatever a frame or a playback has made the current one.
        updateVoxelActions();
        session_->queryParameters();
        break;
    case MSG_ZONE_MONITOR:
        recvZoneMonitor(info);
        break;
    case MSG_CMD_INFO:
        session_->readReply(info, currentModel);
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
    if (model_layout(currentModel).alarmWords) {
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
    session_->stop();
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
