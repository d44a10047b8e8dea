#include "entry/ovc_char_rules.h"
#include "logbook/base/decimal_text.h"
#include "logbook/base/string_utils.h"

#include <cerrno>
#include <cfloat>
#include <cstdlib>
#include <cstring>

namespace korval {

static_assert(LDBL_MANT_DIG == 64, "the 10-byte extended format is taken from long double");

TOvcFieldIntl::TOvcFieldIntl()
{
    for (auto& set : UserCharSets) {
        set.set();
        set.reset(0);
    }
    for (int i = 0; i < 8; ++i)
        Substitutes[i] = static_cast<char>(241 + i);
    // Windows-1252 letters above 127.
    for (int c : {0x83, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F, 0xAA, 0xB5, 0xBA})
        HighLetters.set(c);
    for (int c = 0xC0; c <= 0xFF; ++c)
        if (c != 0xD7 && c != 0xF7)
            HighLetters.set(c);
}

char TOvcFieldIntl::SubstituteChar(char ch) const
{
    const auto u = static_cast<unsigned char>(ch);
    if (u < 241 || u > 248)
        return 0;
    return Substitutes[u - 241];
}

TOvcFieldIntl& FieldIntl()
{
    static TOvcFieldIntl intl;
    return intl;
}

char FieldCharUpper(char ch)
{
    const auto u = static_cast<unsigned char>(ch);
    if (u >= 'a' && u <= 'z')
        return static_cast<char>(u - 32);
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7)
        return static_cast<char>(u - 32);
    switch (u) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return ch;
    }
}

char FieldCharLower(char ch)
{
    const auto u = static_cast<unsigned char>(ch);
    if (u >= 'A' && u <= 'Z')
        return static_cast<char>(u + 32);
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7)
        return static_cast<char>(u + 32);
    switch (u) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: return ch;
    }
}

bool IsFieldLetter(char ch, const TOvcFieldIntl& intl)
{
    const auto u = static_cast<unsigned char>(ch);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z'))
        return true;
    if (u == ' ' || u == ',' || u == '-' || u == '.')
        return true;
    return u >= 128 && intl.HighLetters.test(u);
}

int DataTypeSize(int dataType, int maxLength)
{
    switch (dataType) {
    case fsubString: return maxLength + 1;
    case fsubChar: case fsubBoolean: case fsubYesNo: case fsubByte: case fsubShortInt: return 1;
    case fsubWord: case fsubInteger: return 2;
    case fsubLongInt: case fsubSingle: case fsubDate: case fsubTime: return 4;
    case fsubReal: case fsubDouble: case fsubComp: return 8;
    case fsubExtended: return 10;
    default: return 0;
    }
}

long double ReadExtended(const void* p)
{
    long double v = 0;
    std::memcpy(&v, p, 10);
    return v;
}

void WriteExtended(void* p, long double v)
{
    std::memcpy(p, &v, 10);
}

namespace {

template <typename T> T Load(const TOvcRangeSlot& s)
{
    T v;
    std::memcpy(&v, s.data(), sizeof v);
    return v;
}

template <typename T> void Store(TOvcRangeSlot& s, T v)
{
    s.fill(0);
    std::memcpy(s.data(), &v, sizeof v);
}

} // namespace

int64_t SlotToInt(int dataType, const TOvcRangeSlot& s)
{
    switch (dataType) {
    case fsubChar: case fsubBoolean: case fsubYesNo: case fsubByte: return Load<uint8_t>(s);
    case fsubShortInt: return Load<int8_t>(s);
    case fsubWord: return Load<uint16_t>(s);
    case fsubInteger: return Load<int16_t>(s);
    case fsubLongInt: case fsubDate: case fsubTime: return Load<int32_t>(s);
    case fsubComp: return Load<int64_t>(s);
    default: return static_cast<int64_t>(SlotToFloat(dataType, s));
    }
}

long double SlotToFloat(int dataType, const TOvcRangeSlot& s)
{
    switch (dataType) {
    case fsubReal: case fsubDouble: return Load<double>(s);
    case fsubSingle: return Load<float>(s);
    case fsubExtended: return ReadExtended(s.data());
    default: return static_cast<long double>(SlotToInt(dataType, s));
    }
}

