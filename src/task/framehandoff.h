#pragma once
// Hands the frames that a receiver's loop has finished to a thread of its own, which posts them.
//
// Posting a frame copies it (a queued signal takes its own copy for the receiving thread), and
// a copy into memory the process has not used yet faults in every page of it: some 300 pages
// for a Raxo frame, 10 microseconds each on some virtual machines. A fault in freshly mapped
// memory also takes the process's memory-map lock, which any thread that maps or unmaps memory
// (every large allocation does) may hold; on a loaded machine that thread can be preempted
// holding it, and the loop then waits for it. The loop reads nothing meanwhile while the sensor
// goes on sending.
//
// So the loop only ever touches memory that is already faulted in: it swaps its frame buffers
// for recycled ones (their capacity kept) and reads on at once; this thread posts the finished
// frames in order, empties the buffers and keeps spare sets ready. The two threads share no
// lock: batches travel through lock-free queues.

#include "userpointdata.h"

#include <concurrentqueue/blockingconcurrentqueue.h>
#include <concurrentqueue/concurrentqueue.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

// Page faults the calling thread has taken so far (minor and major): what a receiver's loop
// should not take once it reads.
long thread_page_faults();

class FrameHandoff {
public:
    // What one frame end hands over; the receiver decides what its parts mean.
    struct Batch {
        PointFrame frames[2];
        std::vector<uint8_t> bytes; // zeroed, its size kept, when recycled
        unsigned flags = 0;         // cleared when recycled
    };
    using Deliver = std::function<void(Batch &)>;

    // Batches handed over but not yet posted, at most; a frame end beyond that drops its frame
    // (the posting has fallen that far behind: most of a second at a sensor's 10 to 20 frames
    // a second).
    static constexpr size_t kMaxWaiting = 8;
    // Spare sets made ready at start(): as many as can be away from the loop at once (the
    // waiting ones, the one being posted), so that the loop never has to make a set itself and
    // fault its memory in while the sensor goes on sending. A posting thread that a loaded
    // machine leaves waiting for a CPU for a few frames is the common case, not the rare one.
    static constexpr size_t kSpares = kMaxWaiting + 1;

    // `deliver` posts one batch. It runs on the handoff's thread while that runs, and at once
    // on the caller's thread otherwise (a receiver driven through its entry points by a test).
    // `model` gives the capacities of the spare sets made ready at start(): a frame of the
    // size the device usually sends.
    FrameHandoff(Deliver deliver, size_t points0, size_t points1, size_t bytes);
    ~FrameHandoff();
    FrameHandoff(const FrameHandoff &) = delete;
    FrameHandoff &operator=(const FrameHandoff &) = delete;

    // On the loop's thread before it reads: readies `batch` (the loop's own) and the spare sets,
    // all faulted in, and starts the posting thread.
    void start(Batch &batch);
    // On the loop's thread at its end: posts what is still waiting, then ends the thread.
    // Everything handed over before has been posted when this returns.
    void stop();

    // Hands the contents of `batch` over for posting; `batch` receives an emptied set of
    // buffers in exchange. False when kMaxWaiting batches are waiting: the frame is dropped
    // and `batch` emptied in place.
    bool hand_over(Batch &batch);

    // Frames dropped because the posting fell behind.
    uint64_t dropped() const { return dropped_.load(std::memory_order_relaxed); }
    // Sets of buffers hand_over() had to make on the loop's thread because no spare was ready
    // (0 while the spares cover everything that can be away from the loop).
    uint64_t made_on_loop() const { return made_on_loop_.load(std::memory_order_relaxed); }

private:
    void run();
    static void recycle(Batch &b);
    static void prefault(Batch &b, size_t points0, size_t points1, size_t bytes);

    Deliver deliver_;
    size_t model_[3];
    moodycamel::BlockingConcurrentQueue<Batch *> waiting_; // nullptr: stop
    moodycamel::ConcurrentQueue<Batch *> spare_;
    std::atomic<size_t> waiting_count_{0};
    std::atomic<uint64_t> dropped_{0};
    std::atomic<uint64_t> made_on_loop_{0};
    std::thread thread_;
};
