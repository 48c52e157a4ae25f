// Zero-loss receive rate of the Raxo receiver on loopback, beside a bare recvfrom loop on a
// socket with the same options (the limit the machine sets). A sender on 127.0.0.2 sends
// full-size point packets (type 14, 120 points, 1245 bytes; every 450th ends a frame) at
// rising rates; for each rate the table shows the packets sent, decoded (or received) and
// lost (best of three runs per rate), and the highest rate up to which nothing was lost. The
// "sent/s" column shows where the sender itself can go no faster. Goals: zero loss at 100,000
// packets per second, and a zero-loss rate of at least 0.8 of the bare loop's.

#include "fakeraxo.h"
#include "recvdataproc2.h"
#include "sockethelpers.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPointsPerPacket = 120;
constexpr int kPacketsPerFrame = 450;
constexpr double kSecondsPerRate = 0.5;
// The machines are shared: each rate runs this many times and the best run counts.
constexpr int kTrials = 3;

int bound_port(int sock)
{
    sockaddr_in a{};
    socklen_t len = sizeof(a);
    getsockname(sock, reinterpret_cast<sockaddr *>(&a), &len);
    return ntohs(a.sin_port);
}

int free_port()
{
    const int s = udp_open(0, false, "127.0.0.1");
    const int p = bound_port(s);
    udp_close(s);
    return p;
}

struct Sender {
    int sock = -1;
    std::vector<uint8_t> packet;
    std::vector<uint8_t> last;
    std::vector<uint8_t> flush;

    explicit Sender(int port)
    {
        std::vector<RaxoPoint> pts(kPointsPerPacket);
        for (int i = 0; i < kPointsPerPacket; ++i) {
            pts[i].range_cm = uint16_t(500 + i);
            pts[i].x = int16_t(1000 + i);
            pts[i].y = int16_t(i - 60);
            pts[i].z = -600;
            pts[i].intensity = uint8_t(i);
        }
        packet = raxo_point_packet(14, 0, 0, pts, 0);
        last = raxo_point_packet(14, 0, 0, pts, RAXO_FRAME_END);
        flush = raxo_point_packet(14, 0, 0, {}, RAXO_FRAME_END);
        sock = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        inet_pton(AF_INET, "127.0.0.2", &a.sin_addr);
        ::bind(sock, reinterpret_cast<sockaddr *>(&a), sizeof(a));
        a.sin_port = htons(uint16_t(port));
        inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
        ::connect(sock, reinterpret_cast<sockaddr *>(&a), sizeof(a));
    }
    ~Sender() { ::close(sock); }

    // Sends `count` packets paced to `rate` per second; returns the seconds it took.
    double run(long count, double rate)
    {
        const auto start = Clock::now();
        for (long i = 0; i < count; ++i) {
            const auto due = start + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(double(i) / rate));
            while (Clock::now() < due) {
            }
            const std::vector<uint8_t> &p = (i % kPacketsPerFrame == kPacketsPerFrame - 1) ? last : packet;
            ::send(sock, p.data(), p.size(), 0);
        }
        return std::chrono::duration<double>(Clock::now() - start).count();
    }
    void send_flush() { ::send(sock, flush.data(), flush.size(), 0); }
};

// Waits until `value` stops growing for `quiet_ms`, or reaches `target`.
void settle(const std::atomic<long> &value, long target, int quiet_ms)
{
    long seen = value.load();
    auto since = Clock::now();
    while (value.load() < target) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const long now = value.load();
        if (now != seen) {
            seen = now;
            since = Clock::now();
        } else if (Clock::now() - since > std::chrono::milliseconds(quiet_ms)) {
            break;
        }
    }
}

struct Result {
    long sent = 0;
    long got = 0;
    double send_rate = 0;
};

