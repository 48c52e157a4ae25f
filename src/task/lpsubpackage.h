#pragma once
// The "LP" sub-packages in which the Fenk-U sensor cuts its data frames, and the frame header
// that the first sub-package of each frame carries. The live receiver and playback both find,
// read and turn them into points through these functions; what they do with a sub-package in
// between (CRCs, refusals, storage) differs and stays with each of them.
//
// Sub-package (little-endian, offsets from the "L"):
//   0-1   "LP"
//   2-3   not examined
//   4-7   u32 total: payload bytes of the whole frame, frame header included
//   8-11  u32 offset of this payload within the frame (0: the frame header)
//   12-15 u32 length of the payload
//   16..  payload
//   then  u32 crc32_reflected of every byte before it
//
// Frame header (payload of the offset-0 sub-package; at most 44 bytes are kept):
//   2-3 i16 data type (1 points, 2-5 u16 planes), 12-15 u32 frame index,
//   16-17 u16 width, 18-19 u16 height, 24-27 u32 crc32_reflected of the frame's data.

#include "userpointdata.h"

#include <cstddef>
#include <cstdint>

constexpr size_t LP_PREFIX_SIZE = 16;     // bytes before the payload
constexpr size_t LP_OVERHEAD = 20;        // prefix and CRC trailer
constexpr size_t LP_SCAN_MIN = 12;        // bytes a tag needs behind it to be taken
constexpr size_t LP_FRAME_HEADER_SIZE = 44;
constexpr size_t LP_FRAME_HEADER_FIELDS = 28; // the header bytes holding every field read

enum class LpTag {
    None, // no "L" followed by "H" or "P" with 12 bytes from it
    Lh,   // an "LH" command frame starts at the position
    Lp,   // an "LP" sub-package starts at the position
};

// First position i with at least LP_SCAN_MIN bytes from it where "L" is followed by "H" or
// "P". Reading the "LH" length field (bytes 8-11) is safe at any position this returns.
LpTag lp_find_tag(const uint8_t *p, size_t n, size_t *at);

// Where the LhSumFrame that lp_find_tag found at `at` ends: at + its length field + 13, in 64
// bits. The frame is whole when that many bytes are there.
uint64_t lp_sum_frame_end(const uint8_t *p, size_t at);

struct LpSubPackage {
    uint32_t total = 0;
    uint32_t offset = 0;
    uint32_t length = 0;
    const uint8_t *data = nullptr; // the payload, inside the caller's buffer
    uint32_t crc = 0;              // the trailer as sent
    uint64_t size = 0;             // length + 20: the bytes the sub-package takes
};

// Reads the sub-package starting at p, of which n bytes are available. False when they do
// not hold the prefix or the whole sub-package (length and trailer included); the sum is
// taken in 64 bits, so no length field can wrap it.
bool lp_parse_subpackage(const uint8_t *p, size_t n, LpSubPackage *out);

// True when the trailer matches the CRC of the prefix and payload. `p` is the buffer that
// lp_parse_subpackage accepted `sp` from.
bool lp_subpackage_crc_ok(const uint8_t *p, const LpSubPackage &sp);

struct LpFrameHeader {
    uint8_t bytes[LP_FRAME_HEADER_SIZE] = {}; // the kept start of the header, zero-filled
    int16_t data_type = -1;
    uint32_t frame_index = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t frame_crc = 0;
};

// Keeps the first 44 bytes of a header payload of `len` bytes (zero-filled when shorter) and
// reads its fields from them. False when the payload is too short to hold every field read
// (LP_FRAME_HEADER_FIELDS); the copy and the fields are filled either way.
bool lp_parse_frame_header(const uint8_t *data, size_t len, LpFrameHeader *out);

// One point of a completed measurement from its values: x, y, z in millimetres (data type 1)
// become metres; the distance plane (2) is taken as it is, the confidence plane (3) as the
// integer part of its square root (in the intensity), depth (4) and deep field (5) as they are.
UserPointData lp_make_point(float x_mm, float y_mm, float z_mm, uint16_t distance,
                            uint16_t confidence, uint16_t depth, uint16_t deep_field);
