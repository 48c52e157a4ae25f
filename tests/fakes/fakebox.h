#pragma once
// A fake algorithm box on loopback: sends "LHAB" point and object datagrams, command replies and
// "LMSG" zone-monitor datagrams from its data port (6002 by default), answers text commands and
// records every datagram it receives (the receiver's "hello", commands, zone requests).

#include "devicepackets.h"
#include "fakepeer.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class FakeBox {
public:
    static constexpr int kPort = 6002;
    static constexpr uint16_t kTextReply = 0xFFBC;

    explicit FakeBox(int port = kPort, const std::string &ip = "127.0.0.2");
    ~FakeBox();

    bool ok() const { return peer_.ok(); }
    int port() const { return peer_.port(); }
    const std::string &ip() const { return peer_.ip(); }
    FakePeer &peer() { return peer_; }

    // Where the box sends (the host's address and data port).
    void set_host(const std::string &ip, int port);
    int send(const std::vector<uint8_t> &datagram);

    // Answer text commands (anything "LH" other than zone requests) with 0xFFBC "OK".
    void set_answer_commands(bool on);

    static std::vector<uint8_t> reply(uint16_t cmd, uint16_t sequence, const std::string &text);
    // "LMSG" followed by `size - 4` bytes of `fill`.
    static std::vector<uint8_t> lmsg(size_t size, uint8_t fill = 0);

private:
    FakePeer peer_;
    std::mutex mutex_;
    bool answer_ = false;
};
