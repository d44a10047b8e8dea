// The shipped default country database data/SAVE/KORVAL.CTY, converted from data/cty/cty.dat.
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "platform/shipped_defaults.h"
#include "country_fixture.h"
#include "logbook/base/record_bytes.h"
#include "test_support.h"
#include "tools/cty_convert.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korval {
namespace {

const std::string kShipped = std::string(KORVAL_SOURCE_DIR) + "/data/SAVE/KORVAL.CTY";
const std::string kCtyDat = std::string(KORVAL_SOURCE_DIR) + "/data/cty/cty.dat";
const std::string kCounties = std::string(KORVAL_SOURCE_DIR) + "/data/cty/us_counties.txt";

class DefaultCty : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string reason;
        ASSERT_TRUE(LoadCountryFileFrom(kShipped, false, &reason)) << reason;
    }
    static void TearDownTestSuite() { FreeCountryData(false); }
    void SetUp() override
    {
        if (!CountryDb.Loaded()) {
            ASSERT_TRUE(LoadCountryFileFrom(kShipped, false));
        }
    }
};

TEST(DefaultCtyFile, ConvertingCtyDatAgainGivesTheShippedBytes)
{
    cty::TConvertReport report;
    const std::string bytes = cty::ConvertCtyDat(test::ReadAll(kCtyDat), report, test::ReadAll(kCounties));
    EXPECT_TRUE(bytes == test::ReadAll(kShipped))
        << "data/SAVE/KORVAL.CTY is stale: cmake --build <dir> --target korval_default_cty";
    EXPECT_GT(report.countries, 330);
    // what the format cannot hold is reported, not dropped silently
    EXPECT_EQ(report.dropped.size(), 103u);
    EXPECT_EQ(report.waeEntitiesMerged, 6);
    EXPECT_EQ(report.counties, 3141);
}

// The counties of the shipped database, as other programs write them in CNTY ("OH,WAYNE").
TEST_F(DefaultCty, UsCountiesResolveByNameInAnyCaseAndBackByNumber)
{
    EXPECT_EQ(CountyNumber("VA", "Fairfax"), 59);
    EXPECT_EQ(CountyNumber("VA", "Fairfax City"), 600);
    EXPECT_EQ(CountyNumber("OH", "WAYNE"), 169);
    EXPECT_EQ(CountyNumber("OK", "oklahoma"), 109);
    EXPECT_EQ(CountyNumber("OH", "Nowhere"), 0);
    TShortStrKey ca = MakeShortStrKey("CA");
    std::int32_t code = 0;
    ASSERT_TRUE(CountryDb.StateCodes->Search(ca.data(), code));
    EXPECT_EQ(CountyName(TStateCodeRecord::FromBytes(CountryDb.StateCodes->Record(code)).State, 37), "Los Angeles");
}

struct CallCase {
    const char* call;
    const char* prefix; // the country's key
    int zone;           // CQ zone, 0 = not checked
};
void PrintTo(const CallCase& c, std::ostream* os) { *os << c.call; }

class WellKnownCalls : public DefaultCty, public ::testing::WithParamInterface<CallCase> {};

TEST_P(WellKnownCalls, ResolveToTheirEntity)
{
    const CallCase& c = GetParam();
    const TDayNumber d = test::Day(2024, 6, 1);
    std::uint8_t state = 0, zone = 0;
    std::uint16_t country = 0;
    LookupCall(c.call, d, state, country, zone);
    EXPECT_EQ(CountryPrefix(country), c.prefix) << CountryName(country);
    if (c.zone) {
        EXPECT_EQ(zone, c.zone);
    }
}

