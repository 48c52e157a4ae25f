#include "fakepeer.h"
#include "lhframe.h"
#include "sockethelpers.h"
#include "wakeevent.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <linux/capability.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {
int bound_port(int sock)
{
    sockaddr_in a{};
    socklen_t len = sizeof(a);
    getsockname(sock, reinterpret_cast<sockaddr *>(&a), &len);
    return ntohs(a.sin_port);
}
} // namespace

TEST(Udp, OpenReceiveAndOptions)
{
    const int sock = udp_open(0, false);
    ASSERT_NE(sock, INVALID_SOCK);
    const int port = bound_port(sock);
    ASSERT_GT(port, 0);
    EXPECT_GT(udp_recv_buffer_size(sock), 0);

    timeval tv{};
    socklen_t len = sizeof(tv);
    getsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &tv, &len);
    EXPECT_EQ(tv.tv_sec * 1000 + tv.tv_usec / 1000, 500);

    FakePeer peer("127.0.0.2");
    ASSERT_TRUE(peer.ok());
    ASSERT_EQ(peer.send_to("127.0.0.1", port, {1, 2, 3}), 3);
    uint8_t buf[16];
    sockaddr_in from{};
    socklen_t flen = sizeof(from);
    const ssize_t n = recvfrom(sock, buf, sizeof(buf), 0, reinterpret_cast<sockaddr *>(&from), &flen);
    ASSERT_EQ(n, 3);
    char text[16];
    ipv4_to_text(from.sin_addr.s_addr, text, sizeof(text));
    EXPECT_STREQ(text, "127.0.0.2");

    // a second bind of the same port without reuse fails and leaks nothing
    EXPECT_EQ(udp_open(port, false), INVALID_SOCK);
    EXPECT_EQ(udp_close(sock), 0);

    // the bind seam: program on 127.0.0.1, fake device on 127.0.0.2, same port number
    const int a = udp_open(0, true, "127.0.0.1");
    ASSERT_NE(a, INVALID_SOCK);
    FakePeer same_port("127.0.0.2", bound_port(a));
    EXPECT_TRUE(same_port.ok());
    udp_close(a);
    EXPECT_EQ(udp_open(1234, false, "not an address"), INVALID_SOCK);

    const int u = udp_open_unbound();
    ASSERT_NE(u, INVALID_SOCK);
    getsockopt(u, SOL_SOCKET, SO_RCVTIMEO, &tv, &len);
    EXPECT_EQ(tv.tv_sec * 1000 + tv.tv_usec / 1000, 1000);
    udp_close(u);
}

TEST(Udp, SendToRefusesBadAddresses)
{
    const int sock = udp_open_unbound();
    EXPECT_EQ(udp_send_to(sock, "300.1.1.1", 5000, "x", 1), -1);
    EXPECT_EQ(udp_send_to(sock, nullptr, 5000, "x", 1), -1);
    EXPECT_EQ(udp_send_to(INVALID_SOCK, "127.0.0.1", 5000, "x", 1), -1);
    EXPECT_EQ(lh_send_crc_frame(sock, "127.0.0.1", 5000, 1, 1, 4000, std::string(4000, 'x').data()), -1)
        << "an oversized payload is refused, nothing sent";
    udp_close(sock);
}

