#include "fakevimo.h"

#include "fakeiapdevice.h"
#include "lhframe.h"

#include <algorithm>
#include <chrono>
#include <cstring>

std::vector<std::vector<uint8_t>> vimo_e_frame()
{
    std::vector<std::vector<uint8_t>> out;
    for (int k = 0; k < 180; ++k) {
        std::vector<VimoPoint> pts(128);
        for (int j = 0; j < 128; ++j) {
            pts[size_t(j)].range_mm = uint32_t(1000 + k * 128 + j);
            pts[size_t(j)].elevation = 90000;
            pts[size_t(j)].azimuth = uint32_t((k * 128 + j) * 15 % 360000);
            pts[size_t(j)].intensity = uint8_t(j);
        }
        out.push_back(make_vimo_e_packet(0, pts, 0, 0, 0, uint16_t(k)));
    }
    return out;
}

VimoFrameStream::VimoFrameStream(FakeVimo &vimo)
{
    thread_ = std::thread([this, &vimo] {
        const std::vector<std::vector<uint8_t>> frame = vimo_e_frame();
        auto next = std::chrono::steady_clock::now();
        while (running_) {
            if (sending_)
                for (const auto &packet : frame)
                    vimo.send(packet);
            next += std::chrono::milliseconds(50);
            std::this_thread::sleep_until(next);
        }
    });
}

VimoFrameStream::~VimoFrameStream()
{
    running_ = false;
    thread_.join();
}

FakeVimo::FakeVimo(int port, const std::string &ip, bool reuse) : peer_(ip, port, reuse)
{
    peer_.set_handler([this](FakePeer &p, const Datagram &d) { on_datagram(p, d); });
    if (peer_.ok())
        peer_.start();
}

FakeVimo::~FakeVimo()
{
    peer_.stop();
}

void FakeVimo::set_host(const std::string &ip, int port)
{
    peer_.set_host(ip, port);
}

int FakeVimo::send(const std::vector<uint8_t> &datagram)
{
    return peer_.send_to_host(datagram);
}

void FakeVimo::set_firmware_mode(Firmware mode)
{
    std::lock_guard<std::mutex> lock(mutex_);
    mode_ = mode;
}

std::vector<uint8_t> FakeVimo::firmware_image()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<uint8_t> image;
    for (const auto &c : chunks_) {
        if (c.first != image.size())
            return {}; // a hole: not a whole image
        image.insert(image.end(), c.second.begin(), c.second.end());
    }
    return image;
}

std::vector<uint32_t> FakeVimo::firmware_log()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

std::vector<uint8_t> FakeVimo::param_record(const std::string &sn, const std::string &model)
{
    std::vector<uint8_t> r(kParamRecordSize, 0);
    std::memcpy(&r[8], sn.data(), std::min<size_t>(sn.size(), 20));
    std::memcpy(&r[28], model.data(), std::min<size_t>(model.size(), 16));
    return r;
}

std::vector<uint8_t> FakeVimo::param_record(const Params &p)
{
    std::vector<uint8_t> r = param_record(p.sn, p.model);
    std::memcpy(&r[48], p.ip, 4);
    std::memcpy(&r[52], p.mask, 4);
    std::memcpy(&r[56], p.gateway, 4);
    std::memcpy(&r[60], p.dst_ip, 4);
    wr_u16(&r[64], p.dst_port);
    wr_u16(&r[66], p.port);
    r[77] = p.upload_fix;
    r[143] = p.ptp;
    return r;
}

void FakeVimo::set_text_handler(TextHandler h)
{
    std::lock_guard<std::mutex> lock(mutex_);
    text_handler_ = std::move(h);
}

void FakeVimo::set_param_record(std::vector<uint8_t> record)
{
    std::lock_guard<std::mutex> lock(mutex_);
    param_record_ = std::move(record);
}

std::vector<uint8_t> FakeVimo::reply(uint16_t cmd, uint16_t sequence,
                                     const std::vector<uint8_t> &payload)
{
    return lh_make_crc_frame(cmd, sequence, payload.data(), payload.size());
}

void FakeVimo::on_datagram(FakePeer &peer, const Datagram &d)
{
    const std::vector<uint8_t> &b = d.bytes;
    if (b.size() < 8 || b[0] != 'L' || b[1] != 'H')
        return;
    const uint16_t cmd = rd_u16(&b[2]);
    const uint16_t seq = rd_u16(&b[4]);
    if (cmd == kParamQuery) {
        std::vector<uint8_t> record;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            record = param_record_;
        }
        peer.reply(d, reply(kParamReply, seq, record));
        return;
    }
    if (cmd != IAP_CMD) {
        // The command's text: its length field, at most what arrived, up to its padding.
        const size_t len = std::min<size_t>(rd_u16(&b[6]), b.size() - 8);
        std::string command(reinterpret_cast<const char *>(&b[8]), len);
        command = command.substr(0, command.find('\0'));
        TextHandler handler;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            handler = text_handler_;
        }
        const std::string answer = handler ? handler(command, cmd) : std::string("OK");
        if (!answer.empty())
            peer.reply(d, reply(uint16_t(~cmd), seq,
                                std::vector<uint8_t>(answer.begin(), answer.end())));
        return;
    }
    IapMessage m;
    if (!parse_iap_message(b, &m) || m.payload.size() < IAP_PAYLOAD_SIZE)
        return;
    const uint32_t op = m.word0;
    const bool control = op == OP_FLASH_ERASE || op == OP_WRITE_IAP || op == OP_UPGRADE_END;
    Firmware mode;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.push_back(op);
        mode = mode_;
        if (!control)
            chunks_[op].assign(m.payload.begin() + 8, m.payload.begin() + 8 + FW_CHUNK_SIZE);
    }
    if (mode == Firmware::Silent || op == OP_UPGRADE_END)
        return;
    const bool reject = mode == Firmware::RejectChunks && !control;
    peer.reply(d, make_iap_reply(seq, op, reject ? 3 : 0, reject ? "crc bad" : "ok"));
}
