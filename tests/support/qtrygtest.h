#pragma once
// Qt's QTRY_ macros report a timeout to QTest's own result log, which a GoogleTest run never
// reads: a condition that never came true would pass. Included after <QTest>, these wait the
// same way (QTest::qWait, which also runs deferred deletions) and then fail the test.

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#undef QTRY_VERIFY_WITH_TIMEOUT
#undef QTRY_VERIFY
#undef QTRY_COMPARE_WITH_TIMEOUT
#undef QTRY_COMPARE

#define QV_TRY_WAIT_(cond, timeout)                                                                    \
    do {                                                                                               \
        QElapsedTimer qv_try_timer_;                                                                   \
        qv_try_timer_.start();                                                                         \
        while (!(cond) && !qv_try_timer_.hasExpired(timeout))                                          \
            QTest::qWait(10);                                                                          \
    } while (0)

#define QTRY_VERIFY_WITH_TIMEOUT(expr, timeout)                                                        \
    do {                                                                                               \
        QV_TRY_WAIT_(expr, timeout);                                                                   \
        ASSERT_TRUE(expr) << "still false after " << (timeout) << " ms: " #expr;                       \
    } while (0)

#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, 5000)

#define QTRY_COMPARE_WITH_TIMEOUT(actual, expected, timeout)                                           \
    do {                                                                                               \
        QV_TRY_WAIT_((actual) == (expected), timeout);                                                 \
        ASSERT_EQ(actual, expected) << "after " << (timeout) << " ms";                                 \
    } while (0)

#define QTRY_COMPARE(actual, expected) QTRY_COMPARE_WITH_TIMEOUT(actual, expected, 5000)
