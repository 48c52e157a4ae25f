// The pace of the page refreshes that parameter replies start: the first at once, the newest of
// a run after the interval, and nothing left over from a session that has ended.

#include "refreshpace.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include <vector>

namespace {

TEST(RefreshPace, TheFirstAtOnceTheNewestOfARunAfterTheInterval)
{
    QObject owner;
    std::vector<QByteArray> applied;
    RefreshPace pace(&owner);
    auto offer = [&](const QByteArray &r) { pace.offer([&applied, r] { applied.push_back(r); }); };

    offer("1");
    EXPECT_EQ(applied, std::vector<QByteArray>{"1"}) << "a device answering once sees no delay";
    for (int i = 2; i <= 1000; ++i)
        offer(QByteArray::number(i));
    EXPECT_EQ(applied.size(), 1u);
    EXPECT_TRUE(pace.waiting());
    ASSERT_TRUE(QTest::qWaitFor([&] { return applied.size() == 2; }, 5000));
    EXPECT_EQ(applied.back(), "1000") << "the newest, once";
    QTest::qWait(2 * RefreshPace::kIntervalMs);
    EXPECT_EQ(applied.size(), 2u);

    // A flood of replies for a second fills the page a few times, ending with the newest.
    applied.clear();
    QElapsedTimer t;
    t.start();
    int n = 0;
    while (t.elapsed() < 1000) {
        offer(QByteArray::number(++n));
        QTest::qWait(1);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pace.waiting(); }, 5000));
    EXPECT_LE(applied.size(), size_t(2 + 1000 / RefreshPace::kIntervalMs + 1));
    EXPECT_EQ(applied.back(), QByteArray::number(n));
}

TEST(RefreshPace, ACancelledReplyIsNeverApplied)
{
    QObject owner;
    std::vector<QByteArray> applied;
    RefreshPace pace(&owner);
    auto offer = [&](const QByteArray &r) { pace.offer([&applied, r] { applied.push_back(r); }); };
    offer("old session");
    offer("old session, later");
    pace.cancel();
    QTest::qWait(2 * RefreshPace::kIntervalMs);
    EXPECT_EQ(applied, std::vector<QByteArray>{"old session"});
    offer("new session");
    EXPECT_EQ(applied.back(), "new session") << "at once: the interval went with the session";
}

} // namespace
