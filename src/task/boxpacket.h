#pragma once
// The algorithm box's "LHAB" point and object datagrams: the one decoder behind the live
// receiver and playback.
//
//   0-3 "LHAB" | 4 object id | 5 N points | 6, 7 carried in the object record | 8 upload type
//   (2 = objects) | 11 frame flag (2 = last datagram of a frame) | 12-13 u16 cache-clean word |
//   14, 18, 22 float x, y, z of the object centre | 54 + 13 i: float x, y, z, intensity byte

#include "userpointdata.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t BOX_HEADER_SIZE = 54;
constexpr size_t BOX_POINT_SIZE = 13;
constexpr uint8_t BOX_UPLOAD_OBJECTS = 2;
constexpr uint8_t BOX_FRAME_END = 2;
constexpr size_t BOX_FRAME_FLAG_AT = 11; // the frame flag's byte

struct BoxPacketHeader {
    uint8_t object_id = 0;
    uint8_t count = 0; // N
    uint8_t byte6 = 0;
    uint8_t byte7 = 0;
    uint8_t upload_type = 0;
    uint8_t frame_flag = 0;
    uint16_t clean_word = 0;
    float cx = 0.0f;
    float cy = 0.0f;
    float cz = 0.0f;
};

// Bytes 0-3 are "LHAB".
bool box_is_lhab(const uint8_t *data, size_t length);

// Reads the header fields; false (nothing read) for a datagram shorter than the 54-byte header.
bool box_read_header(const uint8_t *data, size_t length, BoxPacketHeader *out);

// Points that are really there: N, but never more than the bytes after the header hold.
size_t box_points_present(size_t length, uint8_t count);

// Decodes the points present (box_points_present of the length and N) into `out`, which has
// room for them and holds default points (x, y, z and intensity are written), leaving out
// those whose coordinates are not fit to be shown (coordinate_ok); returns how many it wrote,
// from the start of `out`. Nothing for a datagram shorter than its header.
size_t box_decode_points(const uint8_t *data, size_t length, UserPointData *out);
// The same, appended to `out` (every other field 0).
size_t box_append_points(const uint8_t *data, size_t length, std::vector<UserPointData> &out);

// Whether the header's object centre is fit to be shown (coordinate_ok on x, y and z).
bool box_object_ok(const BoxPacketHeader &h);

// The object of an object-upload datagram, carried in a point record: x, y, z = the centre; the
// record's bytes 12 to 15 are 0, the object id, byte 7 and byte 6 of the datagram (so its
// intensity reads id x 256); every other byte 0.
UserPointData box_object_record(const BoxPacketHeader &h);

// Object id of such a record (its byte 13).
uint8_t box_object_id(const UserPointData &record);

