#include "logmanager.h"

#include "dirhelpers.h"
#include "lhframe.h"
#include "timehelpers.h"

#include <spdlog/sinks/stdout_color_sinks.h>
#include <spdlog/spdlog.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

// `stem` + `suffix`, or, when something already stands there, `stem` + "_2" + `suffix` and so
// on. Only a rotation within the same second needs it (small files, fast streams); a real
// 50 MB file never meets its predecessor's name, but appending to it would break the count.
std::string unique_path(const std::string &stem, const std::string &suffix)
{
    std::string p = stem + suffix;
    for (int k = 2; path_exists(p); ++k)
        p = stem + "_" + std::to_string(k) + suffix;
    return p;
}

uint64_t monotonic_ns()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return uint64_t(t.tv_sec) * 1000000000u + uint64_t(t.tv_nsec);
}

void note_longest(std::atomic<uint64_t> &longest, uint64_t ns)
{
    uint64_t was = longest.load(std::memory_order_relaxed);
    while (ns > was && !longest.compare_exchange_weak(was, ns, std::memory_order_relaxed)) {
    }
}

// Locks `lock`'s mutex; the time it had to wait for it goes into `longest`.
void lock_noting_wait(std::unique_lock<std::mutex> &lock, std::atomic<uint64_t> &longest)
{
    if (lock.try_lock())
        return;
    const uint64_t since = monotonic_ns();
    lock.lock();
    note_longest(longest, monotonic_ns() - since);
}

std::string error_text(int err)
{
    char buf[256];
    // The GNU strerror_r: the text may be a constant of its own rather than buf.
    return strerror_r(err, buf, sizeof(buf));
}

} // namespace

void make_dump_header(uint8_t *out, uint64_t ms, uint16_t type, uint16_t length)
{
    std::memcpy(out, DUMP_MAGIC, 6);
    out[6] = 0x00;
    out[7] = DUMP_HEADER_SIZE;
    wr_u64(out + 8, ms);
    wr_u16(out + 16, type);
    wr_u16(out + 18, length);
}

// One recording, from its start to the moment its last record is in its file: its folders and
// files, the records waiting for them, and the thread that writes them. A stop ends only the
// taking of records; the recording's thread finishes the rest and reports, so a new recording
// can start while an old one still writes.
class LogManager::Recording {
public:
    Recording(LogManager *owner, std::string base, int stream_count, uint64_t limit,
              WriteFunction write)
        : owner_(owner), base_(std::move(base)), limit_(limit), write_(std::move(write)),
          streams_(size_t(stream_count)), filling_(size_t(stream_count))
    {
    }
    ~Recording() { join(); }
    Recording(const Recording &) = delete;
    Recording &operator=(const Recording &) = delete;

    // Makes the folders and opens the first files; false (nothing left behind but the base
    // folder) when a file cannot be created.
    bool open();
    void run();

    // A receiver's record into the stream's block; `since_ns` is when the call began and
    // `waited_ns` how long it waited for the manager's lock. True when records were lost and it
    // is time to say so: `loss` is the report, for the caller to make once no lock is held.
    bool take(int stream, const void *header, size_t header_length, const void *payload,
              size_t payload_length, uint64_t since_ns, uint64_t waited_ns, RecorderEvent &loss);
    bool accepting() const { return acceptingFlag_.load(std::memory_order_acquire); }
    // Takes no more records; the thread writes what waits and finishes.
    void end();
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    void join()
    {
        if (thread_.joinable())
            thread_.join();
    }
    void flush();
    std::string current_file(int stream);
    std::vector<std::string> folders(int stream);
    Stats stats() const;

private:
    struct Block {
        std::unique_ptr<uint8_t[]> bytes;
        size_t capacity = 0;
        size_t used = 0;
        int stream = 0;
        std::vector<uint32_t> lengths;
    };
    using BlockPtr = std::unique_ptr<Block>;

    struct Stream {
        int number = 1;     // 1-based, part of the file names
        int fd = -1;
        uint64_t bytes = 0; // whole records in the current file
        int closed = 0;     // files closed so far
        std::string path;   // current file
        std::vector<std::string> folders; // oldest first; renamed entries carry their new name
    };

