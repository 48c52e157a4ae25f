// Classification of playback files and the request: size bounds, readers, end of a request.

#include "playbacktestutil.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;

struct DetectCase {
    const char *name;
    std::string content;
    int expected;
};

// Suffixes are compared exactly and win over the content; only then does "LHLOGH" count.
const DetectCase kDetectCases[] = {
    {"a.las", "just some text", PlaybackProc::LOG_LAS},
    {"a.pcd", "x", PlaybackProc::LOG_PCD},
    {"a.pcap", "x", PlaybackProc::LOG_PCAP},
    {"a.pcapng", "x", PlaybackProc::LOG_PCAPNG},
    {"a.vimo", "x", PlaybackProc::LOG_UDPP},
    {"a.b.pcapng", "x", PlaybackProc::LOG_PCAPNG},
    {"a.las", "LHLOGH\0\x14"s, PlaybackProc::LOG_LAS},
    {"a.PCAP", "random bytes", PlaybackProc::LOG_RAW},
    {"a.PCAP", "LHLOGH\0\x14"s, PlaybackProc::LOG_DUMP},
    {"nodot", "LHLOGH\0\x14"s, PlaybackProc::LOG_DUMP},
    {"nodot", "LHLOGX", PlaybackProc::LOG_RAW},
    {"rec.dump", "LHLOGH", PlaybackProc::LOG_DUMP},
    {"rec.dump", "HLOGH", PlaybackProc::LOG_RAW},
    {"short.dump", "LHL", PlaybackProc::LOG_RAW},
    {"empty.bin", "", PlaybackProc::LOG_RAW},
    {"a.lasx", "x", PlaybackProc::LOG_RAW},
};

void PrintTo(const DetectCase &c, std::ostream *os)
{
    *os << c.name << " holding " << c.content.size() << " bytes";
}

class DetectLogType : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectLogType, ClassifiesBySuffixThenContent)
{
    const DetectCase &c = GetParam();
    const std::string path = temp_file(c.name, Bytes(c.content.begin(), c.content.end()));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_EQ(proc.DetectLogType(QString::fromStdString(path)), c.expected) << c.name;
    EXPECT_TRUE(rec.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, DetectLogType, testing::ValuesIn(kDetectCases));

TEST(DetectLogType, UnopenableFileIsZeroWithMessage)
{
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    const std::string path = testsupport::make_temp_subdir("pb") + "/missing.dump";
    EXPECT_EQ(proc.DetectLogType(QString::fromStdString(path)), PlaybackProc::LOG_NONE);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].type, MSG_LOG);
    EXPECT_EQ(rec.messages[0].text, QByteArray("The playback file is open failed!"));
}

// A named pipe, a folder or a device is refused at once with what it is: opening a pipe for
// reading would wait for a writer, on the GUI thread that classifies the chosen file. The worker
// refuses them too, in case the file was replaced after it was chosen.
TEST(DetectLogType, AnythingButARegularFileIsRefusedWithoutWaiting)
{
    const std::string dir = testsupport::make_temp_subdir("pb");
    const std::string fifo = dir + "/fifo.pcd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir + "/folder.dump";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    for (const std::string &path : {fifo, folder, std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        PlaybackProc proc;
        PlaybackRecorder rec(proc);
        EXPECT_EQ(proc.DetectLogType(QString::fromStdString(path)), PlaybackProc::LOG_NONE);
        proc.recv_playback(QString::fromStdString(path), PlaybackProc::LOG_PCD, LIDAR_UNKNOWN);
        const QByteArray said = "The playback file is not a regular file: " + QByteArray::fromStdString(path);
        ASSERT_EQ(rec.messages.size(), 2u);
        EXPECT_EQ(rec.messages[0].type, MSG_LOG);
        EXPECT_EQ(rec.messages[0].text, said);
        EXPECT_EQ(rec.messages[1].type, MSG_ERROR);
        EXPECT_EQ(rec.messages[1].text, said);
        EXPECT_TRUE(rec.frames.empty());
    }
}

// A sparse file of the given size: no disk space, and reading it would take long for the
// multi-gigabyte cases.
std::string sparse_file(const std::string &name, off_t size)
{
    const std::string path = testsupport::make_temp_subdir("pb") + "/" + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
    return path;
}

