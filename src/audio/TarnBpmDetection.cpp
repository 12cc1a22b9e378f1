#include "audio/TarnBpmDetection.h"

#include "data/CTarnSampleData.h"
#include "framework/EfTrace.h"

namespace tarn {

std::optional<BpmGuess> GuessBpm(int64_t frames, int samplingRate) {
    if (frames <= 0 || samplingRate <= 0) {
        return std::nullopt;
    }
    float lo = 90.0f;
    float hi = 180.0f;
    for (;;) {
        const float seconds = static_cast<float>(frames) / static_cast<float>(samplingRate);
        float bpm = 0.0f;
        for (int i = 0; i < CTarnSampleData::kLengthCount; ++i) {
            const float beats = CTarnSampleData::LengthBeats(i);
            bpm = beats * 60.0f / seconds;
            EfTrace("BPM Detect: Length: %.1f, Beat: %.4f, BPM: %.1f", double(seconds),
                    double(beats), double(bpm));
            if (lo <= bpm && bpm < hi) {
                return BpmGuess{bpm, beats};
            }
        }
        // bpm now holds the value for 16 beats; a sixteenth of it is one beat per loop.
        if (hi >= bpm / 16.0f) {
            frames /= 2;
            if (frames == 0) {
                return std::nullopt;
            }
        } else if (hi >= 300.0f) {
            return std::nullopt;
        } else {
            lo = 150.0f;
            hi = 300.0f;
        }
    }
}

void DetectBpm(CTarnSampleData& sample, int64_t frames, bool fullBankRule) {
    if (fullBankRule && sample.GetLoadedFrames() == MaxSampleFrames) {
        sample.SetTempo(120.0);
        sample.SetPhraseLength(8);
        return;
    }
    if (const auto guess = GuessBpm(frames, sample.GetSamplingRate())) {
        sample.SetTempo(guess->bpm);
        sample.SetPhraseLengthBeats(guess->beats);
    }
}

} // namespace tarn