    // queueMutex_ held.
    BlockPtr new_block(size_t at_least);
    // queueMutex_ held; what does not go back to the spares is handed out for freeing outside
    // the lock.
    void recycle(BlockPtr b, std::vector<BlockPtr> &to_free);

    void writer_loop();
    bool write_block(const Block &b);
    bool write_run(Stream &s, const uint8_t *data, const uint32_t *lengths, size_t count, uint64_t bytes);
    bool open_file(Stream &s);
    bool rotate(Stream &s);
    void repair_folders(Stream &s);
    static void close_file(Stream &s);
    void fail(const std::string &file, int err);
    // queueMutex_ held: true when records were lost since the last report and the interval
    // has passed; `e` is the report.
    bool loss_report_due(RecorderEvent &e);
    // Makes the report if it is due; queueMutex_ not held.
    void report_loss();

    LogManager *owner_;
    const std::string base_;
    const uint64_t limit_;
    const WriteFunction write_;

    // The files: the writer's own; the lock lets current_file() and folders() look.
    std::mutex filesMutex_;
    std::vector<Stream> streams_;
    RecorderEvent failure_; // the writer's: set when a write fails

    // The records waiting for the writer, in blocks: the one a stream fills, then the full
    // ones in the order they were filled.
    std::mutex queueMutex_;
    std::condition_variable wake_;     // the writer: a full block, a flush, the end
    std::condition_variable progress_; // flush(): records written, or the writer done
    bool ending_ = false;
    bool failed_ = false;
    uint64_t flushTarget_ = 0;         // flush(): records to write before the next wait
    std::vector<BlockPtr> filling_;    // a block per stream (or none yet)
    std::deque<BlockPtr> full_;
    std::vector<BlockPtr> spare_;
    size_t waitingBytes_ = 0;          // record bytes taken and not yet written or given up
    uint64_t queued_ = 0;              // records taken into blocks
    uint64_t handled_ = 0;             // of those, written or given up by the writer

    std::atomic<bool> acceptingFlag_{false};
    std::atomic<bool> finished_{false};
    std::atomic<uint64_t> taken_{0};
    std::atomic<uint64_t> written_{0};
    std::atomic<uint64_t> lost_{0};
    std::atomic<uint64_t> longestTakeNs_{0};
    std::atomic<uint64_t> longestLockWaitNs_{0};
    uint64_t reportedLost_ = 0;        // queueMutex_
    uint64_t lastLossReportNs_ = 0;    // queueMutex_
    std::thread thread_;
};

// ---- the recording ----

bool LogManager::Recording::open()
{
    make_dirs(base_);
    for (size_t i = 0; i < streams_.size(); ++i) {
        Stream &s = streams_[i];
        s.number = int(i) + 1;
        const std::string folder = unique_path(join_path(base_, time_stamp_string()), "");
        make_dirs(folder);
        s.folders.push_back(folder);
        if (!open_file(s)) {
            for (Stream &t : streams_) {
                close_file(t);
                if (!t.path.empty())
                    ::unlink(t.path.c_str());
                for (const std::string &f : t.folders)
                    ::rmdir(f.c_str());
            }
            return false;
        }
    }
    // Room for what comes between two writes, made here: memory that a receiver is the first
    // to touch faults in on the receiver's thread.
    std::lock_guard<std::mutex> lock(queueMutex_);
    for (size_t i = 0; i < filling_.size(); ++i) {
        filling_[i] = new_block(kWriteChunk);
        filling_[i]->stream = int(i);
        spare_.push_back(new_block(kWriteChunk));
    }
    for (std::vector<BlockPtr> *list : {&filling_, &spare_})
        for (BlockPtr &b : *list)
            std::memset(b->bytes.get(), 0, b->capacity);
    return true;
}

void LogManager::Recording::run()
{
    acceptingFlag_.store(true, std::memory_order_release);
    thread_ = std::thread([this] { writer_loop(); });
    pthread_setname_np(thread_.native_handle(), "dump writer");
}

LogManager::Recording::BlockPtr LogManager::Recording::new_block(size_t at_least)
{
    if (!spare_.empty() && spare_.back()->capacity >= at_least) {
        BlockPtr b = std::move(spare_.back());
        spare_.pop_back();
        return b;
    }
    auto b = std::make_unique<Block>();
    b->capacity = std::max(at_least, kWriteChunk);
    b->bytes.reset(new uint8_t[b->capacity]);
    b->lengths.reserve(1024);
    return b;
}

