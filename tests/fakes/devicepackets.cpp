#include "devicepackets.h"

#include "checksum.h"
#include "lhframe.h"

#include <algorithm>
#include <cstring>

RaxoPoint raxo_point(uint16_t range_cm, int16_t x, int16_t y, int16_t z, uint8_t intensity,
                     uint8_t second)
{
    RaxoPoint p;
    p.range_cm = range_cm;
    p.x = x;
    p.y = y;
    p.z = z;
    p.intensity = intensity;
    p.second = second;
    return p;
}

Bytes make_raxo_packet(const RaxoPacketFields &f, const std::vector<RaxoPoint> &points)
{
    Bytes b(45 + 10 * points.size(), 0);
    b[0] = 0x5A;
    b[1] = 0xA5;
    b[3] = f.type;
    wr_u16(&b[7], f.index);
    wr_u16(&b[12], f.column);
    wr_u16(&b[14], f.row);
    wr_u16(&b[16], uint16_t(f.count_a >= 0 ? f.count_a : int(points.size())));
    b[19] = f.count_b;
    b[20] = f.frame_flag;
    wr_u64(&b[37], f.stamp);
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

Bytes make_raxo_packet(uint8_t type, uint16_t index, const std::vector<RaxoPoint> &points,
                       uint8_t frame_flag, uint64_t stamp, uint8_t count_b)
{
    RaxoPacketFields f;
    f.type = type;
    f.index = index;
    f.count_b = count_b;
    f.frame_flag = frame_flag;
    f.stamp = stamp;
    return make_raxo_packet(f, points);
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
        wr_u64(&b[36 + 10 * j], vimo_pack_point(points[j]));
        b[36 + 10 * j + 8] = points[j].intensity;
    }
    return b;
}

uint64_t vimo_pack_point(const VimoPoint &p)
{
    return uint64_t(p.range_mm & 0xFFFFFF) | uint64_t((p.elevation >> 12) & 0xFF) << 24
           | uint64_t(p.elevation & 0xFFF) << 32 | uint64_t(p.azimuth & 0xFFFFF) << 44;
}

Bytes make_lhab(const LhabSpec &s)
{
    Bytes d(54 + 13 * s.points.size(), 0);
    std::memcpy(&d[0], "LHAB", 4);
    d[4] = s.object_id;
    d[5] = uint8_t(s.announced >= 0 ? s.announced : int(s.points.size()));
    d[6] = s.byte6;
    d[7] = s.byte7;
    d[8] = s.upload_type;
    d[11] = s.frame_flag;
    wr_u16(&d[12], s.clean_word);
    wr_f32(&d[14], s.cx);
    wr_f32(&d[18], s.cy);
    wr_f32(&d[22], s.cz);
    for (size_t i = 0; i < s.points.size(); ++i) {
        uint8_t *p = &d[54 + 13 * i];
        wr_f32(p, s.points[i].x);
        wr_f32(p + 4, s.points[i].y);
        wr_f32(p + 8, s.points[i].z);
        p[12] = s.points[i].intensity;
    }
    return d;
}

Bytes make_box_packet(const std::vector<BoxPoint> &points, uint8_t frame_flag, uint8_t upload_type)
{
    LhabSpec s;
    s.points = points;
    s.frame_flag = frame_flag;
    s.upload_type = upload_type;
    return make_lhab(s);
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

Bytes lp_xyz_content(const std::vector<std::array<float, 3>> &points_mm)
{
    std::vector<float> flat;
    flat.reserve(3 * points_mm.size());
    for (const auto &p : points_mm)
        flat.insert(flat.end(), p.begin(), p.end());
    return lp_xyz_content(flat);
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

Bytes make_command_reply(uint16_t type, const Bytes &payload)
{
    return lh_make_sum_frame(0, 0, uint16_t(type | 0x8000), payload.data(), payload.size());
}

bool crc_frame_intact(const Bytes &frame)
{
    if (frame.size() < LH_CRC_HEADER)
        return false;
    const size_t length = rd_u16(&frame[6]);
    const size_t framed = LH_CRC_HEADER + length;
    return length % 4 == 0 && frame.size() == framed + 4
           && crc32_words(frame.data(), framed / 4) == rd_u32(&frame[framed]);
}
