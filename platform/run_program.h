#pragma once
// Running an outside program: an argument list (never a shell string) and a time limit, so a
// program that hangs cannot freeze Korval.
#include <string>
#include <vector>

namespace korval {

inline constexpr int DefaultExecuteTimeoutMs = 120000;

struct TExecuteResult {
    bool Started = false;   // the program could be started
    bool TimedOut = false;  // it did not end within the time limit and was stopped
    int ExitCode = -1;      // valid when it started and did not time out
    std::string Error;      // what went wrong, for the operator; empty on success
    // Started and ended by itself (whatever its exit code).
    bool Finished() const { return Started && !TimedOut; }
};

// Runs a program with an argument list (no shell in between) and waits at most timeoutMs for it
// to end; a program still running then is killed and reported as timed out. With stdoutFile,
// the program's standard output goes to that file; workingDir empty = the current folder.
// A program name without a '/' is looked up on the PATH.
TExecuteResult ExecuteAndWait(const std::string& program, const std::vector<std::string>& args,
                              int timeoutMs = DefaultExecuteTimeoutMs, const std::string& stdoutFile = {},
                              const std::string& workingDir = {});

// $COMSPEC when set, else /bin/sh.
std::string GetCommandInterpreter();

} // namespace korval
