#include "reference/sun_tables.h"

#include <gtest/gtest.h>

namespace korval {
namespace {

TStDate Date(int y, int m, int d) { return DMYToDate(d, m, y, 0); }
constexpr TStTime HM(int h, int m) { return h * 3600 + m * 60; }

struct DistanceCase {
    TStTime a, b, want;
};

class ClockDistanceTable : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(ClockDistanceTable, GoesTheShortWayRoundTheClock)
{
    const DistanceCase& c = GetParam();
    EXPECT_EQ(ClockDistance(c.a, c.b), c.want) << c.a << " " << c.b;
    EXPECT_EQ(ClockDistance(c.b, c.a), c.want) << c.b << " " << c.a;
}

INSTANTIATE_TEST_SUITE_P(Cases, ClockDistanceTable, ::testing::Values(
    DistanceCase{HM(23, 50), HM(0, 10), HM(0, 20)}, DistanceCase{HM(6, 0), HM(6, 0), 0},
    DistanceCase{HM(6, 0), HM(18, 0), HM(12, 0)}, DistanceCase{HM(1, 0), HM(14, 0), HM(11, 0)},
    DistanceCase{0, 86399, 1}));

struct DifferenceCase {
    TStRiseSetRec home, dx;
    TStTime want;
};

class GreyLineDifferenceTable : public ::testing::TestWithParam<DifferenceCase> {};

TEST_P(GreyLineDifferenceTable, TakesTheCloserUsablePair)
{
    const DifferenceCase& c = GetParam();
    EXPECT_EQ(GreyLineDifference(c.home, c.dx), c.want)
        << c.home.ORise << "/" << c.home.OSet << " against " << c.dx.ORise << "/" << c.dx.OSet;
}

INSTANTIATE_TEST_SUITE_P(Cases, GreyLineDifferenceTable, ::testing::Values(
    // home rise against DX set, home set against DX rise: the smaller counts
    DifferenceCase{{HM(6, 0), HM(18, 0)}, {HM(17, 30), HM(6, 20)}, HM(0, 20)},
    DifferenceCase{{HM(6, 0), HM(18, 0)}, {HM(18, 5), HM(9, 0)}, HM(0, 5)},
    // across 00:00 UTC
    DifferenceCase{{HM(0, 10), HM(12, 0)}, {HM(4, 0), HM(23, 50)}, HM(0, 20)},
    // a missing event drops its term; nothing usable gives no difference
    DifferenceCase{{RiseSetAlwaysUp, RiseSetAlwaysUp}, {HM(6, 0), HM(18, 0)}, -1},
    DifferenceCase{{HM(6, 0), HM(18, 0)}, {RiseSetAlwaysDown, RiseSetAlwaysDown}, -1},
    DifferenceCase{{HM(6, 0), -1}, {HM(7, 0), HM(6, 1)}, HM(0, 0) + 60}));

TEST(GreyLineCountries, ListsAPairAcrossMidnightAndOnlyCurrentCountries)
{
    // Home near 88 E on the equator rises just after 00:00 UTC at the equinox; a place near
    // 86 W sets just before it.
    const TStDate day = Date(2024, 3, 20);
    const double homeLon = 88.0, homeLat = 0.0;
    const TStRiseSetRec home = SunRiseSet(day, homeLon, homeLat);
    const TStRiseSetRec dx = SunRiseSet(day, -85.75, 0.5);
    ASSERT_LT(home.ORise, HM(1, 0));
    ASSERT_GT(dx.OSet, HM(23, 0));
    const TStTime diff = ClockDistance(home.ORise, dx.OSet);
    ASSERT_LT(diff, HM(1, 0));

    std::vector<TSunCountry> list = {
        {"HC8", "Galapagos", -85.75, 0.5, true},
        {"OLD", "Closed country", -85.75, 0.5, false},
        {"G", "England", -0.13, 51.5, true},
    };
    std::vector<TGreyLineRow> rows = GreyLineCountries(day, homeLon, homeLat, list, diff);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Prefix, "HC8");
    EXPECT_EQ(rows[0].Name, "Galapagos");
    EXPECT_EQ(rows[0].DxRise, dx.ORise);
    EXPECT_EQ(rows[0].DxSet, dx.OSet);
    EXPECT_EQ(rows[0].Diff, diff);
    // The window is inclusive to the second.
    EXPECT_TRUE(GreyLineCountries(day, homeLon, homeLat, list, diff - 1).empty());
}

TEST(GreyLineCountries, NothingBeyondThePolarCircle)
{
    std::vector<TSunCountry> list = {{"G", "England", -0.13, 51.5, true}, {"VK", "Australia", 151.2, -33.9, true}};
    EXPECT_TRUE(GreyLineCountries(Date(2024, 6, 21), 15.6, 78.2, list, 86399).empty());
    EXPECT_EQ(GreyLineCountries(Date(2024, 6, 21), 10.0, 50.0, list, 86399).size(), 2u);
}

TEST(SunYearTable, OneRowPerDayFromTheFirst)
{
    const TStDate first = Date(2024, 12, 30);
    std::vector<TSunYearRow> rows = SunYearTable(first, 365, -0.13, 51.5, 139.7, 35.7);
    ASSERT_EQ(rows.size(), 365u);
    for (std::size_t i : {std::size_t(0), std::size_t(2), std::size_t(364)}) {
        const TStDate d = first + static_cast<TStDate>(i);
        EXPECT_EQ(rows[i].Date, d);
        EXPECT_EQ(rows[i].Home.ORise, SunRiseSet(d, -0.13, 51.5).ORise);
        EXPECT_EQ(rows[i].Dx.OSet, SunRiseSet(d, 139.7, 35.7).OSet);
    }
}

} // namespace
} // namespace korval
