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
    std::lock_guard<std::mutex> lock(mutex_);
    host_ip_ = ip;
    host_data_port_ = data_port;
}

int FakeRaxo::send_data(const std::vector<uint8_t> &datagram)
{
    std::string ip;
    int port;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ip = host_ip_;
        port = host_data_port_;
    }
    return data_.send_to(ip, port, datagram);
}

int FakeRaxo::send_to_command_socket(const std::vector<uint8_t> &datagram)
{
    std::string ip;
    int port;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ip = host_cmd_ip_.empty() ? host_ip_ : host_cmd_ip_;
        port = host_cmd_port_ != 0 ? host_cmd_port_ : cmd_.port();
    }
    return cmd_.send_to(ip, port, datagram);
}

void FakeRaxo::set_command_handler(CommandHandler h)
{
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(h);
}

std::vector<std::vector<uint8_t>> FakeRaxo::commands()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

bool FakeRaxo::wait_commands(size_t count, int timeout_ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                        [&] { return commands_.size() >= count; });
}

void FakeRaxo::set_silent(bool silent)
{
    std::lock_guard<std::mutex> lock(mutex_);
    silent_ = silent;
}

void FakeRaxo::drop_chunk_replies(uint16_t index, int times)
{
    std::lock_guard<std::mutex> lock(mutex_);
    drop_replies_[index] = times;
}

void FakeRaxo::reject_chunk(uint16_t index, uint16_t status)
{
    std::lock_guard<std::mutex> lock(mutex_);
    reject_[index] = status;
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

FakeRaxo::Upload FakeRaxo::upload()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return upload_;
}

bool FakeRaxo::wait_upload_end(int timeout_ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return upload_.ended; });
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

void FakeRaxo::on_transfer(FakePeer &peer, const Datagram &d, const std::vector<uint8_t> &p)
{
    if (p.size() < 2)
        return;
    const uint16_t op = rd_u16(p.data());
    std::vector<uint8_t> answer;
    bool silent = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        switch (op) {
        case 1: { // info
            upload_ = Upload();
            upload_.info_messages = 1;
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
            auto drop = drop_replies_.find(index);
            if (drop != drop_replies_.end() && drop->second > 0) {
                --drop->second;
                return;
            }
            answer = {0, 0};
            break;
        }
        case 3: // end
            upload_.ended = true;
            answer = {0, 0};
            break;
        case 0: { // download request
            std::string name;
            if (p.size() >= 4) {
                const size_t l = std::min<size_t>(rd_u16(&p[2]), p.size() - 4);
                name.assign(reinterpret_cast<const char *>(&p[4]), l);
            }
            auto f = served_.find(name);
            if (f == served_.end()) {
                answer = {1, 0, 0, 0, 0, 0};
                break;
            }
            downloading_ = name;
            char text[256];
            const int tl = std::snprintf(text, sizeof(text), "%s %u %08X", name.c_str(),
                                         unsigned(f->second.content.size()), f->second.crc);
            answer.assign(6, 0);
            answer.insert(answer.end(), text, text + tl);
            answer.push_back(0);
            break;
        }
        case 4: { // next
            if (p.size() < 4)
                return;
            const uint16_t count = rd_u16(&p[2]);
            next_requests_.push_back(count);
            auto f = served_.find(downloading_);
            if (f == served_.end())
                return;
            const std::vector<uint8_t> &c = f->second.content;
            const size_t at = std::min(c.size(), size_t(count) * download_chunk_);
            const size_t n = std::min(download_chunk_, c.size() - at);
            answer.assign(8, 0);
            wr_u16(&answer[6], uint16_t(n));
            answer.insert(answer.end(), c.begin() + long(at), c.begin() + long(at + n));
            break;
        }
        case 5: // finish
            ++finish_messages_;
            answer.assign(6, 0);
            break;
        default:
            return;
        }
        silent = silent_;
    }
    cv_.notify_all();
    if (silent)
        return;
    peer.reply(d, lh_make_sum_frame(0, 0, 0x8003, answer.data(), answer.size()));
}