void LogManager::Recording::recycle(BlockPtr b, std::vector<BlockPtr> &to_free)
{
    // A few spares cover a disk that keeps up; the blocks a slow one made are given back.
    if (b->capacity == kWriteChunk && spare_.size() < 2 * filling_.size() + 2) {
        b->used = 0;
        b->lengths.clear();
        spare_.push_back(std::move(b));
    } else {
        to_free.push_back(std::move(b));
    }
}

bool LogManager::Recording::take(int stream, const void *header, size_t header_length,
                                 const void *payload, size_t payload_length, uint64_t since_ns,
                                 uint64_t waited_ns, RecorderEvent &loss)
{
    const size_t length = header_length + payload_length;
    bool due = false;
    note_longest(longestLockWaitNs_, waited_ns);
    {
        std::unique_lock<std::mutex> lock(queueMutex_, std::defer_lock);
        lock_noting_wait(lock, longestLockWaitNs_);
        if (!acceptingFlag_.load(std::memory_order_relaxed) || stream < 0
            || size_t(stream) >= filling_.size())
            return false;
        taken_.fetch_add(1, std::memory_order_relaxed);
        if (waitingBytes_ + length > kMaxWaiting) {
            // The disk is that far behind: this record goes, the receiver does not wait. It
            // says so itself: the writer may be held in a write for seconds.
            lost_.fetch_add(1, std::memory_order_relaxed);
            due = loss_report_due(loss);
        } else {
            BlockPtr &b = filling_[size_t(stream)];
            if (b && b->capacity - b->used < length) {
                if (b->used > 0) {
                    full_.push_back(std::move(b));
                    wake_.notify_one();
                } else {
                    b.reset(); // empty and too small for this record: none is that big
                }
            }
            if (!b) {
                b = new_block(length);
                b->stream = stream;
            }
            uint8_t *at = b->bytes.get() + b->used;
            std::memcpy(at, header, header_length);
            if (payload_length > 0)
                std::memcpy(at + header_length, payload, payload_length);
            b->used += length;
            b->lengths.push_back(uint32_t(length));
            waitingBytes_ += length;
            ++queued_;
        }
    }
    note_longest(longestTakeNs_, monotonic_ns() - since_ns);
    return due;
}

void LogManager::Recording::end()
{
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        acceptingFlag_.store(false, std::memory_order_release);
        ending_ = true;
    }
    wake_.notify_all();
}

void LogManager::Recording::flush()
{
    std::unique_lock<std::mutex> lock(queueMutex_);
    const uint64_t target = queued_;
    flushTarget_ = std::max(flushTarget_, target);
    wake_.notify_all();
    progress_.wait(lock, [&] { return handled_ >= target || finished_.load(); });
}

std::string LogManager::Recording::current_file(int stream)
{
    flush(); // the file the records given so far are in
    std::lock_guard<std::mutex> lock(filesMutex_);
    return stream >= 0 && size_t(stream) < streams_.size() ? streams_[size_t(stream)].path : std::string();
}

std::vector<std::string> LogManager::Recording::folders(int stream)
{
    flush();
    std::lock_guard<std::mutex> lock(filesMutex_);
    return stream >= 0 && size_t(stream) < streams_.size() ? streams_[size_t(stream)].folders
                                                           : std::vector<std::string>();
}

LogManager::Stats LogManager::Recording::stats() const
{
    Stats s;
    s.taken = taken_.load();
    s.written = written_.load();
    s.lost = lost_.load();
    s.longest_take_ns = longestTakeNs_.load();
    s.longest_lock_wait_ns = longestLockWaitNs_.load();
    s.finished = finished_.load();
    s.failed = s.finished && !failure_.file.empty();
    return s;
}

