#include "entry/ovc_date.h"

#include <chrono>
#include <ctime>

namespace korval {

namespace {

struct StartDate {
    int year;
    int month;
};

StartDate startDate()
{
    static const StartDate d = [] {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return StartDate{local.tm_year + 1900, local.tm_mon + 1};
    }();
    return d;
}

} // namespace

bool IsLeapYear(int year)
{
    if (year % 4 != 0 || year % 4000 == 0)
        return false;
    return year % 100 != 0 || year % 400 == 0;
}

int ResolveEpoch(int year, int epoch)
{
    if (year >= 100)
        return year;
    int result = year + (epoch / 100) * 100;
    if (epoch % 100 > year)
        result += 100;
    return result;
}

int DaysInMonth(int month, int year, int epoch)
{
    year = ResolveEpoch(year, epoch);
    if (year < MinYear || year > MaxYear || month < 1 || month > 12)
        return 0;
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool ValidDate(int day, int month, int year, int epoch)
{
    year = ResolveEpoch(year, epoch);
    if (year < MinYear || year > MaxYear || month < 1 || month > 12)
        return false;
    return day >= 1 && day <= DaysInMonth(month, year, epoch);
}

TStDate DMYToDate(int day, int month, int year, int epoch)
{
    year = ResolveEpoch(year, epoch);
    if (!ValidDate(day, month, year, epoch))
        return BadDate;
    if (year == MinYear && month < 3)
        return month == 1 ? day - 1 : day + 30;
    if (month > 2) {
        month -= 3;
    } else {
        month += 9;
        --year;
    }
    int y = year - MinYear;
    return ((y / 100) * 146097) / 4 + ((y % 100) * 1461) / 4 + (153 * month + 2) / 5 + day + 59;
}

void DateToDMY(TStDate julian, int& day, int& month, int& year)
{
    if (julian < 0 || julian > MaxDate) {
        day = month = year = 0;
        return;
    }
    if (julian <= 59) {
        year = MinYear;
        if (julian <= 30) {
            month = 1;
            day = julian + 1;
        } else {
            month = 2;
            day = julian - 30;
        }
        return;
    }
    int64_t t = (int64_t(julian) - 59) * 4 - 1;
    int64_t y = (t / 146097) * 100;
    int64_t d = (t % 146097) / 4;
    y += (d * 4 + 3) / 1461;
    d = ((d * 4 + 3) % 1461 + 4) / 4;
    int64_t m = (d * 5 - 3) / 153;
    day = int(((d * 5 - 3) % 153 + 5) / 5);
    if (m >= 10) {
        ++y;
        month = int(m - 9);
    } else {
        month = int(m + 3);
    }
    year = int(y + MinYear);
}

TStDate AddMonthsTrunc(TStDate julian, int months, int years)
{
    int d, m, y;
    DateToDMY(julian, d, m, y);
    if (y == 0)
        return BadDate;
    y += years + months / 12;
    m += months % 12;
    if (m < 1) {
        m += 12;
        --y;
    } else if (m > 12) {
        m -= 12;
        ++y;
    }
    if (y < MinYear || y > MaxYear)
        return BadDate;
    int last = DaysInMonth(m, y, 0);
    return DMYToDate(d > last ? last : d, m, y, 0);
}

int DayOfWeek(TStDate julian)
{
    if (julian < 0 || julian > MaxDate)
        return 7;
    return (julian + 6) % 7;
}

int DayOfWeekOf(int day, int month, int year, int epoch)
{
    return DayOfWeek(DMYToDate(day, month, year, epoch));
}

TStDate CurrentDate()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DMYToDate(local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, 0);
}

void TimeToHMS(TStTime t, int& h, int& m, int& s)
{
    if (t < 0 || t >= 86400) {
        h = m = s = 0;
        return;
    }
    h = t / 3600;
    m = (t % 3600) / 60;
    s = t % 60;
}

TStTime HMSToTime(int h, int m, int s)
{
    int64_t v = (int64_t(h % 24) * 3600 + int64_t(m) * 60 + s) % 86400;
    return TStTime(v);
}

bool ValidTime(int h, int m, int s)
{
    return h >= 0 && h <= 23 && m >= 0 && m <= 59 && s >= 0 && s <= 59;
}

TStTime CurrentTime()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

TStTime AddTime(TStTime t, int h, int m, int s)
{
    return TStTime((int64_t(t) + HMSToTime(h, m, s)) % 86400);
}

TStTime SubtractTime(TStTime t, int h, int m, int s)
{
    TStTime r = t - HMSToTime(h % 24, m, s);
    return r < 0 ? r + 86400 : r;
}

int StartYear() { return startDate().year; }
int StartMonth() { return startDate().month; }

int DefaultEpoch()
{
    return (startDate().year / 100) * 100;
}

} // namespace korval