struct SizeCase {
    off_t size;
    bool plays;
    const char *refusal;
};

void PrintTo(const SizeCase &c, std::ostream *os)
{
    *os << c.size << " bytes";
}

class RequestSize : public testing::TestWithParam<SizeCase> {};

TEST_P(RequestSize, BoundsAreCheckedBeforeReading)
{
    const SizeCase &c = GetParam();
    const std::string path = sparse_file("capture.bin", c.size);
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    // Lidar type 5 has no parser: a file that passes is read and reported, nothing more.
    proc.recv_playback(QString::fromStdString(path), PlaybackProc::LOG_RAW, LIDAR_UNKNOWN);
    if (c.plays) {
        EXPECT_EQ(rec.finished, 1);
        EXPECT_EQ(rec.lidar_type_report(), QByteArray("5"));
        EXPECT_EQ(rec.cache_end_report().toStdString(), end_text(0, 0));
        EXPECT_TRUE(rec.frames.empty());
    } else {
        EXPECT_EQ(rec.finished, 0);
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_EQ(rec.messages[0].type, MSG_ERROR);
        EXPECT_EQ(rec.messages[0].text, QByteArray(c.refusal));
    }
}

constexpr off_t kMax = 100LL * 1024 * 1024;
INSTANTIATE_TEST_SUITE_P(
    Bounds, RequestSize,
    testing::Values(SizeCase{0, false, "The playback file is  too small,minmum 4K"},
                    SizeCase{4096, false, "The playback file is  too small,minmum 4K"},
                    SizeCase{4097, true, nullptr},
                    SizeCase{kMax - 1, true, nullptr},
                    SizeCase{kMax, false, "The playback file is  too large,maximum 100M"},
                    // Refused from its size alone: reading it would need 8 GB.
                    SizeCase{8LL << 30, false, "The playback file is  too large,maximum 100M"}));

TEST(Request, VanishedFileIsRefusedWithoutFinished)
{
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    const std::string path = testsupport::make_temp_subdir("pb") + "/gone.dump";
    proc.recv_playback(QString::fromStdString(path), PlaybackProc::LOG_DUMP, LIDAR_UNKNOWN);
    EXPECT_EQ(rec.finished, 0);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].type, MSG_ERROR);
    EXPECT_EQ(rec.messages[0].text, QByteArray("The playback file is open failed!"));
}

TEST(Request, TextFileNamedLasEndsWithFinishedAndNoFrame)
{
    const std::string path = temp_file("notes.las", Bytes(5000, 'a'));
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_EQ(proc.DetectLogType(QString::fromStdString(path)), PlaybackProc::LOG_LAS);
    proc.recv_playback(QString::fromStdString(path), PlaybackProc::LOG_LAS, LIDAR_UNKNOWN);
    EXPECT_TRUE(rec.frames.empty());
    EXPECT_EQ(rec.texts(MSG_ERROR),
              std::vector<QByteArray>{"can not open las file: not a LAS file (no LASF signature)"});
    EXPECT_EQ(rec.messages.size(), 1u) << "no end report for a LAS file";
    EXPECT_EQ(rec.finished, 1);
}

// On the playback thread, as the main window runs it: every frame (the final one at 100
// included) arrives before the end report, and the report before finished.
TEST(Request, RunsOnItsThreadAndDeliversInOrder)
{
    register_point_meta_types();
    std::vector<Bytes> records;
    for (const Bytes &p : raxo_packets(30, 10, 20))
        records.push_back(make_dump_record(LIDAR_RAXO_E, p));
    const std::string path = temp_file("scan.dump", concat(records));

    PlaybackRecorder rec;
    ASSERT_TRUE(run_on_playback_thread(rec, path, PlaybackProc::LOG_DUMP, LIDAR_UNKNOWN, 10000));

    const std::vector<std::string> expected = {"F", "F", "F", "F", "M18", "M22", "finished"};
    EXPECT_EQ(rec.order, expected);
    ASSERT_EQ(rec.frames.size(), 4u);
    EXPECT_EQ(rec.frames[0].points.size(), 200u);
    EXPECT_EQ(rec.frames[3].progress, 100.0f);
    EXPECT_TRUE(rec.frames[3].points.empty());
    EXPECT_EQ(rec.lidar_type_report(), QByteArray("1"));
}

