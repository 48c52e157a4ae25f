#include "playbackproc.h"

#include "capturereader.h"
#include "devicemodels.h"
#include "framecache.h"
#include "lasreader.h"
#include "memoryhints.h"
#include "laswriter.h"
#include "pcdreader.h"
#include "pcdwriter.h"
#include "playbackparsers.h"
#include "playbackscans.h"
#include "tracelog.h"
#include "viewrange.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

PacketViews views_of(const QList<QByteArray> &list)
{
    PacketViews views;
    views.reserve(size_t(list.size()));
    for (const QByteArray &b : list)
        views.push_back({reinterpret_cast<const uint8_t *>(b.constData()), size_t(b.size())});
    return views;
}

QList<QByteArray> copies_of(const PacketViews &views)
{
    QList<QByteArray> list;
    list.reserve(int(views.size()));
    for (const PacketView &v : views)
        list.append(QByteArray(reinterpret_cast<const char *>(v.data), int(v.size)));
    return list;
}

} // namespace

// Turns what the parsers find into the worker's signals and texts. With a frame cache the
// frame under way is assembled in the cache itself.
class PlaybackProc::Sink : public PlaybackSink {
public:
    explicit Sink(PlaybackProc *owner)
        : owner_(owner), cache_(owner->cache_.load()),
          generation_(cache_ != nullptr ? cache_->begin_write() : 0)
    {
    }
    ~Sink() override
    {
        if (cache_ != nullptr)
            cache_->end_write();
    }
    Sink(const Sink &) = delete;
    Sink &operator=(const Sink &) = delete;

    UserPointData *grow(size_t n) override
    {
        return cache_ != nullptr ? cache_->grow(n) : PlaybackSink::grow(n);
    }
    void shrink(size_t n) override
    {
        if (cache_ != nullptr)
            cache_->shrink(n);
        else
            PlaybackSink::shrink(n);
    }
    size_t pending() const override
    {
        return cache_ != nullptr ? cache_->pending() : PlaybackSink::pending();
    }
    void end_frame(float progress) override
    {
        if (stopped()) {
            // Nobody waits for this frame any more: forget its points, post nothing.
            if (cache_ == nullptr)
                buffer_.clear();
            else
                cache_->commit(~uint64_t(0)); // a generation no fill has: the space is reused
            return;
        }
        if (cache_ == nullptr) {
            PlaybackSink::end_frame(progress);
            return;
        }
        cache_->commit(generation_);
        emit owner_->sig_CacheData(PointFrame(), progress);
    }
    void frame(const PointFrame &points, float progress) override
    {
        if (!stopped())
            emit owner_->sig_CacheData(points, progress);
    }
    bool stopped() const override { return owner_->abandoned(); }
    // A whole frame that was not decoded through grow() (the LAS and PCD readers). Their
    // coordinates are floats (or scaled doubles) as another program wrote them: those no view
    // can place go first.
    void whole_frame(PointFrame &points, float progress)
    {
        points.resize(keep_points_in_view(points.data(), points.size(), FILE_COORD_LIMIT_M));
        if (cache_ == nullptr) {
            frame(points, progress);
            return;
        }
        if (!points.empty())
            std::memcpy(static_cast<void *>(cache_->grow(points.size())), points.data(),
                        points.size() * sizeof(UserPointData));
        end_frame(progress);
    }
    void index_gap(int last, int now, uint64_t stamp, uint64_t last_stamp) override
    {
        owner_->post(MSG_ERROR, tr("drop package last index: %1 now index:%2").arg(last).arg(now));
        QV_TRACE() << QStringLiteral("drop package last index: %1 now index:%2 timestamp:%3 %4")
                            .arg(last)
                            .arg(now)
                            .arg(stamp)
                            .arg(last_stamp);
    }
    void packet_length_error(size_t length, size_t expected) override
    {
        owner_->post(MSG_ERROR, tr("pointcloud packet length error:  %1 %2")
                                    .arg(qulonglong(length))
                                    .arg(qulonglong(expected)));
    }
    void mirror_fault(unsigned value) override
    {
        owner_->post(MSG_ERROR, tr(" mirror :%1").arg(value));
    }
    void motor_fault(unsigned tenths) override
    {
        owner_->post(MSG_ERROR, tr(" main motor:%1 ").arg(tenths / 10.0, 0, 'g', 6));
    }
    void plane_completed(int type) override
    {
        emit owner_->sig_data(MSG_DATA_TYPE, QByteArray::number(type));
    }
    void command_reply(const uint8_t *data, size_t size) override
    {
        emit owner_->sig_data(MSG_CMD_INFO,
                              QByteArray(reinterpret_cast<const char *>(data), int(size)));
    }

private:
    PlaybackProc *owner_;
    FrameCache *cache_;
    uint64_t generation_;
};

