// The message log on its own list widget: repeats shown once with their count, the lines that
// workers queue written a tick's worth at a time, and a queue that cannot grow without end.

#include "messagelog.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringList>
#include <QTest>

#include <atomic>
#include <thread>

namespace {

class MessageLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.resize(400, 200);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        QObject::connect(list.model(), &QAbstractItemModel::rowsInserted,
                         [this](const QModelIndex &, int first, int last) { inserted += last - first + 1; });
    }
    // The rows without their time stamps: "[ title ] text".
    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < list.count(); ++i) {
            const QString row = list.item(i)->text();
            out << row.mid(row.indexOf("]  [ ") + 3);
        }
        return out;
    }

    QListWidget list;
    MessageLog log{&list};
    int inserted = 0;
};

// A line that repeats the last one back to back is one row with how many times it came, whether
// written at once or queued for the tick; any other line in between starts a row of its own.
TEST_F(MessageLogTest, RepeatsBackToBackAreOneRowWithTheirCount)
{
    log.append("Info", "get lidar parameters  OK");
    log.append("Info", "get lidar parameters  OK");
    for (int i = 0; i < 5; ++i)
        log.queue("Info", "get lidar parameters  OK");
    log.flush();
    EXPECT_EQ(rows(), QStringList({"[ Info ] get lidar parameters  OK (came 7 times)"}));
    EXPECT_TRUE(QRegularExpression(R"(^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\]  \[ Info \] )")
                    .match(list.item(0)->text())
                    .hasMatch());

    log.queue("error infomation", "get lidar parameters  OK"); // another title: another line
    log.queue("Info", "start SET OK");
    log.queue("Info", "start SET OK");
    log.queue("Info", "get lidar parameters  OK");
    log.flush();
    EXPECT_EQ(rows(), QStringList({"[ Info ] get lidar parameters  OK (came 7 times)",
                                   "[ error infomation ] get lidar parameters  OK",
                                   "[ Info ] start SET OK (came 2 times)", "[ Info ] get lidar parameters  OK"}));

    // Once the user has emptied the list, the same line starts afresh.
    list.clear();
    log.listCleared();
    log.append("Info", "get lidar parameters  OK");
    EXPECT_EQ(rows(), QStringList({"[ Info ] get lidar parameters  OK"}));
}

// A tick writes at most its share of what waits, scrolled once to the last; a queue past its
// bound keeps what came first and says how many it left out, after them.
TEST_F(MessageLogTest, TicksWriteTheirShareAndAFullQueueSaysWhatItLeftOut)
{
    const size_t total = MessageLog::kMaxQueued + 1234;
    for (size_t i = 0; i < total; ++i)
        log.queue("error infomation", QString("pointcloud packet length error:%1 56").arg(i));
    EXPECT_EQ(log.queued(), MessageLog::kMaxQueued);

    int ticks = 0;
    while (log.queued() > 0) {
        const int before = inserted;
        log.flush();
        ++ticks;
        EXPECT_LE(size_t(inserted - before), MessageLog::kLinesPerTick + 1);
        EXPECT_EQ(list.verticalScrollBar()->value(), list.verticalScrollBar()->maximum());
    }
    log.flush();
    EXPECT_EQ(ticks, int(MessageLog::kMaxQueued / MessageLog::kLinesPerTick));
    EXPECT_EQ(size_t(inserted), MessageLog::kMaxQueued + 1);
    // Past a thousand rows the list starts again, so the last rows are the newest lines.
    const QStringList r = rows();
    ASSERT_GE(r.size(), 2);
    EXPECT_EQ(r[r.size() - 2],
              QString("[ error infomation ] pointcloud packet length error:%1 56").arg(MessageLog::kMaxQueued - 1));
    EXPECT_EQ(r.last(), "[ log infomation ] 1234 messages left out");
    EXPECT_LE(list.count(), MessageLog::kRowLimit);
}

// Workers queue from their threads as fast as they like while the GUI thread flushes: nothing is
// lost without being counted, and the queue never holds more than its bound.
TEST_F(MessageLogTest, AFloodFromAnotherThreadIsWrittenOrCountedNeverHeld)
{
    constexpr int kLines = 200000;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < kLines; ++i)
            log.queue("warm infomation", QString::number(i));
        done = true;
    });
    size_t most = 0;
    long written = 0;
    long leftOut = 0;
    QObject::connect(list.model(), &QAbstractItemModel::rowsInserted, [&](const QModelIndex &, int first, int last) {
        for (int row = first; row <= last; ++row) {
            const QString text = list.item(row)->text();
            const QRegularExpressionMatch m = QRegularExpression(R"(\] (\d+) messages left out$)").match(text);
            if (m.hasMatch())
                leftOut += m.captured(1).toLong();
            else
                ++written;
        }
    });
    while (!done || log.queued() > 0) {
        most = std::max(most, log.queued());
        log.flush();
        QTest::qWait(1);
    }
    worker.join();
    log.flush();
    EXPECT_LE(most, MessageLog::kMaxQueued);
    EXPECT_EQ(written + leftOut, kLines);
}

} // namespace
