// Start-up to the first idle time with a million-QSO log as the last log, against loading that
// log alone; and File > Exit with a small log to the end of the main window (its destroy handler
// saves the configuration), with the log unchanged and with one QSO to save.
// Run offscreen: QT_QPA_PLATFORM=offscreen build-bench/bench/startup_bench
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "logbook/config_record.h"
#include "logbook/log_file.h"
#include "app/main_form.h"
#include "logbook/qso_data.h"
#include "platform/message_dlg.h"

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

// A fresh configuration naming the log, the main window shown and run to its first idle time.
TMainForm* OpenToFirstIdle(const std::string& log)
{
    Config = TConfigRecord();
    Config.SetLastLogFile(log);
    auto* form = new TMainForm(TMainFormEnv{});
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
        if (!CurrentLog() || CurrentLog()->Count() != 5)
            state.SkipWithError("the log did not open");
        if (changed)
            CurrentLog()->SetModified();
        state.ResumeTiming();
        form->Exit1->trigger();
        const bool closed = !form->isVisible();
        delete form;
        state.PauseTiming();
        if (!closed)
            state.SkipWithError("Exit did not close the main window");
        state.ResumeTiming();
    }
}
void BM_ExitUnchangedSmallLog(benchmark::State& state) { ExitWithSmallLog(state, false); }
void BM_ExitSavingSmallLog(benchmark::State& state) { ExitWithSmallLog(state, true); }
BENCHMARK(BM_ExitUnchangedSmallLog)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExitSavingSmallLog)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    PrepareHome();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(g_home);
    return 0;
}
