#pragma once
// The zone rasteriser written out literally: every 8 mm step of every bearing is probed against
// every shape of the zone. Far too slow for the receiver thread (seconds per ellipse), kept as
// the reference the real rasteriser must match byte for byte.

#include "zonetable.h"

#include <cstdint>
#include <vector>

namespace zoneref {

// Polar table of `zone_id` (1000 entries of 12 bytes) for `table`. Only the bearings listed
// are computed (all 1000 when the list is empty); the others stay zero.
std::vector<uint8_t> polar_table(const ZONEALARM::zones &table, int zone_id,
                                 const std::vector<int> &bearings = {});

} // namespace zoneref
