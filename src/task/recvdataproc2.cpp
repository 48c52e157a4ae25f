#include "recvdataproc2.h"

#include "zonealarm.h"

#include "lhframe.h"
#include "logmanager.h"
#include "ownerthreadtimer.h"
#include "receivernotices.h"
#include "sockethelpers.h"
#include "tilt.h"
#include "tracelog.h"
#include "udpbatch.h"

#include <QDateTime>
#include <QStandardPaths>

#include <algorithm>
#include <chrono>
#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>
#include <unordered_map>

namespace {

constexpr int kSelectTimeoutMs = 1000;
constexpr int kConnectTimeoutMs = 3000;
constexpr size_t kU16Plane = 2;
constexpr size_t kBytePlane = 2 + size_t(RAXO_GRID_CELLS) * 2;

// What a finished frame carries besides its points.
constexpr unsigned kPostDebugImage = 1; // the grid is complete: post it
constexpr unsigned kFirstFrame = 2;     // the session's first frame: reception is ok
constexpr unsigned kFiltered = 4;       // frames[0] is the voxel-filtered 3D frame alone

// Makes room for `extra` more elements, growing as a vector would (doubling) but never past
// `limit`: the frames and the ground points hold at most RecvDataProc2::kMaxFramePoints points.
template <class Vector>
void reserve_bounded(Vector &v, size_t extra, size_t limit)
{
    const size_t need = v.size() + extra;
    if (need > v.capacity())
        v.reserve(std::max(need, std::min(limit, 2 * v.capacity())));
}

// The receiver's points carry intensity and distance beside the coordinates; only the
// coordinates turn.
UserPointData rotate_with(const Eigen::Matrix3d &r, const UserPointData &p)
{
    const TiltPoint t = tilt_rotate(r, p.x, p.y, p.z);
    UserPointData q;
    q.x = t.x;
    q.y = t.y;
    q.z = t.z;
    return q;
}

} // namespace

RecvDataProc2::RecvDataProc2(QObject *parent)
    : SensorReceiver(parent),
      transfer_(
          FileTransferConfig::raxo(),
          [this](int type, const void *payload, unsigned length) {
              return SendFrame(type, payload, length);
          },
          [this] {
              std::lock_guard<std::mutex> lock(sockMutex_);
              return transferSock_;
          }),
      notices_([this](int type, const QString &text) { postText(type, text); }),
      // Room for two scans in the 3D frame: a frame whose end packet was lost runs on into the
      // next scan, and its growth would fault memory in on the loop's thread, lose packets
      // meanwhile, and with them more frame ends.
      handoff_([this](FrameHandoff::Batch &b) { postFrames(b); }, 2 * size_t(RAXO_GRID_CELLS),
               RAXO_GRID_CELLS, RAXO_DEBUG_IMAGE_SIZE)
{
    frame_.bytes.assign(RAXO_DEBUG_IMAGE_SIZE, 0);
}

RecvDataProc2::~RecvDataProc2()
{
    // A receiver destroyed while its loop still runs would take the loop's object with it.
    if (QThread::currentThread() != this && isRunning()) {
        stop();
        wait();
    }
}

void RecvDataProc2::init(int dataPort, QString ip, int cmdPort)
{
    dataPort_ = dataPort;
    ip_ = ip;
    ipText_ = ip.toLocal8Bit();
    cmdPort_ = cmdPort;
    uint32_t device = 0;
    if (ipv4_from_canonical_text(ipText_.constData(), &device))
        transfer_.set_peer(device);
    buildTransferPaths();
    if (!zone_) {
        register_zone_meta_types();
        zone_ = std::make_unique<ZONEALARM::ZoneAlarm>();
        connect(zone_.get(), &ZONEALARM::ZoneAlarm::sig_progress, this, &RecvDataProc2::sig_progress,
                Qt::UniqueConnection);
    }
}

void RecvDataProc2::recv_zoneCmd(int flag, zones data)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        zoneTable_ = data;
    }
    PushCmd(flag);
}

