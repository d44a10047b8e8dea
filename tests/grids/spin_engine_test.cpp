// The spinner without a window: which part a point is in for every style, the press-and-hold
// state machine on a hand-set clock, and stepping the number in a plain text box.
#include <gtest/gtest.h>

#include <vector>

#include "grids/spin_engine.h"
#include "grids/spin_regions.h"

namespace korval {
namespace {

struct HitCase {
    TOvcSpinnerStyle style;
    int w, h, x, y;
    TOvcSpinState state;
};

class SpinHit : public ::testing::TestWithParam<HitCase> {};

TEST_P(SpinHit, PointFallsInItsPart)
{
    const HitCase& c = GetParam();
    TOvcSpinRegions r;
    r.Build(c.style, c.w, c.h);
    EXPECT_EQ(r.StateAt(c.x, c.y), c.state) << "style " << c.style << " at " << c.x << "," << c.y;
}

INSTANTIATE_TEST_SUITE_P(EveryStyle, SpinHit, ::testing::Values(
    // The new-size 16 x 25 spinner: the halves split at H/2 = 12.
    HitCase{stNormalVertical, 16, 25, 8, 11, ssUpBtn}, HitCase{stNormalVertical, 16, 25, 8, 12, ssDownBtn},
    HitCase{stNormalVertical, 16, 25, 15, 24, ssDownBtn}, HitCase{stNormalVertical, 16, 25, 16, 5, ssOutside},
    HitCase{stNormalVertical, 16, 25, -1, 5, ssOutside},
    HitCase{stNormalHorizontal, 16, 25, 7, 10, ssLeftBtn}, HitCase{stNormalHorizontal, 16, 25, 8, 10, ssRightBtn},
    HitCase{stFourWay, 30, 30, 15, 3, ssUpBtn}, HitCase{stFourWay, 30, 30, 15, 26, ssDownBtn},
    HitCase{stFourWay, 30, 30, 3, 15, ssLeftBtn}, HitCase{stFourWay, 30, 30, 26, 15, ssRightBtn},
    HitCase{stStar, 30, 30, 15, 15, ssCenterBtn}, HitCase{stStar, 30, 30, 15, 3, ssUpBtn},
    HitCase{stStar, 30, 30, 15, 27, ssDownBtn}, HitCase{stStar, 30, 30, 3, 15, ssLeftBtn},
    HitCase{stStar, 30, 30, 27, 15, ssRightBtn}, HitCase{stStar, 30, 30, 1, 1, ssNormal},
    HitCase{stDiagonalVertical, 30, 30, 3, 3, ssUpBtn}, HitCase{stDiagonalVertical, 30, 30, 26, 26, ssDownBtn},
    HitCase{stDiagonalHorizontal, 30, 30, 3, 3, ssLeftBtn}, HitCase{stDiagonalHorizontal, 30, 30, 26, 26, ssRightBtn},
    HitCase{stDiagonalFourWay, 40, 40, 13, 3, ssUpBtn}, HitCase{stDiagonalFourWay, 40, 40, 27, 36, ssDownBtn},
    HitCase{stDiagonalFourWay, 40, 40, 3, 20, ssLeftBtn}, HitCase{stDiagonalFourWay, 40, 40, 36, 20, ssRightBtn},
    HitCase{stPlainStar, 30, 30, 15, 5, ssUpBtn}, HitCase{stPlainStar, 30, 30, 15, 25, ssDownBtn},
    HitCase{stPlainStar, 30, 30, 5, 15, ssLeftBtn}, HitCase{stPlainStar, 30, 30, 25, 15, ssRightBtn},
    HitCase{stPlainStar, 30, 30, 2, 2, ssNormal}));

TEST(SpinRegions, StylesHaveOnlyTheirParts)
{
    TOvcSpinRegions r;
    r.Build(stNormalVertical, 16, 25);
    EXPECT_TRUE(r.Has(ssUpBtn) && r.Has(ssDownBtn));
    EXPECT_FALSE(r.Has(ssLeftBtn) || r.Has(ssRightBtn) || r.Has(ssCenterBtn));
    r.Build(stStar, 30, 30);
    EXPECT_TRUE(r.Has(ssCenterBtn));
    r.Build(stPlainStar, 30, 30);
    EXPECT_FALSE(r.Has(ssCenterBtn));
}

class SpinHold : public ::testing::Test {
protected:
    TOvcManualTickSource clock{1000};
    TOvcSpinEngine engine{clock};

