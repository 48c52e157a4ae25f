// The box command thread against a fake box command channel on 127.0.0.2:6666 (the program
// binds 127.0.0.1:6666) and a fake firmware receiver on 127.0.0.2:6665; the reply classifier
// over a table of datagrams, each in a heap block of its own size.

#include "algorithmboxproc.h"
#include "fakeboxcommand.h"
#include "firmwaretarget.h"
#include "lhframe.h"
#include "testsupport.h"


#include <QPointer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using testsupport::wait_until;

namespace {

struct BoxMessage {
    QString ip;
    int type;
    QString info;
};

// What the thread posts, received on the test's thread through a queued connection, as the
// configurator receives it.
class MessageLog : public QObject {
public:
    std::vector<BoxMessage> messages;

    void watch(AlgorithmBoxProc *proc)
    {
        connect(proc, &AlgorithmBoxProc::sig_BoxMSG, this,
                [this](QString ip, int type, QString info) { messages.push_back({ip, type, info}); },
                Qt::QueuedConnection);
    }
    std::vector<int> types() const
    {
        std::vector<int> out;
        for (const auto &m : messages)
            out.push_back(m.type);
        return out;
    }
};

// Trace lines written while it lives.
class TraceCapture {
public:
    TraceCapture() { previous_ = qInstallMessageHandler(&TraceCapture::handler); }
    ~TraceCapture() { qInstallMessageHandler(previous_); }
    static QStringList lines()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &text)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_ << text;
    }
    QtMessageHandler previous_;
    static inline std::mutex mutex_;
    static inline QStringList lines_;
};

std::vector<uint8_t> text_reply(const std::string &text)
{
    return FakeBoxCommand::reply(text, 7);
}

std::vector<uint8_t> frame_with(uint16_t cmd, const std::string &text)
{
    auto d = FakeBoxCommand::reply(text, 7);
    wr_u16(&d[2], cmd);
    return d;
}

class BoxChannel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fake.ok()) << "port 6666 on 127.0.0.2";
        AlgorithmBoxProc::setBindAddress("127.0.0.1");
        proc = new AlgorithmBoxProc;
        QObject::connect(proc, &QThread::finished, proc, &QObject::deleteLater);
        guard = proc;
        log.watch(proc);
    }

    void TearDown() override
    {
        if (!guard)
            return;
        guard->stop();
        if (guard->isRunning() || guard->isFinished()) {
            EXPECT_TRUE(wait_until([&] { return guard.isNull(); }, 5000));
        }
        if (guard)
            delete guard.data(); // never started
    }

    // Makes the fake the box the commands go to (as choosing it in the configurator's list
    // does), starts the loop and waits until it reads its socket: the fake announces itself
    // until the thread has posted its reply.
    void start_and_wait_ready()
    {
        proc->setBoxAddr(QString::fromStdString(fake.ip()), AlgorithmBoxProc::kBoxPort);
        proc->start();
        ASSERT_TRUE(wait_until([&] {
            if (!log.messages.empty())
                return true;
            fake.send_to_host(text_reply("LVERSH:ready"));
            return wait_until([&] { return !log.messages.empty(); }, 20);
        }));
        log.messages.clear();
    }

    FakeBoxCommand fake{"127.0.0.2", FakeBoxCommand::kPort};
    AlgorithmBoxProc *proc = nullptr;
    QPointer<AlgorithmBoxProc> guard;
    MessageLog log;
};

} // namespace

