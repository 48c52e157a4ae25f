// The live thread's stages on the test's own thread: background learning, the foreground test,
// component labelling, the foreground list and its limits, dominant slabs and the clusters of a
// frame.

#include "detectortesthelpers.h"

#include <algorithm>
#include <set>

namespace {

constexpr int W = kDetectorColumns;

// A mask and distances to label, and the labels that come out.
struct Grid {
    std::vector<uint8_t> mask = std::vector<uint8_t>(kDetectorCells, 0);
    std::vector<uint16_t> depth = std::vector<uint16_t>(kDetectorCells, 0);
    std::vector<uint16_t> labels = std::vector<uint16_t>(kDetectorCells, 0);

    void set(int r, int c, uint16_t d)
    {
        mask[size_t(r * W + c)] = 1;
        depth[size_t(r * W + c)] = d;
    }
    void block(int r0, int r1, int c0, int c1, uint16_t d)
    {
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                set(r, c, d);
    }
    uint16_t at(int r, int c) const { return labels[size_t(r * W + c)]; }
    int label(PointCloudAnomalyDetector &det)
    {
        return det.labelComponents(mask.data(), depth.data(), kDetectorMargin, labels.data());
    }
    // Cells that kept a label, and the set of labels used.
    size_t labelled() const
    {
        return size_t(std::count_if(labels.begin(), labels.end(), [](uint16_t l) { return l != 0; }));
    }
    std::set<uint16_t> used() const
    {
        std::set<uint16_t> s(labels.begin(), labels.end());
        s.erase(0);
        return s;
    }
    // Every cell of the block carries `l`.
    bool block_has(int r0, int r1, int c0, int c1, uint16_t l) const
    {
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                if (at(r, c) != l)
                    return false;
        return true;
    }
};

std::vector<Point3f> along_x(const std::vector<float> &xs)
{
    std::vector<Point3f> p;
    for (size_t i = 0; i < xs.size(); ++i) {
        Point3f q;
        q.x = xs[i];
        q.y = float(i); // tells the points apart
        p.push_back(q);
    }
    return p;
}

std::vector<float> ys_of(const std::vector<Point3f> &p)
{
    std::vector<float> out;
    for (const Point3f &q : p)
        out.push_back(q.y);
    return out;
}

} // namespace

TEST(DetectorBackground, LowerMedianOfTheValidSamples)
{
    // Per cell, the distances of the 20 learning frames that returned (the others return 0).
    const std::vector<std::vector<uint16_t>> cases = {
        {100, 200, 300},
        {100, 200, 300, 400},
        {300, 100, 200},
        {700},
        {},
        {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160, 170, 180, 190, 200},
        {65534, 1},
    };
    const std::vector<uint16_t> expected = {200, 200, 200, 700, 0xFFFF, 100, 1};
    auto d = make_detector();
    std::vector<uint16_t> frame(kDetectorCells);
    for (int i = 0; i < kDetectorBackgroundFrames; ++i) {
        std::fill(frame.begin(), frame.end(), uint16_t(0));
        for (size_t c = 0; c < cases.size(); ++c)
            frame[c] = i < int(cases[c].size()) ? cases[c][size_t(i)] : 0;
        d->pushBackgroundSample(frame.data());
    }
    EXPECT_EQ(d->backgroundSampleCount(), 20);
    d->computeBackground();
    for (size_t c = 0; c < cases.size(); ++c)
        EXPECT_EQ(d->background()[c], expected[c]) << "case " << c;
    EXPECT_EQ(d->background()[kDetectorCells - 1], 0xFFFF) << "a cell that never returned";

    d->clearBackground();
    EXPECT_EQ(d->backgroundSampleCount(), 0);
    EXPECT_EQ(d->background()[0], 0);
}

