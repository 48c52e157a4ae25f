#include "sockethelpers.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <vector>
#include <unistd.h>

namespace {

void set_recv_timeout(int sock, int ms)
{
    timeval tv{};
    tv.tv_sec = ms / 1000;
    tv.tv_usec = (ms % 1000) * 1000;
    setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
}

// Dotted-quad rules shared by the address checks: digits and dots only, exactly three dots,
// no leading or trailing dot, every field at most 255; an empty field between two dots counts
// as 0 (devices accept "1..2.3"). Fields are returned most significant first.
bool parse_ipv4_fields(const char *text, uint32_t fields[4])
{
    if (text == nullptr || text[0] == '\0' || text[0] == '.')
        return false;
    uint32_t value = 0;
    int dots = 0;
    uint32_t tmp[4] = {0, 0, 0, 0};
    const char *p = text;
    for (; *p != '\0'; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            value = value * 10 + uint32_t(c - '0');
            if (value > 255)
                return false; // no later character can bring a field back under 256
        } else if (c == '.') {
            if (dots >= 3)
                return false;
            tmp[dots] = value;
            value = 0;
            ++dots;
        } else {
            return false;
        }
    }
    if (p[-1] == '.' || dots != 3)
        return false;
    tmp[3] = value;
    if (fields != nullptr)
        std::memcpy(fields, tmp, sizeof(tmp));
    return true;
}

uint32_t fields_to_u32(const uint32_t f[4])
{
    return f[0] << 24 | f[1] << 16 | f[2] << 8 | f[3];
}

bool is_hex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

int udp_open(int port, bool reuse, const char *bind_ip)
{
    const int sock = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (sock < 0)
        return INVALID_SOCK;
    if (reuse) {
        const int on = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    }
    udp_set_recv_buffer(sock, UDP_RECV_BUFFER);
    set_recv_timeout(sock, 500);

    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind_ip != nullptr && bind_ip[0] != '\0' && inet_pton(AF_INET, bind_ip, &addr.sin_addr) != 1) {
        ::close(sock);
        return INVALID_SOCK;
    }
    if (port < 0 || port > 65535
        || ::bind(sock, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)) != 0) {
        ::close(sock);
        return INVALID_SOCK;
    }
    return sock;
}

int udp_open_unbound()
{
    const int sock = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (sock < 0)
        return INVALID_SOCK;
    udp_set_recv_buffer(sock, UDP_UPLOAD_RECV_BUFFER);
    set_recv_timeout(sock, 1000);
    return sock;
}

int udp_close(int sock, bool /*is_socket*/)
{
    if (sock != INVALID_SOCK)
        ::close(sock);
    return 0;
}

int udp_recv_buffer_size(int sock)
{
    int size = 0;
    socklen_t len = sizeof(size);
    if (getsockopt(sock, SOL_SOCKET, SO_RCVBUF, &size, &len) != 0)
        return -1;
    return size;
}

int udp_recv_buffer_granted(int sock)
{
    const int reported = udp_recv_buffer_size(sock);
    return reported < 0 ? -1 : reported / 2;
}

int udp_set_recv_buffer(int sock, int bytes)
{
    setsockopt(sock, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof(bytes));
    int granted = udp_recv_buffer_granted(sock);
    // Beyond net.core.rmem_max only with CAP_NET_ADMIN; without it the call fails (EPERM) and
    // the capped size stays.
    if (granted >= 0 && granted < bytes
        && setsockopt(sock, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof(bytes)) == 0)
        granted = udp_recv_buffer_granted(sock);
    return granted;
}

int udp_send_to(int sock, const char *ip, int port, const void *data, size_t len)
{
    if (sock == INVALID_SOCK || ip == nullptr)
        return -1;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, ip, &to.sin_addr) != 1)
        return -1;
    return static_cast<int>(
        ::sendto(sock, data, len, 0, reinterpret_cast<const sockaddr *>(&to), sizeof(to)));
}

void ipv4_to_text(uint32_t addr_be, char *out, size_t out_size)
{
    in_addr a{};
    a.s_addr = addr_be;
    if (inet_ntop(AF_INET, &a, out, static_cast<socklen_t>(out_size)) == nullptr && out_size > 0)
        out[0] = '\0';
}

bool ipv4_from_canonical_text(const char *text, uint32_t *addr_be)
{
    in_addr a{};
    if (text == nullptr || inet_pton(AF_INET, text, &a) != 1)
        return false;
    char canonical[INET_ADDRSTRLEN] = {0};
    ipv4_to_text(a.s_addr, canonical, sizeof(canonical));
    if (std::strcmp(canonical, text) != 0)
        return false;
    if (addr_be != nullptr)
        *addr_be = a.s_addr;
    return true;
}

bool is_ipv4(const char *text)
{
    return parse_ipv4_fields(text, nullptr);
}

bool is_mac(const char *text)
{
    if (text == nullptr || text[0] == '.')
        return false;
    if (std::strlen(text) != 17)
        return false;
    // six pairs of hex digits at 0,3,...,15 with ':' between them
    for (int i = 0; i < 17; ++i) {
        if (i % 3 == 2) {
            if (text[i] != ':')
                return false;
        } else if (!is_hex(text[i])) {
            return false;
        }
    }
    return true;
}

