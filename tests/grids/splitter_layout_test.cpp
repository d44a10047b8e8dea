// The splitter's arithmetic: the bar's limits, scaling with the control and the sections.
#include <gtest/gtest.h>

#include "grids/splitter_layout.h"

namespace korval {
namespace {

struct ClampCase {
    int position, extent, size, result;
};

class SplitterClamp : public ::testing::TestWithParam<ClampCase> {};

TEST_P(SplitterClamp, BarStaysInside)
{
    const ClampCase& c = GetParam();
    EXPECT_EQ(ClampSplitterPosition(c.position, c.extent, c.size), c.result)
        << c.position << " in " << c.extent << " with bar " << c.size;
}

INSTANTIATE_TEST_SUITE_P(Limits, SplitterClamp, ::testing::Values(
    ClampCase{0, 200, 3, 1}, ClampCase{-40, 200, 3, 1}, ClampCase{100, 200, 3, 100},
    ClampCase{195, 200, 3, 195}, ClampCase{196, 200, 3, 195}, ClampCase{500, 200, 10, 188},
    ClampCase{50, 4, 3, 1}));

TEST(SplitterScale, ProportionalRoundedHalfToEven)
{
    EXPECT_EQ(ScaleSplitterPosition(50, 200, 400), 100);
    EXPECT_EQ(ScaleSplitterPosition(75, 200, 300), 112);  // 112.5
    EXPECT_EQ(ScaleSplitterPosition(25, 200, 300), 38);   // 37.5
    EXPECT_EQ(ScaleSplitterPosition(100, 200, 100), 50);
    EXPECT_EQ(ScaleSplitterPosition(100, 0, 400), 100);
    EXPECT_EQ(ScaleSplitterPosition(100, 200, 0), 100);
}

TEST(SplitterSections, PlainFramedAndNested)
{
    using R = TSplitRect;
    auto v = SplitterSections(soVertical, 200, 100, 60, 3, false);
    EXPECT_EQ(v[0], (R{0, 0, 60, 100}));
    EXPECT_EQ(v[1], (R{63, 0, 137, 100}));
    auto h = SplitterSections(soHorizontal, 200, 100, 40, 3, false);
    EXPECT_EQ(h[0], (R{0, 0, 200, 40}));
    EXPECT_EQ(h[1], (R{0, 43, 200, 57}));
    auto v3 = SplitterSections(soVertical, 200, 100, 60, 3, true);
    EXPECT_EQ(v3[0], (R{2, 2, 57, 97}));
    EXPECT_EQ(v3[1], (R{65, 2, 134, 97}));
    auto h3 = SplitterSections(soHorizontal, 200, 100, 40, 3, true);
    EXPECT_EQ(h3[0], (R{2, 2, 197, 37}));
    EXPECT_EQ(h3[1], (R{2, 45, 197, 54}));
    // A section holding a nested splitter gets no second frame.
    auto nested = SplitterSections(soVertical, 200, 100, 60, 3, true, {false, true});
    EXPECT_EQ(nested[0], (R{2, 2, 57, 97}));
    EXPECT_EQ(nested[1], (R{63, 0, 137, 100}));
    // Too small a control: no negative sizes.
    auto tiny = SplitterSections(soVertical, 3, 2, 1, 3, true);
    EXPECT_EQ(tiny[1].Width, 0);
    EXPECT_EQ(tiny[1].Height, 0);
}

TEST(SplitterBar, NearWithinTheBarSize)
{
    EXPECT_TRUE(NearSplitterBar(100, 100, 3));
    EXPECT_TRUE(NearSplitterBar(97, 100, 3));
    EXPECT_TRUE(NearSplitterBar(103, 100, 3));
    EXPECT_FALSE(NearSplitterBar(96, 100, 3));
    EXPECT_FALSE(NearSplitterBar(104, 100, 3));
    EXPECT_EQ(SplitterBarRect(soVertical, 200, 100, 60, 3), (TSplitRect{60, 0, 3, 100}));
    EXPECT_EQ(SplitterBarRect(soHorizontal, 200, 100, 40, 5), (TSplitRect{0, 40, 200, 5}));
}

} // namespace
} // namespace korval
