#pragma once
// The CW sender: a thread of its own, at real-time priority where the system allows it, that
// takes characters one at a time from a send buffer of at most 255 characters and keys the
// transmitter through a key line, with the side tone on the sound card. Marks and spaces are
// laid on a schedule of absolute deadlines, so a late wake-up never shifts the edges after it.
//
// The dot lasts 60000 / (49 x speed) ms (the keyer's own timing of old, which stored settings and
// operators' habits rely on; not the 1200 / speed of the PARIS rule). "<" turns keying off and
// ">" on again: text between them is heard on the side tone but never keys the transmitter.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "platform/key_line.h"
#include "platform/precise_clock.h"
#include "platform/sound.h"

namespace korval {

struct TMorseTiming {
    std::int32_t Dot = 61, Dash = 183, CharGap = 122, WordGap = 244, EffectiveWpm = 20;
    bool operator==(const TMorseTiming&) const = default;
};

// The timing of a character speed, a spacing speed (taken no higher than the character speed)
// and a weight in percent. False, with `timing` untouched, for a speed or weight that is not
// above 0 or a speed at which a dot would not last a millisecond.
bool ComputeMorseTiming(int charWpm, int spacingWpm, int weight, TMorseTiming& timing);

// The signs of a character as '.' and '-'; every character without a sign of its own (lower-case
// letters too) gives those of '?', "..--..".
std::string MorsePattern(unsigned char c);

struct TMorseSettings {
    int charWpm = 20;
    int spacingWpm = 20;
    int weight = 100;
    int toneHz = 850;
    bool sideTone = true;
    bool immediate = true;
    int keyingInterface = 1;  // 1 none, 2..4 LPT1..3, 5 DTR and 6 RTS of the radio's port
    int pttDelayMs = 0;       // 0: no PTT line
    int radioComPort = 0;
};

// The keyer's block of the configuration.
TMorseSettings MorseSettingsFromConfig();

class TMorseSender {
public:
    static constexpr std::size_t BufferCapacity = 255;
    static constexpr const char* CalibrationText = "<PARIS PARIS >";
    // The line of the settings' keying interface; null keys nothing. showError: the operator
    // is told when the port cannot be opened.
    using TKeyLineProvider = std::function<std::shared_ptr<TKeyLine>(const TMorseSettings&, bool showError)>;

    // Settings from `settings`; the line is chosen at once (without messages). Not started.
    TMorseSender(TPreciseClock& clock, TKeyLineProvider lines, std::shared_ptr<TSideTone> tone,
                 const TMorseSettings& settings = {});
    ~TMorseSender();
    TMorseSender(const TMorseSender&) = delete;
    TMorseSender& operator=(const TMorseSender&) = delete;

    // Runs the thread; Stop ends it within one element and releases key and PTT.
    void Start();
    void Stop();
    bool Running() const { return thread_.joinable(); }

    // New settings: the timing is recomputed (refused speeds keep the timing before) and
    // OnTimingChanged runs in the caller's thread.
    void SetTiming(const TMorseSettings& settings);
    void SetTiming() { SetTiming(MorseSettingsFromConfig()); }
    TMorseTiming Timing() const;
    TMorseSettings Settings() const;
    int EffectiveWpm() const { return Timing().EffectiveWpm; }
    std::function<void()> OnTimingChanged;
    // Takes the line of the current keying interface again (the old one is released first).
    void SelectKeyingPort(bool showError = false);
    // Gives the line up (released first), so that the radio can open the port the keyer keys.
    void DropKeyLine();
    bool HasKeyLine() const;

    // Appends text: carriage returns are taken out and release held text. Returns how many
    // characters did not fit into the buffer; a cut never leaves a "<" without its ">".
    std::size_t QueueText(std::string_view text);
    // The thread empties the buffer on its next round, turns keying on again and releases key
    // and PTT (unless another part holds PTT).
    void ClearBuffer();
    // Removes the last character still waiting; never the one being sent.
    void DeleteLastChar();
    // Held or nothing to send.
    bool IsIdle() const;
    // The characters still to send, the one being sent first.
    std::string BufferText() const;

    // Tune: holds the key down (after the PTT lead) until released; releasing also drops PTT.
    void SetKey(bool down);
    bool KeyHeld() const { return manualKey_; }
    // Holds the transmitter keyed for another part (PSK31); CW keying is suspended meanwhile.
    void SetPtt(bool on);
    bool PttHeld() const { return pttHeld_; }

    // Sends "<PARIS PARIS >" on the side tone and measures how long it took.
    void Calibrate();
    bool Calibrating() const { return calibrateState_ != 0; }
    // Milliseconds of the last measurement; 0 before the first.
    std::int32_t MeasuredMs() const { return measuredMs_; }

    // One round of the thread's loop (tests run it by hand instead of Start).
    void Step();

private:
    void SendChar(char c);
    void SendElement(std::int32_t ms, const TMorseSettings& s);
    // Waits ms after the last scheduled moment (never longer than Stop allows).
    void Wait(std::int32_t ms);
    void IdleWait();
    void KeyLine(bool down, bool scheduled);
    void ReleaseLines();

    TPreciseClock& clock_;
    TKeyLineProvider lines_;
    std::shared_ptr<TSideTone> tone_;

    // Both locks lend the sender thread's priority to whoever holds them.
    mutable TPiMutex mu_;  // buffer, hold, settings, timing, calibration start
    std::condition_variable_any cv_;
    std::string buffer_;
    bool hold_ = false;
    bool inFlight_ = false;
    TMorseSettings settings_;
    TMorseTiming timing_;
    std::int64_t calibrateStart_ = 0;

    mutable TPiMutex lineMu_;  // the line and the PTT bit
    std::shared_ptr<TKeyLine> line_;
    bool pttBit_ = false;

    std::atomic<bool> keyingEnabled_{true};
    std::atomic<bool> clearRequest_{false};
    std::atomic<bool> stop_{false};
    std::atomic<bool> pttHeld_{false};
    std::atomic<bool> manualKey_{false};
    std::atomic<int> calibrateState_{0};
    std::atomic<std::int32_t> measuredMs_{0};
    std::int64_t next_ = 0;  // the schedule: the moment the last wait ends (thread only)
    std::thread thread_;
};

// The sender of the program (null before the main window is shown and after it closed).
TMorseSender* MorseSender();
void SetMorseSender(TMorseSender* sender);

} // namespace korval
