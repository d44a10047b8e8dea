#include "logbook/report_definitions.h"

#include "logbook/report_cells.h"
#include "logbook/sort_orders.h"
#include "platform/atomic_file.h"
#include "platform/message_dlg.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace korval;
using korval::test::ReadAll;
using korval::test::TempDir;
using korval::test::WriteAll;

namespace {

bool Mentions(const std::vector<std::string>& problems, const std::string& what)
{
    return std::any_of(problems.begin(), problems.end(),
                       [&](const std::string& p) { return p.find(what) != std::string::npos; });
}

TReportDefinition Named(const TReportDefinitions& defs, const std::string& name)
{
    TReportDefinition d;
    EXPECT_TRUE(defs.GetItem(defs.IndexOfName(name), d)) << name;
    return d;
}

} // namespace

// A file written by hand and by older versions: a good report, one with an unknown column,
// one whose sort name is in the wrong letter case, one whose first two keys are columns, one
// with a note width that is no number, and lines that belong to no section.
TEST(ReportDefinitions, LoadWhatTheyCanReportTheRestAndKeepEveryOtherReportOnSave)
{
    TempDir dir;
    const std::string path = dir.file("KORVAL.REP");
    WriteAll(path,
             "garbage before any section\r\n\x01\x02\xff\r\n"
             "[Awards]\r\nSORT=Zone\r\nNOTEWIDTH=30\r\nCallsign=\r\nNumber=\r\nWAZmix=\r\n"
             "[Bad column]\r\nSORT=Prefix\r\nNOTEWIDTH=10\r\nCallsign=\r\nFrequency=\r\nCountry=\r\n"
             "[Case]\r\nSORT=callsign\r\nNOTEWIDTH=8\r\nDate=\r\n"
             "[Headless]\r\nCallsign=\r\nDate=\r\nTime=\r\n"
             "[Width]\r\nSORT=Band\r\nNOTEWIDTH=wide\r\nQSO Notes=\r\n");
    TReportDefinitions defs(path);
    ASSERT_EQ(defs.Count(), 5);
    EXPECT_FALSE(defs.Modified());

    EXPECT_EQ(Named(defs, "Awards"), (TReportDefinition{"Awards", soZone, 30, {rpfCallsign, rpfNumber, rpfWAZmix}}));
    EXPECT_EQ(Named(defs, "Bad column").Columns, (std::vector<std::uint8_t>{rpfCallsign, rpfCountry}));
    EXPECT_EQ(Named(defs, "Case").SortOrder, soDate) << "sort names are matched in their own letter case";
    EXPECT_EQ(Named(defs, "Headless").Columns, (std::vector<std::uint8_t>{rpfTime}))
        << "the columns are the keys from the third on";
    EXPECT_EQ(Named(defs, "Headless").NoteWidth, 15);
    EXPECT_EQ(Named(defs, "Width").NoteWidth, 15);

    const auto& p = defs.Problems();
    EXPECT_TRUE(Mentions(p, "\"Frequency\""));
    EXPECT_TRUE(Mentions(p, "\"callsign\""));
    EXPECT_TRUE(Mentions(p, "Report \"Headless\""));
    EXPECT_TRUE(Mentions(p, "\"wide\""));
    EXPECT_FALSE(Mentions(p, "Report \"Awards\""));

    // Nothing changed: nothing is written, the file stays as it was.
    const std::string before = ReadAll(path);
    defs.Save();
    EXPECT_EQ(ReadAll(path), before);

    TReportDefinition changed = Named(defs, "Case");
    changed.SortOrder = soWpx;
    changed.Columns = {rpfWPX, rpfCallsign};
    defs.SetItem(defs.IndexOfName("Case"), changed);
    EXPECT_TRUE(defs.Modified());
    defs.Save();
    EXPECT_FALSE(defs.Modified());

    TReportDefinitions again(path);
    EXPECT_TRUE(again.Problems().empty()) << again.Problems().front();
    ASSERT_EQ(again.Count(), 5);
    for (const char* name : {"Awards", "Bad column", "Headless", "Width"})
        EXPECT_EQ(Named(again, name), Named(defs, name)) << name;
    EXPECT_EQ(Named(again, "Case"), changed);
    EXPECT_EQ(ReadAll(path).find("Frequency"), std::string::npos) << "unknown columns are not written back";
}

TEST(ReportDefinitions, MissingFileGivesTheDefaultReportAndWritesNothing)
{
    TempDir dir;
    const std::string path = dir.file("KORVAL.REP");
    TReportDefinitions defs(path);
    ASSERT_EQ(defs.Count(), 1);
    EXPECT_EQ(Named(defs, "??noname report??"), (TReportDefinition{"??noname report??", soBand, 25, {rpfCallsign}}));
    EXPECT_FALSE(defs.Modified());
    EXPECT_TRUE(defs.Problems().empty());
    defs.Save();
    EXPECT_FALSE(std::filesystem::exists(path));

    TReportDefinition d;
    EXPECT_FALSE(defs.GetItem(1, d));
    EXPECT_FALSE(defs.GetItem(-1, d));
    defs.SetItem(3, d);  // out of range: nothing happens
    EXPECT_FALSE(defs.Modified());

    defs.AddDefault();
    EXPECT_TRUE(defs.Modified());
}

