// Award submissions on crafted logs: the threshold, the newest qualifying QSO per entity and
// category, reruns, WPX rules, and the five-band submission's warning, exclusions and caps.
#include "report_fixture.h"

#include <algorithm>

#include "exchange/award_submission.h"
#include "logbook/base/string_utils.h"

using namespace korval;
using namespace korval::test;

namespace {

int Carrying(const TQsoData& log, std::uint32_t bit)
{
    return static_cast<int>(std::count_if(log.Qsos().begin(), log.Qsos().end(),
                                          [bit](const TQsoRecord* q) { return (q->AwardFlags & bit) != 0; }));
}

int FiveBandMarked(const TQsoData& log, int band)
{
    return static_cast<int>(std::count_if(log.Qsos().begin(), log.Qsos().end(), [band](const TQsoRecord* q) {
        return q->HasFlag(qfFiveBand) && q->Band == band;
    }));
}

bool LogicError(const ScopedMessageRecorder& m)
{
    for (const std::string& t : m.texts())
        if (t.find("Logic Error") != std::string::npos)
            return true;
    return false;
}

} // namespace

struct ThresholdCase {
    int countries;
    int submitted;
};
class DxccThreshold : public ReportTest, public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(DxccThreshold, ACategoryIsClaimedOnlyAtTheThreshold)
{
    for (int i = 0; i < GetParam().countries; ++i)
        AddCountry(kZFirst + i);
    TDXCCReport r(log.get(), false);
    r.MakeReport();
    EXPECT_EQ(Carrying(*log, afDxccMixed), GetParam().submitted);
    EXPECT_EQ(Carrying(*log, afDxccMode), GetParam().submitted);
    EXPECT_EQ(Carrying(*log, afDxccBand), GetParam().submitted);
    EXPECT_EQ(r.RowCount(), GetParam().submitted);
    EXPECT_EQ(r.Total(0).Confirmed, GetParam().countries);
}

INSTANTIATE_TEST_SUITE_P(NinetyNineAndHundred, DxccThreshold,
                         ::testing::Values(ThresholdCase{99, 0}, ThresholdCase{100, 100}));

// A hundred countries confirmed on 20m CW make every category of DXCC claimable; Germany then has
// an older QSO, two equally new ones, and newer ones that may not be submitted.
class DxccSubmission : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        for (int i = 0; i < 100; ++i)
            AddCountry(kZFirst + i);
        older = Add({"DL1AA", Day(2010, 1, 1), 3600, 5, mdCW, true});
        equalB = Add({"DL1BB", Day(2015, 1, 1), 43200, 5, mdCW, true});
        equalC = Add({"DL2CC", Day(2015, 1, 1), 43200, 5, mdCW, true});
        rst0 = Add({"DL3DD", Day(2020, 1, 1), 0, 5, mdCW, true}, [](TQsoRecord& q) { q.RstRcvd = 0; });
        noQsl = Add({"DL4EE", Day(2021, 1, 1), 0, 5, mdCW, false});
        notValid = Add({"DL5FF", Day(2022, 1, 1), 0, 5, mdCW, true}, [](TQsoRecord& q) { q.Flags = qfQslReceived; });
        noMode = Add({"DL6GG", Day(2023, 1, 1), 0, 5, mdCW, true}, [](TQsoRecord& q) { q.Mode = 0; });
        log->SetFlags(false, false);
    }
    TQsoRecord *older, *equalB, *equalC, *rst0, *noQsl, *notValid, *noMode;
};

TEST_F(DxccSubmission, TheNewestQualifyingQsoOfEachCategoryIsSubmittedOnce)
{
    TDXCCReport r(log.get(), false);
    r.MakeReport();
    // One of the two equally new QSOs takes the band and the mode-group bit; the QSO of no mode
    // group counts for the mixed award only and, being the newest, takes it.
    const std::uint32_t both = afDxccBand | afDxccMode;
    EXPECT_EQ((equalB->AwardFlags & both) == both, (equalC->AwardFlags & both) == 0);
    EXPECT_EQ((equalB->AwardFlags | equalC->AwardFlags) & both, both);
    EXPECT_EQ((equalB->AwardFlags | equalC->AwardFlags) & afDxccMixed, 0u);
    EXPECT_EQ(noMode->AwardFlags, afDxccMixed);
    for (const TQsoRecord* q : {older, rst0, noQsl, notValid})
        EXPECT_EQ(q->AwardFlags, 0u) << q->Call.str();
    EXPECT_EQ(Carrying(*log, afDxccMixed), 101);
    EXPECT_EQ(Carrying(*log, afDxccBand), 101);
    EXPECT_EQ(r.RowCount(), 102);
    EXPECT_TRUE(r.ChangedAwardFlags());
    EXPECT_TRUE(log->Modified());
    EXPECT_FALSE(LogicError(messages));

    std::vector<std::uint32_t> flags;
    for (const TQsoRecord* q : log->Qsos())
        flags.push_back(q->AwardFlags);
    log->SetFlags(false, false);
    TDXCCReport again(log.get(), false);
    again.MakeReport();
    EXPECT_EQ(again.Lines, r.Lines) << "the same QSOs listed again";
    EXPECT_FALSE(again.ChangedAwardFlags());
    EXPECT_FALSE(log->Modified());
    std::vector<std::uint32_t> after;
    for (const TQsoRecord* q : log->Qsos())
        after.push_back(q->AwardFlags);
    EXPECT_EQ(after, flags) << "a rerun submits nothing new";
    EXPECT_FALSE(LogicError(messages));
}

