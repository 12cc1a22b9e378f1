#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "audio/CEfAudioData.h"
#include "audio/CFsConverter.h"

// Converts a bank's 44.1 kHz audio to 48 kHz, a block of input frames at a time so that a
// progress window can advance and the user can cancel between blocks.
//
// The converter's filter delay is compensated: input frame k lands at output frame
// k * 160 / 147, and exactly round(frames * 160 / 147) frames come out (the filter's tail is
// flushed). Without looping the audio counts as silence beyond its ends. A looping bank is
// treated as circular: the filter's history before the first frame comes from the end of the
// audio and its look-ahead after the last frame from the start, so a seamless loop stays
// seamless.
class CTarnBankConverter {
public:
    static constexpr int kSourceRate = 44100;
    static constexpr int kTargetRate = 48000;
    static constexpr int kBlockFrames = 32768;

    // Reads frames frames of source (which must stay unchanged while the conversion runs).
    CTarnBankConverter(const CEfAudioData& source, int frames, bool loop);
    CTarnBankConverter(const CTarnBankConverter&) = delete;
    CTarnBankConverter& operator=(const CTarnBankConverter&) = delete;

    // round(frames * 160 / 147).
    static int OutputFrames(int frames);
    int OutputFrames() const { return OutputFrames(frames_); }
    // The blocks Step takes (0 for no frames).
    int BlockCount() const;

    // Sets up the working memory and the target: the source's channels and bits at 48000 Hz,
    // capacity frames, all zero. Output beyond the capacity is dropped. False when memory runs
    // out (the target may then have lost its data).
    bool Begin(CEfAudioData& target, int capacity);
    // Converts the next block into the target; false once every block is done.
    bool Step();
    bool IsDone() const { return nextFrame_ >= frames_; }

private:
    // Filter history fed before the first frame: 99 frames put output 0 on input frame 0 (the
    // design's 48-frame delay plus 99 frames is 160 output frames exactly).
    static constexpr int kLeadFrames = 99;
    static constexpr int kLeadOutputs = 160;
    // Look-ahead fed after the last frame: more than the design's 48 frames.
    static constexpr int kTailFrames = 64;

    // Source frame of stream position i (the lead first, then the audio, then the tail); -1 for
    // silence.
    int SourceFrame(int64_t i) const;
    void FillInput(int64_t streamStart, int count);
    void WriteOutput(int made);

    const CEfAudioData& source_;
    int frames_;
    bool loop_;
    int channels_;
    CFsConverter converter_;
    CEfAudioData* target_ = nullptr;
    int capacity_ = 0;
    // Next audio frame to convert.
    int nextFrame_ = 0;
    // Converter outputs seen so far (including the lead ones that are dropped) and written.
    int64_t seen_ = 0;
    int written_ = 0;
    int planeFloats_ = 0;
    int outputFloats_ = 0;
    std::vector<float> inputs_;
    std::vector<float> outputs_;
    std::array<const float*, fsconv::kMaxChannels> in_{};
    std::array<float*, fsconv::kMaxChannels> out_{};
};
