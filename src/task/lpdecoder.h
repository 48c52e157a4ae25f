#pragma once
// The Fenk-U "LP" sub-packages: each per-type data frame of the sensor (here called a plane:
// x, y, z points, or one u16 value per pixel) is announced by a frame header and cut into
// sub-packages. One decoder for the live receiver and for playback; neither sub-package nor
// plane CRCs are checked here (a caller that wants them checks the bytes it was handed).
//
// The sub-package and frame-header layouts are in lpsubpackage.h, whose reader both use.

#include "lpsubpackage.h"
#include "playbacksink.h"

#include <cstddef>
#include <cstdint>

constexpr int LP_MAX_VALUES = 1500;      // values kept per plane
constexpr int LP_HEADER_BYTES = int(LP_FRAME_HEADER_SIZE); // frame-header bytes kept
constexpr int LP_MESSAGE_SIZE = 128;     // capacity a caller's message buffer must have

// Results of decode_lp_packet; a completed plane returns its data type (1..5) instead.
enum LpResult : int {
    LP_NEED_MORE = 0,   // the "LH" or "LP" found does not fit in the bytes given
    LP_SUM_FRAME = 6,   // a whole LhSumFrame
    LP_ACCEPTED = 10,   // sub-package stored, plane not complete yet
    LP_REFUSED = -1,    // sub-package without a header, or not continuing its plane
    LP_NO_MORE = 100,   // no further "L" in the bytes given
};

// State of one plane being assembled. A fresh buffer is all zero with data type -1.
struct LpPlaneBuffer {
    uint8_t header[LP_HEADER_BYTES];
    float xyz[LP_MAX_VALUES][3];
    uint16_t planes[4][LP_MAX_VALUES]; // data types 2, 3, 4, 5
    int32_t value_count;               // values of the plane being assembled
    uint64_t last_end;                 // content offset the next data sub-package must start at

    LpPlaneBuffer() { reset(); }
    void reset();

    int data_type() const; // -1: no header since the last completed or refused plane
    void set_data_type(int type);
    uint16_t width() const;
    uint16_t height() const;
    uint32_t frame_index() const;
};

// Decodes the first "LH" frame or "LP" sub-package in data[0, n). `consumed` receives the bytes
// up to and including what was decoded (for LP_NEED_MORE: up to and including the "L" that did
// not fit, so a caller stepping on never meets it again). `message` is null or holds at least
// LP_MESSAGE_SIZE bytes; it receives a short diagnostic for LP_REFUSED and LP_NO_MORE.
// After a refused sub-package the rest of its plane is refused until the next header.
int decode_lp_packet(int n, const char *data, LpPlaneBuffer *plane, int *consumed, char *message);

// Cuts a raw Fenk-U byte stream into its sub-packages (each with the bytes skipped before it),
// in order, as views into `data`. Complete "LH" replies go to sink.command_reply and not into
// the list; refused and cut-off sub-packages are left out.
void split_lp_stream(const uint8_t *data, size_t size, PacketViews &out, PlaybackSink &sink);

// Builds point j of a completed measurement from the plane buffer (x, y, z in metres).
UserPointData lp_make_point(const LpPlaneBuffer &plane, int j);
