#pragma once
// A fake Fenk-U sensor on loopback (127.0.0.2 by default). One socket on its device port sends
// "LP" sub-packages to the host's data port, answers command frames (LhSumFrame, reply type
// with bit 15 set), records the time-sync frames (type 10) and plays the device side of an
// upload (frame type 9): it takes the file chunk by chunk and answers from where each message
// came. Everything it receives is recorded.

#include "devicepackets.h"
#include "fakecommandlog.h"
#include "fakepeer.h"
#include "fakeupload.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The sub-packages, frame headers and plane contents are built by devicepackets.h
// (make_lp_subpackage, make_lp_header, lp_xyz_content, lp_u16_content, make_lp_plane); these
// are the same builders in the shape the receiver tests use most: width and height first, the
// frame index last.

// A 44-byte frame header: data type at 2, frame index at 12, width at 16, height at 18, the
// CRC of the frame's data at 24.
inline std::vector<uint8_t> fenku_frame_header(int16_t type, uint16_t width, uint16_t height,
                                               uint32_t frame_crc, uint32_t index = 0)
{
    return make_lp_header(type, index, width, height, frame_crc);
}
// A whole frame as the sensor sends it: the header sub-package (offset 0, with the CRC of
// `data`), then the data in sub-packages of at most `chunk` bytes from offset 44 on; every
// one carries total = 44 + data size.
inline std::vector<std::vector<uint8_t>> fenku_frame(int16_t type, uint16_t width, uint16_t height,
                                                     const std::vector<uint8_t> &data,
                                                     size_t chunk = 1200, uint32_t index = 0)
{
    return make_lp_plane(type, index, width, height, data, chunk);
}

// One measurement as the sensor sends it: a width x height grid of points (type 1, x, y, z in
// millimetres) followed by its four u16 planes (types 2 to 5), all with frame index `index`.
// A receiver that has not learnt the data-type mask posts a frame at the end of each of them.
std::vector<std::vector<uint8_t>> fenku_measurement(uint16_t width, uint16_t height, uint32_t index = 0);

struct FenkTimeSync {
    std::vector<uint8_t> frame; // the whole datagram
    uint16_t reserved = 0;
    uint16_t seq = 0;
    uint32_t sec = 0;
    uint32_t usec = 0;
    std::chrono::steady_clock::time_point arrived;
};

class FakeFenkU {
public:
    using Upload = FakeUpload;

    explicit FakeFenkU(const std::string &ip = "127.0.0.2");
    ~FakeFenkU();

    bool ok() const { return peer_.ok(); }
    const std::string &ip() const { return peer_.ip(); }
    int port() const { return peer_.port(); }

    // Where sub-packages go: the host's address and data port.
    void set_host(const std::string &ip, int data_port);
    int send_data(const std::vector<uint8_t> &datagram);
    void send_all(const std::vector<std::vector<uint8_t>> &datagrams);
    // Sends the datagrams over and over, one every interval_ms, until stop_stream().
    void start_stream(std::vector<std::vector<uint8_t>> datagrams, int interval_ms);
    void stop_stream();

    // Command frames (every LhSumFrame but a transfer or time-sync frame). The default handler
    // replies with type | 0x8000 and four zero bytes; return an empty vector for no reply.
    using CommandHandler = FakeCommandLog::Handler;
    void set_command_handler(CommandHandler h) { commands_.set_handler(std::move(h)); }
    std::vector<std::vector<uint8_t>> commands() { return commands_.commands(); }
    bool wait_commands(size_t count, int timeout_ms) { return commands_.wait(count, timeout_ms); }

    // Every datagram received, of any content.
    bool wait_raw(size_t count, int timeout_ms) { return peer_.wait_for(count, timeout_ms); }

    std::vector<FenkTimeSync> time_syncs();
    bool wait_time_syncs(size_t count, int timeout_ms);
    void clear_time_syncs();

    // Upload behaviour.
    void set_silent(bool silent) { upload_.set_silent(silent); } // no transfer replies at all
    void reject_chunk(uint16_t index, uint16_t status = 0x33) { upload_.reject_chunk(index, status); }
    void set_end_status(uint16_t status) { upload_.set_end_status(status); } // op 3's reply
    Upload upload() { return upload_.upload(); }
    bool wait_upload_end(int timeout_ms) { return upload_.wait_end(timeout_ms); }
    int transfer_messages() { return upload_.messages(); }

private:
    void on_datagram(FakePeer &peer, const Datagram &d);

    FakePeer peer_;
    FakeCommandLog commands_;
    FakeUploadTarget upload_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<FenkTimeSync> syncs_;

    std::thread stream_;
    std::atomic<bool> streaming_{false};
};
