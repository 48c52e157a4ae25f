#include "fakeupload.h"

#include "lhframe.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

void FakeUploadTarget::set_silent(bool silent)
{
    std::lock_guard<std::mutex> lock(mutex_);
    silent_ = silent;
}

bool FakeUploadTarget::silent()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return silent_;
}

void FakeUploadTarget::reject_chunk(uint16_t index, uint16_t status)
{
    std::lock_guard<std::mutex> lock(mutex_);
    reject_[index] = status;
}

void FakeUploadTarget::drop_chunk_replies(uint16_t index, int times)
{
    std::lock_guard<std::mutex> lock(mutex_);
    drop_replies_[index] = times;
}

void FakeUploadTarget::set_end_status(uint16_t status)
{
    std::lock_guard<std::mutex> lock(mutex_);
    end_status_ = status;
}

FakeUpload FakeUploadTarget::upload()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return upload_;
}

bool FakeUploadTarget::wait_end(int timeout_ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return upload_.ended; });
}

int FakeUploadTarget::messages()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

FakeUploadTarget::Result FakeUploadTarget::take(const std::vector<uint8_t> &p, uint16_t seq,
                                                int from_port, std::vector<uint8_t> *answer)
{
    answer->clear();
    if (p.size() < 2)
        return Result::NoReply;
    const uint16_t op = rd_u16(p.data());
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++messages_;
        switch (op) {
        case 1: { // info: a new upload
            upload_ = FakeUpload();
            upload_.info_messages = 1;
            upload_.from_port = from_port;
            if (p.size() >= 4) {
                const size_t l = std::min<size_t>(rd_u16(&p[2]), p.size() - 4);
                upload_.info_text.assign(reinterpret_cast<const char *>(&p[4]), l);
                char name[1024] = {0};
                unsigned size = 0, crc = 0;
                if (std::sscanf(upload_.info_text.c_str(), "%1023s %u %8X", name, &size, &crc) == 3) {
                    upload_.name = name;
                    upload_.size = size;
                    upload_.crc = crc;
                }
            }
            *answer = {0, 0};
            break;
        }
        case 2: { // chunk
            ++upload_.chunk_messages;
            if (p.size() < 6)
                return Result::NoReply;
            const uint16_t index = rd_u16(&p[2]);
            const size_t n = std::min<size_t>(rd_u16(&p[4]), p.size() - 6);
            auto rejected = reject_.find(index);
            if (rejected != reject_.end()) {
                *answer = {uint8_t(rejected->second), uint8_t(rejected->second >> 8)};
                break;
            }
            const size_t at = size_t(index) * 512;
            if (upload_.data.size() < at + n)
                upload_.data.resize(at + n);
            std::memcpy(upload_.data.data() + at, &p[6], n);
            auto drop = drop_replies_.find(index);
            if (drop != drop_replies_.end() && drop->second > 0) {
                --drop->second;
                return Result::NoReply;
            }
            *answer = {0, 0};
            break;
        }
        case 3: // end
            upload_.ended = true;
            *answer = {uint8_t(end_status_), uint8_t(end_status_ >> 8)};
            break;
        default:
            return Result::NotAnUploadOp;
        }
        upload_.sequences.push_back(seq);
    }
    cv_.notify_all();
    return Result::Reply;
}
