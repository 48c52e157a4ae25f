// The algorithm-box receiver against a fake box on 127.0.0.2:6002 (the program on 127.0.0.1:6002),
// its re-send queue driven through a clock seam, and its datagram handling on its own.

#include "boxpacket.h"
#include "fakebox.h"
#include "lhframe.h"
#include "vimoprotocol.h"
#include "zonemonitor.h"
#include "receiverprobe.h"
#include "receivernotices.h"
#include "recvboxdataproc.h"
#include "zonealarm.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>

namespace {

constexpr int kBoxPort = 6002;

void watch_box(ReceiverProbe &probe, RecvBoxDataProc *rx)
{
    probe.watch(rx);
    QObject::connect(rx, &RecvBoxDataProc::sig_uploadtype, &probe,
                     [&probe](int t) { probe.upload_types.push_back(t); });
    QObject::connect(rx, &RecvBoxDataProc::sig_cacheclean, &probe,
                     [&probe] { ++probe.cache_cleans; });
}

LhabSpec points_spec(std::vector<BoxPoint> pts, uint8_t frame_flag, uint8_t upload_type = 0)
{
    LhabSpec s;
    s.points = std::move(pts);
    s.frame_flag = frame_flag;
    s.upload_type = upload_type;
    return s;
}

LhabSpec object_spec(uint8_t id, float cx, float cy, float cz, uint8_t b6, uint8_t b7,
                     uint8_t frame_flag)
{
    LhabSpec s;
    s.upload_type = BOX_UPLOAD_OBJECTS;
    s.object_id = id;
    s.cx = cx;
    s.cy = cy;
    s.cz = cz;
    s.byte6 = b6;
    s.byte7 = b7;
    s.frame_flag = frame_flag;
    s.points = {{0.5f, 0.25f, 0.125f, 1}};
    return s;
}

QByteArray bytes(const std::vector<uint8_t> &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

// A receiver running against the fake box, its re-send clock in the test's hands.
class BoxSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fake.ok()) << "port 6002 on 127.0.0.2";
        rx = std::make_unique<RecvBoxDataProc>();
        rx->setBindAddress("127.0.0.1");
        rx->setClock([this] { return clock.load(); });
        rx->init(kBoxPort, "127.0.0.2", kBoxPort);
        watch_box(probe, rx.get());
        rx->start();
        ASSERT_TRUE(fake.peer().wait_for(1, 5000));
        fake.peer().clear_received();
    }
    void TearDown() override
    {
        rx->stop();
        ASSERT_TRUE(rx->wait(5000));
        drain_events();
    }

    // What the fake has received, in order, once everything the receiver sent before this call
    // has arrived: a marker sent last on the same socket comes last.
    std::vector<Datagram> received_in_order()
    {
        static const std::vector<uint8_t> marker = {'L', 'H', 's', 'y', 'n', 'c'};
        EXPECT_TRUE(rx->SendCmd(reinterpret_cast<const char *>(marker.data()), int(marker.size())));
        std::vector<Datagram> got;
        EXPECT_TRUE(wait_until([&] {
            got = fake.peer().received();
            return !got.empty() && got.back().bytes == marker;
        }));
        fake.peer().clear_received();
        if (!got.empty())
            got.pop_back();
        return got;
    }

    std::atomic<qint64> clock{1700000000000};
    FakeBox fake;
    std::unique_ptr<RecvBoxDataProc> rx;
    ReceiverProbe probe;
};

} // namespace

