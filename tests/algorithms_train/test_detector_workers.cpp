// The detector's two worker threads: start, configuration, reset and join, back-pressure on the
// queues, and synthetic scans learnt and clustered through the real threads.

#include "detectortesthelpers.h"

#include "testsupport.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;
constexpr auto kWait = 30s;

// What the timer thread was handed: the cluster sizes of every element, in order. It can hold
// the timer thread until released; its state outlives the test's frame, since the detector's
// thread may still call it while the test unwinds.
class Tap {
public:
    explicit Tap(PointCloudAnomalyDetector &d, bool hold = false) : s_(std::make_shared<State>())
    {
        s_->hold = hold;
        std::shared_ptr<State> s = s_;
        d.SetClusterTap([s](const PacketData &e) {
            std::unique_lock<std::mutex> lock(s->mutex);
            s->elements.push_back(cluster_sizes(e));
            s->cv.wait(lock, [&] { return !s->hold; });
        });
    }
    ~Tap() { release(); }
    void release()
    {
        std::lock_guard<std::mutex> lock(s_->mutex);
        s_->hold = false;
        s_->cv.notify_all();
    }
    std::vector<std::vector<size_t>> elements() const
    {
        std::lock_guard<std::mutex> lock(s_->mutex);
        return s_->elements;
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable cv;
        bool hold = false;
        std::vector<std::vector<size_t>> elements;
    };
    std::shared_ptr<State> s_;
};

