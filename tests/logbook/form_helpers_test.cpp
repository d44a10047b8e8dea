#include "logbook/form_helpers.h"
#include "logbook/progress_counter.h"

#include <gtest/gtest.h>

using namespace korval;

struct CallCase { const char* call; bool valid; };
class CallTable : public ::testing::TestWithParam<CallCase> {};
TEST_P(CallTable, CallSyntax)
{
    EXPECT_EQ(IsValidCall(GetParam().call), GetParam().valid) << GetParam().call;
}
INSTANTIATE_TEST_SUITE_P(Calls, CallTable, ::testing::Values(
    CallCase{"DL1ABC", true}, CallCase{"DL1ABC/P", true}, CallCase{"F/DL1ABC", true}, CallCase{"K??", true},
    CallCase{"/DL1ABC", false}, CallCase{"DL1ABC/", false}, CallCase{"DL//1ABC", false}, CallCase{"1234", false},
    CallCase{"DL", false}, CallCase{"dl1abc", false}, CallCase{"DL1-AB", false}, CallCase{"", false}));

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

TEST(FormHelpers, RangeMessageCoordinatesClipboardAndWasState)
{
    EXPECT_EQ(EntryFieldErrorText(oeRangeError, "x", "0", "40"), "Value in range 0 to 40 expected");
    EXPECT_EQ(EntryFieldErrorText(5, "Invalid date", "0", "40"), "Invalid date");

    EXPECT_EQ(SplitCoord(-12.5).selection, 2);
    EXPECT_DOUBLE_EQ(SplitCoord(-12.5).magnitude, 12.5);
    EXPECT_EQ(SplitCoord(3.0).selection, 1);
    EXPECT_DOUBLE_EQ(JoinCoord(12.5, 2), -12.5);
    EXPECT_DOUBLE_EQ(JoinCoord(12.5, 1), 12.5);

    std::vector<std::string> lines{"a", "b", "c"};
    EXPECT_EQ(ListLinesToClipboardText(lines, {false, false, false}), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(ListLinesToClipboardText(lines, {false, true, true}), "b\r\nc\r\n");
    EXPECT_EQ(ListLinesToClipboardText({}, {}), "");

    EXPECT_EQ(WasStateFor(1, "CA", true), "CA");
    EXPECT_EQ(WasStateFor(1, "CA", false), "");
    EXPECT_EQ(WasStateFor(1, "HI", true), "");
    EXPECT_EQ(WasStateFor(3, "", false), "HI");
    EXPECT_EQ(WasStateFor(4, "CA", true), "AK");
    EXPECT_EQ(WasStateFor(0, "CA", true), "");
}

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
