#include "devicesession.h"

#include "fenkprotocol.h"
#include "lhframe.h"
#include "raxoprotocol.h"
#include "recvboxdataproc.h"
#include "recvdataproc.h"
#include "recvdataproc2.h"
#include "recvdataproc3.h"
#include "refreshpace.h"
#include "sensorreceiver.h"
#include "tracelog.h"

#include <QCoreApplication>

DeviceSession::DeviceSession(QObject *parent)
    : QObject(parent),
      fenkPace_(new RefreshPace(this)),
      raxoPace_(new RefreshPace(this)),
      raxoAlgPace_(new RefreshPace(this)),
      vimoPace_(new RefreshPace(this))
{
    register_point_meta_types();
    register_zone_meta_types();
    readerWiring();
}

DeviceSession::~DeviceSession()
{
    // A running QThread must not be destroyed: the receiver is stopped and waited for.
    stop();
    delete fenkPace_;
    delete raxoPace_;
    delete raxoAlgPace_;
    delete vimoPace_;
}

template <typename Receiver> Receiver *DeviceSession::receiverAs() const
{
    return qobject_cast<Receiver *>(receiver_.data());
}

// ---- the receiver ----

template <typename Receiver, typename... Args, typename... OwnArgs>
void DeviceSession::forward(Receiver *r, void (Receiver::*signal)(Args...), void (DeviceSession::*own)(OwnArgs...))
{
    // A stopped receiver is deleted only after everything it posted before it ended has been
    // delivered, so its address is never a later receiver's while its posts are still queued.
    connect(r, signal, this, [this, r, own](Args... args) {
        if (r == receiver_.data())
            (this->*own)(args...);
    });
}

bool DeviceSession::start(uint8_t model, const SessionTarget &target)
{
    const DeviceModel &m = device_model(model);
    if (m.makeReceiver == nullptr)
        return false;
    SensorReceiver *r = m.makeReceiver(model, target);
    receiver_ = r;
    model_ = model;
    connect(r, &QThread::finished, r, &QObject::deleteLater);
    connect(r, &SensorReceiver::sig_data, this,
            [this, r](int type, QByteArray data) { onMessage(r, type, data); });
    forward(r, &SensorReceiver::sig_framedata, &DeviceSession::frame);
    if (m.zones)
        forward(r, &SensorReceiver::sig_zoneData, &DeviceSession::zonesRead);
    if (auto *raxo = qobject_cast<RecvDataProc2 *>(r)) {
        forward(raxo, &RecvDataProc2::sig_framedata_2D, &DeviceSession::frame2D);
        forward(raxo, &RecvDataProc2::sig_compensate, &DeviceSession::heightFitted);
        forward(raxo, &RecvDataProc2::sig_debug_show, &DeviceSession::debugImage);
        if (m.objectModels)
            forward(raxo, &RecvDataProc2::sig_modelData, &DeviceSession::modelFileRead);
    }
    if (auto *box = qobject_cast<RecvBoxDataProc *>(r)) {
        forward(box, &RecvBoxDataProc::sig_progress, &DeviceSession::progress);
        forward(box, &RecvBoxDataProc::sig_uploadtype, &DeviceSession::uploadTypeReported);
        forward(box, &RecvBoxDataProc::sig_cacheclean, &DeviceSession::cacheCleaned);
    }
    r->start();
    return true;
}

