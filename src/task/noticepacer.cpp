#include "noticepacer.h"

#include "receivernotices.h"

#include <algorithm>
#include <chrono>

NoticePacer::NoticePacer(Post post, Clock clock) : post_(std::move(post)), clock_(std::move(clock)) {}

int64_t NoticePacer::now() const
{
    if (clock_)
        return clock_();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void NoticePacer::offer(int kind, int type, const std::function<QString()> &text)
{
    Kind &k = kinds_[kind];
    k.type = type;
    const int64_t t = now();
    if (k.since == INT64_MIN || t - k.since >= kIntervalMs) {
        if (k.waiting > 0) {
            postWaiting(k, t); // the count of the interval before goes first
        } else {
            k.since = t;
            k.posted = 0;
        }
    }
    if (k.posted < kBurst) {
        ++k.posted;
        post_(type, text());
        return;
    }
    // Only the newest text is kept: it is made when the count is posted.
    k.text = text;
    ++k.waiting;
    next_ = std::min(next_, k.since + kIntervalMs);
}

void NoticePacer::postWaiting(Kind &k, int64_t at)
{
    post_(k.type, k.waiting > 1 ? repeated_text(k.text(), int(std::min<uint64_t>(k.waiting, INT32_MAX)))
                                : k.text());
    k.waiting = 0;
    k.text = nullptr;
    // The count line opens the next interval.
    k.since = at;
    k.posted = 1;
}

void NoticePacer::flush(bool all)
{
    if (!all && next_ == INT64_MAX)
        return;
    const int64_t t = now();
    if (!all && t < next_)
        return;
    next_ = INT64_MAX;
    for (auto &entry : kinds_) {
        Kind &k = entry.second;
        if (k.waiting == 0)
            continue;
        if (all || t - k.since >= kIntervalMs)
            postWaiting(k, t);
        else
            next_ = std::min(next_, k.since + kIntervalMs);
    }
}
