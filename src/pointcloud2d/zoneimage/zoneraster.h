#pragma once
// Shape nodes and the polar rasteriser behind the zone image.
//
// Every zone id gets a polar table of 1000 bearings; each bearing holds up to three ranges of
// 8 mm steps (alarm first, then warning, then observe) in which the zone's shapes of that area
// lie, minus the zone's subtractive polygons.

#include "zonetable.h"

#include <cstdint>
#include <vector>

namespace ZONEALARM {

// Integer point of a shape node: first = y, second = x (the device's order).
struct ZonePoint {
    int32_t y = 0;
    int32_t x = 0;
};

// A shape as the image stores it: kind, zone id, area and its rounded points.
struct ZoneNode {
    int kind = 0;
    int zone_id = 0;
    int area = 0;
    std::vector<ZonePoint> points;
};

constexpr int ZONE_BEARINGS = 1000;
constexpr int ZONE_STEPS = 8190;           // step s stands for 8 x s millimetres
constexpr int ZONE_POLAR_ENTRY = 12;       // three ranges of two u16
constexpr int ZONE_POLAR_USED = ZONE_BEARINGS * ZONE_POLAR_ENTRY; // 12000 of 0x3000 bytes

// Round to the nearest integer, halves away from zero, saturated to 32 bits (NaN gives 0).
int32_t zone_round(double v);

// The nodes of a table, in record order; records of an unknown kind make none. Polygons keep
// at most 20 vertices.
std::vector<ZoneNode> make_zone_nodes(const zones &table);

// Writes the definition block (960 bytes, zero-filled by the caller) of `zone_id`: one entry
// per node of that id, packed, until the first entry that does not fit. A polygon without
// vertices writes no entry.
void write_zone_def_block(const std::vector<ZoneNode> &nodes, int zone_id, uint8_t *block);

// Rasterises the nodes of `zone_id` into a polar table of ZONE_POLAR_USED bytes that the
// caller has zero-filled.
void rasterise_zone(const std::vector<ZoneNode> &nodes, int zone_id, uint8_t *table);

} // namespace ZONEALARM
