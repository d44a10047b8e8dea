#pragma once
// Shared pieces of the port tests: a main-thread queue the test pumps, and a pseudo-terminal
// pair whose slave is reachable as a COM port through the port map in a temporary home.
#include "comms/com_port_map.h"
#include "comms/main_thread_queue.h"
#include "tests/test_support.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <string>
#include <unistd.h>

namespace korval::test {

class TTestQueue : public TMainThreadQueue {
public:
    void Post(std::function<void()> call) override
    {
        std::lock_guard<std::mutex> g(lock_);
        calls_.push_back(std::move(call));
        cv_.notify_one();
    }
    // Runs queued calls in this thread until `done` holds or the time is up; returns `done()`.
    bool PumpUntil(const std::function<bool()>& done, int ms = 5000)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        // Short waits: `done` may turn true from another thread without a call being posted.
        while (!done()) {
            auto now = std::chrono::steady_clock::now();
            if (now >= deadline)
                return done();
            RunOne(std::min(deadline, now + std::chrono::milliseconds(5)));
        }
        return true;
    }
    // Runs whatever arrives for `ms` milliseconds.
    void PumpFor(int ms)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (RunOne(deadline)) {
        }
    }

private:
    bool RunOne(std::chrono::steady_clock::time_point deadline)
    {
        std::function<void()> call;
        {
            std::unique_lock<std::mutex> g(lock_);
            if (!cv_.wait_until(g, deadline, [this] { return !calls_.empty(); }))
                return false;
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        call();
        return true;
    }
    std::mutex lock_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> calls_;
};

// A pseudo-terminal pair mapped as COM3 in a fresh home, with the test queue installed.
class PtyFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        slavePath = ttyname(slave);
        WriteAll(home.file(kComPortMapName), "[Ports]\nCOM3=" + slavePath + "\nCOM7=" + home.file("absent") + "\n");
        TComPortMap::SetFolder(home.path());
        SetMainThreadQueue(&queue);
    }
    void TearDown() override
    {
        SetMainThreadQueue(nullptr);
        TComPortMap::SetFolder("");
        ::close(master);
        ::close(slave);
    }
    // Everything the master can read within `ms` milliseconds.
    std::string ReadMaster(std::size_t want, int ms = 3000)
    {
        std::string got;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (got.size() < want && std::chrono::steady_clock::now() < deadline) {
            pollfd p {master, POLLIN, 0};
            if (poll(&p, 1, 20) > 0) {
                char buf[4096];
                ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, static_cast<std::size_t>(n));
            }
        }
        return got;
    }
    void WriteMaster(const std::string& bytes)
    {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    TempDir home;
    TTestQueue queue;
    int master = -1, slave = -1;
    std::string slavePath;
};

} // namespace korval::test
