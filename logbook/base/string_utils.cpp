#include "logbook/base/string_utils.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "logbook/base/decimal_text.h"

namespace korval {

int CompareWords(std::uint16_t a, std::uint16_t b) { return a < b ? -1 : a > b ? 1 : 0; }
int CompareLongs(std::int32_t a, std::int32_t b) { return a < b ? -1 : a > b ? 1 : 0; }
std::int32_t MaxLong(std::int32_t a, std::int32_t b) { return a > b ? a : b; }

std::uint16_t DigitsValue(std::string_view text)
{
    std::uint16_t v = 0;
    for (char c : text)
        if (c >= '0' && c <= '9')
            v = static_cast<std::uint16_t>(v * 10 + (c - '0'));
    return v;
}

std::string ZeroPadNumber(std::uint32_t value, int width)
{
    std::string out(width > 0 ? static_cast<std::size_t>(width) : 0, '0');
    for (int i = width - 1; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out;
}

std::string PadRight(std::string_view text, int width)
{
    if (width <= 0)
        return {};
    std::string out(text.substr(0, static_cast<std::size_t>(width)));
    out.resize(static_cast<std::size_t>(width), ' ');
    return out;
}

std::string PadLeft(std::string_view text, int width)
{
    std::string out(text);
    if (width > 0 && out.size() < static_cast<std::size_t>(width))
        out.insert(0, static_cast<std::size_t>(width) - out.size(), ' ');
    return out;
}

namespace {
// The sets are a few characters: a plain loop beats the library's search for each character.
bool isCut(char c, std::string_view cut)
{
    for (char x : cut)
        if (x == c)
            return true;
    return false;
}
} // namespace

std::string_view TrimLeft(std::string_view text, std::string_view cut)
{
    std::size_t b = 0;
    while (b < text.size() && isCut(text[b], cut))
        ++b;
    return text.substr(b);
}

std::string_view TrimRight(std::string_view text, std::string_view cut)
{
    std::size_t e = text.size();
    while (e > 0 && isCut(text[e - 1], cut))
        --e;
    return text.substr(0, e);
}

std::string_view Trim(std::string_view text, std::string_view cut)
{
    return TrimRight(TrimLeft(text, cut), cut);
}

std::string TrimSpaces(std::string_view text)
{
    return std::string(Trim(text));
}

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return text;
}

long FieldTextToInt(const std::string& text)
{
    std::string t = TrimSpaces(text);
    if (t.empty())
        return 0;
    char* end = nullptr;
    long v = std::strtol(t.c_str(), &end, 10);
    return (end && *end == '\0') ? v : 0;
}

std::string TrimRightShort(std::string_view text)
{
    return std::string(TrimRight(text));
}

std::string CountText(long count, std::string_view noun)
{
    std::string n(noun);
    if (count == 0)
        return "No " + n + " ";
    if (count == 1)
        return "One " + n + " ";
    return std::to_string(count) + " " + n + "s ";
}

std::int64_t GetFileSize(const std::string& name)
{
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    return st.st_size;
}

std::string ByteToHex(std::uint8_t value)
{
    static const char digits[] = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 15]};
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

std::string GetTabField(int index, std::string_view line)
{
    if (index < 0)
        return {};
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos)
            return {};
        start = tab + 1;
    }
    std::size_t end = line.find('\t', start);
    return std::string(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::vector<std::string> MakeStringList(std::initializer_list<const char*> texts)
{
    return std::vector<std::string>(texts.begin(), texts.end());
}

std::uint8_t* NewShortStr(std::string_view text)
{
    std::size_t n = text.size() < 255 ? text.size() : 255;
    auto* p = new std::uint8_t[n + 1];
    p[0] = static_cast<std::uint8_t>(n);
    std::memcpy(p + 1, text.data(), n);
    return p;
}

void DisposeShortStr(std::uint8_t* p) { delete[] p; }

std::string ShortStrText(const std::uint8_t* p)
{
    return p ? std::string(reinterpret_cast<const char*>(p + 1), p[0]) : std::string();
}

int PosCharShort(char c, std::string_view text)
{
    auto pos = text.find(c);
    return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

int LastPosCharShort(char c, std::string_view text)
{
    auto pos = text.rfind(c);
    return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

int PosCharSet(std::string_view set, std::string_view text)
{
    auto pos = text.find_first_of(set);
    return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

bool StrToCoord(std::string_view text, double& value)
{
    text = Trim(text, kWhitespace);
    value = 0;
    if (text.empty())
        return false;
    double sign = 1;
    char last = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
    if (last == 'E' || last == 'N' || last == 'S' || last == 'W') {
        if (last == 'S' || last == 'W')
            sign = -1;
        text = TrimRight(text.substr(0, text.size() - 1));
    }
    if (text.empty())
        return false;
    double v = 0;
    if (!ParseDecimal(text, v) || !std::isfinite(v))
        return false;
    value = sign * v;
    return true;
}

std::string FormatGridLocator(std::string_view grid)
{
    std::string out(grid);
    for (std::size_t i = 0; i < out.size() && i < 6; ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (i < 2)
            out[i] = static_cast<char>(std::toupper(c));
        else if (i >= 4)
            out[i] = static_cast<char>(std::tolower(c));
    }
    return out;
}

} // namespace korval
