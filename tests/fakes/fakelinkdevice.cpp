// A sensor on the other end of a link: run in a network namespace of its own whose only link
// leads into the test's namespace, it sends nothing but heartbeats to the group, so nothing it
// sends makes the host's kernel learn its hardware address.
//
//   qv_fake_link_device <device ip> <interface>
//
// It waits for a line on stdin (the test has set up the link by then), then sends a heartbeat
// every 100 ms until stdin closes. It refuses to send unless its namespace holds exactly
// loopback and <interface>, so it never sends onto a real network.

#include "fakeheartbeat.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

namespace {

bool only_loopback_and(const std::string &link)
{
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    std::set<std::string> names;
    for (ifaddrs *i = list; i != nullptr; i = i->ifa_next)
        names.insert(i->ifa_name);
    freeifaddrs(list);
    return names == std::set<std::string>{"lo", link};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <device ip> <interface>\n", argv[0]);
        return 2;
    }
    char line[64];
    if (std::fgets(line, sizeof line, stdin) == nullptr)
        return 0;
    if (!only_loopback_and(argv[2])) {
        std::fprintf(stderr, "refusing: this namespace holds more than lo and %s\n", argv[2]);
        return 3;
    }
    FakeSensorInfo info;
    info.sn = "LINK-SILENT-1";
    info.model = "LDS-Vimo-E";
    in_addr ip{};
    if (inet_pton(AF_INET, argv[1], &ip) != 1)
        return 2;
    std::memcpy(info.ip, &ip, 4);
    const std::vector<uint8_t> heartbeat = make_heartbeat104(info);

    const int sock = ::socket(AF_INET, SOCK_DGRAM, 0);
    const unsigned char ttl = 1;
    const unsigned int link = if_nametoindex(argv[2]);
    ip_mreqn via{};
    via.imr_ifindex = int(link);
    if (sock < 0 || link == 0 || setsockopt(sock, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl) != 0
        || setsockopt(sock, IPPROTO_IP, IP_MULTICAST_IF, &via, sizeof via) != 0) {
        std::perror("socket");
        return 4;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(HEARTBEAT_PORT);
    inet_pton(AF_INET, HEARTBEAT_GROUP, &to.sin_addr);
    std::printf("sending\n");
    std::fflush(stdout);
    for (;;) {
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (poll(&in, 1, 100) > 0 && read(STDIN_FILENO, line, sizeof line) <= 0)
            break; // stdin closed: the test is done
        ::sendto(sock, heartbeat.data(), heartbeat.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
    }
    ::close(sock);
    return 0;
}
