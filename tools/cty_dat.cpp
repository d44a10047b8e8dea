#include "tools/cty_dat.h"

#include "logbook/base/decimal_text.h"
#include "logbook/base/string_utils.h"

#include <cctype>
#include <charconv>

namespace korval::cty {

namespace {

[[noreturn]] void Fail(int line, const std::string& what)
{
    throw ECtyParseError("cty.dat line " + std::to_string(line) + ": " + what);
}

int ParseInt(const std::string& s, int line, const char* field)
{
    int v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size())
        Fail(line, std::string("bad ") + field + " \"" + s + "\"");
    return v;
}

double ParseDouble(const std::string& s, int line, const char* field)
{
    if (s.empty())
        Fail(line, std::string("empty ") + field);
    double v = 0;
    if (!ParseDecimal(s, v))
        Fail(line, std::string("bad ") + field + " \"" + s + "\"");
    return v;
}

// Reads "(n)" or "[n]" style overrides after the base text of an alias.
CtyAlias ParseAlias(const std::string& token, int line)
{
    CtyAlias a;
    std::size_t i = 0;
    if (!token.empty() && token[0] == '=') {
        a.exactCall = true;
        i = 1;
    }
    std::size_t b = i;
    while (i < token.size() && std::string_view("([<{~").find(token[i]) == std::string_view::npos)
        ++i;
    a.text = token.substr(b, i - b);
    if (a.text.empty())
        Fail(line, "empty prefix in \"" + token + "\"");
    for (char c : a.text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '/')
            Fail(line, "bad character in \"" + token + "\"");
    while (i < token.size()) {
        const char open = token[i];
        const char close = open == '(' ? ')' : open == '[' ? ']' : open == '<' ? '>' : open == '{' ? '}' : '~';
        std::size_t end = token.find(close, i + 1);
        if (std::string_view("([<{~").find(open) == std::string_view::npos || end == std::string::npos)
            Fail(line, "bad override in \"" + token + "\"");
        const std::string inner = token.substr(i + 1, end - i - 1);
        switch (open) {
        case '(': a.cqZone = ParseInt(inner, line, "CQ zone override"); break;
        case '[': a.ituZone = ParseInt(inner, line, "ITU zone override"); break;
        case '<': a.hasPosition = true; break;
        case '{': a.hasContinent = true; break;
        default: a.hasUtcOffset = true; break;
        }
        i = end + 1;
    }
    return a;
}

} // namespace

std::vector<CtyEntity> ParseCtyDat(std::string_view text)
{
    std::vector<CtyEntity> out;
    CtyEntity* cur = nullptr;
    bool inList = false;
    std::string pending; // alias text collected up to ';'
    int line = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos)
            nl = text.size();
        std::string_view raw = text.substr(pos, nl - pos);
        pos = nl + 1;
        ++line;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        if (Trim(raw, kWhitespace).empty())
            continue;
        if (!inList) {
            if (std::isspace(static_cast<unsigned char>(raw[0])))
                Fail(line, "prefix list without an entity");
            // Header: name: CQ: ITU: continent: lat: lon: offset: prefix:
            std::vector<std::string> f;
            std::size_t b = 0;
            for (std::size_t k = 0; k < raw.size(); ++k)
                if (raw[k] == ':') {
                    f.push_back(std::string(Trim(raw.substr(b, k - b), kWhitespace)));
                    b = k + 1;
                }
            if (f.size() != 8 || !Trim(raw.substr(b), kWhitespace).empty())
                Fail(line, "entity line needs eight fields ended by ':'");
            CtyEntity e;
            e.line = line;
            e.name = f[0];
            e.cqZone = ParseInt(f[1], line, "CQ zone");
            e.ituZone = ParseInt(f[2], line, "ITU zone");
            e.continent = f[3];
            e.latitude = ParseDouble(f[4], line, "latitude");
            e.longitude = ParseDouble(f[5], line, "longitude");
            e.utcOffset = ParseDouble(f[6], line, "UTC offset");
            e.prefix = f[7];
            if (!e.prefix.empty() && e.prefix[0] == '*') {
                e.waeOnly = true;
                e.prefix.erase(0, 1);
            }
            if (e.name.empty() || e.prefix.empty())
                Fail(line, "entity without name or prefix");
            out.push_back(std::move(e));
            cur = &out.back();
            inList = true;
            pending.clear();
            continue;
        }
        std::string body(Trim(raw, kWhitespace));
        const bool ends = !body.empty() && body.back() == ';';
        if (ends)
            body.pop_back();
        pending += body;
        if (!ends)
            continue;
        std::size_t b = 0;
        while (b <= pending.size()) {
            std::size_t c = pending.find(',', b);
            if (c == std::string::npos)
                c = pending.size();
            std::string tok(Trim(std::string_view(pending).substr(b, c - b), kWhitespace));
            if (!tok.empty())
                cur->aliases.push_back(ParseAlias(tok, line));
            b = c + 1;
        }
        inList = false;
    }
    if (inList)
        Fail(line, "prefix list of " + cur->name + " not ended by ';'");
    return out;
}

} // namespace korval::cty
