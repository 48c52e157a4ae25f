// Zero-loss packet rates of the Vimo-E and algorithm-box receivers on loopback, beside a bare
// recvfrom loop on a socket with the same options (the limit any receiver can reach here).
//
// A sender on 127.0.0.2 paces packets at rising rates to 127.0.0.1; for every rate the table
// shows what was sent, what came out of the receiver as frame points (counted in packets), and
// what was lost. Goals: zero loss at 100,000 packets/s, and a zero-loss rate of at least 0.8 of
// the bare loop's.
//
//   bench_receivers [packets per trial, default 36000] [repeats per rate, default 1]

#include "lhframe.h"
#include "recvboxdataproc.h"
#include "recvdataproc3.h"
#include "sockethelpers.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <sys/select.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kVimoPoints = 128;        // 1316-byte packets, as the sensor sends them
constexpr int kVimoFramePackets = 180;  // 23040 points
constexpr int kBoxPoints = 100;         // 1354-byte datagrams
constexpr int kBoxFramePackets = 10;

const double kRates[] = {25e3, 50e3, 100e3, 150e3, 200e3, 300e3, 400e3, 500e3, 700e3, 1e6};

int free_port()
{
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    ::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof(a));
    socklen_t len = sizeof(a);
    getsockname(s, reinterpret_cast<sockaddr *>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}

bool port_is_free(int port)
{
    const int s = udp_open(port, false, "127.0.0.1");
    if (s == INVALID_SOCK)
        return false;
    udp_close(s);
    return true;
}

std::vector<std::vector<uint8_t>> vimo_packets()
{
    std::vector<std::vector<uint8_t>> out;
    for (int k = 0; k < kVimoFramePackets; ++k) {
        std::vector<uint8_t> d(36 + 10 * kVimoPoints, 0);
        d[0] = 0;
        wr_u16(&d[5], kVimoPoints);
        wr_u16(&d[7], uint16_t(k));
        for (int j = 0; j < kVimoPoints; ++j) {
            // A scan: azimuth across the frame, elevation over 64 lines.
            const uint64_t range = 2000 + uint64_t(j * 37 + k) % 60000;
            const uint64_t e = 60000 + uint64_t(j % 64) * 937;
            const uint64_t a = uint64_t(k * kVimoPoints + j) * 15 % 360000;
            const uint64_t v = range | (e >> 12) << 24 | (e & 0xFFF) << 32 | a << 44;
            wr_u64(&d[36 + 10 * j], v);
            d[36 + 10 * j + 8] = uint8_t(j);
        }
        out.push_back(std::move(d));
    }
    return out;
}

std::vector<std::vector<uint8_t>> box_packets()
{
    std::vector<std::vector<uint8_t>> out;
    for (int k = 0; k < kBoxFramePackets; ++k) {
        std::vector<uint8_t> d(54 + 13 * kBoxPoints, 0);
        std::memcpy(&d[0], "LHAB", 4);
        d[5] = kBoxPoints;
        d[11] = k == kBoxFramePackets - 1 ? 2 : 0;
        for (int j = 0; j < kBoxPoints; ++j) {
            const float xyz[3] = {float(j), float(k), 1.5f};
            std::memcpy(&d[54 + 13 * j], xyz, sizeof(xyz));
            d[54 + 13 * j + 12] = uint8_t(j);
        }
        out.push_back(std::move(d));
    }
    return out;
}

// One receiver under test: started on a port, counting the packets it has turned into output.
struct Target {
    std::string name;
    std::function<void(int port)> start;
    std::function<void()> stop;
    std::function<uint64_t()> received; // packets
    std::vector<std::vector<uint8_t>> packets;
};

struct Trial {
    double target = 0;
    double achieved = 0;
    uint64_t sent = 0;
    uint64_t received = 0;
};