TEST(BoxReplyClassifier, TableOfDatagrams)
{
    struct Case {
        const char *name;
        std::vector<uint8_t> bytes;
        int type;
        std::string text;
    };
    auto short15 = text_reply("REBOOT");
    short15.resize(15);
    auto exact16 = text_reply("REBOOT");
    exact16.resize(16);
    auto lying = text_reply("LSGETS:1.1.1.1 1000 0");
    wr_u16(&lying[6], 600); // claims more than the datagram carries
    std::vector<uint8_t> long_text(LH_CRC_HEADER + 1000, 'x');
    wr_u16(&long_text[0], LH_MAGIC);
    wr_u16(&long_text[2], AlgorithmBoxProc::kTextReply);
    wr_u16(&long_text[6], 1000);
    std::memcpy(&long_text[8], "LVERSH:", 7);
    auto not_lh = text_reply("REBOOT");
    not_lh[1] = 'X';

    std::vector<Case> cases = {
        {"15 bytes", short15, -1, ""},
        {"16 bytes", exact16, 1, "REBOOT"},
        {"REBOOT", text_reply("REBOOT"), 1, "REBOOT"},
        {"LSADD:", text_reply("LSADD:OK"), 2, "LSADD:OK"},
        {"LSDEL:", text_reply("LSDEL:OK"), 3, "LSDEL:OK"},
        {"LSGETS:", text_reply("LSGETS:1.1.1.1 1000 0"), 4, "LSGETS:1.1.1.1 1000 0"},
        {"LSNET:", text_reply("LSNET:OK"), 5, "LSNET:OK"},
        {"LSNETS", text_reply("LSNETS:1.2.3.4 255.0.0.0 1.0.0.1"), 6, "LSNETS:1.2.3.4 255.0.0.0 1.0.0.1"},
        {"LVERSH", text_reply("LVERSH:V1"), 7, "LVERSH:V1"},
        {"LSMAC:", text_reply("LSMAC:NG"), 8, "LSMAC:NG"},
        {"LQMACH", text_reply("LQMACH:00:11:22:33:44:55H"), 9, "LQMACH:00:11:22:33:44:55H"},
        {"LUUIDH:", text_reply("LUUIDH:SN1H"), 10, "LUUIDH:SN1H"},
        {"LQUUID", text_reply("LQUUID:OK"), 11, "LQUUID:OK"},
        {"unknown prefix", text_reply("HELLO:world"), -1, "HELLO:world"},
        {"text shorter than a prefix", text_reply("REBO"), -1, "REBO"},
        {"zone read reply", frame_with(0xA5B8, "REBOOT"), -1, ""},
        {"zone write reply", frame_with(0xA5AC, "REBOOT"), -1, ""},
        {"firmware reply", frame_with(0xFFB9, "REBOOT"), -1, ""},
        {"session text reply", frame_with(0xFFBC, "REBOOT"), -1, ""},
        {"not LH", not_lh, -1, ""},
        {"length field beyond the datagram", lying, 4, "LSGETS:1.1.1.1 1000 0"},
        {"text beyond the buffer", long_text, 7, "LVERSH:" + std::string(511 - 7, 'x')},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        // A block of exactly the datagram's size, so that a read past it is caught.
        std::unique_ptr<uint8_t[]> block(new uint8_t[c.bytes.size()]);
        std::memcpy(block.get(), c.bytes.data(), c.bytes.size());
        char text[AlgorithmBoxProc::kTextBufferSize];
        std::memset(text, 'z', sizeof(text));
        EXPECT_EQ(AlgorithmBoxProc::parseBoxMsg(int(c.bytes.size()), block.get(), text), c.type);
        if (c.type != -1 || !c.text.empty()) {
            EXPECT_EQ(std::string(text), c.text);
        }
        EXPECT_LT(std::strlen(text), AlgorithmBoxProc::kTextBufferSize);
    }
    char text[AlgorithmBoxProc::kTextBufferSize];
    EXPECT_EQ(AlgorithmBoxProc::parseBoxMsg(0, nullptr, text), -1);
    EXPECT_EQ(AlgorithmBoxProc::parseBoxMsg(-5, exact16.data(), text), -1);
}

TEST_F(BoxChannel, CommandsGoOutAsTextFramesOfCommand117)
{
    proc->sendCmd(117, "REBOOT"); // before the socket is open: nothing
    start_and_wait_ready();

    proc->sendCmd(116, "LVERSH");
    proc->sendCmd(117, "LVERSH");
    proc->sendCmd(117, "LSMAC:00:1A:2B:3C:4D:5EH"); // 24 bytes: no padding, no terminator
    ASSERT_TRUE(fake.wait_for(2, 5000));
    ASSERT_TRUE(wait_until([&] { return log.messages.size() == 2; }));

    const auto cmds = fake.commands();
    ASSERT_EQ(cmds.size(), 2u) << "neither the early command nor mode 116 went out";
    EXPECT_EQ(cmds[0].text, "LVERSH");
    EXPECT_EQ(cmds[0].length, 8);
    EXPECT_EQ(cmds[1].text, "LSMAC:00:1A:2B:3C:4D:5EH");
    EXPECT_EQ(cmds[1].length, 24);
    for (const auto &c : cmds) {
        EXPECT_EQ(c.cmd, 117);
        EXPECT_TRUE(c.crc_ok);
        EXPECT_LE(c.seq, 0x7FFF);
        EXPECT_EQ(c.from_ip, "127.0.0.1");
        EXPECT_EQ(c.from_port, 6666);
    }
    EXPECT_EQ(fake.peer().received()[1].bytes.size(), 8u + 24u + 4u);

    EXPECT_EQ(log.types(), (std::vector<int>{7, 8}));
    EXPECT_EQ(log.messages[0].ip, "127.0.0.2");
    EXPECT_EQ(log.messages[0].info, "LVERSH:V2.1.7");
    EXPECT_EQ(log.messages[1].info, "LSMAC:OK");
}

