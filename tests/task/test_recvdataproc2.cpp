// The Raxo receiver's loop against a fake Raxo sensor on loopback: frames, the source filter
// and the recorder, commands and replies, the work queue's uploads and read-backs, the TCP
// fallback and the start-up failures. The receiver binds 127.0.0.1; the fake sends from
// 127.0.0.2 and holds the same command port number there.

#include "checksum.h"
#include "fakeraxo.h"
#include "lhframe.h"
#include "logmanager.h"
#include "raxotesthelpers.h"
#include "receivernotices.h"
#include "sockethelpers.h"
#include "testsupport.h"
#include "zonealarm.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int kWaitMs = 5000;

size_t open_fds()
{
    size_t n = 0;
    for (const auto &e : fs::directory_iterator("/proc/self/fd")) {
        (void)e;
        ++n;
    }
    return n;
}

std::vector<uint8_t> pattern(size_t n, uint32_t seed)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t((i * 131 + seed * 7) ^ (i >> 8));
    return v;
}

class RaxoSession : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fake.ok()); }

    void make(const std::string &device_ip)
    {
        dataPort = free_udp_port();
        rx = new RecvDataProc2;
        rx->init(dataPort, QString::fromStdString(device_ip), fake.listen_port());
        rx->setBindAddress("127.0.0.1");
        rx->lidartype = LIDAR_RAXO_E;
        collect(rx, &context, &posted);
        fake.set_host("127.0.0.1", dataPort);
    }

    void start(const std::string &device_ip = "127.0.0.2")
    {
        make(device_ip);
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
        if (rx != nullptr) {
            rx->stop();
            EXPECT_TRUE(rx->wait(5000));
            QCoreApplication::processEvents();
            delete rx;
        }
        LogManager::instance()->stop(LogManager::kModeDump);
    }

    QByteArray last_reply() const { return posted.last(MSG_CMD_INFO); }

    FakeRaxo fake;
    RecvDataProc2 *rx = nullptr;
    QObject context;
    RaxoPosted posted;
    int dataPort = 0;
};

} // namespace

TEST_F(RaxoSession, FramesFromTheSensorAndNothingFromOtherSenders)
{
    const std::string logdir = testsupport::make_temp_subdir("rec") + "/logdata/";
    ASSERT_TRUE(LogManager::instance()->start(logdir, "raxo", 1, LogManager::kModeDump));
    start();

    FakePeer stranger("127.0.0.3");
    ASSERT_TRUE(stranger.ok());
    const std::vector<uint8_t> foreign =
        raxo_point_packet(1, 0, 0, {raxo_point(1, 1, 1, 1, 1), raxo_point(1, 1, 1, 1, 1)}, RAXO_FRAME_END);
    stranger.send_to("127.0.0.1", dataPort, foreign);

    const std::vector<uint8_t> a = raxo_point_packet(
        1, 8, 2, {raxo_point(1234, 1000, -250, 3, 200), raxo_point(10, -1, 0, 0, 1), raxo_point(0, 0, 0, 0, 0),
                  raxo_point(65535, 32767, -32768, 1, 255)},
        0);
    const std::vector<uint8_t> b =
        raxo_point_packet(1, 12, 2, {raxo_point(50, 500, 500, -500, 3), raxo_point(0, 0, 0, 0, 0), raxo_point(7, 7, 7, 7, 7)},
                          RAXO_FRAME_END);
    fake.send_data(a);
    fake.send_data(b);
    // The 2D frame follows the 3D one: wait for both.
    ASSERT_TRUE(wait([&] { return posted.frames.size() == 1 && posted.frames2D.size() == 1; }));
    const std::vector<UserPointData> f = posted.frames[0];
    ASSERT_EQ(f.size(), 7u) << "the stranger's two points are not in the frame";
    const float x0 = f[0].x, y0 = f[0].y, z0 = f[0].z, d0 = f[0].distance;
    EXPECT_FLOAT_EQ(x0, 2.0f);
    EXPECT_FLOAT_EQ(y0, -0.5f);
    EXPECT_FLOAT_EQ(z0, 0.006f);
    EXPECT_FLOAT_EQ(d0, 12.34f);
    const int i0 = f[0].intensity;
    EXPECT_EQ(i0, 200);
    const float x3 = f[3].x, y3 = f[3].y, d3 = f[3].distance;
    EXPECT_FLOAT_EQ(x3, 65.534f);
    EXPECT_FLOAT_EQ(y3, -65.536f);
    EXPECT_FLOAT_EQ(d3, 655.35f);
    const float z4 = f[4].z;
    EXPECT_FLOAT_EQ(z4, -1.0f);
    ASSERT_EQ(posted.frames2D.size(), 1u);
    EXPECT_TRUE(posted.frames2D[0].empty()) << "no height known yet";

    const std::vector<uint8_t> c = raxo_point_packet(14, 0, 0, {raxo_point(1, 2, 3, 4, 5)}, RAXO_FRAME_END);
    fake.send_data(c);
    ASSERT_TRUE(wait([&] { return posted.frames.size() == 2; }));
    EXPECT_EQ(posted.count(MSG_RUN_STATE, "lidar data reception is ok"), 1);

    LogManager::instance()->stop(LogManager::kModeDump);
    LogManager::instance()->wait_stopped();
    const auto recorded = dump_payloads(logdir, LIDAR_RAXO_E);
    ASSERT_EQ(recorded.size(), 3u);
    EXPECT_EQ(recorded[0], a);
    EXPECT_EQ(recorded[1], b);
    EXPECT_EQ(recorded[2], c);
}

