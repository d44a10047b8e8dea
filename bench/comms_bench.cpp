// The port library on a pseudo-terminal pair: throughput from the peer through the dispatcher to
// the handler in the main thread (MB/s), and the time from a byte written by the peer to its
// notice in the main thread (median and 99th percentile). Goals: over 10 MB/s, p99 under 2 ms.
#include <benchmark/benchmark.h>

#include "comms/apd_com_port.h"
#include "comms/com_port_map.h"
#include "comms/main_thread_queue.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <pty.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace korval;
using Clock = std::chrono::steady_clock;

namespace {

class TBenchQueue : public TMainThreadQueue {
public:
    void Post(std::function<void()> call) override
    {
        std::lock_guard<std::mutex> g(lock_);
        calls_.push_back(std::move(call));
        cv_.notify_one();
    }
    void RunOne()
    {
        std::function<void()> call;
        {
            std::unique_lock<std::mutex> g(lock_);
            if (!cv_.wait_for(g, std::chrono::milliseconds(5), [this] { return !calls_.empty(); }))
                return;
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        call();
    }

private:
    std::mutex lock_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> calls_;
};

struct TPtyPort {
    TPtyPort()
    {
        openpty(&master, &slave, nullptr, nullptr, nullptr);
        home = std::filesystem::temp_directory_path() / ("korval-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(home);
        std::ofstream(home / kComPortMapName) << "COM3=" << ttyname(slave) << "\n";
        TComPortMap::SetFolder(home.string());
        SetMainThreadQueue(&queue);
        port.SetComNumber(3);
        port.SetBaud(115200);
    }
    ~TPtyPort()
    {
        port.SetOpen(false);
        SetMainThreadQueue(nullptr);
        close(master);
        close(slave);
        std::filesystem::remove_all(home);
    }
    int master = -1, slave = -1;
    std::filesystem::path home;
    TBenchQueue queue;
    TApdComPort port;
};

void BM_DispatcherThroughput(benchmark::State& state)
{
    TPtyPort p;
    std::size_t got = 0;
    p.port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t count) {
        for (unsigned i = 0; i < count; ++i)
            cp.GetChar();
        got += count;
    };
    p.port.SetOpen(true);
    const std::size_t total = 8 << 20;
    std::vector<char> chunk(4096, 'x');
    for (auto _ : state) {
        got = 0;
        std::thread peer([&] {
            for (std::size_t sent = 0; sent < total;) {
                ssize_t n = write(p.master, chunk.data(), std::min(chunk.size(), total - sent));
                if (n > 0)
                    sent += static_cast<std::size_t>(n);
            }
        });
        while (got < total)
            p.queue.RunOne();
        peer.join();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * total));
}
BENCHMARK(BM_DispatcherThroughput)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ByteToNoticeLatency(benchmark::State& state)
{
    TPtyPort p;
    bool arrived = false;
    p.port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t count) {
        for (unsigned i = 0; i < count; ++i)
            cp.GetChar();
        arrived = true;
    };
    p.port.SetOpen(true);
    std::vector<double> us;
    for (auto _ : state) {
        arrived = false;
        auto start = Clock::now();
        if (write(p.master, "x", 1) != 1)
            state.SkipWithError("write failed");
        while (!arrived)
            p.queue.RunOne();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(us.begin(), us.end());
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}
BENCHMARK(BM_ByteToNoticeLatency)->Iterations(5000);

} // namespace

BENCHMARK_MAIN();