TEST(DetectorBackground, ForegroundStandsClearlyInFront)
{
    // Background 4000 cm: 4000 - 20 - 4000 / 2000 = 3978 is the first distance not in front.
    auto d = make_detector();
    std::vector<uint16_t> frame(kDetectorCells, 4000);
    for (int i = 0; i < kDetectorBackgroundFrames; ++i)
        d->pushBackgroundSample(frame.data());
    d->computeBackground();
    std::vector<uint16_t> labels(kDetectorCells);
    for (uint16_t dist : {uint16_t(3977), uint16_t(3978), uint16_t(0)}) {
        std::fill(frame.begin(), frame.end(), uint16_t(4000));
        for (int r = 50; r <= 52; ++r)
            for (int c = 50; c <= 52; ++c)
                frame[size_t(r * W + c)] = dist;
        const int components = d->computeForeground(frame.data(), kDetectorMargin, labels.data());
        const size_t labelled = size_t(std::count_if(labels.begin(), labels.end(), [](uint16_t l) { return l != 0; }));
        EXPECT_EQ(components, dist == 3977 ? 1 : 0) << dist;
        EXPECT_EQ(labelled, dist == 3977 ? 9u : 0u) << dist;
    }
}

TEST(DetectorBackground, TwentyStillFramesLearnAndAFrameNotStillStartsAgain)
{
    RaxoScene scene;
    scene.object(40, 49, 100, 109, 5.0);
    auto d = make_detector();
    settle(*d);
    const std::unique_ptr<PacketData> objectFrame = intake(*d, scene);
    auto f = make_frame();
    auto learnAndFind = [&](const char *what) {
        for (int i = 1; i <= 20; ++i) {
            *f = PacketData();
            ASSERT_FALSE(d->processFrame(*f)) << what << ": learning frame " << i;
            ASSERT_EQ(d->backgroundFrameCount(), uint32_t(i)) << what;
        }
        *f = *objectFrame;
        ASSERT_TRUE(d->processFrame(*f)) << what << ": the 21st frame yields";
        EXPECT_EQ(cluster_sizes(*f), std::vector<size_t>{100}) << what;
        EXPECT_EQ(d->backgroundFrameCount(), 21u) << what;
        *f = *objectFrame;
        ASSERT_TRUE(d->processFrame(*f)) << what;
        EXPECT_EQ(d->backgroundFrameCount(), 21u) << what << ": the counter stays at 21";
    };
    learnAndFind("first learning");

    // A frame while the sensor is not still: the background is gone, learning starts again.
    unsettle(*d);
    *f = *objectFrame;
    EXPECT_FALSE(d->processFrame(*f));
    EXPECT_EQ(d->backgroundFrameCount(), 0u);
    EXPECT_EQ(d->backgroundSampleCount(), 0);
    EXPECT_EQ(d->background()[0], 0);
    settle(*d);
    learnAndFind("after a frame not still");

    // An overflowing frame, then one not still: the new learning must not be held at frame 0.
    RaxoScene crowd;
    crowd.object(0, 149, 0, 90, 3.0);
    *f = *intake(*d, crowd);
    EXPECT_FALSE(d->processFrame(*f));
    EXPECT_TRUE(d->overflowed());
    unsettle(*d);
    *f = PacketData();
    EXPECT_FALSE(d->processFrame(*f));
    settle(*d);
    learnAndFind("after an overflow and a frame not still");
}

TEST(DetectorLabels, FilterKeepsCellsWithEnoughNeighbours)
{
    struct Case {
        const char *what;
        std::vector<std::pair<int, int>> cells;
        std::vector<std::pair<int, int>> kept;
    } cases[] = {
        {"one cell", {{50, 50}}, {}},
        {"two touching cells", {{50, 50}, {50, 51}}, {}},
        {"three in a row", {{50, 50}, {50, 51}, {50, 52}}, {{50, 51}}},
        {"a ring around a hole", {{9, 9}, {9, 10}, {9, 11}, {10, 9}, {10, 11}, {11, 9}, {11, 10}, {11, 11}},
         {{9, 9}, {9, 10}, {9, 11}, {10, 9}, {10, 11}, {11, 9}, {11, 10}, {11, 11}}},
        {"alone on the top row", {{0, 100}}, {{0, 100}}},
        {"alone in the last corner", {{149, 359}}, {{149, 359}}},
    };
    auto d = make_detector();
    for (const Case &c : cases) {
        Grid g;
        for (auto rc : c.cells)
            g.set(rc.first, rc.second, 500);
        g.label(*d);
        EXPECT_EQ(g.labelled(), c.kept.size()) << c.what;
        for (auto rc : c.kept)
            EXPECT_EQ(g.at(rc.first, rc.second), 1) << c.what;
    }
}

