#include "recvboxdataproc.h"

#include "boxpacket.h"
#include "boxprotocol.h"
#include "lhframe.h"
#include "logmanager.h"
#include "receivernotices.h"
#include "sockethelpers.h"
#include "tracelog.h"
#include "udpbatch.h"
#include "zonealarm.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>

namespace {

constexpr int kQueueMagic = LH_MAGIC;
constexpr size_t kRecvBuffer = 8192;
constexpr int kMaxPayload = int(sizeof(PendingCmd::payload));
constexpr uint8_t kZoneCmdWrite = ZONEALARM::ZONE_CMD_WRITE;
constexpr uint8_t kZoneCmdRead = ZONEALARM::ZONE_CMD_READ;
// Posts of the box's own signals (postqueue.h): only the newest of each waits.
constexpr int kCacheClean = 1;
constexpr int kUploadType = 2;

bool is_zone_command(int cmd)
{
    return cmd == RecvBoxDataProc::kZoneWrite || cmd == RecvBoxDataProc::kZoneRead;
}

QByteArray payload_hex(const PendingCmd &c)
{
    return QByteArray(reinterpret_cast<const char *>(c.payload), c.length).toHex(' ');
}

} // namespace

RecvBoxDataProc::RecvBoxDataProc(QObject *parent) : SensorReceiver(parent) {}

RecvBoxDataProc::~RecvBoxDataProc()
{
    delete zone_; // still here only when the loop never ran
}

void RecvBoxDataProc::init(int localPort, QString ip, int port)
{
    local_port_ = localPort;
    ip_ = ip;
    port_ = uint16_t(port);
    QV_TRACE() << localPort << ip << port;
    if (timer_ == nullptr) {
        timer_ = new QTimer(this);
        connect(timer_, &QTimer::timeout, this, &RecvBoxDataProc::cmdReissued,
                Qt::UniqueConnection);
        timer_->start(kResendTickMs);
        register_zone_meta_types();
        zone_ = new ZONEALARM::ZoneAlarm;
        // The engine asks from the loop thread; its frames reach send_cmd_net queued, on the
        // GUI thread that owns the re-send queue's timer.
        connect(zone_, &ZONEALARM::ZoneAlarm::sig_ZoneCMD, this, &RecvBoxDataProc::send_cmd_net,
                Qt::UniqueConnection);
        connect(zone_, &ZONEALARM::ZoneAlarm::sig_progress, this, &RecvBoxDataProc::sig_progress,
                Qt::UniqueConnection);
    }
}

void RecvBoxDataProc::setBindAddress(const QString &ip)
{
    bind_ip_ = ip;
}

void RecvBoxDataProc::setClock(std::function<qint64()> clock)
{
    std::lock_guard<std::mutex> lock(mutex_);
    clock_ = std::move(clock);
}

qint64 RecvBoxDataProc::now() const
{
    return clock_ ? clock_() : QDateTime::currentMSecsSinceEpoch();
}

void RecvBoxDataProc::stop()
{
    running_.store(0);
    post(MSG_WARM, tr("Disconnect lidar connection successful").toLocal8Bit());
}

void RecvBoxDataProc::SetShowObjects(bool on)
{
    show_objects_.store(on ? 1 : 0);
}

bool RecvBoxDataProc::SendCmd(const char *cmd, int len)
{
    if (cmd == nullptr || len < 2)
        return false;
    if (!lh_command_allowed(cmd, size_t(len)))
        return false;
    const QByteArray ip = ip_.toLatin1();
    std::lock_guard<std::mutex> lock(sock_mutex_);
    udp_send_to(sock_, ip.constData(), port_, cmd, size_t(len));
    return true;
}

bool RecvBoxDataProc::sendFrame(int mode, int sn, const uint8_t *payload, int len)
{
    const std::vector<uint8_t> frame =
        lh_make_crc_frame(uint16_t(mode), uint16_t(sn), payload, size_t(len));
    if (frame.empty())
        return false;
    const QByteArray ip = ip_.toLatin1();
    std::lock_guard<std::mutex> lock(sock_mutex_);
    return udp_send_to(sock_, ip.constData(), port_, frame.data(), frame.size())
           == int(frame.size());
}