TEST_F(RaxoSession, CommandsGoOutAndWholeRepliesComeBack)
{
    make("127.0.0.2");
    const std::vector<uint8_t> query = lh_make_sum_frame(0, 1234, 1, "\0", 1);
    EXPECT_FALSE(rx->SendCmd(reinterpret_cast<const char *>(query.data()), int(query.size())))
        << "no command socket before the loop runs";
    rx->start();
    ASSERT_TRUE(wait([&] { return posted.count(MSG_RECV_STARTED) == 1; }));

    ASSERT_TRUE(rx->SendCmd(reinterpret_cast<const char *>(query.data()), int(query.size())));
    ASSERT_TRUE(fake.wait_commands(1, kWaitMs));
    EXPECT_EQ(fake.commands()[0], query);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_CMD_INFO) == 1; }));
    const std::vector<uint8_t> reply = make_command_reply(1, {0, 0, 0, 0});
    EXPECT_EQ(last_reply(), QByteArray(reinterpret_cast<const char *>(reply.data()), int(reply.size())));

    // Replies whose length field does not match the datagram are not posted.
    std::vector<uint8_t> lying = make_command_reply(2, {1, 2, 3});
    wr_u32(&lying[8], 4);
    fake.send_to_command_socket(lying);
    fake.send_to_command_socket(std::vector<uint8_t>(20, 'x'));
    const std::vector<uint8_t> last = make_command_reply(2, {0, 0, 0, 0});
    fake.send_to_command_socket(last);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_CMD_INFO) == 2; }));
    EXPECT_EQ(last_reply(), QByteArray(reinterpret_cast<const char *>(last.data()), int(last.size())));
    EXPECT_EQ(posted.count(MSG_RUN_STATE, "lidar cmd reception is ok"), 1);

    EXPECT_FALSE(rx->SendCmd("XYZ", 3));
    EXPECT_TRUE(rx->SendCmd("LXZ", 3)) << "either magic byte lets a command pass";
    EXPECT_TRUE(rx->SendCmd("XHZ", 3));
}

TEST_F(RaxoSession, FirmwareUploadThroughTheWorkQueue)
{
    start();
    // Both reception notices are out before the upload.
    fake.send_data(raxo_point_packet(1, 0, 0, {raxo_point(1, 1, 1, 1, 1)}, RAXO_FRAME_END));
    fake.send_to_command_socket(make_command_reply(1, {0}));
    ASSERT_TRUE(wait([&] {
        return posted.count(MSG_RUN_STATE, "lidar data reception is ok") == 1
            && posted.count(MSG_RUN_STATE, "lidar cmd reception is ok") == 1;
    }));

    const std::vector<uint8_t> firmware = pattern(3000, 1);
    const std::string path = write_temp_file("LDS-Raxo-E_V1.2.3.bin", firmware);
    EXPECT_TRUE(rx->FileUpdate(QString::fromStdString(path), RecvDataProc2::WORK_FIRMWARE_MOTOR));
    ASSERT_TRUE(wait([&] { return posted.count(MSG_FW_MOTOR) == 1; }));
    EXPECT_EQ(posted.count(MSG_FW_MOTOR, "update OK"), 1);
    ASSERT_TRUE(fake.wait_upload_end(kWaitMs));
    const FakeRaxo::Upload up = fake.upload();
    EXPECT_EQ(up.name, "LDS-Raxo-E_V1.2.3.bin");
    EXPECT_EQ(up.size, 3000u);
    EXPECT_EQ(up.crc, crc32_reflected(0, firmware.data(), firmware.size()));
    EXPECT_EQ(up.data, firmware);
    EXPECT_EQ(up.chunk_messages, 6);

    // What the 4 s timer runs: the sensor has restarted, both notices are due again.
    rx->clearReceptionFlags();
    fake.send_data(raxo_point_packet(1, 0, 0, {raxo_point(1, 1, 1, 1, 1)}, RAXO_FRAME_END));
    fake.send_to_command_socket(make_command_reply(1, {0}));
    ASSERT_TRUE(wait([&] {
        return posted.count(MSG_RUN_STATE, "lidar data reception is ok") == 2
            && posted.count(MSG_RUN_STATE, "lidar cmd reception is ok") == 2;
    }));
}

