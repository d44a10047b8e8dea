#include "grids/spin_engine.h"

#include "logbook/base/string_utils.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace korval {

void TOvcSpinEngine::SetAcceleration(int value)
{
    if (value >= 0 && value <= 10)
        acceleration_ = value;
}

bool TOvcSpinEngine::Press(TOvcSpinState at)
{
    previous_ = state_;
    state_ = at;
    // A press where the style has no part (a corner of the star) arms nothing: no step is
    // reported for a button that is not there.
    armed_ = at >= ssUpBtn && at <= ssCenterBtn;
    repeats_ = 0;
    due_ = clock_->GetTickCount() - 1;
    holding_ = AutoRepeat && at != ssCenterBtn;
    return holding_;
}

bool TOvcSpinEngine::Move(TOvcSpinState at)
{
    if (!holding_)
        return false;
    const TOvcSpinState next = at == ssCenterBtn ? ssNormal : at;
    if (next == state_)
        return false;
    previous_ = state_;
    state_ = next;
    armed_ = next >= ssUpBtn && next <= ssRightBtn;
    return true;
}

void TOvcSpinEngine::Release()
{
    previous_ = state_;
    state_ = ssNormal;
    armed_ = false;
    holding_ = false;
}

bool TOvcSpinEngine::StepDue() const
{
    // A press that does not repeat steps once, however long the button is held.
    if (!holding_ && repeats_ > 0)
        return false;
    return armed_ && static_cast<int32_t>(clock_->GetTickCount() - due_) > 0;
}

void TOvcSpinEngine::Stepped()
{
    // 64-bit so that a button held for days cannot overflow the product.
    // A gap below 0 only means "due at the next pass"; keeping it at 0 keeps the due time from
    // falling so far behind that the wrap-around comparison turns.
    const int64_t gap = std::max<int64_t>(int64_t(DelayTime) - int64_t(acceleration_) * 10 * repeats_, 0);
    due_ = clock_->GetTickCount() + static_cast<uint32_t>(gap);
    if (repeats_ < 1000000)
        ++repeats_;
}

bool StepNumberText(std::string& text, double delta, char decimalChar)
{
    std::string s = TrimSpaces(text);
    if (s.empty())
        return false;
    if (decimalChar != '.') {
        if (s.find('.') != std::string::npos)
            return false;
        std::replace(s.begin(), s.end(), decimalChar, '.');
    }
    const char* first = s.data();
    if (*first == '+')
        ++first;
    double v = 0;
    auto [end, ec] = std::from_chars(first, s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return false;
    v += delta;
    if (v == 0)
        v = 0;  // no "-0"
    // to_chars rather than printf: the program's locale must not change the decimal point.
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    std::string out(buf, res.ptr);
    if (decimalChar != '.')
        std::replace(out.begin(), out.end(), '.', decimalChar);
    text = out;
    return true;
}

} // namespace korval
