// The tracker and the timer thread's step for one element of clusters, on the test's own
// thread: result records, track ids, the frame number and the results list.

#include "detectortesthelpers.h"

#include <array>

namespace {

struct TrackerDeleter {
    void operator()(ObjectTracker *t) const { PointCloudAnomalyDetector::destroyTracker(t); }
};
using Tracker = std::unique_ptr<ObjectTracker, TrackerDeleter>;

Tracker make_tracker()
{
    return Tracker(PointCloudAnomalyDetector::createTracker(16, 0.5f, 5));
}

std::vector<TrackInput> at(std::initializer_list<std::array<float, 3>> centres)
{
    std::vector<TrackInput> in;
    for (const auto &c : centres) {
        TrackInput t;
        t.x = c[0];
        t.y = c[1];
        t.z = c[2];
        in.push_back(t);
    }
    return in;
}

// Runs a frame; returns the ids the inputs got.
std::vector<int> step(ObjectTracker *t, std::vector<TrackInput> in, int frame)
{
    PointCloudAnomalyDetector::updateTracks(t, in.data(), int(in.size()), frame);
    std::vector<int> ids;
    for (const TrackInput &i : in)
        ids.push_back(i.trackId);
    return ids;
}

// An element of queue 2 holding the given clusters.
std::unique_ptr<PacketData> element(const std::vector<std::vector<Point3f>> &clusters)
{
    std::unique_ptr<PacketData> e = make_frame();
    size_t pos = 0;
    for (size_t j = 0; j < clusters.size(); ++j) {
        e->start[j] = uint16_t(pos);
        for (const Point3f &p : clusters[j])
            e->point[pos++] = p;
    }
    e->start[clusters.size()] = uint16_t(pos);
    e->clusterCount = uint16_t(clusters.size());
    return e;
}

// A 0.4 m cube of 27 points around a centre.
std::vector<Point3f> cube(float cx, float cy, float cz)
{
    std::vector<Point3f> pts;
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            for (int k = -1; k <= 1; ++k)
                pts.push_back(pt(cx + 0.2f * float(i), cy + 0.2f * float(j), cz + 0.2f * float(k)));
    return pts;
}

std::vector<int> track_ids(const std::vector<DetectedObject> &records)
{
    std::vector<int> ids;
    for (const DetectedObject &r : records)
        ids.push_back(r.trackId);
    return ids;
}

} // namespace

TEST(DetectorTracker, NewMovedAndLostTracks)
{
    Tracker t = make_tracker();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->count, 0);
    EXPECT_EQ(t->tracks.size(), 16u);
    EXPECT_EQ(t->tracks[0].id, -1);

    EXPECT_EQ(step(t.get(), at({{5, 0, 0}, {8, 2, 0}, {10, -3, 0}}), 0), (std::vector<int>{1, 2, 3}));
    // 0.3 m further: the same tracks.
    EXPECT_EQ(step(t.get(), at({{5.3f, 0, 0}, {8.3f, 2, 0}, {10.3f, -3, 0}}), 1), (std::vector<int>{1, 2, 3}));
    // 0.6 m further: beyond the gate, new tracks; the old ones start missing.
    EXPECT_EQ(step(t.get(), at({{5.9f, 0, 0}, {8.9f, 2, 0}, {10.9f, -3, 0}}), 2), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(t->count, 6);
    EXPECT_EQ(t->tracks[0].misses, 1);
    EXPECT_TRUE(t->tracks[0].active);

    // Tracks 1-3 were last matched at frame 1: at frame 7 they miss a sixth time, stop being
    // active and, 6 frames old, go; 4-6 (created at 2) follow a frame later.
    for (int f = 3; f <= 6; ++f)
        step(t.get(), {}, f);
    EXPECT_EQ(t->count, 6);
    EXPECT_EQ(t->tracks[0].misses, 5);
    step(t.get(), {}, 7);
    ASSERT_EQ(t->count, 3);
    EXPECT_EQ(t->tracks[0].id, 4) << "the tracks behind move up in order";
    EXPECT_TRUE(t->tracks[0].active);
    EXPECT_EQ(t->tracks[0].misses, 5);
    EXPECT_EQ(t->tracks[3].id, -1);
    step(t.get(), {}, 8);
    EXPECT_EQ(t->count, 0);
}

TEST(DetectorTracker, ErasedSixFramesAfterItsLastMatch)
{
    Tracker t = make_tracker();
    for (int f = 0; f <= 10; ++f)
        ASSERT_EQ(step(t.get(), at({{4, 1, 0}}), f), std::vector<int>{1});
    for (int f = 11; f <= 15; ++f) {
        step(t.get(), {}, f);
        ASSERT_EQ(t->count, 1) << f;
        EXPECT_TRUE(t->tracks[0].active) << f;
    }
    step(t.get(), {}, 16);
    EXPECT_EQ(t->count, 0);
}

TEST(DetectorTracker, TwoInputsNearestOneTrack)
{
    // The second input may take another active track within the gate...
    Tracker t = make_tracker();
    step(t.get(), at({{0, 0, 0}, {0.6f, 0, 0}}), 0);
    EXPECT_EQ(step(t.get(), at({{0.1f, 0, 0}, {0.2f, 0, 0}}), 1), (std::vector<int>{1, 2}));
    // ...else it starts a track of its own.
    Tracker u = make_tracker();
    step(u.get(), at({{0, 0, 0}, {1.0f, 0, 0}}), 0);
    EXPECT_EQ(step(u.get(), at({{0.1f, 0, 0}, {0.2f, 0, 0}}), 1), (std::vector<int>{1, 3}));
    // Equal distances: the first track in the array.
    Tracker v = make_tracker();
    step(v.get(), at({{-0.25f, 0, 0}, {0.25f, 0, 0}}), 0);
    EXPECT_EQ(step(v.get(), at({{0, 0, 0}}), 1), std::vector<int>{1});
}

