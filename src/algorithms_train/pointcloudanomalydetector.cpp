#include "pointcloudanomalydetector.h"

#include "dirhelpers.h"
#include "numberformat.h"
#include "raxopacket.h"
#include "timehelpers.h"
#include "tracelog.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <string_view>
#include <type_traits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>
#include <utility>

// Floating point here is fixed once: sensor coordinates are floats (value / 1000 * 2 in single
// precision, as the receiver decodes them); the tilt filter and the levelling rotation work in
// doubles; slab positions are computed in doubles from the float coordinates. Nothing is
// built with -ffast-math, so these are the roundings every run gets.

namespace {

constexpr uint16_t kNoReturn = 0xFFFF;
constexpr size_t kQueueCapacity = 100;
constexpr size_t kWorkingPoints = 2560;
// Slab passes over each cluster: 0.2 m wide, at least 5 points in the fullest slab.
constexpr double kSlabWidth = 0.2;
constexpr size_t kSlabMinPoints = 5;
constexpr auto kLivePoll = std::chrono::milliseconds(10);
constexpr auto kTimerPoll = std::chrono::milliseconds(1);

// Bytes 2, 1 and 5, in that order; what is out of range takes the value the sensor would use.
void clamp_config(DetectorConfig &c)
{
    if (c.motion_frames < 1 || c.motion_frames > 10)
        c.motion_frames = 1;
    if (c.min_cluster_points < 1 || c.min_cluster_points > 100)
        c.min_cluster_points = 20;
    const float distance = c.distance_threshold;
    if (distance == 0.0f || distance > 50.0f)
        c.distance_threshold = 10.0f;
}

PointCloudAnomalyDetector *create_instance() noexcept
{
    try {
        return new (std::nothrow) PointCloudAnomalyDetector();
    } catch (...) {
        // A member's allocation failed: the program runs on without a detector.
        return nullptr;
    }
}

// Created before main and never destroyed.
PointCloudAnomalyDetector *const g_detector = create_instance();

} // namespace

PointCloudAnomalyDetector::PointCloudAnomalyDetector()
    : grid_(new PacketData()),
      labelGrid_(kDetectorCells, 0),
      queue1_(kQueueCapacity),
      queue2_(kQueueCapacity),
      samples_(size_t(kDetectorCells) * kDetectorBackgroundFrames, 0),
      background_(kDetectorCells, 0),
      mask_(kDetectorCells, 0),
      filtered_(kDetectorCells, 0),
      parent_(kDetectorLabelTable, 0),
      renumber_(kDetectorLabelTable, 0),
      listLabel_(kDetectorCells, 0),
      listPoint_(kDetectorCells),
      bucketStart_(kDetectorLabelTable + 1, 0),
      bucketOrder_(kDetectorCells, 0),
      queue1Producer_(queue1_)
{
    clusterA_.reserve(kWorkingPoints);
    clusterB_.reserve(kWorkingPoints);
    clusterC_.reserve(kWorkingPoints);
    // A detector that was never started detects with the values a start would put in.
    clamp_config(config_);
}

PointCloudAnomalyDetector::~PointCloudAnomalyDetector()
{
    Reset();
}

PointCloudAnomalyDetector *PointCloudAnomalyDetector::GetInstance()
{
    return g_detector;
}

// ---------------------------------------------------------------------------------------------
// Runs and workers

void PointCloudAnomalyDetector::Start(DetectorConfig &config)
{
    clamp_config(config);
    {
        std::lock_guard<std::mutex> lock(configMutex_);
        config_ = config;
    }
    std::lock_guard<std::mutex> life(lifeMutex_);
    if (running_.load())
        return;
    running_.store(1);
    workers_ += 2;
    try {
        live_ = std::thread(&PointCloudAnomalyDetector::live_data_thread, this);
    } catch (const std::system_error &e) {
        running_.store(0);
        workers_ -= 2;
        QV_TRACE() << "cannot start the detector's workers:" << e.what();
        return;
    }
    try {
        timer_ = std::thread(&PointCloudAnomalyDetector::timer_thread, this);
    } catch (const std::system_error &e) {
        --workers_;
        running_.store(0);
        notifyFlow();
        live_.join();
        QV_TRACE() << "cannot start the detector's workers:" << e.what();
    }
}

void PointCloudAnomalyDetector::SetTrainName(std::string name)
{
    std::lock_guard<std::mutex> lock(modelsMutex_);
    trainName_ = std::move(name);
    training_.store(1);
}

void PointCloudAnomalyDetector::Reset()
{
    std::lock_guard<std::mutex> life(lifeMutex_);
    running_.store(0);
    notifyFlow();
    if (live_.joinable())
        live_.join();
    if (timer_.joinable())
        timer_.join();
    // What a run left queued belongs to that run: the next one starts from nothing.
    emptyQueues();
    pitch_.store(0.0);
    roll_.store(0.0);
    imuStable_.store(0);
    bgFrameCount_ = 0;
    training_.store(0);
    overflow_ = false;
    {
        std::lock_guard<std::mutex> lock(modelsMutex_);
        trainName_.clear();
    }
    clearBackground();
}

void PointCloudAnomalyDetector::emptyQueues()
{
    FrameBuffer left;
    while (queue1_.try_dequeue(left))
        recycle(std::move(left));
    while (queue2_.try_dequeue(left))
        recycle(std::move(left));
    queued1_.store(0);
    queued2_.store(0);
    inFlight_.store(0);
    notifyFlow();
}

bool PointCloudAnomalyDetector::IsDrained() const
{
    return inFlight_.load() == 0;
}

bool PointCloudAnomalyDetector::WaitDrained(std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(flowMutex_);
    return flowCv_.wait_for(lock, timeout, [this] { return inFlight_.load() == 0; });
}

void PointCloudAnomalyDetector::notifyFlow() const
{
    // Taking the mutex orders this against a waiter between its test and its wait.
    { std::lock_guard<std::mutex> lock(flowMutex_); }
    flowCv_.notify_all();
}

bool PointCloudAnomalyDetector::waitForRoom(const std::atomic<size_t> &queued)
{
    std::unique_lock<std::mutex> lock(flowMutex_);
    flowCv_.wait(lock, [&] { return running_.load() == 0 || queued.load() < kDetectorQueueLimit; });
    return queued.load() < kDetectorQueueLimit;
}

