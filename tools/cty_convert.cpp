#include "tools/cty_convert.h"

#include <map>
#include <set>

namespace korval::cty {

namespace {

// DXCC entity of each WAE-only entity of cty.dat: their prefixes and calls count there.
const std::map<std::string, std::string>& WaeParents()
{
    static const std::map<std::string, std::string> m = {
        {"4U1V", "OE"}, {"GM/s", "GM"}, {"IG9", "I"}, {"IT9", "I"}, {"JW/b", "JW"}, {"TA1", "TA"},
    };
    return m;
}

std::uint8_t ContinentIndex(const std::string& c)
{
    static const std::map<std::string, std::uint8_t> m = {{"AF", 1}, {"AN", 2}, {"AS", 3}, {"EU", 4},
                                                           {"NA", 5}, {"OC", 6}, {"SA", 7}};
    auto it = m.find(c);
    return it == m.end() ? 0 : it->second;
}

std::uint8_t StatesKindOf(const std::string& prefix)
{
    if (prefix == "K")
        return skUsStates;
    if (prefix == "KH6")
        return skHawaii;
    if (prefix == "KL" || prefix == "KL7")
        return skAlaska;
    return skNoState;
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return s;
}

std::uint8_t Zone(int z) { return static_cast<std::uint8_t>(z < 0 ? 0 : z > 255 ? 255 : z); }

} // namespace

const std::vector<TUsState>& UsStates()
{
    // CQ zones of the WAZ rules: 3 the western, 4 the central and 5 the eastern states.
    static const std::vector<TUsState> s = {
        {"AK", 1, "Alaska"},         {"AL", 4, "Alabama"},        {"AR", 4, "Arkansas"},
        {"AZ", 3, "Arizona"},        {"CA", 3, "California"},     {"CO", 4, "Colorado"},
        {"CT", 5, "Connecticut"},    {"DE", 5, "Delaware"},       {"FL", 5, "Florida"},
        {"GA", 5, "Georgia"},        {"HI", 31, "Hawaii"},        {"IA", 4, "Iowa"},
        {"ID", 3, "Idaho"},          {"IL", 4, "Illinois"},       {"IN", 4, "Indiana"},
        {"KS", 4, "Kansas"},         {"KY", 4, "Kentucky"},       {"LA", 4, "Louisiana"},
        {"MA", 5, "Massachusetts"},  {"MD", 5, "Maryland"},       {"ME", 5, "Maine"},
        {"MI", 4, "Michigan"},       {"MN", 4, "Minnesota"},      {"MO", 4, "Missouri"},
        {"MS", 4, "Mississippi"},    {"MT", 4, "Montana"},        {"NC", 5, "North Carolina"},
        {"ND", 4, "North Dakota"},   {"NE", 4, "Nebraska"},       {"NH", 5, "New Hampshire"},
        {"NJ", 5, "New Jersey"},     {"NM", 4, "New Mexico"},     {"NV", 3, "Nevada"},
        {"NY", 5, "New York"},       {"OH", 4, "Ohio"},           {"OK", 4, "Oklahoma"},
        {"OR", 3, "Oregon"},         {"PA", 5, "Pennsylvania"},   {"RI", 5, "Rhode Island"},
        {"SC", 5, "South Carolina"}, {"SD", 4, "South Dakota"},   {"TN", 4, "Tennessee"},
        {"TX", 4, "Texas"},          {"UT", 3, "Utah"},           {"VA", 5, "Virginia"},
        {"VT", 5, "Vermont"},        {"WA", 3, "Washington"},     {"WI", 4, "Wisconsin"},
        {"WV", 5, "West Virginia"},  {"WY", 4, "Wyoming"},
    };
    return s;
}

TCountryData ConvertEntities(const std::vector<CtyEntity>& entities, TConvertReport& report)
{
    TCountryData db = TCountryData::Empty();

    // Countries: number 0 is the placeholder "unknown"; the rest follow in key order.
    TCountryRecord unknown;
    unknown.Name = "Unknown";
    db.Countries->InsertRecord(unknown.ToBytes().data());
    std::set<std::string> keys; // upper-cased: the key compares ignoring case
    std::vector<const CtyEntity*> dxcc, wae;
    for (const CtyEntity& e : entities) {
        if (e.waeOnly) {
            wae.push_back(&e);
            continue;
        }
        if (e.prefix.size() > CountryPrefixCap) {
            report.dropped.push_back("entity " + e.name + ": primary prefix " + e.prefix + " longer than " +
                                     std::to_string(CountryPrefixCap) + " characters (with its prefixes and calls)");
            continue;
        }
        if (!keys.insert(Upper(e.prefix)).second) {
            report.dropped.push_back("entity " + e.name + ": primary prefix " + e.prefix + " given twice");
            continue;
        }
        if (e.name.size() > 255)
            report.dropped.push_back("entity " + e.name + ": name cut to 255 characters");
        TCountryRecord c;
        c.Prefix = e.prefix;
        c.Continent = ContinentIndex(e.continent);
        if (c.Continent == 0)
            report.dropped.push_back("entity " + e.name + ": unknown continent " + e.continent);
        c.ItuZone = Zone(e.ituZone);
        c.CqZone = Zone(e.cqZone);
        c.UtcOffset = e.utcOffset == 0 ? 0.0 : -e.utcOffset; // cty.dat counts hours behind UTC
        c.Longitude = e.longitude == 0 ? 0.0 : -e.longitude; // cty.dat counts degrees West
        c.Latitude = e.latitude;
        c.StatesKind = StatesKindOf(e.prefix);
        c.Name = e.name.substr(0, 255);
        db.Countries->InsertRecord(c.ToBytes().data());
        dxcc.push_back(&e);
    }
    report.countries = db.Countries->Count() - 1;

    std::set<std::string> mapped, calls;
    auto addAliases = [&](const CtyEntity& e, std::uint16_t country, const std::string& owner) {
        for (const CtyAlias& a : e.aliases) {
            const std::uint8_t zone = Zone(a.cqZone >= 0 ? a.cqZone : e.cqZone);
            if (a.ituZone >= 0)
                ++report.ituOverrides;
            if (a.hasPosition || a.hasContinent || a.hasUtcOffset)
                ++report.otherOverrides;
            if (a.exactCall) {
                if (a.text.size() > CallCap) {
                    report.dropped.push_back(owner + ": call " + a.text + " longer than 12 characters");
                    continue;
                }
                if (!calls.insert(a.text).second) {
                    ++report.duplicateEntries;
                    continue;
                }
                TExceptionCallRecord r{a.text, country, zone, 0};
                db.ExceptionCalls->InsertRecord(r.ToBytes().data());
            } else {
                if (a.text.size() > MappedPrefixCap) {
                    report.dropped.push_back(owner + ": prefix " + a.text + " longer than 4 characters");
                    continue;
                }
                if (!mapped.insert(a.text).second) {
                    ++report.duplicateEntries;
                    continue;
                }
                TPrefixMapRecord r{a.text, country, zone, 0, OpenEndDate};
                db.Prefixes->InsertRecord(r.ToBytes().data());
            }
        }
    };
    auto numberOf = [&](const std::string& prefix) {
        return static_cast<std::uint16_t>(CountryNumberOfPrefixIn(*db.Countries, prefix));
    };

    for (const CtyEntity* e : dxcc)
        addAliases(*e, numberOf(e->prefix), "entity " + e->name);
    for (const CtyEntity* e : wae) {
        auto parent = WaeParents().find(e->prefix);
        std::int32_t n = parent == WaeParents().end() ? -1 : CountryNumberOfPrefixIn(*db.Countries, parent->second);
        if (n <= 0) {
            report.dropped.push_back("WAE-only entity " + e->name + " (" + e->prefix +
                                     "): no DXCC entity known for it; its prefixes and calls are left out");
            continue;
        }
        ++report.waeEntitiesMerged;
        addAliases(*e, static_cast<std::uint16_t>(n), "WAE-only entity " + e->name);
    }
    // A primary prefix must resolve to its own country when it stands as a designator.
    for (const CtyEntity* e : dxcc) {
        if (e->prefix.find('/') != std::string::npos || e->prefix.size() > MappedPrefixCap ||
            mapped.count(e->prefix))
            continue;
        mapped.insert(e->prefix);
        TPrefixMapRecord r{e->prefix, numberOf(e->prefix), Zone(e->cqZone), 0, OpenEndDate};
        db.Prefixes->InsertRecord(r.ToBytes().data());
        ++report.primaryPrefixMappings;
    }
    report.prefixMappings = db.Prefixes->Count();
    report.exceptionCalls = db.ExceptionCalls->Count();

    // US states (number 0: none) and their codes for import.
    TUsStateRecord none;
    db.States->InsertRecord(none.ToBytes().data());
    for (const TUsState& s : UsStates()) {
        TUsStateRecord r{s.abbrev, Zone(s.cqZone), s.name};
        db.States->InsertRecord(r.ToBytes().data());
    }
    for (std::int32_t i = 1; i < db.States->Count(); ++i) {
        TUsStateRecord st = TUsStateRecord::FromBytes(db.States->Record(i), db.States->KeyLen());
        TStateCodeRecord code{st.Abbrev, static_cast<std::uint8_t>(i)};
        db.StateCodes->InsertRecord(code.ToBytes().data());
    }
    return db;
}

void AddUsCounties(TCountryData& db, std::string_view counties, TConvertReport& report)
{
    std::size_t start = 0;
    while (start < counties.size()) {
        std::size_t end = counties.find('\n', start);
        if (end == std::string_view::npos)
            end = counties.size();
        std::string_view line = counties.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#')
            continue;
        std::string_view state = line.substr(0, 2), number = line.size() >= 6 ? line.substr(3, 3) : "";
        bool ok = line.size() > 7 && line[2] == ',' && line[6] == ',';
        for (char c : number)
            ok = ok && c >= '0' && c <= '9';
        TShortStrKey key = MakeShortStrKey(state);
        std::int32_t code = 0;
        if (!ok || !db.StateCodes->Search(key.data(), code)) {
            report.dropped.push_back("county " + std::string(line));
            continue;
        }
        TCountyRecord r{std::string(state) + std::string(number), std::string(line.substr(7))};
        db.Counties->InsertRecord(r.ToBytes().data());
        ++report.counties;
    }
}

std::string ConvertCtyDat(std::string_view ctyDat, TConvertReport& report, std::string_view counties)
{
    TCountryData db = ConvertEntities(ParseCtyDat(ctyDat), report);
    AddUsCounties(db, counties, report);
    return CountryDatabaseBytes(db);
}

} // namespace korval::cty
