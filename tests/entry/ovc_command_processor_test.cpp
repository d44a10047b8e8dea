#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <map>

using namespace korval;

namespace {

// Key names as the tables are documented.
uint8_t keyCode(const std::string& name)
{
    static const std::map<std::string, uint8_t> named = {
        {"Backspace", 8}, {"Tab", 9}, {"Enter", 13}, {"PgUp", 33}, {"PgDn", 34}, {"End", 35},
        {"Home", 36}, {"Left", 37}, {"Up", 38}, {"Right", 39}, {"Down", 40}, {"Ins", 45},
        {"Del", 46}, {"F2", 113}};
    auto it = named.find(name);
    if (it != named.end())
        return it->second;
    return uint8_t(name[0]);  // letters and digits are their own codes
}

uint8_t shiftCode(const std::string& s)
{
    if (s == "-")
        return 0;
    if (s == "Ctrl+Shift")
        return 6;
    if (s == "none or Ctrl")
        return 128;
    return s == "Shift" ? 2 : s == "Ctrl" ? 4 : s == "Alt" ? 8 : 255;
}

struct Row {
    const char* key;
    const char* shift;
    const char* key2;  // "-" for none
    const char* shift2;
    uint16_t cmd;
};

const Row kDefault[] = {
    {"Left", "-", "-", "-", 46}, {"Right", "-", "-", "-", 55}, {"Left", "Ctrl", "-", "-", 74},
    {"Right", "Ctrl", "-", "-", 75}, {"Home", "-", "-", "-", 42}, {"End", "-", "-", "-", 16},
    {"Del", "-", "-", "-", 10}, {"Backspace", "-", "-", "-", 1}, {"Backspace", "Shift", "-", "-", 1},
    {"PgUp", "Ctrl", "-", "-", 71}, {"PgDn", "Ctrl", "-", "-", 2}, {"Ins", "-", "-", "-", 44},
    {"Z", "Ctrl", "-", "-", 72}, {"Backspace", "Alt", "-", "-", 54}, {"Up", "-", "-", "-", 73},
    {"Down", "-", "-", "-", 15}, {"Enter", "Ctrl", "-", "-", 47}, {"Left", "Shift", "-", "-", 20},
    {"Right", "Shift", "-", "-", 23}, {"Home", "Shift", "-", "-", 19}, {"End", "Shift", "-", "-", 18},
    {"Left", "Ctrl+Shift", "-", "-", 29}, {"Right", "Ctrl+Shift", "-", "-", 30},
    {"PgUp", "Shift", "-", "-", 22}, {"PgDn", "Shift", "-", "-", 21}, {"Up", "Shift", "-", "-", 24},
    {"Down", "Shift", "-", "-", 17}, {"Home", "Ctrl+Shift", "-", "-", 26},
    {"End", "Ctrl+Shift", "-", "-", 27}, {"PgUp", "Ctrl+Shift", "-", "-", 28},
    {"PgDn", "Ctrl+Shift", "-", "-", 25}, {"Del", "Shift", "-", "-", 8}, {"X", "Ctrl", "-", "-", 8},
    {"Ins", "Ctrl", "-", "-", 6}, {"C", "Ctrl", "-", "-", 6}, {"Ins", "Shift", "-", "-", 51},
    {"V", "Ctrl", "-", "-", 51}, {"PgUp", "-", "-", "-", 52}, {"PgDn", "-", "-", "-", 48},
    {"Home", "Ctrl", "-", "-", 31}, {"End", "Ctrl", "-", "-", 45}, {"Tab", "-", "-", "-", 68},
    {"Tab", "Ctrl", "-", "-", 68}, {"Z", "Ctrl+Shift", "-", "-", 53},
    {"0", "Ctrl", "-", "-", 32}, {"1", "Ctrl", "-", "-", 33}, {"2", "Ctrl", "-", "-", 34},
    {"3", "Ctrl", "-", "-", 35}, {"4", "Ctrl", "-", "-", 36}, {"5", "Ctrl", "-", "-", 37},
    {"6", "Ctrl", "-", "-", 38}, {"7", "Ctrl", "-", "-", 39}, {"8", "Ctrl", "-", "-", 40},
    {"9", "Ctrl", "-", "-", 41}, {"0", "Ctrl+Shift", "-", "-", 58}, {"1", "Ctrl+Shift", "-", "-", 59},
    {"2", "Ctrl+Shift", "-", "-", 60}, {"3", "Ctrl+Shift", "-", "-", 61},
    {"4", "Ctrl+Shift", "-", "-", 62}, {"5", "Ctrl+Shift", "-", "-", 63},
    {"6", "Ctrl+Shift", "-", "-", 64}, {"7", "Ctrl+Shift", "-", "-", 65},
    {"8", "Ctrl+Shift", "-", "-", 66}, {"9", "Ctrl+Shift", "-", "-", 67},
};

const Row kWordStar[] = {
    {"S", "Ctrl", "-", "-", 46}, {"D", "Ctrl", "-", "-", 55}, {"E", "Ctrl", "-", "-", 73},
    {"X", "Ctrl", "-", "-", 15}, {"R", "Ctrl", "-", "-", 52}, {"C", "Ctrl", "-", "-", 48},
    {"W", "Ctrl", "-", "-", 57}, {"Z", "Ctrl", "-", "-", 56}, {"A", "Ctrl", "-", "-", 74},
    {"F", "Ctrl", "-", "-", 75}, {"Q", "Ctrl", "S", "none or Ctrl", 42},
    {"Q", "Ctrl", "D", "none or Ctrl", 16}, {"G", "Ctrl", "-", "-", 10}, {"H", "Ctrl", "-", "-", 1},
    {"Y", "Ctrl", "-", "-", 13}, {"Q", "Ctrl", "Y", "none or Ctrl", 12}, {"V", "Ctrl", "-", "-", 44},
    {"T", "Ctrl", "-", "-", 14}, {"P", "Ctrl", "-", "-", 7}, {"Q", "Ctrl", "L", "none or Ctrl", 54},
    {"Q", "Ctrl", "0", "none or Ctrl", 32}, {"Q", "Ctrl", "1", "none or Ctrl", 33},
    {"Q", "Ctrl", "2", "none or Ctrl", 34}, {"Q", "Ctrl", "3", "none or Ctrl", 35},
    {"Q", "Ctrl", "4", "none or Ctrl", 36}, {"Q", "Ctrl", "5", "none or Ctrl", 37},
    {"Q", "Ctrl", "6", "none or Ctrl", 38}, {"Q", "Ctrl", "7", "none or Ctrl", 39},
    {"Q", "Ctrl", "8", "none or Ctrl", 40}, {"Q", "Ctrl", "9", "none or Ctrl", 41},
    {"K", "Ctrl", "0", "none or Ctrl", 58}, {"K", "Ctrl", "1", "none or Ctrl", 59},
    {"K", "Ctrl", "2", "none or Ctrl", 60}, {"K", "Ctrl", "3", "none or Ctrl", 61},
    {"K", "Ctrl", "4", "none or Ctrl", 62}, {"K", "Ctrl", "5", "none or Ctrl", 63},
    {"K", "Ctrl", "6", "none or Ctrl", 64}, {"K", "Ctrl", "7", "none or Ctrl", 65},
    {"K", "Ctrl", "8", "none or Ctrl", 66}, {"K", "Ctrl", "9", "none or Ctrl", 67},
};

const Row kGrid[] = {
    {"Left", "-", "-", "-", 46}, {"Right", "-", "-", "-", 55}, {"Left", "Ctrl", "-", "-", 49},
    {"Right", "Ctrl", "-", "-", 50}, {"Home", "-", "-", "-", 42}, {"End", "-", "-", "-", 16},
    {"Del", "-", "-", "-", 10}, {"Backspace", "-", "-", "-", 1}, {"PgDn", "Ctrl", "-", "-", 2},
    {"PgUp", "Ctrl", "-", "-", 71}, {"Ins", "-", "-", "-", 44}, {"Z", "Ctrl", "-", "-", 54},
    {"Up", "-", "-", "-", 73}, {"Down", "-", "-", "-", 15}, {"Left", "Shift", "-", "-", 20},
    {"Right", "Shift", "-", "-", 23}, {"Home", "Shift", "-", "-", 19}, {"End", "Shift", "-", "-", 18},
    {"Left", "Ctrl+Shift", "-", "-", 29}, {"Right", "Ctrl+Shift", "-", "-", 30},
    {"PgUp", "Shift", "-", "-", 22}, {"PgDn", "Shift", "-", "-", 21}, {"Up", "Shift", "-", "-", 24},
    {"Down", "Shift", "-", "-", 17}, {"Home", "Ctrl+Shift", "-", "-", 26},
    {"End", "Ctrl+Shift", "-", "-", 27}, {"PgUp", "Ctrl+Shift", "-", "-", 28},
    {"PgDn", "Ctrl+Shift", "-", "-", 25}, {"X", "Ctrl", "-", "-", 8}, {"C", "Ctrl", "-", "-", 6},
    {"V", "Ctrl", "-", "-", 51}, {"PgUp", "-", "-", "-", 52}, {"Home", "Ctrl", "-", "-", 31},
    {"PgDn", "-", "-", "-", 48}, {"End", "Ctrl", "-", "-", 45}, {"Up", "Ctrl", "-", "-", 70},
    {"Down", "Ctrl", "-", "-", 3}, {"F2", "-", "-", "-", 69},
};

TOvcCmdRec recOf(const Row& r)
{
    bool two = std::string(r.key2) != "-";
    return {keyCode(r.key), shiftCode(r.shift), two ? keyCode(r.key2) : uint8_t(0),
            two ? shiftCode(r.shift2) : uint8_t(0), r.cmd};
}

// Only the named table active.
void activateOnly(TOvcCommandProcessor& p, const std::string& name)
{
    for (int i = 0; i < p.GetCount(); ++i)
        p.Table(i)->IsActive = p.Table(i)->TableName == name;
}

template <size_t N>
void checkTable(const std::string& name, const Row (&rows)[N])
{
    TOvcCommandProcessor p;
    TOvcCommandTable* t = p.GetTable(name);
    ASSERT_NE(t, nullptr) << name;
    ASSERT_EQ(t->GetCount(), int(N)) << name;
    activateOnly(p, name);
    for (size_t i = 0; i < N; ++i) {
        const Row& r = rows[i];
        TOvcCmdRec want = recOf(r);
        EXPECT_EQ(t->GetCommandRec(int(i)), want) << name << " entry " << i + 1;
        if (want.Key2 == 0) {
            EXPECT_EQ(p.Translate(want.Key1, want.SS1), r.cmd) << name << " entry " << i + 1;
        } else {
            // The second key counts plain or with Ctrl.
            for (uint8_t second : {uint8_t(0), uint8_t(ss_Ctrl)}) {
                EXPECT_EQ(p.Translate(want.Key1, want.SS1), ccPartial) << name << " entry " << i + 1;
                EXPECT_EQ(p.Translate(want.Key2, second), r.cmd) << name << " entry " << i + 1;
                if (r.cmd == ccCtrlChar)
                    p.Translate('A', 0);
            }
        }
        if (r.cmd == ccCtrlChar)
            p.Translate('A', 0);  // the literal key after ccCtrlChar
    }
}

} // namespace

