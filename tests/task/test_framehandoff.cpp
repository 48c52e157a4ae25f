// The handoff that posts a receiver's finished frames from a thread of its own.

#include "framehandoff.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

void fill(FrameHandoff::Batch &b, size_t points, float mark)
{
    for (size_t i = 0; i < points; ++i) {
        UserPointData p;
        p.x = mark;
        b.frames[0].push_back(p);
    }
    if (!b.bytes.empty())
        b.bytes[0] = 1;
    b.flags = 7;
}

} // namespace

TEST(FrameHandoff, PostsInOrderOffTheLoopAndLeavesReadyBuffersBehind)
{
    std::mutex m;
    std::vector<float> marks;
    std::vector<std::thread::id> threads;
    FrameHandoff handoff(
        [&](FrameHandoff::Batch &b) {
            std::lock_guard<std::mutex> lock(m);
            marks.push_back(b.frames[0].empty() ? -1.0f : float(b.frames[0].front().x));
            threads.push_back(std::this_thread::get_id());
            EXPECT_EQ(b.flags, 7u);
        },
        1000, 0, 16);
    FrameHandoff::Batch batch;

    // Not started (a receiver driven through its entry points): posted at once, on this thread.
    batch.bytes.assign(16, 0);
    fill(batch, 10, 1.0f);
    EXPECT_TRUE(handoff.hand_over(batch));
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(threads[0], std::this_thread::get_id());
    EXPECT_TRUE(batch.frames[0].empty());
    EXPECT_EQ(batch.bytes, std::vector<uint8_t>(16, 0));

    // Started: the loop's buffers are ready for a frame of the model's size before it reads.
    handoff.start(batch);
    EXPECT_GE(batch.frames[0].capacity(), 1000u);
    // As many as may wait: however late the posting thread starts, none is dropped.
    const int last = 1 + int(FrameHandoff::kMaxWaiting);
    for (int f = 2; f <= last; ++f) {
        fill(batch, 1000, float(f));
        ASSERT_TRUE(handoff.hand_over(batch));
        EXPECT_TRUE(batch.frames[0].empty());
        EXPECT_GE(batch.frames[0].capacity(), 1000u) << "no buffer the loop has to grow";
        EXPECT_EQ(batch.bytes, std::vector<uint8_t>(16, 0));
        EXPECT_EQ(batch.flags, 0u);
    }
    handoff.stop(); // everything handed over is posted when it returns
    ASSERT_EQ(marks.size(), size_t(last));
    for (size_t i = 0; i < marks.size(); ++i)
        EXPECT_EQ(marks[i], float(i + 1));
    for (size_t i = 1; i < threads.size(); ++i)
        EXPECT_NE(threads[i], std::this_thread::get_id());
    EXPECT_EQ(handoff.dropped(), 0u);
}

TEST(FrameHandoff, DropsFramesOnlyWhenThePostingHasFallenFarBehind)
{
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    int posted = 0;
    FrameHandoff handoff(
        [&](FrameHandoff::Batch &) {
            std::unique_lock<std::mutex> lock(m);
            cv.wait(lock, [&] { return release; }); // a reader that does not keep up
            ++posted;
        },
        10, 10, 0);
    FrameHandoff::Batch batch;
    handoff.start(batch);
    // One being posted, kMaxWaiting waiting: the next is dropped, the loop goes on.
    int accepted = 0;
    for (size_t i = 0; i < FrameHandoff::kMaxWaiting + 2; ++i) {
        fill(batch, 3, 1.0f);
        accepted += handoff.hand_over(batch) ? 1 : 0;
        EXPECT_TRUE(batch.frames[0].empty());
    }
    EXPECT_GE(accepted, int(FrameHandoff::kMaxWaiting));
    EXPECT_EQ(handoff.dropped(), uint64_t(FrameHandoff::kMaxWaiting + 2 - size_t(accepted)));
    // However far behind the posting is, the loop got every set from the spares made at
    // start(), none it had to make (and fault in) itself.
    EXPECT_EQ(handoff.made_on_loop(), 0u);
    {
        std::lock_guard<std::mutex> lock(m);
        release = true;
    }
    cv.notify_all();
    handoff.stop();
    EXPECT_EQ(posted, accepted);
}