TEST_F(RaxoSession, SilentSensorFailsTheUploadWithTheTransferTime)
{
    start();
    fake.set_silent(true);
    const std::string path = write_temp_file("LDS-Raxo-E.bin", pattern(700, 2));
    rx->FileUpdate(QString::fromStdString(path), RecvDataProc2::WORK_FIRMWARE_MCU);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_FW_MCU) == 1; }, 10000));
    const QByteArray text = posted.data.back().second;
    ASSERT_TRUE(text.startsWith("update NG:trans time:")) << text.constData();
    EXPECT_GE(text.mid(int(std::strlen("update NG:trans time:"))).toDouble(), 2.5);

    rx->FileUpdate("/no/such/file.bin", RecvDataProc2::WORK_FIRMWARE_MOTOR);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_FW_MOTOR) == 1; }));
    EXPECT_TRUE(posted.data.back().second.startsWith("update NG:trans time:"));
}

TEST_F(RaxoSession, ModelReadBackAndDiscardedModelUpload)
{
    start();
    const std::vector<uint8_t> model = pattern(1700, 3);
    fake.serve_file("alg_model.bin", model);
    rx->PushCmd(RecvDataProc2::WORK_MODEL_READ);
    ASSERT_TRUE(wait([&] { return posted.models.size() == 1; }));
    const QString expected =
        QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/alg_model.bin";
    EXPECT_EQ(posted.models[0], expected);
    EXPECT_EQ(testsupport::read_file(expected.toStdString()), model);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_WARM, "detect model load OK") == 1; }));
    EXPECT_EQ(posted.count(MSG_ZONE_UPGRADE), 0);

    // A file that does not match its announced CRC is not handed on.
    fake.serve_file_with_crc("alg_model.bin", model, 0x12345678);
    rx->PushCmd(RecvDataProc2::WORK_MODEL_READ);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_ERROR, "detect model load NG") == 1; }));
    EXPECT_EQ(posted.models.size(), 1u);

    // Code 12 (a model upload) is not work the loop knows: it is taken and dropped without a
    // message and nothing goes to the sensor; the read-back queued after it still runs.
    fake.serve_file("alg_model.bin", model);
    const std::string path = write_temp_file("trained.bin", model);
    rx->FileUpdate(QString::fromStdString(path), 12);
    rx->PushCmd(RecvDataProc2::WORK_MODEL_READ);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_WARM, "detect model load OK") == 2; }));
    EXPECT_EQ(posted.count(MSG_MODEL_UPGRADE), 0);
    EXPECT_EQ(fake.upload().info_messages, 0);
    EXPECT_EQ(posted.models.size(), 2u);
}

