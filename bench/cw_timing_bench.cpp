// How closely the CW sender keeps its schedule on this machine: "PARIS PARIS" at 25 WPM on the
// real clock and thread, each recorded key edge compared with the edge of the same text sent on
// a clock that never runs late. Reports the median and 99th percentile of the edge error.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/key_line.h"
#include "platform/precise_clock.h"
#include "station/morse_sender.h"

namespace {

using namespace korval;

constexpr const char* Text = "PARIS PARIS";

TMorseSettings Settings()
{
    TMorseSettings s;
    s.charWpm = s.spacingWpm = 25;
    s.keyingInterface = 2;
    s.sideTone = false;
    return s;
}

// Edge times in ns from the first edge.
std::vector<std::int64_t> Edges(const TRecordingKeyLine& line)
{
    std::vector<std::int64_t> edges;
    const auto events = line.Events();
    for (const TKeyLineEvent& e : events)
        edges.push_back(e.ns - events.front().ns);
    return edges;
}

std::vector<std::int64_t> Schedule()
{
    TManualClock clock;
    auto line = std::make_shared<TRecordingKeyLine>([&clock] { return clock.NowNs(); });
    TMorseSender sender(clock, [line](const TMorseSettings&, bool) { return line; }, nullptr, Settings());
    sender.QueueText(Text);
    while (!sender.BufferText().empty())
        sender.Step();
    return Edges(*line);
}

void BM_CwEdgeError(benchmark::State& state)
{
    const std::vector<std::int64_t> ideal = Schedule();
    std::vector<double> errorsUs;
    TPreciseClock& clock = SystemPreciseClock();
    for (auto _ : state) {
        auto line = std::make_shared<TRecordingKeyLine>([&clock] { return clock.NowNs(); });
        TMorseSender sender(clock, [line](const TMorseSettings&, bool) { return line; }, nullptr, Settings());
        sender.Start();
        sender.QueueText(Text);
        while (!sender.BufferText().empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        sender.Stop();
        std::vector<std::int64_t> actual = Edges(*line);
        actual.resize(std::min(actual.size(), ideal.size())); // Stop's own release write
        if (actual.size() != ideal.size()) {
            state.SkipWithError("edge count differs from the schedule");
            return;
        }
        for (std::size_t i = 1; i < ideal.size(); ++i)
            errorsUs.push_back(std::abs(static_cast<double>(actual[i] - ideal[i])) / 1000.0);
    }
    std::sort(errorsUs.begin(), errorsUs.end());
    auto at = [&errorsUs](double q) { return errorsUs[static_cast<std::size_t>(q * (errorsUs.size() - 1))]; };
    state.counters["edges"] = static_cast<double>(errorsUs.size());
    state.counters["median_us"] = at(0.5);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = errorsUs.back();
    state.counters["realtime_priority"] = [] {
        bool raised = false;
        std::thread([&raised] { raised = RaiseThreadToRealtime(); }).join();
        return raised ? 1.0 : 0.0;
    }();
}
BENCHMARK(BM_CwEdgeError)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
