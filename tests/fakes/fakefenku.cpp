#include "fakefenku.h"

#include "checksum.h"
#include "lhframe.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

std::vector<std::vector<uint8_t>> fenku_measurement(uint16_t width, uint16_t height, uint32_t index)
{
    const size_t n = size_t(width) * height;
    std::vector<std::array<float, 3>> points(n);
    for (size_t i = 0; i < n; ++i)
        points[i] = {1000.0f + float(i % width) * 10.0f, float(i / width) * 10.0f, 500.0f};
    std::vector<std::vector<uint8_t>> out = fenku_frame(1, width, height, lp_xyz_content(points), 1200, index);
    for (int16_t type = 2; type <= 5; ++type) {
        std::vector<uint16_t> plane(n);
        for (size_t i = 0; i < n; ++i)
            plane[i] = uint16_t(type * 1000 + i);
        const auto subs = fenku_frame(type, width, height, lp_u16_content(plane), 1200, index);
        out.insert(out.end(), subs.begin(), subs.end());
    }
    return out;
}

FakeFenkU::FakeFenkU(const std::string &ip) : peer_(ip)
{
    peer_.set_handler([this](FakePeer &peer, const Datagram &d) { on_datagram(peer, d); });
    peer_.start();
}

FakeFenkU::~FakeFenkU()
{
    stop_stream();
    peer_.stop();
}

void FakeFenkU::set_host(const std::string &ip, int data_port)
{
    peer_.set_host(ip, data_port);
}

int FakeFenkU::send_data(const std::vector<uint8_t> &datagram)
{
    return peer_.send_to_host(datagram);
}

void FakeFenkU::send_all(const std::vector<std::vector<uint8_t>> &datagrams)
{
    for (const auto &d : datagrams)
        send_data(d);
}

void FakeFenkU::start_stream(std::vector<std::vector<uint8_t>> datagrams, int interval_ms)
{
    stop_stream();
    streaming_ = true;
    stream_ = std::thread([this, datagrams, interval_ms] {
        size_t i = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        while (streaming_) {
            lock.unlock();
            if (!datagrams.empty())
                send_data(datagrams[i++ % datagrams.size()]);
            lock.lock();
            cv_.wait_for(lock, std::chrono::milliseconds(interval_ms), [this] { return !streaming_; });
        }
    });
}

void FakeFenkU::stop_stream()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        streaming_ = false;
    }
    cv_.notify_all();
    if (stream_.joinable())
        stream_.join();
}

std::vector<FenkTimeSync> FakeFenkU::time_syncs()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return syncs_;
}

bool FakeFenkU::wait_time_syncs(size_t count, int timeout_ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                        [&] { return syncs_.size() >= count; });
}

void FakeFenkU::clear_time_syncs()
{
    std::lock_guard<std::mutex> lock(mutex_);
    syncs_.clear();
}

void FakeFenkU::on_datagram(FakePeer &peer, const Datagram &d)
{
    SumFrameData frame;
    if (lh_parse_sum_frame(d.bytes.data(), d.bytes.size(), &frame) != PROTOCOL_RET_OK)
        return;
    const uint16_t seq = rd_u16(&d.bytes[4]);
    if (frame.type == 9) {
        std::vector<uint8_t> answer;
        if (upload_.take(frame.data, seq, d.from_port, &answer) == FakeUploadTarget::Result::Reply
            && !upload_.silent())
            peer.reply(d, lh_make_sum_frame(0, 0, 0x8009, answer.data(), answer.size()));
        return;
    }
    if (frame.type == 10) {
        FenkTimeSync s;
        s.frame = d.bytes;
        s.reserved = rd_u16(&d.bytes[2]);
        s.seq = seq;
        if (frame.data.size() >= 8) {
            s.sec = rd_u32(&frame.data[0]);
            s.usec = rd_u32(&frame.data[4]);
        }
        s.arrived = std::chrono::steady_clock::now();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            syncs_.push_back(s);
        }
        cv_.notify_all();
        return;
    }
    const std::vector<uint8_t> reply = commands_.take(d.bytes, uint16_t(frame.type));
    if (!reply.empty())
        peer.reply(d, reply);
}