TEST(CommandTables, BuiltInTablesInOrder)
{
    TOvcCommandProcessor p;
    ASSERT_EQ(p.GetCount(), 3);
    EXPECT_EQ(p.Table(0)->TableName, "Default");
    EXPECT_TRUE(p.Table(0)->IsActive);
    EXPECT_EQ(p.Table(1)->TableName, "WordStar");
    EXPECT_FALSE(p.Table(1)->IsActive);
    EXPECT_EQ(p.Table(2)->TableName, "Grid");
    EXPECT_FALSE(p.Table(2)->IsActive);
    EXPECT_THROW(p.Table(3), ETableNotFound);
}

TEST(CommandTables, EveryDefaultEntry) { checkTable("Default", kDefault); }
TEST(CommandTables, EveryWordStarEntry) { checkTable("WordStar", kWordStar); }
TEST(CommandTables, EveryGridEntry) { checkTable("Grid", kGrid); }

TEST(CommandTables, CommandNames)
{
    EXPECT_EQ(CommandName(ccNone), "ccNone");
    EXPECT_EQ(CommandName(ccTableEdit), "ccTableEdit");
    EXPECT_EQ(CommandName(ccWordRight), "ccWordRight");
    EXPECT_EQ(CommandName(256), "ccUser0");
    EXPECT_EQ(CommandName(300), "ccUser44");
}

