#include "entry/ovc_exceptions.h"
#include "entry/ovc_timer_pool.h"

#include <gtest/gtest.h>

#include <climits>

using namespace korval;

namespace {

struct Firing {
    int handle;
    uint32_t interval;
    int elapsed;
    uint32_t at;
    bool operator==(const Firing&) const = default;
};

// A pool on a hand-set clock and a timer that fires when the test says so.
class TimerPoolTest : public ::testing::Test {
protected:
    TOvcManualTickSource clock{1000};
    TOvcManualTimerDriver driver;
    TOvcTimerPool pool{&clock, &driver};
    std::vector<Firing> fired;

    TimerPoolTest()
    {
        pool.OnAllTriggers = [this](TOvcTimerPool* sender, int h, uint32_t interval, int elapsed) {
            EXPECT_EQ(sender, &pool);
            fired.push_back({h, interval, elapsed, clock.GetTickCount()});
        };
    }
    // Runs the timer for ms milliseconds, one period at a time.
    void run(uint32_t ms)
    {
        for (uint32_t t = 0; t + driver.Period() <= ms && driver.Running(); t += driver.Period()) {
            clock.Advance(driver.Period());
            driver.Fire();
        }
    }
};

} // namespace

TEST_F(TimerPoolTest, RepeatingTriggerFiresEachInterval)
{
    int h = pool.Add(nullptr, 1000);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(driver.Period(), 1000u);
    run(3000);
    std::vector<Firing> want = {{0, 1000, 1000, 2000}, {0, 1000, 1000, 3000}, {0, 1000, 1000, 4000}};
    EXPECT_EQ(fired, want);
}

TEST_F(TimerPoolTest, FiresUpTo27msEarly)
{
    pool.Add(nullptr, 1000);
    clock.Advance(972);
    pool.TimerTick();
    EXPECT_TRUE(fired.empty());
    clock.Advance(1);
    pool.TimerTick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].elapsed, 973);
}

TEST_F(TimerPoolTest, ShortIntervalsBecomeTheMinimum)
{
    int h = pool.Add(nullptr, 10);
    EXPECT_EQ(pool.Interval(h), 55u);
    EXPECT_EQ(driver.Period(), 55u);
    run(110);
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_EQ(fired[0].interval, 55u);
}

TEST_F(TimerPoolTest, PeriodDividesEveryInterval)
{
    struct Case {
        std::vector<uint32_t> intervals;
        uint32_t period;
    };
    for (const Case& c : {Case{{1000, 1500}, 500}, Case{{1000}, 1000}, Case{{300, 1000}, 100},
                          Case{{1000, 1001}, 55}, Case{{60, 90}, 55}}) {
        TOvcManualTimerDriver d;
        TOvcTimerPool p(&clock, &d);
        for (uint32_t i : c.intervals)
            p.Add(nullptr, i);
        EXPECT_EQ(d.Period(), c.period) << c.intervals.size() << " triggers, first " << c.intervals[0];
    }
}

TEST_F(TimerPoolTest, SeveralTriggersFireOnTheCombinedPeriod)
{
    int a = pool.Add(nullptr, 1000);
    int b = pool.Add(nullptr, 1500);
    EXPECT_EQ(driver.Period(), 500u);
    run(3000);
    std::vector<Firing> want = {{a, 1000, 1000, 2000}, {b, 1500, 1500, 2500}, {a, 1000, 1000, 3000},
                                {a, 1000, 1000, 4000}, {b, 1500, 1500, 4000}};
    EXPECT_EQ(fired, want);  // in interval order within one tick
}

TEST_F(TimerPoolTest, OwnHandlerAndPoolHandlerBothRun)
{
    std::vector<int> own;
    int h = pool.Add([&](TOvcTimerPool*, int handle, uint32_t, int) { own.push_back(handle); }, 200);
    run(400);
    EXPECT_EQ(own, (std::vector<int>{h, h}));
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(TimerPoolTest, HandlesAreOneMoreThanTheHighestInUse)
{
    EXPECT_EQ(pool.Add(nullptr, 100), 0);
    EXPECT_EQ(pool.Add(nullptr, 100), 1);
    pool.Remove(0);
    EXPECT_EQ(pool.Add(nullptr, 100), 2);
    pool.Remove(2);
    pool.Remove(1);
    EXPECT_EQ(pool.Count(), 0);
    EXPECT_FALSE(driver.Running());
    EXPECT_EQ(pool.TimerPeriod(), 0u);
    EXPECT_EQ(pool.Add(nullptr, 100), 0);  // an empty pool starts again at 0
    pool.Remove(77);                       // unknown: nothing happens
    EXPECT_EQ(pool.Count(), 1);
}

TEST_F(TimerPoolTest, OneShotFiresOnceAndIsRemoved)
{
    int keep = pool.Add(nullptr, 300);
    std::vector<int> own;
    int once = pool.AddOneShot([&](TOvcTimerPool* p, int h, uint32_t, int) {
        own.push_back(h);
        EXPECT_FALSE(p->HasTrigger(h));  // already gone while its handler runs
    }, 600);
    EXPECT_EQ(once, 1);
    run(1200);
    EXPECT_EQ(own, std::vector<int>{once});
    EXPECT_FALSE(pool.HasTrigger(once));
    pool.Remove(once);
    EXPECT_EQ(pool.Count(), 1);
    EXPECT_TRUE(pool.HasTrigger(keep));
    int keepFirings = 0;
    for (const auto& f : fired)
        keepFirings += f.handle == keep;
    EXPECT_EQ(keepFirings, 4);
}

TEST_F(TimerPoolTest, OneShotAloneStopsTheTimer)
{
    pool.AddOneShot(nullptr, 500);
    run(500);
    EXPECT_EQ(fired.size(), 1u);
    EXPECT_FALSE(driver.Running());
}

TEST_F(TimerPoolTest, ElapsedTimeAcrossTheTickCounterWrap)
{
    // The wrap is counted exactly: 0xFFFFFF00 to 0x00000300 is 1024 ms.
    clock.Set(0xFFFFFF00u);
    pool.Add(nullptr, 1024);
    clock.Set(0x00000300u);
    pool.TimerTick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].elapsed, 1024);
    // One millisecond too early to fire stays unfired across the wrap too.
    clock.Set(0xFFFFFFFFu - 500);
    TOvcManualTimerDriver d;
    TOvcTimerPool p(&clock, &d);
    int n = 0;
    p.Add([&](TOvcTimerPool*, int, uint32_t, int) { ++n; }, 1000);
    clock.Set(0xFFFFFFFFu - 500 + 972);
    p.TimerTick();
    EXPECT_EQ(n, 0);
    clock.Set(0xFFFFFFFFu - 500 + 973);
    p.TimerTick();
    EXPECT_EQ(n, 1);
}

TEST_F(TimerPoolTest, HandlersMayChangeThePool)
{
    int second = -1;
    pool.Add([&](TOvcTimerPool* p, int h, uint32_t, int) {
        p->Remove(h);
        second = p->Add(nullptr, 100);
    }, 100);
    int other = pool.Add(nullptr, 100);
    run(100);
    EXPECT_EQ(second, 2);
    EXPECT_TRUE(pool.HasTrigger(other));
}

TEST_F(TimerPoolTest, RefusedTimerRaises)
{
    TOvcManualTimerDriver d;
    d.Refuse = true;
    TOvcTimerPool p(&clock, &d);
    try {
        p.Add(nullptr, 100);
        FAIL();
    } catch (const ENoTimersAvailable& e) {
        EXPECT_STREQ(e.what(), "No Window's timers are available");
    }
}
