// A live Raxo-S session in the real main window, recording from the toolbar, while a fake sensor
// sends 20 full scans a second (450 packets each, 9,000 datagrams a second, paced as a sensor
// spreads them over its 50 ms). Once on a quiet machine, once with as many busy threads as there
// are cores running beside it. For each phase it prints the datagrams sent and recorded (the
// records counted in the dump files), those lost at the socket (the kernel's drop count of the
// receiver's data socket), the "drop package" gaps a playback of the recording reports, and the
// CPU of the receiving thread: per datagram, and as a share of a core, with the time it waited
// for one. Beside the session, a bare loop reading a socket of its own is sent the same
// datagrams: what it loses is what the machine allows. Goal: nothing lost on a quiet machine; with the busy threads, as little as the
// machine allows.
//
// The "slowdisk" phase records onto a disk slower than the stream: the recorder's writes are
// held to 5 MB/s (its write seam) while 9,000 datagrams of 1,020 bytes a second come in. It
// prints the longest a receiving thread waited on the recorder, the longest the window was
// blocked by the stop, and the records taken, written and reported lost in the message log.
// Goal: receiver waits under 5 ms, the window under 100 ms, written + reported lost = taken.
// Every phase prints its stop's time and the recorder's longest wait, in all (a loaded machine
// adds the times the receiver had no CPU) and on a lock another thread held.
//
//   bench_raxo_recording [seconds per phase] [phases]    (defaults 30 and "quiet,busy,slowdisk")
//
// A phase is "quiet", "busy" (a busy thread per core), "busyN" (N busy threads) or "slowdisk".
//
// Runs inside its own network namespace (isolatednetwork.h).

#include "component_logoperate.h"
#include "dialog_connect.h"
#include "inisettings.h"
#include "isolatednetwork.h"
#include "lhframe.h"
#include "logmanager.h"
#include "mainwindowaccess.h"
#include "messagebox.h"
#include "playbackparsers.h"
#include "ratetable.h"
#include "raxoscene.h"
#include "fakeraxo.h"
#include "recvdataproc2.h"
#include "sockethelpers.h"
#include "windowbench.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QTest>
#include <QVTKOpenGLNativeWidget.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <pthread.h>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kScansPerSecond = 20;

// A thread's run time and the time it waited runnable for a CPU, in nanoseconds
// (/proc/self/task/<tid>/schedstat), and its user + system time in clock ticks.
struct ThreadTimes {
    uint64_t runNs = 0;
    uint64_t waitNs = 0;
    uint64_t ticks = 0;
};

