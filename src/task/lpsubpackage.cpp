#include "lpsubpackage.h"

#include "checksum.h"
#include "lhframe.h"

#include <algorithm>
#include <cmath>
#include <cstring>

LpTag lp_find_tag(const uint8_t *p, size_t n, size_t *at)
{
    if (p == nullptr || n < LP_SCAN_MIN)
        return LpTag::None;
    for (size_t i = 0; i + LP_SCAN_MIN <= n; ++i) {
        if (p[i] != 'L')
            continue;
        if (p[i + 1] == 'H' || p[i + 1] == 'P') {
            if (at != nullptr)
                *at = i;
            return p[i + 1] == 'H' ? LpTag::Lh : LpTag::Lp;
        }
    }
    return LpTag::None;
}

uint64_t lp_sum_frame_end(const uint8_t *p, size_t at)
{
    return uint64_t(at) + rd_u32(p + at + 8) + LH_SUM_OVERHEAD;
}

bool lp_parse_subpackage(const uint8_t *p, size_t n, LpSubPackage *out)
{
    if (p == nullptr || n < LP_PREFIX_SIZE)
        return false;
    const uint32_t length = rd_u32(p + 12);
    const uint64_t size = uint64_t(length) + LP_OVERHEAD;
    if (uint64_t(n) < size)
        return false;
    if (out != nullptr) {
        out->total = rd_u32(p + 4);
        out->offset = rd_u32(p + 8);
        out->length = length;
        out->data = p + LP_PREFIX_SIZE;
        out->crc = rd_u32(p + LP_PREFIX_SIZE + length);
        out->size = size;
    }
    return true;
}

bool lp_subpackage_crc_ok(const uint8_t *p, const LpSubPackage &sp)
{
    return crc32_reflected(0, p, LP_PREFIX_SIZE + size_t(sp.length)) == sp.crc;
}

bool lp_parse_frame_header(const uint8_t *data, size_t len, LpFrameHeader *out)
{
    if (out == nullptr)
        return false;
    *out = LpFrameHeader();
    const size_t kept = data == nullptr ? 0 : std::min(len, LP_FRAME_HEADER_SIZE);
    if (kept > 0)
        std::memcpy(out->bytes, data, kept);
    const uint8_t *b = out->bytes;
    out->data_type = int16_t(rd_u16(b + 2));
    out->frame_index = rd_u32(b + 12);
    out->width = rd_u16(b + 16);
    out->height = rd_u16(b + 18);
    out->frame_crc = rd_u32(b + 24);
    return kept >= LP_FRAME_HEADER_FIELDS;
}

UserPointData lp_make_point(float x_mm, float y_mm, float z_mm, uint16_t distance,
                            uint16_t confidence, uint16_t depth, uint16_t deep_field)
{
    UserPointData p;
    p.x = x_mm / 1000.0f;
    p.y = y_mm / 1000.0f;
    p.z = z_mm / 1000.0f;
    p.intensity = uint16_t(int(std::sqrt(double(confidence))));
    p.distance = float(distance);
    p.depth = depth;
    p.deep_field = deep_field;
    return p;
}
