// Containers and the buffered stream at logbook sizes: a million QSO-sized records in a
// TBRSorted with a secondary index, prefix searches in a sorted record collection, and
// 75-byte records through the buffered file stream.
#include "logbook/base/buffered_file_stream.h"
#include "logbook/base/my_list.h"
#include "logbook/base/record_bytes.h"
#include "logbook/base/sorted_collection.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

using namespace korval;

namespace {

constexpr int kRecordSize = 88;
constexpr int kCallOffset = 0;  // string[12]
constexpr int kTimeOffset = 13;
constexpr int kDateOffset = 17;

std::int32_t ByDateTime(const void* a, const void* b)
{
    auto* x = static_cast<const std::uint8_t*>(a);
    auto* y = static_cast<const std::uint8_t*>(b);
    int d = GetU16(x, kDateOffset) - GetU16(y, kDateOffset);
    if (d)
        return d;
    std::int32_t tx = GetI32(x, kTimeOffset), ty = GetI32(y, kTimeOffset);
    if (tx != ty)
        return tx < ty ? -1 : 1;
    return CompareShortStr(x + kCallOffset, y + kCallOffset);
}

std::int32_t ByCall(const void* a, const void* b)
{
    int r = CompareShortStr(static_cast<const std::uint8_t*>(a) + kCallOffset,
                            static_cast<const std::uint8_t*>(b) + kCallOffset);
    return r ? r : ByDateTime(a, b);
}

void* NewQso(std::mt19937& rng, int i)
{
    auto* r = static_cast<std::uint8_t*>(::operator new(kRecordSize));
    std::memset(r, 0, kRecordSize);
    char call[8];
    std::snprintf(call, sizeof call, "K%c%04u", 'A' + static_cast<int>(rng() % 26), static_cast<unsigned>(rng() % 10000));
    PutShortStr(r, kCallOffset, 12, call);
    PutU16(r, kDateOffset, static_cast<std::uint16_t>(30000 + i / 500));
    PutI32(r, kTimeOffset, (i % 500) * 60);
    return r;
}

void BM_LogbookBulkLoadMillion(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::mt19937 rng(1);
        std::vector<void*> qsos;
        qsos.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            qsos.push_back(NewQso(rng, i));
        state.ResumeTiming();
        TBRSorted log(ByDateTime);
        log.AddIndex(ByCall);
        log.SetCapacityAll(n);
        log.BeginUpdate(false);
        for (void* q : qsos)
            log.Add(q);
        log.EndUpdate(true);  // stored in date order; the by-call index sorts once
        benchmark::DoNotOptimize(log.Next()->At(0));
        state.PauseTiming();
        log.FreeAll();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LogbookBulkLoadMillion)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_LogbookFindByCall(benchmark::State& state)
{
    const int n = 1000000;
    std::mt19937 rng(2);
    TBRSorted log(ByDateTime);
    TBAI* byCall = log.AddIndex(ByCall);
    log.SetCapacityAll(n);
    log.BeginUpdate(false);
    for (int i = 0; i < n; ++i)
        log.Add(NewQso(rng, i));
    log.EndUpdate(true);
    std::vector<void*> keys;
    for (int i = 0; i < 4096; ++i)
        keys.push_back(log.At(static_cast<std::int32_t>(rng() % n)));
    std::size_t k = 0;
    for (auto _ : state) {
        std::int32_t index;
        benchmark::DoNotOptimize(byCall->Find(keys[k++ & 4095], index));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LogbookFindByCall);

void BM_LogbookInsertIntoMillion(benchmark::State& state)
{
    const int n = 1000000;
    std::mt19937 rng(3);
    TBRSorted log(ByDateTime);
    log.AddIndex(ByCall);
    log.SetCapacityAll(n + 1);
    log.BeginUpdate(false);
    for (int i = 0; i < n; ++i)
        log.Add(NewQso(rng, i));
    log.EndUpdate(true);
    for (auto _ : state) {
        log.Add(NewQso(rng, static_cast<int>(rng() % n)));  // both orders: search and move
        state.PauseTiming();
        log.DeleteAndFree(log.Count() - 1);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LogbookInsertIntoMillion);

// Prefix mappings (12-byte records, prefix string[4] first) searched as the call lookup does.
void BM_PrefixSearch(benchmark::State& state)
{
    TOneIndex prefixes(12);
    std::mt19937 rng(4);
    std::vector<TShortStrKey> keys;
    for (int i = 0; i < 8000; ++i) {
        std::uint8_t rec[12] = {};
        char p[5];
        std::snprintf(p, sizeof p, "%c%c%u", 'A' + static_cast<int>(rng() % 26), 'A' + static_cast<int>(rng() % 26),
                      static_cast<unsigned>(rng() % 10));
        PutShortStr(rec, 0, 4, p);
        prefixes.InsertRecord(rec);
        keys.push_back(MakeShortStrKey(p));
    }
    std::size_t k = 0;
    for (auto _ : state) {
        std::int32_t index;
        benchmark::DoNotOptimize(prefixes.Search(keys[k++ % keys.size()].data(), index));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PrefixSearch);

void BM_StreamWriteRead75(benchmark::State& state)
{
    const int n = 1000000;
    std::string path = "/tmp/korval-bench-stream.bin";
    std::uint8_t rec[75] = {1, 2, 3};
    for (auto _ : state) {
        {
            TBufferedFileStream out(path, fmCreate);
            for (int i = 0; i < n; ++i)
                out.WriteBuffer(rec, 75);
            out.Flush();
        }
        TBufferedFileStream in(path, fmOpenRead);
        for (int i = 0; i < n; ++i)
            in.ReadBuffer(rec, 75);
    }
    ::unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * 2LL * n * 75);
}
BENCHMARK(BM_StreamWriteRead75)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
