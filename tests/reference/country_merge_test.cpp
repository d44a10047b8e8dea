#include "reference/country_merge.h"

#include "logbook/configured_formats.h"

#include <gtest/gtest.h>

namespace korval {
namespace {

void AddCountryRec(TCountryData& db, const std::string& prefix, const std::string& name)
{
    TCountryRecord c;
    c.Prefix = prefix;
    c.Name = name;
    db.Countries->InsertRecord(c.ToBytes().data());
}

void AddCall(TCountryData& db, const std::string& call, std::uint16_t country, std::uint8_t zone, TDayNumber start = 0)
{
    TExceptionCallRecord r;
    r.Call = call;
    r.Country = country;
    r.CqZone = zone;
    r.StartDate = start;
    db.ExceptionCalls->InsertRecord(r.ToBytes().data());
}

void AddIota(TCountryData& db, const std::string& ref, const std::string& name)
{
    TIotaRecord r;
    r.Reference = ref;
    r.Name = name;
    db.Iota->InsertRecord(r.ToBytes().data());
}

void AddMgr(TCountryData& db, const std::string& call, const std::string& mgr)
{
    TQslManagerRecord r;
    r.Call = call;
    r.Manager = mgr;
    db.QslManagers->InsertRecord(r.ToBytes().data());
}

void AddAddress(TCountryData& db, const std::string& call, const std::vector<std::string>& lines)
{
    std::string key(ManagerAddressKeyLen, '\0');
    key[0] = static_cast<char>(call.size());
    key.replace(1, call.size(), call);
    db.ManagerAddresses->InsertLines(key.data(), lines);
}

TCountryData WithPlaceholders()
{
    TCountryData db = TCountryData::Empty();
    AddCountryRec(db, "", "");
    AddCall(db, "", 0, 0);
    AddIota(db, "", "");
    AddMgr(db, "", "");
    AddAddress(db, "", {});
    return db;
}

// This file: DL(1) F(2). The other: 9A(1) DA "Germany" under another prefix(2), DL(3).
struct Files {
    TCountryData here = WithPlaceholders();
    TCountryData other = WithPlaceholders();
    Files()
    {
        AddCountryRec(here, "DL", "Germany");
        AddCountryRec(here, "F", "France");
        AddCountryRec(other, "9A", "Croatia");
        AddCountryRec(other, "DA", "Germany");
        AddCountryRec(other, "F", "France");
        AddCall(here, "DL0AA", 1, 14);
        AddCall(here, "TM0X", 2, 14);
        AddCall(other, "DL0AA", 2, 14);  // same country (by name) and zone: left
        AddCall(other, "TM0X", 3, 15);   // another zone: replaced
        AddCall(other, "DL9ZZ", 2, 14);  // new
        AddCall(other, "9A0A", 1, 15);   // no such country here
        AddIota(here, "EU001", "Old name");
        AddIota(other, "EU001", "New name");
        AddIota(other, "EU002", "Island");
        AddMgr(here, "3B8AA", "G3ABC");
        AddMgr(other, "3B8AA", "G3ABC");
        AddMgr(other, "5X1A", "DL1ABC");
        AddAddress(here, "G3ABC", {"J. Smith", "London"});
        AddAddress(other, "G3ABC", {"J. Smith", "Leeds"});
        AddAddress(other, "DL1ABC", {"H. Meier"});
    }
};

TEST(CountryMerge, AddsReplacesAndLeavesRecordsListingEachChange)
{
    Files f;
    std::vector<std::string> asked, progress;
    TMergeHooks hooks;
    hooks.Confirm = [&](const std::string& t) { asked.push_back(t); return true; };
    hooks.Start = [&](const std::string& caption, int total) { progress.push_back(caption + " " + std::to_string(total)); };
    TMessageLines out;
    EXPECT_TRUE(MergeCountryFile(f.here, f.other, hooks, out));
    EXPECT_EQ(asked, (std::vector<std::string>{"Merge Exception Calls", "Merge IOTAs", "Merge QSL Managers",
                                               "Merge QSL addresses"}));
    EXPECT_EQ(progress, (std::vector<std::string>{"Exception calls 4", "IOTAs 2", "QSL managers 2", "QSL addresses 2"}));
    const std::string day0 = FormatDayNumber(0);
    const std::vector<std::string> want{
        "Country?: 9A Croatia",
        "Added   DL9ZZ        DL    14 " + day0,
        "ReplacedTM0X         F     15 " + day0,
        "ReplacedEU001 New name",
        "Added   EU002 Island",
        "Added   5X1A         DL1ABC      ",
        "Added   DL1ABC       H. Meier",
        "ReplacedG3ABC        J. Smith",
        "Merge complete",
    };
    EXPECT_EQ(std::vector<std::string>(out.Lines().begin(), out.Lines().end()), want);
    // The exception calls now point at this file's numbers.
    std::int32_t at = 0;
    TExceptionCallRecord key;
    key.Call = "DL9ZZ";
    ASSERT_TRUE(f.here.ExceptionCalls->Search(key.ToBytes().data(), at));
    EXPECT_EQ(TExceptionCallRecord::FromBytes(f.here.ExceptionCalls->Record(at)).Country, 1);
    EXPECT_EQ(f.here.ExceptionCalls->Count(), 4);
    EXPECT_EQ(f.here.Iota->Count(), 3);
    EXPECT_EQ(f.here.QslManagers->Count(), 3);
    ASSERT_EQ(f.here.ManagerAddresses->Count(), 3);
    std::vector<std::string> lines;
    f.here.ManagerAddresses->GetLines(2, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"J. Smith", "Leeds"}));

