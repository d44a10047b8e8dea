#include "reporting/report_strings.h"

namespace korval {

char UpperChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z')
        return char(u - 32);
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7)
        return char(u - 32);
    switch (u) {
    case 0x9A: return char(0x8A);
    case 0x9C: return char(0x8C);
    case 0x9E: return char(0x8E);
    case 0xFF: return char(0x9F);
    default: return c;
    }
}

std::string UpperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = UpperChar(c);
    return out;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperChar(a[i]) != UpperChar(b[i]))
            return false;
    return true;
}

} // namespace korval
