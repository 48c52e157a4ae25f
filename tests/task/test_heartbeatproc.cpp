// The heartbeat listener on the real multicast group, inside the test namespace (loopback
// only, the group routed to lo): a fake sensor sends to 225.225.225.225:6789.

#include "fakeheartbeat.h"

#include "checksum.h"
#include "heartbeatproc.h"
#include "lhframe.h"
#include "userpointdata.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include <arpa/inet.h>
#include <cerrno>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct Emitted {
    int type;
    QByteArray info;
};

QByteArray bytes_of(const std::vector<uint8_t> &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

class HeartbeatListener : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(network_is_isolated()) << "run the tests through scripts/test.sh";
        ASSERT_TRUE(sender.ok());
    }

    void TearDown() override
    {
        if (proc) {
            proc->stop();
            ASSERT_TRUE(proc->wait(5000));
        }
    }

    void start_listener()
    {
        proc = std::make_unique<HeartBeatProc>(HEARTBEAT_PORT);
        // Queued into this thread: the list is only touched here.
        QObject::connect(proc.get(), &HeartBeatProc::sig_data, &context,
                         [this](int type, QByteArray info) { got.push_back({type, info}); });
        proc->start();
    }

    bool has(int type, const QByteArray &info) const
    {
        for (const auto &e : got)
            if (e.type == type && e.info == info)
                return true;
        return false;
    }

    bool wait_for(int type, const QByteArray &info, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return has(type, info); }, ms);
    }

    // Until the listener has joined the group, datagrams to it are lost: repeat a marker until
    // one comes through, then one last marker that comes after every repeat, and start clean.
    void wait_until_listening()
    {
        FakeBoxInfo box;
        box.lidar_ip = "127.0.0.201";
        const auto marker = make_box_heartbeat(box);
        for (int i = 0; i < 50 && !has(MSG_BOX_HEARTBEAT, bytes_of(marker)); ++i) {
            sender.send(marker);
            wait_for(MSG_BOX_HEARTBEAT, bytes_of(marker), 200);
        }
        ASSERT_TRUE(has(MSG_BOX_HEARTBEAT, bytes_of(marker)));
        box.lidar_ip = "127.0.0.202";
        const auto last = make_box_heartbeat(box);
        ASSERT_GT(sender.send(last), 0);
        ASSERT_TRUE(wait_for(MSG_BOX_HEARTBEAT, bytes_of(last)));
        got.clear();
    }

    FakeHeartbeatSender sender{"127.0.0.2"};
    QObject context;
    std::unique_ptr<HeartBeatProc> proc;
    std::vector<Emitted> got;
};

} // namespace

TEST_F(HeartbeatListener, SensorHeartbeatsComeOutAs17WithTheirBytes)
{
    start_listener();
    wait_until_listening();

    FakeSensorInfo info;
    const auto b104 = make_heartbeat104(info);
    info.model = "LDS-Vimo-E";
    const auto b112 = make_heartbeat112(info);
    ASSERT_EQ(sender.send(b104), 104);
    ASSERT_EQ(sender.send(b112), 112);
    ASSERT_TRUE(wait_for(MSG_HEARTBEAT, bytes_of(b112)));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].type, MSG_HEARTBEAT);
    EXPECT_EQ(got[0].info, bytes_of(b104));
    EXPECT_EQ(got[1].type, MSG_HEARTBEAT);
    EXPECT_EQ(got[1].info, bytes_of(b112));
}

TEST_F(HeartbeatListener, BoxHeartbeatComesOutAs21)
{
    start_listener();
    wait_until_listening();
    const std::vector<uint8_t> box(91, 0x33); // no checksum: any content passes
    ASSERT_EQ(sender.send(box), 91);
    ASSERT_TRUE(wait_for(MSG_BOX_HEARTBEAT, bytes_of(box)));
    ASSERT_EQ(got.size(), 1u);
}

TEST_F(HeartbeatListener, BadChecksumsAndOtherLengthsEmitNothing)
{
    start_listener();
    wait_until_listening();

    auto b104 = make_heartbeat104();
    b104[20] ^= 0x01;
    auto b112 = make_heartbeat112();
    b112[111] ^= 0x80;
    const auto good112 = make_heartbeat112();
    auto b112_reflected = good112; // the 104's checksum on the 112-byte layout
    wr_u32(&b112_reflected[108], crc32_reflected(0, good112.data(), 108));
    auto b105 = make_heartbeat104();
    b105.push_back(0);
    // Longer than the receive buffer: a 104-byte prefix of it must not pass for a heartbeat.
    std::vector<uint8_t> huge = make_heartbeat104();
    huge.resize(5000, 0);

    for (const auto &d : {b104, b112, b112_reflected, b105, std::vector<uint8_t>(100, 0), huge})
        ASSERT_EQ(sender.send(d), int(d.size()));

    FakeBoxInfo last;
    last.lidar_ip = "127.0.0.203";
    const auto sentinel = make_box_heartbeat(last);
    ASSERT_GT(sender.send(sentinel), 0);
    ASSERT_TRUE(wait_for(MSG_BOX_HEARTBEAT, bytes_of(sentinel)));
    ASSERT_EQ(got.size(), 1u) << "only the sentinel came through";
}

TEST(HeartbeatListenerSetup, BindFailureIsReportedOnce)
{
    // A socket holding the port without address reuse keeps the listener from binding.
    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(holder, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(HEARTBEAT_PORT);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr *>(&a), sizeof(a)), 0);

    QObject context;
    std::vector<Emitted> got;
    HeartBeatProc proc(HEARTBEAT_PORT);
    QObject::connect(&proc, &HeartBeatProc::sig_data, &context,
                     [&got](int type, QByteArray info) { got.push_back({type, info}); });
    proc.start();
    ASSERT_TRUE(proc.wait(5000)) << "the thread ends after the report";
    QCoreApplication::processEvents();
    ::close(holder);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].type, MSG_ERROR);
    EXPECT_EQ(got[0].info, QByteArray("bind failed with error ") + QByteArray::number(EADDRINUSE));
}
