#include "pointcloudanomalydetector.h"

#include "raxopacket.h"
#include "tracelog.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>

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

// An output iterator that drops what is assigned to it: empties a queue without a 0.76 MB
// buffer per element.
struct DiscardIterator {
    struct Sink {
        template <class T>
        Sink &operator=(T &&)
        {
            return *this;
        }
    };
    Sink operator*() const { return {}; }
    DiscardIterator &operator++() { return *this; }
    DiscardIterator operator++(int) { return *this; }
};

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
    while (queue1_.try_dequeue_bulk(DiscardIterator(), kQueueCapacity) > 0) {
    }
    while (queue2_.try_dequeue_bulk(DiscardIterator(), kQueueCapacity) > 0) {
    }
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
                                            std::chrono::milliseconds poll, PacketData &out)
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
    if (!queue1_.try_dequeue(out))
        return false;
    --queued1_;
    finishElement();
    return true;
}

void PointCloudAnomalyDetector::live_data_thread()
{
    clusterA_.reserve(kWorkingPoints);
    clusterB_.reserve(kWorkingPoints);
    clusterC_.reserve(kWorkingPoints);
    std::unique_ptr<PacketData> work(new (std::nothrow) PacketData);
    if (work) {
        moodycamel::ProducerToken producer(queue2_);
        while (running_.load()) {
            if (!takeElement(queue1_, queued1_, kLivePoll, *work))
                continue;
            if (processFrame(*work) && waitForRoom(queued2_) && running_.load()) {
                ++queued2_;
                if (queue2_.enqueue(producer, *work)) {
                    notifyFlow();
                    continue;
                }
                --queued2_;
                QV_TRACE() << "no memory to queue the clusters of a frame";
            }
            finishElement();
        }
    } else {
        QV_TRACE() << "no memory for the live thread's frame";
    }
    clearBackground();
    bgFrameCount_ = 0;
    QV_TRACE() << "pointcloud thread end";
    --workers_;
    notifyFlow();
}

void PointCloudAnomalyDetector::timer_thread()
{
    std::unique_ptr<PacketData> work(new (std::nothrow) PacketData);
    if (work) {
        while (running_.load()) {
            if (!takeElement(queue2_, queued2_, kTimerPoll, *work))
                continue;
            if (tap_)
                tap_(*work);
            finishElement();
        }
    } else {
        QV_TRACE() << "no memory for the timer thread's clusters";
    }
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
            if (room) {
                ++inFlight_;
                ++queued1_;
                if (queue1_.enqueue(queue1Producer_, *grid_)) {
                    notifyFlow();
                } else {
                    --queued1_;
                    finishElement();
                    QV_TRACE() << "no memory to queue a frame";
                }
            }
            std::memset(static_cast<void *>(grid_.get()), 0, sizeof(PacketData));
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

        // The foreground list: labelled cells with a distance above 20 cm, levelled.
        int n = 0;
        uint16_t highest = 0;
        bool tooMany = components < 0;
        if (!tooMany) {
            const Eigen::Matrix3d level = tilt_rotation(pitch_.load(), roll_.load());
            const uint16_t *labels = labelGrid_.data();
            for (int cell = 0; cell < kDetectorCells; ++cell) {
                const uint16_t label = labels[cell];
                if (label == 0 || frame.depth[cell] <= kDetectorMargin)
                    continue;
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
                listLabel_[size_t(n)] = label;
                listPoint_[size_t(n)] = q;
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
            yielded = true;
        }
    }
    if (bgFrameCount_ <= uint32_t(kDetectorBackgroundFrames) && !overflow_)
        ++bgFrameCount_;
    return yielded;
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
    uint8_t *filtered = filtered_.data();
    for (int r = 0; r < H; ++r) {
        for (int c = 0; c < W; ++c) {
            const int i = r * W + c;
            if (r == 0 || r == H - 1 || c == 0 || c == W - 1) {
                filtered[i] = mask[i];
                continue;
            }
            const int around = mask[i - W - 1] + mask[i - W] + mask[i - W + 1] + mask[i - 1]
                + mask[i + 1] + mask[i + W - 1] + mask[i + W] + mask[i + W + 1];
            filtered[i] = 4 * mask[i] + around > 5 ? 1 : 0;
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
