// The conversions and note routines both readers share.
#include "exchange/import_common.h"

#include "exchange/translation_table.h"
#include "logbook/country_db.h"
#include "logbook/call_syntax.h"
#include "logbook/base/string_utils.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace korval {

namespace {
std::string upper(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}
bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
} // namespace

bool IsWellFormedIota(std::string_view ref)
{
    static const char* continents[] = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};
    if (ref.size() != 5)
        return false;
    bool continent = false;
    for (const char* c : continents)
        continent = continent || ref.substr(0, 2) == c;
    for (std::size_t i = 2; continent && i < 5; ++i)
        continent = ref[i] >= '0' && ref[i] <= '9';
    return continent && ref.substr(2) != "000";
}

void NormalizeImportCall(std::string_view value, TImportContext& ctx)
{
    std::string call(Trim(value));
    for (char& c : call) {
        if (c == '-' || c == '\\')
            c = '/';
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    if (IsValidCall(call)) {
        std::size_t n = call.size();
        if (n >= 3 && (call.compare(n - 3, 3, "/MM") == 0 || call.compare(n - 3, 3, "/AM") == 0))
            ctx.Qso.Flags &= static_cast<std::uint8_t>(~qfValidForAwards);
    } else {
        ctx.ReportImportError(fiCallsign, call);
    }
    ctx.Qso.Call = call;
}

void NormalizeImportIota(std::string_view value, TShortStr<5>& iota, TImportContext& ctx)
{
    std::string r = upper(value);
    if (r.size() >= 3 && r[2] == '-') {
        if (r.size() >= 6)
            r.erase(2, 1);
        else
            r[2] = '0';
    }
    while (r.size() < 5 && r.size() >= 2)
        r.insert(2, 1, '0');
    bool known = r.size() == 5;
    if (known && CountryDb.Iota) {
        TShortStrKey key = MakeShortStrKey(r);
        std::int32_t index = 0;
        // A well-formed reference stands even when the list does not know it (yet): the QSO keeps
        // the reference itself.
        known = CountryDb.Iota->Search(key.data(), index) || IsWellFormedIota(r);
    }
    if (!known) {
        ctx.ReportSimpleError(fiIota, value);
        iota.clear();
        return;
    }
    iota = r;
}

bool ParseImportTime(std::string_view value, std::int32_t& seconds, TImportContext& ctx)
{
    seconds = -1;
    if (value.size() < 4)
        return true;
    for (std::size_t i = 0; i < 4; ++i)
        if (value[i] < '0' || value[i] > '9')
            return true;
    int hours = (value[0] - '0') * 10 + (value[1] - '0');
    int minutes = (value[2] - '0') * 10 + (value[3] - '0');
    if (hours >= 24 || minutes >= 60)
        return true;
    int minute = hours * 60 + minutes;
    if (value.size() == 6) {
        int s = DigitsValue(value.substr(4, 2));
        if (s > 58)
            s = 58;
        ctx.Seconds = static_cast<std::uint8_t>(s);
        ctx.LastMinute = minute;
    } else if (minute != ctx.LastMinute) {
        ctx.LastMinute = minute;
        ctx.Seconds = 0;
    } else if (ctx.Seconds < 58) {
        ++ctx.Seconds;
    }
    seconds = minute * 60 + ctx.Seconds;
    return false;
}

void ImportPrefix(std::string_view value, TImportContext& ctx)
{
    std::string prefix(value);
    std::string translated;
    bool fromTable = ctx.Table && TranslateCodeToPrefix(*ctx.Table, value, translated);
    if (fromTable)
        prefix = translated;
    ctx.ImpPrefix = prefix.substr(0, 5);
    std::int32_t n = prefix.empty() ? -1 : CountryNumberOfPrefix(prefix);
    if (n > 0) {
        ctx.ImpCountry = n;
        return;
    }
    ctx.ImpCountry = 0;
    // A numeric code that no translation table explains is another format's entity number, not
    // a prefix of ours: nothing is wrong with the QSO, the lookup decides its country.
    bool numeric = !value.empty() && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (numeric && !fromTable) {
        ctx.ImpPrefix.clear();
        return;
    }
    ctx.ReportImportError(fiPrefix, value);
}

void StripKHzFreq(std::string& s)
{
    std::size_t p = s.find(" kHz");
    if (p == std::string::npos)
        return;
    std::size_t start = p;
    while (start > 0) {
        char c = s[start - 1];
        if (c == ' ' || c == '.' || c == '/' || (c >= '0' && c <= '9'))
            --start;
        else
            break;
    }
    s.erase(start, p + 4 - start);
}

void StripImportFrom(std::string& s)
{
    std::string u = upper(s);
    std::size_t p = u.find("IMPORT FROM ");
    std::size_t len = 12;
    if (p == std::string::npos) {
        p = u.find("IMPORTED FROM ");
        len = 14;
    }
    if (p == std::string::npos)
        return;
    std::size_t end = p + len;
    while (end < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[end]);
        if (c == ' ' || c == '.' || c == '_' || std::isalnum(c))
            ++end;
        else
            break;
    }
    s.erase(p, end - p);
}

void RemoveDoubleBlanks(std::string& s)
{
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        if (c == ' ' && !r.empty() && r.back() == ' ')
            continue;
        r += c;
    }
    s.swap(r);
}

void MergeNote(std::string& dest, std::size_t maxLen, std::string_view src, bool append, std::vector<std::string>* pieces)
{
    if (src.empty())
        return;
    if (equalNoCase(dest, src))
        return;
    std::size_t start = 0;
    while (start <= dest.size()) {
        std::size_t end = dest.find('|', start);
        if (end == std::string::npos)
            end = dest.size();
        if (equalNoCase(std::string_view(dest).substr(start, end - start), src))
            return;
        start = end + 1;
    }
    if (pieces) {
        for (const auto& p : *pieces)
            if (equalNoCase(p, src))
                return;
        pieces->emplace_back(src);
    }
    if (dest.empty())
        dest = src;
    else if (append)
        dest = dest + " " + std::string(src);
    else
        dest = std::string(src) + "|" + dest;
    if (dest.size() > maxLen)
        dest.resize(maxLen);
}

} // namespace korval
