#include "devicepackets.h"

#include "checksum.h"
#include "lhframe.h"

#include <algorithm>
#include <cstring>

Bytes make_raxo_packet(uint8_t type, uint16_t index, const std::vector<RaxoPoint> &points,
                       uint8_t frame_flag, uint64_t stamp, uint8_t count_b)
{
    Bytes b(45 + 10 * points.size(), 0);
    b[0] = 0x5A;
    b[1] = 0xA5;
    b[3] = type;
    wr_u16(&b[7], index);
    wr_u16(&b[16], uint16_t(points.size()));
    b[19] = count_b;
    b[20] = frame_flag;
    wr_u64(&b[37], stamp);
    for (size_t j = 0; j < points.size(); ++j) {
        uint8_t *q = &b[45 + 10 * j];
        wr_u16(q, points[j].range_cm);
        wr_u16(q + 2, uint16_t(points[j].x));
        wr_u16(q + 4, uint16_t(points[j].y));
        wr_u16(q + 6, uint16_t(points[j].z));
        q[8] = points[j].intensity;
        q[9] = points[j].second;
    }
    return b;
}

Bytes make_vimo_e_packet(uint8_t kind, const std::vector<VimoPoint> &points, uint8_t status,
                         uint16_t mirror, uint16_t motor, uint16_t sequence)
{
    Bytes b(36 + 10 * points.size(), 0);
    b[0] = kind;
    b[1] = 0x24;
    wr_u16(&b[5], uint16_t(points.size()));
    wr_u16(&b[7], sequence);
    wr_u16(&b[12], mirror);
    wr_u16(&b[14], motor);
    b[16] = status;
    for (size_t j = 0; j < points.size(); ++j) {
        const VimoPoint &p = points[j];
        const uint64_t w = uint64_t(p.range_mm & 0xFFFFFF) | uint64_t((p.elevation >> 12) & 0xFF) << 24
                           | uint64_t(p.elevation & 0xFFF) << 32 | uint64_t(p.azimuth & 0xFFFFF) << 44;
        wr_u64(&b[36 + 10 * j], w);
        b[36 + 10 * j + 8] = p.intensity;
    }
    return b;
}

Bytes make_box_packet(const std::vector<BoxPoint> &points, uint8_t frame_flag, uint8_t upload_type)
{
    Bytes b(54 + 13 * points.size(), 0);
    std::memcpy(&b[0], "LHAB", 4);
    b[5] = uint8_t(points.size());
    b[8] = upload_type;
    b[11] = frame_flag;
    for (size_t j = 0; j < points.size(); ++j) {
        uint8_t *q = &b[54 + 13 * j];
        wr_f32(q, points[j].x);
        wr_f32(q + 4, points[j].y);
        wr_f32(q + 8, points[j].z);
        q[12] = points[j].intensity;
    }
    return b;
}

Bytes make_lp_subpackage(uint32_t total, uint32_t offset, const Bytes &data)
{
    Bytes b(16 + data.size() + 4, 0);
    b[0] = 'L';
    b[1] = 'P';
    wr_u32(&b[4], total);
    wr_u32(&b[8], offset);
    wr_u32(&b[12], uint32_t(data.size()));
    std::copy(data.begin(), data.end(), b.begin() + 16);
    wr_u32(&b[16 + data.size()], crc32_reflected(0, b.data(), 16 + data.size()));
    return b;
}

Bytes make_lp_header(int16_t type, uint32_t frame_index, uint16_t width, uint16_t height,
                     uint32_t plane_crc)
{
    Bytes h(44, 0);
    wr_u16(&h[2], uint16_t(type));
    wr_u32(&h[12], frame_index);
    wr_u16(&h[16], width);
    wr_u16(&h[18], height);
    wr_u32(&h[24], plane_crc);
    return h;
}

std::vector<Bytes> make_lp_plane(int16_t type, uint32_t frame_index, uint16_t width,
                                 uint16_t height, const Bytes &content, size_t chunk)
{
    const uint32_t total = uint32_t(44 + content.size());
    std::vector<Bytes> out;
    out.push_back(make_lp_subpackage(
        total, 0,
        make_lp_header(type, frame_index, width, height,
                       crc32_reflected(0, content.data(), content.size()))));
    for (size_t at = 0; at < content.size(); at += chunk) {
        const size_t n = std::min(chunk, content.size() - at);
        out.push_back(make_lp_subpackage(total, uint32_t(44 + at),
                                         Bytes(content.begin() + long(at),
                                               content.begin() + long(at + n))));
    }
    return out;
}

Bytes lp_xyz_content(const std::vector<float> &xyz_mm)
{
    Bytes b(4 * xyz_mm.size());
    for (size_t i = 0; i < xyz_mm.size(); ++i)
        wr_f32(&b[4 * i], xyz_mm[i]);
    return b;
}

Bytes lp_u16_content(const std::vector<uint16_t> &values)
{
    Bytes b(2 * values.size());
    for (size_t i = 0; i < values.size(); ++i)
        wr_u16(&b[2 * i], values[i]);
    return b;
}

Bytes make_sum_reply(uint16_t type, const Bytes &payload)
{
    return lh_make_sum_frame(0, 1, type, payload.data(), payload.size());
}