void IntToSlot(int dataType, int64_t v, TOvcRangeSlot& s)
{
    switch (dataType) {
    case fsubChar: case fsubBoolean: case fsubYesNo: case fsubByte: Store<uint8_t>(s, static_cast<uint8_t>(v)); break;
    case fsubShortInt: Store<int8_t>(s, static_cast<int8_t>(v)); break;
    case fsubWord: Store<uint16_t>(s, static_cast<uint16_t>(v)); break;
    case fsubInteger: Store<int16_t>(s, static_cast<int16_t>(v)); break;
    case fsubLongInt: case fsubDate: case fsubTime: Store<int32_t>(s, static_cast<int32_t>(v)); break;
    case fsubComp: Store<int64_t>(s, v); break;
    case fsubReal: case fsubDouble: case fsubSingle: case fsubExtended:
        FloatToSlot(dataType, static_cast<long double>(v), s);
        break;
    default: s.fill(0); break;
    }
}

void FloatToSlot(int dataType, long double v, TOvcRangeSlot& s)
{
    switch (dataType) {
    case fsubReal: case fsubDouble: Store<double>(s, static_cast<double>(v)); break;
    case fsubSingle: Store<float>(s, static_cast<float>(v)); break;
    case fsubExtended: s.fill(0); WriteExtended(s.data(), v); break;
    case fsubComp: Store<int64_t>(s, static_cast<int64_t>(v < 0 ? v - 0.5L : v + 0.5L)); break;
    default: IntToSlot(dataType, static_cast<int64_t>(v), s); break;
    }
}

namespace {

bool IntLimits(int t, int64_t& lo, int64_t& hi)
{
    switch (t) {
    case fsubLongInt: lo = -2147483648LL; hi = 2147483647LL; return true;
    case fsubWord: lo = 0; hi = 65535; return true;
    case fsubInteger: lo = -32768; hi = 32767; return true;
    case fsubByte: lo = 0; hi = 255; return true;
    case fsubShortInt: lo = -128; hi = 127; return true;
    default: return false;
    }
}

long double RealLimit(int t)
{
    switch (t) {
    case fsubReal: return 1.7e38L;
    case fsubExtended: return 1.1e4932L;
    case fsubDouble: return 1.7e308L;
    case fsubSingle: return 3.4e38L;
    case fsubComp: return 9.2e18L;
    default: return 0;
    }
}

} // namespace

void DefaultRange(int t, TOvcRangeSlot& lo, TOvcRangeSlot& hi)
{
    lo.fill(0);
    hi.fill(0);
    int64_t l = 0, h = 0;
    if (IntLimits(t, l, h)) {
        IntToSlot(t, l, lo);
        IntToSlot(t, h, hi);
    } else if (IsRealType(t)) {
        FloatToSlot(t, -RealLimit(t), lo);
        FloatToSlot(t, RealLimit(t), hi);
    } else if (t == fsubChar) {
        IntToSlot(t, ' ', lo);
        IntToSlot(t, ' ', hi);
    } else if (t == fsubDate) {
        IntToSlot(t, 0, lo);
        IntToSlot(t, 876581, hi);
    } else if (t == fsubTime) {
        IntToSlot(t, 0, lo);
        IntToSlot(t, 86399, hi);
    }
}

char ConvertCaseFor(char m, char ch, char prev, const TOvcFieldIntl& intl, bool applyMixed)
{
    int rule = 0;  // 1 upper, 2 lower, 3 mixed
    switch (m) {
    case '!': case 'A': case 'E': case 'K': case 'B': case 'Y': case 'N': rule = 1; break;
    case 'L': case 'l': rule = 2; break;
    case 'x': rule = 3; break;
    default:
        if (m >= '1' && m <= '8')
            rule = intl.UserCharCase[m - '1'];
        break;
    }
    switch (rule) {
    case 1: return FieldCharUpper(ch);
    case 2: return FieldCharLower(ch);
    case 3: return (applyMixed && (prev == ' ' || prev == '-')) ? FieldCharUpper(ch) : ch;
    default: return ch;
    }
}

