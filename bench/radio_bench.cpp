// The CAT engine against a simulated Kenwood/Elecraft ASCII radio on a pseudo-terminal at 38400
// baud, through the shipped definition: polls (a read of frequency and mode) per second, and
// the time per exchange. A pseudo-terminal has no line time, so the time per exchange is what
// the engine, the port library and the simulator's thread add; the goal is under 1 ms beyond
// the line time of the bytes (reported as line_us_per_poll for comparison).
#include <benchmark/benchmark.h>

#include "comms/com_port_map.h"
#include "comms/main_thread_queue.h"
#include "station/radio.h"
#include "station/radio_list.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

using namespace korval;

namespace {

class TBenchQueue : public TMainThreadQueue {
public:
    void Post(std::function<void()> call) override
    {
        std::lock_guard<std::mutex> g(lock_);
        calls_.push_back(std::move(call));
        cv_.notify_one();
    }
    void RunFor(std::chrono::microseconds span)
    {
        const auto until = std::chrono::steady_clock::now() + span;
        for (;;) {
            std::function<void()> call;
            {
                std::unique_lock<std::mutex> g(lock_);
                if (!cv_.wait_until(g, until, [this] { return !calls_.empty(); }))
                    return;
                call = std::move(calls_.front());
                calls_.pop_front();
            }
            call();
        }
    }

private:
    std::mutex lock_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> calls_;
};

class TBenchHost : public TRadioHost {
public:
    explicit TBenchHost(TBenchQueue& q) : queue_(q) {}
    void ProcessRadioMessages() override { queue_.RunFor(std::chrono::microseconds(200)); }
    std::int64_t TickCount() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

private:
    TBenchQueue& queue_;
};

// Answers FA;, MD; and IF; as the radio does.
void Simulate(int fd, std::atomic<bool>& stop, std::atomic<long>& bytes)
{
    std::string pending;
    while (!stop) {
        pollfd p {fd, POLLIN, 0};
        if (poll(&p, 1, 5) <= 0)
            continue;
        char buf[256];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0)
            continue;
        pending.append(buf, static_cast<std::size_t>(n));
        bytes += n;
        for (std::size_t end; (end = pending.find(';')) != std::string::npos;) {
            const std::string cmd = pending.substr(0, end);
            pending.erase(0, end + 1);
            std::string reply;
            if (cmd == "FA")
                reply = "FA00014250000;";
            else if (cmd == "MD")
                reply = "MD2;";
            else if (cmd == "IF")
                reply = "IF00014250000     +00000000000200000000;";
            bytes += static_cast<long>(reply.size());
            if (!reply.empty() && write(fd, reply.data(), reply.size()) < 0)
                return;
        }
    }
}

void BM_PollAsciiRadio(benchmark::State& state)
{
    int master = -1, slave = -1;
    openpty(&master, &slave, nullptr, nullptr, nullptr);
    const auto home = std::filesystem::temp_directory_path() / ("korval-radio-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    std::ofstream(home / kComPortMapName) << "COM3=" << ttyname(slave) << "\n";
    TComPortMap::SetFolder(home.string());
    TBenchQueue queue;
    SetMainThreadQueue(&queue);
    {
        TRadioList list(false);
        TRadioDefinition d;
        list.LoadItem(std::string(KORVAL_SOURCE_DIR) + "/data/RADIOS/Kenwood TS-590S.rig", d);
        TRadioSettings s;
        s.comPort = 3;
        s.baud = 38400;
        TBenchHost host(queue);
        std::atomic<bool> stop {false};
        std::atomic<long> bytes {0};
        std::thread sim(Simulate, master, std::ref(stop), std::ref(bytes));
        {
            TRadio radio(d, s, host);
            double rx = 0, tx = 0;
            std::uint8_t mode = 0;
            bool split = false;
            long polls = 0;
            const auto start = std::chrono::steady_clock::now();
            for (auto _ : state) {
                if (radio.ReadFrequencyAndMode(rx, tx, mode, split) || rx != 14250.0) {
                    state.SkipWithError("poll failed");
                    break;
                }
                ++polls;
            }
            // Three exchanges a poll (VFO A, mode, status).
            state.counters["polls_per_s"] = benchmark::Counter(static_cast<double>(polls), benchmark::Counter::kIsRate);
            const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
            if (polls > 0)
                state.counters["us_per_exchange"] = us / (static_cast<double>(polls) * 3);
            if (polls > 0)
                state.counters["line_us_per_poll"] = static_cast<double>(bytes) / polls * 10.0 / 38400.0 * 1e6;
        }
        stop = true;
        sim.join();
    }
    SetMainThreadQueue(nullptr);
    TComPortMap::SetFolder("");
    close(master);
    close(slave);
    std::filesystem::remove_all(home);
}
BENCHMARK(BM_PollAsciiRadio)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
