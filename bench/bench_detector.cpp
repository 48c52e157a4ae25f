// The object detector against baselines measured in the same run:
// - one frame through the stages (intake of its 450 packets into the grid and
//   queue 1, foreground, labelling, foreground list, slabs) on a learned background with 16
//   objects in view, beside a bare loop of the same arithmetic written straight over plain
//   arrays (no queues, no copies). Goal: 1.5x or less.
// - the threaded pipeline (feed 60 frames, drain) beside the same frames through the
//   synchronous stage calls on one thread; Start and Reset are left out of the time on both
//   sides. Goal: 0.8 of their time or less on a machine with two or more free cores (the
//   threads must gain, not cost); the note under the ratios gives the cores and the load.
// - the timer thread's step for one frame of 16 clusters against 16 models (features,
//   classification with its trace lines, records, tracking) beside a bare loop computing the
//   same features and scores over plain arrays. Goal: 2x or less.
// - the resident memory one more idle detector adds (its queues are allocated, untouched).
//   Goal: under 20 MB (counter added_MB).
// - training from a dump file: one epoch (a training run over a synthetic dump of 100 frames,
//   20 of the empty room and 80 with the 16 objects) from the file to the saved model file
//   through the real threads, as the training dialog runs it, per frame, beside the bare read
//   and dump scan of the same file plus the synchronous stage calls over its frames and the
//   same save. Goal: 1.5x or less.
// The frame and pipeline figures cover whole test-mode frames: the timer step is in them, and
// the bare frame loop adds its bare features and scores.

#include "capturefiles.h"
#include "dumpscan.h"
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
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
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

// Sixteen objects of 20 x 30 cells in front of the wall, 4 to 11.5 m away, each 10 cm deep
// (its columns step away from the sensor).
const std::vector<Bytes> &object_packets()
{
    static const std::vector<Bytes> p = [] {
        RaxoScene s;
        s.wall(20.0);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                const int r0 = 10 + 35 * i, c0 = 20 + 85 * j;
                const double x = 4.0 + 0.5 * (4 * i + j);
                for (int r = r0; r < r0 + 20; ++r)
                    for (int c = c0; c < c0 + 30; ++c)
                        s.set(r, c, uint16_t(x * 100), int16_t(std::lround(x * 500) + (c - c0) * 25 / 29),
                              int16_t((c - 180) * 25), int16_t((75 - r) * 25));
            }
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

// One test-mode frame through the intake, the live thread's stages and the timer thread's
// step, on this thread.
bool frame_through_stages(PointCloudAnomalyDetector &d, const std::vector<Bytes> &packets, PacketData &f,
                          PointCloudAnomalyDetector::TimerState &timer)
{
    feed(d, packets);
    if (!d.TakeQueuedFrame(f) || !d.processFrame(f))
        return false;
    d.processClusterElement(f, timer);
    return true;
}

std::vector<Point3f> cluster_points(const PacketData &f, int j)
{
    return std::vector<Point3f>(f.point + f.start[j], f.point + f.start[j + 1]);
}

// A detector that has learnt the empty room, computed its background and trained one model
// per object; `f` holds the clusters of the objects' frame.
std::unique_ptr<PointCloudAnomalyDetector> learned_detector(PacketData &f)
{
    auto d = std::make_unique<PointCloudAnomalyDetector>();
    PointCloudAnomalyDetector::TimerState timer;
    settle(*d);
    for (int i = 0; i < kLearning; ++i)
        frame_through_stages(*d, wall_packets(), f, timer);
    frame_through_stages(*d, object_packets(), f, timer);
    for (int j = 0; j < f.clusterCount; ++j)
        d->trainObject(cluster_points(f, j), "object" + std::to_string(j));
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

// The timer step's arithmetic over plain arrays: the features of each cluster and its score
// against every model's mean.
struct BareFeatures {
    float ext[3], spread, radial[8], height[5];
};

BareFeatures bare_features(const float *xyz, size_t n)
{
    BareFeatures f = {};
    float lo[3] = {xyz[0], xyz[1], xyz[2]}, hi[3] = {xyz[0], xyz[1], xyz[2]}, sum[3] = {0, 0, 0};
    for (size_t i = 0; i < n; ++i)
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], xyz[3 * i + size_t(a)]);
            hi[a] = std::max(hi[a], xyz[3 * i + size_t(a)]);
            sum[a] += xyz[3 * i + size_t(a)];
        }
    for (int a = 0; a < 3; ++a)
        f.ext[a] = hi[a] - lo[a];
    const float c[3] = {sum[0] / float(n), sum[1] / float(n), sum[2] / float(n)};
    float diag = std::sqrt(f.ext[0] * f.ext[0] + f.ext[1] * f.ext[1] + f.ext[2] * f.ext[2]);
    if (diag < 0.00001f)
        diag = 1;
    const float h = f.ext[2] < 0.00001f ? 1.0f : f.ext[2];
    for (size_t i = 0; i < n; ++i) {
        const float dx = xyz[3 * i] - c[0], dy = xyz[3 * i + 1] - c[1], dz = xyz[3 * i + 2] - c[2];
        const float s2 = dx * dx + dy * dy + dz * dz;
        f.spread += s2;
        f.radial[std::min(int(s2 / diag * 8), 7)] += 1;
        f.height[std::min(int((xyz[3 * i + 2] - lo[2]) / h * 5), 4)] += 1;
    }
    f.spread /= float(n);
    for (float &b : f.radial)
        b /= float(n);
    for (float &b : f.height)
        b /= float(n);
    return f;
}

