// Every award listing, summary and submission, the per-entity reports and the rate sheet on a
// million-QSO log with the full default country database. Each time includes what opening the
// report does: the big reports rebuild the award status with their cut-off date first.
// Submissions start every iteration from a log without award flags, so each run marks afresh.
// Goal: under 1 s each.
#include "bench/million_log.h"
#include "exchange/report_kinds.h"
#include "exchange/small_report.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/custom_award.h"
#include "logbook/qso_lookup.h"
#include "platform/message_dlg.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace korval;
using namespace korval::bench;

namespace {

struct Setup {
    std::unique_ptr<TQsoData> log;
    std::unique_ptr<TCustAwardList> awards;
    Setup()
    {
        const std::string cty = std::string(KORVAL_SOURCE_DIR) + "/data/SAVE/KORVAL.CTY";
        std::string reason;
        if (!LoadCountryFileFrom(cty, true, &reason)) {
            std::fprintf(stderr, "country file: %s\n", reason.c_str());
            std::exit(1);
        }
        InstallCountryLookup();
        awards = TCustAwardList::LoadFromText("[TST]\nawdname=Test award\nV1=One\nV2=Two\n", "bench");
        log = GenerateLog("BENCH.KVL");
        // The entity fields the generator leaves empty: an IOTA reference on every seventh QSO,
        // a county on every fifth (a real one of the database), a locator on all, a custom award
        // on every tenth.
        std::mt19937 rng(99);
        const std::int32_t counties = CountryDb.Counties->Count();
        int i = 0;
        for (TQsoRecord* q : log->Qsos()) {
            LookupCall(*q);
            DeriveWpxPrefix(*q);
            if (i % 7 == 0)
                q->Iota = "EU" + std::to_string(100 + rng() % 900);
            if (i % 5 == 0 && counties > 0) {
                const TCountyRecord c = TCountyRecord::FromBytes(CountryDb.Counties->Record(
                    static_cast<std::int32_t>(rng() % static_cast<unsigned>(counties))));
                q->State = StateNumber(c.Key.substr(0, 2));
                q->County = static_cast<std::uint16_t>(std::atoi(c.Key.c_str() + 2));
            }
            std::string grid = "AA00aa";
            grid[0] = static_cast<char>('A' + rng() % 18);
            grid[1] = static_cast<char>('A' + rng() % 18);
            grid[2] = static_cast<char>('0' + rng() % 10);
            grid[3] = static_cast<char>('0' + rng() % 10);
            q->Grid = grid;
            if (i % 10 == 0) {
                q->CustAwdId = "TST";
                q->CustAwdVal = "V" + std::to_string(rng() % 100);
            }
            ++i;
        }
        Config.SetContestStartDate(log->At(0)->Date);
    }
};

Setup& TheSetup()
{
    static Setup s;
    return s;
}

void RunReport(benchmark::State& state, TReportClass cls, int argument)
{
    ScopedMessageRecorder quiet;
    Setup& s = TheSetup();
    TReportChoice choice;
    choice.Award = &s.awards->At(0);
    std::size_t lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (ReportSubmits(cls, argument) || cls == TReportClass::DXCCReport || cls == TReportClass::WAZReport ||
            cls == TReportClass::WASReport)
            for (TQsoRecord* q : s.log->Qsos())
                q->AwardFlags = 0;
        state.ResumeTiming();
        std::unique_ptr<TReport> r = CreateReport(cls, argument, s.log.get(), choice);
        r->MakeReport();
        lines = r->Lines.size();
        state.PauseTiming();
        r.reset();
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(lines);
}

// The rebuild alone, the share of it in every big report's time.
void RebuildAwardStatus(benchmark::State& state)
{
    Setup& s = TheSetup();
    const std::uint16_t cutoffs[4] = {16695, 16695, 16695, 16695};
    for (auto _ : state) {
        s.log->MarkAwardStatusNotBuilt();
        s.log->BuildAwardStatus(cutoffs);
    }
}

struct Entry {
    const char* name;
    TReportClass cls;
    int argument;
};

} // namespace

int main(int argc, char** argv)
{
    std::vector<Entry> entries = {
        {"CountryListing", TReportClass::CountryListing, 0},
        {"CountryListingWithDeleted", TReportClass::CountryListing, 1},
        {"CountryNeededListing", TReportClass::CountryNeededListing, 0},
        {"CountrySummary", TReportClass::CountrySummaryReport, 0},
        {"CountrySummaryWithDeleted", TReportClass::CountrySummaryReport, 1},
        {"DXCCSubmission", TReportClass::DXCCReport, 0},
        {"DXCCFiveBand", TReportClass::DXCCReport, 1},
        {"StateListing", TReportClass::StateListing, 0},
        {"StateSummary", TReportClass::StateSummaryReport, 0},
        {"WASSubmission", TReportClass::WASReport, 0},
        {"WASFiveBand", TReportClass::WASReport, 1},
        {"ZoneListing", TReportClass::ZoneListing, 0},
        {"ZoneSummary", TReportClass::ZoneSummaryReport, 0},
        {"WAZSubmission", TReportClass::WAZReport, 0},
        {"WAZFiveBand", TReportClass::WAZReport, 1},
        {"WPXListing", TReportClass::WPXListing, 0},
        {"WPXSummary", TReportClass::WPXSummaryReport, 1},
        {"WPXSummaryHonorRoll", TReportClass::WPXSummaryReport, 0},
        {"WPXSubmission", TReportClass::WPXSubmission, 0},
        {"RateSheet", TReportClass::RateReport, 0},
    };
    const std::pair<const char*, TReportClass> small[] = {{"IOTA", TReportClass::IOTAReport},
                                                          {"County", TReportClass::CountyReport},
                                                          {"VUCC", TReportClass::VUCCReport},
                                                          {"Custom", TReportClass::CustomReport}};
    static std::vector<std::string> names;
    names.reserve(40);
    for (const auto& [name, cls] : small)
        for (int kind = srListing; kind <= srNeededListing; ++kind) {
            names.push_back(std::string(name) + "Kind" + std::to_string(kind));
            entries.push_back({names.back().c_str(), cls, kind});
        }
    for (const Entry& e : entries)
        benchmark::RegisterBenchmark(e.name, RunReport, e.cls, e.argument)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3)
            ->UseRealTime();
    benchmark::RegisterBenchmark("AwardStatusRebuild", RebuildAwardStatus)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3)
        ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
