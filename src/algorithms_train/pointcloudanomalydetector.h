#pragma once
// The process-wide object detector of the Raxo sensors. It learns what the empty scene looks
// like (a background distance per grid cell), separates what stands in front of it into at
// most 16 clusters per frame, and trains named object models with them or classifies and
// tracks them.
//
// Packets come in one at a time on the GUI thread (ProcessImuPacket, ProcessPointPacket). A
// complete frame grid goes through queue 1 to the live thread, which learns the background,
// labels the foreground and levels its points; the labelled frame goes through queue 2 to the
// timer thread, which cuts it into its clusters and trains or classifies them. The labelling
// alone costs about as much as the rest of a frame, so the cutting runs beside the next frame's
// labelling instead of after it. Every stage is a plain member function that a test can call on
// its own thread; the two workers are thin loops around them.

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
// Frames either queue may hold before its producer waits for the consumer (about 3 MB):
// enough to keep the consumer busy, and the buffers stay warm in the cache.
constexpr size_t kDetectorQueueLimit = 4;
// Points a result record holds.
constexpr int kDetectorRecordPoints = 2560;
// Models the model file gives at most.
constexpr int kDetectorMaxModels = 16;

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

// The description of one cluster: its extents, its spread around the centroid (mean squared
// distance, m^2) and two normalised histograms: 8 bands of squared distance to the centroid,
// 5 fifths of the height.
struct ObjectFeature {
    float extentX = 0.0f, extentY = 0.0f, extentZ = 0.0f;
    float spread = 0.0f;
    std::vector<float> radialHist;
    std::vector<float> heightHist;
};

// A named class of objects. Models read from the model file keep the count and the mean the
// file gave (baseCount, baseMean): training them again weights that mean in.
struct ObjectModel {
    int32_t index = 0;           // the class number classification reports
    std::string name;            // local 8-bit bytes, compared byte for byte
    std::vector<ObjectFeature> samples; // trained in this run
    ObjectFeature mean;
    int32_t sampleCount = 0;     // including those the file counted
    uint64_t lastUpdate = 0;     // milliseconds since 1970 (UTC)
    int32_t baseCount = 0;
    ObjectFeature baseMean;
};

#pragma pack(push, 1)

// One model's summary, as the model lists of the windows hold it.
struct ModelInfo {
    int32_t index = 0;
    uint32_t sampleCount = 0;
    uint64_t time = 0; // last update, milliseconds since 1970
};
static_assert(sizeof(ModelInfo) == 16, "ModelInfo is a packed 16-byte record");

// One result record of a test-mode frame: the items of the object lists Raxo sensors send,
// plus the cluster's levelled points.
struct DetectedObject {
    uint8_t trackId = 0;     // low 8 bits of the tracker's id
    int32_t classIndex = -1; // model index, -1 for none
    float sizeX = 0.0f, sizeY = 0.0f, sizeZ = 0.0f;
    float centerX = 0.0f, centerY = 0.0f, centerZ = 0.0f;
    uint16_t pointCount = 0;
    Point3f points[kDetectorRecordPoints]; // the first pointCount are the record's

};

#pragma pack(pop)

// One track of the tracker.
struct TrackState {
    int32_t id = -1; // -1 when free
    float x = 0.0f, y = 0.0f, z = 0.0f;
    int32_t lastFrame = 0; // frame it was last matched or created in
    int32_t misses = 0;    // consecutive frames without a match
    uint8_t active = 0;
};

// Greedy nearest-neighbour tracker of a fixed number of tracks.
struct ObjectTracker {
    std::vector<TrackState> tracks; // `capacity` entries, the first `count` in use
    int32_t capacity = 0;
    int32_t count = 0;
    int32_t nextId = 1;
    float gate = 0.0f; // metres
    int32_t maxAge = 0; // frames
};

