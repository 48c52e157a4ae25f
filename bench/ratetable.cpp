#include "ratetable.h"

#include "sockethelpers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace ratetable {

namespace {

using Clock = std::chrono::steady_clock;

Result best(const std::function<Result(double)> &run, double rate)
{
    Result r = run(rate);
    for (int t = 1; t < kTrials && r.got < r.sent; ++t) {
        const Result again = run(rate);
        if (again.sent - again.got < r.sent - r.got)
            r = again;
    }
    return r;
}

} // namespace

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

Sender::Sender(int port, const Datagrams &packets) : packets_(packets)
{
    sock_ = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.2", &a.sin_addr);
    ::bind(sock_, reinterpret_cast<sockaddr *>(&a), sizeof(a));
    a.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    ::connect(sock_, reinterpret_cast<sockaddr *>(&a), sizeof(a));
}

Sender::~Sender()
{
    ::close(sock_);
}

double Sender::run(long count, double rate)
{
    const auto start = Clock::now();
    for (long i = 0; i < count; ++i) {
        const auto due = start + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(double(i) / rate));
        while (Clock::now() < due) {
        }
        const std::vector<uint8_t> &p = packets_[size_t(i) % packets_.size()];
        ::send(sock_, p.data(), p.size(), 0);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Sender::send(const std::vector<uint8_t> &datagram)
{
    ::send(sock_, datagram.data(), datagram.size(), 0);
}

long packet_count(double rate, int per_round)
{
    return std::max<long>(per_round, long(rate * kSecondsPerRate) / per_round * per_round);
}

void settle(const std::function<long()> &value, long target, int quiet_ms)
{
    long seen = value();
    auto since = Clock::now();
    while (value() < target) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const long now = value();
        if (now != seen) {
            seen = now;
            since = Clock::now();
        } else if (Clock::now() - since > std::chrono::milliseconds(quiet_ms)) {
            break;
        }
    }
}

Result send_and_count(int port, const Datagrams &packets, long count, double rate,
                      const std::function<long()> &decoded, const std::vector<uint8_t> &flush)
{
    Sender sender(port, packets);
    Result r;
    r.sent = count;
    r.send_rate = double(count) / sender.run(count, rate);
    settle(decoded, count, 300);
    if (!flush.empty() && decoded() < count) {
        sender.send(flush);
        settle(decoded, count, 200);
    }
    r.got = decoded();
    return r;
}

Result run_bare(double rate, const Datagrams &packets, int per_round, size_t read_size)
{
    const long count = packet_count(rate, per_round);
    const int sock = udp_open(0, false, "127.0.0.1"); // the receivers' socket options
    std::atomic<long> received{0};
    std::atomic<bool> running{true};
    std::thread loop([&] {
        std::vector<uint8_t> buf(read_size);
        while (running) {
            sockaddr_in from{};
            socklen_t flen = sizeof(from);
            if (::recvfrom(sock, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr *>(&from), &flen) > 0)
                ++received;
        }
    });
    const Result r = send_and_count(bound_port(sock), packets, count, rate,
                                    [&] { return received.load(); });
    running = false;
    loop.join();
    udp_close(sock);
    return r;
}

void table(const char *name, const std::vector<double> &rates,
           const std::function<Result(double)> &receiver, const std::function<Result(double)> &bare)
{
    std::printf("%10s | %9s %11s %9s %9s | %9s %11s %9s %9s\n", "rate/s", "sent", "sent/s",
                "decoded", "lost", "sent", "sent/s", "received", "lost");
    std::printf("%10s | %41s | %41s\n", "", name, "bare recvfrom loop");
    double zeroRx = 0, zeroBare = 0;
    bool rxClean = true, bareClean = true;
    for (double rate : rates) {
        const Result a = best(receiver, rate);
        const Result b = best(bare, rate);
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
    std::printf("\nhighest zero-loss rate: %s %.0f/s, bare loop %.0f/s, ratio %.2f "
                "(goal 0.80); zero loss at 100000/s: %s\n\n",
                name, zeroRx, zeroBare, zeroBare > 0 ? zeroRx / zeroBare : 0.0,
                zeroRx >= 100000 ? "yes" : "no");
}

std::vector<double> rates_from(int argc, char **argv)
{
    std::vector<double> rates = {25000, 50000, 100000, 150000, 200000, 250000, 300000, 400000, 600000};
    if (argc > 1) {
        rates.clear();
        for (int i = 1; i < argc; ++i)
            rates.push_back(std::atof(argv[i]));
    }
    return rates;
}

int granted_receive_buffer()
{
    const int probe = udp_open(0, false, "127.0.0.1");
    const int granted = udp_recv_buffer_size(probe);
    udp_close(probe);
    return granted;
}

} // namespace ratetable
