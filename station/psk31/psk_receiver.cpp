#include "station/psk31/psk_receiver.h"

#include <cmath>

namespace korval {

void TPskReceiver::Tune(int channel, double hz, double capture)
{
    if (channel < 0 || channel >= ChannelCount)
        return;
    if (capture > 0)
        if (const double centre = spectrum_.FindSignal(hz, capture); centre > 0)
            hz = centre;
    channels_[channel].SetFrequency(hz);
}

void TPskReceiver::Process(const float* x, int n, std::vector<TPskEvent>& events)
{
    // Blocks of at most half a spectrum frame, so that each new spectrum is reported with the
    // channel state of its own time.
    constexpr int kBlock = 256;
    while (n > 0) {
        const int take = n < kBlock ? n : kBlock;
        for (int c = 0; c < ChannelCount; ++c) {
            scratch_.clear();
            channels_[c].Process(x, take, scratch_);
            for (const TPskRxEvent& e : scratch_)
                events.push_back({e.kind == TPskRxEvent::Char  ? TPskEvent::Char
                                  : e.kind == TPskRxEvent::Imd ? TPskEvent::Imd
                                                               : TPskEvent::ClockError,
                                  e.value, c});
        }
        if (spectrum_.Process(x, take))
            events.push_back({TPskEvent::Display, static_cast<int>(std::lround(channels_[0].Frequency())),
                              channels_[0].Quality()});
        x += take;
        n -= take;
    }
}

} // namespace korval