// A name longer than a section may hold is cut to 25 characters; too many columns to 52.
TEST(ReportDefinitions, ShippedDefinitionsLoadWholly)
{
    TReportDefinitions defs(KORVAL_SOURCE_DIR "/data/SAVE/KORVAL.REP");
    EXPECT_TRUE(defs.Problems().empty()) << defs.Problems().front();
    ASSERT_EQ(defs.Count(), 4);
    TReportDefinition log;
    ASSERT_TRUE(defs.GetItem(0, log));
    EXPECT_EQ(log.Name, "Basic log");
    EXPECT_EQ(log.SortOrder, soDate);
    EXPECT_EQ(log.NoteWidth, 25);
    EXPECT_EQ(log.Columns, (std::vector<std::uint8_t>{rpfDate, rpfTime, rpfCallsign, rpfBand, rpfMode, rpfRstS, rpfRstR,
                                                      rpfCountry, rpfQSLMgr, rpfConf, rpfQSONotes}));
    EXPECT_FALSE(defs.Modified());
}

TEST(ReportDefinitions, StoredDefinitionsAreCutToTheirCapacities)
{
    TReportDefinitions defs;
    TReportDefinition d{"A report name of thirty chars", soGrid, 40, {}};
    d.Columns.assign(60, rpfDate);
    defs.SetItem(0, d);
    ASSERT_TRUE(defs.GetItem(0, d));
    EXPECT_EQ(d.Name, "A report name of thirty c");
    EXPECT_EQ(d.Columns.size(), 52u);
}

// The file is replaced whole or not at all: a folder in its place cannot be read, and a save
// over it fails with the folder left as it was and the changes still pending.
TEST(ReportDefinitions, UnreadableFileIsReportedAndAFailedSaveKeepsTheChanges)
{
    TempDir dir;
    const std::string path = dir.file("KORVAL.REP");
    std::filesystem::create_directory(path);
    TReportDefinitions defs(path);
    EXPECT_TRUE(Mentions(defs.Problems(), "cannot be read"));
    ASSERT_EQ(defs.Count(), 1);
    defs.AddDefault();
    EXPECT_THROW(defs.Save(), EFileWriteError);
    EXPECT_TRUE(defs.Modified());
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(ReportDefinitions, LoadingShowsTheProblemsOnceAndSavingShowsAFailure)
{
    TempDir dir;
    test::ScopedHome home(dir.path());
    std::filesystem::create_directories(dir.file("SAVE"));
    WriteAll(dir.file("SAVE/KORVAL.REP"), "[R]\r\nSORT=Date\r\nNOTEWIDTH=5\r\nNoSuchField=\r\nDate=\r\n");
    ScopedMessageRecorder messages;
    LoadReportDefinitions();
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_NE(messages.texts()[0].find("NoSuchField"), std::string::npos);
    EXPECT_EQ(Named(ReportDefinitions(), "R").Columns, (std::vector<std::uint8_t>{rpfDate}));

    std::filesystem::remove(dir.file("SAVE/KORVAL.REP"));
    std::filesystem::create_directory(dir.file("SAVE/KORVAL.REP"));
    ReportDefinitions().AddDefault();
    SaveReportDefinitions();
    ASSERT_EQ(messages.texts().size(), 2u) << "one message for the failed save";
    EXPECT_NE(messages.texts()[1].find("KORVAL.REP"), std::string::npos);
    EXPECT_TRUE(ReportDefinitions().Modified());
    SetReportDefinitions(nullptr);
}

struct ColumnCase {
    int field;
    const char* name;
    int width;  // characters
    int gridAlign;
};
class ReportColumns : public ::testing::TestWithParam<ColumnCase> {};
TEST_P(ReportColumns, CaptionWidthAndAlignment)
{
    const ColumnCase c = GetParam();
    EXPECT_STREQ(ReportFields[c.field].Name, c.name);
    EXPECT_EQ(ReportFieldNumber(c.name), c.field);
    EXPECT_EQ(ReportColumnWidth(c.field), c.width) << c.name;
    EXPECT_EQ(GridAlignOfReportField(c.field), c.gridAlign) << c.name;
}
INSTANTIATE_TEST_SUITE_P(
    FieldTable, ReportColumns,
    ::testing::Values(ColumnCase{rpfNumber, "Number", 7, 1},           // name as long as the width
                      ColumnCase{rpfCallsign, "Callsign", 12, 0},      // width above the name
                      ColumnCase{rpfCallsignNotes, "Callsign Notes", 15, 0},
                      ColumnCase{rpfAWD, "AWD", 4, 2},                 // flag columns are centred
                      ColumnCase{rpfZone, "Zone", 5, 1},
                      ColumnCase{rpfIOTAName, "IOTA Name", 38, 0},
                      ColumnCase{rpfWPXbnd, "WPXbnd", 7, 0}));

TEST(ReportColumns, NamesAreMatchedExactly)
{
    EXPECT_EQ(ReportFieldNumber("callsign"), -1);
    EXPECT_EQ(ReportFieldNumber(""), -1);
    EXPECT_EQ(ReportFieldNumber("Zone"), kReportFieldCount - 1);
}
