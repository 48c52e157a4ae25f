#include "logmanager.h"

#include "dirhelpers.h"
#include "lhframe.h"
#include "timehelpers.h"

#include <spdlog/sinks/stdout_color_sinks.h>
#include <spdlog/spdlog.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
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
    std::lock_guard<std::mutex> lock(mutex_);
    limit_ = bytes > 0 ? bytes : kDefaultFileLimit;
}

uint64_t LogManager::file_limit() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return limit_;
}

std::string LogManager::current_file(int stream)
{
    std::lock_guard<std::mutex> lock(mutex_);
    write_waiting(); // the file the records given so far are in
    return stream >= 0 && size_t(stream) < streams_.size() ? streams_[stream].path : std::string();
}

std::vector<std::string> LogManager::folders(int stream)
{
    std::lock_guard<std::mutex> lock(mutex_);
    write_waiting();
    return stream >= 0 && size_t(stream) < streams_.size() ? streams_[stream].folders
                                                           : std::vector<std::string>();
}

bool LogManager::open_file(Stream &s)
{
    const std::string stem =
        join_path(s.folders.back(), time_stamp_string() + "_" + std::to_string(s.number));
    s.path = unique_path(stem, ".dump");
    s.fd = ::open(s.path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0644);
    s.bytes = 0;
    return s.fd >= 0;
}

void LogManager::close_file(Stream &s)
{
    if (s.fd >= 0)
        ::close(s.fd);
    s.fd = -1;
}

bool LogManager::start(const std::string &directory, const std::string &name, int stream_count,
                       int mode)
{
    std::lock_guard<std::mutex> control(controlMutex_);
    std::lock_guard<std::mutex> lock(mutex_);
    if (name.empty() || mode != kModeDump || recording_.load() || stream_count < 1)
        return false;
    base_ = directory;
    make_dirs(base_);
    streams_.clear();
    streams_.resize(size_t(stream_count));
    for (int i = 0; i < stream_count; ++i) {
        Stream &s = streams_[size_t(i)];
        s.number = i + 1;
        const std::string folder = unique_path(join_path(base_, time_stamp_string()), "");
        make_dirs(folder);
        s.folders.push_back(folder);
        // An unopenable file loses its records silently; the window checks the folder first.
        open_file(s);
    }
    {
        std::lock_guard<std::mutex> wait(waitMutex_);
        // Room for what comes between two writes, made here: a list that grows under a
        // receiver copies and faults in its memory on the receiver's thread.
        waiting_.assign(size_t(stream_count), Waiting());
        for (Waiting &w : waiting_)
            reserve(w);
        waitingBytes_ = 0;
        accepting_ = true;
        ending_ = false;
    }
    writing_.assign(size_t(stream_count), Waiting());
    for (Waiting &w : writing_)
        reserve(w);
    writer_ = std::thread([this] { writer_loop(); });
    pthread_setname_np(writer_.native_handle(), "dump writer");
    recording_.store(true, std::memory_order_release);
    return true;
}

void LogManager::rotate(Stream &s)
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
    open_file(s);
    repair_folders(s);
}

void LogManager::repair_folders(Stream &s)
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

void LogManager::write_dump(int stream, const void *record, size_t length)
{
    write_dump(stream, record, length, nullptr, 0);
}

void LogManager::write_dump(int stream, const void *header, size_t header_length, const void *payload,
                            size_t payload_length)
{
    if (!recording_.load(std::memory_order_acquire))
        return;
    const size_t length = header_length + payload_length;
    if (length > UINT32_MAX)
        return;
    std::unique_lock<std::mutex> lock(waitMutex_);
    // A disk far behind holds the receiver here, as a write of its own would have.
    room_.wait(lock, [this] { return !accepting_ || waitingBytes_ < kMaxWaiting; });
    if (!accepting_ || stream < 0 || size_t(stream) >= waiting_.size())
        return;
    Waiting &w = waiting_[size_t(stream)];
    const auto *h = static_cast<const uint8_t *>(header);
    const auto *p = static_cast<const uint8_t *>(payload);
    w.bytes.insert(w.bytes.end(), h, h + header_length);
    if (payload_length > 0)
        w.bytes.insert(w.bytes.end(), p, p + payload_length);
    w.lengths.push_back(uint32_t(length));
    const bool wasBelow = waitingBytes_ < kWriteChunk;
    waitingBytes_ += length;
    if (wasBelow && waitingBytes_ >= kWriteChunk)
        wake_.notify_one();
}

