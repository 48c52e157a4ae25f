#include "colorhelpers.h"
#include "dirhelpers.h"
#include "floatstats.h"
#include "testsupport.h"
#include "texthelpers.h"
#include "timehelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {
int64_t chrono_ms()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}
} // namespace

TEST(Time, MillisecondMarkKeepsTheMilliseconds)
{
    for (int i = 0; i < 50; ++i) {
        const int64_t before = chrono_ms();
        TimeSecMs a;
        const int64_t mark = time_now_sec_ms(&a, true);
        const int64_t after = chrono_ms();
        EXPECT_LE(before, mark);
        EXPECT_LE(mark, after);
        EXPECT_EQ(mark, int64_t(a.sec) * 1000 + a.ms);
        EXPECT_LT(a.ms, 1000u);
    }
    TimeSecMs a;
    const int64_t secs = time_now_sec_ms(&a, false);
    EXPECT_EQ(secs, int64_t(a.sec));

    TimeSecMs ms;
    TimeSecUs us;
    time_now_timeval(&ms, &us);
    EXPECT_EQ(ms.sec, us.sec);
    EXPECT_EQ(us.usec, ms.ms * 1000);
}

TEST(Time, StampIsLocalTime)
{
    auto expected = [] {
        const time_t now = time(nullptr);
        tm t{};
        localtime_r(&now, &t);
        char buf[32];
        strftime(buf, sizeof(buf), "%Y%m%d_%H%M%S", &t);
        return std::string(buf);
    };
    const std::string before = expected();
    const std::string stamp = time_stamp_string();
    const std::string after = expected();
    EXPECT_TRUE(std::regex_match(stamp, std::regex("[0-9]{8}_[0-9]{6}"))) << stamp;
    EXPECT_TRUE(stamp == before || stamp == after) << stamp;
}

TEST(Dirs, MakeRenameList)
{
    const std::string base = testsupport::make_temp_subdir("dirs");
    const std::string deep = base + "/logdata/2024_3_5_9_4_7/20240305_090407";
    ASSERT_TRUE(fs::path(deep).is_absolute());
    EXPECT_TRUE(make_dirs(deep));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(make_dirs(deep + "/")) << "existing folder";
    EXPECT_FALSE(make_dirs(""));

    // a regular file in the way cannot become a folder
    std::ofstream(base + "/plainfile") << "x";
    EXPECT_FALSE(make_dirs(base + "/plainfile/sub"));

    EXPECT_TRUE(rename_path(base + "/logdata", base + "/logdata-renamed"));
    EXPECT_FALSE(rename_path(base + "/logdata", base + "/again"));
    fs::create_directory(base + "/b");
    std::vector<std::string> subs;
    list_subdirs(base + "/", subs);
    std::sort(subs.begin(), subs.end());
    EXPECT_EQ(subs, (std::vector<std::string>{"b", "logdata-renamed"}));

    EXPECT_EQ(join_path("a", "b"), "a/b");
    EXPECT_EQ(join_path("a/", "b"), "a/b");
    EXPECT_EQ(join_path("a/", "/b"), "a/b");
    EXPECT_EQ(join_path("a", "/b"), "a/b");
}

