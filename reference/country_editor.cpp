#include "reference/country_editor.h"

#include "logbook/paths.h"
#include "logbook/base/string_utils.h"
#include "platform/atomic_file.h"

#include <functional>

namespace korval {
namespace {

constexpr std::size_t MapCountryOffset = 5;
constexpr std::size_t CallCountryOffset = 13;

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void Put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

// Rewrites the country number of every mapping and exception call in place; neither
// collection is ordered by it.
void Renumber(TCountryData& db, const std::function<std::uint16_t(std::uint16_t)>& map)
{
    for (std::int32_t i = 0; i < db.Prefixes->Count(); ++i) {
        std::uint8_t* r = db.Prefixes->Record(i) + MapCountryOffset;
        Put16(r, map(Get16(r)));
    }
    for (std::int32_t i = 0; i < db.ExceptionCalls->Count(); ++i) {
        std::uint8_t* r = db.ExceptionCalls->Record(i) + CallCountryOffset;
        Put16(r, map(Get16(r)));
    }
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

TCountryEditResult CheckPrefix(const TCountryData& db, const std::string& prefix, std::int32_t self)
{
    if (prefix.empty())
        return TCountryEditResult::EmptyPrefix;
    const std::int32_t at = CountryNumberOfPrefixIn(*db.Countries, prefix);
    return at >= 0 && at != self ? TCountryEditResult::DuplicatePrefix : TCountryEditResult::Done;
}

TCountryRecord Normalised(TCountryRecord rec)
{
    rec.Prefix = Upper(rec.Prefix.substr(0, CountryPrefixCap));
    if (rec.EndDate == NoDate)
        rec.EndDate = OpenEndDate;
    return rec;
}

std::string FindingLine(const std::string& message, const std::string& country, const std::string& prefix)
{
    return message + " " + PadRight(country, 8) + PadRight(prefix, 7);
}

} // namespace

TCountryEdit AddCountry(TCountryData& db, const TCountryRecord& input)
{
    const TCountryRecord rec = Normalised(input);
    TCountryEdit edit;
    edit.Result = CheckPrefix(db, rec.Prefix, -1);
    if (edit.Result != TCountryEditResult::Done)
        return edit;
    const std::string bytes = rec.ToBytes();
    const std::int32_t at = db.Countries->InsertRecord(bytes.data());
    const auto n = static_cast<std::uint16_t>(at);
    Renumber(db, [n](std::uint16_t ref) { return ref >= n && ref != 0 ? static_cast<std::uint16_t>(ref + 1) : ref; });
    edit.Number = at;
    return edit;
}

TCountryEdit UpdateCountry(TCountryData& db, std::int32_t number, const TCountryRecord& input)
{
    TCountryEdit edit;
    if (number < 1 || number >= db.Countries->Count()) {
        edit.Result = TCountryEditResult::NoSuchCountry;
        return edit;
    }
    const TCountryRecord rec = Normalised(input);
    edit.Result = CheckPrefix(db, rec.Prefix, number);
    if (edit.Result != TCountryEditResult::Done)
        return edit;
    db.Countries->DeleteRecord(number);
    const std::string bytes = rec.ToBytes();
    const std::int32_t moved = db.Countries->InsertRecord(bytes.data());
    const auto oldN = static_cast<std::uint16_t>(number), newN = static_cast<std::uint16_t>(moved);
    if (oldN != newN)
        Renumber(db, [oldN, newN](std::uint16_t ref) -> std::uint16_t {
            if (ref == oldN)
                return newN;
            if (oldN < newN && ref > oldN && ref <= newN)
                return static_cast<std::uint16_t>(ref - 1);
            if (oldN > newN && ref >= newN && ref < oldN)
                return static_cast<std::uint16_t>(ref + 1);
            return ref;
        });
    edit.Number = moved;
    return edit;
}

bool DeleteCountry(TCountryData& db, std::int32_t number)
{
    if (number < 1 || number >= db.Countries->Count())
        return false;
    const auto n = static_cast<std::uint16_t>(number);
    for (std::int32_t i = db.Prefixes->Count() - 1; i >= 0; --i)
        if (Get16(db.Prefixes->Record(i) + MapCountryOffset) == n)
            db.Prefixes->DeleteRecord(i);
    for (std::int32_t i = db.ExceptionCalls->Count() - 1; i >= 0; --i)
        if (Get16(db.ExceptionCalls->Record(i) + CallCountryOffset) == n)
            db.ExceptionCalls->DeleteRecord(i);
    Renumber(db, [n](std::uint16_t ref) { return ref > n ? static_cast<std::uint16_t>(ref - 1) : ref; });
    db.Countries->DeleteRecord(number);
    return true;
}

std::vector<std::string> CheckCountryErrors(const TCountryData& db)
{
    std::vector<std::string> lines;
    const std::int32_t countries = db.Countries->Count();
    auto country = [&](std::int32_t n) { return TCountryRecord::FromBytes(db.Countries->Record(n)); };
    for (std::int32_t i = 1; i < countries; ++i) {
        const TCountryRecord c = country(i);
        if (c.StartDate > c.EndDate)
            lines.push_back(FindingLine("C-start > C-end", c.Prefix, ""));
    }
    const std::int32_t maps = db.Prefixes->Count();
    for (std::int32_t i = 1; i < maps; ++i) {
        const TPrefixMapRecord m = TPrefixMapRecord::FromBytes(db.Prefixes->Record(i));
        const bool known = m.Country >= 1 && m.Country < countries;
        const std::string cPrefix = known ? country(m.Country).Prefix : std::string();
        if (m.StartDate > m.EndDate)
            lines.push_back(FindingLine("M-start > M-end", cPrefix, m.Prefix));
        if (m.Country == 0 || !known) {
            lines.push_back(FindingLine("No country for " + std::to_string(i), cPrefix, m.Prefix));
            continue;
        }
        for (std::int32_t k = i - 1; k >= 1; --k) {
            const TPrefixMapRecord o = TPrefixMapRecord::FromBytes(db.Prefixes->Record(k));
            if (o.Prefix != m.Prefix)
                break;
            if (m.StartDate < o.EndDate && m.EndDate > o.StartDate)
                lines.push_back(FindingLine("Overlap", cPrefix, m.Prefix));
        }
        const TCountryRecord c = country(m.Country);
        if (m.StartDate < c.StartDate)
            lines.push_back(FindingLine("M-start < C-start", cPrefix, m.Prefix));
        if (m.EndDate > c.EndDate)
            lines.push_back(FindingLine("M-end > C-end", cPrefix, m.Prefix));
    }
    lines.push_back("End of error listing");
    return lines;
}

namespace {

void CheckBytesLoad(const std::string& bytes, const std::string& path)
{
    TCountryData probe;
    std::string reason;
    if (!ReadCountryDatabase(bytes, probe, false, &reason))
        throw EFileWriteError(path + ": the edited country data would not load again (" + reason + ")");
}

} // namespace

void CheckCountryDataLoads(const TCountryData& db, const std::string& path)
{
    CheckBytesLoad(CountryDatabaseBytes(db), path);
}

void SaveCheckedCountryFile(const TCountryData& db, const std::string& path)
{
    const std::string bytes = CountryDatabaseBytes(db);
    CheckBytesLoad(bytes, path);
    RewriteDataFile(path, bytes);
}

} // namespace korval