ThreadTimes thread_times(int tid)
{
    ThreadTimes t;
    const std::string dir = "/proc/self/task/" + std::to_string(tid);
    std::ifstream(dir + "/schedstat") >> t.runNs >> t.waitNs;
    std::ifstream stat(dir + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t close = line.rfind(')');
    if (close != std::string::npos) {
        std::istringstream rest(line.substr(close + 2));
        std::string field;
        unsigned long utime = 0, stime = 0;
        for (int i = 3; i <= 15 && rest >> field; ++i) {
            if (i == 14)
                utime = std::stoul(field);
            if (i == 15)
                stime = std::stoul(field);
        }
        t.ticks = utime + stime;
    }
    return t;
}

// The threads of this process with the given name, oldest first.
std::vector<int> threads_named(const std::string &name)
{
    std::vector<int> tids;
    if (DIR *d = opendir("/proc/self/task")) {
        while (dirent *e = readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            std::string comm;
            std::getline(std::ifstream(std::string("/proc/self/task/") + e->d_name + "/comm"), comm);
            if (comm == name)
                tids.push_back(std::atoi(e->d_name));
        }
        closedir(d);
    }
    std::sort(tids.begin(), tids.end());
    return tids;
}

// Every thread of this process: its name and times.
struct NamedTimes {
    std::string name;
    ThreadTimes times;
};

std::map<int, NamedTimes> all_threads()
{
    std::map<int, NamedTimes> out;
    if (DIR *d = opendir("/proc/self/task")) {
        while (dirent *e = readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            const int tid = std::atoi(e->d_name);
            std::string comm;
            std::getline(std::ifstream(std::string("/proc/self/task/") + e->d_name + "/comm"), comm);
            out[tid] = {comm, thread_times(tid)};
        }
        closedir(d);
    }
    return out;
}

// The receive queue and drop count of the UDP socket bound to 127.0.0.1:port (/proc/net/udp).
struct SocketState {
    bool found = false;
    unsigned long queued = 0;
    unsigned long drops = 0;
};

SocketState udp_socket_state(int port)
{
    SocketState s;
    char local[32];
    std::snprintf(local, sizeof(local), "0100007F:%04X", port);
    std::ifstream f("/proc/net/udp");
    std::string line;
    std::getline(f, line); // the column titles
    while (std::getline(f, line)) {
        std::istringstream in(line);
        std::vector<std::string> col;
        for (std::string c; in >> c;)
            col.push_back(c);
        if (col.size() < 13 || col[1] != local)
            continue;
        const std::string &queues = col[4]; // tx_queue:rx_queue
        s.queued = std::stoul(queues.substr(queues.find(':') + 1), nullptr, 16);
        s.drops = std::stoul(col.back());
        s.found = true;
    }
    return s;
}

// The records of every dump file below `folder`, and the "drop package" gaps a playback of them
// reports.
struct Recorded {
    long records = 0;
    long gaps = 0;
    int files = 0;
    // Where the losses fell: the sender's stamp of the first datagram missing in each run of them.
    std::vector<uint64_t> lossStarts;
};

class GapCounter : public PlaybackSink {
public:
    long gaps = 0;
    void index_gap(int, int, uint64_t, uint64_t) override { ++gaps; }
};

Recorded read_recording(const QString &folder)
{
    Recorded r;
    QStringList dumps;
    QDirIterator it(folder, {"*.dump"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        dumps << it.next();
    dumps.sort(); // time-stamped names: the order they were written in
    std::vector<QByteArray> contents;
    PacketViews packets;
    for (const QString &path : dumps) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        contents.push_back(f.readAll());
        ++r.files;
    }
    for (const QByteArray &c : contents) {
        const auto *p = reinterpret_cast<const uint8_t *>(c.constData());
        size_t pos = 0;
        while (size_t(c.size()) - pos >= DUMP_HEADER_SIZE) {
            const size_t len = rd_u16(p + pos + 18);
            if (size_t(c.size()) - pos - DUMP_HEADER_SIZE < len)
                break;
            packets.push_back({p + pos + DUMP_HEADER_SIZE, len});
            pos += DUMP_HEADER_SIZE + len;
        }
    }
    r.records = long(packets.size());
    uint64_t expected = 0;
    for (const auto &view : packets) {
        if (view.size < 45)
            continue;
        const uint64_t stamp = rd_u64(view.data + 37);
        if (stamp > expected)
            r.lossStarts.push_back(expected);
        expected = stamp + 1;
    }
    GapCounter sink;
    parse_raxo_packets(packets.data(), packets.size(), sink);
    r.gaps = sink.gaps;
    return r;
}

// Runs the event loop until `done` or `ms` have passed.
bool wait_for(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(20);
    }
    return true;
}

// Threads that keep every core busy with work of their own for as long as they live.
class BusyThreads {
public:
    explicit BusyThreads(unsigned n)
    {
        for (unsigned i = 0; i < n; ++i)
            threads_.emplace_back([this, i] {
                pthread_setname_np(pthread_self(), "busy");
                volatile double x = 1.0 + i;
                while (run_.load(std::memory_order_relaxed))
                    for (int k = 0; k < 10000; ++k)
                        x = x * 1.0000001 + 1e-9;
            });
    }
    ~BusyThreads()
    {
        run_ = false;
        for (std::thread &t : threads_)
            t.join();
    }

private:
    std::atomic<bool> run_{true};
    std::vector<std::thread> threads_;
};

// The machine's own limit, measured beside the session in the same run: a thread that reads a
// socket with the receivers' options as the receivers read theirs (what is waiting, 16 datagrams
// a call, then a wait) and does nothing else, fed the same datagrams at the same moments.
class BareReader {
public:
    BareReader() : sock_(udp_open(0, false, "127.0.0.1")), port_(ratetable::bound_port(sock_))
    {
        thread_ = std::thread([this] {
            pthread_setname_np(pthread_self(), "bare reader");
            ratetable::bare_loop(sock_, running_, received_, RecvDataProc2::kDataBufferSize);
        });
    }
    ~BareReader()
    {
        running_ = false;
        thread_.join();
        udp_close(sock_);
    }
    int port() const { return port_; }
    long received() const { return received_.load(); }

private:
    int sock_;
    int port_;
    std::atomic<bool> running_{true};
    std::atomic<long> received_{0};
    std::thread thread_;
};

struct Phase {
    std::string name;
    long sent = 0;
    double seconds = 0;
    Recorded recorded;
    unsigned long drops = 0;
    ThreadTimes receiver;
    ThreadTimes handoff;
    ThreadTimes gui;
    long bareReceived = 0;
    ThreadTimes bareTimes;
    double longestBatchMs = 0; // the receiver's longest time on one read's datagrams, so far
    unsigned long bareDrops = 0;
    std::vector<NamedTimes> others; // the other threads that ran for more than 1 % of a core
    double load = 0;
    // The recorder: the stop's time on the window's thread, the longest write_dump call, the
    // time from the stop to the finish line, and its counts and what the message log said.
    double stopMs = 0;
    double longestTakeMs = 0;
    double longestLockWaitMs = 0;
    double finishAfterS = -1;
    LogManager::Stats stats;
    long reportedLost = -1; // the loss in all of the last loss line; 0 when none
    int lossReports = 0;    // "so far" lines while it recorded
};

// Records lost in all as the message log's last loss line says it ("recording lost %1 of %2
// records: ..."); 0 without one.
long reported_loss(const QStringList &lines)
{
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const int at = it->indexOf("recording lost ");
        if (at >= 0 && it->contains(" of "))
            return it->mid(at + 15).section(' ', 0, 0).toLong();
    }
    return 0;
}

