#pragma once
// The spectrum of the input for the tuning display: a 2048-point FFT (3.90625 Hz a bin) over the
// last 2048 samples, a new one every 1024 samples, averaged, and scaled for drawing above the
// noise floor. It also finds signals in it: the centre of a signal near a frequency, and the
// first signal from one frequency towards another.
#include <complex>
#include <vector>

#include "station/psk31/fft.h"

namespace korval {

class TPskSpectrum {
public:
    TPskSpectrum();

    // smoothing: frames averaged (smoothing + 1); values 0..scale; range: dB above the floor
    // that the scale spans (at least 1).
    void SetMode(int smoothing, int scale, int range);

    // Takes n samples; true when a new spectrum is ready.
    bool Process(const float* x, int n);

    // Display values of bins first..last (clamped to the spectrum); true while the input of
    // the last frame reached full scale.
    bool Values(int* buffer, int firstBin, int lastBin) const;
    bool Overloaded() const { return overload_; }

    // The centre of the strongest signal whose centre lies within hz +- range; 0 when no
    // signal stands out of the noise there.
    double FindSignal(double hz, double range) const;
    // The first signal met going from 'from' towards 'to' (either direction); 0 when none.
    double ClosestPeak(double from, double to) const;

    double Power(int bin) const { return power_[static_cast<std::size_t>(bin)]; }
    double NoiseFloor() const { return floor_; }

private:
    void Frame();
    double BandPower(int centre) const;
    bool Stands(int centre) const;
    double Centroid(int centre) const;

    TFft fft_;
    std::vector<float> window_;
    std::vector<float> history_;
    std::vector<std::complex<float>> work_;
    std::vector<double> power_;
    int fill_ = 0;
    int fresh_ = 0;
    bool overload_ = false, overloadNow_ = false;
    double floor_ = 0;
    int smoothing_ = 3, scale_ = 100, range_ = 30;
    bool first_ = true;
};

} // namespace korval
