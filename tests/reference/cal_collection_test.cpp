#include "reference/cal_collection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace korval {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path FreshDir(const char* name)
{
    const fs::path dir = fs::path(testing::TempDir()) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string OldRecord(std::uint16_t start, std::uint16_t end, const std::string& note)
{
    std::string r(CalEventSize, '\0');
    r[0] = char(start & 0xFF); r[1] = char(start >> 8);
    r[2] = char(end & 0xFF); r[3] = char(end >> 8);
    r[4] = char(note.size());
    r.replace(5, note.size(), note);
    return r;
}

TEST(CalendarFile, RecordLayoutAndOrder)
{
    TCalCollection c;
    // Each insert answers where the event went (the window selects it there), also when the
    // list grows and its items move.
    EXPECT_EQ(c.InsertRecord({45000, 45002, "CQ WW"}), 0u);
    EXPECT_EQ(c.InsertRecord({44990, 45100, "DXpedition"}), 0u);
    EXPECT_EQ(c.InsertRecord({45000, 45001, std::string(50, 'x')}), 1u);
    ASSERT_EQ(c.Count(), 3u);
    EXPECT_EQ(c.At(0).Note, "DXpedition");
    EXPECT_EQ(c.At(1).Note, std::string(40, 'x'));
    const std::string b = c.ToBytes();
    ASSERT_EQ(b.size(), 10 + 3 * CalEventSize);
    EXPECT_EQ(b.substr(0, 10), std::string("CALB\x2e\0\3\0\0\0", 10));
    EXPECT_EQ(b.substr(10, CalEventSize), OldRecord(44990, 45100, "DXpedition"));
    EXPECT_EQ(TCalCollection::FromBytes(b).ToBytes(), b);
}

TEST(CalendarFile, OldFormIsReadAndSavedInTheCurrentForm)
{
    const fs::path dir = FreshDir("cal_old");
    const fs::path file = dir / "KORVAL.CAL";
    std::ofstream(file, std::ios::binary) << std::string("\x2e\0\2\0", 4) + OldRecord(45010, 45012, "Field day") +
                                                 OldRecord(45000, 45000, "Sprint");
    TCalCollection c = LoadCalendar(file.string());
    ASSERT_EQ(c.Count(), 2u);
    EXPECT_EQ(c.At(0).Note, "Sprint");
    SaveCalendar(file.string(), c);
    const std::string saved = ReadAll(file);
    EXPECT_EQ(saved, c.ToBytes());
    EXPECT_EQ(saved.substr(0, 4), "CALB");
}

TEST(CalendarFile, DamagedFilesAreRefused)
{
    const std::string good = [] { TCalCollection c; c.InsertRecord({1, 2, "a"}); return c.ToBytes(); }();
    EXPECT_THROW(TCalCollection::FromBytes(good.substr(0, good.size() - 1)), ECalendarFileError);
    EXPECT_THROW(TCalCollection::FromBytes("CALB\x2f"), ECalendarFileError);
    std::string wrongSize = good;
    wrongSize[4] = 47;
    EXPECT_THROW(TCalCollection::FromBytes(wrongSize), ECalendarFileError);
    std::string huge = good;
    huge[9] = '\x7f';
    EXPECT_THROW(TCalCollection::FromBytes(huge), ECalendarFileError);
}

TEST(CalendarStartupCheck, EventsStartingOrEndingTodayCountAndEmptyDeletesTheFile)
{
    const fs::path dir = FreshDir("cal_today");
    const std::string file = (dir / "KORVAL.CAL").string();
    const TDayNumber today = 45000;
    EXPECT_FALSE(CalendarHasEventToday(file, today));
    struct Case { TDayNumber start, end; bool want; };
    for (const Case& k : {Case{today, today + 3, true}, Case{today - 3, today, true}, Case{today - 3, today - 1, false},
                          Case{today + 1, today + 2, false}, Case{today, today, true}}) {
        TCalCollection c;
        c.InsertRecord({k.start, k.end, "x"});
        SaveCalendar(file, c);
        EXPECT_EQ(CalendarHasEventToday(file, today), k.want) << k.start << ".." << k.end;
    }
    SaveCalendar(file, TCalCollection{});
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(CalendarHasEventToday(file, today));
}

TEST(CalendarEdit, CleanupRemovesEveryExpiredEventAndEmptyDatesAreRefused)
{
    TCalCollection c;
    c.InsertRecord({100, 300, "running"});
    c.InsertRecord({150, 160, "expired after a running one"});
    c.InsertRecord({90, 99, "expired"});
    c.InsertRecord({200, 200, "today"});
    EXPECT_EQ(c.Cleanup(200), 2u);
    ASSERT_EQ(c.Count(), 2u);
    EXPECT_EQ(c.At(0).Note, "running");
    EXPECT_EQ(c.At(1).Note, "today");

    EXPECT_TRUE(CalendarDatesValid(5, 5));
    EXPECT_FALSE(CalendarDatesValid(6, 5));
    EXPECT_FALSE(CalendarDatesValid(NoDate, NoDate));
    EXPECT_FALSE(CalendarDatesValid(NoDate, 5));
}

} // namespace
} // namespace korval
