#include "framecache.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace {

constexpr size_t kHugePage = size_t(2) << 20;
constexpr size_t kPoint = sizeof(UserPointData);

size_t round_up(size_t v, size_t to)
{
    return (v + to - 1) / to * to;
}

} // namespace

// 64 MiB: large enough that a whole file's frames take a few blocks, small enough that the
// unused end of the last block (mapped, but never touched, so never resident) stays small beside
// them.
FrameCache::FrameCache(size_t block_bytes) : block_bytes_(std::max(block_bytes, kHugePage)) {}

FrameCache::~FrameCache()
{
    for (Block &b : blocks_)
        unmap_block(b);
}

FrameCache::Block FrameCache::map_block(size_t bytes) const
{
    const size_t size = round_up(std::max(bytes, block_bytes_), kHugePage);
    // Map one huge page more than needed and cut the block out of it on a huge-page boundary:
    // the kernel backs only aligned 2 MiB ranges with huge pages.
    const size_t span = size + kHugePage;
    void *raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = round_up(start, kHugePage);
    if (aligned > start)
        ::munmap(raw, aligned - start);
    const uintptr_t tail = start + span - (aligned + size);
    if (tail > 0)
        ::munmap(reinterpret_cast<void *>(aligned + size), tail);
    // A hint: where the kernel has no huge pages to give, the block still works with small ones.
    ::madvise(reinterpret_cast<void *>(aligned), size, MADV_HUGEPAGE);
    Block b;
    b.base = reinterpret_cast<uint8_t *>(aligned);
    b.size = size;
    return b;
}

void FrameCache::unmap_block(Block &b)
{
    if (b.base != nullptr)
        ::munmap(b.base, b.size);
    b = Block();
}

size_t FrameCache::size() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_.size();
}

size_t FrameCache::points(size_t k) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return k < frames_.size() ? frames_[k].points : 0;
}

const UserPointData *FrameCache::data(size_t k) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return k < frames_.size() ? frames_[k].data : nullptr;
}

PointFrame FrameCache::frame(size_t k) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (k >= frames_.size())
        return PointFrame();
    return PointFrame(frames_[k].data, frames_[k].data + frames_[k].points);
}

size_t FrameCache::total_points() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return total_points_;
}

size_t FrameCache::reserved_bytes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    size_t n = 0;
    for (const Block &b : blocks_)
        n += b.size;
    return n;
}

void FrameCache::clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    // After a fill, what it did not reach is given back; a clear without a fill in between
    // (the stop message comes often) keeps what there is.
    const bool filled = !frames_.empty();
    frames_.clear();
    total_points_ = 0;
    ++generation_;
    end_block_ = 0;
    end_offset_ = 0;
    if (filled) {
        keep_blocks_ = used_blocks_;
        if (writing_)
            trim_pending_ = true; // the writer may still be using any block: when it is done
        else
            trim_locked();
    }
    used_blocks_ = 0;
}

void FrameCache::trim_locked()
{
    const size_t keep = std::max<size_t>(keep_blocks_, 1);
    while (blocks_.size() > keep) {
        unmap_block(blocks_.back());
        blocks_.pop_back();
    }
    trim_pending_ = false;
}

uint64_t FrameCache::begin_write()
{
    std::lock_guard<std::mutex> lock(mutex_);
    writing_ = true;
    write_generation_ = generation_;
    cur_block_ = end_block_;
    cur_offset_ = end_offset_;
    pending_ = 0;
    return generation_;
}

void FrameCache::end_write()
{
    std::lock_guard<std::mutex> lock(mutex_);
    writing_ = false;
    pending_ = 0;
    if (trim_pending_)
        trim_locked();
}

// The frame under way does not fit where it is: it moves to the start of block `block` (mapped
// when there is none, replaced by a bigger one when it is too small), which no committed frame
// uses.
void FrameCache::move_pending_to_block(size_t block, size_t need_points)
{
    const size_t need = need_points * kPoint;
    const uint8_t *from = pending_ > 0 ? blocks_[cur_block_].base + cur_offset_ : nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    if (block >= blocks_.size()) {
        blocks_.push_back(map_block(need));
        block = blocks_.size() - 1;
    } else if (blocks_[block].size < need) {
        // The small block moves to the end, where later frames may use it; it stays mapped, so
        // `from` stays valid.
        blocks_.push_back(map_block(need + need / 2));
        std::swap(blocks_[block], blocks_.back());
    }
    if (from != nullptr) {
        std::memmove(blocks_[block].base, from, pending_ * kPoint);
        blocks_[block].used = std::max(blocks_[block].used, pending_ * kPoint);
    }
    cur_block_ = block;
    cur_offset_ = 0;
}

UserPointData *FrameCache::grow(size_t n)
{
    const size_t need = (pending_ + n) * kPoint;
    if (cur_block_ >= blocks_.size() || cur_offset_ + need > blocks_[cur_block_].size) {
        // A frame that starts a block and outgrows it takes a bigger block in its place; any
        // other goes on to the next block.
        const bool at_start = cur_block_ >= blocks_.size() || cur_offset_ == 0;
        move_pending_to_block(at_start ? cur_block_ : cur_block_ + 1, pending_ + n);
    }
    Block &b = blocks_[cur_block_];
    uint8_t *room = b.base + cur_offset_ + pending_ * kPoint;
    // Default points are all zero bytes. Memory the kernel has just mapped is zero already:
    // only what an earlier frame used is cleared, so each new page is written once.
    const size_t begin = size_t(room - b.base);
    const size_t end = begin + n * kPoint;
    if (begin < b.used)
        std::memset(room, 0, std::min(end, b.used) - begin);
    b.used = std::max(b.used, end);
    pending_ += n;
    return reinterpret_cast<UserPointData *>(room);
}

bool FrameCache::commit(uint64_t generation)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t n = pending_;
    pending_ = 0;
    if (n == 0 || generation != generation_)
        return false; // the space is used again by the next frame
    const auto *first = reinterpret_cast<const UserPointData *>(blocks_[cur_block_].base + cur_offset_);
    frames_.push_back({first, n});
    total_points_ += n;
    cur_offset_ += n * kPoint;
    end_block_ = cur_block_;
    end_offset_ = cur_offset_;
    used_blocks_ = std::max(used_blocks_, cur_block_ + 1);
    return true;
}

void FrameCache::append(const UserPointData *points, size_t n)
{
    if (points == nullptr || n == 0)
        return;
    const uint64_t generation = begin_write();
    std::memcpy(static_cast<void *>(grow(n)), points, n * kPoint);
    commit(generation);
    end_write();
}
