// The fast rasteriser against the literal one: byte-identical polar tables on random tables of
// every kind of shape, including the awkward ones (shapes through the sensor, vertices on the
// probe points, reversed and degenerate shapes, far-reaching sectors, self-crossing polygons).

#include "lhframe.h"
#include "zonealarm.h"
#include "zoneraster_reference.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sstream>

using namespace ZONEALARM;

namespace {

class TableMaker {
public:
    explicit TableMaker(uint32_t seed) : rng_(seed) {}

    zones make(int max_shapes, int zone_ids)
    {
        zones t;
        t.count = uni(1, max_shapes);
        for (int i = 0; i < t.count; ++i)
            t.shapes[i] = shape(uni(0, zone_ids - 1));
        return t;
    }

private:
    int uni(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng_); }
    bool chance(int percent) { return uni(0, 99) < percent; }

    // A coordinate: often snapped to the 8 mm grid or onto an axis, where the probes lie.
    double coord(int range)
    {
        const int pick = uni(0, 9);
        if (pick == 0)
            return 0;
        double v = uni(-range, range);
        if (pick <= 3)
            v = std::round(v / 8) * 8;
        else if (pick == 4)
            v += 0.5; // a half: rounds away from zero
        return v;
    }

    ZoneShape shape(int zone)
    {
        ZoneShape s;
        s.zone_id = uint8_t(zone);
        s.area = uint8_t(uni(0, 2));
        const int range = chance(20) ? 70000 : 12000;
        const int k = uni(1, 10);
        if (k <= 2) { // rectangle, sometimes reversed or flat
            s.kind = ZONE_RECTANGLE;
            for (int i = 0; i < 4; ++i)
                s.param[i] = coord(range);
            if (chance(10))
                s.param[2] = s.param[0];
            s.point_count = 2;
        } else if (k <= 4) { // ellipse
            s.kind = ZONE_ELLIPSE;
            s.param[0] = coord(range);
            s.param[1] = coord(range);
            s.param[2] = chance(10) ? uni(-200, 200) : uni(0, 2 * range);
            s.param[3] = chance(10) ? uni(-200, 200) : uni(0, 2 * range);
            s.point_count = 2;
        } else if (k <= 6) { // sector, sometimes through north, reversed radii, or past 65 m
            s.kind = ZONE_SECTOR;
            s.param[0] = uni(0, 3600);
            s.param[1] = chance(30) ? uni(0, 7200) : uni(0, 3600);
            if (chance(5))
                s.param[1] = s.param[0];
            s.param[2] = uni(0, chance(20) ? 90000 : 15000);
            s.param[3] = uni(0, chance(20) ? 90000 : 15000);
            s.point_count = 2;
        } else { // polygon or subtractive polygon, 1 to 20 vertices
            s.kind = k <= 8 ? ZONE_POLYGON : ZONE_SUBTRACT;
            const int n = chance(10) ? uni(1, 2) : uni(3, 20);
            const bool star = chance(50);
            const double cx = coord(range / 2), cy = coord(range / 2);
            const double rad = uni(100, range);
            for (int j = 0; j < n; ++j) {
                if (star) { // around a centre, in order: mostly simple
                    const double a = 2 * M_PI * j / n;
                    const double r = rad * (0.3 + 0.7 * uni(0, 100) / 100.0);
                    s.param[2 * j] = std::round(cx + r * std::sin(a));
                    s.param[2 * j + 1] = std::round(cy + r * std::cos(a));
                } else { // anywhere: self-crossing
                    s.param[2 * j] = coord(range);
                    s.param[2 * j + 1] = coord(range);
                }
            }
            s.point_count = n;
        }
        return s;
    }

    std::mt19937 rng_;
};

// The bearing (0..999) nearest an angle in tenths of a degree.
int bearing_of(double tenths)
{
    double a = std::fmod(tenths, 3600.0);
    if (a < 0)
        a += 3600;
    return int(std::lround(a / 3.6)) % 1000;
}

