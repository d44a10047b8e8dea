#include "entry/ovc_date.h"
#include "entry/ovc_intl.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace korval;
using namespace std::chrono;

TEST(OvcDate, EveryDayConvertsBothWaysAndMatchesTheCalendar)
{
    const sys_days origin = year{1600} / January / 1;
    const sys_days last = year{3999} / December / 31;
    TStDate expected = 0;
    for (sys_days d = origin; d <= last; d += days{1}, ++expected) {
        year_month_day ymd{d};
        int y = int(ymd.year()), m = int(unsigned(ymd.month())), dd = int(unsigned(ymd.day()));
        TStDate julian = DMYToDate(dd, m, y, 0);
        ASSERT_EQ(julian, expected) << y << "-" << m << "-" << dd;
        int d2, m2, y2;
        DateToDMY(julian, d2, m2, y2);
        ASSERT_TRUE(d2 == dd && m2 == m && y2 == y) << julian;
        ASSERT_EQ(DayOfWeek(julian), int(weekday{d}.c_encoding())) << julian;
    }
    EXPECT_EQ(expected - 1, MaxDate);
}

TEST(OvcDate, EdgeCases)
{
    EXPECT_EQ(DMYToDate(1, 1, 1600, 0), 0);
    EXPECT_EQ(DMYToDate(1, 3, 1600, 0), 60);
    EXPECT_EQ(DMYToDate(29, 2, 1600, 0), 59);
    EXPECT_EQ(DMYToDate(1, 1, 4000, 0), BadDate);
    EXPECT_EQ(DMYToDate(31, 12, 1599, 0), BadDate);
    EXPECT_EQ(DMYToDate(29, 2, 1900, 0), BadDate);
    EXPECT_EQ(DMYToDate(0, 1, 2000, 0), BadDate);
    EXPECT_EQ(DMYToDate(1, 13, 2000, 0), BadDate);
    EXPECT_EQ(DayOfWeek(0), 6);  // 1600-01-01 was a Saturday
    EXPECT_EQ(DayOfWeek(BadDate), 7);
    EXPECT_EQ(DayOfWeekOf(9, 12, 2026, 0), 3);
    int d, m, y;
    DateToDMY(BadDate, d, m, y);
    EXPECT_EQ(d + m + y, 0);
    EXPECT_EQ(DaysInMonth(2, 2000, 0), 29);
    EXPECT_EQ(DaysInMonth(13, 2000, 0), 0);
    EXPECT_EQ(DaysInMonth(1, 4000, 0), 0);
}

TEST(OvcDate, LeapYears)
{
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(3200));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_FALSE(IsLeapYear(4000));
}

TEST(OvcDate, EpochResolvesTwoDigitYears)
{
    struct Case {
        int year, epoch, resolved;
    };
    for (Case c : {Case{5, 1950, 2005}, Case{75, 1950, 1975}, Case{50, 1950, 1950},
                   Case{49, 1950, 2049}, Case{1875, 1950, 1875}, Case{100, 1950, 100},
                   Case{95, 2000, 2095}, Case{0, 2000, 2000}})
        EXPECT_EQ(ResolveEpoch(c.year, c.epoch), c.resolved) << c.year << " in " << c.epoch;
}

TEST(OvcDate, LogbookEpochMatchesTheLogbooksPivot)
{
    // The logbook reads "00".."29" as 20xx and "30".."99" as 19xx.
    for (int yy = 0; yy < 100; ++yy)
        EXPECT_EQ(ResolveEpoch(yy, KorvalDateEpoch), yy < 30 ? 2000 + yy : 1900 + yy) << yy;
    EXPECT_EQ(DMYToDate(1, 1, 95, KorvalDateEpoch), DMYToDate(1, 1, 1995, 0));
}

TEST(OvcDate, AddMonthsTruncatesToTheMonthsLastDay)
{
    auto ymd = [](TStDate j) {
        int d, m, y;
        DateToDMY(j, d, m, y);
        return y * 10000 + m * 100 + d;
    };
    EXPECT_EQ(ymd(AddMonthsTrunc(DMYToDate(31, 1, 2001, 0), 1)), 20010228);
    EXPECT_EQ(ymd(AddMonthsTrunc(DMYToDate(31, 1, 2004, 0), 1)), 20040229);
    EXPECT_EQ(ymd(AddMonthsTrunc(DMYToDate(15, 11, 2004, 0), 3)), 20050215);
    EXPECT_EQ(ymd(AddMonthsTrunc(DMYToDate(15, 2, 2004, 0), -3)), 20031115);
    EXPECT_EQ(ymd(AddMonthsTrunc(DMYToDate(29, 2, 2004, 0), 0, 1)), 20050228);
    EXPECT_EQ(AddMonthsTrunc(DMYToDate(1, 12, 3999, 0), 1), BadDate);
    EXPECT_EQ(AddMonthsTrunc(BadDate, 1), BadDate);
}

