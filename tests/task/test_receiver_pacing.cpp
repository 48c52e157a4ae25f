// What a flood from the device's own address costs the GUI thread: the receivers' post queue
// (one delivery event at a time, replies and records bounded while they wait), the pace of the
// lines a bad datagram raises, and the receivers under a real flood through their sockets.

#include "fakebox.h"
#include "fakeraxo.h"
#include "fakepeer.h"
#include "fakevimo.h"
#include "lhframe.h"
#include "noticepacer.h"
#include "postqueue.h"
#include "receiverprobe.h"
#include "recvboxdataproc.h"
#include "recvdataproc.h"
#include "recvdataproc2.h"
#include "recvdataproc3.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kWaitMs = 10000;

QByteArray bytes(const std::vector<uint8_t> &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

// ---- the post queue ----

TEST(PostQueue, OneDeliveryWaitsAtATimeAndPostsKeepTheirOrder)
{
    PostQueue q;
    bool deliver = false;
    ASSERT_TRUE(q.push({PostQueue::kData, MSG_LOG, "a"}, 0, &deliver));
    EXPECT_TRUE(deliver) << "the first post asks for a delivery";
    for (const char *t : {"b", "c"}) {
        ASSERT_TRUE(q.push({PostQueue::kData, MSG_LOG, t}, 0, &deliver));
        EXPECT_FALSE(deliver) << "one is on its way already";
    }
    // The delivery starts: a post from now on asks for the next one (the one under way may be
    // held in a modal box's event loop).
    q.begin();
    PostQueue::Post p;
    ASSERT_TRUE(q.pop(&p));
    EXPECT_EQ(p.data, "a");
    ASSERT_TRUE(q.push({PostQueue::kData, MSG_LOG, "d"}, 0, &deliver));
    EXPECT_TRUE(deliver);
    std::string rest;
    while (q.pop(&p))
        rest += p.data.toStdString();
    EXPECT_EQ(rest, "bcd");
    EXPECT_FALSE(q.more()) << "nothing waits";

    // Posts left at the end of a delivery ask for one more, once.
    q.begin();
    ASSERT_TRUE(q.push({PostQueue::kData, MSG_LOG, "e"}, 0, &deliver));
    EXPECT_TRUE(deliver);
    q.begin();
    EXPECT_TRUE(q.more());
    EXPECT_FALSE(q.more());
}

TEST(PostQueue, WhatADatagramPostsIsBoundedByKindAndTypeWhileItWaits)
{
    PostQueue q;
    bool deliver = false;
    int room = 0;
    for (int i = 0; i < 100; ++i)
        room += q.push({PostQueue::kData, MSG_CMD_INFO, QByteArray::number(i)}, 32, &deliver);
    EXPECT_EQ(room, 32) << "the rest each left the oldest out";
    // Other types, kinds and unbounded posts are not held back by them.
    EXPECT_TRUE(q.push({PostQueue::kData, MSG_ZONE_MONITOR, "z"}, 32, &deliver));
    EXPECT_TRUE(q.push({1, MSG_CMD_INFO, "own kind"}, 32, &deliver));
    EXPECT_TRUE(q.push({PostQueue::kData, MSG_LOG, "line"}, 0, &deliver));
    EXPECT_EQ(q.waiting(), 35u);
    // The newest 32 wait, in order, with the others where they came.
    PostQueue::Post p;
    std::vector<std::string> order;
    while (q.pop(&p))
        order.push_back(p.data.toStdString());
    ASSERT_EQ(order.size(), 35u);
    EXPECT_EQ(order.front(), "68");
    EXPECT_EQ(order[31], "99");
    EXPECT_EQ(std::vector<std::string>(order.end() - 3, order.end()),
              (std::vector<std::string>{"z", "own kind", "line"}));
    EXPECT_TRUE(q.push({PostQueue::kData, MSG_CMD_INFO, "next"}, 32, &deliver)) << "room again";

    // replace(): only the newest of its kind and type waits, in the place of the first.
    PostQueue r;
    r.push({PostQueue::kData, MSG_LOG, "line"}, 0, &deliver);
    for (int type = 0; type < 3; ++type)
        r.replace({2, 0, QByteArray::number(type)}, &deliver);
    r.push({PostQueue::kData, MSG_LOG, "after"}, 0, &deliver);
    std::vector<std::string> replaced;
    while (r.pop(&p))
        replaced.push_back(p.data.toStdString());
    EXPECT_EQ(replaced, (std::vector<std::string>{"line", "2", "after"}));
    r.replace({2, 0, "3"}, &deliver);
    ASSERT_TRUE(r.pop(&p));
    EXPECT_EQ(p.data, "3") << "taken: the next one waits again";
}

// A receiver that only posts: what its loop would post, from a thread of the test's.
class Poster : public SensorReceiver {
public:
    void setBindAddress(const QString &) override {}
    void stop() override {}
    bool SendCmd(const char *, int) override { return false; }
    bool postFromThread(int type, const QByteArray &data, size_t limit)
    {
        bool room = false;
        std::thread([&] { room = post(type, data, limit); }).join();
        return room;
    }
    std::function<void(const PostQueue::Post &)> delivered;

protected:
    void run() override {}
    void deliver(const PostQueue::Post &p) override { delivered(p); }
};

// What is delivered may open a modal box, whose event loop goes on delivering: posts that arrive
// meanwhile are delivered there, also those that leave an older one out to make room.
TEST(PostQueue, PostsGoOnInsideADeliveryThatWaits)
{
    Poster rx;
    std::vector<std::string> got;
    bool nested = false;
    rx.delivered = [&](const PostQueue::Post &p) {
        got.push_back(p.data.toStdString());
        if (p.data != "box")
            return;
        // The box is open: four replies wait behind it, the bound. Each new one leaves the
        // oldest out, and still reaches the window while the box stays open.
        for (int i = 4; i < 10; ++i)
            EXPECT_FALSE(rx.postFromThread(MSG_CMD_INFO, QByteArray::number(i), 4));
        nested = wait_until([&] { return !got.empty() && got.back() == "9"; }, kWaitMs);
    };
    rx.postFromThread(MSG_LOG, "box", 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(rx.postFromThread(MSG_CMD_INFO, QByteArray::number(i), 4));
    ASSERT_TRUE(wait_until([&] { return got.size() >= 5; }, kWaitMs));
    EXPECT_TRUE(nested) << "delivered while the box was open";
    EXPECT_EQ(got, (std::vector<std::string>{"box", "6", "7", "8", "9"}));
}

// ---- the pace of the lines ----

TEST(NoticePacer, AKindPostsAFewLinesAnIntervalAndThenItsCount)
{
    int64_t now = 1000;
    std::vector<std::string> lines;
    NoticePacer pacer([&](int type, const QString &text) {
        lines.push_back(std::to_string(type) + " " + text.toStdString());
    }, [&] { return now; });
    auto offer = [&](int kind, int i) {
        pacer.offer(kind, MSG_ERROR, [i] { return QString("bad %1").arg(i); });
    };

    for (int i = 0; i < 1000; ++i)
        offer(0, i);
    offer(1, 7); // another kind has its own pace
    EXPECT_EQ(lines, (std::vector<std::string>{"3 bad 0", "3 bad 1", "3 bad 2", "3 bad 7"}));
    pacer.flush();
    EXPECT_EQ(lines.size(), 4u) << "not before the interval has passed";

    now += NoticePacer::kIntervalMs;
    pacer.flush();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines.back(), "3 bad 999 (came 997 times)") << "the newest, with how many it stands for";
    offer(0, 1000);
    offer(0, 1001);
    EXPECT_EQ(lines.size(), 7u) << "the count line opened the interval: two more fit in it";
    offer(0, 1002);
    EXPECT_EQ(lines.size(), 7u);

    // The next offer after the interval brings the count out first; a single one is said plainly.
    now += NoticePacer::kIntervalMs;
    offer(0, 1003);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
              (std::vector<std::string>{"3 bad 1002", "3 bad 1003"}));

    // flush(true) at the loop's end says everything that waits.
    for (int i = 0; i < 10; ++i)
        offer(0, 2000 + i);
    pacer.flush(true);
    EXPECT_EQ(lines.back(), "3 bad 2009 (came 9 times)") << "the first of them filled the interval";
}

