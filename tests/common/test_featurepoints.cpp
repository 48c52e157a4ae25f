// The selection-limit record's inside rule, against points whose angles are known exactly.

#include "featurepoints.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

FeaturePoints openLimits()
{
    FeaturePoints f;
    f.enable = true;
    f.x.min = f.y.min = f.z.min = -FLT_MAX;
    f.x.max = f.y.max = f.z.max = FLT_MAX;
    return f;
}

struct Point {
    float x, y, z;
};

} // namespace

TEST(FeaturePoints, DegreesRoundAsTheProgramRoundsThem)
{
    // The single-precision product then the double division, narrowed: written out here.
    for (float x : {1.0f, -3.0f, 0.25f, 7.5f})
        for (float y : {1.0f, -2.0f, 0.0f, 4.0f}) {
            const float rad = std::atan2(y, x);
            const float expected = float(double(rad * 180.0f) / 3.1415926535898);
            EXPECT_EQ(horizontal_angle_degrees(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(horizontal_angle_degrees(1.0f, 1.0f), 45.0f);
    EXPECT_EQ(horizontal_angle_degrees(1.0f, -1.0f), -45.0f);
    EXPECT_EQ(horizontal_angle_degrees(-1.0f, 0.0f), 180.0f);
    EXPECT_EQ(vertical_angle_degrees(3.0f, 4.0f, 5.0f), 45.0f);
    EXPECT_EQ(vertical_angle_degrees(0.0f, 0.0f, -2.0f), -90.0f);
}

TEST(FeaturePoints, InsideRule)
{
    struct Case {
        const char *what;
        FeaturePoints limits;
        Point p;
        bool inside;
    };
    FeaturePoints box = openLimits();
    box.x.min = -1.0f;
    box.x.max = 2.0f;
    box.y.min = 0.0f; // 0 is a bound like any other in the box
    box.y.max = 3.0f;
    box.z.min = -0.5f;
    box.z.max = 0.5f;
    FeaturePoints disabled = box;
    disabled.enable = false;
    FeaturePoints everything = openLimits();
    everything.enable = false;

    FeaturePoints h45 = openLimits();
    h45.horizontal_min = -45.0f;
    h45.horizontal_max = 45.0f;
    FeaturePoints upTo45 = openLimits(); // 0 to 45: the 0 is no lower bound
    upTo45.horizontal_max = 45.0f;
    FeaturePoints v = openLimits();
    v.vertical_min = -10.0f;
    v.vertical_max = 45.0f;
    FeaturePoints negOnly = openLimits();
    negOnly.horizontal_max = -90.0f;

    const Case cases[] = {
        {"box interior", box, {0.5f, 1.0f, 0.0f}, true},
        {"box corner, all bounds inclusive", box, {2.0f, 3.0f, 0.5f}, true},
        {"box lower corner", box, {-1.0f, 0.0f, -0.5f}, true},
        {"just past x max", box, {std::nextafter(2.0f, 3.0f), 1.0f, 0.0f}, false},
        {"y below a bound of 0", box, {0.5f, -0.001f, 0.0f}, false},
        {"z above", box, {0.5f, 1.0f, 0.6f}, false},
        {"enable false, inside the box", disabled, {0.5f, 1.0f, 0.0f}, false},
        {"enable false, open limits", everything, {0.0f, 0.0f, 0.0f}, false},
        {"open limits", openLimits(), {1e30f, -1e30f, 5.0f}, true},
        {"NaN is never inside", openLimits(), {NAN, 0.0f, 0.0f}, false},
        {"azimuth 45 on the bound", h45, {10.0f, 10.0f, -3.0f}, true},
        {"azimuth -45 on the bound", h45, {0.01f, -0.01f, 7.0f}, true},
        {"azimuth 0", h45, {100.0f, 0.0f, 0.0f}, true},
        {"azimuth 46", h45, {1.0f, std::tan(46.0f * 3.14159265f / 180.0f), 0.0f}, false},
        {"azimuth -90", h45, {0.0f, -1.0f, 0.0f}, false},
        {"behind", h45, {-1.0f, 0.0f, 0.0f}, false},
        {"0..45 takes -170", upTo45, {-1.0f, -0.17633f, 0.0f}, true},
        {"0..45 rejects 60", upTo45, {1.0f, 1.7320508f, 0.0f}, false},
        {"vertical 45 on the bound", v, {3.0f, 4.0f, 5.0f}, true},
        {"vertical -10 inside", v, {1.0f, 0.0f, -0.1f}, true},
        {"vertical -30 below", v, {1.0f, 0.0f, -0.6f}, false},
        {"vertical 60 above", v, {1.0f, 0.0f, 1.8f}, false},
        {"max -90 only", negOnly, {0.0f, -1.0f, 0.0f}, true},
        {"max -90 rejects -80", negOnly, {0.2f, -1.0f, 0.0f}, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(feature_points_inside(c.limits, c.p.x, c.p.y, c.p.z), c.inside) << c.what;
}