// Waits for a condition that other threads make true, checking each millisecond.
template <class F>
bool eventually(F f)
{
    const auto end = std::chrono::steady_clock::now() + kWait;
    while (!f()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

RaxoScene two_blobs()
{
    RaxoScene scene;
    scene.object(40, 59, 100, 109, 5.0); // 200 cells
    scene.object(40, 69, 114, 121, 8.0); // 240 cells
    return scene;
}

void feed_empty_frames(PointCloudAnomalyDetector &d, int n)
{
    const RaxoScene empty;
    for (int i = 0; i < n; ++i)
        feed(d, empty);
}

} // namespace

TEST(DetectorWorkers, StartChecksTheConfigurationAndWritesItBack)
{
    struct Case {
        uint8_t minPoints, frames;
        float distance;
        uint8_t wantMinPoints, wantFrames;
        float wantDistance;
    } cases[] = {
        {0, 0, 0.0f, 20, 1, 10.0f},
        {101, 11, 50.5f, 20, 1, 10.0f},
        {100, 10, 50.0f, 100, 10, 50.0f},
        {1, 1, -3.0f, 1, 1, -3.0f},
        {255, 5, 1e30f, 20, 5, 10.0f},
    };
    auto d = make_detector();
    for (const Case &c : cases) {
        DetectorConfig cfg;
        cfg.algorithm_switch = 7;
        cfg.min_cluster_points = c.minPoints;
        cfg.motion_frames = c.frames;
        cfg.distance_threshold = c.distance;
        cfg.reserved9[100] = 42;
        d->Start(cfg);
        const float distance = cfg.distance_threshold;
        EXPECT_EQ(cfg.min_cluster_points, c.wantMinPoints);
        EXPECT_EQ(cfg.motion_frames, c.wantFrames);
        EXPECT_EQ(distance, c.wantDistance);
        EXPECT_EQ(cfg.algorithm_switch, 7) << "bytes the detector does not read stay";
        const DetectorConfig kept = d->GetConfig();
        EXPECT_EQ(std::memcmp(&kept, &cfg, sizeof cfg), 0) << "the checked block is the one in force";
    }
    EXPECT_EQ(d->WorkerCount(), 2) << "starts while running only replace the configuration";
    d->Reset();
    EXPECT_EQ(d->WorkerCount(), 0);
}

TEST(DetectorWorkers, ResetJoinsTheWorkersAndStartsFromNothing)
{
    auto d = make_detector();
    // No workers: the reset only clears.
    settle(*d);
    d->SetTrainName("box");
    d->Reset();
    EXPECT_EQ(d->WorkerCount(), 0);
    EXPECT_FALSE(d->IsImuStable());
    EXPECT_FALSE(d->IsTraining());
    EXPECT_EQ(d->GetTrainName(), "");
    EXPECT_EQ(d->GetPitch(), 0.0);

    // A hundred bursts, each with frames under way: never more than one pair, none left after
    // the reset, and nothing carried into the next run.
    const RaxoScene scene = two_blobs();
    DetectorConfig cfg;
    for (int i = 0; i < 100; ++i) {
        d->Start(cfg);
        ASSERT_EQ(d->WorkerCount(), 2) << i;
        settle(*d);
        if (i % 10 == 0)
            feed(*d, scene);
        d->Reset();
        ASSERT_EQ(d->WorkerCount(), 0) << i;
        ASSERT_EQ(d->QueuedFrames(), 0u) << i;
        ASSERT_EQ(d->QueuedClusterSets(), 0u) << i;
        ASSERT_TRUE(d->IsDrained()) << i;
        ASSERT_EQ(d->backgroundSampleCount(), 0) << i;
    }

    // Frames queued before a start are the run's: the new pair takes them.
    settle(*d);
    feed(*d, scene);
    ASSERT_EQ(d->QueuedFrames(), 1u);
    EXPECT_FALSE(d->IsDrained());
    d->Start(cfg);
    EXPECT_TRUE(d->WaitDrained(kWait));
    EXPECT_EQ(d->QueuedFrames(), 0u);
    d->Reset();
}

TEST(DetectorWorkers, BlobsAreLearntAndClusteredThroughTheThreads)
{
    auto d = make_detector();
    Tap tap(*d);
    start_still(*d);
    feed_empty_frames(*d, 20);
    const RaxoScene scene = two_blobs();
    feed(*d, scene);
    feed(*d, scene);
    ASSERT_TRUE(d->WaitDrained(kWait));
    // The 20 learning frames yield nothing; each later frame one element with both clusters.
    const std::vector<std::vector<size_t>> want = {{200, 240}, {200, 240}};
    EXPECT_EQ(tap.elements(), want);

    // The same frames on the test's thread give the same clusters.
    auto sync = make_detector();
    settle(*sync);
    learn_nothing(*sync);
    auto f = intake(*sync, scene);
    ASSERT_TRUE(sync->processFrame(*f));
    EXPECT_EQ(cluster_sizes(*f), want[0]);

    // After a reset the next run learns again from its own frames.
    d->Reset();
    start_still(*d);
    feed_empty_frames(*d, 19);
    feed(*d, scene); // the 20th learning frame
    feed(*d, scene);
    ASSERT_TRUE(d->WaitDrained(kWait));
    EXPECT_EQ(tap.elements().size(), 3u);
    d->Reset();
}

TEST(DetectorWorkers, FullQueuesHoldTheFeederBack)
{
    auto d = make_detector();
    // The timer thread stops at the first element until released: queue 2, then the live
    // thread, then queue 1 fill up, and the feeder must wait instead of queueing more.
    Tap tap(*d, true);
    start_still(*d);
    const RaxoScene empty;
    const RaxoScene scene = two_blobs();
    const int learning = 20;
    const int total = 70;
    const int reachable = learning + 1 + int(kDetectorQueueLimit) + 1 + int(kDetectorQueueLimit);
    std::atomic<int> fed{0};
    std::atomic<size_t> mostQueued{0};
    std::thread feeder([&] {
        for (int i = 0; i < total; ++i) {
            for (const Bytes &p : (i < learning ? empty : scene).packets())
                d->ProcessPointPacket(p.data(), p.size());
            mostQueued = std::max(mostQueued.load(), d->QueuedFrames());
            ++fed;
        }
    });
    EXPECT_TRUE(eventually([&] {
        return d->QueuedFrames() == kDetectorQueueLimit && d->QueuedClusterSets() == kDetectorQueueLimit;
    }));
    EXPECT_TRUE(eventually([&] { return fed.load() >= reachable; }));
    EXPECT_EQ(fed.load(), reachable) << "the feeder waits while both queues are full";
    tap.release();
    feeder.join();
    EXPECT_TRUE(d->WaitDrained(kWait));
    EXPECT_EQ(tap.elements().size(), size_t(total - learning)) << "no frame lost";
    EXPECT_LE(mostQueued.load(), kDetectorQueueLimit);
    d->Reset();
}

TEST(DetectorWorkers, ResetEndsWorkersWaitingForRoomAndEmptiesTheQueues)
{
    auto d = make_detector();
    Tap tap(*d, true);
    start_still(*d);
    // The timer thread holds frame 21, queue 2 fills, the live thread waits with the next
    // frame, and three more wait in queue 1.
    feed_empty_frames(*d, 20);
    const RaxoScene scene = two_blobs();
    for (size_t i = 0; i < kDetectorQueueLimit + 5; ++i)
        feed(*d, scene);
    ASSERT_TRUE(eventually([&] {
        return d->QueuedClusterSets() == kDetectorQueueLimit && d->QueuedFrames() == 3;
    }));
    // The reset cannot join the timer thread while the tap holds it: release it from aside.
    std::thread releaser([&] {
        eventually([&] { return !d->IsRunning(); });
        tap.release();
    });
    d->Reset();
    releaser.join();
    EXPECT_EQ(d->WorkerCount(), 0);
    EXPECT_EQ(d->QueuedFrames(), 0u);
    EXPECT_EQ(d->QueuedClusterSets(), 0u);
    EXPECT_TRUE(d->IsDrained());
    EXPECT_EQ(tap.elements().size(), 1u);

    // The next run finds nothing of the last: it learns first.
    start_still(*d);
    feed(*d, scene);
    EXPECT_TRUE(d->WaitDrained(kWait));
    EXPECT_EQ(tap.elements().size(), 1u);
    d->Reset();
}

TEST(DetectorWorkers, TrainedThroughTheThreadsThenNamedInTestMode)
{
    // One object 5 m ahead, 20 rows by 4 columns, 15 cm deep (a flat one has no depth to
    // compare, and its size term gives no number): its cluster is its 80 cells in raster order.
    RaxoScene scene;
    const std::vector<Point3f> cluster = put_one_object(scene);
    const int frames = 3;

    auto d = make_detector();
    DetectorConfig cfg;
    d->Start(cfg);
    d->SetTrainName("box");
    settle(*d);
    const uint64_t before = uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch()).count());
    feed_empty_frames(*d, 20);
    for (int i = 0; i < frames; ++i)
        feed(*d, scene);
    ASSERT_TRUE(d->WaitDrained(kWait));
    const uint64_t after = uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch()).count());
    const std::string path = testsupport::temp_dir() + "/alg_model.bin";
    ASSERT_TRUE(d->SaveModels(path));

    // The reference: the cluster's features, and their mean over the samples as the sum of
    // each sample's value over the count.
    const ObjectFeature f = reference_features(cluster);
    const ObjectFeature mean = mean_of_samples(f, frames);
    const std::vector<uint8_t> bytes = testsupport::read_file(path);
    const std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    const std::string head = "box " + std::to_string(frames) + " ";
    ASSERT_EQ(lines.size(), 5u) << text;
    EXPECT_EQ(lines[0], "1");
    ASSERT_EQ(lines[1].compare(0, head.size(), head), 0) << lines[1];
    const uint64_t time = std::stoull(lines[1].substr(head.size()));
    EXPECT_GE(time, before);
    EXPECT_LE(time, after);
    const std::string want = "1\r\n" + model_text("box", frames, time, mean);
    EXPECT_EQ(text, want);

    // A test run: the model names the object, the tracker keeps its id over the frames.
    d->Reset();
    start_still(*d);
    feed_empty_frames(*d, 20);
    feed(*d, scene);
    feed(*d, scene);
    ASSERT_TRUE(d->WaitDrained(kWait));
    const std::vector<DetectedObject> results = d->GetResults();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(int(results[0].classIndex), 0);
    EXPECT_EQ(results[0].trackId, 1);
    EXPECT_EQ(int(results[0].pointCount), 80);
    const float sizeZ = results[0].sizeZ;
    EXPECT_EQ(sizeZ, f.extentZ);
    d->Reset();
}

