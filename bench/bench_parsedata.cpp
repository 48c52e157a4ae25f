// The analysis panel's statistics of one draw's selection: Dialog_ParseData::parseFrame over
// 540,000 selected points (ten Raxo frames of 54,000 points, the most the GUI thread may be
// handed per draw), with its debug view closed and open (the 3-sigma filter), beside a bare loop
// of the same sums, extremes, deviations and angles over the same points.
// Goals: parseFrame within 1.5x of the bare loop, with the 3-sigma filter within 3x.
// The copy of the selection that the main window hands over by value is made outside the timing.

#include "dialog_parsedata.h"
#include "featurepoints.h"
#include "ratioreporter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLoggingCategory>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int kPoints = 540000;

// A Raxo-like scan: 150 rows by 360 columns over a wall and floor, ten frames with noise.
const std::vector<UserPointData> &points()
{
    static const std::vector<UserPointData> pts = [] {
        std::vector<UserPointData> v;
        v.reserve(kPoints);
        std::mt19937 rng(5489);
        std::normal_distribution<float> noise(0.0f, 0.01f);
        for (int frame = 0; frame < 10; ++frame)
            for (int row = 0; row < 150; ++row)
                for (int col = 0; col < 360; ++col) {
                    const float az = (float(col) - 180.0f) * 0.25f * 3.14159265f / 180.0f;
                    const float el = (float(row) - 75.0f) * 0.3f * 3.14159265f / 180.0f;
                    const float r = 4.0f + 0.5f * std::sin(float(col) * 0.05f) + noise(rng);
                    UserPointData p;
                    p.x = r * std::cos(el) * std::cos(az);
                    p.y = r * std::cos(el) * std::sin(az);
                    p.z = r * std::sin(el);
                    p.intensity = uint16_t((row * 7 + col * 3 + frame) & 0xFF);
                    p.distance = r;
                    v.push_back(p);
                }
        return v;
    }();
    return pts;
}

void runParseFrame(benchmark::State &state, bool sigma)
{
    Dialog_ParseData panel;
    if (sigma)
        panel.debugView().show();
    const auto &pts = points();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<UserPointData> copy = pts;
        state.ResumeTiming();
        panel.parseFrame(std::move(copy));
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kPoints);
}

void BM_parseFrame(benchmark::State &state)
{
    runParseFrame(state, false);
}

void BM_parseFrame_3sigma(benchmark::State &state)
{
    runParseFrame(state, true);
}

// The same statistics written as one would by hand: extremes and double sums in one pass with
// the two angles, the squared deviations in a second.
void BM_bare_loop(benchmark::State &state)
{
    const auto &pts = points();
    for (auto _ : state) {
        float lo[4] = {FLT_MAX, FLT_MAX, FLT_MAX, FLT_MAX};
        float hi[4] = {-FLT_MAX, -FLT_MAX, -FLT_MAX, -FLT_MAX};
        double sum[4] = {0, 0, 0, 0};
        float hmin = FLT_MAX, hmax = -FLT_MAX, vmin = FLT_MAX, vmax = -FLT_MAX;
        for (const UserPointData &p : pts) {
            const float v[4] = {p.x, p.y, p.z, float(p.intensity)};
            for (int a = 0; a < 4; ++a) {
                lo[a] = std::min(lo[a], v[a]);
                hi[a] = std::max(hi[a], v[a]);
                sum[a] += v[a];
            }
            const float h = angle_to_degrees(std::atan2(p.y, p.x));
            const float e = angle_to_degrees(std::atan2(p.z, std::sqrt(p.x * p.x + p.y * p.y)));
            hmin = std::min(hmin, h);
            hmax = std::max(hmax, h);
            vmin = std::min(vmin, e);
            vmax = std::max(vmax, e);
        }
        double mean[4], sq[4] = {0, 0, 0, 0};
        for (int a = 0; a < 4; ++a)
            mean[a] = sum[a] / double(pts.size());
        for (const UserPointData &p : pts) {
            const float v[4] = {p.x, p.y, p.z, float(p.intensity)};
            for (int a = 0; a < 4; ++a)
                sq[a] += (double(v[a]) - mean[a]) * (double(v[a]) - mean[a]);
        }
        benchmark::DoNotOptimize(lo);
        benchmark::DoNotOptimize(hi);
        benchmark::DoNotOptimize(sq);
        benchmark::DoNotOptimize(hmin + hmax + vmin + vmax);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kPoints);
}

} // namespace

BENCHMARK(BM_bare_loop)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_parseFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_parseFrame_3sigma)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

int main(int argc, char **argv)
{
    // The panel is a widget: without a display, draw nowhere.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter("ratio to the bare loop (goal: 1.5 or less, 3-sigma 3.0 or less)",
                           {{"BM_parseFrame/", "BM_bare_loop"},
                            {"BM_parseFrame_3sigma", "BM_bare_loop"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
