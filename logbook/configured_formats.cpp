#include "logbook/configured_formats.h"

#include "logbook/config_record.h"

namespace korval {

std::string DateFormatString() { return DatePicture(Config.DateFormat(), true); }
std::string TimeFormatString() { return Config.TimeFormat() == 1 ? "hh:mm:ss" : "hh:mm"; }
std::string FormatDayNumber(TDayNumber n) { return FormatDayNumberAs(n, Config.DateFormat()); }

} // namespace korval
