#include "refreshpace.h"

RefreshPace::RefreshPace(QObject *owner, std::function<void(const QByteArray &)> apply)
    : apply_(std::move(apply))
{
    timer_.setSingleShot(true);
    timer_.setInterval(kIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, owner, [this] {
        if (!waiting_)
            return;
        waiting_ = false;
        const QByteArray reply = std::move(pending_);
        pending_.clear();
        timer_.start();
        apply_(reply);
    });
}

void RefreshPace::offer(const QByteArray &reply)
{
    if (timer_.isActive()) {
        pending_ = reply;
        waiting_ = true;
        return;
    }
    timer_.start();
    apply_(reply);
}

void RefreshPace::cancel()
{
    waiting_ = false;
    pending_.clear();
    timer_.stop();
}
