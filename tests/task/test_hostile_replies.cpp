// Command replies of every receiver through real sockets, with a stranger on 127.0.0.3 flooding
// the port the replies come to: nothing the stranger sends is posted, the device's own reply
// after it is. The device is 127.0.0.2 throughout.

#include "fakebox.h"
#include "fakepeer.h"
#include "fakevimo.h"
#include "lhframe.h"
#include "receiverprobe.h"
#include "recvboxdataproc.h"
#include "recvdataproc.h"
#include "recvdataproc2.h"
#include "recvdataproc3.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWaitMs = 10000;
constexpr size_t kFlood = 2000;

std::vector<uint8_t> sum_reply(uint16_t type, uint16_t seq, const std::vector<uint8_t> &payload)
{
    return lh_make_sum_frame(0, seq, type, payload.data(), unsigned(payload.size()));
}

QByteArray bytes(const std::vector<uint8_t> &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

// A receiver started against the device at 127.0.0.2:`device_port`, its posts collected.
struct Running {
    std::unique_ptr<QThread> thread;
    std::function<void()> stop;
    int reply_port = 0; // where the device's replies arrive on 127.0.0.1
};

struct Case {
    const char *name;
    std::function<Running(int device_port, std::vector<Posted> &posts)> start;
    std::vector<std::vector<uint8_t>> stranger; // sent over and over
    std::vector<uint8_t> device;
    int type;          // what the device's reply is posted as
    QByteArray posted; // and with what bytes
};

template <class Receiver> void collect(Receiver *r, std::vector<Posted> &posts)
{
    QObject::connect(r, &Receiver::sig_data, r, [&posts](int type, QByteArray d) { posts.push_back({type, d}); },
                     Qt::QueuedConnection);
}

// Starts a receiver that init() has given its ports: bound to 127.0.0.1, its posts collected.
template <class Receiver> Running run(Receiver *rx, int reply_port, std::vector<Posted> &posts)
{
    rx->setBindAddress("127.0.0.1");
    collect(rx, posts);
    rx->start();
    return Running{std::unique_ptr<QThread>(rx), [rx] { rx->stop(); }, reply_port};
}

// Replies and messages that only the device may cause.
bool device_only(int type)
{
    return type == MSG_CMD_INFO || type == MSG_VIMO_PARAM || type == MSG_ZONE_MONITOR;
}

std::vector<Case> cases()
{
    const std::vector<uint8_t> raxoSet = sum_reply(0x8002, 7, {0, 0, 0, 0});
    const std::vector<uint8_t> raxoParams = sum_reply(0x8001, 8, std::vector<uint8_t>(608, 0));
    const std::vector<uint8_t> fenkParams = sum_reply(0x8007, 9, std::vector<uint8_t>(120, 0));
    const std::vector<uint8_t> deviceSet = sum_reply(0x8002, 1, {1, 2, 3, 4});
    std::vector<Case> out;

    out.push_back({"Raxo command socket",
                   [](int device_port, std::vector<Posted> &posts) {
                       // The command socket takes the device's port number; the fake's own
                       // port does not matter here, as nothing is sent to it.
                       Q_UNUSED(device_port);
                       auto *rx = new RecvDataProc2;
                       const int cmd = free_udp_port();
                       rx->init(free_udp_port(), "127.0.0.2", cmd);
                       return run(rx, cmd, posts);
                   },
                   {raxoSet, raxoParams, sum_reply(0x8006, 3, std::vector<uint8_t>(128, 0))},
                   deviceSet, MSG_CMD_INFO, bytes(deviceSet)});

    out.push_back({"Fenk-U socket",
                   [](int device_port, std::vector<Posted> &posts) {
                       auto *rx = new RecvDataProc;
                       const int local = free_udp_port();
                       rx->init("127.0.0.2", device_port, local);
                       return run(rx, local, posts);
                   },
                   {sum_reply(0x8008, 7, {0, 0, 0, 0}), fenkParams}, deviceSet, MSG_CMD_INFO,
                   bytes(deviceSet)});

    const std::vector<uint8_t> vimoText = FakeVimo::reply(0xFFAC, 2, {'y', 'e', 's', 0});
    out.push_back({"Vimo-E socket",
                   [](int device_port, std::vector<Posted> &posts) {
                       auto *rx = new RecvDataProc3;
                       const int local = free_udp_port();
                       rx->init(local, "127.0.0.2", device_port);
                       return run(rx, local, posts);
                   },
                   {FakeVimo::reply(0xFFAC, 1, {'n', 'o', 0, 0}),
                    FakeVimo::reply(FakeVimo::kParamReply, 3,
                                    FakeVimo::param_record("STRANGER", "LDS-Vimo-E"))},
                   vimoText, MSG_CMD_INFO, QByteArray("yes\0", 4)});

    out.push_back({"box session socket",
                   [](int device_port, std::vector<Posted> &posts) {
                       auto *rx = new RecvBoxDataProc;
                       const int local = free_udp_port();
                       rx->init(local, "127.0.0.2", device_port);
                       return run(rx, local, posts);
                   },
                   {FakeBox::reply(0xFFAC, 1, "stranger"), FakeBox::lmsg(64, 0x11)},
                   FakeBox::reply(0xFFAC, 2, "box says hi"), MSG_CMD_INFO,
                   QByteArray("box says hi\0", 12)});
    return out;
}

} // namespace

TEST(HostileReplies, AStrangersFloodIsDroppedAndTheDevicesReplyPosted)
{
    for (const Case &c : cases()) {
        SCOPED_TRACE(c.name);
        FakePeer device("127.0.0.2");
        FakePeer stranger("127.0.0.3");
        ASSERT_TRUE(device.ok());
        ASSERT_TRUE(stranger.ok());
        device.start();
        std::vector<Posted> posts;
        Running r = c.start(device.port(), posts);
        // Every receiver says hello or that it started: either way its socket is open.
        ASSERT_TRUE(wait_until([&] {
            return device.received_count() > 0
                || std::any_of(posts.begin(), posts.end(),
                               [](const Posted &p) { return p.type == MSG_RECV_STARTED; });
        }, kWaitMs));

        // In bursts, each read before the next: all of the stranger's reach the receiver.
        ASSERT_TRUE(send_in_bursts(r.reply_port, kFlood, 100, [&](size_t i) {
            stranger.send_to("127.0.0.1", r.reply_port, c.stranger[i % c.stranger.size()]);
        }));
        device.send_to("127.0.0.1", r.reply_port, c.device);
        ASSERT_TRUE(wait_until([&] {
            return std::any_of(posts.begin(), posts.end(), [&](const Posted &p) { return p.type == c.type; });
        }, kWaitMs));
        r.stop();
        ASSERT_TRUE(r.thread->wait(5000));
        drain_events();

        int replies = 0;
        for (const Posted &p : posts) {
            if (!device_only(p.type))
                continue;
            ++replies;
            EXPECT_EQ(p.type, c.type);
            EXPECT_EQ(p.data, c.posted);
        }
        EXPECT_EQ(replies, 1) << "the device's reply, nothing of the stranger's";
    }
}
