#pragma once

#include <cstdint>
#include <optional>

class CTarnSampleData;

// Guessing a loop's tempo from its length alone.
namespace tarn {

struct BpmGuess {
    float bpm;
    float beats;
};

// Finds the beat count from the length table that puts a loop of the given length between 90
// and 180 BPM. Loops too long for 16 beats are halved until one fits; loops too short for 1/16
// beat are tried again between 150 and 300 BPM, and get no guess when they still do not fit.
std::optional<BpmGuess> GuessBpm(int64_t frames, int samplingRate);

// Sets the sample's tempo and phrase length from a length in frames at the sample's rate; no
// guess leaves both as they are. With fullBankRule, audio that filled the whole bank (and so was
// probably cut) gets 120 BPM and 16 beats instead.
void DetectBpm(CTarnSampleData& sample, int64_t frames, bool fullBankRule);

} // namespace tarn
