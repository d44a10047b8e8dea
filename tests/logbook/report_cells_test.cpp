#include "logbook/report_cells.h"

#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_fixture.h"
#include "logbook/qso_data.h"

#include <gtest/gtest.h>

using namespace korval;
using korval::test::Day;

namespace {

// One QSO of a hand-made log: a Californian station, worked on 20 m CW with every field set.
class ReportCellsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        CountryDb = test::MakeFixtureDb();
        log_.GroupNames = {"Field Day", "DX"};
        log_.SetCallNote("W6XYZ", "a long callsign note");
        q_.Call.assign("W6XYZ");
        q_.Date = Day(2020, 5, 1);
        q_.Time = 3600 * 13 + 60 * 7;
        q_.Band = 5;
        q_.Mode = mdCW;
        q_.Country = 3;
        q_.State = StateNumber("CA");
        q_.County = 37;
        q_.Zone = 3;
        q_.Iota.assign("EU005");
        q_.Grid.assign("CM87");
        q_.RstRcvd = 1059;
        q_.RstSent = 579;
        q_.QslRoute = 3;
        q_.SatMode = 1;
        q_.Group = 2;
        q_.SeqPrtNr = 17;
        q_.Flags = qfQslReceived | qfYL;
        q_.AwardFlags = afDxccMixed | (afWazBand * 2);
        q_.WpxPrefix.assign("W6");
        SetQsoNote(q_, "QSO note text");
    }
    void TearDown() override
    {
        FreeNote(q_.Note);
        CountryDb = TCountryData::Empty();
        Config = saved_;
    }
    std::string Cell(int field, int row = 1, int noteWidth = 8) { return ReportCellText(field, q_, row, noteWidth, log_); }

    TConfigRecord saved_;
    TQsoData log_;
    TQsoRecord q_;
};

} // namespace

TEST_F(ReportCellsTest, EachFieldShowsItsPartOfTheQso)
{
    EXPECT_EQ(Cell(rfCallsign), "W6XYZ");
    EXPECT_EQ(Cell(rfCountry), "United States");
    EXPECT_EQ(Cell(rfPrefix), "K");
    EXPECT_EQ(Cell(rfState), "CA");
    EXPECT_EQ(Cell(rfStateName), "California");
    EXPECT_EQ(Cell(rfCounty), "Los Angeles");
    EXPECT_EQ(Cell(rfIOTAName), "Great Britain");
    EXPECT_EQ(Cell(rfTime), "13:07");
    EXPECT_EQ(Cell(rfBand), BandName(5));
    EXPECT_EQ(Cell(rfMode), "CW");
    EXPECT_EQ(Cell(rfRstR), "59A");
    EXPECT_EQ(Cell(rfRstS), "579");
    EXPECT_EQ(Cell(rfQSLMthd), "Direct");
    EXPECT_EQ(Cell(rfSatell), "") << "satellite mode 1 is none";
    EXPECT_EQ(Cell(rfGroup), "2");
    EXPECT_EQ(Cell(rfGroupname), "DX");
    EXPECT_EQ(Cell(rfSeqPrtNr), "17");
    EXPECT_EQ(Cell(rfQSLDate), "") << "no QSL sent";
    EXPECT_EQ(Cell(rfNumber, 42), "42");
    EXPECT_EQ(Cell(rfQSONotes, 1, 8), "QSO note");
    EXPECT_EQ(Cell(rfCallsignNotes, 1, 6), "a long");
    EXPECT_EQ(Cell(rfConf), "Y");
    EXPECT_EQ(Cell(rfYLop), "Y");
    EXPECT_EQ(Cell(rfQRP), "");
    EXPECT_EQ(Cell(rfValidDX), "N");
    EXPECT_EQ(Cell(rfDXCCmix), "S") << "submitted";
    EXPECT_EQ(Cell(rfWAZbnd), "*") << "credited";
    EXPECT_EQ(Cell(rfWAZmix), "");
    EXPECT_EQ(Cell(kReportFieldCount), "???");
    EXPECT_EQ(Cell(-1), "???");

    q_.Country = 0;
    q_.State = 0;
    q_.SatMode = 2;
    EXPECT_EQ(Cell(rfPrefix), "") << "country 0 has no prefix";
    EXPECT_EQ(Cell(rfStateName), "");
    EXPECT_EQ(Cell(rfCounty), "");
    EXPECT_EQ(Cell(rfSatell), "435/145");
}

struct CsvCase {
    std::vector<std::string> values;
    const char* line;
};
class CsvLines : public ::testing::TestWithParam<CsvCase> {};
TEST_P(CsvLines, EveryValueReadsBackAsItWas)
{
    EXPECT_EQ(CsvLine(GetParam().values), GetParam().line);
}
INSTANTIATE_TEST_SUITE_P(
    Quoting, CsvLines,
    ::testing::Values(CsvCase{{"W1AW", "14.025", ""}, "W1AW,14.025,"},
                      CsvCase{{"Smith, John", "x"}, "\"Smith, John\",x"},
                      CsvCase{{"say \"hi\""}, "\"say \"\"hi\"\"\""},
                      CsvCase{{"two\r\nlines", "cr\ronly"}, "\"two\r\nlines\",\"cr\ronly\""},
                      CsvCase{{}, ""}));