TEST_F(BoxChannel, ShortAndUnknownDatagramsPostNothing)
{
    start_and_wait_ready();
    auto short15 = text_reply("REBOOT");
    short15.resize(15);
    fake.send_to_host(short15);
    fake.send_to_host(frame_with(0xA5B8, "REBOOT"));
    fake.send_to_host(frame_with(0xFFB9, "REBOOT"));
    fake.send_to_host({'h', 'e', 'l', 'l', 'o'});
    fake.send_to_host(text_reply("LSNET:OK"));
    ASSERT_TRUE(wait_until([&] { return !log.messages.empty(); }));
    EXPECT_EQ(log.types(), (std::vector<int>{5}));
}

// Anyone on the network may send to port 6666. Only the box the commands go to is heard: a
// stranger's replies, however many, post nothing and take no command over, while the box's
// own, sent after them, still arrive.
TEST_F(BoxChannel, RepliesOfAnotherSenderAreDroppedAndTakeNoCommandOver)
{
    start_and_wait_ready();
    FakeBoxCommand other("127.0.0.3", FakeBoxCommand::kPort);
    ASSERT_TRUE(other.ok());
    const std::vector<std::vector<uint8_t>> spoofed = {
        text_reply("REBOOT"), text_reply("LSNETS:9.9.9.9 255.0.0.0 9.0.0.1"),
        text_reply("LVERSH:stranger"), text_reply("LSMAC:NG"), text_reply("LQUUID:NG")};
    for (int round = 0; round < 200; ++round)
        for (const auto &d : spoofed)
            other.send_to_host(d);
    // The socket's buffer may have overflowed with the stranger's: the box says it until heard.
    ASSERT_TRUE(wait_until([&] {
        fake.send_to_host(text_reply("LVERSH:box"));
        return wait_until([&] { return !log.messages.empty(); }, 20);
    }));
    for (const auto &m : log.messages) {
        EXPECT_EQ(m.ip, "127.0.0.2");
        EXPECT_EQ(m.info, "LVERSH:box");
    }
    log.messages.clear();

    proc->sendCmd(117, "LVERSH");
    ASSERT_TRUE(fake.wait_for(1, 5000));
    EXPECT_EQ(fake.command_texts(), (std::vector<std::string>{"LVERSH"}));
    EXPECT_TRUE(other.commands().empty());
    // The box's answer to it comes after every repeat above.
    ASSERT_TRUE(wait_until([&] {
        return std::any_of(log.messages.begin(), log.messages.end(),
                           [](const BoxMessage &m) { return m.info == "LVERSH:V2.1.7"; });
    }));
    log.messages.clear();

    // Choosing the other box makes it the one heard.
    proc->setBoxAddr("127.0.0.3", AlgorithmBoxProc::kBoxPort);
    other.send_to_host(text_reply("LVERSH:other"));
    fake.send_to_host(text_reply("LVERSH:old box"));
    other.send_to_host(text_reply("LSMAC:OK"));
    auto posted = [&](const QString &info) {
        return std::count_if(log.messages.begin(), log.messages.end(),
                             [&](const BoxMessage &m) { return m.info == info; });
    };
    ASSERT_TRUE(wait_until([&] { return posted("LSMAC:OK") == 1; }));
    EXPECT_EQ(posted("LVERSH:other"), 1);
    EXPECT_EQ(posted("LVERSH:old box"), 0);
    for (const auto &m : log.messages)
        EXPECT_EQ(m.ip, "127.0.0.3") << m.info.toStdString();
}

TEST_F(BoxChannel, PortTakenIsReportedAndTheThreadEnds)
{
    FakePeer holder("127.0.0.1", FakeBoxCommand::kPort, false);
    ASSERT_TRUE(holder.ok());
    proc->start();
    ASSERT_TRUE(wait_until([&] { return guard.isNull(); }, 5000)) << "the thread deletes itself";
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].type, -1);
    EXPECT_EQ(log.messages[0].info, "open BOXPORT failed!");
}

