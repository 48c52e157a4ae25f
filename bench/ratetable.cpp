#include "ratetable.h"

#include "sockethelpers.h"
#include "udpbatch.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <algorithm>
#include <chrono>
#include <cmath>
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

void bare_loop(int sock, const std::atomic<bool> &running, std::atomic<long> &received, size_t read_size)
{
    // Reads as the receivers read: what is waiting, 16 datagrams per call, then a wait.
    UdpBatch batch(16, read_size);
    while (running) {
        const int n = batch.receive(sock);
        if (n > 0) {
            received += n;
            continue;
        }
        pollfd p{sock, POLLIN, 0};
        ::poll(&p, 1, 100);
    }
}

Result run_bare(double rate, const Datagrams &packets, int per_round, size_t read_size)
{
    const long count = packet_count(rate, per_round);
    const int sock = udp_open(0, false, "127.0.0.1"); // the receivers' socket options
    std::atomic<long> received{0};
    std::atomic<bool> running{true};
    std::thread loop([&] { bare_loop(sock, running, received, read_size); });
    const Result r = send_and_count(bound_port(sock), packets, count, rate,
                                    [&] { return received.load(); });
    running = false;
    loop.join();
    udp_close(sock);
    return r;
}

namespace {

// What a row credits: the rate the sender really reached, never more than the rate asked for
// (a sender that fell short tested that much and no more).
double credited(const Result &r, double rate)
{
    return std::min(rate, r.send_rate);
}

struct Ceiling {
    double clean = 0;    // highest credited rate up to which every row lost nothing
    double lossy = 0;    // lowest rate asked for that lost something (0: none did)
    bool sender_short = false; // the sender fell short of a rate asked for below `lossy`
};

void print_row(const char *mark, double rate, const Result &a, const Result &b)
{
    std::printf("%1s%9.0f | %9ld %11.0f %9ld %9ld | %9ld %11.0f %9ld %9ld\n", mark, rate, a.sent,
                a.send_rate, a.got, a.sent - a.got, b.sent, b.send_rate, b.got, b.sent - b.got);
    std::fflush(stdout);
}

void note_row(Ceiling &c, double rate, const Result &r)
{
    if (c.lossy > 0)
        return;
    if (r.got == r.sent) {
        c.clean = std::max(c.clean, credited(r, rate));
        if (r.send_rate < 0.98 * rate)
            c.sender_short = true;
    } else {
        c.lossy = rate;
    }
}

// Between the highest clean rate and the lowest lossy one, halves the interval until it is
// within 5 % of the clean rate, so that a ratio anywhere between 0.75 and 1 shows.
void refine(Ceiling &c, const std::function<Result(double)> &run, const char *which,
            const std::function<Result(double)> &other, bool receiver_first)
{
    double lo = c.clean;
    double hi = c.lossy;
    while (hi > 0 && lo > 0 && hi - lo > 0.05 * lo) {
        const double mid = std::round((lo + hi) / 2 / 1000) * 1000;
        if (mid <= lo || mid >= hi)
            break;
        const Result r = best(run, mid);
        const Result o = best(other, mid);
        print_row(which, mid, receiver_first ? r : o, receiver_first ? o : r);
        if (r.got == r.sent) {
            lo = std::max(lo, credited(r, mid));
            if (r.send_rate < 0.98 * mid) {
                c.sender_short = true;
                break; // the sender can go no faster: nothing above this can be told apart
            }
        } else {
            hi = mid;
        }
    }
    c.clean = lo;
    c.lossy = hi;
}

} // namespace

void table(const char *name, const std::vector<double> &rates,
           const std::function<Result(double)> &receiver, const std::function<Result(double)> &bare)
{
    std::printf("%10s | %9s %11s %9s %9s | %9s %11s %9s %9s\n", "rate/s", "sent", "sent/s",
                "decoded", "lost", "sent", "sent/s", "received", "lost");
    std::printf("%10s | %41s | %41s\n", "", name, "bare receive loop");
    Ceiling rx, floor;
    for (double rate : rates) {
        const Result a = best(receiver, rate);
        const Result b = best(bare, rate);
        print_row("", rate, a, b);
        // A rate counts only when it and every lower rate lost nothing.
        note_row(rx, rate, a);
        note_row(floor, rate, b);
    }
    // The ladder's steps are coarse where it matters: look closer at each ceiling.
    refine(rx, receiver, "r", bare, true);
    refine(floor, bare, "b", receiver, false);

    auto said = [](const Ceiling &c) {
        return c.lossy == 0 || c.sender_short ? " (or more: the sender went no faster)" : "";
    };
    std::printf("\n(rows marked r and b look closer at the receiver's and the bare loop's ceiling; "
                "rates are credited as the sender reached them)\n");
    std::printf("highest zero-loss rate: %s %.0f/s%s, bare loop %.0f/s%s\n", name, rx.clean,
                said(rx), floor.clean, said(floor));
    std::printf("ratio %.2f (goal 0.80); zero loss at 100000/s: %s\n\n",
                floor.clean > 0 ? rx.clean / floor.clean : 0.0,
                rx.clean >= 100000 * 0.98 ? "yes" : "no");
}

std::vector<double> rates_from(int argc, char **argv)
{
    std::vector<double> rates = {25000,  50000,  75000,  100000, 125000, 150000,
                                 200000, 250000, 300000, 400000, 600000};
    if (argc > 1) {
        rates.clear();
        for (int i = 1; i < argc; ++i)
            rates.push_back(std::atof(argv[i]));
    }
    return rates;
}

bool wait_for_start(const std::function<bool()> &up, const std::function<bool()> &failed,
                    int timeout_ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!up()) {
        if (failed() || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return !failed();
}

Result run_started(const char *name, const std::function<bool(Result *)> &attempt)
{
    constexpr int kAttempts = 3;
    for (int i = 1; i <= kAttempts; ++i) {
        Result r;
        if (attempt(&r))
            return r;
        std::fprintf(stderr, "%s did not start (attempt %d of %d)\n", name, i, kAttempts);
    }
    std::fprintf(stderr, "%s never started: giving up\n", name);
    std::exit(2);
}

int granted_receive_buffer()
{
    const int probe = udp_open(0, false, "127.0.0.1");
    const int granted = udp_recv_buffer_granted(probe);
    udp_close(probe);
    return granted;
}

double idle_cpu_percent(double seconds)
{
    auto cpu = [] {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
            + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    const double before = cpu();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return (cpu() - before) / seconds * 100.0;
}

} // namespace ratetable