void RecvDataProc2::setBindAddress(const QString &ip)
{
    bindIp_ = ip.toLatin1();
}

void RecvDataProc2::buildTransferPaths()
{
    const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    zoneFile_ = temp + "/" + "zone_cfg.bin";
    modelFile_ = temp + "/" + "alg_model.bin";
}

void RecvDataProc2::stop()
{
    running_.store(0);
}

bool RecvDataProc2::SendCmd(const char *cmd, int len)
{
    std::lock_guard<std::mutex> lock(sockMutex_);
    if (cmdSock_ == INVALID_SOCK || len <= 0 || !lh_command_allowed(cmd, size_t(len)))
        return false;
    const int sent = udp_send_to(cmdSock_, ipText_.constData(), cmdPort_, cmd, size_t(len));
    QV_TRACE() << cmdSock_ << ip_ << cmdPort_ << "sendto:" << sent << len;
    return true;
}

bool RecvDataProc2::PushCmd(int code)
{
    if (code == WORK_MODEL_READ && modelReadWaiting_.exchange(true))
        return false;
    work_.enqueue(code);
    return true;
}

bool RecvDataProc2::FileUpdate(QString path, int code)
{
    QV_TRACE() << path << code;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        uploadPath_ = path;
    }
    work_.enqueue(code);
    return true;
}

void RecvDataProc2::SetShowMode(int mode)
{
    std::lock_guard<std::mutex> lock(mutex_);
    displayMode_ = uint8_t(mode & 0xFF);
    mountingHeight_ = 0.0;
    groundPoints_.clear();
    pointPacketCount_ = 0;
}

void RecvDataProc2::ResetCompensate()
{
    std::lock_guard<std::mutex> lock(mutex_);
    mountingHeight_ = 0.0;
    groundPoints_.clear();
    pointPacketCount_ = 0;
}

void RecvDataProc2::SetMountingHeight(float h)
{
    std::lock_guard<std::mutex> lock(mutex_);
    mountingHeight_ = double(h);
}

void RecvDataProc2::SetVoxelFilter(bool on, float unitSize, int minNum)
{
    std::lock_guard<std::mutex> lock(mutex_);
    voxelOn_ = on;
    voxelSize_ = unitSize;
    voxelMinNum_ = minNum;
}

void RecvDataProc2::clearReceptionFlags()
{
    std::lock_guard<std::mutex> lock(mutex_);
    dataOk_ = 0;
    cmdOk_ = 0;
}

void RecvDataProc2::postText(int type, const QString &text)
{
    post(type, text.toLocal8Bit());
}

// ---------------------------------------------------------------------------------------------
// Attitude and mounting height

UserPointData RecvDataProc2::RotatePoint(const UserPointData &p, double pitch, double roll)
{
    return rotate_with(tilt_rotation(pitch, roll), p);
}

double RecvDataProc2::FitGround()
{
    return FitGround(groundPoints_);
}

double RecvDataProc2::FitGround(const std::vector<std::array<float, 3>> &points)
{
    std::vector<Eigen::Vector3d> kept;
    kept.reserve(points.size());
    for (const auto &p : points) {
        if (std::fabs(double(p[1])) <= 0.2)
            kept.emplace_back(double(p[0]), double(p[1]), double(p[2]));
    }
    const size_t n = kept.size();
    // Three points make the smallest plane; below that there is nothing to fit.
    if (n < 3)
        return -1.0;
    std::random_device device;
    std::mt19937 gen(device());
    std::uniform_int_distribution<size_t> pick(0, n - 1);
    size_t best = 0;
    double bestD = 0.0;
    double bestNorm = 0.0;
    for (int iter = 0; iter < 2000; ++iter) {
        const Eigen::Vector3d &p1 = kept[pick(gen)];
        const Eigen::Vector3d &p2 = kept[pick(gen)];
        const Eigen::Vector3d &p3 = kept[pick(gen)];
        const double a = (p2.y() - p1.y()) * (p3.z() - p1.z()) - (p3.y() - p1.y()) * (p2.z() - p1.z());
        const double b = (p3.x() - p1.x()) * (p2.z() - p1.z()) - (p2.x() - p1.x()) * (p3.z() - p1.z());
        const double c = (p2.x() - p1.x()) * (p3.y() - p1.y()) - (p3.x() - p1.x()) * (p2.y() - p1.y());
        const double d = -(a * p1.x() + b * p1.y() + c * p1.z());
        const double norm = std::sqrt(a * a + b * b + c * c);
        if (!(norm > 0.0) || !std::isfinite(norm))
            continue; // collinear or repeated points span no plane
        size_t count = 0;
        for (const Eigen::Vector3d &q : kept) {
            if (std::fabs(a * q.x() + b * q.y() + c * q.z() + d) / norm < 0.1 && std::fabs(q.x()) >= 0.5)
                ++count;
        }
        if (count > best) {
            best = count;
            bestD = d;
            bestNorm = norm;
        }
    }
    if (best == 0)
        return -1.0;
    return std::fabs(bestD) / bestNorm;
}

