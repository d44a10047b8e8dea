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
    EXPECT_EQ(Cell(rpfCallsign), "W6XYZ");
    EXPECT_EQ(Cell(rpfCountry), "United States");
    EXPECT_EQ(Cell(rpfPrefix), "K");
    EXPECT_EQ(Cell(rpfState), "CA");
    EXPECT_EQ(Cell(rpfStateName), "California");
    EXPECT_EQ(Cell(rpfCounty), "Los Angeles");
    EXPECT_EQ(Cell(rpfIOTAName), "Great Britain");
    EXPECT_EQ(Cell(rpfTime), "13:07");
    EXPECT_EQ(Cell(rpfBand), BandName(5));
    EXPECT_EQ(Cell(rpfMode), "CW");
    EXPECT_EQ(Cell(rpfRstR), "59A");
    EXPECT_EQ(Cell(rpfRstS), "579");
    EXPECT_EQ(Cell(rpfQSLMthd), "Direct");
    EXPECT_EQ(Cell(rpfSatell), "") << "satellite mode 1 is none";
    EXPECT_EQ(Cell(rpfGroup), "2");
    EXPECT_EQ(Cell(rpfGroupname), "DX");
    EXPECT_EQ(Cell(rpfSeqPrtNr), "17");
    EXPECT_EQ(Cell(rpfQSLDate), "") << "no QSL sent";
    EXPECT_EQ(Cell(rpfNumber, 42), "42");
    EXPECT_EQ(Cell(rpfQSONotes, 1, 8), "QSO note");
    EXPECT_EQ(Cell(rpfCallsignNotes, 1, 6), "a long");
    EXPECT_EQ(Cell(rpfConf), "Y");
    EXPECT_EQ(Cell(rpfYLop), "Y");
    EXPECT_EQ(Cell(rpfQRP), "");
    EXPECT_EQ(Cell(rpfValidDX), "N");
    EXPECT_EQ(Cell(rpfDXCCmix), "S") << "submitted";
    EXPECT_EQ(Cell(rpfWAZbnd), "*") << "credited";
    EXPECT_EQ(Cell(rpfWAZmix), "");
    EXPECT_EQ(Cell(kReportFieldCount), "???");
    EXPECT_EQ(Cell(-1), "???");

    q_.Country = 0;
    q_.State = 0;
    q_.SatMode = 2;
    EXPECT_EQ(Cell(rpfPrefix), "") << "country 0 has no prefix";
    EXPECT_EQ(Cell(rpfStateName), "");
    EXPECT_EQ(Cell(rpfCounty), "");
    EXPECT_EQ(Cell(rpfSatell), "435/145");
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
