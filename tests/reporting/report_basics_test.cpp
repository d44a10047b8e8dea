// Shades, the engine's messages through the text hook, the version text.
#include <gtest/gtest.h>

#include "reporting/report_basics.h"
#include "reporting/rp_device.h"

using namespace korval;

struct ShadeCase {
    TColor color;
    int percent;
    TColor expected;
};
class ShadeTable : public ::testing::TestWithParam<ShadeCase> {};
TEST_P(ShadeTable, MixesWithWhite)
{
    const auto& c = GetParam();
    EXPECT_EQ(ShadeToColor(c.color, c.percent), c.expected) << std::hex << c.color << " at " << std::dec << c.percent;
}
INSTANTIATE_TEST_SUITE_P(Percents, ShadeTable, ::testing::Values(
    ShadeCase{clBlack, 25, RGB(191, 191, 191)},
    ShadeCase{clBlack, 100, clBlack},
    ShadeCase{RGB(10, 20, 30), 0, clWhite},
    ShadeCase{RGB(10, 20, 30), 150, RGB(10, 20, 30)},  // above 100 counts as 100
    ShadeCase{RGB(255, 0, 0), 50, RGB(255, 127, 127)},
    ShadeCase{0x80000005u, 50, clWhite},               // the window colour of the system scheme
    ShadeCase{0x80000012u, 100, clBlack}));            // button text

TEST(ReportBasics, MessagesPassTheTextHookBeforeTheyAreRaised)
{
    auto previous = SetReportTextHook([](const std::string& t) { return "[" + t + "]"; });
    try {
        RaiseReportText("Invalid method call.  Report is not printing.");
        ADD_FAILURE() << "no exception";
    } catch (const EReportError& e) {
        EXPECT_STREQ(e.what(), "[Invalid method call.  Report is not printing.]");
    }
    SetReportTextHook(previous);
    EXPECT_EQ(ReportText("Report Setup"), "Report Setup");
}

TEST(ReportBasics, VersionCannotBeWritten)
{
    TRPBaseComponent component;
    const std::string version = component.GetVersion();
    EXPECT_FALSE(version.empty());
    EXPECT_LE(version.size(), 12u);
    component.SetVersion("9.99");
    EXPECT_EQ(component.GetVersion(), version);
}

TEST(ReportBasics, FormatFillsNumberedArguments)
{
    EXPECT_EQ(FormatReportText("Invalid Printer - %0:s on %1:s (%2:s)", {"Laser", "LPT1:", "LASERDRV"}),
              "Invalid Printer - Laser on LPT1: (LASERDRV)");
}
