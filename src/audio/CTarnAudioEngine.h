#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/CEfAudioEngine.h"
#include "framework/CEfSemaphore.h"

class CTarnSampleData;
class CTarnAudioEngineListener;

// Previews a loop-recorder bank: renders the engine's own copy of the sample over its play range,
// once or looping, skipping the slices that are switched off, and keeps the peak level of each
// channel for the meters. The sample copy, play position, play flag and peaks are shared between
// the user-interface thread and the rendering thread under the "AudioEngine" lock.
class CTarnAudioEngine : public CEfAudioEngine {
public:
    static constexpr int kSliceCount = 8;

    explicit CTarnAudioEngine(std::unique_ptr<CHfcAudioOutput> output);
    ~CTarnAudioEngine() override;

    // Takes a copy of the sample and rewinds. A sample at another rate (44100 or 48000 Hz)
    // reopens a running stream at that rate.
    void LoadSample(const CTarnSampleData& sample);
    // Takes the header settings (tempo, lengths, loop and slice flags) during a preview; the
    // audio and the play position stay.
    void UpdateHeader(const CTarnSampleData& sample);

    // Turns the preview on. When the device failed (or could not be opened) since Start, it is
    // opened again first; if that fails the preview stays off, the listeners are told it ended
    // and the result is false.
    bool Play();
    void StopPlaying();
    bool IsPlaying();
    // The largest sample value of channel 0 or 1 since the last read (negative excursions do not
    // count), then 0 again; other channels give 0.
    int32_t ReadPeak(int channel);

    bool Render(int32_t frames, uint8_t* destination) override;

    // Listeners stay owned by the caller; removing one waits for a notification under way.
    void AddListener(CTarnAudioEngineListener* listener);
    void RemoveListener(CTarnAudioEngineListener* listener);

protected:
    // Ends a preview under way as if it had finished, so the page's preview button goes off.
    void OnAudioOutputLost() override;

private:
    class Lock;
    struct RenderContext;

    void NotifyFinished();
    RenderContext MakeRenderContext(uint8_t* destination);
    // Writes count frames of the copy from frame on to destination frames f onwards.
    void WriteFrames(RenderContext& context, int32_t f, int32_t frame, int32_t count);
    void WriteSilence(RenderContext& context, int32_t f, int32_t count);

    CEfSemaphore lock_{1, "AudioEngine"};
    std::unique_ptr<CTarnSampleData> sample_;
    int32_t position_ = 0;
    bool playing_ = false;
    // Set once the end of a one-shot preview has been reported, until a frame plays again.
    bool endReported_ = false;
    std::array<int32_t, 2> peak_{};

    std::recursive_mutex listenersMutex_;
    std::vector<CTarnAudioEngineListener*> listeners_;
};
