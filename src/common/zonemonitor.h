#pragma once
// What a Raxo sensor's zone monitor reports (and the algorithm box forwards): the list of
// tracked objects (514 bytes) and the alarm state of its zones (308 bytes). The structs are
// the wire layouts (little-endian host); read them only through the decode functions, which
// check the size first.
//
// Packed fields may sit at odd addresses: copy them into locals before binding references.

#include <cstddef>
#include <cstdint>
#include <vector>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the zone-monitor records are read in place and need a little-endian host"
#endif

constexpr size_t TRACKED_OBJECT_SIZE = 32;
constexpr size_t OBJECT_LIST_MAX = 16;
constexpr size_t OBJECT_LIST_MSG_SIZE = 514;
constexpr size_t ZONE_ALARM_MSG_SIZE = 308;
constexpr uint8_t ZONE_COUNT = 16; // zone ids 0 to 15

// Alarm flag bits of an object and of a zone.
constexpr uint32_t ZONE_FLAG_OBSERVE = 0x1;
constexpr uint32_t ZONE_FLAG_WARNING = 0x2;
constexpr uint32_t ZONE_FLAG_ALARM = 0x4;

#pragma pack(push, 1)
struct TrackedObject {
    uint8_t id;          // key of the 3D marker, first column of the object table
    int32_t class_index; // index into the detector's model names
    uint8_t alarm_flags; // bit 0 observe, bit 1 warning, bit 2 alarm
    uint8_t reserved6[2];
    float length;        // box size in metres: along x, y, z
    float width;
    float height;
    float center_x;      // box centre in the sensor's frame, metres
    float center_y;
    float center_z;
};

struct ObjectListMsg {
    uint8_t count;       // valid entries; more than 16 means 16
    uint8_t reserved1;
    TrackedObject objects[OBJECT_LIST_MAX];
};

struct ZoneAlarmMsg {
    uint8_t reserved0[2];
    uint8_t zone_id;     // the zone set the device reports as active, 0 to 15
    uint8_t reserved3;
    uint32_t alarm_flags;
    uint8_t reserved8[300];
};
#pragma pack(pop)

static_assert(sizeof(TrackedObject) == TRACKED_OBJECT_SIZE, "TrackedObject is 32 bytes");
static_assert(sizeof(ObjectListMsg) == OBJECT_LIST_MSG_SIZE, "ObjectListMsg is 514 bytes");
static_assert(sizeof(ZoneAlarmMsg) == ZONE_ALARM_MSG_SIZE, "ZoneAlarmMsg is 308 bytes");

// The valid objects of a 514-byte list (a count above 16 counts as 16), without those whose
// centre or size is not a number or out of any view's range (tracked_object_ok). False, with
// `out` emptied, for any other length.
bool object_list_decode(const uint8_t *data, size_t length, std::vector<TrackedObject> *out);

// A 308-byte zone alarm record. False for any other length, and when its zone id is not one of
// the zones 0 to 15: such a record (a corrupt one, or a box "LMSG" posting read from its magic)
// names no zone any reader could show.
bool zone_alarm_decode(const uint8_t *data, size_t length, ZoneAlarmMsg *out);
