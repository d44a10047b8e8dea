// The radio definitions: the ".rig" file read and written back, the MODES notation, the hex
// command check, and the shipped definitions.
#include "station/radio_list.h"

#include "logbook/base/ini_file.h"
#include "tests/test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace korval;
using korval::test::ReadAll;
using korval::test::WriteAll;

namespace {

const std::string ShippedDir = std::string(KORVAL_SOURCE_DIR) + "/data/RADIOS";

class RadioListTest : public ::testing::Test {
protected:
    test::TempDir home;
    test::ScopedHome scoped {home.path()};
    std::string Dir() const { return home.file("RADIOS"); }
    void SetUp() override { std::filesystem::create_directories(Dir()); }
};

} // namespace

TEST_F(RadioListTest, ShippedFilesRoundTripByteExact)
{
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ShippedDir)) {
        SCOPED_TRACE(entry.path().string());
        TRadioList list(false);
        TRadioDefinition d;
        list.LoadItem(entry.path().string(), d);
        const std::string out = home.file("out.rig");
        list.SaveItem(out, d);
        EXPECT_EQ(ReadAll(out), ReadAll(entry.path().string()));
        EXPECT_EQ(d.Model + ".rig", entry.path().filename().string());
        ++seen;
    }
    EXPECT_EQ(seen, 3);
}

TEST(RadioModes, ValueNotation)
{
    struct Case {
        const char* text;
        TRadioModeEntry entry;
        const char* written;
    } cases[] = {
        {"1,2;3", {1, 2, 3, 255, false}, "1,2;3;N"},
        {"5;5;N", {5, 255, 5, 255, false}, "5;5;N"},
        {"0,1;0,1;Y", {0, 1, 0, 1, true}, "0,1;0,1;Y"},
        {"", {}, ""},
        {"x", {}, ""},
        {"3;Y", {3, 255, 255, 255, true}, "3;Y"},
        {"999;7", {255, 255, 7, 255, false}, ";7;N"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TRadioModeEntry e = ModeEntryFromText(c.text);
        EXPECT_EQ(e.read1, c.entry.read1);
        EXPECT_EQ(e.read2, c.entry.read2);
        EXPECT_EQ(e.write1, c.entry.write1);
        EXPECT_EQ(e.write2, c.entry.write2);
        EXPECT_EQ(e.prefer, c.entry.prefer);
        EXPECT_EQ(ModeEntryText(e), c.written);
    }
    EXPECT_EQ(ModeEntryText({5, 5, 5, 5, false}), "5;5;N");
    EXPECT_EQ(ModeEntryText({}), "");
}

TEST(RadioCommands, HexTextChecked)
{
    EXPECT_EQ(CommandTextProblem(0, "FEfe03FD"), "");
    EXPECT_NE(CommandTextProblem(0, "FEF"), "");
    EXPECT_NE(CommandTextProblem(0, "FE G3"), "");
    EXPECT_EQ(CommandTextProblem(1, "FA;|x"), "");
    EXPECT_EQ(ConvertCommand(0, "FEfe03FD"), std::string("\xFE\xFE\x03\xFD"));
    EXPECT_EQ(ConvertCommand(1, "FA;|"), "FA;\r");
}

TEST_F(RadioListTest, BadHexRefusedNamingFileAndKey)
{
    WriteAll(Dir() + "/Bad.rig", "[GENERAL]\r\nCFMT=0\r\n\r\n[RC-Read VFO A]\r\nCSTR=FEF\r\nLEN=5\r\n");
    WriteAll(Dir() + "/Good.rig", "[GENERAL]\r\nMODEL=Good\r\nCFMT=1\r\n\r\n[RC-Read VFO A]\r\nCSTR=FA;\r\n");
    TRadioList list(true);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Name(0), "Good");
    ASSERT_EQ(list.LoadProblems().size(), 1u);
    const std::string& msg = list.LoadProblems()[0];
    EXPECT_NE(msg.find("Bad.rig"), std::string::npos) << msg;
    EXPECT_NE(msg.find("[RC-Read VFO A] CSTR"), std::string::npos) << msg;
    EXPECT_TRUE(std::filesystem::exists(Dir() + "/Bad.rig"));

    TRadioDefinition d;
    WriteAll(Dir() + "/Pre.rig", "[GENERAL]\r\nPABLE=FEFE9\r\n");
    EXPECT_THROW(list.LoadItem(Dir() + "/Pre.rig", d), ERadioDefinitionError);
}

TEST_F(RadioListTest, MissingKeysTakeDefaults)
{
    WriteAll(Dir() + "/Bare.rig", "[GENERAL]\r\nMODEL=A very long model name indeed\r\n"
                                  "[RF-VFO A]\r\nCMD=Nonsense\r\nFMT=BCD-R\r\nPOS=3\r\nLM=5\r\n"
                                  "[RC-Read VFO A]\r\nCSTR=03FD\r\nLEN=11\r\nLOC=Nowhere\r\n");
    TRadioList list(true);
    ASSERT_EQ(list.Count(), 1);
    const TRadioDefinition& d = list.GetRadio(0);
    EXPECT_EQ(d.Model, "A very long model na");
    EXPECT_EQ(d.Date, UtcToday());
    EXPECT_EQ(d.ReadFreqMul, 1.0);
    EXPECT_EQ(d.SMeterScale, 1.0);
    EXPECT_EQ(d.Fields[rfVfoA].command, rcNoCommand);
    EXPECT_EQ(d.Fields[rfVfoA].format, ffBCDR);
    EXPECT_EQ(d.Commands[rcReadVfoA].location, rlVfoAB);
    EXPECT_EQ(d.Commands[rcReadVfoA].length, 11);
    EXPECT_EQ(d.Modes[14].read1, NoModeCode);
}

TEST_F(RadioListTest, AddDeleteSaveAndRename)
{
    TRadioList list(true);
    EXPECT_EQ(list.Count(), 0);
    TRadioDefinition d;
    list.NewItem(d);
    EXPECT_EQ(d.Model, "New radio");
    EXPECT_EQ(d.Fields[rfSplitMode].format, ffFlag);
    EXPECT_EQ(d.Fields[rfWriteVfoB].command, rcSetVfoB);
    EXPECT_EQ(d.Commands[rcReadStatus].location, rlStatus);
    d.Model = "Old";
    list.Add("Old", d);
    list.Save();
    ASSERT_TRUE(std::filesystem::exists(Dir() + "/Old.rig"));

    // What the editor's Update does when the model is renamed.
    TRadioList again(true);
    ASSERT_EQ(again.IndexOf("OLD"), 0);
    d.Model = "New";
    again.Delete(0);
    again.Add(d.Model, d);
    again.Save();
    EXPECT_FALSE(std::filesystem::exists(Dir() + "/Old.rig"));
    EXPECT_TRUE(std::filesystem::exists(Dir() + "/New.rig"));

    // Deleting then adding the same name writes it anew; case-only differences are one entry.
    TRadioList third(true);
    third.Delete(0);
    d.Notes = "again";
    third.Add("new", d);
    third.Add("NEW", d);
    EXPECT_EQ(third.Count(), 1);
    third.Save();
    TRadioList fourth(true);
    ASSERT_EQ(fourth.Count(), 1);
    EXPECT_EQ(fourth.GetRadio(0).Notes, "again");
}