void LogManager::reserve(Waiting &w)
{
    w.bytes.resize(2 * kWriteChunk); // touched once, here
    w.bytes.clear();
    w.lengths.reserve(8192);
}

// The records go in runs, a write() per run: a run ends where the file does.
void LogManager::write_records(Stream &s, const Waiting &w)
{
    const uint8_t *bytes = w.bytes.data();
    size_t runStart = 0;
    size_t pos = 0;
    const auto writeRun = [&] {
        if (pos > runStart && s.fd >= 0 && !write_all_fd(s.fd, bytes + runStart, pos - runStart))
            s.bytes -= pos - runStart;
        runStart = pos;
    };
    for (const uint32_t length : w.lengths) {
        // Never split a record across files: a reader of any single file sees whole records.
        if (s.bytes > 0 && s.bytes + length > limit_) {
            writeRun();
            rotate(s);
        }
        pos += length;
        if (s.fd < 0) {
            runStart = pos; // no file to take it: the record is lost, as its write would have been
            continue;
        }
        s.bytes += length;
        if (s.bytes >= limit_) {
            writeRun();
            rotate(s);
        }
    }
    writeRun();
}

void LogManager::write_waiting()
{
    {
        std::lock_guard<std::mutex> lock(waitMutex_);
        if (waitingBytes_ == 0)
            return;
        writing_.resize(waiting_.size());
        for (size_t i = 0; i < waiting_.size(); ++i)
            std::swap(waiting_[i], writing_[i]); // the receivers go on in the emptied lists
        waitingBytes_ = 0;
    }
    room_.notify_all();
    for (size_t i = 0; i < writing_.size(); ++i) {
        if (i < streams_.size())
            write_records(streams_[i], writing_[i]);
        writing_[i].bytes.clear();
        writing_[i].lengths.clear();
    }
}

void LogManager::writer_loop()
{
    std::unique_lock<std::mutex> lock(waitMutex_);
    while (!ending_) {
        wake_.wait_for(lock, std::chrono::milliseconds(kWriteIntervalMs),
                       [this] { return ending_ || waitingBytes_ >= kWriteChunk; });
        if (ending_ || waitingBytes_ == 0)
            continue;
        lock.unlock();
        {
            std::lock_guard<std::mutex> files(mutex_);
            write_waiting();
        }
        lock.lock();
    }
}

void LogManager::flush()
{
    std::lock_guard<std::mutex> lock(mutex_);
    write_waiting();
}

void LogManager::stop(int mode)
{
    (void)mode; // both modes end recording the same way
    std::lock_guard<std::mutex> control(controlMutex_);
    {
        std::lock_guard<std::mutex> wait(waitMutex_);
        accepting_ = false; // what is taken from here on is not this recording's
        ending_ = true;
    }
    recording_.store(false, std::memory_order_release);
    wake_.notify_all();
    room_.notify_all();
    if (writer_.joinable())
        writer_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    write_waiting(); // every record taken before the stop is in its file
    for (Stream &s : streams_) {
        close_file(s);
        if (!s.folders.empty())
            rename_path(s.folders.back(),
                        unique_path(s.folders.back() + "-" + time_stamp_string(), ""));
    }
    streams_.clear();
    {
        std::lock_guard<std::mutex> wait(waitMutex_);
        waiting_.clear();
        waitingBytes_ = 0;
    }
    writing_.clear();
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