    // The same merge again finds nothing to change.
    TMessageLines again;
    EXPECT_FALSE(MergeCountryFile(f.here, f.other, hooks, again));
    EXPECT_EQ(std::vector<std::string>(again.Lines().begin(), again.Lines().end()),
              (std::vector<std::string>{"Country?: 9A Croatia", "Merge complete"}));
}

TEST(CountryMerge, EveryStepDeclinedListsFourSkippedLinesAndChangesNothing)
{
    Files f;
    const std::string before = CountryDatabaseBytes(f.here);
    TMergeHooks hooks;
    hooks.Confirm = [](const std::string&) { return false; };
    TMessageLines out;
    EXPECT_FALSE(MergeCountryFile(f.here, f.other, hooks, out));
    EXPECT_EQ(std::vector<std::string>(out.Lines().begin(), out.Lines().end()),
              (std::vector<std::string>{"Merge Exception Calls (Skipped)", "Merge IOTAs (Skipped)",
                                        "Merge QSL Managers (Skipped)", "Merge QSL addresses (Skipped)",
                                        "Merge complete"}));
    EXPECT_EQ(CountryDatabaseBytes(f.here), before);
}

TEST(CountryMerge, AFullListDropsItsOldestLinesAndSaysHowMany)
{
    Files f;
    TMessageLines out;
    for (std::size_t i = 0; i < TMessageLines::Capacity; ++i)
        out.Add("line " + std::to_string(i));
    TMergeHooks hooks;
    hooks.Confirm = [](const std::string& t) { return t == "Merge IOTAs"; };
    MergeCountryFile(f.here, f.other, hooks, out);
    // Three skipped steps, two IOTA lines and "Merge complete" push out six old lines,
    // the capacity line a seventh.
    EXPECT_EQ(out.Lines().size(), TMessageLines::Capacity);
    EXPECT_EQ(out.Dropped(), 7u);
    EXPECT_EQ(out.Lines().front(), "line 7");
    EXPECT_EQ(out.Lines()[out.Lines().size() - 2], "Merge complete");
    EXPECT_EQ(out.Lines().back(), "List box capacity was exceeded 7 lines not shown");
}

} // namespace
} // namespace korval