void RecvDataProc2::handleImuPacket(const uint8_t *buf, size_t len)
{
    if (!raxo_parse_imu(buf, len, &imu_))
        return;
    const TiltStepResult step =
        tilt_filter_step(pitch_, roll_, raxo_imu_sample(imu_), TiltRateStep::TimesReciprocal);
    // One corrupt packet must not poison the attitude for the rest of the connection.
    if (step == TiltStepResult::Ignored)
        return;
    if (step == TiltStepResult::Still) {
        imuSettled_ = 1;
        post(MSG_ATTITUDE, QByteArray(reinterpret_cast<const char *>(&imu_), sizeof(imu_)), kRecordsWaiting);
    } else {
        imuSettled_ = 0;
        pointPacketCount_ = 0;
        mountingHeight_ = 0.0;
        groundPoints_.clear();
    }
}

// ---------------------------------------------------------------------------------------------
// Datagrams

void RecvDataProc2::processDataDatagram(const uint8_t *buf, size_t len)
{
    switch (raxo_classify(buf, len)) {
    case RaxoDatagram::Points: {
        std::lock_guard<std::mutex> lock(mutex_);
        handlePointPacket(buf, len, displayMode_);
        break;
    }
    case RaxoDatagram::Imu: {
        std::lock_guard<std::mutex> lock(mutex_);
        handleImuPacket(buf, len);
        break;
    }
    case RaxoDatagram::ZoneMonitor: {
        const uint8_t *record = nullptr;
        size_t size = 0;
        if (raxo_zone_monitor_record(buf, len, &record, &size))
            post(MSG_ZONE_MONITOR, QByteArray(reinterpret_cast<const char *>(record), int(size)), kRecordsWaiting);
        break;
    }
    case RaxoDatagram::None:
        break;
    }
}

