#include "playbackparsers.h"

#include "boxpacket.h"
#include "lpdecoder.h"
#include "raxopacket.h"
#include "vimopacket.h"
#include "viewrange.h"

#include <algorithm>
#include <climits>
#include <cmath>
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

// Ends the frame under way as a completed frame and counts it.
inline void close_frame(PlaybackSink &sink, size_t i, size_t n, int &frames)
{
    sink.end_frame(playback_progress(i, n));
    ++frames;
}

} // namespace

int parse_raxo_packets(const PacketView *packets, size_t n, PlaybackSink &sink)
{
    const RaxoUnitTables &units = raxo_unit_tables();
    int frames = 0;
    int last = 0;
    uint64_t last_stamp = 0;
    // A recording starts wherever the sensor's count stood: the first packet only sets it.
    bool first = true;
    for (size_t i = 0; i < n && !sink.stopped(); ++i) {
        const uint8_t *p = packets[i].data;
        const size_t size = packets[i].size;
        RaxoPointHeader h;
        if (!raxo_has_sync(p, size) || !raxo_parse_point_header(p, size, &h))
            continue;
        // Where playback differs from the live receiver: type 13 is parsed as well, the point
        // count is A alone (the live receiver takes A x B), and the packet index is checked for
        // continuity (a gap is reported, the packet used all the same).
        if (h.type != RAXO_TYPE_POINTS && h.type != RAXO_TYPE_POINTS_13
            && h.type != RAXO_TYPE_POINTS_HALF)
            continue;
        const int index = h.index;
        if (!first && index - last != 1 && index != 1)
            sink.index_gap(last, index, h.stamp, last_stamp);
        first = false;
        const size_t count = raxo_points_present(size, h.count_a);
        UserPointData *out = sink.grow(count);
        const uint8_t *q = p + RAXO_POINT_HEADER;
        for (size_t j = 0; j < count; ++j, q += RAXO_POINT_SIZE)
            raxo_decode_point(q, units, out[j]);
        if (h.frame_flag == RAXO_FRAME_END)
            close_frame(sink, i, n, frames);
        last = index;
        last_stamp = h.stamp;
    }
    sink.end_frame(100.0f);
    return frames;
}

int parse_vimo_e_packets(const PacketView *packets, size_t n, PlaybackSink &sink)
{
    int frames = 0;
    for (size_t i = 0; i < n && !sink.stopped(); ++i) {
        const uint8_t *p = packets[i].data;
        const size_t size = packets[i].size;
        VimoPacketHeader h;
        if (!vimo_read_header(p, size, &h))
            continue;
        // Where playback differs from the live receiver: only kinds 0 and 1 are parsed, a packet
        // of the wrong length is skipped (live: reported and used), the status bits are
        // reported for every status packet (live: once, after the ignore period), and a frame is
        // emitted above VIMO_FRAME_POINTS points (live: at that many).
        if (h.type > 1)
            continue;
        const uint64_t expected = vimo_packet_length(h.count);
        if (size != expected) {
            sink.packet_length_error(size, size_t(expected));
            continue;
        }
        if (h.type == 1) {
            if (h.status & VIMO_STATUS_MIRROR)
                sink.mirror_fault(h.mirror);
            if (h.status & VIMO_STATUS_MOTOR)
                sink.motor_fault(h.motor);
        }
        vimo_decode_points(p, size, sink.grow(vimo_points_present(size, h.count)));
        if (sink.pending() > VIMO_FRAME_POINTS)
            close_frame(sink, i, n, frames);
    }
    sink.end_frame(100.0f);
    return frames;
}

int parse_box_packets(const PacketView *packets, size_t n, PlaybackSink &sink)
{
    int frames = 0;
    for (size_t i = 0; i < n && !sink.stopped(); ++i) {
        const uint8_t *p = packets[i].data;
        const size_t size = packets[i].size;
        // Where playback differs from the live receiver: the "LHAB" magic is not tested and the
        // upload type is ignored (no object records, every packet gives its points), and a
        // packet too short for the point header still ends a frame by its byte 11. The points,
        // intensity byte included, are the live receiver's, so a recorded box session looks as
        // it did live.
        if (p == nullptr || size <= BOX_FRAME_FLAG_AT)
            continue;
        if (size >= BOX_HEADER_SIZE) {
            const size_t present = box_points_present(size, p[5]);
            sink.shrink(present - box_decode_points(p, size, sink.grow(present)));
        }
        if (p[BOX_FRAME_FLAG_AT] == BOX_FRAME_END)
            close_frame(sink, i, n, frames);
    }
    sink.end_frame(100.0f);
    return frames;
}

int parse_fenk_u_packets(const PacketView *packets, size_t n, PlaybackSink &sink,
                         uint8_t *highest_type)
{
    *highest_type = 0;
    std::unique_ptr<LpPlaneBuffer> plane(new LpPlaneBuffer);
    int frames = 0;
    for (size_t i = 0; i < n && !sink.stopped(); ++i) {
        const size_t size = std::min<size_t>(packets[i].size, size_t(INT_MAX));
        int consumed = 0;
        const int r = decode_lp_packet(int(size), reinterpret_cast<const char *>(packets[i].data),
                                       plane.get(), &consumed, nullptr);
        if (r >= 1 && r <= 5) {
            if (r > *highest_type) {
                *highest_type = uint8_t(r);
            } else if (r == *highest_type) {
                const int count = std::max(0, std::min(plane->value_count, LP_MAX_VALUES));
                UserPointData *out = sink.grow(size_t(count));
                for (int j = 0; j < count; ++j)
                    out[j] = lp_make_point(*plane, j);
                // The camera's coordinates are floats as sent: drop those no view can place.
                sink.shrink(size_t(count) - keep_points_in_view(out, size_t(count)));
                close_frame(sink, i, n, frames);
                sink.plane_completed(r);
            }
            plane->set_data_type(-1);
            plane->value_count = 0;
        } else if (r == LP_SUM_FRAME) {
            sink.command_reply(packets[i].data, packets[i].size);
        }
    }
    sink.end_frame(100.0f);
    return frames;
}