INSTANTIATE_TEST_SUITE_P(
    World, WellKnownCalls,
    ::testing::Values(
        // North America
        CallCase{"W1AW", "K", 5}, CallCase{"K1JT", "K", 5}, CallCase{"N6TJ", "K", 0}, CallCase{"AA0XYZ", "K", 4},
        CallCase{"W1AW/6", "K", 3}, CallCase{"VE3XYZ", "VE", 0}, CallCase{"VA7ABC", "VE", 0},
        CallCase{"XE1ABC", "XE", 6}, CallCase{"KH6ABC", "KH6", 31}, CallCase{"KL7ABC", "KL", 1},
        CallCase{"KP4ABC", "KP4", 8}, CallCase{"W1AW/KH6", "KH6", 31}, CallCase{"CO2ABC", "CM", 8},
        // Europe
        CallCase{"G4ABC", "G", 14}, CallCase{"M0ABC", "G", 14}, CallCase{"GM3ABC", "GM", 14},
        CallCase{"MM0ABC", "GM", 14}, CallCase{"GW4ABC", "GW", 14}, CallCase{"GI4ABC", "GI", 14},
        CallCase{"EI5ABC", "EI", 14}, CallCase{"F5ABC", "F", 14}, CallCase{"DL1ABC", "DL", 14},
        CallCase{"DK9ABC", "DL", 14}, CallCase{"ON4ABC", "ON", 14}, CallCase{"PA3ABC", "PA", 14},
        CallCase{"OE1ABC", "OE", 15}, CallCase{"HB9ABC", "HB", 14}, CallCase{"I2ABC", "I", 15},
        CallCase{"IT9ABC", "I", 15}, CallCase{"IG9ABC", "I", 33}, CallCase{"EA4ABC", "EA", 14},
        CallCase{"EA8ABC", "EA8", 33}, CallCase{"CT1ABC", "CT", 14}, CallCase{"SM5ABC", "SM", 14},
        CallCase{"LA9ABC", "LA", 14}, CallCase{"OH2ABC", "OH", 15}, CallCase{"OZ1ABC", "OZ", 14},
        CallCase{"SP5ABC", "SP", 15}, CallCase{"OK1ABC", "OK", 15}, CallCase{"HA5ABC", "HA", 15},
        CallCase{"YO3ABC", "YO", 20}, CallCase{"LZ1ABC", "LZ", 20}, CallCase{"SV1ABC", "SV", 20},
        CallCase{"UA3ABC", "UA", 16}, CallCase{"UR5ABC", "UR", 16}, CallCase{"TA1ABC", "TA", 20},
        CallCase{"JW/LA1ABC", "JW", 40}, CallCase{"DL1ABC/P", "DL", 14}, CallCase{"F/G3ABC", "F", 14},
        CallCase{"G3ABC/MM", "G", 14},
        // Asia
        CallCase{"UA9ABC", "UA9", 17}, CallCase{"UA0ABC", "UA9", 18}, CallCase{"JA1ABC", "JA", 25},
        CallCase{"BY1ABC", "BY", 24}, CallCase{"BV2ABC", "BV", 24}, CallCase{"HL1ABC", "HL", 25},
        CallCase{"VU2ABC", "VU", 22}, CallCase{"4X1ABC", "4X", 20}, CallCase{"A61ABC", "A6", 21},
        CallCase{"HZ1ABC", "HZ", 21}, CallCase{"9M2ABC", "9M2", 28}, CallCase{"9M6ABC", "9M6", 28},
        // Oceania
        CallCase{"VK2ABC", "VK", 30}, CallCase{"ZL1ABC", "ZL", 32}, CallCase{"3D2ABC", "3D2", 32},
        // Africa
        CallCase{"ZS6ABC", "ZS", 38}, CallCase{"5Z4ABC", "5Z", 37}, CallCase{"SU1ABC", "SU", 34},
        CallCase{"CN8ABC", "CN", 33},
        // South America and Antarctica
        CallCase{"PY2ABC", "PY", 11}, CallCase{"LU1ABC", "LU", 13}, CallCase{"CE3ABC", "CE", 12},
        CallCase{"CX1ABC", "CX", 13}, CallCase{"HK3ABC", "HK", 9}, CallCase{"OA4ABC", "OA", 10},
        CallCase{"YV5ABC", "YV", 9}, CallCase{"VP8ABC", "VP8", 13},
        // exception calls of the file's own checks
        CallCase{"3Y0X", "3Y/p", 12}, CallCase{"OR4TN", "CE9", 38}, CallCase{"MR6TMS", "GM", 14},
        CallCase{"LW7DQQ/Y", "LU", 0}, CallCase{"ZS85SARL", "ZS", 38},
        // designators that are primary prefixes of entities named by a slash-free key
        CallCase{"KH7K/W1AW", "KH7K", 31}, CallCase{"QQ1ABC", "", 0}));

