#pragma once
// The receiving half of the modem: the spectrum and the two receive channels over one input.
// It runs in whatever thread feeds it; what it finds comes back as a list of events.
#include <vector>

#include "station/psk31/psk_rx_channel.h"
#include "station/psk31/psk_spectrum.h"

namespace korval {

struct TPskEvent {
    enum TKind { Display, Char, Imd, ClockError } kind;
    int value;    // display: channel 0's frequency; else the character, dB or ppm
    int channel;  // display: channel 0's quality
};

class TPskReceiver {
public:
    static constexpr int ChannelCount = 2;

    TPskRxChannel& Channel(int i) { return channels_[i]; }
    const TPskRxChannel& Channel(int i) const { return channels_[i]; }
    TPskSpectrum& Spectrum() { return spectrum_; }
    const TPskSpectrum& Spectrum() const { return spectrum_; }

    // Tunes a channel; a capture range above 0 moves it onto the centre of a signal found
    // within that many Hz.
    void Tune(int channel, double hz, double capture);

    void Process(const float* x, int n, std::vector<TPskEvent>& events);

private:
    TPskRxChannel channels_[ChannelCount];
    TPskSpectrum spectrum_;
    std::vector<TPskRxEvent> scratch_;
};

} // namespace korval