double bare_term(const float *f, const float *m, int k)
{
    double t = 1;
    for (int i = 0; i < k; ++i)
        t -= std::fabs(double(f[i]) - double(m[i])) / (double(m[i]) + double(f[i]));
    return std::isnan(t) || t < 0 ? 0 : t;
}

int bare_classify(const BareFeatures &f, const std::vector<BareFeatures> &models)
{
    double best = 0.5;
    int result = -1;
    for (size_t i = 0; i < models.size(); ++i) {
        const BareFeatures &m = models[i];
        if (std::max(f.ext[0], f.ext[1]) > 1.5 * std::max(m.ext[0], m.ext[1]) || f.ext[2] > 1.5 * m.ext[2])
            continue;
        float r = 0, h = 0;
        for (int k = 0; k < 8; ++k)
            r += std::min(f.radial[k], m.radial[k]);
        for (int k = 0; k < 5; ++k)
            h += std::min(f.height[k], m.height[k]);
        const double score = 0.5 * bare_term(f.ext, m.ext, 3) + 0.2 * bare_term(&f.spread, &m.spread, 1)
            + 0.3 * (double(r) + double(h)) * 0.5;
        if (score > best) {
            best = score;
            result = int(i);
        }
    }
    return result;
}

std::vector<BareFeatures> bare_models(const PointCloudAnomalyDetector &d)
{
    std::vector<BareFeatures> out;
    for (const ObjectModel &m : d.GetModels()) {
        BareFeatures b = {{m.mean.extentX, m.mean.extentY, m.mean.extentZ}, m.mean.spread, {}, {}};
        std::copy(m.mean.radialHist.begin(), m.mean.radialHist.end(), b.radial);
        std::copy(m.mean.heightHist.begin(), m.mean.heightHist.end(), b.height);
        out.push_back(b);
    }
    return out;
}

// Every cluster of the bare frame's output classified: the count of those that found a model.
int bare_timer_step(const std::vector<float> &xyz, const uint16_t *start, int clusters,
                    const std::vector<BareFeatures> &models)
{
    int named = 0;
    for (int j = 0; j < clusters; ++j) {
        const size_t n = size_t(start[j + 1] - start[j]);
        if (n > 0 && bare_classify(bare_features(&xyz[3 * size_t(start[j])], n), models) >= 0)
            ++named;
    }
    return named;
}