bool PointCloudAnomalyDetector::takeElement(FrameQueue &queue, std::atomic<size_t> &queued,
                                            std::chrono::milliseconds poll, FrameBuffer &out)
{
    if (!queue.try_dequeue(out)) {
        // Polls, but wakes at once for a new element or the end of the run.
        std::unique_lock<std::mutex> lock(flowMutex_);
        flowCv_.wait_for(lock, poll, [&] { return running_.load() == 0 || queued.load() > 0; });
        return false;
    }
    --queued;
    notifyFlow(); // room for a producer waiting on this queue
    return true;
}

PointCloudAnomalyDetector::FrameBuffer PointCloudAnomalyDetector::freshBuffer()
{
    {
        std::lock_guard<std::mutex> lock(poolMutex_);
        if (!pool_.empty()) {
            FrameBuffer b = std::move(pool_.back());
            pool_.pop_back();
            return b;
        }
    }
    return FrameBuffer(new (std::nothrow) PacketData());
}

void PointCloudAnomalyDetector::recycle(FrameBuffer buffer)
{
    if (!buffer)
        return;
    // Zeroed here, by the stage that is done with it, not by the packet intake on the GUI
    // thread when it needs the next grid.
    std::memset(static_cast<void *>(buffer.get()), 0, sizeof(PacketData));
    std::lock_guard<std::mutex> lock(poolMutex_);
    pool_.push_back(std::move(buffer));
}

void PointCloudAnomalyDetector::finishElement()
{
    --inFlight_;
    notifyFlow();
}

void PointCloudAnomalyDetector::SetClusterTap(std::function<void(const PacketData &)> tap)
{
    std::lock_guard<std::mutex> life(lifeMutex_);
    tap_ = std::move(tap);
}

DetectorConfig PointCloudAnomalyDetector::GetConfig() const
{
    std::lock_guard<std::mutex> lock(configMutex_);
    return config_;
}

std::string PointCloudAnomalyDetector::GetTrainName() const
{
    std::lock_guard<std::mutex> lock(modelsMutex_);
    return trainName_;
}

uint8_t PointCloudAnomalyDetector::minClusterPoints() const
{
    std::lock_guard<std::mutex> lock(configMutex_);
    return config_.min_cluster_points;
}

bool PointCloudAnomalyDetector::TakeQueuedFrame(PacketData &out)
{
    FrameBuffer frame;
    if (!queue1_.try_dequeue(frame))
        return false;
    out = *frame;
    recycle(std::move(frame));
    --queued1_;
    finishElement();
    return true;
}

bool PointCloudAnomalyDetector::ProcessQueuedFrame(TimerState &state)
{
    FrameBuffer frame;
    if (!queue1_.try_dequeue(frame))
        return false;
    --queued1_;
    const bool yielded = labelFrame(*frame);
    if (yielded)
        clusterStep(*frame, state);
    recycle(std::move(frame));
    finishElement();
    return yielded;
}

void PointCloudAnomalyDetector::clusterStep(PacketData &frame, TimerState &state)
{
    extractClusters(frame);
    if (tap_)
        tap_(frame);
    processClusterElement(frame, state);
}

void PointCloudAnomalyDetector::live_data_thread()
{
    {
        moodycamel::ProducerToken producer(queue2_);
        FrameBuffer work;
        while (running_.load()) {
            if (!takeElement(queue1_, queued1_, kLivePoll, work))
                continue;
            // The labels are written into the frame's own buffer, which goes on to queue 2.
            if (labelFrame(*work) && waitForRoom(queued2_) && running_.load()) {
                ++queued2_;
                if (queue2_.enqueue(producer, std::move(work))) {
                    notifyFlow();
                    continue;
                }
                --queued2_;
                QV_TRACE() << "no memory to queue the clusters of a frame";
            }
            recycle(std::move(work));
            finishElement();
        }
    }
    clearBackground();
    bgFrameCount_ = 0;
    QV_TRACE() << "pointcloud thread end";
    --workers_;
    notifyFlow();
}

void PointCloudAnomalyDetector::timer_thread()
{
    std::unique_ptr<TimerState> state;
    try {
        state.reset(new TimerState);
    } catch (const std::bad_alloc &) {
    }
    if (state && state->tracker) {
        FrameBuffer work;
        while (running_.load()) {
            if (!takeElement(queue2_, queued2_, kTimerPoll, work))
                continue;
            clusterStep(*work, *state);
            recycle(std::move(work));
            finishElement();
        }
    } else {
        QV_TRACE() << "no memory for the timer thread's state";
    }
    state.reset();
    QV_TRACE() << "time thread end";
    --workers_;
    notifyFlow();
}

// ---------------------------------------------------------------------------------------------
// Packet intake

int PointCloudAnomalyDetector::ProcessImuPacket(const uint8_t *data, size_t len)
{
    // Only kinds 2 and 3 carry rates and acceleration; a packet too short for its kind carries
    // nothing the filter may trust.
    if (data == nullptr || len <= 8 || (data[8] != 2 && data[8] != 3))
        return imuStable_.load();
    ImuRecord rec;
    if (!raxo_parse_imu(data, len, &rec))
        return imuStable_.load();
    double pitch = pitch_.load();
    double roll = roll_.load();
    const TiltStepResult step =
        tilt_filter_step(pitch, roll, raxo_imu_sample(rec), TiltRateStep::Divide);
    if (step == TiltStepResult::Ignored)
        return imuStable_.load();
    pitch_.store(pitch);
    roll_.store(roll);
    imuStable_.store(step == TiltStepResult::Still ? 1 : 0);
    return imuStable_.load();
}

