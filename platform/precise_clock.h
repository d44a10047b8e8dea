#pragma once
// Time for the CW keyer: a monotonic clock in nanoseconds and a sleep until an absolute moment,
// so that marks and spaces are laid on a fixed schedule and a late wake-up does not push every
// later edge back. Tests and benchmarks pass a clock of their own.
#include <atomic>
#include <cstdint>
#include <pthread.h>

namespace korval {

class TPreciseClock {
public:
    virtual ~TPreciseClock() = default;
    // Nanoseconds from a fixed point; never goes backwards.
    virtual std::int64_t NowNs() = 0;
    // Returns at (or as soon as possible after) the given moment of NowNs.
    virtual void SleepUntil(std::int64_t ns) = 0;
};

// CLOCK_MONOTONIC with clock_nanosleep on absolute deadlines.
class TMonotonicClock : public TPreciseClock {
public:
    std::int64_t NowNs() override;
    void SleepUntil(std::int64_t ns) override;
};

// A clock that only moves when someone sleeps on it: SleepUntil jumps to the deadline at once.
class TManualClock : public TPreciseClock {
public:
    std::int64_t NowNs() override { return now_.load(); }
    void SleepUntil(std::int64_t ns) override;
    void Advance(std::int64_t ns) { now_ += ns; }

private:
    std::atomic<std::int64_t> now_{0};
};

// A mutex with priority inheritance: a real-time thread waiting for it lends its priority to
// the holder, so an ordinary thread preempted while holding it cannot stall the keyer. Usable
// with std::lock_guard and std::condition_variable_any.
class TPiMutex {
public:
    TPiMutex();
    ~TPiMutex();
    TPiMutex(const TPiMutex&) = delete;
    TPiMutex& operator=(const TPiMutex&) = delete;
    void lock();
    void unlock();
    bool try_lock();

private:
    pthread_mutex_t m_;
};

// The one monotonic clock of the program.
TPreciseClock& SystemPreciseClock();

// Puts the calling thread in the real-time FIFO class; false (and the thread left as it was)
// when the system does not allow it, which is the usual case for a user without rtprio rights.
bool RaiseThreadToRealtime();
// Gives the calling thread a lower share of the processor than the program's other threads.
void LowerThreadPriority();

} // namespace korval
