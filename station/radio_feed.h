#pragma once
// The running radio as the QSO window and the spot tuner see it.
#include "logbook/qso_entry.h"
#include "station/radio.h"
#include "station/spot_tuner.h"

namespace korval {

class TRadioFeed : public TQsoRadio, public TSpotRadio {
public:
    explicit TRadioFeed(TRadio* radio = nullptr) : radio_(radio) {}
    void SetRadio(TRadio* radio) { radio_ = radio; }

    bool Attached() const override { return radio_ != nullptr && !radio_->Disabled(); }
    bool Running() const override { return Attached(); }
    // Reads the radio: "14,250KHz"; empty when it cannot be read.
    std::string FrequencyText() const override
    {
        std::string s;
        if (Attached())
            radio_->FormatFrequency(s);
        return s;
    }

    double LowKHz() const override { return radio_ ? radio_->Definition().FreqLow : 0; }
    double HighKHz() const override { return radio_ ? radio_->Definition().FreqHigh : 0; }
    void Read(double& rxKHz, double& txKHz, int& mode, bool& split) override
    {
        if (!radio_)
            return;
        std::uint8_t m = 0;
        radio_->ReadFrequencyAndMode(rxKHz, txKHz, m, split);
        mode = m;
    }
    void Set(int mode, double rxKHz, double txKHz, bool split) override
    {
        if (radio_)
            radio_->SetFrequencyAndMode(static_cast<std::uint8_t>(mode), split, rxKHz, txKHz);
    }

private:
    TRadio* radio_;
};

} // namespace korval
