#include "recvdataproc.h"

#include "checksum.h"
#include "lhframe.h"
#include "logmanager.h"
#include "ownerthreadtimer.h"
#include "receivernotices.h"
#include "sockethelpers.h"
#include "timehelpers.h"
#include "tracelog.h"
#include "viewrange.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

constexpr int kSelectTimeoutMs = 1000;

// Sequence numbers of the transfer frames: one counter for the process, as only one Fenk-U
// receiver exists at a time.
std::atomic<uint16_t> g_frameSequence{0};

} // namespace

RecvDataProc::RecvDataProc(QObject *parent)
    : SensorReceiver(parent),
      notices_([this](int type, const QString &text) { postText(type, text); }),
      transfer_(
          FileTransferConfig::fenku(),
          [this](int type, const void *payload, unsigned length) {
              return SendFrame(uploadSock_, type, payload, length);
          },
          [this] { return uploadSock_; })
{
}

RecvDataProc::~RecvDataProc()
{
    // A receiver destroyed while its loop still runs would take the loop's object with it.
    if (QThread::currentThread() != this && isRunning()) {
        stop();
        wait();
    }
}

void RecvDataProc::init(QString ip, int port, int localPort)
{
    ip_ = ip;
    ipText_ = ip.toLocal8Bit();
    port_ = port;
    uint32_t device = 0;
    if (ipv4_from_canonical_text(ipText_.constData(), &device))
        transfer_.set_peer(device);
    localPort_ = localPort;
    running_.store(1);
}

void RecvDataProc::setBindAddress(const QString &ip)
{
    bindIp_ = ip.toLatin1();
}

void RecvDataProc::stop()
{
    running_.store(0);
}

bool RecvDataProc::SendCmd(const char *cmd, int len)
{
    if (len <= 0 || !lh_command_allowed(cmd, size_t(len)))
        return false;
    std::lock_guard<std::mutex> lock(sockMutex_);
    // A closed socket's number may already belong to another file: nothing is sent then.
    if (sock_ != INVALID_SOCK) {
        const int sent = udp_send_to(sock_, ipText_.constData(), port_, cmd, size_t(len));
        QV_TRACE() << sock_ << ip_ << port_ << "sendto:" << sent << len;
    }
    return true;
}

bool RecvDataProc::FileUpdate(QString path, int code)
{
    QV_TRACE() << path << code;
    std::lock_guard<std::mutex> lock(mutex_);
    uploadRequested_ = true;
    uploadPath_ = path;
    uploadCode_ = code;
    return true;
}

void RecvDataProc::SetDataType(int mask)
{
    std::lock_guard<std::mutex> lock(mutex_);
    dataTypeMask_ = uint16_t(mask);
    for (int bit = 5; bit >= 0; --bit) {
        if (mask & (1 << bit)) {
            wantedDataType_ = uint8_t(bit);
            break;
        }
    }
}

int RecvDataProc::dataTypeMask() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return dataTypeMask_;
}

int RecvDataProc::wantedDataType() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return wantedDataType_;
}

void RecvDataProc::clearReceptionFlags()
{
    dataOk_.store(0);
    cmdOk_.store(0);
    post(MSG_REBOOT, QByteArray(""));
}

void RecvDataProc::postText(int type, const QString &text)
{
    post(type, text.toLocal8Bit());
}

// ---------------------------------------------------------------------------------------------
// Reassembly

void RecvDataProc::note(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(parseMessage_, sizeof(parseMessage_), format, args);
    va_end(args);
}

int RecvDataProc::ParsePacket(const uint8_t *buf, size_t len)
{
    size_t at = 0;
    switch (lp_find_tag(buf, len, &at)) {
    case LpTag::Lh:
        return uint64_t(len) >= lp_sum_frame_end(buf, at) ? PARSE_REPLY : PARSE_NEED_MORE;
    case LpTag::Lp:
        return parseSubPackage(buf + at, len - at);
    case LpTag::None:
        break;
    }
    return PARSE_NOTHING;
}