void DeviceSession::stop()
{
    // Forgotten first: whatever runs during the wait below sees no receiver.
    QPointer<SensorReceiver> r(receiver_);
    const bool repeat = device_model(model_).repeatStop;
    receiver_ = nullptr;
    model_ = LIDAR_UNKNOWN;
    if (r != nullptr) {
        r->stop();
        // Its last messages are delivered meanwhile; the user's clicks are not, so no session
        // starts inside the wait.
        while (r != nullptr && !r->wait(10)) {
            if (repeat)
                r->stop();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    }
    notes_.clear();
    algQueriesAsked_ = 0;
    // A reply waiting to refresh a page belongs to the session that has ended.
    for (RefreshPace *pace : {fenkPace_, raxoPace_, raxoAlgPace_, vimoPace_})
        pace->cancel();
}

void DeviceSession::onMessage(const SensorReceiver *from, int type, const QByteArray &data)
{
    // The log lines of a stopped receiver are still true; nothing else of it may act.
    if (from != receiver_.data()) {
        if (msg_is_log_line(type))
            emit message(type, data);
        return;
    }
    switch (type) {
    case MSG_RECV_STARTED:
        queryParameters();
        emit started();
        break;
    case MSG_CMD_INFO:
        readReply(data, model_);
        break;
    case MSG_VIMO_PARAM:
        readVimoParameters(data, model_);
        break;
    default:
        emit message(type, data);
        break;
    }
}

// ---- commands ----

void DeviceSession::query(int model)
{
    const DeviceModel &m = device_model(model);
    // Only the session's receiver can ask, and only its own family's questions.
    if (m.startQueries == nullptr || receiver_ == nullptr || !same_receiver(model, model_))
        return;
    for (const QByteArray &frame : m.startQueries(uint8_t(model)))
        if (receiver_->SendCmd(frame.constData(), frame.size()))
            noteSent(frame);
}

bool DeviceSession::send(const QByteArray &frame, const QString &note, int lidartype)
{
    const bool sent = receiver_ != nullptr && same_receiver(lidartype, model_) &&
                      receiver_->SendCmd(frame.constData(), frame.size());
    // Notes pair with replies oldest first: a note for a command no device will answer would
    // be taken by the reply of the next one.
    if (!sent) {
        QV_TRACE() << "command dropped for model" << lidartype << note;
        return false;
    }
    noteSent(frame);
    if (!note.isEmpty())
        notes_.append({note, device_set_code(device_model(lidartype), frame)});
    return true;
}

bool DeviceSession::upload(const QString &path, int lidartype, int code)
{
    return receiver_ != nullptr && same_receiver(lidartype, model_) && receiver_->FileUpdate(path, code);
}

void DeviceSession::noteSent(const QByteArray &frame)
{
    const auto *p = reinterpret_cast<const uint8_t *>(frame.constData());
    if (device_model(model_).replies == ReplyFormat::RaxoSum && frame.size() >= int(LH_SUM_OVERHEAD) &&
        rd_u16(p) == LH_MAGIC && rd_u16(p + LH_SUM_TYPE_AT) == RAXO_GET_ALG_PARAM)
        ++algQueriesAsked_;
}

// ---- replies ----

QString DeviceSession::takeNote()
{
    return notes_.isEmpty() ? QString() : notes_.takeFirst().note;
}

void DeviceSession::readReply(const QByteArray &reply, uint8_t shownModel)
{
    readingModel_ = shownModel;
    switch (device_model(shownModel).replies) {
    case ReplyFormat::FenkSum:
        fenk_.read(reply);
        break;
    case ReplyFormat::RaxoSum:
        raxo_.read(reply);
        break;
    case ReplyFormat::VimoText:
    case ReplyFormat::BoxText:
        text_.read(reply);
        break;
    case ReplyFormat::None:
        break; // no session
    }
}

void DeviceSession::readVimoParameters(const QByteArray &record, uint8_t shownModel)
{
    if (device_model(shownModel).replies == ReplyFormat::VimoText)
        text_.readParameters(record);
}

void DeviceSession::confirmSetting(uint32_t result, const QString &title)
{
    if (notes_.isEmpty()) {
        emit warning(tr("error"), tr("Multiple simultaneous connections to the host computer exist!"));
        return;
    }
    const PendingCommand sent = notes_.first();
    if (result != 0) {
        emit logLine(title, tr("%1 SET NG  code:%2").arg(sent.note).arg(result));
        notes_.removeFirst();
        return;
    }
    emit logLine(title, tr("%1 SET OK").arg(sent.note));
    // What follows an accepted setting depends on what was set, not on how its note reads.
    const DeviceModel &model = device_model(readingModel_);
    if (sent.key >= 0 && sent.key == model.dataTypeSetCode) {
        query(readingModel_);
        notes_.removeFirst();
    } else if (sent.key >= 0 && sent.key == model.addressSetCode) {
        // The sensor moves to its new address: the session cannot go on. Its stop removes
        // every note.
        emit mustEnd();
    } else {
        notes_.removeFirst();
    }
}

void DeviceSession::readerWiring()
{
    const QString info = tr("Info");
    connect(&fenk_, &FenkReplyReader::parameters, this, [this](QByteArray body, uint16_t mask) {
        fenkPace_->offer([this, body, mask] {
            emit fenkParameters(body);
            emit dataTypeMask(mask);
            if (auto *fenk = receiverAs<RecvDataProc>())
                fenk->SetDataType(mask);
        });
        emit logLine(msg_type_text(MSG_CMD_INFO), tr("get lidar parameters  OK"));
    });
    connect(&fenk_, &FenkReplyReader::setResult, this,
            [this](uint32_t result) { confirmSetting(result, msg_type_text(MSG_CMD_INFO)); });

    connect(&raxo_, &RaxoReplyReader::calibrated, this, [this, info] {
        emit logLine(info, tr("IMU calibrate  OK"));
        takeNote();
    });
    connect(&raxo_, &RaxoReplyReader::parameters, this, [this, info](QByteArray body) {
        raxoPace_->offer([this, body] { emit raxoParameters(body); });
        emit logLine(info, tr("get lidar parameters  OK"));
    });
    connect(&raxo_, &RaxoReplyReader::setResult, this, [this, info](uint32_t result) { confirmSetting(result, info); });
    connect(&raxo_, &RaxoReplyReader::runState, this, [this, info](uint8_t state) {
        if (state == 0)
            QV_TRACE_LIMITED() << "set run ok";
        if (!notes_.isEmpty())
            emit logLine(info, tr("%1 SET OK").arg(takeNote()));
    });
    connect(&raxo_, &RaxoReplyReader::algorithm, this, [this, info](QByteArray body) {
        raxoAlgPace_->offer([this, body] { emit raxoAlgorithm(body); });
        // The models are read back once per query: a device repeating its answer (or anyone
        // sending with its address) would keep the receiver downloading.
        if (algQueriesAsked_ > 0) {
            --algQueriesAsked_;
            if (auto *raxo = receiverAs<RecvDataProc2>())
                raxo->PushCmd(RecvDataProc2::WORK_MODEL_READ);
        }
        if (!notes_.isEmpty())
            emit logLine(info, tr("%1 SET OK").arg(takeNote()));
    });
    connect(&raxo_, &RaxoReplyReader::networkErrors, this, [this, info](uint32_t stamp, uint32_t count) {
        if (!notes_.isEmpty())
            emit logLine(info, tr("%1 GET OK,timestamp:%2 count:%3").arg(takeNote()).arg(stamp).arg(count));
    });

    // Text replies are logged only while a note waits for them.
    connect(&text_, &TextReplyReader::text, this, [this, info](QString text) {
        if (notes_.isEmpty())
            return;
        const QString note = takeNote();
        float mcu = 0.0f;
        if (!TextReplyReader::mcuTemperature(text, &mcu)) {
            emit logLine(info, tr("%1 SET %2").arg(note, text));
            return;
        }
        // Before any connection dialog there is no heartbeat to read the motor from.
        const float motor = motorTemperature_ ? motorTemperature_() : -1.0f;
        emit logLine(info, tr("mcu temperature:%1 motor temperature:%2")
                               .arg(QString::number(mcu, 'g', 6), QString::number(motor, 'g', 6)));
    });
    connect(&text_, &TextReplyReader::parameters, this, [this, info](QByteArray record) {
        vimoPace_->offer([this, record] { emit vimoParameters(record); });
        if (!notes_.isEmpty())
            emit logLine(info, tr("%1 SET OK").arg(takeNote()));
    });
}

// ---- a family's own settings ----

void DeviceSession::setShowObjects(bool on)
{
    if (auto *box = receiverAs<RecvBoxDataProc>())
        box->SetShowObjects(on);
}

void DeviceSession::ignoreErrors(int seconds)
{
    if (auto *vimo = receiverAs<RecvDataProc3>())
        vimo->IgnoreErr(seconds);
}

void DeviceSession::setShowMode(int mode)
{
    if (auto *raxo = receiverAs<RecvDataProc2>())
        raxo->SetShowMode(mode);
}

void DeviceSession::setMountingHeight(float height)
{
    if (auto *raxo = receiverAs<RecvDataProc2>())
        raxo->SetMountingHeight(height);
}

void DeviceSession::resetCompensation()
{
    if (auto *raxo = receiverAs<RecvDataProc2>())
        raxo->ResetCompensate();
}

bool DeviceSession::setVoxelFilter(bool on, float unitSize, int minNum)
{
    auto *raxo = receiverAs<RecvDataProc2>();
    if (raxo == nullptr)
        return false;
    raxo->SetVoxelFilter(on, unitSize, minNum);
    return true;
}

bool DeviceSession::hasVoxelFilter() const
{
    return receiverAs<RecvDataProc2>() != nullptr;
}

void DeviceSession::zoneCommand(int flag, zones data)
{
    if (receiver_ != nullptr && device_model(model_).zones)
        receiver_->recv_zoneCmd(flag, data);
}
