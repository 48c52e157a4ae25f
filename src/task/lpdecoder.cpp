#include "lpdecoder.h"

#include "lhframe.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

void LpPlaneBuffer::reset()
{
    std::memset(header, 0, sizeof(header));
    std::memset(xyz, 0, sizeof(xyz));
    std::memset(planes, 0, sizeof(planes));
    value_count = 0;
    last_end = 0;
    set_data_type(-1);
}

int LpPlaneBuffer::data_type() const { return int16_t(rd_u16(header + 2)); }
void LpPlaneBuffer::set_data_type(int type) { wr_u16(header + 2, uint16_t(int16_t(type))); }
uint16_t LpPlaneBuffer::width() const { return rd_u16(header + 16); }
uint16_t LpPlaneBuffer::height() const { return rd_u16(header + 18); }
uint32_t LpPlaneBuffer::frame_index() const { return rd_u32(header + 12); }

namespace {

void set_message(char *message, const char *text)
{
    if (message != nullptr)
        std::snprintf(message, LP_MESSAGE_SIZE, "%s", text);
}

int32_t add_count(int32_t count, uint64_t more)
{
    const uint64_t sum = uint64_t(std::max<int32_t>(count, 0)) + more;
    return sum > uint64_t(INT32_MAX) ? INT32_MAX : int32_t(sum);
}

// Stores one sub-package's data; true when the plane is complete.
bool store_data(LpPlaneBuffer *plane, const uint8_t *d, uint32_t length, uint32_t total,
                uint64_t end)
{
    const int type = plane->data_type();
    const int first = plane->value_count;
    if (type == 1) {
        const uint32_t triples = length / 12;
        for (uint32_t k = 0; k < triples && int64_t(first) + k < LP_MAX_VALUES; ++k) {
            float *xyz = plane->xyz[first + int(k)];
            for (int c = 0; c < 3; ++c)
                xyz[c] = rd_f32(d + 12 * size_t(k) + 4 * size_t(c));
        }
        plane->value_count = add_count(first, triples);
        return end == total;
    }
    const uint32_t values = length / 2;
    if (type >= 2 && type <= 5) {
        uint16_t *dst = plane->planes[type - 2];
        for (uint32_t k = 0; k < values && int64_t(first) + k < LP_MAX_VALUES; ++k)
            dst[first + int(k)] = rd_u16(d + 2 * size_t(k));
    }
    plane->value_count = add_count(first, values);
    // Types outside 1..5 are kept but never complete: their numbers would read as result codes.
    if (type < 2 || type > 5)
        return false;
    return int64_t(plane->value_count) == int64_t(plane->width()) * int64_t(plane->height());
}

} // namespace

int decode_lp_packet(int n, const char *data, LpPlaneBuffer *plane, int *consumed, char *message)
{
    const uint8_t *b = reinterpret_cast<const uint8_t *>(data);
    size_t at = 0;
    const LpTag tag = n > 0 ? lp_find_tag(b, size_t(n), &at) : LpTag::None;
    if (tag == LpTag::None) {
        // The scan stopped where fewer than LP_SCAN_MIN bytes were left.
        set_message(message, "all data check ok");
        *consumed = n >= int(LP_SCAN_MIN) ? n - int(LP_SCAN_MIN) + 1 : 0;
        return LP_NO_MORE;
    }
    const int i = int(at);
    if (tag == LpTag::Lh) {
        const uint64_t need = lp_sum_frame_end(b, at);
        if (uint64_t(n) < need) {
            *consumed = i + 1;
            return LP_NEED_MORE;
        }
        *consumed = int(need);
        return LP_SUM_FRAME;
    }
    LpSubPackage sp;
    if (!lp_parse_subpackage(b + i, size_t(n - i), &sp)) {
        *consumed = i + 1;
        return LP_NEED_MORE;
    }
    const uint32_t total = sp.total;
    const uint32_t offset = sp.offset;
    const uint32_t length = sp.length;
    *consumed = int(uint64_t(i) + sp.size);
    const uint64_t end = uint64_t(offset) + length;
    if (offset == 0) {
        std::memset(plane->header, 0, sizeof(plane->header));
        std::memcpy(plane->header, sp.data, std::min<uint32_t>(length, LP_HEADER_BYTES));
        plane->value_count = 0;
        plane->last_end = end;
        return LP_ACCEPTED;
    }
    if (plane->data_type() == -1) {
        set_message(message, "dat.data_type == -1");
        return LP_REFUSED;
    }
    if (offset != plane->last_end) {
        if (message != nullptr)
            std::snprintf(message, LP_MESSAGE_SIZE, "last end offset:%llu now start offset:%u  idx:%u",
                          static_cast<unsigned long long>(plane->last_end), offset,
                          plane->frame_index());
        // The plane has a hole now: refuse the rest of it until the next header, instead of
        // taking later sub-packages that merely line up with this one.
        plane->set_data_type(-1);
        plane->last_end = end;
        return LP_REFUSED;
    }
    if (store_data(plane, sp.data, length, total, end)) {
        plane->last_end = 0;
        return plane->data_type();
    }
    plane->last_end = end;
    return LP_ACCEPTED;
}

void split_lp_stream(const uint8_t *data, size_t size, PacketViews &out, PlaybackSink &sink)
{
    // Offsets inside the decoder are ints: a playback file is far below 2 GB.
    const size_t s = std::min<size_t>(size, size_t(INT_MAX));
    LpPlaneBuffer *plane = new LpPlaneBuffer;
    size_t q = 0;
    for (size_t k = 0; k < s; ++k) {
        int consumed = 0;
        const int r = decode_lp_packet(int(s - q), reinterpret_cast<const char *>(data + q),
                                       plane, &consumed, nullptr);
        if (r == LP_NO_MORE)
            break;
        if ((r >= 1 && r <= 5) || r == LP_ACCEPTED)
            out.push_back({data + q, size_t(consumed)});
        else if (r == LP_SUM_FRAME)
            sink.command_reply(data + q, size_t(consumed));
        q += size_t(consumed);
    }
    delete plane;
}

UserPointData lp_make_point(const LpPlaneBuffer &plane, int j)
{
    return lp_make_point(plane.xyz[j][0], plane.xyz[j][1], plane.xyz[j][2], plane.planes[0][j],
                         plane.planes[1][j], plane.planes[2][j], plane.planes[3][j]);
}
