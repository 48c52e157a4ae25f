#pragma once
// Single-shot timers that a receiver's loop thread asks for. The loop runs without an event
// loop, so a timer armed there would never fire; it is armed on the thread the receiver object
// lives in (the GUI thread) instead.

#include <QObject>

#include <functional>

// Queues a call to the thread `owner` lives in that starts a single-shot timer of `ms` there,
// which then runs `functor` on that thread. Both hops are dropped if `owner` is gone by then.
void start_timer_on_owner_thread(QObject *owner, int ms, std::function<void()> functor);
