#include "refreshpace.h"

RefreshPace::RefreshPace(QObject *owner)
{
    timer_.setSingleShot(true);
    timer_.setInterval(kIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, owner, [this] {
        if (!pending_)
            return;
        const std::function<void()> refresh = std::move(pending_);
        pending_ = nullptr;
        timer_.start();
        refresh();
    });
}

void RefreshPace::offer(std::function<void()> refresh)
{
    if (timer_.isActive()) {
        pending_ = std::move(refresh);
        return;
    }
    timer_.start();
    refresh();
}

void RefreshPace::cancel()
{
    pending_ = nullptr;
    timer_.stop();
}
