#pragma once
// Dates and times in the pictures the configuration chooses.
#include <string>

#include "logbook/base/day_number.h"

namespace korval {

// The configured date picture with four-digit years (the date entry fields use it).
std::string DateFormatString();
// The configured time picture: "hh:mm", or "hh:mm:ss" with the time format 1.
std::string TimeFormatString();
// The day in the configured two-digit-year picture; day 0 gives an empty text.
std::string FormatDayNumber(TDayNumber n);

} // namespace korval