TEST_F(DefaultCty, SignConventionsMatchKnownPlaces)
{
    struct Place {
        const char* prefix;
        double lon, lat, utc; // degrees East, degrees North, hours ahead of UTC
    };
    for (Place p : {Place{"DL", 10, 51, 1}, Place{"K", -92, 38, -5}, Place{"JA", 138, 36, 9},
                    Place{"VK", 135, -25, 10}, Place{"PY", -50, -10, -3}, Place{"3D2", 178, -18, 12},
                    Place{"VU", 77, 22, 5.5}, Place{"ZS", 24, -29, 2}}) {
        TCountryRecord c;
        ASSERT_TRUE(GetCountry(static_cast<std::uint16_t>(CountryNumberOfPrefix(p.prefix)), c)) << p.prefix;
        EXPECT_NEAR(c.Longitude, p.lon, 12) << p.prefix;
        EXPECT_NEAR(c.Latitude, p.lat, 12) << p.prefix;
        EXPECT_DOUBLE_EQ(c.UtcOffset, p.utc) << p.prefix;
    }
}

TEST_F(DefaultCty, KeysAreSortedAndNumberedAfterSorting)
{
    ASSERT_GT(CountryCount(), 330);
    EXPECT_EQ(CountryPrefix(0), "");
    EXPECT_EQ(CountryName(0), "Unknown");
    for (std::int32_t i = 1; i < CountryCount(); ++i)
        ASSERT_LT(CompareShortText(CountryDb.Countries->Record(i - 1), CountryDb.Countries->Record(i)), 0) << i;
    for (std::int32_t i = 1; i < CountryDb.Prefixes->Count(); ++i)
        ASSERT_LT(CountryDb.Prefixes->Compare(CountryDb.Prefixes->Record(i - 1), CountryDb.Prefixes->Record(i)), 0);
    for (std::int32_t i = 0; i < CountryDb.Prefixes->Count(); ++i)
        ASSERT_LT(GetU16(CountryDb.Prefixes->Record(i), 5), CountryCount());
    // WAE-only entities are not countries; "3Y/b" and "3Y/p" are
    EXPECT_EQ(CountryNumberOfPrefix("IT9"), -1);
    EXPECT_EQ(CountryNumberOfPrefix("*IT9"), -1);
    EXPECT_GT(CountryNumberOfPrefix("3Y/b"), 0);
    EXPECT_NE(CountryNumberOfPrefix("3Y/b"), CountryNumberOfPrefix("3Y/p"));
}

TEST_F(DefaultCty, StatesKindsAndUsStates)
{
    TCountryRecord c;
    ASSERT_TRUE(GetCountry(static_cast<std::uint16_t>(CountryNumberOfPrefix("K")), c));
    EXPECT_EQ(c.StatesKind, skUsStates);
    ASSERT_TRUE(GetCountry(static_cast<std::uint16_t>(CountryNumberOfPrefix("KH6")), c));
    EXPECT_EQ(c.StatesKind, skHawaii);
    ASSERT_TRUE(GetCountry(static_cast<std::uint16_t>(CountryNumberOfPrefix("KL")), c));
    EXPECT_EQ(c.StatesKind, skAlaska);
    ASSERT_TRUE(GetCountry(static_cast<std::uint16_t>(CountryNumberOfPrefix("DL")), c));
    EXPECT_EQ(c.StatesKind, skNoState);

    EXPECT_EQ(CountryDb.States->Count(), 51) << "the 50 states and the empty state 0";
    struct StateZone {
        const char* state;
        int zone;
    };
    for (StateZone s : {StateZone{"CA", 3}, StateZone{"WA", 3}, StateZone{"TX", 4}, StateZone{"IL", 4},
                        StateZone{"NY", 5}, StateZone{"FL", 5}, StateZone{"AK", 1}, StateZone{"HI", 31}}) {
        TUsStateRecord r;
        ASSERT_TRUE(GetState(StateNumber(s.state), r)) << s.state;
        EXPECT_EQ(r.CqZone, s.zone) << s.state;
    }
    // a US QSO with its state: the state's zone
    std::uint8_t state = StateNumber("CA"), zone = 0;
    std::uint16_t country = 0;
    LookupCall("W1AW", test::Day(2024, 1, 1), state, country, zone);
    EXPECT_EQ(zone, 3);
    state = 0;
    LookupCall("KH6XYZ", test::Day(2024, 1, 1), state, country, zone);
    EXPECT_EQ(state, StateNumber("HI"));
}

