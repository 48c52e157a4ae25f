#pragma once
// A fake sensor or box announcing itself: builds heartbeat records as the devices do (CRC
// included) and sends them to the heartbeat group from a loopback address.
//
// Sending to the group is refused unless this process sits in a network namespace with
// loopback only (scripts/test.sh sets one up), and the datagrams carry TTL 0, so a heartbeat
// sent by a test never leaves the machine.

#include "heartbeat.h"

#include <cstdint>
#include <string>
#include <vector>

struct FakeSensorInfo {
    std::string sn = "SN0123456789";
    std::string model = "LDS-Raxo-E";
    uint32_t version = (2u << 26) | (5u << 20) | 1234u;
    uint32_t id = 42;
    uint32_t seconds = 1700000000;
    uint32_t nanoseconds = 500000000;
    uint8_t ip[4] = {127, 0, 0, 2};
    uint8_t mask[4] = {255, 255, 255, 0};
    uint8_t gateway[4] = {127, 0, 0, 1};
    uint16_t listen_port = 6001;
    uint8_t upload_ip[4] = {127, 0, 0, 1};
    uint16_t upload_port = 6002;
    uint16_t rpm1 = 600;
    uint16_t rpm2 = 123;
    uint16_t motor_temp = 415;
};

struct FakeBoxInfo {
    std::string box_ip = "127.0.0.2";
    std::string box_mask = "255.255.255.0";
    std::string box_gateway = "127.0.0.1";
    std::string lidar_ip = "127.0.0.3";
    uint16_t lidar_port = 6001;
    uint8_t status = 2;
    uint16_t flags = 0x0A5;
};

// Complete records, checksums filled in.
std::vector<uint8_t> make_heartbeat104(const FakeSensorInfo &info = {});
std::vector<uint8_t> make_heartbeat112(const FakeSensorInfo &info = {});
std::vector<uint8_t> make_box_heartbeat(const FakeBoxInfo &info = {});

// True when the only network interface of this process is loopback.
bool network_is_isolated();

class FakeHeartbeatSender {
public:
    explicit FakeHeartbeatSender(const std::string &source_ip = "127.0.0.2");
    ~FakeHeartbeatSender();
    FakeHeartbeatSender(const FakeHeartbeatSender &) = delete;
    FakeHeartbeatSender &operator=(const FakeHeartbeatSender &) = delete;

    // False when the socket could not be set up or the network is not isolated.
    bool ok() const { return sock_ >= 0; }

    // One datagram to 225.225.225.225:port; bytes sent or -1.
    int send(const std::vector<uint8_t> &bytes, int port = HEARTBEAT_PORT);

private:
    int sock_ = -1;
};
