#include "station/psk31/psk_spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "station/psk31/psk_core.h"

namespace korval {
namespace {

constexpr int kHalf = PskFftSize / 2;
constexpr int kBandHalfWidth = 5;     // +-19.5 Hz: an idle PSK31 signal's two tones
constexpr int kCentroidHalfWidth = 8;
constexpr double kStandOut = 4;       // band power over the noise in that band (6 dB)

int BinOf(double hz)
{
    return static_cast<int>(std::lround(hz / PskBinHz));
}

} // namespace

TPskSpectrum::TPskSpectrum()
    : fft_(PskFftSize), window_(PskFftSize), history_(PskFftSize, 0.0f), work_(PskFftSize), power_(kHalf, 0.0)
{
    for (int k = 0; k < PskFftSize; ++k)
        window_[static_cast<std::size_t>(k)] =
            static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * (k + 0.5) / PskFftSize));
}

void TPskSpectrum::SetMode(int smoothing, int scale, int range)
{
    smoothing_ = std::clamp(smoothing, 0, 100);
    scale_ = std::max(1, scale);
    range_ = std::max(1, range);
}

bool TPskSpectrum::Process(const float* x, int n)
{
    bool ready = false;
    while (n > 0) {
        const int take = std::min(n, PskFftSize - fill_);
        for (int i = 0; i < take; ++i) {
            history_[static_cast<std::size_t>(fill_ + i)] = x[i];
            if (std::fabs(x[i]) >= 0.99f)
                overloadNow_ = true;
        }
        fill_ += take;
        x += take;
        n -= take;
        if (fill_ == PskFftSize) {
            Frame();
            std::memmove(history_.data(), history_.data() + kHalf, kHalf * sizeof(float));
            fill_ = kHalf;
            ready = true;
        }
    }
    return ready;
}

void TPskSpectrum::Frame()
{
    for (std::size_t k = 0; k < work_.size(); ++k)
        work_[k] = {history_[k] * window_[k], 0.0f};
    fft_.Transform(work_);
    // Digital silence (a recording that ended) clears the picture at once: averaged, the power
    // would die away at the same rate in every bin and keep the last signal's shape on screen.
    const bool silent = std::all_of(history_.begin(), history_.end(), [](float v) { return v == 0.0f; });
    const double a = first_ || silent ? 1.0 : 1.0 / (smoothing_ + 1);
    first_ = false;
    for (std::size_t k = 0; k < power_.size(); ++k)
        power_[k] += a * (static_cast<double>(std::norm(work_[k])) - power_[k]);
    overload_ = overloadNow_;
    overloadNow_ = false;

    // The noise floor: the median bin of the band PSK31 is worked in.
    std::vector<double> band(power_.begin() + BinOf(100), power_.begin() + BinOf(3200) + 1);
    std::nth_element(band.begin(), band.begin() + static_cast<std::ptrdiff_t>(band.size() / 2), band.end());
    floor_ = band[band.size() / 2];
}

bool TPskSpectrum::Values(int* buffer, int firstBin, int lastBin) const
{
    const double floor = std::max(floor_, 1e-20);
    for (int b = firstBin; b <= lastBin; ++b) {
        int v = 0;
        if (b >= 0 && b < kHalf && power_[static_cast<std::size_t>(b)] > 0) {
            // The floor sits a little above the bottom, so that the noise shows.
            const double dB = 10 * std::log10(power_[static_cast<std::size_t>(b)] / floor) + 3;
            v = static_cast<int>(std::clamp(dB * scale_ / range_, 0.0, static_cast<double>(scale_)));
        }
        buffer[b - firstBin] = v;
    }
    return overload_;
}

double TPskSpectrum::BandPower(int centre) const
{
    double sum = 0;
    for (int k = std::max(0, centre - kBandHalfWidth); k <= std::min(kHalf - 1, centre + kBandHalfWidth); ++k)
        sum += power_[static_cast<std::size_t>(k)];
    return sum;
}

bool TPskSpectrum::Stands(int centre) const
{
    return floor_ > 0 && BandPower(centre) > kStandOut * (2 * kBandHalfWidth + 1) * floor_;
}

double TPskSpectrum::Centroid(int centre) const
{
    double sum = 0, moment = 0;
    for (int k = std::max(0, centre - kCentroidHalfWidth); k <= std::min(kHalf - 1, centre + kCentroidHalfWidth); ++k) {
        const double w = std::max(0.0, power_[static_cast<std::size_t>(k)] - floor_);
        sum += w;
        moment += w * k;
    }
    return (sum > 0 ? moment / sum : centre) * PskBinHz;
}

double TPskSpectrum::FindSignal(double hz, double range) const
{
    const int lo = std::max(kBandHalfWidth, BinOf(hz - range));
    const int hi = std::min(kHalf - 1 - kBandHalfWidth, BinOf(hz + range));
    int best = -1;
    for (int c = lo; c <= hi; ++c)
        if (best < 0 || BandPower(c) > BandPower(best))
            best = c;
    return best >= 0 && Stands(best) ? Centroid(best) : 0;
}

double TPskSpectrum::ClosestPeak(double from, double to) const
{
    const int dir = to >= from ? 1 : -1;
    const int last = std::clamp(BinOf(to), kBandHalfWidth, kHalf - 1 - kBandHalfWidth);
    int c = std::clamp(BinOf(from), kBandHalfWidth, kHalf - 1 - kBandHalfWidth);
    auto inside = [&](int k) { return dir > 0 ? k <= last : k >= last; };
    // Leave the flank of the signal the search starts on, climb the next slope, and take its
    // top when it stands out of the noise; else go on.
    for (;;) {
        while (inside(c + dir) && BandPower(c + dir) <= BandPower(c))
            c += dir;
        while (inside(c + dir) && BandPower(c + dir) >= BandPower(c))
            c += dir;
        if (Stands(c))
            return Centroid(c);
        if (!inside(c + dir))
            return 0;
    }
}

} // namespace korval