TEST(Dirs, FilesInSharedFoldersDoNotFollowLinks)
{
    const std::string base = testsupport::make_temp_subdir("links");
    const std::string victim = base + "/victim";
    std::ofstream(victim) << "precious";
    const std::string planted = base + "/QuorvelView3D.ini";
    fs::create_symlink(victim, planted);

    EXPECT_FALSE(create_empty_file(planted)) << "a link is not a settings file";
    EXPECT_TRUE(write_file_replace(planted, "new", 3));
    EXPECT_FALSE(fs::is_symlink(planted));
    EXPECT_EQ(testsupport::read_file(planted), (std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(testsupport::read_file(victim).size(), 8u) << "the link target is untouched";

    const std::string fresh = base + "/fresh.ini";
    EXPECT_TRUE(create_empty_file(fresh));
    EXPECT_EQ(fs::file_size(fresh), 0u);
    EXPECT_TRUE(create_empty_file(fresh)) << "an existing file is kept";
}

TEST(Stats, FloatStats)
{
    const FloatStats s = float_stats({1, 2, 3, 4});
    EXPECT_FLOAT_EQ(s.min, 1);
    EXPECT_FLOAT_EQ(s.max, 4);
    EXPECT_FLOAT_EQ(s.mean, 2.5);
    EXPECT_NEAR(s.stddev, 1.1180340, 1e-6);
    EXPECT_EQ(s.count, 4);

    const FloatStats e = float_stats({});
    EXPECT_EQ(e.count, 0);
    EXPECT_TRUE(std::isnan(e.mean));
    EXPECT_TRUE(std::isnan(e.stddev));
    EXPECT_EQ(e.min, 2147483648.0f);
    EXPECT_EQ(e.max, -2147483648.0f);

    EXPECT_EQ(zero_to_flt_max(0.f, true), FLT_MAX);
    EXPECT_EQ(zero_to_flt_max(0.f, false), -FLT_MAX);
    EXPECT_EQ(zero_to_flt_max(-0.f, true), FLT_MAX);
    EXPECT_EQ(zero_to_flt_max(2.5f, true), 2.5f);
    EXPECT_TRUE(std::isnan(zero_to_flt_max(NAN, true)));
}

TEST(Colours, Ramps)
{
    struct Case {
        int v;
        double r, g, b;
    } ramp[] = {{0, 0, 0, 255}, {127, 0, 254, 1}, {128, 0, 255, 0}, {129, 2, 253, 0}, {255, 254, 1, 0}};
    for (const auto &c : ramp) {
        double rgb[3];
        value_to_rgb(c.v, rgb);
        EXPECT_EQ(rgb[0], c.r) << c.v;
        EXPECT_EQ(rgb[1], c.g) << c.v;
        EXPECT_EQ(rgb[2], c.b) << c.v;
    }

    double rgb[3];
    hsv_to_rgb(120, 1, 1, rgb);
    EXPECT_EQ(rgb[0], 0);
    EXPECT_EQ(rgb[1], 255);
    EXPECT_EQ(rgb[2], 0);

    value_to_hue_rgb(3, 3, 5, rgb);
    EXPECT_EQ(rgb[0], 128);
    EXPECT_EQ(rgb[1], 128);
    EXPECT_EQ(rgb[2], 128);

    double blue[3], below[3], red[3];
    value_to_hue_rgb(0, 10, 0, blue);
    value_to_hue_rgb(0, 10, -5, below);
    value_to_hue_rgb(0, 10, 10, red);
    EXPECT_EQ(blue[0], 20);
    EXPECT_EQ(blue[1], 20);
    EXPECT_EQ(blue[2], 204);
    EXPECT_EQ(std::vector<double>(below, below + 3), std::vector<double>(blue, blue + 3));
    EXPECT_EQ(red[0], 204);
    EXPECT_EQ(red[1], 20);
    EXPECT_EQ(red[2], 20);
}

// "Color" reaches the 2D view only as three channels of 0 to 255; anything else keeps the
// caller's default instead of reading past the parts there are.
TEST(Colours, ColourSetting)
{
    struct Case {
        const char *text;
        bool ok;
        int r, g, b;
    } cases[] = {
        {"10|20|30", true, 10, 20, 30},
        {"0|0|0", true, 0, 0, 0},
        {"255|255|255", true, 255, 255, 255},
        {"a|b|c", true, 0, 0, 0}, // not a number reads 0
        {" 7| 8 |9", true, 7, 8, 9},
        {"10|20", false, 0, 0, 0},
        {"10", false, 0, 0, 0},
        {"", false, 0, 0, 0},
        {"10|20|30|40", false, 0, 0, 0},
        {"10|300|30", false, 0, 0, 0},
        {"10|20|99999999999999999999", false, 0, 0, 0},
        {"||", true, 0, 0, 0},
    };
    for (const auto &c : cases) {
        int rgb[3] = {-1, -1, -1};
        EXPECT_EQ(parse_color_setting(c.text, rgb), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(std::vector<int>(rgb, rgb + 3), std::vector<int>({c.r, c.g, c.b})) << c.text;
        } else {
            EXPECT_EQ(std::vector<int>(rgb, rgb + 3), std::vector<int>({-1, -1, -1})) << c.text;
        }
    }
}

TEST(Text, TrimVersionString)
{
    const char model[16] = "LDS-Raxo-E";
    EXPECT_EQ(trim_version_string(model, 16), "LDS-Raxo-E");
    const char serial[20] = {'S', 'N', '2', '0', '2', '4', '0', '3', '0', '5',
                             '_', 'A', 'B', 'C', ':', '1', '.', '2', '/', '3'};
    EXPECT_EQ(trim_version_string(serial, 20), std::string(serial, 20))
        << "a full field has no padding to stop at";
    const unsigned char junk[6] = {'V', '1', 0xFF, 'x', 'y', 0};
    EXPECT_EQ(trim_version_string(junk, 6), "V1");
    EXPECT_EQ(trim_version_string(model, 0), "");
}
