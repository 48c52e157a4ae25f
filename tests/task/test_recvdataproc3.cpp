// The Vimo-E receiver against a fake sensor on 127.0.0.2, and its datagram handling on its own.

#include "../common/firmwareimage.h"
#include "checksum.h"
#include "fakevimo.h"
#include "lhframe.h"
#include "logmanager.h"
#include "receiverprobe.h"
#include "recvdataproc3.h"
#include "testsupport.h"
#include "vimopacket.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

namespace {

constexpr double kPi = 3.1415926535898;

// The sensor's formula, computed directly.
UserPointData expected_point(const VimoPoint &p)
{
    const double r = p.range_mm / 1000.0;
    const double phi = (90000.0 - p.elevation) * kPi / 180000.0;
    const double theta = p.azimuth * kPi / 180000.0;
    UserPointData u;
    u.x = float(r * std::cos(phi) * std::cos(theta));
    u.y = float(r * std::cos(phi) * std::sin(theta));
    u.z = float(r * std::sin(phi));
    u.intensity = p.intensity;
    return u;
}

bool same_point(const UserPointData &a, const UserPointData &b)
{
    return std::memcmp(&a, &b, sizeof(UserPointData)) == 0;
}

// Point j of packet k of a test stream: every field varies.
VimoPoint stream_point(int k, int j)
{
    VimoPoint p;
    p.range_mm = uint32_t(500 + (k * 128 + j) * 37 % 80000);
    p.elevation = uint32_t(30000 + (k * 131 + j * 17) % 120000);
    p.azimuth = uint32_t((k * 128 + j) * 97 % 360000);
    p.intensity = uint8_t(j * 3 + k);
    return p;
}

std::vector<VimoPoint> stream_packet(int k, int n)
{
    std::vector<VimoPoint> pts;
    for (int j = 0; j < n; ++j)
        pts.push_back(stream_point(k, j));
    return pts;
}

std::vector<uint8_t> param_reply(uint16_t seq)
{
    return FakeVimo::reply(FakeVimo::kParamReply, seq, FakeVimo::param_record("SN1", "LDS-Vimo-E"));
}

// A receiver running against a fake sensor.
class VimoSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fake.ok());
        host_port = free_udp_port();
        fake.set_host("127.0.0.1", host_port);
        rx = std::make_unique<RecvDataProc3>();
        rx->setBindAddress("127.0.0.1");
        rx->init(host_port, "127.0.0.2", fake.port());
        probe.watch(rx.get());
        rx->start();
        ASSERT_TRUE(wait_until([&] { return !probe.of_type(MSG_RECV_STARTED).empty(); }));
    }
    void TearDown() override
    {
        rx->stop();
        ASSERT_TRUE(rx->wait(5000));
        drain_events();
    }
    void send_stream(int packets, int points_per_packet, int first = 0)
    {
        for (int k = first; k < first + packets; ++k)
            ASSERT_GT(fake.send(make_vimo_e_packet(0, stream_packet(k, points_per_packet), 0, 0, 0,
                                                   uint16_t(k))),
                      0);
    }

    FakeVimo fake;
    int host_port = 0;
    std::unique_ptr<RecvDataProc3> rx;
    ReceiverProbe probe;
};

} // namespace

TEST_F(VimoSession, OneHundredEightyPacketsMakeOneFrameOfExactPoints)
{
    send_stream(180, 128);
    // The reception message follows the frame's signal: wait for both.
    ASSERT_TRUE(wait_until([&] {
        return probe.frames.size() == 1
               && probe.count(MSG_RUN_STATE, "lidar data reception is ok") == 1;
    }));
    const std::vector<UserPointData> &f = probe.frames[0];
    ASSERT_EQ(f.size(), 23040u);
    EXPECT_EQ(probe.frame_types[0], LIDAR_VIMO_E);
    for (int k = 0; k < 180; ++k)
        for (int j = 0; j < 128; ++j)
            ASSERT_TRUE(same_point(f[size_t(k * 128 + j)], expected_point(stream_point(k, j))))
                << "packet " << k << " point " << j;
    EXPECT_EQ(probe.count(MSG_RUN_STATE, "lidar data reception is ok"), 1);

    // The next frame starts empty, and the reception message is not repeated.
    send_stream(180, 128, 180);
    ASSERT_TRUE(wait_until([&] { return probe.frames.size() == 2; }));
    ASSERT_EQ(probe.frames[1].size(), 23040u);
    EXPECT_TRUE(same_point(probe.frames[1][0], expected_point(stream_point(180, 0))));
    EXPECT_EQ(probe.count(MSG_RUN_STATE, "lidar data reception is ok"), 1);
    EXPECT_EQ(rx->pointPacketCount(), 360u);
}