TEST(BoxReceiverStart, SaysHelloFromItsPort)
{
    FakeBox fake;
    ASSERT_TRUE(fake.ok());
    RecvBoxDataProc rx;
    rx.setBindAddress("127.0.0.1");
    rx.init(kBoxPort, "127.0.0.2", kBoxPort);
    ReceiverProbe probe;
    watch_box(probe, &rx);
    rx.start();
    ASSERT_TRUE(fake.peer().wait_for(1, 5000));
    const Datagram hello = fake.peer().received()[0];
    EXPECT_EQ(std::string(hello.bytes.begin(), hello.bytes.end()), "hello");
    EXPECT_EQ(hello.from_ip, "127.0.0.1");
    EXPECT_EQ(hello.from_port, kBoxPort);
    rx.stop();
    ASSERT_TRUE(rx.wait(5000));
    drain_events();
    // Neither a start message nor reception messages; the stop message only.
    ASSERT_EQ(probe.data.size(), 1u);
    EXPECT_EQ(probe.data[0].type, MSG_WARM);
    EXPECT_EQ(probe.data[0].text(), "Disconnect lidar connection successful");
}

TEST_F(BoxSession, TwoPointDatagramGivesATwoPointFrame)
{
    fake.send(make_lhab(points_spec({{1.5f, -2.25f, 0.75f, 200}, {-3.0f, 4.0f, 1e-3f, 7}}, 2)));
    ASSERT_TRUE(wait_until([&] { return probe.frames.size() == 1; }));
    EXPECT_EQ(probe.frame_types[0], LIDAR_ALG_BOX);
    const auto &f = probe.frames[0];
    ASSERT_EQ(f.size(), 2u);
    UserPointData a;
    a.x = 1.5f;
    a.y = -2.25f;
    a.z = 0.75f;
    a.intensity = 200;
    UserPointData b;
    b.x = -3.0f;
    b.y = 4.0f;
    b.z = 1e-3f;
    b.intensity = 7;
    EXPECT_EQ(std::memcmp(&f[0], &a, sizeof(a)), 0);
    EXPECT_EQ(std::memcmp(&f[1], &b, sizeof(b)), 0);
    ASSERT_TRUE(wait_until([&] { return probe.upload_types.size() == 1; }));
    EXPECT_EQ(probe.upload_types[0], 0);
}

TEST_F(BoxSession, FramesSpanDatagramsAndOtherSendersAreDropped)
{
    FakeBox stranger(kBoxPort, "127.0.0.3");
    ASSERT_TRUE(stranger.ok());
    stranger.send(make_lhab(points_spec({{9, 9, 9, 9}}, 0)));
    fake.send(make_lhab(points_spec({{1, 1, 1, 1}}, 0)));
    stranger.send(make_lhab(points_spec({{9, 9, 9, 9}}, 2)));
    fake.send(make_lhab(points_spec({{2, 2, 2, 2}, {3, 3, 3, 3}}, 2)));
    ASSERT_TRUE(wait_until([&] { return probe.frames.size() == 1; }));
    ASSERT_EQ(probe.frames[0].size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const float x = probe.frames[0][size_t(i)].x;
        EXPECT_EQ(x, float(i + 1));
    }
}

TEST_F(BoxSession, DatagramsThatNeverEndAFrameStayBoundedAndTheNextFrameArrivesWithItsEnd)
{
    // Full datagrams that never set the frame flag, twice and a bit over the bound.
    std::vector<BoxPoint> many(255);
    for (size_t j = 0; j < many.size(); ++j)
        many[j] = {float(j), 1.0f, 2.0f, 9};
    const std::vector<uint8_t> stray = make_lhab(points_spec(many, 0));
    const size_t perBound = RecvBoxDataProc::kMaxFramePoints / many.size();
    ASSERT_TRUE(send_in_bursts(kBoxPort, 2 * perBound + 10, 200, [&](size_t) { fake.send(stray); }));

    const std::string notice =
        frame_overflow_notice(RecvBoxDataProc::kMaxFramePoints).toLocal8Bit().toStdString();
    ASSERT_TRUE(wait_until([&] { return probe.count(MSG_ERROR, notice) == 1; }));
    EXPECT_TRUE(probe.frames.empty());

    // A real frame end: the frame is posted at once, ending with that datagram's points.
    fake.send(make_lhab(points_spec({{1.5f, -2.25f, 0.75f, 200}}, 2)));
    ASSERT_TRUE(wait_until([&] { return probe.frames.size() == 1; }));
    const std::vector<UserPointData> &f = probe.frames[0];
    ASSERT_FALSE(f.empty());
    EXPECT_LE(f.size(), RecvBoxDataProc::kMaxFramePoints);
    const int last = f.back().intensity;
    EXPECT_EQ(last, 200);
    EXPECT_LE(rx->framePointsHighWater(), RecvBoxDataProc::kMaxFramePoints);

    rx->stop();
    ASSERT_TRUE(rx->wait(5000));
    EXPECT_LE(rx->frameCapacity(), RecvBoxDataProc::kMaxFramePoints);
}

