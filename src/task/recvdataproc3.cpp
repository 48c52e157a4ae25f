#include "recvdataproc3.h"

#include "checksum.h"
#include "firmware.h"
#include "lhframe.h"
#include "logmanager.h"
#include "ownerthreadtimer.h"
#include "receivernotices.h"
#include "sockethelpers.h"
#include "tracelog.h"
#include "timehelpers.h"
#include "udpbatch.h"
#include "vimopacket.h"
#include "vimoprotocol.h"

#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

// As long as the other receivers wait: the loop is woken at once for a firmware request or the
// stop, so nothing needs it to look round sooner.
constexpr int kWaitMs = 1000;
constexpr unsigned kFirstFrame = 1; // the session's first frame: reception is ok

} // namespace

RecvDataProc3::RecvDataProc3(QObject *parent)
    : SensorReceiver(parent),
      notices_([this](int type, const QString &text) { postText(type, text); }),
      handoff_([this](FrameHandoff::Batch &b) { postFrame(b); }, kFrameCapacity, 0, 0)
{
}

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
    wake_.notify();
}

bool RecvDataProc3::FileUpdate(QString path, int type)
{
    {
        std::lock_guard<std::mutex> lock(request_mutex_);
        update_path_ = path;
        update_type_ = uint8_t(type);
    }
    update_request_.store(1);
    wake_.notify();
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

void RecvDataProc3::postText(int type, const QString &text)
{
    post(type, text.toLocal8Bit());
}

void RecvDataProc3::postReply(int type, const QByteArray &reply)
{
    if (!post(type, reply, kRepliesWaiting))
        notices_.offer(kRepliesLeftOut, MSG_WARM, replies_left_out_notice);
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
        notices_.offer(kLengthError, MSG_ERROR, [length, expected] {
            return tr("pointcloud packet length error:%1 %2").arg(qulonglong(length)).arg(qulonglong(expected));
        });

    if (h.type == 1 && !motor_fault_reported_
        && time_now_sec_ms(nullptr, true) > ignore_until_ms_.load()) {
        if (h.status & VIMO_STATUS_MIRROR) {
            const uint16_t mirror = h.mirror;
            notices_.offer(kMirror, MSG_ERROR, [mirror] { return tr(" mirror :%1").arg(mirror); });
        }
        if (h.status & VIMO_STATUS_MOTOR) {
            const double motor = h.motor / 10.0;
            notices_.offer(kMotor, MSG_ERROR, [motor] { return tr(" main motor:%1 ").arg(QString::number(motor)); });
            motor_fault_reported_ = true;
        }
    }

    vimo_append_points(data, length, frame_.frames[0]);
    if (frame_.frames[0].size() >= VIMO_FRAME_POINTS) {
        if (data_ok_.load() == 0) {
            data_ok_.store(1);
            frame_.flags = kFirstFrame;
        }
        handoff_.hand_over(frame_); // leaves an emptied buffer of the same capacity behind
    }
}

void RecvDataProc3::postFrame(FrameHandoff::Batch &b)
{
    emit sig_framedata(b.frames[0], LIDAR_VIMO_E);
    if (b.flags & kFirstFrame)
        postText(MSG_RUN_STATE, data_reception_notice());
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
        postReply(MSG_VIMO_PARAM, QByteArray(reinterpret_cast<const char *>(data + LH_CRC_HEADER), int(payload)));
        if (cmd_ok_.load() == 0) {
            cmd_ok_.store(1);
            postText(MSG_RUN_STATE, cmd_reception_notice());
        }
    } else if (cmd == LH_TEXT_REPLY || cmd == LH_TEXT_REPLY2) {
        if (payload + LH_CRC_HEADER > length)
            return;
        postReply(MSG_CMD_INFO, QByteArray(reinterpret_cast<const char *>(data + LH_CRC_HEADER), int(payload)));
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
        postText(type, tr("update OK"));
        if (type == MSG_FW_MOTOR || type == MSG_FW_MCU) {
            // After the sensor restarts, reception is reported again.
            start_timer_on_owner_thread(this, report_again_ms_, [this] { clearReceptionFlags(); });
        }
    } else {
        postText(MSG_FW_MOTOR, tr("update NG:%1").arg(QString()));
    }
    update_request_.store(0);
}