TEST(CommandProcessor, TwoKeySequences)
{
    TOvcCommandProcessor p;
    activateOnly(p, "WordStar");
    // Ctrl+Q then S gives ccHome with or without Ctrl still held; a modifier key in between
    // keeps the sequence pending.
    EXPECT_EQ(p.Translate('Q', ss_Ctrl), ccPartial);
    EXPECT_TRUE(p.SequencePending());
    EXPECT_EQ(p.Translate(VK_CONTROL, ss_Ctrl), ccPartial);
    EXPECT_EQ(p.Translate('S', 0), ccHome);
    EXPECT_EQ(p.State(), 0);
    // Alt on the second key completes nothing.
    EXPECT_EQ(p.Translate('Q', ss_Ctrl), ccPartial);
    EXPECT_EQ(p.Translate('S', ss_Alt), ccNoPartial);
    EXPECT_EQ(p.State(), 0);
    // Nor does an unknown second key; then the state is idle again.
    EXPECT_EQ(p.Translate('K', ss_Ctrl), ccPartial);
    EXPECT_EQ(p.Translate('Z', 0), ccNoPartial);
    EXPECT_EQ(p.Translate('S', ss_Ctrl), ccLeft);
    // A reset forgets a pending first key.
    EXPECT_EQ(p.Translate('Q', ss_Ctrl), ccPartial);
    p.ResetCommandProcessor();
    EXPECT_EQ(p.Translate('S', ss_Ctrl), ccLeft);
}

