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
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ns / 1000000000);
    ts.tv_nsec = static_cast<long>(ns % 1000000000);
    // A signal ends the sleep early; the deadline stays the same, so sleep again.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

void TManualClock::SleepUntil(std::int64_t ns)
{
    std::int64_t now = now_.load();
    while (now < ns && !now_.compare_exchange_weak(now, ns)) {
    }
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