namespace {

// An object over rows r0..r1 and columns c0..c1 whose distance grows by `step` units of 2 mm a
// column from x0: unlike a flat one it has a depth that a model can compare.
void deep_object(RaxoScene &s, int r0, int r1, int c0, int c1, int x0, int step)
{
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const int x = x0 + step * (c - c0);
            s.set(r, c, uint16_t(x / 5), int16_t(x), int16_t((c - 180) * 25), int16_t((75 - r) * 25));
        }
}

// A recorded-like run: a wall 18 m off with holes that move from frame to frame, learnt over
// 20 frames; then objects that walk across it, one that comes and goes, two that meet and part,
// and one whose depth steps away column by column. `walkerOnly` keeps the first of them alone.
std::vector<RaxoScene> walking_scenes(int frames, bool walkerOnly)
{
    std::vector<RaxoScene> out;
    for (int f = 0; f < frames; ++f) {
        RaxoScene s;
        s.wall(18.0);
        for (int k = 0; k < 40; ++k)
            s.clear((k * 37 + f * 11) % RaxoScene::kRows, (k * 53 + f * 29) % RaxoScene::kColumns);
        const int t = f - kDetectorBackgroundFrames;
        if (t >= 0) {
            deep_object(s, 20, 59, 10 + 3 * t, 19 + 3 * t, 2000, 10);
            if (walkerOnly) {
                out.push_back(std::move(s));
                continue;
            }
            s.object(70, 99, 300 - 2 * t, 314 - 2 * t, 7.5);
            if (t % 7 < 4)
                s.object(110, 139, 150, 165, 6.0);
            s.object(30, 49, 200 + t, 207 + t, 9.0);
            s.object(30, 49, 230 - t, 237 - t, 9.0);
            deep_object(s, 100, 124, 40 + t, 69 + t, 5500, 1);
        }
        out.push_back(std::move(s));
    }
    return out;
}