TEST(CommandProcessor, CtrlCharTakesTheNextKeyLiterally)
{
    TOvcCommandProcessor p;
    p.GetTable("WordStar")->IsActive = true;
    EXPECT_EQ(p.Translate(VK_SHIFT, ss_Shift), ccNotCommand);
    EXPECT_EQ(p.Translate('P', ss_Ctrl), ccCtrlChar);
    EXPECT_EQ(p.State(), 2);
    EXPECT_EQ(p.Translate(VK_SHIFT, ss_Shift), ccNotCommand);  // modifiers leave the state
    EXPECT_EQ(p.State(), 2);
    EXPECT_EQ(p.Translate(VK_LEFT, 0), ccNotCommand);  // taken literally, not ccLeft
    EXPECT_EQ(p.Translate(VK_LEFT, 0), ccLeft);
}

TEST(CommandProcessor, FirstActiveTableWinsAndInactiveTablesAreSkipped)
{
    TOvcCommandProcessor p;
    EXPECT_EQ(p.Translate('Q', ss_Ctrl), ccNotCommand);  // only "Default" active
    EXPECT_EQ(p.Translate('Z', ss_Ctrl), ccUndo);
    p.GetTable("Grid")->IsActive = true;
    EXPECT_EQ(p.Translate('Z', ss_Ctrl), ccUndo);  // "Default" comes first
    p.GetTable("Default")->IsActive = false;
    EXPECT_EQ(p.Translate('Z', ss_Ctrl), ccRestore);
    // TranslateUsing names the tables and their order, active or not.
    EXPECT_EQ(p.TranslateUsing({"WordStar", "Default"}, 'Z', ss_Ctrl), ccScrollDown);
    EXPECT_EQ(p.TranslateUsing({"Default"}, VK_F2, 0), ccNotCommand);
    EXPECT_EQ(p.TranslateUsing({"Grid"}, VK_F2, 0), ccTableEdit);
}

