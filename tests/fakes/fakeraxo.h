#pragma once
// A fake Raxo sensor on loopback (127.0.0.2 by default): sends point, IMU and "AM" packets from
// its data socket to the host's data port, answers command frames on its listen port, and plays
// the device side of the file transfer (frame type 3): it takes uploads chunk by chunk and
// serves files for download. Everything it receives is recorded.

#include "devicepackets.h"
#include "fakecommandlog.h"
#include "fakepeer.h"
#include "fakeupload.h"

#include <cstdint>
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
    using Upload = FakeUpload;

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
    using CommandHandler = FakeCommandLog::Handler;
    void set_command_handler(CommandHandler h) { commands_.set_handler(std::move(h)); }
    std::vector<std::vector<uint8_t>> commands() { return commands_.commands(); }
    bool wait_commands(size_t count, int timeout_ms) { return commands_.wait(count, timeout_ms); }

    // Transfer behaviour.
    void set_silent(bool silent) { upload_.set_silent(silent); } // no transfer replies at all
    void drop_chunk_replies(uint16_t index, int times) { upload_.drop_chunk_replies(index, times); }
    void reject_chunk(uint16_t index, uint16_t status = 0x33) { upload_.reject_chunk(index, status); }
    void serve_file(const std::string &name, const std::vector<uint8_t> &content);
    void serve_file_with_crc(const std::string &name, const std::vector<uint8_t> &content, uint32_t crc);
    void set_download_chunk_size(size_t n);

    Upload upload() { return upload_.upload(); }
    bool wait_upload_end(int timeout_ms) { return upload_.wait_end(timeout_ms); }
    std::vector<uint16_t> download_next_requests(); // the counts carried by op 4 messages
    int download_finish_messages();

private:
    void on_command(FakePeer &peer, const Datagram &d);
    void on_transfer(FakePeer &peer, const Datagram &d, const std::vector<uint8_t> &payload);
    // The download ops (0 request, 4 next, 5 finish); false for no reply.
    bool on_download(uint16_t op, const std::vector<uint8_t> &payload, std::vector<uint8_t> *answer);

    FakePeer data_;
    FakePeer cmd_;
    FakeCommandLog commands_;
    FakeUploadTarget upload_;

    std::mutex mutex_;
    std::string host_cmd_ip_;
    int host_cmd_port_ = 0;
    struct Served {
        std::vector<uint8_t> content;
        uint32_t crc = 0;
    };
    std::map<std::string, Served> served_;
    std::string downloading_;
    size_t download_chunk_ = 512;
    std::vector<uint16_t> next_requests_;
    int finish_messages_ = 0;
};
