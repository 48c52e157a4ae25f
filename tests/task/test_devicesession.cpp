// The device session without a window, against a fake device of each family on 127.0.0.2: the
// start queries on the wire, a setting sent and its confirmation in the log, an address change
// that ends the session, the stop; and what a stopped receiver still posts.

#include "devicesession.h"
#include "devicesessionaccess.h"
#include "fakebox.h"
#include "fakefenku.h"
#include "fakeraxo.h"
#include "fakevimo.h"
#include "fenkprotocol.h"
#include "lhframe.h"
#include "raxoprotocol.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using testsupport::free_udp_port;
using testsupport::wait_until;

constexpr int kWaitMs = 10000;

QByteArray bytes(const std::vector<uint8_t> &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

// A set command of the Fenk-U and Raxo families: the set code, then four bytes of value.
QByteArray setFrame(uint16_t frameType, uint16_t code)
{
    std::vector<uint8_t> payload(6, 0);
    wr_u16(payload.data(), code);
    return bytes(lh_make_sum_frame(0, 7, frameType, payload.data(), payload.size()));
}

// A text command of the Vimo-E and the box.
QByteArray textFrame(const std::string &text)
{
    return bytes(lh_make_crc_frame(S_PACK, 9, text.data(), text.size()));
}

uint16_t sumType(const std::vector<uint8_t> &frame)
{
    return frame.size() >= LH_SUM_OVERHEAD ? rd_u16(frame.data() + LH_SUM_TYPE_AT) : 0xFFFF;
}

uint16_t crcCommand(const std::vector<uint8_t> &frame)
{
    return frame.size() >= LH_CRC_HEADER ? rd_u16(frame.data() + 2) : 0xFFFF;
}

// What the session says, collected.
struct Said {
    explicit Said(DeviceSession &s)
    {
        QObject::connect(&s, &DeviceSession::logLine, &context,
                         [this](QString title, QString text) { lines << title + "|" + text; });
        QObject::connect(&s, &DeviceSession::message, &context,
                         [this](int type, QByteArray data) { messages.push_back({type, data}); });
        QObject::connect(&s, &DeviceSession::mustEnd, &context, [this] { ++ends; });
        QObject::connect(&s, &DeviceSession::started, &context, [this] { ++starts; });
        QObject::connect(&s, &DeviceSession::warning, &context,
                         [this](QString, QString text) { warnings << text; });
        QObject::connect(&s, &DeviceSession::modelFileRead, &context, [this](QString) { ++models; });
    }
    QObject context;
    QStringList lines;
    QStringList warnings;
    std::vector<std::pair<int, QByteArray>> messages;
    int ends = 0;
    int starts = 0;
    int models = 0;
};

// One family: its fake, where the session's receiver talks, what the start queries look like on
// the wire, and its settings.
struct Family {
    const char *name;
    uint8_t model;
    // Makes the fake and the session's target; returns the commands the fake has taken.
    std::function<std::function<std::vector<std::vector<uint8_t>>()>(SessionTarget *)> fake;
    std::function<std::vector<uint16_t>(const std::vector<std::vector<uint8_t>> &)> kinds; // of the commands
    std::vector<uint16_t> queries;  // the start queries' kinds
    QByteArray setting;             // a setting; the device accepts it
    QString settingLine;            // the log line of its confirmation
    QByteArray addressSetting;      // empty for a family whose settings never end the session
};

std::vector<uint16_t> sumKinds(const std::vector<std::vector<uint8_t>> &frames)
{
    std::vector<uint16_t> out;
    for (const auto &f : frames)
        out.push_back(sumType(f));
    return out;
}

std::vector<uint16_t> crcKinds(const std::vector<std::vector<uint8_t>> &frames)
{
    std::vector<uint16_t> out;
    for (const auto &f : frames)
        if (f.size() >= 2 && f[0] == 'L' && f[1] == 'H') // not the box's "hello"
            out.push_back(crcCommand(f));
    return out;
}

class DeviceSessionFamilies : public ::testing::TestWithParam<int> {};

std::vector<Family> families()
{
    // The fakes live as long as the test that asked for them.
    static std::unique_ptr<FakeFenkU> fenk;
    static std::unique_ptr<FakeRaxo> raxo;
    static std::unique_ptr<FakeVimo> vimo;
    static std::unique_ptr<FakeBox> box;
    const QString cmdInfo = msg_type_text(MSG_CMD_INFO);
    return {
        {"Fenk-U", LIDAR_FENK_U,
         [](SessionTarget *t) {
             fenk = std::make_unique<FakeFenkU>();
             *t = {QString::fromStdString(fenk->ip()), fenk->port(), free_udp_port(), "127.0.0.1"};
             return std::function<std::vector<std::vector<uint8_t>>()>([] { return fenk->commands(); });
         },
         sumKinds, {FENK_GET_PARAM}, setFrame(FENK_SET, FENK_SET_PWM), cmdInfo + "|pwm SET OK",
         setFrame(FENK_SET, FENK_SET_ADDRESS)},
        {"Raxo-E", LIDAR_RAXO_E,
         [](SessionTarget *t) {
             raxo = std::make_unique<FakeRaxo>();
             *t = {QString::fromStdString(raxo->ip()), raxo->listen_port(), free_udp_port(), "127.0.0.1"};
             return std::function<std::vector<std::vector<uint8_t>>()>([] { return raxo->commands(); });
         },
         sumKinds, {RAXO_GET_PARAM}, setFrame(RAXO_SET, RAXO_SET_OUTPUT), "Info|pwm SET OK",
         setFrame(RAXO_SET, RAXO_SET_ADDRESS)},
        {"Raxo-S", LIDAR_RAXO_S,
         [](SessionTarget *t) {
             raxo = std::make_unique<FakeRaxo>();
             // The answer to the algorithm query reads the models back.
             raxo->serve_file("alg_model.bin", {'0', '\n'});
             *t = {QString::fromStdString(raxo->ip()), raxo->listen_port(), free_udp_port(), "127.0.0.1"};
             return std::function<std::vector<std::vector<uint8_t>>()>([] { return raxo->commands(); });
         },
         sumKinds, {RAXO_GET_PARAM, RAXO_GET_ALG_PARAM}, setFrame(RAXO_SET, RAXO_SET_OUTPUT), "Info|pwm SET OK",
         setFrame(RAXO_SET, RAXO_SET_ADDRESS)},
        {"Vimo-E", LIDAR_VIMO_E,
         [](SessionTarget *t) {
             vimo = std::make_unique<FakeVimo>();
             const int local = free_udp_port();
             vimo->set_host("127.0.0.1", local);
             *t = {QString::fromStdString(vimo->ip()), vimo->port(), local, "127.0.0.1"};
             return std::function<std::vector<std::vector<uint8_t>>()>([] {
                 std::vector<std::vector<uint8_t>> out;
                 for (const Datagram &d : vimo->peer().received())
                     out.push_back(d.bytes);
                 return out;
             });
         },
         crcKinds, {QUERY_PACK}, textFrame("LSTARH"), "Info|pwm SET OK", QByteArray()},
        {"algorithm box", LIDAR_ALG_BOX,
         [](SessionTarget *t) {
             box = std::make_unique<FakeBox>(); // 127.0.0.2:6002
             box->set_host("127.0.0.1", FakeBox::kPort);
             box->set_answer_commands(true);
             *t = {QString::fromStdString(box->ip()), FakeBox::kPort, FakeBox::kPort, "127.0.0.1"};
             return std::function<std::vector<std::vector<uint8_t>>()>([] {
                 std::vector<std::vector<uint8_t>> out;
                 for (const Datagram &d : box->peer().received())
                     out.push_back(d.bytes);
                 return out;
             });
         },
         crcKinds, {}, textFrame("LSCIR:4H"), "Info|pwm SET OK", QByteArray()},
    };
}

// Start, queries, a setting and its confirmation, an address change, the stop: the road of a
// page's setting through the session to the wire and back, without a window.
TEST_P(DeviceSessionFamilies, QueriesASettingAndItsConfirmationTheEndAndTheStop)
{
    const Family f = families()[size_t(GetParam())];
    SCOPED_TRACE(f.name);
    SessionTarget target;
    const auto commands = f.fake(&target);
    DeviceSession session;
    DeviceSessionTestAccess access(session);
    Said said(session);

    ASSERT_TRUE(session.start(f.model, target));
    EXPECT_TRUE(session.isRunning());
    EXPECT_EQ(session.model(), f.model);
    if (!f.queries.empty()) {
        ASSERT_TRUE(wait_until([&] { return f.kinds(commands()).size() >= f.queries.size(); }, kWaitMs));
        EXPECT_EQ(f.kinds(commands()), f.queries) << "the start queries on the wire";
    }
    EXPECT_TRUE(wait_until([&] { return said.starts == 1 || f.model == LIDAR_ALG_BOX; }, kWaitMs));
    // The receiver's socket is open once the device has heard from it (the box its "hello").
    ASSERT_TRUE(wait_until([&] { return !commands().empty(); }, kWaitMs));
    // A session that reads the models back does so on the command socket, and reads nothing
    // else meanwhile: the settings wait for it.
    if (device_model(f.model).objectModels)
        ASSERT_TRUE(wait_until([&] { return said.models == 1; }, kWaitMs));

    // A setting of another family goes nowhere and keeps no note.
    const uint8_t other = f.model == LIDAR_FENK_U ? LIDAR_VIMO_E : LIDAR_FENK_U;
    EXPECT_FALSE(session.send(f.setting, "wrong family", other));
    EXPECT_EQ(session.notesWaiting(), 0);

    const size_t before = f.kinds(commands()).size();
    ASSERT_TRUE(session.send(f.setting, "pwm", f.model));
    ASSERT_TRUE(wait_until([&] { return said.lines.contains(f.settingLine); }, kWaitMs)) << said.lines.join("\n").toStdString();
    EXPECT_EQ(f.kinds(commands()).size(), before + 1);
    EXPECT_EQ(session.notesWaiting(), 0) << "the confirmation took its note";
    EXPECT_EQ(said.ends, 0);
    EXPECT_TRUE(said.warnings.isEmpty());

    if (!f.addressSetting.isEmpty()) {
        // Accepted, the device moves to another address: the session cannot go on.
        ASSERT_TRUE(session.send(f.addressSetting, "lidar ip", f.model));
        ASSERT_TRUE(wait_until([&] { return said.ends == 1; }, kWaitMs));
    }

    QPointer<SensorReceiver> receiver(session.receiver());
    access.notes() = {"waiting"};
    session.stop();
    EXPECT_FALSE(session.isRunning());
    EXPECT_EQ(session.model(), LIDAR_UNKNOWN);
    EXPECT_EQ(session.notesWaiting(), 0);
    ASSERT_TRUE(wait_until([&] { return receiver.isNull(); }, kWaitMs)) << "the receiver deletes itself";
    EXPECT_FALSE(session.send(f.setting, "after the stop", f.model));
}

std::string familyName(const ::testing::TestParamInfo<int> &p)
{
    static const char *const names[] = {"FenkU", "RaxoE", "RaxoS", "VimoE", "Box"};
    return names[p.param];
}

INSTANTIATE_TEST_SUITE_P(Each, DeviceSessionFamilies, ::testing::Range(0, 5), familyName);

// A stopped receiver may still have posts on their way when the next session has started: only
// its log lines come out of the session; its replies, frames and start message act on nothing.
TEST(DeviceSession, AStoppedReceiversLatePostsAreDroppedButItsLogLines)
{
    FakeRaxo raxo;
    FakeFenkU fenk;
    fenk.set_command_handler([](const std::vector<uint8_t> &) { return std::vector<uint8_t>(); });
    DeviceSession session;
    DeviceSessionTestAccess access(session);
    Said said(session);
    int frames = 0;
    QObject::connect(&session, &DeviceSession::frame, &said.context,
                     [&](const std::vector<UserPointData> &, int) { ++frames; });

    ASSERT_TRUE(session.start(LIDAR_RAXO_E, {QString::fromStdString(raxo.ip()), raxo.listen_port(),
                                             free_udp_port(), "127.0.0.1"}));
    QPointer<SensorReceiver> old(session.receiver());
    QObject::disconnect(old.data(), &QThread::finished, old.data(), &QObject::deleteLater);
    session.stop();
    ASSERT_TRUE(session.start(LIDAR_FENK_U, {QString::fromStdString(fenk.ip()), fenk.port(), free_udp_port(),
                                             "127.0.0.1"}));
    ASSERT_TRUE(wait_until([&] { return fenk.commands().size() == 1; }, kWaitMs));
    access.notes() = {"a note no stale reply may take"};
    said.messages.clear();
    said.lines.clear();

    emit old->sig_data(MSG_RECV_STARTED, QByteArray());
    emit old->sig_framedata(std::vector<UserPointData>(9), LIDAR_RAXO_E);
    emit old->sig_data(MSG_CMD_INFO, bytes(make_command_reply(RAXO_SET, std::vector<uint8_t>(4, 0))));
    emit old->sig_data(MSG_ZONE_MONITOR, QByteArray(308, '\0'));
    emit old->sig_data(MSG_WARM, QByteArray("last words of the old session"));
    testsupport::drain_events();

    EXPECT_EQ(frames, 0);
    EXPECT_TRUE(said.lines.isEmpty()) << said.lines.join("\n").toStdString();
    ASSERT_EQ(said.messages.size(), 1u);
    EXPECT_EQ(said.messages[0].second, "last words of the old session");
    EXPECT_EQ(access.notes(), QVector<QString>({"a note no stale reply may take"}));
    QTest::qWait(100);
    EXPECT_EQ(fenk.commands().size(), 1u) << "the old start message queried nothing";
    session.stop();
    delete old.data();
}

// Replies that reach the session from elsewhere (a playback, the dispatcher) are read by the
// format of the model shown; a set result nobody waits for raises a warning; a confirmed
// data-type setting of the model shown asks its parameters again only of a session of its family.
TEST(DeviceSession, RepliesReadByTheModelShown)
{
    DeviceSession session;
    DeviceSessionTestAccess access(session);
    Said said(session);
    std::vector<QByteArray> fenkBodies, raxoBodies;
    QObject::connect(&session, &DeviceSession::fenkParameters, &said.context,
                     [&](QByteArray b) { fenkBodies.push_back(b); });
    QObject::connect(&session, &DeviceSession::raxoParameters, &said.context,
                     [&](QByteArray b) { raxoBodies.push_back(b); });

    std::vector<uint8_t> fenkBody(fenk_param::kSize, 0);
    wr_u16(&fenkBody[fenk_param::kDataType], 0x34);
    const QByteArray fenkParams = bytes(make_command_reply(FENK_GET_PARAM, fenkBody));
    session.readReply(fenkParams, LIDAR_FENK_U);
    session.readReply(bytes(make_command_reply(RAXO_GET_PARAM, std::vector<uint8_t>(raxo_param::kSize, 1))),
                      LIDAR_RAXO_S);
    session.readReply(fenkParams, LIDAR_UNKNOWN); // no model: no reply format
    EXPECT_EQ(fenkBodies.size(), 1u);
    EXPECT_EQ(raxoBodies.size(), 1u);
    EXPECT_EQ(said.lines, QStringList({msg_type_text(MSG_CMD_INFO) + "|get lidar parameters  OK",
                                       "Info|get lidar parameters  OK"}));

    said.lines.clear();
    session.readReply(bytes(make_command_reply(FENK_SET, std::vector<uint8_t>(4, 0))), LIDAR_FENK_U);
    EXPECT_EQ(said.warnings, QStringList({"Multiple simultaneous connections to the host computer exist!"}));
    access.notes().append("data type", FENK_SET_DATA_TYPE);
    session.readReply(bytes(make_command_reply(FENK_SET, std::vector<uint8_t>(4, 0))), LIDAR_FENK_U);
    EXPECT_EQ(said.lines, QStringList({msg_type_text(MSG_CMD_INFO) + "|data type SET OK"}));
    EXPECT_EQ(session.notesWaiting(), 0);
    EXPECT_EQ(said.ends, 0);
}

} // namespace