int PointCloudAnomalyDetector::ProcessPointPacket(const uint8_t *data, size_t len)
{
    if (!imuStable_.load())
        return -3;
    if (data == nullptr || len < 4 || data[3] != RAXO_TYPE_POINTS_HALF)
        return -1;
    RaxoPointHeader h;
    if (!raxo_parse_point_header(data, len, &h))
        return -2;
    const uint32_t n = uint32_t(h.count_a) * h.count_b;
    // The sensor counts the points of a packet in a byte: more than 255 is no packet of its,
    // and the whole length is compared so that a large count cannot wrap onto a short packet.
    if (n > 255 || RAXO_POINT_HEADER + size_t(n) * RAXO_POINT_SIZE != len)
        return -2;
    ++packetCounter_;
    const RaxoUnitTables &units = raxo_unit_tables();
    const int firstRow = h.row >> 1;
    for (uint32_t i = 0; i < n; ++i) {
        const int row = firstRow + int(i / 4);
        const int column = h.column + int(i % 4);
        if (row >= kDetectorRows || column >= kDetectorColumns)
            continue;
        const uint8_t *p = data + RAXO_POINT_HEADER + size_t(i) * RAXO_POINT_SIZE;
        const size_t cell = size_t(row) * kDetectorColumns + size_t(column);
        grid_->depth[cell] = rd_u16(p);
        Point3f q;
        q.x = units.coord[rd_u16(p + 2)];
        q.y = units.coord[rd_u16(p + 4)];
        q.z = units.coord[rd_u16(p + 6)];
        grid_->point[cell] = q;
    }
    if (h.frame_flag == RAXO_FRAME_END) {
        if (packetCounter_ == kDetectorFramePackets) {
            // Room in queue 1, or wait while the workers make some; with no workers and a full
            // queue, or workers that stop meanwhile, the frame has nobody to go to.
            bool room = queued1_.load() < kDetectorQueueLimit;
            if (!room && running_.load())
                room = waitForRoom(queued1_) && running_.load();
            // The whole grid goes to queue 1 and a zeroed buffer takes its place.
            FrameBuffer next = room ? freshBuffer() : nullptr;
            if (next) {
                ++inFlight_;
                ++queued1_;
                FrameBuffer full = std::exchange(grid_, std::move(next));
                if (queue1_.enqueue(queue1Producer_, std::move(full))) {
                    notifyFlow();
                } else {
                    --queued1_;
                    finishElement();
                    recycle(std::move(full));
                    QV_TRACE() << "no memory to queue a frame";
                }
            } else {
                if (room)
                    QV_TRACE() << "no memory to queue a frame";
                std::memset(static_cast<void *>(grid_.get()), 0, sizeof(PacketData));
            }
        }
        packetCounter_ = 0;
    }
    return 0;
}

Point3f PointCloudAnomalyDetector::rotatePoint(Point3f p, double pitch, double roll)
{
    const TiltPoint t = tilt_rotate(tilt_rotation(pitch, roll), p.x, p.y, p.z);
    Point3f q;
    q.x = t.x;
    q.y = t.y;
    q.z = t.z;
    return q;
}

// ---------------------------------------------------------------------------------------------
// Background and clusters (live thread)

bool PointCloudAnomalyDetector::processFrame(PacketData &frame)
{
    if (!labelFrame(frame))
        return false;
    extractClusters(frame);
    return true;
}

bool PointCloudAnomalyDetector::labelFrame(PacketData &frame)
{
    if (!imuStable_.load()) {
        if (bgFrameCount_ != 0) {
            clearBackground();
            bgFrameCount_ = 0;
        }
        // Learning starts again; an overflow of the old background must not hold the new
        // learning at frame 0 for ever.
        overflow_ = false;
        return false;
    }

    bool yielded = false;
    if (bgFrameCount_ < uint32_t(kDetectorBackgroundFrames)) {
        pushBackgroundSample(frame.depth);
    } else {
        if (bgFrameCount_ == uint32_t(kDetectorBackgroundFrames))
            computeBackground();
        const int components = computeForeground(frame.depth, kDetectorMargin, labelGrid_.data());

        // The foreground list's cells: labelled, with a distance above 20 cm. The label takes
        // the place of the distance, which nothing after this reads, and the point is levelled
        // with the attitude of now, so the frame carries all the cutting into clusters needs.
        int n = 0;
        uint16_t highest = 0;
        bool tooMany = components < 0;
        if (!tooMany) {
            const Eigen::Matrix3d level = tilt_rotation(pitch_.load(), roll_.load());
            const uint16_t *labels = labelGrid_.data();
            for (int cell = 0; cell < kDetectorCells; ++cell) {
                const uint16_t label = labels[cell];
                if (label == 0 || frame.depth[cell] <= kDetectorMargin) {
                    frame.depth[cell] = 0;
                    continue;
                }
                if (n == kDetectorMaxForeground) {
                    tooMany = true;
                    break;
                }
                const Point3f p = frame.point[cell];
                const TiltPoint t = tilt_rotate(level, p.x, p.y, p.z);
                Point3f q;
                q.x = t.x;
                q.y = t.y;
                q.z = t.z;
                frame.depth[cell] = label;
                frame.point[cell] = q;
                ++n;
                highest = std::max(highest, label);
            }
        }
        if (tooMany) {
            fgCount_ = 0;
            highestLabel_ = 0;
            overflow_ = true;
        } else {
            overflow_ = false;
            fgCount_ = uint16_t(n);
            highestLabel_ = highest;
            yielded = true;
        }
    }
    if (bgFrameCount_ <= uint32_t(kDetectorBackgroundFrames) && !overflow_)
        ++bgFrameCount_;
    return yielded;
}

void PointCloudAnomalyDetector::extractClusters(PacketData &frame)
{
    // The foreground list in raster order; the live thread has left only its cells labelled.
    int n = 0;
    uint16_t highest = 0;
    for (int cell = 0; cell < kDetectorCells; ++cell) {
        const uint16_t label = frame.depth[cell];
        if (label == 0)
            continue;
        listLabel_[size_t(n)] = label;
        listPoint_[size_t(n)] = frame.point[cell];
        ++n;
        highest = std::max(highest, label);
    }

    // Entries by label, each label's in list order.
    std::fill(bucketStart_.begin(), bucketStart_.begin() + highest + 2, 0u);
    for (int i = 0; i < n; ++i)
        ++bucketStart_[size_t(listLabel_[size_t(i)]) + 1];
    for (int l = 1; l <= highest + 1; ++l)
        bucketStart_[size_t(l)] += bucketStart_[size_t(l) - 1];
    bucketFill_.assign(bucketStart_.begin(), bucketStart_.begin() + highest + 1);
    for (int i = 0; i < n; ++i)
        bucketOrder_[bucketFill_[listLabel_[size_t(i)]]++] = uint32_t(i);

    const size_t minPoints = minClusterPoints();
    int j = 0;
    size_t pos = 0;
    for (int label = 1; label <= highest && j < kDetectorMaxClusters; ++label) {
        const uint32_t first = bucketStart_[size_t(label)];
        const uint32_t end = bucketStart_[size_t(label) + 1];
        if (end - first < minPoints)
            continue;
        clusterA_.clear();
        for (uint32_t k = first; k < end; ++k)
            clusterA_.push_back(listPoint_[bucketOrder_[k]]);
        extractDominantSlab(kSlabWidth, kSlabMinPoints, clusterA_, clusterB_, 0);
        extractDominantSlab(kSlabWidth, kSlabMinPoints, clusterB_, clusterC_, 1);
        frame.start[j] = uint16_t(pos);
        for (const Point3f &p : clusterC_)
            frame.point[pos++] = p;
        ++j;
    }
    frame.clusterCount = uint16_t(j);
    frame.start[j] = uint16_t(pos);
}

