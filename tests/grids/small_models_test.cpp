// Meter split and text, check-state cycles and shifts, tab-stop arithmetic.
#include <gtest/gtest.h>

#include "grids/check_states.h"
#include "grids/meter_layout.h"
#include "grids/tab_stops.h"

using namespace korval;

struct MeterCase {
    int percent, length;
    const char* text;
    int used, unused;
};
class MeterTable : public ::testing::TestWithParam<MeterCase> {};
TEST_P(MeterTable, SplitsAndLabels)
{
    const auto& c = GetParam();
    auto parts = MeterSplit(c.percent, c.length);
    EXPECT_EQ(MeterPercentText(c.percent), c.text) << c.percent;
    EXPECT_EQ(parts.used, c.used) << c.percent << "% of " << c.length;
    EXPECT_EQ(parts.unused, c.unused) << c.percent << "% of " << c.length;
}
INSTANTIATE_TEST_SUITE_P(Edges, MeterTable, ::testing::Values(
    MeterCase{150, 200, "100%", 200, 0},   // stored as given, shown clamped, full bar
    MeterCase{-5, 200, "0%", 0, 200},
    MeterCase{1, 200, "1%", 0, 200},       // 2 pixels < 3: no used part
    MeterCase{2, 200, "2%", 4, 195},
    MeterCase{33, 200, "33%", 66, 133},
    MeterCase{99, 200, "99%", 197, 2},     // cut to L - 3, leaving a visible strip
    MeterCase{100, 200, "100%", 200, 0},
    MeterCase{50, 0, "50%", 0, 0}));

TEST(CheckStates, CyclesOfTwoAndThreeStates)
{
    EXPECT_EQ(NextCheckState(cbUnchecked, false), cbChecked);
    EXPECT_EQ(NextCheckState(cbChecked, false), cbUnchecked);
    EXPECT_EQ(NextCheckState(cbUnchecked, true), cbGrayed);
    EXPECT_EQ(NextCheckState(cbGrayed, true), cbChecked);
    EXPECT_EQ(NextCheckState(cbChecked, true), cbUnchecked);
    // A grayed box in a two-state list (set by the program) also goes on to checked.
    EXPECT_EQ(NextCheckState(cbGrayed, false), cbChecked);
}

TEST(CheckStates, GrowsOnSetAndShiftsOnDelete)
{
    TCheckStateList s;
    EXPECT_EQ(s.Get(5), cbUnchecked);
    s.Set(3, cbChecked);
    EXPECT_EQ(s.Count(), 4);
    s.Set(0, cbGrayed);
    s.Deleted(0);
    EXPECT_EQ(s.Get(2), cbChecked);
    EXPECT_EQ(s.Get(0), cbUnchecked);
    s.Inserted(0);
    EXPECT_EQ(s.Get(3), cbChecked);
    s.Set(-1, cbChecked);
    EXPECT_EQ(s.Count(), 4);
}

TEST(TabStops, AverageWidthsBecomePixelsAndDialogUnits)
{
    auto stops = ParseTabStops({"8", "20"});
    auto set = ComputeTabStops(stops, 7, 8);
    EXPECT_EQ(set.pixels, (std::vector<int>{56, 140}));
    EXPECT_EQ(set.dialogUnits, (std::vector<int>{28, 70}));
    EXPECT_TRUE(ComputeTabStops({}, 7, 8).pixels.empty());
}

TEST(TabStops, NonNumericEntryIsAConversionError)
{
    EXPECT_EQ(ParseTabStops({" 12 ", "-3"}), (std::vector<int>{12, -3}));
    try {
        ParseTabStops({"8", "x1"});
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
    }
    EXPECT_THROW(ParseTabStops({""}), EConvertError);
    EXPECT_THROW(ParseTabStops({"99999999999"}), EConvertError);
}
