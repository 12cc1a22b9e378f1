#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/CHfcAudioOutput.h"

// The default output device (or JACK's, when there is no default device) through PortAudio's
// blocking interface, opened with the device's high latency. A writer thread of its own, at a
// moderate real-time priority where allowed, takes the queued buffers in order, copies each one
// and writes it to the device; the buffer is reported done once the device has taken its copy.
// A write error other than an underflow stops the writer and is reported to the listener.
class CHfcPortAudioOutput : public CHfcAudioOutput {
public:
    CHfcPortAudioOutput();
    ~CHfcPortAudioOutput() override;
    CHfcPortAudioOutput(const CHfcPortAudioOutput&) = delete;
    CHfcPortAudioOutput& operator=(const CHfcPortAudioOutput&) = delete;

    bool IsFormatSupported(const HfcAudioFormat& format) override;
    bool Open(const HfcAudioFormat& format, CHfcAudioOutputListener& listener) override;
    bool IsOpen() const override;
    bool Write(int bufferId, const uint8_t* data, size_t bytes) override;
    void Reset() override;
    void Close() override;

private:
    // More than a writer keeps in flight; a Write beyond it is refused.
    static constexpr size_t kMaxQueued = 16;

    struct Queued {
        int id = -1;
        const uint8_t* data = nullptr;
        size_t bytes = 0;
    };

    void Run();

    bool initialized_ = false;
    void* stream_ = nullptr;
    HfcAudioFormat format_;
    CHfcAudioOutputListener* listener_ = nullptr;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    // A ring of fixed size, so queueing a buffer never allocates on the writer's (rendering)
    // thread.
    std::array<Queued, kMaxQueued> queue_{};
    size_t queueHead_ = 0;
    size_t queueCount_ = 0;
    std::vector<uint8_t> playing_;
    std::thread thread_;
    bool open_ = false;
    bool stopping_ = false;
    bool failed_ = false;
};
