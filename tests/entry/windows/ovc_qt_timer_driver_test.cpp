#include "entry/windows/ovc_qt_timer_driver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace korval;

TEST(TimerPoolQt, RunsOnAQTimer)
{
    TOvcTimerPool pool(nullptr, CreateQtTimerDriver());  // steady clock and a QTimer
    int n = 0;
    pool.Add([&](TOvcTimerPool*, int, uint32_t, int elapsed) {
        ++n;
        EXPECT_GE(elapsed, 55 - 27);
    }, 60);
    QElapsedTimer t;
    t.start();
    while (n < 2 && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_GE(n, 2);
}