bool IsValidChar(char m, char& ch, bool convertCase, char prev, const TOvcFieldIntl& intl)
{
    if (ch == 0)
        return false;
    if (convertCase)
        ch = ConvertCaseFor(m, ch, prev, intl, true);
    const auto u = static_cast<unsigned char>(ch);
    const bool digit = u >= '0' && u <= '9';
    switch (m) {
    case 'X': case '!': case 'L': case 'x': case 't': return true;
    case 'a': case 'A': case 'l': case 'n': case 'N': return IsFieldLetter(ch, intl);
    case '9': case 'd': case 'D': case 'm': case 'M': case 'y': case 'h': case 'H': case 's': case 'S':
        return digit || ch == ' ';
    case 'i': return digit || ch == ' ' || ch == '-';
    case '#': return digit || ch == ' ' || ch == '-' || ch == '.';
    case 'E': return digit || ch == ' ' || ch == '-' || ch == '.' || ch == 'E' || ch == '+';
    case 'K': return digit || ch == ' ' || (u >= 'A' && u <= 'F');
    case 'O': return (u >= '0' && u <= '7') || ch == ' ';
    case 'b': return ch == '0' || ch == '1' || ch == ' ';
    case 'B': return ch == intl.TrueChar || ch == intl.FalseChar;
    case 'Y': return ch == intl.YesChar || ch == intl.NoChar;
    default:
        if (m >= '1' && m <= '8')
            return intl.UserCharSets[m - '1'].test(u);
        return false;
    }
}

bool TextToInteger(const std::string& text, int t, int64_t& value)
{
    const std::string s = TrimSpaces(text);
    if (s.empty()) {
        value = 0;
        return true;
    }
    int64_t lo = 0, hi = 0;
    if (!IntLimits(t, lo, hi)) {
        if (t != fsubComp)
            return false;
        lo = INT64_MIN;
        hi = INT64_MAX;
    }
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || end == s.c_str() || *end != 0)
        return false;
    if (v < lo || v > hi)
        return false;
    value = v;
    return true;
}

bool TextToReal(const std::string& text, int t, long double& value)
{
    const std::string s = TrimSpaces(text);
    if (s.empty()) {
        value = 0;
        return true;
    }
    // Only plain decimal numbers: no hexadecimal floats, infinities or NaNs.
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    long double v = 0;
    if (!ParseDecimal(s, v))
        return false;
    const long double lim = RealLimit(t);
    if (lim > 0 && (v > lim || v < -lim))
        return false;
    value = v;
    return true;
}

namespace {

int TypeBytes(int t)
{
    const int n = DataTypeSize(t, 0);
    return n > 4 || n <= 0 ? 4 : n;
}

} // namespace

std::string IntegerToText(int64_t value, int t, TOvcNumberBase base)
{
    if (base == TOvcNumberBase::Decimal)
        return std::to_string(value);
    const int bytes = TypeBytes(t);
    const uint32_t u = static_cast<uint32_t>(value) &
                       (bytes >= 4 ? 0xFFFFFFFFu : ((1u << (bytes * 8)) - 1));
    std::string s;
    int digits = 0, shift = 0;
    switch (base) {
    case TOvcNumberBase::Hex: digits = bytes * 2; shift = 4; break;
    case TOvcNumberBase::Octal: digits = bytes * 3; shift = 3; break;
    default: digits = bytes * 8; shift = 1; break;
    }
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i) {
        const int sh = i * shift;
        s += sh >= 32 ? '0' : kDigits[(u >> sh) & ((1u << shift) - 1)];
    }
    return s;
}

bool TextToIntegerBase(const std::string& text, int t, TOvcNumberBase base, int64_t& value)
{
    if (base == TOvcNumberBase::Decimal)
        return TextToInteger(text, t, value);
    const std::string s = TrimSpaces(text);
    uint64_t v = 0;
    if (base == TOvcNumberBase::Binary && s.size() > 32)
        return false;
    for (char c : s) {
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        const int radix = base == TOvcNumberBase::Hex ? 16 : base == TOvcNumberBase::Octal ? 8 : 2;
        if (d < 0 || d >= radix)
            return false;
        v = v * radix + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFull)
            return false;
    }
    // The digits are the bit pattern of the type: narrow with sign where the type has one.
    switch (t) {
    case fsubWord: value = static_cast<uint16_t>(v); break;
    case fsubInteger: value = static_cast<int16_t>(v); break;
    case fsubByte: value = static_cast<uint8_t>(v); break;
    case fsubShortInt: value = static_cast<int8_t>(v); break;
    default: value = static_cast<int32_t>(static_cast<uint32_t>(v)); break;
    }
    return true;
}

std::string RealToText(long double value)
{
    return FormatGeneral(value, 15);
}

} // namespace korval