TEST_F(VimoSession, ParameterReplyIsCheckedAndPostedOnce)
{
    // The page's query goes out through the receiver; the fake answers with the parameters.
    const uint8_t text[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    const auto query = lh_make_crc_frame(FakeVimo::kParamQuery, 0x1234, text, sizeof(text));
    ASSERT_TRUE(rx->SendCmd(reinterpret_cast<const char *>(query.data()), int(query.size())));
    ASSERT_TRUE(wait_until([&] { return !probe.of_type(MSG_VIMO_PARAM).empty(); }));
    const auto params = probe.of_type(MSG_VIMO_PARAM);
    ASSERT_EQ(params.size(), 1u);
    const auto record = FakeVimo::param_record("VIMO0001", "LDS-Vimo-E");
    EXPECT_EQ(params[0].data, QByteArray(reinterpret_cast<const char *>(record.data()),
                                         int(record.size())));
    ASSERT_EQ(fake.peer().received_count(), 1u);
    EXPECT_EQ(fake.peer().received()[0].bytes, query);

    // A second good reply posts 5 again but not the reception message; a bad CRC posts nothing.
    auto bad = param_reply(7);
    bad[20] ^= 1;
    fake.send(bad);
    fake.send(param_reply(8));
    ASSERT_TRUE(wait_until([&] { return probe.of_type(MSG_VIMO_PARAM).size() == 2; }));
    rx->stop();
    ASSERT_TRUE(rx->wait(5000));
    drain_events();
    EXPECT_EQ(probe.of_type(MSG_VIMO_PARAM).size(), 2u);
    EXPECT_EQ(probe.count(MSG_RUN_STATE, "lidar cmd reception is ok"), 1);
}

TEST_F(VimoSession, TextRepliesArePostedAsTheirPayload)
{
    std::vector<uint8_t> payload(16);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = uint8_t('a' + i);
    fake.send(FakeVimo::reply(0xFFAD, 1, payload)); // not a reply the receiver knows
    fake.send(FakeVimo::reply(0xFFAC, 2, payload));
    fake.send(FakeVimo::reply(0xFFBC, 3, {'O', 'K', 0, 0}));
    ASSERT_TRUE(wait_until([&] { return probe.of_type(MSG_CMD_INFO).size() == 2; }));
    const auto replies = probe.of_type(MSG_CMD_INFO);
    EXPECT_EQ(replies[0].data, QByteArray("abcdefghijklmnop"));
    EXPECT_EQ(replies[1].data, QByteArray("OK\0\0", 4));
    EXPECT_EQ(probe.count(MSG_RUN_STATE, "lidar cmd reception is ok"), 0);
}

TEST_F(VimoSession, CommandsAreCheckedThenSentUnchanged)
{
    struct Case {
        std::string bytes;
        bool sent;
    } cases[] = {
        {"LSTARH", true},  // both bytes
        {"xHELLO", true},  // second byte alone passes
        {"Lxxxxx", true},  // first byte alone passes
        {"xxxxxx", false}, // neither
        {"L", false},      // too short to judge
    };
    size_t expected = 0;
    for (const Case &c : cases) {
        EXPECT_EQ(rx->SendCmd(c.bytes.data(), int(c.bytes.size())), c.sent) << c.bytes;
        expected += c.sent;
    }
    ASSERT_TRUE(fake.peer().wait_for(expected, 5000));
    const auto got = fake.peer().received();
    ASSERT_EQ(got.size(), expected);
    EXPECT_EQ(std::string(got[1].bytes.begin(), got[1].bytes.end()), "xHELLO");
    EXPECT_EQ(got[0].from_ip, "127.0.0.1");
    EXPECT_EQ(got[0].from_port, host_port);

    rx->stop();
    ASSERT_TRUE(rx->wait(5000));
    EXPECT_FALSE(rx->SendCmd("LSTARH", 6)) << "no socket once the loop has ended";
}

TEST_F(VimoSession, OtherSendersAreDroppedAndNotRecorded)
{
    const std::string dir = testsupport::make_temp_subdir("vimodump") + "/";
    ASSERT_TRUE(LogManager::instance()->start(dir, "data", 1, LogManager::kModeDump));
    FakeVimo stranger(0, "127.0.0.3");
    ASSERT_TRUE(stranger.ok());
    stranger.set_host("127.0.0.1", host_port);
    stranger.send(FakeVimo::reply(0xFFAC, 1, {'n', 'o', 0, 0}));
    fake.send(FakeVimo::reply(0xFFAC, 2, {'y', 'e', 's', 0}));
    ASSERT_TRUE(wait_until([&] { return !probe.of_type(MSG_CMD_INFO).empty(); }));
    rx->stop();
    ASSERT_TRUE(rx->wait(5000));
    LogManager::instance()->stop(LogManager::kModeDump);
    LogManager::instance()->wait_stopped();
    drain_events();
    ASSERT_EQ(probe.of_type(MSG_CMD_INFO).size(), 1u);
    EXPECT_EQ(probe.of_type(MSG_CMD_INFO)[0].data, QByteArray("yes\0", 4));

    std::vector<uint8_t> all;
    for (const auto &e : std::filesystem::recursive_directory_iterator(dir))
        if (e.is_regular_file()) {
            const auto b = testsupport::read_file(e.path().string());
            all.insert(all.end(), b.begin(), b.end());
        }
    const auto yes = FakeVimo::reply(0xFFAC, 2, {'y', 'e', 's', 0});
    ASSERT_EQ(all.size(), DUMP_HEADER_SIZE + yes.size()) << "one record: the sensor's reply";
    EXPECT_EQ(rd_u16(&all[16]), LIDAR_VIMO_E);
    EXPECT_TRUE(std::equal(yes.begin(), yes.end(), all.begin() + DUMP_HEADER_SIZE));
}

TEST_F(VimoSession, MalformedDatagramsThroughTheSocket)
{
    std::vector<uint8_t> oversized(5000, 0); // more than the loop reads: cut to 4096
    wr_u16(&oversized[5], 65535);
    std::vector<uint8_t> lying_reply = FakeVimo::reply(0xFFAC, 1, {'a', 'b', 'c', 'd'});
    wr_u16(&lying_reply[6], 0xFFF0);
    const std::vector<std::vector<uint8_t>> bad = {
        {}, {0x01}, std::vector<uint8_t>(35, 0x01), {'L', 'H', 0xAC, 0xB8}, lying_reply, oversized,
    };
    for (const auto &d : bad)
        fake.send(d);
    fake.send(FakeVimo::reply(0xFFAC, 2, {'e', 'n', 'd', 0}));
    ASSERT_TRUE(wait_until([&] { return !probe.of_type(MSG_CMD_INFO).empty(); }));
    ASSERT_EQ(probe.of_type(MSG_CMD_INFO).size(), 1u);
    EXPECT_EQ(probe.of_type(MSG_CMD_INFO)[0].data, QByteArray("end\0", 4));
    const auto errors = probe.of_type(MSG_ERROR);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text(), "pointcloud packet length error:4096 655386");
    EXPECT_TRUE(probe.frames.empty());
}

