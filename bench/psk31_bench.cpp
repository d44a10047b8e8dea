// The PSK31 modem's receive processing in real-time factors: seconds of sound handled per second
// of CPU. The sound is a minute of two PSK31 signals in white noise, 8000 samples a second.
// The goal is over 50x real time for both receive channels and the spectrum on one core
// (BM_Receive); the channel and the spectrum alone show where the time goes.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "station/psk31/psk_core.h"
#include "station/psk31/psk_receiver.h"
#include "station/psk31/psk_transmitter.h"

using namespace korval;

namespace {

const std::vector<float>& Sound()
{
    static const std::vector<float> sound = [] {
        std::vector<float> x(60 * PskSampleRate, 0.0f);
        std::mt19937 gen(1);
        std::normal_distribution<float> noise(0, 0.02f);
        for (float& v : x)
            v = noise(gen);
        for (double hz : {1000.0, 1600.0}) {
            TPskTransmitter tx;
            tx.SetFrequency(hz);
            tx.Start();
            for (int i = 0; i < 2000; ++i)
                tx.Send("the quick brown fox jumps over the lazy dog "[i % 44], false);
            std::vector<float> s(x.size());
            tx.Render(s.data(), static_cast<int>(s.size()));
            for (std::size_t i = 0; i < x.size(); ++i)
                x[i] += s[i];
        }
        return x;
    }();
    return sound;
}

void Report(benchmark::State& state)
{
    const double seconds = static_cast<double>(Sound().size()) / PskSampleRate;
    state.counters["realtime_x"] = benchmark::Counter(seconds * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}

// Two channels and the spectrum, in the blocks the modem's thread uses.
void BM_Receive(benchmark::State& state)
{
    const std::vector<float>& x = Sound();
    TPskReceiver rx;
    rx.Channel(0).SetFrequency(1000);
    rx.Channel(1).SetFrequency(1600);
    std::vector<TPskEvent> events;
    for (auto _ : state) {
        for (std::size_t i = 0; i + 256 <= x.size(); i += 256) {
            events.clear();
            rx.Process(x.data() + i, 256, events);
        }
        benchmark::DoNotOptimize(events.data());
    }
    Report(state);
}
BENCHMARK(BM_Receive)->Unit(benchmark::kMillisecond);

void BM_OneChannel(benchmark::State& state)
{
    const std::vector<float>& x = Sound();
    TPskRxChannel channel;
    channel.SetFrequency(1000);
    std::vector<TPskRxEvent> events;
    for (auto _ : state) {
        events.clear();
        channel.Process(x.data(), static_cast<int>(x.size()), events);
        benchmark::DoNotOptimize(events.data());
    }
    Report(state);
}
BENCHMARK(BM_OneChannel)->Unit(benchmark::kMillisecond);

void BM_Spectrum(benchmark::State& state)
{
    const std::vector<float>& x = Sound();
    TPskSpectrum spectrum;
    for (auto _ : state)
        benchmark::DoNotOptimize(spectrum.Process(x.data(), static_cast<int>(x.size())));
    Report(state);
}
BENCHMARK(BM_Spectrum)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
