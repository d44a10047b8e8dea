// Listings, summaries and submissions of DXCC, WAZ, WAS and WPX on small crafted logs whose
// expected lines were worked out by hand.
#include "report_fixture.h"

#include <algorithm>

#include "exchange/award_submission.h"
#include "exchange/listing_reports.h"
#include "exchange/summary_reports.h"
#include "logbook/base/string_utils.h"

using namespace korval;
using namespace korval::test;

namespace {

// The line whose field `field` is key; empty when none.
std::string LineOf(const TReport& r, const std::string& key, int field = 0)
{
    for (const std::string& l : r.Lines)
        if (GetTabField(field, l) == key)
            return l;
    return {};
}

std::string StatusTitles(const TReport& r, int first)
{
    std::string s;
    for (int i = first; i < r.Heading.ColumnCount(); ++i)
        s += (s.empty() ? "" : " ") + r.Heading.Columns[static_cast<std::size_t>(i)].Title;
    return s;
}

const std::string kAllBands = "160 80 40 30 20 17 15 12 10 6 2 1.2 70 23 Sat";

} // namespace

// DL: confirmed on 20m CW, worked on 40m SSB; F: QSL sent on 20m SSB; Y2 (deleted): worked.
class ListingTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        Add({"DL1AA", Day(2020, 1, 1), 3600, 5, mdCW, true});
        Add({"DL2BB", Day(2020, 1, 2), 3600, 3, mdSSB});
        Add({"F5XX", Day(2020, 1, 3), 3600, 5, mdSSB}, [](TQsoRecord& q) { q.QslSentDate = Day(2020, 2, 1); });
        Add({"Y21ABC", Day(1985, 1, 1), 3600, 5, mdCW});
    }
};

struct ListingCase {
    const char* name;
    int mode, band;
    const char* title;
    std::string columns, dl, f;
};

class CountryListingChoice : public ListingTest, public ::testing::WithParamInterface<ListingCase> {};

TEST_P(CountryListingChoice, StatusMatrixFollowsTheChoice)
{
    const ListingCase& c = GetParam();
    TCountryListing r(log.get(), false);
    r.ModeGroup = c.mode;
    r.Band = c.band;
    r.MakeReport();
    EXPECT_EQ(r.Heading.Title, c.title);
    EXPECT_EQ(StatusTitles(r, 2), c.columns);
    EXPECT_EQ(Statuses(LineOf(r, "DL"), 2), c.dl);
    EXPECT_EQ(Statuses(LineOf(r, "F"), 2), c.f);
    EXPECT_EQ(r.RowCount(), 106) << "current countries only";
    EXPECT_TRUE(LineOf(r, "Y2").empty());
    EXPECT_FALSE(log->AwardStatusBuilt()) << "left for the next user to rebuild";
}