TEST_F(RaxoSession, ZoneTableWrittenAsTheImageFileAndReadBack)
{
    start();
    zones table;
    table.shapes[table.count++] = ZONEALARM::make_default_shape(ZONEALARM::ZONE_SECTOR, 3, 2);
    table.shapes[table.count++] = ZONEALARM::make_default_shape(ZONEALARM::ZONE_RECTANGLE, 3, 0);
    ZONEALARM::ZoneAlarm reference;
    reference.buildZoneImage(table);
    const std::vector<uint8_t> image(reference.getZoneImage(),
                                     reference.getZoneImage() + ZONEALARM::ZoneAlarm::IMAGE_SIZE);

    rx->recv_zoneCmd(RecvDataProc2::WORK_ZONE_WRITE, table);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_WARM, "zone write OK") == 1; }));
    ASSERT_TRUE(fake.wait_upload_end(kWaitMs));
    EXPECT_EQ(fake.upload().name, "zone_cfg.bin");
    // The sensor gets the local file whole; its header carries the time it was built, the
    // definitions and polar tables are the table's own.
    const std::string file = ZONEALARM::ZoneAlarm::zoneFilePath().toStdString();
    const std::vector<uint8_t> sent = fake.upload().data;
    EXPECT_EQ(testsupport::read_file(file), sent);
    ASSERT_EQ(sent.size(), image.size());
    EXPECT_TRUE(std::equal(sent.begin() + ZONEALARM::ZoneAlarm::DEF_OFFSET, sent.end(),
                           image.begin() + ZONEALARM::ZoneAlarm::DEF_OFFSET));

    // Read-back: the sensor's file becomes a zone table for the editor.
    fake.serve_file("zone_cfg.bin", image);
    rx->recv_zoneCmd(RecvDataProc2::WORK_ZONE_READ, zones());
    ASSERT_TRUE(wait([&] { return posted.count(MSG_WARM, "zone read OK") == 1; }));
    ASSERT_EQ(posted.zoneTables.size(), 1u);
    const zones &back = posted.zoneTables[0];
    ASSERT_EQ(back.count, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(back.shapes[i].kind, table.shapes[i].kind);
        EXPECT_EQ(int(back.shapes[i].zone_id), 3);
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(back.shapes[i].param[j], table.shapes[i].param[j]) << i << " " << j;
    }

    // An image with a bad header is a failed read: no table replaces the editor's zones.
    std::vector<uint8_t> bad = image;
    bad[0] ^= 0xFF;
    fake.serve_file("zone_cfg.bin", bad);
    rx->recv_zoneCmd(RecvDataProc2::WORK_ZONE_READ, zones());
    ASSERT_TRUE(wait([&] { return posted.count(MSG_ERROR, "zone read NG") == 1; }));
    EXPECT_EQ(posted.zoneTables.size(), 1u);

    // A sensor that does not answer fails the write.
    fake.set_silent(true);
    rx->recv_zoneCmd(RecvDataProc2::WORK_ZONE_WRITE, table);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_ERROR, "zone write NG") == 1; }, 15000));
}

TEST_F(RaxoSession, FailedSendFallsBackToTcpAndEndsTheLoop)
{
    // Sending to the broadcast address without SO_BROADCAST fails on the spot, and no TCP
    // connection can be made to it: the whole fallback runs without leaving the machine.
    const size_t fds_before = open_fds();
    start("255.255.255.255");
    const std::string path = write_temp_file("LDS-Raxo-E.bin", pattern(100, 4));
    rx->FileUpdate(QString::fromStdString(path), RecvDataProc2::WORK_FIRMWARE_MOTOR);
    ASSERT_TRUE(wait([&] { return posted.count(MSG_RUN_STATE, "lidar disconnect ok") == 1; }, 30000));
    EXPECT_TRUE(rx->wait(5000)) << "the loop ends by itself once its command socket is gone";
    EXPECT_GE(posted.count(MSG_ERROR, "Failed to send command,trying to reconnect..."), 1);
    ASSERT_EQ(posted.count(MSG_FW_MOTOR), 1);
    size_t ng = 0, bye = 0;
    for (size_t i = 0; i < posted.data.size(); ++i) {
        if (posted.data[i].first == MSG_FW_MOTOR)
            ng = i;
        if (posted.data[i].second == "lidar disconnect ok")
            bye = i;
    }
    EXPECT_TRUE(posted.data[ng].second.startsWith("update NG:"));
    EXPECT_LT(ng, bye);
    EXPECT_EQ(open_fds(), fds_before) << "every socket closed";
    EXPECT_FALSE(rx->SendCmd("LH", 2));
}

TEST_F(RaxoSession, CommandPortTakenReportsAndEnds)
{
    const int holder = udp_open(fake.listen_port(), false, "127.0.0.1");
    ASSERT_NE(holder, INVALID_SOCK);
    make("127.0.0.2");
    rx->start();
    ASSERT_TRUE(wait([&] { return posted.count(MSG_RUN_STATE, "lidar disconnect ok") == 1; }));
    EXPECT_TRUE(rx->wait(5000));
    udp_close(holder);
    const QByteArray expect = QString("open cmd socket failed,code:-1 127.0.0.2 %1")
                                  .arg(fake.listen_port())
                                  .toLocal8Bit();
    EXPECT_EQ(posted.count(MSG_ERROR, expect.constData()), 1);
    EXPECT_EQ(posted.count(MSG_RECV_STARTED), 1);
}