TEST_F(VimoSession, StopReportsTheDisconnection)
{
    rx->stop();
    ASSERT_TRUE(rx->wait(5000));
    drain_events();
    ASSERT_FALSE(probe.data.empty());
    EXPECT_EQ(probe.data.back().type, MSG_RUN_STATE);
    EXPECT_EQ(probe.data.back().text(), "lidar disconnect ok");
}

TEST(VimoReceiver, PortInUseIsReportedAndEndsTheThread)
{
    FakePeer holder("127.0.0.1");
    ASSERT_TRUE(holder.ok());
    RecvDataProc3 rx;
    rx.setBindAddress("127.0.0.1");
    rx.init(holder.port(), "127.0.0.2", 6000);
    ReceiverProbe probe;
    probe.watch(&rx);
    rx.start();
    ASSERT_TRUE(rx.wait(5000));
    drain_events();
    ASSERT_EQ(probe.data.size(), 1u);
    EXPECT_EQ(probe.data[0].type, MSG_ERROR);
    EXPECT_EQ(probe.data[0].text(), "listen port open failed");
}

// ---- firmware upgrade against the fake sensor ----

namespace {

std::vector<std::string> texts_of(const ReceiverProbe &probe, int type)
{
    std::vector<std::string> out;
    for (const Posted &p : probe.of_type(type))
        out.push_back(p.text());
    return out;
}

// A session whose host port is the sensor's command port too (the fake holds the same number
// on 127.0.0.2), or not, with a fast firmware exchange.
struct FirmwareSession {
    explicit FirmwareSession(bool same_port)
        : fake(same_port ? free_udp_port() : 0)
    {
        host_port = same_port ? fake.port() : free_udp_port();
        fake.set_host("127.0.0.1", host_port);
        IapOptions fast;
        fast.resend_ms = 150;
        fast.wait_ms = 50;
        rx.setIapOptions(fast);
        rx.setReportAgainDelay(0);
        rx.setBindAddress("127.0.0.1");
        rx.init(host_port, "127.0.0.2", fake.port());
        probe.watch(&rx);
        rx.start();
    }
    ~FirmwareSession()
    {
        rx.stop();
        rx.wait(5000);
        drain_events();
    }
    bool wait_result(int type)
    {
        return wait_until(
            [&] {
                for (const Posted &p : probe.of_type(type))
                    if (p.text().rfind("update ", 0) == 0)
                        return true;
                return false;
            },
            10000);
    }
    bool frame_reported_again(int times)
    {
        // Frames until the reception message has been posted `times` times: the timer that
        // allows it again runs on this thread between frames.
        for (int round = 0; round < 50; ++round) {
            const size_t frames = probe.frames.size();
            for (int k = 0; k < 180; ++k)
                fake.send(make_vimo_e_packet(0, stream_packet(k, 128), 0, 0, 0, uint16_t(k)));
            if (!wait_until([&] { return probe.frames.size() > frames; }))
                return false;
            if (probe.count(MSG_RUN_STATE, "lidar data reception is ok") == times)
                return true;
        }
        return false;
    }