TEST_F(BoxChannel, StopEndsTheLoopWithItsTraceLine)
{
    start_and_wait_ready();
    TraceCapture trace;
    proc->stop();
    ASSERT_TRUE(wait_until([&] { return guard.isNull(); }, 5000));
    EXPECT_TRUE(TraceCapture::lines().last().endsWith("thread end"));
    // The port is free again.
    FakePeer again("127.0.0.1", FakeBoxCommand::kPort, false);
    EXPECT_TRUE(again.ok());
}

class BoxFirmware : public BoxChannel {
protected:
    BoxFirmwareTarget target{1024, "box.bin"};
    FakeIapDevice &device = target.device;
    const std::string &path = target.path;
};

TEST_F(BoxFirmware, UpgradeRunsOnTheLoopAndReportsOk)
{
    start_and_wait_ready();
    proc->setBoxAddr("127.0.0.2", 6665);
    proc->setUpgradeFile("127.0.0.2", QString::fromStdString(path));
    EXPECT_TRUE(proc->upgradePending());
    ASSERT_TRUE(wait_until([&] { return !log.messages.empty(); }, 10000));
    EXPECT_EQ(log.messages[0].type, 21);
    EXPECT_EQ(log.messages[0].ip, "127.0.0.2");
    EXPECT_EQ(log.messages[0].info, "firmware upgrade OK!");
    EXPECT_FALSE(proc->upgradePending());

    ASSERT_TRUE(device.wait_for(5, 5000)) << "the end message is not answered: it may still be on its way";
    const auto msgs = device.messages();
    ASSERT_EQ(msgs.size(), 5u);
    EXPECT_EQ(msgs[0].word0, OP_FLASH_ERASE);
    EXPECT_EQ(msgs[1].word0, 0u);
    EXPECT_EQ(msgs[2].word0, 512u);
    EXPECT_EQ(msgs[3].word0, OP_WRITE_IAP);
    EXPECT_EQ(msgs[4].word0, OP_UPGRADE_END);
    EXPECT_EQ(msgs[0].from_port, 6665);

    // Commands still go to the box's command port afterwards.
    proc->sendCmd(117, "LVERSH");
    ASSERT_TRUE(fake.wait_for(1, 5000));
    EXPECT_EQ(fake.commands()[0].text, "LVERSH");
}

TEST_F(BoxFirmware, RefusedChunkReportsNg)
{
    device.set_policy([](const IapMessage &m) -> std::vector<std::vector<uint8_t>> {
        return {make_iap_reply(m.seq, m.word0, m.word0 == 512 ? 2 : 0, "bad chunk")};
    });
    start_and_wait_ready();
    proc->setBoxAddr("127.0.0.2", 6665);
    proc->setUpgradeFile("127.0.0.2", QString::fromStdString(path));
    ASSERT_TRUE(wait_until([&] { return !log.messages.empty(); }, 10000));
    EXPECT_EQ(log.messages[0].type, 21);
    EXPECT_EQ(log.messages[0].info, "firmware upgrade NG!");
    EXPECT_FALSE(proc->upgradePending());
}

TEST_F(BoxFirmware, ADatagramFromAnotherDeviceDoesNotRedirectTheTransfer)
{
    FakeIapDevice stray("127.0.0.3", IAP_BOX_PORT);
    ASSERT_TRUE(stray.ok());
    stray.start();
    FakeBoxCommand other("127.0.0.3", FakeBoxCommand::kPort);
    ASSERT_TRUE(other.ok());
    start_and_wait_ready();

    proc->setBoxAddr("127.0.0.2", 6665);
    // Between the window's request and the loop's start of the transfer, another device
    // speaks on port 6666: it is not heard.
    other.send_to_host(text_reply("LVERSH:other"));
    proc->setUpgradeFile("127.0.0.2", QString::fromStdString(path));

    ASSERT_TRUE(wait_until([&] { return !log.messages.empty(); }, 10000));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].ip, "127.0.0.2");
    EXPECT_EQ(log.messages[0].info, "firmware upgrade OK!");
    EXPECT_TRUE(device.wait_for(5, 5000));
    EXPECT_EQ(device.messages().size(), 5u);
    EXPECT_TRUE(stray.messages().empty());
}
