#include "logbook/progress_counter.h"

#include <gtest/gtest.h>

using namespace korval;

TEST(ProgressCounter, MeterMovesOnlyAtMaskStepsWhenThePercentChanges)
{
    TProgressCounter p;
    p.SetUp(300);
    std::vector<std::pair<int, int>> changes; // step, percent
    for (int i = 1; i <= 300; ++i)
        if (p.ShowProgress())
            changes.emplace_back(i, p.percent());
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{127, 42}, {255, 85}}));
    p.Finished();
    EXPECT_EQ(p.percent(), 100);

    p.SetUp(0); // behaves as 1
    EXPECT_EQ(p.maximum(), 1);
    EXPECT_EQ(p.percent(), 0);

    p.SetUp(10000);
    EXPECT_EQ(p.mask(), 1023);
    int moved = 0;
    for (int i = 1; i <= 10000; ++i)
        moved += p.ShowProgress();
    EXPECT_EQ(moved, 9); // steps 1023, 2047, ... 9207
    EXPECT_EQ(p.percent(), 92);
    p.SetUp(9999);
    EXPECT_EQ(p.mask(), 127);
}

TEST(ProgressCounter, NewProgressFollowsThePositionAndLargeCountsDoNotOverflow)
{
    TProgressCounter p;
    p.SetUp(1000);
    for (int i = 1; i < 127; ++i)
        EXPECT_FALSE(p.NewProgress(900));
    EXPECT_TRUE(p.NewProgress(900)); // 127th step shows the position's percentage
    EXPECT_EQ(p.percent(), 90);
    p.SetUp(2000000000);
    for (int i = 1; i < 1023; ++i)
        p.NewProgress(1999999999);
    EXPECT_TRUE(p.NewProgress(1999999999));
    EXPECT_EQ(p.percent(), 99);
}
