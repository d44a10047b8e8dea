#include "platform/precise_clock.h"

#include <cerrno>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <time.h>

namespace korval {

std::int64_t TMonotonicClock::NowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void TMonotonicClock::SleepUntil(std::int64_t ns)
{
    // The kernel wakes a sleeper a few hundred microseconds late on a busy machine: sleep to
    // shortly before the deadline and spend the rest yielding, which lands within microseconds.
    constexpr std::int64_t SpinNs = 1'000'000;
    const std::int64_t wake = ns - SpinNs;
    if (wake > NowNs()) {
        timespec ts{};
        ts.tv_sec = static_cast<time_t>(wake / 1000000000);
        ts.tv_nsec = static_cast<long>(wake % 1000000000);
        // A signal ends the sleep early; the deadline stays the same, so sleep again.
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
        }
    }
    while (NowNs() < ns)
        sched_yield();
}

void TManualClock::SleepUntil(std::int64_t ns)
{
    std::int64_t now = now_.load();
    while (now < ns && !now_.compare_exchange_weak(now, ns)) {
    }
}

TPiMutex::TPiMutex()
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_setprotocol(&attr, PTHREAD_PRIO_INHERIT);
    pthread_mutex_init(&m_, &attr);
    pthread_mutexattr_destroy(&attr);
}

TPiMutex::~TPiMutex()
{
    pthread_mutex_destroy(&m_);
}

void TPiMutex::lock()
{
    pthread_mutex_lock(&m_);
}

void TPiMutex::unlock()
{
    pthread_mutex_unlock(&m_);
}

bool TPiMutex::try_lock()
{
    return pthread_mutex_trylock(&m_) == 0;
}

TPreciseClock& SystemPreciseClock()
{
    static TMonotonicClock clock;
    return clock;
}

bool RaiseThreadToRealtime()
{
    sched_param param{};
    // Above ordinary real-time work but below the kernel's own threads (which sit at 50).
    param.sched_priority = 40;
    const int max = sched_get_priority_max(SCHED_FIFO);
    if (max > 0 && param.sched_priority > max)
        param.sched_priority = max;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

void LowerThreadPriority()
{
    // On Linux a nice value belongs to the thread whose id is given.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, tid, getpriority(PRIO_PROCESS, tid) + 2);
}

} // namespace korval
