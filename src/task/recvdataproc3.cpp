#include "recvdataproc3.h"

#include "checksum.h"
#include "firmware.h"
#include "lhframe.h"
#include "logmanager.h"
#include "ownerthreadtimer.h"
#include "sockethelpers.h"
#include "tracelog.h"
#include "timehelpers.h"
#include "vimopacket.h"

#include <cerrno>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>

namespace {

constexpr size_t kRecvBuffer = 4096;
// A packet carries at most (4096 - 36) / 10 points, so a frame never grows past this.
constexpr size_t kFrameCapacity = VIMO_FRAME_POINTS + (kRecvBuffer - VIMO_HEADER_SIZE) / VIMO_POINT_SIZE;

} // namespace

RecvDataProc3::RecvDataProc3(QObject *parent) : QThread(parent) {}

RecvDataProc3::~RecvDataProc3() = default;

void RecvDataProc3::init(int localPort, QString ip, int port)
{
    local_port_ = localPort;
    ip_ = ip;
    port_ = port;
}

void RecvDataProc3::setBindAddress(const QString &ip)
{
    bind_ip_ = ip;
}

void RecvDataProc3::setReportAgainDelay(int ms)
{
    report_again_ms_ = ms;
}

void RecvDataProc3::stop()
{
    running_.store(0);
}

bool RecvDataProc3::FileUpdate(QString path, int type)
{
    {
        std::lock_guard<std::mutex> lock(request_mutex_);
        update_path_ = path;
        update_type_ = uint8_t(type);
    }
    update_request_.store(1);
    return true;
}

void RecvDataProc3::IgnoreErr(int seconds)
{
    ignore_until_ms_.store(time_now_sec_ms(nullptr, true) + int64_t(seconds) * 1000);
}

bool RecvDataProc3::SendCmd(const char *cmd, int length)
{
    if (cmd == nullptr || length < 2)
        return false;
    std::lock_guard<std::mutex> lock(sock_mutex_);
    if (sock_ == INVALID_SOCK)
        return false;
    if (!lh_command_allowed(cmd, size_t(length)))
        return false;
    const QByteArray ip = ip_.toLatin1();
    const int sent = udp_send_to(sock_, ip.constData(), port_, cmd, size_t(length));
    QV_TRACE() << sock_ << ip_ << port_ << "sendto:" << length << sent;
    return true;
}

void RecvDataProc3::post(int type, const QString &text)
{
    emit sig_data(type, text.toLocal8Bit());
}

void RecvDataProc3::ParseDatagram(const uint8_t *data, size_t length)
{
    if (data == nullptr || length == 0)
        return;
    if (data[0] < 3) {
        handlePointPacket(data, length);
    } else if (length >= 2 && data[0] == 0xFA && data[1] == 0x88) {
        fa88_packets_.fetch_add(1, std::memory_order_relaxed);
    } else if (length >= 2 && data[0] == 'L' && data[1] == 'H') {
        handleReply(data, length);
    }
}

void RecvDataProc3::handlePointPacket(const uint8_t *data, size_t length)
{
    VimoPacketHeader h;
    if (!vimo_read_header(data, length, &h))
        return; // shorter than its header: nothing in it can be trusted
    point_packets_.fetch_add(1, std::memory_order_relaxed);

    const uint64_t expected = vimo_packet_length(h.count);
    if (length != expected)
        post(MSG_ERROR, tr("pointcloud packet length error:%1 %2")
                            .arg(qulonglong(length))
                            .arg(qulonglong(expected)));

    if (h.type == 1 && !motor_fault_reported_
        && time_now_sec_ms(nullptr, true) > ignore_until_ms_.load()) {
        if (h.status & VIMO_STATUS_MIRROR)
            post(MSG_ERROR, tr(" mirror :%1").arg(h.mirror));
        if (h.status & VIMO_STATUS_MOTOR) {
            post(MSG_ERROR, tr(" main motor:%1 ").arg(QString::number(h.motor / 10.0)));
            motor_fault_reported_ = true;
        }
    }

    vimo_append_points(data, length, frame_);
    if (frame_.size() >= VIMO_FRAME_POINTS) {
        emit sig_framedata(std::move(frame_), LIDAR_VIMO_E);
        frame_.clear();
        frame_.reserve(kFrameCapacity);
        if (data_ok_.load() == 0) {
            data_ok_.store(1);
            post(MSG_RUN_STATE, tr("lidar data reception is ok"));
        }
    }
}

void RecvDataProc3::handleReply(const uint8_t *data, size_t length)
{
    if (length < LH_CRC_HEADER)
        return;
    const uint16_t cmd = rd_u16(data + 2);
    const uint64_t payload = rd_u16(data + 6);
    if (cmd == LH_PARAM_REPLY) {
        // The CRC sits right after the payload; a length field that points past the datagram
        // means a broken frame, dropped before anything is read from there.
        if (payload + LH_CRC_OVERHEAD > length)
            return;
        const uint32_t crc = crc32_words(data, length / 4 - 1);
        if (crc != rd_u32(data + LH_CRC_HEADER + payload))
            return;
        emit sig_data(MSG_VIMO_PARAM,
                      QByteArray(reinterpret_cast<const char *>(data + LH_CRC_HEADER), int(payload)));
        if (cmd_ok_.load() == 0) {
            cmd_ok_.store(1);
            post(MSG_RUN_STATE, tr("lidar cmd reception is ok"));
        }
    } else if (cmd == LH_TEXT_REPLY || cmd == LH_TEXT_REPLY2) {
        if (payload + LH_CRC_HEADER > length)
            return;
        emit sig_data(MSG_CMD_INFO,
                      QByteArray(reinterpret_cast<const char *>(data + LH_CRC_HEADER), int(payload)));
    }
}