void PointCloudAnomalyDetector::pushBackgroundSample(const uint16_t *depth)
{
    const size_t slot = size_t(bgSampleCount_ % kDetectorBackgroundFrames);
    for (size_t cell = 0; cell < size_t(kDetectorCells); ++cell) {
        const uint16_t d = depth[cell];
        samples_[cell * kDetectorBackgroundFrames + slot] = d != 0 ? d : kNoReturn;
    }
    ++bgSampleCount_;
}

void PointCloudAnomalyDetector::computeBackground()
{
    uint16_t s[kDetectorBackgroundFrames];
    for (size_t cell = 0; cell < size_t(kDetectorCells); ++cell) {
        std::copy_n(samples_.begin() + std::ptrdiff_t(cell * kDetectorBackgroundFrames),
                    kDetectorBackgroundFrames, s);
        std::sort(s, s + kDetectorBackgroundFrames);
        int last = 0;
        for (int i = kDetectorBackgroundFrames - 1; i >= 0; --i) {
            if (s[i] < kNoReturn) {
                last = i;
                break;
            }
        }
        background_[cell] = s[last / 2];
    }
}

int PointCloudAnomalyDetector::computeForeground(const uint16_t *depth, int margin, uint16_t *labels)
{
    for (size_t cell = 0; cell < size_t(kDetectorCells); ++cell) {
        const int d = depth[cell];
        const int b = background_[cell];
        mask_[cell] = d != 0 && d + margin + b / 2000 < b ? 1 : 0;
    }
    return labelComponents(mask_.data(), depth, margin, labels);
}

int PointCloudAnomalyDetector::labelComponents(const uint8_t *mask, const uint16_t *depth,
                                               int margin, uint16_t *labels)
{
    constexpr int W = kDetectorColumns;
    constexpr int H = kDetectorRows;
    std::fill(labels, labels + kDetectorCells, uint16_t(0));

    // 3 x 3 filter: a set cell needs 2 set neighbours to stay, a clear one 6 to be set. The
    // border rows and columns keep the mask as it is.
    // The inner cells in a loop of their own, without the border test, which the compiler
    // can run many cells at a time.
    uint8_t *filtered = filtered_.data();
    std::copy_n(mask, W, filtered);
    std::copy_n(mask + (H - 1) * W, W, filtered + (H - 1) * W);
    for (int r = 1; r < H - 1; ++r) {
        const uint8_t *up = mask + (r - 1) * W;
        const uint8_t *at = mask + r * W;
        const uint8_t *down = mask + (r + 1) * W;
        uint8_t *out = filtered + r * W;
        out[0] = at[0];
        out[W - 1] = at[W - 1];
        for (int c = 1; c < W - 1; ++c) {
            const int around = up[c - 1] + up[c] + up[c + 1] + at[c - 1] + at[c + 1] + down[c - 1]
                + down[c] + down[c + 1];
            out[c] = 4 * at[c] + around > 5 ? 1 : 0;
        }
    }

    for (int i = 0; i < kDetectorLabelTable; ++i)
        parent_[size_t(i)] = i;

    int next = 1;
    for (int r = 0; r < H; ++r) {
        for (int c = 0; c < W; ++c) {
            const int i = r * W + c;
            if (!filtered[i])
                continue;
            const int d = depth[i];
            int candidates[4];
            int count = 0;
            // From above only across similar distances; from the left always.
            if (r > 0) {
                const int up = i - W;
                if (c > 0 && labels[up - 1] != 0 && std::abs(d - int(depth[up - 1])) < margin)
                    candidates[count++] = labels[up - 1];
                if (labels[up] != 0 && std::abs(d - int(depth[up])) < margin)
                    candidates[count++] = labels[up];
                if (c < W - 1 && labels[up + 1] != 0 && std::abs(d - int(depth[up + 1])) < margin)
                    candidates[count++] = labels[up + 1];
            }
            if (c > 0 && labels[i - 1] != 0)
                candidates[count++] = labels[i - 1];
            if (count == 0) {
                // The tables hold labels 1..9999; a frame that needs more is not labelled.
                if (next >= kDetectorLabelTable)
                    return -1;
                labels[i] = uint16_t(next++);
                continue;
            }
            const int m = *std::min_element(candidates, candidates + count);
            labels[i] = uint16_t(m);
            for (int k = 0; k < count; ++k) {
                const int rm = findRoot(m);
                const int rv = findRoot(candidates[k]);
                if (rm != rv)
                    parent_[size_t(rm)] = rv;
            }
        }
    }

    // Final numbers in the order the roots are first met, then only cells of both masks keep
    // theirs.
    std::fill(renumber_.begin(), renumber_.end(), uint16_t(0));
    int final = 0;
    for (int i = 0; i < kDetectorCells; ++i) {
        if (labels[i] == 0)
            continue;
        const int root = findRoot(labels[i]);
        if (renumber_[size_t(root)] == 0)
            renumber_[size_t(root)] = uint16_t(++final);
        labels[i] = mask[i] ? renumber_[size_t(root)] : uint16_t(0);
    }
    return final;
}

int PointCloudAnomalyDetector::findRoot(int label)
{
    if (label < 0 || label >= kDetectorLabelTable)
        return label;
    int root = label;
    while (parent_[size_t(root)] != root)
        root = parent_[size_t(root)];
    // Path compression: every label on the way now points at the root.
    while (parent_[size_t(label)] != root) {
        const int next = parent_[size_t(label)];
        parent_[size_t(label)] = root;
        label = next;
    }
    return root;
}

