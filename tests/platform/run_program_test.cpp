#include "platform/run_program.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "test_support.h"

using namespace korval;

TEST(ExecuteAndWait, RunsWithArgumentsAndExitCode)
{
    test::TempDir dir;
    const std::string out = dir.file("manager.res");
    // the argument reaches the program as one argument, untouched by any shell
    TExecuteResult r = ExecuteAndWait("/bin/sh", {"-c", "printf '%s' \"$1\"; exit 3", "sh", "a b;$X"}, 10000, out);
    EXPECT_TRUE(r.Started);
    EXPECT_FALSE(r.TimedOut);
    EXPECT_TRUE(r.Finished());
    EXPECT_EQ(r.ExitCode, 3);
    EXPECT_EQ(test::ReadAll(out), "a b;$X");
}

TEST(ExecuteAndWait, MissingProgramIsNotStarted)
{
    TExecuteResult r = ExecuteAndWait("/nonexistent/program", {}, 5000);
    EXPECT_FALSE(r.Started);
    EXPECT_FALSE(r.Error.empty());
}

TEST(ExecuteAndWait, HangingProgramIsStoppedAtTheLimit)
{
    auto start = std::chrono::steady_clock::now();
    TExecuteResult r = ExecuteAndWait("/bin/sleep", {"30"}, 300);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(r.Started);
    EXPECT_TRUE(r.TimedOut);
    EXPECT_FALSE(r.Finished());
    EXPECT_NE(r.Error.find("did not finish"), std::string::npos);
    EXPECT_LT(took, std::chrono::seconds(20));
}

TEST(ExecuteAndWait, CommandInterpreterIsComspecOrSh)
{
    const char* old = std::getenv("COMSPEC");
    std::string keep = old ? old : "";
    unsetenv("COMSPEC");
    EXPECT_EQ(GetCommandInterpreter(), "/bin/sh");
    setenv("COMSPEC", "/bin/bash", 1);
    EXPECT_EQ(GetCommandInterpreter(), "/bin/bash");
    if (old)
        setenv("COMSPEC", keep.c_str(), 1);
    else
        unsetenv("COMSPEC");
}