// Bearings worth comparing for a table: the axes (where one of the probe's coordinates is zero or
// all but zero), bearings along the shapes' vertices and sector edges (with a neighbour), and a
// few picked at random; at most 24 in all, so that the literal rasteriser stays affordable.
std::vector<int> bearings_for(const zones &t, std::mt19937 &rng)
{
    std::vector<int> edges;
    const auto add = [&](double tenths) {
        const int k = bearing_of(tenths);
        edges.push_back(k);
        edges.push_back((k + 1) % 1000);
    };
    for (int i = 0; i < t.count; ++i) {
        const ZoneShape &s = t.shapes[i];
        if (s.kind == ZONE_SECTOR) {
            add(s.param[0]);
            add(s.param[1]);
        } else if (s.kind == ZONE_RECTANGLE) {
            add(std::atan2(s.param[1], s.param[0]) * 1800 / M_PI);
            add(std::atan2(s.param[3], s.param[2]) * 1800 / M_PI);
        } else if (s.kind == ZONE_ELLIPSE) {
            add(std::atan2(s.param[0], s.param[1]) * 1800 / M_PI);
        } else {
            for (int j = 0; j < s.point_count && j < 20; ++j)
                add(std::atan2(s.param[2 * j], s.param[2 * j + 1]) * 1800 / M_PI);
        }
    }
    std::shuffle(edges.begin(), edges.end(), rng);
    std::set<int> ks = {0, 250, 500, 750};
    for (size_t i = 0; i < edges.size() && ks.size() < 20; ++i)
        ks.insert(edges[i]);
    std::uniform_int_distribution<int> any(0, 999);
    while (ks.size() < 24)
        ks.insert(any(rng));
    return std::vector<int>(ks.begin(), ks.end());
}

std::string describe(const zones &t)
{
    std::ostringstream o;
    for (int i = 0; i < t.count; ++i) {
        const ZoneShape &s = t.shapes[i];
        o << "  kind " << s.kind << " zone " << int(s.zone_id) << " area " << int(s.area) << " n "
          << s.point_count << ":";
        const int np = (s.kind == 1 || s.kind == 5) ? 2 * s.point_count : 4;
        for (int j = 0; j < np && j < 40; ++j)
            o << " " << s.param[j];
        o << "\n";
    }
    return o.str();
}

std::string entry_text(const uint8_t *e)
{
    std::ostringstream o;
    for (int i = 0; i < 3; ++i)
        o << "[" << std::hex << rd_u16(e + 4 * i) << "," << std::dec << rd_u16(e + 4 * i + 2) << "]";
    return o.str();
}