// One pass per purpose over the packet's points rather than one pass doing everything per
// point: each pass is a tight loop, and the loop thread has microseconds per packet at full rate.
void RecvDataProc2::handlePointPacket(const uint8_t *buf, size_t len, uint8_t mode)
{
    RaxoPointHeader h;
    if (!raxo_parse_point_header(buf, len, &h))
        return;
    PointFrame &frame3D = frame_.frames[0];
    PointFrame &frame2D = frame_.frames[1];
    // The scan's points bound the frames and the ground points alike, whichever of them the
    // display mode fills.
    if (scanPoints_ + h.points > kMaxFramePoints)
        dropOverflowingFrame();
    scanPoints_ += h.points;
    if (scanPoints_ > highWater_.load(std::memory_order_relaxed))
        highWater_.store(scanPoints_, std::memory_order_relaxed);
    ++pointPacketCount_;
    const size_t n = h.points;
    const uint8_t *points = buf + RAXO_POINT_HEADER;
    const bool frameEnd = h.frame_flag == RAXO_FRAME_END;
    const RaxoUnitTables &units = raxo_unit_tables();

    // Debug grid: four columns from the packet's first one, a row per four points.
    uint8_t *image = frame_.bytes.data();
    const uint64_t rowBase = h.type == RAXO_TYPE_POINTS ? h.row : uint32_t(h.row >> 1);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t *pt = points + i * RAXO_POINT_SIZE;
        const uint64_t cell = (rowBase + (i >> 2)) * RAXO_GRID_COLUMNS + h.column + (i & 3);
        if (cell < uint64_t(RAXO_GRID_CELLS)) {
            wr_u16(image + kU16Plane + cell * 2, pt[9]);
            image[kBytePlane + cell] = pt[8];
        }
    }
    wr_u16(image, uint16_t(rd_u16(image) + n)); // counts every point, as a u16

    // Ground collection, while the height is unknown and the attitude has settled. The packet
    // that ends the scan adds only its first point before the fit; the scan is then emptied,
    // and the rest of the packet is corrected with the fitted height, or collected and emptied
    // again with it (which leaves nothing).
    if (mountingHeight_ == 0.0 && imuSettled_ && n > 0) {
        const size_t take = frameEnd ? 1 : n;
        reserve_bounded(groundPoints_, take, kMaxFramePoints);
        for (size_t i = 0; i < take; ++i) {
            const UserPointData p = raxo_decode_point(points + i * RAXO_POINT_SIZE, units);
            groundPoints_.push_back({p.x, p.y, p.z});
        }
        if (frameEnd) {
            if (pointPacketCount_ == kScanPackets) {
                const double g = FitGround();
                if (g >= 0.0 && std::isfinite(g)) {
                    mountingHeight_ = std::round(g * 1000.0) / 1000.0;
                    emit sig_compensate(float(mountingHeight_));
                }
            }
            pointPacketCount_ = 0;
            groundPoints_.clear();
        }
    }

    // Display mode 0: every raw point in the 3D frame.
    const size_t base3D = frame3D.size();
    if (mode == 0) {
        reserve_bounded(frame3D, n, kMaxFramePoints);
        frame3D.resize(base3D + n);
        UserPointData *out = frame3D.data() + base3D;
        for (size_t i = 0; i < n; ++i)
            raxo_decode_point(points + i * RAXO_POINT_SIZE, units, out[i]);
    }
    // Once a height is known, the levelled points: in the 2D frame (mode 0), or with the height
    // added in both frames (mode 1).
    if (mode <= 1 && mountingHeight_ != 0.0 && n > 0) {
        const Eigen::Matrix3d r = tilt_rotation(pitch_, roll_);
        const size_t base2D = frame2D.size();
        reserve_bounded(frame2D, n, kMaxFramePoints);
        frame2D.resize(base2D + n);
        UserPointData *level = frame2D.data() + base2D;
        UserPointData *with_height = nullptr;
        if (mode == 1) {
            reserve_bounded(frame3D, n, kMaxFramePoints);
            frame3D.resize(base3D + n);
            with_height = frame3D.data() + base3D;
        }
        for (size_t i = 0; i < n; ++i) {
            const UserPointData p = mode == 0 ? frame3D[base3D + i]
                                              : raxo_decode_point(points + i * RAXO_POINT_SIZE, units);
            UserPointData q = rotate_with(r, p);
            q.intensity = p.intensity;
            q.distance = p.distance;
            if (with_height != nullptr) {
                q.z = float(double(q.z) + mountingHeight_);
                with_height[i] = q;
            }
            level[i] = q;
        }
    }
    if (frameEnd)
        endFrame(h.type);
}