TEST_F(BoxSession, CommandRepliesReachTheDispatcherAsText)
{
    // The box answers each text command with the complement of its command word: settings
    // (S_PACK) with 0xFFAC, actions (C_PACK) with 0xFFBC; both reach the dispatcher as text.
    // Another command word's answer (117 gets 0xFF8A) is not a text reply.
    fake.set_answer_commands(true);
    const char setting[] = "LSCIR:3H";
    const auto set_cmd = lh_make_crc_frame(S_PACK, 42, setting, sizeof(setting) - 1);
    ASSERT_TRUE(rx->SendCmd(reinterpret_cast<const char *>(set_cmd.data()), int(set_cmd.size())));
    ASSERT_TRUE(wait_until([&] { return probe.of_type(MSG_CMD_INFO).size() == 1; }));
    EXPECT_EQ(probe.of_type(MSG_CMD_INFO)[0].data, QByteArray("OK\0\0", 4));
    EXPECT_FALSE(rx->SendCmd("xxxx", 4));

    const char other[] = "LGETPARH";
    const auto other_cmd = lh_make_crc_frame(117, 43, other, sizeof(other) - 1);
    ASSERT_TRUE(rx->SendCmd(reinterpret_cast<const char *>(other_cmd.data()), int(other_cmd.size())));
    const char action[] = "LSSFCH";
    const auto act_cmd = lh_make_crc_frame(C_PACK, 44, action, sizeof(action) - 1);
    ASSERT_TRUE(rx->SendCmd(reinterpret_cast<const char *>(act_cmd.data()), int(act_cmd.size())));
    ASSERT_TRUE(wait_until([&] { return probe.of_type(MSG_CMD_INFO).size() == 2; }));
    const std::vector<Datagram> got = received_in_order();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].bytes, set_cmd);
    EXPECT_EQ(got[1].bytes, other_cmd);
    EXPECT_EQ(got[2].bytes, act_cmd);

    fake.send(FakeBox::reply(0xFFAD, 1, "ignored"));
    fake.send(FakeBox::reply(0xFFAC, 2, "CPUTmp:451,"));
    ASSERT_TRUE(wait_until([&] { return probe.of_type(MSG_CMD_INFO).size() == 3; }));
    EXPECT_EQ(probe.of_type(MSG_CMD_INFO)[2].data, QByteArray("CPUTmp:451,\0", 12));
}

TEST(FakeBoxAnswers, TextCommandsWithTheComplementOfTheirCommandWord)
{
    FakeBox fake(0);
    ASSERT_TRUE(fake.ok());
    fake.set_answer_commands(true);
    FakePeer host("127.0.0.1");
    ASSERT_TRUE(host.ok());
    host.start();
    const struct {
        uint16_t cmd;
        uint16_t answer;
    } cases[] = {{S_PACK, 0xFFAC}, {C_PACK, 0xFFBC}, {QUERY_PACK, 0xB8AC}, {117, 0xFF8A}};
    uint16_t seq = 7;
    for (const auto &c : cases) {
        host.clear_received();
        const auto req = lh_make_crc_frame(c.cmd, seq, "LSSFCH", 6);
        host.send_to(fake.ip(), fake.port(), req);
        ASSERT_TRUE(host.wait_for(1, 5000)) << c.cmd;
        const std::vector<uint8_t> r = host.received()[0].bytes;
        EXPECT_EQ(r, FakeBox::reply(c.answer, seq, "OK")) << c.cmd;
        ++seq;
    }
}

