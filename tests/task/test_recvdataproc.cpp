// The Fenk-U receiver's loop against a fake Fenk-U sensor on loopback: measurements, the source
// filter and the recorder, commands and replies, the time sync, firmware uploads from the
// host port + 100 and their failures, and the start-up failure. The receiver binds 127.0.0.1;
// the fake sends from 127.0.0.2.

#include "checksum.h"
#include "fakefenku.h"
#include "fenkutesthelpers.h"
#include "lhframe.h"
#include "logmanager.h"
#include "sockethelpers.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int kWaitMs = 5000;

bool port_free(int port)
{
    const int s = udp_open(port, false, "127.0.0.1");
    if (s == INVALID_SOCK)
        return false;
    udp_close(s);
    return true;
}

// A host port whose upload port (+ 100) is free as well.
int free_port_pair()
{
    for (int tries = 0; tries < 50; ++tries) {
        const int port = free_udp_port();
        if (port + 100 <= 65535 && port_free(port + 100))
            return port;
    }
    return 0;
}

std::vector<uint8_t> pattern(size_t n, uint32_t seed)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t((i * 151 + seed * 13) ^ (i >> 7));
    return v;
}

std::vector<std::array<float, 3>> some_points(size_t n, float base)
{
    std::vector<std::array<float, 3>> p(n);
    for (size_t i = 0; i < n; ++i)
        p[i] = {base + float(i), 2.0f * float(i), -500.0f};
    return p;
}

class FenkSession : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fake.ok()); }

    void make(int hostPort = 0)
    {
        hostPort_ = hostPort != 0 ? hostPort : free_port_pair();
        ASSERT_NE(hostPort_, 0);
        rx = new RecvDataProc;
        rx->init(QString::fromStdString(fake.ip()), fake.port(), hostPort_);
        rx->setBindAddress("127.0.0.1");
        collect(rx, &context, &posted);
        fake.set_host("127.0.0.1", hostPort_);
    }

    void start(int hostPort = 0)
    {
        make(hostPort);
        rx->start();
        ASSERT_TRUE(wait([&] { return posted.count(MSG_RECV_STARTED) == 1; }));
    }

    template <typename F>
    bool wait(F done, int ms = kWaitMs)
    {
        return QTest::qWaitFor(done, ms);
    }

    void TearDown() override
    {
        fake.stop_stream();
        if (rx != nullptr) {
            rx->stop();
            EXPECT_TRUE(rx->wait(5000));
            QCoreApplication::processEvents();
            delete rx;
        }
        LogManager::instance()->stop(LogManager::kModeDump);
    }

    QByteArray last_reply() const { return posted.last(MSG_CMD_INFO); }

    // Sends a frame and waits until it has been posted: the loop is alive and caught up.
    void expect_frame_through(size_t points)
    {
        const size_t before = posted.frames.size();
        fake.send_all(fenku_frame(1, uint16_t(points), 1, lp_xyz_content(some_points(points, 1.0f))));
        ASSERT_TRUE(wait([&] { return posted.frames.size() == before + 1; }));
        EXPECT_EQ(posted.frames.back().size(), points);
    }

    FakeFenkU fake;
    RecvDataProc *rx = nullptr;
    QObject context;
    FenkPosted posted;
    int hostPort_ = 0;
};

} // namespace

