#pragma once
// The pace of a page refresh that a device's reply starts: the first reply is applied at once,
// the ones that follow within the interval wait, and the newest of them is applied when it has
// passed. A device answers a query once; one that repeats its reply over and over (or anyone
// sending with its address) would otherwise have the page filled thousands of times a second on
// the GUI thread. What is shown in the end is always the newest reply.

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>

class RefreshPace {
public:
    static constexpr int kIntervalMs = 250;

    RefreshPace(QObject *owner, std::function<void(const QByteArray &)> apply);

    void offer(const QByteArray &reply);
    // Forgets a waiting reply (its session has ended).
    void cancel();
    bool waiting() const { return waiting_; }

private:
    std::function<void(const QByteArray &)> apply_;
    QTimer timer_;
    QByteArray pending_;
    bool waiting_ = false;
};
