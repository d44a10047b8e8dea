#include "station/morse_sender.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "logbook/config_record.h"

namespace korval {

namespace {

const char* const Letters[26] = {".-",   "-...", "-.-.", "-..",  ".",   "..-.", "--.",  "....", "..",
                                 ".---", "-.-",  ".-..", "--",   "-.",  "---",  ".--.", "--.-", ".-.",
                                 "...",  "-",    "..-",  "...-", ".--", "-..-", "-.--", "--.."};
const char* const Digits[10] = {"-----", ".----", "..---", "...--", "....-",
                                ".....", "-....", "--...", "---..", "----."};
struct TSign {
    unsigned char c;
    const char* pattern;
};
const TSign Punctuation[] = {{'.', ".-.-.-"}, {',', "--..--"}, {'=', "-...-"},  {'*', ".-.-."},
                             {'!', "...-.-"}, {'/', "-..-."},  {196, ".-.-"},   {214, "---."},
                             {'?', "..--.."}};
constexpr const char* Unknown = "..--..";

std::int32_t Round(double v)
{
    // The default rounding mode takes halves to the even neighbour.
    return static_cast<std::int32_t>(std::nearbyint(v));
}

TMorseSender* g_sender = nullptr;

// Long waits are cut into pieces so that Stop is heard within this time.
constexpr std::int64_t StopSliceNs = 50'000'000;
// A schedule this far behind the clock belongs to text that ended earlier, not to a late wake-up.
constexpr std::int64_t ResyncNs = 20'000'000;

} // namespace

bool ComputeMorseTiming(int charWpm, int spacingWpm, int weight, TMorseTiming& timing)
{
    if (charWpm <= 0 || spacingWpm <= 0 || weight <= 0)
        return false;
    spacingWpm = std::min(spacingWpm, charWpm);
    TMorseTiming t;
    t.Dot = Round(60000.0 / (charWpm * 49.0));
    const std::int32_t u = Round(60000.0 / (spacingWpm * 49.0));
    t.Dash = Round(t.Dot * 3.0 * weight / 100.0);
    if (t.Dot <= 0 || t.Dash <= 0)
        return false;
    t.CharGap = 3 * u - t.Dot;
    t.WordGap = 6 * u - t.CharGap;
    t.EffectiveWpm = Round(60000.0 / (20.0 * t.Dot + 4.0 * (t.Dash + t.Dot) + 5.0 * t.CharGap + t.WordGap));
    timing = t;
    return true;
}

std::string MorsePattern(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return Letters[c - 'A'];
    if (c >= '0' && c <= '9')
        return Digits[c - '0'];
    for (const TSign& s : Punctuation)
        if (s.c == c)
            return s.pattern;
    return Unknown;
}

TMorseSettings MorseSettingsFromConfig()
{
    TMorseSettings s;
    s.charWpm = Config.CwCharWpm();
    s.spacingWpm = Config.CwSpacingWpm();
    s.weight = Config.CwWeight();
    s.toneHz = Config.CwSideToneHz();
    s.sideTone = Config.CwSideTone();
    s.immediate = Config.CwImmediate();
    s.keyingInterface = Config.CwKeyingInterface();
    s.pttDelayMs = Config.CwPttDelay();
    s.radioComPort = Config.RadioComPort();
    return s;
}

TMorseSender* MorseSender()
{
    return g_sender;
}

void SetMorseSender(TMorseSender* sender)
{
    g_sender = sender;
}

TMorseSender::TMorseSender(TPreciseClock& clock, TKeyLineProvider lines, std::shared_ptr<TSideTone> tone,
                           const TMorseSettings& settings)
    : clock_(clock), lines_(std::move(lines)), tone_(std::move(tone))
{
    settings_ = settings;
    ComputeMorseTiming(settings.charWpm, settings.spacingWpm, settings.weight, timing_);
    hold_ = !settings.immediate;
    SelectKeyingPort(false);
}

TMorseSender::~TMorseSender()
{
    Stop();
    if (g_sender == this)
        g_sender = nullptr;
}

void TMorseSender::Start()
{
    if (thread_.joinable())
        return;
    stop_ = false;
    thread_ = std::thread([this] {
        RaiseThreadToRealtime(); // a user without real-time rights keeps the normal priority
        while (!stop_)
            Step();
    });
}

void TMorseSender::Stop()
{
    stop_ = true;
    cv_.notify_all();
    if (thread_.joinable())
        thread_.join();
    // Whatever was going on, the transmitter must not stay keyed.
    pttHeld_ = false;
    ReleaseLines();
}

void TMorseSender::SetTiming(const TMorseSettings& settings)
{
    {
        std::lock_guard lock(mu_);
        TMorseSettings s = settings;
        if (!ComputeMorseTiming(s.charWpm, s.spacingWpm, s.weight, timing_)) {
            s.charWpm = settings_.charWpm;
            s.spacingWpm = settings_.spacingWpm;
            s.weight = settings_.weight;
        }
        settings_ = s;
    }
    if (OnTimingChanged)
        OnTimingChanged();
}

TMorseTiming TMorseSender::Timing() const
{
    std::lock_guard lock(mu_);
    return timing_;
}

TMorseSettings TMorseSender::Settings() const
{
    std::lock_guard lock(mu_);
    return settings_;
}

void TMorseSender::SelectKeyingPort(bool showError)
{
    const TMorseSettings s = Settings();
    // The old line goes first: a serial port can be open only once.
    DropKeyLine();
    std::lock_guard lock(lineMu_);
    line_ = lines_ ? lines_(s, showError) : nullptr;
}

void TMorseSender::DropKeyLine()
{
    std::lock_guard lock(lineMu_);
    if (line_)
        line_->Set(false, false);
    line_.reset();
    pttBit_ = false;
}

bool TMorseSender::HasKeyLine() const
{
    std::lock_guard lock(lineMu_);
    return line_ != nullptr;
}

std::size_t TMorseSender::QueueText(std::string_view text)
{
    std::string add;
    bool enter = false;
    for (char c : text) {
        if (c == '\r')
            enter = true;
        else
            add.push_back(c);
    }
    std::size_t dropped = 0;
    {
        std::lock_guard lock(mu_);
        if (enter)
            hold_ = false;
        const std::size_t room = BufferCapacity - std::min(buffer_.size(), BufferCapacity);
        if (add.size() > room) {
            // Keying state at the end of the buffer with the whole text and with what fits:
            // a cut that swallows the ">" must not leave keying off for everything after.
            auto endState = [this](std::string_view s, bool state) {
                for (char c : s)
                    state = c == '<' ? false : c == '>' ? true : state;
                return state;
            };
            const bool now = endState(buffer_, keyingEnabled_);
            const bool whole = endState(add, now);
            dropped = add.size() - room;
            add.resize(room);
            buffer_ += add;
            if (whole && !endState(add, now) && buffer_.size() > (inFlight_ ? 1u : 0u)) {
                if (buffer_.back() != '>' && !add.empty())
                    ++dropped;
                buffer_.back() = '>';
            }
        } else {
            buffer_ += add;
        }
    }
    cv_.notify_all();
    return dropped;
}

void TMorseSender::ClearBuffer()
{
    clearRequest_ = true;
    cv_.notify_all();
}

void TMorseSender::DeleteLastChar()
{
    std::lock_guard lock(mu_);
    if (buffer_.size() > (inFlight_ ? 1u : 0u))
        buffer_.pop_back();
}

bool TMorseSender::IsIdle() const
{
    std::lock_guard lock(mu_);
    return hold_ || buffer_.empty();
}

std::string TMorseSender::BufferText() const
{
    std::lock_guard lock(mu_);
    return buffer_;
}

void TMorseSender::SetKey(bool down)
{
    if (down) {
        manualKey_ = true;
        KeyLine(true, false);
        return;
    }
    KeyLine(false, false);
    manualKey_ = false;
    if (!pttHeld_) {
        std::lock_guard lock(lineMu_);
        if (line_ && pttBit_)
            line_->Set(false, false);
        pttBit_ = false;
    }
}

void TMorseSender::SetPtt(bool on)
{
    if (pttHeld_ == on)
        return;
    const int delay = Settings().pttDelayMs;
    std::lock_guard lock(lineMu_);
    if (on)
        pttHeld_ = true;
    if (line_ && line_->HasPtt()) {
        pttBit_ = false;
        if (on && delay != 0) {
            pttBit_ = true;
            line_->Set(false, true);
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        }
        line_->Set(on, pttBit_);
    } else if (line_) {
        line_->Set(on, false);
    }
    if (!on)
        pttHeld_ = false;
}

void TMorseSender::Calibrate()
{
    int idle = 0;
    if (calibrateState_.compare_exchange_strong(idle, 1))
        cv_.notify_all();
}

void TMorseSender::Step()
{
    if (clearRequest_.exchange(false)) {
        {
            std::lock_guard lock(mu_);
            buffer_.clear();
        }
        keyingEnabled_ = true;
        if (!pttHeld_ && !manualKey_)
            ReleaseLines();
    }
    bool empty;
    bool immediate;
    {
        std::lock_guard lock(mu_);
        empty = buffer_.empty();
        immediate = settings_.immediate;
        if (empty)
            hold_ = !immediate;
    }
    if (empty) {
        {
            std::lock_guard lock(lineMu_);
            if (pttBit_ && !pttHeld_ && !manualKey_) {
                pttBit_ = false;
                if (line_)
                    line_->Set(false, false);
            }
        }
        switch (calibrateState_) {
        case 0:
            IdleWait();
            return;
        case 1: {
            std::lock_guard lock(mu_);
            measuredMs_ = 0;
            calibrateStart_ = clock_.NowNs();
            buffer_ = CalibrationText;
            hold_ = false;
            calibrateState_ = 2;
            break;
        }
        default: {
            std::lock_guard lock(mu_);
            measuredMs_ = static_cast<std::int32_t>((clock_.NowNs() - calibrateStart_ + 500'000) / 1'000'000);
            hold_ = !immediate;
            calibrateState_ = 0;
            return;
        }
        }
    }
    char c = 0;
    bool send = false;
    {
        std::lock_guard lock(mu_);
        if (!buffer_.empty() && !hold_) {
            c = buffer_.front();
            inFlight_ = true;
            send = true;
        }
    }
    if (!send) {
        IdleWait();
        return;
    }
    SendChar(c);
    std::lock_guard lock(mu_);
    if (!buffer_.empty())
        buffer_.erase(0, 1);
    inFlight_ = false;
}

void TMorseSender::IdleWait()
{
    std::unique_lock lock(mu_);
    cv_.wait_for(lock, std::chrono::milliseconds(100), [this] {
        return stop_ || clearRequest_ || calibrateState_ == 1 || (!buffer_.empty() && !hold_);
    });
}

void TMorseSender::Wait(std::int32_t ms)
{
    next_ += static_cast<std::int64_t>(ms) * 1'000'000;
    for (;;) {
        const std::int64_t now = clock_.NowNs();
        if (now >= next_ || stop_)
            return;
        clock_.SleepUntil(std::min(next_, now + StopSliceNs));
    }
}

void TMorseSender::SendChar(char c)
{
    if (c == '<') {
        keyingEnabled_ = false;
        return;
    }
    if (c == '>') {
        keyingEnabled_ = true;
        return;
    }
    TMorseTiming t;
    TMorseSettings s;
    {
        std::lock_guard lock(mu_);
        t = timing_;
        s = settings_;
    }
    // Within a text the schedule runs on, so a late wake-up is made up by the next wait
    // instead of pushing every later edge back; after an idle spell it starts from now.
    const std::int64_t now = clock_.NowNs();
    if (now - next_ > ResyncNs)
        next_ = now;
    if (c == ' ') {
        Wait(t.WordGap);
        return;
    }
    for (char sign : MorsePattern(static_cast<unsigned char>(c))) {
        if (stop_)
            return;
        SendElement(sign == '.' ? t.Dot : t.Dash, s);
        Wait(t.Dot);
    }
    Wait(t.CharGap);
}

void TMorseSender::SendElement(std::int32_t ms, const TMorseSettings& s)
{
    const bool keyed = s.keyingInterface != 1;
    const bool tone = tone_ && s.toneHz > 0 && (s.sideTone || !keyingEnabled_);
    if (keyed)
        KeyLine(true, true);
    if (tone)
        tone_->On(s.toneHz);
    Wait(ms);
    if (keyed)
        KeyLine(false, true);
    if (tone)
        tone_->Off();
}

void TMorseSender::KeyLine(bool down, bool scheduled)
{
    if (!keyingEnabled_ || pttHeld_)
        return;
    const int delay = Settings().pttDelayMs;
    std::lock_guard lock(lineMu_);
    if (!line_)
        return;
    if (!line_->HasPtt()) {
        line_->Set(down, false);
        return;
    }
    if (!pttBit_ && delay != 0) {
        // PTT first, and the key only after the transmitter had time to switch over.
        pttBit_ = true;
        line_->Set(false, true);
        if (scheduled)
            Wait(delay);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
    line_->Set(down, pttBit_);
}

void TMorseSender::ReleaseLines()
{
    {
        std::lock_guard lock(lineMu_);
        if (line_)
            line_->Set(false, false);
        pttBit_ = false;
    }
    manualKey_ = false;
    if (tone_)
        tone_->Off();
}

} // namespace korval
