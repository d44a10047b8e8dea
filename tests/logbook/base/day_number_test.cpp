#include "logbook/config_record.h"
#include "logbook/base/day_number.h"

#include <gtest/gtest.h>

using namespace korval;

struct DayCase {
    int year, month, day;
    int number;
};

class DayNumberTable : public ::testing::TestWithParam<DayCase> {};

TEST_P(DayNumberTable, EncodesAndDecodesBack)
{
    const DayCase c = GetParam();
    EXPECT_EQ(EncodeDayNumber(c.year, c.month, c.day), c.number) << c.year << "-" << c.month << "-" << c.day;
    int y, m, d;
    DecodeDayNumber(static_cast<TDayNumber>(c.number), y, m, d);
    EXPECT_EQ(ExpandYear(c.year), y);
    EXPECT_EQ(c.month, m);
    EXPECT_EQ(c.day, d);
}

INSTANTIATE_TEST_SUITE_P(Calendar, DayNumberTable, ::testing::Values(
    DayCase{1900, 3, 1, 0}, DayCase{1900, 12, 31, 305}, DayCase{1901, 2, 28, 364}, DayCase{1904, 2, 29, 1460},
    DayCase{1970, 1, 1, 25508}, DayCase{2000, 2, 29, 36524}, DayCase{2000, 3, 1, 36525},
    DayCase{2079, 8, 4, 65535},
    // two-digit years: below 30 are 20xx, others 19xx
    DayCase{99, 12, 31, 36464}, DayCase{5, 1, 1, 38292}, DayCase{29, 12, 31, 47422}, DayCase{30, 1, 1, 10898}));

TEST(DayNumber, TwoDigitYearsMatchFullYears)
{
    EXPECT_EQ(EncodeDayNumber(99, 12, 31), EncodeDayNumber(1999, 12, 31));
    EXPECT_EQ(EncodeDayNumber(5, 1, 1), EncodeDayNumber(2005, 1, 1));
    EXPECT_EQ(EncodeDayNumber(0, 6, 1), EncodeDayNumber(2000, 6, 1));
}

TEST(DayNumber, EveryDayRoundTrips)
{
    for (int n = 0; n <= MaxDayNumber; ++n) {
        int y, m, d;
        DecodeDayNumber(static_cast<TDayNumber>(n), y, m, d);
        TDayNumber back = 0;
        ASSERT_TRUE(TryEncodeDayNumber(y, m, d, back)) << n;
        ASSERT_EQ(back, n);
    }
}

struct BadDate {
    int year, month, day;
};
class DayNumberRefusal : public ::testing::TestWithParam<BadDate> {};

TEST_P(DayNumberRefusal, OutOfRangeOrImpossibleDatesAreRefusedNotWrapped)
{
    const BadDate c = GetParam();
    TDayNumber n = 777;
    EXPECT_FALSE(TryEncodeDayNumber(c.year, c.month, c.day, n));
    EXPECT_EQ(n, 777);
    EXPECT_THROW(EncodeDayNumber(c.year, c.month, c.day), EDateRangeError);
}

INSTANTIATE_TEST_SUITE_P(Range, DayNumberRefusal, ::testing::Values(
    BadDate{1900, 2, 28}, BadDate{1900, 1, 1}, BadDate{1899, 12, 31}, BadDate{2079, 8, 5}, BadDate{2080, 1, 1},
    BadDate{1899, 3, 1} /* 1899 is a full year below 1900: 3799 */, BadDate{2001, 2, 29}, BadDate{2000, 13, 1},
    BadDate{2000, 0, 1}, BadDate{2000, 4, 31}, BadDate{2000, 1, 0}));

TEST(DayNumber, LibraryDayCounts)
{
    EXPECT_EQ(StDateOffset, 109632);
    EXPECT_EQ(DayNumberToStDate(0), -1);
    EXPECT_EQ(StDateToDayNumber(-1), 0);
    EXPECT_EQ(DayNumberToStDate(1), 109633);
    EXPECT_EQ(StDateToDayNumber(109632 + 36524), 36524);
    // a day count outside the 16-bit range is refused, not wrapped
    EXPECT_THROW(StDateToDayNumber(109631), EDateRangeError);
    EXPECT_THROW(StDateToDayNumber(109632 + 65536), EDateRangeError);
}


TEST(DayNumber, ClockAndTimes)
{
    EXPECT_EQ(SecondsToHHMM(86399), "23:59");
    EXPECT_EQ(SecondsToHHMM(3660), "01:01");
    EXPECT_EQ(SecondsToHHMM(-1), "??:??");
    // 2000-02-29 12:34:56 UTC
    SetUtcClockSource([] { return std::int64_t{951827696}; });
    TDayNumber day;
    std::int32_t secs;
    GetUtcDateTime(day, secs);
    EXPECT_EQ(day, 36524);
    EXPECT_EQ(secs, 12 * 3600 + 34 * 60 + 56);
    EXPECT_EQ(UtcToday(), 36524);
    SetUtcClockSource({});
    EXPECT_GT(UtcToday(), EncodeDayNumber(2020, 1, 1));
    EXPECT_DOUBLE_EQ(MakeDayTime(10, 720), 10.5);
}
