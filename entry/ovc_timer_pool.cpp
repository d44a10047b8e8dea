#include "entry/ovc_timer_pool.h"

#include "entry/ovc_exceptions.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <stdexcept>

namespace korval {

bool TOvcManualTimerDriver::Start(uint32_t periodMs, std::function<void()> tick)
{
    if (Refuse)
        return false;
    tick_ = std::move(tick);
    period_ = periodMs;
    running_ = true;
    ++starts_;
    return true;
}

void TOvcManualTimerDriver::Stop()
{
    running_ = false;
    tick_ = nullptr;
}

uint32_t TOvcSteadyTickSource::GetTickCount()
{
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return uint32_t(uint64_t(ms.count()));
}

TOvcTimerPool::TOvcTimerPool(TOvcTickSource* clock, TOvcTimerDriver* driver)
    : clock_(clock), driver_(driver), alive_(std::make_shared<bool>(true))
{
    if (!clock_) {
        ownClock_ = std::make_unique<TOvcSteadyTickSource>();
        clock_ = ownClock_.get();
    }
    if (!driver_)
        throw std::invalid_argument("timer pool without a timer driver");
}

TOvcTimerPool::TOvcTimerPool(TOvcTickSource* clock, std::unique_ptr<TOvcTimerDriver> driver)
    : TOvcTimerPool(clock, driver.get())
{
    ownDriver_ = std::move(driver);
}

TOvcTimerPool::~TOvcTimerPool()
{
    *alive_ = false;
    driver_->Stop();
}

int TOvcTimerPool::indexOf(int handle) const
{
    for (size_t i = 0; i < triggers_.size(); ++i)
        if (triggers_[i].Handle == handle)
            return int(i);
    return -1;
}

bool TOvcTimerPool::HasTrigger(int handle) const
{
    return indexOf(handle) >= 0;
}

uint32_t TOvcTimerPool::Interval(int handle) const
{
    int i = indexOf(handle);
    return i < 0 ? 0 : triggers_[size_t(i)].Interval;
}

int TOvcTimerPool::ActiveCount() const
{
    return int(std::count_if(triggers_.begin(), triggers_.end(),
                             [](const Trigger& t) { return t.Active; }));
}

void TOvcTimerPool::sortTriggers()
{
    std::stable_sort(triggers_.begin(), triggers_.end(),
                     [](const Trigger& a, const Trigger& b) { return a.Interval < b.Interval; });
}

int TOvcTimerPool::Add(TTriggerEvent onTrigger, uint32_t interval)
{
    int handle = 0;
    for (const auto& t : triggers_)
        handle = std::max(handle, t.Handle + 1);
    uint32_t now = clock_->GetTickCount();
    triggers_.push_back({handle, now, 0, std::max(interval, MinInterval), now, std::move(onTrigger),
                         true, true});
    sortTriggers();
    restartTimer();
    return handle;
}

int TOvcTimerPool::AddOneShot(TTriggerEvent onTrigger, uint32_t interval)
{
    int handle = Add(std::move(onTrigger), interval);
    int i = indexOf(handle);
    if (i < 0)
        return -1;
    triggers_[size_t(i)].Repeating = false;
    return handle;
}

void TOvcTimerPool::Remove(int handle)
{
    int i = indexOf(handle);
    if (i < 0)
        return;
    triggers_.erase(triggers_.begin() + i);
    restartTimer();
}

uint32_t TOvcTimerPool::calcPeriod(uint32_t now) const
{
    bool any = false;
    int64_t candidate = 0;
    for (const auto& t : triggers_) {
        if (!t.Active)
            continue;
        int64_t since = int64_t(uint32_t(now - t.LastFired));
        int64_t v = std::min<int64_t>(t.Interval, int64_t(t.Interval) - since);
        candidate = any ? std::min(candidate, v) : v;
        any = true;
    }
    if (!any)
        return 0;
    candidate = std::max<int64_t>(candidate, MinInterval);
    // Lower the period until every interval is a multiple of it, so no trigger drifts.
    bool changed = true;
    while (changed && candidate > MinInterval) {
        changed = false;
        for (const auto& t : triggers_) {
            int64_t rem = int64_t(t.Interval) % candidate;
            if (rem != 0) {
                candidate -= rem;
                changed = true;
                break;
            }
        }
    }
    return uint32_t(std::max<int64_t>(candidate, MinInterval));
}

void TOvcTimerPool::restartTimer()
{
    driver_->Stop();
    period_ = calcPeriod(clock_->GetTickCount());
    if (period_ != 0 && ActiveCount() > 0) {
        std::weak_ptr<bool> alive = alive_;
        if (!driver_->Start(period_, [this, alive] {
                if (auto a = alive.lock(); a && *a)
                    TimerTick();
            })) {
            period_ = 0;
            throw ENoTimersAvailable();
        }
    }
}

void TOvcTimerPool::TimerTick()
{
    uint32_t now = clock_->GetTickCount();
    std::vector<int> handles;
    for (const auto& t : triggers_)
        handles.push_back(t.Handle);
    std::shared_ptr<bool> alive = alive_;
    for (int handle : handles) {
        int i = indexOf(handle);  // handlers may add or remove triggers
        if (i < 0 || !triggers_[size_t(i)].Active)
            continue;
        Trigger& t = triggers_[size_t(i)];
        // Unsigned subtraction gives the right count across a wrap of the tick counter.
        uint32_t elapsed = now - t.LastFired;
        if (uint64_t(elapsed) + EarlyFire < t.Interval)
            continue;
        t.LastFired = now;
        uint32_t interval = t.Interval;
        TTriggerEvent own = t.OnTrigger;
        if (!t.Repeating)
            Remove(handle);
        int reported = elapsed > uint32_t(INT_MAX) ? INT_MAX : int(elapsed);
        if (own)
            own(this, handle, interval, reported);
        if (!*alive)
            return;
        if (TTriggerEvent all = OnAllTriggers)
            all(this, handle, interval, reported);
        if (!*alive)
            return;
    }
}

} // namespace korval
