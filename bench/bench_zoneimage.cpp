// Building the device zone image, which the receiver thread does synchronously before a write.
//
// Goal: a 64-shape table in under 0.2 s. Printed beside the literal rasteriser (every step of
// every bearing probed against every shape) on a small table, measured in the same run, and
// beside the fast one on that same small table for the ratio.

#include "zonealarm.h"
#include "zoneraster_reference.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace ZONEALARM;

namespace {

ZoneShape make(int kind, int zone, int area, std::initializer_list<double> p, int count = 2)
{
    ZoneShape s;
    s.kind = kind;
    s.zone_id = uint8_t(zone);
    s.area = uint8_t(area);
    int i = 0;
    for (double v : p)
        s.param[i++] = v;
    s.point_count = count;
    return s;
}

ZoneShape ngon(int zone, int area, double cx, double cy, double r, int n, int kind = ZONE_POLYGON)
{
    ZoneShape s;
    s.kind = kind;
    s.zone_id = uint8_t(zone);
    s.area = uint8_t(area);
    for (int j = 0; j < n; ++j) {
        const double a = 2 * M_PI * j / n;
        const double rr = r * (j % 2 ? 0.7 : 1.0);
        s.param[2 * j] = std::round(cx + rr * std::sin(a));
        s.param[2 * j + 1] = std::round(cy + rr * std::cos(a));
    }
    s.point_count = n;
    return s;
}

// Sixteen zones of four shapes each, spread around the sensor within 25 m: an ellipse, a
// rectangle, a sector and a 12-vertex polygon (every fourth one subtractive).
zones table64()
{
    zones t;
    for (int z = 0; z < 16; ++z) {
        const double a = 2 * M_PI * z / 16;
        const double d = 4000 + 1200 * z;
        const double cx = d * std::sin(a), cy = d * std::cos(a);
        t.shapes[t.count++] = make(ZONE_ELLIPSE, z, 2, {cx, cy, 3000, 2000});
        t.shapes[t.count++] = make(ZONE_RECTANGLE, z, 1, {cy - 2500, cx - 2500, cy + 2500, cx + 2500});
        t.shapes[t.count++] = make(ZONE_SECTOR, z, 0, {std::fmod(225.0 * z + 3300, 3600), 225.0 * z + 3900, d + 6000, 1000});
        t.shapes[t.count++] = ngon(z, z % 3, cx, cy, 1500, 12, z % 4 == 3 ? ZONE_SUBTRACT : ZONE_POLYGON);
    }
    return t;
}

// The worst the editor can draw: 64 shapes of 40 m around the sensor, every bearing crossing
// every shape from the first step to the last.
zones table64_large()
{
    zones t;
    for (int i = 0; i < 64; ++i) {
        const int z = i % 16;
        switch (i % 4) {
        case 0:
            t.shapes[t.count++] = make(ZONE_ELLIPSE, z, 2, {100.0 * i, -50.0 * i, 80000, 76000});
            break;
        case 1:
            t.shapes[t.count++] = make(ZONE_RECTANGLE, z, 1, {-38000, -39000, 39000.0 - i, 37000});
            break;
        case 2:
            t.shapes[t.count++] = make(ZONE_SECTOR, z, 0, {10, 3590, 40000, 500});
            break;
        default:
            t.shapes[t.count++] = ngon(z, 2, 0, 0, 40000, 20);
            break;
        }
    }
    return t;
}

// The small table both rasterisers build: one ellipse and one rectangle in one zone.
zones table_small()
{
    zones t;
    t.shapes[t.count++] = make(ZONE_ELLIPSE, 0, 2, {-1000, -1000, 1000, 1000});
    t.shapes[t.count++] = make(ZONE_RECTANGLE, 0, 1, {2000, -1500, 6000, 1500});
    return t;
}

void BM_BuildZoneImage_64Shapes(benchmark::State &state)
{
    const zones t = table64();
    ZoneAlarm z;
    for (auto _ : state)
        benchmark::DoNotOptimize(z.buildZoneImage(t));
}

void BM_BuildZoneImage_64LargeShapes(benchmark::State &state)
{
    const zones t = table64_large();
    ZoneAlarm z;
    for (auto _ : state)
        benchmark::DoNotOptimize(z.buildZoneImage(t));
}

void BM_BuildZoneImage_SmallTable(benchmark::State &state)
{
    const zones t = table_small();
    ZoneAlarm z;
    for (auto _ : state)
        benchmark::DoNotOptimize(z.buildZoneImage(t));
}

// Baseline: the literal rasteriser on the small table (its only zone; the other fifteen are
// empty and cost it nothing worth counting).
void BM_LiteralRasteriser_SmallTable(benchmark::State &state)
{
    const zones t = table_small();
    for (auto _ : state)
        benchmark::DoNotOptimize(zoneref::polar_table(t, 0));
}

// An empty table: header, zeroing and the image check, the floor of every build.
void BM_BuildZoneImage_Empty(benchmark::State &state)
{
    const zones t;
    ZoneAlarm z;
    for (auto _ : state)
        benchmark::DoNotOptimize(z.buildZoneImage(t));
}

} // namespace

BENCHMARK(BM_BuildZoneImage_Empty)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildZoneImage_64Shapes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildZoneImage_64LargeShapes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildZoneImage_SmallTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralRasteriser_SmallTable)->Unit(benchmark::kMillisecond)->Iterations(2);
