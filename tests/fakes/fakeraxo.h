#pragma once
// A fake Raxo sensor on loopback (127.0.0.2 by default): sends point, IMU and "AM" packets from
// its data socket to the host's data port, answers command frames on its listen port, and plays
// the device side of the file transfer (frame type 3): it takes uploads chunk by chunk and
// serves files for download. Everything it receives is recorded.

#include "devicepackets.h"
#include "fakepeer.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// Point packet (type 1 or 14) at a grid column and row (make_raxo_packet with those fields):
// the count fields A (u16 at 16) and B (byte 19) default to points.size() and 1; pass others
// to make a packet that claims more than it holds.
std::vector<uint8_t> raxo_point_packet(uint8_t type, uint16_t column, uint16_t row,
                                       const std::vector<RaxoPoint> &points,
                                       uint8_t frame_flag, int count_a = -1, int count_b = -1);
// IMU packet (type 4) of the given kind: floats from byte 22 (nine for kind 3, six for kind 2).
std::vector<uint8_t> raxo_imu_packet(uint8_t kind, int64_t time_us, const std::vector<float> &floats);
// Settled-attitude helper: kind 3, zero rates, acceleration (ax, ay, az).
std::vector<uint8_t> raxo_imu_level_packet(float ax, float ay, float az, int64_t time_us = 0);
// "AM" zone-monitor packet: selector at 12, the record from byte 20.
std::vector<uint8_t> raxo_zone_monitor_packet(uint16_t selector, const std::vector<uint8_t> &record);

class FakeRaxo {
public:
    // What the device side of an upload has seen.
    struct Upload {
        std::string info_text;      // the info message's text
        std::string name;
        uint32_t size = 0;
        uint32_t crc = 0;
        std::vector<uint8_t> data;  // chunks placed by index
        int info_messages = 0;
        int chunk_messages = 0;     // every chunk message, repeats included
        bool ended = false;         // op 3 arrived
    };

    explicit FakeRaxo(const std::string &ip = "127.0.0.2");
    ~FakeRaxo();

    bool ok() const { return data_.ok() && cmd_.ok(); }
    const std::string &ip() const { return data_.ip(); }
    int listen_port() const { return cmd_.port(); }
    int data_source_port() const { return data_.port(); }

    // Where point packets go: the host's address and data port.
    void set_host(const std::string &ip, int data_port);
    int send_data(const std::vector<uint8_t> &datagram);
    // Sends a datagram to the host's command socket (the port the last command came from).
    int send_to_command_socket(const std::vector<uint8_t> &datagram);

    // Command frames (every LhSumFrame not of the transfer type). The default handler replies
    // with type | 0x8000 and four zero bytes; return an empty vector for no reply.
    using CommandHandler = std::function<std::vector<uint8_t>(const std::vector<uint8_t> &request)>;
    void set_command_handler(CommandHandler h);
    std::vector<std::vector<uint8_t>> commands();
    bool wait_commands(size_t count, int timeout_ms);

    // Transfer behaviour.
    void set_silent(bool silent);                      // no transfer replies at all
    void drop_chunk_replies(uint16_t index, int times); // lose the first replies to a chunk
    void reject_chunk(uint16_t index, uint16_t status = 0x33); // never accept a chunk
    void serve_file(const std::string &name, const std::vector<uint8_t> &content);
    void serve_file_with_crc(const std::string &name, const std::vector<uint8_t> &content, uint32_t crc);
    void set_download_chunk_size(size_t n);

    Upload upload();
    bool wait_upload_end(int timeout_ms);
    std::vector<uint16_t> download_next_requests(); // the counts carried by op 4 messages
    int download_finish_messages();

private:
    void on_command(FakePeer &peer, const Datagram &d);
    void on_transfer(FakePeer &peer, const Datagram &d, const std::vector<uint8_t> &payload);

    FakePeer data_;
    FakePeer cmd_;
    std::string host_ip_ = "127.0.0.1";
    int host_data_port_ = 0;
    std::string host_cmd_ip_;
    int host_cmd_port_ = 0;

    std::mutex mutex_;
    std::condition_variable cv_;
    CommandHandler handler_;
    std::vector<std::vector<uint8_t>> commands_;
    bool silent_ = false;
    std::map<uint16_t, int> drop_replies_;
    std::map<uint16_t, uint16_t> reject_;
    struct Served {
        std::vector<uint8_t> content;
        uint32_t crc = 0;
    };
    std::map<std::string, Served> served_;
    std::string downloading_;
    size_t download_chunk_ = 512;
    std::vector<uint16_t> next_requests_;
    int finish_messages_ = 0;
    Upload upload_;
};
