#include "logbook/base/decimal_text.h"

#include <charconv>
#include <system_error>

namespace korval {

namespace {

// to_chars writes as printf does in the C locale; a buffer that is too small (a huge value in
// fixed notation) is grown until the number fits.
template <typename Real>
std::string ToChars(Real value, std::chars_format format, int precision)
{
    std::string out(64, '\0');
    for (;;) {
        auto [end, ec] = std::to_chars(out.data(), out.data() + out.size(), value, format, precision);
        if (ec == std::errc()) {
            out.resize(static_cast<std::size_t>(end - out.data()));
            return out;
        }
        out.resize(out.size() * 4);
    }
}

template <typename Real>
std::size_t FromChars(std::string_view text, Real& value)
{
    std::size_t at = 0;
    // from_chars takes a '-' of its own but no '+'.
    if (!text.empty() && text[0] == '+') {
        if (text.size() > 1 && text[1] == '-')
            return 0;
        at = 1;
    }
    Real v = 0;
    auto [end, ec] = std::from_chars(text.data() + at, text.data() + text.size(), v);
    if (ec != std::errc())
        return 0;
    value = v;
    return static_cast<std::size_t>(end - text.data());
}

} // namespace

std::string FormatFixed(double value, int decimals)
{
    return ToChars(value, std::chars_format::fixed, decimals < 0 ? 0 : decimals);
}

std::string FormatFixed(long double value, int decimals)
{
    return ToChars(value, std::chars_format::fixed, decimals < 0 ? 0 : decimals);
}

std::string FormatScientific(long double value, int digits)
{
    std::string s = ToChars(value, std::chars_format::scientific, digits < 0 ? 0 : digits);
    for (char& c : s)
        if (c == 'e')
            c = 'E';
        else if (c >= 'a' && c <= 'z')   // "inf" and "nan" as "%LE" writes them
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string FormatGeneral(long double value, int precision)
{
    return ToChars(value, std::chars_format::general, precision < 0 ? 6 : precision);
}

std::size_t ParseDecimalPrefix(std::string_view text, double& value)
{
    return FromChars(text, value);
}

bool ParseDecimal(std::string_view text, double& value)
{
    double v = 0;
    if (text.empty() || FromChars(text, v) != text.size())
        return false;
    value = v;
    return true;
}

bool ParseDecimal(std::string_view text, long double& value)
{
    long double v = 0;
    if (text.empty() || FromChars(text, v) != text.size())
        return false;
    value = v;
    return true;
}

} // namespace korval
