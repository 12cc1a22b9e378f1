#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/CHfcAudioOutput.h"

// The default output device through PortAudio's blocking interface. A writer thread of its own
// takes the queued buffers in order, copies each one and writes it to the device; the buffer is
// reported done once the device has taken its copy.
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
    struct Queued {
        int id;
        const uint8_t* data;
        size_t bytes;
    };

    void Run();

    bool initialized_ = false;
    void* stream_ = nullptr;
    HfcAudioFormat format_;
    CHfcAudioOutputListener* listener_ = nullptr;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Queued> queue_;
    std::vector<uint8_t> playing_;
    std::thread thread_;
    bool open_ = false;
    bool stopping_ = false;
};