PlaybackProc::PlaybackProc() : QObject(nullptr) {}

// A whole file in memory, in the worker's file buffer: valid until the next read. When the
// reader is done with it, its pages are handed back lazily.
struct PlaybackProc::FileBytes {
    const uint8_t *data = nullptr;
    size_t size = 0;
    uint8_t *lease = nullptr; // the buffer's memory, released lazily at the end
    size_t lease_size = 0;
    const uint8_t *bytes() const { return data; }
    FileBytes() = default;
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;
    ~FileBytes()
    {
        if (lease != nullptr)
            release_lazily(lease, lease_size);
    }
};

// False when the file cannot be opened or read, is not a regular file, or is beyond the
// playback bound (the request refuses those before any reader runs).
bool PlaybackProc::read_whole_file(const char *path, FileBytes &out)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size >= PlaybackProc::kMaxBytes) {
        ::close(fd);
        return false;
    }
    const size_t want = size_t(st.st_size);
    if (want > file_capacity_ || !file_) {
        file_.reset(); // the old buffer goes before the new one is taken
        file_capacity_ = 0;
        file_.reset(new uint8_t[want > 0 ? want : 1]);
        file_capacity_ = want > 0 ? want : 1;
    }
    uint8_t *buf = file_.get();
    advise_huge_pages(buf, want);
    out.lease = buf;
    out.lease_size = file_capacity_;
    size_t got = 0;
    while (got < want) {
        const ssize_t r = ::read(fd, buf + got, want - got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            ::close(fd);
            return false;
        }
        if (r == 0)
            break; // the file shrank since fstat: keep what is there
        got += size_t(r);
    }
    ::close(fd);
    out.data = buf;
    out.size = got;
    return true;
}

void PlaybackProc::setFrameCache(FrameCache *cache)
{
    cache_.store(cache);
}


void PlaybackProc::abandon()
{
    abandonMarks_.fetch_add(1, std::memory_order_acq_rel);
    // The mark passes in the worker's own thread, behind every request queued before it.
    QMetaObject::invokeMethod(this, [this] { passAbandonMark(); }, Qt::QueuedConnection);
}

void PlaybackProc::passAbandonMark()
{
    abandonMarks_.fetch_sub(1, std::memory_order_acq_rel);
    emit sig_abandonPassed();
}

void PlaybackProc::post(int type, const QString &text)
{
    emit sig_data(type, text.toLocal8Bit());
}

namespace {

// Opens `path` for reading when it is a regular file: -1 (errno ENODEV) for anything else. A
// named pipe or a device would hold the caller in open() or read() until someone writes to it,
// and the chooser runs on the GUI thread.
int open_regular(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = ENODEV;
        return -1;
    }
    return fd;
}

} // namespace

int PlaybackProc::openForPlayback(const QString &path, int type)
{
    const int fd = open_regular(path);
    if (fd < 0 && errno == ENODEV)
        post(type, tr("The playback file is not a regular file: %1").arg(path));
    else if (fd < 0)
        post(type, tr("The playback file is open failed!"));
    return fd;
}

int PlaybackProc::DetectLogType(QString path)
{
    const int fd = openForPlayback(path, MSG_LOG);
    if (fd < 0)
        return LOG_NONE;
    QByteArray head(6, '\0');
    const ssize_t got = ::read(fd, head.data(), size_t(head.size()));
    ::close(fd);
    head.resize(got > 0 ? int(got) : 0);
    const QString suffix = QFileInfo(path).suffix();
    if (suffix == QLatin1String("las"))
        return LOG_LAS;
    if (suffix == QLatin1String("pcd"))
        return LOG_PCD;
    if (suffix == QLatin1String("pcap"))
        return LOG_PCAP;
    if (suffix == QLatin1String("pcapng"))
        return LOG_PCAPNG;
    if (suffix == QLatin1String("vimo"))
        return LOG_UDPP;
    return head == QByteArray("LHLOGH") ? LOG_DUMP : LOG_RAW;
}

