#include "heartbeatproc.h"

#include "heartbeat.h"
#include "sockethelpers.h"
#include "userpointdata.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// How often a blocked receive looks at the running flag.
constexpr int kPollMs = 200;
// Pause after a pass over what was waiting: the listener wakes about ten times a second
// however busy the group is, and what arrives meanwhile waits in the socket's buffer. The pass
// itself empties the buffer, so junk on the group cannot push a sensor's heartbeat back by a
// pause per datagram, nor out of the buffer.
constexpr unsigned long kPauseMs = 100;
// A pass ends after this many datagrams even if more keep coming, so that a sender faster than
// the listener cannot keep it from looking at its running flag; the kernel drops the excess.
constexpr int kMaxPerPass = 20000;
// Receive buffer: anything longer is no heartbeat.
constexpr size_t kMaxDatagram = 4096;
} // namespace

HeartBeatProc::HeartBeatProc(int port, QObject *parent) : QThread(parent), port_(port) {}

HeartBeatProc::~HeartBeatProc()
{
    stop();
    wait();
}

void HeartBeatProc::stop()
{
    running_.store(0, std::memory_order_release);
}

void HeartBeatProc::run()
{
    const int sock = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    const int on = 1;
    // A socket that could not be created fails its first option like any other: one report.
    if (sock < 0 || setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) != 0) {
        emit sig_data(MSG_ERROR, tr("Reusing ADDR failed!").toLocal8Bit());
        if (sock >= 0)
            ::close(sock);
        return;
    }

    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port_));
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(sock, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)) != 0) {
        emit sig_data(MSG_ERROR, tr("bind failed with error %1").arg(errno).toLocal8Bit());
        ::close(sock);
        return;
    }

    ip_mreq group{};
    inet_pton(AF_INET, HEARTBEAT_GROUP, &group.imr_multiaddr);
    group.imr_interface.s_addr = htonl(INADDR_ANY);
    if (setsockopt(sock, IPPROTO_IP, IP_ADD_MEMBERSHIP, &group, sizeof(group)) != 0) {
        emit sig_data(MSG_ERROR, tr("setsockopt:%1,set multicast error").arg(errno).toLocal8Bit());
        ::close(sock);
        return;
    }

    // A pause's worth of a busy group must fit; the kernel may grant less.
    udp_set_recv_buffer(sock, UDP_RECV_BUFFER);

    uint8_t buf[kMaxDatagram];
    while (running_.load(std::memory_order_acquire) != 0) {
        pollfd p{sock, POLLIN, 0};
        const int ready = ::poll(&p, 1, kPollMs);
        if (ready == 0 || (ready < 0 && errno == EINTR))
            continue;
        bool paced = ready < 0; // a failed wait is an ignored receive
        for (int i = 0; ready > 0 && i < kMaxPerPass; ++i) {
            // MSG_TRUNC gives the datagram's real length, so a longer datagram cut to the
            // buffer can never pass for a heartbeat.
            const ssize_t n = ::recv(sock, buf, sizeof(buf), MSG_TRUNC | MSG_DONTWAIT);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                paced = paced || (errno != EAGAIN && errno != EWOULDBLOCK);
                break; // nothing more waiting
            }
            if (size_t(n) > sizeof(buf)) {
                paced = true;
                continue;
            }
            switch (heartbeat_classify(buf, size_t(n))) {
            case HeartbeatKind::Sensor104:
            case HeartbeatKind::Sensor112:
                emit sig_data(MSG_HEARTBEAT, QByteArray(reinterpret_cast<const char *>(buf), int(n)));
                break;
            case HeartbeatKind::Box:
                emit sig_data(MSG_BOX_HEARTBEAT,
                              QByteArray(reinterpret_cast<const char *>(buf), int(n)));
                break;
            case HeartbeatKind::BadCrc:
                continue; // no pause is owed for it
            case HeartbeatKind::Other:
                break;
            }
            paced = true;
        }
        if (paced)
            QThread::msleep(kPauseMs);
    }
    ::close(sock);
}