// Compares the listed bearings (all when empty) of every zone id in use.
::testing::AssertionResult same_tables(const zones &t, const std::vector<int> &bearings, int zone_ids)
{
    ZoneAlarm z;
    z.buildZoneImage(t);
    for (int id = 0; id < zone_ids; ++id) {
        bool used = false;
        for (int i = 0; i < t.count; ++i)
            used = used || t.shapes[i].zone_id == id;
        if (!used)
            continue;
        const std::vector<uint8_t> ref = zoneref::polar_table(t, id, bearings);
        const uint8_t *fast = z.getZoneImage() + 0x4000 + 0x3000 * id;
        std::vector<int> ks = bearings;
        if (ks.empty())
            for (int k = 0; k < 1000; ++k)
                ks.push_back(k);
        for (int k : ks) {
            if (memcmp(fast + 12 * k, ref.data() + 12 * k, 12) != 0)
                return ::testing::AssertionFailure()
                       << "zone " << id << " bearing " << k << ": fast " << entry_text(fast + 12 * k)
                       << " reference " << entry_text(ref.data() + 12 * k) << "\n" << describe(t);
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace

// 300 tables of 1 to 8 shapes over four zone ids, in blocks of 30 that run side by side.
class ZoneRasterRandom : public ::testing::TestWithParam<int> {};

TEST_P(ZoneRasterRandom, TablesMatchTheLiteralRasteriser)
{
    const uint32_t first = uint32_t(GetParam()) * 30 + 1;
    std::mt19937 pick(first);
    for (uint32_t seed = first; seed < first + 30; ++seed) {
        TableMaker maker(seed);
        const zones t = maker.make(8, 4);
        ASSERT_TRUE(same_tables(t, bearings_for(t, pick), 4)) << "seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ZoneRasterRandom, ::testing::Range(0, 10));

TEST(ZoneRaster, WholeTablesMatchTheLiteralRasteriser)
{
    for (uint32_t seed = 1001; seed <= 1004; ++seed) {
        TableMaker maker(seed);
        const zones t = maker.make(4, 1);
        ASSERT_TRUE(same_tables(t, {}, 1)) << "seed " << seed;
    }
}

TEST(ZoneRaster, ShapesAroundTheSensorAndOnTheAxes)
{
    struct Case {
        const char *what;
        std::vector<double> xy; // polygon vertices (x, y)
    } cases[] = {
        {"square centred on the sensor", {-800, -800, 800, -800, 800, 800, -800, 800}},
        {"square with a corner on the sensor", {0, 0, 800, 0, 800, 800, 0, 800}},
        {"edges on the axes and the grid", {0, 8, 0, 4000, 4000, 4000, 4000, 8}},
        {"needle along +y", {0, 1000, 1, 9000, -1, 9000}},
        {"bow tie", {-3000, 2000, 3000, 6000, 3000, 2000, -3000, 6000}},
        {"two vertices", {-3000, 2000, 3000, 6000}},
        {"one vertex", {100, 2000}},
        {"collinear", {0, 1000, 0, 2000, 0, 3000}},
        {"beyond the last step", {-70000, 60000, 70000, 60000, 70000, 70000, -70000, 70000}},
    };
    for (const Case &c : cases) {
        for (int kind : {ZONE_POLYGON, ZONE_SUBTRACT}) {
            zones t;
            ZoneShape &s = t.shapes[t.count++];
            s.kind = kind;
            s.area = 1;
            s.point_count = int(c.xy.size() / 2);
            for (size_t i = 0; i < c.xy.size(); ++i)
                s.param[i] = c.xy[i];
            // Something for the subtraction to cut.
            t.shapes[t.count++] = make_default_shape(ZONE_SECTOR, 0, 2);
            t.shapes[t.count - 1].param[0] = 3000;
            t.shapes[t.count - 1].param[1] = 900;
            t.shapes[t.count - 1].param[2] = 60000;
            t.shapes[t.count - 1].param[3] = 10;
            std::vector<int> ks;
            for (int k = 0; k < 1000; k += 7)
                ks.push_back(k);
            for (int k : {0, 1, 124, 125, 126, 249, 250, 251, 375, 499, 500, 501, 625, 749, 750, 751, 875, 998, 999})
                ks.push_back(k);
            EXPECT_TRUE(same_tables(t, ks, 1)) << c.what << " kind " << kind;
        }
    }
}

TEST(ZoneRaster, FullTablesOfLargeShapesMatch)
{
    // 64 shapes of up to 40 m around the sensor, four per zone id: every bearing crosses them
    // from the first steps to the last.
    zones t;
    for (int i = 0; i < 64; ++i) {
        ZoneShape &s = t.shapes[t.count++];
        s.zone_id = uint8_t(i % 16);
        s.area = uint8_t(i % 3);
        s.point_count = 2;
        const double p[4][4] = {{100.0 * i, -50.0 * i, 80000, 76000},
                                {-38000, -39000, 39000.0 - i, 37000},
                                {10.0 * i, 3590, 40000 + 100.0 * i, 500},
                                {0, 0, 0, 0}};
        const int k = (i / 16) % 4;
        s.kind = k == 0 ? ZONE_ELLIPSE : k == 1 ? ZONE_RECTANGLE : k == 2 ? ZONE_SECTOR : ZONE_POLYGON;
        for (int j = 0; j < 4; ++j)
            s.param[j] = p[k][j];
        if (k == 3) {
            s.kind = i % 2 ? ZONE_SUBTRACT : ZONE_POLYGON;
            s.point_count = 20;
            for (int j = 0; j < 20; ++j) {
                const double a = 2 * M_PI * j / 20, r = (j % 2 ? 0.5 : 1.0) * (20000 + 300.0 * i);
                s.param[2 * j] = std::round(r * std::sin(a));
                s.param[2 * j + 1] = std::round(r * std::cos(a));
            }
        }
    }
    std::vector<int> ks;
    for (int k = 0; k < 1000; k += 37)
        ks.push_back(k);
    for (int k : {250, 500, 750, 999})
        ks.push_back(k);
    EXPECT_TRUE(same_tables(t, ks, 16));
}
