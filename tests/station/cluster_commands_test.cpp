// Function-key labels and keys, the texts the terminal builds, and the messages exchanged with
// another program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "station/cluster_commands.h"
#include "station/copy_data.h"
#include "station/function_keys.h"
#include "test_support.h"

using namespace korval;

namespace {

struct LabelCase {
    const char* macro;
    const char* label;
};

class MacroLabels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(MacroLabels, Label)
{
    EXPECT_EQ(MacroLabel(GetParam().macro), GetParam().label) << GetParam().macro;
}

INSTANTIATE_TEST_SUITE_P(Cases, MacroLabels,
                         ::testing::Values(LabelCase{"CQ|CQ CQ CQ DE %~ %~", "CQ"}, LabelCase{"ANNOUNCED", "ANNOUN"},
                                           LabelCase{" SH/DX |SH/DX%M", "SH/DX"}, LabelCase{"|text only", ""},
                                           LabelCase{"AB |", "AB"}, LabelCase{"", ""}));

TEST(FunctionKeys, KeysAndSectionsGiveMacros)
{
    EXPECT_EQ(FunctionKeyMacro(1, false, false, false), 1);
    EXPECT_EQ(FunctionKeyMacro(8, false, true, false), 16);
    EXPECT_EQ(FunctionKeyMacro(3, true, false, false), 0);
    EXPECT_EQ(FunctionKeyMacro(3, false, true, true), 0);
    EXPECT_EQ(FunctionKeyMacro(9, false, false, false), 0);
    EXPECT_EQ(SectionMacro(2, false), 2);
    EXPECT_EQ(SectionMacro(2, true), 10);
}

TEST(FunctionKeys, SetsReadAndWriteTheirPlaceInTheRecord)
{
    const TConfigRecord saved = Config;
    Config = TConfigRecord();
    TFunctionKeySet rtty = TerminalKeySet(1);
    EXPECT_EQ(rtty.name, "RTTY");
    TFunctionKeys keys = rtty.load();
    EXPECT_EQ(MacroLabel(keys[0]), "CQ");
    keys[15] = "Last|text";
    rtty.store(keys);
    EXPECT_EQ(Config.RttyPort().FunctionKey(15), "Last|text");
    EXPECT_EQ(Config.PacketPort().FunctionKey(15), TConfigRecord().PacketPort().FunctionKey(15));
    TFunctionKeys cw = CwKeySet().load();
    cw[4] = "Five|5";
    CwKeySet().store(cw);
    EXPECT_EQ(Config.CwKey(4), "Five|5");
    Config = saved;
}

TEST(ClusterCommands, AnnouncementAndReadMessage)
{
    // A cluster reads "DX 21074,00 ..." as no spot: a desktop's decimal comma never reaches it.
    for (const char* locale : test::kDesktopLocales) {
        test::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.Ok()) << locale << " is not installed (scripts/deps.sh generates it)";
        EXPECT_EQ(AnnounceDXCommand(14025, "VP8LP", 0, ""), "DX 14025.00 VP8LP") << locale;
        EXPECT_EQ(AnnounceDXCommand(14195.5, "3Y0J", 14225.123, "SSB up 30"), "DX 14195.50 3Y0J QSX 14225.12 SSB up 30")
            << locale;
    }
    EXPECT_EQ(AnnounceRemarks(mdCW), "");
    EXPECT_EQ(AnnounceRemarks(mdSSB), "");
    EXPECT_EQ(AnnounceRemarks(mdPSK3), "PSK31");
    EXPECT_EQ(AnnounceRemarks(mdRTTY), ModeName(mdRTTY));
    EXPECT_EQ(ReadMessageCommand("  123 K1ABC  Hello"), "R 123\r");
    EXPECT_EQ(ReadMessageCommand("DX de K1ABC"), "");
    EXPECT_EQ(ReadMessageCommand("   "), "");
}

TEST(ClusterCommands, CaptionNamesTheModes)
{
    EXPECT_EQ(TerminalCaption({0, false, false, false, false}), "Packet (PopUp)");
    EXPECT_EQ(TerminalCaption({1, true, false, true, true}), "RTTY (PopUp) [FAKEMODE] (IMMEDIATE MODE) (HOLDING)");
    EXPECT_EQ(TerminalCaption({1, false, true, true, false}), "RTTY (PopUp) (ALWAYS IN IMMEDIATE MODE)");
}

TEST(CopyData, MessagesArriveInPiecesAndDamageIsRefused)
{
    const std::string a = EncodeCopyData(CopyDataTag, std::string("DX de K1ABC\r\0", 13));
    const std::string b = EncodeCopyData(7, "x");
    const std::string stream = a + b;
    TCopyDataReader reader;
    std::vector<TCopyData> got;
    for (char c : stream)
        ASSERT_TRUE(reader.Feed(std::string(1, c), got));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].tag, CopyDataTag);
    EXPECT_EQ(got[0].data, std::string("DX de K1ABC\r\0", 13));
    EXPECT_EQ(got[1].tag, 7u);

    TCopyDataReader damaged;
    EXPECT_FALSE(damaged.Feed(std::string("\x64\0\0\0\xff\xff\xff\x7f", 8), got));

    TCopyDataLines lines;
    EXPECT_EQ(lines.Take(std::string("DX de K1", 8)), std::vector<std::string>{});
    EXPECT_EQ(lines.Take(std::string("ABC\r\n\0second\r", 14)), (std::vector<std::string>{"DX de K1ABC", "second"}));
}

} // namespace
