// A flood from the device's own address at a live session of each kind, against the real window
// and the fake devices on loopback: what a sensor gone wrong, or anyone who sends with its
// address, does to the program. Every datagram passes the address checks the program makes.
//
// Per session kind (Raxo-S, Raxo-E, Vimo-E, Fenk-U, algorithm box), with the window drawing
// the device's real frames and a recording on:
//  - 10,000 datagrams a second from the device's address for the flood's length: malformed,
//    truncated, oversized and lying data datagrams (frames ended at every datagram, packets that
//    claim more than they hold, coordinates that are no numbers, zone-monitor records of
//    nothing), and replies repeated over and over (parameters, set results, the algorithm
//    parameters that start a model download, the box's upload types and cache cleans);
//  - beside it 2,000 heartbeats a second on the group (the device's own, and box heartbeats
//    from 20,000 made-up addresses) and 1,000 datagrams a second from a stranger.
// A click is posted to the window every 100 ms, during the flood and 10 s after it. Printed per
// session: the longest a click waited during and after the flood, resident memory before, at
// most and after, message-log lines per second, records written against the device datagrams
// the session took, and what the flood made the program do beyond that (commands sent, model
// downloads, listed boxes, boxes raised). Exits 1 when a goal was not met: every click answered
// within 1 s during and after, memory grown by less than 100 MB and back within 100 MB of where
// it started, the recording holding every datagram the receiver took and nothing of the
// stranger's.
//
//   soak_flood [seconds of each flood] [kinds]   (defaults 30 and "raxo-s,raxo-e,vimo-e,fenk-u,box")
//
// Runs inside its own network namespace (isolatednetwork.h); scripts/soak_flood.sh does that.

#include "algorithmbox.h"
#include "algorithmboxproc.h"
#include "component_logoperate.h"
#include "devicepackets.h"
#include "dialog_connect.h"
#include "fakebox.h"
#include "fakefenku.h"
#include "fakeheartbeat.h"
#include "fakeraxo.h"
#include "fakevimo.h"
#include "inisettings.h"
#include "isolatednetwork.h"
#include "lhframe.h"
#include "logmanager.h"
#include "mainwindowaccess.h"
#include "messagebox.h"
#include "page_box.h"
#include "ratetable.h"
#include "windowbench.h"
#include "raxoscene.h"
#include "sockethelpers.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPushButton>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVTKOpenGLNativeWidget.h>

#include <arpa/inet.h>
#include <malloc.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char *kDevice = "127.0.0.2";
constexpr const char *kStranger = "127.0.0.9";
constexpr const char *kHeartbeatSource = "127.0.0.3";
constexpr char kStrangerMark[] = "STRANGER";
constexpr int kWarmUpMs = 3000;
constexpr int kAfterMs = 10000;
constexpr int kFloodRate = 10000;
constexpr int kHeartbeatRate = 2000;
constexpr int kStrangerRate = 1000;

// The soak's own guard: a window that has stopped answering for good would hold the soak too.
// The GUI thread moves the deadline on; past it, what was measured so far is all there is.
std::atomic<int64_t> g_deadline{INT64_MAX};
constexpr int kGiveUpMs = 120000;

int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void startWatchdog()
{
    std::thread([] {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            if (nowMs() > g_deadline.load()) {
                std::printf("  the window has not answered for %d s after the flood: given up\n"
                            "goals: NOT met\n",
                            kGiveUpMs / 1000);
                std::fflush(stdout);
                std::_Exit(1);
            }
        }
    }).detach();
}

// Bytes the allocator hands out now (in use), in MB: what RSS would be if freed memory were
// always given back.
double heapInUseMb()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

double residentMb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Datagrams dropped by the kernel at the UDP socket bound to 127.0.0.1:port (/proc/net/udp).
unsigned long socketDrops(int port)
{
    char local[32];
    std::snprintf(local, sizeof(local), "0100007F:%04X", port);
    std::ifstream f("/proc/net/udp");
    std::string line;
    std::getline(f, line);
    unsigned long drops = 0;
    while (std::getline(f, line)) {
        std::istringstream in(line);
        std::vector<std::string> col;
        for (std::string c; in >> c;)
            col.push_back(c);
        if (col.size() >= 13 && col[1] == local)
            drops += std::stoul(col.back());
    }
    return drops;
}

// One sending socket bound to an address of its own on loopback.
class Source {
public:
    explicit Source(const char *ip)
    {
        sock_ = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        const int size = 4 << 20;
        setsockopt(sock_, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        inet_pton(AF_INET, ip, &a.sin_addr);
        ::bind(sock_, reinterpret_cast<sockaddr *>(&a), sizeof a);
    }
    ~Source() { ::close(sock_); }
    bool send(int port, const Bytes &b) const
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(uint16_t(port));
        inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
        return ::sendto(sock_, b.data(), b.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to) ==
               ssize_t(b.size());
    }

private:
    int sock_ = -1;
};

