#pragma once

#include "audio/CDecimationFilterCoeffs.h"

// The low-pass of an up-sampler: the windowed sinc scaled by a gain (the up-sampling factor,
// which restores the pass-band level lost to zero stuffing).
class COversamplingFilterCoeffs : public CDecimationFilterCoeffs {
public:
    double Coefficient(int e) const override;
    virtual void SetGain(double gain);

    double GetGain() const { return gain_; }

private:
    double gain_ = 1.0;
};
