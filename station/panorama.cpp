#include "station/panorama.h"

namespace korval {

TPanoramaEngine::TPanoramaEngine(TCatRadio* radio, TPanoramaHost& host, int imageWidth)
    : radio_(radio), host_(host), width_(imageWidth), steps_(imageWidth > 0 ? (imageWidth - 1) / StepPixels + 1 : 0)
{
}

void TPanoramaEngine::ReadCenterFromRadio()
{
    double rx = 0, tx = 0;
    std::uint8_t mode = 0;
    bool split = false;
    if (radio_ && !radio_->ReadFrequencyAndMode(rx, tx, mode, split)) {
        center_ = rx;
        host_.ShowCenter(center_);
    }
}

void TPanoramaEngine::StartScan()
{
    activity_ = paScanning;
    x_ = width_;  // the first tick starts a sweep
    host_.StartTrigger(0);
}

void TPanoramaEngine::FollowRadio()
{
    if (radio_)
        radio_->SetFrequency(center_);
    activity_ = paFollowing;
    host_.StartTrigger(FollowPollMs);
}

void TPanoramaEngine::Cancel()
{
    activity_ = paStopped;
    host_.StopTrigger();
    if (radio_)
        radio_->SetFrequency(center_);
}

double TPanoramaEngine::FrequencyAt(int x) const
{
    int n = 0;
    while (3 + StepPixels * n < x)
        ++n;
    return center_ - steps_ / 2.0 + n;
}

void TPanoramaEngine::RightClick(int x)
{
    activity_ = paStopped;
    host_.StopTrigger();
    if (!radio_)
        return;
    double rx = 0, tx = 0;
    std::uint8_t mode = 14;
    bool split = false;
    radio_->ReadFrequencyAndMode(rx, tx, mode, split);
    radio_->SetFrequencyAndMode(mode, false, FrequencyAt(x), 0);
}

void TPanoramaEngine::Tick()
{
    if (activity_ == paScanning)
        SweepStep();
    else if (activity_ == paFollowing)
        FollowStep();
}

void TPanoramaEngine::SweepStep()
{
    // A busy radio: the same step again shortly.
    if (radio_ && radio_->Busy()) {
        host_.StartTrigger(StepMs);
        return;
    }
    if (x_ >= width_) {
        x_ = 0;
        freq_ = center_ - steps_ / 2.0;
    }
    std::uint8_t s = 0;
    if (radio_ && !radio_->SetFrequency(freq_))
        radio_->ReadSMeter(s);
    host_.DrawBar(x_, s);
    freq_ += 1.0;
    x_ += StepPixels;
    if (activity_ == paScanning)
        host_.StartTrigger(StepMs);
}

void TPanoramaEngine::FollowStep()
{
    if (!radio_ || !radio_->Busy())
        ReadCenterFromRadio();
    if (activity_ == paFollowing)
        host_.StartTrigger(FollowPollMs);
}

} // namespace korval