// A worker on its own thread, recorded on this one, as the main window uses it.
struct ThreadedWorker {
    QThread thread;
    PlaybackProc *proc = new PlaybackProc;
    QObject receiver;
    PlaybackRecorder rec;
    int passed = 0;
    std::vector<std::string> order; // the recorder's order, with "passed" at each mark

    ThreadedWorker()
    {
        register_point_meta_types();
        proc->moveToThread(&thread);
        QObject::connect(&thread, &QThread::finished, proc, &QObject::deleteLater);
        rec.attach(*proc, &receiver);
        QObject::connect(proc, &PlaybackProc::sig_abandonPassed, &receiver, [this] {
            ++passed;
            rec.order.push_back("passed");
        });
        thread.start();
    }
    ~ThreadedWorker()
    {
        thread.quit();
        thread.wait();
    }
    void request(const std::string &path)
    {
        QMetaObject::invokeMethod(proc, "recv_playback", Qt::QueuedConnection,
                                  Q_ARG(QString, QString::fromStdString(path)),
                                  Q_ARG(int, PlaybackProc::LOG_DUMP), Q_ARG(int, LIDAR_UNKNOWN));
    }
};

std::string raxo_dump(const char *name, int packets, int per_frame, int points)
{
    std::vector<Bytes> records;
    for (const Bytes &p : raxo_packets(packets, per_frame, points))
        records.push_back(make_dump_record(LIDAR_RAXO_E, p));
    return temp_file(name, concat(records));
}

// The mark set while a request runs (here by the first frame itself, in the worker's thread, so
// the request is surely under way): nothing more of it is posted, no end report, and the mark
// passes after everything it did post.
TEST(Abandon, StopsTheRequestUnderWay)
{
    const std::string path = raxo_dump("long.dump", 2000, 2, 10);
    ThreadedWorker w;
    int seen = 0;
    QObject::connect(w.proc, &PlaybackProc::sig_CacheData, w.proc,
                     [&w, &seen](const std::vector<UserPointData> &, float) {
                         if (++seen == 3)
                             w.proc->abandon();
                     },
                     Qt::DirectConnection);
    QSignalSpy finished(w.proc, &PlaybackProc::finished);
    w.request(path);
    ASSERT_TRUE(testsupport::wait_until([&] { return w.passed == 1; }, 20000));
    testsupport::drain_events();

    EXPECT_EQ(w.rec.frames.size(), 3u) << "frames after the mark are not posted";
    EXPECT_EQ(w.rec.final_frames(), 0);
    EXPECT_TRUE(w.rec.messages.empty()) << "no end report of an abandoned request";
    EXPECT_EQ(w.rec.order, (std::vector<std::string>{"F", "F", "F", "finished", "passed"}));
}

// Requests queued before the mark never start; the one sent after it plays whole.
TEST(Abandon, SkipsQueuedRequestsAndPlaysTheNextOne)
{
    const std::string first = raxo_dump("first.dump", 60, 2, 10);
    const std::string second = raxo_dump("second.dump", 40, 2, 10);
    ThreadedWorker w;
    // The worker thread is held until all three are queued, so the order is certain.
    QSemaphore hold;
    QMetaObject::invokeMethod(w.proc, [&hold] { hold.acquire(); }, Qt::QueuedConnection);
    w.request(first);
    w.request(first);
    w.proc->abandon();
    w.request(second);
    hold.release();
    ASSERT_TRUE(testsupport::wait_until([&] { return w.rec.finished == 1; }, 20000));
    testsupport::drain_events();

    EXPECT_EQ(w.passed, 1);
    ASSERT_EQ(w.rec.order.front(), "passed") << "nothing of the abandoned requests";
    EXPECT_EQ(w.rec.frames.size(), 21u);
    EXPECT_EQ(w.rec.final_frames(), 1);
    EXPECT_EQ(w.rec.cache_end_report().toStdString(), end_text(40, 20));
}

} // namespace
