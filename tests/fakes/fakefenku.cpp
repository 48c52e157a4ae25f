#include "fakefenku.h"

#include "checksum.h"
#include "lhframe.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

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
    std::lock_guard<std::mutex> lock(mutex_);
    host_ip_ = ip;
    host_port_ = data_port;
}

int FakeFenkU::send_data(const std::vector<uint8_t> &datagram)
{
    std::string ip;
    int port;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ip = host_ip_;
        port = host_port_;
    }
    return peer_.send_to(ip, port, datagram);
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

void FakeFenkU::set_command_handler(CommandHandler h)
{
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(h);
}

std::vector<std::vector<uint8_t>> FakeFenkU::commands()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

bool FakeFenkU::wait_commands(size_t count, int timeout_ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                        [&] { return commands_.size() >= count; });
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

void FakeFenkU::set_silent(bool silent)
{
    std::lock_guard<std::mutex> lock(mutex_);
    silent_ = silent;
}

void FakeFenkU::reject_chunk(uint16_t index, uint16_t status)
{
    std::lock_guard<std::mutex> lock(mutex_);
    reject_[index] = status;
}

void FakeFenkU::set_end_status(uint16_t status)
{
    std::lock_guard<std::mutex> lock(mutex_);
    end_status_ = status;
}

FakeFenkU::Upload FakeFenkU::upload()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return upload_;
}

bool FakeFenkU::wait_upload_end(int timeout_ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return upload_.ended; });
}

int FakeFenkU::transfer_messages()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return transfer_messages_;
}

void FakeFenkU::on_datagram(FakePeer &peer, const Datagram &d)
{
    SumFrameData frame;
    if (lh_parse_sum_frame(d.bytes.data(), d.bytes.size(), &frame) != PROTOCOL_RET_OK)
        return;
    const uint16_t seq = rd_u16(&d.bytes[4]);
    if (frame.type == 9) {
        on_transfer(peer, d, frame.data, seq);
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
    CommandHandler h;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        commands_.push_back(d.bytes);
        h = handler_;
    }
    cv_.notify_all();
    const std::vector<uint8_t> reply =
        h ? h(d.bytes) : make_command_reply(uint16_t(frame.type), {0, 0, 0, 0});
    if (!reply.empty())
        peer.reply(d, reply);
}

void FakeFenkU::on_transfer(FakePeer &peer, const Datagram &d, const std::vector<uint8_t> &p,
                            uint16_t seq)
{
    if (p.size() < 2)
        return;
    const uint16_t op = rd_u16(p.data());
    std::vector<uint8_t> answer;
    bool silent = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++transfer_messages_;
        switch (op) {
        case 1: { // info: a new upload
            upload_ = Upload();
            upload_.info_messages = 1;
            upload_.from_port = d.from_port;
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
            answer = {0, 0};
            break;
        }
        case 2: { // chunk
            ++upload_.chunk_messages;
            if (p.size() < 6)
                return;
            const uint16_t index = rd_u16(&p[2]);
            const size_t n = std::min<size_t>(rd_u16(&p[4]), p.size() - 6);
            auto rejected = reject_.find(index);
            if (rejected != reject_.end()) {
                answer = {uint8_t(rejected->second), uint8_t(rejected->second >> 8)};
                break;
            }
            const size_t at = size_t(index) * 512;
            if (upload_.data.size() < at + n)
                upload_.data.resize(at + n);
            std::memcpy(upload_.data.data() + at, &p[6], n);
            answer = {0, 0};
            break;
        }
        case 3: // end
            upload_.ended = true;
            answer = {uint8_t(end_status_), uint8_t(end_status_ >> 8)};
            break;
        default:
            return;
        }
        upload_.sequences.push_back(seq);
        silent = silent_;
    }
    cv_.notify_all();
    if (!silent)
        peer.reply(d, lh_make_sum_frame(0, 0, 0x8009, answer.data(), answer.size()));
}
