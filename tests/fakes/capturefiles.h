#pragma once
// Writers of the files playback reads: the program's own dumps, "udpp" records, and pcap and
// pcapng captures of UDP traffic in the link types that capture tools produce.

#include "devicepackets.h"

#include <cstdint>
#include <string>
#include <vector>

// Link types as stored in capture files (LINKTYPE_* numbers).
enum CaptureLink : int {
    LINK_NULL = 0,        // BSD loopback, family in the capturing host's order (little-endian here)
    LINK_ETHERNET = 1,
    LINK_RAW = 101,       // raw IP
    LINK_LOOP = 108,      // OpenBSD loopback, family big-endian
    LINK_LINUX_SLL = 113, // Linux cooked
    LINK_IPV4 = 228,      // raw IPv4
    LINK_LINUX_SLL2 = 276,
};

struct UdpFrameOptions {
    int vlan_tags = 0;          // Ethernet only: 802.1Q tags before the type
    int ip_option_words = 0;    // 32-bit words of IPv4 options
    uint16_t src_port = 6001;
    uint16_t dst_port = 6000;
};

// One captured frame of the link type carrying `payload` in a UDP datagram over IPv4.
Bytes make_udp_frame(int link, const Bytes &payload, const UdpFrameOptions &options = {});
// An Ethernet ARP request (not IPv4).
Bytes make_arp_frame();
// An Ethernet frame carrying IPv6 (not IPv4).
Bytes make_ipv6_frame(const Bytes &payload);

// Whole capture files holding these frames.
Bytes write_pcap(int link, const std::vector<Bytes> &frames);
Bytes write_pcapng(int link, const std::vector<Bytes> &frames);

// A DumpRecord as the recorder writes it (20-byte header, then the payload).
Bytes make_dump_record(uint16_t type, const Bytes &payload, uint64_t ms = 1700000000000ULL);
// An "udpp" record: "udpp", u32 length, payload.
Bytes make_udpp_record(const Bytes &payload);

// Concatenation helpers.
void append(Bytes &to, const Bytes &more);
Bytes concat(const std::vector<Bytes> &parts, size_t gap = 0, uint8_t gap_byte = 0);

bool write_bytes(const std::string &path, const Bytes &bytes);