// A sensor tipped a little, still: the points are levelled with an attitude that is not zero.
void settle_tipped(PointCloudAnomalyDetector &d)
{
    const std::vector<uint8_t> imu = raxo_imu_level_packet(0.0f, 0.3f, 9.79f);
    for (int i = 0; i < 10; ++i)
        d.ProcessImuPacket(imu.data(), imu.size());
    ASSERT_TRUE(d.IsImuStable());
    ASSERT_NE(d.GetPitch(), 0.0);
}

// Every element the timer thread handles, whole.
struct Elements {
    std::mutex mutex;
    std::vector<std::vector<std::vector<Point3f>>> clusters;
};

void tap_elements(PointCloudAnomalyDetector &d, const std::shared_ptr<Elements> &to)
{
    d.SetClusterTap([to](const PacketData &e) {
        std::lock_guard<std::mutex> lock(to->mutex);
        to->clusters.push_back(clusters_of(e));
    });
}

// The records with the points each holds, byte for byte.
std::vector<std::vector<uint8_t>> record_bytes(const std::vector<DetectedObject> &records)
{
    std::vector<std::vector<uint8_t>> out;
    for (const DetectedObject &r : records) {
        const auto *b = reinterpret_cast<const uint8_t *>(&r);
        out.emplace_back(b, b + offsetof(DetectedObject, points) + r.pointCount * sizeof(Point3f));
    }
    return out;
}

bool same_points(const std::vector<std::vector<Point3f>> &a, const std::vector<std::vector<Point3f>> &b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](const auto &x, const auto &y) {
               return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(Point3f)) == 0;
           });
}

} // namespace

