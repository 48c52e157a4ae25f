// What keeps hostile traffic from growing the program's output and its stack: the pace of
// per-datagram trace lines, and the one-box-at-a-time rule for warnings raised by the network.

#include "messagebox.h"
#include "tracelog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>

#include "qtrygtest.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

// Each row asks the same rate at a time (ms) and expects pass or not, and the count of lines
// left out that a passing answer reports.
TEST(TraceRate, OneLineASecondWithTheCountLeftOut)
{
    struct Step {
        int64_t at_ms;
        bool ok;
        uint64_t left_out;
    };
    const std::vector<Step> steps = {
        {5000, true, 0},  // the first line always passes
        {5001, false, 0}, {5500, false, 0}, {5999, false, 0},
        {6000, true, 3},  // a second later: passes and says three were left out
        {6000, false, 0}, {6999, false, 0},
        {9000, true, 2},  // after a quiet while: what was refused meanwhile
        {10000, true, 0}, // nothing refused since the last
        {-100, false, 0}, // a clock that went back does not open the gate
    };
    TraceRate rate;
    for (const Step &s : steps) {
        SCOPED_TRACE(s.at_ms);
        const TracePass p = rate.take_at(s.at_ms);
        EXPECT_EQ(bool(p), s.ok);
        EXPECT_EQ(p.left_out, s.left_out);
    }
}

// Every place that writes a limited line has its own rate; a flood from one leaves the others'
// lines alone. Four threads flooding one place together get one line through.
TEST(TraceRate, EachPlaceHasItsOwnPaceAcrossThreads)
{
    std::atomic<int> passedA{0};
    std::atomic<int> passedB{0};
    auto placeA = [&] {
        if (qv_trace_rate([] {}).take())
            ++passedA;
    };
    auto placeB = [&] {
        if (qv_trace_rate([] {}).take())
            ++passedB;
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i)
                placeA();
        });
    for (std::thread &t : threads)
        t.join();
    placeB();
    // The flood took well under a second on any machine that runs these tests; on one that
    // took longer, a line more a second is what the rate promises.
    EXPECT_GE(passedA.load(), 1);
    EXPECT_LE(passedA.load(), 1 + 40000 / 1000);
    EXPECT_EQ(passedB.load(), 1) << "the other place's first line passes";
}

namespace {

// A warning handler that records what it shows and how deep the boxes nest, and runs `inside`
// while its box is "open", as the real box's event loop would run whatever arrives meanwhile.
struct NestingRecorder {
    int open = 0;
    int deepest = 0;
    QStringList shown;
    QStringList logged;
    std::function<void()> inside;
    WarningHandler oldWarning;
    WarningLogHandler oldLog;

    NestingRecorder()
    {
        oldWarning = set_warning_handler([this](QWidget *, const QString &title, const QString &text,
                                                QMessageBox::StandardButtons) {
            ++open;
            deepest = std::max(deepest, open);
            shown << title + "|" + text;
            if (inside) {
                auto run = inside;
                run();
            }
            --open;
            return QMessageBox::Ok;
        });
        oldLog = set_warning_log_handler([this](const QString &title, const QString &text, int repeats) {
            logged << QString("%1|%2|%3").arg(title, text).arg(repeats);
        });
    }
    ~NestingRecorder()
    {
        set_warning_handler(std::move(oldWarning));
        set_warning_log_handler(std::move(oldLog));
    }
};

} // namespace

// While a network warning is open, the same warning is counted and said once when the box
// closes, and no second box opens inside the first. A different one waits, once however often
// it comes, and is shown from the event loop after the first box closed and its caller went on;
// then, in order, the next.
TEST(NetworkWarning, OneBoxAtATimeRepeatsCountedOthersWaitTheirTurn)
{
    NestingRecorder r;
    bool firstCallerReturned = false;
    r.inside = [&] {
        EXPECT_TRUE(network_warning_open());
        for (int i = 0; i < 10000; ++i) {
            EXPECT_EQ(show_network_warning(nullptr, "error", "same"), QMessageBox::NoButton);
            EXPECT_EQ(show_network_warning(nullptr, "warm", "MAC set ok!"), QMessageBox::NoButton);
        }
        show_network_warning(nullptr, "warm", "SN set ok");
        show_network_warning(nullptr, "error", "same");
        EXPECT_EQ(network_warnings_waiting(), 2);
        // The waiting ones do not jump the queue inside this box's loop either.
        QCoreApplication::processEvents();
        EXPECT_EQ(r.shown.size(), 1);
    };
    EXPECT_EQ(show_network_warning(nullptr, "error", "same"), QMessageBox::Ok);
    firstCallerReturned = true;
    EXPECT_EQ(r.shown, QStringList({"error|same"})) << "the next waits for the caller to go on";
    EXPECT_EQ(r.logged, QStringList({"error|same|10001"}));
    EXPECT_FALSE(network_warning_open());

    // Something that arrives now still queues behind those waiting.
    r.inside = [&] {
        r.inside = nullptr;
        EXPECT_TRUE(firstCallerReturned);
        show_network_warning(nullptr, "warm", "algorithm box is reboot!");
    };
    show_network_warning(nullptr, "warm", "firmware upgrade OK!");
    EXPECT_EQ(r.shown.size(), 1);
    QTRY_COMPARE(r.shown, QStringList({"error|same", "warm|MAC set ok!", "warm|SN set ok", "warm|firmware upgrade OK!",
                                       "warm|algorithm box is reboot!"}));
    EXPECT_EQ(r.deepest, 1);
    EXPECT_EQ(r.logged, QStringList({"error|same|10001", "warm|MAC set ok!|9999"}));
    EXPECT_EQ(network_warnings_waiting(), 0);
    EXPECT_FALSE(network_warning_open());

    // All closed: the next one opens a box at once, with nothing to say after it.
    r.inside = nullptr;
    r.logged.clear();
    show_network_warning(nullptr, "warm", "other");
    EXPECT_EQ(r.shown.last(), "warm|other");
    EXPECT_TRUE(r.logged.isEmpty());
}

// A sender that invents a new text per datagram while a box is open fills the waiting list to
// its bound; the rest goes to the log, repeats of those waiting are still counted, and each
// waiting one is shown once.
TEST(NetworkWarning, TheWaitingListIsBounded)
{
    NestingRecorder r;
    r.inside = [&] {
        r.inside = nullptr;
        for (int i = 0; i < 100000; ++i)
            show_network_warning(nullptr, "error", QString("reply %1").arg(i));
        show_network_warning(nullptr, "error", "reply 3");
    };
    show_network_warning(nullptr, "error", "first");
    EXPECT_EQ(network_warnings_waiting(), 16);
    EXPECT_EQ(r.logged.size(), 100000 - 16);
    EXPECT_EQ(r.logged.first(), "error|reply 16|0");
    QTRY_COMPARE(r.shown.size(), 17);
    EXPECT_EQ(r.shown[1], "error|reply 0");
    EXPECT_EQ(r.shown.last(), "error|reply 15");
    EXPECT_EQ(r.logged.last(), "error|reply 3|1");
}

// A box the user asked for (show_warning) does not count as a network box; a network warning
// raised meanwhile opens its one box.
TEST(NetworkWarning, UserBoxesAreNotHeldBack)
{
    NestingRecorder r;
    r.inside = [&] {
        if (r.open == 1)
            show_network_warning(nullptr, "error", "from the network");
    };
    show_warning(nullptr, "error", "user");
    EXPECT_EQ(r.deepest, 2);
    EXPECT_EQ(r.shown, QStringList({"error|user", "error|from the network"}));
    EXPECT_TRUE(r.logged.isEmpty());
}
