#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/COversamplingFilterCoeffs.h"
#include "audio/FsConverterKernels.h"

// A polyphase FIR sample-rate converter by the ratio up / down (160 / 147 for 44.1 -> 48 kHz)
// with a Kaiser-windowed sinc low-pass. Output frame t of the whole stream is
// sum over m of h[m] * u[t * down - m], u being the input with up - 1 zeros stuffed between
// samples; the filter delay (half its length, in up-sampled samples) is not compensated.
// State carries over between Process calls, so a long signal may be fed in blocks.
class CFsConverter {
public:
    // Inner-product implementations; all give the same bits, the vector ones faster.
    enum Mode : int {
        kModeAuto = -1,
        kModeScalar = 0,
        kModeSse2 = 1,
        kModeAvx2 = 2,
    };

    static bool IsModeSupported(int mode);
    // The fastest mode this CPU runs, up to the limit below.
    static int BestMode();
    // Caps what BestMode and kModeAuto pick (for comparing the kernels through code that asks
    // for kModeAuto); returns the previous cap. All modes give the same bits, so this only
    // changes the speed.
    static int LimitAutoMode(int mode);

    // Channels are capped at 8; an unsupported mode falls back to the best supported one below
    // it, kModeAuto picks the fastest.
    CFsConverter(int channels, int mode);
    virtual ~CFsConverter() = default;
    CFsConverter(const CFsConverter&) = delete;
    CFsConverter& operator=(const CFsConverter&) = delete;

    virtual void SetAttenuation(double decibels);
    virtual void SetSeriesTerms(int terms);
    // Builds the phase bank for a filter of length taps at inputRate * up with the given
    // cut-off (or takes the one last built for the same values), then Reset. up is capped at 511.
    // False (and nothing changes) when a value is not positive or a phase would need more taps than
    // the history holds.
    virtual bool Design(int length, int inputRate, int cutoff, int up, int down);
    // Consumes frames input frames per channel and returns the output frames written per
    // channel (at most MaxOutputFrames(frames)). Nothing happens before a successful Design.
    virtual int Process(const float* const* inputs, float* const* outputs, int frames);
    // Clears the history and the phase.
    virtual void Reset();
    virtual double DelaySeconds() const;
    // The filter delay in up-sampled samples.
    virtual int DelayUpsampled() const;

    int GetChannels() const { return state_.channels; }
    int GetMode() const { return mode_; }
    int GetTapsPerPhase() const { return state_.taps; }
    int GetUp() const { return state_.up; }
    int GetDown() const { return state_.down; }
    // An upper bound of the frames one Process call of frames input frames can produce.
    int MaxOutputFrames(int frames) const;

private:
    COversamplingFilterCoeffs filter_;
    fsconv::State state_;
    // The designed coefficients, shared by converters designed alike (designing the 44.1 -> 48
    // kHz bank takes longer than converting a short sample).
    struct PhaseBank;
    std::shared_ptr<const PhaseBank> bank_;
    std::vector<float> historyStorage_;
    int mode_ = kModeScalar;
};
