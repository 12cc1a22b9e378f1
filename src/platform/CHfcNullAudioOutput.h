#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/CHfcAudioOutput.h"

// An output without a device: buffers are consumed at the real playing rate by a timer thread
// and reported done, so that a writer behaves as it would with a sound card. Accepts every
// valid format.
class CHfcNullAudioOutput : public CHfcAudioOutput {
public:
    CHfcNullAudioOutput() = default;
    ~CHfcNullAudioOutput() override;
    CHfcNullAudioOutput(const CHfcNullAudioOutput&) = delete;
    CHfcNullAudioOutput& operator=(const CHfcNullAudioOutput&) = delete;

    bool IsFormatSupported(const HfcAudioFormat& format) override;
    bool Open(const HfcAudioFormat& format, CHfcAudioOutputListener& listener) override;
    bool IsOpen() const override;
    bool Write(int bufferId, const uint8_t* data, size_t bytes) override;
    void Reset() override;
    void Close() override;

private:
    struct Queued {
        int id;
        size_t frames;
        uint64_t sequence;
    };

    void Run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Queued> queue_;
    std::thread thread_;
    HfcAudioFormat format_;
    CHfcAudioOutputListener* listener_ = nullptr;
    uint64_t nextSequence_ = 0;
    bool open_ = false;
    bool stopping_ = false;
};
