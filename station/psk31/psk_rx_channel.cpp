#include "station/psk31/psk_rx_channel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace korval {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kDecimation = 16;                    // 500 samples a second, 16 a symbol
constexpr std::size_t kSymbolSamples = 256;           // 8000 / 31.25
constexpr double kSymbolRate = 31.25;
constexpr std::size_t kTaps = 2 * kSymbolSamples;   // the shape of one symbol spans two periods
constexpr std::size_t kImdLength = 8 * kSymbolSamples;
constexpr std::size_t kImdLag = 2 * kSymbolSamples; // the symbols behind it are decided by then
constexpr std::size_t kKeep = kImdLength + kImdLag;
constexpr std::size_t kHistory = 8192;
constexpr double kLowestHz = 50, kHighestHz = PskSampleRate / 2 - 50;

std::vector<float> HannWindow(std::size_t n, bool unitSum)
{
    std::vector<float> w(n);
    double sum = 0;
    for (std::size_t k = 0; k < n; ++k) {
        w[k] = static_cast<float>(0.5 - 0.5 * std::cos(2 * kPi * (static_cast<double>(k) + 0.5) / static_cast<double>(n)));
        sum += w[k];
    }
    if (unitSum)
        for (float& v : w)
            v = static_cast<float>(v / sum);
    return w;
}

const std::vector<float>& SymbolFilter()
{
    static const std::vector<float> taps = HannWindow(kTaps, true);
    return taps;
}

const std::vector<float>& ImdWindow()
{
    static const std::vector<float> w = HannWindow(kImdLength, false);
    return w;
}

} // namespace

TPskRxChannel::TPskRxChannel() : re_(kHistory, 0.0f), im_(kHistory, 0.0f), write_(kKeep)
{
    SetFrequency(1000);
}

void TPskRxChannel::SetStep()
{
    step_ = std::polar(1.0, -2 * kPi * freq_ / PskSampleRate);
}

void TPskRxChannel::SetFrequency(double hz)
{
    freq_ = anchor_ = std::clamp(hz, kLowestHz, kHighestHz);
    SetStep();
    quality_ = 0;
    open_ = false;
    decoder_.Reset();
    reversals_ = 0;
    sinceImd_ = 0;
    periodSum_ = 0;
    periodCount_ = 0;
    std::fill(std::begin(timingMag_), std::end(timingMag_), 0.0f);
}

void TPskRxChannel::SetSquelch(int percent, bool slow)
{
    threshold_ = std::clamp(percent, 0, 100);
    alpha_ = slow ? 0.05 : 0.1;
}

int TPskRxChannel::Quality() const
{
    return static_cast<int>(std::lround(std::min(1.0, std::abs(quality_)) * 100));
}

void TPskRxChannel::Vectors(int* buffer) const
{
    float peak = 0;
    for (const auto& v : vectors_)
        peak = std::max(peak, std::abs(v));
    for (int i = 0; i < PskVectorCount; ++i) {
        const std::complex<float> v = vectors_[(vectorPos_ + i) % PskVectorCount];
        buffer[2 * i] = peak > 0 ? static_cast<int>(std::lround(100 * v.real() / peak)) : 0;
        buffer[2 * i + 1] = peak > 0 ? static_cast<int>(std::lround(100 * v.imag() / peak)) : 0;
    }
}

void TPskRxChannel::Process(const float* x, int n, std::vector<TPskRxEvent>& events)
{
    const std::vector<float>& taps = SymbolFilter();
    for (int i = 0; i < n; ++i) {
        const double s = x[i];
        if (write_ == kHistory) {
            std::memmove(re_.data(), re_.data() + kHistory - kKeep, kKeep * sizeof(float));
            std::memmove(im_.data(), im_.data() + kHistory - kKeep, kKeep * sizeof(float));
            write_ = kKeep;
        }
        re_[write_] = static_cast<float>(s * rot_.real());
        im_[write_] = static_cast<float>(s * rot_.imag());
        ++write_;
        rot_ *= step_;
        if (++decimate_ == kDecimation) {
            decimate_ = 0;
            const float* r = re_.data() + write_ - kTaps;
            const float* m = im_.data() + write_ - kTaps;
            float yr = 0, yi = 0;
            for (std::size_t k = 0; k < kTaps; ++k) {
                yr += taps[k] * r[k];
                yi += taps[k] * m[k];
            }
            DecimatedSample({yr, yi}, events);
        }
    }
    rot_ /= std::abs(rot_);
}