TEST(DetectorTracker, FullTrackerReplacesTheTrackMatchedLongestAgo)
{
    Tracker t = make_tracker();
    std::vector<TrackInput> sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen.push_back(at({{float(3 * i), 0, 0}})[0]);
    step(t.get(), sixteen, 0);
    ASSERT_EQ(t->count, 16);
    // Frame 1: all but the first are seen again, and something new appears far away.
    std::vector<TrackInput> next(sixteen.begin() + 1, sixteen.end());
    next.push_back(at({{100, 100, 0}})[0]);
    const std::vector<int> ids = step(t.get(), next, 1);
    EXPECT_EQ(ids.back(), 17);
    EXPECT_EQ(t->count, 16);
    EXPECT_EQ(t->tracks[0].id, 17) << "in place of track 1, last matched at frame 0";
    EXPECT_EQ(t->tracks[0].x, 100.0f);
    EXPECT_EQ(t->tracks[1].id, 2);
}

TEST(DetectorTimerStep, RecordsTracksAndTheResultsList)
{
    auto d = make_detector();
    PointCloudAnomalyDetector::TimerState state;
    ASSERT_TRUE(state.tracker);
    const std::vector<Point3f> c = cube(5, 0, 1);
    d->processClusterElement(*element({c, cube(8, 2, 0.5f), cube(10, -3, 0)}), state);
    std::vector<DetectedObject> r = d->GetResults();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(track_ids(r), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(state.frameNumber, 1);
    const DetectedObject &first = r[0];
    EXPECT_EQ(int(first.classIndex), -1);
    EXPECT_EQ(int(first.pointCount), 27);
    // The cube's first point is its minimum corner, its last the maximum.
    const Point3f lo = c.front(), hi = c.back();
    const float cx = first.centerX, cy = first.centerY, cz = first.centerZ;
    EXPECT_EQ(cx, float((double(lo.x) + double(hi.x)) * 0.5));
    EXPECT_EQ(cy, float((double(lo.y) + double(hi.y)) * 0.5));
    EXPECT_EQ(cz, float((double(lo.z) + double(hi.z)) * 0.5));
    const float sx = first.sizeX, sz = first.sizeZ;
    EXPECT_EQ(sx, hi.x - lo.x);
    EXPECT_EQ(sz, hi.z - lo.z);
    for (int i = 0; i < 27; ++i) {
        const Point3f p = first.points[i];
        EXPECT_EQ(p.x, c[size_t(i)].x);
        EXPECT_EQ(p.z, c[size_t(i)].z);
    }

    // Moved by 0.3 m: the same ids; an empty cluster gets neither record nor track.
    d->processClusterElement(*element({cube(5.3f, 0, 1), {}, cube(8.3f, 2, 0.5f), cube(10.3f, -3, 0)}), state);
    r = d->GetResults();
    EXPECT_EQ(track_ids(r), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(state.tracker->count, 3);

    // A cluster of 3000 points keeps its first 2560; its box is the whole cluster's.
    std::vector<Point3f> big;
    for (int i = 0; i < 3000; ++i)
        big.push_back(pt(6.0f + 0.001f * float(i), 0, 0));
    state.tracker->nextId = 300;
    d->processClusterElement(*element({big}), state);
    r = d->GetResults();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(int(r[0].pointCount), 2560);
    const Point3f last = r[0].points[2559];
    EXPECT_EQ(last.x, 6.0f + 0.001f * 2559.0f);
    const float bigSize = r[0].sizeX;
    EXPECT_EQ(bigSize, big.back().x - 6.0f);
    EXPECT_EQ(r[0].trackId, 44) << "track 300 in 8 bits";
    EXPECT_EQ(state.frameNumber, 3);

    // An element that claims points it cannot hold gives no record.
    auto bad = element({cube(5, 0, 0)});
    bad->start[1] = 60000;
    d->processClusterElement(*bad, state);
    EXPECT_TRUE(d->GetResults().empty());
}

TEST(DetectorTimerStep, TrainingLeavesResultsAndFrameNumber)
{
    auto d = make_detector();
    PointCloudAnomalyDetector::TimerState state;
    d->processClusterElement(*element({cube(5, 0, 0)}), state);
    ASSERT_EQ(d->GetResults().size(), 1u);

    d->SetTrainName("cube");
    d->processClusterElement(*element({cube(6, 0, 0), cube(12, 1, 0)}), state);
    EXPECT_EQ(d->GetResults().size(), 1u) << "the last test-mode frame's records stay";
    EXPECT_EQ(state.frameNumber, 1);
    const std::vector<ObjectModel> models = d->GetModels();
    ASSERT_EQ(models.size(), 1u);
    EXPECT_EQ(models[0].sampleCount, 2);

    // Back in test mode the trained model names the cube.
    d->Reset();
    d->processClusterElement(*element({cube(7, 0, 0)}), state);
    ASSERT_EQ(d->GetResults().size(), 1u);
    EXPECT_EQ(int(d->GetResults()[0].classIndex), 0);
    EXPECT_EQ(state.frameNumber, 2);
}