Result run_receiver(double rate)
{
    const long count = std::max<long>(kPacketsPerFrame,
                                      long(rate * kSecondsPerRate) / kPacketsPerFrame * kPacketsPerFrame);
    const int dataPort = free_port();
    const int cmdPort = free_port();
    std::atomic<long> points{0};
    std::atomic<bool> started{false};
    RecvDataProc2 rx;
    rx.init(dataPort, "127.0.0.2", cmdPort);
    rx.setBindAddress("127.0.0.1");
    QObject::connect(&rx, &RecvDataProc2::sig_framedata, &rx,
                     [&](std::vector<UserPointData> f, int) { points += long(f.size()); },
                     Qt::DirectConnection);
    QObject::connect(&rx, &RecvDataProc2::sig_data, &rx,
                     [&](int type, QByteArray) {
                         if (type == MSG_RECV_STARTED)
                             started = true;
                     },
                     Qt::DirectConnection);
    rx.start();
    while (!started)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Sender sender(dataPort);
    Result r;
    r.sent = count;
    r.send_rate = double(count) / sender.run(count, rate);
    const long target = count * kPointsPerPacket;
    settle(points, target, 300);
    if (points.load() < target) { // the frame end itself may be lost: close the frame
        sender.send_flush();
        settle(points, target, 200);
    }
    r.got = points.load() / kPointsPerPacket;
    rx.stop();
    rx.wait();
    return r;
}

Result run_bare(double rate)
{
    const long count = std::max<long>(kPacketsPerFrame,
                                      long(rate * kSecondsPerRate) / kPacketsPerFrame * kPacketsPerFrame);
    const int sock = udp_open(0, false, "127.0.0.1"); // same options as the receiver's sockets
    std::atomic<long> received{0};
    std::atomic<bool> running{true};
    std::thread loop([&] {
        std::vector<uint8_t> buf(RecvDataProc2::kDataBufferSize);
        while (running) {
            sockaddr_in from{};
            socklen_t flen = sizeof(from);
            if (::recvfrom(sock, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr *>(&from), &flen) > 0)
                ++received;
        }
    });
    Sender sender(bound_port(sock));
    Result r;
    r.sent = count;
    r.send_rate = double(count) / sender.run(count, rate);
    settle(received, count, 300);
    r.got = received.load();
    running = false;
    loop.join();
    udp_close(sock);
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    register_point_meta_types();
    std::vector<double> rates = {25000, 50000, 100000, 150000, 200000, 250000, 300000, 400000, 600000};
    if (argc > 1) {
        rates.clear();
        for (int i = 1; i < argc; ++i)
            rates.push_back(std::atof(argv[i]));
    }

    {
        const int probe = udp_open(0, false, "127.0.0.1");
        std::printf("receive buffer granted: %d bytes; packet %d bytes, %d points\n\n",
                    udp_recv_buffer_size(probe), 45 + 10 * kPointsPerPacket, kPointsPerPacket);
        udp_close(probe);
    }
    std::printf("%10s | %9s %11s %9s %9s | %9s %11s %9s %9s\n", "rate/s", "sent", "sent/s",
                "decoded", "lost", "sent", "sent/s", "received", "lost");
    std::printf("%10s | %41s | %41s\n", "", "RecvDataProc2", "bare recvfrom loop");
    double zeroRx = 0, zeroBare = 0;
    bool rxClean = true, bareClean = true;
    auto best = [](Result (*run)(double), double rate) {
        Result r = run(rate);
        for (int t = 1; t < kTrials && r.got < r.sent; ++t) {
            const Result again = run(rate);
            if (again.sent - again.got < r.sent - r.got)
                r = again;
        }
        return r;
    };
    for (double rate : rates) {
        const Result a = best(run_receiver, rate);
        const Result b = best(run_bare, rate);
        std::printf("%10.0f | %9ld %11.0f %9ld %9ld | %9ld %11.0f %9ld %9ld\n", rate, a.sent,
                    a.send_rate, a.got, a.sent - a.got, b.sent, b.send_rate, b.got, b.sent - b.got);
        std::fflush(stdout);
        // A rate counts only when it and every lower rate lost nothing.
        rxClean = rxClean && a.got == a.sent;
        bareClean = bareClean && b.got == b.sent;
        if (rxClean)
            zeroRx = rate;
        if (bareClean)
            zeroBare = rate;
    }
    std::printf("\nhighest zero-loss rate: RecvDataProc2 %.0f/s, bare loop %.0f/s, ratio %.2f "
                "(goal 0.80); zero loss at 100000/s: %s\n",
                zeroRx, zeroBare, zeroBare > 0 ? zeroRx / zeroBare : 0.0,
                zeroRx >= 100000 ? "yes" : "no");
    return 0;
}
