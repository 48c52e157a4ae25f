#pragma once
// The pace of a page refresh that a device's reply starts: the first refresh runs at once, the
// ones that follow within the interval wait, and the newest of them runs when it has passed. A
// device answers a query once; one that repeats its reply over and over (or anyone sending with
// its address) would otherwise have the page filled thousands of times a second on the GUI
// thread. What is shown in the end is always the newest reply.

#include <QObject>
#include <QTimer>

#include <functional>

class RefreshPace {
public:
    static constexpr int kIntervalMs = 250;

    explicit RefreshPace(QObject *owner);

    void offer(std::function<void()> refresh);
    // Forgets a waiting refresh (its session has ended); the next one runs at once.
    void cancel();
    bool waiting() const { return bool(pending_); }

private:
    QTimer timer_;
    std::function<void()> pending_;
};
