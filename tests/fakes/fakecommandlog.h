#pragma once
// The command frames a fake sensor has received and the handler that answers them: the part
// the fake Raxo and Fenk-U sensors share.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

class FakeCommandLog {
public:
    // Returns the reply to a command; an empty vector for no reply.
    using Handler = std::function<std::vector<uint8_t>(const std::vector<uint8_t> &request)>;

    void set_handler(Handler h);
    std::vector<std::vector<uint8_t>> commands();
    bool wait(size_t count, int timeout_ms);

    // Records a command frame of `type` (bit 15 clear) and returns its reply: the handler's, or
    // by default type | 0x8000 with four zero bytes.
    std::vector<uint8_t> take(const std::vector<uint8_t> &request, uint16_t type);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    Handler handler_;
    std::vector<std::vector<uint8_t>> commands_;
};