TEST(CommandProcessor, PeekLeavesTheStateAlone)
{
    TOvcCommandProcessor p;
    p.GetTable("WordStar")->IsActive = true;
    EXPECT_EQ(p.Peek('Q', ss_Ctrl), ccPartial);
    EXPECT_EQ(p.State(), 0);
    EXPECT_EQ(p.Translate('Q', ss_Ctrl), ccPartial);
    EXPECT_EQ(p.Peek('S', 0), ccHome);
    EXPECT_TRUE(p.SequencePending());
}

TEST(CommandProcessor, UserCommandsFrom256)
{
    TOvcCommandProcessor p;
    TOvcCommandTable* t = p.GetTable("Default");
    t->ExchangeCommand(t->IndexOf({VK_UP, 0, 0, 0, 0}), {VK_UP, 0, 0, 0, ccUser0});
    t->ExchangeCommand(t->IndexOf({VK_DOWN, 0, 0, 0, 0}), {VK_DOWN, 0, 0, 0, ccUser1});
    p.AddCommand("Default", {VK_F2, ss_Shift, 0, 0, 300});
    EXPECT_EQ(p.Translate(VK_UP, 0), 256);
    EXPECT_EQ(p.Translate(VK_DOWN, 0), 257);
    EXPECT_EQ(p.Translate(VK_F2, ss_Shift), 300);
}

TEST(CommandProcessor, AddCommandErrors)
{
    TOvcCommandProcessor p;
    try {
        p.AddCommand("Nothing", {'A', 0, 0, 0, 1});
        FAIL();
    } catch (const ETableNotFound& e) {
        EXPECT_STREQ(e.what(), "Command table not found or command table index out of range");
    }
    try {
        p.AddCommand("default", {VK_LEFT, 0, 0, 0, ccRight});
        FAIL();
    } catch (const EDuplicateCommand& e) {
        EXPECT_STREQ(e.what(), "Duplicate command found while adding a new command to the table");
    }
}

TEST(CommandProcessor, AddMakesNamesUnique)
{
    struct Case {
        const char* name;
        const char* result;
    };
    TOvcCommandProcessor p;
    auto add = [&](const char* name) {
        auto t = std::make_unique<TOvcCommandTable>();
        t->TableName = name;
        p.Add(std::move(t));
        return p.Table(p.GetCount() - 1)->TableName;
    };
    for (Case c : {Case{"Default", "Default1"}, Case{"Default", "Default2"}, Case{"Table", "Table"},
                   Case{"Table12", "Table1"}, Case{"Keys7", "Keys"}, Case{"7", "7"}})
        EXPECT_EQ(add(c.name), c.result) << c.name;
    EXPECT_EQ(TOvcCommandTable().TableName, "(Unknown)");
}