TEST(Udp, RequestCrcFrameMatchesItsReplyBySequence)
{
    FakePeer peer("127.0.0.2");
    ASSERT_TRUE(peer.ok());
    // The device first answers with a stale sequence, then with the right one, and pads the
    // right reply's text with more bytes than its length field claims.
    peer.set_handler([](FakePeer &p, const Datagram &d) {
        const uint16_t seq = rd_u16(&d.bytes[4]);
        const uint16_t cmd = uint16_t(~rd_u16(&d.bytes[2]));
        auto stale = lh_make_crc_frame(cmd, uint16_t(seq + 1), "old!", 4);
        p.reply(d, stale);
        auto good = lh_make_crc_frame(cmd, seq, "OK:12345", 8);
        wr_u16(&good[6], 5); // the text is "OK:12"
        p.reply(d, good);
    });
    peer.start();

    const int sock = udp_open_unbound();
    uint8_t reply[64];
    std::memset(reply, 0, sizeof(reply));
    int reply_len = -1;
    ASSERT_TRUE(lh_request_crc_frame(sock, "127.0.0.2", peer.port(), 5, "LVERH", 0x0043, &reply_len,
                                     reply, sizeof(reply), 3, 10));
    EXPECT_EQ(reply_len, 5);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(reply), 5), "OK:12");

    // the request as the device saw it
    const auto got = peer.received();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].bytes.size(), 20u);
    EXPECT_EQ(rd_u16(&got[0].bytes[2]), 0x0043);
    EXPECT_LE(rd_u16(&got[0].bytes[4]), 0x7FFF);

    // a reply longer than the caller's buffer is cut to the buffer
    uint8_t small[3] = {0, 0, 0};
    ASSERT_TRUE(lh_request_crc_frame(sock, "127.0.0.2", peer.port(), 0, nullptr, 0x0043, &reply_len,
                                     small, sizeof(small), 3, 10));
    EXPECT_EQ(reply_len, 3);
    EXPECT_EQ(std::memcmp(small, "OK:", 3), 0);
    udp_close(sock);
}

TEST(Udp, RequestCrcFrameGivesUp)
{
    FakePeer silent("127.0.0.2");
    ASSERT_TRUE(silent.ok());
    silent.start();
    const int sock = udp_open_unbound();
    uint8_t reply[16];
    int reply_len = -1;
    EXPECT_FALSE(lh_request_crc_frame(sock, "127.0.0.2", silent.port(), 2, "hi", 0x0043, &reply_len,
                                      reply, sizeof(reply), 1, 10));
    EXPECT_EQ(reply_len, -1);
    EXPECT_TRUE(silent.wait_for(1, 5000)) << "the request was sent";

    // a chatty peer that never matches: gives up after the datagram budget
    FakePeer chatty("127.0.0.2");
    chatty.set_handler([](FakePeer &p, const Datagram &d) {
        for (int i = 0; i < 3; ++i)
            p.reply(d, {'L', 'H', 0, 0, 0xFF, 0xFF, 0, 0});
    });
    chatty.start();
    EXPECT_FALSE(lh_request_crc_frame(sock, "127.0.0.2", chatty.port(), 0, nullptr, 0x0043,
                                      &reply_len, reply, sizeof(reply), 30, 3));
    udp_close(sock);

    EXPECT_FALSE(lh_request_crc_frame(INVALID_SOCK, "127.0.0.2", silent.port(), 0, nullptr, 0x0043,
                                      &reply_len, reply, sizeof(reply), 1, 1));
}