// A share of the flood: datagrams sent round and round to one port, at `rate` a second.
struct Stream {
    const char *what;
    int port;
    double rate;
    std::vector<Bytes> pool;
    bool recorded; // the session records what it takes of these
    long sent = 0;
};

// Sends the streams from `source`, each at its rate, until stopped.
class Flood {
public:
    Flood(const Source &source, std::vector<Stream> &streams) : source_(source), streams_(streams) {}
    ~Flood() { stop(); }
    void start()
    {
        running_ = true;
        thread_ = std::thread([this] {
            const auto start = std::chrono::steady_clock::now();
            while (running_) {
                const double t =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                for (Stream &s : streams_) {
                    if (s.pool.empty())
                        continue;
                    const long due = long(t * s.rate);
                    for (; s.sent < due; ++s.sent)
                        source_.send(s.port, s.pool[size_t(s.sent) % s.pool.size()]);
                }
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
        });
    }
    void stop()
    {
        running_ = false;
        if (thread_.joinable())
            thread_.join();
    }

private:
    const Source &source_;
    std::vector<Stream> &streams_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

// Heartbeats on the group: the device's own, replayed, and box heartbeats from 20,000 made-up
// box addresses.
class HeartbeatFlood {
public:
    HeartbeatFlood(const std::vector<uint8_t> &own, int rate) : sender_(kHeartbeatSource)
    {
        pool_.push_back(own);
        for (int i = 0; i < 20000; ++i) {
            FakeBoxInfo b;
            b.box_ip = "10." + std::to_string(i / 256 % 256) + "." + std::to_string(i % 256) + ".7";
            pool_.push_back(make_box_heartbeat(b));
        }
        running_ = true;
        thread_ = std::thread([this, rate] {
            const auto start = std::chrono::steady_clock::now();
            long sent = 0;
            while (running_) {
                const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                for (const long due = long(t * rate); sent < due; ++sent)
                    sender_.send(sent % 2 == 0 ? pool_[0] : pool_[1 + size_t(sent / 2) % (pool_.size() - 1)]);
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
        });
    }
    ~HeartbeatFlood()
    {
        running_ = false;
        thread_.join();
    }

private:
    FakeHeartbeatSender sender_;
    std::vector<std::vector<uint8_t>> pool_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

// ---- the datagrams ----

std::mt19937 &rng()
{
    static std::mt19937 r(20261211);
    return r;
}

uint32_t any32()
{
    return rng()();
}

float oddFloat(int i)
{
    static const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(), 3.4e38f, -3.4e38f, 1e-45f};
    return i % 3 == 0 ? odd[size_t(i / 3) % 6] : float(int(any32() % 200000) - 100000) / 100.0f;
}

Bytes randomBytes(size_t n, const Bytes &start = {})
{
    Bytes b(n);
    for (uint8_t &x : b)
        x = uint8_t(any32());
    std::copy(start.begin(), start.begin() + long(std::min(start.size(), n)), b.begin());
    return b;
}

// Cut copies of whole datagrams: every length from one byte to the whole but one.
std::vector<Bytes> truncated(const std::vector<Bytes> &whole, size_t count)
{
    std::vector<Bytes> out;
    for (size_t i = 0; i < count; ++i) {
        const Bytes &w = whole[i % whole.size()];
        out.emplace_back(w.begin(), w.begin() + long(1 + any32() % (w.size() - 1)));
    }
    return out;
}

// Datagrams longer than any receive buffer, starting like `head`.
std::vector<Bytes> oversized(const Bytes &head)
{
    return {randomBytes(9000, head), randomBytes(20000, head), randomBytes(65000, head)};
}

Bytes withMark(Bytes b)
{
    if (b.size() >= 60)
        std::memcpy(b.data() + b.size() - 20, kStrangerMark, sizeof kStrangerMark - 1);
    return b;
}

Bytes sumReply(uint16_t type, const Bytes &payload)
{
    return lh_make_sum_frame(0, uint16_t(any32() & 0x7FFF), type, payload.data(), uint32_t(payload.size()));
}

// A sum frame whose length field lies.
Bytes lyingSumFrame(uint16_t type)
{
    Bytes b = sumReply(type, randomBytes(40));
    wr_u32(b.data() + 8, any32());
    return b;
}

std::vector<RaxoPoint> raxoPoints(size_t n)
{
    std::vector<RaxoPoint> pts;
    for (size_t i = 0; i < n; ++i)
        pts.push_back(raxo_point(uint16_t(any32()), int16_t(any32()), int16_t(any32()), int16_t(any32()),
                                 uint8_t(any32())));
    return pts;
}

// ---- a session under the flood ----

struct Result {
    std::string kind;
    bool started = false;
    double clickDuringMs = 0;
    double clickAfterMs = 0;
    double answeredAgainMs = 0;
    long clicks = 0;
    long clicksAnswered = 0;
    double rssBefore = 0, rssPeak = 0, rssAfter = 0;
    double heapBefore = 0, heapPeak = 0, heapAfter = 0;
    double logLinesPerSecond = 0;
    double logUpdatesPerSecond = 0;
    long sentDevice = 0;
    long sentRecordable = 0;
    unsigned long socketDrops = 0;
    long recordsWritten = 0;
    long strangerRecords = 0;
    long commandsToDevice = 0;
    long modelDownloads = -1;
    int boxesListed = -1; // at most, during the flood
    int boxesListedLater = -1;
    int notesPending = 0;
    int boxes = 0;
    double seconds = 0;
};

struct Records {
    long records = 0;
    long marked = 0;
};

Records readRecording(const QString &folder)
{
    Records r;
    QDirIterator it(folder, {"*.dump"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray c = f.readAll();
        const auto *p = reinterpret_cast<const uint8_t *>(c.constData());
        size_t pos = 0;
        while (size_t(c.size()) - pos >= DUMP_HEADER_SIZE) {
            const size_t len = rd_u16(p + pos + 18);
            if (size_t(c.size()) - pos - DUMP_HEADER_SIZE < len)
                break;
            ++r.records;
            if (QByteArray::fromRawData(c.constData() + pos + DUMP_HEADER_SIZE, int(len)).contains(kStrangerMark))
                ++r.marked;
            pos += DUMP_HEADER_SIZE + len;
        }
    }
    return r;
}

class Soak {
public:
    Soak(MainWindow &window, QAction *record, const QString &logRoot, int seconds)
        : w_(window), a_(window), record_(record), logRoot_(logRoot), seconds_(seconds)
    {
        probe_ = new QPushButton("probe", &window);
        probe_->setObjectName("soakProbe");
        probe_->setGeometry(0, 0, 12, 12);
        probe_->show();
        probe_->raise();
        QObject::connect(probe_, &QPushButton::clicked, [this] {
            if (pending_.empty())
                return;
            const double waited = double(clock_.nsecsElapsed() - pending_.front()) / 1e6;
            const qint64 posted = pending_.front();
            pending_.erase(pending_.begin());
            ++answered_;
            if (!flooding_ && firstAfter_ < 0 && posted >= floodEnd_)
                firstAfter_ = clock_.nsecsElapsed() - floodEnd_;
            (flooding_ ? during_ : after_) = std::max(flooding_ ? during_ : after_, waited);
        });
        clock_.start();
        QAbstractItemModel *log = a_.log()->model();
        QObject::connect(log, &QAbstractItemModel::rowsInserted, [this](const QModelIndex &, int f, int l) {
            lines_ += l - f + 1;
        });
        QObject::connect(log, &QAbstractItemModel::dataChanged, [this] { ++updates_; });

    }

    // Connects the session (connect()), then floods `streams` from the device's address.
    Result run(const std::string &kind, const std::function<bool()> &connect, std::vector<Stream> &streams,
               const std::function<void()> &beforeFlood, const std::vector<uint8_t> &ownHeartbeat,
               const std::function<long()> &commandsToDevice, const std::function<long()> &modelDownloads)
    {
        Result r;
        r.kind = kind;
        if (!connect()) {
            std::printf("%s: the session did not start\n", kind.c_str());
            return r;
        }
        r.started = true;
        g_deadline = nowMs() + kWarmUpMs + int64_t(seconds_) * 1000 + kAfterMs + kGiveUpMs;
        // The device's real traffic alone first: the window draws, the recording starts.
        Source device(kDevice);
        std::vector<Stream> real;
        for (Stream &s : streams)
            if (std::string(s.what) == "real frames")
                real.push_back(s);
        {
            Flood warm(device, real);
            warm.start();
            QTest::qWait(kWarmUpMs);
            warm.stop();
        }
        // Recording starts on a quiet socket: what it holds is the flood's alone.
        QTest::qWait(300);
        record_->trigger();
        if (!LogManager::instance()->is_recording())
            std::printf("%s: recording did not start\n", kind.c_str());
        if (beforeFlood)
            beforeFlood();
        QTest::qWait(200);
        r.rssBefore = residentMb();
        r.rssPeak = r.rssBefore;
        r.heapBefore = r.heapPeak = heapInUseMb();
        const long commandsBefore = commandsToDevice ? commandsToDevice() : 0;
        const long modelsBefore = modelDownloads ? modelDownloads() : 0;
        std::vector<unsigned long> dropsBefore;
        for (const Stream &s : streams)
            dropsBefore.push_back(socketDrops(s.port));

        // The stranger: valid-looking copies of the device's datagrams, marked, to every port.
        std::vector<Stream> strange;
        std::vector<int> ports;
        for (const Stream &s : streams)
            if (std::find(ports.begin(), ports.end(), s.port) == ports.end())
                ports.push_back(s.port);
        for (int port : ports) {
            Stream st{"stranger", port, double(kStrangerRate) / double(ports.size()), {}, false};
            for (const Stream &s : streams)
                if (s.port == port)
                    for (size_t i = 0; i < s.pool.size() && st.pool.size() < 64; i += 1 + s.pool.size() / 16)
                        st.pool.push_back(withMark(s.pool[i]));
            strange.push_back(st);
        }

        lines_ = 0;
        updates_ = 0;
        during_ = after_ = 0;
        answered_ = 0;
        pending_.clear();
        const int boxesBefore = boxes_;
        QTimer probe;
        probe.setInterval(100);
        long clicks = 0;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            pending_.push_back(clock_.nsecsElapsed());
            ++clicks;
            const QPoint at(4, 4);
            QCoreApplication::postEvent(probe_, new QMouseEvent(QEvent::MouseButtonPress, at, probe_->mapToGlobal(at),
                                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
            QCoreApplication::postEvent(probe_, new QMouseEvent(QEvent::MouseButtonRelease, at,
                                                                probe_->mapToGlobal(at), Qt::LeftButton,
                                                                Qt::NoButton, Qt::NoModifier));
        });
        for (Stream &s : streams)
            s.sent = 0;
        flooding_ = true;
        Source stranger(kStranger);
        Flood flood(device, streams);
        Flood strangers(stranger, strange);
        QElapsedTimer t;
        t.start();
        {
            HeartbeatFlood heartbeats(ownHeartbeat, kHeartbeatRate);
            flood.start();
            strangers.start();
            probe.start();
            while (t.elapsed() < qint64(seconds_) * 1000) {
                QTest::qWait(250);
                r.rssPeak = std::max(r.rssPeak, residentMb());
                r.heapPeak = std::max(r.heapPeak, heapInUseMb());
                r.boxesListed = std::max(r.boxesListed, boxesListed());
            }
            flood.stop();
            strangers.stop();
        }
        r.seconds = double(t.elapsed()) / 1000.0;
        r.logLinesPerSecond = double(lines_) / r.seconds;
        r.logUpdatesPerSecond = double(updates_) / r.seconds;
        floodEnd_ = clock_.nsecsElapsed();
        firstAfter_ = -1;
        flooding_ = false;
        // After: clicks go on; how long until the first click posted after the end is answered.
        QElapsedTimer after;
        after.start();
        while (after.elapsed() < kAfterMs) {
            QTest::qWait(250);
            r.rssPeak = std::max(r.rssPeak, residentMb());
        }
        probe.stop();
        // Clicks never answered count as waiting until now.
        for (const qint64 p : pending_)
            after_ = std::max(after_, double(clock_.nsecsElapsed() - p) / 1e6);
        r.answeredAgainMs = double(firstAfter_ >= 0 ? firstAfter_ : clock_.nsecsElapsed() - floodEnd_) / 1e6;
        r.clickDuringMs = during_;
        r.clickAfterMs = after_;
        r.clicks = clicks;
        r.clicksAnswered = answered_;
        r.boxes = boxes_ - boxesBefore;
        r.notesPending = a_.session().notes().size();
        if (commandsToDevice)
            r.commandsToDevice = commandsToDevice() - commandsBefore;
        if (modelDownloads)
            r.modelDownloads = modelDownloads() - modelsBefore;

        for (size_t i = 0; i < streams.size(); ++i) {
            r.sentDevice += streams[i].sent;
            if (streams[i].recorded)
                r.sentRecordable += streams[i].sent;
        }
        for (size_t i = 0; i < ports.size(); ++i) {
            size_t at = 0;
            while (streams[at].port != ports[i])
                ++at;
            if (streams[at].recorded)
                r.socketDrops += socketDrops(ports[i]) - dropsBefore[at];
        }
        // The recording: stopped, then read back whole.
        const long before = recordsSeen_;
        record_->trigger();
        LogManager::instance()->wait_stopped();
        QTest::qWait(200);
        const Records rec = readRecording(logRoot_);
        r.recordsWritten = rec.records - before;
        r.strangerRecords = rec.marked;
        recordsSeen_ = rec.records;
        w_.recv_data(MSG_STOP, QByteArray());
        QTest::qWait(200);
        r.rssAfter = residentMb();
        r.heapAfter = heapInUseMb();
        g_deadline = INT64_MAX;
        r.boxesListedLater = boxesListed();
        return r;
    }

    void countBox() { ++boxes_; }

private:
    // Entries of the algorithm-box configurator's list; -1 while it has none.
    int boxesListed()
    {
        if (AlgorithmBox *box = a_.algorithmBox())
            if (Page_Box *page = box->window())
                return page->findChild<QListWidget *>("listWidget")->count();
        return -1;
    }

    MainWindow &w_;
    MainWindowTestAccess a_;
    QAction *record_;
    QString logRoot_;
    int seconds_;
    QPushButton *probe_ = nullptr;
    QElapsedTimer clock_;
    std::vector<qint64> pending_;
    long answered_ = 0;
    qint64 floodEnd_ = 0;
    qint64 firstAfter_ = -1; // from the end to the answer of the first click posted after it
    double during_ = 0, after_ = 0;
    bool flooding_ = false;
    long lines_ = 0, updates_ = 0;
    int boxes_ = 0;
    long recordsSeen_ = 0; // in the log folder after the sessions before this one
};

std::vector<uint8_t> sensorHeartbeat(const char *model, const char *sn)
{
    FakeSensorInfo info;
    info.model = model;
    info.sn = sn;
    return make_heartbeat112(info);
}

// ---- the kinds ----

Result soakRaxo(Soak &soak, MainWindow &window, bool raxoS, int /*seconds*/)
{
    MainWindowTestAccess a(window);
    FakeRaxo fake(kDevice);
    std::string model = "0\n";
    fake.serve_file("alg_model.bin", std::vector<uint8_t>(model.begin(), model.end()));
    const int dataPort = ratetable::free_port();
    fake.set_host("127.0.0.1", dataPort);
    const int cmdPort = fake.listen_port(); // the host's command socket holds the device's number

    RaxoScene scene;
    scene.wall(6.0);
    scene.object(40, 110, 150, 210, 3.0);
    const std::vector<Bytes> scan = scene.packets();

    std::vector<Stream> streams;
    // The real scans, five a second.
    streams.push_back({"real frames", dataPort, 5.0 * double(scan.size()), scan, true});
    // Malformed: the magic, then anything.
    std::vector<Bytes> junk;
    for (int i = 0; i < 512; ++i)
        junk.push_back(randomBytes(1 + any32() % 1400, {0x5A, 0xA5, uint8_t(i % 16)}));
    streams.push_back({"malformed", dataPort, 1500, junk, true});
    streams.push_back({"truncated", dataPort, 1000, truncated(scan, 512), true});
    streams.push_back({"oversized", dataPort, 300, oversized(scan[0]), true});
    // Lying: every packet ends a frame, claims more points than it holds, or carries points of
    // any value.
    std::vector<Bytes> lying;
    for (int i = 0; i < 512; ++i) {
        RaxoPacketFields f;
        f.type = i % 2 == 0 ? 1 : 14;
        f.index = uint16_t(i);
        f.column = uint16_t(any32());
        f.row = uint16_t(any32());
        f.count_a = i % 3 == 0 ? int(any32() % 65536) : -1;
        f.count_b = uint8_t(any32());
        f.frame_flag = i % 4 == 0 ? 0 : 2;
        lying.push_back(make_raxo_packet(f, raxoPoints(1 + any32() % 120)));
    }
    streams.push_back({"lying frames", dataPort, 1700, lying, true});
    std::vector<Bytes> imu;
    for (int i = 0; i < 128; ++i) {
        std::vector<float> v;
        for (int k = 0; k < 9; ++k)
            v.push_back(i % 2 == 0 ? 0.0f : oddFloat(i + k));
        if (i % 2 == 0)
            v[8] = 1.0f; // level and still: posted as the settled attitude
        imu.push_back(raxo_imu_packet(uint8_t(2 + i % 2), int64_t(i) * 1000, v));
    }
    streams.push_back({"imu", dataPort, 500, imu, true});
    std::vector<Bytes> monitor;
    for (int i = 0; i < 256; ++i) {
        Bytes rec = randomBytes(i % 2 == 0 ? 514 : 308);
        if (i % 2 == 0)
            rec[0] = uint8_t(any32() % 17);
        for (size_t at = 14; at + 4 <= rec.size(); at += 32)
            wr_f32(rec.data() + at, oddFloat(int(at) + i));
        monitor.push_back(raxo_zone_monitor_packet(uint16_t(i % 2 == 0 ? 0 : 1), rec));
    }
    streams.push_back({"zone monitor", dataPort, 1000, monitor, true});
    // Replies, again and again.
    std::vector<Bytes> replies;
    for (int i = 0; i < 256; ++i) {
        switch (i % 8) {
        case 0:
        case 1: replies.push_back(sumReply(RAXO_REPLY_PARAM, randomBytes(raxo_param::kSize))); break;
        case 2:
        case 3: replies.push_back(sumReply(RAXO_REPLY_ALG_PARAM, randomBytes(raxo_alg::kSize))); break;
        case 4: replies.push_back(sumReply(RAXO_REPLY_SET, {0, 0, 0, 0})); break;
        case 5: replies.push_back(sumReply(RAXO_REPLY_RUN, {0})); break;
        case 6: replies.push_back(sumReply(RAXO_REPLY_NET_ERROR, randomBytes(8))); break;
        default: replies.push_back(lyingSumFrame(RAXO_REPLY_PARAM)); break;
        }
    }
    streams.push_back({"replies", cmdPort, 2000, replies, false});

    const char *sn = raxoS ? "RAXO-S-SOAK" : "RAXO-E-SOAK";
    auto connect = [&] {
        answer_connect(fake.ip(), fake.listen_port(), dataPort, sn);
        window.findChild<QAction *>(raxoS ? "actionRaxo_S" : "actionRaxo_E")->trigger();
        return a.session().raxoReceiver() != nullptr && QTest::qWaitFor([&] { return !fake.commands().empty(); }, 5000);
    };
    return soak.run(raxoS ? "Raxo-S" : "Raxo-E", connect, streams, nullptr,
                    sensorHeartbeat(raxoS ? "LDS-Raxo-S" : "LDS-Raxo-E", sn),
                    [&] { return long(fake.commands().size()); },
                    [&] { return long(fake.download_finish_messages()); });
}

Result soakFenk(Soak &soak, MainWindow &window, int /*seconds*/)
{
    MainWindowTestAccess a(window);
    FakeFenkU fake(kDevice);
    const int local = ratetable::free_port();
    fake.set_host("127.0.0.1", local);

    std::vector<Bytes> measurement;
    for (uint32_t m = 0; m < 4; ++m)
        for (Bytes &b : fenku_measurement(40, 30, m))
            measurement.push_back(std::move(b));
    std::vector<Stream> streams;
    streams.push_back({"real frames", local, 20.0 * double(measurement.size()) / 4.0, measurement, true});
    // Sub-packages with broken CRCs, offsets out of order and totals of anything.
    std::vector<Bytes> broken;
    for (int i = 0; i < 512; ++i) {
        Bytes b = make_lp_subpackage(any32() % 100000, i % 3 == 0 ? 0 : any32() % 100000, randomBytes(1 + any32() % 1200));
        if (i % 2 == 0)
            b[b.size() - 1] ^= 0x5A; // the CRC fails
        broken.push_back(b);
    }
    streams.push_back({"broken sub-packages", local, 3500, broken, true});
    // Frame headers that claim planes of any size, each with a good CRC.
    std::vector<Bytes> headers;
    for (int i = 0; i < 256; ++i)
        headers.push_back(make_lp_subpackage(any32(), 0,
                                             make_lp_header(int16_t(1 + i % 5), any32(), uint16_t(any32()),
                                                            uint16_t(any32()), any32())));
    streams.push_back({"lying headers", local, 1500, headers, true});
    streams.push_back({"truncated", local, 1200, truncated(measurement, 512), true});
    streams.push_back({"oversized", local, 300, oversized({'L', 'P'}), true});
    std::vector<Bytes> replies;
    for (int i = 0; i < 256; ++i) {
        switch (i % 4) {
        case 0:
        case 1: replies.push_back(sumReply(0x8000 | FENK_GET_PARAM, randomBytes(fenk_param::kSize))); break;
        case 2: replies.push_back(sumReply(0x8000 | FENK_SET, {0, 0, 0, 0})); break;
        default: replies.push_back(lyingSumFrame(0x8000 | FENK_GET_PARAM)); break;
        }
    }
    streams.push_back({"replies", local, 3000, replies, true});

    auto connect = [&] {
        answer_connect(fake.ip(), fake.port(), local, "FENK-SOAK");
        window.findChild<QAction *>("actionFenk_U")->trigger();
        return a.session().fenkReceiver() != nullptr && QTest::qWaitFor([&] { return !fake.commands().empty(); }, 5000);
    };
    return soak.run("Fenk-U", connect, streams, nullptr, sensorHeartbeat("LDS-Fenk-U", "FENK-SOAK"),
                    [&] { return long(fake.commands().size()); }, nullptr);
}

Result soakVimo(Soak &soak, MainWindow &window, int /*seconds*/)
{
    MainWindowTestAccess a(window);
    FakeVimo fake(0, kDevice);
    const int local = ratetable::free_port();
    fake.set_host("127.0.0.1", local);

    const std::vector<Bytes> frame = vimo_e_frame();
    std::vector<Stream> streams;
    streams.push_back({"real frames", local, 10.0 * double(frame.size()), frame, true});
    // Point packets whose length is not what their count says, with fault bits set.
    std::vector<Bytes> wrong;
    for (int i = 0; i < 512; ++i) {
        Bytes b = frame[size_t(i) % frame.size()];
        b.resize(37 + any32() % 1400);
        if (i % 4 == 0)
            b[16] = uint8_t(any32()); // mirror and motor faults
        wrong.push_back(b);
    }
    streams.push_back({"wrong lengths", local, 3500, wrong, true});
    streams.push_back({"truncated", local, 1000, truncated(frame, 512), true});
    streams.push_back({"oversized", local, 300, oversized(frame[0]), true});
    std::vector<Bytes> replies;
    for (int i = 0; i < 256; ++i) {
        switch (i % 4) {
        case 0: replies.push_back(FakeVimo::reply(FakeVimo::kParamReply, uint16_t(i), randomBytes(152))); break;
        case 1: {
            const std::string t = "CPUTmp:" + std::to_string(any32() % 1000) + ",OK";
            replies.push_back(FakeVimo::reply(LH_TEXT_REPLY, uint16_t(i), Bytes(t.begin(), t.end())));
            break;
        }
        case 2: replies.push_back(FakeVimo::reply(LH_TEXT_REPLY2, uint16_t(i), randomBytes(any32() % 200))); break;
        default: {
            Bytes b = FakeVimo::reply(FakeVimo::kParamReply, uint16_t(i), randomBytes(152));
            wr_u16(b.data() + 6, uint16_t(any32()));
            replies.push_back(b);
            break;
        }
        }
    }
    streams.push_back({"replies", local, 3200, replies, true});

    auto connect = [&] {
        answer_connect(fake.ip(), fake.port(), local, "VIMO-SOAK");
        window.findChild<QAction *>("actionVimo_E")->trigger();
        return a.session().vimoReceiver() != nullptr && QTest::qWaitFor([&] { return fake.peer().received_count() > 0; }, 5000);
    };
    return soak.run("Vimo-E", connect, streams, nullptr, sensorHeartbeat("LDS-Vimo-E", "VIMO-SOAK"),
                    [&] { return long(fake.peer().received_count()); }, nullptr);
}

Result soakBox(Soak &soak, MainWindow &window, int /*seconds*/)
{
    MainWindowTestAccess a(window);
    AlgorithmBoxProc::setBindAddress("127.0.0.1");
    FakeBox fake; // 127.0.0.2:6002
    fake.set_host("127.0.0.1", FakeBox::kPort);
    fake.set_answer_commands(true);
    // The configurator is open: it lists the boxes it hears.
    window.findChild<QAction *>("actionAlgorithmBox")->trigger();

    std::vector<Bytes> frames;
    for (int f = 0; f < 4; ++f) {
        for (int i = 0; i < 30; ++i) {
            std::vector<BoxPoint> pts;
            for (int k = 0; k < 100; ++k)
                pts.push_back({float(k) * 0.05f, float(i) * 0.05f, float(f), uint8_t(k)});
            frames.push_back(make_box_packet(pts, i == 29 ? 2 : 0, 1));
        }
    }
    std::vector<Stream> streams;
    streams.push_back({"real frames", FakeBox::kPort, 10.0 * 30.0, frames, true});
    std::vector<Bytes> types;
    for (int i = 0; i < 3; ++i) {
        LhabSpec s;
        s.upload_type = uint8_t(i);
        s.frame_flag = 2;
        s.points = {{1.0f, 2.0f, 3.0f, 4}};
        types.push_back(make_lhab(s));
    }
    streams.push_back({"upload types cycling", FakeBox::kPort, 2000, types, true});
    std::vector<Bytes> clean;
    for (int i = 0; i < 4; ++i) {
        LhabSpec s;
        s.upload_type = 2;
        s.frame_flag = 2;
        s.announced = 0;
        s.clean_word = 0;
        clean.push_back(make_lhab(s));
    }
    streams.push_back({"cache cleans", FakeBox::kPort, 1000, clean, true});
    std::vector<Bytes> objects;
    for (int i = 0; i < 256; ++i) {
        LhabSpec s;
        s.object_id = uint8_t(any32());
        s.upload_type = 2;
        s.frame_flag = uint8_t(i % 3 == 0 ? 2 : 0);
        s.cx = oddFloat(i);
        s.cy = oddFloat(i + 1);
        s.cz = oddFloat(i + 2);
        for (int k = 0; k < 1 + int(any32() % 200); ++k)
            s.points.push_back({oddFloat(k), oddFloat(k + 1), oddFloat(k + 2), uint8_t(k)});
        s.announced = i % 2 == 0 ? int(any32() % 256) : -1;
        objects.push_back(make_lhab(s));
    }
    streams.push_back({"lying objects", FakeBox::kPort, 4000, objects, true});
    std::vector<Bytes> monitor;
    for (int i = 0; i < 128; ++i)
        monitor.push_back(randomBytes(i % 2 == 0 ? 514 : 308, {'L', 'M', 'S', 'G'}));
    streams.push_back({"zone monitor", FakeBox::kPort, 1000, monitor, false});
    std::vector<Bytes> replies;
    for (int i = 0; i < 128; ++i) {
        if (i % 3 == 0)
            replies.push_back(FakeBox::reply(LH_TEXT_REPLY, uint16_t(any32()), "OK"));
        else if (i % 3 == 1)
            replies.push_back(FakeBox::reply(BOX_ZONE_READ_REPLY, uint16_t(any32()), std::string(300, char(i))));
        else
            replies.push_back(randomBytes(1 + any32() % 3000, {'L', 'H'}));
    }
    streams.push_back({"replies", FakeBox::kPort, 1000, replies, false});
    // Cut after the magic at least: whatever starts "LHAB" is a point datagram, and recorded.
    std::vector<Bytes> broken;
    for (int i = 0; i < 256; ++i) {
        const Bytes &whole = frames[size_t(i) % frames.size()];
        broken.emplace_back(whole.begin(), whole.begin() + long(4 + any32() % (whole.size() - 4)));
    }
    for (const Bytes &b : oversized(frames[0]))
        broken.push_back(b);
    streams.push_back({"truncated and oversized", FakeBox::kPort, 500, broken, true});

    auto connect = [&] {
        window.recv_actionAlgorithmBox_run(QString::fromLatin1(kDevice), FakeBox::kPort, LIDAR_ALG_BOX);
        return a.session().boxReceiver() != nullptr && QTest::qWaitFor([&] { return fake.peer().received_count() > 0; }, 5000);
    };
    // The box echoes nothing of what it sends: every datagram it receives after the hello is
    // something the program sent it.
    return soak.run("box", connect, streams, [&] { fake.peer().clear_received(); }, make_box_heartbeat({}),
                    [&] { return long(fake.peer().received_count()); }, nullptr);
}

void print(const Result &r, bool &met)
{
    if (!r.started) {
        met = false;
        return;
    }
    const bool clicks = r.clickDuringMs < 1000.0 && r.clickAfterMs < 1000.0;
    const bool memory = r.rssPeak - r.rssBefore < 100.0 && r.rssAfter - r.rssBefore < 100.0;
    const long expected = r.sentRecordable - long(r.socketDrops);
    const bool recording = r.strangerRecords == 0 && r.recordsWritten >= expected && r.recordsWritten <= r.sentRecordable;
    std::printf("%s: %.0f s of %ld datagrams from the device's address (%.0f/s)\n", r.kind.c_str(), r.seconds,
                r.sentDevice, double(r.sentDevice) / r.seconds);
    std::printf("  longest click wait: during %.0f ms, after %.0f ms; answered again %.0f ms after the end; "
                "%ld of %ld clicks answered -> %s\n",
                r.clickDuringMs, r.clickAfterMs, r.answeredAgainMs, r.clicksAnswered, r.clicks,
                clicks ? "met" : "NOT met");
    std::printf("  resident MB: before %.0f, at most %.0f, after %.0f -> %s (heap in use: %.0f, %.0f, %.0f)\n",
                r.rssBefore, r.rssPeak, r.rssAfter, memory ? "met" : "NOT met", r.heapBefore, r.heapPeak,
                r.heapAfter);
    std::printf("  message log: %.1f lines a second added, %.1f updates of a line a second\n", r.logLinesPerSecond,
                r.logUpdatesPerSecond);
    std::printf("  recording: %ld records written of %ld recordable datagrams sent (%lu dropped by the kernel at "
                "the socket), %ld of the stranger's -> %s\n",
                r.recordsWritten, r.sentRecordable, r.socketDrops, r.strangerRecords, recording ? "met" : "NOT met");
    std::printf("  the flood made the program send %ld datagrams to the device", r.commandsToDevice);
    if (r.modelDownloads >= 0)
        std::printf(", download the model %ld times", r.modelDownloads);
    if (r.boxesListed >= 0)
        std::printf(", list at most %d boxes (%d 10 s after the flood)", r.boxesListed, r.boxesListedLater);
    std::printf("; %d warning boxes raised; %d notes pending\n", r.boxes, r.notesPending);
    met = met && clicks && memory && recording;
}

} // namespace

int main(int argc, char **argv)
{
    if (!only_loopback())
        return 2;
    const int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 30;
    const std::string kinds = argc > 2 ? argv[2] : "raxo-s,raxo-e,vimo-e,fenk-u,box";
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QSurfaceFormat::setDefaultFormat(QVTKOpenGLNativeWidget::defaultFormat());
    QApplication app(argc, argv);
    BenchSettings settings;

    MainWindow window;
    window.setBindAddress("127.0.0.1");
    (void)QTest::qWaitForWindowExposed(&window);
    MainWindowTestAccess a(window);
    QAction *record = record_action(a);
    if (record == nullptr) {
        std::fprintf(stderr, "no record action on the toolbar\n");
        return 1;
    }
    Soak soak(window, record, settings.logpath, seconds);
    startWatchdog();
    // A user reads each box for a second before closing it.
    set_warning_handler([&](QWidget *, const QString &, const QString &, QMessageBox::StandardButtons) {
        soak.countBox();
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        return QMessageBox::Ok;
    });

    std::printf("A flood of %d datagrams a second from the device's own address, %d heartbeats a second and "
                "%d datagrams a second from a stranger, %d s a session, the window drawing and recording; "
                "%u cores\n",
                kFloodRate, kHeartbeatRate, kStrangerRate, seconds, std::thread::hardware_concurrency());
    std::fflush(stdout);
    bool met = true;
    std::istringstream list(kinds);
    for (std::string kind; std::getline(list, kind, ',');) {
        Result r;
        if (kind == "raxo-s")
            r = soakRaxo(soak, window, true, seconds);
        else if (kind == "raxo-e")
            r = soakRaxo(soak, window, false, seconds);
        else if (kind == "vimo-e")
            r = soakVimo(soak, window, seconds);
        else if (kind == "fenk-u")
            r = soakFenk(soak, window, seconds);
        else if (kind == "box")
            r = soakBox(soak, window, seconds);
        else
            continue;
        print(r, met);
        std::fflush(stdout);
    }
    std::printf("goals (clicks within 1 s, memory up by less than 100 MB and back, every datagram taken "
                "recorded and nothing of the stranger's): %s\n",
                met ? "met" : "NOT met");
    return met ? 0 : 1;
}