double load_average()
{
    double l = 0;
    std::ifstream("/proc/loadavg") >> l;
    return l;
}

ThreadTimes minus(const ThreadTimes &a, const ThreadTimes &b)
{
    return {a.runNs - b.runNs, a.waitNs - b.waitNs, a.ticks - b.ticks};
}

} // namespace

int main(int argc, char **argv)
{
    if (!only_loopback())
        return 2;
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const std::string phases = argc > 2 ? argv[2] : "quiet,busy,slowdisk";
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QSurfaceFormat::setDefaultFormat(QVTKOpenGLNativeWidget::defaultFormat());
    QApplication app(argc, argv);
    BenchSettings settings(false);

    FakeRaxo fake("127.0.0.2");
    const int dataPort = ratetable::free_port();
    fake.set_host("127.0.0.1", dataPort);

    MainWindow window;
    window.setBindAddress("127.0.0.1");
    (void)QTest::qWaitForWindowExposed(&window);
    MainWindowTestAccess a(window);

    answer_connect(fake.ip(), fake.listen_port(), dataPort, "RAXO-S-1");
    window.findChild<QAction *>("actionRaxo_S")->trigger();
    if (a.session().raxoReceiver() == nullptr || !wait_for([&] { return udp_socket_state(dataPort).found; }, 10000)) {
        std::fprintf(stderr, "the Raxo-S session did not start\n");
        return 1;
    }
    QAction *record = record_action(a);
    if (record == nullptr) {
        std::fprintf(stderr, "no record action on the toolbar\n");
        return 1;
    }

    RaxoScene scene;
    scene.wall(6.0);
    scene.object(40, 110, 150, 210, 3.0);
    const std::vector<Bytes> scan = scene.packets();

    // A second of scans before any phase: the window's first draws of the session (the GL
    // driver compiles its shaders then, and the process's memory map is busy meanwhile) belong
    // to the connect, not to a recording made while the session streams.
    for (int k = 0; k < kScansPerSecond; ++k) {
        for (const Bytes &p : scan)
            fake.send_data(p);
        QTest::qWait(1000 / kScansPerSecond);
    }
    QTest::qWait(300);

    const int gui = int(gettid());
    std::vector<Phase> results;
    std::istringstream phaseList(phases);
    for (std::string name; std::getline(phaseList, name, ',');) {
        // "busy" runs a busy thread per core beside the session, "busyN" N of them.
        const bool busy = name.rfind("busy", 0) == 0;
        const bool slowDisk = name == "slowdisk";
        if (!busy && !slowDisk && name != "quiet")
            continue;
        // A disk that takes 5 MB a second: 200 ns a byte.
        LogManager::instance()->set_write_function(
            slowDisk ? LogManager::WriteFunction([](int fd, const void *data, size_t n) {
                std::this_thread::sleep_for(std::chrono::nanoseconds(200 * int64_t(n)));
                return ::write(fd, data, n);
            })
                     : LogManager::WriteFunction());
        a.log()->clear();
        Phase ph;
        ph.name = name;
        const unsigned busyThreads = name.size() > 4 ? unsigned(std::max(1, std::atoi(name.c_str() + 4)))
                                                     : std::max(1u, std::thread::hardware_concurrency());
        std::unique_ptr<BusyThreads> load;
        if (busy)
            load = std::make_unique<BusyThreads>(busyThreads);

        record->trigger();
        if (!LogManager::instance()->is_recording()) {
            std::fprintf(stderr, "recording did not start\n");
            return 1;
        }
        QString folder;
        for (const QString &row : a.logLines())
            if (row.contains("writing log,write file path:"))
                folder = row.mid(row.indexOf(':') + 1);
        if (folder.isEmpty() && !LogManager::instance()->folders(0).empty())
            folder = QFileInfo(QString::fromStdString(LogManager::instance()->folders(0)[0])).path();
        // The receiver is the session's QThread; the threads it starts (the frame hand-off)
        // carry the same name and come after it.
        const std::vector<int> rx = threads_named("RecvDataProc2");
        if (rx.empty()) {
            std::fprintf(stderr, "no receiver thread\n");
            return 1;
        }
        BareReader bare;
        ratetable::Sender toBare(bare.port(), scan);
        const SocketState before = udp_socket_state(dataPort);
        const SocketState bareBefore = udp_socket_state(bare.port());
        const ThreadTimes rx0 = thread_times(rx[0]);
        const ThreadTimes gui0 = thread_times(gui);
        const std::map<int, NamedTimes> all0 = all_threads();

        // The sensor spreads a scan's packets over its 50 ms: each one leaves when it is due.
        std::atomic<bool> sending{true};
        std::atomic<long> sent{0};
        const auto start = std::chrono::steady_clock::now();
        std::thread sender([&] {
            const auto step = std::chrono::nanoseconds(1000000000LL / (kScansPerSecond * long(scan.size())));
            const long total = long(seconds) * kScansPerSecond * long(scan.size());
            std::vector<Bytes> packets = scan;
            long k = 0;
            while (sending && k < total) {
                const auto now = std::chrono::steady_clock::now();
                for (; k < total && start + k * step <= now; ++k) {
                    Bytes &p = packets[size_t(k) % packets.size()];
                    wr_u64(p.data() + 37, uint64_t(k)); // the stamp: which datagram this was
                    fake.send_data(p);
                    toBare.send(p);
                    sent.store(k + 1, std::memory_order_relaxed);
                }
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        wait_for([&] { return sent.load() >= long(seconds) * kScansPerSecond * long(scan.size()); },
                 seconds * 1000 + 60000);
        sending = false;
        sender.join();
        ph.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ph.sent = sent.load();
        // Drained: the socket holds nothing, three looks in a row.
        int empty = 0;
        wait_for([&] { return (empty = udp_socket_state(dataPort).queued == 0 ? empty + 1 : 0) >= 3; }, 10000);
        QTest::qWait(100);
        ph.receiver = minus(thread_times(rx[0]), rx0);
        ph.gui = minus(thread_times(gui), gui0);
        for (const auto &[tid, t] : all_threads()) {
            if (tid == gui || tid == rx[0])
                continue;
            const auto was = all0.find(tid);
            const ThreadTimes d = was == all0.end() ? t.times : minus(t.times, was->second.times);
            if (t.name == "RecvDataProc2") {
                if (d.runNs >= ph.handoff.runNs)
                    ph.handoff = d;
                continue;
            }
            if ((double(d.runNs) > 0.01 * ph.seconds * 1e9 || t.name == "dump writer")
                && t.name.rfind("busy", 0) != 0)
                ph.others.push_back({t.name + " " + std::to_string(tid), d});
        }
        ph.load = load_average();
        ph.drops = udp_socket_state(dataPort).drops - before.drops;
        ph.bareReceived = bare.received();
        if (a.session().raxoReceiver() != nullptr)
            ph.longestBatchMs = double(a.session().raxoReceiver()->longestBatchNs()) / 1e6;
        ph.bareDrops = udp_socket_state(bare.port()).drops - bareBefore.drops;
        load.reset();
        ph.lossReports = a.logLines().filter(" so far: ").size();
        QElapsedTimer stopping;
        stopping.start();
        record->trigger();
        ph.stopMs = double(stopping.nsecsElapsed()) / 1e6;
        // The finish line comes when the recorder's thread has the last record in its file.
        wait_for([&] { return a.logLines().filter("write log finish").size() == 1; }, 600000);
        ph.finishAfterS = double(stopping.nsecsElapsed()) / 1e9;
        ph.stats = LogManager::instance()->stats();
        ph.longestTakeMs = double(ph.stats.longest_take_ns) / 1e6;
        ph.longestLockWaitMs = double(ph.stats.longest_lock_wait_ns) / 1e6;
        ph.reportedLost = reported_loss(a.logLines());
        ph.recorded = read_recording(folder);
        results.push_back(ph);
        QTest::qWait(500);
    }

    const long tick = sysconf(_SC_CLK_TCK);
    std::printf("Raxo-S session in the main window, recording on, %d full scans a second (%zu datagrams "
                "each), %d s a phase; %u cores\n",
                kScansPerSecond, scan.size(), seconds, std::thread::hardware_concurrency());
    for (const Phase &ph : results) {
        const long got = ph.sent - long(ph.drops);
        std::printf("%-6s: sent %ld (%.0f/s)  recorded %ld  lost %ld (%.3f %%): socket drops %lu, other %ld; "
                    "\"drop package\" gaps %ld; %d dump file(s); load average %.1f\n",
                    ph.name.c_str(), ph.sent, double(ph.sent) / ph.seconds, ph.recorded.records,
                    ph.sent - ph.recorded.records, 100.0 * double(ph.sent - ph.recorded.records) / double(ph.sent),
                    ph.drops, got - ph.recorded.records, ph.recorded.gaps, ph.recorded.files, ph.load);
        if (!ph.recorded.lossStarts.empty()) {
            std::printf("       losses began at");
            for (const uint64_t k : ph.recorded.lossStarts)
                std::printf(" %.2f s", double(k) / (double(kScansPerSecond) * double(scan.size())));
            std::printf(" into the phase\n");
        }
        std::printf("       bare reader beside it: received %ld, lost %ld (%.3f %%): socket drops %lu\n",
                    ph.bareReceived, ph.sent - ph.bareReceived,
                    100.0 * double(ph.sent - ph.bareReceived) / double(ph.sent), ph.bareDrops);
        auto cpu = [&](const char *who, const ThreadTimes &t) {
            std::printf("       %-20s thread: %5.1f %% of a core (%4.1f %% by ticks), %5.2f us a datagram, "
                        "waited for a CPU %.1f ms\n",
                        who, 100.0 * double(t.runNs) / (ph.seconds * 1e9),
                        100.0 * double(t.ticks) / double(tick) / ph.seconds,
                        got > 0 ? double(t.runNs) / 1e3 / double(got) : 0.0, double(t.waitNs) / 1e6);
        };
        cpu("receiver", ph.receiver);
        cpu("hand-off", ph.handoff);
        cpu("window", ph.gui);
        std::printf("       the receiver's longest time on one read's datagrams so far: %.2f ms\n",
                    ph.longestBatchMs);
        for (const NamedTimes &o : ph.others)
            cpu(o.name.c_str(), o.times);
        std::printf("       recorder: taken %llu, written %llu (%ld in the files), lost %llu, reported lost %ld "
                    "(%d report(s) while recording); longest receiver wait %.3f ms, on a lock %.3f ms; "
                    "stop blocked the window %.2f ms; finish line %.1f s after the stop\n",
                    (unsigned long long)ph.stats.taken, (unsigned long long)ph.stats.written, ph.recorded.records,
                    (unsigned long long)ph.stats.lost, ph.reportedLost, ph.lossReports, ph.longestTakeMs,
                    ph.longestLockWaitMs, ph.stopMs, ph.finishAfterS);
    }
    LogManager::instance()->set_write_function(nullptr);
    bool met = true;
    for (const Phase &ph : results)
        if (ph.name == "quiet" && ph.sent != ph.recorded.records)
            met = false;
    std::printf("goal, nothing lost on a quiet machine: %s\n", met ? "met" : "NOT met");
    for (const Phase &ph : results) {
        if (ph.name != "slowdisk")
            continue;
        const bool waits = ph.longestTakeMs < 5.0;
        const bool stop = ph.stopMs < 100.0;
        const bool counted = ph.recorded.records + ph.reportedLost == long(ph.stats.taken)
                             && long(ph.stats.written) == ph.recorded.records;
        std::printf("goal, slow disk: receiver waits under 5 ms: %s (%.3f ms); window under 100 ms: %s (%.2f ms); "
                    "written + reported lost = taken: %s (%ld + %ld of %llu)\n",
                    waits ? "met" : "NOT met", ph.longestTakeMs, stop ? "met" : "NOT met", ph.stopMs,
                    counted ? "met" : "NOT met", ph.recorded.records, ph.reportedLost,
                    (unsigned long long)ph.stats.taken);
    }
    return 0;
}
