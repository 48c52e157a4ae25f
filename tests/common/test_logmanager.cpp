#include "fakepeer.h"
#include "lhframe.h"
#include "logmanager.h"
#include "sockethelpers.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <spdlog/logger.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace {

int64_t now_ms()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

struct Rec {
    uint64_t ms;
    uint16_t type;
    std::vector<uint8_t> payload;
};

// Strict reader: a dump file must be whole records from its first byte to its last.
bool parse_records(const std::vector<uint8_t> &f, std::vector<Rec> &out)
{
    size_t pos = 0;
    while (pos < f.size()) {
        if (f.size() - pos < DUMP_HEADER_SIZE || std::memcmp(&f[pos], "LHLOGH", 6) != 0
            || f[pos + 6] != 0 || f[pos + 7] != 20)
            return false;
        const uint16_t len = rd_u16(&f[pos + 18]);
        if (f.size() - pos - DUMP_HEADER_SIZE < len)
            return false;
        out.push_back({rd_u64(&f[pos + 8]), rd_u16(&f[pos + 16]),
                       {f.begin() + long(pos) + 20, f.begin() + long(pos) + 20 + len}});
        pos += DUMP_HEADER_SIZE + len;
    }
    return true;
}

std::vector<std::string> files_under(const std::string &dir)
{
    std::vector<std::string> files;
    for (const auto &e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file())
            files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Test fixture: each test records under its own folder and leaves the manager stopped with
// the default limit.
class Recorder : public ::testing::Test {
protected:
    void SetUp() override { base = testsupport::make_temp_subdir("rec") + "/logdata/"; }
    void TearDown() override
    {
        LogManager::instance()->set_event_handler(nullptr);
        LogManager::instance()->stop(LogManager::kModeDump);
        LogManager::instance()->wait_stopped();
        LogManager::instance()->set_file_limit(LogManager::kDefaultFileLimit);
        LogManager::instance()->set_write_function(nullptr);
    }
    std::string base;
};

// What the recorder reports, kept for the test thread; `on_event` runs on the reporting thread.
class EventLog {
public:
    LogManager::EventHandler handler()
    {
        return [this](const RecorderEvent &e) {
            if (on_event)
                on_event(e);
            std::lock_guard<std::mutex> lock(mutex_);
            events_.push_back(e);
            cv_.notify_all();
        };
    }
    bool wait_for(RecorderEvent::Kind kind, int timeout_ms = 30000)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                            [&] { return count_locked(kind) > 0; });
    }
    int count(RecorderEvent::Kind kind)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return count_locked(kind);
    }
    RecorderEvent last(RecorderEvent::Kind kind)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = events_.rbegin(); it != events_.rend(); ++it)
            if (it->kind == kind)
                return *it;
        return {};
    }
    std::function<void(const RecorderEvent &)> on_event;

private:
    int count_locked(RecorderEvent::Kind kind) const
    {
        return int(std::count_if(events_.begin(), events_.end(),
                                 [&](const RecorderEvent &e) { return e.kind == kind; }));
    }
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<RecorderEvent> events_;
};

// Every record of every dump below `dir`, file by file in name order; false when a file holds
// anything but whole records.
bool records_under(const std::string &dir, std::vector<Rec> &out)
{
    for (const auto &f : files_under(dir))
        if (!parse_records(testsupport::read_file(f), out))
            return false;
    return true;
}

std::vector<uint8_t> payload_of(size_t n, uint8_t seed)
{
    std::vector<uint8_t> p(n);
    for (size_t i = 0; i < n; ++i)
        p[i] = uint8_t(seed + i);
    return p;
}

} // namespace

