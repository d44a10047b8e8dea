// A process killed while it saves must leave the previous files whole, and the next start must
// find them readable.
#include "logbook/country_db.h"
#include "logbook/log_file.h"
#include "logbook/paths.h"
#include "logbook/qso_data.h"
#include "platform/message_dlg.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_support.h"

using namespace korval;
namespace fs = std::filesystem;

namespace {

TQsoRecord* MakeQso(int i)
{
    auto* r = new TQsoRecord;
    r->Call.assign(i % 3 ? "DL1ABC" : "VK2XYZ");
    r->Date = static_cast<std::uint16_t>(40000 + i / 86400);
    r->Time = i % 86400;
    r->Band = static_cast<std::uint8_t>(1 + i % 15);
    r->Mode = static_cast<std::uint8_t>(1 + i % 8);
    return r;
}

void FillLog(TQsoData& log, int n)
{
    log.BeginBulk(false, static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        log.BulkAdd(MakeQso(i));
    log.EndBulk(true);
}

// Runs work in a child that reports "ready" through a pipe just before the write starts; the
// child is killed delayMs after that. Returns true when the kill, not the child, ended it.
template <typename Prepare, typename Write>
bool KillWhileWriting(Prepare prepare, Write write, int delayMs)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        ScopedMessageRecorder quiet;
        prepare();
        (void)!::write(fds[1], "r", 1);
        write();
        _exit(0);
    }
    close(fds[1]);
    char c;
    bool ready = ::read(fds[0], &c, 1) == 1;
    close(fds[0]);
    if (ready)
        usleep(static_cast<useconds_t>(delayMs) * 1000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status);
}

} // namespace

TEST(CrashSafety, KillDuringAMillionQsoSaveLeavesThePreviousLog)
{
    test::TempDir home;
    test::ScopedHome scoped(home.path());
    fs::create_directories(home.file("SAVE"));
    const std::string logName = home.file("SAVE/BIG.KVL");
    {
        TQsoData small(logName);
        FillLog(small, 10);
        ASSERT_TRUE(WriteLogFile(small, true));
    }
    const std::string before = test::ReadAll(logName);
    int killedMidWrite = 0;
    for (int delay : {0, 30, 150}) {
        TQsoData* big = nullptr;
        bool killed = KillWhileWriting(
            [&] {
                big = new TQsoData(logName);
                FillLog(*big, 1000000);
            },
            [&] { WriteLogFile(*big, true); }, delay);
        killedMidWrite += killed;
        // Whether the kill came before, during or (unlikely) after the write, the file is whole.
        std::string now = test::ReadAll(logName);
        if (now == before) {
            TQsoData check(logName);
            ScopedMessageRecorder rec;
            EXPECT_TRUE(LoadLogFileInto(check, logName, true, 3));
            EXPECT_EQ(check.Count(), 10);
        } else {
            TQsoData check(logName);
            ScopedMessageRecorder rec;
            EXPECT_TRUE(LoadLogFileInto(check, logName, true, 3)) << "a new file must be complete";
            EXPECT_EQ(check.Count(), 1000000);
        }
    }
    EXPECT_GT(killedMidWrite, 0);
}

TEST(CrashSafety, KillDuringACountrySaveLeavesALoadableCountryFile)
{
    test::TempDir home;
    test::ScopedHome scoped(home.path());
    fs::create_directories(home.file("SAVE"));
    const std::string cty = home.file("SAVE/KORVAL.CTY");
    test::WriteAll(cty, test::ReadAll(KORVAL_SOURCE_DIR "/data/SAVE/KORVAL.CTY"));
    ASSERT_TRUE(CountryFileLoads(cty));
    const std::string before = test::ReadAll(cty);
    for (int delay : {0, 2, 10, 40}) {
        KillWhileWriting([] { LoadCountryFile(true); },
                         [] {
                             for (;;)
                                 SaveCountryFile(true);
                         },
                         delay);
        EXPECT_TRUE(CountryFileLoads(cty)) << "killed after " << delay << " ms";
        EXPECT_EQ(test::ReadAll(cty), before);
    }
}