std::vector<UserPointData> RecvDataProc2::voxelFiltered() const
{
    const float size = voxelSize_;
    // A cell edge that is not a positive number would put every point in one undefined cell.
    if (!(size > 0.0f) || !std::isfinite(size))
        return frame_.frames[0];
    struct Key {
        int64_t x, y, z;
        bool operator==(const Key &o) const { return x == o.x && y == o.y && z == o.z; }
    };
    struct KeyHash {
        size_t operator()(const Key &k) const
        {
            const uint64_t h = uint64_t(k.x) * 73856093u ^ uint64_t(k.y) * 19349663u
                ^ uint64_t(k.z) * 83492791u;
            return size_t(h);
        }
    };
    // Truncation toward zero as an int cast would do, without its overflow on huge quotients.
    auto cellOf = [size](float v) -> int64_t {
        const float q = v / size;
        if (!(q > -2147483648.0f && q < 2147483648.0f))
            return INT64_MIN;
        return int64_t(std::trunc(q));
    };
    std::unordered_map<Key, int, KeyHash> counts;
    std::vector<Key> keys;
    const PointFrame &frame3D = frame_.frames[0];
    keys.reserve(frame3D.size());
    for (const UserPointData &p : frame3D) {
        const Key k{cellOf(p.x), cellOf(p.y), cellOf(p.z)};
        keys.push_back(k);
        ++counts[k];
    }
    std::vector<UserPointData> out;
    for (size_t i = 0; i < frame3D.size(); ++i) {
        if (counts[keys[i]] > voxelMinNum_)
            out.push_back(frame3D[i]);
    }
    return out;
}

// The loop's share of a frame end: it marks what goes with the frame and swaps its buffers for
// fresh ones; posting (and the copies that takes) happens on the handoff's thread.
void RecvDataProc2::endFrame(uint8_t packetType)
{
    unsigned flags = 0;
    if (voxelOn_) {
        frame_.frames[0] = voxelFiltered();
        flags |= kFiltered;
    } else {
        const uint16_t written = rd_u16(frame_.bytes.data());
        if ((packetType == RAXO_TYPE_POINTS && written == RAXO_GRID_CELLS)
            || (packetType == RAXO_TYPE_POINTS_HALF && written == RAXO_GRID_CELLS / 2))
            flags |= kPostDebugImage;
    }
    pointPacketCount_ = 0;
    scanPoints_ = 0;
    overflowing_ = false;
    if (dataOk_ == 0) {
        dataOk_ = 1;
        flags |= kFirstFrame;
    }
    frame_.flags = flags;
    handoff_.hand_over(frame_); // leaves emptied buffers and a zeroed image behind
}

void RecvDataProc2::postFrames(FrameHandoff::Batch &b)
{
    emit sig_framedata(b.frames[0], lidartype);
    if ((b.flags & kFiltered) == 0) {
        emit sig_framedata_2D(b.frames[1], lidartype);
        if (b.flags & kPostDebugImage)
            emit sig_debug_show(
                QByteArray(reinterpret_cast<const char *>(b.bytes.data()), int(b.bytes.size())));
    }
    if (b.flags & kFirstFrame)
        postText(MSG_RUN_STATE, data_reception_notice());
}

// The frame under construction has no room for the next packet: no frame end came where one
// must have. It goes, with the scan collected for the ground fit and the debug grid, and the
// packet starts the next one.
void RecvDataProc2::dropOverflowingFrame()
{
    frame_.frames[0].clear();
    frame_.frames[1].clear();
    std::memset(frame_.bytes.data(), 0, frame_.bytes.size());
    groundPoints_.clear();
    pointPacketCount_ = 0;
    scanPoints_ = 0;
    if (!overflowing_) {
        overflowing_ = true;
        postText(MSG_ERROR, frame_overflow_notice(kMaxFramePoints));
    }
}

size_t RecvDataProc2::frameCapacity() const
{
    return std::max({frame_.frames[0].capacity(), frame_.frames[1].capacity(),
                     groundPoints_.capacity()});
}

void RecvDataProc2::processCmdDatagram(const uint8_t *buf, size_t len)
{
    // Nothing shorter than an empty LhSumFrame is a reply; its fields are not there to read.
    if (buf == nullptr || len < LH_SUM_OVERHEAD)
        return;
    if (buf[0] == 'L' && buf[1] == 'H') {
        const uint64_t expected = uint64_t(rd_u32(buf + 8)) + LH_SUM_OVERHEAD;
        QV_TRACE_LIMITED() << expected << len;
        if (expected == len) {
            if (!post(MSG_CMD_INFO, QByteArray(reinterpret_cast<const char *>(buf), int(len)), kRepliesWaiting))
                notices_.offer(0, MSG_WARM, replies_left_out_notice);
        } else
            QV_TRACE_LIMITED() << "cmd cmd len is failed" << expected << len;
    }
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        first = cmdOk_ == 0;
        cmdOk_ = 1;
    }
    if (first)
        postText(MSG_RUN_STATE, cmd_reception_notice());
}

