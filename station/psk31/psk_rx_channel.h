#pragma once
// One PSK31 receive channel: the sound mixed down around the channel's frequency, filtered with
// the shape of one symbol, sampled at the symbol centres it finds for itself, and read by the
// phase change from one symbol to the next (a reversal is 0, no change is 1). Around that: the
// signal-quality meter and squelch, AFC, and the IMD and clock-error measurements.
#include <complex>
#include <cstdint>
#include <vector>

#include "station/psk31/psk_core.h"
#include "station/psk31/varicode.h"

namespace korval {

struct TPskRxEvent {
    enum TKind { Char, Imd, ClockError } kind;
    int value;
};

class TPskRxChannel {
public:
    TPskRxChannel();

    // Tunes the channel; what it had found of the old signal is forgotten.
    void SetFrequency(double hz);
    double Frequency() const { return freq_; }
    // How far AFC may pull from the frequency last set; 0 switches it off.
    void SetAfcLimit(int hz) { afcLimit_ = hz < 0 ? 0 : hz; }
    // Decodes only while the quality is at least percent; slow averages the meter longer.
    void SetSquelch(int percent, bool slow);

    // Runs n samples (8000 a second, full scale 1.0) and appends what they gave.
    void Process(const float* x, int n, std::vector<TPskRxEvent>& events);

    // Signal quality, 0..100: how steadily the phase steps by 0 or 180 degrees.
    int Quality() const;
    bool SquelchOpen() const { return open_; }
    // The last PskVectorCount symbol vectors, x and y in -100..100, oldest first.
    void Vectors(int* buffer) const;

private:
    void DecimatedSample(std::complex<float> y, std::vector<TPskRxEvent>& events);
    void Symbol(std::complex<float> s, double period, std::vector<TPskRxEvent>& events);
    void MeasureImd(std::vector<TPskRxEvent>& events);
    void SetStep();

    // Mixer.
    double freq_ = 1000, anchor_ = 1000;
    std::complex<double> rot_ {1, 0}, step_ {1, 0};
    int renorm_ = 0;
    // Baseband history (for the filter and the IMD measurement).
    std::vector<float> re_, im_;
    std::size_t write_ = 0;
    int decimate_ = 0;
    // Symbol timing at 16 samples a symbol.
    std::int64_t tick_ = 0;
    double nextSymbol_ = 16;
    double lastSymbol_ = 0;
    std::complex<float> lastY_ {};
    float timingMag_[16] = {};
    // Symbols.
    std::complex<float> prev_ {};
    std::complex<double> quality_ {};
    double alpha_ = 0.05;
    int threshold_ = 50;
    bool open_ = false;
    double level_ = 0;
    int weak_ = 0;
    int afcLimit_ = 100;
    TVaricodeDecoder decoder_;
    int reversals_ = 0;
    int sinceImd_ = 0;
    double periodSum_ = 0;
    int periodCount_ = 0;
    std::complex<float> vectors_[16] = {};
    int vectorPos_ = 0;
};

} // namespace korval