TEST_F(Recorder, LoopbackDatagramRecordedByteForByte)
{
    LogManager *m = LogManager::instance();
    ASSERT_TRUE(m->start(base, "data", 1, LogManager::kModeDump));
    const std::string file = m->current_file(0);
    EXPECT_EQ(fs::path(file).parent_path().string() + "/", fs::path(m->folders(0)[0]).string() + "/");
    EXPECT_TRUE(fs::path(file).filename().string().size() == 22
                && file.compare(file.size() - 7, 7, "_1.dump") == 0)
        << file;

    const int sock = udp_open(0, false, "127.0.0.1");
    sockaddr_in a{};
    socklen_t alen = sizeof(a);
    getsockname(sock, reinterpret_cast<sockaddr *>(&a), &alen);
    FakePeer device("127.0.0.2");
    const auto sent = payload_of(4096, 3);
    device.send_to("127.0.0.1", ntohs(a.sin_port), sent);
    uint8_t buf[8192];
    const ssize_t n = recv(sock, buf, sizeof(buf), 0);
    ASSERT_EQ(n, 4096);
    const int64_t before = now_ms();
    log_dump_record(0, buf, size_t(n), 1);
    const int64_t after = now_ms();
    udp_close(sock);
    m->flush(); // the writer's turn may not have come yet

    const auto bytes = testsupport::read_file(file);
    ASSERT_EQ(bytes.size(), 20u + 4096u);
    const uint8_t head[8] = {'L', 'H', 'L', 'O', 'G', 'H', 0x00, 0x14};
    EXPECT_EQ(std::memcmp(bytes.data(), head, 8), 0);
    EXPECT_GE(int64_t(rd_u64(&bytes[8])), before);
    EXPECT_LE(int64_t(rd_u64(&bytes[8])), after);
    EXPECT_EQ(rd_u16(&bytes[16]), 1);
    EXPECT_EQ(rd_u16(&bytes[18]), 4096);
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), bytes.begin() + 20));

    // nothing is written while recording is off
    m->stop(LogManager::kModeDump);
    log_dump_record(0, buf, 10, 1);
    m->wait_stopped();
    EXPECT_EQ(testsupport::read_file(files_under(base)[0]).size(), 20u + 4096u);
}

TEST_F(Recorder, RotationFoldersAndRenames)
{
    LogManager *m = LogManager::instance();
    m->set_file_limit(1000);
    ASSERT_TRUE(m->start(base, "data", 1, LogManager::kModeDump));
    EXPECT_FALSE(m->start(base, "data", 1, LogManager::kModeDump)) << "already recording";

    // 120-byte records: eight fill 960 bytes, the ninth would cross 1000 and opens a new file
    std::vector<Rec> written;
    for (int i = 0; i < 100; ++i) {
        const auto p = payload_of(100, uint8_t(i));
        log_dump_record(0, p.data(), p.size(), 3);
        written.push_back({0, 3, p});
    }
    const auto live_folders = m->folders(0);
    m->stop(LogManager::kModeDump);
    m->wait_stopped();

    // 100 records / 8 per file = 13 files, 5 per folder -> 3 folders, all renamed
    std::vector<std::string> folder_names;
    for (const auto &e : fs::directory_iterator(base))
        folder_names.push_back(e.path().filename().string());
    std::sort(folder_names.begin(), folder_names.end());
    ASSERT_EQ(folder_names.size(), 3u);
    ASSERT_EQ(live_folders.size(), 3u);
    for (const auto &f : folder_names)
        EXPECT_NE(f.find('-'), std::string::npos) << "complete folder carries its end time: " << f;
    std::map<std::string, int> per_folder;
    std::vector<Rec> read_back;
    for (const auto &file : files_under(base)) {
        ++per_folder[fs::path(file).parent_path().filename().string()];
        const auto bytes = testsupport::read_file(file);
        EXPECT_LE(bytes.size(), 1000u) << file;
        EXPECT_TRUE(parse_records(bytes, read_back)) << "whole records only: " << file;
    }
    std::vector<int> counts;
    for (const auto &kv : per_folder)
        counts.push_back(kv.second);
    std::sort(counts.begin(), counts.end());
    EXPECT_EQ(counts, (std::vector<int>{3, 5, 5}));
    ASSERT_EQ(read_back.size(), written.size());
    for (size_t i = 0; i < written.size(); ++i)
        EXPECT_EQ(read_back[i].payload, written[i].payload) << i;

    // a new start begins a new folder with a file numbered 1
    ASSERT_TRUE(m->start(base, "data", 1, LogManager::kModeDump));
    const std::string again = m->current_file(0);
    EXPECT_EQ(again.compare(again.size() - 7, 7, "_1.dump"), 0);
    EXPECT_EQ(m->folders(0).size(), 1u);
}

