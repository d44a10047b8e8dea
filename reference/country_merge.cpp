#include "reference/country_merge.h"

#include "logbook/base/string_utils.h"
#include "logbook/configured_formats.h"

#include <cstring>
#include <vector>

namespace korval {

void TMessageLines::Add(std::string line)
{
    if (lines_.size() >= Capacity) {
        lines_.pop_front();
        ++dropped_;
    }
    lines_.push_back(std::move(line));
}

void TMessageLines::Clear()
{
    lines_.clear();
    dropped_ = 0;
}

namespace {

const char* Verb(bool replaced) { return replaced ? "Replaced" : "Added   "; }

// Runs one step over `count` records of the other file when the operator agrees.
template <class Each>
bool RunStep(const TMergeHooks& hooks, TMessageLines& out, const std::string& title, const std::string& caption,
             std::int32_t count, Each each)
{
    if (hooks.Confirm && !hooks.Confirm(title)) {
        out.Add(title + " (Skipped)");
        return false;
    }
    if (hooks.Start)
        hooks.Start(caption, count > 1 ? count - 1 : 0);
    bool changed = false;
    for (std::int32_t i = 1; i < count; ++i) {
        changed |= each(i);
        if (hooks.Step)
            hooks.Step();
    }
    if (hooks.Finish)
        hooks.Finish();
    return changed;
}

// This file's number of the other file's country, by prefix, else by name; -1 when neither.
std::int32_t MatchCountry(const TCountryData& db, const TCountryRecord& c)
{
    std::int32_t n = CountryNumberOfPrefixIn(*db.Countries, c.Prefix);
    if (n >= 1)
        return n;
    for (std::int32_t i = 1; i < db.Countries->Count(); ++i) {
        std::string name;
        db.Countries->GetTail(i, name);
        if (!c.Name.empty() && UpperAscii(name) == UpperAscii(c.Name))
            return i;
    }
    return -1;
}

// Puts the record in place of the equal-keyed one found, or adds it.
template <class Coll>
void Store(Coll& coll, const std::uint8_t* rec, std::int32_t found, bool exists)
{
    if (exists)
        coll.DeleteRecord(found);
    coll.InsertRecord(rec);
}

std::string CountryPrefixOf(const TCountryData& db, std::int32_t n)
{
    return TCountryRecord::FromBytes(db.Countries->Record(n)).Prefix;
}

std::string TailText(const TOneIndexTail& coll, std::int32_t i)
{
    std::string s;
    coll.GetTail(i, s);
    return s;
}

std::string FirstLine(const std::string& text)
{
    const std::size_t end = text.find('\xFF');
    return end == std::string::npos ? text : text.substr(0, end);
}

} // namespace

bool MergeCountryFile(TCountryData& db, const TCountryData& other, const TMergeHooks& hooks, TMessageLines& out)
{
    bool changed = false;
    changed |= RunStep(hooks, out, "Merge Exception Calls", "Exception calls", other.ExceptionCalls->Count(),
                       [&](std::int32_t i) {
        TExceptionCallRecord rec = TExceptionCallRecord::FromBytes(other.ExceptionCalls->Record(i));
        TCountryRecord country;
        if (rec.Country < other.Countries->Count())
            country = TCountryRecord::FromBytes(other.Countries->Record(rec.Country));
        const std::int32_t here = rec.Country >= 1 ? MatchCountry(db, country) : -1;
        if (here < 1) {
            out.Add("Country?: " + country.Prefix + " " + country.Name);
            return false;
        }
        rec.Country = static_cast<std::uint16_t>(here);
        const std::string bytes = rec.ToBytes();
        std::int32_t at = 0;
        const bool exists = db.ExceptionCalls->Search(bytes.data(), at);
        if (exists) {
            const TExceptionCallRecord old = TExceptionCallRecord::FromBytes(db.ExceptionCalls->Record(at));
            if (old.Country == rec.Country && old.CqZone == rec.CqZone)
                return false;
        }
        Store(*db.ExceptionCalls, reinterpret_cast<const std::uint8_t*>(bytes.data()), at, exists);
        out.Add(std::string(Verb(exists)) + PadRight(rec.Call, 13) + PadRight(CountryPrefixOf(db, here), 6) +
                PadRight(std::to_string(rec.CqZone), 3) + FormatDayNumber(rec.StartDate));
        return true;
    });
    changed |= RunStep(hooks, out, "Merge IOTAs", "IOTAs", other.Iota->Count(), [&](std::int32_t i) {
        const std::uint8_t* rec = other.Iota->Record(i);
        std::int32_t at = 0;
        const bool exists = db.Iota->Search(rec, at);
        const std::string name = TailText(*other.Iota, i);
        if (exists && TailText(*db.Iota, at) == name)
            return false;
        Store(*db.Iota, rec, at, exists);
        out.Add(std::string(Verb(exists)) + PadRight(TIotaRecord::FromBytes(rec).Reference, 6) + name);
        return true;
    });
    changed |= RunStep(hooks, out, "Merge QSL Managers", "QSL managers", other.QslManagers->Count(),
                       [&](std::int32_t i) {
        const std::uint8_t* rec = other.QslManagers->Record(i);
        const TQslManagerRecord theirs = TQslManagerRecord::FromBytes(rec);
        std::int32_t at = 0;
        const bool exists = db.QslManagers->Search(rec, at);
        if (exists && TQslManagerRecord::FromBytes(db.QslManagers->Record(at)).Manager == theirs.Manager)
            return false;
        Store(*db.QslManagers, rec, at, exists);
        out.Add(std::string(Verb(exists)) + PadRight(theirs.Call, 13) + PadRight(theirs.Manager, 12) +
                (theirs.StartDate != 0 ? FormatDayNumber(theirs.StartDate) : std::string()));
        return true;
    });
    changed |= RunStep(hooks, out, "Merge QSL addresses", "QSL addresses", other.ManagerAddresses->Count(),
                       [&](std::int32_t i) {
        const std::uint8_t* rec = other.ManagerAddresses->Record(i);
        std::int32_t at = 0;
        const bool exists = db.ManagerAddresses->Search(rec, at);
        const std::string text = TailText(*other.ManagerAddresses, i);
        if (exists && TailText(*db.ManagerAddresses, at) == text)
            return false;
        Store(*db.ManagerAddresses, rec, at, exists);
        std::string key;
        other.ManagerAddresses->GetKeyString(i, key);
        out.Add(std::string(Verb(exists)) + PadRight(key, 13) + FirstLine(text));
        return true;
    });
    out.Add("Merge complete");
    if (out.Dropped() > 0) {
        // The line itself pushes out one more when the list is full.
        const std::size_t dropped = out.Dropped() + (out.Lines().size() >= TMessageLines::Capacity ? 1 : 0);
        out.Add("List box capacity was exceeded " + std::to_string(dropped) + " lines not shown");
    }
    return changed;
}

} // namespace korval
