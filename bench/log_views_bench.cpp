// The log views over a million-QSO log: opening the log list (its order built from the
// logbook), sorting it again by each of the 13 orders, grouping the log by base call for the
// same-call window, and how long a posted QSO takes to reach the open views (the insertion into
// the logbook with the log list and the same-call groups told of it).
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "logbook/log_list_view.h"
#include "logbook/qso_data.h"
#include "logbook/qso_lookup.h"
#include "logbook/same_call_index.h"

#include <benchmark/benchmark.h>

#include "bench_data.h"

#include <cstdio>
#include <memory>
#include <random>
#include <string>

using namespace korval;

namespace {

constexpr int kLogSize = 1000000;

// One call in twenty is portable.
std::string RandomCall(std::mt19937& rng)
{
    std::string c = bench::RandomCall(rng);
    if (rng() % 20 == 0)
        c += "/P";
    return c;
}

// A log of a million QSOs over twenty years with the fields the orders read filled in.
struct Setup {
    std::unique_ptr<TQsoData> log;
    bool ok = false;
    Setup()
    {
        if (!bench::LoadShippedCountryDatabase())
            return;
        log = std::make_unique<TQsoData>("BENCH.KVL");
        std::mt19937 rng(42);
        const TDayNumber first = EncodeDayNumber(2000, 1, 1);
        log->BeginBulk(false, kLogSize);
        for (int i = 0; i < kLogSize; ++i) {
            TQsoRecord* r = log->NewQsoRecord();
            r->Call.assign(RandomCall(rng));
            r->Date = static_cast<TDayNumber>(first + rng() % 7300);
            r->Time = static_cast<std::int32_t>(rng() % 86400);
            r->Band = static_cast<std::uint8_t>(1 + rng() % 9);
            r->Mode = static_cast<std::uint8_t>(rng() % 2 ? 4 : 14);
            r->Group = static_cast<std::uint8_t>(rng() % 4);
            r->SeqPrtNr = static_cast<std::uint16_t>(rng() % 3000);
            if (rng() % 5 == 0) {
                r->Grid.assign(std::string{static_cast<char>('A' + rng() % 18), static_cast<char>('A' + rng() % 18),
                                           static_cast<char>('0' + rng() % 10), static_cast<char>('0' + rng() % 10)});
                r->Iota.assign("EU" + std::to_string(100 + rng() % 200));
            }
            LookupCall(*r);
            DeriveWpxPrefix(*r);
            log->BulkAdd(r);
        }
        log->EndBulk(false);
        ok = true;
    }
};

Setup& TheSetup()
{
    static Setup s;
    return s;
}

bool Ready(benchmark::State& state)
{
    if (TheSetup().ok)
        return true;
    state.SkipWithError("no country database");
    return false;
}

// The log list opens: every QSO of the selection in the report's order (here the date order).
void BM_OpenLogList(benchmark::State& state)
{
    if (!Ready(state))
        return;
    TQsoData& log = *TheSetup().log;
    for (auto _ : state) {
        TLogListView view(&log);
        view.SetFilter([&log](const TQsoRecord& r) { return log.InSelection(r); });
        view.Rebuild();
        benchmark::DoNotOptimize(view.Count());
    }
    state.counters["QSOs"] = log.Count();
}
BENCHMARK(BM_OpenLogList)->Unit(benchmark::kMillisecond);

// The open list of the whole log switched from the date order to another one.
void BM_ResortLogList(benchmark::State& state)
{
    if (!Ready(state))
        return;
    const int order = static_cast<int>(state.range(0));
    TQsoData& log = *TheSetup().log;
    TLogListView view(&log);
    view.SetFilter([&log](const TQsoRecord& r) { return log.InSelection(r); });
    view.Rebuild();
    for (auto _ : state) {
        state.PauseTiming();
        view.SetSortOrder(order == soDate ? soCallsign : soDate);
        state.ResumeTiming();
        view.SetSortOrder(order);
    }
    state.SetLabel(SortOrderNames[order]);
}
BENCHMARK(BM_ResortLogList)->DenseRange(0, 12)->Unit(benchmark::kMillisecond);

// The same-call window opens: the log grouped by base call.
void BM_OpenSameCall(benchmark::State& state)
{
    if (!Ready(state))
        return;
    for (auto _ : state) {
        TSameCallIndex index(TheSetup().log.get());
        benchmark::DoNotOptimize(index.QsosOf("DL1AB").size());
    }
}
BENCHMARK(BM_OpenSameCall)->Unit(benchmark::kMillisecond);

// Posts one QSO into the log per iteration (timed) and takes it out again (untimed).
void TimePosts(benchmark::State& state, TQsoData& log)
{
    std::mt19937 rng(7);
    const TDayNumber first = EncodeDayNumber(2000, 1, 1);
    for (auto _ : state) {
        state.PauseTiming();
        TQsoRecord* r = log.NewQsoRecord();
        r->Call.assign(RandomCall(rng));
        r->Date = static_cast<TDayNumber>(first + rng() % 7300);
        r->Time = static_cast<std::int32_t>(rng() % 86400);
        r->Band = 5;
        r->Mode = 4;
        LookupCall(*r);
        DeriveWpxPrefix(*r);
        state.ResumeTiming();
        log.InsertQso(r);
        state.PauseTiming();
        log.DeleteQso(r);
        state.ResumeTiming();
    }
}

// One QSO posted into the log with the log list (in the order given) and the same-call window
// open: the logbook's insertion and both views taking it.
void BM_PostWithViewsOpen(benchmark::State& state)
{
    if (!Ready(state))
        return;
    TQsoData& log = *TheSetup().log;
    TLogListView view(&log);
    view.SetFilter([&log](const TQsoRecord& r) { return log.InSelection(r); });
    view.SetSortOrder(static_cast<int>(state.range(0)));
    view.Rebuild();
    TSameCallIndex same(&log);
    TimePosts(state, log);
    state.SetLabel(SortOrderNames[state.range(0)]);
}
BENCHMARK(BM_PostWithViewsOpen)->Arg(soDate)->Arg(soCallsign)->Arg(soBand)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// The same insertion with no view open, to see what the views add.
void BM_PostWithoutViews(benchmark::State& state)
{
    if (!Ready(state))
        return;
    TimePosts(state, *TheSetup().log);
}
BENCHMARK(BM_PostWithoutViews)->Iterations(2000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