namespace {

long proc_number(const char *path)
{
    long v = -1;
    if (FILE *f = std::fopen(path, "r")) {
        if (std::fscanf(f, "%ld", &v) != 1)
            v = -1;
        std::fclose(f);
    }
    return v;
}

// SO_RCVBUFFORCE asks for CAP_NET_ADMIN in the first user namespace: root there, not the root
// of a namespace of its own (the suite runs under "unshare -rn" when not started as root).
bool may_force_buffers()
{
    __user_cap_header_struct hdr{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2] = {};
    if (syscall(SYS_capget, &hdr, caps) != 0)
        return false;
    const bool effective = (caps[CAP_NET_ADMIN / 32].effective >> (CAP_NET_ADMIN % 32)) & 1;
    std::ifstream map("/proc/self/uid_map");
    long inside = -1, outside = -1, count = 0;
    map >> inside >> outside >> count;
    return effective && inside == 0 && outside == 0 && count == 4294967295L;
}

// Runs `body` in a child process that has given up CAP_NET_ADMIN; its exit code is returned.
template <class Body>
int without_net_admin(Body body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        __user_cap_header_struct hdr{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct caps[2] = {};
        if (syscall(SYS_capget, &hdr, caps) != 0)
            ::_exit(90);
        caps[CAP_NET_ADMIN / 32].effective &= ~(1u << (CAP_NET_ADMIN % 32));
        caps[CAP_NET_ADMIN / 32].permitted &= ~(1u << (CAP_NET_ADMIN % 32));
        if (syscall(SYS_capset, &hdr, caps) != 0)
            ::_exit(91);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

} // namespace

TEST(Udp, ReceiveBufferBeyondTheSystemLimit)
{
    // The limit the kernel puts on SO_RCVBUF; the upload socket's 10 MiB lies beyond a stock
    // limit (212992) and beyond this machine's unless it was raised that far.
    const long rmem_max = proc_number("/proc/sys/net/core/rmem_max");
    ASSERT_GT(rmem_max, 0);
    if (rmem_max >= UDP_UPLOAD_RECV_BUFFER)
        GTEST_SKIP() << "net.core.rmem_max is " << rmem_max << ": nothing to force";

    // Without the capability: what the limit allows, and the caller sees that it is less.
    const int capped = without_net_admin([rmem_max] {
        const int sock = udp_open_unbound();
        const int granted = udp_recv_buffer_granted(sock);
        udp_close(sock);
        return granted == rmem_max ? 0 : 1;
    });
    EXPECT_EQ(capped, 0) << "granted the system limit, " << rmem_max << " bytes";

    // With it: the whole size, through SO_RCVBUFFORCE.
    if (!may_force_buffers())
        GTEST_SKIP() << "no CAP_NET_ADMIN here";
    const int sock = udp_open_unbound();
    EXPECT_EQ(udp_recv_buffer_granted(sock), UDP_UPLOAD_RECV_BUFFER);
    EXPECT_EQ(udp_recv_buffer_size(sock), 2 * UDP_UPLOAD_RECV_BUFFER) << "the kernel's own count";
    EXPECT_EQ(udp_set_recv_buffer(sock, 3 * UDP_UPLOAD_RECV_BUFFER), 3 * UDP_UPLOAD_RECV_BUFFER);
    udp_close(sock);
    const int small = udp_open(0, false, "127.0.0.1");
    EXPECT_EQ(udp_recv_buffer_granted(small), UDP_RECV_BUFFER);
    udp_close(small);
}

TEST(WakeEvent, WakesAWaitOnASocketAndIsClearedByTheWaiter)
{
    WakeEvent wake;
    ASSERT_GE(wake.fd(), 0);
    const int sock = udp_open(0, false, "127.0.0.1");
    ASSERT_NE(sock, INVALID_SOCK);
    auto wait = [&](int timeout_ms) {
        pollfd fds[2] = {{sock, POLLIN, 0}, {wake.fd(), POLLIN, 0}};
        const int rc = ::poll(fds, 2, timeout_ms);
        return rc <= 0 ? 0 : ((fds[0].revents & POLLIN) ? 1 : 0) | ((fds[1].revents & POLLIN) ? 2 : 0);
    };
    EXPECT_EQ(wait(0), 0) << "nothing to wake for yet";

    // Notified from another thread while the loop waits: the wait ends for the event, not the
    // socket, well before its long time-out would.
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        wake.notify();
    });
    EXPECT_EQ(wait(60000), 2);
    other.join();

    // Several notifications before the waiter looks are one wake; clear() ends it.
    wake.notify();
    wake.notify();
    EXPECT_EQ(wait(0), 2);
    wake.clear();
    EXPECT_EQ(wait(0), 0);
    wake.clear(); // clearing what is clear does not block
    EXPECT_EQ(wait(0), 0);
    udp_close(sock);
}