void RecvBoxDataProc::send_cmd_net(int mode, int sn, int len0, QByteArray snd_buf, bool isrepeat)
{
    // A queue entry holds at most 1024 payload bytes, and the length must be what the buffer
    // really holds: anything else is refused rather than sent with bytes from elsewhere.
    if (len0 < 0 || len0 > kMaxPayload || len0 > snd_buf.size()) {
        QV_TRACE() << "refused: length" << len0 << "buffer" << snd_buf.size();
        return;
    }
    const auto *payload = reinterpret_cast<const uint8_t *>(snd_buf.constData());
    sendFrame(mode, sn, payload, len0);
    if (isrepeat)
        return;

    PendingCmd c{};
    std::memcpy(c.payload, payload, size_t(len0));
    c.length = len0;
    c.sn = sn;
    c.magic = kQueueMagic;
    c.count = 1;
    c.cmd = mode;
    std::lock_guard<std::mutex> lock(mutex_);
    c.sendTime = int32_t(uint32_t(uint64_t(now())));
    if (is_zone_command(mode)) {
        // Only the newest zone request matters: it takes the place of any queued one.
        bool replaced = false;
        for (PendingCmd &q : queue_) {
            if (is_zone_command(q.cmd)) {
                q = c;
                replaced = true;
            }
        }
        if (!replaced)
            queue_.push_back(c);
    } else {
        queue_.push_back(c);
    }
}

void RecvBoxDataProc::cmdReissued()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const uint32_t now32 = uint32_t(uint64_t(now()));
    for (auto it = queue_.end(); it != queue_.begin();) {
        --it;
        // Unsigned 32-bit difference: correct across the wrap of the truncated clock.
        if (now32 - uint32_t(it->sendTime) <= uint32_t(kResendAfterMs))
            continue;
        sendFrame(it->cmd, it->sn, it->payload, it->length);
        ++it->count;
        it->sendTime = int32_t(now32);
        QV_TRACE() << "resend" << Qt::hex << it->cmd << Qt::dec << "sn" << it->sn << "count"
                   << it->count;
        if (it->count >= kMaxSends) {
            QV_TRACE() << "drop" << Qt::hex << it->cmd << Qt::dec << "sn" << it->sn;
            if (is_zone_command(it->cmd))
                zone_request_dropped_.store(true);
            it = queue_.erase(it);
        }
    }
}

void RecvBoxDataProc::CmdRecv(int sign, int sn)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (sn == 0xFFFF) {
        for (auto it = queue_.begin(); it != queue_.end();)
            it = is_zone_command(it->cmd) ? queue_.erase(it) : it + 1;
        return;
    }
    for (auto it = queue_.end(); it != queue_.begin();) {
        --it;
        if (it->magic == sign && it->sn == sn) {
            QV_TRACE() << "delete" << Qt::hex << it->magic << it->cmd << Qt::dec << queue_.size()
                       << payload_hex(*it);
            queue_.erase(it);
            return;
        }
    }
}

std::vector<PendingCmd> RecvBoxDataProc::pendingCommands() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return std::vector<PendingCmd>(queue_.begin(), queue_.end());
}

void RecvBoxDataProc::ParseDatagram(const uint8_t *data, size_t length)
{
    if (data == nullptr || length < 2)
        return;
    if (box_is_lhab(data, length)) {
        log_dump_record(0, data, length, LIDAR_ALG_BOX);
        handleLhab(data, length);
    } else if (data[0] == 'L' && data[1] == 'H') {
        handleReply(data, length);
    } else if (length >= 4 && std::memcmp(data, "LMSG", 4) == 0) {
        handleZoneMonitor(data, length);
    }
}

