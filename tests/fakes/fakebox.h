#pragma once
// A fake algorithm box on loopback: sends "LHAB" point and object datagrams (make_lhab), command
// replies and "LMSG" zone-monitor datagrams from its data port (6002 by default), and records
// every datagram it receives (the receiver's "hello", commands, zone requests). It answers what
// it is told to answer:
// - text commands (anything "LH" other than zone requests) with "OK" in a frame whose command is
//   the complement of the request's (S_PACK 0x0053 gets 0xFFAC, C_PACK 0x0043 0xFFBC);
// - the zone-image exchange from a zone store of 0x34000 bytes: read (0x5A47) and write
//   (0x5A53) requests answered the way the box does, in LhCrcFrames whose command is the
//   complement of the request's and whose sequence is the request's, with faults that can be
//   switched on to exercise the program's error paths.

#include "devicepackets.h"
#include "fakepeer.h"
#include "lhframe.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class FakeBox {
public:
    static constexpr int kPort = 6002;
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
        bool silent = false;           // answer no zone request at all
    };

    // Binds ip:port (port 0 picks one) and starts answering.
    explicit FakeBox(int port = kPort, const std::string &ip = "127.0.0.2");
    ~FakeBox();

    bool ok() const { return peer_.ok(); }
    int port() const { return peer_.port(); }
    const std::string &ip() const { return peer_.ip(); }
    FakePeer &peer() { return peer_; }
    void start() { peer_.start(); }
    void stop() { peer_.stop(); }

    // Where the box sends (the host's address and data port).
    void set_host(const std::string &ip, int port);
    int send(const std::vector<uint8_t> &datagram);

    // Answer text commands (anything "LH" other than zone requests) with "OK", in a frame of the
    // complement of the request's command and with its sequence.
    void set_answer_commands(bool on);
    // Answer the zone-image exchange from the zone store.
    void set_answer_zones(bool on);

    static std::vector<uint8_t> reply(uint16_t cmd, uint16_t sequence, const std::string &text);
    // "LMSG" followed by `size - 4` bytes of `fill`.
    static std::vector<uint8_t> lmsg(size_t size, uint8_t fill = 0);

    // The zone store and what the exchange did with it.
    void set_faults(const Faults &f);
    void set_zone_store(const std::vector<uint8_t> &image);
    std::vector<uint8_t> zone_store();
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
    void on_datagram(FakePeer &peer, const Datagram &d);
    void on_zone_request(FakePeer &peer, const Datagram &d);

    FakePeer peer_;
    std::mutex mutex_;
    bool answer_ = false;
    bool answer_zones_ = false;

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
