#pragma once
// A radix-2 complex FFT of a fixed size, with its twiddle factors made once.
#include <complex>
#include <cstddef>
#include <vector>

namespace korval {

class TFft {
public:
    // size: a power of two, at least 2.
    explicit TFft(std::size_t size);
    std::size_t Size() const { return size_; }
    // In place, forward (e^-j).
    void Transform(std::vector<std::complex<float>>& data) const;

private:
    std::size_t size_;
    std::vector<std::complex<float>> twiddle_;
    std::vector<std::size_t> reversed_;
};

} // namespace korval
