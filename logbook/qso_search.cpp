#include "logbook/qso_search.h"

#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/country_db.h"
#include "logbook/qso_data.h"
#include "logbook/qso_fields.h"

namespace korval {

namespace {

char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool CharMatches(char p, char t) { return p == '?' || t == '?' || Up(p) == Up(t); }

// Backtracking glob over the whole text: on a mismatch after a "*" the star takes one more
// character and the rest is tried again, so "*AB" finds the last AB of "ABXAB".
bool Glob(std::string_view p, std::string_view t)
{
    std::size_t pi = 0, ti = 0, starP = std::string_view::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starT = ti;
        } else if (pi < p.size() && CharMatches(p[pi], t[ti])) {
            ++pi;
            ++ti;
        } else if (starP != std::string_view::npos) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

bool SameLengthMatch(std::string_view p, std::string_view t)
{
    if (p.size() != t.size())
        return false;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (!CharMatches(p[i], t[i]))
            return false;
    return true;
}

bool NearMatch(std::string_view p, std::string_view c)
{
    if (p.size() == c.size()) {
        std::size_t first = std::string_view::npos;
        int diffs = 0;
        for (std::size_t i = 0; i < p.size(); ++i)
            if (!CharMatches(p[i], c[i])) {
                if (diffs++ == 0)
                    first = i;
            }
        if (diffs <= 1)
            return true;
        if (diffs == 2 && first + 1 < p.size() && !CharMatches(p[first + 1], c[first + 1]))
            return CharMatches(p[first], c[first + 1]);
        return false;
    }
    std::string_view shorter = p.size() < c.size() ? p : c;
    std::string_view longer = p.size() < c.size() ? c : p;
    if (longer.size() - shorter.size() != 1)
        return false;
    return SameLengthMatch(shorter, longer.substr(0, shorter.size()));
}

} // namespace

bool PatternMatches(std::string_view pattern, std::string_view text)
{
    bool invert = false;
    if (!pattern.empty() && pattern[0] == '!') {
        invert = true;
        pattern.remove_prefix(1);
    }
    bool r = pattern == "*" ? !text.empty() : Glob(pattern, text);
    return r != invert;
}

bool CallMatches(std::string_view pattern, std::string_view call, int method)
{
    switch (method) {
    case csExact:
        return SameLengthMatch(pattern, call);
    case csNear:
        return NearMatch(pattern, call);
    case csContains: {
        std::string p = "*";
        p.append(pattern);
        p += '*';
        return PatternMatches(p, call);
    }
    default:  // csPattern, and any value the configuration does not define
        return PatternMatches(pattern, call);
    }
}

bool TQsoSearch::Add(const TSearchCondition& c)
{
    if (static_cast<int>(Conditions.size()) >= kMaxSearchConditions)
        return false;
    Conditions.push_back(c);
    return true;
}

bool TQsoSearch::HasDateCondition() const
{
    for (const auto& c : Conditions)
        if (c.Kind == skQsoDate)
            return true;
    return false;
}

bool TQsoSearch::Matches(const TQsoRecord& rec, const TQsoData* log) const
{
    if (OutsideFilter)
        return OutsideFilter(rec);
    for (const auto& c : Conditions)
        if (Test(c, rec, log) == c.Negate)
            return false;
    return true;
}

bool TQsoSearch::Test(const TSearchCondition& c, const TQsoRecord& r, const TQsoData* log) const
{
    switch (c.Kind) {
    case skByteEqual:
    case skByteSel: {
        std::uint32_t v = 0;
        switch (c.Field) {
        case fMode: v = r.Mode; break;
        case fBand: v = r.Band; break;
        case fZone: v = r.Zone; break;
        case fQslRoute: v = r.QslRoute; break;
        case fSat: v = r.SatMode; break;
        case fGroup: v = r.Group; break;
        default: return false;
        }
        return v == c.Value;
    }
    case skQsoDate:
        if (DateMethod == dsOnOrAfter)
            return r.Date >= c.Value;
        if (DateMethod == dsRange)
            return r.Date >= c.Value && r.Date <= RangeEnd;
        return r.Date == c.Value;
    case skQslDate:
        return c.Value == 0 ? r.QslSentDate == 0 : r.QslSentDate >= c.Value;
    case skTime: {
        std::int64_t d = static_cast<std::int64_t>(r.Time) - static_cast<std::int32_t>(c.Value);
        return (d < 0 ? -d : d) <= 480;
    }
    case skModeGroup:
        return static_cast<std::uint32_t>(ModeGroup(r.Mode)) == c.Value;
    case skLongEqual:
        return static_cast<std::uint32_t>(r.Time) == c.Value;
    case skFlag:
        return (r.Flags & c.Value) != 0;
    case skAward:
        return (r.AwardFlags & c.Value) != 0;
    case skCall:
        return CallMatches(c.Pattern, r.Call.view(), CallMethod);
    case skText:
        return PatternMatches(c.Pattern, c.Field == fRecvd ? r.Exchange.view() : r.Iota.view());
    case skPrefix:
        return PatternMatches(c.Pattern, r.Country ? CountryPrefix(r.Country) : std::string());
    case skStateAbbrev:
        return PatternMatches(c.Pattern, StateAbbrev(r.State));
    case skCountyName:
        return PatternMatches(c.Pattern, r.State ? CountyName(r.State, r.County) : std::string());
    case skGrid:
        return PatternMatches(c.Pattern, r.Grid.view());
    case skCallNote:
        return PatternMatches(c.Pattern, log ? log->GetCallNote(r.Call.view()) : std::string());
    case skQsoNote:
        return PatternMatches(c.Pattern, NoteText(r.Note));
    case skQslMgr:
        return PatternMatches(c.Pattern, GetQslManager(r.Call.view(), r.Date));
    case skRst:
        return (c.Field == fRsts ? r.RstSent : r.RstRcvd) == c.Value;
    case skCustAwdId:
        return PatternMatches(c.Pattern, r.CustAwdId.view());
    case skCustAwdVal:
        return PatternMatches(c.Pattern, r.CustAwdVal.view());
    case skWpx:
        return r.WpxPrefix.view() == c.Pattern;
    default:
        return false;
    }
}

} // namespace korval
