#include "logbook/base/ini_file.h"

#include "platform/atomic_file.h"
#include "platform/message_dlg.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace korval;
using korval::test::ReadAll;
using korval::test::TempDir;
using korval::test::WriteAll;

TEST(IniFile, ReadsTheWholeFileAndWritesSectionsSortedWithKeysInTheirOrder)
{
    TempDir dir;
    std::string path = dir.file("KORVAL.REP");
    WriteAll(path,
             "stray=ignored before any section\r\n"
             "[Zeta]\r\n"
             "b=2\r\n"
             "a=1\r\n"
             "\r\n"
             "[alpha]\n"
             "Key=first\n"
             "flag\n"
             "[ZETA]\n"
             "c=3\n"
             "B=22\n"
             "[Mid]\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"alpha", "Mid", "Zeta"}));
    EXPECT_EQ(ini.KeyNames("zeta"), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(ini.ReadString("ZETA", "b", "?"), "22") << "a key seen twice keeps the last value";
    EXPECT_EQ(ini.ReadString("alpha", "FLAG", "?"), "");
    EXPECT_EQ(ini.ReadString("alpha", "missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("nowhere", "Key", "dflt"), "dflt");
    EXPECT_TRUE(ini.SectionExists("MID"));
    EXPECT_FALSE(ini.SectionExists("stray"));
    EXPECT_FALSE(ini.Modified());

    ini.WriteString("Zeta", "a", "1");  // the value it already has
    EXPECT_FALSE(ini.Modified());
    ini.WriteString("zeta", "new", "x");
    ini.WriteString("Beta", "k", "v");
    ini.WriteInteger("alpha", "Key", -7);
    EXPECT_TRUE(ini.Modified());
    ini.UpdateFile();
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ReadAll(path),
              "[alpha]\r\nKey=-7\r\nflag=\r\n"
              "\r\n[Beta]\r\nk=v\r\n"
              "\r\n[Mid]\r\n"
              "\r\n[Zeta]\r\nb=22\r\na=1\r\nc=3\r\nnew=x\r\n");
}

TEST(IniFile, WritesBackOnlyWhenChanged)
{
    TempDir dir;
    std::string path = dir.file("NEW.INI");
    { TIniFile ini(path); }
    EXPECT_FALSE(std::filesystem::exists(path)) << "a missing file stays missing without writes";
    {
        TIniFile ini(path);
        ini.WriteBool("S", "On", true);
    }
    EXPECT_EQ(ReadAll(path), "[S]\r\nOn=1\r\n");
    WriteAll(path, "[S]\nOn=1\n");  // a form this class would not write
    {
        TIniFile ini(path);
        ini.WriteBool("s", "ON", true);
    }
    EXPECT_EQ(ReadAll(path), "[S]\nOn=1\n");
}

TEST(IniFile, WrittenAnewThroughAPreparedRewrite)
{
    TempDir dir;
    std::string path = dir.file("KORVAL.REP");
    WriteAll(path, "[Old]\nk=1\n");
    {
        TIniFile ini(path, false);
        EXPECT_FALSE(ini.SectionExists("Old"));
        ini.WriteString("New", "k", "2");
        ini.UpdateFile(std::make_unique<AtomicFile>(path, true));
        EXPECT_FALSE(ini.Modified());
    }
    EXPECT_EQ(ReadAll(path), "[New]\r\nk=2\r\n");
    EXPECT_EQ(ReadAll(dir.file("KORVAL.~EP")), "[Old]\nk=1\n");
}

TEST(IniFile, ValuesAreCutTo255Characters)
{
    TempDir dir;
    std::string path = dir.file("LONG.INI");
    WriteAll(path, "[S]\nread=" + std::string(300, 'r') + "\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "read", ""), std::string(255, 'r'));
    ini.WriteString("S", "written", std::string(256, 'w'));
    EXPECT_EQ(ini.ReadString("S", "written", ""), std::string(255, 'w'));
}

TEST(IniFile, NumbersFallBackToTheDefault)
{
    TempDir dir;
    std::string path = dir.file("NUM.INI");
    WriteAll(path, "[N]\na=12\nb= 12\nc=-5\nd=$1F\ne=12a\nf=\ng=0x10\nh=99999999999\n"
                   "p=1.5\nq= 1.50000000000000E+0000\nr=abc\ns=\nt=-2.5e-3\n");
    TIniFile ini(path);
    struct I { const char* key; std::int32_t want; };
    for (const I& c : {I{"a", 12}, I{"b", 12}, I{"c", -5}, I{"d", 31}, I{"e", 77}, I{"f", 77}, I{"g", 16},
                       I{"h", 77}, I{"zz", 77}})
        EXPECT_EQ(ini.ReadInteger("N", c.key, 77), c.want) << c.key;
    EXPECT_TRUE(ini.ReadBool("N", "a", false));
    EXPECT_FALSE(ini.ReadBool("N", "zz", false));
    EXPECT_TRUE(ini.ReadBool("N", "e", true));
    struct F { const char* key; double want; };
    for (const F& c : {F{"p", 1.5}, F{"q", 1.5}, F{"r", 9.0}, F{"s", 9.0}, F{"t", -0.0025}, F{"zz", 9.0}})
        EXPECT_DOUBLE_EQ(ini.ReadFloat("N", c.key, 9.0), c.want) << c.key;

    ini.WriteFloat("W", "x", 1.5);
    ini.WriteFloat("W", "y", -0.001);
    ini.WriteFloat("W", "z", 0.0);
    EXPECT_EQ(ini.ReadString("W", "x", ""), " 1.50000000000000E+0000");
    EXPECT_EQ(ini.ReadString("W", "y", ""), "-1.00000000000000E-0003");
    EXPECT_EQ(ini.ReadString("W", "z", ""), " 0.00000000000000E+0000");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("W", "y", 0), -0.001);
}

TEST(IniFile, AFailedSaveIsReportedNotSwallowed)
{
    TempDir dir;
    std::string path = dir.file("NOFOLDER/X.INI");
    {
        TIniFile ini(path);
        ini.WriteString("S", "k", "v");
        EXPECT_THROW(ini.UpdateFile(), EFileWriteError);
        EXPECT_TRUE(ini.Modified());
        ScopedMessageRecorder recorder;
        {
            TIniFile other(path);
            other.WriteString("S", "k", "v");
        }
        ASSERT_EQ(recorder.messages().size(), 1u);
        EXPECT_EQ(recorder.messages()[0].kind, TMsgDlgType::mtError);
        EXPECT_NE(recorder.messages()[0].text.find("X.INI"), std::string::npos);
        ini.WriteString("S", "k", "v");
        std::filesystem::create_directory(dir.file("NOFOLDER"));
    }  // the folder exists now: the pending change is written on destruction
    EXPECT_EQ(ReadAll(path), "[S]\r\nk=v\r\n");
}
