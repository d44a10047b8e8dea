#include "logbook/award_status.h"
#include "logbook/bands_modes.h"
#include "logbook/config_record.h"

#include <gtest/gtest.h>

using namespace korval;

struct BandCase {
    double kHz;
    int band;
};
class BandTable : public ::testing::TestWithParam<BandCase> {};
TEST_P(BandTable, FrequencyMapsToBand)
{
    EXPECT_EQ(BandFromFrequency(GetParam().kHz), GetParam().band) << GetParam().kHz << " kHz";
}
INSTANTIATE_TEST_SUITE_P(EdgesAndGaps, BandTable, ::testing::Values(
    BandCase{1494.9, 0}, BandCase{1495.0, 1}, BandCase{1996.0, 1}, BandCase{2005.0, 1}, BandCase{2005.1, 0},
    BandCase{5000.0, 0}, BandCase{7040.0, 3}, BandCase{7504.0, 3}, BandCase{7505.1, 0}, BandCase{14074.0, 5},
    BandCase{24995.0, 8}, BandCase{29999.0, 9}, BandCase{53999.0, 10}, BandCase{145000.0, 11},
    BandCase{432100.0, 13}, BandCase{1296000.0, 14}, BandCase{1399995.0, 15}, BandCase{9999005.0, 15},
    BandCase{9999005.1, 0}));

TEST(Bands, NamesAndKeysFollowTheConfiguration)
{
    TConfigRecord saved = Config;
    EXPECT_EQ(BandName(13), "70cm");
    EXPECT_EQ(BandShortName(13), "70");
    EXPECT_EQ(BandNameWidth(), 4);
    EXPECT_EQ(BandName(0), "xxxm");
    EXPECT_EQ(BandName(99), "xxxm");
    Config.SetBandNamesAsFrequency(true);
    EXPECT_EQ(BandName(14), "1.3GHz");
    EXPECT_EQ(BandShortName(14), "1300");
    EXPECT_EQ(BandNameWidth(), 6);
    Config = saved;
}

TEST(Bands, FromKey)
{
    struct Row {
        const char* text;
        int band;
    } rows[] = {{"160", 1}, {"160m", 1}, {"20", 5}, {"2", 11}, {"1.25", 12}, {"70", 13}, {"23", 14},
                {"Sat", 15}, {"sat", 15}, {"SAT", 15}, {"", 0}, {"9", 0}, {"70c", 0}};
    for (const Row& r : rows)
        EXPECT_EQ(BandFromKey(r.text), r.band) << r.text;
}

TEST(Bands, ModeGroupOfFrequencyUsesCutoffs)
{
    TConfigRecord saved = Config;
    EXPECT_EQ(ModeGroupOfFrequency(14149.9), mgCW);
    EXPECT_EQ(ModeGroupOfFrequency(14150.0), mgPhone);
    EXPECT_EQ(ModeGroupOfFrequency(14499.0), mgPhone);
    EXPECT_EQ(ModeGroupOfFrequency(14500.0), mgCW);  // the high edge is no longer phone
    Config.SetBandCutoff(5, 14100);
    EXPECT_EQ(ModeGroupOfFrequency(14120.0), mgPhone);
    Config = saved;
}

TEST(Modes, MapAndGroups)
{
    const char* names[16] = {"", "AM", "ATV", "CLOV", "CW", "FM", "FSTV", "GTOR", "MTOR",
                             "PACK", "PSK", "PSK3", "PTOR", "RTTY", "SSB", "SSTV"};
    for (int m = 0; m <= 15; ++m)
        EXPECT_EQ(ModeName(m), names[m]) << m;
    EXPECT_EQ(ModeGroup(mdSSB), mgPhone);
    EXPECT_EQ(ModeGroup(mdCW), mgCW);
    EXPECT_EQ(ModeGroup(mdPSK3), mgDigital);
    EXPECT_EQ(ModeGroup(0), 0);
    EXPECT_EQ(ModeReportKind(mdFM), 0);
    EXPECT_EQ(ModeReportKind(mdSSTV), 1);
    EXPECT_EQ(ModeReportKind(0), 1);
    EXPECT_EQ(ModeGroupName(0), "MIX");
    EXPECT_EQ(ModeGroupName(3), "RTTY");
}

TEST(Modes, FromNameAndAliases)
{
    struct Row {
        const char* text;
        int mode;
    } rows[] = {{"usb", mdSSB}, {"LSB", mdSSB}, {"J3E", mdSSB}, {"PSK31", mdPSK3}, {"psk", mdPSK},
                {"PHONE", 0}, {"A1A", mdCW}, {"c w", mdCW}, {" rtty ", mdRTTY}, {"FSK", mdRTTY},
                {"AMTOR", 0} /* "AMTO" */, {"AMT", mdMTOR}, {"PKT", mdPACK}, {"sstv", mdSSTV}, {"am", mdAM}, {"", 0}, {"XYZ", 0}};
    for (const Row& r : rows)
        EXPECT_EQ(ModeFromName(r.text), r.mode) << r.text;
}

