// ADIF import and export of a million QSOs with the full default country database: parse,
// lookup and insertion into an empty log end to end (the file in date order, and the same
// records shuffled, as a log exported by call), then the export of that log. For scale, the
// reader alone runs beside a memchr scan that stops at every '<' of the same file.
// Goals: the reader at least 500 MB/s; the import at least 1M QSOs/s in date order and 700k/s
// shuffled.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/adif_field.h"
#include "exchange/export_driver.h"
#include "exchange/adif_reader.h"
#include "exchange/import_driver.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/qso_data.h"
#include "platform/message_dlg.h"

using namespace korval;

namespace {

constexpr int kQsos = 1000000;

void setUp()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    static std::string home = (std::filesystem::temp_directory_path() / "korval-adif-bench").string();
    std::filesystem::create_directories(home);
    setenv("KORVAL_HOME", home.c_str(), 1);
    SetMessageHandler([](const TMessageRequest&) { return int(mrOk); });
    std::string reason;
    if (!LoadCountryFileFrom(std::string(KORVAL_SOURCE_DIR) + "/data/SAVE/KORVAL.CTY", false, &reason)) {
        std::fprintf(stderr, "country database: %s\n", reason.c_str());
        std::exit(1);
    }
    Config.SetImportConflictAction(1);
}


// A log as other programs write it: calls from all over the world, several bands and modes,
// reports, a name on every fourth QSO.
const std::string& adifFile()
{
    static std::string f;
    if (!f.empty())
        return f;
    const char* prefixes[] = {"K", "W", "N", "DL", "F", "G", "I", "JA", "VK", "PY", "UA", "EA", "OH", "SM",
                              "LU", "ZS", "VE", "OK", "SP", "YB", "HA", "ON", "PA", "OE", "HB9", "LZ", "YO", "9A"};
    const char* bands[][2] = {{"20m", "14.025"}, {"40m", "7.010"}, {"80m", "3.550"}, {"15m", "21.200"},
                              {"10m", "28.400"}, {"160m", "1.830"}, {"17m", "18.100"}, {"2m", "144.300"}};
    const char* modes[] = {"CW", "SSB", "RTTY", "FM"};
    f.reserve(std::size_t(kQsos) * 170);
    f = "Generated for the benchmark <adif_ver:5>3.1.4 <eoh>\n";
    char buf[32];
    for (int i = 0; i < kQsos; ++i) {
        std::string call = prefixes[i % 28];
        call += char('0' + i % 10);
        call += char('A' + (i / 10) % 26);
        call += char('A' + (i / 260) % 26);
        call += char('A' + (i / 6760) % 26);
        bench::AdifField(f, "call", call);
        // In date order, as logs are kept: 300 QSOs a day, 28 days a month, from 1990.
        int day = i / 300;
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", 1990 + day / 336, 1 + (day / 28) % 12, 1 + day % 28);
        bench::AdifField(f, "qso_date", buf);
        int second = (i % 300) * 288;
        std::snprintf(buf, sizeof buf, "%02d%02d%02d", second / 3600, (second / 60) % 60, second % 60);
        bench::AdifField(f, "time_on", buf);
        bench::AdifField(f, "band", bands[i % 8][0]);
        bench::AdifField(f, "freq", bands[i % 8][1]);
        const char* mode = modes[(i / 8) % 4];
        bench::AdifField(f, "mode", mode);
        bool phone = mode[0] == 'S' || mode[0] == 'F';
        bench::AdifField(f, "rst_sent", phone ? "59" : "599");
        bench::AdifField(f, "rst_rcvd", phone ? "57" : "579");
        if (i % 4 == 0)
            bench::AdifField(f, "name", "Name" + std::to_string(i % 1000));
        f += "<eor>\n";
    }
    return f;
}

