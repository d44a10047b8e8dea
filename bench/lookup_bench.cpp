// LookupCall over a million generated calls against the full default country database
// (data/SAVE/KORVAL.CTY). Goal: 2,000,000 lookups per second on one core.
#include "logbook/call_lookup.h"
#include "logbook/country_db.h"
#include "logbook/base/record_bytes.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace korval;

bool LoadDefault()
{
    static bool loaded = [] {
        std::string reason;
        if (!LoadCountryFileFrom(std::string(KORVAL_SOURCE_DIR) + "/data/SAVE/KORVAL.CTY", false, &reason)) {
            std::fprintf(stderr, "cannot load the default country database: %s\n", reason.c_str());
            return false;
        }
        return true;
    }();
    return loaded;
}

// Calls as a log holds them: prefixes of the database with a digit and a suffix, a share of
// portable forms (/P, /M, /QRP, a call-area digit, a country prefix in front) and exception calls.
const std::vector<std::string>& Calls()
{
    static const std::vector<std::string> calls = [] {
        std::vector<std::string> out;
        std::mt19937 rng(20240323);
        std::vector<std::string> prefixes, exceptions;
        for (std::int32_t i = 0; i < CountryDb.Prefixes->Count(); ++i)
            prefixes.push_back(GetShortStr(CountryDb.Prefixes->Record(i), 0, 4));
        for (std::int32_t i = 0; i < CountryDb.ExceptionCalls->Count(); ++i)
            exceptions.push_back(GetShortStr(CountryDb.ExceptionCalls->Record(i), 0, 12));
        auto pick = [&](const std::vector<std::string>& v) { return v[rng() % v.size()]; };
        auto letters = [&](int n) {
            std::string s;
            for (int i = 0; i < n; ++i)
                s += static_cast<char>('A' + rng() % 26);
            return s;
        };
        out.reserve(1000000);
        while (out.size() < 1000000) {
            const unsigned kind = rng() % 100;
            if (kind < 5) {
                out.push_back(pick(exceptions));
                continue;
            }
            std::string p = pick(prefixes);
            std::string call = p;
            if (call.empty() || call.back() < '0' || call.back() > '9')
                call += static_cast<char>('0' + rng() % 10);
            call += letters(1 + static_cast<int>(rng() % 3));
            if (kind < 15)
                call += "/P";
            else if (kind < 18)
                call += "/M";
            else if (kind < 20)
                call += "/QRP";
            else if (kind < 25)
                call.append(1, '/').append(1, static_cast<char>('0' + rng() % 10));
            else if (kind < 30)
                call.insert(0, pick(prefixes).append(1, '/'));
            out.push_back(call.substr(0, 12));
        }
        return out;
    }();
    return calls;
}

void BM_LookupCall(benchmark::State& state)
{
    if (!LoadDefault()) {
        state.SkipWithError("no default country database");
        return;
    }
    const auto& calls = Calls();
    const TDayNumber date = 45000; // 2023
    std::uint64_t known = 0;
    for (auto _ : state) {
        for (const std::string& c : calls) {
            std::uint8_t st = 0, zone = 0;
            std::uint16_t country = 0;
            LookupCall(c, date, st, country, zone);
            known += country != 0;
            benchmark::DoNotOptimize(zone);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * calls.size()));
    state.counters["known_share"] =
        static_cast<double>(known) / static_cast<double>(state.iterations() * calls.size());
}
BENCHMARK(BM_LookupCall)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CalcWPXPrefix(benchmark::State& state)
{
    if (!LoadDefault()) {
        state.SkipWithError("no default country database");
        return;
    }
    const auto& calls = Calls();
    for (auto _ : state)
        for (const std::string& c : calls)
            benchmark::DoNotOptimize(CalcWPXPrefix(c));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * calls.size()));
}
BENCHMARK(BM_CalcWPXPrefix)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
