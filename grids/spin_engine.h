#pragma once
// The spinner's press-and-hold logic without a window: which part is pressed, when the next
// step is due and how the wait shrinks while the button is held. The window feeds it the part
// under the mouse and asks it on every pass of a short timer whether a step is due; the clock is
// passed in, so tests can hold the button for any time without waiting.
#include <cstdint>
#include <string>

#include "entry/ovc_timer_pool.h"
#include "grids/spin_regions.h"

namespace korval {

class TOvcSpinEngine {
public:
    // How often (ms) the window asks, while the button is held, whether a step is due: one
    // pass of the repeat. Once the acceleration has used up the delay a step comes every pass.
    static constexpr uint32_t PollPeriod = 10;

    explicit TOvcSpinEngine(TOvcTickSource& clock) : clock_(&clock) {}
    void SetClock(TOvcTickSource& clock) { clock_ = &clock; }
    TOvcTickSource& Clock() const { return *clock_; }

    int Acceleration() const { return acceleration_; }
    // 0..10; other values are ignored.
    void SetAcceleration(int value);
    bool AutoRepeat = true;
    int DelayTime = 500;  // ms before the second step
    double Delta = 1.0;
    bool WrapMode = true;

    TOvcSpinState State() const { return state_; }
    TOvcSpinState PreviousState() const { return previous_; }
    bool Armed() const { return armed_; }
    // The button is held on a part that repeats.
    bool Holding() const { return holding_; }
    int Repeats() const { return repeats_; }

    // The button went down over part at. The first step is due at once. True when the press
    // repeats while held (auto-repeat on and not the centre).
    bool Press(TOvcSpinState at);
    // The mouse moved to part at while held; true when the state changed (repaint both parts).
    // The centre counts as no part here.
    bool Move(TOvcSpinState at);
    // The button came up.
    void Release();

    // A part is armed and the time for a step has passed.
    bool StepDue() const;
    // A step was made: the next one is due after the delay less the acceleration so far.
    void Stepped();

private:
    TOvcTickSource* clock_;
    int acceleration_ = 5;
    TOvcSpinState state_ = ssNormal;
    TOvcSpinState previous_ = ssNormal;
    bool armed_ = false;
    bool holding_ = false;
    int repeats_ = 0;
    uint32_t due_ = 0;
};

// Steps the number a plain text box holds by delta: the text read as a floating-point number
// (decimalChar as its decimal point, blanks around it allowed), delta added, written back in
// the shortest form. False, and text unchanged, when the text is not a number.
bool StepNumberText(std::string& text, double delta, char decimalChar);

} // namespace korval