bool format_ip_config(bool with_mask, const char *ip, const char *mask, const char *gateway,
                      int port, char *out)
{
    // Check the whole text before taking its fields apart: a malformed text must never be
    // split and converted.
    uint32_t ipf[4];
    if (!parse_ipv4_fields(ip, ipf))
        return false;
    if (ipf[0] < 10)
        return false;
    if (port < 1001 || port > 65535)
        return false;
    if (!with_mask) {
        std::snprintf(out, 64, "%03u.%03u.%03u.%03u %05d", ipf[0], ipf[1], ipf[2], ipf[3], port);
        return true;
    }
    uint32_t maskf[4];
    uint32_t gwf[4];
    if (!parse_ipv4_fields(mask, maskf) || std::strcmp(mask, "0.0.0.0") == 0)
        return false;
    const uint32_t m = fields_to_u32(maskf);
    if (((~m + 1u) & ~m) != 0)
        return false; // one-bits not contiguous from the top
    if (!parse_ipv4_fields(gateway, gwf))
        return false;
    if ((fields_to_u32(gwf) & m) != (fields_to_u32(ipf) & m))
        return false;
    std::snprintf(out, 64,
                  "%03u.%03u.%03u.%03u %03u.%03u.%03u.%03u %03u.%03u.%03u.%03u %05d", ipf[0],
                  ipf[1], ipf[2], ipf[3], maskf[0], maskf[1], maskf[2], maskf[3], gwf[0], gwf[1],
                  gwf[2], gwf[3], port);
    return true;
}

bool arp_get_mac_from_table(const char *table, const char *ip, char *out)
{
    in_addr want{};
    if (ip == nullptr || inet_pton(AF_INET, ip, &want) != 1) {
        std::snprintf(out, 64, "SendARP Error:%d", EINVAL);
        return false;
    }
    std::istringstream lines(table != nullptr ? table : "");
    std::string line;
    std::getline(lines, line); // column titles
    while (std::getline(lines, line)) {
        std::istringstream cols(line);
        std::string addr, hwtype, flags, mac;
        if (!(cols >> addr >> hwtype >> flags >> mac))
            continue;
        in_addr have{};
        if (inet_pton(AF_INET, addr.c_str(), &have) != 1 || have.s_addr != want.s_addr)
            continue;
        // Only complete entries (ATF_COM) hold a usable hardware address.
        const unsigned long f = std::strtoul(flags.c_str(), nullptr, 16);
        unsigned b[6];
        if ((f & 0x2) == 0
            || std::sscanf(mac.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x", &b[0], &b[1], &b[2], &b[3], &b[4],
                           &b[5]) != 6)
            continue;
        std::snprintf(out, 64, "%.2x-%.2x-%.2x-%.2x-%.2x-%.2x", b[0], b[1], b[2], b[3], b[4], b[5]);
        return true;
    }
    std::snprintf(out, 64, "SendARP Error:%d", ENOENT);
    return false;
}

bool arp_get_mac(const char *ip, char *out)
{
    std::ifstream f("/proc/net/arp");
    if (!f) {
        std::snprintf(out, 64, "SendARP Error:%d", errno);
        return false;
    }
    std::stringstream all;
    all << f.rdbuf();
    return arp_get_mac_from_table(all.str().c_str(), ip, out);
}

bool ipv4_neighbour_of(uint32_t ip_be, const Ipv4Attachment *attached, size_t n)
{
    const uint32_t ip = ntohl(ip_be);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t own = ntohl(attached[i].addr_be);
        const uint32_t mask = ntohl(attached[i].mask_be);
        if ((ip & mask) != (own & mask) || ip == own)
            continue;
        // A /31 has two hosts and no network or broadcast address (a /32 has no neighbour).
        const uint32_t host = ip & ~mask;
        if (~mask > 1u && (host == 0 || host == ~mask))
            continue;
        return true;
    }
    return false;
}

bool ipv4_on_link(const char *ip)
{
    in_addr a{};
    if (ip == nullptr || inet_pton(AF_INET, ip, &a) != 1)
        return false;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    std::vector<Ipv4Attachment> attached;
    for (const ifaddrs *i = list; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_netmask == nullptr || i->ifa_addr->sa_family != AF_INET)
            continue;
        if ((i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & (IFF_LOOPBACK | IFF_POINTOPOINT | IFF_NOARP)) != 0)
            continue;
        attached.push_back({reinterpret_cast<const sockaddr_in *>(i->ifa_addr)->sin_addr.s_addr,
                            reinterpret_cast<const sockaddr_in *>(i->ifa_netmask)->sin_addr.s_addr});
    }
    freeifaddrs(list);
    return ipv4_neighbour_of(a.s_addr, attached.data(), attached.size());
}

bool arp_solicit(const char *ip)
{
    in_addr a{};
    if (ip == nullptr || inet_pton(AF_INET, ip, &a) != 1)
        return false;
    const uint32_t h = ntohl(a.s_addr);
    // Loopback, "this network", multicast and broadcast addresses have no neighbour entry.
    if ((h >> 24) == 127 || (h >> 24) == 0 || (h >> 28) == 0xE || h == 0xFFFFFFFFu)
        return false;
    if (!ipv4_on_link(ip))
        return false;
    const int sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sock < 0)
        return false;
    // An empty datagram to the discard service: to send it the kernel must know the device's
    // hardware address, so it asks for it on the link; the datagram itself is thrown away.
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    to.sin_addr = a;
    const bool sent = ::sendto(sock, "", 0, MSG_DONTWAIT, reinterpret_cast<const sockaddr *>(&to), sizeof(to)) == 0;
    ::close(sock);
    return sent;
}

bool arp_resolve_mac(const char *ip, char *out, int wait_ms)
{
    if (ip != nullptr && !ipv4_on_link(ip)) {
        std::snprintf(out, 64, "SendARP Error:%d", ENETUNREACH);
        return false;
    }
    if (arp_get_mac(ip, out))
        return true;
    if (!arp_solicit(ip))
        return false; // `out` holds the lookup's reason
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (arp_get_mac(ip, out))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    }
}
