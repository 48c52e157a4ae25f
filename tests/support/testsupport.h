#pragma once
// Helpers shared by the tests.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

// Makes a fresh folder under $TMPDIR (or /tmp) and points TMPDIR at it; returns it.
std::string setup_private_tmpdir();

// Removes that folder unless QV_KEEP_TMP is set.
void cleanup_private_tmpdir(const std::string &dir);

// This test process's private temporary folder (also its TMPDIR).
std::string temp_dir();

// A fresh empty folder inside temp_dir().
std::string make_temp_subdir(const std::string &prefix);

std::vector<uint8_t> read_file(const std::string &path);
void write_file(const std::string &path, const std::vector<uint8_t> &bytes);

// Folder of the running test binary.
std::string binary_dir();

// Runs the test thread's events until `done` holds or `timeout_ms` has passed.
template <class Pred>
bool wait_until(Pred done, int timeout_ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.hasExpired(timeout_ms))
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(500);
    }
    return true;
}

// Lets queued signals already on their way arrive: the thread under test has been stopped and
// joined, so everything it posted is in the queue.
inline void drain_events()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
}

// A UDP port that is free on `ip` right now.
int free_udp_port(const char *ip = "127.0.0.1");

// Holds every thread that waits at it until it is opened: a disk that takes nothing for as long
// as a test likes.
class Gate {
public:
    void wait()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait(lock, [this] { return open_; });
    }
    void open()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        cv_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool open_ = false;
};

} // namespace testsupport
