#pragma once
// The process-wide object detector of the Raxo sensors. It learns what the empty scene looks
// like (a background distance per grid cell) and separates what stands in front of it into at
// most 16 clusters per frame.
//
// Packets come in one at a time on the GUI thread (ProcessImuPacket, ProcessPointPacket). A
// complete frame grid goes through queue 1 to the live thread, which learns the background and
// extracts the clusters; their element goes through queue 2 to the timer thread. Every stage is
// a plain member function that a test can call on its own thread; the two workers are thin
// loops around them.

#include "tilt.h"

#include <concurrentqueue/concurrentqueue.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

constexpr int kDetectorRows = 150;
constexpr int kDetectorColumns = 360;
constexpr int kDetectorCells = kDetectorRows * kDetectorColumns; // 54000
constexpr int kDetectorStartEntries = 2700;
constexpr int kDetectorMaxClusters = 16;
// A frame with more foreground points than this is dropped.
constexpr int kDetectorMaxForeground = 13500;
// Provisional labels 1..9999 fit the union-find tables; a frame needing more is dropped.
constexpr int kDetectorLabelTable = 10000;
constexpr int kDetectorBackgroundFrames = 20;
// Distances (cm) for the foreground test and the join test of neighbouring cells.
constexpr int kDetectorMargin = 20;
// Frames a packet's end-of-frame must close to be a whole frame.
constexpr int kDetectorFramePackets = 450;
// Elements either queue may hold before its producer waits for the consumer (about 3 MB):
// enough to keep the consumer busy, and the slots stay warm in the cache.
constexpr size_t kDetectorQueueLimit = 4;

#pragma pack(push, 1)

// The 128-byte configuration block, laid out as the Raxo algorithm block. The detector checks
// and keeps bytes 1, 2 and 5; only byte 1 changes detection.
struct DetectorConfig {
    uint8_t algorithm_switch = 0;   // byte 0, not read
    uint8_t min_cluster_points = 0; // byte 1: 1 to 100, else 20
    uint8_t motion_frames = 0;      // byte 2: 1 to 10, else 1
    uint8_t reserved3[2] = {};      // bytes 3-4, not read
    float distance_threshold = 0;   // byte 5, unaligned: 0 and above 50 become 10
    uint8_t reserved9[119] = {};    // bytes 9-127, not read
};
static_assert(sizeof(DetectorConfig) == 128, "DetectorConfig is a 128-byte block");

// x, y, z in metres. Byte-aligned so that it can sit anywhere in the packed records.
struct Point3f {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};
static_assert(sizeof(Point3f) == 12, "Point3f is three floats");

// One object model's summary, as the object table is handed it: model index, sample count and
// the time of its last update in milliseconds.
struct ModelInfo {
    int32_t index = 0;
    uint32_t sample_count = 0;
    uint64_t last_update_ms = 0;
};
static_assert(sizeof(ModelInfo) == 16, "ModelInfo is a packed 16-byte record");

#pragma pack(pop)

// The element of both queues: in queue 1 a whole frame grid (start and count zero), in queue 2
// the clusters of one frame packed from point 0, start[j] the first point of cluster j and
// start[count] one past the last (depth is scratch there). Cell = row * 360 + column.
// Packed to 2 bytes: no gaps between or after the fields, and the u16 arrays stay aligned.
#pragma pack(push, 2)
struct PacketData {
    uint16_t depth[kDetectorCells]; // centimetres, 0 = no return
    Point3f point[kDetectorCells];
    uint16_t start[kDetectorStartEntries];
    uint16_t clusterCount;
};
#pragma pack(pop)
static_assert(sizeof(PacketData) == 54000 * 2 + 54000 * 12 + 2700 * 2 + 2,
              "PacketData has no gaps");

class PointCloudAnomalyDetector {
public:
    // The program's one detector lives for the whole process (GetInstance); tests make their
    // own. Destroying one stops and joins its workers.
    PointCloudAnomalyDetector();
    ~PointCloudAnomalyDetector();
    PointCloudAnomalyDetector(const PointCloudAnomalyDetector &) = delete;
    PointCloudAnomalyDetector &operator=(const PointCloudAnomalyDetector &) = delete;

    // The process-wide detector, created before main; null when it could not be allocated.
    static PointCloudAnomalyDetector *GetInstance();

