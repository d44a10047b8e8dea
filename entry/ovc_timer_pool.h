#pragma once
// One periodic timer multiplexed into any number of triggers, each with its own interval and
// handler. The pool is plain C++: the clock and the periodic timer are passed in, so tests can
// drive it; by default it uses a monotonic millisecond clock and one QTimer.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace korval {

class TOvcTimerPool;

// Sender, trigger handle, its interval (ms) and the milliseconds since it last fired.
using TTriggerEvent = std::function<void(TOvcTimerPool* sender, int handle, uint32_t interval, int elapsed)>;

// A millisecond tick counter that wraps at 2^32.
class TOvcTickSource {
public:
    virtual ~TOvcTickSource() = default;
    virtual uint32_t GetTickCount() = 0;
};

// The periodic timer the pool runs on; it calls TOvcTimerPool::TimerTick each period.
class TOvcTimerDriver {
public:
    virtual ~TOvcTimerDriver() = default;
    // False when no timer can be had.
    virtual bool Start(uint32_t periodMs, std::function<void()> tick) = 0;
    virtual void Stop() = 0;
};

// A clock the tests set by hand.
class TOvcManualTickSource : public TOvcTickSource {
public:
    explicit TOvcManualTickSource(uint32_t start = 0) : now_(start) {}
    uint32_t GetTickCount() override { return now_; }
    void Set(uint32_t now) { now_ = now; }
    void Advance(uint32_t ms) { now_ += ms; }

private:
    uint32_t now_;
};

// A timer that only records what it was asked; the test calls Fire for each period.
class TOvcManualTimerDriver : public TOvcTimerDriver {
public:
    bool Start(uint32_t periodMs, std::function<void()> tick) override;
    void Stop() override;
    bool Running() const { return running_; }
    uint32_t Period() const { return running_ ? period_ : 0; }
    int Starts() const { return starts_; }
    void Fire() { if (running_ && tick_) tick_(); }
    bool Refuse = false;  // makes Start fail

private:
    std::function<void()> tick_;
    uint32_t period_ = 0;
    bool running_ = false;
    int starts_ = 0;
};

// The default clock: milliseconds of a monotonic clock, truncated to 32 bits.
class TOvcSteadyTickSource : public TOvcTickSource {
public:
    uint32_t GetTickCount() override;
};

class TOvcTimerPool {
public:
    static constexpr uint32_t MinInterval = 55;  // shortest interval and period (ms)
    static constexpr uint32_t EarlyFire = 27;    // a trigger may fire this much early (ms)

    // A null clock takes the steady clock; the pool does not own a clock or driver passed in.
    // The driver is needed (the windows pass one that ticks in their event loop).
    TOvcTimerPool(TOvcTickSource* clock, TOvcTimerDriver* driver);
    // The same with a driver the pool owns.
    TOvcTimerPool(TOvcTickSource* clock, std::unique_ptr<TOvcTimerDriver> driver);
    ~TOvcTimerPool();
    TOvcTimerPool(const TOvcTimerPool&) = delete;
    TOvcTimerPool& operator=(const TOvcTimerPool&) = delete;

    const char* About() const { return "v3.06"; }
    TTriggerEvent OnAllTriggers;

    // Adds a repeating trigger; returns its handle (-1 when it cannot be made). An interval
    // below 55 ms counts as 55. Raises ENoTimersAvailable when the timer is refused.
    int Add(TTriggerEvent onTrigger, uint32_t interval);
    // Adds a trigger that fires once and is then removed.
    int AddOneShot(TTriggerEvent onTrigger, uint32_t interval);
    // Removes the trigger; nothing happens for an unknown handle.
    void Remove(int handle);

    // One period of the timer: fires the triggers that are due.
    void TimerTick();

    int Count() const { return int(triggers_.size()); }
    int ActiveCount() const;
    uint32_t TimerPeriod() const { return period_; }  // 0 = timer off
    bool HasTrigger(int handle) const;
    uint32_t Interval(int handle) const;  // 0 for an unknown handle

private:
    struct Trigger {
        int Handle;
        uint32_t Created;
        int Reserved;
        uint32_t Interval;
        uint32_t LastFired;
        TTriggerEvent OnTrigger;
        bool Active;
        bool Repeating;
    };
    void sortTriggers();
    uint32_t calcPeriod(uint32_t now) const;
    void restartTimer();
    int indexOf(int handle) const;

    std::vector<Trigger> triggers_;
    uint32_t period_ = 0;
    TOvcTickSource* clock_;
    TOvcTimerDriver* driver_;
    std::unique_ptr<TOvcTickSource> ownClock_;
    std::unique_ptr<TOvcTimerDriver> ownDriver_;
    std::shared_ptr<bool> alive_;
};

} // namespace korval
