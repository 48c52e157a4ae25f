#include "lhframe.h"
#include "zonemonitor.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A 514-byte list whose slot i holds object id 10 + i, class i - 1, sizes and centres from i.
std::vector<uint8_t> object_list(uint8_t count)
{
    std::vector<uint8_t> msg(514, 0);
    msg[0] = count;
    msg[1] = 0xEE;
    for (int i = 0; i < 16; ++i) {
        uint8_t *o = &msg[2 + 32 * i];
        o[0] = uint8_t(10 + i);
        wr_u32(o + 1, uint32_t(i - 1));
        o[5] = uint8_t(i & 7);
        o[6] = 0xAB;
        for (int k = 0; k < 6; ++k)
            wr_f32(o + 8 + 4 * k, float(i) + 0.5f * float(k + 1));
    }
    return msg;
}

} // namespace

TEST(ZoneMonitor, ObjectListTakesTheFirstCountObjects)
{
    struct Case {
        uint8_t count;
        size_t expected;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{3, 3}, Case{16, 16}, Case{17, 16}, Case{255, 16}}) {
        SCOPED_TRACE(int(c.count));
        const auto msg = object_list(c.count);
        std::vector<TrackedObject> objects{TrackedObject{}};
        ASSERT_TRUE(object_list_decode(msg.data(), msg.size(), &objects));
        ASSERT_EQ(objects.size(), c.expected);
        for (size_t i = 0; i < objects.size(); ++i) {
            const TrackedObject o = objects[i];
            const uint8_t id = o.id;
            const int32_t cls = o.class_index;
            const uint8_t flags = o.alarm_flags;
            const float length = o.length, width = o.width, height = o.height;
            const float cx = o.center_x, cy = o.center_y, cz = o.center_z;
            EXPECT_EQ(id, 10 + i);
            EXPECT_EQ(cls, int32_t(i) - 1);
            EXPECT_EQ(flags, i & 7);
            EXPECT_FLOAT_EQ(length, float(i) + 0.5f);
            EXPECT_FLOAT_EQ(width, float(i) + 1.0f);
            EXPECT_FLOAT_EQ(height, float(i) + 1.5f);
            EXPECT_FLOAT_EQ(cx, float(i) + 2.0f);
            EXPECT_FLOAT_EQ(cy, float(i) + 2.5f);
            EXPECT_FLOAT_EQ(cz, float(i) + 3.0f);
        }
    }
}

TEST(ZoneMonitor, RecordsOfAnyOtherSizeAreRefused)
{
    for (size_t len : {size_t(0), size_t(2), size_t(308), size_t(513), size_t(515)}) {
        SCOPED_TRACE(len);
        std::vector<uint8_t> msg(len, 1);
        std::vector<TrackedObject> objects(3);
        EXPECT_FALSE(object_list_decode(msg.data(), msg.size(), &objects));
        EXPECT_TRUE(objects.empty());
    }
    for (size_t len : {size_t(0), size_t(8), size_t(307), size_t(309), size_t(514)}) {
        SCOPED_TRACE(len);
        std::vector<uint8_t> msg(len, 1);
        EXPECT_FALSE(zone_alarm_decode(msg.data(), msg.size(), nullptr));
    }
    EXPECT_FALSE(object_list_decode(nullptr, 514, nullptr));
    EXPECT_FALSE(zone_alarm_decode(nullptr, 308, nullptr));
}

TEST(ZoneMonitor, ZoneAlarmFields)
{
    std::vector<uint8_t> msg(308, 0xFF);
    msg[2] = 9;
    wr_u32(&msg[4], ZONE_FLAG_OBSERVE | ZONE_FLAG_ALARM);
    ZoneAlarmMsg z{};
    ASSERT_TRUE(zone_alarm_decode(msg.data(), msg.size(), &z));
    const uint8_t zone = z.zone_id;
    const uint32_t flags = z.alarm_flags;
    EXPECT_EQ(zone, 9);
    EXPECT_EQ(flags, 5u);

    // Zone ids outside 0..15 name no zone: the record is refused. A box posts its "LMSG"
    // datagrams whole, so their byte 2 is the "S" of the magic.
    for (uint8_t id : {uint8_t(15), uint8_t(16), uint8_t('S'), uint8_t(255)}) {
        msg[2] = id;
        EXPECT_EQ(zone_alarm_decode(msg.data(), msg.size(), &z), id < 16) << int(id);
    }
}
