#pragma once

#include <cstdint>

#include "audio/CKaiserWindowCoeffs.h"

// Kaiser-windowed sinc low-pass of length N at sampling rate fs with cut-off fc.
class CDecimationFilterCoeffs {
public:
    CDecimationFilterCoeffs();
    virtual ~CDecimationFilterCoeffs() = default;

    virtual void SetAttenuation(double decibels);
    virtual void SetSeriesTerms(int terms);
    virtual void SetLength(int length);
    virtual void SetSamplingRate(int rate);
    virtual void SetCutoff(int cutoff);
    // h(e) for 0 <= e < N, 0 elsewhere.
    virtual double Coefficient(int e) const;
    virtual double DelaySeconds() const;
    virtual int HalfLength() const;
    virtual void Recompute();

    int GetLength() const { return length_; }
    int GetSamplingRate() const { return samplingRate_; }
    int GetCutoff() const { return cutoff_; }
    const CKaiserWindowCoeffs& Window() const { return window_; }

private:
    CKaiserWindowCoeffs window_;
    int32_t length_ = 48;
    double centre_ = 23.5;
    int32_t samplingRate_ = 2822400;
    double inverseRate_ = 1.0 / 2822400.0;
    int32_t cutoff_ = 158000;
    double normalisedCutoff_ = 0.0;
    double angularCutoff_ = 0.0;
};