void PointCloudAnomalyDetector::extractDominantSlab(double width, size_t minPoints,
                                                    const std::vector<Point3f> &in,
                                                    std::vector<Point3f> &out, int axis)
{
    out.clear();
    if (in.empty() || !(width > 0.0))
        return;
    auto coord = [axis](const Point3f &p) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; };
    float lo = coord(in[0]);
    float hi = lo;
    for (const Point3f &p : in) {
        const float v = coord(p);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    const double span = std::ceil((double(hi) - double(lo)) / width);
    // Sensor coordinates span at most 131 m; anything else is no cluster of this sensor.
    if (!std::isfinite(span) || span > 1e6)
        return;
    const size_t slices = size_t(span) + 1;
    slabCount_.assign(slices, 0);
    slabOf_.resize(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const double f = std::floor((double(coord(in[i])) - double(lo)) / width);
        const size_t s = f <= 0.0 ? 0 : std::min(size_t(f), slices - 1);
        slabOf_[i] = uint32_t(s);
        ++slabCount_[s];
    }
    size_t peak = 0;
    for (size_t s = 1; s < slices; ++s) {
        if (slabCount_[s] > slabCount_[peak])
            peak = s;
    }
    if (slabCount_[peak] < minPoints)
        return;
    const size_t threshold = std::max(minPoints, size_t(slabCount_[peak] / 10));
    size_t first = peak;
    while (first > 0 && slabCount_[first - 1] >= threshold)
        --first;
    size_t last = peak;
    while (last + 1 < slices && slabCount_[last + 1] >= threshold)
        ++last;

    // Slice by slice, each slice in input order: place each point at its slice's cursor.
    size_t total = 0;
    for (size_t s = first; s <= last; ++s) {
        const uint32_t c = slabCount_[s];
        slabCount_[s] = uint32_t(total);
        total += c;
    }
    out.resize(total);
    for (size_t i = 0; i < in.size(); ++i) {
        const size_t s = slabOf_[i];
        if (s >= first && s <= last)
            out[slabCount_[s]++] = in[i];
    }
}

void PointCloudAnomalyDetector::clearBackground()
{
    std::fill(samples_.begin(), samples_.end(), uint16_t(0));
    std::fill(background_.begin(), background_.end(), uint16_t(0));
    bgSampleCount_ = 0;
}

// ---------------------------------------------------------------------------------------------
// Timer thread: clusters, records and results

PointCloudAnomalyDetector::TimerState::TimerState()
    : tracker(createTracker(kDetectorMaxClusters, 0.5f, 5))
{
    points.reserve(kWorkingPoints);
    records.reserve(kDetectorMaxClusters);
}

PointCloudAnomalyDetector::TimerState::~TimerState()
{
    destroyTracker(tracker);
}

void PointCloudAnomalyDetector::processClusterElement(const PacketData &e, TimerState &state)
{
    // The records of the frame are filled in place: the list that comes back from the results
    // keeps its records, so a frame like the last one builds no record anew.
    size_t used = 0;
    const int clusters = std::min<int>(e.clusterCount, kDetectorMaxClusters);
    for (int i = 0; i < clusters; ++i) {
        const size_t first = e.start[i];
        const size_t end = e.start[i + 1];
        // Elements come from the live thread; one that says otherwise holds no cluster here.
        if (first > end || end > size_t(kDetectorCells))
            continue;
        if (training_.load()) {
            state.points.assign(e.point + first, e.point + end);
            trainObject(state.points, GetTrainName());
            continue;
        }
        // The slabs can leave a cluster empty: it has no box, no class and no track.
        if (first == end)
            continue;
        float lo[3], hi[3];
        const ObjectFeature f = featuresOf(e.point + first, end - first, lo, hi);
        const int classIndex = classifyFeatures(f);
        if (used == state.records.size())
            state.records.emplace_back();
        fillRecord(e.point + first, end - first, classIndex, lo, hi, state.records[used++]);
    }
    if (training_.load())
        return;
    state.records.resize(used);

    const int n = int(used);
    for (TrackInput &in : state.inputs)
        in = TrackInput();
    for (int r = 0; r < n; ++r) {
        const DetectedObject &rec = state.records[size_t(r)];
        state.inputs[r].x = rec.centerX;
        state.inputs[r].y = rec.centerY;
        state.inputs[r].z = rec.centerZ;
        state.inputs[r].frame = state.frameNumber;
        state.inputs[r].trackId = -1;
    }
    updateTracks(state.tracker, state.inputs, n, state.frameNumber);
    for (int r = 0; r < n; ++r)
        state.records[size_t(r)].trackId = uint8_t(state.inputs[r].trackId & 0xFF);
    ++state.frameNumber;
    // The old list comes back as next frame's records.
    std::lock_guard<std::mutex> lock(resultsMutex_);
    results_.swap(state.records);
}

void PointCloudAnomalyDetector::fillRecord(const Point3f *points, size_t n, int classIndex,
                                           const float lo[3], const float hi[3], DetectedObject &record)
{
    record.trackId = 0;
    record.classIndex = classIndex;
    record.sizeX = hi[0] - lo[0];
    record.sizeY = hi[1] - lo[1];
    record.sizeZ = hi[2] - lo[2];
    record.centerX = float((double(lo[0]) + double(hi[0])) * 0.5);
    record.centerY = float((double(lo[1]) + double(hi[1])) * 0.5);
    record.centerZ = float((double(lo[2]) + double(hi[2])) * 0.5);
    // The box is the whole cluster's; the record holds its first points as far as they fit.
    const size_t kept = std::min(n, size_t(kDetectorRecordPoints));
    record.pointCount = uint16_t(kept);
    std::copy_n(points, kept, record.points);
}

std::vector<DetectedObject> PointCloudAnomalyDetector::GetResults() const
{
    std::lock_guard<std::mutex> lock(resultsMutex_);
    return results_;
}

// ---------------------------------------------------------------------------------------------
// Features, training and classification (in floats, as the model file keeps them; the gates
// and the score in doubles)

ObjectFeature PointCloudAnomalyDetector::extractFeatures(const std::vector<Point3f> &points)
{
    float lo[3], hi[3];
    return featuresOf(points.data(), points.size(), lo, hi);
}

