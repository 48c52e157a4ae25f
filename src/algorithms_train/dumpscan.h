#pragma once
// The detector's input from a recorded dump file: the Raxo point packets (byte 3 is 14) and IMU
// packets (byte 3 is 4) among its records, in file order.

#include <cstddef>
#include <cstdint>
#include <vector>

struct DumpPackets {
    std::vector<std::vector<uint8_t>> points;
    std::vector<std::vector<uint8_t>> imu;
};

// Cuts the records out of a dump file's bytes. Only a header whose length byte is 20 is taken
// as a record; anything else (a corrupt byte, a foreign header) is stepped over one byte at a
// time, so no record can stall the scan. A record running past the end ends it; the record
// type and time are not looked at.
DumpPackets scan_dump(const uint8_t *data, size_t len);
