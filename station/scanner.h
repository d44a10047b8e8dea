#pragma once
// The scanner: steps through the active channels of the configuration (1..15) with a fixed
// dwell, or keeps storing what the radio is tuned to in the current channel. Both run off the
// host's timer, one step per tick, so that closing the window between ticks is always safe and
// no step ever runs inside another.
#include "logbook/config_record.h"
#include "station/cat_radio.h"

#include <string>

namespace korval {

class TScannerHost {
public:
    virtual ~TScannerHost() = default;
    // One timer: (re)started for `ms` milliseconds, then Tick() is called; stopping cancels it.
    virtual void StartTrigger(int ms) = 0;
    virtual void StopTrigger() = 0;
    virtual void ShowStatus(const std::string& text) { (void)text; }
    virtual void SelectRow(int channel) { (void)channel; }
    virtual void RedrawRow(int channel) { (void)channel; }
};

class TScannerEngine {
public:
    enum TActivity { saIdle, saScanning, saReadFreq };
    // Time before a step skipped because the radio was busy is tried again.
    static constexpr int BusyRetryMs = 100;
    // Time between reads while storing the radio's frequency.
    static constexpr int ReadFreqPollMs = 250;

    TScannerEngine(TConfigRecord& config, TCatRadio* radio, TScannerHost& host);

    static const char* ActivityName(TActivity a);
    TActivity Activity() const { return activity_; }
    int CurrentChannel() const { return current_; }
    void SetRadio(TCatRadio* radio) { radio_ = radio; }
    // The table's active row.
    void SetCurrentChannel(int channel) { current_ = channel < 1 ? 1 : channel > 15 ? 15 : channel; }

    // "Scan next channel", "Store radio freq in current channel", "Clear current channel", a
    // double-click on a row, and "Stop"/"Cancel"/"Exit".
    void ScanNext();
    void StoreRadioFrequency();
    void ClearCurrentChannel();
    void TuneRow(int channel);
    void Stop() { SetActivity(saIdle); }
    // The host's timer fired.
    void Tick();
    // Moves to the next active channel after the current one (wrapping, the current channel
    // itself last); false when none is active.
    bool NextActiveChannel();
    int Delay() const;  // seconds, 4..60

private:
    void SetActivity(TActivity a);
    void ScanStep();
    void ReadFreqStep();
    bool Tune(int channel);

    TConfigRecord& config_;
    TCatRadio* radio_;
    TScannerHost& host_;
    TActivity activity_ = saIdle;
    int current_ = 1;
};

} // namespace korval
