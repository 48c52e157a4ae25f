#include "fakecommandlog.h"

#include "devicepackets.h"

#include <chrono>

void FakeCommandLog::set_handler(Handler h)
{
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(h);
}

std::vector<std::vector<uint8_t>> FakeCommandLog::commands()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

bool FakeCommandLog::wait(size_t count, int timeout_ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                        [&] { return commands_.size() >= count; });
}

std::vector<uint8_t> FakeCommandLog::take(const std::vector<uint8_t> &request, uint16_t type)
{
    Handler h;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        commands_.push_back(request);
        h = handler_;
    }
    cv_.notify_all();
    return h ? h(request) : make_command_reply(type, {0, 0, 0, 0});
}