TEST(DetectorLabels, JoinsAcrossSimilarDistancesFromAboveAndAlwaysFromTheLeft)
{
    struct Case {
        const char *what;
        int r0, c0;         // the second block's corner; the first is rows 10-12, columns 10-14
        uint16_t distance;  // the second block's; the first lies at 500
        int components;
    } cases[] = {
        {"below, 19 cm apart", 13, 10, 519, 1},
        {"below, 20 cm apart", 13, 10, 520, 2},
        {"below, 20 cm nearer", 13, 10, 480, 2},
        {"touching a corner below, similar", 13, 15, 505, 1},
        {"touching a corner below, apart", 13, 15, 900, 2},
        {"on the right, 400 cm apart", 10, 15, 900, 1},
    };
    auto d = make_detector();
    for (const Case &c : cases) {
        Grid g;
        g.block(10, 12, 10, 14, 500);
        g.block(c.r0, c.r0 + 2, c.c0, c.c0 + 4, c.distance);
        EXPECT_EQ(g.label(*d), c.components) << c.what;
        EXPECT_TRUE(g.block_has(10, 12, 10, 14, 1)) << c.what;
        EXPECT_TRUE(g.block_has(c.r0, c.r0 + 2, c.c0, c.c0 + 4, uint16_t(c.components))) << c.what;
    }

    // A U: its arms start apart and meet at the bottom; both end as one label.
    Grid u;
    u.block(20, 29, 20, 22, 700);
    u.block(20, 29, 30, 32, 700);
    u.block(27, 29, 23, 29, 700);
    EXPECT_EQ(u.label(*d), 1);
    EXPECT_EQ(u.used(), std::set<uint16_t>{1});

    // Side by side in the same rows, their cells interleave in raster order: each keeps its own.
    Grid pair;
    pair.block(40, 49, 50, 59, 500);
    pair.block(40, 49, 62, 71, 800);
    EXPECT_EQ(pair.label(*d), 2);
    EXPECT_TRUE(pair.block_has(40, 49, 50, 59, 1));
    EXPECT_TRUE(pair.block_has(40, 49, 62, 71, 2));
    EXPECT_EQ(pair.labelled(), 200u);
}

TEST(DetectorLabels, FrameNeedingMoreLabelsThanTheTablesHoldIsDropped)
{
    // Two-column stripes with rows alternating 10 and 40 cm: each stripe row starts a label
    // of its own (13500), more than the tables hold. Rows of 10 cm are not listed, so the
    // foreground list alone (13500 entries) would not stop the frame.
    auto d = make_detector();
    Grid g;
    for (int r = 0; r < kDetectorRows; ++r)
        for (int c = 0; c < W; c += 4) {
            g.set(r, c, r % 2 ? 40 : 10);
            g.set(r, c + 1, r % 2 ? 40 : 10);
        }
    EXPECT_EQ(g.label(*d), -1);

    settle(*d);
    learn_nothing(*d);
    auto f = make_frame();
    for (int cell = 0; cell < kDetectorCells; ++cell) {
        f->depth[cell] = g.depth[size_t(cell)];
        f->point[cell] = Point3f{5.0f, 0.0f, 0.0f};
    }
    EXPECT_FALSE(d->processFrame(*f));
    EXPECT_TRUE(d->overflowed());
    EXPECT_EQ(d->backgroundFrameCount(), 20u) << "an overflowing frame does not advance the counter";

    // Half the stripes need 6750 labels: a frame like any other.
    for (int cell = 0; cell < kDetectorCells; ++cell)
        if (cell % W >= 180)
            f->depth[cell] = 0;
    EXPECT_TRUE(d->processFrame(*f));
    EXPECT_FALSE(d->overflowed());
    EXPECT_EQ(d->backgroundFrameCount(), 21u);
}