ObjectFeature PointCloudAnomalyDetector::featuresOf(const Point3f *points, size_t count, float lo[3],
                                                    float hi[3])
{
    ObjectFeature f;
    f.radialHist.assign(8, 0.0f);
    f.heightHist.assign(5, 0.0f);
    lo[0] = lo[1] = lo[2] = hi[0] = hi[1] = hi[2] = 0.0f;
    // An empty cluster has no extent, no spread and empty bins: nothing to divide by.
    if (count == 0)
        return f;
    const float n = float(count);
    lo[0] = hi[0] = points[0].x;
    lo[1] = hi[1] = points[0].y;
    lo[2] = hi[2] = points[0].z;
    float sx = 0.0f, sy = 0.0f, sz = 0.0f;
    for (size_t i = 0; i < count; ++i) {
        const Point3f p = points[i];
        lo[0] = std::min(lo[0], p.x), hi[0] = std::max(hi[0], p.x), sx += p.x;
        lo[1] = std::min(lo[1], p.y), hi[1] = std::max(hi[1], p.y), sy += p.y;
        lo[2] = std::min(lo[2], p.z), hi[2] = std::max(hi[2], p.z), sz += p.z;
    }
    f.extentX = hi[0] - lo[0];
    f.extentY = hi[1] - lo[1];
    f.extentZ = hi[2] - lo[2];
    const float cx = sx / n, cy = sy / n, cz = sz / n;

    float diagonal = std::sqrt(f.extentX * f.extentX + f.extentY * f.extentY + f.extentZ * f.extentZ);
    if (diagonal < 0.00001f)
        diagonal = 1.0f;
    float height = f.extentZ;
    if (height < 0.00001f)
        height = 1.0f;
    int radial[8] = {}, fifths[5] = {};
    float spread = 0.0f;
    for (size_t i = 0; i < count; ++i) {
        const Point3f p = points[i];
        const float dx = p.x - cx, dy = p.y - cy, dz = p.z - cz;
        const float s = dx * dx + dy * dy + dz * dz;
        spread += s;
        // The band is of the squared distance over the diagonal, as the model files have it.
        ++radial[std::min(int(s / diagonal * 8.0f), 7)];
        ++fifths[std::min(int((p.z - lo[2]) / height * 5.0f), 4)];
    }
    f.spread = spread / n;
    for (int k = 0; k < 8; ++k)
        f.radialHist[size_t(k)] = float(radial[k]) / n;
    for (int k = 0; k < 5; ++k)
        f.heightHist[size_t(k)] = float(fifths[k]) / n;
    return f;
}

float PointCloudAnomalyDetector::histogramIntersection(const std::vector<float> &a,
                                                       const std::vector<float> &b)
{
    float sum = 0.0f;
    const size_t bins = std::min(a.size(), b.size());
    for (size_t k = 0; k < bins; ++k)
        sum += std::min(a[k], b[k]);
    return sum;
}

namespace {

// 1 - |f - m| / (m + f) over the given pairs, 0 when negative or when it is no number.
double similarity_term(std::initializer_list<std::pair<float, float>> pairs)
{
    double t = 1.0;
    for (const auto &[f, m] : pairs)
        t -= std::fabs(double(f) - double(m)) / (double(m) + double(f));
    if (std::isnan(t) || t < 0.0)
        return 0.0;
    return t;
}

} // namespace

double PointCloudAnomalyDetector::matchScore(const ObjectFeature &f, const ObjectFeature &m)
{
    if (double(std::max(f.extentX, f.extentY)) > 1.5 * double(std::max(m.extentX, m.extentY))
        || double(f.extentZ) > 1.5 * double(m.extentZ))
        return -1.0;
    const double size = similarity_term({{f.extentX, m.extentX}, {f.extentY, m.extentY}, {f.extentZ, m.extentZ}});
    const double spread = similarity_term({{f.spread, m.spread}});
    double hist = (double(histogramIntersection(f.radialHist, m.radialHist))
                   + double(histogramIntersection(f.heightHist, m.heightHist)))
        * 0.5;
    if (std::isnan(hist))
        hist = 0.0;
    return 0.5 * size + 0.2 * spread + 0.3 * hist;
}

int PointCloudAnomalyDetector::classifyObject(const std::vector<Point3f> &points)
{
    return classifyFeatures(extractFeatures(points));
}

int PointCloudAnomalyDetector::classifyFeatures(const ObjectFeature &f)
{
    std::lock_guard<std::mutex> lock(modelsMutex_);
    double best = 0.5;
    int result = -1;
    for (const ObjectModel &model : models_) {
        // Only a score above the best so far counts: the earlier model keeps a tie.
        const double score = matchScore(f, model.mean);
        if (score > best) {
            best = score;
            result = model.index;
        }
    }
    QV_TRACE() << "class" << result << "score" << best;
    return result;
}

bool PointCloudAnomalyDetector::isUsableModelName(const std::string &name)
{
    if (name.empty())
        return false;
    for (const char c : name)
        if (std::isspace(static_cast<unsigned char>(c)))
            return false;
    return true;
}

void PointCloudAnomalyDetector::trainObject(const std::vector<Point3f> &points, const std::string &name)
{
    // The model file separates its fields by white space: such a name would break it.
    if (!isUsableModelName(name)) {
        QV_TRACE() << "no training for a model named" << QByteArray::fromStdString(name);
        return;
    }
    std::vector<Point3f> kept;
    kept.reserve(points.size());
    for (const Point3f &p : points)
        if (p.x >= 3.0f && p.x <= 20.0f)
            kept.push_back(p);
    if (kept.size() < minClusterPoints())
        return;
    ObjectFeature f = extractFeatures(kept);
    const uint64_t now = uint64_t(time_now_sec_ms(nullptr, true));
    std::lock_guard<std::mutex> lock(modelsMutex_);
    for (ObjectModel &model : models_) {
        if (model.name == name) {
            model.samples.push_back(std::move(f));
            ++model.sampleCount;
            model.lastUpdate = now;
            updateModelMean(model);
            return;
        }
    }
    ObjectModel model;
    model.index = int32_t(models_.size());
    model.name = name;
    model.samples.push_back(std::move(f));
    model.sampleCount = 1;
    model.lastUpdate = now;
    updateModelMean(model);
    models_.push_back(std::move(model));
}

