#include "entry/ovc_support.h"

#include "logbook/base/string_utils.h"

#include <cstring>

namespace korval {

namespace {

int len(const char* s) { return int(std::strlen(s)); }

char* hexDigits(char* dest, uint32_t v, int digits)
{
    static const char hex[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i) {
        dest[i] = hex[v & 0xF];
        v >>= 4;
    }
    dest[digits] = 0;
    return dest;
}

} // namespace

char* BinaryText(char* dest, uint32_t l)
{
    for (int i = 0; i < 32; ++i)
        dest[i] = (l & (0x80000000u >> i)) ? '1' : '0';
    dest[32] = 0;
    return dest;
}

char* FillChars(char* dest, char ch, int n)
{
    n = n < 0 ? 0 : n;
    std::memset(dest, ch, size_t(n));
    dest[n] = 0;
    return dest;
}

char* HexText32(char* dest, uint32_t l) { return hexDigits(dest, l, 8); }
char* HexText16(char* dest, uint16_t w) { return hexDigits(dest, w, 4); }

char* OctalText32(char* dest, uint32_t l)
{
    for (int i = 11; i >= 0; --i) {
        dest[i] = char('0' + (l & 7));
        l >>= 3;
    }
    dest[12] = 0;
    return dest;
}

char* DeleteCharAt(char* s, int pos)
{
    return DeleteSub(s, pos, 1);
}

char* InsertCharAt(char* s, char ch, int pos)
{
    return InsertChars(s, ch, pos, 1);
}

bool FindChar(const char* s, char ch, int& pos)
{
    const char* p = std::strchr(s, ch);
    if (!p || ch == 0)
        return false;
    pos = int(p - s);
    return true;
}

char* InsertChars(char* s, char ch, int pos, int count)
{
    int n = len(s);
    if (pos < 0 || pos > n || count <= 0)
        return s;
    std::memmove(s + pos + count, s + pos, size_t(n - pos + 1));
    std::memset(s + pos, ch, size_t(count));
    return s;
}

char* CopySub(char* dest, const char* s, int pos, int count)
{
    int n = len(s);
    if (pos < 0 || pos >= n || count <= 0) {
        dest[0] = 0;
        return dest;
    }
    if (count > n - pos)
        count = n - pos;
    std::memmove(dest, s + pos, size_t(count));
    dest[count] = 0;
    return dest;
}

char* DeleteSub(char* s, int pos, int count)
{
    int n = len(s);
    if (pos < 0 || pos >= n || count <= 0)
        return s;
    if (count > n - pos)
        count = n - pos;
    std::memmove(s + pos, s + pos + count, size_t(n - pos - count + 1));
    return s;
}

char* InsertSub(char* s, const char* sub, int pos)
{
    int n = len(s), k = len(sub);
    if (pos < 0 || pos > n || k == 0)
        return s;
    std::memmove(s + pos + k, s + pos, size_t(n - pos + 1));
    std::memcpy(s + pos, sub, size_t(k));
    return s;
}

bool FindSub(const char* s, const char* sub, int& pos)
{
    if (!*sub)
        return false;
    const char* p = std::strstr(s, sub);
    if (!p)
        return false;
    pos = int(p - s);
    return true;
}

bool TextToLong(const char* s, int32_t& l)
{
    int n = len(s);
    if (n > MaxEditLen) {
        l = -1;
        return false;
    }
    while (n > 0 && uint8_t(s[n - 1]) <= ' ')
        --n;
    int i = 0;
    while (i < n && s[i] == ' ')
        ++i;
    if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        i += 2;
        if (i >= n) {
            l = i;
            return false;
        }
        uint32_t v = 0;
        for (int k = i; k < n; ++k) {
            char c = s[k];
            int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0 || k - i >= 8) {
                l = k;
                return false;
            }
            v = v * 16 + uint32_t(d);
        }
        l = int32_t(v);
        return true;
    }
    bool neg = false;
    if (i < n && (s[i] == '-' || s[i] == '+'))
        neg = s[i++] == '-';
    if (i >= n) {
        l = i;
        return false;
    }
    int64_t v = 0;
    for (int k = i; k < n; ++k) {
        if (s[k] < '0' || s[k] > '9') {
            l = k;
            return false;
        }
        v = v * 10 + (s[k] - '0');
        if (v > (neg ? 2147483648LL : 2147483647LL)) {
            l = k;
            return false;
        }
    }
    l = int32_t(neg ? -v : v);
    return true;
}

char* TrimBlanks(char* s)
{
    const std::string_view t = Trim(s);
    std::memmove(s, t.data(), t.size());
    s[t.size()] = 0;
    return s;
}

char* TrimTrailingControls(char* s)
{
    int n = len(s);
    while (n > 0 && uint8_t(s[n - 1]) < 33)
        --n;
    s[n] = 0;
    return s;
}

