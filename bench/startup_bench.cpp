// Start-up to the first idle time with a million-QSO log as the last log, against loading that
// log alone: in this process, and each in a fresh process started for it (this program again,
// running the program's start-up as its main() does, or only the load), so that the memory the
// system must hand out and clear first counts as it does for the operator. Also File > Exit with
// a small log to the end of the main window (its destroy handler saves the configuration), with
// the log unchanged and with one QSO to save.
// Run offscreen: QT_QPA_PLATFORM=offscreen build-bench/bench/startup_bench
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/main_form.h"
#include "app/startup.h"
#include "comms/windows/comms_ui_setup.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/log_file.h"
#include "logbook/qso_data.h"
#include "platform/message_dlg.h"
#include "platform/windows/korval_application.h"
#include "reporting/windows/qt_printer_system.h"

extern char** environ;

using namespace korval;
namespace fs = std::filesystem;

namespace {

std::string g_home;
std::string g_log;
std::string g_smallLog;

void CopyFile(const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
}

void PrepareHome()
{
    char tmpl[] = "/tmp/korval-bench-XXXXXX";
    g_home = mkdtemp(tmpl);
    setenv("KORVAL_HOME", g_home.c_str(), 1);
    fs::create_directories(g_home + "/SAVE");
    CopyFile(KORVAL_SOURCE_DIR "/data/SAVE/KORVAL.CTY", g_home + "/SAVE/KORVAL.CTY");
    g_log = g_home + "/SAVE/BIG.KVL";
    TQsoData log(g_log);
    const int n = 1000000;
    const char* calls[] = {"DL1ABC", "K1XYZ", "JA1AA", "VK2XYZ", "G3ABC", "PY2AA", "ZS6AB", "UA3AA"};
    log.BeginBulk(false, n);
    for (int i = 0; i < n; ++i) {
        auto* r = new TQsoRecord;
        r->Call.assign(calls[i % 8]);
        r->Date = static_cast<std::uint16_t>(40000 + i / 1000);
        r->Time = (i % 1000) * 60;
        r->Band = static_cast<std::uint8_t>(1 + i % 15);
        r->Mode = static_cast<std::uint8_t>(1 + i % 8);
        log.BulkAdd(r);
    }
    log.EndBulk(true);
    WriteLogFile(log, true);

    g_smallLog = g_home + "/SAVE/SMALL.KVL";
    TQsoData small(g_smallLog);
    for (int i = 0; i < 5; ++i) {
        auto* r = new TQsoRecord;
        r->Call.assign(calls[i]);
        r->Date = 45000;
        r->Time = i * 600;
        r->Band = 5;
        r->Mode = 1;
        small.InsertQso(r);
    }
    WriteLogFile(small, true);
}

void BM_LoadLogAlone(benchmark::State& state)
{
    ScopedMessageRecorder quiet;
    for (auto _ : state) {
        auto log = std::make_unique<TQsoData>(g_log);
        bool ok = LoadLogFileInto(*log, g_log, true, 3);
        if (!ok || log->Count() != 1000000)
            state.SkipWithError("the log did not load");
        state.PauseTiming();
        log.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadLogAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

// The main window with the log as its parameter (the configuration file that a main window
// saves names the last log of the run before), shown and run to its first idle time.
TMainForm* OpenToFirstIdle(const std::string& log)
{
    Config = TConfigRecord();
    Config.SetLastLogFile(log);
    TMainFormEnv env;
    env.params = {log};
    auto* form = new TMainForm(env);
    QEventLoop loop;
    QObject::connect(form, &TMainForm::firstIdleDone, &loop, &QEventLoop::quit);
    form->show();
    loop.exec();
    return form;
}

void BM_StartupToFirstIdle(benchmark::State& state)
{
    ScopedMessageRecorder quiet;
    for (auto _ : state) {
        TMainForm* form = OpenToFirstIdle(g_log);
        state.PauseTiming();
        if (!CurrentLog() || CurrentLog()->Count() != 1000000)
            state.SkipWithError("the log did not open");
        FreeCurrentLog();
        delete form;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstIdle)->Unit(benchmark::kMillisecond)->Iterations(3);

// From File > Exit to the main window gone, as the program ends after its event loop.
void ExitWithSmallLog(benchmark::State& state, bool changed)
{
    ScopedMessageRecorder quiet(mrYes);
    for (auto _ : state) {
        state.PauseTiming();
        TMainForm* form = OpenToFirstIdle(g_smallLog);
        if (!CurrentLog() || CurrentLog()->Count() != 5) {
            state.SkipWithError("the log did not open");
            delete form;
            return;
        }
        if (changed)
            CurrentLog()->SetModified();
        state.ResumeTiming();
        form->Exit1->trigger();
        const bool closed = !form->isVisible();
        delete form;
        if (!closed) {
            state.SkipWithError("Exit did not close the main window");
            return;
        }
    }
}
void BM_ExitUnchangedSmallLog(benchmark::State& state) { ExitWithSmallLog(state, false); }
void BM_ExitSavingSmallLog(benchmark::State& state) { ExitWithSmallLog(state, true); }
BENCHMARK(BM_ExitUnchangedSmallLog)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExitSavingSmallLog)->Unit(benchmark::kMillisecond)->Iterations(5);

// ---- fresh processes ----

std::int64_t Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

long StatusKb(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::strlen(key));
    return 0;
}

// The child's report on its standard output: one line.
void Report(const std::string& line)
{
    std::string l = line + "\n";
    if (::write(1, l.data(), l.size()) < 0)
        std::_Exit(2);
}

// The program as its main() starts it, with the log as its parameter; at the first idle time
// the child tells the time (the steady clock is the system's, the same in every process) and
// ends at once, without its shut-down.
int StartupChild(int argc, char** argv, const std::string& log)
{
    TKorvalApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korval"));
    class TFirstIdle : public QObject {
    public:
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::Show)
                if (auto* form = qobject_cast<TMainForm*>(o); form && !hooked_) {
                    hooked_ = true;
                    QObject::connect(form, &TMainForm::firstIdleDone, [] {
                        Report(std::to_string(Now()) + " " + std::to_string(CurrentLog() ? CurrentLog()->Count() : -1));
                        std::_Exit(0);
                    });
                }
            return false;
        }
        bool hooked_ = false;
    } firstIdle;
    app.installEventFilter(&firstIdle);
    TStartupOptions options;
    options.params = {log};
    options.shippedDataDir = KORVAL_SOURCE_DIR "/data";
    options.helpFile = KORVAL_SOURCE_DIR "/README.md";
    InstallReportPrinting();
    InstallComsUi();
    return RunKorval(options);
}

