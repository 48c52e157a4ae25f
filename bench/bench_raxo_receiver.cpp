// Zero-loss receive rate of the Raxo receiver on loopback, beside a bare receive loop on a
// socket with the same options (the rate table of ratetable.h). The sender sends full-size
// point packets (type 14, 120 points, 1245 bytes; every 450th ends a frame). Goals: zero loss
// at 100,000 packets per second, and a zero-loss rate of at least 0.8 of the bare loop's.
//
//   bench_raxo_receiver [rate ...]

#include "fakeraxo.h"
#include "ratetable.h"
#include "recvdataproc2.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <atomic>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <thread>
#include <vector>

namespace {

using namespace ratetable;

constexpr int kPointsPerPacket = 120;
constexpr int kPacketsPerFrame = 450;

// One scan: kPacketsPerFrame packets, the last one ending the frame.
Datagrams scan_packets()
{
    std::vector<RaxoPoint> pts(kPointsPerPacket);
    for (int i = 0; i < kPointsPerPacket; ++i)
        pts[i] = raxo_point(uint16_t(500 + i), int16_t(1000 + i), int16_t(i - 60), -600, uint8_t(i));
    Datagrams scan(kPacketsPerFrame - 1, raxo_point_packet(14, 0, 0, pts, 0));
    scan.push_back(raxo_point_packet(14, 0, 0, pts, RAXO_FRAME_END));
    return scan;
}

// The worst the receiver's loop fared in the runs at each rate.
struct Loop {
    double longest_us = 0; // longest time on one read's datagrams
    long faults = 0;       // page faults after it began to read
    uint64_t dropped = 0;  // frames dropped because their posting fell behind
};
std::map<double, Loop> loops;

Result run_receiver(double rate)
{
    static const Datagrams packets = scan_packets();
    const long count = packet_count(rate, kPacketsPerFrame);
    return run_started("RecvDataProc2", [&](Result *result) {
        const int dataPort = free_port();
        const int cmdPort = free_port();
        std::atomic<long> points{0};
        std::atomic<bool> started{false}, failed{false};
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
                             else if (type == MSG_ERROR)
                                 failed = true; // a socket it could not open
                         },
                         Qt::DirectConnection);
        rx.start();
        const bool up = wait_for_start([&] { return started.load(); },
                                       [&] { return failed.load() || rx.isFinished(); });
        if (up)
            *result = send_and_count(dataPort, packets, count, rate,
                                     [&] { return points.load() / kPointsPerPacket; },
                                     raxo_point_packet(14, 0, 0, {}, RAXO_FRAME_END));
        rx.stop();
        rx.wait();
        if (up) {
            Loop &l = loops[rate];
            l.longest_us = std::max(l.longest_us, double(rx.longestBatchNs()) / 1000.0);
            l.faults = std::max(l.faults, rx.loopPageFaults());
            l.dropped = std::max(l.dropped, rx.framesDroppedBehind());
        }
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
    std::printf("receive buffer granted: %d bytes; packet %d bytes, %d points\n\n",
                granted_receive_buffer(), 45 + 10 * kPointsPerPacket, kPointsPerPacket);
    static const Datagrams packets = scan_packets();
    table("RecvDataProc2", rates, run_receiver, [](double rate) {
        return run_bare(rate, packets, kPacketsPerFrame, RecvDataProc2::kDataBufferSize);
    });
    std::printf("the receiver's loop, worst run at each rate: longest time on one read's datagrams "
                "(16 at most) before the next read, page faults after it began to read, and frames "
                "dropped because their posting fell behind\n");
    for (const auto &[rate, l] : loops)
        std::printf("%10.0f/s  %9.0f us  %6ld faults  %4llu dropped\n", rate, l.longest_us, l.faults,
                    static_cast<unsigned long long>(l.dropped));
    return 0;
}
