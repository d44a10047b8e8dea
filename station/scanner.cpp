#include "station/scanner.h"

#include <algorithm>

namespace korval {

TScannerEngine::TScannerEngine(TConfigRecord& config, TCatRadio* radio, TScannerHost& host)
    : config_(config), radio_(radio), host_(host)
{
    SetActivity(saIdle);
}

const char* TScannerEngine::ActivityName(TActivity a)
{
    switch (a) {
    case saScanning: return "Scanning";
    case saReadFreq: return "Read Freq";
    default: return "Idle";
    }
}

int TScannerEngine::Delay() const { return std::clamp<int>(config_.ScanDelay(), 4, 60); }

void TScannerEngine::SetActivity(TActivity a)
{
    activity_ = a;
    host_.ShowStatus(ActivityName(a));
    if (a == saIdle)
        host_.StopTrigger();
}

bool TScannerEngine::NextActiveChannel()
{
    const int start = current_;
    do {
        current_ = current_ % 15 + 1;
    } while (!config_.ScannerChannel(current_).Active && current_ != start);
    return config_.ScannerChannel(current_).Active;
}

bool TScannerEngine::Tune(int channel)
{
    if (!radio_)
        return false;
    const TScannerChannel c = config_.ScannerChannel(channel);
    const bool split = c.QsxKHz != 0 && c.QsxKHz != c.FrequencyKHz;
    return !radio_->SetFrequencyAndMode(c.Mode, split, c.FrequencyKHz, c.QsxKHz);
}

void TScannerEngine::ScanNext()
{
    SetActivity(saScanning);
    ScanStep();
}

void TScannerEngine::ScanStep()
{
    // A step that comes while an exchange runs is not taken now: the channel stays, and the
    // same step is tried again shortly.
    if (radio_ && radio_->Busy()) {
        host_.StartTrigger(BusyRetryMs);
        return;
    }
    if (!NextActiveChannel()) {
        SetActivity(saIdle);
        return;
    }
    host_.SelectRow(current_);
    Tune(current_);
    if (activity_ == saScanning)
        host_.StartTrigger(Delay() * 1000);
}

void TScannerEngine::StoreRadioFrequency()
{
    SetActivity(saReadFreq);
    ReadFreqStep();
}

void TScannerEngine::ReadFreqStep()
{
    double rx = 0, tx = 0;
    std::uint8_t mode = 0;
    bool split = false;
    if (radio_ && !radio_->Busy() && !radio_->ReadFrequencyAndMode(rx, tx, mode, split)) {
        TScannerChannel c = config_.ScannerChannel(current_);
        c.Active = true;
        c.FrequencyKHz = rx;
        c.QsxKHz = split ? tx : 0;
        c.Mode = mode;
        config_.SetScannerChannel(current_, c);
        host_.RedrawRow(current_);
    }
    if (activity_ == saReadFreq)
        host_.StartTrigger(ReadFreqPollMs);
}

void TScannerEngine::ClearCurrentChannel()
{
    SetActivity(saIdle);
    config_.SetScannerChannel(current_, TScannerChannel {});
    host_.RedrawRow(current_);
}

void TScannerEngine::TuneRow(int channel)
{
    SetActivity(saIdle);
    current_ = std::clamp(channel, 1, 15);
    Tune(current_);
}

void TScannerEngine::Tick()
{
    if (activity_ == saScanning)
        ScanStep();
    else if (activity_ == saReadFreq)
        ReadFreqStep();
}

} // namespace korval
