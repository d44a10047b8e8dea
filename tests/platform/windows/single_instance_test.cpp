#include "platform/windows/single_instance.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_support.h"

using korval::TSingleInstance;

TEST(SingleInstance, SecondStartFailsAndWakesTheFirst)
{
    korval::test::TempDir dir;
    TSingleInstance first(QString::fromStdString(dir.path()));
    ASSERT_TRUE(first.TryAcquire());
    QSignalSpy woken(&first, &TSingleInstance::activateRequested);

    TSingleInstance second(QString::fromStdString(dir.path()));
    EXPECT_FALSE(second.TryAcquire());
    EXPECT_TRUE(second.lockUsable());
    // The first instance answers from its event loop, so the signal is sent from a child process
    // while this one keeps processing events.
    pid_t child = fork();
    if (child == 0) {
        TSingleInstance s(QString::fromStdString(dir.path()));
        _exit(s.TryAcquire() ? 3 : (s.SignalFirst(3000) ? 0 : 4));
    }
    EXPECT_TRUE(woken.wait(5000));
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SingleInstance, TerminatingInstanceIgnoresTheWakeUp)
{
    korval::test::TempDir dir;
    TSingleInstance first(QString::fromStdString(dir.path()));
    ASSERT_TRUE(first.TryAcquire());
    first.setTerminating(true);
    QSignalSpy woken(&first, &TSingleInstance::activateRequested);
    pid_t child = fork();
    if (child == 0) {
        TSingleInstance s(QString::fromStdString(dir.path()));
        _exit(s.SignalFirst(3000) ? 0 : 4);
    }
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0)
        QTest::qWait(20);
    QTest::qWait(100);
    EXPECT_EQ(woken.count(), 0);
}

TEST(SingleInstance, LockOfACrashedRunIsTakenOver)
{
    korval::test::TempDir dir;
    // A child takes the lock and dies without releasing it, as a killed run would.
    pid_t child = fork();
    if (child == 0) {
        QLockFile lock(QString::fromStdString(dir.file("KORVAL.LCK")));
        _exit(lock.tryLock(0) ? (kill(getpid(), SIGKILL), 0) : 5);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_TRUE(QFile::exists(QString::fromStdString(dir.file("KORVAL.LCK"))));

    TSingleInstance next(QString::fromStdString(dir.path()));
    EXPECT_TRUE(next.TryAcquire());
}

TEST(SingleInstance, ReleasedLockCanBeTakenAgainAndQuickStartsCannotBothWin)
{
    korval::test::TempDir dir;
    {
        TSingleInstance a(QString::fromStdString(dir.path()));
        ASSERT_TRUE(a.TryAcquire());
    }
    // Several processes racing for the lock: exactly one wins. The winner holds the lock until
    // every process has tried, however slowly the machine schedules them.
    const int n = 6;
    int startPipe[2], triedPipe[2], releasePipe[2];
    ASSERT_EQ(pipe(startPipe), 0);
    ASSERT_EQ(pipe(triedPipe), 0);
    ASSERT_EQ(pipe(releasePipe), 0);
    std::vector<pid_t> kids;
    for (int i = 0; i < n; ++i) {
        pid_t p = fork();
        if (p == 0) {
            close(startPipe[1]);
            close(triedPipe[0]);
            close(releasePipe[1]);
            char c;
            (void)!read(startPipe[0], &c, 1); // start together
            QLockFile lock(QString::fromStdString(dir.file("KORVAL.LCK")));
            lock.setStaleLockTime(0);
            bool won = lock.tryLock(0);
            (void)!write(triedPipe[1], "t", 1);
            (void)!read(releasePipe[0], &c, 1); // hold it until all have tried
            _exit(won ? 0 : 1);
        }
        kids.push_back(p);
    }
    close(startPipe[0]);
    close(triedPipe[1]);
    close(releasePipe[0]);
    close(startPipe[1]); // releases all children at once
    for (int tried = 0; tried < n;) {
        char c;
        if (read(triedPipe[0], &c, 1) != 1)
            break;
        ++tried;
    }
    close(releasePipe[1]);
    close(triedPipe[0]);
    int winners = 0;
    for (pid_t p : kids) {
        int status = 0;
        waitpid(p, &status, 0);
        winners += WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    EXPECT_EQ(winners, 1);
}

TEST(SingleInstance, UnusableFolderIsReportedSoTheProgramCanRunUnguarded)
{
    TSingleInstance g(QStringLiteral("/proc/korval-cannot-exist"));
    EXPECT_FALSE(g.TryAcquire());
    EXPECT_FALSE(g.lockUsable());
}
