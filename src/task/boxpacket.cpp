#include "boxpacket.h"

#include "lhframe.h"
#include "viewrange.h"
#include "zonemonitor.h"

#include <cstring>

bool box_is_lhab(const uint8_t *data, size_t length)
{
    return data != nullptr && length >= 4 && std::memcmp(data, "LHAB", 4) == 0;
}

bool box_read_header(const uint8_t *data, size_t length, BoxPacketHeader *out)
{
    if (data == nullptr || length < BOX_HEADER_SIZE)
        return false;
    if (out != nullptr) {
        out->object_id = data[4];
        out->count = data[5];
        out->byte6 = data[6];
        out->byte7 = data[7];
        out->upload_type = data[8];
        out->frame_flag = data[BOX_FRAME_FLAG_AT];
        out->clean_word = rd_u16(data + 12);
        out->cx = rd_f32(data + 14);
        out->cy = rd_f32(data + 18);
        out->cz = rd_f32(data + 22);
    }
    return true;
}

size_t box_points_present(size_t length, uint8_t count)
{
    if (length < BOX_HEADER_SIZE)
        return 0;
    const size_t room = (length - BOX_HEADER_SIZE) / BOX_POINT_SIZE;
    return count < room ? count : room;
}

size_t box_decode_points(const uint8_t *data, size_t length, UserPointData *out)
{
    if (data == nullptr || length < BOX_HEADER_SIZE)
        return 0;
    const size_t n = box_points_present(length, data[5]);
    const uint8_t *p = data + BOX_HEADER_SIZE;
    size_t kept = 0;
    for (size_t i = 0; i < n; ++i, p += BOX_POINT_SIZE) {
        const float x = rd_f32(p), y = rd_f32(p + 4), z = rd_f32(p + 8);
        if (!coordinate_ok(x) || !coordinate_ok(y) || !coordinate_ok(z))
            continue;
        UserPointData &q = out[kept++];
        q.x = x;
        q.y = y;
        q.z = z;
        q.intensity = p[12];
    }
    return kept;
}

size_t box_append_points(const uint8_t *data, size_t length, std::vector<UserPointData> &out)
{
    if (data == nullptr || length < BOX_HEADER_SIZE)
        return 0;
    const size_t first = out.size();
    out.resize(first + box_points_present(length, data[5]));
    const size_t kept = box_decode_points(data, length, out.data() + first);
    out.resize(first + kept);
    return kept;
}

bool box_object_ok(const BoxPacketHeader &h)
{
    return coordinate_ok(h.cx) && coordinate_ok(h.cy) && coordinate_ok(h.cz);
}

UserPointData box_object_record(const BoxPacketHeader &h)
{
    UserPointData r;
    r.x = h.cx;
    r.y = h.cy;
    r.z = h.cz;
    uint8_t *bytes = reinterpret_cast<uint8_t *>(&r);
    bytes[12] = 0;
    bytes[13] = h.object_id;
    bytes[14] = h.byte7;
    bytes[15] = h.byte6;
    return r;
}

uint8_t box_object_id(const UserPointData &record)
{
    return reinterpret_cast<const uint8_t *>(&record)[13];
}