TEST(OvcDate, Times)
{
    EXPECT_EQ(HMSToTime(25, 0, 0), 3600);
    EXPECT_EQ(HMSToTime(23, 59, 59), 86399);
    int h, m, s;
    TimeToHMS(3723, h, m, s);
    EXPECT_EQ(h * 10000 + m * 100 + s, 10203);
    TimeToHMS(BadTime, h, m, s);
    EXPECT_EQ(h + m + s, 0);
    EXPECT_TRUE(ValidTime(23, 59, 59));
    EXPECT_FALSE(ValidTime(24, 0, 0));
    EXPECT_FALSE(ValidTime(0, 60, 0));
    EXPECT_EQ(AddTime(86000, 0, 10, 0), 200);
    EXPECT_EQ(SubtractTime(100, 0, 2, 0), 86380);
    EXPECT_EQ(SubtractTime(7200, 25, 0, 0), 3600);
}

// ---- international settings

TEST(OvcIntl, DefaultsArePinned)
{
    TOvcIntlSup intl;
    EXPECT_EQ(intl.DecimalChar(), '.');
    EXPECT_EQ(intl.CommaChar(), ',');
    EXPECT_EQ(intl.ListChar(), ',');
    EXPECT_EQ(intl.CurrencyDigits(), 2);
    EXPECT_EQ(intl.CurrencyLeftString(), "$");
    EXPECT_EQ(intl.CurrencyRightString(), "");
    EXPECT_EQ(intl.DateSlashChar(), '/');
    EXPECT_EQ(intl.TimeColonChar(), ':');
    EXPECT_EQ(intl.AMString(), "AM");
    EXPECT_EQ(intl.PMString(), "PM");
    EXPECT_EQ(intl.TrueChar(), 'T');
    EXPECT_EQ(intl.FalseChar(), 'F');
    EXPECT_EQ(intl.YesChar(), 'Y');
    EXPECT_EQ(intl.NoChar(), 'N');
    EXPECT_EQ(intl.DateMask(false), "mm/dd/yy");
    EXPECT_EQ(intl.DateMask(true), "mm/dd/yyyy");
    EXPECT_EQ(intl.TimeMask(false), "Hh:mm");  // no leading zero: blank-padded hour
    EXPECT_EQ(intl.TimeMask(true), "Hh:mm:ss");
    EXPECT_EQ(intl.LongDateMask(), "wwwwwwwww, nnnnnnnnn dd, yyyy");
}

TEST(OvcIntl, SettingsChangeSeparatorsCurrencyAndMasks)
{
    TOvcIntlSettings s;
    s.sDecimal = ",";
    s.sThousand = ",";  // the same character for both: back to "." and ","
    s.sCurrency = "EUR";
    s.iCurrency = 3;
    s.iTLZero = 1;
    s.twelveHourClock = true;
    s.s1159 = "vorm.";
    s.s2359 = "PM";
    s.sDate = ".";
    s.sShortDate = "d.M.yyyy";
    TOvcIntlSup intl(s);
    EXPECT_EQ(intl.DecimalChar(), '.');
    EXPECT_EQ(intl.CommaChar(), ',');
    EXPECT_EQ(intl.CurrencyLeftString(), "");
    EXPECT_EQ(intl.CurrencyRightString(), " EUR");
    EXPECT_EQ(intl.DateMask(false), "DD/MM/yy");
    EXPECT_EQ(intl.TimeMask(false), "hh:mm ttttt");
    EXPECT_EQ(intl.FormatDate("DD/MM/yyyy", DMYToDate(5, 3, 2021, 0), false), " 5. 3.2021");
    EXPECT_EQ(intl.FormatTime("hh:mm ttttt", HMSToTime(13, 5, 0), false), "01:05 PM   ");
    EXPECT_EQ(intl.FormatTime("hh:mm ttttt", HMSToTime(0, 5, 0), false), "12:05 vorm.");
    EXPECT_EQ(intl.ParseTime("hh:mm ttttt", "12:30 PM   "), HMSToTime(12, 30, 0));
    EXPECT_EQ(intl.ParseTime("hh:mm ttttt", "12:30 vorm."), HMSToTime(0, 30, 0));
    EXPECT_EQ(intl.ParseTime("hh:mm ttttt", "13:30 PM   "), BadTime);

    TOvcIntlSettings q;
    q.sLongDate = "dddd, d'. de 'MMMM' de 'yyyy";
    TOvcIntlSup lng(q);
    EXPECT_EQ(lng.LongDateMask(), "wwwwwwwww, DDfnnnnnnnnngyyyy");
    EXPECT_EQ(lng.LongDateSlot(0), ". de ");
    EXPECT_EQ(lng.FormatDate(lng.LongDateMask(), DMYToDate(9, 12, 2026, 0), true),
              "Wednesday, 9. de December de 2026");
}

