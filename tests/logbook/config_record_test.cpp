#include "logbook/config_record.h"
#include "logbook/paths.h"
#include "platform/message_dlg.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace korval;
using korval::test::ReadAll;
using korval::test::ScopedHome;
using korval::test::TempDir;
using korval::test::WriteAll;

namespace {

const std::uint8_t* U(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

// Which file a name stands for: a rewrite through a new file and a rename gives another.
ino_t Inode(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// A home folder with a SAVE folder, the screen noted as 96 ppi x 1920, and the live record restored after.
struct ConfigFixture : ::testing::Test {
    TempDir dir;
    ScopedHome home{dir.path()};
    TConfigRecord saved = Config;
    TScreenMetrics savedScreen = ScreenMetrics();
    std::string cfg;
    ConfigFixture()
    {
        std::filesystem::create_directory(dir.file("SAVE"));
        cfg = dir.file("SAVE/KORVAL.CFG");
        SetScreenMetrics({96, 1920, 1080});
    }
    ~ConfigFixture() override
    {
        Config = saved;
        SetScreenMetrics(savedScreen);
    }
};

} // namespace

TEST_F(ConfigFixture, FirstSaveOfDefaultsWritesTheRecordAtItsOffsets)
{
    TConfigRecord rec;
    SaveConfiguration(rec);
    const std::string bytes = ReadAll(cfg);
    ASSERT_EQ(bytes.size(), 8584u);
    const std::uint8_t* b = U(bytes);
    EXPECT_EQ(GetShortStr(b, 0, 8), "MERXCFGI");
    EXPECT_EQ(b[0], 8);
    EXPECT_EQ(GetI32(b, 12), 96);
    EXPECT_EQ(GetI32(b, 16), 1920);
    EXPECT_EQ(b[581], 1);                              // user level
    EXPECT_EQ(b[776], 1);                              // date format
    EXPECT_DOUBLE_EQ(GetDouble(b, 792), 1840.0);       // 160 m CW/phone cut-off
    EXPECT_DOUBLE_EQ(GetDouble(b, 792 + 14 * 8), 9999000.0);
    EXPECT_EQ(GetU16(b, 912), 1);
    EXPECT_EQ(GetU16(b, 926), 2);                      // auto-save minutes
    EXPECT_EQ(b[928], 1);                              // keep backups
    EXPECT_EQ(b[938], 100);                            // form scale
    EXPECT_EQ(GetShortStr(b, 939, 40), "Arial");
    EXPECT_EQ(b[939 + 41], 9);
    EXPECT_EQ(GetShortStr(b, 982, 40), "Arial");
    EXPECT_EQ(b[982 + 42], 1);                         // bold
    EXPECT_EQ(GetShortStr(b, 1025, 40), "Courier New");
    EXPECT_EQ(b[1103], 3);                             // radio COM port
    EXPECT_EQ(GetU16(b, 1104), 5000);                  // radio poll interval
    EXPECT_EQ(b[1106], 6);
    EXPECT_EQ(b[1112 + 1], 4);                         // packet COM port
    EXPECT_EQ(GetShortStr(b, 1112 + 21, 75), "SH/DX|SH/DX%M");
    EXPECT_EQ(GetU16(b, 2352), 100);                   // spot-list capacity
    EXPECT_EQ(GetI32(b, 2356), 2);
    EXPECT_EQ(GetI32(b, 2492), 1);
    EXPECT_EQ(GetU32(b, 2560 + 4 * 5), 0xC0C0C0u);     // silver for reason 6
    EXPECT_EQ(GetShortStr(b, 2584, 32), "DX|DE|r:|f|c|q|tZ");
    EXPECT_EQ(GetShortStr(b, 2584 + 3 * 33, 32), "DX|c|f|q");
    EXPECT_EQ(GetShortStr(b, 2716, 20), "~ DE *:*");
    EXPECT_EQ(GetShortStr(b, 2779, 20), "WWV*");
    EXPECT_EQ(b[2816 + 1], 5);                         // RTTY COM port
    EXPECT_EQ(b[2816 + 19], 1);                        // RTTY always immediate
    EXPECT_EQ(GetShortStr(b, 2816 + 21 + 2 * 76, 75), "RYRY|RYRYRYRYRYRYRYRYRYRY%M");
    EXPECT_EQ(b[4056], 0);
    EXPECT_EQ(b[4056 + 15], 1);
    EXPECT_EQ(b[4072 + 1], 1);
    EXPECT_EQ(GetShortStr(b, 4587, 40), "@@ 73 de ~");
    EXPECT_EQ(GetShortStr(b, 4669, 40), "Thanks SWL report de ~");
    EXPECT_EQ(GetShortStr(b, 4729, 80), "");  // the callbook data: the EXTDATA folder
    EXPECT_EQ(GetShortStr(b, 5748, 10), "Custom1");
    EXPECT_EQ(GetShortStr(b, 5864, 10), "Custom2");
    EXPECT_EQ(b[5980 + 5], 1);                         // VUCC flag of band 15
    EXPECT_EQ(GetI32(b, 5996), 100);
    EXPECT_EQ(GetI32(b, 6000), 850);
    EXPECT_EQ(b[6007], 1);
    EXPECT_EQ(GetShortStr(b, 6010, 75), "CQ|CQ CQ CQ DE %~ %~");
    EXPECT_EQ(GetShortStr(b, 6010 + 3 * 76, 75), "QRZ|%~ QRZ");
    EXPECT_EQ(GetU16(b, 7348), 1600);
    EXPECT_EQ(b[7353], 3);
    EXPECT_EQ(b[7361], 75);
    EXPECT_EQ(GetShortStr(b, 7368 + 9 * 76, 75), "Brag|%M%fbrag.txt%%M");
    EXPECT_EQ(GetShortStr(b, 7368 + 15 * 76, 75).substr(0, 7), "MyName|");
}

TEST_F(ConfigFixture, SavedRecordLoadsBackWhole)
{
    TConfigRecord rec;
    rec.SetOwnCall("DL1ABC");
    rec.SetLastLogFile("/home/op/LOGS/2024.KVL");
    rec.SetPlacement(psSpot, {10, 20, 300, 400, 1});
    rec.Bytes()[7300] = 0x5A;  // a byte of a group this code does not interpret survives too
    SaveConfiguration(rec);
    TConfigRecord loaded;
    ScopedMessageRecorder messages;
    EXPECT_FALSE(LoadConfiguration(loaded));
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_TRUE(loaded == rec);
    EXPECT_EQ(loaded.Placement(psSpot), (TFormPlacement{10, 20, 300, 400, 1}));
}

TEST_F(ConfigFixture, InvalidFilesKeepDefaultsAndWarn)
{
    struct Row {
        const char* what;
        std::string bytes;
        bool warned;
    };
    TConfigRecord good;
    SaveConfiguration(good);
    std::string whole = ReadAll(cfg);
    std::string badMagic = whole;
    badMagic[8] = 'X';
    Row rows[] = {{"8583 bytes", whole.substr(0, 8583), true},
                  {"8585 bytes", whole + "x", true},
                  {"wrong magic", badMagic, true},
                  {"empty file", "", false}};
    for (const Row& r : rows) {
        WriteAll(cfg, r.bytes);
        TConfigRecord rec;
        rec.SetOwnCall("KEEP");
        ScopedMessageRecorder messages;
        EXPECT_TRUE(LoadConfiguration(rec)) << r.what;
        EXPECT_EQ(rec.OwnCall(), "KEEP") << r.what;
        EXPECT_EQ(rec.FormScale(), 80) << r.what;         // window defaults reset: 100 x 96 / 120
        EXPECT_EQ(rec.Font(1).Name, "Fixedsys") << r.what;
        EXPECT_EQ(messages.texts().size(), r.warned ? 1u : 0u) << r.what;
        EXPECT_EQ(ReadAll(cfg), r.bytes) << r.what;       // nothing repaired on disk
    }
    std::filesystem::remove(cfg);
    TConfigRecord rec;
    ScopedMessageRecorder messages;
    EXPECT_TRUE(LoadConfiguration(rec));
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(ConfigFixture, ChangedScreenResetsWindowDefaultsWithTheMessage)
{
    TConfigRecord rec;
    rec.SetFormScale(120);
    rec.SetOwnCall("DL1ABC");
    SaveConfiguration(rec);
    SetScreenMetrics({144, 1920, 1080});
    TConfigRecord loaded;
    ScopedMessageRecorder messages;
    EXPECT_FALSE(LoadConfiguration(loaded));
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Screen characteristics have changed,\rusing defaults setting");
    EXPECT_EQ(messages.messages()[0].kind, TMsgDlgType::mtInformation);
    EXPECT_EQ(loaded.OwnCall(), "DL1ABC");
    EXPECT_EQ(loaded.FormScale(), 120);                 // 100 x 144 / 120
    EXPECT_EQ(loaded.Font(0), (TConfigFont{"Arial", 9, false}));
    EXPECT_EQ(loaded.Font(2), (TConfigFont{"Fixedsys", 13, false}));  // round(120 x 11 / 100)
}

TEST_F(ConfigFixture, SaveUsesKeepBackupSetting)
{
    TConfigRecord rec;
    rec.SetOwnCall("OLD");
    SaveConfiguration(rec);
    rec.SetOwnCall("NEW");
    Config.SetKeepBackup(true);
    SaveConfiguration(rec);
    std::string old = ReadAll(dir.file("SAVE/KORVAL.~FG"));
    ASSERT_EQ(old.size(), TConfigRecord::Size);
    EXPECT_EQ(GetShortStr(U(old), 560, 20), "OLD");
}

TEST_F(ConfigFixture, UnchangedRecordLeavesTheFileAndItsBackupAlone)
{
    // Saved at every Exit: when nothing changed, nothing is written (no rewrite, no waits on the disk).
    Config.SetKeepBackup(true);
    TConfigRecord rec;
    rec.SetOwnCall("OLD");
    SaveConfiguration(rec);
    rec.SetOwnCall("NEW");
    SaveConfiguration(rec);
    const auto written = std::filesystem::last_write_time(cfg);
    const auto inode = Inode(cfg);
    SaveConfiguration(rec);
    EXPECT_EQ(Inode(cfg), inode) << "the file was replaced";
    EXPECT_EQ(std::filesystem::last_write_time(cfg), written);
    EXPECT_EQ(GetShortStr(U(ReadAll(dir.file("SAVE/KORVAL.~FG"))), 560, 20), "OLD") << "the backup keeps the older record";
    rec.SetOwnCall("NEWER");
    SaveConfiguration(rec);
    EXPECT_NE(Inode(cfg), inode);
    EXPECT_EQ(GetShortStr(U(ReadAll(cfg)), 560, 20), "NEWER");
}

TEST(ConfigRecord, PortSettingsBlocksAndIndexChecks)
{
    TConfigRecord rec;
    TPortSettings rtty = rec.RttyPort();
    EXPECT_EQ(rtty.ComPort(), 5);
    EXPECT_EQ(rtty.MaxLines(), 500);
    EXPECT_EQ(rtty.SplitterPercent(), 50);
    EXPECT_TRUE(rtty.AlwaysImmediate());
    EXPECT_FALSE(rec.PacketPort().AlwaysImmediate());
    rtty.SetSplitterPercent(70);
    rtty.SetFunctionKey(15, std::string(100, 'k'));  // cut to 75
    rec.SetPortSettings(1, rtty);
    EXPECT_EQ(GetI32(rec.Bytes(), 2816 + 12), 70);
    EXPECT_EQ(rec.RttyPort().FunctionKey(15).size(), 75u);
    EXPECT_EQ(rec.PacketPort(), TPortSettings::PacketDefaults());
    EXPECT_EQ(TPortSettings::BaudRate(4), 9600);
    EXPECT_EQ(TPortSettings::BaudRate(8), 0);
    EXPECT_THROW(rec.Placement(20), EConfigIndexError);
    EXPECT_THROW(rec.CwKey(16), EConfigIndexError);
    EXPECT_THROW(rec.BandCutoff(16), EConfigIndexError);
    EXPECT_THROW(rtty.FunctionKey(-1), EConfigIndexError);
}

TEST(ConfigRecord, KeepRectOnScreen)
{
    const TScreenMetrics screen{96, 1024, 768};
    struct Row {
        const char* what;
        TFormRect in, out;
    } rows[] = {
        {"already fine", {100, 200, 300, 200}, {100, 200, 300, 200}},
        {"negative left and top", {-50, -10, 300, 200}, {0, 80, 300, 200}},
        {"inside the main strip", {100, 20, 300, 200}, {100, 80, 300, 200}},
        {"right of the main strip", {900, 20, 100, 100}, {900, 20, 100, 100}},
        {"beyond the right edge", {900, 200, 300, 200}, {724, 200, 300, 200}},
        {"wider than the screen", {10, 200, 2000, 200}, {0, 200, 1024, 200}},
        {"beyond the bottom", {10, 700, 300, 200}, {10, 568, 300, 200}},
        {"taller than the screen", {10, 100, 300, 900}, {10, 80, 300, 688}},
    };
    for (const Row& r : rows) {
        TFormRect rect = r.in;
        KeepRectOnScreen(rect, screen, 800, 80);
        EXPECT_EQ(rect, r.out) << r.what;
    }
}

TEST(ConfigRecord, RestoreFromSlot)
{
    TConfigRecord rec;
    TFormRect r{5, 5, 50, 60};
    EXPECT_FALSE(RestoreRectFromSlot(rec, psQso, r, 90));
    EXPECT_EQ(r, (TFormRect{0, 90, 50, 60}));
    rec.SetPlacement(psQso, {100, 200, 300, 400, 0});      // slot 0 keeps only its position
    rec.SetPlacement(psLogb, {100, 200, 300, 400, 0});     // slot 6 keeps its size too
    r = {5, 5, 50, 60};
    EXPECT_TRUE(RestoreRectFromSlot(rec, psQso, r, 90));
    EXPECT_EQ(r, (TFormRect{200, 100, 50, 60}));
    r = {5, 5, 50, 60};
    EXPECT_TRUE(RestoreRectFromSlot(rec, psLogb, r, 90));
    EXPECT_EQ(r, (TFormRect{200, 100, 400, 300}));
}

TEST(ConfigRecord, UserLevel)
{
    TConfigRecord saved = Config;
    EXPECT_TRUE(UserLevelAllows(1));
    EXPECT_FALSE(UserLevelAllows(2));
    Config.SetUserLevel(3);
    EXPECT_TRUE(UserLevelAllows(3));
    Config = saved;
}

TEST(ConfigRecord, OwnCallGoesIntoGreetingsAndTalkPatterns)
{
    TConfigRecord rec;
    rec.SetOwnCall("VE3ABCDEFGHIJKLMNOPQ");  // 20 characters
    rec.SetTalkPattern(3, "~~");
    PutOwnCallIntoTexts(rec);
    EXPECT_EQ(rec.LabelGreeting(0), "@@ 73 de VE3ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(rec.LabelGreeting(1), "");
    EXPECT_EQ(rec.TalkPattern(0), "VE3ABCDEFGHIJKLMNOPQ");  // "~ DE *:*" cut to 20
    EXPECT_EQ(rec.TalkPattern(3), "VE3ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(rec.TalkPattern(1), "TO LOCAL DE *");
}

// config-placement-overflow.cfg: a record with the right magic, saved at 96 ppi on a 1024 pixel
// wide screen, all zero (date format 0) but for the window placements: every slot at Top 10,
// Left 0x7FFF0000, Height 100, Width 0x7FFF0000.
TEST_F(ConfigFixture, PlacementsNearTheLimitStayOnTheScreen)
{
    SetScreenMetrics({96, 1024, 768});
    WriteAll(cfg, ReadAll(std::string(KORVAL_TEST_DATA) + "/config-placement-overflow.cfg"));
    ScopedMessageRecorder msgs;
    EXPECT_FALSE(LoadConfiguration());
    EXPECT_TRUE(msgs.texts().empty());
    EXPECT_EQ(Config.DateFormat(), 1);
    for (int slot = 0; slot < PlacementSlotCount; ++slot) {
        TFormRect r{0, 0, 300, 200};
        ASSERT_TRUE(RestoreRectFromSlot(Config, slot, r, 80)) << slot;
        KeepRectOnScreen(r, ScreenMetrics(), 800, 80);
        EXPECT_GE(r.Left, 0) << slot;
        EXPECT_LE(r.Left + r.Width, 1024) << slot;
        EXPECT_LE(r.Top + r.Height, 768) << slot;
    }
}

TEST(ConfigRecord, KeepRectOnScreenAtTheLimitsOfInt)
{
    const TScreenMetrics screen{96, 1024, 768};
    const int big = 0x7FFFFFFF, low = -0x7FFFFFFF - 1;
    for (TFormRect r : {TFormRect{big, big, big, big}, TFormRect{low, low, big, big}, TFormRect{big - 5, 10, 100, 100},
                        TFormRect{10, big - 5, 100, 100}, TFormRect{10, 10, low, low}}) {
        KeepRectOnScreen(r, screen, big, big);
        EXPECT_GE(r.Left, 0);
        EXPECT_GE(r.Top, 0);
        EXPECT_LE(std::int64_t{r.Left} + r.Width, 1024);
        EXPECT_LE(std::int64_t{r.Top} + r.Height, 768);
    }
}

TEST_F(ConfigFixture, FieldsOutOfRangeAreResetOnLoad)
{
    struct Row {
        const char* what;
        std::size_t offset;
        std::uint8_t stored;
        int (*get)();
        int expected;
    } rows[] = {
        {"default band", TConfigRecord::DefaultBandOffset, 230, [] { return int{Config.DefaultBand()}; }, int{TConfigRecord().DefaultBand()}},
        {"default mode", TConfigRecord::DefaultModeOffset, 16, [] { return int{Config.DefaultMode()}; }, int{TConfigRecord().DefaultMode()}},
        {"date format", TConfigRecord::DateFormatOffset, 89, [] { return int{Config.DateFormat()}; }, 1},
        {"user level", TConfigRecord::UserLevelOffset, 247, [] { return int{Config.UserLevel()}; }, 1},
        {"time format", TConfigRecord::TimeFormatOffset, 2, [] { return int{Config.TimeFormat()}; }, 0},
        {"QSO window size", TConfigRecord::QsoWindowSizeOffset, 6, [] { return int{Config.QsoWindowSize()}; }, 0},
        {"form scale", TConfigRecord::FormScaleOffset, 0, [] { return int{Config.FormScale()}; }, 80},
        {"date format kept", TConfigRecord::DateFormatOffset, 3, [] { return int{Config.DateFormat()}; }, 3},
        {"user level kept", TConfigRecord::UserLevelOffset, 3, [] { return int{Config.UserLevel()}; }, 3},
        {"band kept", TConfigRecord::DefaultBandOffset, 15, [] { return int{Config.DefaultBand()}; }, 15},
    };
    for (const Row& r : rows) {
        TConfigRecord rec;
        SaveConfiguration(rec);
        std::string bytes = ReadAll(cfg);
        bytes[r.offset] = static_cast<char>(r.stored);
        WriteAll(cfg, bytes);
        EXPECT_FALSE(LoadConfiguration()) << r.what;
        EXPECT_EQ(r.get(), r.expected) << r.what;
    }
}
