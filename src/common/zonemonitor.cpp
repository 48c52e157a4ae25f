#include "zonemonitor.h"

#include "viewrange.h"

#include <algorithm>
#include <cstring>

static_assert(offsetof(TrackedObject, class_index) == 1, "");
static_assert(offsetof(TrackedObject, alarm_flags) == 5, "");
static_assert(offsetof(TrackedObject, length) == 8, "");
static_assert(offsetof(TrackedObject, width) == 12, "");
static_assert(offsetof(TrackedObject, height) == 16, "");
static_assert(offsetof(TrackedObject, center_x) == 20, "");
static_assert(offsetof(TrackedObject, center_y) == 24, "");
static_assert(offsetof(TrackedObject, center_z) == 28, "");
static_assert(offsetof(ObjectListMsg, objects) == 2, "");
static_assert(offsetof(ZoneAlarmMsg, zone_id) == 2, "");
static_assert(offsetof(ZoneAlarmMsg, alarm_flags) == 4, "");

bool object_list_decode(const uint8_t *data, size_t length, std::vector<TrackedObject> *out)
{
    if (out != nullptr)
        out->clear();
    if (data == nullptr || length != OBJECT_LIST_MSG_SIZE)
        return false;
    const size_t count = std::min<size_t>(data[0], OBJECT_LIST_MAX);
    if (out != nullptr) {
        out->reserve(count);
        for (size_t i = 0; i < count; ++i) {
            TrackedObject o;
            std::memcpy(&o, data + offsetof(ObjectListMsg, objects) + i * TRACKED_OBJECT_SIZE,
                        TRACKED_OBJECT_SIZE);
            // An object no view could place or size is left out, the rest of the list kept.
            if (tracked_object_ok(o))
                out->push_back(o);
        }
    }
    return true;
}

bool zone_alarm_decode(const uint8_t *data, size_t length, ZoneAlarmMsg *out)
{
    if (data == nullptr || length != ZONE_ALARM_MSG_SIZE)
        return false;
    if (data[offsetof(ZoneAlarmMsg, zone_id)] >= ZONE_COUNT)
        return false;
    if (out != nullptr)
        std::memcpy(out, data, sizeof(*out));
    return true;
}
