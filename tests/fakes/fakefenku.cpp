#include "fakefenku.h"

#include "checksum.h"
#include "lhframe.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

std::vector<uint8_t> fenku_subpackage(uint32_t total, uint32_t offset, const std::vector<uint8_t> &payload)
{
    std::vector<uint8_t> b(16 + payload.size() + 4, 0);
    b[0] = 'L';
    b[1] = 'P';
    wr_u32(&b[4], total);
    wr_u32(&b[8], offset);
    wr_u32(&b[12], uint32_t(payload.size()));
    if (!payload.empty())
        std::memcpy(&b[16], payload.data(), payload.size());
    wr_u32(&b[16 + payload.size()], crc32_reflected(0, b.data(), 16 + payload.size()));
    return b;
}

std::vector<uint8_t> fenku_frame_header(int16_t type, uint16_t width, uint16_t height,
                                        uint32_t frame_crc, uint32_t index)
{
    std::vector<uint8_t> h(44, 0);
    wr_u16(&h[2], uint16_t(type));
    wr_u32(&h[12], index);
    wr_u16(&h[16], width);
    wr_u16(&h[18], height);
    wr_u32(&h[24], frame_crc);
    return h;
}

std::vector<uint8_t> fenku_points(const std::vector<std::array<float, 3>> &mm)
{
    std::vector<uint8_t> b(mm.size() * 12);
    for (size_t i = 0; i < mm.size(); ++i)
        for (size_t k = 0; k < 3; ++k) {
            uint32_t bits;
            std::memcpy(&bits, &mm[i][k], sizeof(bits));
            wr_u32(&b[i * 12 + k * 4], bits);
        }
    return b;
}

std::vector<uint8_t> fenku_plane(const std::vector<uint16_t> &values)
{
    std::vector<uint8_t> b(values.size() * 2);
    for (size_t i = 0; i < values.size(); ++i)
        wr_u16(&b[i * 2], values[i]);
    return b;
}

std::vector<std::vector<uint8_t>> fenku_frame(int16_t type, uint16_t width, uint16_t height,
                                              const std::vector<uint8_t> &data, size_t chunk,
                                              uint32_t index)
{
    const uint32_t total = uint32_t(44 + data.size());
    std::vector<std::vector<uint8_t>> out;
    out.push_back(fenku_subpackage(
        total, 0, fenku_frame_header(type, width, height, crc32_reflected(0, data.data(), data.size()), index)));
    for (size_t at = 0; at < data.size(); at += chunk) {
        const size_t n = std::min(chunk, data.size() - at);
        out.push_back(fenku_subpackage(total, uint32_t(44 + at),
                                       std::vector<uint8_t>(data.begin() + long(at),
                                                            data.begin() + long(at + n))));
    }
    return out;
}

std::vector<uint8_t> fenku_reply_frame(uint16_t type, const std::vector<uint8_t> &payload)
{
    return lh_make_sum_frame(0, 0, uint16_t(type | 0x8000), payload.data(), payload.size());
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
        h ? h(d.bytes) : fenku_reply_frame(uint16_t(frame.type), {0, 0, 0, 0});
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