INSTANTIATE_TEST_SUITE_P(
    Choices, CountryListingChoice,
    ::testing::Values(
        ListingCase{"Nothing", 0, 0, "Countries listing (ALL modes, ALL bands)", "MIX PHO CW RTTY " + kAllBands,
                    "CWC...W.C..........", "MM......M.........."},
        ListingCase{"Band20", 0, 5, "Countries listing (ALL modes, Band = 20m)", "PHO CW RTTY 20", ".C.C", "M..M"},
        ListingCase{"ModeCW", mgCW, 0, "Countries listing (Mode = CW, ALL bands)", "CW " + kAllBands,
                    "C....C..........", "................"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListingTest, DeletedCountriesOnlyInTheListingThatIncludesThem)
{
    TCountryListing r(log.get(), true);
    r.MakeReport();
    EXPECT_EQ(r.Heading.Title, "Countries listing (including deleted) (ALL modes, ALL bands)");
    ASSERT_EQ(r.RowCount(), 107);
    EXPECT_EQ(GetTabField(1, r.Lines.back()), "Y2");
    EXPECT_EQ(GetTabField(0, r.Lines.back()), "D");
    EXPECT_EQ(Statuses(r.Lines.back(), 3).substr(0, 1), "W");
    EXPECT_EQ(GetTabField(0, r.Lines.front()), "") << "current countries leave the Del cell empty";
}

TEST_F(ListingTest, NeededCountriesFollowTheChosenCategory)
{
    struct {
        int mode, band;
        bool dlNeeded;
    } cases[] = {{0, 0, false}, {0, 5, false}, {0, 3, true}, {mgPhone, 0, true}, {mgCW, 0, false}};
    for (const auto& c : cases) {
        TCountryNeededListing r(log.get());
        r.ModeGroup = c.mode;
        r.Band = c.band;
        r.MakeReport();
        EXPECT_EQ(!LineOf(r, "DL").empty(), c.dlNeeded) << "mode " << c.mode << " band " << c.band;
        EXPECT_FALSE(LineOf(r, "F").empty()) << "QSL sent is still needed";
        EXPECT_TRUE(LineOf(r, "Y2").empty());
    }
}

TEST_F(ListingTest, SummaryCountsEntitiesPerStatusWithDotsForZeros)
{
    TCountrySummaryReport r(log.get(), false);
    r.MakeReport();
    EXPECT_EQ(r.Heading.Title, "Current Countries  Summary (ALL modes, ALL bands)");
    ASSERT_EQ(r.RowCount(), 1 + 4 + 15);
    EXPECT_EQ(r.Lines[0], "Available\t.\t.\t.\t.\t.\t106");
    EXPECT_EQ(r.Lines[1], "MIX\t.\t1\t1\t.\t.\t2");
    EXPECT_EQ(r.Lines[2], "PHO\t1\t1\t.\t.\t.\t2");
    EXPECT_EQ(r.Lines[3], "CW\t.\t.\t1\t.\t.\t1");
    EXPECT_EQ(r.Lines[4], "RTTY\t.\t.\t.\t.\t.\t.");
    EXPECT_EQ(r.Lines[5], "160m\t.\t.\t.\t.\t.\t.");
    EXPECT_EQ(r.Lines[7], "40m\t1\t.\t.\t.\t.\t1");
    EXPECT_EQ(r.Lines[9], "20m\t.\t1\t1\t.\t.\t2");

    TCountrySummaryReport deleted(log.get(), true);
    deleted.MakeReport();
    EXPECT_EQ(deleted.Heading.Title, "Current & Deleted Countries  Summary (ALL modes, ALL bands)");
    EXPECT_EQ(deleted.Lines[0], "Available\t.\t.\t.\t.\t.\t107");
    EXPECT_EQ(deleted.Lines[1], "MIX\t1\t1\t1\t.\t.\t3");
}

TEST_F(ListingTest, SummaryWithABandHasNoMixLineAndCountsThatBand)
{
    TCountrySummaryReport r(log.get(), false);
    r.Band = 5;
    r.MakeReport();
    const std::vector<std::string> want = {"Available\t.\t.\t.\t.\t.\t106", "PHO\t.\t1\t.\t.\t.\t1",
                                           "CW\t.\t.\t1\t.\t.\t1", "RTTY\t.\t.\t.\t.\t.\t.", "20m\t.\t1\t1\t.\t.\t2"};
    EXPECT_EQ(r.Lines, want);
}

TEST_F(ListingTest, ModeGroupsAndBandsTheAwardDoesNotAllowHaveNoColumn)
{
    TAwardSettings s = TAwardSettings::Defaults();
    s.SetMixed(false);
    for (int m = 1; m <= ModeCount; ++m)
        if (ModeGroup(m) == mgDigital)
            s.SetModeValid(m, false);
    for (int b = 6; b <= BandCount; ++b)
        s.SetBandValid(b, false);
    Config.SetAwardSettings(akDxcc, s);
    TCountryListing r(log.get(), false);
    r.MakeReport();
    EXPECT_EQ(StatusTitles(r, 2), "PHO CW 160 80 40 30 20");
    EXPECT_EQ(Statuses(LineOf(r, "DL"), 2), "WC..W.C");
}

TEST_F(ReportTest, ZoneStateAndWpxListingsNameTheirEntities)
{
    Add({"W6ABC", Day(2020, 1, 1), 0, 5, mdCW, true}, [](TQsoRecord& q) { q.State = StateNumber("CA"); });
    TZoneListing zones(log.get());
    zones.MakeReport();
    ASSERT_EQ(zones.RowCount(), 40);
    EXPECT_EQ(Statuses(zones.Lines[2], 1).substr(0, 1), "C") << "zone 3";
    EXPECT_EQ(zones.Heading.Columns[0].Align, faRight);
    TStateListing states(log.get());
    states.MakeReport();
    EXPECT_EQ(states.RowCount(), 5) << "the states the database has";
    EXPECT_EQ(Statuses(LineOf(states, "CA"), 2).substr(0, 1), "C");
    EXPECT_EQ(GetTabField(1, LineOf(states, "CA")), "California");
    TWPXListing wpx(log.get());
    wpx.MakeReport();
    ASSERT_EQ(wpx.RowCount(), 1);
    EXPECT_EQ(GetTabField(0, wpx.Lines[0]), "W6");
    EXPECT_EQ(GetTabField(1, wpx.Lines[0]), "");
}

struct CutoffCase {
    TDayNumber date;
    char status;
};
class DxccCutoff : public ReportTest, public ::testing::WithParamInterface<CutoffCase> {};

TEST_P(DxccCutoff, CountsFromTheCutoffDayOn)
{
    Add({"DL1AA", GetParam().date, 0, 5, mdCW});
    TCountryListing r(log.get(), false);
    r.MakeReport();
    EXPECT_EQ(Statuses(LineOf(r, "DL"), 2)[0], GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(DayBeforeAndDay, DxccCutoff,
                         ::testing::Values(CutoffCase{Day(1945, 11, 14), '.'}, CutoffCase{Day(1945, 11, 15), 'W'}));

TEST_F(ReportTest, WpxUsesOneCutoffInListingSummaryAndSubmission)
{
    EXPECT_EQ(TWPXListing(log.get()).Cutoff(), Day(1936, 1, 1));
    EXPECT_EQ(TWPXSummaryReport(log.get(), true).Cutoff(), Day(1936, 1, 1));
    EXPECT_EQ(TWPXSubmission(log.get()).Cutoff(), Day(1936, 1, 1));
    Add({"W6ABC", Day(1940, 6, 1), 0, 5, mdCW});
    TWPXListing listing(log.get());
    listing.MakeReport();
    EXPECT_EQ(Statuses(LineOf(listing, "W6"), 2).substr(0, 1), "W");
    TWPXSummaryReport summary(log.get(), true);
    summary.MakeReport();
    EXPECT_EQ(summary.Lines[0], "Available\t.\t.\t.\t.\t.\t.");
    EXPECT_EQ(summary.Lines[1], "MIX\t1\t.\t.\t.\t.\t1") << "the 1940 QSO counts in the summary too";
}