void PointCloudAnomalyDetector::updateModelMean(ObjectModel &model)
{
    ObjectFeature &mean = model.mean;
    mean = ObjectFeature();
    // What came from the model file counts with its count; a model of this run has none.
    const int32_t base = std::max<int32_t>(model.baseCount, 0);
    if (model.samples.empty() && base == 0)
        return;
    int32_t c = model.sampleCount;
    if (c <= 0)
        c = base + int32_t(model.samples.size());
    const float count = float(c);
    const float baseWeight = float(base) / count;
    const ObjectFeature &b = model.baseMean;
    mean.extentX = b.extentX * baseWeight;
    mean.extentY = b.extentY * baseWeight;
    mean.extentZ = b.extentZ * baseWeight;
    mean.spread = b.spread * baseWeight;
    const size_t radialBins = model.samples.empty() ? b.radialHist.size() : model.samples[0].radialHist.size();
    mean.radialHist.assign(radialBins, 0.0f);
    mean.heightHist.assign(model.samples.empty() ? b.heightHist.size() : 5, 0.0f);
    auto addBins = [](std::vector<float> &to, const std::vector<float> &from, float weight) {
        for (size_t k = 0; k < to.size() && k < from.size(); ++k)
            to[k] += from[k] * weight;
    };
    if (base > 0) {
        addBins(mean.radialHist, b.radialHist, baseWeight);
        addBins(mean.heightHist, b.heightHist, baseWeight);
    }
    for (const ObjectFeature &s : model.samples) {
        mean.extentX += s.extentX / count;
        mean.extentY += s.extentY / count;
        mean.extentZ += s.extentZ / count;
        mean.spread += s.spread / count;
        for (size_t k = 0; k < mean.radialHist.size() && k < s.radialHist.size(); ++k)
            mean.radialHist[k] += s.radialHist[k] / count;
        for (size_t k = 0; k < mean.heightHist.size() && k < s.heightHist.size(); ++k)
            mean.heightHist[k] += s.heightHist[k] / count;
    }
}

// ---------------------------------------------------------------------------------------------
// Model list and model file

namespace {

// Larger than any file of 16 models the program writes by orders of magnitude.
constexpr size_t kModelFileLimit = 16u * 1024 * 1024;
// Histograms of the file hold 8 and 5 bins; more than this is no model file.
constexpr int kMaxFileBins = 64;

// White-space separated tokens of the model file's text, white space as the C locale has it.
class Tokens {
public:
    Tokens(const char *data, size_t len) : p_(data), end_(data + len) {}
    bool next(std::string_view &tok)
    {
        while (p_ < end_ && is_space(*p_))
            ++p_;
        if (p_ == end_)
            return false;
        const char *start = p_;
        while (p_ < end_ && !is_space(*p_))
            ++p_;
        tok = std::string_view(start, size_t(p_ - start));
        return true;
    }
    template <class T>
    bool number(T &v)
    {
        std::string_view tok;
        if (!next(tok))
            return false;
        if (tok.size() > 1 && tok[0] == '+')
            tok.remove_prefix(1);
        const auto r = std::from_chars(tok.data(), tok.data() + tok.size(), v);
        if (r.ec != std::errc() || r.ptr != tok.data() + tok.size())
            return false;
        if constexpr (std::is_floating_point_v<T>)
            return std::isfinite(v);
        return true;
    }

private:
    static bool is_space(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }
    const char *p_;
    const char *end_;
};

bool read_bins(Tokens &in, std::vector<float> &bins)
{
    int n = 0;
    if (!in.number(n) || n < 0 || n > kMaxFileBins)
        return false;
    bins.resize(size_t(n));
    for (float &b : bins)
        if (!in.number(b))
            return false;
    return true;
}

void append_float(std::string &out, float v)
{
    char buf[FORMAT_G6_MAX];
    out.append(buf, format_g6(buf, v));
}

void append_bins(std::string &out, const std::vector<float> &bins)
{
    out += std::to_string(bins.size());
    for (float b : bins) {
        out += ' ';
        append_float(out, b);
    }
    out += "\r\n";
}

} // namespace

void PointCloudAnomalyDetector::parseModelFile(const char *data, size_t len,
                                               std::vector<ObjectModel> &models,
                                               std::vector<ModelInfo> &infos)
{
    Tokens in(data, data != nullptr ? len : 0);
    int announced = 0;
    if (!in.number(announced))
        return;
    for (int i = 0; i < announced && i < kDetectorMaxModels; ++i) {
        ObjectModel m;
        m.index = i;
        std::string_view name;
        ObjectFeature &f = m.baseMean;
        if (!in.next(name) || !in.number(m.sampleCount) || !in.number(m.lastUpdate)
            || !in.number(f.extentX) || !in.number(f.extentY) || !in.number(f.extentZ)
            || !in.number(f.spread) || !read_bins(in, f.radialHist) || !read_bins(in, f.heightHist)) {
            QV_TRACE() << "the model file ends its models at model" << i;
            return;
        }
        m.name.assign(name);
        m.mean = f;
        m.baseCount = m.sampleCount;
        ModelInfo info;
        info.index = i;
        info.sampleCount = uint32_t(m.sampleCount);
        info.time = m.lastUpdate;
        models.push_back(std::move(m));
        infos.push_back(info);
    }
}

std::string PointCloudAnomalyDetector::formatModelFile(const std::vector<ObjectModel> &models)
{
    std::string out = std::to_string(models.size()) + "\r\n";
    for (const ObjectModel &m : models) {
        out += m.name + ' ' + std::to_string(m.sampleCount) + ' ' + std::to_string(m.lastUpdate) + "\r\n";
        append_float(out, m.mean.extentX);
        out += ' ';
        append_float(out, m.mean.extentY);
        out += ' ';
        append_float(out, m.mean.extentZ);
        out += ' ';
        append_float(out, m.mean.spread);
        out += "\r\n";
        append_bins(out, m.mean.radialHist);
        append_bins(out, m.mean.heightHist);
    }
    return out;
}

bool PointCloudAnomalyDetector::LoadModelsFromFile(const std::string &path, std::vector<ModelInfo> &infos)
{
    std::lock_guard<std::mutex> lock(modelsMutex_);
    models_.clear();
    std::string text;
    if (!read_file_bounded(path, kModelFileLimit, text)) {
        const bool missing = errno == ENOENT;
        QV_TRACE() << "Error: Could not open model file for reading" << QByteArray::fromStdString(path);
        // Only a file that is not there is started afresh; one that exists stays as it is.
        if (missing)
            create_new_file(path, "0", 1);
        return false;
    }
    std::vector<ModelInfo> read;
    parseModelFile(text.data(), text.size(), models_, read);
    infos.insert(infos.end(), read.begin(), read.end());
    QV_TRACE() << "Loaded  models " << models_.size() << "form" << QByteArray::fromStdString(path);
    return true;
}