TEST_F(BoxSession, ZoneMonitorDatagramsArePostedWhole)
{
    auto list = FakeBox::lmsg(514, 0);
    list[5] = 0x11;
    fake.send(list);
    // Read from its first byte, a 308-byte posting has the zone id "S": it is still posted
    // whole, and the readers' decoder refuses it.
    fake.send(FakeBox::lmsg(308, 0));
    fake.send(FakeBox::lmsg(20, 3));
    ASSERT_TRUE(wait_until([&] { return probe.of_type(MSG_ZONE_MONITOR).size() == 3; }));
    rx->stop();
    ASSERT_TRUE(rx->wait(5000));
    drain_events();
    const auto posted = probe.of_type(MSG_ZONE_MONITOR);
    ASSERT_EQ(posted.size(), 3u);
    EXPECT_EQ(posted[0].data, bytes(list));
    EXPECT_EQ(posted[1].data, bytes(FakeBox::lmsg(308, 0)));
    EXPECT_FALSE(zone_alarm_decode(reinterpret_cast<const uint8_t *>(posted[1].data.constData()),
                                   size_t(posted[1].data.size()), nullptr));
    EXPECT_EQ(posted[2].data, bytes(FakeBox::lmsg(20, 3)));
}

TEST_F(BoxSession, MalformedDatagramsThroughTheSocket)
{
    LhabSpec lying = points_spec({{1, 1, 1, 1}}, 0);
    lying.announced = 255;
    auto cut = make_lhab(points_spec({}, 2));
    cut.resize(53);
    const std::vector<std::vector<uint8_t>> bad = {
        {}, {'L'}, {'L', 'H', 0xBC}, cut, make_lhab(lying),
        std::vector<uint8_t>(9000, 'L'), // more than the loop reads
    };
    for (const auto &d : bad)
        fake.send(d);
    fake.send(make_lhab(points_spec({{2, 2, 2, 2}}, 2)));
    ASSERT_TRUE(wait_until([&] { return probe.frames.size() == 1; }));
    EXPECT_EQ(probe.frames[0].size(), 2u) << "the lying datagram's one point, then the last one";
    EXPECT_TRUE(probe.data.empty());
}

TEST_F(BoxSession, UnansweredCommandIsSentFourTimesAbout1500msApart)
{
    const QByteArray payload("abcde");
    const auto frame = lh_make_crc_frame(0x1234, 77, payload.constData(), 5);
    const qint64 t0 = clock.load();
    rx->send_cmd_net(0x1234, 77, 5, payload, false);
    ASSERT_EQ(rx->pendingCommands().size(), 1u);

    struct Step {
        qint64 at;
        size_t sends;  // datagrams at the box afterwards
        size_t queued; // entries left
    } steps[] = {
        {200, 1, 1},  {1500, 1, 1}, // not yet more than 1500 ms
        {1501, 2, 1}, {2800, 2, 1}, {3002, 3, 1},
        {4503, 4, 0}, // the fourth send drops it
        {6004, 4, 0}, {9000, 4, 0},
    };
    std::vector<Datagram> got = received_in_order();
    for (const Step &s : steps) {
        clock = t0 + s.at;
        rx->cmdReissued();
        const auto more = received_in_order();
        got.insert(got.end(), more.begin(), more.end());
        EXPECT_EQ(got.size(), s.sends) << s.at;
        EXPECT_EQ(rx->pendingCommands().size(), s.queued) << s.at;
    }
    ASSERT_EQ(got.size(), 4u);
    for (const Datagram &d : got)
        EXPECT_EQ(d.bytes, frame);
}

