#pragma once
// A fake device taking firmware over the IAP exchange (a Vimo-E sensor's command port or an
// algorithm box's firmware port 6665): records every message it receives and answers through
// a policy. By default it accepts everything the way a healthy device does; tests swap the
// policy for silent, refusing or misbehaving devices.

#include "fakepeer.h"
#include "firmware.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One received upgrade message, taken apart.
struct IapMessage {
    uint16_t cmd = 0;
    uint16_t seq = 0;
    uint16_t length = 0;     // the frame's length field
    bool crc_ok = false;     // the frame's crc32_words trailer
    uint32_t word0 = 0;      // opcode or chunk offset
    uint32_t word1 = 0;      // 0, or the chunk's CRC
    uint32_t word2 = 0;      // size / end mark (control messages)
    uint32_t word3 = 0;      // CRC / 0
    std::vector<uint8_t> payload; // the whole payload
    std::string from_ip;
    int from_port = 0;
};

// False unless the datagram is an "LH" frame holding its header and at least 16 payload bytes.
bool parse_iap_message(const std::vector<uint8_t> &bytes, IapMessage *out);

// Reply datagram as the devices send it: LhCrcFrame of command 70 carrying word, status and
// a zero-terminated text.
std::vector<uint8_t> make_iap_reply(uint16_t seq, uint32_t word, uint32_t status,
                                    const std::string &text = "ok");

class FakeIapDevice {
public:
    // Datagrams to answer a message with (sent back to its sender); empty = stay silent.
    using Policy = std::function<std::vector<std::vector<uint8_t>>(const IapMessage &)>;

    explicit FakeIapDevice(const std::string &ip = "127.0.0.2", int port = IAP_BOX_PORT);

    bool ok() const { return peer_.ok(); }
    int port() const { return peer_.port(); }
    const std::string &ip() const { return peer_.ip(); }
    FakePeer &peer() { return peer_; }

    // Healthy device: answers every message but the end with its word and status 0.
    static Policy accept_all();
    static Policy silent();

    void set_policy(Policy p);
    void start();
    void stop();

    // Messages received so far (unparseable datagrams are left out).
    std::vector<IapMessage> messages();
    // Waits until `count` datagrams have arrived, or the time-out ends.
    bool wait_for(size_t count, int timeout_ms) { return peer_.wait_for(count, timeout_ms); }

private:
    FakePeer peer_;
};