char* TrimExponentZeros(char* s)
{
    int e;
    if (!FindChar(s, 'E', e) && !FindChar(s, 'e', e))
        return s;
    int start = e;
    while (start > 0 && s[start - 1] == '0')
        --start;
    if (start > 0 && s[start - 1] == '.')
        --start;
    else {
        // Zeros count only in a fraction: "100E2" keeps its zeros.
        int dot;
        if (!FindChar(s, '.', dot) || dot > e)
            return s;
    }
    DeleteSub(s, start, e - start);
    return s;
}

char* TrimFractionZeros(char* s)
{
    int dot;
    if (!FindChar(s, '.', dot))
        return s;
    int n = len(s);
    while (n > dot + 1 && s[n - 1] == '0')
        --n;
    s[n] = 0;
    return s;
}

char CharLower(char ch)
{
    uint8_t c = uint8_t(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return char(c + 0x20);
    if (c == 0x8A || c == 0x8C || c == 0x8E)
        return char(c + 0x10);
    if (c == 0x9F)
        return char(0xFF);
    return ch;
}

char CharUpper(char ch)
{
    uint8_t c = uint8_t(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return char(c - 0x20);
    if (c == 0x9A || c == 0x9C || c == 0x9E)
        return char(c - 0x10);
    if (c == 0xFF)
        return char(0x9F);
    return ch;
}

const std::bitset<256>& OvcHighLetters()
{
    static const std::bitset<256> set = [] {
        std::bitset<256> b;
        for (int c : {0x83, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F, 0xAA, 0xB5, 0xBA})
            b.set(size_t(c));
        for (int c = 0xC0; c <= 0xFF; ++c)
            if (c != 0xD7 && c != 0xF7)
                b.set(size_t(c));
        return b;
    }();
    return set;
}

std::string NormaliseRealText(const std::string& text, char decimalChar)
{
    std::string s = TrimSpaces(text);
    if (!s.empty() && s.back() == decimalChar)
        s.pop_back();
    for (char& c : s)
        if (c == decimalChar)
            c = '.';
    // Blanks next to the point.
    size_t dot = s.find('.');
    if (dot != std::string::npos) {
        size_t b = dot, e = dot + 1;
        while (b > 0 && s[b - 1] == ' ')
            --b;
        while (e < s.size() && s[e] == ' ')
            ++e;
        s = s.substr(0, b) + "." + s.substr(e);
    }
    size_t ex = s.find_first_of("eE");
    if (ex != std::string::npos) {
        std::string mant = s.substr(0, ex), rest = s.substr(ex);
        if (mant.find('.') == std::string::npos)
            mant += '.';
        if (mant.back() == '.')
            mant += '0';
        while (mant.size() < 12)
            mant += '0';
        s = mant + rest;
    }
    dot = s.find('.');
    if (dot != std::string::npos) {
        if (dot + 1 >= s.size() || !(s[dot + 1] >= '0' && s[dot + 1] <= '9'))
            s.insert(dot + 1, 1, '0');
        if (dot == 0 || s[dot - 1] == '-' || s[dot - 1] == '+')
            s.insert(dot, 1, '0');
    }
    if (s.empty())
        s.assign(1, '0');
    return s;
}

TOvcUserData::TOvcUserData()
{
    for (auto& set : sets_) {
        set.set();
        set.reset(0);
    }
    for (int i = 0; i < 8; ++i)
        subst_[i] = char(241 + i);
}

std::bitset<256> TOvcUserData::UserCharSet(char maskChar) const
{
    return maskChar >= '1' && maskChar <= '8' ? sets_[maskChar - '1'] : std::bitset<256>();
}

void TOvcUserData::SetUserCharSet(char maskChar, const std::bitset<256>& set)
{
    if (maskChar >= '1' && maskChar <= '8')
        sets_[maskChar - '1'] = set;
}

uint8_t TOvcUserData::UserCharCase(char maskChar) const
{
    return maskChar >= '1' && maskChar <= '8' ? cases_[maskChar - '1'] : 0;
}

void TOvcUserData::SetUserCharCase(char maskChar, uint8_t rule)
{
    if (maskChar >= '1' && maskChar <= '8')
        cases_[maskChar - '1'] = rule;
}

char TOvcUserData::SubstituteChar(char ch) const
{
    uint8_t c = uint8_t(ch);
    return c >= 241 && c <= 248 ? subst_[c - 241] : char(0);
}

void TOvcUserData::SetSubstituteChar(char ch, char shown)
{
    uint8_t c = uint8_t(ch);
    if (c >= 241 && c <= 248)
        subst_[c - 241] = shown;
}


TOvcUserData& OvcUserData()
{
    static TOvcUserData data;
    return data;
}

} // namespace korval