    FakeVimo fake;
    int host_port = 0;
    RecvDataProc3 rx;
    ReceiverProbe probe;
};

} // namespace

TEST(VimoFirmware, UpgradeThroughTheReceiversOwnPortCompletes)
{
    FirmwareSession s(true);
    ASSERT_TRUE(s.fake.ok());
    ASSERT_TRUE(wait_until([&] { return !s.probe.of_type(MSG_RECV_STARTED).empty(); }));
    ASSERT_TRUE(s.frame_reported_again(1));

    const auto image = make_firmware_image(1024, 7);
    s.rx.FileUpdate(QString::fromStdString(write_temp_file("vimo.bin", image)), MSG_FW_MOTOR);
    ASSERT_TRUE(s.wait_result(MSG_FW_MOTOR));
    EXPECT_EQ(texts_of(s.probe, MSG_FW_MOTOR),
              (std::vector<std::string>{"firmware update start", "load firmware file ok",
                                        "send flash erase", "receive OP_FLASH_ERASE",
                                        "send OP_WRITE_IAP", "receive OP_WRITE_IAP",
                                        "firmware file update success", "update OK"}));
    ASSERT_TRUE(s.fake.peer().wait_for(5, 5000));
    EXPECT_EQ(s.fake.firmware_log(),
              (std::vector<uint32_t>{OP_FLASH_ERASE, 0, 512, OP_WRITE_IAP, OP_UPGRADE_END}));
    EXPECT_EQ(s.fake.firmware_image(),
              std::vector<uint8_t>(image.begin() + FW_HEADER_SIZE, image.end()));

    // After the sensor restarts, reception is reported again.
    EXPECT_TRUE(s.frame_reported_again(2));
}