TEST(Rst, TextForm)
{
    struct Row {
        const char* text;
        bool ok;
        int report;
    } rows[] = {{"59A", true, 1059}, {"599", true, 599}, {"", true, 0}, {"0", true, 0}, {"5", false, 0},
                {"A", false, 0}, {"5x9", false, 0}, {"59B", false, 0}, {"5999", false, 0}, {"-59", false, 0},
                // No report kind holds 1 to 9 (phone 11..59, CW and digital 111..599): refused
                // with or without leading zeros, so that "8", what RstToStr gives for 8, is
                // refused the same way as "08".
                {"8", false, 0}, {"08", false, 0}, {"009", false, 0}, {"00", true, 0}, {"10", true, 10},
                {"5A", true, 1005}, {"05A", true, 1005}};
    for (const Row& r : rows) {
        int report = -7;
        EXPECT_EQ(StrToRst(r.text, report), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(report, r.report) << r.text;
        }
    }
    EXPECT_EQ(RstToStr(1059), "59A");
    EXPECT_EQ(RstToStr(599), "599");
    EXPECT_EQ(RstToStr(0), "0");
}

TEST(Rst, ValidityByMode)
{
    struct Row {
        int mode, report;
        bool valid;
    } rows[] = {{mdSSB, 59, true}, {mdSSB, 11, true}, {mdSSB, 10, false}, {mdSSB, 60, false},
                {mdSSB, 599, false}, {mdSSB, 1059, false}, {mdCW, 1059, true}, {mdCW, 599, true},
                {mdCW, 111, true}, {mdCW, 110, false}, {mdCW, 59, false}, {mdRTTY, 600, false}};
    for (const Row& r : rows)
        EXPECT_EQ(IsValidRst(r.mode, r.report), r.valid) << r.mode << " " << r.report;
}

TEST(StationAndAwards, QueriesCombineStationAndAwardFlags)
{
    TConfigRecord saved = Config;
    TAwardSettings dxcc = Config.AwardSettings(akDxcc);
    EXPECT_TRUE(AwardBandValid(dxcc, 5));
    EXPECT_FALSE(AwardBandValid(dxcc, 0));
    EXPECT_TRUE(AwardModeValid(dxcc, 0));  // the mixed flag
    Config.SetStationBand(5, false);
    EXPECT_FALSE(IsStationBand(5));
    EXPECT_FALSE(AwardBandValid(dxcc, 5));
    EXPECT_FALSE(AwardBandSeparate(dxcc, 5));
    dxcc.SetBandSeparate(7, false);
    EXPECT_TRUE(AwardBandValid(dxcc, 7));
    EXPECT_FALSE(AwardBandSeparate(dxcc, 7));
    // the CW group is valid only while the one CW mode is valid for station and award
    EXPECT_TRUE(AwardModeGroupValid(dxcc, mgCW));
    Config.SetStationMode(mdCW, false);
    EXPECT_FALSE(StationModeGroupUsed(mgCW));
    EXPECT_FALSE(AwardModeGroupValid(dxcc, mgCW));
    EXPECT_TRUE(StationModeGroupUsed(mgPhone));
    dxcc.SetMixed(false);
    EXPECT_FALSE(AwardModeGroupValid(dxcc, mgMixed));
    EXPECT_TRUE(IsVuccBand(10));
    EXPECT_FALSE(IsVuccBand(9));
    Config = saved;
}

TEST(AwardStatusQueries, CellsCountOnlyWithACount)
{
    TAwardStatusBlock block;
    EXPECT_EQ(AwardStatus(block), 0);
    EXPECT_FALSE(AwardStatusAnyMode(block));
    block.Set(0, asConfirmed, 2);
    block.Set(2, asWorked, 1);
    block.Set(TAwardStatusBlock::CellOf(5, 1), asQslSent, 1);
    block.Set(TAwardStatusBlock::CellOf(5, 3), asConfirmed, 1);
    block.Set(TAwardStatusBlock::CellOf(5, 2), asCredited, 0);  // a status without a count is nothing
    block.Set(3, asConfirmed, 0);
    EXPECT_EQ(AwardStatus(block), asConfirmed);
    EXPECT_EQ(AwardModeStatus(block, 2), asWorked);
    EXPECT_EQ(AwardModeStatus(block, 3), 0);
    EXPECT_EQ(AwardBandStatus(block, 5), asConfirmed);
    EXPECT_EQ(AwardBandStatus(block, 6), 0);
    EXPECT_EQ(AwardBandStatus(block, 16), 0);
    EXPECT_TRUE(AwardStatusAnyMode(block));
    block.Set(2, asWorked, 0);
    EXPECT_FALSE(AwardStatusAnyMode(block));
}