// ---------------------------------------------------------------------------------------------
// Work queue and file transfer

bool RecvDataProc2::runWork(int code)
{
    switch (code) {
    case WORK_FIRMWARE_MOTOR:
    case WORK_FIRMWARE_MCU:
        doUpload(code);
        return true;
    case WORK_ZONE_WRITE:
    case WORK_ZONE_READ:
        if (!zone_)
            return false; // not initialised: nothing to build or read the image with
        if (code == WORK_ZONE_WRITE)
            doZoneWrite();
        else
            doZoneRead();
        return true;
    case WORK_MODEL_READ:
        doModelRead();
        return true;
    default:
        return false;
    }
}

void RecvDataProc2::doUpload(int code)
{
    QString path;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        path = uploadPath_;
    }
    QString text;
    if (updateFile(path, text)) {
        postText(code, tr("update OK"));
        // The sensor restarts after new firmware: both reception notices are due again.
        start_timer_on_owner_thread(this, kReceptionResetMs, [this] { clearReceptionFlags(); });
    } else {
        postText(code, tr("update NG:%1").arg(text));
    }
}

void RecvDataProc2::doZoneWrite()
{
    zones table;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        table = zoneTable_;
    }
    if (zoneFile_.isEmpty())
        buildTransferPaths();
    if (!zone_->writeZoneFile(table, zoneFile_)) {
        postText(MSG_ERROR, tr("zone write error"));
        return;
    }
    QString text;
    if (updateFile(zoneFile_, text))
        postText(MSG_WARM, tr("zone write %1").arg("OK"));
    else
        postText(MSG_ERROR, tr("zone write %1").arg("NG"));
}

void RecvDataProc2::doZoneRead()
{
    if (zoneFile_.isEmpty())
        buildTransferPaths();
    // An image the engine refuses is a failed read: the editor keeps its zones rather than
    // receiving an empty table.
    if (RecvFile(zoneFile_, "zone_cfg.bin") != 0 || !zone_->readZoneFile(zoneFile_)) {
        postText(MSG_ERROR, tr("zone read %1").arg("NG"));
        return;
    }
    zones table = zone_->getZones();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        zoneTable_ = table;
    }
    emit sig_zoneData(table);
    postText(MSG_WARM, tr("zone read %1").arg("OK"));
}

void RecvDataProc2::doModelRead()
{
    modelReadWaiting_.store(false);
    if (modelFile_.isEmpty())
        buildTransferPaths();
    if (RecvFile(modelFile_, "alg_model.bin") == 0) {
        QV_TRACE() << "model file received" << modelFile_;
        emit sig_modelData(modelFile_);
        postText(MSG_WARM, tr("detect model load %1").arg("OK"));
    } else {
        postText(MSG_ERROR, tr("detect model load %1").arg("NG"));
    }
}

bool RecvDataProc2::updateFile(QString path, QString &text)
{
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    const bool ok = transfer_.upload(path.toLocal8Bit().toStdString());
    text = tr("trans time:%1").arg(double(QDateTime::currentMSecsSinceEpoch() - start) / 1000.0);
    return ok;
}

int RecvDataProc2::SendFileInfo(QString path)
{
    return transfer_.SendFileInfo(path.toLocal8Bit().toStdString());
}

int RecvDataProc2::RecvFile(QString localPath, QString fileName)
{
    return transfer_.RecvFile(localPath.toLocal8Bit().toStdString(),
                              fileName.toLocal8Bit().toStdString());
}

