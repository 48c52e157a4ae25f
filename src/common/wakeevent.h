#pragma once
// A descriptor that a thread waiting in poll() or select() on its sockets can also wait on, so
// that another thread can wake it at once (an eventfd). Work handed to a socket loop is then
// picked up without the loop having to wake up on a short time-out to look for it.

class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent &) = delete;
    WakeEvent &operator=(const WakeEvent &) = delete;

    // The descriptor to wait on for reading; -1 when none could be created (the waiter then
    // only wakes on its time-out).
    int fd() const { return fd_; }
    // Makes fd() readable; any thread, any number of times.
    void notify();
    // Makes fd() unreadable again; the waiting thread calls it when it wakes.
    void clear();

private:
    int fd_ = -1;
};
