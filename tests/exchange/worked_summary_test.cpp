#include "exchange/worked_summary.h"

#include <cctype>

#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/country_fixture.h"
#include "logbook/qso_data.h"
#include "logbook/qso_lookup.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace korval;
using korval::test::Day;

namespace {

const std::string Dot(1, static_cast<char>(183));

TSummaryEntry With(std::string TSummaryEntry::*field, const char* value)
{
    TSummaryEntry e;
    e.*field = value;
    return e;
}

// A station on 40 m, 20 m, 2 m and 70 cm in CW and SSB only, with 40 m left out of DXCC, and a
// hand-made log: DL1AA confirmed on 20 m CW (IOTA EU005), DL2BB worked on 40 m SSB, W6XYZ in
// California with a QSL sent on 20 m SSB, W1AW worked on 2 m from FN31, and Y21ABC (a deleted
// WPX prefix) worked on 20 m CW.
class WorkedSummaryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        Config = TConfigRecord();
        for (int b = 1; b <= BandCount; ++b)
            Config.SetStationBand(b, b == 3 || b == 5 || b == 11 || b == 13);
        for (int m = 1; m <= ModeCount; ++m)
            Config.SetStationMode(m, m == mdCW || m == mdSSB);
        TAwardSettings dxcc = Config.AwardSettings(akDxcc);
        dxcc.SetBandValid(3, false);
        Config.SetAwardSettings(akDxcc, dxcc);
        Config.SetGridSquareLength(4);
        ASSERT_TRUE(ReadCountryDatabase(CountryDatabaseBytes(test::MakeFixtureDb()), CountryDb, true));
        InstallCountryLookup();
        test::WriteAll(dir_.file("KORVAL.WPX"), "Y21\r\nY22\r\n");
        LoadWPXDeletedFrom(dir_.file("KORVAL.WPX"));

        Add("DL1AA", 5, mdCW, qfQslReceived)->Iota.assign("EU005");
        Add("DL2BB", 3, mdSSB, 0);
        TQsoRecord* w6 = Add("W6XYZ", 5, mdSSB, 0);
        w6->QslSentDate = Day(2020, 2, 1);
        w6->State = StateNumber("CA");
        Add("W1AW", 11, mdSSB, 0)->Grid.assign("FN31pr");
        Add("Y21ABC", 5, mdCW, 0);
        for (TQsoRecord* q : pending_)
            log_.InsertQso(q);
    }
    void TearDown() override
    {
        FreeWPXDeleted();
        SetQsoLookup(nullptr);
        CountryDb = TCountryData::Empty();
        Config = saved_;
    }
    TQsoRecord* Add(const char* call, int band, int mode, std::uint8_t flags)
    {
        auto* q = new TQsoRecord;
        q->Call.assign(call);
        q->Date = Day(2020, 1, 1);
        q->Band = static_cast<std::uint8_t>(band);
        q->Mode = static_cast<std::uint8_t>(mode);
        q->RstRcvd = mode == mdCW ? 599 : 59;
        q->Flags = qfValidForAwards | flags;
        LookupCall(*q);
        DeriveWpxPrefix(*q);
        pending_.push_back(q);
        return q;
    }
    // The grid as text: the header row, then a row per mode group, cells separated by '|'.
    static std::string Grid(const TWorkedSummary& s)
    {
        std::string out;
        for (int r = 0; r < s.RowCount(); ++r) {
            for (int c = 0; c < s.ColCount(); ++c)
                out += (c ? "|" : "") + s.CellText(c, r);
            out += "\n";
        }
        return out;
    }
    std::string Row(const TWorkedSummary& s, int row) const
    {
        std::string out;
        for (int c = 1; c < s.ColCount(); ++c)
            out += s.CellText(c, row) == Dot ? "." : s.CellText(c, row);
        return out;
    }

    test::TempDir dir_;
    TConfigRecord saved_;
    TQsoData log_;
    std::vector<TQsoRecord*> pending_;
};

} // namespace

TEST_F(WorkedSummaryTest, BandsAndModeGroupsFollowTheStationAndTheAward)
{
    TWorkedSummary country(skwCountry);
    EXPECT_EQ(Grid(country), "|20m|2m|70cm\nMIX|" + Dot + "|" + Dot + "|" + Dot + "\nPHO|" + Dot + "|" + Dot + "|" +
                                 Dot + "\nCW|" + Dot + "|" + Dot + "|" + Dot + "\n")
        << "40 m counts for no DXCC; no digital mode, so no RTTY row";
    TWorkedSummary zone(skwZone);
    EXPECT_EQ(zone.Bands(), (std::vector<int>{3, 5, 11, 13}));
    TWorkedSummary iota(skwIota);
    EXPECT_EQ(iota.Bands(), (std::vector<int>{3, 5, 11, 13}));
    EXPECT_EQ(iota.Groups(), (std::vector<int>{mgMixed}));
    TWorkedSummary grid(skwGrid);
    EXPECT_EQ(grid.Bands(), (std::vector<int>{11, 13})) << "VUCC bands only";
    TWorkedSummary other(5);
    EXPECT_EQ(other.RowCount(), 1);
    EXPECT_EQ(other.ColCount(), 1);
}