TEST(CtyDatReader, OverridesAndErrors)
{
    const auto ents = cty::ParseCtyDat("Somewhere:  14:  28:  EU:   41.90:   -12.43:    -1.0:  *AB1:\n"
                                       "    AB1,=AB1XY(16)[29],\r\n    AB2<1.0/2.0>{AS}~3.0~;\n");
    ASSERT_EQ(ents.size(), 1u);
    EXPECT_TRUE(ents[0].waeOnly);
    EXPECT_EQ(ents[0].prefix, "AB1");
    EXPECT_EQ(ents[0].longitude, -12.43);
    ASSERT_EQ(ents[0].aliases.size(), 3u);
    EXPECT_TRUE(ents[0].aliases[1].exactCall);
    EXPECT_EQ(ents[0].aliases[1].cqZone, 16);
    EXPECT_EQ(ents[0].aliases[1].ituZone, 29);
    EXPECT_TRUE(ents[0].aliases[2].hasPosition && ents[0].aliases[2].hasContinent && ents[0].aliases[2].hasUtcOffset);
    for (const char* bad : {"X: 1: 2: EU: 1: 2: 3:\n  A;\n", "X: 1: 2: EU: 1: 2: 3: X:\n  A,\n",
                            "X: a: 2: EU: 1: 2: 3: X:\n  A;\n", "   A;\n", "X: 1: 2: EU: 1: 2: 3: X:\n  A(5;\n",
                            "X: 1: 2: EU: 1: 2: 3: X:\n  A-B;\n"})
        EXPECT_THROW(cty::ParseCtyDat(bad), cty::ECtyParseError) << bad;
}

} // namespace
} // namespace korval

namespace korval {
namespace {

TEST(FreshStart, ShippedDefaultsGiveAWorkingCountryFile)
{
    // a new Korval home receives the shipped files, and the program can then load its country file
    test::TempDir home;
    test::ScopedHome scoped(home.path());
    CopyShippedDefaults(std::string(KORVAL_SOURCE_DIR) + "/data", home.path());
    ASSERT_TRUE(LoadCountryFile(true));
    EXPECT_EQ(CountryPrefix(CountryOfCall("JA1ABC", test::Day(2024, 1, 1))), "JA");
    EXPECT_NE(CountryStatistics(1), nullptr);
    LoadWPXDeleted(); // no SAVE/KORVAL.WPX shipped: an empty list, no error
    EXPECT_FALSE(IsDeletedWPXPrefix("JA1"));
    FreeWPXDeleted();
    FreeCountryData(true);
}

TEST(FreshStart, BearingAndDistanceFromTheConfiguredHome)
{
    const TConfigRecord saved = Config;
    Config.SetOwnLatitude(48.2);
    Config.SetOwnLongitude(16.4);
    int heading = -1, dist = -1;
    CalcBearingDistance(true, heading, dist, 60.0, 16.4);
    EXPECT_EQ(heading, 0);
    CalcBearingDistance(true, heading, dist, 10.0, 16.4);
    EXPECT_EQ(heading, 180);
    CalcBearingDistance(false, heading, dist, 10.0, 16.4);
    EXPECT_EQ(heading, 0);
    CalcBearingDistance(true, heading, dist, 48.2, 16.4);
    EXPECT_EQ(dist, 0);
    Config = saved;
}

} // namespace
} // namespace korval