void PlaybackProc::recv_playback(QString filename, int logtype, int lidartype)
{
    if (abandoned()) {
        QV_TRACE() << "request abandoned before it started:" << filename;
        return;
    }
    // Checked again here: the file may have been replaced since it was chosen.
    const int fd = openForPlayback(filename, MSG_ERROR);
    if (fd < 0)
        return;
    ::close(fd);
    QFile file(filename);
    if (!file.open(QIODevice::ReadOnly)) {
        post(MSG_ERROR, tr("The playback file is open failed!"));
        return;
    }
    // The size comes from the open file, before anything is read: a file of several GB is
    // refused without being loaded.
    const qint64 size = file.size();
    file.close();
    if (size >= kMaxBytes) {
        post(MSG_ERROR, tr("The playback file is  too large,maximum 100M"));
        return;
    }
    if (size <= kMinBytes) {
        post(MSG_ERROR, tr("The playback file is  too small,minmum 4K"));
        return;
    }
    QV_TRACE() << "log type:" << logtype;
    const QByteArray path = QFile::encodeName(filename);
    bool result = false;
    switch (logtype) {
    case LOG_LAS: result = LASReader(path.constData()); break;
    case LOG_PCD: result = PCDReader(path.constData()); break;
    case LOG_PCAP: result = WiressharkReader(path.constData(), false, lidartype); break;
    case LOG_PCAPNG: result = WiressharkReader(path.constData(), true, lidartype); break;
    case LOG_DUMP: result = LogReader(path.constData()); break;
    case LOG_UDPP: result = MarivexReader(path.constData(), lidartype); break;
    default: result = RawReader(path.constData(), lidartype); break;
    }
    QV_TRACE() << "reader result:" << result;
    emit finished();
}

int PlaybackProc::run_parser(int lidartype, const PacketViews &packets, Sink &sink)
{
    const DeviceModel &model = device_model(lidartype);
    if (model.parse == nullptr)
        return -1;
    QV_TRACE() << "model" << lidartype << "packets:" << packets.size();
    return model.parse(packets.data(), packets.size(), sink, &highest_plane_type_);
}

void PlaybackProc::end_report(int lidartype, size_t packets, int frames)
{
    // An abandoned request tells nothing: its type would become the model of whatever the
    // window runs now.
    if (abandoned())
        return;
    emit sig_data(MSG_LIDAR_TYPE, QByteArray::number(lidartype));
    post(MSG_LOG, tr("playback cache end, package num:%1 framenum:%2 ")
                      .arg(qulonglong(packets))
                      .arg(frames));
}

bool PlaybackProc::LogReader(const char *path)
{
    Sink sink(this);
    FileBytes file;
    if (!read_whole_file(path, file)) {
        post(MSG_LOG, tr("The playback file is open failed!"));
        return false;
    }
    PacketViews packets;
    int type = scan_dump_records(file.bytes(), file.size, packets);
    int frames = run_parser(type, packets, sink);
    if (frames < 0) {
        // No parser for the records' type (or no record at all).
        type = LIDAR_UNKNOWN;
        frames = 0;
    }
    end_report(type, packets.size(), frames);
    return true;
}

bool PlaybackProc::RawReader(const char *path, int lidartype)
{
    Sink sink(this);
    FileBytes file;
    if (!read_whole_file(path, file)) {
        post(MSG_LOG, tr("The playback file is open failed!:%1").arg(QString::fromLocal8Bit(path)));
        return false;
    }
    PacketViews packets;
    const DeviceModel &model = device_model(lidartype);
    if (model.scanRaw != nullptr)
        model.scanRaw(file.bytes(), file.size, packets, sink);
    const int frames = run_parser(lidartype, packets, sink);
    end_report(lidartype, packets.size(), frames < 0 ? 0 : frames);
    return true;
}

bool PlaybackProc::WiressharkReader(const char *path, bool pcapng, int lidartype)
{
    // libpcap tells pcap from pcapng by the file's content; the suffix only chose the log type.
    Sink sink(this);
    CaptureReader &capture = capture_;
    if (!capture.read_file(path))
        QV_TRACE() << "can not open capture file:" << path << (pcapng ? "pcapng" : "pcap")
                     << QString::fromStdString(capture.error());
    const PacketViews packets = capture.payloads();
    QV_TRACE() << "lidar type:" << lidartype << "packets:" << capture.packets_read()
                 << "ipv4:" << packets.size();
    const int frames = run_parser(lidartype, packets, sink);
    capture.release_payloads();
    end_report(lidartype, packets.size(), frames < 0 ? 0 : frames);
    return frames > 0;
}

bool PlaybackProc::MarivexReader(const char *path, int lidartype)
{
    Sink sink(this);
    FileBytes file;
    if (!read_whole_file(path, file)) {
        post(MSG_LOG, tr("The playback file is open failed!:%1").arg(QString::fromLocal8Bit(path)));
        return false;
    }
    PacketViews packets;
    int frames = 0;
    if (device_model(lidartype).udppRecords) {
        scan_udpp_records(file.bytes(), file.size, packets);
        QV_TRACE() << "udpp records:" << packets.size();
        frames = run_parser(lidartype, packets, sink);
    }
    end_report(lidartype, packets.size(), frames);
    return true;
}

