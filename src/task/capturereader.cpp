#include "capturereader.h"

#include "memoryhints.h"

#include <pcap/pcap.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr size_t kUdpHeader = 8;
constexpr size_t kIpv4MinHeader = 20;

inline unsigned be16(const uint8_t *p) { return unsigned(p[0]) << 8 | p[1]; }

// Offset of the network layer when the link header says IPv4, else -1.
long ipv4_start(int link_type, const uint8_t *d, size_t n)
{
    switch (link_type) {
    case DLT_EN10MB: {
        size_t off = 12;
        if (n < off + 2)
            return -1;
        unsigned type = be16(d + off);
        while (type == 0x8100 || type == 0x88A8 || type == 0x9100) {
            off += 4;
            if (n < off + 2)
                return -1;
            type = be16(d + off);
        }
        return type == 0x0800 ? long(off + 2) : -1;
    }
    case DLT_LINUX_SLL:
        return n >= 16 && be16(d + 14) == 0x0800 ? 16 : -1;
#ifdef DLT_LINUX_SLL2
    case DLT_LINUX_SLL2:
        return n >= 20 && be16(d) == 0x0800 ? 20 : -1;
#endif
    case DLT_RAW:
#ifdef DLT_IPV4
    case DLT_IPV4:
#endif
        return 0;
    case DLT_NULL:
    case DLT_LOOP: {
        // The family is in the capturing host's byte order (null) or big-endian (loop).
        if (n < 4)
            return -1;
        const bool le = d[0] == 2 && d[1] == 0 && d[2] == 0 && d[3] == 0;
        const bool be = d[0] == 0 && d[1] == 0 && d[2] == 0 && d[3] == 2;
        return le || be ? 4 : -1;
    }
    default:
        return -1;
    }
}

} // namespace

long CaptureReader::ipv4_payload_offset(int link_type, const uint8_t *data, size_t caplen)
{
    const long ip = ipv4_start(link_type, data, caplen);
    if (ip < 0 || caplen < size_t(ip) + kIpv4MinHeader || (data[ip] >> 4) != 4)
        return -1;
    const size_t ihl = size_t(data[ip] & 0x0F) * 4;
    if (ihl < kIpv4MinHeader)
        return -1;
    return long(size_t(ip) + ihl + kUdpHeader);
}

PacketViews CaptureReader::payloads() const
{
    PacketViews views;
    views.reserve(spans_.size());
    for (const Span &s : spans_)
        views.push_back({bytes_.data() + s.offset, s.size});
    return views;
}

void CaptureReader::release_payloads()
{
    release_lazily(bytes_.data(), bytes_.capacity());
    bytes_.clear();
    spans_.clear();
}

bool CaptureReader::read_file(const char *path)
{
    FILE *f = std::fopen(path, "rbe");
    if (f == nullptr) {
        error_ = std::string("cannot open ") + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    const size_t hint = ::fstat(fileno(f), &st) == 0 && st.st_size > 0 ? size_t(st.st_size) : 0;
    return read_stream(f, hint);
}

bool CaptureReader::read_memory(const uint8_t *data, size_t size)
{
    if (size == 0) {
        error_ = "empty capture";
        return false;
    }
    FILE *f = ::fmemopen(const_cast<uint8_t *>(data), size, "rb");
    if (f == nullptr) {
        error_ = "cannot read the capture from memory";
        return false;
    }
    return read_stream(f, size);
}

bool CaptureReader::read_stream(void *file, size_t size_hint)
{
    FILE *f = static_cast<FILE *>(file);
    bytes_.clear();
    spans_.clear();
    packets_read_ = 0;
    link_type_ = -1;
    char errbuf[PCAP_ERRBUF_SIZE] = {};
    pcap_t *pcap = pcap_fopen_offline(f, errbuf);
    if (pcap == nullptr) {
        std::fclose(f); // libpcap keeps the stream only when it accepts it
        error_ = errbuf;
        return false;
    }
    link_type_ = pcap_datalink(pcap);
    // The kept payloads never exceed the capture itself, so one reservation holds them all.
    bytes_.reserve(size_hint);
    advise_huge_pages(bytes_.data(), bytes_.capacity());
    // Device packets are hundreds of bytes or more: a reservation that most captures never
    // outgrow (its untouched end costs nothing).
    spans_.reserve(size_hint / 256 + 16);
    pcap_pkthdr *header = nullptr;
    const u_char *packet = nullptr;
    while (pcap_next_ex(pcap, &header, &packet) == 1) {
        ++packets_read_;
        const size_t caplen = header->caplen;
        const long offset = ipv4_payload_offset(link_type_, packet, caplen);
        if (offset < 0)
            continue;
        const size_t start = size_t(offset) < caplen ? size_t(offset) : caplen;
        spans_.push_back({bytes_.size(), caplen - start});
        bytes_.insert(bytes_.end(), packet + start, packet + caplen);
    }
    pcap_close(pcap); // closes the stream too
    return true;
}
