#include "platform/CHfcDeferredAudioOutput.h"

CHfcDeferredAudioOutput::CHfcDeferredAudioOutput(Factory factory) : factory_(std::move(factory)) {}

bool CHfcDeferredAudioOutput::IsFormatSupported(const HfcAudioFormat& format) {
    return !made_ || (real_ && real_->IsFormatSupported(format));
}

bool CHfcDeferredAudioOutput::Open(const HfcAudioFormat& format,
                                   CHfcAudioOutputListener& listener) {
    if (!made_) {
        made_ = true;
        if (factory_) {
            real_ = factory_();
        }
    }
    return real_ && real_->IsFormatSupported(format) && real_->Open(format, listener);
}

bool CHfcDeferredAudioOutput::IsOpen() const {
    return real_ && real_->IsOpen();
}

bool CHfcDeferredAudioOutput::Write(int bufferId, const uint8_t* data, size_t bytes) {
    return real_ && real_->Write(bufferId, data, bytes);
}

void CHfcDeferredAudioOutput::Reset() {
    if (real_) {
        real_->Reset();
    }
}

void CHfcDeferredAudioOutput::Close() {
    if (real_) {
        real_->Close();
    }
}