int RecvDataProc2::connectFallback()
{
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (s < 0)
        return INVALID_SOCK;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(uint16_t(cmdPort_));
    bool ok = inet_pton(AF_INET, ipText_.constData(), &to.sin_addr) == 1;
    if (ok) {
        // Bounded: an unanswered connect would otherwise hold the loop for minutes.
        const int flags = fcntl(s, F_GETFL, 0);
        fcntl(s, F_SETFL, flags | O_NONBLOCK);
        int rc = ::connect(s, reinterpret_cast<sockaddr *>(&to), sizeof(to));
        if (rc != 0 && errno == EINPROGRESS) {
            pollfd p{s, POLLOUT, 0};
            int err = ETIMEDOUT;
            if (::poll(&p, 1, kConnectTimeoutMs) == 1) {
                socklen_t elen = sizeof(err);
                getsockopt(s, SOL_SOCKET, SO_ERROR, &err, &elen);
            }
            rc = err == 0 ? 0 : -1;
        }
        fcntl(s, F_SETFL, flags);
        ok = rc == 0;
    }
    if (!ok) {
        ::close(s);
        return INVALID_SOCK;
    }
    return s;
}

int RecvDataProc2::SendFrame(int type, const void *payload, unsigned length)
{
    const std::vector<uint8_t> frame = lh_make_sum_frame(0, 0, uint16_t(type & 0x7FFF), payload, length);
    if (frame.empty())
        return -1;
    int sock;
    bool tcp;
    {
        std::lock_guard<std::mutex> lock(sockMutex_);
        sock = transferSock_;
        tcp = transferIsTcp_;
    }
    int sent;
    if (tcp)
        sent = sock == INVALID_SOCK ? -1 : int(::send(sock, frame.data(), frame.size(), MSG_NOSIGNAL));
    else
        sent = udp_send_to(sock, ipText_.constData(), cmdPort_, frame.data(), frame.size());
    if (sent != -1)
        return sent;

    postText(MSG_ERROR, tr("Failed to send command,trying to reconnect..."));
    {
        std::lock_guard<std::mutex> lock(sockMutex_);
        udp_close(transferSock_);
        // The transfer socket was the command socket: it is gone now, and no one may use
        // its number again (the next socket opened would likely get it).
        if (transferSock_ == cmdSock_)
            cmdSock_ = INVALID_SOCK;
        transferSock_ = INVALID_SOCK;
        transferIsTcp_ = false;
    }
    const int fallback = connectFallback();
    {
        std::lock_guard<std::mutex> lock(sockMutex_);
        transferSock_ = fallback;
        transferIsTcp_ = fallback != INVALID_SOCK;
    }
    return sent;
}

// ---------------------------------------------------------------------------------------------
// The loop

void RecvDataProc2::run()
{
    running_.store(1);
    recvDataFormPointCloudV1();
}

void RecvDataProc2::closeSockets()
{
    std::lock_guard<std::mutex> lock(sockMutex_);
    if (transferSock_ != INVALID_SOCK && transferSock_ != cmdSock_)
        udp_close(transferSock_);
    if (cmdSock_ != INVALID_SOCK)
        udp_close(cmdSock_);
    if (dataSock_ != INVALID_SOCK)
        udp_close(dataSock_);
    transferSock_ = INVALID_SOCK;
    transferIsTcp_ = false;
    cmdSock_ = INVALID_SOCK;
    dataSock_ = INVALID_SOCK;
}

