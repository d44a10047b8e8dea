// Master callsign file: the partial-call search that runs on every keystroke in the QSO window,
// over a generated file of 100,000 calls.
#include "reference/master_file.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

const korval::TMasterLookupEngine& Engine()
{
    static korval::TMasterLookupEngine engine = [] {
        std::mt19937 rng(34);
        const char* prefixes[] = {"DL", "W", "K", "N", "G", "F", "JA", "VE", "OH", "PA", "SP", "UA", "I", "EA", "VK"};
        std::string text;
        korval::TMasterCallList list;
        while (list.Calls.size() < 100000) {
            for (int i = 0; i < 50000; ++i) {
                text += prefixes[rng() % 15];
                text += static_cast<char>('0' + rng() % 10);
                for (unsigned k = 0, n = 2 + rng() % 2; k < n; ++k)
                    text += static_cast<char>('A' + rng() % 26);
                text += '\n';
            }
            list = korval::ParseMasterList(text);
        }
        list.Calls.resize(100000);
        korval::TMasterLookupEngine e;
        e.LoadBytes(korval::EncodeMasterFile(list));
        return e;
    }();
    return engine;
}

void Search(benchmark::State& state, const char* const* partials, int count, bool subString)
{
    korval::TMasterLookupEngine engine = Engine();
    engine.SetSubString(subString);
    int i = 0;
    std::size_t found = 0;
    for (auto _ : state) {
        engine.ClearLastSearched();
        engine.Search(partials[i++ % count]);
        found += engine.Matches().size();
    }
    benchmark::DoNotOptimize(found);
    state.counters["searches/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

const char* const Typing[] = {"DL", "DL1", "DL1A", "DL1AB", "W", "W9", "W9X", "W9XY", "JA?", "JA1?B"};
const char* const Inner[] = {"?ABC", "?1AB", "?XY", "?7Q"};

void BM_MasterLeftMatch(benchmark::State& state) { Search(state, Typing, 10, false); }
void BM_MasterSubString(benchmark::State& state) { Search(state, Inner, 4, true); }

} // namespace

BENCHMARK(BM_MasterLeftMatch);
BENCHMARK(BM_MasterSubString);
BENCHMARK_MAIN();
