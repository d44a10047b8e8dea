#include "reference/country_editor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace korval {
namespace {

TCountryRecord Country(const std::string& prefix, TDayNumber start = 0, TDayNumber end = OpenEndDate)
{
    TCountryRecord c;
    c.Prefix = prefix;
    c.Name = "Land " + prefix;
    c.StartDate = start;
    c.EndDate = end;
    return c;
}

void AddMap(TCountryData& db, const std::string& prefix, std::uint16_t country, TDayNumber start = 0,
            TDayNumber end = OpenEndDate)
{
    TPrefixMapRecord m;
    m.Prefix = prefix;
    m.Country = country;
    m.StartDate = start;
    m.EndDate = end;
    db.Prefixes->InsertRecord(m.ToBytes().data());
}

void AddCall(TCountryData& db, const std::string& call, std::uint16_t country)
{
    TExceptionCallRecord r;
    r.Call = call;
    r.Country = country;
    db.ExceptionCalls->InsertRecord(r.ToBytes().data());
}

// Countries DL(1) F(2) K(3) VE(4) after the placeholder, two mappings each, three exception calls.
TCountryData SmallDb()
{
    TCountryData db = TCountryData::Empty();
    for (const char* p : {"", "DL", "F", "K", "VE"})
        db.Countries->InsertRecord(Country(p).ToBytes().data());
    AddMap(db, "", 0);
    for (auto [p, n] : std::initializer_list<std::pair<const char*, int>>{
             {"DA", 1}, {"DL", 1}, {"F", 2}, {"TM", 2}, {"K", 3}, {"W", 3}, {"VE", 4}, {"VA", 4}})
        AddMap(db, p, static_cast<std::uint16_t>(n));
    AddCall(db, "", 0);
    AddCall(db, "DL0XX", 1);
    AddCall(db, "TM0A", 2);
    AddCall(db, "W1AW", 3);
    return db;
}

std::string CountryPrefixIn(const TCountryData& db, std::uint16_t n)
{
    return n < db.Countries->Count() ? TCountryRecord::FromBytes(db.Countries->Record(n)).Prefix : "?";
}

// Which country prefix every mapping and exception call resolves to.
std::map<std::string, std::string> Resolved(const TCountryData& db)
{
    std::map<std::string, std::string> out;
    for (std::int32_t i = 1; i < db.Prefixes->Count(); ++i) {
        const auto m = TPrefixMapRecord::FromBytes(db.Prefixes->Record(i));
        out["map " + m.Prefix] = CountryPrefixIn(db, m.Country);
    }
    for (std::int32_t i = 1; i < db.ExceptionCalls->Count(); ++i) {
        const auto c = TExceptionCallRecord::FromBytes(db.ExceptionCalls->Record(i));
        out["call " + c.Call] = CountryPrefixIn(db, c.Country);
    }
    return out;
}

TEST(CountryEditor, PrefixChangesAndAddsKeepEveryReferenceOnItsCountry)
{
    TCountryData db = SmallDb();
    auto want = Resolved(db);
    ASSERT_EQ(want["map TM"], "F");

    auto edit = UpdateCountry(db, 2, Country("ZF")); // moves behind VE
    ASSERT_EQ(edit.Result, TCountryEditResult::Done);
    EXPECT_EQ(edit.Number, 4);
    for (auto& [k, v] : want)
        if (v == "F")
            v = "ZF";
    EXPECT_EQ(Resolved(db), want);

    edit = UpdateCountry(db, 3, Country("AA")); // VE moves ahead of DL
    ASSERT_EQ(edit.Number, 1);
    for (auto& [k, v] : want)
        if (v == "VE")
            v = "AA";
    EXPECT_EQ(Resolved(db), want);

    edit = AddCountry(db, Country("g"));
    ASSERT_EQ(edit.Result, TCountryEditResult::Done);
    EXPECT_EQ(CountryPrefixIn(db, static_cast<std::uint16_t>(edit.Number)), "G");
    EXPECT_EQ(Resolved(db), want);
    AddMap(db, "M", static_cast<std::uint16_t>(edit.Number));
    want["map M"] = "G";
    edit = UpdateCountry(db, edit.Number, Country("ZZ"));
    for (auto& [k, v] : want)
        if (v == "G")
            v = "ZZ";
    EXPECT_EQ(Resolved(db), want);

    ASSERT_TRUE(DeleteCountry(db, CountryNumberOfPrefixIn(*db.Countries, "K")));
    std::erase_if(want, [](const auto& kv) { return kv.second == "K"; });
    EXPECT_EQ(Resolved(db), want);
}

TEST(CountryEditor, DuplicateAndEmptyPrefixesAreRefusedAndChangeNothing)
{
    TCountryData db = SmallDb();
    const std::string before = CountryDatabaseBytes(db);
    EXPECT_EQ(AddCountry(db, Country("k")).Result, TCountryEditResult::DuplicatePrefix);
    EXPECT_EQ(AddCountry(db, Country("")).Result, TCountryEditResult::EmptyPrefix);
    EXPECT_EQ(UpdateCountry(db, 1, Country("VE")).Result, TCountryEditResult::DuplicatePrefix);
    EXPECT_EQ(UpdateCountry(db, 9, Country("XX")).Result, TCountryEditResult::NoSuchCountry);
    EXPECT_EQ(CountryDatabaseBytes(db), before);
    EXPECT_EQ(UpdateCountry(db, 1, Country("DL", 5)).Result, TCountryEditResult::Done); // its own prefix
}

TEST(CountryEditor, CheckForErrorsLines)
{
    TCountryData db = TCountryData::Empty();
    db.Countries->InsertRecord(Country("").ToBytes().data());
    db.Countries->InsertRecord(Country("DL", 100, 90).ToBytes().data()); // 1
    db.Countries->InsertRecord(Country("F", 100, 200).ToBytes().data()); // 2
    AddMap(db, "", 0);
    AddMap(db, "DA", 0);
    AddMap(db, "F", 2, 100, 150);
    AddMap(db, "F", 2, 150, 200);  // touches the one before: no overlap
    AddMap(db, "F", 2, 120, 160);  // overlaps both
    AddMap(db, "TM", 2, 90, 210);
    AddMap(db, "TX", 2, 130, 120);
    EXPECT_EQ(CheckCountryErrors(db), (std::vector<std::string>{
        "C-start > C-end DL             ",
        "No country for 1         DA     ",
        "Overlap F       F      ",
        "Overlap F       F      ",
        "M-start < C-start F       TM     ",
        "M-end > C-end F       TM     ",
        "M-start > M-end F       TX     ",
        "End of error listing"}));
}

TEST(CountryEditor, SavedFileLoadsAgain)
{
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "cty_save";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    TCountryData db = SmallDb();
    AddCountry(db, Country("G"));
    const std::string path = (dir / "KORVAL.CTY").string();
    SaveCheckedCountryFile(db, path);
    EXPECT_TRUE(CountryFileLoads(path));
    TCountryData back;
    ASSERT_TRUE(ReadCountryDatabase(CountryDatabaseBytes(db), back, false));
    EXPECT_EQ(Resolved(back), Resolved(db));
}

} // namespace
} // namespace korval
