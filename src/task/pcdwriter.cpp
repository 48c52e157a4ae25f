#include "pcdwriter.h"

#include "dirhelpers.h"
#include "memoryhints.h"
#include "numberformat.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

std::string PcdWriter::header(size_t points)
{
    const std::string n = std::to_string(points);
    return "# .PCD v0.7 - Point Cloud Data file format\n"
           "VERSION 0.7\n"
           "FIELDS x y z intensity\n"
           "SIZE 4 4 4 2\n"
           "TYPE F F F U\n"
           "COUNT 1 1 1 1\n"
           "WIDTH " + n + "\n"
           "HEIGHT 1\n"
           "VIEWPOINT 0 0 0 1 0 0 0\n"
           "POINTS " + n + "\n"
           "DATA ascii\n";
}

namespace {

inline char *put_point(char *e, const UserPointData &p)
{
    e = format_g6(e, p.x);
    *e++ = ' ';
    e = format_g6(e, p.y);
    *e++ = ' ';
    e = format_g6(e, p.z);
    *e++ = ' ';
    e = format_u16(e, p.intensity);
    *e++ = '\n';
    return e;
}

constexpr size_t kLineMax = 4 * FORMAT_G6_MAX;

} // namespace

void PcdWriter::append_point(std::string &out, const UserPointData &p)
{
    char line[kLineMax];
    out.append(line, size_t(put_point(line, p) - line));
}

namespace {

// The body is formatted in chunks of points on a few threads and written chunk by chunk, in
// order, while later chunks are still being formatted: the numbers cost more than the write,
// and this way most of them are made while the file is being written. The chunks go through a
// ring of buffers, so the memory used (and faulted in) does not grow with the frame: four per
// worker, so that a writer held up by the file system or a busy machine seldom leaves the
// workers waiting for a free one (with two per worker, exports on a loaded machine took half as
// long again).
constexpr size_t kChunkPoints = 16384;

// The cores this process may run on (taskset, a container's cpuset), not those the machine has.
size_t usable_cores()
{
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof(set), &set) == 0)
        return size_t(std::max(1, CPU_COUNT(&set)));
    return std::max(1u, std::thread::hardware_concurrency());
}

class ChunkPipeline {
public:
    ChunkPipeline(const PointFrame &frame, size_t workers)
        : frame_(frame), chunks_((frame.size() + kChunkPoints - 1) / kChunkPoints),
          ring_(std::min(chunks_, 4 * workers)), slot_bytes_(kChunkPoints * kLineMax),
          memory_(new char[ring_ * slot_bytes_]), state_(ring_)
    {
        // Large enough for huge pages to spare most of its faults.
        advise_huge_pages(memory_.get(), ring_ * slot_bytes_);
        for (size_t k = 0; k < ring_; ++k)
            state_[k].chunk = k; // slot k first takes chunk k
        for (size_t t = 0; t < workers; ++t)
            threads_.emplace_back([this] { format_chunks(); });
    }
    ~ChunkPipeline()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread &t : threads_)
            t.join();
    }

    // Writes every chunk in order; false (errno set) when a write fails.
    bool write_all(int fd)
    {
        for (size_t c = 0; c < chunks_; ++c) {
            Slot &slot = state_[c % ring_];
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return slot.chunk == c && slot.ready; });
            const size_t size = slot.size;
            lock.unlock();
            if (!write_all_fd(fd, memory_.get() + (c % ring_) * slot_bytes_, size))
                return false;
            lock.lock();
            slot.ready = false;
            slot.chunk = c + ring_; // the slot is free for the chunk after the ring's length
            lock.unlock();
            changed_.notify_all();
        }
        return true;
    }

private:
    struct Slot {
        size_t chunk = 0;   // the chunk this slot holds, or waits for
        bool ready = false; // formatted, not yet written
        size_t size = 0;
    };

    void format_chunks()
    {
        for (;;) {
            const size_t c = next_.fetch_add(1);
            if (c >= chunks_)
                return;
            Slot &slot = state_[c % ring_];
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return stop_ || (slot.chunk == c && !slot.ready); });
                if (stop_)
                    return;
            }
            char *text = memory_.get() + (c % ring_) * slot_bytes_;
            char *e = text;
            const size_t begin = c * kChunkPoints;
            const size_t end = std::min(frame_.size(), begin + kChunkPoints);
            for (size_t i = begin; i < end; ++i)
                e = put_point(e, frame_[i]);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                slot.size = size_t(e - text);
                slot.ready = true;
            }
            changed_.notify_all();
        }
    }

    const PointFrame &frame_;
    const size_t chunks_;
    const size_t ring_;
    const size_t slot_bytes_;
    std::unique_ptr<char[]> memory_;
    std::vector<Slot> state_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
    std::atomic<size_t> next_{0};
    std::vector<std::thread> threads_;
};

} // namespace

bool PcdWriter::write(const char *path, const PointFrame &frame)
{
    error_.clear();
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error_ = std::strerror(errno);
        return false;
    }
    const std::string head = header(frame.size());
    bool ok = write_all_fd(fd, head.data(), head.size());
    if (ok && (frame.size() <= kChunkPoints || usable_cores() < 2)) {
        // A small frame, or one core (threads would only take turns with the writer): formatted
        // here, chunk by chunk through one buffer, so the memory stays that of a chunk.
        std::unique_ptr<char[]> text(new char[std::min(frame.size(), kChunkPoints) * kLineMax + 1]);
        for (size_t begin = 0; ok && begin < frame.size(); begin += kChunkPoints) {
            const size_t end = std::min(frame.size(), begin + kChunkPoints);
            char *e = text.get();
            for (size_t i = begin; i < end; ++i)
                e = put_point(e, frame[i]);
            ok = write_all_fd(fd, text.get(), size_t(e - text.get()));
        }
    } else if (ok) {
        ChunkPipeline pipeline(frame, std::min<size_t>(4, usable_cores()));
        ok = pipeline.write_all(fd);
    }
    if (!ok)
        error_ = std::strerror(errno);
    if (::close(fd) != 0 && ok) {
        error_ = std::strerror(errno);
        ok = false;
    }
    if (!ok)
        ::unlink(path);
    return ok;
}