int RecvDataProc::parseSubPackage(const uint8_t *p, size_t n)
{
    LpSubPackage sp;
    if (!lp_parse_subpackage(p, n, &sp))
        return PARSE_NEED_MORE;
    FenkFrameStore &s = store_;
    const uint64_t end = uint64_t(sp.offset) + sp.length;

    if (sp.offset == 0) {
        // A header whose own CRC fails would set the type, size and CRC of the frame from
        // damaged bytes (a flipped data type files a good plane under the wrong type): no frame
        // starts from it. Nor from one too short to hold the fields read.
        const bool whole = lp_parse_frame_header(sp.data, sp.length, &s.header);
        s.count = 0;
        s.expected = end;
        if (!whole || !lp_subpackage_crc_ok(p, sp)) {
            s.header.data_type = -1;
            note("frame header refused");
            return PARSE_REFUSED;
        }
        return PARSE_ACCEPTED;
    }
    if (s.header.data_type == -1) {
        note("dat.data_type == -1");
        return PARSE_REFUSED;
    }
    if (uint64_t(sp.offset) != s.expected) {
        note("last end offset:%llu now start offset:%u  idx:%u", (unsigned long long)s.expected,
             sp.offset, s.header.frame_index);
        s.expected = end;
        return PARSE_REFUSED;
    }

    const int type = s.header.data_type;
    bool complete = false;
    size_t stored = 0; // bytes of this frame's data in its store, once complete
    const uint8_t *store = nullptr;
    if (type >= 1 && type <= 5) {
        const size_t unit = type == 1 ? FenkFrameStore::kPointSize : 2;
        const uint64_t add = sp.length / unit;
        if (uint64_t(s.count) + add > FenkFrameStore::kMaxValues) {
            // More values than the stores hold: the frame cannot be checked or shown whole.
            note("frame too large: %u + %llu values", s.count, (unsigned long long)add);
            s.header.data_type = -1;
            s.count = 0;
            return PARSE_REFUSED;
        }
        uint8_t *base = type == 1 ? s.points.data() : s.planes[size_t(type - 2)].data();
        if (add > 0)
            std::memcpy(base + size_t(s.count) * unit, sp.data, size_t(add) * unit);
        s.count += uint32_t(add);
        complete = type == 1 ? end == uint64_t(sp.total)
                             : uint64_t(s.count) == uint64_t(s.header.width) * s.header.height;
        stored = size_t(s.count) * unit;
        store = base;
    }

    if (complete) {
        if (crc32_reflected(0, store, stored) != s.header.frame_crc) {
            note("whole package  crc error");
            return PARSE_REFUSED;
        }
        s.expected = 0;
        return type;
    }
    s.expected = end;
    if (!lp_subpackage_crc_ok(p, sp)) {
        note("sub package  crc error");
        return PARSE_REFUSED;
    }
    return PARSE_ACCEPTED;
}

std::vector<UserPointData> RecvDataProc::buildPoints(uint32_t count) const
{
    const FenkFrameStore &s = store_;
    const size_t n = std::min<size_t>(count, FenkFrameStore::kMaxValues);
    std::vector<UserPointData> out(n);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t *pt = s.points.data() + i * FenkFrameStore::kPointSize;
        out[i] = lp_make_point(rd_f32(pt), rd_f32(pt + 4), rd_f32(pt + 8),
                               rd_u16(s.planes[0].data() + i * 2), rd_u16(s.planes[1].data() + i * 2),
                               rd_u16(s.planes[2].data() + i * 2), rd_u16(s.planes[3].data() + i * 2));
    }
    // The camera's coordinates are floats as sent: drop those no view can place.
    out.resize(keep_points_in_view(out.data(), n));
    return out;
}

void RecvDataProc::processDatagram(const uint8_t *buf, size_t len)
{
    const int r = ParsePacket(buf, len);
    if (r >= 1 && r <= 5) {
        if (r >= wantedDataType()) {
            emit sig_framedata(buildPoints(store_.count), LIDAR_FENK_U);
            if (dataOk_.exchange(1) == 0)
                postText(MSG_RUN_STATE, data_reception_notice());
        }
        store_.header.data_type = -1;
        store_.count = 0;
    } else if (r == PARSE_REPLY) {
        if (!post(MSG_CMD_INFO, QByteArray(reinterpret_cast<const char *>(buf), int(len)), kRepliesWaiting))
            notices_.offer(0, MSG_WARM, replies_left_out_notice);
        if (cmdOk_.exchange(1) == 0)
            postText(MSG_RUN_STATE, cmd_reception_notice());
    }
}

// ---------------------------------------------------------------------------------------------
// Time sync and file transfer

std::array<uint8_t, RecvDataProc::kTimeSyncPayload> RecvDataProc::timeSyncPayload(uint32_t sec,
                                                                                  uint32_t usec)
{
    std::array<uint8_t, kTimeSyncPayload> p{};
    wr_u32(p.data(), sec);
    wr_u32(p.data() + 4, usec);
    return p;
}

void RecvDataProc::sendTimeSync(int sock)
{
    TimeSecUs now{};
    time_now_timeval(nullptr, &now);
    const auto payload = timeSyncPayload(now.sec, now.usec);
    lh_send_sum_frame(sock, ipText_.constData(), port_, 0, uint16_t(std::rand() & 0x7FFF),
                      kTimeSyncFrameType, payload.size(), payload.data());
}

int RecvDataProc::SendFrame(int sock, int type, const void *payload, unsigned length)
{
    const uint16_t seq = g_frameSequence.fetch_add(1);
    const std::vector<uint8_t> frame =
        lh_make_sum_frame(0, seq, uint16_t(type & 0x7FFF), payload, length);
    const int sent = frame.empty()
        ? -1
        : udp_send_to(sock, ipText_.constData(), port_, frame.data(), frame.size());
    if (sent == -1)
        std::perror("Send Error");
    return sent;
}