TEST_F(Recorder, RecordsNeverCrossTheLimit)
{
    LogManager *m = LogManager::instance();
    m->set_file_limit(1000);
    ASSERT_TRUE(m->start(base, "data", 1, LogManager::kModeDump));
    const auto p970 = payload_of(970, 1); // a 990-byte record: the file is 10 short of full
    log_dump_record(0, p970.data(), p970.size(), 1);
    const std::string first = m->current_file(0);
    const auto p10 = payload_of(10, 2); // 30-byte record would end at 1020
    log_dump_record(0, p10.data(), p10.size(), 1);
    const std::string second = m->current_file(0);
    EXPECT_NE(first, second);
    EXPECT_EQ(testsupport::read_file(first).size(), 990u) << "the record went whole to the next file";
    EXPECT_EQ(testsupport::read_file(second).size(), 30u);

    // a record that exactly fills the file closes it and opens an empty next one
    const auto p950 = payload_of(950, 3);
    log_dump_record(0, p950.data(), p950.size(), 1); // 30 + 970 = 1000
    const std::string third = m->current_file(0);
    EXPECT_NE(third, second);
    EXPECT_EQ(testsupport::read_file(second).size(), 1000u);
    EXPECT_EQ(testsupport::read_file(third).size(), 0u);

    // a record larger than the whole limit still goes whole into a file of its own
    const auto big = payload_of(1500, 4);
    log_dump_record(0, big.data(), big.size(), 1);
    m->flush();
    EXPECT_EQ(testsupport::read_file(third).size(), 1520u);
    EXPECT_NE(m->current_file(0), third);
}

TEST_F(Recorder, ConcurrentWritersAndStartStop)
{
    LogManager *m = LogManager::instance();
    m->set_file_limit(4096);
    ASSERT_TRUE(m->start(base, "data", 1, LogManager::kModeDump));
    constexpr int kPerThread = 2000;
    auto writer = [](uint8_t tag) {
        for (int i = 0; i < kPerThread; ++i) {
            uint8_t p[40];
            std::memset(p, tag, sizeof(p));
            wr_u32(p, uint32_t(i));
            log_dump_record(0, p, sizeof(p), tag);
        }
    };
    std::thread a(writer, 1), b(writer, 2);
    a.join();
    b.join();
    m->stop(LogManager::kModeDump);
    m->wait_stopped();

    std::vector<Rec> recs;
    for (const auto &f : files_under(base))
        ASSERT_TRUE(parse_records(testsupport::read_file(f), recs)) << f;
    ASSERT_EQ(recs.size(), size_t(2 * kPerThread));
    std::set<std::pair<int, uint32_t>> seen;
    for (const auto &r : recs) {
        ASSERT_EQ(r.payload.size(), 40u);
        EXPECT_EQ(r.payload[39], r.type);
        seen.insert({r.type, rd_u32(r.payload.data())});
    }
    EXPECT_EQ(seen.size(), size_t(2 * kPerThread)) << "every record exactly once";

    // a receiver writing while the GUI thread starts and stops: whatever lands is whole
    const std::string base2 = testsupport::make_temp_subdir("rec2") + "/";
    std::atomic<bool> run{true};
    std::thread w([&] {
        uint8_t p[64] = {0};
        while (run)
            log_dump_record(0, p, sizeof(p), 1);
    });
    for (int i = 0; i < 20; ++i) {
        m->start(base2, "data", 1, LogManager::kModeDump);
        std::this_thread::yield();
        m->stop(LogManager::kModeDump);
    }
    run = false;
    w.join();
    m->wait_stopped();
    for (const auto &f : files_under(base2)) {
        std::vector<Rec> r;
        EXPECT_TRUE(parse_records(testsupport::read_file(f), r)) << f;
    }
}