// One detection handed to the tracker; trackId is -1 on entry and the track's id on return.
struct TrackInput {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    int32_t frame = 0;
    int32_t trackId = -1;
};

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
    // worker runs. The configuration, the model list, the results and the frame grid being
    // filled stay.
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
    // clusters into it (labelFrame, then extractClusters). True when the frame now holds
    // clusters.
    bool processFrame(PacketData &frame);
    // The live thread's part of a frame, in place: learn, or label the foreground. True when
    // the frame goes on to the timer thread: then each cell's depth holds its label, 0 for a
    // cell out of the foreground list, and the point of every labelled cell is levelled.
    bool labelFrame(PacketData &frame);
    // The timer thread's first step on a labelled frame: its clusters written into it (the
    // queue-2 element the timer thread goes on with). Its scratch is the timer thread's while
    // the workers run.
    void extractClusters(PacketData &frame);
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
    // What the timer thread keeps from start to end: the tracker (16 tracks, gate 0.5 m, age
    // 5), its inputs, the working points, the frame number of test mode and the frame's
    // records. A test makes its own to run the per-element step on its thread.
    struct TimerState {
        TimerState();
        ~TimerState();
        TimerState(const TimerState &) = delete;
        TimerState &operator=(const TimerState &) = delete;
        ObjectTracker *tracker = nullptr;
        TrackInput inputs[kDetectorMaxClusters];
        std::vector<Point3f> points;
        int frameNumber = 0;
        std::vector<DetectedObject> records;
    };
    // One element of queue 2: trains or classifies each cluster; in test mode also the
    // records, their tracks, the frame number and the results list.
    void processClusterElement(const PacketData &element, TimerState &state);
    // Called on the timer thread with each element taken from queue 2 once its clusters are
    // cut, before they are trained or classified. Set it only while no worker runs.
    void SetClusterTap(std::function<void(const PacketData &)> tap);
    // A copy of the records of the last frame processed in test mode.
    std::vector<DetectedObject> GetResults() const;

    // --- Features, training and classification -------------------------------------------
    static ObjectFeature extractFeatures(const std::vector<Point3f> &points);
    static float histogramIntersection(const std::vector<float> &a, const std::vector<float> &b);
    // A cluster's score against a model's mean: 0.5 x size + 0.2 x spread + 0.3 x histogram
    // terms (in doubles; a term that gives no number counts 0), or -1 when the cluster is
    // more than 1.5 times the model's longer side or its height.
    static double matchScore(const ObjectFeature &f, const ObjectFeature &mean);
    // The index of the best model whose score exceeds 0.5, or -1.
    int classifyObject(const std::vector<Point3f> &points);
    // Adds the cluster's points from 3 to 20 m ahead to the model of that name (created at
    // the end of the list when there is none) when there are enough of them.
    void trainObject(const std::vector<Point3f> &points, const std::string &name);
    static void updateModelMean(ObjectModel &model);

    // --- Model list and model file ---------------------------------------------------------
    // The name of the model at that position of the list, "unknown" outside it.
    std::string GetModelName(int position) const;
    // Replaces the model list with the file's (at most 16) and appends their summaries to
    // `infos`. A missing file is created holding "0" and gives false.
    bool LoadModelsFromFile(const std::string &path, std::vector<ModelInfo> &infos);
    void LoadModelsFromCache(std::vector<ModelInfo> &infos);
    bool SaveModels(const std::string &path);
    // An empty model of that name; false when the name is taken or unusable.
    bool AddModel(const std::string &name);
    bool RemoveModel(const std::string &name);
    // The models of model-file text, up to the first thing that cannot be read; each model's
    // summary goes to `infos` with it. The file reader's parser.
    static void parseModelFile(const char *data, size_t len, std::vector<ObjectModel> &models,
                               std::vector<ModelInfo> &infos);
    // The model-file text of a list.
    static std::string formatModelFile(const std::vector<ObjectModel> &models);
    // A name the model file can carry: not empty, no white space.
    static bool isUsableModelName(const std::string &name);
    // A copy of the model list.
    std::vector<ObjectModel> GetModels() const;

    // --- Tracker ---------------------------------------------------------------------------
    static ObjectTracker *createTracker(int capacity, float gate, int maxAge);
    static void updateTracks(ObjectTracker *tracker, TrackInput *inputs, int count, int frame);
    static void destroyTracker(ObjectTracker *tracker);

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
    // The oldest frame of queue 1 the whole way on the caller's thread, in its own buffer, as
    // the two workers would take it: the synchronous path (only while no worker runs). False
    // when none is queued or the frame yields no clusters.
    bool ProcessQueuedFrame(TimerState &state);
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
    // Frames travel as buffers handed from stage to stage: a frame is 0.76 MB, and copying it
    // in and out of each queue cost more than the threads gained.
    using FrameBuffer = std::unique_ptr<PacketData>;
    using FrameQueue = moodycamel::ConcurrentQueue<FrameBuffer, QueueTraits>;

    void live_data_thread();
    void timer_thread();
    // What the timer thread does with a labelled frame: its clusters, the tap, then trained or
    // classified.
    void clusterStep(PacketData &frame, TimerState &state);
    // Waits until the queue's count is below the limit; false when the workers stop first.
    bool waitForRoom(const std::atomic<size_t> &queued);
    // One element of the queue into `out`; false, after waiting up to `poll`, when there is
    // none.
    bool takeElement(FrameQueue &queue, std::atomic<size_t> &queued, std::chrono::milliseconds poll,
                     FrameBuffer &out);
    // A zeroed buffer for the next frame grid: one handed back, or a new one; null when there
    // is no memory.
    FrameBuffer freshBuffer();
    // Zeroes a buffer whose frame is done with and keeps it for the next grid (null is fine).
    void recycle(FrameBuffer buffer);
    void notifyFlow() const;
    void finishElement();
    void emptyQueues();
    uint8_t minClusterPoints() const;
    // The features of `count` points, and their minimum and maximum on each axis.
    static ObjectFeature featuresOf(const Point3f *points, size_t count, float lo[3], float hi[3]);
    int classifyFeatures(const ObjectFeature &f);
    static void fillRecord(const Point3f *points, size_t n, int classIndex, const float lo[3],
                           const float hi[3], DetectedObject &record);

    // State, in this order: the configuration; the attitude; the results list; the worker
    // threads; the results and models mutexes; the running flag; the model list; the training
    // flag and name; the frame grid; the live thread's per-frame state; the queues.
    DetectorConfig config_;
    std::atomic<uint8_t> imuStable_{0};
    // Written by the GUI thread while it feeds IMU packets, read by the live thread per frame.
    std::atomic<double> pitch_{0.0};
    std::atomic<double> roll_{0.0};
    std::vector<DetectedObject> results_;
    std::thread live_;
    std::thread timer_;
    mutable std::mutex resultsMutex_;
    // Guards the model list and the training name.
    mutable std::mutex modelsMutex_;
    std::atomic<uint8_t> running_{0};
    std::vector<ObjectModel> models_;
    std::atomic<uint8_t> training_{0};
    std::string trainName_;
    FrameBuffer grid_;
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
    // Those, the working clusters A, B, C of a label and the slab pass's scratch belong to
    // extractClusters: the timer thread's while the workers run.
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
    // Buffers of finished frames, zeroed. No more than the queues and the three stages can
    // hold at once ever come back, so it stays small; it outlives runs.
    std::mutex poolMutex_;
    std::vector<FrameBuffer> pool_;
    std::function<void(const PacketData &)> tap_;
};