TEST_F(BoxSession, AcknowledgedCommandIsNotSentAgain)
{
    rx->send_cmd_net(0x1234, 78, 4, QByteArray("abcd"), false);
    rx->send_cmd_net(0x1234, 79, 4, QByteArray("efgh"), false);
    rx->CmdRecv(0x1111, 78); // wrong magic: not this one
    ASSERT_EQ(rx->pendingCommands().size(), 2u);
    rx->CmdRecv(LH_MAGIC, 78);
    const auto left = rx->pendingCommands();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].sn, 79);
    rx->CmdRecv(LH_MAGIC, 79);
    EXPECT_TRUE(rx->pendingCommands().empty());
    clock = clock.load() + 2000;
    rx->cmdReissued();
    EXPECT_EQ(received_in_order().size(), 2u) << "only the first sends";
}

TEST_F(BoxSession, ResendTimingHoldsAcrossTheWrapOfTheTruncatedClock)
{
    // The 32-bit send time turns negative between the two readings.
    clock = (qint64(1) << 40) + 0x7FFFFF00;
    rx->send_cmd_net(0x1234, 5, 4, QByteArray("wrap"), false);
    clock = (qint64(1) << 40) + 0x80000100; // 512 ms later
    rx->cmdReissued();
    EXPECT_EQ(rx->pendingCommands()[0].count, 1);
    clock = (qint64(1) << 40) + 0x80000600; // 1792 ms after the send
    rx->cmdReissued();
    EXPECT_EQ(rx->pendingCommands()[0].count, 2);
    EXPECT_EQ(received_in_order().size(), 2u);
}

TEST_F(BoxSession, ZoneCommandWaitsForTheNextDatagramFromTheBox)
{
    zones table{};
    table.count = 1;
    table.shapes[0].kind = 2;
    table.shapes[0].zone_id = 3;
    table.shapes[0].param[0] = 1000;
    rx->recv_zoneCmd(10, table);
    EXPECT_EQ(rx->pendingZoneCommand(), 10);
    const zones stored = rx->storedZoneTable();
    EXPECT_EQ(stored.count, 1);
    EXPECT_EQ(stored.shapes[0].zone_id, 3);
    rx->recv_zoneCmd(11, table); // the newer request wins
    // Nothing from the box yet: the request waits (the reply below is what releases it).
    EXPECT_EQ(rx->pendingZoneCommand(), 11);
    fake.send(FakeBox::reply(0xFFBC, 1, "OK"));
    ASSERT_TRUE(wait_until([&] { return rx->pendingZoneCommand() == 0; }));
    ASSERT_TRUE(wait_until([&] { return probe.of_type(MSG_CMD_INFO).size() == 1; }));
}

TEST(BoxQueue, ZoneCommandsReplaceEachOther)
{
    RecvBoxDataProc rx; // no socket: the queue alone
    rx.setClock([] { return qint64(1000); });
    rx.send_cmd_net(0x0101, 1, 4, QByteArray("aaaa"), false);
    rx.send_cmd_net(RecvBoxDataProc::kZoneWrite, 2, 4, QByteArray("bbbb"), false);
    rx.send_cmd_net(0x0102, 3, 4, QByteArray("cccc"), false);
    rx.send_cmd_net(RecvBoxDataProc::kZoneRead, 4, 4, QByteArray("dddd"), false);
    rx.send_cmd_net(0x0103, 5, 4, QByteArray("eeee"), true); // a repeat is never queued
    auto q = rx.pendingCommands();
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0].cmd, 0x0101);
    EXPECT_EQ(q[1].cmd, RecvBoxDataProc::kZoneRead);
    EXPECT_EQ(q[1].sn, 4);
    EXPECT_EQ(std::memcmp(q[1].payload, "dddd", 4), 0);
    EXPECT_EQ(q[1].magic, LH_MAGIC);
    EXPECT_EQ(q[1].count, 1);
    EXPECT_EQ(q[1].sendTime, 1000);
    EXPECT_EQ(q[2].cmd, 0x0102);

    // An accepted zone reply clears the zone requests only.
    rx.CmdRecv(LH_MAGIC, 0xFFFF);
    q = rx.pendingCommands();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].cmd, 0x0101);
    EXPECT_EQ(q[1].cmd, 0x0102);

    // Payloads beyond 1024 bytes, or beyond what the buffer holds, are refused.
    rx.send_cmd_net(0x0104, 6, 1025, QByteArray(1025, 'x'), false);
    rx.send_cmd_net(0x0104, 7, 8, QByteArray("short"), false);
    rx.send_cmd_net(0x0104, 8, -1, QByteArray("short"), false);
    EXPECT_EQ(rx.pendingCommands().size(), 2u);
    rx.send_cmd_net(0x0104, 9, 1024, QByteArray(1024, 'y'), false);
    EXPECT_EQ(rx.pendingCommands().size(), 3u);
}

