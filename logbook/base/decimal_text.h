#pragma once
// Decimal numbers as files, the wire and the engines write and read them: always with a point,
// whatever the process locale says. On Linux the window toolkit sets the C library's locale from
// the desktop when it starts, and on most desktops of Europe, South America and Russia that locale
// writes and reads "14,025", so printf's "%f" and strtod must not be used for these.
#include <cstddef>
#include <string>
#include <string_view>

namespace korval {

// As "%.*f" (and "%.*Lf") of the C locale: `decimals` places, rounded to nearest.
std::string FormatFixed(double value, int decimals);
std::string FormatFixed(long double value, int decimals);
// As "%.*LE" of the C locale: one digit, the point, `digits` digits, "E", a sign and at least two
// exponent digits.
std::string FormatScientific(long double value, int digits);
// As "%.*Lg" of the C locale.
std::string FormatGeneral(long double value, int precision);

// The decimal number at the start of the text, as strtod of the C locale reads it (an optional
// sign, digits with at most one point, an optional exponent, or "inf" and "nan"; no leading blanks
// and no hexadecimal): the count of characters it takes, 0 when none stands there or the value is
// out of range.
std::size_t ParseDecimalPrefix(std::string_view text, double& value);
// The whole text as one such number.
bool ParseDecimal(std::string_view text, double& value);
bool ParseDecimal(std::string_view text, long double& value);

} // namespace korval