    // Holds the button and returns the gaps between the first count steps, advancing the
    // clock to the exact millisecond each step falls due.
    std::vector<uint32_t> Gaps(int count)
    {
        std::vector<uint32_t> gaps;
        engine.Press(ssUpBtn);
        EXPECT_TRUE(engine.StepDue()) << "the first step comes at once";
        engine.Stepped();
        uint32_t last = clock.GetTickCount();
        while (static_cast<int>(gaps.size()) < count) {
            int waited = 0;
            while (!engine.StepDue() && waited++ < 2000)
                clock.Advance(1);
            gaps.push_back(clock.GetTickCount() - last - 1);  // due once the time is past
            last = clock.GetTickCount();
            engine.Stepped();
        }
        return gaps;
    }
};

TEST_F(SpinHold, RepeatAcceleratesByTenTimesAccelerationPerStep)
{
    EXPECT_EQ(Gaps(12), (std::vector<uint32_t>{500, 450, 400, 350, 300, 250, 200, 150, 100, 50, 0, 0}));
}

TEST_F(SpinHold, AccelerationZeroKeepsTheDelayAndTenUsesItUpInFiveSteps)
{
    engine.SetAcceleration(0);
    engine.DelayTime = 300;
    EXPECT_EQ(Gaps(4), (std::vector<uint32_t>{300, 300, 300, 300}));
    engine.Release();
    engine.SetAcceleration(10);
    engine.DelayTime = 500;
    EXPECT_EQ(Gaps(7), (std::vector<uint32_t>{500, 400, 300, 200, 100, 0, 0}));
}

TEST_F(SpinHold, AccelerationAboveTenIsRefused)
{
    engine.SetAcceleration(11);
    EXPECT_EQ(engine.Acceleration(), 5);
    engine.SetAcceleration(-1);
    EXPECT_EQ(engine.Acceleration(), 5);
    engine.SetAcceleration(10);
    EXPECT_EQ(engine.Acceleration(), 10);
}

TEST_F(SpinHold, WithoutAutoRepeatOnePressIsOneStep)
{
    engine.AutoRepeat = false;
    EXPECT_FALSE(engine.Press(ssUpBtn));
    ASSERT_TRUE(engine.StepDue());
    engine.Stepped();
    clock.Advance(60000);
    EXPECT_FALSE(engine.StepDue());
    engine.Release();
    // The next press steps again.
    engine.Press(ssDownBtn);
    EXPECT_TRUE(engine.StepDue());
}

TEST_F(SpinHold, CentreStepsOnceAndSlidingSwitchesDirection)
{
    EXPECT_FALSE(engine.Press(ssCenterBtn));
    EXPECT_TRUE(engine.StepDue());
    engine.Stepped();
    clock.Advance(1000);
    EXPECT_FALSE(engine.StepDue());
    engine.Release();

    ASSERT_TRUE(engine.Press(ssUpBtn));
    engine.Stepped();
    EXPECT_TRUE(engine.Move(ssDownBtn));
    EXPECT_EQ(engine.State(), ssDownBtn);
    EXPECT_EQ(engine.PreviousState(), ssUpBtn);
    EXPECT_TRUE(engine.Armed());
    EXPECT_FALSE(engine.Move(ssDownBtn)) << "no change, no repaint";
    // Off the parts (and over the centre) nothing steps until the mouse is back on one.
    EXPECT_TRUE(engine.Move(ssCenterBtn));
    EXPECT_EQ(engine.State(), ssNormal);
    clock.Advance(5000);
    EXPECT_FALSE(engine.StepDue());
    engine.Move(ssOutside);
    EXPECT_FALSE(engine.StepDue());
    engine.Move(ssUpBtn);
    EXPECT_TRUE(engine.StepDue());
    engine.Release();
    EXPECT_EQ(engine.State(), ssNormal);
    EXPECT_FALSE(engine.Armed());
    EXPECT_FALSE(engine.Holding());
}

TEST_F(SpinHold, PressWhereThereIsNoPartArmsNothing)
{
    engine.Press(ssNormal);
    EXPECT_FALSE(engine.Armed());
    EXPECT_FALSE(engine.StepDue());
}

TEST_F(SpinHold, RepeatCarriesOnAcrossTheTickCounterWrap)
{
    clock.Set(0xFFFFFF00u);
    engine.SetAcceleration(0);
    engine.Press(ssUpBtn);
    engine.Stepped();
    clock.Advance(500);  // now 0x000000F4
    EXPECT_FALSE(engine.StepDue());
    clock.Advance(1);
    EXPECT_TRUE(engine.StepDue());
}

struct TextCase {
    const char* text;
    double delta;
    char decimal;
    bool ok;
    const char* result;
};

class SpinText : public ::testing::TestWithParam<TextCase> {};

TEST_P(SpinText, StepsTheNumberOrLeavesTheText)
{
    const TextCase& c = GetParam();
    std::string s = c.text;
    EXPECT_EQ(StepNumberText(s, c.delta, c.decimal), c.ok) << '"' << c.text << '"';
    EXPECT_EQ(s, c.result) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Numbers, SpinText, ::testing::Values(
    TextCase{"3", 1, '.', true, "4"}, TextCase{"1.5", 1, '.', true, "2.5"},
    TextCase{"0.1", 0.2, '.', true, "0.3"}, TextCase{" 7 ", -1, '.', true, "6"},
    TextCase{"-1", 1, '.', true, "0"}, TextCase{"+2", 0.5, '.', true, "2.5"},
    TextCase{"1e3", 1, '.', true, "1001"}, TextCase{"1,5", 1, ',', true, "2,5"},
    TextCase{"1.5", 1, ',', false, "1.5"}, TextCase{"abc", 1, '.', false, "abc"},
    TextCase{"", 1, '.', false, ""}, TextCase{"12abc", 1, '.', false, "12abc"},
    TextCase{"inf", 1, '.', false, "inf"}));

} // namespace
} // namespace korval