TEST_F(Recorder, RefusesBadStarts)
{
    LogManager *m = LogManager::instance();
    EXPECT_FALSE(m->start(base, "", 1, LogManager::kModeDump));
    EXPECT_FALSE(m->start(base, "data", 1, 2));
    EXPECT_FALSE(m->is_recording());
    // A folder nothing can be created in: no file, so no recording that would lose it all.
    EXPECT_FALSE(m->start("/proc/no-such-folder/logdata/", "data", 1, LogManager::kModeDump));
    EXPECT_FALSE(m->is_recording());
    EXPECT_FALSE(m->stop(LogManager::kModeDump)) << "nothing to end";
    ASSERT_TRUE(m->console());
    EXPECT_EQ(m->console()->name(), "console");
    // writes to a stream that does not exist are dropped
    ASSERT_TRUE(m->start(base, "data", 1, LogManager::kModeDump));
    uint8_t p[4] = {1, 2, 3, 4};
    log_dump_record(1, p, 4, 1);
    log_dump_record(-1, p, 4, 1);
    EXPECT_EQ(testsupport::read_file(m->current_file(0)).size(), 0u);
}

// A receiver's worth of traffic: the records are written in large pieces by the recording's
// own thread, in order, each file cut between records at the limit, and the stop leaves every
// record given before it in the files.
TEST_F(Recorder, WriterKeepsOrderAcrossPiecesAndFiles)
{
    LogManager *m = LogManager::instance();
    m->set_file_limit(1000000); // a file holds 819 of the 1,220-byte records
    ASSERT_TRUE(m->start(base, "data", 1, LogManager::kModeDump));
    constexpr uint32_t kRecords = 20000; // 24 MB: many of the writer's pieces
    std::thread receiver([] {
        std::vector<uint8_t> p(1200);
        for (uint32_t i = 0; i < kRecords; ++i) {
            wr_u32(p.data(), i);
            p.back() = uint8_t(i * 7);
            log_dump_record(0, p.data(), p.size(), 2);
        }
    });
    receiver.join();
    m->stop(LogManager::kModeDump);
    m->wait_stopped();

    std::vector<Rec> recs;
    for (const auto &f : files_under(base)) {
        const auto bytes = testsupport::read_file(f);
        EXPECT_LE(bytes.size(), 1000000u) << f;
        ASSERT_TRUE(parse_records(bytes, recs)) << "whole records only: " << f;
    }
    ASSERT_EQ(recs.size(), size_t(kRecords));
    for (uint32_t i = 0; i < kRecords; ++i) {
        ASSERT_EQ(rd_u32(recs[i].payload.data()), i) << "in the order given";
        ASSERT_EQ(recs[i].payload.back(), uint8_t(i * 7));
        ASSERT_EQ(recs[i].type, 2);
    }
    EXPECT_EQ(files_under(base).size(), size_t((kRecords + 818) / 819));
}

// Nobody asks: the records still reach the file while recording goes on.
TEST_F(Recorder, WriterWritesWithoutBeingAsked)
{
    LogManager *m = LogManager::instance();
    ASSERT_TRUE(m->start(base, "data", 1, LogManager::kModeDump));
    const std::vector<std::string> files = files_under(base);
    ASSERT_EQ(files.size(), 1u);
    const auto p = payload_of(100, 9);
    for (int i = 0; i < 3; ++i)
        log_dump_record(0, p.data(), p.size(), 1);
    EXPECT_TRUE(testsupport::wait_until([&] { return testsupport::read_file(files[0]).size() == 360u; }));
    EXPECT_TRUE(m->is_recording());
}