TEST(BoxReceiverStart, PortInUseIsReported)
{
    FakePeer holder("127.0.0.1");
    ASSERT_TRUE(holder.ok());
    RecvBoxDataProc rx;
    rx.setBindAddress("127.0.0.1");
    rx.init(holder.port(), "127.0.0.2", kBoxPort);
    ReceiverProbe probe;
    watch_box(probe, &rx);
    rx.start();
    ASSERT_TRUE(rx.wait(5000));
    drain_events();
    ASSERT_EQ(probe.data.size(), 1u);
    EXPECT_EQ(probe.data[0].type, MSG_ERROR);
    EXPECT_EQ(probe.data[0].text(), "open socket failed");
}

TEST(BoxReceiverStop, EveryCallReportsTheDisconnection)
{
    RecvBoxDataProc rx;
    ReceiverProbe probe;
    watch_box(probe, &rx);
    rx.stop();
    rx.stop();
    EXPECT_EQ(probe.count(MSG_WARM, "Disconnect lidar connection successful"), 2);
}

// ---- datagram handling, without sockets ----

namespace {

struct Direct {
    RecvBoxDataProc rx;
    ReceiverProbe probe;
    Direct() { watch_box(probe, &rx); } // same thread: the connections are direct
    void feed(const std::vector<uint8_t> &d) { rx.ParseDatagram(d.data(), d.size()); }
};

} // namespace

TEST(BoxDecoding, ObjectRecordsAreKeyedById)
{
    Direct d;
    d.rx.SetShowObjects(true);
    d.feed(make_lhab(object_spec(5, 1, 2, 3, 0xA6, 0xA7, 0)));
    d.feed(make_lhab(object_spec(5, 4, 5, 6, 0xB6, 0xB7, 0))); // same id: replaces
    d.feed(make_lhab(object_spec(9, 7, 8, 9, 0xC6, 0xC7, 2)));  // new id, frame end
    ASSERT_EQ(d.probe.frames.size(), 1u);
    const auto &objs = d.probe.frames[0];
    ASSERT_EQ(objs.size(), 2u);
    const float x0 = objs[0].x, y0 = objs[0].y, z0 = objs[0].z, x1 = objs[1].x;
    EXPECT_EQ(x0, 4.0f);
    EXPECT_EQ(y0, 5.0f);
    EXPECT_EQ(z0, 6.0f);
    EXPECT_EQ(x1, 7.0f);
    const uint16_t in0 = objs[0].intensity;
    EXPECT_EQ(in0, 5 * 256);
    const auto *raw = reinterpret_cast<const uint8_t *>(&objs[0]);
    EXPECT_EQ(raw[12], 0);
    EXPECT_EQ(raw[13], 5);
    EXPECT_EQ(raw[14], 0xB7);
    EXPECT_EQ(raw[15], 0xB6);
    for (size_t i = 16; i < sizeof(UserPointData); ++i)
        EXPECT_EQ(raw[i], 0) << i;
    EXPECT_EQ(box_object_id(objs[1]), 9);

    // With the objects flag off the same datagrams give their points.
    d.rx.SetShowObjects(false);
    d.feed(make_lhab(object_spec(5, 1, 2, 3, 0, 0, 0)));
    d.feed(make_lhab(object_spec(6, 1, 2, 3, 0, 0, 2)));
    ASSERT_EQ(d.probe.frames.size(), 2u);
    EXPECT_EQ(d.probe.frames[1].size(), 2u);
}

