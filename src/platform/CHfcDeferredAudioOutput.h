#pragma once

#include <functional>
#include <memory>

#include "platform/CHfcAudioOutput.h"

// An audio output made when it is first opened, so that a program starts without loading the
// audio backend. Before that it answers the format question optimistically; Open asks the real
// output the same question and fails, as a missing device does, when there is no output or it
// would not play the format. Calls come from one thread at a time, as for every output.
class CHfcDeferredAudioOutput : public CHfcAudioOutput {
public:
    using Factory = std::function<std::unique_ptr<CHfcAudioOutput>()>;

    explicit CHfcDeferredAudioOutput(Factory factory);

    bool IsFormatSupported(const HfcAudioFormat& format) override;
    bool Open(const HfcAudioFormat& format, CHfcAudioOutputListener& listener) override;
    bool IsOpen() const override;
    bool Write(int bufferId, const uint8_t* data, size_t bytes) override;
    void Reset() override;
    void Close() override;

    // Whether the real output has been asked for yet.
    bool IsMade() const { return made_; }

private:
    Factory factory_;
    bool made_ = false;
    std::unique_ptr<CHfcAudioOutput> real_;
};