Trial run_trial(Target &t, double rate, uint64_t count)
{
    const int port = free_port();
    t.start(port);

    const int tx = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in src{};
    src.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.2", &src.sin_addr);
    ::bind(tx, reinterpret_cast<sockaddr *>(&src), sizeof(src));
    sockaddr_in dst{};
    dst.sin_family = AF_INET;
    dst.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, "127.0.0.1", &dst.sin_addr);

    Trial r;
    r.target = rate;
    const auto period = std::chrono::duration<double>(1.0 / rate);
    const auto t0 = Clock::now();
    for (uint64_t i = 0; i < count; ++i) {
        const auto due = t0 + std::chrono::duration_cast<Clock::duration>(period * double(i));
        while (Clock::now() < due) {
        }
        const auto &p = t.packets[i % t.packets.size()];
        if (::sendto(tx, p.data(), p.size(), 0, reinterpret_cast<sockaddr *>(&dst), sizeof(dst))
            == ssize_t(p.size()))
            ++r.sent;
    }
    const double secs = std::chrono::duration<double>(Clock::now() - t0).count();
    r.achieved = double(r.sent) / secs;

    // Let the receiver drain what is queued: done when everything is in, or nothing has moved
    // for 200 ms.
    uint64_t last = t.received();
    auto still = Clock::now();
    while (last < r.sent && Clock::now() - still < std::chrono::milliseconds(200)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const uint64_t now = t.received();
        if (now != last) {
            last = now;
            still = Clock::now();
        }
    }
    r.received = t.received();
    ::close(tx);
    t.stop();
    return r;
}

// The floor: receive and count, nothing else. It drains the socket the way the receivers do
// (take what is waiting, wait with select only when nothing is), so the difference to a receiver
// is the receiver's own work.
Target bare_target(size_t buffer, long wait_us)
{
    auto state = std::make_shared<std::pair<std::atomic<bool>, std::atomic<uint64_t>>>();
    auto thread = std::make_shared<std::thread>();
    Target t;
    t.name = "bare recvfrom";
    t.packets = vimo_packets();
    t.start = [state, thread, buffer, wait_us](int port) {
        state->first = true;
        state->second = 0;
        const int s = udp_open(port, false, "127.0.0.1");
        *thread = std::thread([state, s, buffer, wait_us] {
            std::vector<uint8_t> buf(buffer);
            while (state->first.load(std::memory_order_relaxed)) {
                const ssize_t n = ::recvfrom(s, buf.data(), buf.size(), MSG_DONTWAIT, nullptr, nullptr);
                if (n > 0) {
                    state->second.fetch_add(1, std::memory_order_relaxed);
                    continue;
                }
                fd_set rd;
                FD_ZERO(&rd);
                FD_SET(s, &rd);
                timeval tv{wait_us / 1000000, wait_us % 1000000};
                ::select(s + 1, &rd, nullptr, nullptr, &tv);
            }
            udp_close(s);
        });
    };
    t.stop = [state, thread] {
        state->first = false;
        thread->join();
    };
    t.received = [state] { return state->second.load(); };
    return t;
}

Target vimo_target()
{
    auto points = std::make_shared<std::atomic<uint64_t>>(0);
    auto rx = std::make_shared<std::unique_ptr<RecvDataProc3>>();
    Target t;
    t.name = "Vimo-E receiver";
    t.packets = vimo_packets();
    t.start = [points, rx](int port) {
        *points = 0;
        *rx = std::make_unique<RecvDataProc3>();
        RecvDataProc3 *r = rx->get();
        r->setBindAddress("127.0.0.1");
        r->init(port, "127.0.0.2", 6000);
        std::atomic<bool> started{false};
        QObject::connect(r, &RecvDataProc3::sig_data, r,
                         [&started](int type, QByteArray) { started = started || type == 6; },
                         Qt::DirectConnection);
        QObject::connect(
            r, &RecvDataProc3::sig_framedata, r,
            [points](const std::vector<UserPointData> &f, int) {
                // What a queued connection to the window costs: one copy of the frame.
                const std::vector<UserPointData> copy(f);
                points->fetch_add(copy.size(), std::memory_order_relaxed);
            },
            Qt::DirectConnection);
        r->start();
        while (!started)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QObject::disconnect(r, &RecvDataProc3::sig_data, r, nullptr);
    };
    t.stop = [rx] {
        (*rx)->stop();
        (*rx)->wait();
        rx->reset();
    };
    t.received = [points] { return points->load() / kVimoPoints; };
    return t;
}

