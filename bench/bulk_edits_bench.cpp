// Bulk edits over a million-QSO selection through the QSO-entry engine: "Set QSL Date" and
// "Set confirmed" with their question answered, the progress stepped and the log views
// refreshed afterwards. Goal: Set QSL Date over 1,000,000 QSOs in under 2 s.
#include <benchmark/benchmark.h>

#include <memory>

#include "logbook/qso_bulk_edits.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "million_log.h"
#include "platform/message_dlg.h"

using namespace korval;

namespace {

struct QuietHost : TQsoEntryHost {
    void AskDateRange(TDayNumber&, TDayNumber&) override {}
    void Beep() override {}
};

struct Fixture {
    std::unique_ptr<TQsoData> log = bench::GenerateLog("BULK.KVL");
    QuietHost host;
    TQsoEntry entry{log.get(), &host};
    Fixture() { entry.Start(); }
};

Fixture& Shared()
{
    static Fixture f;
    return f;
}

void BM_SetQslDateMillion(benchmark::State& state)
{
    Fixture& f = Shared();
    ScopedMessageRecorder answers(mrYes);
    for (auto _ : state) {
        state.PauseTiming();
        for (TQsoRecord* q : f.log->Qsos())
            q->QslSentDate = 0;
        state.ResumeTiming();
        TQsoBulkEdits(f.entry).SetQslDate();
    }
    state.counters["QSOs"] = static_cast<double>(f.log->Count());
}
BENCHMARK(BM_SetQslDateMillion)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SetConfirmedMillion(benchmark::State& state)
{
    Fixture& f = Shared();
    ScopedMessageRecorder answers(mrYes);
    for (auto _ : state) {
        state.PauseTiming();
        for (TQsoRecord* q : f.log->Qsos())
            q->Flags = static_cast<std::uint8_t>(q->Flags & ~qfQslReceived);
        state.ResumeTiming();
        TQsoBulkEdits(f.entry).SetConfirmed();
    }
}
BENCHMARK(BM_SetConfirmedMillion)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
