#include "platform/CHfcDeferredCompressedAudioDecoder.h"

CHfcDeferredCompressedAudioDecoder::CHfcDeferredCompressedAudioDecoder(Factory factory)
    : factory_(std::move(factory)) {}

CHfcCompressedAudioDecoder* CHfcDeferredCompressedAudioDecoder::Real() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!made_) {
        made_ = true;
        if (factory_) {
            real_ = factory_();
        }
    }
    return real_.get();
}

bool CHfcDeferredCompressedAudioDecoder::IsMade() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return made_;
}

bool CHfcDeferredCompressedAudioDecoder::Decode(const std::string& path, size_t maxFrames,
                                                int maxChannels, Result& out) {
    CHfcCompressedAudioDecoder* real = Real();
    return real && real->Decode(path, maxFrames, maxChannels, out);
}

std::vector<std::string> CHfcDeferredCompressedAudioDecoder::Extensions() const {
    const CHfcCompressedAudioDecoder* real = Real();
    return real ? real->Extensions() : std::vector<std::string>{};
}
