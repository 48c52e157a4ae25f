#pragma once
// Shared by the fuzz targets: a sink that checks what every parser promises, and the cutting of
// one fuzz input into packets, each in a heap block of its own size so that AddressSanitizer
// sees a read past any single packet.

#include "playbacksink.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

class CheckingSink : public PlaybackSink {
public:
    void frame(const PointFrame &points, float progress) override
    {
        // Only the final frame may carry 100, and nothing may follow it.
        if (finals_ > 0 || progress < 0.0f || progress > 100.0f)
            std::abort();
        if (progress == 100.0f)
            ++finals_;
        for (const UserPointData &p : points)
            checksum_ += p.intensity;
    }
    void command_reply(const uint8_t *data, size_t size) override
    {
        if (size > 0)
            checksum_ += data[0] + data[size - 1];
    }
    int finals() const { return finals_; }

private:
    int finals_ = 0;
    unsigned checksum_ = 0;
};

// Input: packets as [u16 little-endian length][bytes]; the last one takes what is left.
class PacketCutter {
public:
    PacketCutter(const uint8_t *data, size_t size)
    {
        size_t p = 0;
        while (p < size) {
            size_t n = size - p; // a lone last byte is a packet of its own
            if (n >= 2) {
                const size_t want = size_t(data[p]) | size_t(data[p + 1]) << 8;
                p += 2;
                n = want < size - p ? want : size - p;
            }
            blocks_.emplace_back(new uint8_t[n > 0 ? n : 1]);
            if (n > 0)
                std::memcpy(blocks_.back().get(), data + p, n);
            views_.push_back({blocks_.back().get(), n});
            p += n;
        }
    }
    const PacketViews &views() const { return views_; }

private:
    std::vector<std::unique_ptr<uint8_t[]>> blocks_;
    PacketViews views_;
};