struct SummaryCase {
    int kind;
    TSummaryEntry entry;
    const char* caption;
    std::vector<const char*> rows;  // per mode-group row, a character per band ('.' not worked)
};
void PrintTo(const SummaryCase& c, std::ostream* os) { *os << c.caption; }
class WorkedSummaryCells : public WorkedSummaryTest, public ::testing::WithParamInterface<SummaryCase> {};

TEST_P(WorkedSummaryCells, CaptionAndCellsForTheEntry)
{
    const SummaryCase& c = GetParam();
    TWorkedSummary s(c.kind);
    s.UpdateForQso(c.entry, log_);
    EXPECT_EQ(s.Caption(), c.caption);
    ASSERT_EQ(s.RowCount(), static_cast<int>(c.rows.size()) + 1);
    for (std::size_t r = 0; r < c.rows.size(); ++r)
        EXPECT_EQ(Row(s, static_cast<int>(r) + 1), c.rows[r]) << c.caption << " row " << s.CellText(0, static_cast<int>(r) + 1);
}

// Columns: country 20m 2m 70cm; zone, state, WPX 40m 20m 2m 70cm; IOTA 40m 20m 2m 70cm in one
// row; grid 2m 70cm in one row. Rows MIX, PHO, CW.
INSTANTIATE_TEST_SUITE_P(
    EveryKind, WorkedSummaryCells,
    ::testing::Values(
        SummaryCase{skwCountry, With(&TSummaryEntry::Prefix, "DL"), "Germany", {"C..", "...", "C.."}},
        SummaryCase{skwCountry, With(&TSummaryEntry::Prefix, "f"), "France", {"...", "...", "..."}},
        SummaryCase{skwCountry, With(&TSummaryEntry::Prefix, "XX"), "Country", {"...", "...", "..."}},
        SummaryCase{skwCountry, With(&TSummaryEntry::Prefix, ""), "Country", {"...", "...", "..."}},
        SummaryCase{skwZone, With(&TSummaryEntry::Zone, "14"), "Zone = 14", {"WC..", "W...", ".C.."}},
        SummaryCase{skwZone, With(&TSummaryEntry::Zone, "0"), "Zone", {"....", "....", "...."}},
        SummaryCase{skwZone, With(&TSummaryEntry::Zone, "41"), "Zone", {"....", "....", "...."}},
        SummaryCase{skwZone, With(&TSummaryEntry::Zone, "1x"), "Zone", {"....", "....", "...."}},
        SummaryCase{skwState, With(&TSummaryEntry::State, "ca"), "California", {".M..", ".M..", "...."}},
        SummaryCase{skwState, With(&TSummaryEntry::State, "ZZ"), "State", {"....", "....", "...."}},
        SummaryCase{skwIota, With(&TSummaryEntry::Iota, "eu005"), "Great Britain", {".C.."}},
        SummaryCase{skwIota, With(&TSummaryEntry::Iota, "AF001"), "IOTA", {"...."}},
        SummaryCase{skwGrid, With(&TSummaryEntry::Grid, "FN31ab"), "Grid = FN31", {"W."}},
        SummaryCase{skwGrid, With(&TSummaryEntry::Grid, "FN3"), "GRID", {".."}},
        SummaryCase{skwWpx, With(&TSummaryEntry::Call, "dl1aa/p"), "WPX = DL1", {".C..", "....", ".C.."}},
        SummaryCase{skwWpx, With(&TSummaryEntry::Call, ""), "WPX = <none>", {"....", "....", "...."}},
        SummaryCase{skwWpx, With(&TSummaryEntry::Call, "Y21ABC"), "WPX = Y21 (Del)", {".W..", "....", ".W.."}},
        SummaryCase{skwWpx, With(&TSummaryEntry::Call, "Y22XYZ"), "WPX = Y22 (Del)", {"....", "....", "...."}}),
    [](const ::testing::TestParamInfo<SummaryCase>& info) {
        std::string name = std::to_string(info.index) + "_";
        for (const char* p = info.param.caption; *p; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p)))
                name += *p;
        return name;
    });

TEST_F(WorkedSummaryTest, TheEntrysBandAndModeGroupMarkOneCell)
{
    TWorkedSummary zone(skwZone);
    int col = -1, row = -1;
    ASSERT_TRUE(zone.HighlightCell(5, mdCW, col, row));
    EXPECT_EQ(zone.CellText(col, 0), "20m");
    EXPECT_EQ(zone.CellText(0, row), "CW");
    EXPECT_FALSE(zone.HighlightCell(7, mdCW, col, row)) << "15 m is no station band";
    EXPECT_FALSE(zone.HighlightCell(5, mdRTTY, col, row)) << "no digital row";
    TWorkedSummary iota(skwIota);
    ASSERT_TRUE(iota.HighlightCell(11, mdSSB, col, row));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(iota.CellText(col, 0), "2m");
}