bool PlaybackProc::LASReader(const char *path)
{
    Sink sink(this);
    FileBytes file;
    LasReader las;
    if (!read_whole_file(path, file)) {
        QV_TRACE() << "can not open las file: " << path;
        return false;
    }
    if (!las.open(file.bytes(), file.size)) {
        QV_TRACE() << "can not open las file: " << path << "-"
                     << QString::fromStdString(las.error_text());
        // Said in the message log as well: a LAZ file or a broken header would otherwise
        // leave the user with a cache that never fills and no reason why.
        post(MSG_ERROR, tr("can not open las file: %1")
                            .arg(QString::fromStdString(las.error_text())));
        return false;
    }
    const LasHeader &h = las.header();
    QV_TRACE() << "point num:" << h.point_count;
    QV_TRACE() << "geometry X: [minx:" << h.min[0] << ", maxx:" << h.max[0] << "]";
    if (las.available_points() < h.point_count)
        QV_TRACE() << "the file holds" << las.available_points() << "points only";
    PointFrame frame;
    frame.reserve(size_t(las.available_points()));
    LasPoint p;
    for (uint64_t i = 0; las.read_point(i, &p); ++i) {
        UserPointData pt;
        pt.x = float(double(p.X) * h.scale[0] + h.offset[0]);
        pt.y = float(double(p.Y) * h.scale[1] + h.offset[1]);
        pt.z = float(double(p.Z) * h.scale[2] + h.offset[2]);
        pt.intensity = p.intensity;
        frame.push_back(pt);
    }
    sink.whole_frame(frame, 100.0f);
    return true;
}

bool PlaybackProc::PCDReader(const char *path)
{
    Sink sink(this);
    FileBytes file;
    if (!read_whole_file(path, file)) {
        QV_TRACE() << "can not open pcd file:" << path;
        return false;
    }
    // A broken file can hold millions of bad lines: trace the first ones and count the rest.
    constexpr size_t kTracedLines = 20;
    PcdReader pcd;
    pcd.on_bad_line = [&pcd](const std::string &line) {
        if (pcd.bad_lines() <= kTracedLines)
            QV_TRACE() << "data format error: " << QString::fromStdString(line);
    };
    PointFrame frame;
    if (!pcd.read(reinterpret_cast<const char *>(file.bytes()), file.size, frame)) {
        QV_TRACE() << path << QString::fromStdString(pcd.error_text());
        post(MSG_ERROR, tr("can not open pcd file: %1").arg(QString::fromStdString(pcd.error_text())));
        return false;
    }
    if (pcd.bad_lines() > kTracedLines)
        QV_TRACE() << "data format error in" << pcd.bad_lines() << "lines";
    sink.whole_frame(frame, 100.0f);
    return true;
}

bool PlaybackProc::LASWriter(const char *path, const std::vector<UserPointData> &frame)
{
    LasWriter writer;
    if (!writer.write(path, frame)) {
        QV_TRACE() << "can not write las file:" << path << writer.error_text();
        return false;
    }
    return true;
}

bool PlaybackProc::PCDWriter(const char *path, const std::vector<UserPointData> &frame)
{
    PcdWriter writer;
    if (!writer.write(path, frame)) {
        QV_TRACE() << "can not write pcd file:" << path << QString::fromStdString(writer.error());
        return false;
    }
    return true;
}

int PlaybackProc::parse_data_raxo_e(QList<QByteArray> packets)
{
    const PacketViews views = views_of(packets);
    Sink sink(this);
    return parse_raxo_packets(views.data(), views.size(), sink);
}

int PlaybackProc::parse_data_vimo_e(QList<QByteArray> packets)
{
    QV_TRACE() << "packets:" << packets.size();
    const PacketViews views = views_of(packets);
    Sink sink(this);
    return parse_vimo_e_packets(views.data(), views.size(), sink);
}

int PlaybackProc::parse_data_box(QList<QByteArray> packets)
{
    const PacketViews views = views_of(packets);
    Sink sink(this);
    return parse_box_packets(views.data(), views.size(), sink);
}

int PlaybackProc::parse_data_fenk_u(QList<QByteArray> packets)
{
    const PacketViews views = views_of(packets);
    Sink sink(this);
    return parse_fenk_u_packets(views.data(), views.size(), sink, &highest_plane_type_);
}

QList<QByteArray> PlaybackProc::parse_data_vimo_e_marivex(const char *data, int size)
{
    PacketViews views;
    if (data != nullptr && size > 0)
        scan_udpp_records(reinterpret_cast<const uint8_t *>(data), size_t(size), views);
    return copies_of(views);
}

QList<QByteArray> PlaybackProc::split_lp_stream(const char *data, int size)
{
    PacketViews views;
    if (data != nullptr && size > 0) {
        Sink sink(this);
        ::split_lp_stream(reinterpret_cast<const uint8_t *>(data), size_t(size), views, sink);
    }
    return copies_of(views);
}

int PlaybackProc::decode_lp_packet(int n, const char *data, LpPlaneBuffer *plane, int *consumed,
                                   char *message)
{
    return ::decode_lp_packet(n, data, plane, consumed, message);
}