// A disk far slower than the stream: the receiver is never held. Once kMaxWaiting bytes wait,
// whole records are dropped, counted and reported at once; the stop returns while the disk
// still holds everything back; when the disk gives way, every record kept reaches the file, and
// only then is the end reported, with the loss in all.
TEST_F(Recorder, SlowDiskLosesWholeRecordsNotTheReceiver)
{
    LogManager *m = LogManager::instance();
    testsupport::Gate disk;
    m->set_write_function([&disk](int fd, const void *data, size_t n) {
        disk.wait();
        return ::write(fd, data, n);
    });
    EventLog events;
    long recordsAtFinish = -1;
    events.on_event = [&](const RecorderEvent &e) {
        if (e.kind == RecorderEvent::Finished) {
            std::vector<Rec> recs;
            recordsAtFinish = records_under(base, recs) ? long(recs.size()) : -2;
        }
    };
    m->set_event_handler(events.handler());
    ASSERT_TRUE(m->start(base, "data", 1, LogManager::kModeDump));

    constexpr size_t kPayload = 60000;
    constexpr uint32_t kRecords = LogManager::kMaxWaiting / (kPayload + DUMP_HEADER_SIZE) + 200;
    // The receiver on a thread of its own: were it held by the disk, it would never finish.
    auto receiver = std::async(std::launch::async, [] {
        std::vector<uint8_t> p(kPayload, 0x77);
        for (uint32_t i = 0; i < kRecords; ++i) {
            wr_u32(p.data(), i);
            log_dump_record(0, p.data(), p.size(), 2);
        }
    });
    if (receiver.wait_for(std::chrono::seconds(120)) != std::future_status::ready) {
        disk.open();
        FAIL() << "the receiver waited for the disk";
    }
    ASSERT_TRUE(events.wait_for(RecorderEvent::Lost)) << "the loss is reported while recording";
    const RecorderEvent firstLoss = events.last(RecorderEvent::Lost);
    EXPECT_GT(firstLoss.lost, 0u);
    const LogManager::Stats during = m->stats();
    EXPECT_EQ(during.taken, kRecords);
    EXPECT_GE(during.lost, 199u);
    EXPECT_LE(during.lost, 200u + 9u) << "records wait up to the bound, the rest go";
    EXPECT_EQ(during.written, 0u);

    // The stop hands the rest to the writer: it returns with the disk still closed.
    EXPECT_TRUE(m->stop(LogManager::kModeDump));
    EXPECT_FALSE(m->is_recording());
    EXPECT_EQ(events.count(RecorderEvent::Finished), 0) << "nothing is in its file yet";
    disk.open();
    m->wait_stopped();

    ASSERT_EQ(events.count(RecorderEvent::Finished), 1);
    const RecorderEvent end = events.last(RecorderEvent::Finished);
    EXPECT_EQ(end.taken, kRecords);
    EXPECT_EQ(end.lost, during.lost);
    EXPECT_EQ(end.written + end.lost, end.taken);
    EXPECT_EQ(recordsAtFinish, long(end.written)) << "the end is reported once every record is in its file";
    EXPECT_EQ(events.count(RecorderEvent::Failed), 0);

    std::vector<Rec> recs;
    ASSERT_TRUE(records_under(base, recs));
    ASSERT_EQ(recs.size(), size_t(end.written));
    for (size_t i = 0; i < recs.size(); ++i)
        ASSERT_EQ(rd_u32(recs[i].payload.data()), uint32_t(i)) << "the first records, in order";
    for (const auto &e : fs::directory_iterator(base))
        EXPECT_NE(e.path().filename().string().find('-'), std::string::npos) << "renamed at the end";
}

namespace {

// A disk of kSmallDisk bytes: what a write would take past it is refused as a full disk would.
constexpr size_t kSmallDisk = 1500 * 1024;

// Records of 60 kB until the disk is full: the recording ends at the failed write, the files
// hold whole records and never pass their limit, the error names the file, and no end is
// reported as a finish.
void expect_full_disk_ends_the_recording(const std::string &base)
{
    LogManager *m = LogManager::instance();
    m->set_file_limit(1000000); // the second file meets the full disk
    EventLog events;
    m->set_event_handler(events.handler());
    ASSERT_TRUE(m->start(base, "data", 1, LogManager::kModeDump));
    std::vector<uint8_t> p(60 * 1024, 0x3C);
    for (uint32_t i = 0; i < 100; ++i) {
        wr_u32(p.data(), i);
        log_dump_record(0, p.data(), p.size(), 1);
    }
    m->flush();
    ASSERT_TRUE(events.wait_for(RecorderEvent::Failed));
    EXPECT_FALSE(m->is_recording()) << "a failed write ends the recording";
    const RecorderEvent failed = events.last(RecorderEvent::Failed);
    EXPECT_EQ(failed.error, std::strerror(ENOSPC));
    EXPECT_EQ(failed.file.compare(0, base.size(), base), 0) << failed.file;
    EXPECT_EQ(fs::path(failed.file).extension(), ".dump");
    EXPECT_LE(failed.taken, 100u) << "from the failure on, nothing is taken";

    log_dump_record(0, p.data(), p.size(), 1);
    EXPECT_TRUE(m->stop(LogManager::kModeDump)) << "its end was reported";
    m->wait_stopped();
    EXPECT_EQ(events.count(RecorderEvent::Finished), 0);
    EXPECT_EQ(events.count(RecorderEvent::Failed), 1);

    std::vector<Rec> recs;
    const auto files = files_under(base);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files.back(), failed.file) << "named in its renamed folder";
    for (const auto &f : files) {
        const auto bytes = testsupport::read_file(f);
        EXPECT_LE(bytes.size(), 1000000u) << f;
        ASSERT_TRUE(parse_records(bytes, recs)) << "cut at its last whole record: " << f;
    }
    EXPECT_EQ(recs.size(), size_t(failed.written));
    EXPECT_GT(failed.written, 16u) << "the first file is whole";
    EXPECT_LT(failed.written, 100u);
    for (size_t i = 0; i < recs.size(); ++i)
        EXPECT_EQ(rd_u32(recs[i].payload.data()), uint32_t(i));
}

} // namespace