void LogManager::Recording::writer_loop()
{
    std::unique_lock<std::mutex> lock(queueMutex_);
    for (;;) {
        if (full_.empty() && !ending_ && handled_ >= flushTarget_)
            wake_.wait_for(lock, std::chrono::milliseconds(kWriteIntervalMs),
                           [this] { return !full_.empty() || ending_ || handled_ < flushTarget_; });
        if (full_.empty()) {
            // The interval is over, or someone waits: what the receivers are filling goes too.
            for (BlockPtr &b : filling_)
                if (b && b->used > 0)
                    full_.push_back(std::move(b));
        }
        if (full_.empty()) {
            progress_.notify_all();
            if (ending_)
                break;
            lock.unlock();
            report_loss();
            lock.lock();
            continue;
        }
        BlockPtr block = std::move(full_.front());
        full_.pop_front();
        lock.unlock();
        const bool ok = write_block(*block);
        report_loss();
        std::vector<BlockPtr> toFree;
        lock.lock();
        waitingBytes_ -= block->used;
        handled_ += block->lengths.size();
        recycle(std::move(block), toFree);
        if (!ok) {
            // The recording ends here: nothing more is taken, and what waits goes.
            failed_ = true;
            acceptingFlag_.store(false, std::memory_order_release);
            for (BlockPtr &b : full_)
                if (b) {
                    handled_ += b->lengths.size();
                    toFree.push_back(std::move(b));
                }
            full_.clear();
            for (BlockPtr &b : filling_)
                if (b) {
                    handled_ += b->lengths.size();
                    toFree.push_back(std::move(b));
                }
            waitingBytes_ = 0;
        }
        progress_.notify_all();
        if (!toFree.empty()) {
            lock.unlock();
            toFree.clear();
            lock.lock();
        }
        if (failed_)
            break;
    }
    const bool failed = failed_;
    lock.unlock();

    {
        std::lock_guard<std::mutex> files(filesMutex_);
        for (Stream &s : streams_) {
            close_file(s);
            if (!s.folders.empty()) {
                std::string &newest = s.folders.back();
                const std::string renamed = unique_path(newest + "-" + time_stamp_string(), "");
                if (rename_path(newest, renamed)) {
                    // The report names the file where the user finds it.
                    const std::string inside = newest + "/";
                    if (failure_.file.compare(0, inside.size(), inside) == 0)
                        failure_.file = renamed + failure_.file.substr(newest.size());
                    newest = renamed;
                }
            }
        }
    }
    RecorderEvent e = failed ? failure_ : RecorderEvent();
    e.kind = failed ? RecorderEvent::Failed : RecorderEvent::Finished;
    e.taken = taken_.load();
    e.written = written_.load();
    e.lost = lost_.load();
    owner_->report(e);
    lock.lock();
    finished_.store(true, std::memory_order_release);
    progress_.notify_all();
}

// While records are lost, they are reported at most once per interval; the count in all goes
// with the end's report.
bool LogManager::Recording::loss_report_due(RecorderEvent &e)
{
    const uint64_t lost = lost_.load(std::memory_order_relaxed);
    if (lost == reportedLost_)
        return false;
    const uint64_t now = monotonic_ns();
    if (reportedLost_ > 0 && now - lastLossReportNs_ < uint64_t(kLossReportIntervalMs) * 1000000u)
        return false;
    reportedLost_ = lost;
    lastLossReportNs_ = now;
    e.kind = RecorderEvent::Lost;
    e.taken = taken_.load();
    e.written = written_.load();
    e.lost = lost;
    return true;
}

void LogManager::Recording::report_loss()
{
    RecorderEvent e;
    bool due;
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        due = loss_report_due(e);
    }
    if (due)
        owner_->report(e);
}

// The records go in runs, a write per run: a run ends where the file does.
bool LogManager::Recording::write_block(const Block &b)
{
    std::lock_guard<std::mutex> files(filesMutex_);
    Stream &s = streams_[size_t(b.stream)];
    const uint32_t *lengths = b.lengths.data();
    const size_t n = b.lengths.size();
    const uint8_t *data = b.bytes.get();
    size_t i = 0;
    while (i < n) {
        // Never split a record across files: a reader of any single file sees whole records.
        if (s.bytes > 0 && s.bytes + lengths[i] > limit_ && !rotate(s))
            return false;
        size_t j = i;
        uint64_t run = 0;
        do {
            run += lengths[j++];
        } while (j < n && s.bytes + run + lengths[j] <= limit_);
        if (!write_run(s, data, lengths + i, j - i, run))
            return false;
        data += run;
        i = j;
        if (s.bytes >= limit_ && !rotate(s))
            return false;
    }
    return true;
}

