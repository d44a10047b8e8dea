// Posting QSOs one by one through the QSO-entry engine into a million-QSO log with the award
// status kept up to date: the call is typed and left (lookup, carry-over, heading), then Enter
// validates, builds the record and inserts it in date order. Reports the mean time per post.
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "logbook/qso_lookup.h"

#include <benchmark/benchmark.h>

#include "bench_data.h"

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace korval;

namespace {

constexpr int kLogSize = 1000000;
constexpr int kPosts = 10000;

using bench::RandomCall;

struct Setup {
    std::unique_ptr<TQsoData> log;
    bool ok = false;
    Setup()
    {
        if (!bench::LoadShippedCountryDatabase())
            return;
        Config.SetDefaultMode(4);
        Config.SetDefaultBand(5);
        Config.SetWarnUnsavedQso(false);
        log = std::make_unique<TQsoData>("BENCH.KVL");
        std::mt19937 rng(42);
        const TDayNumber first = EncodeDayNumber(2000, 1, 1);
        log->BeginBulk(false, kLogSize + kPosts);
        for (int i = 0; i < kLogSize; ++i) {
            auto* r = new TQsoRecord;
            r->Call.assign(RandomCall(rng));
            r->Date = static_cast<TDayNumber>(first + rng() % 7000);
            r->Time = static_cast<std::int32_t>(rng() % 86400);
            r->Band = static_cast<std::uint8_t>(1 + rng() % 9);
            r->Mode = static_cast<std::uint8_t>(rng() % 2 ? 4 : 14);
            r->RstSent = r->RstRcvd = r->Mode == 4 ? 599 : 59;
            r->Flags = qfValidForAwards | (rng() % 3 == 0 ? qfQslReceived : 0);
            LookupCall(*r);
            DeriveWpxPrefix(*r);
            log->BulkAdd(r);
        }
        log->EndBulk(false);
        std::uint16_t cutoffs[4] = {};
        log->BuildAwardStatus(cutoffs);
        ok = true;
    }
};

Setup& TheSetup()
{
    static Setup s;
    return s;
}

void BM_PostOneByOne(benchmark::State& state)
{
    Setup& s = TheSetup();
    if (!s.ok) {
        state.SkipWithError("no country database");
        return;
    }
    TQsoEntry entry(s.log.get());
    entry.Start();
    entry.Addoffline();
    std::mt19937 rng(7);
    const TDayNumber first = EncodeDayNumber(2000, 1, 1);
    std::vector<std::string> calls(kPosts);
    for (auto& c : calls)
        c = RandomCall(rng);
    int n = 0;
    for (auto _ : state) {
        auto& f = entry.Fields;
        f.Edit(fCall, calls[static_cast<std::size_t>(n % kPosts)]);
        f.Date = DayNumberToStDate(static_cast<TDayNumber>(first + rng() % 7000));
        f.Edit(fTime, "");
        f.Time = static_cast<std::int32_t>(rng() % 86400);
        entry.CallExit();
        entry.EnterKey();
        ++n;
    }
    state.counters["log size"] = s.log->Count();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PostOneByOne)->Iterations(kPosts)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
