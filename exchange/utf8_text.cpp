#include "exchange/utf8_text.h"

#include <cstdint>

namespace korval {

namespace {
// Unicode of the Windows-1252 bytes 0x80 to 0x9F. The five bytes without a character (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of their own value, both ways, so
// that they come back as the bytes they were.
const std::uint16_t high1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The Windows-1252 byte of a code point, or -1.
int toByte(std::uint32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (high1252[i] == cp)
            return 0x80 + i;
    return -1;
}

// The length of the well-formed UTF-8 sequence of a character above 127 at in[i] (2 to 4), its
// code point in cp; 0 when there is none (a stray byte, a cut, an overlong form, a surrogate).
std::size_t utf8Sequence(std::string_view in, std::size_t i, std::uint32_t& cp)
{
    const unsigned char c = static_cast<unsigned char>(in[i]);
    std::size_t extra;
    std::uint32_t min;
    if ((c & 0xE0) == 0xC0) {
        extra = 1, cp = c & 0x1Fu, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2, cp = c & 0x0Fu, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3, cp = c & 0x07u, min = 0x10000;
    } else {
        return 0;
    }
    if (i + extra >= in.size())
        return 0;
    for (std::size_t k = 1; k <= extra; ++k) {
        const unsigned char cc = static_cast<unsigned char>(in[i + k]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return extra + 1;
}

void appendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t asciiPrefix(std::string_view in)
{
    std::size_t i = 0;
    while (i < in.size() && static_cast<unsigned char>(in[i]) < 0x80)
        ++i;
    return i;
}
} // namespace

TUtf8Result Utf8ToWin1252(std::string_view in, std::string& out)
{
    std::size_t i = asciiPrefix(in);
    if (i == in.size())
        return TUtf8Result::Plain;
    std::string r(in.substr(0, i));
    bool representable = true;
    while (i < in.size()) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        if (c < 0x80) {
            r += static_cast<char>(c);
            ++i;
            continue;
        }
        std::uint32_t cp = 0;
        const std::size_t n = utf8Sequence(in, i, cp);
        if (n == 0)
            return TUtf8Result::NotUtf8;
        i += n;
        const int b = toByte(cp);
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

bool Utf8LinesToWin1252(std::string_view in, std::string& out)
{
    out.clear();
    bool kept = false;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = in.find('|', start);
        const std::string_view line = in.substr(start, end == std::string_view::npos ? end : end - start);
        std::string converted;
        const TUtf8Result r = Utf8ToWin1252(line, converted);
        if (r == TUtf8Result::Converted)
            out += converted;
        else
            out.append(line);
        kept = kept || r == TUtf8Result::Unrepresentable;
        if (end == std::string_view::npos)
            return kept;
        out += '|';
        start = end + 1;
    }
}

std::string Win1252ToUtf8(std::string_view in)
{
    std::size_t i = asciiPrefix(in);
    if (i == in.size())
        return std::string(in);
    std::string r(in.substr(0, i));
    r.reserve(in.size() + 8);
    while (i < in.size()) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        std::uint32_t cp = 0;
        if (c < 0x80) {
            r += static_cast<char>(c);
            ++i;
        } else if (const std::size_t n = utf8Sequence(in, i, cp)) {
            r.append(in.substr(i, n));
            i += n;
        } else {
            appendUtf8(r, c < 0xA0 ? high1252[c - 0x80] : c);
            ++i;
        }
    }
    return r;
}

} // namespace korval