TEST(DetectorClusters, ForegroundOf13500PointsIsProcessedAnd13501Dropped)
{
    auto d = learned_detector();
    // Columns 0-89 of every row: 150 x 90 = 13500 cells, all kept by the filter.
    RaxoScene scene;
    scene.object(0, 149, 0, 89, 4.0);
    auto f = intake(*d, scene);
    ASSERT_TRUE(d->processFrame(*f));
    EXPECT_EQ(d->foregroundCount(), 13500);
    EXPECT_FALSE(d->overflowed());
    EXPECT_EQ(f->clusterCount, 1);

    // One more cell beside the block (three neighbours keep it).
    scene.object(75, 75, 90, 90, 4.0);
    f = intake(*d, scene);
    EXPECT_FALSE(d->processFrame(*f));
    EXPECT_TRUE(d->overflowed());
    EXPECT_EQ(d->foregroundCount(), 0);
    EXPECT_EQ(d->highestLabel(), 0);

    // Cells at 20 cm or nearer are labelled but not listed.
    scene.object(0, 0, 0, 0, 0.2);
    f = intake(*d, scene);
    EXPECT_TRUE(d->processFrame(*f));
    EXPECT_EQ(d->foregroundCount(), 13500);
}

TEST(DetectorClusters, TwoBlobsGiveTwoClustersOfTheirOwnPoints)
{
    auto d = learned_detector();
    RaxoScene scene;
    scene.object(40, 59, 100, 109, 5.0); // 200 cells
    scene.object(40, 69, 114, 121, 8.0); // 240 cells, the same rows and more
    auto f = intake(*d, scene);
    ASSERT_TRUE(d->processFrame(*f));
    const auto clusters = clusters_of(*f);
    ASSERT_EQ(clusters.size(), 2u);
    EXPECT_EQ(clusters[0].size(), 200u);
    EXPECT_EQ(clusters[1].size(), 240u);
    for (const Point3f &p : clusters[0]) {
        EXPECT_EQ(p.x, RaxoScene::cell_x(5.0));
        EXPECT_TRUE(p.y >= RaxoScene::cell_y(100) && p.y <= RaxoScene::cell_y(109));
    }
    for (const Point3f &p : clusters[1])
        EXPECT_EQ(p.x, RaxoScene::cell_x(8.0));
    EXPECT_EQ(f->start[0], 0);
    EXPECT_EQ(f->start[2], 440);
}

TEST(DetectorClusters, SixteenInLabelOrderAndEmptySlabsKeepTheirPlace)
{
    auto d = learned_detector();
    RaxoScene scene;
    // First, a 4 x 4 blob below the minimum of 20 points: it takes no place.
    scene.object(10, 13, 2, 5, 3.0);
    // Then 18 blobs of 5 x 5 in one band, x = 3, 3.5, 4 ... m from left to right.
    for (int k = 0; k < 18; ++k)
        scene.object(10, 14, 10 + 15 * k, 14 + 15 * k, 3.0 + 0.5 * k);
    // The second one spread along x, 30 cm from cell to cell: no slice holds 5 of its points.
    for (int r = 10; r <= 14; ++r)
        for (int c = 25; c <= 29; ++c)
            scene.set(r, c, 350, int16_t(1750 + 150 * ((r - 10) * 5 + (c - 25))), int16_t((c - 180) * 25), 0);
    auto f = intake(*d, scene);
    ASSERT_TRUE(d->processFrame(*f));
    const auto clusters = clusters_of(*f);
    ASSERT_EQ(clusters.size(), 16u);
    EXPECT_EQ(clusters[1].size(), 0u) << "an emptied cluster still counts";
    for (size_t k = 0; k < 16; ++k) {
        if (k == 1)
            continue;
        ASSERT_EQ(clusters[k].size(), 25u) << k;
        EXPECT_EQ(clusters[k][0].x, RaxoScene::cell_x(3.0 + 0.5 * double(k))) << k;
    }

    // With the minimum lowered to 16 the small blob takes the first place.
    DetectorConfig c = config_with_min_points(16);
    d->Start(c);
    d->Reset();
    settle(*d);
    learn_nothing(*d);
    f = intake(*d, scene);
    ASSERT_TRUE(d->processFrame(*f));
    ASSERT_EQ(f->clusterCount, 16);
    EXPECT_EQ(clusters_of(*f)[0].size(), 16u);
    EXPECT_EQ(clusters_of(*f)[1][0].x, RaxoScene::cell_x(3.0));
}