TEST(OvcIntl, DatePicturesFormat)
{
    TOvcIntlSup intl;
    TStDate d = DMYToDate(5, 3, 2021, 0);
    struct Case {
        const char* mask;
        bool pack;
        const char* text;
    };
    for (Case c : {Case{"mm/dd/yyyy", false, "03/05/2021"}, Case{"MM/DD/yy", false, " 3/ 5/21"},
                   Case{"MM/DD/yy", true, "3/5/21"}, Case{"dd nnn yyyy", false, "05 Mar 2021"},
                   Case{"dd NNN yyyy", false, "05 MAR 2021"},
                   Case{"wwwwwwwww dd", false, "Friday    05"}, Case{"wwwwwwwww dd", true, "Friday 05"},
                   Case{"yyyy-mm-dd", false, "2021-03-05"}})
        EXPECT_EQ(intl.FormatDate(c.mask, d, c.pack), c.text) << c.mask;
    EXPECT_EQ(intl.FormatDate("mm/dd/yyyy", BadDate, false), "  /  /    ");
}

TEST(OvcIntl, DatePicturesParse)
{
    TOvcIntlSup intl;
    struct Case {
        const char* mask;
        const char* text;
        int epoch;
        TStDate date;
    };
    for (Case c : {Case{"mm/dd/yyyy", "03/05/2021", 1930, DMYToDate(5, 3, 2021, 0)},
                   Case{"mm/dd/yy", "03/05/95", 1930, DMYToDate(5, 3, 1995, 0)},
                   Case{"mm/dd/yy", "03/05/29", 1930, DMYToDate(5, 3, 2029, 0)},
                   Case{"mm/dd/yy", "03/05/95", 2000, DMYToDate(5, 3, 2095, 0)},
                   Case{"MM/DD/yy", " 3/ 5/21", 1930, DMYToDate(5, 3, 2021, 0)},
                   Case{"dd nnn yyyy", "05 mar 2021", 1930, DMYToDate(5, 3, 2021, 0)},
                   Case{"yyyy-mm-dd", "2024-02-29", 1930, DMYToDate(29, 2, 2024, 0)},
                   Case{"yyyy-mm-dd", "2023-02-29", 1930, BadDate},
                   Case{"mm/dd/yyyy", "13/05/2021", 1930, BadDate},
                   Case{"mm/dd/yyyy", "03/x5/2021", 1930, BadDate},
                   Case{"mm/dd/yyyy", "  /  /    ", 1930, BadDate},
                   Case{"mm/dd/yyyy", "03/05/202", 1930, BadDate},  // not as long as the mask
                   Case{"dd nnn yyyy", "05 Xyz 2021", 1930, BadDate}})
        EXPECT_EQ(intl.ParseDate(c.mask, c.text, c.epoch), c.date) << c.mask << " \"" << c.text << "\"";
    // A mask without a year or a day takes the start year and the first.
    EXPECT_EQ(intl.ParseDate("mm/dd", "07/04", 1930), DMYToDate(4, 7, StartYear(), 0));
    EXPECT_EQ(intl.ParseDate("mm/yyyy", "07/2020", 1930), DMYToDate(1, 7, 2020, 0));
}

TEST(OvcIntl, TimePicturesFormatAndParse)
{
    TOvcIntlSup intl;
    TStTime t = HMSToTime(7, 5, 9);
    EXPECT_EQ(intl.FormatTime("hh:mm:ss", t, false), "07:05:09");
    EXPECT_EQ(intl.FormatTime("Hh:mm", t, false), " 7:05");
    EXPECT_EQ(intl.FormatTime("Hh:mm", t, true), "7:05");
    EXPECT_EQ(intl.FormatTime("hh:mm tt", HMSToTime(19, 5, 0), false), "07:05 PM");
    EXPECT_EQ(intl.FormatTime("hh:mm:ss", BadTime, false), "  :  :  ");
    EXPECT_EQ(intl.FormatTime("HH:MM tt", BadTime, true), ":");
    EXPECT_EQ(intl.ParseTime("hh:mm:ss", "07:05:09"), t);
    EXPECT_EQ(intl.ParseTime("Hh:mm", " 7:05"), HMSToTime(7, 5, 0));
    EXPECT_EQ(intl.ParseTime("hh:mm tt", "07:05 PM"), HMSToTime(19, 5, 0));
    EXPECT_EQ(intl.ParseTime("hh:mm tt", "12:00 AM"), 0);
    EXPECT_EQ(intl.ParseTime("hh:mm", "24:00"), BadTime);
    EXPECT_EQ(intl.ParseTime("hh:mm", "7:05"), BadTime);
    EXPECT_EQ(intl.ParseTime("hh:mm", "07:6x"), BadTime);
}