TEST(CommandTableFile, SaveAndLoadGiveTheSameTable)
{
    test::TempDir dir;
    TOvcCommandProcessor p;
    p.AddCommand("WordStar", {VK_F2, ss_Alt | ss_Shift, 0, 0, 999});
    p.SaveCommandTable("WordStar", dir.file("ws.tbl"));
    std::string text = test::ReadAll(dir.file("ws.tbl"));
    // The name line, then right-aligned columns of 4, 4, 4, 4 and 6.
    EXPECT_EQ(text.substr(0, 10), "WordStar\r\n");
    EXPECT_EQ(text.substr(10, 24), "  83   4   0   0    46\r\n");
    EXPECT_NE(text.find("  81   4  83 128    42\r\n"), std::string::npos);

    TOvcCommandTable loaded;
    loaded.LoadFromFile(dir.file("ws.tbl"));
    EXPECT_EQ(loaded.TableName, "WordStar");
    EXPECT_EQ(loaded.Entries(), p.GetTable("WordStar")->Entries());

    // Loading into the processor adds it under a free name.
    p.LoadCommandTable(dir.file("ws.tbl"));
    EXPECT_EQ(p.Table(3)->TableName, "WordStar1");
    EXPECT_EQ(p.Table(3)->GetCount(), 41);
    p.SaveCommandTable("NoSuchTable", dir.file("none.tbl"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.tbl")));
}

TEST(CommandTableFile, BadFilesAreRefused)
{
    test::TempDir dir;
    TOvcCommandTable t;
    t.AddCommandRec({'A', 0, 0, 0, 1});
    EXPECT_THROW(t.LoadFromFile(dir.file("missing.tbl")), std::runtime_error);
    test::WriteAll(dir.file("bad.tbl"), "Mine\r\n 65 0 0 0 1\r\n 300 0 0 0 1\r\n");
    EXPECT_THROW(t.LoadFromFile(dir.file("bad.tbl")), ECmdProcessorError);
    test::WriteAll(dir.file("short.tbl"), "Mine\r\n 65 0 0\r\n");
    EXPECT_THROW(t.LoadFromFile(dir.file("short.tbl")), ECmdProcessorError);
    EXPECT_EQ(t.GetCount(), 1);  // left as it was
    test::WriteAll(dir.file("ok.tbl"), "Mine\n 65 0 0 0 1\n\n 66 4 0 0 2\n");
    t.LoadFromFile(dir.file("ok.tbl"));
    EXPECT_EQ(t.TableName, "Mine");
    EXPECT_EQ(t.GetCount(), 2);
}

TEST(CommandTableStream, StandardTablesKeepOnlyTheirDifferences)
{
    TOvcCommandProcessor p;
    TOvcCommandTable* t = p.GetTable("Default");
    uint32_t ctrlZ = TOvcCmdRec{'Z', ss_Ctrl, 0, 0, 0}.Keys();
    uint32_t up = TOvcCmdRec{VK_UP, 0, 0, 0, 0}.Keys();
    t->DeleteCommand(t->IndexOf({'Z', ss_Ctrl, 0, 0, 0}));
    t->ExchangeCommand(t->IndexOf({VK_UP, 0, 0, 0, 0}), {VK_UP, 0, 0, 0, ccUser0});
    TOvcCommandTableStream s = t->WriteStream();
    std::vector<std::pair<uint32_t, uint16_t>> want = {{ctrlZ, 0}, {up, 256}};
    EXPECT_EQ(s.Pairs, want);
    EXPECT_EQ(ctrlZ, 0x0000045Au);  // Key1 in the low byte

    // An unchanged standard table streams no pairs; a table of another name streams all.
    EXPECT_TRUE(p.GetTable("Grid")->WriteStream().Pairs.empty());
    TOvcCommandTable own;
    own.TableName = "Mine";
    own.AddCommandRec({'A', ss_Ctrl, 0, 0, 260});
    EXPECT_EQ(own.WriteStream().Pairs.size(), 1u);

    // Reading applies the pairs to the built-in entries.
    auto all = p.WriteStream();
    all[1].IsActive = true;
    all[1].TableName = "wordstar";  // names compare ignoring case
    all[1].Pairs.push_back({TOvcCmdRec{'N', ss_Ctrl, 0, 0, 0}.Keys(), 301});
    TOvcCommandProcessor q;
    q.ReadStream(all);
    ASSERT_EQ(q.GetCount(), 3);
    EXPECT_EQ(q.GetTable("Default")->Entries(), t->Entries());
    EXPECT_EQ(q.GetTable("WordStar")->GetCount(), 41);
    EXPECT_TRUE(q.GetTable("WordStar")->IsActive);
    EXPECT_EQ(q.Translate('N', ss_Ctrl), 301);
    EXPECT_EQ(q.Translate(VK_UP, 0), ccUser0);
    EXPECT_EQ(q.Translate('Z', ss_Ctrl), ccScrollDown);  // Default lost Ctrl+Z; WordStar has it
}

TEST(CommandTableFile, FailedSaveLeavesTheOldFile)
{
    test::TempDir dir;
    TOvcCommandProcessor p;
    EXPECT_THROW(p.SaveCommandTable("Grid", dir.file("no/such/folder/grid.tbl")), std::runtime_error);
    test::WriteAll(dir.file("grid.tbl"), "old");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::access(dir.path().c_str(), W_OK) == 0)
        GTEST_SKIP() << "running with permission to write anywhere";
    EXPECT_THROW(p.SaveCommandTable("Grid", dir.file("grid.tbl")), std::runtime_error);
    EXPECT_EQ(test::ReadAll(dir.file("grid.tbl")), "old");
}