void RecvDataProc3::clearReceptionFlags()
{
    data_ok_.store(0);
    cmd_ok_.store(0);
}

void RecvDataProc3::runFirmwareRequest()
{
    QString path;
    int type;
    {
        std::lock_guard<std::mutex> lock(request_mutex_);
        path = update_path_;
        type = update_type_;
    }
    if (UpdateFirmware(ip_, port_, path)) {
        post(type, tr("update OK"));
        if (type == MSG_FW_MOTOR || type == MSG_FW_MCU) {
            // After the sensor restarts, reception is reported again.
            start_timer_on_owner_thread(this, report_again_ms_, [this] { clearReceptionFlags(); });
        }
    } else {
        post(MSG_FW_MOTOR, tr("update NG:%1").arg(QString()));
    }
    update_request_.store(0);
}

void RecvDataProc3::run()
{
    running_.store(1);
    const QByteArray bind = bind_ip_.toLatin1();
    const int s = udp_open(local_port_, false, bind.isEmpty() ? nullptr : bind.constData());
    if (s == INVALID_SOCK) {
        post(MSG_ERROR, tr("listen port open failed"));
        return;
    }
    {
        std::lock_guard<std::mutex> lock(sock_mutex_);
        sock_ = s;
    }
    emit sig_data(MSG_RECV_STARTED, QByteArray());
    QV_TRACE() << "socket" << s;

    vimo_prepare_tables();
    frame_.clear();
    frame_.reserve(kFrameCapacity);
    motor_fault_reported_ = false;

    // Datagrams are accepted only from the device's address text.
    uint32_t device = 0;
    const bool device_ok = ipv4_from_canonical_text(ip_.toLatin1().constData(), &device);

    uint8_t buf[kRecvBuffer];
    while (running_.load(std::memory_order_relaxed)) {
        sockaddr_in from{};
        socklen_t flen = sizeof(from);
        // Drain what is waiting before waiting again: a wait per datagram would cost a system
        // call for nothing while packets queue up.
        const ssize_t n = ::recvfrom(s, buf, sizeof(buf), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr *>(&from), &flen);
        if (n < 0) {
            fd_set rd;
            FD_ZERO(&rd);
            FD_SET(s, &rd);
            timeval tv{0, 100};
            const int rc = ::select(s + 1, &rd, nullptr, nullptr, &tv);
            if (rc < 0 && errno != EINTR)
                break;
        } else if (device_ok && from.sin_addr.s_addr == device) {
            log_dump_record(0, buf, size_t(n), LIDAR_VIMO_E);
            ParseDatagram(buf, size_t(n));
        }
        if (update_request_.load(std::memory_order_relaxed))
            runFirmwareRequest();
    }

    QV_TRACE() << "point packets" << point_packets_.load() << "0xFA88 packets"
               << fa88_packets_.load();
    QV_TRACE() << "thread end";
    {
        std::lock_guard<std::mutex> lock(sock_mutex_);
        udp_close(s);
        sock_ = INVALID_SOCK;
    }
    post(MSG_RUN_STATE, tr("lidar disconnect ok"));
}

void RecvDataProc3::setIapOptions(const IapOptions &options)
{
    iap_options_ = options;
}

bool RecvDataProc3::UpdateFirmware(QString ip, int port, QString path)
{
    auto report = [this](const IapEvent &e) {
        switch (e.step) {
        case IapStep::Start: post(MSG_FW_MOTOR, tr("firmware update start")); break;
        case IapStep::OpenFailed:
            post(MSG_FW_MOTOR, tr("open listen port failed:%1 ").arg(e.port));
            break;
        case IapStep::LoadFailed:
            post(MSG_FW_MOTOR, tr("Failed to load firmware upgrade file"));
            break;
        case IapStep::ImageGood: post(MSG_FW_MOTOR, tr("load firmware file ok")); break;
        case IapStep::SentErase: post(MSG_FW_MOTOR, tr("send flash erase")); break;
        case IapStep::NoAnswer:
            post(MSG_FW_MOTOR, tr("send cmd more than three times without answering"));
            break;
        case IapStep::Refused: break;
        case IapStep::ReceivedWrite: post(MSG_FW_MOTOR, tr("receive OP_WRITE_IAP")); break;
        case IapStep::Success: post(MSG_FW_MOTOR, tr("firmware file update success")); break;
        case IapStep::ReceivedErase: post(MSG_FW_MOTOR, tr("receive OP_FLASH_ERASE")); break;
        case IapStep::SentWrite: post(MSG_FW_MOTOR, tr("send OP_WRITE_IAP")); break;
        }
    };
    IapOptions options = iap_options_;
    options.bind_ip = bind_ip_.toStdString();
    const QByteArray device = ip.toLatin1();
    const std::string image = path.toStdString();

    // The exchange talks from the device's port number. When that is the port this receiver
    // already holds, a second socket cannot bind it (the receive socket has no address reuse);
    // the loop is paused for the upgrade, so its own socket carries the exchange instead.
    int own = INVALID_SOCK;
    {
        std::lock_guard<std::mutex> lock(sock_mutex_);
        own = sock_;
    }
    if (own != INVALID_SOCK && port == local_port_) {
        IapEvent start;
        start.step = IapStep::Start;
        start.port = port;
        report(start);
        return iap_run_exchange(own, device.constData(), port, image, report, options);
    }
    return iap_upgrade(device.constData(), port, image, report, options);
}
