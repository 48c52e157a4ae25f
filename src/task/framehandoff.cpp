#include "framehandoff.h"

#include <algorithm>
#include <memory>
#include <sys/resource.h>

long thread_page_faults()
{
    rusage u{};
    if (getrusage(RUSAGE_THREAD, &u) != 0)
        return 0;
    return u.ru_minflt + u.ru_majflt;
}

FrameHandoff::FrameHandoff(Deliver deliver, size_t points0, size_t points1, size_t bytes)
    : deliver_(std::move(deliver)), model_{points0, points1, bytes}
{
}

FrameHandoff::~FrameHandoff()
{
    stop();
    Batch *b = nullptr;
    while (spare_.try_dequeue(b))
        delete b;
    while (waiting_.try_dequeue(b))
        delete b;
}

void FrameHandoff::recycle(Batch &b)
{
    b.frames[0].clear();
    b.frames[1].clear();
    std::fill(b.bytes.begin(), b.bytes.end(), uint8_t(0));
    b.flags = 0;
}

// Gives `b` at least these capacities, touching the memory it newly takes once. Memory a buffer
// already has was touched when it held a frame, or when it was first made ready here.
void FrameHandoff::prefault(Batch &b, size_t points0, size_t points1, size_t bytes)
{
    const size_t points[2] = {points0, points1};
    for (int k = 0; k < 2; ++k) {
        PointFrame &f = b.frames[k];
        if (f.capacity() >= points[k])
            continue;
        const size_t keep = f.size();
        f.resize(points[k]);
        f.resize(keep);
    }
    if (b.bytes.size() < bytes)
        b.bytes.resize(bytes, 0);
}

void FrameHandoff::start(Batch &batch)
{
    if (thread_.joinable())
        return;
    prefault(batch, model_[0], model_[1], model_[2]);
    size_t spares = spare_.size_approx();
    for (; spares < kSpares; ++spares) {
        auto b = std::make_unique<Batch>();
        prefault(*b, model_[0], model_[1], model_[2]);
        spare_.enqueue(b.release());
    }
    thread_ = std::thread([this] { run(); });
}

void FrameHandoff::stop()
{
    if (!thread_.joinable())
        return;
    waiting_.enqueue(nullptr);
    thread_.join();
    thread_ = std::thread();
}

bool FrameHandoff::hand_over(Batch &batch)
{
    if (!thread_.joinable()) {
        deliver_(batch);
        recycle(batch);
        return true;
    }
    if (waiting_count_.load(std::memory_order_acquire) >= kMaxWaiting) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        recycle(batch);
        return false;
    }
    Batch *spare = nullptr;
    if (!spare_.try_dequeue(spare)) {
        // No spare is ready: memory of the right size, touched as it fills. A safety net: the
        // spares made at start() cover every set that can be away from the loop at once.
        made_on_loop_.fetch_add(1, std::memory_order_relaxed);
        spare = new Batch;
        for (int k = 0; k < 2; ++k)
            spare->frames[k].reserve(batch.frames[k].capacity());
        spare->bytes.assign(batch.bytes.size(), 0);
    }
    std::swap(batch, *spare); // `spare` now holds the finished frame
    waiting_count_.fetch_add(1, std::memory_order_release);
    waiting_.enqueue(spare);
    return true;
}

void FrameHandoff::run()
{
    // The largest frames seen: spares are kept that large, so that the loop never has to grow
    // a buffer (and fault in its new memory) for a frame like the ones before.
    size_t largest[3] = {model_[0], model_[1], model_[2]};
    auto post = [&](Batch *b) {
        deliver_(*b);
        for (int k = 0; k < 2; ++k)
            largest[k] = std::max(largest[k], b->frames[k].size());
        largest[2] = std::max(largest[2], b->bytes.size());
        recycle(*b);
        prefault(*b, largest[0], largest[1], largest[2]);
        spare_.enqueue(b);
    };
    for (;;) {
        Batch *b = nullptr;
        waiting_.wait_dequeue(b);
        if (b == nullptr) {
            // Stop. The loop handed over its last frame before asking, so nothing of it is
            // still queued behind this; a stop from elsewhere may have overtaken some.
            while (waiting_.try_dequeue(b))
                if (b != nullptr)
                    post(b);
            return;
        }
        waiting_count_.fetch_sub(1, std::memory_order_acq_rel);
        post(b);
    }
}
