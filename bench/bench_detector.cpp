// The object detector against baselines measured in the same run:
// - one frame through the live thread's stages (intake of its 450 packets into the grid and
//   queue 1, foreground, labelling, foreground list, slabs) on a learned background with 16
//   objects in view, beside a bare loop of the same arithmetic written straight over plain
//   arrays (no queues, no copies). Goal: 1.5x or less.
// - the threaded pipeline (Start, feed 60 frames, drain) beside the same frames through the
//   synchronous stage calls on one thread. Goal: a frame rate at least 0.8 of theirs, that is
//   a time ratio of 1.25 or less.
// - the resident memory one more idle detector adds (its queues are allocated, untouched).
//   Goal: under 20 MB (counter added_MB).

#include "fakeraxo.h"
#include "pointcloudanomalydetector.h"
#include "ratioreporter.h"
#include "raxoscene.h"

#include "lhframe.h"
#include "raxopacket.h"
#include "tilt.h"

#include <benchmark/benchmark.h>

#include <QLoggingCategory>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kCells = kDetectorCells;
constexpr int W = kDetectorColumns;
constexpr int H = kDetectorRows;
constexpr int kLearning = kDetectorBackgroundFrames;
constexpr int kPipelineFrames = 60;

// An empty room: a wall 20 m away in every cell.
const std::vector<Bytes> &wall_packets()
{
    static const std::vector<Bytes> p = [] {
        RaxoScene s;
        s.wall(20.0);
        return s.packets();
    }();
    return p;
}

// Sixteen objects of 20 x 30 cells in front of the wall, 4 to 11.5 m away.
const std::vector<Bytes> &object_packets()
{
    static const std::vector<Bytes> p = [] {
        RaxoScene s;
        s.wall(20.0);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                s.object(10 + 35 * i, 29 + 35 * i, 20 + 85 * j, 49 + 85 * j, 4.0 + 0.5 * (4 * i + j));
        return s.packets();
    }();
    return p;
}

void settle(PointCloudAnomalyDetector &d)
{
    const std::vector<uint8_t> imu = raxo_imu_level_packet(0.0f, 0.0f, 9.8f);
    d.ProcessImuPacket(imu.data(), imu.size());
}

void feed(PointCloudAnomalyDetector &d, const std::vector<Bytes> &packets)
{
    for (const Bytes &p : packets)
        d.ProcessPointPacket(p.data(), p.size());
}

// One frame through the intake and the live thread's stages, on this thread.
bool frame_through_stages(PointCloudAnomalyDetector &d, const std::vector<Bytes> &packets, PacketData &f)
{
    feed(d, packets);
    return d.TakeQueuedFrame(f) && d.processFrame(f);
}

// A detector that has learnt the empty room and computed its background.
std::unique_ptr<PointCloudAnomalyDetector> learned_detector(PacketData &f)
{
    auto d = std::make_unique<PointCloudAnomalyDetector>();
    settle(*d);
    for (int i = 0; i < kLearning; ++i)
        frame_through_stages(*d, wall_packets(), f);
    frame_through_stages(*d, object_packets(), f);
    return d;
}

// ---------------------------------------------------------------------------------------------
// The bare loop: the same arithmetic over plain arrays, written straight.

struct Bare {
    std::vector<uint16_t> depth = std::vector<uint16_t>(kCells);
    std::vector<float> xyz = std::vector<float>(size_t(kCells) * 3);
    std::vector<uint16_t> background;
    std::vector<uint8_t> mask = std::vector<uint8_t>(kCells);
    std::vector<uint8_t> filtered = std::vector<uint8_t>(kCells);
    std::vector<uint16_t> label = std::vector<uint16_t>(kCells);
    std::vector<int> parent = std::vector<int>(kDetectorLabelTable);
    std::vector<uint16_t> renumber = std::vector<uint16_t>(kDetectorLabelTable);
    std::vector<uint16_t> listLabel = std::vector<uint16_t>(kCells);
    std::vector<float> listXyz = std::vector<float>(size_t(kCells) * 3);
    std::vector<uint32_t> first = std::vector<uint32_t>(kDetectorLabelTable + 1);
    std::vector<uint32_t> order = std::vector<uint32_t>(kCells);
    std::vector<float> a, b, c, out;
    std::vector<uint32_t> count, slice;
    uint16_t start[kDetectorMaxClusters + 1] = {};
    int clusters = 0;

    int root(int x)
    {
        int r = x;
        while (parent[size_t(r)] != r)
            r = parent[size_t(r)];
        while (parent[size_t(x)] != r) {
            const int n = parent[size_t(x)];
            parent[size_t(x)] = r;
            x = n;
        }
        return r;
    }

