#pragma once
// Dates and times as the program stores them. A date is a TDayNumber: a 16-bit count of days
// from 1 March 1900 (day 0, which also means "no date") up to day 65535, 4 August 2079. Times
// of day are seconds. The date entry fields count days from 1 January 1600 instead; the two
// differ by a fixed offset.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace korval {

using TDayNumber = std::uint16_t;

inline constexpr TDayNumber NoDate = 0;
inline constexpr TDayNumber MaxDayNumber = 65535;
// Days from 1 January 1600 to 1 March 1900: a day number plus this is the entry fields' day count.
inline constexpr std::int32_t StDateOffset = 109632;
// The entry fields' "bad or missing date".
inline constexpr std::int32_t BadStDate = -1;

// A date that has no day number: outside 1900-03-01 .. 2079-08-04, or not a calendar date.
class EDateRangeError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// Years from 1900 are full years, below 30 mean 2000 + year, other values 1900 + year.
int ExpandYear(int year);

// True and the day number when the date lies in the range; false (out untouched) otherwise.
bool TryEncodeDayNumber(int year, int month, int day, TDayNumber& out);
// Throws EDateRangeError for a date outside the range instead of wrapping around.
TDayNumber EncodeDayNumber(int year, int month, int day);
void DecodeDayNumber(TDayNumber n, int& year, int& month, int& day);

// Day 0 gives BadStDate; BadStDate gives day 0. A count outside the range throws EDateRangeError.
std::int32_t DayNumberToStDate(TDayNumber n);
TDayNumber StDateToDayNumber(std::int32_t count);

// Date pictures by format index 1 ("mm/dd/yy"), 2 ("dd/mm/yy"), 3 ("yy-mm-dd"); an index
// outside 1..3 is taken as 1. With fourDigitYear "yy" becomes "yyyy".
std::string DatePicture(int formatIndex, bool fourDigitYear);
std::string FormatDayNumberAs(TDayNumber n, int formatIndex);
// "dd-mmm-yyyy" with English month names ("05-Jan-2001"); day 0 gives an empty text.
std::string FormatDateDMY(TDayNumber n);
// English short month names, 1 = "Jan"; dates in files and reports never follow the locale.
const char* ShortMonthName(int month);

// "hh:mm" with leading zeros; a negative value gives "??:??".
std::string SecondsToHHMM(std::int32_t seconds);

// The UTC clock. The source is seconds since 1970-01-01 UTC; tests may replace it
// (an empty function restores the system clock).
using TUtcClockSource = std::function<std::int64_t()>;
void SetUtcClockSource(TUtcClockSource source);
// Splits seconds since 1970 into a day number and seconds of the day (EDateRangeError outside the range).
void UnixTimeToDayTime(std::int64_t unixSeconds, TDayNumber& day, std::int32_t& seconds);
void GetUtcDateTime(TDayNumber& day, std::int32_t& seconds);
TDayNumber UtcToday();

// A floating day value for time arithmetic on spots: day + minutes / 1440.
double MakeDayTime(TDayNumber day, int minutes);

} // namespace korval