TEST(VimoFirmware, SilentSensorFailsAfterTheResends)
{
    FirmwareSession s(false);
    ASSERT_TRUE(s.fake.ok());
    s.fake.set_firmware_mode(FakeVimo::Firmware::Silent);
    const std::string path = write_temp_file("vimo.bin", make_firmware_image(2048));
    s.rx.FileUpdate(QString::fromStdString(path), MSG_FW_MCU);
    ASSERT_TRUE(s.wait_result(MSG_FW_MOTOR));
    EXPECT_EQ(texts_of(s.probe, MSG_FW_MOTOR),
              (std::vector<std::string>{"firmware update start", "load firmware file ok",
                                        "send flash erase",
                                        "send cmd more than three times without answering",
                                        "update NG:"}));
    EXPECT_TRUE(texts_of(s.probe, MSG_FW_MCU).empty()) << "a failure is posted as 8";
    ASSERT_TRUE(s.fake.peer().wait_for(5, 5000));
    EXPECT_EQ(s.fake.firmware_log(), std::vector<uint32_t>(5, OP_FLASH_ERASE))
        << "once and four resends";

    // The loop goes on receiving afterwards.
    s.fake.send(FakeVimo::reply(0xFFAC, 1, {'o', 'k', 0, 0}));
    EXPECT_TRUE(wait_until([&] { return !s.probe.of_type(MSG_CMD_INFO).empty(); }));
}

TEST(VimoFirmware, RefusedChunkAndBadImageFail)
{
    {
        FirmwareSession s(true);
        s.fake.set_firmware_mode(FakeVimo::Firmware::RejectChunks);
        const std::string path = write_temp_file("vimo.bin", make_firmware_image(1536));
        s.rx.FileUpdate(QString::fromStdString(path), 9);
        ASSERT_TRUE(s.wait_result(MSG_FW_MOTOR));
        EXPECT_EQ(texts_of(s.probe, MSG_FW_MOTOR).back(), "update NG:");
        ASSERT_TRUE(s.fake.peer().wait_for(2, 5000));
        EXPECT_EQ(s.fake.firmware_log(), (std::vector<uint32_t>{OP_FLASH_ERASE, 0}));
    }
    {
        FirmwareSession s(true);
        auto image = make_firmware_image(1024);
        image.pop_back(); // file length payload size + 651
        s.rx.FileUpdate(QString::fromStdString(write_temp_file("vimo.bin", image)), MSG_FW_MOTOR);
        ASSERT_TRUE(s.wait_result(MSG_FW_MOTOR));
        EXPECT_EQ(texts_of(s.probe, MSG_FW_MOTOR),
                  (std::vector<std::string>{"firmware update start",
                                            "Failed to load firmware upgrade file",
                                            "update NG:"}));
        EXPECT_TRUE(s.fake.firmware_log().empty());
    }
}

TEST(VimoFirmware, McuUpgradeResultIsPostedUnderItsType)
{
    FirmwareSession s(false);
    const std::string path = write_temp_file("vimo.bin", make_firmware_image(512));
    s.rx.FileUpdate(QString::fromStdString(path), MSG_FW_MCU);
    ASSERT_TRUE(s.wait_result(MSG_FW_MCU));
    EXPECT_EQ(texts_of(s.probe, MSG_FW_MCU), (std::vector<std::string>{"update OK"}));
    ASSERT_TRUE(s.fake.peer().wait_for(4, 5000));
    EXPECT_EQ(s.fake.firmware_log(),
              (std::vector<uint32_t>{OP_FLASH_ERASE, 0, OP_WRITE_IAP, OP_UPGRADE_END}));
}

// ---- datagram handling, without sockets ----

namespace {

struct Direct {
    RecvDataProc3 rx;
    ReceiverProbe probe;
    Direct() { probe.watch(&rx); } // same thread: the connections are direct
    void feed(const std::vector<uint8_t> &d) { rx.ParseDatagram(d.data(), d.size()); }
};

} // namespace