bool LogManager::Recording::write_run(Stream &s, const uint8_t *data, const uint32_t *lengths,
                                      size_t count, uint64_t bytes)
{
    uint64_t done = 0;
    int err = 0;
    while (done < bytes) {
        const ssize_t r = write_ ? write_(s.fd, data + done, size_t(bytes - done))
                                 : ::write(s.fd, data + done, size_t(bytes - done));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0) {
            err = r < 0 ? errno : ENOSPC; // a write that takes nothing has no room
            break;
        }
        done += uint64_t(r);
    }
    if (done == bytes) {
        // A folder removed under the recording takes its files along; writes to them still
        // succeed, into a file nobody can open again.
        struct stat st {};
        if (::fstat(s.fd, &st) == 0 && st.st_nlink == 0) {
            fail(s.path, ENOENT);
            return false;
        }
        s.bytes += bytes;
        written_.fetch_add(count, std::memory_order_relaxed);
        return true;
    }
    // The file ends at its last whole record: a reader never meets a torn one.
    uint64_t whole = 0;
    size_t k = 0;
    while (k < count && whole + lengths[k] <= done)
        whole += lengths[k++];
    if (whole < done)
        (void)::ftruncate(s.fd, off_t(s.bytes + whole));
    s.bytes += whole;
    written_.fetch_add(k, std::memory_order_relaxed);
    fail(s.path, err);
    return false;
}

void LogManager::Recording::fail(const std::string &file, int err)
{
    failure_.file = file;
    failure_.error = error_text(err);
}

bool LogManager::Recording::open_file(Stream &s)
{
    const std::string stem =
        join_path(s.folders.back(), time_stamp_string() + "_" + std::to_string(s.number));
    s.path = unique_path(stem, ".dump");
    s.fd = ::open(s.path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0644);
    s.bytes = 0;
    return s.fd >= 0;
}

void LogManager::Recording::close_file(Stream &s)
{
    if (s.fd >= 0)
        ::close(s.fd);
    s.fd = -1;
}

bool LogManager::Recording::rotate(Stream &s)
{
    close_file(s);
    ++s.closed;
    if (s.closed % kFilesPerFolder == 0) {
        std::string &newest = s.folders.back();
        const std::string renamed = unique_path(newest + "-" + time_stamp_string(), "");
        // The entry takes the new name even when the rename fails: the repair below finishes
        // it after a later rotation.
        rename_path(newest, renamed);
        newest = renamed;
        const std::string folder = unique_path(join_path(base_, time_stamp_string()), "");
        make_dirs(folder);
        s.folders.push_back(folder);
    }
    if (!open_file(s)) {
        fail(s.path, errno);
        return false;
    }
    repair_folders(s);
    return true;
}

void LogManager::Recording::repair_folders(Stream &s)
{
    std::vector<std::string> subdirs;
    list_subdirs(base_, subdirs);
    for (const std::string &n : subdirs) {
        if (n.find('-') != std::string::npos)
            continue;
        const std::string prefix = join_path(base_, n) + "-";
        for (const std::string &entry : s.folders) {
            if (entry.compare(0, prefix.size(), prefix) == 0) {
                rename_path(join_path(base_, n), entry);
                break;
            }
        }
    }
}

// ---- the manager ----

LogManager *LogManager::instance()
{
    static LogManager *manager = new LogManager;
    return manager;
}

LogManager::LogManager()
{
    console_ = spdlog::get("console");
    if (!console_)
        console_ = spdlog::stdout_color_mt("console");
    console_->set_pattern("[%Y-%m-%d %T][thread %t][%l]%v");
    console_->set_level(spdlog::level::trace);
}

void LogManager::set_file_limit(uint64_t bytes)
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    limit_ = bytes > 0 ? bytes : kDefaultFileLimit;
}

uint64_t LogManager::file_limit() const
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    return limit_;
}

void LogManager::set_write_function(WriteFunction write)
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    write_ = std::move(write);
}

void LogManager::set_event_handler(EventHandler handler)
{
    std::lock_guard<std::mutex> lock(handlerMutex_);
    handler_ = std::move(handler);
}

