#pragma once
// Raxo data-channel datagrams: point packets (0x5A 0xA5, type 1 or 14 live; playback also
// takes type 13), IMU packets (type 4) and "AM" zone-monitor packets. The one decoder behind
// the live receiver and playback: both read the point header and the points through these
// functions. Every function takes the datagram as (pointer, length) and checks the length
// before it reads a field.

#include "lhframe.h"
#include "tilt.h"
#include "userpointdata.h"

#include <cstddef>
#include <cstdint>

constexpr uint8_t RAXO_SYNC0 = 0x5A;
constexpr uint8_t RAXO_SYNC1 = 0xA5;
constexpr uint8_t RAXO_TYPE_POINTS = 1;
constexpr uint8_t RAXO_TYPE_POINTS_HALF = 14; // half the rows: the row field is doubled
constexpr uint8_t RAXO_TYPE_POINTS_13 = 13;   // point packet that only playback parses
constexpr uint8_t RAXO_TYPE_IMU = 4;
constexpr uint8_t RAXO_FRAME_END = 2;
constexpr size_t RAXO_POINT_HEADER = 45;
constexpr size_t RAXO_POINT_SIZE = 10;

// Debug grid of one scan: u16 points written, 54000 u16 cells (byte 9 of each point), then
// 54000 byte cells (byte 8). 360 columns; cell = row * 360 + column.
constexpr int RAXO_GRID_COLUMNS = 360;
constexpr int RAXO_GRID_CELLS = 54000;
constexpr size_t RAXO_DEBUG_IMAGE_SIZE = 2 + RAXO_GRID_CELLS * 2 + RAXO_GRID_CELLS;
static_assert(RAXO_DEBUG_IMAGE_SIZE == 162002, "DebugImage is 162002 bytes");

// Which kind of datagram this is, from its first bytes; None for anything too short to tell.
enum class RaxoDatagram { None, Points, Imu, ZoneMonitor };
RaxoDatagram raxo_classify(const uint8_t *buf, size_t len);

// Bytes 0-1 are the sync bytes of a point or IMU packet (0x5A 0xA5).
inline bool raxo_has_sync(const uint8_t *buf, size_t len)
{
    return buf != nullptr && len >= 2 && buf[0] == RAXO_SYNC0 && buf[1] == RAXO_SYNC1;
}

struct RaxoPointHeader {
    uint8_t type = 0;
    uint16_t index = 0;      // packet number (u16 at 7)
    uint16_t column = 0;     // first grid column of the packet
    uint16_t row = 0;        // row field as sent (doubled for type 14)
    uint16_t count_a = 0;    // A, the u16 at 16
    uint8_t count_b = 0;     // B, byte 19
    uint8_t frame_flag = 0;  // RAXO_FRAME_END on the last packet of a scan
    uint64_t stamp = 0;      // u64 at 37
    uint32_t points = 0;     // the live count: A x B modulo 65536, limited to what the datagram holds
};
// Points that are really there: `claimed`, but never more than the bytes after the header of a
// datagram of `len` bytes hold.
inline size_t raxo_points_present(size_t len, size_t claimed)
{
    if (len < RAXO_POINT_HEADER)
        return 0;
    const size_t room = (len - RAXO_POINT_HEADER) / RAXO_POINT_SIZE;
    return claimed < room ? claimed : room;
}

// False for a datagram shorter than the 45-byte header. Inline: playback reads one header per
// packet of files of a hundred megabytes.
inline bool raxo_parse_point_header(const uint8_t *buf, size_t len, RaxoPointHeader *out)
{
    if (buf == nullptr || len < RAXO_POINT_HEADER)
        return false;
    out->type = buf[3];
    out->index = rd_u16(buf + 7);
    out->column = rd_u16(buf + 12);
    out->row = rd_u16(buf + 14);
    out->count_a = rd_u16(buf + 16);
    out->count_b = buf[19];
    out->frame_flag = buf[20];
    out->stamp = rd_u64(buf + 37);
    out->points = uint32_t(raxo_points_present(len, uint16_t(uint32_t(out->count_a) * out->count_b)));
    return true;
}

// The unit conversions of every possible wire value, computed once with the very same float
// expressions as the direct computation: a lookup instead of four divisions per point.
struct RaxoUnitTables {
    float coord[65536]; // i16 in units of 2 mm -> metres: (value / 1000) * 2
    float range[65536]; // u16 in centimetres -> metres: value / 100
};
// Built on first use (a fraction of a millisecond).
const RaxoUnitTables &raxo_unit_tables();

// Point i of a packet whose header has been checked: 10 bytes from 45 + 10 i.
// x, y, z = (value / 1000) * 2 metres in single precision; intensity = byte 8;
// distance = centimetres / 100; every other field 0.
// The first form writes these five fields into a fresh record (whose other fields hold 0) in
// place: a packed record built on the stack and copied would stall every point on its reload.
inline void raxo_decode_point(const uint8_t *point, const RaxoUnitTables &t, UserPointData &p)
{
    p.x = t.coord[rd_u16(point + 2)];
    p.y = t.coord[rd_u16(point + 4)];
    p.z = t.coord[rd_u16(point + 6)];
    p.intensity = point[8];
    p.distance = t.range[rd_u16(point)];
}
inline UserPointData raxo_decode_point(const uint8_t *point, const RaxoUnitTables &t)
{
    UserPointData p;
    raxo_decode_point(point, t, p);
    return p;
}
inline UserPointData raxo_decode_point(const uint8_t *point)
{
    return raxo_decode_point(point, raxo_unit_tables());
}

// The attitude record posted as sig_data 26, 45 bytes.
#pragma pack(push, 1)
struct ImuRecord {
    int64_t time = 0;  // whole seconds: the packet's microsecond stamp / 1000000
    uint8_t kind = 0;  // kind of the last IMU packet
    float m[9] = {};   // m3, m4 rates about x and y (rad/s); m6, m7, m8 acceleration x, y, z
};
#pragma pack(pop)
static_assert(sizeof(ImuRecord) == 45, "ImuRecord is a packed 45-byte record");

// Updates the record from an IMU packet: time and kind always, m0..m8 from a kind-3 packet,
// m3..m8 from a kind-2 packet. False, with the record untouched, when the datagram is too
// short for its kind (kind 3 under 58 bytes, kind 2 under 46, any other under 20).
bool raxo_parse_imu(const uint8_t *buf, size_t len, ImuRecord *rec);
// What the tilt filter takes of a parsed record: the rates m3, m4 and the acceleration m6-m8,
// the same packet bytes for kind 2 (22, 26, 34, 38, 42) and kind 3 (34, 38, 46, 50, 54).
inline ImuSample raxo_imu_sample(const ImuRecord &r)
{
    ImuSample s;
    s.rate_x = double(r.m[3]);
    s.rate_y = double(r.m[4]);
    s.acc_x = double(r.m[6]);
    s.acc_y = double(r.m[7]);
    s.acc_z = double(r.m[8]);
    return s;
}

// "AM" packet: selector 0 carries the 514-byte object list from byte 20, selector 1 the
// 308-byte zone alarm. False for other selectors and for datagrams too short for the record.
constexpr size_t RAXO_OBJECT_LIST_SIZE = 514;
constexpr size_t RAXO_ZONE_ALARM_SIZE = 308;
constexpr size_t RAXO_ZONE_MONITOR_OFFSET = 20;
bool raxo_zone_monitor_record(const uint8_t *buf, size_t len, const uint8_t **record,
                              size_t *record_len);