TEST_F(FenkSession, HeaderAndDataSubPackageFromTheSensorMakeOneFrame)
{
    const std::string logdir = testsupport::make_temp_subdir("rec") + "/logdata/";
    ASSERT_TRUE(LogManager::instance()->start(logdir, "fenku", 1, LogManager::kModeDump));
    start();

    FakePeer stranger("127.0.0.3");
    ASSERT_TRUE(stranger.ok());
    for (const auto &d : fenku_frame(1, 2, 1, lp_xyz_content(some_points(2, 9.0f))))
        stranger.send_to("127.0.0.1", hostPort_, d);

    const auto points = some_points(3, 1234.0f);
    const auto frame = fenku_frame(1, 3, 1, lp_xyz_content(points));
    ASSERT_EQ(frame.size(), 2u);
    fake.send_all(frame);
    ASSERT_TRUE(wait([&] { return posted.frames.size() == 1; }));
    const std::vector<UserPointData> f = posted.frames[0];
    ASSERT_EQ(f.size(), 3u) << "the stranger's frame is not taken";
    EXPECT_EQ(posted.frameTypes[0], LIDAR_FENK_U);
    const float x0 = f[0].x, y2 = f[2].y, z1 = f[1].z;
    EXPECT_FLOAT_EQ(x0, 1.234f);
    EXPECT_FLOAT_EQ(y2, 0.004f);
    EXPECT_FLOAT_EQ(z1, -0.5f);

    const auto plane = fenku_frame(3, 3, 1, lp_u16_content({10000, 2, 0}));
    fake.send_all(plane);
    ASSERT_TRUE(wait([&] { return posted.frames.size() == 2; }));
    const int in0 = posted.frames[1][0].intensity, in1 = posted.frames[1][1].intensity;
    EXPECT_EQ(in0, 100);
    EXPECT_EQ(in1, 1);
    EXPECT_EQ(posted.count(MSG_RUN_STATE, "lidar data reception is ok"), 1);

    LogManager::instance()->stop(LogManager::kModeDump);
    LogManager::instance()->wait_stopped();
    const auto recorded = dump_payloads(logdir, LIDAR_FENK_U);
    ASSERT_EQ(recorded.size(), 4u) << "every datagram of the sensor, none of the stranger's";
    EXPECT_EQ(recorded[0], frame[0]);
    EXPECT_EQ(recorded[1], frame[1]);
    EXPECT_EQ(recorded[2], plane[0]);
    EXPECT_EQ(recorded[3], plane[1]);
}

TEST_F(FenkSession, OneChangedByteAndNoFrame)
{
    start();
    auto frame = fenku_frame(1, 3, 1, lp_xyz_content(some_points(3, 5.0f)));
    frame[1][16 + 13] ^= 0x20; // one payload byte of the data sub-package
    fake.send_all(frame);
    expect_frame_through(5);
    EXPECT_EQ(posted.frames.size(), 1u) << "only the unchanged frame";
}

TEST_F(FenkSession, CommandsGoOutAndWholeRepliesComeBack)
{
    make();
    const std::vector<uint8_t> query = lh_make_sum_frame(0, 1234, 7, "\0", 1);
    EXPECT_TRUE(rx->SendCmd(reinterpret_cast<const char *>(query.data()), int(query.size())))
        << "no socket yet: accepted, nothing sent";
    rx->start();
    ASSERT_TRUE(wait([&] { return posted.count(MSG_RECV_STARTED) == 1; }));
    EXPECT_EQ(fake.commands().size(), 0u);

    ASSERT_TRUE(rx->SendCmd(reinterpret_cast<const char *>(query.data()), int(query.size())));
    ASSERT_TRUE(fake.wait_commands(1, kWaitMs));
    EXPECT_EQ(fake.commands()[0], query);
    // The reception message follows the reply: wait for both.
    ASSERT_TRUE(wait([&] {
        return posted.count(MSG_CMD_INFO) == 1
            && posted.count(MSG_RUN_STATE, "lidar cmd reception is ok") == 1;
    }));
    const std::vector<uint8_t> reply = make_command_reply(7, {0, 0, 0, 0});
    EXPECT_EQ(last_reply(), QByteArray(reinterpret_cast<const char *>(reply.data()), int(reply.size())));

    // A reply shorter than its length field claims is not posted.
    std::vector<uint8_t> lying = make_command_reply(8, {1, 2, 3});
    wr_u32(&lying[8], 40);
    fake.send_data(lying);
    const std::vector<uint8_t> last = make_command_reply(8, {0, 0, 0, 0});
    fake.send_data(last);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_CMD_INFO) == 2; }));
    EXPECT_EQ(last_reply(), QByteArray(reinterpret_cast<const char *>(last.data()), int(last.size())));
    EXPECT_EQ(posted.count(MSG_RUN_STATE, "lidar cmd reception is ok"), 1);

    EXPECT_FALSE(rx->SendCmd("XYZ", 3));
    EXPECT_TRUE(rx->SendCmd("LXZ", 3)) << "either magic byte lets a command pass";
    EXPECT_TRUE(rx->SendCmd("XHZ", 3));
    ASSERT_TRUE(fake.wait_raw(3, kWaitMs)) << "the query and both passed commands";
}

