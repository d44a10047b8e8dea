// The per-entity reports (IOTA, counties, VUCC, custom award), the rate sheet and the report
// file, on crafted logs whose lines were worked out by hand.
#include "report_fixture.h"

#include "exchange/rate_report.h"
#include "exchange/small_report.h"
#include "logbook/base/string_utils.h"
#include "logbook/qso_entry.h"
#include "test_support.h"

using namespace korval;
using namespace korval::test;

// EU005: confirmed on 20m, worked later on 40m; EU001 (not in the reference list): only a QSO
// with report received 0.
class IotaReportTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        confirmed = Add({"G3AAA", Day(2020, 1, 1), 0, 5, mdCW, true}, [](TQsoRecord& q) { q.Iota = "EU005"; });
        Add({"G3BBB", Day(2021, 1, 1), 0, 3, mdCW}, [](TQsoRecord& q) { q.Iota = "EU005"; });
        Add({"G3CCC", Day(2020, 1, 1), 0, 5, mdCW}, [](TQsoRecord& q) {
            q.Iota = "EU001";
            q.RstRcvd = 0;
        });
        log->SetFlags(false, false);
    }
    TQsoRecord* confirmed = nullptr;
};

TEST_F(IotaReportTest, ListingsKeepTheBestQsoOfEachEntity)
{
    TIOTAReport worked(log.get(), srListing);
    worked.MakeReport();
    EXPECT_EQ(worked.Heading.Title, "IOTA Listing");
    EXPECT_EQ(worked.Heading.HeadingLine(), "Nr\tIOTA\tName\tCallsign\tDate\tBand\tStatus");
    EXPECT_EQ(worked.Lines, std::vector<std::string>{"1\tEU005\tGreat Britain\tG3AAA\t01-Jan-2020\t20m\tC"})
        << "an entity with only a report-0 QSO is not worked";

    TIOTAReport full(log.get(), srFullListing);
    full.MakeReport();
    EXPECT_EQ(full.Lines, (std::vector<std::string>{"1\tEU001\t** UNKNOWN **\t",
                                                    "2\tEU005\tGreat Britain\tG3AAA\t01-Jan-2020\t20m\tC"}));

    TIOTAReport needed(log.get(), srNeededListing);
    needed.MakeReport();
    EXPECT_EQ(needed.Lines, std::vector<std::string>{"1\tEU001\t** UNKNOWN **\t"});
}

TEST_F(IotaReportTest, BandAndModeListingsShowTheStatusPerColumn)
{
    TIOTAReport bands(log.get(), srBandListing);
    bands.MakeReport();
    EXPECT_EQ(bands.Heading.ColumnCount(), 1 + 14) << "no Sat column";
    EXPECT_EQ(bands.Lines[1], "EU005\t\xB7\t\xB7\tW\t\xB7\tC\t\xB7\t\xB7\t\xB7\t\xB7\t\xB7\t\xB7\t\xB7\t\xB7\t\xB7");
    TIOTAReport modes(log.get(), srModeListing);
    modes.MakeReport();
    EXPECT_EQ(modes.Heading.HeadingLine(), "IOTA\tMIX\tPHO\tCW\tRTTY");
    EXPECT_EQ(Statuses(modes.Lines[1], 1), "C.C.");
}

TEST_F(IotaReportTest, SummariesCountTheBestStatusPerBandModeAndTotal)
{
    TIOTAReport bands(log.get(), srBandSummary);
    bands.MakeReport();
    EXPECT_EQ(bands.Heading.Title, "IOTA Band Summary");
    EXPECT_EQ(bands.Heading.HeadingLine(), "Band\tWorked\tQSL sent\tConfirmed\tSubmitted\tChecked\tTotal");
    ASSERT_EQ(bands.RowCount(), 15);
    EXPECT_EQ(bands.Lines[2], "40m\t1\t.\t.\t.\t.\t1");
    EXPECT_EQ(bands.Lines[4], "20m\t.\t.\t1\t.\t.\t1");
    EXPECT_EQ(bands.Lines[14], "Total\t.\t.\t1\t.\t.\t1");
    TIOTAReport modes(log.get(), srModeSummary);
    modes.MakeReport();
    EXPECT_EQ(modes.Lines, (std::vector<std::string>{"MIX\t.\t.\t1\t.\t.\t1", "PHO\t.\t.\t.\t.\t.\t.",
                                                     "CW\t.\t.\t1\t.\t.\t1", "RTTY\t.\t.\t.\t.\t.\t.",
                                                     "Total\t.\t.\t1\t.\t.\t1"}));
}