    // --- Runs -----------------------------------------------------------------------------
    // Checks bytes 2, 1 and 5 of the caller's block and writes the replacements back into it,
    // keeps a copy, and starts the two workers unless they run already.
    void Start(DetectorConfig &config);
    // Names the object model that training fills and switches training on.
    void SetTrainName(std::string name);
    // Stops and joins the workers (each finishes the element at hand), empties both queues,
    // clears the attitude, the training state and the background. Returns at once when no
    // worker runs. The configuration and the frame grid being filled stay.
    void Reset();

    // True when nothing is queued and neither worker holds an element: every frame fed so far
    // has been learnt, trained or classified (or dropped).
    bool IsDrained() const;
    // Waits until IsDrained or the time-out; true when drained. For callers off the GUI
    // thread (tests, benchmarks); the GUI polls IsDrained from a timer.
    bool WaitDrained(std::chrono::milliseconds timeout) const;
    // Worker threads alive: 2 from Start until Reset has joined them, else 0.
    int WorkerCount() const { return workers_.load(); }

    // --- Packet intake (GUI thread) -------------------------------------------------------
    // An IMU packet of kind 2 or 3 steps the tilt filter; returns nonzero when the sensor is
    // still (the IMU-stable flag). A packet too short for its kind, or of another kind, is
    // ignored and returns the flag as it stands.
    int ProcessImuPacket(const uint8_t *data, size_t len);
    // A type-14 point packet into the frame grid: 0 taken, -3 IMU not still, -1 not type 14,
    // -2 length or point count wrong. The end-of-frame packet of a whole frame of 450 packets
    // queues a copy of the grid for the live thread and zeroes the grid; while the workers
    // run and queue 1 is full this waits for room, with no workers it drops the frame.
    int ProcessPointPacket(const uint8_t *data, size_t len);
    // The point levelled with pitch and roll, rounded to the millimetre.
    static Point3f rotatePoint(Point3f p, double pitch, double roll);

    // --- Live thread stages ---------------------------------------------------------------
    // One frame from queue 1, in place: learn, or find the foreground and write the frame's
    // clusters into it. True when the frame now holds clusters for queue 2.
    bool processFrame(PacketData &frame);
    // One background sample per cell (0 stored as 0xFFFF) into the ring of 20.
    void pushBackgroundSample(const uint16_t *depth);
    // Per cell the lower median of its valid samples, 0xFFFF when it never returned.
    void computeBackground();
    // Foreground mask of a frame against the background, labelled into `labels`. Returns the
    // number of components, or -1 when the frame needs more labels than the tables hold.
    int computeForeground(const uint16_t *depth, int margin, uint16_t *labels);
    int labelComponents(const uint8_t *mask, const uint16_t *depth, int margin, uint16_t *labels);
    int findRoot(int label);
    // The points of the fullest slice along the axis (0 x, 1 y, 2 z) of width `width` and the
    // neighbouring slices holding at least max(minPoints, peak / 10); empty when the peak holds
    // fewer than minPoints. Slice by slice, each in input order. Positions in doubles.
    void extractDominantSlab(double width, size_t minPoints, const std::vector<Point3f> &in,
                             std::vector<Point3f> &out, int axis);
    // All samples, background distances and the sample counter to 0.
    void clearBackground();

    // --- Timer thread ---------------------------------------------------------------------
    // Called on the timer thread with each element taken from queue 2, before it is handled.
    // Set it only while no worker runs.
    void SetClusterTap(std::function<void(const PacketData &)> tap);