void RecvDataProc3::run()
{
    running_.store(1);
    const QByteArray bind = bind_ip_.toLatin1();
    const int s = udp_open(local_port_, false, bind.isEmpty() ? nullptr : bind.constData());
    if (s == INVALID_SOCK) {
        postText(MSG_ERROR, tr("listen port open failed"));
        return;
    }
    {
        std::lock_guard<std::mutex> lock(sock_mutex_);
        sock_ = s;
    }
    QV_TRACE() << "socket" << s;

    // Tables and frame buffers are ready before the session says it has started: while they
    // are made, datagrams wait in the socket's buffer.
    vimo_prepare_tables();
    frame_.frames[0].clear();
    frame_.flags = 0;
    motor_fault_reported_ = false;
    handoff_.start(frame_);

    post(MSG_RECV_STARTED, QByteArray());
    {
        const QString notice =
            recv_buffer_notice(udp_recv_buffer_granted(s), UDP_RECV_BUFFER, UDP_RECV_BUFFER);
        if (!notice.isEmpty())
            postText(MSG_WARM, notice);
    }

    // Datagrams are accepted only from the device's address text.
    uint32_t device = 0;
    const bool device_ok = ipv4_from_canonical_text(ip_.toLatin1().constData(), &device);

    // What is waiting is read up to 16 datagrams at a time before the loop waits again.
    UdpBatch datagrams(16, kRecvBuffer);
    while (running_.load(std::memory_order_relaxed)) {
        const int n = datagrams.receive(s);
        if (n < 0)
            break; // a broken socket would otherwise spin here until stopped
        if (n == 0) {
            pollfd fds[2] = {{s, POLLIN, 0}, {wake_.fd(), POLLIN, 0}};
            const int rc = ::poll(fds, wake_.fd() >= 0 ? 2 : 1, kWaitMs);
            if (rc < 0 && errno != EINTR)
                break;
            if (rc > 0 && (fds[1].revents & POLLIN))
                wake_.clear();
        }
        for (int i = 0; i < n; ++i) {
            if (!device_ok || datagrams.source(i) != device)
                continue; // another sender: dropped, not recorded
            log_dump_record(0, datagrams.data(i), datagrams.size(i), LIDAR_VIMO_E);
            ParseDatagram(datagrams.data(i), datagrams.size(i));
        }
        notices_.flush();
        if (update_request_.load(std::memory_order_relaxed))
            runFirmwareRequest();
    }

    handoff_.stop(); // every frame is posted before the disconnection
    notices_.flush(true);
    QV_TRACE() << "point packets" << point_packets_.load() << "0xFA88 packets"
               << fa88_packets_.load();
    QV_TRACE() << "thread end";
    {
        std::lock_guard<std::mutex> lock(sock_mutex_);
        udp_close(s);
        sock_ = INVALID_SOCK;
    }
    postText(MSG_RUN_STATE, disconnect_notice());
}

void RecvDataProc3::setIapOptions(const IapOptions &options)
{
    iap_options_ = options;
}

bool RecvDataProc3::UpdateFirmware(QString ip, int port, QString path)
{
    auto report = [this](const IapEvent &e) {
        switch (e.step) {
        case IapStep::Start: postText(MSG_FW_MOTOR, tr("firmware update start")); break;
        case IapStep::OpenFailed:
            postText(MSG_FW_MOTOR, tr("open listen port failed:%1 ").arg(e.port));
            break;
        case IapStep::LoadFailed:
            postText(MSG_FW_MOTOR, tr("Failed to load firmware upgrade file"));
            break;
        case IapStep::ImageGood: postText(MSG_FW_MOTOR, tr("load firmware file ok")); break;
        case IapStep::SentErase: postText(MSG_FW_MOTOR, tr("send flash erase")); break;
        case IapStep::NoAnswer:
            postText(MSG_FW_MOTOR, tr("send cmd more than three times without answering"));
            break;
        case IapStep::Refused: break;
        case IapStep::ReceivedWrite: postText(MSG_FW_MOTOR, tr("receive OP_WRITE_IAP")); break;
        case IapStep::Success: postText(MSG_FW_MOTOR, tr("firmware file update success")); break;
        case IapStep::ReceivedErase: postText(MSG_FW_MOTOR, tr("receive OP_FLASH_ERASE")); break;
        case IapStep::SentWrite: postText(MSG_FW_MOTOR, tr("send OP_WRITE_IAP")); break;
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
