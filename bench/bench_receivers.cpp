// Zero-loss receive rates of the Vimo-E and algorithm-box receivers on loopback, each beside a
// bare receive loop on a socket with the same options (the rate table of ratetable.h), and what
// each costs while no traffic comes (goal: about nothing, as the Raxo receiver). The
// sender sends full-size packets: Vimo-E point packets of 128 points (1316 bytes, a frame every
// 180), box "LHAB" datagrams of 100 points (1354 bytes, a frame end every 10th). Goals: zero
// loss at 100,000 packets per second, and a zero-loss rate of at least 0.8 of the bare loop's.
//
//   bench_receivers [rate ...]

#include "devicepackets.h"
#include "ratetable.h"
#include "recvboxdataproc.h"
#include "recvdataproc3.h"
#include "sockethelpers.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using namespace ratetable;

constexpr int kVimoPoints = 128;
constexpr int kVimoFramePackets = 180; // 23040 points
constexpr int kBoxPoints = 100;
constexpr int kBoxFramePackets = 10;

// One Vimo-E frame: a scan with the azimuth across the frame and the elevation over 64 lines.
Datagrams vimo_packets()
{
    Datagrams out;
    for (int k = 0; k < kVimoFramePackets; ++k) {
        std::vector<VimoPoint> pts(kVimoPoints);
        for (int j = 0; j < kVimoPoints; ++j) {
            pts[size_t(j)].range_mm = uint32_t(2000 + (j * 37 + k) % 60000);
            pts[size_t(j)].elevation = uint32_t(60000 + (j % 64) * 937);
            pts[size_t(j)].azimuth = uint32_t(uint64_t(k * kVimoPoints + j) * 15 % 360000);
            pts[size_t(j)].intensity = uint8_t(j);
        }
        out.push_back(make_vimo_e_packet(0, pts, 0, 0, 0, uint16_t(k)));
    }
    return out;
}

std::vector<uint8_t> box_datagram(int points, bool frame_end)
{
    std::vector<BoxPoint> pts(static_cast<size_t>(points));
    for (int j = 0; j < points; ++j)
        pts[size_t(j)] = {float(j), float(-j), 1.5f, uint8_t(j)};
    return make_box_packet(pts, frame_end ? 2 : 0, 0);
}

Datagrams box_packets()
{
    Datagrams out;
    for (int k = 0; k < kBoxFramePackets; ++k)
        out.push_back(box_datagram(kBoxPoints, k == kBoxFramePackets - 1));
    return out;
}

Result run_vimo(double rate)
{
    static const Datagrams packets = vimo_packets();
    const long count = packet_count(rate, kVimoFramePackets);
    return run_started("RecvDataProc3", [&](Result *result) {
        const int port = free_port();
        std::atomic<bool> started{false}, failed{false};
        RecvDataProc3 rx;
        rx.setBindAddress("127.0.0.1");
        rx.init(port, "127.0.0.2", free_port());
        // What a queued connection to the window costs: one copy of each frame.
        QObject::connect(&rx, &RecvDataProc3::sig_framedata, &rx,
                         [](std::vector<UserPointData> f, int) { (void)f; }, Qt::DirectConnection);
        QObject::connect(&rx, &RecvDataProc3::sig_data, &rx,
                         [&](int type, QByteArray) {
                             if (type == MSG_RECV_STARTED)
                                 started = true;
                             else if (type == MSG_ERROR)
                                 failed = true;
                         },
                         Qt::DirectConnection);
        rx.start();
        const bool up = wait_for_start([&] { return started.load(); },
                                       [&] { return failed.load() || rx.isFinished(); });
        // Frames close by point count, so a loss leaves a partial frame: count decoded packets.
        if (up)
            *result = send_and_count(port, packets, count, rate,
                                     [&] { return long(rx.pointPacketCount()); });
        rx.stop();
        rx.wait();
        return up;
    });
}

