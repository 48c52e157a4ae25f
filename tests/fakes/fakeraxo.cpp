#include "fakeraxo.h"

#include "checksum.h"
#include "lhframe.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

std::vector<uint8_t> raxo_point_packet(uint8_t type, uint16_t column, uint16_t row,
                                       const std::vector<RaxoPoint> &points,
                                       uint8_t frame_flag, int count_a, int count_b)
{
    RaxoPacketFields f;
    f.type = type;
    f.column = column;
    f.row = row;
    f.count_a = count_a;
    f.count_b = uint8_t(count_b >= 0 ? count_b : 1);
    f.frame_flag = frame_flag;
    return make_raxo_packet(f, points);
}

std::vector<uint8_t> raxo_imu_packet(uint8_t kind, int64_t time_us, const std::vector<float> &floats)
{
    std::vector<uint8_t> b(22 + 4 * floats.size(), 0);
    b[0] = 0x5A;
    b[1] = 0xA5;
    b[3] = 4;
    b[8] = kind;
    wr_u64(&b[12], uint64_t(time_us));
    for (size_t i = 0; i < floats.size(); ++i)
        wr_f32(&b[22 + 4 * i], floats[i]);
    return b;
}

std::vector<uint8_t> raxo_imu_level_packet(float ax, float ay, float az, int64_t time_us)
{
    return raxo_imu_packet(3, time_us, {0, 0, 0, 0, 0, 0, ax, ay, az});
}

std::vector<uint8_t> raxo_zone_monitor_packet(uint16_t selector, const std::vector<uint8_t> &record)
{
    std::vector<uint8_t> b(20 + record.size(), 0);
    b[0] = 'A';
    b[1] = 'M';
    wr_u16(&b[12], selector);
    if (!record.empty())
        std::memcpy(&b[20], record.data(), record.size());
    return b;
}

FakeRaxo::FakeRaxo(const std::string &ip) : data_(ip), cmd_(ip)
{
    cmd_.set_handler([this](FakePeer &peer, const Datagram &d) { on_command(peer, d); });
    cmd_.start();
}

FakeRaxo::~FakeRaxo()
{
    cmd_.stop();
}

void FakeRaxo::set_host(const std::string &ip, int data_port)
{
    data_.set_host(ip, data_port);
}

int FakeRaxo::send_data(const std::vector<uint8_t> &datagram)
{
    return data_.send_to_host(datagram);
}

int FakeRaxo::send_to_command_socket(const std::vector<uint8_t> &datagram)
{
    std::string ip;
    int port;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ip = host_cmd_ip_;
        port = host_cmd_port_ != 0 ? host_cmd_port_ : cmd_.port();
    }
    return cmd_.send_to(ip.empty() ? data_.host_ip() : ip, port, datagram);
}

void FakeRaxo::serve_file(const std::string &name, const std::vector<uint8_t> &content)
{
    serve_file_with_crc(name, content, crc32_reflected(0, content.data(), content.size()));
}

void FakeRaxo::serve_file_with_crc(const std::string &name, const std::vector<uint8_t> &content,
                                   uint32_t crc)
{
    std::lock_guard<std::mutex> lock(mutex_);
    served_[name] = Served{content, crc};
}

void FakeRaxo::set_download_chunk_size(size_t n)
{
    std::lock_guard<std::mutex> lock(mutex_);
    download_chunk_ = n;
}

std::vector<uint16_t> FakeRaxo::download_next_requests()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return next_requests_;
}

int FakeRaxo::download_finish_messages()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return finish_messages_;
}

void FakeRaxo::on_command(FakePeer &peer, const Datagram &d)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        host_cmd_ip_ = d.from_ip;
        host_cmd_port_ = d.from_port;
    }
    SumFrameData frame;
    if (lh_parse_sum_frame(d.bytes.data(), d.bytes.size(), &frame) != PROTOCOL_RET_OK)
        return;
    if (frame.type == 3) {
        on_transfer(peer, d, frame.data);
        return;
    }
    const std::vector<uint8_t> reply = commands_.take(d.bytes, uint16_t(frame.type));
    if (!reply.empty())
        peer.reply(d, reply);
}

void FakeRaxo::on_transfer(FakePeer &peer, const Datagram &d, const std::vector<uint8_t> &p)
{
    std::vector<uint8_t> answer;
    switch (upload_.take(p, rd_u16(&d.bytes[4]), d.from_port, &answer)) {
    case FakeUploadTarget::Result::NoReply:
        return;
    case FakeUploadTarget::Result::Reply:
        break;
    case FakeUploadTarget::Result::NotAnUploadOp:
        if (!on_download(rd_u16(p.data()), p, &answer))
            return;
        break;
    }
    if (!upload_.silent())
        peer.reply(d, lh_make_sum_frame(0, 0, 0x8003, answer.data(), answer.size()));
}

bool FakeRaxo::on_download(uint16_t op, const std::vector<uint8_t> &p, std::vector<uint8_t> *out)
{
    std::vector<uint8_t> &answer = *out;
    std::lock_guard<std::mutex> lock(mutex_);
    switch (op) {
    case 0: { // download request
        std::string name;
        if (p.size() >= 4) {
            const size_t l = std::min<size_t>(rd_u16(&p[2]), p.size() - 4);
            name.assign(reinterpret_cast<const char *>(&p[4]), l);
        }
        auto f = served_.find(name);
        if (f == served_.end()) {
            answer = {1, 0, 0, 0, 0, 0};
            return true;
        }
        downloading_ = name;
        char text[256];
        const int tl = std::snprintf(text, sizeof(text), "%s %u %08X", name.c_str(),
                                     unsigned(f->second.content.size()), f->second.crc);
        answer.assign(6, 0);
        answer.insert(answer.end(), text, text + tl);
        answer.push_back(0);
        return true;
    }
    case 4: { // next
        if (p.size() < 4)
            return false;
        const uint16_t count = rd_u16(&p[2]);
        next_requests_.push_back(count);
        auto f = served_.find(downloading_);
        if (f == served_.end())
            return false;
        const std::vector<uint8_t> &c = f->second.content;
        const size_t at = std::min(c.size(), size_t(count) * download_chunk_);
        const size_t n = std::min(download_chunk_, c.size() - at);
        answer.assign(8, 0);
        wr_u16(&answer[6], uint16_t(n));
        answer.insert(answer.end(), c.begin() + long(at), c.begin() + long(at + n));
        return true;
    }
    case 5: // finish
        ++finish_messages_;
        answer.assign(6, 0);
        return true;
    default:
        return false;
    }
}