TEST_F(FenkSession, TimeSyncGoesOnlyWhileTheSensorSendsTraffic)
{
    start();
    // Time alone sends nothing: the first sync could be due two seconds after the start.
    EXPECT_FALSE(fake.wait_time_syncs(1, 2500)) << "no sync while the sensor is silent";

    fake.start_stream({make_command_reply(8, {0, 0, 0, 0})}, 50);
    ASSERT_TRUE(fake.wait_time_syncs(2, 6000));
    fake.stop_stream();
    const std::vector<FenkTimeSync> syncs = fake.time_syncs();
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const uint32_t now = uint32_t(ts.tv_sec);
    for (const FenkTimeSync &s : syncs) {
        ASSERT_EQ(s.frame.size(), 24u + 13u);
        EXPECT_EQ(rd_u16(&s.frame[0]), LH_MAGIC);
        EXPECT_EQ(s.reserved, 0);
        EXPECT_EQ(rd_u16(&s.frame[6]), 10);
        EXPECT_EQ(rd_u32(&s.frame[8]), 24u);
        EXPECT_LE(s.sec, now);
        EXPECT_GE(s.sec + 10, now);
        EXPECT_LT(s.usec, 1000000u);
        EXPECT_EQ(s.usec % 1000, 0u) << "milliseconds as microseconds";
        EXPECT_TRUE(std::all_of(s.frame.begin() + 20, s.frame.begin() + 36, [](uint8_t b) { return b == 0; }));
        EXPECT_EQ(s.frame[36], uint8_t(sum8(s.frame.data(), 36)));
        EXPECT_LE(s.seq, 0x7FFF);
    }
    EXPECT_GE(syncs[1].sec, syncs[0].sec + 2) << "at least two seconds apart";

    // Silent again: no more syncs. (One answering the last streamed datagram may still be on
    // its way when the stream stops.)
    const auto stopped = std::chrono::steady_clock::now();
    const size_t before = fake.time_syncs().size();
    EXPECT_FALSE(fake.wait_time_syncs(before + 2, 2500));
    for (const FenkTimeSync &s : fake.time_syncs())
        EXPECT_LT(s.arrived, stopped + std::chrono::milliseconds(300));
    expect_frame_through(2);
}

TEST_F(FenkSession, FirmwareUploadFromHostPortPlusHundred)
{
    start();
    expect_frame_through(3);
    fake.send_data(make_command_reply(8, {0, 0, 0, 0}));
    ASSERT_TRUE(wait([&] { return posted.count(MSG_RUN_STATE, "lidar cmd reception is ok") == 1; }));

    const std::vector<uint8_t> firmware = pattern(2 * 512 + 100, 1);
    const std::string path = write_temp_file("LDS-Fenk-U_V2.0.1.bin", firmware);
    EXPECT_TRUE(rx->FileUpdate(QString::fromStdString(path), MSG_FW_MCU));
    ASSERT_TRUE(wait([&] { return posted.count(MSG_FW_MCU) == 1; }));
    EXPECT_EQ(posted.count(MSG_FW_MCU, "update OK"), 1);
    ASSERT_TRUE(fake.wait_upload_end(kWaitMs));
    const FakeFenkU::Upload up = fake.upload();
    EXPECT_EQ(up.from_port, hostPort_ + 100);
    EXPECT_EQ(up.name, "LDS-Fenk-U_V2.0.1.bin");
    EXPECT_EQ(up.size, firmware.size());
    EXPECT_EQ(up.crc, crc32_reflected(0, firmware.data(), firmware.size()));
    EXPECT_EQ(up.data, firmware);
    EXPECT_EQ(up.chunk_messages, 3);
    ASSERT_EQ(up.sequences.size(), 5u) << "info, three chunks, end";
    for (size_t i = 1; i < up.sequences.size(); ++i)
        EXPECT_EQ(uint16_t(up.sequences[i] - up.sequences[i - 1]), 1) << "one counter step per frame";
    EXPECT_TRUE(port_free(hostPort_ + 100)) << "the upload socket is closed again";

    // Reception goes on; what the 4 s timer runs makes both notices due again.
    expect_frame_through(4);
    rx->clearReceptionFlags();
    EXPECT_EQ(posted.count(MSG_REBOOT, ""), 1);
    expect_frame_through(2);
    fake.send_data(make_command_reply(8, {0, 0, 0, 0}));
    ASSERT_TRUE(wait([&] {
        return posted.count(MSG_RUN_STATE, "lidar data reception is ok") == 2
            && posted.count(MSG_RUN_STATE, "lidar cmd reception is ok") == 2;
    }));
}

