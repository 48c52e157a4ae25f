#pragma once
// What the playback scans hand to the parsers, and what the parsers report back. Kept free of
// QObject so that the scans and parsers can be driven from a plain (pointer, length) entry
// point: by PlaybackProc, by the fuzz targets and by the benchmarks alike.

#include "userpointdata.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// One device packet: a view into a buffer that outlives the parse (the file contents, or the
// bytes of a capture), so cutting a 100 MB file into packets copies nothing.
struct PacketView {
    const uint8_t *data = nullptr;
    size_t size = 0;
};
using PacketViews = std::vector<PacketView>;

// Receives what a parser finds. PlaybackProc turns each call into its signals and texts; the
// defaults drop everything but the frames.
//
// The frame under way lives with the sink: a parser asks it for room for the points of each
// packet and decodes straight into that room, so a sink that keeps frames (FrameCache) can
// give memory of its own and every point is written once. By default the sink assembles the
// frame in a buffer of its own and hands it to frame() when it ends.
class PlaybackSink {
public:
    virtual ~PlaybackSink() = default;

    // Room for `n` more points at the end of the frame under way, every point in its default
    // state (all fields 0); valid until the next grow() or end_frame().
    virtual UserPointData *grow(size_t n)
    {
        const size_t before = buffer_.size();
        buffer_.resize(before + n);
        return buffer_.data() + before;
    }
    // Gives back the last `n` points of the frame under way: room taken by grow() that the
    // parser left unfilled (points it dropped as unfit to be shown).
    virtual void shrink(size_t n) { buffer_.resize(buffer_.size() - std::min(n, buffer_.size())); }
    // Points in the frame under way.
    virtual size_t pending() const { return buffer_.size(); }
    // Ends the frame under way and starts the next one empty; progress below 100 except for
    // the one final frame of a parse.
    virtual void end_frame(float progress)
    {
        frame(buffer_, progress);
        buffer_.clear(); // the capacity stays: the next frame is assembled in the same memory
    }

    // A completed frame, handed on by the default end_frame().
    virtual void frame(const PointFrame &points, float progress) {}
    // Raxo packet index that does not follow the previous one (stamps: this packet's and the
    // previous accepted packet's 64-bit time stamps).
    virtual void index_gap(int last, int now, uint64_t stamp, uint64_t last_stamp) {}
    // Vimo-E point packet whose length does not match its point count.
    virtual void packet_length_error(size_t length, size_t expected) {}
    // Vimo-E status packet with the mirror (value) or main-motor (tenths) fault bit.
    virtual void mirror_fault(unsigned value) {}
    virtual void motor_fault(unsigned tenths) {}
    // Fenk-U frame emitted when a plane of this type completed.
    virtual void plane_completed(int type) {}
    // A complete "LH" command reply found in a Fenk-U stream or packet.
    virtual void command_reply(const uint8_t *data, size_t size) {}
    // True once nobody wants the rest of this parse: the parser stops walking its packets.
    virtual bool stopped() const { return false; }

protected:
    PointFrame buffer_; // the default frame under way
};

// Progress of the packet at zero-based position i of n: i * 100 / n in double precision,
// handed on as a float that always stays below 100 (100 marks the end of the file).
float playback_progress(size_t i, size_t n);
