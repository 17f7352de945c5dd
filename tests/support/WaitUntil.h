#pragma once

// The one way a test waits for something that happens later (a worker
// thread, a timer, a queued signal): used as ASSERT_TRUE(WaitUntil(...)) or
// EXPECT_TRUE(WaitUntil(...)), it fails the test when the time runs out.
// Qt's QTRY_* macros must not be used in a GoogleTest body: on timeout they
// only return from it, and GoogleTest counts that as a pass.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QThread>

#include <functional>
#include <string>

// Processes the thread's events until the predicate holds or timeoutMs have
// passed; the failure names what was awaited.
inline testing::AssertionResult WaitUntil(const std::function<bool()> &predicate, int timeoutMs,
                                          const std::string &awaited)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (predicate())
            return testing::AssertionSuccess();
        if (deadline.hasExpired())
            return testing::AssertionFailure() << "waited " << timeoutMs << " ms in vain until " << awaited;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        // What deleteLater() left, as a return to the event loop would.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(2);
    }
}
