#include "logbook/base/day_number.h"


#include <chrono>
#include <cstdio>
#include <mutex>

namespace korval {

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

std::mutex clockMutex;
TUtcClockSource clockSource;

std::string Two(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v % 100);
    return buf;
}

std::string Four(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", v);
    return buf;
}

} // namespace

int ExpandYear(int year)
{
    if (year >= 1900)
        return year;
    if (year < 30)
        return 2000 + year;
    return 1900 + year;
}

bool TryEncodeDayNumber(int year, int month, int day, TDayNumber& out)
{
    int y = ExpandYear(year);
    if (month < 1 || month > 12 || day < 1 || y > 2079 || day > DaysInMonth(y, month))
        return false;
    // Years counted from March so that the leap day ends the year.
    int yy = y - 1900;
    int mm = month;
    if (mm < 3) {
        mm += 9;
        yy -= 1;
    } else {
        mm -= 3;
    }
    long n = (153L * mm + 2) / 5 + (static_cast<long>(yy) * 1461) / 4 + day - 1;
    if (yy < 0 || n < 0 || n > MaxDayNumber)
        return false;
    out = static_cast<TDayNumber>(n);
    return true;
}

TDayNumber EncodeDayNumber(int year, int month, int day)
{
    TDayNumber n = 0;
    if (!TryEncodeDayNumber(year, month, day, n)) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "Date out of range: %d-%02d-%02d", ExpandYear(year), month, day);
        throw EDateRangeError(buf);
    }
    return n;
}

void DecodeDayNumber(TDayNumber n, int& year, int& month, int& day)
{
    long t = 4L * n + 3;
    long y = t / 1461;
    long u = ((t % 1461) / 4 + 1) * 5 - 3;
    long m = u / 153;
    day = static_cast<int>((u % 153) / 5 + 1);
    if (m >= 10) {
        m -= 9;
        y += 1;
    } else {
        m += 3;
    }
    month = static_cast<int>(m);
    year = static_cast<int>(y + 1900);
}

std::int32_t DayNumberToStDate(TDayNumber n)
{
    return n == NoDate ? BadStDate : n + StDateOffset;
}

TDayNumber StDateToDayNumber(std::int32_t count)
{
    if (count == BadStDate)
        return NoDate;
    std::int64_t n = static_cast<std::int64_t>(count) - StDateOffset;
    if (n < 0 || n > MaxDayNumber)
        throw EDateRangeError("Date out of range: day count " + std::to_string(count));
    return static_cast<TDayNumber>(n);
}

std::string DatePicture(int formatIndex, bool fourDigitYear)
{
    const char* yy = fourDigitYear ? "yyyy" : "yy";
    switch (formatIndex) {
    case 2: return std::string("dd/mm/") + yy;
    case 3: return std::string(yy) + "-mm-dd";
    default: return std::string("mm/dd/") + yy;
    }
}




std::string FormatDayNumberAs(TDayNumber n, int formatIndex)
{
    if (n == NoDate)
        return {};
    int y, m, d;
    DecodeDayNumber(n, y, m, d);
    switch (formatIndex) {
    case 2: return Two(d) + "/" + Two(m) + "/" + Two(y);
    case 3: return Two(y) + "-" + Two(m) + "-" + Two(d);
    default: return Two(m) + "/" + Two(d) + "/" + Two(y);
    }
}

const char* ShortMonthName(int month)
{
    static const char* names[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return month >= 1 && month <= 12 ? names[month - 1] : "";
}

std::string FormatDateDMY(TDayNumber n)
{
    if (n == NoDate)
        return {};
    int y, m, d;
    DecodeDayNumber(n, y, m, d);
    return Two(d) + "-" + ShortMonthName(m) + "-" + Four(y);
}

std::string SecondsToHHMM(std::int32_t seconds)
{
    if (seconds < 0)
        return "??:??";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d", seconds / 3600, (seconds / 60) % 60);
    return buf;
}

void SetUtcClockSource(TUtcClockSource source)
{
    std::lock_guard<std::mutex> lock(clockMutex);
    clockSource = std::move(source);
}

void UnixTimeToDayTime(std::int64_t unixSeconds, TDayNumber& day, std::int32_t& seconds)
{
    // 1970-01-01 is day 25508 (days from 1900-03-01).
    constexpr std::int64_t day1970 = 25508;
    std::int64_t days = unixSeconds / 86400;
    std::int64_t rest = unixSeconds % 86400;
    if (rest < 0) {
        rest += 86400;
        days -= 1;
    }
    std::int64_t n = days + day1970;
    if (n < 0 || n > MaxDayNumber)
        throw EDateRangeError("Clock out of the date range");
    day = static_cast<TDayNumber>(n);
    seconds = static_cast<std::int32_t>(rest);
}

void GetUtcDateTime(TDayNumber& day, std::int32_t& seconds)
{
    TUtcClockSource source;
    {
        std::lock_guard<std::mutex> lock(clockMutex);
        source = clockSource;
    }
    std::int64_t now = source ? source()
                              : std::chrono::duration_cast<std::chrono::seconds>(
                                    std::chrono::system_clock::now().time_since_epoch()).count();
    UnixTimeToDayTime(now, day, seconds);
}

TDayNumber UtcToday()
{
    TDayNumber day;
    std::int32_t seconds;
    GetUtcDateTime(day, seconds);
    return day;
}

double MakeDayTime(TDayNumber day, int minutes) { return day + minutes / 1440.0; }

} // namespace korval
