#include "station/psk31/fft.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace korval {

TFft::TFft(std::size_t size) : size_(size)
{
    if (size < 2 || (size & (size - 1)) != 0)
        throw std::invalid_argument("FFT size must be a power of two");
    twiddle_.resize(size / 2);
    for (std::size_t k = 0; k < size / 2; ++k) {
        const double a = -2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(size);
        twiddle_[k] = {static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a))};
    }
    reversed_.resize(size);
    int bits = 0;
    while ((std::size_t {1} << bits) < size)
        ++bits;
    for (std::size_t i = 0; i < size; ++i) {
        std::size_t r = 0;
        for (int b = 0; b < bits; ++b)
            if (i & (std::size_t {1} << b))
                r |= std::size_t {1} << (bits - 1 - b);
        reversed_[i] = r;
    }
}

void TFft::Transform(std::vector<std::complex<float>>& data) const
{
    if (data.size() != size_)
        throw std::invalid_argument("FFT input of the wrong size");
    for (std::size_t i = 0; i < size_; ++i)
        if (i < reversed_[i])
            std::swap(data[i], data[reversed_[i]]);
    for (std::size_t half = 1, step = size_ / 2; half < size_; half *= 2, step /= 2) {
        for (std::size_t start = 0; start < size_; start += 2 * half) {
            for (std::size_t k = 0; k < half; ++k) {
                const std::complex<float> t = twiddle_[k * step] * data[start + k + half];
                data[start + k + half] = data[start + k] - t;
                data[start + k] += t;
            }
        }
    }
}

} // namespace korval
