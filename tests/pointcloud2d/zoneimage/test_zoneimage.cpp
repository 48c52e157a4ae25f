// The device zone image: header and checks, definition entries, polar ranges, decoding, and
// table -> image -> table round trips.

#include "checksum.h"
#include "lhframe.h"
#include "zonealarm.h"
#include "zoneraster_reference.h"

#include <QCoreApplication>
#include <cmath>
#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace ZONEALARM;

namespace {

constexpr uint32_t SIZE = 0x34000;

ZoneShape rect(double b, double l, double t, double r, int zone = 0, int area = 2)
{
    ZoneShape s;
    s.kind = ZONE_RECTANGLE;
    s.zone_id = uint8_t(zone);
    s.area = uint8_t(area);
    s.param[0] = b;
    s.param[1] = l;
    s.param[2] = t;
    s.param[3] = r;
    s.point_count = 2;
    return s;
}

ZoneShape sector(double start, double end, double far_r, double near_r, int zone = 0, int area = 2)
{
    ZoneShape s = rect(start, end, far_r, near_r, zone, area);
    s.kind = ZONE_SECTOR;
    return s;
}

ZoneShape ellipse(double cx, double cy, double w, double h, int zone = 0, int area = 2)
{
    ZoneShape s = rect(cx, cy, w, h, zone, area);
    s.kind = ZONE_ELLIPSE;
    return s;
}

// Vertices as (x, y) pairs.
ZoneShape polygon(std::vector<std::pair<double, double>> xy, int zone = 0, int area = 2, int kind = ZONE_POLYGON)
{
    ZoneShape s;
    s.kind = kind;
    s.zone_id = uint8_t(zone);
    s.area = uint8_t(area);
    for (size_t j = 0; j < xy.size(); ++j) {
        s.param[2 * j] = xy[j].first;
        s.param[2 * j + 1] = xy[j].second;
    }
    s.point_count = int(xy.size());
    return s;
}

zones table_of(std::vector<ZoneShape> shapes)
{
    zones t;
    for (const ZoneShape &s : shapes)
        t.shapes[t.count++] = s;
    return t;
}

const uint8_t *block(const ZoneAlarm &z, int id)
{
    return z.getZoneImage() + 0x400 + 960 * id;
}

const uint8_t *polar(const ZoneAlarm &z, int id, int k)
{
    return z.getZoneImage() + 0x4000 + 0x3000 * id + 12 * k;
}

struct R {
    uint16_t start, end;
    bool operator==(const R &o) const { return start == o.start && end == o.end; }
};

std::vector<R> ranges(const ZoneAlarm &z, int id, int k)
{
    std::vector<R> v;
    const uint8_t *e = polar(z, id, k);
    for (int i = 0; i < 3; ++i)
        if (rd_u16(e + 4 * i) != 0 || rd_u16(e + 4 * i + 2) != 0)
            v.push_back({rd_u16(e + 4 * i), rd_u16(e + 4 * i + 2)});
    return v;
}

std::string dump(const std::vector<R> &v)
{
    std::string s;
    for (const R &r : v)
        s += "[" + std::to_string(r.start) + "," + std::to_string(r.end) + "]";
    return s;
}

std::vector<int32_t> entry_values(const uint8_t *e)
{
    std::vector<int32_t> v;
    for (int j = 0; j < e[3]; ++j)
        v.push_back(int32_t(rd_u32(e + 4 + 4 * j)));
    return v;
}

bool all_zero(const uint8_t *p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

// The polar area of every zone id equals the literal rasteriser's.
void expect_matches_reference(const ZoneAlarm &z, const zones &t)
{
    for (int id = 0; id < 16; ++id) {
        bool used = false;
        for (int i = 0; i < t.count; ++i)
            used = used || t.shapes[i].zone_id == id;
        if (!used) {
            EXPECT_TRUE(all_zero(polar(z, id, 0), 0x3000)) << "zone " << id;
            continue;
        }
        const std::vector<uint8_t> ref = zoneref::polar_table(t, id);
        for (int k = 0; k < 1000; ++k)
            ASSERT_EQ(0, memcmp(polar(z, id, k), ref.data() + 12 * k, 12)) << "zone " << id << " bearing " << k;
        EXPECT_TRUE(all_zero(polar(z, id, 1000), 288));
    }
}

} // namespace

TEST(ZoneImage, EmptyTableFillsOnlyTheHeader)
{
    ZoneAlarm z;
    const uint32_t before = uint32_t(std::time(nullptr));
    const uint32_t check = z.buildZoneImage(zones());
    const uint32_t after = uint32_t(std::time(nullptr));
    const uint8_t *img = z.getZoneImage();
    EXPECT_EQ(0, memcmp(img, "PZNE", 4));
    EXPECT_EQ(rd_u32(img), 0x454E5A50u);
    EXPECT_EQ(rd_u32(img + 4), 0x101u);
    EXPECT_EQ(rd_u32(img + 8), SIZE);
    EXPECT_EQ(rd_u32(img + 0x10), 0x30000u);
    EXPECT_GE(rd_u32(img + 0x14), before);
    EXPECT_LE(rd_u32(img + 0x14), after);
    EXPECT_TRUE(all_zero(img + 0x18, SIZE - 0x18));
    // The image check leaves out the first 16 bytes; the transfer check covers everything.
    EXPECT_EQ(check, crc32_words(img + 0x10, 0xCFFC));
    EXPECT_EQ(rd_u32(img + 0x0C), check);
    EXPECT_NE(crc32_words(img, 0xD000), check);
}

TEST(ZoneImage, DefaultSectorEntryAndRanges)
{
    ZoneAlarm z;
    const zones t = table_of({sector(300, 1200, 3000, 1000)});
    z.buildZoneImage(t);
    const uint8_t *e = block(z, 0);
    EXPECT_EQ(e[0], 4);
    EXPECT_EQ(e[1], 0);
    EXPECT_EQ(e[2], 2);
    EXPECT_EQ(e[3], 4);
    EXPECT_EQ(entry_values(e), (std::vector<int32_t>{-500, 866, 2598, 1500}));
    EXPECT_TRUE(all_zero(e + 20, 940));

    // Bearing 200 is 72.0 degrees: 1000 to 2992 mm, steps 125 to 374, alarm.
    EXPECT_EQ(ranges(z, 0, 200), (std::vector<R>{{125 | 0x8000, 374}}));
    EXPECT_TRUE(ranges(z, 0, 0).empty());
    EXPECT_TRUE(ranges(z, 0, 500).empty());
    // 30.0 and 120.0 degrees themselves are outside (both bounds exclusive).
    EXPECT_TRUE(ranges(z, 0, 83).empty());  // 29.8
    EXPECT_FALSE(ranges(z, 0, 84).empty()); // 30.2
    EXPECT_FALSE(ranges(z, 0, 333).empty()); // 119.8
    EXPECT_TRUE(ranges(z, 0, 334).empty());  // 120.2
    for (int id = 1; id < 16; ++id)
        EXPECT_TRUE(all_zero(block(z, id), 960));
    expect_matches_reference(z, t);
}

TEST(ZoneImage, SectorThroughNorth)
{
    ZoneAlarm z;
    const zones t = table_of({sector(3300, 600, 5000, 2000, 0, 1)});
    z.buildZoneImage(t);
    for (int k : {0, 10, 100, 165, 920, 999})
        EXPECT_EQ(ranges(z, 0, k), (std::vector<R>{{250 | 0x4000, 624}})) << k;
    for (int k : {170, 500, 910})
        EXPECT_TRUE(ranges(z, 0, k).empty()) << k;
    expect_matches_reference(z, t);
}

TEST(ZoneImage, SectorBeyond46MetresDoesNotOverflow)
{
    // 50 m squared is beyond 32 bits; the ring still reaches out to 50 m.
    ZoneAlarm z;
    z.buildZoneImage(table_of({sector(300, 1200, 50000, 1000)}));
    EXPECT_EQ(ranges(z, 0, 200), (std::vector<R>{{125 | 0x8000, 6249}}));
}

TEST(ZoneImage, DefaultRectangleEntryAndReadBack)
{
    ZoneAlarm z;
    const zones t = table_of({rect(-1000, -1000, 1000, 1000)});
    z.buildZoneImage(t);
    const uint8_t *e = block(z, 0);
    EXPECT_EQ(e[0], 2);
    EXPECT_EQ(e[3], 4);
    EXPECT_EQ(entry_values(e), (std::vector<int32_t>{-1000, -1000, 1000, 1000}));
    // The square around the sensor: every bearing starts at the first step.
    EXPECT_EQ(ranges(z, 0, 0), (std::vector<R>{{1 | 0x8000, 124}}));
    EXPECT_EQ(ranges(z, 0, 125), (std::vector<R>{{1 | 0x8000, 176}})); // 45 degrees: 1414 mm
    expect_matches_reference(z, t);

    ZoneAlarm back;
    std::vector<uint8_t> img(z.getZoneImage(), z.getZoneImage() + SIZE);
    ASSERT_TRUE(back.setZoneSyn(img.data(), img.size()));
    ASSERT_EQ(back.getZones().count, 1);
    const ZoneShape &r = back.getZones().shapes[0];
    EXPECT_EQ(r.kind, 2);
    EXPECT_EQ(r.flag, 1);
    EXPECT_EQ(r.point_count, 2);
    EXPECT_EQ(r.param[0], -1000.0);
    EXPECT_EQ(r.param[1], -1000.0);
    EXPECT_EQ(r.param[2], 1000.0);
    EXPECT_EQ(r.param[3], 1000.0);
}

TEST(ZoneImage, EllipseEntryIsItsBoundingBox)
{
    ZoneAlarm z;
    const zones t = table_of({ellipse(-1000, -1000, 1000, 1000, 3, 0)});
    z.buildZoneImage(t);
    const uint8_t *e = block(z, 3);
    EXPECT_EQ(e[0], 3);
    EXPECT_EQ(e[1], 3);
    EXPECT_EQ(e[2], 0);
    EXPECT_EQ(entry_values(e), (std::vector<int32_t>{-1500, -1500, -500, -500}));
    expect_matches_reference(z, t);
}

TEST(ZoneImage, AlarmWarningObservePackingOrder)
{
    // Along the bearing of 0 degrees (+y): observe from 1 to 2 m, warning 3 to 4 m, alarm 5 to 6 m
    // and again 7 to 8 m. The table lists alarm first, nearest first, then warning; the observe
    // run has no range left.
    ZoneAlarm z;
    const zones t = table_of({
        rect(1000, -500, 2000, 500, 0, 0),
        rect(3000, -500, 4000, 500, 0, 1),
        rect(7000, -500, 8000, 500, 0, 2),
        rect(5000, -500, 6000, 500, 0, 2),
    });
    z.buildZoneImage(t);
    EXPECT_EQ(ranges(z, 0, 0), (std::vector<R>{{625 | 0x8000, 749}, {875 | 0x8000, 999}, {375 | 0x4000, 499}}))
        << dump(ranges(z, 0, 0));
    // Without the far alarm the observe run takes the last range.
    ZoneAlarm z2;
    const zones t2 = table_of({t.shapes[0], t.shapes[1], t.shapes[3]});
    z2.buildZoneImage(t2);
    EXPECT_EQ(ranges(z2, 0, 0), (std::vector<R>{{625 | 0x8000, 749}, {375 | 0x4000, 499}, {125 | 0x2000, 249}}))
        << dump(ranges(z2, 0, 0));
    expect_matches_reference(z, t);
    expect_matches_reference(z2, t2);
}

TEST(ZoneImage, SubtractivePolygonCutsTheFarPart)
{
    // Alarm polygon from 1 m to 5 m ahead; a subtractive polygon from 3 m to 6 m.
    ZoneAlarm z;
    const zones t = table_of({
        polygon({{-500, 1000}, {500, 1000}, {500, 5000}, {-500, 5000}}, 0, 2),
        polygon({{-600, 3000}, {600, 3000}, {600, 6000}, {-600, 6000}}, 0, 0, ZONE_SUBTRACT),
    });
    z.buildZoneImage(t);
    const std::vector<R> r = ranges(z, 0, 0);
    ASSERT_EQ(r.size(), 1u) << dump(r);
    EXPECT_EQ(r[0].start, 125 | 0x8000);
    EXPECT_EQ(r[0].end, 375); // ends where the subtractive range starts
    const uint8_t *e = block(z, 0);
    EXPECT_EQ(e[0], 1);
    EXPECT_EQ(e[3], 8);
    EXPECT_EQ(entry_values(e), (std::vector<int32_t>{1000, -500, 1000, 500, 5000, 500, 5000, -500}));
    const uint8_t *e2 = e + 36;
    EXPECT_EQ(e2[0], 5);
    EXPECT_EQ(e2[2], 0);
    expect_matches_reference(z, t);
}

TEST(ZoneImage, SubtractionKeepsRangesThatEndBeforeIt)
{
    // Warning 1-2 m, alarm 2.5-5 m and observe 7-8 m; subtractive 4-9 m: the warning range ends
    // before the subtraction and keeps its end; the alarm range is cut; the observe range,
    // starting inside it, is removed and the rest move to the front.
    ZoneAlarm z;
    const zones t = table_of({
        rect(1000, -500, 2000, 500, 0, 1),
        rect(2500, -500, 5000, 500, 0, 2),
        rect(7000, -500, 8000, 500, 0, 0),
        polygon({{-600, 4000}, {600, 4000}, {600, 9000}, {-600, 9000}}, 0, 1, ZONE_SUBTRACT),
    });
    z.buildZoneImage(t);
    EXPECT_EQ(ranges(z, 0, 0), (std::vector<R>{{313 | 0x8000, 500}, {125 | 0x4000, 249}}))
        << dump(ranges(z, 0, 0));
    expect_matches_reference(z, t);
}

TEST(ZoneImage, MoreThanThreeRunsKeepTheFirstThree)
{
    ZoneAlarm z;
    std::vector<ZoneShape> v;
    for (int i = 0; i < 5; ++i)
        v.push_back(rect(1000 + 2000 * i, -300, 2000 + 2000 * i, 300, 4, 1));
    const zones t = table_of(v);
    z.buildZoneImage(t);
    EXPECT_EQ(ranges(z, 4, 0), (std::vector<R>{{125 | 0x4000, 249}, {375 | 0x4000, 499}, {625 | 0x4000, 749}}));
    expect_matches_reference(z, t);
}

TEST(ZoneImage, FortyEightRectanglesFillTheBlockTheFortyNinthIsOnlyRasterised)
{
    ZoneAlarm z;
    zones t;
    for (int i = 0; i < 48; ++i)
        t.shapes[t.count++] = rect(1000 + 10 * i, -200, 1005 + 10 * i, 200, 6, 1);
    t.shapes[t.count++] = rect(20000, -300, 21000, 300, 6, 2); // the 49th
    t.shapes[t.count++] = rect(1000, -300, 2000, 300, 7, 2);   // another zone is unaffected
    z.buildZoneImage(t);
    const uint8_t *b = block(z, 6);
    for (int i = 0; i < 48; ++i) {
        EXPECT_EQ(b[20 * i], 2);
        EXPECT_EQ(int32_t(rd_u32(b + 20 * i + 4)), 1000 + 10 * i);
    }
    EXPECT_EQ(ranges(z, 6, 0).front(), (R{2500 | 0x8000, 2624}));
    EXPECT_EQ(block(z, 7)[0], 2);

    ZoneAlarm back;
    ASSERT_TRUE(back.setZoneSyn(z.getZoneImage(), SIZE));
    EXPECT_EQ(back.getZones().count, 49); // 48 of zone 6, 1 of zone 7
    EXPECT_EQ(back.getZones().shapes[48].zone_id, 7);
}

TEST(ZoneImage, PolygonWithoutVerticesWritesNoEntry)
{
    // A polygon left unfinished in the editor and written by a clear: it has nothing to store,
    // and the shapes after it must still come back.
    ZoneAlarm z;
    ZoneShape empty = polygon({}, 2, 2);
    const zones t = table_of({rect(100, 100, 900, 900, 2), empty, sector(300, 1200, 3000, 1000, 2)});
    z.buildZoneImage(t);
    const uint8_t *b = block(z, 2);
    EXPECT_EQ(b[0], 2);
    EXPECT_EQ(b[20], 4);
    EXPECT_TRUE(all_zero(b + 40, 920));
    expect_matches_reference(z, t);

    ZoneAlarm back;
    ASSERT_TRUE(back.setZoneSyn(z.getZoneImage(), SIZE));
    ASSERT_EQ(back.getZones().count, 2);
    EXPECT_EQ(back.getZones().shapes[1].kind, ZONE_SECTOR);
}

TEST(ZoneImage, UnknownKindsContributeNothing)
{
    ZoneAlarm z;
    ZoneShape odd = rect(-1000, -1000, 1000, 1000);
    odd.kind = 6;
    z.buildZoneImage(table_of({odd}));
    EXPECT_TRUE(all_zero(z.getZoneImage() + 0x18, SIZE - 0x18));
}

TEST(ZoneImage, RoundTripPerZone)
{
    zones t;
    t.shapes[t.count++] = rect(-1000, -2000, 1500, 2500, 0, 0);
    t.shapes[t.count++] = ellipse(3000, -4000, 1200, 800, 0, 1);
    t.shapes[t.count++] = sector(300, 1200, 3000, 1000, 1, 2);
    t.shapes[t.count++] = sector(3300, 600, 8000, 1500, 1, 1);
    t.shapes[t.count++] = polygon({{0, 1000}, {1000, 2000}, {-1000, 2500}}, 5, 2);
    t.shapes[t.count++] = polygon({{-100, 1500}, {100, 1500}, {0, 1800}}, 5, 1, ZONE_SUBTRACT);
    ZoneShape p20 = polygon({}, 9, 0);
    for (int j = 0; j < 20; ++j) {
        p20.param[2 * j] = std::round(5000 * std::sin(j * 0.314));
        p20.param[2 * j + 1] = std::round(5000 * std::cos(j * 0.314));
    }
    p20.point_count = 20;
    t.shapes[t.count++] = p20;
    t.shapes[t.count++] = sector(10, 3590, 20000, 500, 15, 0);

    ZoneAlarm z;
    z.buildZoneImage(t);
    ZoneAlarm back;
    ASSERT_TRUE(back.setZoneSyn(z.getZoneImage(), SIZE));
    const zones &r = back.getZones();
    ASSERT_EQ(r.count, t.count);
    // Decoded zone by zone; this table is already in zone order.
    for (int i = 0; i < t.count; ++i) {
        const ZoneShape &a = t.shapes[i], &b = r.shapes[i];
        EXPECT_EQ(b.kind, a.kind) << i;
        EXPECT_EQ(b.zone_id, a.zone_id) << i;
        EXPECT_EQ(b.area, a.area) << i;
        EXPECT_EQ(b.point_count, a.point_count) << i;
        EXPECT_EQ(b.flag, 1) << i;
        for (int j = 0; j < 40; ++j)
            EXPECT_NEAR(b.param[j], a.param[j], a.kind == ZONE_SECTOR ? 1.0 : 0.0) << i << " param " << j;
    }
    // The default sector comes back exactly.
    EXPECT_EQ(r.shapes[2].param[0], 300.0);
    EXPECT_EQ(r.shapes[2].param[1], 1200.0);
    EXPECT_EQ(r.shapes[2].param[2], 3000.0);
    EXPECT_EQ(r.shapes[2].param[3], 1000.0);
    expect_matches_reference(z, t);

    // The polar tables survive the synchronisation: a second image built from the decoded table
    // rasterises identically.
    ZoneAlarm again;
    again.buildZoneImage(r);
    EXPECT_EQ(0, memcmp(again.getZoneImage() + 0x400, z.getZoneImage() + 0x400, SIZE - 0x400));
}

TEST(ZoneImage, RecordsOutOfZoneOrderComeBackByZone)
{
    const zones t = table_of({rect(1, 2, 3, 4, 9), rect(5, 6, 7, 8, 2), rect(9, 10, 11, 12, 9)});
    ZoneAlarm z, back;
    z.buildZoneImage(t);
    ASSERT_TRUE(back.setZoneSyn(z.getZoneImage(), SIZE));
    ASSERT_EQ(back.getZones().count, 3);
    EXPECT_EQ(back.getZones().shapes[0].param[0], 5.0);
    EXPECT_EQ(back.getZones().shapes[1].param[0], 1.0);
    EXPECT_EQ(back.getZones().shapes[2].param[0], 9.0);
}

TEST(ZoneImage, SetZoneSynRefusesBadHeaders)
{
    ZoneAlarm z;
    z.buildZoneImage(table_of({rect(-1000, -1000, 1000, 1000)}));
    const std::vector<uint8_t> good(z.getZoneImage(), z.getZoneImage() + SIZE);
    struct Case {
        const char *what;
        size_t offset;
        uint32_t value;
    } cases[] = {
        {"version 0x102", 4, 0x102},
        {"magic", 0, 0x454E5A51},
        {"size", 8, 0x30000},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> img = good;
        wr_u32(&img[c.offset], c.value);
        ZoneAlarm back;
        ASSERT_TRUE(back.setZoneSyn(good.data(), good.size()));
        EXPECT_FALSE(back.setZoneSyn(img.data(), img.size())) << c.what;
        EXPECT_EQ(back.getZones().count, 0) << c.what;
    }
    // Shorter than an image: refused without reading past it.
    std::vector<uint8_t> short_img(good.begin(), good.begin() + SIZE - 1);
    ZoneAlarm back;
    EXPECT_FALSE(back.setZoneSyn(short_img.data(), short_img.size()));
    EXPECT_FALSE(back.setZoneSyn(nullptr, 0));
    // The image check is not tested by the synchronisation.
    std::vector<uint8_t> img = good;
    img[0x0C] ^= 1;
    EXPECT_TRUE(back.setZoneSyn(img.data(), img.size()));
    EXPECT_EQ(back.getZones().count, 1);
}

TEST(ZoneImage, ParseZoneDefStopsAtMalformedEntries)
{
    auto entry = [](std::vector<uint8_t> &b, int kind, int zone, int area, std::vector<int32_t> vals, int n = -1) {
        b.push_back(uint8_t(kind));
        b.push_back(uint8_t(zone));
        b.push_back(uint8_t(area));
        b.push_back(uint8_t(n < 0 ? int(vals.size()) : n));
        for (int32_t v : vals)
            for (int i = 0; i < 4; ++i)
                b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    };
    const std::vector<int32_t> four = {10, 20, 30, 40};
    struct Case {
        const char *what;
        std::function<void(std::vector<uint8_t> &)> second; // the entry after a good rectangle
        int expected;
    };
    const Case cases[] = {
        {"good polygon", [&](auto &b) { entry(b, 1, 0, 1, {1, 2, 3, 4, 5, 6}); }, 3},
        {"kind 0", [&](auto &b) { entry(b, 0, 0, 1, four); }, 1},
        {"kind 6", [&](auto &b) { entry(b, 6, 0, 1, four); }, 1},
        {"area 3", [&](auto &b) { entry(b, 2, 0, 3, four); }, 1},
        {"n 0", [&](auto &b) { entry(b, 1, 0, 1, {}); }, 1},
        {"n odd", [&](auto &b) { entry(b, 1, 0, 1, {1, 2, 3}); }, 1},
        {"n 42", [&](auto &b) { entry(b, 1, 0, 1, std::vector<int32_t>(42, 7)); }, 1},
        {"zone id 16", [&](auto &b) { entry(b, 2, 16, 1, four); }, 1},
        {"rectangle with n 2", [&](auto &b) { entry(b, 2, 0, 1, {1, 2}); }, 1},
        {"sector with n 6", [&](auto &b) { entry(b, 4, 0, 1, {1, 2, 3, 4, 5, 6}); }, 1},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> b;
        entry(b, 2, 0, 2, four);
        c.second(b);
        entry(b, 2, 0, 2, four); // never reached after a malformed entry
        b.resize(960, 0);
        ZoneAlarm z;
        EXPECT_EQ(z.parseZoneDef(0, b.size(), b.data()), c.expected) << c.what;
    }

    // An entry running past the end of what is handed over is not decoded: the buffer is
    // exactly as long as the length given, so a read beyond it would be caught.
    for (size_t len : {size_t(3), size_t(19), size_t(20), size_t(31), size_t(32)}) {
        std::vector<uint8_t> b;
        entry(b, 2, 0, 2, four);
        entry(b, 1, 0, 2, {1, 2});
        std::vector<uint8_t> cut(b.begin(), b.begin() + std::min(len, b.size()));
        ZoneAlarm z;
        EXPECT_EQ(z.parseZoneDef(0, cut.size(), cut.data()), len >= 32 ? 2 : len >= 20 ? 1 : 0) << len;
    }

    // Never beyond 960 bytes, even when more is handed over.
    {
        std::vector<uint8_t> b;
        for (int i = 0; i < 47; ++i)
            entry(b, 2, 0, 2, four); // 940 bytes
        entry(b, 1, 0, 2, {1, 2, 3, 4}); // 20 bytes: fits exactly
        entry(b, 2, 0, 2, four);         // beyond 960
        ZoneAlarm z;
        EXPECT_EQ(z.parseZoneDef(0, b.size(), b.data()), 48);
    }

    // The table holds at most 64 records.
    {
        std::vector<uint8_t> b;
        for (int i = 0; i < 48; ++i)
            entry(b, 2, 0, 2, four);
        ZoneAlarm z;
        EXPECT_EQ(z.parseZoneDef(0, b.size(), b.data()), 48);
        EXPECT_EQ(z.parseZoneDef(1, b.size(), b.data()), 16);
        EXPECT_EQ(z.getZones().count, 64);
        EXPECT_EQ(z.parseZoneDef(2, b.size(), b.data()), 0);
    }
}

TEST(ZoneImage, DecodedShapes)
{
    std::vector<uint8_t> b(960, 0);
    uint8_t *e = b.data();
    // Ellipse from its box (y1, x1) = (-1500, -1000), (y2, x2) = (-500, 1000).
    e[0] = 3;
    e[1] = 4;
    e[2] = 1;
    e[3] = 4;
    wr_u32(e + 4, uint32_t(-1500));
    wr_u32(e + 8, uint32_t(-1000));
    wr_u32(e + 12, uint32_t(-500));
    wr_u32(e + 16, 1000);
    // Sector: near (-500, 866), far (2598, 1500).
    e += 20;
    e[0] = 4;
    e[1] = 4;
    e[2] = 2;
    e[3] = 4;
    wr_u32(e + 4, uint32_t(-500));
    wr_u32(e + 8, 866);
    wr_u32(e + 12, 2598);
    wr_u32(e + 16, 1500);
    // Sector from 350 degrees (far point at (985, -174)) to 10 degrees (near point (492, 87)).
    e += 20;
    e[0] = 4;
    e[1] = 4;
    e[2] = 0;
    e[3] = 4;
    wr_u32(e + 4, 492);
    wr_u32(e + 8, 87);
    wr_u32(e + 12, 985);
    wr_u32(e + 16, uint32_t(-174));
    ZoneAlarm z;
    ASSERT_EQ(z.parseZoneDef(4, b.size(), b.data()), 3);
    const zones &t = z.getZones();
    EXPECT_EQ(t.shapes[0].param[0], 0.0);
    EXPECT_EQ(t.shapes[0].param[1], -1000.0);
    EXPECT_EQ(t.shapes[0].param[2], 2000.0);
    EXPECT_EQ(t.shapes[0].param[3], 1000.0);
    EXPECT_EQ(t.shapes[0].zone_id, 4);
    EXPECT_EQ(t.shapes[0].area, 1);
    EXPECT_EQ(t.shapes[1].param[0], 300.0);
    EXPECT_EQ(t.shapes[1].param[1], 1200.0);
    EXPECT_EQ(t.shapes[1].param[2], 3000.0);
    EXPECT_EQ(t.shapes[1].param[3], 1000.0);
    EXPECT_EQ(t.shapes[2].param[0], 3500.0);
    EXPECT_EQ(t.shapes[2].param[1], 100.0);
    EXPECT_EQ(t.shapes[2].param[2], 1000.0);
    EXPECT_EQ(t.shapes[2].param[3], 500.0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.shapes[i].flag, 1);
        EXPECT_EQ(t.shapes[i].point_count, 2);
    }
}

TEST(ZoneImage, PolygonVerticesBeyondTwentyAreNotRead)
{
    ZoneShape p = polygon({}, 0, 2);
    for (int j = 0; j < 20; ++j) {
        p.param[2 * j] = 100 * j;
        p.param[2 * j + 1] = 1000 + (j % 2) * 500;
    }
    p.point_count = 1000; // no writer makes this; nothing past the 40 parameters is touched
    ZoneAlarm z;
    z.buildZoneImage(table_of({p}));
    EXPECT_EQ(block(z, 0)[3], 40);
}
