#include "audio/TarnDeterministicSine.h"

#include <cmath>
#include <cstdint>

namespace tarn {

double DeterministicSine(double x) {
    constexpr double kTwoOverPi = 0.636619772367581343076;
    // pi/2 split so that n * kHalfPiHigh is exact for |n| below 2^20.
    constexpr double kHalfPiHigh = 1.57079632673412561417e+00;
    constexpr double kHalfPiLow = 6.07710050650619224932e-11;
    const double n = std::floor(x * kTwoOverPi + 0.5);
    const double r = (x - n * kHalfPiHigh) - n * kHalfPiLow;
    const double r2 = r * r;
    // Taylor series of sin and cos; for |r| <= pi/4 the remainder after r^19 is below 1e-20.
    double sinTerm = r;
    double sinSum = r;
    double cosTerm = 1.0;
    double cosSum = 1.0;
    for (int k = 2; k <= 18; k += 2) {
        cosTerm = -cosTerm * r2 / (k * (k - 1));
        cosSum += cosTerm;
        sinTerm = -sinTerm * r2 / ((k + 1) * k);
        sinSum += sinTerm;
    }
    switch (static_cast<int64_t>(n) & 3) {
    case 0:
        return sinSum;
    case 1:
        return cosSum;
    case 2:
        return -sinSum;
    default:
        return -cosSum;
    }
}

} // namespace tarn
