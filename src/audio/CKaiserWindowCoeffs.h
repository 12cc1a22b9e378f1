#pragma once

#include <cstdint>

// A Kaiser window of length N whose shape (beta) follows from a stop-band attenuation in dB.
class CKaiserWindowCoeffs {
public:
    CKaiserWindowCoeffs();
    virtual ~CKaiserWindowCoeffs() = default;

    // Recomputes beta and 1/I0(beta).
    virtual void SetAttenuation(double decibels);
    // Number of terms of the I0 series (at least 1).
    virtual void SetSeriesTerms(int terms);
    virtual void SetLength(int length);
    // w(e) for 0 <= e < N, 0 elsewhere.
    virtual double Value(int e) const;
    virtual double ComputeBeta() const;
    virtual double ComputeInverseI0Beta() const;
    // Zeroth-order modified Bessel function of the first kind, as a truncated power series.
    virtual double I0(double x) const;

    int GetLength() const { return length_; }
    double GetAttenuation() const { return attenuation_; }
    double GetBeta() const { return beta_; }
    int GetSeriesTerms() const { return seriesTerms_; }

private:
    void Update();

    int32_t length_ = 48;
    double centre_ = 23.5;
    double inverseLengthMinusOne_ = 1.0 / 47.0;
    double attenuation_ = 80.0;
    double beta_ = 0.0;
    double inverseI0Beta_ = 1.0;
    int32_t seriesTerms_ = 15;
};
