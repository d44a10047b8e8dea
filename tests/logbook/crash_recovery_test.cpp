#include "logbook/crash_recovery.h"
#include "platform/message_dlg.h"

#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_support.h"

using namespace korval;
namespace fs = std::filesystem;

namespace {
struct RecoveryFixture : ::testing::Test {
    test::TempDir home;
    TCrashRecoveryFiles files{home.file("KORVAL.KVB"), home.file("KORVAL.CTB"), home.file("SAVE/KORVAL.CTY")};
    std::deque<std::optional<std::string>> names;
    int reloads = 0;
    bool countryLoads = true;
    std::vector<std::string> tested;
    TCrashRecoveryEnv env{
        [this]() -> std::optional<std::string> {
            if (names.empty())
                return std::nullopt;
            auto n = names.front();
            names.pop_front();
            return n;
        },
        [this](const std::string& f) { tested.push_back(f); return countryLoads; },
        [this] { ++reloads; }};

    void SetUp() override
    {
        fs::create_directories(home.file("SAVE"));
        test::WriteAll(files.logBackup, "MERXLOGH backup");
        test::WriteAll(files.countryBackup, "CTYB backup");
        test::WriteAll(files.countryFile, "CTYB current");
    }
};
} // namespace

TEST_F(RecoveryFixture, NoBackupAsksNothing)
{
    fs::remove(files.logBackup);
    ScopedMessageRecorder rec;
    EXPECT_EQ(RecoverCrashBackup(files, env), TCrashRecoveryResult::NoBackup);
    EXPECT_TRUE(rec.texts().empty());
}

TEST_F(RecoveryFixture, DeclinedOrCancelledDeletesBothBackups)
{
    for (int answer : {int(mrNo), int(mrYes)}) {
        test::WriteAll(files.logBackup, "x");
        test::WriteAll(files.countryBackup, "y");
        ScopedMessageRecorder rec;
        rec.answer(answer); // Yes, then the dialog is cancelled (no names queued)
        auto r = RecoverCrashBackup(files, env);
        EXPECT_EQ(r, answer == mrNo ? TCrashRecoveryResult::Declined : TCrashRecoveryResult::Cancelled);
        ASSERT_EQ(rec.messages().size(), 1u);
        EXPECT_EQ(rec.messages()[0].text, kCrashBackupPrompt);
        EXPECT_EQ(rec.messages()[0].kind, TMsgDlgType::mtWarning);
        EXPECT_EQ(rec.messages()[0].buttons, unsigned(mbYes | mbNo));
        EXPECT_FALSE(fs::exists(files.logBackup));
        EXPECT_FALSE(fs::exists(files.countryBackup));
        EXPECT_EQ(test::ReadAll(files.countryFile), "CTYB current");
    }
}

TEST_F(RecoveryFixture, SavedUnderTheChosenNameReplacingAnOldFileAndTheCountryFile)
{
    std::string target = home.file("SAVE/NEW/RECOVER.KVL"); // folder is created
    names.push_back(target);
    ScopedMessageRecorder rec(mrYes);
    EXPECT_EQ(RecoverCrashBackup(files, env), TCrashRecoveryResult::Saved);
    EXPECT_EQ(test::ReadAll(target), "MERXLOGH backup");
    EXPECT_FALSE(fs::exists(files.logBackup));
    EXPECT_EQ(tested, std::vector<std::string>{files.countryBackup}); // load-tested before use
    EXPECT_EQ(test::ReadAll(files.countryFile), "CTYB backup");
    EXPECT_FALSE(fs::exists(files.countryBackup));
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(rec.texts().size(), 1u);

    // An existing file of the chosen name is replaced.
    test::WriteAll(files.logBackup, "second");
    names.push_back(target);
    ScopedMessageRecorder rec2(mrYes);
    EXPECT_EQ(RecoverCrashBackup(files, env), TCrashRecoveryResult::Saved);
    EXPECT_EQ(test::ReadAll(target), "second");
}

TEST_F(RecoveryFixture, DamagedCountryBackupNeverReplacesTheCountryFile)
{
    countryLoads = false;
    test::WriteAll(files.countryBackup, "CTY"); // truncated
    names.push_back(home.file("SAVE/R.KVL"));
    ScopedMessageRecorder rec(mrYes);
    EXPECT_EQ(RecoverCrashBackup(files, env), TCrashRecoveryResult::Saved);
    EXPECT_EQ(test::ReadAll(files.countryFile), "CTYB current");
    EXPECT_EQ(reloads, 0);
    ASSERT_EQ(rec.texts().size(), 2u);
    EXPECT_EQ(rec.texts()[1], kBadCountryBackupMessage);
}

TEST_F(RecoveryFixture, FailedRenameLosesNothingAndAsksAgain)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    // The chosen file sits in a folder the program may not write: the rename fails.
    fs::create_directories(home.file("RO"));
    std::string locked = home.file("RO/OLD.KVL");
    test::WriteAll(locked, "old log");
    chmod(home.file("RO").c_str(), 0555);
    names.push_back(locked);
    names.push_back(std::nullopt); // then the operator gives up
    ScopedMessageRecorder rec(mrYes);
    EXPECT_EQ(RecoverCrashBackup(files, env), TCrashRecoveryResult::Cancelled);
    chmod(home.file("RO").c_str(), 0755);
    EXPECT_EQ(rec.texts(), (std::vector<std::string>{kCrashBackupPrompt, kRenameProblemMessage}));
    EXPECT_EQ(rec.messages()[1].kind, TMsgDlgType::mtError);
    EXPECT_EQ(test::ReadAll(locked), "old log");          // the old file was not deleted first
    EXPECT_EQ(test::ReadAll(files.logBackup), "MERXLOGH backup"); // and the backup is still there
    EXPECT_TRUE(fs::exists(files.countryBackup));
}

TEST_F(RecoveryFixture, ChosenNameThatIsAFolderFailsWithoutHarm)
{
    names.push_back(home.file("SAVE"));
    names.push_back(home.file("SAVE/OK.KVL"));
    ScopedMessageRecorder rec(mrYes);
    EXPECT_EQ(RecoverCrashBackup(files, env), TCrashRecoveryResult::Saved);
    EXPECT_EQ(rec.texts()[1], kRenameProblemMessage);
    EXPECT_EQ(test::ReadAll(home.file("SAVE/OK.KVL")), "MERXLOGH backup");
    EXPECT_EQ(test::ReadAll(files.countryFile), "CTYB backup");
}
