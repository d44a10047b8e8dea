// The log file at a million QSOs: writing it, loading it into a new logbook with the full
// default country database (every QSO looked up again and given its WPX prefix), the peak
// memory of the loaded log per QSO, and a plain sequential read of the same file for scale.
// Goals: at least 1,000,000 QSOs loaded per second; under 200 bytes of peak memory per QSO.
#include "bench/million_log.h"
#include "logbook/call_lookup.h"
#include "logbook/country_db.h"
#include "logbook/log_file.h"
#include "logbook/qso_data.h"
#include "logbook/qso_lookup.h"
#include "platform/message_dlg.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace korval;
using namespace korval::bench;

namespace {

constexpr int kQsos = kMillionQsos;

std::string BenchDir()
{
    std::string dir = std::string(KORVAL_BINARY_DIR) + "/bench-home";
    std::filesystem::create_directories(dir + "/SAVE");
    setenv("KORVAL_HOME", dir.c_str(), 1);
    return dir;
}

const std::string& LogFileName()
{
    static const std::string name = BenchDir() + "/SAVE/BENCH.KVL";
    return name;
}

void LoadCountryDatabase()
{
    static bool loaded = [] {
        std::string cty = std::string(KORVAL_SOURCE_DIR) + "/data/SAVE/KORVAL.CTY";
        if (!LoadCountryFileFrom(cty, true)) {
            std::fprintf(stderr, "cannot load %s\n", cty.c_str());
            std::exit(1);
        }
        InstallCountryLookup();
        return true;
    }();
    (void)loaded;
}

long ProcStatusKb(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::string(key).size());
    return 0;
}

void ResetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_WriteLog(benchmark::State& state)
{
    ScopedMessageRecorder quiet;
    auto log = GenerateLog(LogFileName());
    for (auto _ : state) {
        if (!WriteLogFile(*log, true))
            state.SkipWithError("write failed");
    }
    state.counters["QSOs/s"] = benchmark::Counter(static_cast<double>(kQsos) * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
    state.counters["file MB"] = static_cast<double>(std::filesystem::file_size(LogFileName())) / 1e6;
}

double g_loadSeconds = 0;
double g_readSeconds = 0;

void BM_LoadLog(benchmark::State& state)
{
    ScopedMessageRecorder quiet;
    LoadCountryDatabase();
    double peakPerQso = 0;
    double total = 0;
    for (auto _ : state) {
        malloc_trim(0);
        long before = ProcStatusKb("VmRSS:");
        ResetPeakRss();
        auto start = std::chrono::steady_clock::now();
        auto log = std::make_unique<TQsoData>();
        if (!LoadLogFileInto(*log, LogFileName(), true, 3) || log->Count() != kQsos)
            state.SkipWithError("load failed");
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        long peak = ProcStatusKb("VmHWM:");
        peakPerQso = static_cast<double>(peak - before) * 1024.0 / kQsos;
        state.PauseTiming();
        log.reset();
        state.ResumeTiming();
    }
    g_loadSeconds = total / static_cast<double>(state.iterations());
    state.counters["QSOs/s"] = benchmark::Counter(static_cast<double>(kQsos) * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
    state.counters["peak B/QSO"] = peakPerQso;
}

// The same load without the country database, to show what the lookups cost.
void BM_LoadLogWithoutLookups(benchmark::State& state)
{
    ScopedMessageRecorder quiet;
    TQsoLookup* saved = SetQsoLookup(nullptr);
    for (auto _ : state) {
        auto log = std::make_unique<TQsoData>();
        if (!LoadLogFileInto(*log, LogFileName(), true, 3) || log->Count() != kQsos)
            state.SkipWithError("load failed");
        state.PauseTiming();
        log.reset();
        state.ResumeTiming();
    }
    SetQsoLookup(saved);
    state.counters["QSOs/s"] = benchmark::Counter(static_cast<double>(kQsos) * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

void BM_PlainRead(benchmark::State& state)
{
    std::vector<char> buf(1 << 16);
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        int fd = ::open(LogFileName().c_str(), O_RDONLY);
        std::size_t sum = 0;
        ssize_t got;
        while ((got = ::read(fd, buf.data(), buf.size())) > 0)
            sum += static_cast<std::size_t>(got);
        ::close(fd);
        benchmark::DoNotOptimize(sum);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    g_readSeconds = total / static_cast<double>(state.iterations());
    if (g_readSeconds > 0)
        state.counters["load/read"] = g_loadSeconds / g_readSeconds;
}

} // namespace

BENCHMARK(BM_WriteLog)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_LoadLog)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_LoadLogWithoutLookups)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

BENCHMARK_MAIN();
