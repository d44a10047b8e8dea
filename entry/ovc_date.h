#pragma once
// Day counts and times of the entry fields. A day count is the number of days from 1600-01-01
// (day 0) for years 1600..3999; a time is seconds since midnight.
#include <cstdint>

namespace korval {

using TStDate = int32_t;
using TStTime = int32_t;

constexpr TStDate BadDate = -1;
constexpr TStTime BadTime = -1;
constexpr int MinYear = 1600;
constexpr int MaxYear = 3999;
constexpr TStDate MaxDate = 876581;  // 3999-12-31

// The logbook's two-digit-year rule is a fixed pivot: "00".."29" are 2000..2029 and "30".."99"
// are 1930..1999. An epoch of 1930 resolves two-digit years exactly that way, and keeps them
// inside the logbook's 1900..2079 date range; the controllers of the program's windows use it.
constexpr int KorvalDateEpoch = 1930;

bool IsLeapYear(int year);
// A year below 100 is placed in the hundred years that start at Epoch.
int ResolveEpoch(int year, int epoch);
int DaysInMonth(int month, int year, int epoch);
bool ValidDate(int day, int month, int year, int epoch);
TStDate DMYToDate(int day, int month, int year, int epoch);
void DateToDMY(TStDate julian, int& day, int& month, int& year);
TStDate AddMonthsTrunc(TStDate julian, int months, int years = 0);
// 0 = Sunday .. 6 = Saturday; 7 for BadDate.
int DayOfWeek(TStDate julian);
int DayOfWeekOf(int day, int month, int year, int epoch);
TStDate CurrentDate();

void TimeToHMS(TStTime t, int& h, int& m, int& s);
TStTime HMSToTime(int h, int m, int s);
bool ValidTime(int h, int m, int s);
TStTime CurrentTime();
TStTime AddTime(TStTime t, int h, int m, int s);
TStTime SubtractTime(TStTime t, int h, int m, int s);

// The year and month when the program started; picture fields use them for a date whose mask
// has no year or month.
int StartYear();
int StartMonth();

// The current year rounded down to a whole hundred.
int DefaultEpoch();

} // namespace korval