// The CPU a receiver takes while it waits for traffic that does not come.
template <class Receiver>
double idle(Receiver &rx, int port)
{
    rx.setBindAddress("127.0.0.1");
    rx.init(port, "127.0.0.2", free_port());
    rx.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // past its start-up
    const double percent = idle_cpu_percent(2.0);
    rx.stop();
    rx.wait();
    return percent;
}

// Stands where the box would be. The box receiver says nothing when it starts, but its first
// act on its open socket is to greet the box: that greeting is its word that it is up.
class BoxGreeting {
public:
    BoxGreeting() : sock_(udp_open(0, false, "127.0.0.2")) {}
    ~BoxGreeting()
    {
        if (sock_ != INVALID_SOCK)
            udp_close(sock_);
    }
    BoxGreeting(const BoxGreeting &) = delete;
    BoxGreeting &operator=(const BoxGreeting &) = delete;

    int port() const { return sock_ == INVALID_SOCK ? 0 : bound_port(sock_); }
    bool heard()
    {
        char buf[64];
        while (!heard_ && sock_ != INVALID_SOCK) {
            const ssize_t n = ::recv(sock_, buf, sizeof buf, MSG_DONTWAIT);
            if (n < 0)
                break;
            heard_ = n == 5 && std::memcmp(buf, "hello", 5) == 0;
        }
        return heard_;
    }

private:
    int sock_;
    bool heard_ = false;
};

Result run_box(double rate)
{
    static const Datagrams packets = box_packets();
    const long count = packet_count(rate, kBoxFramePackets);
    return run_started("RecvBoxDataProc", [&](Result *result) {
        const int port = free_port();
        BoxGreeting box;
        std::atomic<long> points{0};
        std::atomic<bool> failed{false};
        RecvBoxDataProc rx;
        rx.setBindAddress("127.0.0.1");
        rx.init(port, "127.0.0.2", box.port());
        QObject::connect(&rx, &RecvBoxDataProc::sig_framedata, &rx,
                         [&](std::vector<UserPointData> f, int) { points += long(f.size()); },
                         Qt::DirectConnection);
        QObject::connect(&rx, &RecvBoxDataProc::sig_data, &rx,
                         [&](int type, QByteArray) {
                             if (type == MSG_ERROR)
                                 failed = true;
                         },
                         Qt::DirectConnection);
        rx.start();
        const bool up = wait_for_start([&] { return box.heard(); },
                                       [&] { return failed.load() || rx.isFinished(); });
        if (up)
            *result = send_and_count(port, packets, count, rate,
                                     [&] { return points.load() / kBoxPoints; },
                                     box_datagram(0, true));
        rx.stop();
        rx.wait();
        return up;
    });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The receivers' trace lines would interleave with the table.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    register_point_meta_types();
    const std::vector<double> rates = rates_from(argc, argv);
    std::printf("receive buffer granted: %d bytes\n\n", granted_receive_buffer());
    {
        RecvDataProc3 vimo;
        RecvBoxDataProc box;
        const double v = idle(vimo, free_port());
        const double b = idle(box, free_port());
        std::printf("idle, no traffic for 2 s: RecvDataProc3 %.1f %%, RecvBoxDataProc %.1f %% of a core\n\n",
                    v, b);
    }

    static const Datagrams vimo = vimo_packets();
    std::printf("Vimo-E: packet %d bytes, %d points\n", 36 + 10 * kVimoPoints, kVimoPoints);
    table("RecvDataProc3", rates, run_vimo,
          [](double rate) { return run_bare(rate, vimo, kVimoFramePackets, 4096); });

    static const Datagrams box = box_packets();
    std::printf("Algorithm box: datagram %d bytes, %d points\n", 54 + 13 * kBoxPoints, kBoxPoints);
    table("RecvBoxDataProc", rates, run_box,
          [](double rate) { return run_bare(rate, box, kBoxFramePackets, 8192); });
    return 0;
}