// The 16 objects' models saved to a file in the temporary folder, for the pipeline detectors.
std::string saved_models_file(PointCloudAnomalyDetector &trained)
{
    const char *tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/bench_detector_models.bin";
    trained.SaveModels(path);
    return path;
}

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
    PointCloudAnomalyDetector::TimerState timer;
    for (auto _ : state) {
        if (!frame_through_stages(*d, object_packets(), *f, timer))
            state.SkipWithError("the frame gave no clusters");
    }
    if (d->GetResults().size() != 16)
        state.SkipWithError("the frame did not give its 16 records");
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_bare_frame(benchmark::State &state)
{
    std::unique_ptr<PacketData> f(new PacketData());
    auto d = learned_detector(*f);
    Bare bare;
    bare.background.assign(d->background(), d->background() + kCells);
    const Eigen::Matrix3d level = tilt_rotation(d->GetPitch(), d->GetRoll());
    const std::vector<BareFeatures> models = bare_models(*d);
    for (auto _ : state) {
        bare.frame(object_packets(), level);
        if (bare.clusters != 16 || bare_timer_step(bare.out, bare.start, bare.clusters, models) != 16)
            state.SkipWithError("the bare loop did not find and name the 16 objects");
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

// The timer thread's step for the 16 clusters of one frame against 16 models.
void BM_timer_step(benchmark::State &state)
{
    std::unique_ptr<PacketData> f(new PacketData());
    auto d = learned_detector(*f);
    PointCloudAnomalyDetector::TimerState timer;
    for (auto _ : state)
        d->processClusterElement(*f, timer);
    const std::vector<DetectedObject> records = d->GetResults();
    if (records.size() != 16 || std::any_of(records.begin(), records.end(), [](const DetectedObject &r) {
            return r.classIndex < 0;
        }))
        state.SkipWithError("the step did not give its 16 named records");
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_bare_timer_step(benchmark::State &state)
{
    std::unique_ptr<PacketData> f(new PacketData());
    auto d = learned_detector(*f);
    const std::vector<BareFeatures> models = bare_models(*d);
    std::vector<float> xyz;
    for (int i = 0; i < f->start[f->clusterCount]; ++i) {
        const Point3f p = f->point[i];
        xyz.insert(xyz.end(), {p.x, p.y, p.z});
    }
    for (auto _ : state) {
        if (bare_timer_step(xyz, f->start, f->clusterCount, models) != 16)
            state.SkipWithError("the bare step did not name the 16 objects");
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

// 20 learning frames and 40 with the objects, fed and drained. Start (the threads and their
// state) and Reset (joining them) stay outside the time, as the synchronous side's reset and
// timer state do.
void BM_pipeline_threaded(benchmark::State &state)
{
    std::unique_ptr<PacketData> f(new PacketData());
    auto trained = learned_detector(*f);
    const std::string models = saved_models_file(*trained);
    PointCloudAnomalyDetector d;
    std::vector<ModelInfo> infos;
    d.LoadModelsFromFile(models, infos);
    DetectorConfig cfg;
    size_t records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        d.Start(cfg);
        state.ResumeTiming();
        settle(d);
        for (int i = 0; i < kPipelineFrames; ++i)
            feed(d, i < kLearning ? wall_packets() : object_packets());
        if (!d.WaitDrained(std::chrono::seconds(60)))
            state.SkipWithError("the workers did not drain");
        state.PauseTiming();
        records = d.GetResults().size();
        d.Reset();
        state.ResumeTiming();
    }
    if (records != 16)
        state.SkipWithError("the last frame did not give its 16 records");
    state.SetItemsProcessed(int64_t(state.iterations()) * kPipelineFrames);
}

// The same frames through the stage calls on this thread, each in the buffer the intake queued
// it in, as the workers take them.
void BM_pipeline_sync(benchmark::State &state)
{
    std::unique_ptr<PacketData> f(new PacketData());
    auto trained = learned_detector(*f);
    const std::string models = saved_models_file(*trained);
    PointCloudAnomalyDetector d;
    std::vector<ModelInfo> infos;
    d.LoadModelsFromFile(models, infos);
    size_t records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        d.Reset();
        auto timer = std::make_unique<PointCloudAnomalyDetector::TimerState>();
        state.ResumeTiming();
        settle(d);
        for (int i = 0; i < kPipelineFrames; ++i) {
            feed(d, i < kLearning ? wall_packets() : object_packets());
            d.ProcessQueuedFrame(*timer);
        }
        state.PauseTiming();
        records = d.GetResults().size();
        timer.reset();
        state.ResumeTiming();
    }
    if (records != 16)
        state.SkipWithError("the last frame did not give its 16 records");
    state.SetItemsProcessed(int64_t(state.iterations()) * kPipelineFrames);
}

// ---------------------------------------------------------------------------------------------
// Training from a dump file.

constexpr int kTrainingFrames = 100;

std::string temp_path(const char *name)
{
    const char *tmp = std::getenv("TMPDIR");
    return std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/" + name;
}

// A dump as the recorder writes it: two IMU packets of a level sensor, then the frames' point
// packets, each in its record.
const std::string &training_dump()
{
    static const std::string path = [] {
        const std::string p = temp_path("bench_detector_training.dump");
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        auto put = [&out](const Bytes &payload) {
            const Bytes r = make_dump_record(2, payload);
            out.write(reinterpret_cast<const char *>(r.data()), std::streamsize(r.size()));
        };
        for (int i = 0; i < 2; ++i)
            put(raxo_imu_level_packet(0.0f, 0.0f, 9.8f));
        for (int f = 0; f < kTrainingFrames; ++f)
            for (const Bytes &packet : f < kLearning ? wall_packets() : object_packets())
                put(packet);
        return p;
    }();
    return path;
}

// Each epoch trains from no models: the model's samples would otherwise pile up over the runs
// and every later sample would cost more.
void forget_models(PointCloudAnomalyDetector &d)
{
    static const std::string none = [] {
        const std::string p = temp_path("bench_detector_no_models.bin");
        std::ofstream(p, std::ios::binary | std::ios::trunc) << "0";
        return p;
    }();
    std::vector<ModelInfo> infos;
    d.LoadModelsFromFile(none, infos);
}

std::vector<uint8_t> read_whole(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The training run of the dialog: read, scan, start, name, feed, wait for the workers, save.
void BM_training_epoch_threaded(benchmark::State &state)
{
    const std::string dump = training_dump();
    const std::string models = temp_path("bench_detector_trained.bin");
    PointCloudAnomalyDetector d;
    size_t saved = 0;
    for (auto _ : state) {
        forget_models(d);
        const std::vector<uint8_t> bytes = read_whole(dump);
        const DumpPackets packets = scan_dump(bytes.data(), bytes.size());
        DetectorConfig cfg;
        d.Start(cfg);
        d.SetTrainName("box");
        for (const std::vector<uint8_t> &p : packets.imu)
            d.ProcessImuPacket(p.data(), p.size());
        for (const std::vector<uint8_t> &p : packets.points)
            d.ProcessPointPacket(p.data(), p.size());
        if (!d.WaitDrained(std::chrono::seconds(120)))
            state.SkipWithError("the workers did not drain");
        d.Reset();
        if (!d.SaveModels(models))
            state.SkipWithError("the model file could not be saved");
        saved = d.GetModels().size();
    }
    if (saved != 1 || d.GetModels().size() != 1 || d.GetModels()[0].sampleCount != 16 * (kTrainingFrames - kLearning))
        state.SkipWithError("the run did not train one model with every object of every frame");
    state.SetItemsProcessed(int64_t(state.iterations()) * kTrainingFrames);
}

// The same file read and scanned, its frames through the stage calls on this thread.
void BM_training_epoch_sync(benchmark::State &state)
{
    const std::string dump = training_dump();
    const std::string models = temp_path("bench_detector_trained_sync.bin");
    PointCloudAnomalyDetector d;
    for (auto _ : state) {
        forget_models(d);
        const std::vector<uint8_t> bytes = read_whole(dump);
        const DumpPackets packets = scan_dump(bytes.data(), bytes.size());
        d.Reset();
        d.SetTrainName("box");
        PointCloudAnomalyDetector::TimerState timer;
        for (const std::vector<uint8_t> &p : packets.imu)
            d.ProcessImuPacket(p.data(), p.size());
        for (const std::vector<uint8_t> &p : packets.points) {
            d.ProcessPointPacket(p.data(), p.size());
            if (d.QueuedFrames() > 0)
                d.ProcessQueuedFrame(timer);
        }
        if (!d.SaveModels(models))
            state.SkipWithError("the model file could not be saved");
    }
    if (d.GetModels().size() != 1 || d.GetModels()[0].sampleCount != 16 * (kTrainingFrames - kLearning))
        state.SkipWithError("the run did not train one model with every object of every frame");
    state.SetItemsProcessed(int64_t(state.iterations()) * kTrainingFrames);
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
BENCHMARK(BM_bare_timer_step)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(1);
BENCHMARK(BM_timer_step)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(1);
BENCHMARK(BM_pipeline_sync)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_pipeline_threaded)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_training_epoch_sync)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_training_epoch_threaded)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

int main(int argc, char **argv)
{
    // The workers' trace lines would interleave with the table.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter("time ratios",
                           {{"BM_detector_frame", "BM_bare_frame", "1.5 or less"},
                            {"BM_timer_step", "BM_bare_timer_step", "2 or less"},
                            {"BM_pipeline_threaded", "BM_pipeline_sync",
                             "0.8 or less with two or more free cores"},
                            {"BM_training_epoch_threaded", "BM_training_epoch_sync", "1.5 or less"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
