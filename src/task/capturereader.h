#pragma once
// Reads the packets of a pcap or pcapng capture (libpcap tells the two apart by their content)
// and keeps the UDP payload of every packet that holds an IPv4 layer.
//
// Whether a packet holds IPv4 is decided by the link type: Ethernet type 0x0800 (after any VLAN
// tags), Linux cooked (SLL, SLL2) protocol 0x0800, raw IP with version nibble 4, BSD
// loopback/null family 2; the IPv4 header must be there (20 bytes or more, version 4). The
// payload starts after the link header, the IPv4 header (its own length) and an 8-byte UDP
// header: byte 42 for plain Ethernet. A packet too short for that gives an empty payload.

#include "playbacksink.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CaptureReader {
public:
    // Reads every packet of the file or buffer; false when it cannot be opened as a capture
    // (the packets read before a damaged one are kept, and the result is still true).
    bool read_file(const char *path);
    bool read_memory(const uint8_t *data, size_t size);

    const std::string &error() const { return error_; }
    int link_type() const { return link_type_; }
    size_t packets_read() const { return packets_read_; }

    // The payloads, in file order, as views into this reader (valid while it lives).
    size_t payload_count() const { return spans_.size(); }
    PacketViews payloads() const;

    // Offset of the UDP payload in a captured packet of this link type, or -1 when the packet
    // does not hold an IPv4 layer. The offset may lie past the captured bytes.
    static long ipv4_payload_offset(int link_type, const uint8_t *data, size_t caplen);

    // The payloads are no longer needed: their memory stays with the reader for the next
    // capture, but the kernel may take it back meanwhile (release_lazily). The payloads read
    // last are gone (no packets are left).
    void release_payloads();

private:
    bool read_stream(void *file, size_t size_hint);

    struct Span {
        size_t offset;
        size_t size;
    };
    std::vector<uint8_t> bytes_; // every kept payload, back to back
    std::vector<Span> spans_;
    std::string error_;
    int link_type_ = -1;
    size_t packets_read_ = 0;
};
