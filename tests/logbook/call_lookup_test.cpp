#include "logbook/call_lookup.h"

#include "country_fixture.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace korval {
namespace {

using test::Day;
using test::Reunification;

// Numbers of the fixture (country_fixture.h).
enum : std::uint16_t { kUnknown = 0, kDL = 1, kF = 2, kK = 3, kKH6 = 4, kKL7 = 5, kOE = 6, kY2 = 7 };

class LookupTest : public ::testing::Test {
protected:
    void SetUp() override { CountryDb = test::MakeFixtureDb(); }
    void TearDown() override { FreeCountryData(false); }
};

struct LookupCase {
    const char* call;
    TDayNumber date;
    std::uint8_t stateIn;
    std::uint16_t country;
    std::uint8_t zone;
    std::uint8_t stateOut;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.call << " @" << c.date; }

class LookupTable : public LookupTest, public ::testing::WithParamInterface<LookupCase> {};

// Enough lookups of an unchanged database for the lookup to hash its collections' keys.
void WarmUp()
{
    for (int i = 0; i < 1000; ++i)
        CountryOfCall("W1AW", 0);
}

TEST_P(LookupTable, GivesCountryZoneAndState)
{
    const LookupCase& c = GetParam();
    for (bool hashed : {false, true}) {
        if (hashed)
            WarmUp();
        std::uint8_t state = c.stateIn, zone = 99;
        std::uint16_t country = 99;
        LookupCall(c.call, c.date, state, country, zone);
        EXPECT_EQ(country, c.country) << "hashed " << hashed;
        EXPECT_EQ(zone, c.zone) << "hashed " << hashed;
        EXPECT_EQ(state, c.stateOut) << "hashed " << hashed;
    }
}

// States of the fixture by number: 1 AK, 2 CA, 3 HI, 4 NY, 5 TX.
const TDayNumber d2020 = Day(2020, 5, 1);
INSTANTIATE_TEST_SUITE_P(
    Fixture, LookupTable,
    ::testing::Values(
        // plain prefixes; the longest mapping wins; a state of another country is cleared
        LookupCase{"DL1ABC", d2020, 4, kDL, 14, 0}, LookupCase{"W1AW", d2020, 0, kK, 5, 0},
        LookupCase{"W6ABC", d2020, 0, kK, 3, 0},
        // US states: the state's zone, else the call-area digit, else the mapping's zone
        LookupCase{"W6ABC", d2020, 4, kK, 5, 4}, LookupCase{"W6XYZ/3", d2020, 0, kK, 5, 0},
        LookupCase{"W1XYZ/6", d2020, 0, kK, 3, 0}, LookupCase{"W1XYZ/0", d2020, 0, kK, 4, 0},
        LookupCase{"W1XYZ/6", d2020, 2, kK, 3, 2}, LookupCase{"W1XYZ/0", d2020, 4, kK, 5, 4},
        // an out-of-range state number is not used
        LookupCase{"W1XYZ/0", d2020, 200, kK, 4, 200},
        // Hawaii and Alaska set their state
        LookupCase{"KH6ABC", d2020, 0, kKH6, 31, 3}, LookupCase{"KL7XYZ", d2020, 2, kKL7, 1, 1},
        // a designator that is a country prefix decides, before or after the call
        LookupCase{"OE/DL1ABC", d2020, 0, kOE, 15, 0}, LookupCase{"DL1ABC/OE", d2020, 0, kOE, 15, 0},
        LookupCase{"F/W1AW", d2020, 0, kF, 14, 0}, LookupCase{"KH6/W1AW", d2020, 0, kKH6, 31, 3},
        // a designator that is not a country prefix but a longer prefix: the shorter part is taken
        LookupCase{"DL1ABC/KH6X", d2020, 0, kKH6, 31, 3},
        // ignored designators and numbers change nothing
        LookupCase{"DL1ABC/P", d2020, 0, kDL, 14, 0}, LookupCase{"DL1ABC/M", d2020, 0, kDL, 14, 0},
        LookupCase{"DL1ABC/MM", d2020, 0, kDL, 14, 0}, LookupCase{"DL1ABC/QRP", d2020, 0, kDL, 14, 0},
        LookupCase{"DL1ABC/AM", d2020, 0, kDL, 14, 0}, LookupCase{"DL1ABC/100", d2020, 0, kDL, 14, 0},
        LookupCase{"DL1ABC/p/qrp", d2020, 0, kDL, 14, 0}, LookupCase{"DL1ABC/", d2020, 0, kDL, 14, 0},
        // dated prefix mappings: the end date is outside the mapping
        LookupCase{"Y21XYZ", Day(1985, 1, 1), 0, kY2, 14, 0},
        LookupCase{"Y21XYZ", static_cast<TDayNumber>(Reunification - 1), 0, kY2, 14, 0},
        LookupCase{"Y21XYZ", Reunification, 0, kDL, 14, 0}, LookupCase{"Y21XYZ", d2020, 0, kDL, 14, 0},
        // dated exception calls: the latest start date not after the QSO date
        LookupCase{"DL0XYZ", Day(1999, 12, 31), 0, kDL, 14, 0},
        LookupCase{"DL0XYZ", Day(2000, 1, 1), 0, kF, 14, 0}, LookupCase{"DL0XYZ", Day(2009, 12, 31), 0, kF, 14, 0},
        LookupCase{"DL0XYZ", Day(2010, 1, 1), 0, kOE, 15, 0}, LookupCase{"DL0XYZ", d2020, 0, kOE, 15, 0},
        // the exception is exact: a portable form goes by its prefix
        LookupCase{"DL0XYZ/P", d2020, 0, kDL, 14, 0},
        // an exception of a country that had ended by the QSO date is not used
        LookupCase{"Y21ABC", Day(1985, 1, 1), 0, kY2, 14, 0}, LookupCase{"Y21ABC", d2020, 0, kDL, 14, 0},
        // unknown
        LookupCase{"QQ1ABC", d2020, 3, kUnknown, 0, 3}, LookupCase{"", d2020, 0, kUnknown, 0, 0},
        LookupCase{"/", d2020, 0, kUnknown, 0, 0}, LookupCase{"///P//", d2020, 0, kUnknown, 0, 0}));

TEST_F(LookupTest, CountryAndZoneOfCallCutTheCallTo12Characters)
{
    EXPECT_EQ(CountryOfCall("DL0XYZ", Day(2000, 6, 1)), kF);
    EXPECT_EQ(ZoneOfCall("W1XYZ/6", Day(2000, 6, 1)), 3);
    EXPECT_EQ(CountryOfCall("DL1ABCDEF/OE", 0), kOE);
    // 13 characters: the last is cut, leaving the designator "O", which maps to nothing
    EXPECT_EQ(CountryOfCall("DL1ABCDEFG/OE", 0), kUnknown);
}

TEST_F(LookupTest, RecordsWithCountryNumbersBeyondTheListAreSkipped)
{
    TPrefixMapRecord bad{"DL1", 500, 14, 0, OpenEndDate};
    CountryDb.Prefixes->InsertRecord(bad.ToBytes().data());
    TExceptionCallRecord badCall{"DL1XX", 500, 14, 0};
    CountryDb.ExceptionCalls->InsertRecord(badCall.ToBytes().data());
    EXPECT_EQ(CountryOfCall("DL1XX", 0), kDL);
}

TEST_F(LookupTest, ChangedCollectionsAreSeenAtOnce)
{
    WarmUp();
    EXPECT_EQ(CountryOfCall("DL1ABC", 0), kDL);
    TExceptionCallRecord exception{"DL1ABC", kF, 14, 0};
    CountryDb.ExceptionCalls->InsertRecord(exception.ToBytes().data());
    EXPECT_EQ(CountryOfCall("DL1ABC", 0), kF);
    TPrefixMapRecord map{"DL1", kOE, 15, 0, OpenEndDate};
    CountryDb.Prefixes->InsertRecord(map.ToBytes().data());
    EXPECT_EQ(CountryOfCall("DL1XYZ", 0), kOE);
    WarmUp();
    CountryDb.ExceptionCalls->DeleteRecord(CountryDb.ExceptionCalls->IndexOfKey(exception.ToBytes().data()));
    EXPECT_EQ(CountryOfCall("DL1ABC", 0), kOE);
    // A database loaded anew (its collections at the same addresses or not).
    CountryDb = test::MakeFixtureDb();
    EXPECT_EQ(CountryOfCall("DL1XYZ", 0), kDL);
    WarmUp();
    EXPECT_EQ(CountryOfCall("DL1XYZ", 0), kDL);
}

// The prefix mappings of a call are remembered with the dates they hold for: the same call
// looked up again, at a date on either side of a change, gets the mapping of that date.
TEST_F(LookupTest, RepeatedLookupsFollowTheDate)
{
    const std::pair<TDayNumber, std::uint16_t> visits[] = {
        {d2020, kDL}, {Day(1985, 1, 1), kY2}, {static_cast<TDayNumber>(Reunification - 1), kY2},
        {Reunification, kDL}, {Day(1985, 1, 1), kY2}, {OpenEndDate, kUnknown}, {0, kY2}};
    for (bool hashed : {false, true}) {
        if (hashed)
            WarmUp();
        for (const auto& [date, country] : visits)
            EXPECT_EQ(CountryOfCall("Y21XYZ", date), country) << "hashed " << hashed << " date " << date;
    }
}

TEST_F(LookupTest, NoDatabaseMeansUnknown)
{
    FreeCountryData(false);
    EXPECT_EQ(CountryOfCall("DL1ABC", 0), 0);
    EXPECT_EQ(CalcWPXPrefix("DL1ABC"), "DL1");
}

TEST(BaseCall, DropsDesignatorsOnEitherSide)
{
    EXPECT_EQ(BaseCall("DL1ABC"), "DL1ABC");
    EXPECT_EQ(BaseCall("OE/DL1ABC"), "DL1ABC");
    EXPECT_EQ(BaseCall("DL1ABC/P"), "DL1ABC");
    EXPECT_EQ(BaseCall("OE/DL1ABC/P"), "DL1ABC");
    EXPECT_EQ(BaseCall("AB/CD"), "AB");   // slash past the middle: the part before
    EXPECT_EQ(BaseCall("A/BCD"), "BCD");  // slash in the first half: the part after
    EXPECT_EQ(BaseCall("/"), "");
}

struct WpxCase {
    const char* call;
    const char* prefix;
};
class WpxTable : public LookupTest, public ::testing::WithParamInterface<WpxCase> {};
TEST_P(WpxTable, PrefixOfCall) { EXPECT_EQ(CalcWPXPrefix(GetParam().call), GetParam().prefix) << GetParam().call; }
INSTANTIATE_TEST_SUITE_P(
    Fixture, WpxTable,
    ::testing::Values(WpxCase{"W1AW", "W1"}, WpxCase{"DL1ABC", "DL1"}, WpxCase{"N6TJ", "N6"},
                      WpxCase{"W1XYZ/3", "W3"}, WpxCase{"W1XYZ/3/P", "W3"}, WpxCase{"DL1ABC/P", "DL1"},
                      WpxCase{"DL1ABC/QRP", "DL1"}, WpxCase{"DL1ABC/100", "DL1"}, WpxCase{"YT2000A", "YT2000"},
                      WpxCase{"S57ABC", "S57"}, WpxCase{"9A1A", "9A1"}, WpxCase{"4XABC", "4X"},
                      WpxCase{"RAEM", "RA0"}, WpxCase{"OE/DL1ABC", "OE0"}, WpxCase{"DL1ABC/KH6", "KH6"},
                      WpxCase{"KH6/W1AW", "KH6"}, WpxCase{"HG19999999Z", "HG19999"}, WpxCase{"3DA0XYZ/12", "3DA0"},
                      WpxCase{"X", "X0"}, WpxCase{"", "0"}));

TEST(DeletedWpx, ListFileRulesAndMissingFile)
{
    test::TempDir dir;
    // a missing list is an empty list, never an error
    LoadWPXDeletedFrom(dir.file("none"));
    EXPECT_FALSE(IsDeletedWPXPrefix("UA1"));

    test::WriteAll(dir.file("KORVAL.WPX"), "UA1\r\nUN*\nOK?\nbx1\n\n*\nUA1*\nVERYLONGPREFIX\n  ZS9 \n");
    LoadWPXDeletedFrom(dir.file("KORVAL.WPX"));
    EXPECT_TRUE(IsDeletedWPXPrefix("UA1"));
    EXPECT_TRUE(IsDeletedWPXPrefix("ua1")) << "compared ignoring case";
    EXPECT_FALSE(IsDeletedWPXPrefix("UA12")) << "UA1 carries no '*': numbered forms stay";
    EXPECT_TRUE(IsDeletedWPXPrefix("UN"));
    EXPECT_TRUE(IsDeletedWPXPrefix("UN79")) << "'*': numbered forms are deleted too";
    EXPECT_FALSE(IsDeletedWPXPrefix("un7")) << "the numbered form must match the stored case";
    EXPECT_FALSE(IsDeletedWPXPrefix("OK")) << "lines with '?' are not used";
    EXPECT_FALSE(IsDeletedWPXPrefix("bx1")) << "lines with 'x' are not used";
    EXPECT_TRUE(IsDeletedWPXPrefix("VERYLON")) << "cut to 7 characters";
    EXPECT_TRUE(IsDeletedWPXPrefix("ZS9"));
    EXPECT_FALSE(IsDeletedWPXPrefix(""));
    EXPECT_FALSE(IsDeletedWPXPrefix("123"));
    FreeWPXDeleted();
}

TEST_F(LookupTest, QslManagerInForceAtTheDate)
{
    EXPECT_EQ(GetQslManager("F5ABC", Day(2000, 12, 31)), "");
    EXPECT_EQ(GetQslManager("F5ABC", Day(2001, 1, 1)), "W3HNK");
    EXPECT_EQ(GetQslManager("F5ABC", Day(2005, 5, 31)), "W3HNK");
    EXPECT_EQ(GetQslManager("F5ABC", Day(2005, 6, 1)), "DL1AAA");
    EXPECT_EQ(GetQslManager("F5ABC", Day(2020, 1, 1)), "DL1AAA");
    EXPECT_EQ(GetQslManager("F5ABD", Day(2020, 1, 1)), "");
    EXPECT_EQ(GetQslManager("F5AB", Day(2020, 1, 1)), "");
    EXPECT_EQ(GetQslManager("", Day(2020, 1, 1)), "");
}

TEST_F(LookupTest, SetQslManagerAddsOnlyAChangeAndMarksModified)
{
    const std::int32_t before = CountryDb.QslManagers->Count();
    SetQslManager("F5ABC", Day(2006, 1, 1), "DL1AAA"); // already in force
    EXPECT_EQ(CountryDb.QslManagers->Count(), before);
    EXPECT_TRUE(CountryDataModified());
    SetQslManager("F5ABC", Day(2010, 1, 1), "K1ABC");
    EXPECT_EQ(GetQslManager("F5ABC", Day(2009, 12, 31)), "DL1AAA");
    EXPECT_EQ(GetQslManager("F5ABC", Day(2010, 1, 1)), "K1ABC");
    SetQslManager("OE1XX", Day(2010, 1, 1), "OE1YY");
    EXPECT_EQ(GetQslManager("OE1XX", Day(2011, 1, 1)), "OE1YY");
    EXPECT_EQ(CountryDb.QslManagers->Count(), before + 2);
}

TEST_F(LookupTest, QslRouteClassByBureauAndManager)
{
    // France: mark it as a country without a QSL bureau
    PutU8(CountryDb.Countries->Record(kF), cty_off::Bureau, NoQslBureau);
    const TDayNumber d = Day(2006, 1, 1);
    EXPECT_EQ(QslRouteClass("F6XYZ", d, 1, kF, false), 0) << "bureau route to a country without a bureau";
    EXPECT_EQ(QslRouteClass("F6XYZ", d, 3, kF, false), 1);
    EXPECT_EQ(QslRouteClass("DL1XYZ", d, 1, kDL, false), 1);
    EXPECT_EQ(QslRouteClass("F5ABC", d, 3, kF, true), 3) << "manager DL1AAA outside the US";
    SetQslManager("F5ABC", Day(2006, 1, 1), "W3HNK");
    EXPECT_EQ(QslRouteClass("F5ABC", d, 3, kF, true), 2) << "US manager";
    EXPECT_EQ(QslRouteClass("QQ1XX", d, 1, kUnknown, false), 0);
}

TEST_F(LookupTest, CountiesByNameAndNumber)
{
    EXPECT_EQ(CountyNumber("CA", "los angeles"), 37);
    EXPECT_EQ(CountyNumber("TX", "Los Angeles"), 0);
    EXPECT_EQ(CountyNumber("CA", "Orange"), 0);
    EXPECT_EQ(CountyName(StateNumber("CA"), 37), "Los Angeles");
    EXPECT_EQ(CountyName(StateNumber("CA"), 38), "");
    EXPECT_EQ(CountyName(0, 37), "");
    EXPECT_EQ(CountyName(250, 37), "") << "state number beyond the list";
}

} // namespace
} // namespace korval
