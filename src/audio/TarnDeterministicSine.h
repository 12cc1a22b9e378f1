#pragma once

namespace tarn {

// sin(x) from plain double arithmetic (no library call), so that filter coefficients come out
// the same on every CPU: the C library may pick a different sin for different CPUs, and those
// may differ in the last bit. Accurate to a few units in the last place for |x| below about
// 1e5 (the arguments filter designs use).
double DeterministicSine(double x);

} // namespace tarn
