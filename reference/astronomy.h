#pragma once
// Astronomy for the sunrise and sunset windows and the world map: Julian dates, sidereal time,
// the Sun's apparent position and its rising and setting for a place and a day. Dates are day
// counts from 1600-01-01 (the entry fields' TStDate), times seconds of the day in UTC; the
// calendar arithmetic of those counts is in entry/ovc_date.h. Positions are degrees, East and
// North positive.
#include "entry/ovc_date.h"

#include <chrono>
#include <cstdint>

namespace korval {

// A date and a time of day together.
struct TStDateTimeRec {
    TStDate D = 0;
    TStTime T = 0;
};

// Right ascension and declination, degrees.
struct TStPosRec {
    double RA = 0;
    double DC = 0;
};

// Rise and set of the Sun, seconds of the UTC day; negative means no such event that day.
struct TStRiseSetRec {
    TStTime ORise = 0;
    TStTime OSet = 0;
};

// The no-event codes of a rise/set result.
inline constexpr TStTime RiseSetAlwaysUp = -2;    // the Sun stays above the horizon all day
inline constexpr TStTime RiseSetAlwaysDown = -3;  // the Sun stays below the horizon all day
inline constexpr TStTime RiseSetBadDate = -4;     // the day or one of its neighbours is no date

// The Sun's centre at rising and setting: refraction and the Sun's radius.
inline constexpr double SunStandardAltitude = -0.8333;

// 0 <= D <= MaxDate and 0 <= T < 86400.
bool ValidDateTime(const TStDateTimeRec& dt);

// The pair moved by whole days and seconds; the seconds carry into the days so that the time
// stays in 0..86399.
TStDateTimeRec IncDateTime(const TStDateTimeRec& dt, std::int32_t days, std::int32_t seconds);

// Conversions with the system clock's time in whole seconds (UTC; std::chrono::floor of
// system_clock::now() gives one). A time before 1600 or after 3999 gives BadDate.
TStDate DateTimeToStDate(std::chrono::sys_seconds t);
TStTime DateTimeToStTime(std::chrono::sys_seconds t);
// Midnight UTC of the date; the time of day as a duration.
std::chrono::sys_seconds StDateToDateTime(TStDate d);
std::chrono::seconds StTimeToDateTime(TStTime t);

// The Julian day at 0h UTC of the date.
double AstroJulianDate(TStDate d);

// Mean sidereal time at Greenwich, degrees 0..360; -1 for an invalid pair.
double SiderealTime(const TStDateTimeRec& dt);

// The Sun's apparent right ascension (0..360) and declination; RA -1 and DC -99 for an
// invalid pair.
TStPosRec SunPos(const TStDateTimeRec& dt);

// Sunrise and sunset during the UTC day at the place (longitude first, East positive).
TStRiseSetRec SunRiseSet(TStDate d, double longitude, double latitude);

} // namespace korval