TEST(BoxDecoding, UploadTypeAndCacheClean)
{
    Direct d;
    d.feed(make_lhab(points_spec({{1, 1, 1, 1}}, 2, 0)));
    d.feed(make_lhab(points_spec({{1, 1, 1, 1}}, 2, 0)));
    d.feed(make_lhab(points_spec({}, 0, 2)));
    EXPECT_EQ(d.probe.upload_types, (std::vector<int>{0})) << "the first frame end always posts";

    // Object upload: two objects, then a frame end with no points and a zero clean word.
    d.rx.SetShowObjects(true);
    d.feed(make_lhab(object_spec(1, 1, 1, 1, 0, 0, 0)));
    d.feed(make_lhab(object_spec(2, 2, 2, 2, 0, 0, 0)));
    LhabSpec end;
    end.upload_type = BOX_UPLOAD_OBJECTS;
    end.frame_flag = 2;
    d.feed(make_lhab(end));
    EXPECT_EQ(d.probe.cache_cleans, 1);
    ASSERT_EQ(d.probe.frames.size(), 3u);
    EXPECT_EQ(d.probe.frames[2].size(), 2u) << "what the frame collected before the clean";
    EXPECT_EQ(d.probe.upload_types, (std::vector<int>{0, 2}));

    end.clean_word = 1; // not a clean
    d.feed(make_lhab(end));
    EXPECT_EQ(d.probe.cache_cleans, 1);
    EXPECT_EQ(d.probe.upload_types, (std::vector<int>{0, 2}));
    ASSERT_EQ(d.probe.frames.size(), 4u);
    EXPECT_TRUE(d.probe.frames[3].empty());
}

TEST(BoxDecoding, MalformedDatagrams)
{
    auto lhab_cut = [](size_t size, uint8_t n, uint8_t flag) {
        LhabSpec s;
        s.frame_flag = flag;
        s.announced = n;
        auto d = make_lhab(s);
        d.resize(size, 0);
        return d;
    };
    auto lh = [](uint16_t cmd, uint16_t len_field, size_t size) {
        std::vector<uint8_t> d(size, 'z');
        d[0] = 'L';
        d[1] = 'H';
        if (size >= 4)
            wr_u16(&d[2], cmd);
        if (size >= 8)
            wr_u16(&d[6], len_field);
        return d;
    };
    struct Case {
        const char *name;
        std::vector<uint8_t> bytes;
        std::vector<size_t> frames;    // sizes of the frames posted
        std::vector<QByteArray> posts; // sig_data payloads
    } cases[] = {
        {"LHAB header minus one", lhab_cut(53, 255, 2), {}, {}},
        {"LHAB magic only", lhab_cut(4, 0, 0), {}, {}},
        {"LHAB huge count, header only", lhab_cut(54, 255, 2), {0}, {}},
        {"LHAB count beyond the bytes", lhab_cut(54 + 13 * 2 + 12, 200, 2), {2}, {}},
        {"one byte", {'L'}, {}, {}},
        {"LH header cut", lh(0xFFAC, 4, 7), {}, {}},
        {"reply, length beyond the datagram", lh(0xFFBC, 0xFFFF, 11), {}, {QByteArray("zzz")}},
        {"zone read reply, cut", lh(0xA5B8, 0xFFFF, 8), {}, {}},
        {"zone write reply, cut", lh(0xA5AC, 0xFFFF, 9), {}, {}},
        {"LMS", {'L', 'M', 'S'}, {}, {}},
    };
    for (const Case &c : cases) {
        Direct d;
        d.feed(c.bytes);
        std::vector<size_t> frames;
        for (const auto &f : d.probe.frames)
            frames.push_back(f.size());
        EXPECT_EQ(frames, c.frames) << c.name;
        std::vector<QByteArray> posts;
        for (const Posted &p : d.probe.data)
            posts.push_back(p.data);
        EXPECT_EQ(posts, c.posts) << c.name;
    }
}