// The log load alone, after the country database, as the main window loads them.
int LoadChild(const std::string& log)
{
    ScopedMessageRecorder quiet;
    if (!LoadCountryFileFrom(g_home + "/SAVE/KORVAL.CTY", true))
        return 1;
    InstallCountryLookup();
    const long before = StatusKb("VmRSS:");
    const std::int64_t start = Now();
    auto data = std::make_unique<TQsoData>();
    if (!LoadLogFileInto(*data, log, true, 3))
        return 1;
    const std::int64_t end = Now();
    Report(std::to_string(end - start) + " " + std::to_string(data->Count()) + " " +
           std::to_string(StatusKb("VmHWM:") - before) + " " + std::to_string(end));
    std::_Exit(0);
}

std::string g_self;

// Runs this program as a child and returns the line it reports (empty when it reports none).
std::string RunChild(const char* mode, std::int64_t& started)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::string home = g_home, log = g_log;
    char* args[] = {g_self.data(), const_cast<char*>("--fresh-process"), const_cast<char*>(mode), home.data(),
                    log.data(), nullptr};
    pid_t pid = 0;
    started = Now();
    const int rc = posix_spawn(&pid, g_self.c_str(), &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    std::string out;
    if (rc == 0) {
        char buf[256];
        ssize_t got;
        while ((got = ::read(fds[0], buf, sizeof buf)) > 0)
            out.append(buf, static_cast<std::size_t>(got));
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    ::close(fds[0]);
    return out;
}

double g_freshLoadSeconds = 0;
double g_freshLoadProcessSeconds = 0;

// The load itself is the time; "process" is the time from starting the process to the log
// loaded, as a program that only loads the log would take (its start, the country database,
// the log).
void BM_FreshProcessLoadAlone(benchmark::State& state)
{
    std::int64_t warm = 0;
    RunChild("load", warm);  // the log file into the system's cache
    double total = 0, totalProcess = 0, peak = 0;
    for (auto _ : state) {
        std::int64_t started = 0;
        long long ns = 0, count = 0, kb = 0, at = 0;
        if (std::sscanf(RunChild("load", started).c_str(), "%lld %lld %lld %lld", &ns, &count, &kb, &at) != 4 ||
            count != 1000000) {
            state.SkipWithError("the child did not load the log");
            return;
        }
        state.SetIterationTime(static_cast<double>(ns) / 1e9);
        total += static_cast<double>(ns) / 1e9;
        totalProcess += static_cast<double>(at - started) / 1e9;
        peak = static_cast<double>(kb) * 1024.0 / 1e6;
    }
    g_freshLoadSeconds = total / static_cast<double>(state.iterations());
    g_freshLoadProcessSeconds = totalProcess / static_cast<double>(state.iterations());
    state.counters["peak B/QSO"] = peak;
    state.counters["process ms"] = g_freshLoadProcessSeconds * 1e3;
}
BENCHMARK(BM_FreshProcessLoadAlone)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

// From starting the process to its first idle time.
void BM_FreshProcessStartupToFirstIdle(benchmark::State& state)
{
    std::int64_t warm = 0;
    RunChild("startup", warm);  // the first start, which copies the shipped files into the home
    double total = 0;
    for (auto _ : state) {
        std::int64_t started = 0;
        long long at = 0, count = 0;
        if (std::sscanf(RunChild("startup", started).c_str(), "%lld %lld", &at, &count) != 2 || count != 1000000) {
            state.SkipWithError("the child did not open the log");
            return;
        }
        state.SetIterationTime(static_cast<double>(at - started) / 1e9);
        total += static_cast<double>(at - started) / 1e9;
    }
    const double startup = total / static_cast<double>(state.iterations());
    if (g_freshLoadSeconds > 0)
        state.counters["startup/load"] = startup / g_freshLoadSeconds;
    if (g_freshLoadProcessSeconds > 0)
        state.counters["startup/load process"] = startup / g_freshLoadProcessSeconds;
}
BENCHMARK(BM_FreshProcessStartupToFirstIdle)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc == 5 && std::strcmp(argv[1], "--fresh-process") == 0) {
        ::alarm(300);  // a child that waits for an answer nobody gives does not hold the run
        g_home = argv[3];
        setenv("KORVAL_HOME", g_home.c_str(), 1);
        return std::strcmp(argv[2], "load") == 0 ? LoadChild(argv[4]) : StartupChild(argc, argv, argv[4]);
    }
    g_self = std::filesystem::canonical("/proc/self/exe").string();
    QApplication app(argc, argv);
    PrepareHome();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(g_home);
    return 0;
}
