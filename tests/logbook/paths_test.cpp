#include "logbook/config_record.h"
#include "logbook/paths.h"
#include "test_support.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <gtest/gtest.h>

using namespace korval;
using korval::test::ReadAll;
using korval::test::ScopedHome;
using korval::test::TempDir;
using korval::test::WriteAll;

namespace {
// Restores the live configuration after a test changes it.
struct ConfigGuard {
    TConfigRecord saved = Config;
    ~ConfigGuard() { Config = saved; }
};
} // namespace

TEST(Paths, NamesUnderTheHome)
{
    TempDir dir;
    ScopedHome home(dir.path());
    const std::string h = dir.path();
    EXPECT_EQ(GetProgramDir(), h);
    EXPECT_EQ(GetSaveDir(), h + "/SAVE");
    const char* ext[13] = {"KVL", "CTY", "CFG", "PUT", "IEP", "REP", "CAL", "LAB", "INI", "TCP", "AWD", "WPX", "ANT"};
    for (int i = 0; i < DataFileCount; ++i)
        EXPECT_EQ(GetDataFileName(i), h + "/SAVE/KORVAL." + ext[i]) << i;
    const char* pext[4] = {"KVB", "CTB", "$$$", "MAS"};
    for (int i = 0; i < ProgramDirFileCount; ++i)
        EXPECT_EQ(GetProgramDirFileName(i), h + "/KORVAL." + pext[i]) << i;
    EXPECT_THROW(GetDataFileName(13), std::out_of_range);
    EXPECT_THROW(GetProgramDirFileName(-1), std::out_of_range);
    EXPECT_EQ(GetImportProfileName("ADIF1"), h + "/IMPORT/ADIF1.PMP");
    EXPECT_EQ(GetRigFileName("FT-1000"), h + "/RADIOS/FT-1000.rig");
    EXPECT_EQ(GetExtDataDir(), h + "/EXTDATA");
}

TEST(Paths, ExistingFoldersAndFilesAreFoundWhateverTheirCase)
{
    TempDir dir;
    ScopedHome home(dir.path());
    std::filesystem::create_directory(dir.file("save"));
    WriteAll(dir.file("save/korval.cty"), "x");
    EXPECT_EQ(GetDataFileName(dfCountry), dir.path() + "/save/korval.cty");
    EXPECT_EQ(GetDataFileName(dfConfig), dir.path() + "/save/KORVAL.CFG");
}

TEST(Paths, RootHomeGivesNoDoubledSlash)
{
    ScopedHome home("/");
    EXPECT_EQ(GetSaveDir(), "/SAVE");
    EXPECT_EQ(GetProgramDirFileName(pfLogBackup), "/KORVAL.KVB");
}

TEST(PrepareFileRewrite, KeepsTheOldFileAsTildeCopyWhenAsked)
{
    ConfigGuard guard;
    TempDir dir;
    const std::string f = dir.file("KORVAL.CTY");
    WriteAll(f, "old");
    Config.SetKeepBackup(true);
    {
        auto file = PrepareFileRewrite(f);
        // nothing is removed or replaced before the new contents are complete
        EXPECT_EQ(ReadAll(f), "old");
        file->write("new");
        EXPECT_EQ(ReadAll(f), "old");
        file->commit();
    }
    EXPECT_EQ(ReadAll(f), "new");
    EXPECT_EQ(ReadAll(dir.file("KORVAL.~TY")), "old");

    Config.SetKeepBackup(false);
    RewriteDataFile(f, "newer");
    EXPECT_EQ(ReadAll(f), "newer");
    EXPECT_EQ(ReadAll(dir.file("KORVAL.~TY")), "old");
}

TEST(PrepareFileRewrite, NameWithoutThreeLetterExtensionGetsNoBackup)
{
    ConfigGuard guard;
    TempDir dir;
    Config.SetKeepBackup(true);
    const std::string f = dir.file("LOG.KV");
    WriteAll(f, "old");
    RewriteDataFile(f, "new");
    EXPECT_EQ(ReadAll(f), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(PrepareFileRewrite, CreatesTheMissingFolder)
{
    TempDir dir;
    const std::string f = dir.file("SAVE/KORVAL.WPX");
    RewriteDataFile(f, "abc");
    EXPECT_EQ(ReadAll(f), "abc");
}

TEST(PrepareFileRewrite, WriteFailingMidwayLeavesOldFileAndReports)
{
    ConfigGuard guard;
    Config.SetKeepBackup(true);
    TempDir dir;
    const std::string f = dir.file("KORVAL.KVL");
    WriteAll(f, "old");
    // A file-size limit makes the write fail part way, whoever runs the test.
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    bool threw = false;
    try {
        RewriteDataFile(f, std::string(100000, 'x'));
    } catch (const EFileWriteError&) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(threw);
    EXPECT_EQ(ReadAll(f), "old");
    EXPECT_FALSE(std::filesystem::exists(dir.file("KORVAL.~VL")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(PrepareFileRewrite, UnwritableFolderIsReported)
{
    TempDir dir;
    const std::string blocker = dir.file("SAVE");
    WriteAll(blocker, "a file where the folder should be");
    EXPECT_THROW(RewriteDataFile(blocker + "/KORVAL.CFG", "x"), EFileWriteError);
    EXPECT_EQ(ReadAll(blocker), "a file where the folder should be");
}