    // Points (triples) of `in` in the dominant slab along `axis`, into `o`.
    void slab(const std::vector<float> &in, std::vector<float> &o, int axis)
    {
        o.clear();
        const size_t n = in.size() / 3;
        if (n == 0)
            return;
        float lo = in[size_t(axis)], hi = lo;
        for (size_t i = 0; i < n; ++i) {
            lo = std::min(lo, in[3 * i + size_t(axis)]);
            hi = std::max(hi, in[3 * i + size_t(axis)]);
        }
        const size_t slices = size_t(std::ceil((double(hi) - double(lo)) / 0.2)) + 1;
        count.assign(slices, 0);
        slice.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const size_t s = std::min(size_t(std::floor((double(in[3 * i + size_t(axis)]) - double(lo)) / 0.2)), slices - 1);
            slice[i] = uint32_t(s);
            ++count[s];
        }
        size_t peak = 0;
        for (size_t s = 1; s < slices; ++s)
            if (count[s] > count[peak])
                peak = s;
        if (count[peak] < 5)
            return;
        const size_t t = std::max<size_t>(5, count[peak] / 10);
        size_t s0 = peak, s1 = peak;
        while (s0 > 0 && count[s0 - 1] >= t)
            --s0;
        while (s1 + 1 < slices && count[s1 + 1] >= t)
            ++s1;
        for (size_t s = s0; s <= s1; ++s)
            for (size_t i = 0; i < n; ++i)
                if (slice[i] == s)
                    o.insert(o.end(), &in[3 * i], &in[3 * i] + 3);
    }

    void frame(const std::vector<Bytes> &packets, const Eigen::Matrix3d &level)
    {
        const RaxoUnitTables &u = raxo_unit_tables();
        for (const Bytes &p : packets) {
            const int n = rd_u16(&p[16]) * p[19];
            const int row0 = rd_u16(&p[14]) >> 1, col0 = rd_u16(&p[12]);
            for (int i = 0; i < n; ++i) {
                const uint8_t *q = &p[45 + 10 * size_t(i)];
                const int cell = (row0 + i / 4) * W + col0 + i % 4;
                depth[size_t(cell)] = rd_u16(q);
                xyz[3 * size_t(cell)] = u.coord[rd_u16(q + 2)];
                xyz[3 * size_t(cell) + 1] = u.coord[rd_u16(q + 4)];
                xyz[3 * size_t(cell) + 2] = u.coord[rd_u16(q + 6)];
            }
        }
        for (int i = 0; i < kCells; ++i) {
            const int d = depth[size_t(i)], bg = background[size_t(i)];
            mask[size_t(i)] = d != 0 && d + 20 + bg / 2000 < bg;
        }
        for (int r = 0; r < H; ++r)
            for (int col = 0; col < W; ++col) {
                const int i = r * W + col;
                if (r == 0 || r == H - 1 || col == 0 || col == W - 1) {
                    filtered[size_t(i)] = mask[size_t(i)];
                    continue;
                }
                const int s = mask[size_t(i - W - 1)] + mask[size_t(i - W)] + mask[size_t(i - W + 1)]
                    + mask[size_t(i - 1)] + mask[size_t(i + 1)] + mask[size_t(i + W - 1)]
                    + mask[size_t(i + W)] + mask[size_t(i + W + 1)];
                filtered[size_t(i)] = 4 * mask[size_t(i)] + s > 5;
            }
        std::fill(label.begin(), label.end(), 0);
        for (int i = 0; i < kDetectorLabelTable; ++i)
            parent[size_t(i)] = i;
        int next = 1;
        for (int r = 0; r < H; ++r)
            for (int col = 0; col < W; ++col) {
                const int i = r * W + col;
                if (!filtered[size_t(i)])
                    continue;
                int cand[4], k = 0;
                const int d = depth[size_t(i)];
                if (r > 0) {
                    for (int dc = -1; dc <= 1; ++dc) {
                        const int j = i - W + dc;
                        if ((dc < 0 && col == 0) || (dc > 0 && col == W - 1))
                            continue;
                        if (label[size_t(j)] && std::abs(d - depth[size_t(j)]) < 20)
                            cand[k++] = label[size_t(j)];
                    }
                }
                if (col > 0 && label[size_t(i - 1)])
                    cand[k++] = label[size_t(i - 1)];
                if (k == 0) {
                    label[size_t(i)] = uint16_t(next++);
                    continue;
                }
                const int m = *std::min_element(cand, cand + k);
                label[size_t(i)] = uint16_t(m);
                for (int v = 0; v < k; ++v) {
                    const int rm = root(m), rv = root(cand[v]);
                    if (rm != rv)
                        parent[size_t(rm)] = rv;
                }
            }
        std::fill(renumber.begin(), renumber.end(), 0);
        int final = 0;
        for (int i = 0; i < kCells; ++i) {
            if (!label[size_t(i)])
                continue;
            const int rt = root(label[size_t(i)]);
            if (!renumber[size_t(rt)])
                renumber[size_t(rt)] = uint16_t(++final);
            label[size_t(i)] = mask[size_t(i)] ? renumber[size_t(rt)] : 0;
        }
        int n = 0, highest = 0;
        for (int i = 0; i < kCells; ++i) {
            if (!label[size_t(i)] || depth[size_t(i)] <= 20)
                continue;
            const TiltPoint t = tilt_rotate(level, xyz[3 * size_t(i)], xyz[3 * size_t(i) + 1], xyz[3 * size_t(i) + 2]);
            listLabel[size_t(n)] = label[size_t(i)];
            listXyz[3 * size_t(n)] = t.x;
            listXyz[3 * size_t(n) + 1] = t.y;
            listXyz[3 * size_t(n) + 2] = t.z;
            highest = std::max(highest, int(label[size_t(i)]));
            ++n;
        }
        std::fill(first.begin(), first.begin() + highest + 2, 0);
        for (int i = 0; i < n; ++i)
            ++first[size_t(listLabel[size_t(i)]) + 1];
        for (int l = 1; l <= highest + 1; ++l)
            first[size_t(l)] += first[size_t(l) - 1];
        std::vector<uint32_t> fill(first.begin(), first.begin() + highest + 1);
        for (int i = 0; i < n; ++i)
            order[fill[listLabel[size_t(i)]]++] = uint32_t(i);
        clusters = 0;
        out.clear();
        for (int l = 1; l <= highest && clusters < kDetectorMaxClusters; ++l) {
            if (first[size_t(l) + 1] - first[size_t(l)] < 20)
                continue;
            a.clear();
            for (uint32_t k = first[size_t(l)]; k < first[size_t(l) + 1]; ++k)
                a.insert(a.end(), &listXyz[3 * size_t(order[k])], &listXyz[3 * size_t(order[k])] + 3);
            slab(a, b, 0);
            slab(b, c, 1);
            start[clusters++] = uint16_t(out.size() / 3);
            out.insert(out.end(), c.begin(), c.end());
        }
        start[clusters] = uint16_t(out.size() / 3);
    }
};

