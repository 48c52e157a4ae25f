#include "fakeheartbeat.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
void put_text(char *field, size_t width, const std::string &text)
{
    std::memset(field, 0, width);
    std::memcpy(field, text.data(), std::min(width, text.size()));
}
} // namespace

std::vector<uint8_t> make_heartbeat104(const FakeSensorInfo &info)
{
    Heartbeat104 h{};
    std::memset(&h, 0, sizeof(h));
    h.reserved0[0] = 0xA5; // devices put a marker here; it must not matter
    h.seconds = info.seconds;
    h.nanoseconds = info.nanoseconds;
    put_text(h.sn, sizeof(h.sn), info.sn);
    put_text(h.model, sizeof(h.model), info.model);
    h.version = info.version;
    h.id = info.id;
    std::memcpy(h.ip, info.ip, 4);
    std::memcpy(h.mask, info.mask, 4);
    std::memcpy(h.gateway, info.gateway, 4);
    h.listen_port = info.listen_port;
    std::memcpy(h.upload_ip, info.upload_ip, 4);
    h.upload_port = info.upload_port;
    std::vector<uint8_t> out(sizeof(h));
    std::memcpy(out.data(), &h, sizeof(h));
    const uint32_t crc = heartbeat104_crc(out.data());
    std::memcpy(out.data() + 100, &crc, 4);
    return out;
}

std::vector<uint8_t> make_heartbeat112(const FakeSensorInfo &info)
{
    Heartbeat112 h{};
    std::memset(&h, 0, sizeof(h));
    h.reserved0[0] = 0x5A;
    h.seconds = info.seconds;
    h.nanoseconds = info.nanoseconds;
    put_text(h.sn, sizeof(h.sn), info.sn);
    put_text(h.model, sizeof(h.model), info.model);
    h.version = info.version;
    h.id = info.id;
    std::memcpy(h.ip, info.ip, 4);
    std::memcpy(h.mask, info.mask, 4);
    std::memcpy(h.gateway, info.gateway, 4);
    std::memcpy(h.upload_ip, info.upload_ip, 4);
    h.upload_port = info.upload_port;
    h.listen_port = info.listen_port;
    h.rpm1 = info.rpm1;
    h.rpm2 = info.rpm2;
    h.motor_temp = info.motor_temp;
    std::vector<uint8_t> out(sizeof(h));
    std::memcpy(out.data(), &h, sizeof(h));
    const uint32_t crc = heartbeat112_crc(out.data());
    std::memcpy(out.data() + 108, &crc, 4);
    return out;
}

std::vector<uint8_t> make_box_heartbeat(const FakeBoxInfo &info)
{
    BoxHeartbeat h{};
    std::memset(&h, 0, sizeof(h));
    put_text(h.box_ip, sizeof(h.box_ip), info.box_ip);
    put_text(h.box_mask, sizeof(h.box_mask), info.box_mask);
    put_text(h.box_gateway, sizeof(h.box_gateway), info.box_gateway);
    put_text(h.lidar_ip, sizeof(h.lidar_ip), info.lidar_ip);
    h.lidar_port = info.lidar_port;
    h.status = info.status;
    h.flags = info.flags;
    std::vector<uint8_t> out(sizeof(h));
    std::memcpy(out.data(), &h, sizeof(h));
    return out;
}

bool network_is_isolated()
{
    struct if_nameindex *list = if_nameindex();
    if (list == nullptr)
        return false;
    bool only_lo = true;
    for (struct if_nameindex *i = list; i->if_index != 0 && i->if_name != nullptr; ++i)
        if (std::strcmp(i->if_name, "lo") != 0)
            only_lo = false;
    if_freenameindex(list);
    return only_lo;
}

FakeHeartbeatSender::FakeHeartbeatSender(const std::string &source_ip)
{
    if (!network_is_isolated())
        return;
    sock_ = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (sock_ < 0)
        return;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, source_ip.c_str(), &a.sin_addr);
    const unsigned char ttl = 0;  // looped back to this host, never sent out
    const unsigned char loop = 1;
    if (::bind(sock_, reinterpret_cast<sockaddr *>(&a), sizeof(a)) != 0
        || setsockopt(sock_, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof(ttl)) != 0
        || setsockopt(sock_, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof(loop)) != 0) {
        ::close(sock_);
        sock_ = -1;
    }
}

FakeHeartbeatSender::~FakeHeartbeatSender()
{
    if (sock_ >= 0)
        ::close(sock_);
}

int FakeHeartbeatSender::send(const std::vector<uint8_t> &bytes, int port)
{
    if (sock_ < 0 || !network_is_isolated())
        return -1;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, HEARTBEAT_GROUP, &to.sin_addr);
    return int(::sendto(sock_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr *>(&to),
                        sizeof(to)));
}