TEST_F(FenkSession, FailedUploadsReportTheTransferTime)
{
    start();
    // The sensor does not accept the end message.
    fake.set_end_status(0x33);
    rx->FileUpdate(QString::fromStdString(write_temp_file("a.bin", pattern(600, 2))), MSG_FW_MOTOR);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_FW_MOTOR) == 1; }));
    EXPECT_TRUE(posted.data.back().second.startsWith("update NG:trans time:"))
        << posted.data.back().second.constData();
    EXPECT_TRUE(fake.upload().ended);
    EXPECT_EQ(fake.upload().data, pattern(600, 2));

    // A silent sensor: six info messages, then the report.
    fake.set_end_status(0);
    fake.set_silent(true);
    rx->FileUpdate(QString::fromStdString(write_temp_file("b.bin", pattern(100, 3))), MSG_FW_MCU);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_FW_MCU) == 1; }, 10000));
    const QByteArray text = posted.data.back().second;
    ASSERT_TRUE(text.startsWith("update NG:trans time:")) << text.constData();
    EXPECT_GE(text.mid(int(std::strlen("update NG:trans time:"))).toDouble(), 2.5);

    // No such file; and reception still works after all of it.
    fake.set_silent(false);
    rx->FileUpdate("/no/such/file.bin", MSG_FW_MOTOR);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_FW_MOTOR) == 2; }));
    EXPECT_TRUE(posted.data.back().second.startsWith("update NG:trans time:"));
    expect_frame_through(3);
    EXPECT_EQ(posted.count(MSG_REBOOT), 0);
}

TEST_F(FenkSession, UploadPortAboveTheRangeIsRefusedNotWrapped)
{
    int host = 0;
    for (int p = 65535; p > 65435 && host == 0; --p)
        if (port_free(p))
            host = p;
    ASSERT_NE(host, 0);
    start(host);

    rx->FileUpdate(QString::fromStdString(write_temp_file("c.bin", pattern(300, 4))), MSG_FW_MCU);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_FW_MCU) == 1; }));
    EXPECT_TRUE(posted.data.back().second.startsWith("update NG:trans time:"))
        << posted.data.back().second.constData();
    EXPECT_EQ(fake.transfer_messages(), 0) << "nothing sent from any port";
    expect_frame_through(1);
}

TEST_F(FenkSession, MalformedDatagramsOverTheWirePostNothing)
{
    start();
    const auto one = lp_xyz_content(some_points(1, 0.0f));
    std::vector<uint8_t> lying(200, 0);
    lying[0] = 'L';
    lying[1] = 'P';
    wr_u32(&lying[12], 0xFFFFFFECu);
    std::vector<uint8_t> lh(20, 0);
    lh[0] = 'L';
    lh[1] = 'H';
    wr_u32(&lh[8], 0xFFFFFFF3u);
    fake.send_all({{'L', 'P'},
                   std::vector<uint8_t>(11, 'L'),
                   lying,
                   lh,
                   make_lp_subpackage(0xFFFFFFFFu, 0, fenku_frame_header(2, 65535, 65535, 0)),
                   make_lp_subpackage(0xFFFFFFFFu, 44, std::vector<uint8_t>(3000, 1)),
                   make_lp_subpackage(0xFFFFFFFFu, 3044, std::vector<uint8_t>(3000, 1)),
                   std::vector<uint8_t>(8192 + 100, 'L')});
    expect_frame_through(4);
    EXPECT_EQ(posted.count(MSG_CMD_INFO), 0);
    EXPECT_EQ(posted.frames.size(), 1u);
}

TEST_F(FenkSession, SocketTakenReportsAndEnds)
{
    const int port = free_port_pair();
    const int holder = udp_open(port, false, "127.0.0.1");
    ASSERT_NE(holder, INVALID_SOCK);
    make(port);
    rx->start();
    ASSERT_TRUE(rx->wait(5000));
    QCoreApplication::processEvents();
    udp_close(holder);
    EXPECT_EQ(posted.count(MSG_ERROR, "open socket failed"), 1);
    EXPECT_EQ(posted.count(MSG_RECV_STARTED), 0);
    EXPECT_EQ(posted.count(MSG_RUN_STATE, "lidar disconnect ok"), 0);
}

TEST_F(FenkSession, StopEndsTheLoop)
{
    start();
    rx->stop();
    ASSERT_TRUE(rx->wait(5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(posted.count(MSG_RUN_STATE, "lidar disconnect ok"), 1);
    const std::vector<uint8_t> query = lh_make_sum_frame(0, 1, 7, "\0", 1);
    EXPECT_TRUE(rx->SendCmd(reinterpret_cast<const char *>(query.data()), int(query.size())));
    EXPECT_FALSE(fake.wait_commands(1, 200)) << "nothing sent on a closed socket";
}
