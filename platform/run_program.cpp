#include "platform/run_program.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace korval {

namespace {

// Waits for the child until the deadline; true when it ended (status filled in).
bool WaitUntil(pid_t pid, int& status, std::chrono::steady_clock::time_point deadline)
{
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return true;
        if (r < 0 && errno != EINTR)
            return true;  // nothing left to wait for
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(pause);
        if (pause < std::chrono::milliseconds(20))
            pause *= 2;
    }
}

} // namespace

TExecuteResult ExecuteAndWait(const std::string& program, const std::vector<std::string>& args, int timeoutMs,
                              const std::string& stdoutFile, const std::string& workingDir)
{
    TExecuteResult result;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, stdoutFile.empty() ? "/dev/null" : stdoutFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (!workingDir.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());

    pid_t pid = 0;
    const int rc = program.find('/') == std::string::npos
                       ? posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ)
                       : posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        result.Error = "Cannot start " + program + ": " + std::strerror(rc);
        return result;
    }
    result.Started = true;

    // A limit is always kept: an outside program that hangs must not freeze the program.
    const int limit = timeoutMs > 0 ? timeoutMs : DefaultExecuteTimeoutMs;
    int status = 0;
    if (!WaitUntil(pid, status, std::chrono::steady_clock::now() + std::chrono::milliseconds(limit))) {
        kill(pid, SIGKILL);
        WaitUntil(pid, status, std::chrono::steady_clock::now() + std::chrono::seconds(5));
        result.TimedOut = true;
        result.Error = program + " did not finish within " + std::to_string((limit + 999) / 1000) +
                       " seconds and was stopped";
        return result;
    }
    if (!WIFEXITED(status)) {
        result.Error = program + " ended abnormally";
        return result;
    }
    result.ExitCode = WEXITSTATUS(status);
    return result;
}

std::string GetCommandInterpreter()
{
    if (const char* comspec = std::getenv("COMSPEC"); comspec && *comspec)
        return comspec;
    return "/bin/sh";
}

} // namespace korval