TEST_F(RaxoSession, StopEndsTheLoop)
{
    start();
    rx->stop();
    ASSERT_TRUE(rx->wait(5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(posted.count(MSG_RUN_STATE, "lidar disconnect ok"), 1);
}

TEST_F(RaxoSession, ZoneMonitorPacketsArePosted)
{
    start();
    std::vector<uint8_t> list(514, 0);
    list[0] = 2;
    fake.send_data(raxo_zone_monitor_packet(0, list));
    fake.send_data(raxo_zone_monitor_packet(1, std::vector<uint8_t>(307, 1))); // one byte short
    fake.send_data(raxo_zone_monitor_packet(1, std::vector<uint8_t>(308, 1)));
    ASSERT_TRUE(wait([&] { return posted.count(MSG_ZONE_MONITOR) == 2; }));
    std::vector<int> sizes;
    for (const auto &d : posted.data)
        if (d.first == MSG_ZONE_MONITOR)
            sizes.push_back(d.second.size());
    EXPECT_EQ(sizes, (std::vector<int>{514, 308}));
}

TEST_F(RaxoSession, PacketsThatNeverEndAFrameStayBoundedAndTheNextFrameArrivesWithItsEnd)
{
    start();
    // Full packets that never set the frame flag, twice and a bit over the bound.
    const std::vector<RaxoPoint> many(800, raxo_point(300, 100, 200, -300, 9));
    const std::vector<uint8_t> stray = raxo_point_packet(1, 0, 0, many, 0);
    const size_t perBound = RecvDataProc2::kMaxFramePoints / many.size();
    ASSERT_TRUE(send_in_bursts(dataPort, 2 * perBound + 60, 100, [&](size_t) { fake.send_data(stray); }));

    const QByteArray notice = frame_overflow_notice(RecvDataProc2::kMaxFramePoints).toLocal8Bit();
    ASSERT_TRUE(wait([&] { return posted.count(MSG_ERROR, notice.constData()) == 1; }));
    EXPECT_TRUE(posted.frames.empty());

    // A real frame end: the frame is posted at once, ending with the points of that packet.
    const std::vector<RaxoPoint> last = {raxo_point(1234, 1000, -250, 3, 200), raxo_point(10, -1, 0, 0, 1)};
    fake.send_data(raxo_point_packet(1, 4, 0, last, RAXO_FRAME_END));
    ASSERT_TRUE(wait([&] { return posted.frames.size() == 1; }));
    const std::vector<UserPointData> &f = posted.frames[0];
    EXPECT_EQ(f.size(), 60 * many.size() + last.size()) << "what came after the last drop";
    ASSERT_GE(f.size(), 2u);
    const int before_last = f[f.size() - 2].intensity, last_one = f.back().intensity;
    EXPECT_EQ(before_last, 200);
    EXPECT_EQ(last_one, 1);
    EXPECT_LE(rx->framePointsHighWater(), RecvDataProc2::kMaxFramePoints);

    // A later run of such packets is said again, once.
    ASSERT_TRUE(send_in_bursts(dataPort, perBound + 1, 100, [&](size_t) { fake.send_data(stray); }));
    EXPECT_TRUE(wait([&] { return posted.count(MSG_ERROR, notice.constData()) == 2; }));

    rx->stop();
    ASSERT_TRUE(rx->wait(kWaitMs));
    EXPECT_LE(rx->frameCapacity(), RecvDataProc2::kMaxFramePoints);
    EXPECT_LE(rx->framePointsHighWater(), RecvDataProc2::kMaxFramePoints);
}

TEST(ReceiverNotices, ReceiveBufferNoticeOnlyWhenShort)
{
    const struct {
        int granted, asked, wanted;
        const char *text;
    } cases[] = {
        {1048576, 1048576, 1048576, ""},
        {4194304, 1048576, 10485760, ""},
        {-1, 1048576, 1048576, ""}, // nothing known: nothing said
        {212992, 1048576, 1048576,
         "socket receive buffer is 212992 bytes, 1048576 asked: packets may be lost at high "
         "rates; raise the limit with: sysctl -w net.core.rmem_max=1048576"},
        {212992, 1048576, 10485760,
         "socket receive buffer is 212992 bytes, 1048576 asked: packets may be lost at high "
         "rates; raise the limit with: sysctl -w net.core.rmem_max=10485760"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(recv_buffer_notice(c.granted, c.asked, c.wanted).toStdString(), c.text)
            << c.granted << " " << c.asked;
}
