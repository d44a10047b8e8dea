#include "logbook/date_time_steps.h"

#include <gtest/gtest.h>

using namespace korval;

TEST(StepFields, DateTimeAndPairStepWithinTheirLimits)
{
    std::int32_t date = 1000, t = 23 * 3600 + 59 * 60;
    EXPECT_FALSE(StepTime(t, ccStepUp)); // would leave the day
    EXPECT_EQ(t, 86340);
    EXPECT_TRUE(StepTime(t, ccStepDown));
    EXPECT_EQ(t, 86280);
    std::int32_t zero = 0;
    EXPECT_FALSE(StepTime(zero, ccStepDown));
    EXPECT_FALSE(StepTime(t, 42));

    t = 86340;
    EXPECT_TRUE(StepDateTime(date, t, 1, ccStepUp)); // 23:59 + 1 min -> 00:00 next day
    EXPECT_EQ(date, 1001);
    EXPECT_EQ(t, 0);
    EXPECT_TRUE(StepDateTime(date, t, 90, ccStepDown)); // back over midnight
    EXPECT_EQ(date, 1000);
    EXPECT_EQ(t, 86400 - 90 * 60);

    EXPECT_TRUE(StepDate(date, ccStepUp));
    EXPECT_EQ(date, 1001);
    EXPECT_TRUE(StepDate(date, ccStepDown));
    EXPECT_EQ(date, 1000);
    std::int32_t empty = -1;
    EXPECT_FALSE(StepDate(empty, ccStepUp));
    EXPECT_EQ(empty, -1);
}