TEST_F(DxccSubmission, LinesAreInBandModeCallOrderWithTheCountry)
{
    TDXCCReport r(log.get(), false);
    r.MakeReport();
    EXPECT_EQ(r.Heading.HeadingLine(), "Nr\tCall\tDate\tBand\tMode\tCountry");
    EXPECT_EQ(r.Heading.Columns[0].Align, faRight);
    EXPECT_EQ(r.Heading.Columns[3].Width, 4);
    const std::string dl = equalB->AwardFlags ? "DL1BB" : "DL2CC";
    auto it = std::find_if(r.Lines.begin(), r.Lines.end(),
                           [&](const std::string& l) { return GetTabField(1, l) == dl; });
    ASSERT_NE(it, r.Lines.end());
    EXPECT_EQ(it->substr(it->find('\t')), "\t" + dl + "\t01-Jan-2015\t20\tCW\tGermany");
    // Band 5 and CW (mode 4) for all but the QSO of no mode, which sorts first.
    EXPECT_EQ(GetTabField(1, r.Lines[0]), "DL6GG");
    EXPECT_EQ(GetTabField(1, r.Lines[1]), dl);
}

TEST_F(ReportTest, WpxSubmitsNoDigitalQsoAndNumbersEveryTenthLine)
{
    for (int i = 0; i < 400; ++i)
        Add({"A1AA", Day(2000, 1, 1), i, 5, mdCW, true}, [i](TQsoRecord& q) {
            q.Call = "A" + std::to_string(i) + "AA";
            q.WpxPrefix = "A" + std::to_string(i);
        });
    TQsoRecord* digital = Add({"A7ZZ", Day(2010, 1, 1), 0, 5, mdRTTY, true});
    TWPXSubmission r(log.get());
    r.MakeReport();
    EXPECT_EQ(digital->AwardFlags, 0u);
    EXPECT_EQ(Carrying(*log, afWpxMixed), 400);
    ASSERT_EQ(r.RowCount(), 400);
    EXPECT_EQ(r.Heading.HeadingLine(), "Nr\tCall");
    for (int n : {1, 2, 9, 10, 11, 20, 400}) {
        const std::string nr = GetTabField(0, r.Lines[static_cast<std::size_t>(n - 1)]);
        EXPECT_EQ(nr, n == 1 || n % 10 == 0 ? std::to_string(n) : "") << "line " << n;
    }
    EXPECT_EQ(GetTabField(1, r.Lines[0]), "A0AA") << "in prefix order";
    EXPECT_EQ(GetTabField(1, r.Lines[2]), "A10AA");
    EXPECT_EQ(GetTabField(1, r.Lines[3]), "A100AA");
}

TEST_F(ReportTest, FiveBandWithFourBandsWarnsAndMarksNothing)
{
    for (int band : {2, 3, 5, 7})
        for (int i = 0; i < 100; ++i)
            AddCountry(kZFirst + i, band);
    log->At(0)->Flags |= qfFiveBand;  // a mark of an earlier run goes
    TDXCCReport r(log.get(), true);
    r.MakeReport();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"You cannot submit for a five band award"});
    EXPECT_EQ(r.Heading.Title, "Five Band DXCC Submission");
    EXPECT_EQ(r.RowCount(), 0);
    for (const TQsoRecord* q : log->Qsos())
        EXPECT_FALSE(q->HasFlag(qfFiveBand));
}

TEST_F(ReportTest, FiveBandWazNeedsItsSumOverTheBands)
{
    for (int band : {2, 3, 5})
        for (int zone = 1; zone <= 40; ++zone)
            Add({"K1AA", Day(2000, 1, 1), zone, band, mdCW, true}, [zone](TQsoRecord& q) { q.Zone = static_cast<std::uint8_t>(zone); });
    TWAZReport r(log.get(), true);
    r.MakeReport();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"You cannot submit for a five band award"}) << "120 < 150";
}

TEST_F(ReportTest, FiveBandTakesOneQsoPerEntityAndBandUpToTheCapAndLeavesSubmittedBands)
{
    // 106 countries on the five bands (twice on 20m); 80m already submitted for a hundred of them.
    for (int band : {2, 3, 5, 7, 9})
        for (int n = 1; n <= 107; ++n)
            if (n != 7)
                AddCountry(n, band)->AwardFlags = band == 2 && n >= kZFirst ? std::uint32_t{afDxccBand} : 0u;
    for (int n = 1; n <= 6; ++n)
        AddCountry(n, 5, Day(2001, 1, 1));
    TDXCCReport r(log.get(), true);
    r.MakeReport();
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"Band(s) not included because\rthey were submitted already\r80m"});
    EXPECT_EQ(FiveBandMarked(*log, 2), 0);
    for (int band : {3, 5, 7, 9})
        EXPECT_EQ(FiveBandMarked(*log, band), 105) << "threshold + 5 on band " << band;
    EXPECT_EQ(r.RowCount(), 4 * 105);
    EXPECT_EQ(Carrying(*log, afDxccMixed), 0) << "five-band marks set no award bit";
    for (int n = 1; n <= 6; ++n) {
        int on20 = 0;
        for (const TQsoRecord* q : log->Qsos())
            on20 += q->Country == n && q->Band == 5 && q->HasFlag(qfFiveBand);
        EXPECT_LE(on20, 1) << "country " << n;
    }
}
