#include "playbackparsers.h"

#include "lhframe.h"
#include "lpdecoder.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>

float playback_progress(size_t i, size_t n)
{
    if (n == 0)
        return 0.0f;
    const float progress = float(double(i) * 100.0 / double(n));
    // Only the final frame may carry 100: with millions of packets the last ones would round
    // up to it as floats.
    return progress < 100.0f ? progress : std::nextafter(100.0f, 0.0f);
}

namespace {

// Emits the frame being assembled as a completed frame and empties it for the next one. Its
// capacity stays: it is the worker's assembly buffer, not a copy of what was handed over.
inline void close_frame(PlaybackSink &sink, PointFrame &frame, size_t i, size_t n, int &frames)
{
    sink.frame(frame, playback_progress(i, n));
    frame.clear();
    ++frames;
}

// The Raxo unit conversions for every possible wire value, computed once with the very same
// float expressions: a lookup instead of four divisions per point.
struct RaxoTables {
    float coord[65536]; // i16 in units of 2 mm -> metres
    float range[65536]; // u16 in centimetres -> metres
    RaxoTables()
    {
        for (uint32_t v = 0; v < 65536; ++v) {
            coord[v] = float(int16_t(uint16_t(v))) / 1000.0f * 2.0f;
            range[v] = float(v) / 100.0f;
        }
    }
};

const RaxoTables &raxo_tables()
{
    static const RaxoTables tables;
    return tables;
}

} // namespace

int parse_raxo_packets(const PacketView *packets, size_t n, PlaybackSink &sink)
{
    const RaxoTables &t = raxo_tables();
    PointFrame frame;
    int frames = 0;
    int last = 0;
    uint64_t last_stamp = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t *p = packets[i].data;
        const size_t size = packets[i].size;
        if (size < RAXO_PACKET_HEADER || p[0] != 0x5A || p[1] != 0xA5)
            continue;
        if (p[3] != 1 && p[3] != 13 && p[3] != 14)
            continue;
        const int index = rd_u16(p + 7);
        const uint64_t stamp = rd_u64(p + 37);
        if (index - last != 1 && index != 1)
            sink.index_gap(last, index, stamp, last_stamp);
        const size_t count =
            std::min<size_t>(rd_u16(p + 16), (size - RAXO_PACKET_HEADER) / RAXO_POINT_SIZE);
        const size_t base = frame.size();
        frame.resize(base + count);
        UserPointData *out = frame.data() + base;
        const uint8_t *q = p + RAXO_PACKET_HEADER;
        for (size_t j = 0; j < count; ++j, q += RAXO_POINT_SIZE) {
            UserPointData &pt = out[j];
            // x, y, z = (i16 / 1000) * 2 m and distance = range / 100 m, in single precision.
            pt.x = t.coord[rd_u16(q + 2)];
            pt.y = t.coord[rd_u16(q + 4)];
            pt.z = t.coord[rd_u16(q + 6)];
            pt.intensity = q[8];
            pt.distance = t.range[rd_u16(q)];
        }
        if (p[20] == 2)
            close_frame(sink, frame, i, n, frames);
        last = index;
        last_stamp = stamp;
    }
    sink.frame(frame, 100.0f);
    return frames;
}

int parse_vimo_e_packets(const PacketView *packets, size_t n, PlaybackSink &sink)
{
    constexpr double kPi = 3.1415926535898;
    PointFrame frame;
    int frames = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t *p = packets[i].data;
        const size_t size = packets[i].size;
        if (size < VIMO_PACKET_HEADER || p[0] > 1)
            continue;
        const size_t t = rd_u16(p + 5);
        const size_t expected = VIMO_POINT_SIZE * t + VIMO_PACKET_HEADER;
        if (size != expected) {
            sink.packet_length_error(size, expected);
            continue;
        }
        if (p[0] == 1) {
            if (p[16] & 0x80)
                sink.mirror_fault(rd_u16(p + 12));
            if (p[16] & 0x40)
                sink.motor_fault(rd_u16(p + 14));
        }
        const uint8_t *q = p + VIMO_PACKET_HEADER;
        for (size_t j = 0; j < t; ++j, q += VIMO_POINT_SIZE) {
            const uint64_t w = rd_u64(q);
            const uint32_t range = uint32_t(w & 0xFFFFFF);
            const uint32_t v = uint32_t((w >> 24) & 0xFF) << 12 | uint32_t((w >> 32) & 0xFFF);
            const uint32_t azimuth = uint32_t(w >> 44);
            const double e = (90000.0 - double(v)) * kPi / 180000.0;
            const double a = double(azimuth) * kPi / 180000.0;
            const double r = double(range) / 1000.0;
            UserPointData pt;
            pt.x = float(std::cos(e) * r * std::cos(a));
            pt.y = float(std::cos(e) * r * std::sin(a));
            pt.z = float(std::sin(e) * r);
            pt.intensity = q[8];
            frame.push_back(pt);
        }
        if (frame.size() > VIMO_FRAME_POINTS)
            close_frame(sink, frame, i, n, frames);
    }
    sink.frame(frame, 100.0f);
    return frames;
}

int parse_box_packets(const PacketView *packets, size_t n, PlaybackSink &sink)
{
    PointFrame frame;
    int frames = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t *p = packets[i].data;
        const size_t size = packets[i].size;
        if (size < BOX_PACKET_HEADER)
            continue;
        const size_t room = size > BOX_POINTS_OFFSET ? (size - BOX_POINTS_OFFSET) / BOX_POINT_SIZE : 0;
        const size_t count = std::min<size_t>(p[5], room);
        const uint8_t *q = p + BOX_POINTS_OFFSET;
        for (size_t j = 0; j < count; ++j, q += BOX_POINT_SIZE) {
            UserPointData pt;
            pt.x = rd_f32(q);
            pt.y = rd_f32(q + 4);
            pt.z = rd_f32(q + 8);
            // The live receiver takes the byte after the three floats as the intensity; playback
            // does the same, so a recorded box session looks as it did live.
            pt.intensity = q[12];
            frame.push_back(pt);
        }
        if (p[11] == 2)
            close_frame(sink, frame, i, n, frames);
    }
    sink.frame(frame, 100.0f);
    return frames;
}

int parse_fenk_u_packets(const PacketView *packets, size_t n, PlaybackSink &sink,
                         uint8_t *highest_type)
{
    *highest_type = 0;
    std::unique_ptr<LpPlaneBuffer> plane(new LpPlaneBuffer);
    PointFrame frame;
    int frames = 0;
    for (size_t i = 0; i < n; ++i) {
        const size_t size = std::min<size_t>(packets[i].size, size_t(INT_MAX));
        int consumed = 0;
        const int r = decode_lp_packet(int(size), reinterpret_cast<const char *>(packets[i].data),
                                       plane.get(), &consumed, nullptr);
        if (r >= 1 && r <= 5) {
            if (r > *highest_type) {
                *highest_type = uint8_t(r);
            } else if (r == *highest_type) {
                const int count = std::min(plane->value_count, LP_MAX_VALUES);
                for (int j = 0; j < count; ++j)
                    frame.push_back(lp_make_point(*plane, j));
                close_frame(sink, frame, i, n, frames);
                sink.plane_completed(r);
            }
            plane->set_data_type(-1);
            plane->value_count = 0;
        } else if (r == LP_SUM_FRAME) {
            sink.command_reply(packets[i].data, packets[i].size);
        }
    }
    sink.frame(frame, 100.0f);
    return frames;
}