// The zone table written to a box and read back through the real receiver: the engine's
// requests go out through the re-send queue, the box's replies come back into the engine.
TEST(BoxZones, WriteAndReadBackThroughTheReceiver)
{
    FakeBox box(kBoxPort);
    ASSERT_TRUE(box.ok()) << "port 6002 on 127.0.0.2";
    box.set_answer_zones(true);
    RecvBoxDataProc rx;
    rx.setBindAddress("127.0.0.1");
    rx.init(kBoxPort, "127.0.0.2", kBoxPort);
    std::vector<std::pair<int, QString>> progress;
    std::vector<zones> tables;
    QObject ctx;
    QObject::connect(&rx, &RecvBoxDataProc::sig_progress, &ctx,
                     [&](int rate, QString, QString info) { progress.emplace_back(rate, info); });
    QObject::connect(&rx, &RecvBoxDataProc::sig_zoneData, &ctx, [&](zones z) { tables.push_back(z); });
    rx.start();
    ASSERT_TRUE(box.peer().wait_for(1, 5000)) << "hello";
    auto heard_from_box = [&] { box.peer().send_to("127.0.0.1", kBoxPort, {'p', 'i', 'n', 'g'}); };

    zones table;
    table.shapes[table.count++] = ZONEALARM::make_default_shape(ZONEALARM::ZONE_SECTOR, 5, 2);
    table.shapes[table.count++] = ZONEALARM::make_default_shape(ZONEALARM::ZONE_ELLIPSE, 9, 1);
    rx.recv_zoneCmd(10, table);
    EXPECT_EQ(rx.pendingZoneCommand(), 10);
    heard_from_box(); // a zone command starts with the next datagram from the box
    ASSERT_TRUE(wait_until([&] { return box.good_reload_count() == 1; }, 20000));
    ASSERT_TRUE(wait_until([&] { return !progress.empty() && progress.back().first == 100; }));
    EXPECT_EQ(box.erase_count(), 1);
    EXPECT_EQ(box.write_offsets().size(), size_t(ZONEALARM::ZoneAlarm::PIECES + 2));
    ZONEALARM::ZoneAlarm reference;
    reference.buildZoneImage(table);
    const std::vector<uint8_t> store = box.zone_store();
    ASSERT_EQ(store.size(), size_t(ZONEALARM::ZoneAlarm::IMAGE_SIZE));
    EXPECT_TRUE(std::equal(store.begin() + ZONEALARM::ZoneAlarm::DEF_OFFSET, store.end(),
                           reference.getZoneImage() + ZONEALARM::ZoneAlarm::DEF_OFFSET));
    EXPECT_TRUE(wait_until([&] { return rx.pendingCommands().empty(); }))
        << "the box's answer clears the queued zone frames";

    progress.clear();
    rx.recv_zoneCmd(11, zones());
    heard_from_box();
    ASSERT_TRUE(wait_until([&] { return tables.size() == 1; }, 20000));
    EXPECT_EQ(box.read_offsets().size(), size_t(ZONEALARM::ZoneAlarm::PIECES + 1));
    const zones &back = tables[0];
    ASSERT_EQ(back.count, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(back.shapes[i].kind, table.shapes[i].kind);
        EXPECT_EQ(int(back.shapes[i].zone_id), int(table.shapes[i].zone_id));
        EXPECT_EQ(int(back.shapes[i].area), int(table.shapes[i].area));
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(back.shapes[i].param[j], table.shapes[i].param[j]);
    }
    ASSERT_TRUE(wait_until([&] { return !progress.empty() && progress.back().first == 100; }));

    rx.stop();
    ASSERT_TRUE(rx.wait(5000));
    drain_events();
}