TEST(DetectorWorkers, ThreadsGiveWhatTheStagesGiveOnThisThread)
{
    const int frames = 60;
    const std::vector<RaxoScene> scenes = walking_scenes(frames, false);
    const std::string models = testsupport::temp_dir() + "/walking_models.bin";

    // Training on the first walker: the same model through the threads as through the stage
    // calls, to its time of update.
    std::vector<ObjectModel> trained[2];
    for (int threaded = 0; threaded < 2; ++threaded) {
        auto d = make_detector();
        DetectorConfig cfg;
        if (threaded)
            d->Start(cfg);
        d->SetTrainName("walker");
        settle_tipped(*d);
        PointCloudAnomalyDetector::TimerState timer;
        for (const RaxoScene &s : walking_scenes(frames, true)) {
            feed(*d, s);
            if (!threaded)
                d->ProcessQueuedFrame(timer);
        }
        ASSERT_TRUE(d->WaitDrained(kWait));
        d->Reset();
        trained[threaded] = d->GetModels();
        for (ObjectModel &m : trained[threaded])
            m.lastUpdate = 0;
        if (!threaded) {
            d->AddModel("nothing");
            ASSERT_TRUE(d->SaveModels(models));
        }
    }
    ASSERT_EQ(trained[0].size(), 1u);
    ASSERT_EQ(trained[1].size(), 1u);
    EXPECT_EQ(trained[1][0].sampleCount, trained[0][0].sampleCount);
    EXPECT_EQ(trained[0][0].sampleCount, frames - kDetectorBackgroundFrames);
    EXPECT_EQ(PointCloudAnomalyDetector::formatModelFile({trained[1][0]}),
              PointCloudAnomalyDetector::formatModelFile({trained[0][0]}));

    // Test mode: the clusters of every frame and the records with their classes and tracks
    // after every frame; the threaded run once waiting for each frame, once fed at full speed.
    struct Run {
        std::shared_ptr<Elements> elements = std::make_shared<Elements>();
        std::vector<std::vector<std::vector<uint8_t>>> records;
    } sync, stepped, streamed;
    for (Run *run : {&sync, &stepped, &streamed}) {
        auto d = make_detector();
        std::vector<ModelInfo> infos;
        ASSERT_TRUE(d->LoadModelsFromFile(models, infos));
        tap_elements(*d, run->elements);
        DetectorConfig cfg;
        if (run != &sync)
            d->Start(cfg);
        settle_tipped(*d);
        PointCloudAnomalyDetector::TimerState timer;
        for (const RaxoScene &s : scenes) {
            feed(*d, s);
            if (run == &sync)
                d->ProcessQueuedFrame(timer);
            else if (run == &stepped)
                ASSERT_TRUE(d->WaitDrained(kWait));
            if (run != &streamed)
                run->records.push_back(record_bytes(d->GetResults()));
        }
        ASSERT_TRUE(d->WaitDrained(kWait));
        if (run == &streamed)
            run->records.push_back(record_bytes(d->GetResults()));
        d->Reset();
    }
    ASSERT_EQ(sync.elements->clusters.size(), size_t(frames - kDetectorBackgroundFrames));
    int named = 0, tracked = 0;
    for (const auto &records : sync.records)
        for (const auto &r : records) {
            const DetectedObject *o = reinterpret_cast<const DetectedObject *>(r.data());
            named += o->classIndex == 0;
            tracked += o->trackId > 1;
        }
    EXPECT_GT(named, 0) << "the model names some of the objects";
    EXPECT_GT(tracked, 0) << "the objects get tracks of their own";
    for (const Run *run : {&stepped, &streamed}) {
        const auto &got = run->elements->clusters;
        ASSERT_EQ(got.size(), sync.elements->clusters.size());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_TRUE(same_points(got[i], sync.elements->clusters[i])) << "element " << i;
    }
    EXPECT_EQ(stepped.records, sync.records);
    ASSERT_EQ(streamed.records.size(), 1u);
    EXPECT_EQ(streamed.records[0], sync.records.back());
}