size_t resident_bytes()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return size_t(resident) * size_t(sysconf(_SC_PAGESIZE));
}

void BM_detector_frame(benchmark::State &state)
{
    std::unique_ptr<PacketData> f(new PacketData());
    auto d = learned_detector(*f);
    for (auto _ : state) {
        if (!frame_through_stages(*d, object_packets(), *f) || f->clusterCount != 16)
            state.SkipWithError("the frame did not give its 16 clusters");
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_bare_frame(benchmark::State &state)
{
    std::unique_ptr<PacketData> f(new PacketData());
    auto d = learned_detector(*f);
    Bare bare;
    bare.background.assign(d->background(), d->background() + kCells);
    const Eigen::Matrix3d level = tilt_rotation(d->GetPitch(), d->GetRoll());
    for (auto _ : state) {
        bare.frame(object_packets(), level);
        if (bare.clusters != 16)
            state.SkipWithError("the bare loop did not find the 16 objects");
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

// Start, 20 learning frames and 40 with the objects, drained, reset.
void BM_pipeline_threaded(benchmark::State &state)
{
    PointCloudAnomalyDetector d;
    DetectorConfig cfg;
    for (auto _ : state) {
        d.Start(cfg);
        settle(d);
        for (int i = 0; i < kPipelineFrames; ++i)
            feed(d, i < kLearning ? wall_packets() : object_packets());
        if (!d.WaitDrained(std::chrono::seconds(60)))
            state.SkipWithError("the workers did not drain");
        d.Reset();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kPipelineFrames);
}

// The same frames through the stage calls on this thread.
void BM_pipeline_sync(benchmark::State &state)
{
    PointCloudAnomalyDetector d;
    std::unique_ptr<PacketData> f(new PacketData());
    for (auto _ : state) {
        d.Reset();
        settle(d);
        for (int i = 0; i < kPipelineFrames; ++i)
            frame_through_stages(d, i < kLearning ? wall_packets() : object_packets(), *f);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kPipelineFrames);
}

void BM_idle_detector_memory(benchmark::State &state)
{
    for (auto _ : state) {
        const size_t before = resident_bytes();
        auto d = std::make_unique<PointCloudAnomalyDetector>();
        const size_t after = resident_bytes();
        benchmark::DoNotOptimize(d.get());
        state.counters["added_MB"] = double(after - before) / (1024.0 * 1024.0);
    }
}

} // namespace

// First: before other benchmarks have freed memory the allocator would hand back resident.
BENCHMARK(BM_idle_detector_memory)->Iterations(1);
BENCHMARK(BM_bare_frame)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(1);
BENCHMARK(BM_detector_frame)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(1);
BENCHMARK(BM_pipeline_sync)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_pipeline_threaded)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

int main(int argc, char **argv)
{
    // The workers' trace lines would interleave with the table.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter("time ratios",
                           {{"BM_detector_frame", "BM_bare_frame", "1.5 or less"},
                            {"BM_pipeline_threaded", "BM_pipeline_sync",
                             "1.25 or less (a frame rate 0.8 of the synchronous calls)"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
