#pragma once
// A fake algorithm box for the zone-image exchange: it keeps a zone store of 0x34000 bytes and
// answers the read (0x5A47) and write (0x5A53) requests the way the box does, with replies in
// LhCrcFrames whose command is the complement of the request's and whose sequence is the
// request's. Faults can be switched on to exercise the program's error paths.

#include "fakepeer.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class FakeAlgorithmBox {
public:
    static constexpr uint32_t STORE_SIZE = 0x34000;

    struct Faults {
        uint32_t version = 0x101;      // version carried by every read reply
        uint32_t size_answer = 0x34000; // image size announced by the size answer
        bool bad_transfer_check = false; // the size answer announces a wrong transfer check
        int bad_crc_piece = -1;        // read: this piece's reply carries a broken frame CRC (once)
        int short_piece = -1;          // read: this piece's length field says 256
        int truncated_piece = -1;      // read: this piece's reply is cut after 100 payload bytes (once)
        int out_of_range_piece = -1;   // read: this piece's reply carries offset 0x34000
        bool bad_crc_write_reply = false; // write: the first piece echo carries a broken frame CRC
        uint32_t write_status = 0;     // status of every write reply
        bool duplicate_echoes = false; // write: every echo is sent twice
        bool stale_echoes = false;     // write: each piece echo is followed by the previous one's
        bool early_last_echo = false;  // write: the erase echo is followed by the last piece's echo
        bool silent = false;           // answer nothing at all
    };

    explicit FakeAlgorithmBox(const std::string &ip = "127.0.0.2", int port = 0);

    bool ok() const { return peer_.ok(); }
    int port() const { return peer_.port(); }
    const std::string &ip() const { return peer_.ip(); }
    FakePeer &peer() { return peer_; }

    void start() { peer_.start(); }
    void stop() { peer_.stop(); }

    void set_faults(const Faults &f);
    void set_zone_store(const std::vector<uint8_t> &image);
    std::vector<uint8_t> zone_store();

    // What the writes did.
    int erase_count();
    int reload_count();
    // Reloads that found every piece written since the last erase and the store matching the
    // transfer check the erase announced.
    int good_reload_count();
    uint32_t erase_size();
    uint32_t erase_check();
    // Offset fields of the write requests in the order they arrived.
    std::vector<uint32_t> write_offsets();
    // Read requests (offset field) in the order they arrived.
    std::vector<uint32_t> read_offsets();

private:
    void handle(FakePeer &peer, const Datagram &d);
    std::vector<uint8_t> frame(uint16_t cmd, uint16_t seq, const std::vector<uint8_t> &payload);

    FakePeer peer_;
    std::mutex mutex_;
    Faults faults_;
    std::vector<uint8_t> store_;
    std::vector<uint8_t> written_; // one flag per piece since the last erase
    int erase_count_ = 0;
    int reload_count_ = 0;
    int good_reload_count_ = 0;
    uint32_t erase_size_ = 0;
    uint32_t erase_check_ = 0;
    bool bad_crc_piece_done_ = false;
    bool truncated_done_ = false;
    bool bad_crc_write_done_ = false;
    uint32_t last_piece_echo_ = 0xFFFFFFFF;
    std::vector<uint32_t> write_offsets_;
    std::vector<uint32_t> read_offsets_;
};
