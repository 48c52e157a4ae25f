#pragma once
// The frames of a played file, kept for stepping through them: the main window's frame cache.
//
// A 95 MB capture gives some 200 MB of frames. Kept as one heap vector per frame, every page
// of them is faulted in one 4 KiB page at a time (10 microseconds each on some virtual
// machines: more than everything else caching costs together), and the frames are written
// twice, once by the decoder and once by the copy into the cache. Here they lie back to back
// in large blocks that the kernel backs with transparent huge pages, and the playback worker
// decodes straight into them (PlaybackProc::setFrameCache): each point is written once, into
// the memory that keeps it.
//
// One writer at a time fills the cache (the playback worker, on its thread); the frames it has
// committed can be read from any thread meanwhile. clear() may come from another thread while
// the writer is still at work: what the writer commits afterwards under the generation it
// started with is dropped, so the frames of a request the window has left never enter the
// cache. clear() keeps the memory for the next file (no faults the second time); memory the
// last file did not need is given back.

#include "userpointdata.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

class FrameCache {
public:
    // Blocks of `block_bytes` (rounded up to whole huge pages); a frame larger than that gets a
    // block of its own size.
    explicit FrameCache(size_t block_bytes = kBlockBytes);
    ~FrameCache();
    static constexpr size_t kBlockBytes = size_t(64) << 20;
    FrameCache(const FrameCache &) = delete;
    FrameCache &operator=(const FrameCache &) = delete;

    // Frames kept, and the points of frame k (0 when k is out of range).
    size_t size() const;
    size_t points(size_t k) const;
    // The points of frame k, valid until clear(); null when k is out of range.
    const UserPointData *data(size_t k) const;
    // A copy of frame k (empty when k is out of range).
    PointFrame frame(size_t k) const;
    // Points of all frames kept.
    size_t total_points() const;

    // Forgets every frame, and the frame a writer has under way.
    void clear();

    // Keeps a copy of `n` points as the next frame; nothing for n = 0. A writer of its own
    // (begin_write() to end_write()).
    void append(const UserPointData *points, size_t n);
    void append(const PointFrame &frame) { append(frame.data(), frame.size()); }

    // Writing in place. begin_write() returns the generation the frames of this writer belong
    // to; grow() gives room for `n` more points at the end of the frame under way, every point
    // in its default state (all fields 0), valid until the next grow() or commit(); commit()
    // keeps the frame under way as the next frame when the cache has not been cleared since
    // `generation`, and starts the next frame either way (a frame without points is not kept).
    uint64_t begin_write();
    UserPointData *grow(size_t n);
    // Gives back the last `n` points of the frame under way (room a parser took and did not
    // fill); at most what is pending.
    void shrink(size_t n) { pending_ -= n < pending_ ? n : pending_; }
    size_t pending() const { return pending_; }
    bool commit(uint64_t generation);
    void end_write();

    // Bytes of memory held (mapped, not necessarily resident).
    size_t reserved_bytes() const;

private:
    struct Block {
        uint8_t *base = nullptr;
        size_t size = 0;
        size_t used = 0; // bytes ever handed out: beyond them the block is still all zero
    };
    struct Entry {
        const UserPointData *data;
        size_t points;
    };
    Block map_block(size_t bytes) const;
    static void unmap_block(Block &b);
    void move_pending_to_block(size_t block, size_t need_points);
    void trim_locked();

    const size_t block_bytes_;
    mutable std::mutex mutex_;
    std::vector<Block> blocks_;     // never moved while a writer may use them
    std::vector<Entry> frames_;
    size_t total_points_ = 0;
    uint64_t generation_ = 0;
    size_t end_block_ = 0;          // where the next frame starts: block and byte offset
    size_t end_offset_ = 0;
    size_t used_blocks_ = 0;        // blocks the fill since the last clear() has reached
    size_t keep_blocks_ = 0;        // blocks the last fill reached: kept by a trim
    bool writing_ = false;
    bool trim_pending_ = false;

    // The writer's frame under way (writer thread only).
    size_t cur_block_ = 0;
    size_t cur_offset_ = 0;
    size_t pending_ = 0;
    uint64_t write_generation_ = 0;
};
