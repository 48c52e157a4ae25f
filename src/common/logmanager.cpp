#include "logmanager.h"

#include "dirhelpers.h"
#include "lhframe.h"
#include "timehelpers.h"

#include <spdlog/sinks/stdout_color_sinks.h>
#include <spdlog/spdlog.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

std::string LogManager::current_file(int stream) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return stream >= 0 && size_t(stream) < streams_.size() ? streams_[stream].path : std::string();
}

std::vector<std::string> LogManager::folders(int stream) const
{
    std::lock_guard<std::mutex> lock(mutex_);
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
    if (!recording_.load(std::memory_order_acquire))
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!recording_.load() || stream < 0 || size_t(stream) >= streams_.size())
        return;
    Stream &s = streams_[size_t(stream)];
    // Never split a record across files: a reader of any single file sees whole records.
    if (s.bytes > 0 && s.bytes + length > limit_)
        rotate(s);
    if (s.fd < 0)
        return;
    if (!write_all_fd(s.fd, static_cast<const uint8_t *>(record), length))
        return;
    s.bytes += length;
    if (s.bytes >= limit_)
        rotate(s);
}

void LogManager::stop(int mode)
{
    (void)mode; // both modes end recording the same way
    std::lock_guard<std::mutex> lock(mutex_);
    recording_.store(false, std::memory_order_release);
    for (Stream &s : streams_) {
        close_file(s);
        if (!s.folders.empty())
            rename_path(s.folders.back(),
                        unique_path(s.folders.back() + "-" + time_stamp_string(), ""));
    }
    streams_.clear();
}

void log_dump_record(int stream, const void *datagram, size_t length, int type)
{
    LogManager *m = LogManager::instance();
    if (!m->is_recording())
        return;
    if (length > 0xFFFF)
        return; // no UDP datagram is this long; the length field could not say it
    thread_local std::vector<uint8_t> record;
    record.resize(DUMP_HEADER_SIZE + length);
    TimeSecMs now;
    const uint64_t ms = uint64_t(time_now_sec_ms(&now, true));
    make_dump_header(record.data(), ms, uint16_t(type), uint16_t(length));
    if (length > 0)
        std::memcpy(record.data() + DUMP_HEADER_SIZE, datagram, length);
    m->write_dump(stream, record.data(), record.size());
}