// A real small filesystem: a tmpfs in a mount namespace of this test's own.
TEST_F(Recorder, FullFilesystemEndsTheRecording)
{
    const std::string mountPoint = testsupport::make_temp_subdir("smallfs");
    if (::unshare(CLONE_NEWNS) != 0)
        GTEST_SKIP() << "no mount namespace here (" << std::strerror(errno)
                     << "); FullDiskSeamEndsTheRecording covers the same";
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0,
                   ("size=" + std::to_string(kSmallDisk / 1024) + "k").c_str())
               != 0)
        GTEST_SKIP() << "no tmpfs mount here (" << std::strerror(errno)
                     << "); FullDiskSeamEndsTheRecording covers the same";
    expect_full_disk_ends_the_recording(mountPoint + "/logdata/");
    ::umount2(mountPoint.c_str(), MNT_DETACH);
}

// The same through the write seam: a disk that takes kSmallDisk bytes in all, the last write
// short.
TEST_F(Recorder, FullDiskSeamEndsTheRecording)
{
    std::mutex mutex;
    size_t used = 0;
    LogManager::instance()->set_write_function([&](int fd, const void *data, size_t n) -> ssize_t {
        std::lock_guard<std::mutex> lock(mutex);
        const size_t room = kSmallDisk - used;
        if (room == 0) {
            errno = ENOSPC;
            return -1;
        }
        const ssize_t r = ::write(fd, data, std::min(n, room));
        if (r > 0)
            used += size_t(r);
        return r;
    });
    expect_full_disk_ends_the_recording(base);
}

// The folder removed while recording: the writes that follow go to a file nobody can open, so
// the recording ends, naming the file.
TEST_F(Recorder, RemovedFolderEndsTheRecording)
{
    LogManager *m = LogManager::instance();
    EventLog events;
    m->set_event_handler(events.handler());
    ASSERT_TRUE(m->start(base, "data", 1, LogManager::kModeDump));
    const auto p = payload_of(1000, 5);
    for (int i = 0; i < 10; ++i)
        log_dump_record(0, p.data(), p.size(), 1);
    const std::string file = m->current_file(0);
    EXPECT_EQ(events.count(RecorderEvent::Failed), 0);
    fs::remove_all(base);
    for (int i = 0; i < 10; ++i)
        log_dump_record(0, p.data(), p.size(), 1);
    m->flush();
    ASSERT_TRUE(events.wait_for(RecorderEvent::Failed));
    const RecorderEvent failed = events.last(RecorderEvent::Failed);
    EXPECT_EQ(failed.file, file) << "the folder is gone: no new name";
    EXPECT_EQ(failed.error, std::strerror(ENOENT));
    EXPECT_EQ(failed.written, 10u);
    EXPECT_FALSE(m->is_recording());
    EXPECT_TRUE(m->stop(LogManager::kModeDump));
    m->wait_stopped();
    EXPECT_EQ(events.count(RecorderEvent::Finished), 0);
    EXPECT_FALSE(fs::exists(base)) << "nothing made the folder again";
}
