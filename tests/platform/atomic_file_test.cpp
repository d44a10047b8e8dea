#include "platform/atomic_file.h"
#include "test_support.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <gtest/gtest.h>

using korval::test::ReadAll;
using korval::test::TempDir;
using korval::test::WriteAll;

TEST(AtomicFile, BackupNames)
{
    EXPECT_EQ(korval::BackupFileName("/a/SAVE/KORVAL.CTY"), "/a/SAVE/KORVAL.~TY");
    EXPECT_EQ(korval::BackupFileName("LOG.KVL"), "LOG.~VL");
    EXPECT_EQ(korval::BackupFileName("/a/README"), "");
    EXPECT_EQ(korval::BackupFileName("/a/LOG.KV"), "");
    EXPECT_EQ(korval::BackupFileName("/a/.KVL"), "");  // the dot is the name's first character
    EXPECT_EQ(korval::BackupFileName("/a.b/cde"), "");
}

TEST(AtomicFile, ReplacesAndKeepsBackup)
{
    TempDir dir;
    const std::string f = dir.file("LOG.KVL");
    WriteAll(f, "old");
    korval::WriteFileAtomically(f, "new", true);
    EXPECT_EQ(ReadAll(f), "new");
    EXPECT_EQ(ReadAll(dir.file("LOG.~VL")), "old");
    korval::WriteFileAtomically(f, "newer", false);
    EXPECT_EQ(ReadAll(dir.file("LOG.~VL")), "old");
    EXPECT_EQ(ReadAll(f), "newer");
}

TEST(AtomicFile, FailureLeavesOldFileAndNoTemporaries)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    const std::string f = dir.file("LOG.KVL");
    WriteAll(f, "old");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(korval::WriteFileAtomically(f, "new", true), korval::EFileWriteError);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadAll(f), "old");
}

TEST(AtomicFile, AbandonedWriteLeavesOldFile)
{
    TempDir dir;
    const std::string f = dir.file("LOG.KVL");
    WriteAll(f, "old");
    {
        korval::AtomicFile file(f, true);
        file.write("partial");
    }
    EXPECT_EQ(ReadAll(f), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(AtomicFile, WriteFailingMidwayLeavesOldFile)
{
    // A file-size limit makes the write fail part way, whoever runs the test.
    TempDir dir;
    const std::string f = dir.file("LOG.KVL");
    WriteAll(f, "old");
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string big(100000, 'x');
    bool threw = false;
    try {
        korval::WriteFileAtomically(f, big, true);
    } catch (const korval::EFileWriteError&) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(threw);
    EXPECT_EQ(ReadAll(f), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}
