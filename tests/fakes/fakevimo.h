#pragma once
// A fake Vimo-E sensor on loopback: sends packed-point packets (make_vimo_e_packet) and "LH"
// replies from its command port, answers the parameter query, text commands and the firmware
// exchange, and records every datagram it receives. A text command is answered, as the device
// does, with the bitwise complement of its command word (C_PACK 0xFFBC, S_PACK 0xFFAC).

#include "devicepackets.h"
#include "fakepeer.h"
#include "lhframe.h"
#include "vimoprotocol.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A whole frame as the sensor sends it: 180 point packets of 128 points, numbered 0 to 179,
// every point inside the sensor's range and every one different.
std::vector<std::vector<uint8_t>> vimo_e_frame();

class FakeVimo;

// vimo_e_frame() 20 times a second from a thread of its own, through `vimo` to the host it was
// last given, while sending is on (it starts off): a Vimo-E session with frames flowing.
class VimoFrameStream {
public:
    explicit VimoFrameStream(FakeVimo &vimo);
    ~VimoFrameStream();
    void set_sending(bool on) { sending_ = on; }

private:
    std::atomic<bool> running_{true};
    std::atomic<bool> sending_{false};
    std::thread thread_;
};

class FakeVimo {
public:
    // How the fake answers firmware messages.
    enum class Firmware { Answer, Silent, RejectChunks };

    static constexpr uint16_t kParamQuery = QUERY_PACK;
    static constexpr uint16_t kParamReply = LH_PARAM_REPLY;
    static constexpr uint16_t kTextReply = LH_TEXT_REPLY; // the answer to S_PACK
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

    // The text a text command is answered with (the command's text, without its padding, and
    // its command word); return an empty string for no answer. By default "OK".
    using TextHandler = std::function<std::string(const std::string &command, uint16_t pack)>;
    void set_text_handler(TextHandler h);
    // The payload of the parameter reply; by default param_record("VIMO0001", "LDS-Vimo-E").
    void set_param_record(std::vector<uint8_t> record);
    // Image payload assembled from the chunks received, and the opcodes/offsets in order.
    std::vector<uint8_t> firmware_image();
    std::vector<uint32_t> firmware_log();

    // Wire builders.
    // 152-byte parameter record: serial number at 8, model at 28.
    static std::vector<uint8_t> param_record(const std::string &sn, const std::string &model);
    // The same with the addresses: IP, mask, gateway and upload IP at 48, 52, 56, 60 (first
    // octet first), u16 upload port at 64, u16 lidar port at 66, fixed-upload byte at 77, PTP
    // byte at 143.
    struct Params {
        std::string sn = "VIMO0001";
        std::string model = "LDS-Vimo-E";
        uint8_t ip[4] = {192, 168, 1, 200};
        uint8_t mask[4] = {255, 255, 255, 0};
        uint8_t gateway[4] = {192, 168, 1, 1};
        uint8_t dst_ip[4] = {192, 168, 1, 100};
        uint16_t dst_port = 2368;
        uint16_t port = 2369;
        uint8_t upload_fix = 0;
        uint8_t ptp = 0;
    };
    static std::vector<uint8_t> param_record(const Params &p);
    static std::vector<uint8_t> reply(uint16_t cmd, uint16_t sequence,
                                      const std::vector<uint8_t> &payload);

private:
    void on_datagram(FakePeer &peer, const Datagram &d);

    FakePeer peer_;
    std::mutex mutex_;
    Firmware mode_ = Firmware::Answer;
    TextHandler text_handler_;
    std::vector<uint8_t> param_record_ = param_record("VIMO0001", "LDS-Vimo-E");
    std::map<uint32_t, std::vector<uint8_t>> chunks_;
    std::vector<uint32_t> log_;
};
