#pragma once
// A fake algorithm box's command channel on port 6666 (127.0.0.2 by default): takes the
// configurator's text commands (LhCrcFrame, command 117) and answers each with a 0xFF8A text
// reply to its sender, the way a healthy box does, from a small state of its own (network,
// MAC, serial number, version, served sensors). Tests can replace the answer to any command,
// keep the box silent, and send datagrams of their own to the program's port.

#include "fakepeer.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct BoxCommand {
    uint16_t cmd = 0;
    uint16_t seq = 0;
    uint16_t length = 0;  // the frame's length field
    bool crc_ok = false;  // the crc32_words trailer, and the datagram is length + 12 bytes
    std::string text;     // the payload up to its first zero byte
    std::string from_ip;
    int from_port = 0;
    int64_t at_us = 0;    // arrival: the kernel's receive time stamp, microseconds since 1970
};

// False unless the datagram is an "LH" frame holding its 8-byte header.
bool parse_box_command(const std::vector<uint8_t> &bytes, BoxCommand *out);

class FakeBoxCommand {
public:
    static constexpr int kPort = 6666;
    static constexpr uint16_t kCommand = 117;
    static constexpr uint16_t kReply = 0xFF8A;

    struct State {
        std::string ip = "127.0.0.2";
        std::string mask = "255.255.255.0";
        std::string gateway = "127.0.0.1";
        std::string mac = "00:1A:2B:3C:4D:5E";
        std::string sn = "QVBOX0001";
        std::string version = "V2.1.7";
        std::vector<std::string> served; // "ip port io", as the box reports them
    };

    // The answers to one command text: nullopt leaves it to the healthy box, an empty list
    // keeps the box silent for it.
    using Override = std::function<std::optional<std::vector<std::string>>(const std::string &text)>;

    explicit FakeBoxCommand(const std::string &ip = "127.0.0.2", int port = kPort);
    ~FakeBoxCommand();

    bool ok() const { return peer_.ok(); }
    const std::string &ip() const { return peer_.ip(); }
    int port() const { return peer_.port(); }
    FakePeer &peer() { return peer_; }

    State state();
    void set_state(const State &s);
    void set_override(Override o);
    void set_silent(bool on);

    // Commands received (parseable frames only), in order of arrival.
    std::vector<BoxCommand> commands();
    std::vector<std::string> command_texts();
    bool wait_for(size_t count, int timeout_ms);
    // Waits until a command with exactly this text has arrived.
    bool wait_for_text(const std::string &text, int timeout_ms);
    void clear();

    // A text reply as the box sends it: command 0xFF8A, the sequence, the text's own length in
    // the length field, the text zero-padded to whole words, and the word CRC.
    static std::vector<uint8_t> reply(const std::string &text, uint16_t seq = 0);

    // Sends to the program's command port (127.0.0.1:6666 unless set otherwise).
    void set_host(const std::string &ip, int port);
    int send_to_host(const std::vector<uint8_t> &datagram);

private:
    void on_datagram(FakePeer &peer, const Datagram &d);
    std::vector<std::string> answer(const std::string &text);

    FakePeer peer_;
    std::mutex mutex_;
    std::condition_variable cv_;
    State state_;
    Override override_;
    bool silent_ = false;
    std::vector<BoxCommand> commands_;
};
