#pragma once
// Tuning the radio to a spot, and back to where it was.
#include "station/spot_record.h"

namespace korval {

// The radio as the spot list sees it; the radio-control side provides it.
class TSpotRadio {
public:
    virtual ~TSpotRadio() = default;
    virtual double LowKHz() const = 0;
    virtual double HighKHz() const = 0;
    virtual void Read(double& rxKHz, double& txKHz, int& mode, bool& split) = 0;
    virtual void Set(int mode, double rxKHz, double txKHz, bool split) = 0;
    // False while the radio is stopped: there is nothing to tune then.
    virtual bool Running() const { return true; }
};

inline constexpr const char* BadFrequencyText = "Bad frequency for radio";

class TSpotTuner {
public:
    enum class TResult { NoRadio, BadFrequency, Tuned };

    void SetRadio(TSpotRadio* radio) { radio_ = radio; }
    bool hasRadio() const { return radio_ != nullptr && radio_->Running(); }

    // Checks the spot against the radio's range first ("Bad frequency for radio").
    TResult Tune(const TSpotRecord& spot);
    // The same setting without the range test.
    TResult Listen(const TSpotRecord& spot);
    // Restores what the last Tune or Listen found; false (nothing done) before any.
    bool ReturnToLastFreq();

private:
    void Apply(const TSpotRecord& spot);

    TSpotRadio* radio_ = nullptr;
    bool haveLast_ = false;
    double lastRx_ = 0, lastTx_ = 0;
    int lastMode_ = 0;
    bool lastSplit_ = false;
};

} // namespace korval