TEST(VimoDecoding, PointGeometry)
{
    // E = 90000 lies in the horizontal plane.
    VimoPoint flat{2500, 90000, 45000, 9};
    uint8_t raw[10] = {};
    wr_u64(raw, vimo_pack_point(flat));
    EXPECT_EQ(raw[3], 0x15);
    EXPECT_EQ(rd_u64(raw) >> 32 & 0xFFF, 0xF90u);
    raw[8] = 9;
    UserPointData p = vimo_decode_point(raw);
    const float z = p.z, d = p.distance;
    const uint16_t in = p.intensity, depth = p.depth, deep = p.deep_field;
    const uint8_t sel = p.selected;
    EXPECT_EQ(z, 0.0f);
    EXPECT_EQ(in, 9);
    EXPECT_EQ(d, 0.0f);
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(deep, 0);
    EXPECT_EQ(sel, 0);

    // Range 1000, E = 0: straight up, whatever the azimuth.
    for (uint32_t a : {0u, 123456u, 359999u}) {
        wr_u64(raw, vimo_pack_point({1000, 0, a, 0}));
        p = vimo_decode_point(raw);
        const float x = p.x, y = p.y, zz = p.z;
        EXPECT_NEAR(x, 0.0f, 1e-6f);
        EXPECT_NEAR(y, 0.0f, 1e-6f);
        EXPECT_NEAR(zz, 1.0f, 1e-6f);
    }
}

TEST(VimoDecoding, LookedUpPointsEqualComputedOnesBitForBit)
{
    std::mt19937 gen(1234);
    std::uniform_int_distribution<uint32_t> range(0, 0xFFFFFF), code(0, 0xFFFFF);
    std::vector<VimoPoint> pts;
    for (int i = 0; i < 20000; ++i)
        pts.push_back({range(gen), code(gen) % 180001, code(gen) % 360000, uint8_t(i)});
    // Codes outside the sensor's range and at the table edges are computed directly.
    for (uint32_t e : {0u, 180000u, 180001u, 0xFFFFFu})
        for (uint32_t a : {0u, 359999u, 360000u, 0xFFFFFu})
            pts.push_back({0xFFFFFF, e, a, 255});
    for (const VimoPoint &vp : pts) {
        uint8_t raw[10] = {};
        wr_u64(raw, vimo_pack_point(vp));
        raw[8] = vp.intensity;
        ASSERT_TRUE(same_point(vimo_decode_point(raw), expected_point(vp)))
            << vp.range_mm << " " << vp.elevation << " " << vp.azimuth;
    }
}

TEST(VimoDecoding, FramesCloseAtOrAbove23040Points)
{
    struct Case {
        int points_per_packet;
        int packets_per_frame;
        size_t frame_size;
    } cases[] = {{384, 60, 23040}, {400, 58, 23200}, {128, 180, 23040}};
    for (const Case &c : cases) {
        Direct d;
        for (int k = 0; k < 3 * c.packets_per_frame; ++k) {
            d.feed(make_vimo_e_packet(0, stream_packet(k, c.points_per_packet), 0, 0, 0, uint16_t(k)));
            ASSERT_EQ(d.probe.frames.size(), size_t((k + 1) / c.packets_per_frame))
                << c.points_per_packet << " points, packet " << k;
        }
        for (const auto &f : d.probe.frames)
            EXPECT_EQ(f.size(), c.frame_size);
        EXPECT_EQ(d.probe.count(MSG_RUN_STATE, "lidar data reception is ok"), 1);
    }
}

TEST(VimoDecoding, WrongLengthIsReportedAndThePointsPresentAreDecoded)
{
    Direct d;
    // Announces 2 points but holds only 4 bytes of the first: reported, nothing decoded.
    auto p = make_vimo_e_packet(0, stream_packet(0, 2), 0, 0, 0, 1);
    p.resize(40);
    d.feed(p);
    // Announces 2 points and holds the first whole.
    p = make_vimo_e_packet(0, stream_packet(1, 2), 0, 0, 0, 2);
    p.resize(46);
    d.feed(p);
    ASSERT_EQ(d.probe.data.size(), 2u);
    EXPECT_EQ(d.probe.data[0].type, MSG_ERROR);
    EXPECT_EQ(d.probe.data[0].text(), "pointcloud packet length error:40 56");
    EXPECT_EQ(d.probe.data[1].text(), "pointcloud packet length error:46 56");

    // The next packet completes a frame that starts with that one point.
    std::vector<VimoPoint> fill;
    for (int j = 0; j < 23039; ++j)
        fill.push_back(stream_point(2, j % 500));
    d.feed(make_vimo_e_packet(0, fill, 0, 0, 0, 3));
    ASSERT_EQ(d.probe.frames.size(), 1u);
    ASSERT_EQ(d.probe.frames[0].size(), 23040u);
    EXPECT_TRUE(same_point(d.probe.frames[0][0], expected_point(stream_point(1, 0))));
    EXPECT_TRUE(same_point(d.probe.frames[0][1], expected_point(stream_point(2, 0))));
}