void RecvBoxDataProc::handleLhab(const uint8_t *data, size_t length)
{
    BoxPacketHeader h;
    if (!box_read_header(data, length, &h))
        return; // shorter than its header: nothing in it can be trusted

    if (h.upload_type == BOX_UPLOAD_OBJECTS && h.count != 0 && box_object_ok(h)) {
        const UserPointData record = box_object_record(h);
        bool found = false;
        for (UserPointData &o : objects_) {
            if (box_object_id(o) == h.object_id) {
                o = record;
                found = true;
                break;
            }
        }
        if (!found)
            objects_.push_back(record);
    }
    if (points_.size() + box_points_present(length, h.count) > kMaxFramePoints) {
        // No frame end came where one must have: the frame goes, the datagram starts the next.
        points_.clear();
        objects_.clear();
        if (!overflowing_) {
            overflowing_ = true;
            post(MSG_ERROR, frame_overflow_notice(kMaxFramePoints).toLocal8Bit());
        }
    }
    // Grown as a vector grows, but never past the bound.
    const size_t need = points_.size() + box_points_present(length, h.count);
    if (need > points_.capacity())
        points_.reserve(std::max(need, std::min(kMaxFramePoints, 2 * points_.capacity())));
    box_append_points(data, length, points_);
    if (points_.size() > high_water_.load(std::memory_order_relaxed))
        high_water_.store(points_.size(), std::memory_order_relaxed);

    if (h.frame_flag != BOX_FRAME_END)
        return;
    overflowing_ = false;
    emit sig_framedata(show_objects_.load() ? objects_ : points_, LIDAR_ALG_BOX);
    if (h.upload_type == BOX_UPLOAD_OBJECTS && h.count == 0 && h.clean_word == 0)
        replace({kCacheClean, 0, QByteArray()});
    if (int(h.upload_type) != last_upload_type_) {
        last_upload_type_ = h.upload_type;
        replace({kUploadType, 0, QByteArray(1, char(last_upload_type_))});
    }
    points_.clear();
    objects_.clear();
}

void RecvBoxDataProc::handleReply(const uint8_t *data, size_t length)
{
    if (length < LH_CRC_HEADER)
        return;
    const uint16_t cmd = rd_u16(data + 2);
    if (cmd == LH_TEXT_REPLY || cmd == LH_TEXT_REPLY2) {
        // The length field, but never more than arrived.
        const size_t room = length - LH_CRC_HEADER;
        size_t n = rd_u16(data + 6);
        if (n > room)
            n = room;
        if (!post(MSG_CMD_INFO, QByteArray(reinterpret_cast<const char *>(data + LH_CRC_HEADER), int(n)),
                  kRepliesWaiting))
            notices_.offer(0, MSG_WARM, replies_left_out_notice);
    } else if (cmd == kZoneReadReply || cmd == kZoneWriteReply) {
        const int result = feedZoneEngine(cmd, data, length);
        if (result != -2 && result != -1 && result != 0)
            zoneExchangeAnswered();
    }
}

// A reply of the zone exchange. Read replies go with a fresh random sequence number for the
// engine's next request (0 to 65534); a read that ends with 1 posts the engine's table
// (sig_zoneData). Returns the engine's result: -2, -1 and 0 mean the exchange goes on, anything
// else that the box has answered it.
int RecvBoxDataProc::feedZoneEngine(uint16_t cmd, const uint8_t *data, size_t length)
{
    if (zone_ == nullptr)
        return 0;
    if (cmd == kZoneReadReply) {
        const int result =
            zone_->getZoneRev(data, length, int(QRandomGenerator::global()->bounded(65535)));
        if (result == 1)
            emit sig_zoneData(zone_->getZones());
        return result;
    }
    if (cmd == kZoneWriteReply)
        return zone_->setZoneRev(data, length);
    return 0;
}

// The box answered the zone exchange: its queued frames are done and nothing is pending.
void RecvBoxDataProc::zoneExchangeAnswered()
{
    CmdRecv(kQueueMagic, 0xFFFF);
    std::lock_guard<std::mutex> lock(mutex_);
    pending_zone_cmd_ = 0;
}

// Starts the engine's read (11) or write (10, with the stored table), each with a rand()
// sequence number.
void RecvBoxDataProc::startZoneCommand(uint8_t code, const zones &table)
{
    if (zone_ == nullptr)
        return;
    if (code == kZoneCmdRead)
        zone_->getZone(std::rand() & 0x7FFF);
    else if (code == kZoneCmdWrite)
        zone_->setZone(table, std::rand() & 0x7FFF);
}

// The last send of a zone request went unanswered: the engine ends its exchange.
void RecvBoxDataProc::zoneRequestGaveUp()
{
    if (zone_ != nullptr)
        zone_->exchangeTimeout();
}

