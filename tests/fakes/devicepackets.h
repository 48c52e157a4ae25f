#pragma once
// Builders of the devices' point packets, byte for byte as the sensors and the box send them,
// for the fake devices, the playback fixtures, the fuzz seeds and the benchmarks: the one place
// where each packet layout is written.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Raxo point packet: 0x5A 0xA5, type at 3, u16 index at 7, u16 count A at 16, count B at 19,
// frame flag at 20 (2 ends a scan), u64 time stamp at 37, 10-byte points from 45.
struct RaxoPoint {
    uint16_t range_cm = 0;
    int16_t x = 0, y = 0, z = 0; // units of 2 mm
    uint8_t intensity = 0;       // byte 8
    uint8_t second = 0;          // byte 9
};
RaxoPoint raxo_point(uint16_t range_cm, int16_t x, int16_t y, int16_t z, uint8_t intensity,
                     uint8_t second = 0);
// Every header field the builder writes; the rest of the 45-byte header is 0.
struct RaxoPacketFields {
    uint8_t type = 1;
    uint16_t index = 0;
    uint16_t column = 0;    // u16 at 12: first grid column
    uint16_t row = 0;       // u16 at 14
    int count_a = -1;       // -1: the number of points; others make a packet that claims more
    uint8_t count_b = 1;
    uint8_t frame_flag = 0;
    uint64_t stamp = 0;
};
Bytes make_raxo_packet(const RaxoPacketFields &fields, const std::vector<RaxoPoint> &points);
Bytes make_raxo_packet(uint8_t type, uint16_t index, const std::vector<RaxoPoint> &points,
                       uint8_t frame_flag, uint64_t stamp = 0, uint8_t count_b = 1);

// Vimo-E point packet: kind at 0, 0x24 at 1, u16 count at 5, u16 sequence at 7, mirror u16 at
// 12, motor u16 (tenths) at 14, status bits at 16; 10-byte points from 36: u64 packed polar
// (range mm bits 0-23, elevation code high 8 bits at 24-31 and low 12 bits at 32-43, azimuth
// millidegrees at 44-63), intensity byte, one spare byte.
struct VimoPoint {
    uint32_t range_mm = 0;
    uint32_t elevation = 0; // 20-bit code, millidegrees from the vertical axis
    uint32_t azimuth = 0;   // 20 bits, millidegrees
    uint8_t intensity = 0;
};
Bytes make_vimo_e_packet(uint8_t kind, const std::vector<VimoPoint> &points, uint8_t status = 0,
                         uint16_t mirror = 0, uint16_t motor = 0, uint16_t sequence = 0);
// The u64 of packed polar coordinates of one point.
uint64_t vimo_pack_point(const VimoPoint &p);

// Algorithm-box "LHAB" datagram: object id at 4, count at 5, bytes 6 and 7, upload type at 8,
// frame flag at 11, u16 cache-clean word at 12, float object centre at 14, 18, 22; 13-byte
// points (float x, y, z in metres, intensity byte) from 54.
struct BoxPoint {
    float x = 0, y = 0, z = 0;
    uint8_t intensity = 0;
};
struct LhabSpec {
    uint8_t object_id = 0;
    uint8_t upload_type = 0;
    uint8_t frame_flag = 0; // 2 ends the frame
    uint8_t byte6 = 0;
    uint8_t byte7 = 0;
    uint16_t clean_word = 0;
    float cx = 0.0f, cy = 0.0f, cz = 0.0f;
    std::vector<BoxPoint> points;
    int announced = -1; // N written at byte 5; -1: the number of points
};
Bytes make_lhab(const LhabSpec &spec);
// A point datagram: the points, the frame flag and the upload type, every other field 0.
Bytes make_box_packet(const std::vector<BoxPoint> &points, uint8_t frame_flag,
                      uint8_t upload_type = 1);

// Fenk-U "LP" sub-package: "LP", u32 total at 4, u32 offset at 8, u32 length at 12, data, then
// the reflected CRC-32 of everything before it.
Bytes make_lp_subpackage(uint32_t total, uint32_t offset, const Bytes &data);

// The 44-byte frame header: i16 data type at 2, u32 frame index at 12, u16 width at 16, u16
// height at 18, u32 plane CRC at 24.
Bytes make_lp_header(int16_t type, uint32_t frame_index, uint16_t width, uint16_t height,
                     uint32_t plane_crc = 0);

// A whole plane as the sensor sends it: the header sub-package (offset 0), then the content in
// sub-packages of at most `chunk` bytes at offsets 44, 44 + chunk, ...; total = 44 + content.
std::vector<Bytes> make_lp_plane(int16_t type, uint32_t frame_index, uint16_t width,
                                 uint16_t height, const Bytes &content, size_t chunk);

// Plane contents: x, y, z floats in millimetres per point; or one u16 per pixel.
Bytes lp_xyz_content(const std::vector<float> &xyz_mm);
Bytes lp_xyz_content(const std::vector<std::array<float, 3>> &points_mm);
Bytes lp_u16_content(const std::vector<uint16_t> &values);

// LhSumFrame with sequence 1 and the type as given, as recorded Fenk-U streams carry them.
Bytes make_sum_reply(uint16_t type, const Bytes &payload);

// The reply of a Fenk-U or Raxo sensor to a command: an LhSumFrame of type | 0x8000 with
// sequence 0.
Bytes make_command_reply(uint16_t type, const Bytes &payload);

// A received LhCrcFrame is whole and intact: its length field is a multiple of 4, the datagram
// is the 8-byte header, that many bytes and the 4-byte trailer, and the trailer is the
// crc32_words of everything before it.
bool crc_frame_intact(const Bytes &frame);