int RecvDataProc::SendFileInfo(int sock, QString path)
{
    uploadSock_ = sock;
    return transfer_.SendFileInfo(path.toLocal8Bit().toStdString());
}

int RecvDataProc::SendFileData(int sock, QString path)
{
    uploadSock_ = sock;
    return transfer_.SendFileData(path.toLocal8Bit().toStdString());
}

bool RecvDataProc::updateFile(QString path, QString &text)
{
    const auto start = std::chrono::steady_clock::now();
    const int port = localPort_ + kUploadPortOffset;
    uploadSock_ = INVALID_SOCK;
    if (port > 65535) {
        // The port number would wrap into another port (or port 0, any port) on the wire.
        std::printf("upload bind failed\n");
        QV_TRACE() << "upload port out of range" << port;
    } else {
        const char *bind = bindIp_.isEmpty() ? nullptr : bindIp_.constData();
        uploadSock_ = udp_open(port, false, bind);
        if (uploadSock_ == INVALID_SOCK)
            std::printf("upload bind failed\n");
        else
            udp_set_recv_buffer(uploadSock_, kUploadRecvBuffer);
    }

    bool ok = false;
    if (uploadSock_ == INVALID_SOCK)
        QV_TRACE() << "send fileinfo failed";
    else
        ok = transfer_.upload(path.toLocal8Bit().toStdString());

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    text = tr("trans time:%1").arg(seconds);
    udp_close(uploadSock_);
    uploadSock_ = INVALID_SOCK;
    return ok;
}

void RecvDataProc::doUpload(const QString &path, int code)
{
    QString text;
    if (updateFile(path, text)) {
        postText(code, tr("update OK"));
        if (code == MSG_FW_MOTOR || code == MSG_FW_MCU)
            start_timer_on_owner_thread(this, kReceptionResetMs, [this] { clearReceptionFlags(); });
    } else {
        postText(code, tr("update NG:%1").arg(text));
    }
}

// ---------------------------------------------------------------------------------------------
// The loop

void RecvDataProc::run()
{
    running_.store(1);
    const char *bind = bindIp_.isEmpty() ? nullptr : bindIp_.constData();
    const int sock = udp_open(localPort_, false, bind);
    if (sock == INVALID_SOCK) {
        postText(MSG_ERROR, open_socket_failed_notice());
        return;
    }
    {
        std::lock_guard<std::mutex> lock(sockMutex_);
        sock_ = sock;
    }
    post(MSG_RECV_STARTED, QByteArray(""));
    // Said against the largest buffer the session asks for: the upload socket's.
    const QString notice =
        recv_buffer_notice(udp_recv_buffer_granted(sock), UDP_RECV_BUFFER, kUploadRecvBuffer);
    if (!notice.isEmpty())
        postText(MSG_WARM, notice);

    TimeSecMs now{};
    time_now_timeval(&now, nullptr);
    int64_t nextSync = int64_t(now.sec) + 1;
    store_ = FenkFrameStore();
    std::vector<uint8_t> buf(kRecvBufferSize, 0);
    // Datagrams are accepted only from the device's address text.
    uint32_t device = 0;
    const bool device_ok = ipv4_from_canonical_text(ipText_.constData(), &device);

    while (running_.load()) {
        bool upload = false;
        QString path;
        int code = 0;
        {
            // Taken and cleared in one step, so a request made during an upload is kept.
            std::lock_guard<std::mutex> lock(mutex_);
            upload = uploadRequested_;
            uploadRequested_ = false;
            path = uploadPath_;
            code = uploadCode_;
        }
        if (upload)
            doUpload(path, code);

        notices_.flush();
        pollfd p{sock, POLLIN, 0};
        const int ready = ::poll(&p, 1, kSelectTimeoutMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            std::printf("select error\n");
            break;
        }
        if (ready == 0)
            continue;

        // Time sync only while the sensor talks: a silent sensor gets none.
        time_now_timeval(&now, nullptr);
        if (int64_t(now.sec) > nextSync) {
            sendTimeSync(sock);
            nextSync = int64_t(now.sec) + 1;
        }

        sockaddr_in from{};
        socklen_t flen = sizeof(from);
        const ssize_t n = ::recvfrom(sock, buf.data(), buf.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr *>(&from), &flen);
        if (n < 1)
            continue;
        if (!device_ok || from.sin_addr.s_addr != device)
            continue; // another sender: dropped, not recorded
        log_dump_record(0, buf.data(), size_t(n), LIDAR_FENK_U);
        processDatagram(buf.data(), size_t(n));
    }

    {
        std::lock_guard<std::mutex> lock(sockMutex_);
        udp_close(sock_);
        sock_ = INVALID_SOCK;
    }
    notices_.flush(true);
    postText(MSG_RUN_STATE, disconnect_notice());
}