TEST(DetectorClusters, NoForegroundStillQueuesAnEmptyElement)
{
    auto d = learned_detector();
    auto f = make_frame();
    f->start[0] = 77; // whatever the element held
    ASSERT_TRUE(d->processFrame(*f));
    EXPECT_EQ(f->clusterCount, 0);
    EXPECT_EQ(f->start[0], 0);
}

TEST(DetectorSlabs, DominantSlabAndItsNeighbours)
{
    auto d = make_detector();
    std::vector<Point3f> out;

    // 30 points within 0.2 m: one slice, every point, in order.
    std::vector<float> xs;
    for (int i = 0; i < 30; ++i)
        xs.push_back(5.0f + 0.005f * float(i % 7) + 0.0001f * float(i));
    const std::vector<Point3f> tight = along_x(xs);
    d->extractDominantSlab(0.2, 5, tight, out, 0);
    EXPECT_EQ(ys_of(out), ys_of(tight));

    // The fullest slice holds 4: nothing.
    d->extractDominantSlab(0.2, 5, along_x({0.0f, 0.05f, 0.1f, 0.15f, 0.3f, 0.5f, 0.7f}), out, 0);
    EXPECT_TRUE(out.empty());
    d->extractDominantSlab(0.2, 5, {}, out, 0);
    EXPECT_TRUE(out.empty());

    // Slices 0..4 hold 3, 12, 100, 9 and 10 points, given interleaved. Threshold 10: slice 1
    // joins, slice 0 does not; slice 3 stops the climb before slice 4.
    const int counts[5] = {3, 12, 100, 9, 10};
    std::vector<float> mixed;
    int left[5] = {3, 12, 100, 9, 10};
    mixed.push_back(0.0f); // the minimum, in slice 0
    --left[0];
    for (bool more = true; more;) {
        more = false;
        for (int s = 4; s >= 0; --s)
            if (left[s] > 0) {
                mixed.push_back(0.2f * float(s) + 0.05f + 0.001f * float(left[s] % 50));
                --left[s];
                more = true;
            }
    }
    const std::vector<Point3f> in = along_x(mixed);
    d->extractDominantSlab(0.2, 5, in, out, 0);
    ASSERT_EQ(out.size(), size_t(counts[1] + counts[2]));
    std::vector<float> expected;
    for (int s : {1, 2})
        for (const Point3f &p : in)
            if (p.x >= 0.2f * float(s) && p.x < 0.2f * float(s + 1))
                expected.push_back(p.y);
    EXPECT_EQ(ys_of(out), expected) << "slice by slice, each in input order";

    // Ties: the first fullest slice is the peak. The same along y and z.
    for (int axis : {1, 2}) {
        std::vector<Point3f> pts;
        for (int i = 0; i < 12; ++i) {
            Point3f p;
            const float v = i < 6 ? 0.05f : 1.05f; // slices 0 and 5, six each
            (axis == 1 ? p.y : p.z) = v;
            p.x = float(i);
            pts.push_back(p);
        }
        d->extractDominantSlab(0.2, 5, pts, out, axis);
        ASSERT_EQ(out.size(), 6u) << axis;
        EXPECT_EQ(out[0].x, 0.0f) << axis;
    }
}