// The same records in another order, none of them in date order with its neighbours.
const std::string& shuffledFile()
{
    static std::string f;
    if (!f.empty())
        return f;
    const std::string& in = adifFile();
    const std::size_t eoh = in.find("<eoh>\n") + 6;
    std::vector<std::string_view> records;
    records.reserve(kQsos);
    for (std::size_t start = eoh; start < in.size();) {
        const std::size_t end = in.find("<eor>\n", start) + 6;
        records.emplace_back(in.data() + start, end - start);
        start = end;
    }
    std::shuffle(records.begin(), records.end(), std::mt19937(7));
    f.reserve(in.size());
    f.assign(in, 0, eoh);
    for (std::string_view r : records)
        f += r;
    return f;
}

TFilterRecord adifFilter()
{
    TFilterRecord r;
    r.Id = "ADIF";
    r.FilterFreq = true;  // frequencies stay out of the notes
    return r;
}

std::unique_ptr<TQsoData> importOnce(const std::string& file)
{
    auto log = std::make_unique<TQsoData>();
    TImportResult r = ImportData(*log, file, "bench.adi", adifFilter(), true, TImportSettings::FromConfig());
    if (log->Count() != kQsos) {
        std::fprintf(stderr, "imported %d of %d\n%s\n", log->Count(), kQsos, r.Summary.c_str());
        std::exit(1);
    }
    return log;
}

void AdifImport(benchmark::State& state, const std::string& file)
{
    for (auto _ : state) {
        auto log = importOnce(file);
        benchmark::DoNotOptimize(log->Count());
        state.PauseTiming();
        log.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kQsos);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
void BM_AdifImport(benchmark::State& state)
{
    setUp();
    AdifImport(state, adifFile());
}
BENCHMARK(BM_AdifImport)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_AdifImportShuffled(benchmark::State& state)
{
    setUp();
    AdifImport(state, shuffledFile());
}
BENCHMARK(BM_AdifImportShuffled)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

double g_scanSeconds = 0;

// Every '<' of the file found, the least any reader of the file does.
void BM_AdifMemchrScan(benchmark::State& state)
{
    setUp();
    const std::string& file = adifFile();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const char* p = file.data();
        const char* end = p + file.size();
        long tags = 0;
        while (const void* lt = std::memchr(p, '<', static_cast<std::size_t>(end - p))) {
            p = static_cast<const char*>(lt) + 1;
            ++tags;
        }
        benchmark::DoNotOptimize(tags);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    g_scanSeconds = total / static_cast<double>(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_AdifMemchrScan)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// The reader alone (tags, conversions, no lookup and no log), to tell the parts apart.
void BM_AdifParseOnly(benchmark::State& state)
{
    setUp();
    const std::string& file = adifFile();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        TImportContext ctx;
        ctx.Filter = adifFilter();
        ctx.Settings = TImportSettings::FromConfig();
        ctx.Data = file;
        SkipADIFHeader(ctx);
        long n = 0;
        while (!ctx.AtEnd()) {
            ctx.ResetRecord();
            if (ImportADIFRecord(ctx))
                break;
            ++n;
        }
        benchmark::DoNotOptimize(n);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (g_scanSeconds > 0)
        state.counters["reader/scan"] = total / static_cast<double>(state.iterations()) / g_scanSeconds;
    state.SetItemsProcessed(state.iterations() * kQsos);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_AdifParseOnly)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_AdifExport(benchmark::State& state)
{
    setUp();
    auto log = importOnce(adifFile());
    std::vector<const TQsoRecord*> all(log->Qsos().begin(), log->Qsos().end());
    const std::string out = (std::filesystem::temp_directory_path() / "korval-adif-bench/export.adi").string();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        TExportResult r = ExportQsos(out, adifFilter(), true, all, log->Notes);
        if (!r.Written)
            state.SkipWithError(r.Error.c_str());
        bytes += static_cast<std::int64_t>(std::filesystem::file_size(out));
    }
    state.SetItemsProcessed(state.iterations() * kQsos);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_AdifExport)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
