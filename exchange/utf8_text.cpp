#include "exchange/utf8_text.h"

#include <cstdint>

namespace korval {

namespace {
// Unicode of the Windows-1252 bytes 0x80 to 0x9F (0 where the byte has no character).
const std::uint16_t high1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The Windows-1252 byte of a code point, or -1.
int toByte(std::uint32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (high1252[i] != 0 && high1252[i] == cp)
            return 0x80 + i;
    return -1;
}
} // namespace

TUtf8Result Utf8ToWin1252(std::string_view in, std::string& out)
{
    std::size_t i = 0;
    while (i < in.size() && static_cast<unsigned char>(in[i]) < 0x80)
        ++i;
    if (i == in.size())
        return TUtf8Result::Plain;
    std::string r(in.substr(0, i));
    bool representable = true;
    while (i < in.size()) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        if (c < 0x80) {
            r += static_cast<char>(c);
            ++i;
            continue;
        }
        int extra;
        std::uint32_t cp, min;
        if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1Fu, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0Fu, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07u, min = 0x10000;
        } else {
            return TUtf8Result::NotUtf8;
        }
        if (i + static_cast<std::size_t>(extra) >= in.size())
            return TUtf8Result::NotUtf8;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(in[i + static_cast<std::size_t>(k)]);
            if ((cc & 0xC0) != 0x80)
                return TUtf8Result::NotUtf8;
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return TUtf8Result::NotUtf8;
        i += static_cast<std::size_t>(extra) + 1;
        int b = toByte(cp);
        if (b < 0)
            representable = false;
        else
            r += static_cast<char>(b);
    }
    if (!representable)
        return TUtf8Result::Unrepresentable;
    out.swap(r);
    return TUtf8Result::Converted;
}

} // namespace korval
