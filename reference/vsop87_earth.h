#pragma once
// The Earth's heliocentric position from the truncated VSOP87 series as published in Meeus,
// Astronomical Algorithms (Appendix III): longitude and latitude in radians, radius in AU.
// Each term is A cos(B + C tau), tau in Julian millennia from J2000.0.
#include <cstddef>

namespace korval {

struct TVsopTerm {
    double A, B, C;
};

struct TVsopSeries {
    const TVsopTerm* terms;
    std::size_t count;
};

// The series of powers 0..5 (longitude), 0..1 (latitude) and 0..4 (radius).
extern const TVsopSeries EarthLongitudeSeries[6];
extern const TVsopSeries EarthLatitudeSeries[2];
extern const TVsopSeries EarthRadiusSeries[5];

// Sum over the powers: (S0 + S1 tau + S2 tau^2 + ...) / 1e8.
double EvaluateVsop(const TVsopSeries* series, std::size_t powers, double tau);

} // namespace korval