// ---- receivers under a flood from the device's address ----

// Events the GUI thread is handed (queued calls and signals) while `run` goes on.
class EventCounter : public QObject {
public:
    EventCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~EventCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    long calls = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MetaCall)
            ++calls;
        return false;
    }
};

struct FloodCase {
    const char *name;
    // Starts a receiver for the device 127.0.0.2 (the fake's port given) and says where the
    // device's datagrams go on 127.0.0.1.
    std::function<QThread *(int device_port, ReceiverProbe &probe, int *to)> start;
    std::vector<std::vector<uint8_t>> flood; // sent round and round from the device's address
    std::vector<uint8_t> last;               // the device's reply after the flood
    int type;                                // what that reply is posted as
    int lines;                               // log lines the flood raises at most (a few a second)
};

template <class Receiver> QThread *begin(Receiver *rx, ReceiverProbe &probe)
{
    rx->setBindAddress("127.0.0.1");
    probe.watch(rx);
    rx->start();
    return rx;
}

std::vector<FloodCase> floodCases()
{
    std::vector<FloodCase> out;
    {
        // Point packets whose length is not what their count says, and replies over and over.
        std::vector<std::vector<uint8_t>> flood;
        for (int i = 0; i < 50; ++i) {
            auto p = make_vimo_e_packet(0, std::vector<VimoPoint>(4), 0, 0, 0, uint16_t(i));
            p.resize(p.size() - 1 - size_t(i % 7));
            flood.push_back(p);
            flood.push_back(FakeVimo::reply(FakeVimo::kParamReply, uint16_t(i),
                                            FakeVimo::param_record("SN" + std::to_string(i), "LDS-Vimo-E")));
            flood.push_back(FakeVimo::reply(LH_TEXT_REPLY, uint16_t(i), {'o', 'k', 0, 0}));
        }
        out.push_back({"Vimo-E",
                       [](int device_port, ReceiverProbe &probe, int *to) {
                           auto *rx = new RecvDataProc3;
                           *to = free_udp_port();
                           rx->init(*to, "127.0.0.2", device_port);
                           return begin(rx, probe);
                       },
                       flood, FakeVimo::reply(LH_TEXT_REPLY, 999, {'l', 'a', 's', 't'}), MSG_CMD_INFO, 0});
    }
    {
        std::vector<std::vector<uint8_t>> flood;
        for (int i = 0; i < 50; ++i)
            flood.push_back(lh_make_sum_frame(0, uint16_t(i), 0x8007, std::vector<uint8_t>(129, uint8_t(i)).data(), 129));
        const std::vector<uint8_t> last = lh_make_sum_frame(0, 999, 0x8008, std::vector<uint8_t>(4, 0).data(), 4);
        out.push_back({"Fenk-U",
                       [](int device_port, ReceiverProbe &probe, int *to) {
                           auto *rx = new RecvDataProc;
                           *to = free_udp_port();
                           rx->init("127.0.0.2", device_port, *to);
                           return begin(rx, probe);
                       },
                       flood, last, MSG_CMD_INFO, 0});
    }
    {
        // The Raxo receiver's data socket: zone-monitor records of anything.
        std::vector<std::vector<uint8_t>> flood;
        for (int i = 0; i < 50; ++i) {
            std::vector<uint8_t> record(308, uint8_t(i));
            record[0] = uint8_t(i % 16);
            flood.push_back(raxo_zone_monitor_packet(1, record));
        }
        std::vector<uint8_t> last(514, 0);
        out.push_back({"Raxo data socket",
                       [](int, ReceiverProbe &probe, int *to) {
                           auto *rx = new RecvDataProc2;
                           *to = free_udp_port();
                           rx->init(*to, "127.0.0.2", free_udp_port());
                           return begin(rx, probe);
                       },
                       flood, raxo_zone_monitor_packet(0, last), MSG_ZONE_MONITOR, 0});
    }
    return out;
}