TEST(VimoDecoding, FaultReports)
{
    const auto status = [](uint8_t bits, uint8_t type = 1) {
        return make_vimo_e_packet(type, stream_packet(0, 1), bits, 7, 125);
    };
    {
        // Mirror on every status packet until a motor fault has been reported; after that the
        // status bits are not read again.
        Direct d;
        d.feed(status(0x80));
        d.feed(status(0x80));
        d.feed(status(0xC0));
        d.feed(status(0xC0));
        d.feed(status(0x80));
        std::vector<std::string> texts;
        for (const Posted &p : d.probe.data) {
            EXPECT_EQ(p.type, MSG_ERROR);
            texts.push_back(p.text());
        }
        EXPECT_EQ(texts, (std::vector<std::string>{" mirror :7", " mirror :7", " mirror :7",
                                                    " main motor:12.5 "}));
    }
    {
        Direct d; // type 0 and 2 packets carry no status
        d.feed(status(0xC0, 0));
        d.feed(status(0xC0, 2));
        EXPECT_TRUE(d.probe.data.empty());
    }
    {
        Direct d; // held off after a start command
        d.rx.IgnoreErr(15);
        d.feed(status(0xC0));
        EXPECT_TRUE(d.probe.data.empty());
    }
    {
        Direct d;
        d.feed(make_vimo_e_packet(1, stream_packet(0, 1), 0x40, 0, 300));
        ASSERT_EQ(d.probe.data.size(), 1u);
        EXPECT_EQ(d.probe.data[0].text(), " main motor:30 ");
    }
}

TEST(VimoDecoding, MalformedDatagramsPostNothingButTheLengthReport)
{
    auto lh = [](uint16_t cmd, uint16_t len_field, size_t size) {
        std::vector<uint8_t> d(size, 0);
        d[0] = 'L';
        d[1] = 'H';
        if (size >= 4)
            wr_u16(&d[2], cmd);
        if (size >= 8)
            wr_u16(&d[6], len_field);
        return d;
    };
    auto header = [](uint8_t type, uint16_t n, size_t size) {
        std::vector<uint8_t> d(size, 0xEE);
        d[0] = type;
        if (size >= 7)
            wr_u16(&d[5], n);
        return d;
    };
    // A good parameter reply whose length field then claims more than the datagram.
    auto lying_param = param_reply(1);
    wr_u16(&lying_param[6], uint16_t(rd_u16(&lying_param[6]) + 4));

    struct Case {
        const char *name;
        std::vector<uint8_t> bytes;
        std::vector<std::string> errors; // texts posted as 3
    } cases[] = {
        {"one byte", {0x00}, {}},
        {"header minus one", header(1, 0, 35), {}},
        {"status packet minus one", header(1, 0, 17), {}},
        {"huge count, header only", header(2, 65535, 36), {"pointcloud packet length error:36 655386"}},
        {"count beyond the bytes", header(0, 3, 36 + 25), {"pointcloud packet length error:61 66"}},
        {"fa alone", {0xFA}, {}},
        {"L alone", {'L'}, {}},
        {"LH header cut", lh(0xFFAC, 0, 7), {}},
        {"param reply, huge length", lh(0xB8AC, 0xFFFF, 12), {}},
        {"param reply, CRC past the end", lh(0xB8AC, 4, 14), {}},
        {"param reply, length lies", lying_param, {}},
        {"text reply, length lies", lh(0xFFAC, 100, 20), {}},
        {"text reply, odd size", lh(0xFFBC, 0xFFFF, 9), {}},
        {"unknown first byte", header(3, 10, 200), {}},
    };
    for (const Case &c : cases) {
        Direct d;
        d.feed(c.bytes);
        std::vector<std::string> errors;
        for (const Posted &p : d.probe.data) {
            EXPECT_EQ(p.type, MSG_ERROR) << c.name;
            errors.push_back(p.text());
        }
        EXPECT_EQ(errors, c.errors) << c.name;
        EXPECT_TRUE(d.probe.frames.empty()) << c.name;
    }
}
