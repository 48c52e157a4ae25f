#include "userpointdata.h"

#include <gtest/gtest.h>

#include <cstddef>

TEST(Records, UserPointDataIsPacked)
{
    EXPECT_EQ(sizeof(UserPointData), 23u);
    EXPECT_EQ(offsetof(UserPointData, intensity), 12u);
    EXPECT_EQ(offsetof(UserPointData, distance), 14u);
    EXPECT_EQ(offsetof(UserPointData, depth), 18u);
    EXPECT_EQ(offsetof(UserPointData, deep_field), 20u);
    EXPECT_EQ(offsetof(UserPointData, selected), 22u);

    UserPointData vimo;
    vimo.x = 1.f;
    vimo.intensity = 200;
    EXPECT_EQ(float(vimo.distance), 0.f);
    EXPECT_EQ(int(vimo.depth), 0);
    EXPECT_EQ(int(vimo.deep_field), 0);
    EXPECT_EQ(int(vimo.selected), 0);
}

TEST(Records, MessageTitles)
{
    const std::pair<int, const char *> titles[] = {
        {1, "debug infomation"}, {2, "warm infomation"}, {3, "error infomation"}, {4, "run state"},
        {5, ""}, {6, ""}, {7, "zone monitor"}, {8, "firmware motor upgrades"},
        {9, "firmware mcu upgrades"}, {10, "detect zone  upgrades"}, {11, ""},
        {12, "model upgrades"}, {13, ""}, {14, "algorithm info upgrades"}, {15, ""},
        {16, "cmd infomation"}, {17, ""}, {18, "lidar type"}, {19, ""}, {20, ""}, {21, ""},
        {22, "log infomation"}, {23, ""}, {24, ""}, {25, "system reboot"}, {26, ""}, {0, ""},
        {-1, ""},
    };
    for (const auto &t : titles)
        EXPECT_EQ(msg_type_text(t.first), QString(t.second)) << t.first;
}

TEST(Records, ModelNames)
{
    const std::pair<int, const char *> names[] = {
        {0, "LDS-Fenk-U"}, {1, "LDS-Raxo-E"}, {2, "LDS-Raxo-S"}, {3, "LDS-Vimo-E"},
        {4, "Algorithm Box"}, {5, "Unknown lidar model"}, {6, ""}, {-1, ""},
    };
    for (const auto &n : names)
        EXPECT_EQ(lidar_type_name(n.first), QString(n.second)) << n.first;
}

// The models as the sensors' heartbeats spell them; the box and the rest have none.
TEST(Records, ModelWireNames)
{
    const std::pair<int, const char *> names[] = {
        {0, "LDS-Fenk-U"}, {1, "LDS-Raxo-E"}, {2, "LDS-Raxo-S"}, {3, "LDS-Vimo-E"},
        {4, nullptr}, {5, nullptr}, {6, nullptr}, {-1, nullptr},
    };
    for (const auto &n : names) {
        if (n.second == nullptr) {
            EXPECT_EQ(lidar_wire_name(n.first), nullptr) << n.first;
        } else {
            EXPECT_STREQ(lidar_wire_name(n.first), n.second) << n.first;
        }
    }
}
