#pragma once
// Vimo-E point packets: the one decoder behind the live receiver and playback.
//
// A packet is a 36-byte header followed by N points of 10 bytes. A point is a little-endian
// u64 of packed polar coordinates and a u16 whose low byte is the intensity:
//   bits 0-23 range (mm), bits 24-31 high 8 bits of the 20-bit polar code E, bits 32-43 its
//   low 12 bits, bits 44-63 the azimuth A; E and A in millidegrees, E counted from vertical.

#include "userpointdata.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t VIMO_HEADER_SIZE = 36;
constexpr size_t VIMO_POINT_SIZE = 10;
// A live frame is posted once it holds at least this many points; playback emits a frame only
// once it holds more.
constexpr size_t VIMO_FRAME_POINTS = 23040;

struct VimoPacketHeader {
    uint8_t type = 0;      // 0, 1 or 2; 1 carries the status bits
    uint16_t count = 0;    // N, points announced
    uint16_t sequence = 0; // packet number
    uint16_t mirror = 0;   // reported with a mirror fault
    uint16_t motor = 0;    // main motor, tenths; reported with a motor fault
    uint8_t status = 0;    // bit 7 mirror fault, bit 6 main motor fault
};

constexpr uint8_t VIMO_STATUS_MIRROR = 0x80;
constexpr uint8_t VIMO_STATUS_MOTOR = 0x40;

// Reads the header fields; false (nothing read) for a datagram shorter than the header.
bool vimo_read_header(const uint8_t *data, size_t length, VimoPacketHeader *out);

// Length a packet of `count` points must have: 36 + 10 N.
inline uint64_t vimo_packet_length(uint16_t count)
{
    return VIMO_HEADER_SIZE + uint64_t(VIMO_POINT_SIZE) * count;
}

// Points that are really there: N, but never more than the bytes after the header hold.
size_t vimo_points_present(size_t length, uint16_t count);

// One 10-byte point: x, y, z and the intensity byte, every other field 0.
UserPointData vimo_decode_point(const uint8_t *point);

// Decodes the points present in the packet (vimo_points_present of its length and N) into
// `out`, which has room for them; returns how many. Nothing for a packet shorter than its
// header.
size_t vimo_decode_points(const uint8_t *data, size_t length, UserPointData *out);
// The same, appended to `out`.
size_t vimo_append_points(const uint8_t *data, size_t length, std::vector<UserPointData> &out);

// The decoder looks its cosines and sines up in tables built on first use (a few milliseconds);
// a receiver calls this before its loop so that the first packets are not delayed.
void vimo_prepare_tables();
