#include "audio/COversamplingFilterCoeffs.h"

double COversamplingFilterCoeffs::Coefficient(int e) const {
    return CDecimationFilterCoeffs::Coefficient(e) * gain_;
}

void COversamplingFilterCoeffs::SetGain(double gain) {
    gain_ = gain;
}
