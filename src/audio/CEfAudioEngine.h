#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "data/CEfObject.h"
#include "platform/CHfcAudioOutput.h"
#include "platform/CHfcAudioOutputListener.h"

// A streaming engine over an audio output: a rendering thread of its own keeps four buffers
// circulating, refilling each one through Render as the output reports it done. Set-up, start,
// stop and teardown are called from one controlling thread (the user interface); the stream's
// state belongs to the rendering thread, which carries out Start and Stop on the caller's behalf.
// Device failures are never shown to the user: they go to the diagnostic trace and the engine
// stays silent. A device that fails while streaming (unplugged, sound server restarted) is closed
// by the rendering thread; the next Start opens it again.
class CEfAudioEngine : public CEfObject, private CHfcAudioOutputListener {
public:
    static constexpr int kBufferCount = 4;
    static constexpr int32_t kDefaultBufferBytes = 8192;
    // Longest buffer used, whatever size is asked for (about 1.4 s at 48 kHz).
    static constexpr int32_t kMaxFramesPerBuffer = 65536;

    // The output may be null (a build or machine without audio): set-up then fails.
    explicit CEfAudioEngine(std::unique_ptr<CHfcAudioOutput> output);
    ~CEfAudioEngine() override;

    // Stores the format and the buffer size and prepares the rendering thread on the default
    // output; false when the output is missing or refuses the format.
    bool Setup(const HfcAudioFormat& format, int32_t bufferBytesWanted);
    // Opens the output and queues the first four buffers; false on any failure.
    bool Start();
    void Stop();
    // Stops, ends the rendering thread and forgets the set-up. Derived classes call it from their
    // destructor, before their Render goes away.
    void Teardown();

    bool IsSetUp() const { return setUp_.load(); }
    bool IsStreaming() const { return streaming_.load(); }
    // Start was asked for and not stopped since, yet nothing streams: the device failed while
    // playing or could not be opened. Another Start tries to open it again.
    bool IsOutputLost() const { return startWanted_.load() && !streaming_.load(); }
    HfcAudioFormat GetFormat() const { return format_; }
    // Takes effect at the next Start.
    void SetFormat(const HfcAudioFormat& format);
    // The buffer size asked for in whole frames, at most kMaxFramesPerBuffer; 0 when it is not
    // even one frame.
    int32_t GetFramesPerBuffer() const;

    // Fills frames frames of the engine's format into destination; the base renders nothing.
    // Runs on the rendering thread and must not allocate.
    virtual bool Render(int32_t frames, uint8_t* destination);
    // Stores one sample in the engine's format; frames below 0 and channels outside the format
    // are ignored.
    virtual void WriteSample(uint8_t* destination, int32_t frame, int32_t channel, int32_t value);

protected:
    // The device failed while streaming and has been closed. Called on the rendering thread with
    // no lock of the engine held.
    virtual void OnAudioOutputLost() {}

private:
    struct Task {
        const std::function<bool()>* work;
        bool result = false;
        bool done = false;
    };
    struct Message {
        int bufferId = -1;
        Task* task = nullptr;
        bool quit = false;
    };

    void OnHfcAudioBufferDone(int bufferId) override;
    // May come from the output's own thread, from inside Write on the rendering thread, or while
    // the rendering thread is busy in Render: it only marks the failure for the rendering thread.
    void OnHfcAudioOutputFailed() override;
    void CloseFailedOutput();
    bool Post(const Message& message);
    bool RunOnRenderThread(const std::function<bool()>& work);
    void ThreadMain();
    bool StartStream();
    bool AllocateBuffers();
    void StopStream();
    void ContinuePlayWave(int bufferId);
    // Renders into the buffer (silence when Render fails) and queues it; false when the output
    // does not take it.
    bool FillAndWrite(int bufferId);

    std::unique_ptr<CHfcAudioOutput> output_;
    HfcAudioFormat format_;
    int32_t bufferBytesWanted_ = kDefaultBufferBytes;
    std::atomic<bool> setUp_{false};
    std::atomic<bool> streaming_{false};
    // Set by Start, cleared by Stop: the stream should be playing.
    std::atomic<bool> startWanted_{false};

    // Owned by the rendering thread (or by the caller while there is none).
    int32_t framesPerBuffer_ = 0;
    int32_t bytesPerBuffer_ = 0;
    int32_t queued_ = 0;
    std::array<std::vector<uint8_t>, kBufferCount> buffers_;
    std::array<bool, kBufferCount> inFlight_{};

    std::thread thread_;
    std::mutex queueMutex_;
    std::condition_variable queueChanged_;
    std::condition_variable taskDone_;
    // Done notifications never exceed the buffers in flight; the rest is room for tasks.
    std::array<Message, 32> messages_;
    size_t messageHead_ = 0;
    size_t messageCount_ = 0;
    // A failure report waiting for the rendering thread; kept apart from the message ring so
    // that it can never be lost to a full queue.
    bool failurePending_ = false;
};