// A flood from the device's own address reaches the GUI thread as a handful of deliveries, not
// an event per datagram; the lines it raises come at a few a second; and the device's reply
// after it gets through.
TEST(ReceiverFlood, TheGuiThreadIsHandedAFewDeliveriesNotADatagramEach)
{
    constexpr int kDatagrams = 20000;
    for (const FloodCase &c : floodCases()) {
        SCOPED_TRACE(c.name);
        FakePeer device("127.0.0.2");
        ASSERT_TRUE(device.ok());
        ReceiverProbe probe;
        int to = 0;
        std::unique_ptr<QThread> rx(c.start(device.port(), probe, &to));
        ASSERT_TRUE(wait_until([&] { return probe.count(MSG_RECV_STARTED, "") > 0 || udp_receive_queue(to) >= 0; },
                               kWaitMs));
        drain_events();
        probe.clear();

        EventCounter events;
        // Sent while the GUI thread takes nothing (as while it draws, or a box is open): what
        // waits for it then is what the receiver handed over. Paced so that the socket keeps up.
        for (int i = 0; i < kDatagrams; ++i) {
            device.send_to("127.0.0.1", to, c.flood[size_t(i) % c.flood.size()]);
            for (int k = 0; i % 200 == 199 && k < 1000 && udp_receive_queue(to) > 0; ++k)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        for (int k = 0; k < 5000 && udp_receive_queue(to) > 0; ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // The window catches up; then the device answers.
        drain_events();
        device.send_to("127.0.0.1", to, c.last);
        const QByteArray last = c.type == MSG_ZONE_MONITOR ? bytes(c.last).mid(20) : bytes(c.last);
        ASSERT_TRUE(wait_until(
            [&] {
                for (const Posted &p : probe.data)
                    if (p.type == c.type && (p.data == last || p.data == last.mid(8, 4)))
                        return true;
                return false;
            },
            kWaitMs))
            << "the device's reply after the flood";
        EXPECT_LT(events.calls, 200) << "events handed to the GUI thread for " << kDatagrams << " datagrams";
        EXPECT_LE(probe.of_type(MSG_ERROR).size() + probe.of_type(MSG_WARM).size(), 20u)
            << "lines of the flood";
        // What was left out is said in the log, with its count.
        if (c.type == MSG_CMD_INFO) {
            EXPECT_GE(probe.of_type(MSG_WARM).size(), 1u);
        }

        auto *receiver = static_cast<SensorReceiver *>(rx.get());
        receiver->stop();
        ASSERT_TRUE(rx->wait(kWaitMs));
        drain_events();
    }
}

} // namespace