TEST_F(IotaReportTest, SubmissionMarksTheListedQsosOnceAndARerunChangesNothing)
{
    TIOTAReport r(log.get(), srSubmission);
    r.MakeReport();
    EXPECT_EQ(r.Heading.HeadingLine(), "Nr\tIOTA\tName\tCallsign\tDate\tBand");
    EXPECT_EQ(r.Lines, std::vector<std::string>{"1\tEU005\tGreat Britain\tG3AAA\t01-Jan-2020\t20m"});
    EXPECT_EQ(confirmed->AwardFlags, afIota);
    EXPECT_TRUE(log->Modified());
    log->SetFlags(false, false);
    TIOTAReport again(log.get(), srSubmission);
    again.MakeReport();
    EXPECT_EQ(again.Lines, r.Lines) << "listed again as submitted";
    EXPECT_FALSE(again.ChangedAwardFlags());
    EXPECT_FALSE(log->Modified());
    int marked = 0;
    for (const TQsoRecord* q : log->Qsos())
        marked += (q->AwardFlags & afIota) != 0;
    EXPECT_EQ(marked, 1);
}

TEST_F(IotaReportTest, BrowsingNeedsAnEntryWithAQso)
{
    TQsoEntry entry(log.get());
    entry.Start();
    TIOTAReport summary(log.get(), srBandSummary);
    summary.MakeReport();
    EXPECT_FALSE(summary.Browse(0, 1, entry));
    TIOTAReport full(log.get(), srFullListing);
    full.MakeReport();
    EXPECT_FALSE(full.Browse(1, 1, entry));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Cannot select QSO(s) from this report", "QSO does not exist"}));
    ASSERT_TRUE(full.Browse(1, 2, entry));
    int browsed = 0;
    for (const TQsoRecord* q : log->Qsos())
        browsed += entry.MatchesSearch(*q);
    EXPECT_EQ(browsed, 1);
    EXPECT_TRUE(entry.MatchesSearch(*confirmed));
}

TEST_F(ReportTest, CountiesNeedStateAndCounty)
{
    Add({"K6AAA", Day(2020, 1, 1), 0, 5, mdCW}, [](TQsoRecord& q) {
        q.State = StateNumber("CA");
        q.County = 37;
    });
    Add({"K6BBB", Day(2020, 1, 1), 60, 5, mdCW}, [](TQsoRecord& q) { q.State = StateNumber("CA"); });
    Add({"K6CCC", Day(2020, 1, 1), 120, 5, mdCW}, [](TQsoRecord& q) { q.County = 37; });
    for (int kind : {srListing, srFullListing}) {
        TCountyReport r(log.get(), kind);
        r.MakeReport();
        EXPECT_EQ(r.Heading.HeadingLine(), "Nr\tCounty\tCallsign\tDate\tBand\tStatus");
        EXPECT_EQ(r.Lines, std::vector<std::string>{"1\tCA Los Angeles\tK6AAA\t01-Jan-2020\t20m\tW"}) << kind;
    }
}

struct VuccCase {
    int gridLength;
    std::vector<std::string> keys;
};
class VuccSquares : public ReportTest, public ::testing::WithParamInterface<VuccCase> {};

TEST_P(VuccSquares, OnlyWholeSquaresOnVuccBandsCount)
{
    Config.SetGridSquareLength(static_cast<std::uint8_t>(GetParam().gridLength));
    auto grid = [this](const char* call, const char* g, int band, bool qsl) {
        Add({call, Day(2020, 1, 1), 0, band, mdSSB, qsl}, [g](TQsoRecord& q) { q.Grid = g; });
    };
    grid("DL1AA", "JN47ab", 11, false);
    grid("DL2BB", "jn47cd", 11, true);
    grid("DL3CC", "JN", 11, true);
    grid("DL4DD", "JN47", 11, true);
    grid("DL5EE", "JO50aa", 5, true);
    TVUCCReport r(log.get(), srListing);
    r.MakeReport();
    std::vector<std::string> keys;
    for (const std::string& l : r.Lines)
        keys.push_back(GetTabField(1, l));
    EXPECT_EQ(keys, GetParam().keys);
    EXPECT_EQ(r.Heading.Columns[1].Width, GetParam().gridLength);
}

INSTANTIATE_TEST_SUITE_P(FourAndSix, VuccSquares,
                         ::testing::Values(VuccCase{4, {"JN47"}}, VuccCase{6, {"JN47ab", "JN47cd"}}));

