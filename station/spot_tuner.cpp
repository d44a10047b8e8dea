#include "station/spot_tuner.h"

namespace korval {

void TSpotTuner::Apply(const TSpotRecord& spot) {
    radio_->Read(lastRx_, lastTx_, lastMode_, lastSplit_);
    haveLast_ = true;
    const bool split = spot.qsxFrequency != 0 && spot.qsxFrequency != spot.frequency;
    radio_->Set(spot.mode, spot.frequency, spot.qsxFrequency != 0 ? spot.qsxFrequency : spot.frequency, split);
}

TSpotTuner::TResult TSpotTuner::Tune(const TSpotRecord& spot) {
    if (!hasRadio()) return TResult::NoRadio;
    auto outside = [this](double f) { return f < radio_->LowKHz() || f > radio_->HighKHz(); };
    if (outside(spot.frequency) || (spot.qsxFrequency != 0 && outside(spot.qsxFrequency))) return TResult::BadFrequency;
    Apply(spot);
    return TResult::Tuned;
}

TSpotTuner::TResult TSpotTuner::Listen(const TSpotRecord& spot) {
    if (!hasRadio()) return TResult::NoRadio;
    Apply(spot);
    return TResult::Tuned;
}

bool TSpotTuner::ReturnToLastFreq() {
    if (!hasRadio() || !haveLast_) return false;
    radio_->Set(lastMode_, lastRx_, lastTx_, lastSplit_);
    return true;
}

} // namespace korval
