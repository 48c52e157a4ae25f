#include "fakevimo.h"

#include "fakeiapdevice.h"
#include "lhframe.h"

#include <cstring>

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
        peer.reply(d, reply(kParamReply, seq, param_record("VIMO0001", "LDS-Vimo-E")));
        return;
    }
    if (cmd != IAP_CMD) {
        const std::string ok = "OK";
        peer.reply(d, reply(kTextReply, seq, std::vector<uint8_t>(ok.begin(), ok.end())));
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
