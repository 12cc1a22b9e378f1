#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "platform/CHfcCompressedAudioDecoder.h"

// A compressed-audio decoder made the first time it is asked what it reads or to decode, so that
// a program starts without loading the decoder's libraries. When the factory gives nothing, it
// reads no extensions (compressed audio is then not offered) and decodes nothing.
class CHfcDeferredCompressedAudioDecoder : public CHfcCompressedAudioDecoder {
public:
    using Factory = std::function<std::unique_ptr<CHfcCompressedAudioDecoder>()>;

    explicit CHfcDeferredCompressedAudioDecoder(Factory factory);

    bool Decode(const std::string& path, size_t maxFrames, int maxChannels, Result& out) override;
    std::vector<std::string> Extensions() const override;

    // Whether the real decoder has been asked for yet.
    bool IsMade() const;

private:
    CHfcCompressedAudioDecoder* Real() const;

    Factory factory_;
    mutable std::mutex mutex_;
    mutable bool made_ = false;
    mutable std::unique_ptr<CHfcCompressedAudioDecoder> real_;
};