void PointCloudAnomalyDetector::LoadModelsFromCache(std::vector<ModelInfo> &infos)
{
    std::lock_guard<std::mutex> lock(modelsMutex_);
    for (const ObjectModel &m : models_) {
        ModelInfo info;
        info.index = m.index;
        info.sampleCount = uint32_t(m.sampleCount);
        info.time = m.lastUpdate;
        infos.push_back(info);
        QV_TRACE() << "model" << QByteArray::fromStdString(m.name) << "extents" << m.mean.extentX
                   << m.mean.extentY << m.mean.extentZ;
    }
}

bool PointCloudAnomalyDetector::SaveModels(const std::string &path)
{
    std::lock_guard<std::mutex> lock(modelsMutex_);
    const std::string text = formatModelFile(models_);
    // A fresh file renamed into place: a link planted at the path is replaced, not followed.
    if (!write_file_replace(path, text.data(), text.size())) {
        QV_TRACE() << "Error: Could not open model file for write." << QByteArray::fromStdString(path);
        return false;
    }
    QV_TRACE() << "Saved" << models_.size() << "models to" << QByteArray::fromStdString(path);
    return true;
}

bool PointCloudAnomalyDetector::AddModel(const std::string &name)
{
    if (!isUsableModelName(name)) {
        QV_TRACE() << "no model named" << QByteArray::fromStdString(name);
        return false;
    }
    const uint64_t now = uint64_t(time_now_sec_ms(nullptr, true));
    std::lock_guard<std::mutex> lock(modelsMutex_);
    for (const ObjectModel &m : models_)
        if (m.name == name)
            return false;
    ObjectModel m;
    m.index = int32_t(models_.size());
    m.name = name;
    m.lastUpdate = now;
    models_.push_back(std::move(m));
    return true;
}

bool PointCloudAnomalyDetector::RemoveModel(const std::string &name)
{
    std::lock_guard<std::mutex> lock(modelsMutex_);
    for (auto it = models_.begin(); it != models_.end(); ++it) {
        if (it->name == name) {
            models_.erase(it);
            return true;
        }
    }
    return false;
}

std::string PointCloudAnomalyDetector::GetModelName(int position) const
{
    std::lock_guard<std::mutex> lock(modelsMutex_);
    if (position < 0 || size_t(position) >= models_.size())
        return "unknown";
    return models_[size_t(position)].name;
}

std::vector<ObjectModel> PointCloudAnomalyDetector::GetModels() const
{
    std::lock_guard<std::mutex> lock(modelsMutex_);
    return models_;
}

// ---------------------------------------------------------------------------------------------
// Tracker

namespace {
// A track that misses more frames than this in a row stops being active.
constexpr int kTrackMaxMisses = 5;
} // namespace

ObjectTracker *PointCloudAnomalyDetector::createTracker(int capacity, float gate, int maxAge)
{
    if (capacity < 0)
        return nullptr;
    try {
        ObjectTracker *t = new (std::nothrow) ObjectTracker;
        if (t == nullptr)
            return nullptr;
        t->tracks.assign(size_t(capacity), TrackState());
        t->capacity = capacity;
        t->gate = gate;
        t->maxAge = maxAge;
        return t;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

void PointCloudAnomalyDetector::destroyTracker(ObjectTracker *tracker)
{
    delete tracker;
}

void PointCloudAnomalyDetector::updateTracks(ObjectTracker *t, TrackInput *inputs, int n, int frame)
{
    if (t == nullptr || (inputs == nullptr && n > 0))
        return;
    n = std::max(n, 0);
    std::vector<TrackState> &tracks = t->tracks;
    std::vector<bool> trackMatched(size_t(t->count), false);
    auto matched = [&](int k) { return bool(trackMatched[size_t(k)]); };
    // A track seen at the input's centre in this frame; the input carries its id.
    auto place = [frame](TrackState &tr, TrackInput &in) {
        tr.x = in.x;
        tr.y = in.y;
        tr.z = in.z;
        tr.lastFrame = frame;
        tr.misses = 0;
        tr.active = 1;
        in.trackId = tr.id;
    };
    std::vector<bool> inputMatched(size_t(n), false);
    const double gate = double(t->gate);

    // Match: each input takes the nearest active unmatched track within twice the gate, and
    // keeps it when it lies within the gate.
    for (int i = 0; i < n; ++i) {
        int best = -1;
        double bestDist = 2.0 * gate;
        for (int k = 0; k < t->count; ++k) {
            const TrackState &tr = tracks[size_t(k)];
            if (!tr.active || matched(k))
                continue;
            const double dx = double(inputs[i].x) - double(tr.x);
            const double dy = double(inputs[i].y) - double(tr.y);
            const double dz = double(inputs[i].z) - double(tr.z);
            const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
            if (d < bestDist) {
                bestDist = d;
                best = k;
            }
        }
        if (best >= 0 && bestDist <= gate) {
            place(tracks[size_t(best)], inputs[i]);
            trackMatched[size_t(best)] = true;
            inputMatched[size_t(i)] = true;
        }
    }

    // Age the active tracks nothing matched.
    for (int k = 0; k < t->count; ++k) {
        TrackState &tr = tracks[size_t(k)];
        if (tr.active && !matched(k) && ++tr.misses > kTrackMaxMisses) {
            tr.active = 0;
            tr.misses = 0;
        }
    }

    // Remove inactive tracks too old to come back; the rest move up in order.
    int kept = 0;
    for (int k = 0; k < t->count; ++k) {
        const TrackState &tr = tracks[size_t(k)];
        if (!tr.active && std::abs(int64_t(frame) - int64_t(tr.lastFrame)) > int64_t(t->maxAge))
            continue;
        tracks[size_t(kept++)] = tr;
    }
    for (int k = kept; k < t->count; ++k)
        tracks[size_t(k)] = TrackState();
    t->count = kept;

    // Every input left over starts a track: appended while there is room, else in place of the
    // track matched longest ago.
    for (int i = 0; i < n; ++i) {
        if (inputMatched[size_t(i)])
            continue;
        int slot;
        if (t->count < t->capacity) {
            slot = t->count++;
        } else {
            if (t->capacity == 0)
                continue;
            slot = 0;
            for (int k = 1; k < t->count; ++k)
                if (tracks[size_t(k)].lastFrame < tracks[size_t(slot)].lastFrame)
                    slot = k;
        }
        tracks[size_t(slot)].id = t->nextId++;
        place(tracks[size_t(slot)], inputs[i]);
    }
}