void TPskRxChannel::DecimatedSample(std::complex<float> y, std::vector<TPskRxEvent>& events)
{
    ++tick_;
    float& bin = timingMag_[tick_ % kDecimation];
    bin += (std::abs(y) - bin) / 16;
    if (static_cast<double>(tick_) >= nextSymbol_) {
        // The symbol centre lies between the previous filter output and this one.
        const float frac = static_cast<float>(nextSymbol_ - static_cast<double>(tick_ - 1));
        const std::complex<float> s = lastY_ + (y - lastY_) * frac;
        // The centres are where the filter output is strongest on average.
        std::complex<double> c;
        for (int k = 0; k < kDecimation; ++k)
            c += std::polar(static_cast<double>(timingMag_[k]), 2 * kPi * k / kDecimation);
        double period = kDecimation;
        if (std::abs(c) > 0) {
            double err = std::arg(c) * kDecimation / (2 * kPi) - std::fmod(nextSymbol_, kDecimation);
            err = std::remainder(err, kDecimation);
            period += 0.25 * err;
        }
        Symbol(s, period, events);
        nextSymbol_ += period;
    }
    lastY_ = y;
}

void TPskRxChannel::Symbol(std::complex<float> s, double period, std::vector<TPskRxEvent>& events)
{
    const std::complex<double> d = std::complex<double>(s) * std::conj(std::complex<double>(prev_));
    prev_ = s;
    vectors_[vectorPos_] = s;
    vectorPos_ = (vectorPos_ + 1) % PskVectorCount;
    const int bit = d.real() > 0 ? 1 : 0;

    // Squaring the phase step folds 0 and 180 degrees together: for a PSK31 signal the squared
    // steps all point one way, for noise anywhere.
    const double m2 = std::norm(d);
    const std::complex<double> u = m2 > 0 ? d * d / m2 : std::complex<double>();
    quality_ += alpha_ * (u - quality_);

    // A signal that stops leaves a fading tail, then noise, whose phase steps take a while to
    // spoil the average and would be read as characters meanwhile; two weak symbols in a row
    // (one may be noise on a weak signal) close the squelch at once instead. The same keeps a
    // keyed carrier, such as a CW identification, from opening it.
    const double mag = std::abs(s);
    level_ += 0.05 * (mag - level_);
    weak_ = mag < 0.2 * level_ ? weak_ + 1 : 0;
    if (weak_ >= 2)
        quality_ = 0;

    const bool wasOpen = open_;
    open_ = Quality() >= threshold_ && (threshold_ > 0 || m2 > 0);
    if (open_ && !wasOpen) {
        decoder_.Reset();
        reversals_ = 0;
        periodSum_ = 0;
        periodCount_ = 0;
    }
    if (!open_)
        return;

    if (afcLimit_ > 0 && m2 > 0) {
        // The squared step turns by twice the phase the frequency error adds in one symbol.
        const double errorHz = std::arg(u) / 2 * kSymbolRate / (2 * kPi);
        freq_ = std::clamp(freq_ + 0.08 * errorHz, std::max(kLowestHz, anchor_ - afcLimit_),
                           std::min(kHighestHz, anchor_ + afcLimit_));
        SetStep();
    }

    const int ch = decoder_.PushBit(bit);
    if (ch >= 0)
        events.push_back({TPskRxEvent::Char, ch});

    reversals_ = bit == 0 ? reversals_ + 1 : 0;
    if (++sinceImd_ >= 8 && reversals_ >= 12) {
        sinceImd_ = 0;
        MeasureImd(events);
    }

    periodSum_ += period - kDecimation;
    if (++periodCount_ == 256) {
        events.push_back({TPskRxEvent::ClockError,
                          static_cast<int>(std::lround(periodSum_ / periodCount_ / kDecimation * 1e6))});
        periodSum_ = 0;
        periodCount_ = 0;
    }
}

void TPskRxChannel::MeasureImd(std::vector<TPskRxEvent>& events)
{
    // An idle signal (reversals only) is two tones half the symbol rate either side of the
    // carrier; its third-order products stand three times as far out.
    const std::vector<float>& w = ImdWindow();
    const std::size_t start = write_ - kImdLag - kImdLength;
    const double offsets[4] = {kSymbolRate / 2, -kSymbolRate / 2, 3 * kSymbolRate / 2, -3 * kSymbolRate / 2};
    double power[4] = {};
    for (int t = 0; t < 4; ++t) {
        const std::complex<double> step = std::polar(1.0, -2 * kPi * offsets[t] / PskSampleRate);
        std::complex<double> rot(1, 0), acc;
        for (std::size_t k = 0; k < kImdLength; ++k) {
            acc += static_cast<double>(w[k]) * std::complex<double>(re_[start + k], im_[start + k]) * rot;
            rot *= step;
        }
        power[t] = std::norm(acc);
    }
    const double fundamental = power[0] + power[1];
    if (fundamental <= 0)
        return;
    const double dB = 10 * std::log10(std::max(power[2] + power[3], fundamental * 1e-6) / fundamental);
    events.push_back({TPskRxEvent::Imd, static_cast<int>(std::lround(std::clamp(dB, -60.0, 0.0)))});
}

} // namespace korval
