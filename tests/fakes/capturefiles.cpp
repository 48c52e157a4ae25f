#include "capturefiles.h"

#include "lhframe.h"
#include "logmanager.h"

#include <cstdio>
#include <cstring>

namespace {

void be16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

uint16_t ip_checksum(const uint8_t *p, size_t n)
{
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < n; i += 2)
        sum += uint32_t(p[i]) << 8 | p[i + 1];
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return uint16_t(~sum);
}

Bytes ipv4_udp(const Bytes &payload, const UdpFrameOptions &o)
{
    const size_t ihl = 20 + 4 * size_t(o.ip_option_words);
    Bytes b(ihl + 8 + payload.size(), 0);
    b[0] = uint8_t(0x40 | (ihl / 4));
    be16(&b[2], uint16_t(b.size()));
    b[8] = 64;
    b[9] = 17; // UDP
    const uint8_t src[4] = {192, 168, 1, 100};
    const uint8_t dst[4] = {192, 168, 1, 10};
    std::memcpy(&b[12], src, 4);
    std::memcpy(&b[16], dst, 4);
    for (size_t i = 20; i < ihl; ++i)
        b[i] = 1; // NOP options
    be16(&b[10], ip_checksum(b.data(), ihl));
    be16(&b[ihl], o.src_port);
    be16(&b[ihl + 2], o.dst_port);
    be16(&b[ihl + 4], uint16_t(8 + payload.size()));
    if (!payload.empty())
        std::memcpy(&b[ihl + 8], payload.data(), payload.size());
    return b;
}

Bytes ethernet_header(uint16_t type, int vlan_tags)
{
    Bytes h(12, 0);
    const uint8_t dst[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    const uint8_t src[6] = {0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB};
    std::memcpy(&h[0], dst, 6);
    std::memcpy(&h[6], src, 6);
    for (int t = 0; t < vlan_tags; ++t) {
        const uint8_t tag[4] = {0x81, 0x00, 0x00, uint8_t(10 + t)};
        h.insert(h.end(), tag, tag + 4);
    }
    h.push_back(uint8_t(type >> 8));
    h.push_back(uint8_t(type));
    return h;
}

void put32(Bytes &b, uint32_t v)
{
    uint8_t t[4];
    wr_u32(t, v);
    b.insert(b.end(), t, t + 4);
}

void put16(Bytes &b, uint16_t v)
{
    uint8_t t[2];
    wr_u16(t, v);
    b.insert(b.end(), t, t + 2);
}

} // namespace

Bytes make_udp_frame(int link, const Bytes &payload, const UdpFrameOptions &options)
{
    const Bytes ip = ipv4_udp(payload, options);
    Bytes f;
    switch (link) {
    case LINK_ETHERNET:
        f = ethernet_header(0x0800, options.vlan_tags);
        break;
    case LINK_LINUX_SLL:
        f.assign(16, 0);
        be16(&f[2], 1);  // ARPHRD_ETHER
        be16(&f[4], 6);  // address length
        be16(&f[14], 0x0800);
        break;
    case LINK_LINUX_SLL2:
        f.assign(20, 0);
        be16(&f[0], 0x0800);
        be16(&f[8], 1);
        f[11] = 6;
        break;
    case LINK_NULL:
        f = {2, 0, 0, 0};
        break;
    case LINK_LOOP:
        f = {0, 0, 0, 2};
        break;
    case LINK_RAW:
    default:
        break;
    }
    append(f, ip);
    return f;
}

Bytes make_arp_frame()
{
    Bytes f = ethernet_header(0x0806, 0);
    Bytes arp(28, 0);
    be16(&arp[0], 1);
    be16(&arp[2], 0x0800);
    arp[4] = 6;
    arp[5] = 4;
    be16(&arp[6], 1);
    append(f, arp);
    return f;
}

Bytes make_ipv6_frame(const Bytes &payload)
{
    Bytes f = ethernet_header(0x86DD, 0);
    Bytes ip(40 + 8, 0);
    ip[0] = 0x60;
    ip[6] = 17;
    append(f, ip);
    append(f, payload);
    return f;
}

Bytes write_pcap(int link, const std::vector<Bytes> &frames)
{
    Bytes b;
    put32(b, 0xA1B2C3D4);
    put16(b, 2);
    put16(b, 4);
    put32(b, 0); // this zone
    put32(b, 0); // sigfigs
    put32(b, 262144);
    put32(b, uint32_t(link));
    uint32_t sec = 1700000000;
    for (const Bytes &f : frames) {
        put32(b, sec++);
        put32(b, 0);
        put32(b, uint32_t(f.size()));
        put32(b, uint32_t(f.size()));
        append(b, f);
    }
    return b;
}

Bytes write_pcapng(int link, const std::vector<Bytes> &frames)
{
    Bytes b;
    // Section header block.
    put32(b, 0x0A0D0D0A);
    put32(b, 28);
    put32(b, 0x1A2B3C4D);
    put16(b, 1);
    put16(b, 0);
    put32(b, 0xFFFFFFFF); // section length -1
    put32(b, 0xFFFFFFFF);
    put32(b, 28);
    // Interface description block.
    put32(b, 1);
    put32(b, 20);
    put16(b, uint16_t(link));
    put16(b, 0);
    put32(b, 262144);
    put32(b, 20);
    uint64_t ts = 1700000000000000ULL;
    for (const Bytes &f : frames) {
        const uint32_t padded = uint32_t((f.size() + 3) & ~size_t(3));
        const uint32_t total = 32 + padded;
        put32(b, 6); // enhanced packet block
        put32(b, total);
        put32(b, 0);
        put32(b, uint32_t(ts >> 32));
        put32(b, uint32_t(ts));
        put32(b, uint32_t(f.size()));
        put32(b, uint32_t(f.size()));
        append(b, f);
        b.insert(b.end(), padded - f.size(), 0);
        put32(b, total);
        ts += 1000;
    }
    return b;
}

Bytes make_dump_record(uint16_t type, const Bytes &payload, uint64_t ms)
{
    Bytes r(DUMP_HEADER_SIZE);
    make_dump_header(r.data(), ms, type, uint16_t(payload.size()));
    append(r, payload);
    return r;
}

Bytes make_udpp_record(const Bytes &payload)
{
    Bytes r = {'u', 'd', 'p', 'p'};
    put32(r, uint32_t(payload.size()));
    append(r, payload);
    return r;
}

void append(Bytes &to, const Bytes &more)
{
    to.insert(to.end(), more.begin(), more.end());
}

Bytes concat(const std::vector<Bytes> &parts, size_t gap, uint8_t gap_byte)
{
    Bytes out;
    for (const Bytes &p : parts) {
        append(out, p);
        out.insert(out.end(), gap, gap_byte);
    }
    return out;
}

bool write_bytes(const std::string &path, const Bytes &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