void LogManager::report(const RecorderEvent &event)
{
    std::lock_guard<std::mutex> lock(handlerMutex_);
    if (handler_)
        handler_(event);
}

void LogManager::reap_finished()
{
    for (auto it = stopped_.begin(); it != stopped_.end();) {
        if ((*it)->finished()) {
            (*it)->join();
            it = stopped_.erase(it);
        } else {
            ++it;
        }
    }
}

bool LogManager::start(const std::string &directory, const std::string &name, int stream_count,
                       int mode)
{
    std::lock_guard<std::mutex> control(controlMutex_);
    if (name.empty() || mode != kModeDump || stream_count < 1 || is_recording())
        return false;
    reap_finished();
    auto recording = std::make_shared<Recording>(this, directory, stream_count, limit_, write_);
    if (!recording->open())
        return false;
    recording->run();
    std::shared_ptr<Recording> failed;
    {
        std::lock_guard<std::mutex> lock(currentMutex_);
        failed = std::move(current_); // one whose write failed and that nobody stopped
        current_ = recording;
        recording_.store(true, std::memory_order_release);
    }
    if (failed) {
        failed->end();
        stopped_.push_back(std::move(failed));
    }
    newest_ = recording;
    return true;
}

bool LogManager::stop(int mode)
{
    (void)mode; // both modes end recording the same way
    std::lock_guard<std::mutex> control(controlMutex_);
    std::shared_ptr<Recording> recording;
    {
        std::lock_guard<std::mutex> lock(currentMutex_);
        recording = std::move(current_);
        recording_.store(false, std::memory_order_release);
    }
    reap_finished();
    if (!recording)
        return false;
    recording->end(); // what is taken from here on is not this recording's
    stopped_.push_back(std::move(recording));
    return true;
}

void LogManager::wait_stopped()
{
    std::lock_guard<std::mutex> control(controlMutex_);
    for (const auto &r : stopped_)
        r->join();
    stopped_.clear();
}

bool LogManager::is_recording() const
{
    if (!recording_.load(std::memory_order_acquire))
        return false;
    std::lock_guard<std::mutex> lock(currentMutex_);
    return current_ && current_->accepting();
}

LogManager::Stats LogManager::stats() const
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    return newest_ ? newest_->stats() : Stats();
}

void LogManager::write_dump(int stream, const void *record, size_t length)
{
    write_dump(stream, record, length, nullptr, 0);
}

void LogManager::write_dump(int stream, const void *header, size_t header_length, const void *payload,
                            size_t payload_length)
{
    if (!recording_.load(std::memory_order_acquire))
        return;
    if (header_length + payload_length > UINT32_MAX)
        return;
    const uint64_t since = monotonic_ns();
    RecorderEvent loss;
    bool due = false;
    {
        std::unique_lock<std::mutex> lock(currentMutex_, std::try_to_lock);
        uint64_t waited = 0;
        if (!lock.owns_lock()) {
            lock.lock();
            waited = monotonic_ns() - since;
        }
        if (current_)
            due = current_->take(stream, header, header_length, payload, payload_length, since, waited, loss);
    }
    if (due)
        report(loss);
}

std::shared_ptr<LogManager::Recording> LogManager::current() const
{
    std::lock_guard<std::mutex> lock(currentMutex_);
    return current_;
}

void LogManager::flush()
{
    if (const auto recording = current())
        recording->flush();
}

std::string LogManager::current_file(int stream)
{
    const auto recording = current();
    return recording ? recording->current_file(stream) : std::string();
}

std::vector<std::string> LogManager::folders(int stream)
{
    const auto recording = current();
    return recording ? recording->folders(stream) : std::vector<std::string>();
}

void log_dump_record(int stream, const void *datagram, size_t length, int type)
{
    LogManager *m = LogManager::instance();
    if (!m->is_recording())
        return;
    if (length > 0xFFFF)
        return; // no UDP datagram is this long; the length field could not say it
    uint8_t header[DUMP_HEADER_SIZE];
    TimeSecMs now;
    const uint64_t ms = uint64_t(time_now_sec_ms(&now, true));
    make_dump_header(header, ms, uint16_t(type), uint16_t(length));
    m->write_dump(stream, header, sizeof(header), datagram, length);
}