TEST_F(ReportTest, CustomAwardListsItsValuesWithTheirTextsOnItsBands)
{
    TCustAward award;
    award.ID = "TST";
    award.LongName = "Test Award";
    award.Bands.fill(0);
    award.Bands[5] = 1;
    award.AddValue("A", "Alpha");
    auto value = [this](const char* call, const char* id, const char* v, int band) {
        Add({call, Day(2020, 1, 1), 0, band, mdCW}, [id, v](TQsoRecord& q) {
            q.CustAwdId = id;
            q.CustAwdVal = v;
        });
    };
    value("DL1AA", "tst", "A", 5);
    value("DL2BB", "TST", "B", 5);
    value("DL3CC", "TST", "C", 3);
    value("DL4DD", "OTH", "D", 5);
    TCustomReport r(log.get(), srListing, award);
    r.MakeReport();
    EXPECT_EQ(r.Heading.Title, "Test Award Listing");
    EXPECT_EQ(r.Heading.HeadingLine(), "Nr\tAwdVal\tAwdStr\tCallsign\tDate\tBand\tStatus");
    EXPECT_EQ(r.Lines, (std::vector<std::string>{"1\tA\tAlpha\tDL1AA\t01-Jan-2020\t20m\tW",
                                                 "2\tB\t** UNKNOWN **\tDL2BB\t01-Jan-2020\t20m\tW"}));
}

TEST_F(ReportTest, RateSheetCountsWholeHoursFromTheContestStartForTwoDays)
{
    Config.SetContestStartDate(Day(2024, 6, 1));
    Config.SetContestStartTime(12 * 3600);
    Add({"DL1AA", Day(2024, 6, 1), 11 * 3600, 5, mdCW});         // before the start
    Add({"DL2BB", Day(2024, 6, 1), 12 * 3600 + 1800, 5, mdCW});  // 00:30 after
    Add({"DL3CC", Day(2024, 6, 1), 14 * 3600 + 600, 3, mdSSB});  // 02:10 after
    Add({"DL4DD", Day(2024, 6, 2), 3600, 3, mdSSB});             // 13 hours after
    Add({"DL5EE", Day(2024, 6, 3), 13 * 3600, 5, mdCW});         // 49 hours after: the end
    Add({"DL6FF", Day(2024, 6, 4), 0, 5, mdCW});
    TRateReport r(log.get());
    r.MakeReport();
    EXPECT_EQ(r.Heading.Title, "Rate Sheet");
    EXPECT_EQ(r.Heading.ColumnCount(), 2 + 3 + 15);
    std::vector<std::string> firstCells;
    for (const std::string& l : r.Lines)
        firstCells.push_back(GetTabField(0, l) + " " + GetTabField(1, l) + " " + GetTabField(3, l));
    EXPECT_EQ(firstCells, (std::vector<std::string>{"1 1 1", "3 1 .", "14 1 .", "50 . .", "Total 3 1"}));
    EXPECT_EQ(GetTabField(2 + 3 + 5 - 1, r.Lines[0]), "1") << "20m column";
}

struct RateHourCase {
    TDayNumber date;
    int time, hour;
};
class RateHours : public ::testing::TestWithParam<RateHourCase> {};
TEST_P(RateHours, BorrowsADayForAnEarlierTimeOfDay)
{
    EXPECT_EQ(RateHour(Day(2024, 6, 1), 43200, GetParam().date, GetParam().time), GetParam().hour);
}
INSTANTIATE_TEST_SUITE_P(Edges, RateHours,
                         ::testing::Values(RateHourCase{Day(2024, 5, 31), 50000, -1},
                                           RateHourCase{Day(2024, 6, 1), 43199, -1},
                                           RateHourCase{Day(2024, 6, 1), 43200, 0},
                                           RateHourCase{Day(2024, 6, 2), 43199, 23},
                                           RateHourCase{Day(2024, 6, 2), 43200, 24}));

struct CsvCase {
    const char* name;
    std::string line, csv;
};
class CsvLines : public ::testing::TestWithParam<CsvCase> {};
TEST_P(CsvLines, FieldsAreWrittenAsRfc4180)
{
    EXPECT_EQ(CsvLine(GetParam().line), GetParam().csv);
}
INSTANTIATE_TEST_SUITE_P(
    Cells, CsvLines,
    ::testing::Values(CsvCase{"Plain", "a\tb\tc", "a,b,c"}, CsvCase{"Comma", "a\tb,c", "a,\"b,c\""},
                      CsvCase{"Quote", "say \"hi\"\tx", "\"say \"\"hi\"\"\",x"},
                      CsvCase{"LineBreak", "a\r\nb", "\"a\r\nb\""}, CsvCase{"EmptyMiddle", "a\t\tb", "a,,b"},
                      CsvCase{"EmptyLast", "a\tb\t", "a,b,"}, CsvCase{"Long", std::string(300, 'x') + "\ty",
                                                                     std::string(300, 'x') + ",y"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportTest, ReportFileHasTheTitlesThenTheLinesInMadeFolders)
{
    TempDir dir;
    TRateReport r(log.get());
    r.MakeReport();
    r.Lines.clear();
    const std::string name = dir.path() + "/a/b/rate.csv";
    WriteReportFile(r, name);
    EXPECT_EQ(ReadAll(name), CsvLine(r.Heading.HeadingLine()) + "\r\n");
}
