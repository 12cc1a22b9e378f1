#include "audio/CKaiserWindowCoeffs.h"

#include <cmath>

CKaiserWindowCoeffs::CKaiserWindowCoeffs() {
    Update();
}

void CKaiserWindowCoeffs::SetAttenuation(double decibels) {
    attenuation_ = decibels;
    Update();
}

void CKaiserWindowCoeffs::SetSeriesTerms(int terms) {
    seriesTerms_ = terms < 1 ? 1 : terms;
    Update();
}

void CKaiserWindowCoeffs::SetLength(int length) {
    length_ = length < 1 ? 1 : length;
    centre_ = (length_ - 1) / 2.0;
    inverseLengthMinusOne_ = length_ > 1 ? 1.0 / (length_ - 1) : 0.0;
}

double CKaiserWindowCoeffs::Value(int e) const {
    if (e < 0 || e >= length_) {
        return 0.0;
    }
    const double r = (e - centre_) * 2.0 * inverseLengthMinusOne_;
    const double inside = 1.0 - r * r;
    return I0(beta_ * std::sqrt(inside > 0.0 ? inside : 0.0)) * inverseI0Beta_;
}

double CKaiserWindowCoeffs::ComputeBeta() const {
    const double a = attenuation_;
    if (a <= 21.0) {
        return 0.0;
    }
    if (a >= 50.0) {
        return 0.1102 * (a - 8.7);
    }
    return 0.5842 * std::pow(a - 21.0, 0.4) + 0.07886 * (a - 21.0);
}

double CKaiserWindowCoeffs::ComputeInverseI0Beta() const {
    return 1.0 / I0(beta_);
}

double CKaiserWindowCoeffs::I0(double x) const {
    // Extended precision keeps the large early terms from swamping the tail at beta ~ 12.
    const long double half = static_cast<long double>(x) / 2.0L;
    long double sum = 1.0L;
    long double factorial = 1.0L;
    for (int k = 1; k <= seriesTerms_; ++k) {
        long double power = 1.0L;
        long double base = half;
        for (int e = k; e > 0; e >>= 1) {
            if (e & 1) {
                power *= base;
            }
            base *= base;
        }
        factorial *= k;
        const long double term = power / factorial;
        sum += term * term;
    }
    return static_cast<double>(sum);
}

void CKaiserWindowCoeffs::Update() {
    beta_ = ComputeBeta();
    inverseI0Beta_ = ComputeInverseI0Beta();
}