void RecvDataProc2::recvDataFormPointCloudV1()
{
    const char *bind = bindIp_.isEmpty() ? nullptr : bindIp_.constData();
    const int data = udp_open(dataPort_, false, bind);
    if (data == INVALID_SOCK) {
        postText(MSG_ERROR, tr("open data socket failed"));
        running_.store(0);
    }
    const int cmd = udp_open(cmdPort_, false, bind);
    if (cmd == INVALID_SOCK) {
        postText(MSG_ERROR, tr("open cmd socket failed,code:%1 %2 %3").arg(cmd).arg(ip_).arg(cmdPort_));
        running_.store(0);
    }
    {
        std::lock_guard<std::mutex> lock(sockMutex_);
        dataSock_ = data;
        cmdSock_ = cmd;
        transferSock_ = cmd;
        transferIsTcp_ = false;
    }
    buildTransferPaths();

    // Data datagrams are read up to 16 at a time.
    UdpBatch datagrams(16, kDataBufferSize);
    bool moreData = false;
    std::vector<uint8_t> cmdBuf(kCmdBufferSize, 0);
    frame_.frames[0].clear();
    frame_.frames[1].clear();
    std::memset(frame_.bytes.data(), 0, frame_.bytes.size());
    scanPoints_ = 0;
    overflowing_ = false;
    // The decoding tables and the frame buffers are made and faulted in before the session
    // says it has started: while that takes, datagrams wait in the socket's buffer.
    raxo_unit_tables();
    handoff_.start(frame_);
    post(MSG_RECV_STARTED, QByteArray(""));
    if (data != INVALID_SOCK) {
        const QString notice =
            recv_buffer_notice(udp_recv_buffer_granted(data), UDP_RECV_BUFFER, UDP_RECV_BUFFER);
        if (!notice.isEmpty())
            postText(MSG_WARM, notice);
    }
    const long faultsBefore = thread_page_faults();
    // Datagrams of both sockets are accepted only from the device's address text.
    uint32_t device = 0;
    const bool device_ok = ipv4_from_canonical_text(ipText_.constData(), &device);

    while (running_.load()) {
        int code = 0;
        if (work_.try_dequeue(code))
            runWork(code);

        int ds;
        int cs;
        {
            std::lock_guard<std::mutex> lock(sockMutex_);
            ds = dataSock_;
            cs = cmdSock_;
        }
        if (ds == INVALID_SOCK || cs == INVALID_SOCK)
            break;

        // While datagrams keep coming, the wait only looks (time-out 0) whether the command
        // socket has something too; it waits in earnest once the data socket is drained.
        pollfd fds[2] = {{ds, POLLIN, 0}, {cs, POLLIN, 0}};
        const int ready = ::poll(fds, 2, moreData ? 0 : kSelectTimeoutMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            std::printf("select error\n");
            break;
        }
        moreData = false;
        if (ready == 0)
            continue;

        if (fds[0].revents & (POLLIN | POLLERR)) {
            const int n = datagrams.receive(ds);
            const auto read = std::chrono::steady_clock::now();
            for (int i = 0; i < n; ++i) {
                if (datagrams.size(i) < 1 || !device_ok || datagrams.source(i) != device)
                    continue; // another sender: dropped, not recorded
                log_dump_record(0, datagrams.data(i), datagrams.size(i), lidartype);
                processDataDatagram(datagrams.data(i), datagrams.size(i));
            }
            moreData = datagrams.full();
            if (n > 0) {
                const int64_t took = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                         std::chrono::steady_clock::now() - read)
                                         .count();
                if (took > longestBatchNs_.load(std::memory_order_relaxed))
                    longestBatchNs_.store(took, std::memory_order_relaxed);
            }
        }
        notices_.flush();
        if (fds[1].revents & (POLLIN | POLLERR)) {
            sockaddr_in from{};
            socklen_t flen = sizeof(from);
            const ssize_t n = ::recvfrom(cs, cmdBuf.data(), cmdBuf.size(), MSG_DONTWAIT,
                                         reinterpret_cast<sockaddr *>(&from), &flen);
            // Replies, like data, count only from the device: anyone on the network can send
            // to this port, and a stranger's "reply" would rewrite the page or raise warnings.
            if (n >= 1 && device_ok && flen >= sizeof(from) && from.sin_family == AF_INET
                && from.sin_addr.s_addr == device)
                processCmdDatagram(cmdBuf.data(), size_t(n));
        }
    }

    loopFaults_.store(thread_page_faults() - faultsBefore, std::memory_order_relaxed);
    handoff_.stop(); // every frame is posted before the disconnection
    notices_.flush(true);
    closeSockets();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        mountingHeight_ = 0.0;
        pointPacketCount_ = 0;
        cmdOk_ = 0;
        dataOk_ = 0;
    }
    imuSettled_ = 0;
    postText(MSG_RUN_STATE, disconnect_notice());
}
