#pragma once
// A fake Vimo-E sensor on loopback: sends packed-point packets (make_vimo_e_packet) and "LH"
// replies from its command port, answers the parameter query, text commands and the firmware
// exchange, and records every datagram it receives.

#include "devicepackets.h"
#include "fakepeer.h"
#include "lhframe.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class FakeVimo {
public:
    // How the fake answers firmware messages.
    enum class Firmware { Answer, Silent, RejectChunks };

    static constexpr uint16_t kParamQuery = 0x4753;
    static constexpr uint16_t kParamReply = 0xB8AC;
    static constexpr uint16_t kTextReply = LH_TEXT_REPLY;
    static constexpr size_t kParamRecordSize = 152;

    // Binds ip:port (port 0 picks one); `reuse` sets SO_REUSEADDR.
    explicit FakeVimo(int port = 0, const std::string &ip = "127.0.0.2", bool reuse = false);
    ~FakeVimo();

    bool ok() const { return peer_.ok(); }
    int port() const { return peer_.port(); }
    const std::string &ip() const { return peer_.ip(); }
    FakePeer &peer() { return peer_; }

    // Where point packets and unsolicited replies go (the host's address and data port).
    void set_host(const std::string &ip, int port);
    int send(const std::vector<uint8_t> &datagram);

    void set_firmware_mode(Firmware mode);
    // Image payload assembled from the chunks received, and the opcodes/offsets in order.
    std::vector<uint8_t> firmware_image();
    std::vector<uint32_t> firmware_log();

    // Wire builders.
    // 152-byte parameter record: serial number at 8, model at 28.
    static std::vector<uint8_t> param_record(const std::string &sn, const std::string &model);
    static std::vector<uint8_t> reply(uint16_t cmd, uint16_t sequence,
                                      const std::vector<uint8_t> &payload);

private:
    void on_datagram(FakePeer &peer, const Datagram &d);

    FakePeer peer_;
    std::mutex mutex_;
    Firmware mode_ = Firmware::Answer;
    std::map<uint32_t, std::vector<uint8_t>> chunks_;
    std::vector<uint32_t> log_;
};