Target box_target()
{
    auto points = std::make_shared<std::atomic<uint64_t>>(0);
    auto rx = std::make_shared<std::unique_ptr<RecvBoxDataProc>>();
    Target t;
    t.name = "box receiver";
    t.packets = box_packets();
    t.start = [points, rx](int port) {
        *points = 0;
        *rx = std::make_unique<RecvBoxDataProc>();
        RecvBoxDataProc *r = rx->get();
        r->setBindAddress("127.0.0.1");
        r->init(port, "127.0.0.2", free_port());
        QObject::connect(
            r, &RecvBoxDataProc::sig_framedata, r,
            [points](const std::vector<UserPointData> &f, int) {
                const std::vector<UserPointData> copy(f);
                points->fetch_add(copy.size(), std::memory_order_relaxed);
            },
            Qt::DirectConnection);
        r->start();
        // The loop is up once it holds its port.
        while (port_is_free(port))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    t.stop = [rx] {
        (*rx)->stop();
        (*rx)->wait();
        rx->reset();
    };
    t.received = [points] { return points->load() / kBoxPoints; };
    return t;
}

// Highest achieved rate among the trials without loss.
double zero_loss_rate(const std::vector<Trial> &trials)
{
    double best = 0;
    for (const Trial &t : trials)
        if (t.received >= t.sent && t.achieved > best)
            best = t.achieved;
    return best;
}

// Every trial at this target rate went without loss.
bool zero_loss_at(const std::vector<Trial> &trials, double rate)
{
    bool any = false;
    for (const Trial &t : trials) {
        if (t.target != rate)
            continue;
        if (t.received < t.sent)
            return false;
        any = true;
    }
    return any;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    register_point_meta_types();
    const uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 36000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 1;

    // Each receiver beside a bare loop with its buffer size and its wait.
    std::vector<Target> targets = {bare_target(4096, 100), vimo_target(), box_target()};
    Target bare_box = bare_target(8192, 1000000);
    bare_box.name = "bare recvfrom (box packets)";
    bare_box.packets = box_packets();
    targets.insert(targets.begin() + 2, std::move(bare_box));

    std::printf("%-28s %10s %10s %9s %9s %7s\n", "receiver", "target/s", "sent/s", "sent",
                "received", "lost");
    std::vector<std::vector<Trial>> results;
    for (Target &t : targets) {
        std::vector<Trial> trials;
        for (double rate : kRates) {
            for (int rep = 0; rep < repeats; ++rep) {
                const Trial r = run_trial(t, rate, count);
                std::printf("%-28s %10.0f %10.0f %9llu %9llu %7lld\n", t.name.c_str(), r.target,
                            r.achieved, static_cast<unsigned long long>(r.sent),
                            static_cast<unsigned long long>(r.received),
                            static_cast<long long>(r.sent) - static_cast<long long>(r.received));
                std::fflush(stdout);
                trials.push_back(r);
            }
        }
        results.push_back(std::move(trials));
    }

    std::printf("\nzero-loss rate (packets/s):\n");
    for (size_t i = 0; i < targets.size(); ++i)
        std::printf("  %-28s %10.0f\n", targets[i].name.c_str(), zero_loss_rate(results[i]));
    const double vimo_ratio = zero_loss_rate(results[1]) / zero_loss_rate(results[0]);
    const double box_ratio = zero_loss_rate(results[3]) / zero_loss_rate(results[2]);
    std::printf("\nVimo-E receiver: zero loss at 100000/s: %s; %.2f of the bare loop's rate "
                "(goal 0.80): %s\n",
                zero_loss_at(results[1], 100e3) ? "yes" : "NO", vimo_ratio,
                vimo_ratio >= 0.8 ? "met" : "NOT MET");
    std::printf("box receiver:    zero loss at 100000/s: %s; %.2f of the bare loop's rate "
                "(goal 0.80): %s\n",
                zero_loss_at(results[3], 100e3) ? "yes" : "NO", box_ratio,
                box_ratio >= 0.8 ? "met" : "NOT MET");
    return 0;
}
