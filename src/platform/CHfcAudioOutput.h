#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/HfcAudioFormat.h"

class CHfcAudioOutputListener;

// A stream to the computer's default audio output fed with rotating buffers: the writer queues
// buffers, the output plays them in order and reports each one done, and the writer refills and
// queues it again. Calls come from one thread at a time (the writer's); done notifications come
// from the output's thread.
class CHfcAudioOutput {
public:
    virtual ~CHfcAudioOutput() = default;

    // Asks whether the device would play the format, without opening it.
    virtual bool IsFormatSupported(const HfcAudioFormat& format) = 0;
    // The listener must stay alive until Close returns.
    virtual bool Open(const HfcAudioFormat& format, CHfcAudioOutputListener& listener) = 0;
    virtual bool IsOpen() const = 0;
    // Queues bytes (whole frames) for playing. The memory must stay untouched until the buffer is
    // reported done, or until Reset or Close returns.
    virtual bool Write(int bufferId, const uint8_t* data, size_t bytes) = 0;
    // Drops every queued buffer without playing it and without a done notification.
    virtual void Reset() = 0;
    // Stops playing and releases the device; no notification comes after it returns.
    virtual void Close() = 0;
};