// The re-send timer (GUI thread) gave a zone request up; the loop tells the engine, whether or
// not the box still sends anything.
void RecvBoxDataProc::takeZoneGiveUp()
{
    if (zone_request_dropped_.load(std::memory_order_relaxed) && zone_request_dropped_.exchange(false))
        zoneRequestGaveUp();
}

// Starts the zone command the GUI thread left, once the box has been heard from again.
void RecvBoxDataProc::startPendingZoneCommand()
{
    uint8_t code;
    zones table;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        code = pending_zone_cmd_;
        pending_zone_cmd_ = 0;
        if (code == kZoneCmdWrite)
            table = zone_table_;
    }
    if (code == kZoneCmdWrite || code == kZoneCmdRead)
        startZoneCommand(code, table);
}

void RecvBoxDataProc::recv_zoneCmd(int flag, zones data)
{
    std::lock_guard<std::mutex> lock(mutex_);
    zone_table_ = data;
    pending_zone_cmd_ = uint8_t(flag);
}

int RecvBoxDataProc::pendingZoneCommand() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return pending_zone_cmd_;
}

zones RecvBoxDataProc::storedZoneTable() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return zone_table_;
}

void RecvBoxDataProc::deliver(const PostQueue::Post &p)
{
    if (p.kind == kCacheClean)
        emit sig_cacheclean();
    else if (p.kind == kUploadType && !p.data.isEmpty())
        emit sig_uploadtype(uint8_t(p.data[0]));
    else
        SensorReceiver::deliver(p);
}

void RecvBoxDataProc::handleZoneMonitor(const uint8_t *data, size_t length)
{
    // Posted whole, magic included; the readers decode it with object_list_decode and
    // zone_alarm_decode, which refuse zone ids outside 0..15.
    post(MSG_ZONE_MONITOR, QByteArray(reinterpret_cast<const char *>(data), int(length)), kRecordsWaiting);
}

void RecvBoxDataProc::run()
{
    const QByteArray bind = bind_ip_.toLatin1();
    const int s = udp_open(local_port_, false, bind.isEmpty() ? nullptr : bind.constData());
    if (s == INVALID_SOCK) {
        post(MSG_ERROR, open_socket_failed_notice().toLocal8Bit());
        return;
    }
    {
        std::lock_guard<std::mutex> lock(sock_mutex_);
        sock_ = s;
    }
    const QByteArray ip = ip_.toLatin1();
    udp_send_to(s, ip.constData(), port_, "hello", 5);
    const QString notice =
        recv_buffer_notice(udp_recv_buffer_granted(s), UDP_RECV_BUFFER, UDP_RECV_BUFFER);
    if (!notice.isEmpty())
        post(MSG_WARM, notice.toLocal8Bit());

    // Datagrams are accepted only from the box's address text.
    uint32_t box = 0;
    const bool box_ok = ipv4_from_canonical_text(ip.constData(), &box);

    // What is waiting is read up to 16 datagrams at a time before the loop waits again.
    UdpBatch datagrams(16, kRecvBuffer);
    while (running_.load(std::memory_order_relaxed)) {
        const int n = datagrams.receive(s);
        if (n < 0)
            break; // a broken socket would otherwise spin here until stopped
        if (n == 0) {
            fd_set rd;
            FD_ZERO(&rd);
            FD_SET(s, &rd);
            timeval tv{1, 0};
            const int rc = ::select(s + 1, &rd, nullptr, nullptr, &tv);
            if (rc < 0 && errno != EINTR)
                break;
            if (rc <= 0)
                takeZoneGiveUp();
            notices_.flush();
            continue;
        }
        for (int i = 0; i < n; ++i) {
            if (!box_ok || datagrams.source(i) != box)
                continue;
            ParseDatagram(datagrams.data(i), datagrams.size(i));
            takeZoneGiveUp();
            startPendingZoneCommand();
            // Events posted to this thread (queued calls, nothing else: the thread has no
            // timers or socket notifiers). A full processEvents pass per datagram would cost
            // more than the datagram itself and halve the rate the loop keeps up with.
            QCoreApplication::sendPostedEvents();
        }
        notices_.flush();
    }
    notices_.flush(true);

    if (zone_ != nullptr) {
        zone_->disconnect();
        zone_->deleteLater();
        zone_ = nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(sock_mutex_);
        udp_close(s);
        sock_ = INVALID_SOCK;
    }
}
