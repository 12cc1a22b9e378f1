#include "audio/CDecimationFilterCoeffs.h"

#include <numbers>

#include "audio/TarnDeterministicSine.h"

CDecimationFilterCoeffs::CDecimationFilterCoeffs() {
    window_.SetLength(length_);
    Recompute();
}

void CDecimationFilterCoeffs::SetAttenuation(double decibels) {
    window_.SetAttenuation(decibels);
}

void CDecimationFilterCoeffs::SetSeriesTerms(int terms) {
    window_.SetSeriesTerms(terms);
}

void CDecimationFilterCoeffs::SetLength(int length) {
    window_.SetLength(length);
    length_ = window_.GetLength();
    centre_ = (length_ - 1) / 2.0;
}

void CDecimationFilterCoeffs::SetSamplingRate(int rate) {
    samplingRate_ = rate > 0 ? rate : 1;
    inverseRate_ = 1.0 / samplingRate_;
    Recompute();
}

void CDecimationFilterCoeffs::SetCutoff(int cutoff) {
    cutoff_ = cutoff;
    Recompute();
}

double CDecimationFilterCoeffs::Coefficient(int e) const {
    if (e < 0 || e >= length_) {
        return 0.0;
    }
    const double d = e - centre_;
    if (d == 0.0) {
        return normalisedCutoff_;
    }
    const double x = d * angularCutoff_;
    return tarn::DeterministicSine(x) / x * normalisedCutoff_ * window_.Value(e);
}

double CDecimationFilterCoeffs::DelaySeconds() const {
    return length_ / 2 * inverseRate_;
}

int CDecimationFilterCoeffs::HalfLength() const {
    return length_ / 2;
}

void CDecimationFilterCoeffs::Recompute() {
    normalisedCutoff_ = 2.0 * cutoff_ * inverseRate_;
    angularCutoff_ = 2.0 * std::numbers::pi * cutoff_ * inverseRate_;
}
