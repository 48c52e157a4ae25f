#pragma once
// The zone table: the one in-memory description of a device's alarm zones, handed around by
// value (editor -> 2D view -> receivers -> zone-image engine and back).
//
// Lengths are millimetres in the sensor's horizontal plane, x to the right and y forward.
// Angles are tenths of a degree from +y towards +x; an end angle may exceed 3600 (up to 7200)
// so that end minus start stays the swept angle.

#include <QMetaType>
#include <QString>
#include <cstdint>

namespace ZONEALARM {

enum ZoneKind : int32_t {
    ZONE_POLYGON = 1,
    ZONE_RECTANGLE = 2,
    ZONE_ELLIPSE = 3,
    ZONE_SECTOR = 4,
    ZONE_SUBTRACT = 5, // subtractive polygon: removes its inside from the zone's runs
};

enum ZoneArea : uint8_t {
    ZONE_AREA_OBSERVE = 0,
    ZONE_AREA_WARNING = 1,
    ZONE_AREA_ALARM = 2,
};

// What the zone editor asks of the session's receiver with a table (Page_DrawZone::sig_zoneCmd,
// SensorReceiver::recv_zoneCmd); the Raxo receiver queues them as work codes of the same value.
enum ZoneCommand : int {
    ZONE_CMD_WRITE = 10, // write the table to the device
    ZONE_CMD_READ = 11,  // read the device's table back
};

constexpr int ZONE_PARAMS = 40;      // doubles per record
constexpr int ZONE_MAX_VERTICES = 20;
constexpr int ZONE_MAX_SHAPES = 64;  // records per table
constexpr int ZONE_IDS = 16;         // zone ids 0..15
constexpr int ZONE_DEF_BLOCK = 960;  // bytes of one zone id's definition block in the image

// One shape. Parameters by kind:
//   ellipse:   centre x, centre y, width (full extent along x), height (full extent along y)
//   rectangle: bottom y, left x, top y, right x
//   sector:    start angle, end angle, far radius, near radius
//   polygons:  x0, y0, x1, y1, ... up to 20 vertices, in drawing order
// Parameters a kind does not use are 0.
struct ZoneShape {
    int32_t kind = 0;       // ZoneKind; any other value makes the record invalid everywhere
    uint8_t zone_id = 0;    // 0..15
    uint8_t area = 0;       // ZoneArea
    double param[ZONE_PARAMS] = {};
    int32_t point_count = 0; // 2 for rectangle, ellipse and sector; vertex count for polygons
    int32_t flag = 0;        // 1: the editor's form shows this record at its next report
};

struct zones {
    int32_t count = 0; // valid records, 0..64
    ZoneShape shapes[ZONE_MAX_SHAPES];
};

} // namespace ZONEALARM

// Most signatures spell the table without its namespace.
using zones = ZONEALARM::zones;

// A pair of doubles, x then y: shape geometry between the 2D shape items and the 2D view.
struct Point_double {
    double x = 0.0;
    double y = 0.0;
};

Q_DECLARE_METATYPE(ZONEALARM::zones)
Q_DECLARE_METATYPE(Point_double)

// Registers the table for queued connections under both spellings the signals use, "zones"
// and "ZONEALARM::zones". Safe to call more than once.
void register_zone_meta_types();

namespace ZONEALARM {

// Title of every refusal box of the zone checks.
QString zone_refusal_title();

// "The number of alarm zones more than the maximum limit!": a table (or a copy of zones) that
// would hold more than 64 records.
QString zone_count_refusal();

// A new shape as the editor's shape buttons make it: the kind's default parameters (ellipse and
// rectangle -1000, -1000, 1000, 1000; sector 300, 1200, 3000, 1000; polygons none), the given
// zone id and area, flag 0. The editor sets flag 1 in the copy it announces.
ZoneShape make_default_shape(int kind, int zone_id, int area);

// Checks one record before it is written to a device or copied to another zone id. Returns the
// refusal text, or an empty string when the record passes. A sector whose far radius is not
// above its near radius gets the two exchanged in `shape`; that exchange is what is written.
QString validate_zone_shape(ZoneShape &shape);

// Bytes the record's entry takes in its zone's definition block: 20 for a rectangle, ellipse
// or sector, 4 + 8 x vertices for a polygon with vertices (at most 20 are written), 0 for a
// polygon without vertices and for a record of another kind (neither writes an entry).
int zone_entry_size(const ZoneShape &shape);

// Sum of the entry sizes of zone id `zone_id` over the first `count` records.
int zone_budget_used(const ZoneShape *shapes, int count, int zone_id);

// The budget of every zone id: the entries of one zone id must fit its 960-byte definition
// block. Returns "Zone ID:%1:The number of alarm zones more than the maximum limit!" for the
// first zone id (ascending) that does not fit, with %1 the id as one hexadecimal digit, or an
// empty string.
QString check_zone_budget(const ZoneShape *shapes, int count);

// Everything a write or a copy checks, in order: the count, each record (first failure wins;
// radius exchanges stay in `table`), then the budget. Returns the refusal text or empty.
QString validate_zone_table(zones &table);

} // namespace ZONEALARM