    // --- State, for the dialog and for tests ----------------------------------------------
    DetectorConfig GetConfig() const;
    double GetPitch() const { return pitch_.load(); }
    double GetRoll() const { return roll_.load(); }
    bool IsImuStable() const { return imuStable_.load() != 0; }
    bool IsRunning() const { return running_.load() != 0; }
    bool IsTraining() const { return training_.load() != 0; }
    std::string GetTrainName() const;
    // The grid being filled and its packet counter (GUI thread).
    const PacketData &frameGrid() const { return *grid_; }
    uint16_t packetCounter() const { return packetCounter_; }
    // Elements waiting in queue 1 and 2.
    size_t QueuedFrames() const { return queued1_.load(); }
    size_t QueuedClusterSets() const { return queued2_.load(); }
    // Takes the oldest frame of queue 1 (only while no worker runs).
    bool TakeQueuedFrame(PacketData &out);
    // Live-thread state (read it only while no worker runs).
    uint32_t backgroundFrameCount() const { return bgFrameCount_; }
    bool overflowed() const { return overflow_; }
    uint16_t foregroundCount() const { return fgCount_; }
    uint16_t highestLabel() const { return highestLabel_; }
    const uint16_t *background() const { return background_.data(); }
    const uint16_t *labelGrid() const { return labelGrid_.data(); }
    int backgroundSampleCount() const { return bgSampleCount_; }

private:
    struct QueueTraits : moodycamel::ConcurrentQueueDefaultTraits {
        // Small blocks: a producer cycling through a bounded queue keeps reusing the same few
        // blocks, so the memory a run touches stays near the limit instead of the whole pool.
        static const size_t BLOCK_SIZE = 4;
    };
    using FrameQueue = moodycamel::ConcurrentQueue<PacketData, QueueTraits>;

    void live_data_thread();
    void timer_thread();
    // Waits until the queue's count is below the limit; false when the workers stop first.
    bool waitForRoom(const std::atomic<size_t> &queued);
    // One element of the queue into `out`; false, after waiting up to `poll`, when there is
    // none.
    bool takeElement(FrameQueue &queue, std::atomic<size_t> &queued, std::chrono::milliseconds poll,
                     PacketData &out);
    void notifyFlow() const;
    void finishElement();
    void emptyQueues();
    uint8_t minClusterPoints() const;

    // State, in this order: the configuration; the attitude; the worker threads; the models
    // mutex; the running flag; the training flag and name; the frame grid; the live thread's
    // per-frame state; the queues.
    DetectorConfig config_;
    std::atomic<uint8_t> imuStable_{0};
    // Written by the GUI thread while it feeds IMU packets, read by the live thread per frame.
    std::atomic<double> pitch_{0.0};
    std::atomic<double> roll_{0.0};
    std::thread live_;
    std::thread timer_;
    // Guards the training name (and the model list).
    mutable std::mutex modelsMutex_;
    std::atomic<uint8_t> running_{0};
    std::atomic<uint8_t> training_{0};
    std::string trainName_;
    std::unique_ptr<PacketData> grid_;
    uint16_t packetCounter_ = 0;
    uint16_t fgCount_ = 0;
    std::vector<uint16_t> labelGrid_;
    uint32_t bgFrameCount_ = 0;
    uint16_t highestLabel_ = 0;
    bool overflow_ = false;
    FrameQueue queue1_;
    FrameQueue queue2_;

    // The background store and the labelling buffers: the live thread's while it works on a
    // frame (Reset touches them only after joining it).
    std::vector<uint16_t> samples_;    // 20 per cell, cell-major
    std::vector<uint16_t> background_; // per cell
    int bgSampleCount_ = 0;
    std::vector<uint8_t> mask_;
    std::vector<uint8_t> filtered_;
    std::vector<int> parent_;
    std::vector<uint16_t> renumber_;
    // The frame's foreground list (label and levelled point per entry) and its buckets.
    std::vector<uint16_t> listLabel_;
    std::vector<Point3f> listPoint_;
    std::vector<uint32_t> bucketStart_;
    std::vector<uint32_t> bucketFill_;
    std::vector<uint32_t> bucketOrder_;
    // The working clusters A, B, C of a label and the slab pass's scratch.
    std::vector<Point3f> clusterA_, clusterB_, clusterC_;
    std::vector<uint32_t> slabCount_;
    std::vector<uint32_t> slabOf_;

    // Locks, in the order they may be taken: life (Start, Reset), config, flow.
    std::mutex lifeMutex_;
    mutable std::mutex configMutex_;
    mutable std::mutex flowMutex_;
    mutable std::condition_variable flowCv_;
    std::atomic<int> workers_{0};
    // Frames fed into queue 1 and not yet finished by the worker that ends their way.
    std::atomic<int> inFlight_{0};
    std::atomic<size_t> queued1_{0};
    std::atomic<size_t> queued2_{0};
    moodycamel::ProducerToken queue1Producer_;
    std::function<void(const PacketData &)> tap_;
};
