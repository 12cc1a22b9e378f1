#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/CHfcAudioOutput.h"

// An output that keeps what it plays, for tests. Nothing plays by itself: each PlayNext takes the
// oldest queued buffer, appends its bytes to the recording and reports it done on the calling
// thread, so a test decides exactly how many buffers pass. Open and the format query can be made
// to fail.
class CHfcRecordingAudioOutput : public CHfcAudioOutput {
public:
    CHfcRecordingAudioOutput() = default;
    ~CHfcRecordingAudioOutput() override;
    CHfcRecordingAudioOutput(const CHfcRecordingAudioOutput&) = delete;
    CHfcRecordingAudioOutput& operator=(const CHfcRecordingAudioOutput&) = delete;

    bool IsFormatSupported(const HfcAudioFormat& format) override;
    bool Open(const HfcAudioFormat& format, CHfcAudioOutputListener& listener) override;
    bool IsOpen() const override;
    bool Write(int bufferId, const uint8_t* data, size_t bytes) override;
    void Reset() override;
    void Close() override;

    // Plays the oldest queued buffer, waiting up to the time-out for one; false when none came.
    bool PlayNext(std::chrono::milliseconds timeout);
    // Waits until at least count buffers are queued.
    bool WaitForQueued(size_t count, std::chrono::milliseconds timeout);
    size_t QueuedCount() const;

    std::vector<uint8_t> Recorded() const;
    void ClearRecorded();
    // Every format the output was opened with, oldest first.
    std::vector<HfcAudioFormat> OpenedFormats() const;

    void SetDeviceAvailable(bool available);

private:
    struct Queued {
        int id;
        const uint8_t* data;
        size_t bytes;
    };

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Queued> queue_;
    std::vector<uint8_t> recorded_;
    std::vector<HfcAudioFormat> openedFormats_;
    CHfcAudioOutputListener* listener_ = nullptr;
    int notifying_ = 0;
    bool open_ = false;
    bool available_ = true;
};
