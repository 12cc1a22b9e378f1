#include "platform/CHfcRecordingAudioOutput.h"

#include "platform/CHfcAudioOutputListener.h"

CHfcRecordingAudioOutput::~CHfcRecordingAudioOutput() {
    Close();
}

bool CHfcRecordingAudioOutput::IsFormatSupported(const HfcAudioFormat& format) {
    std::lock_guard<std::mutex> lock(mutex_);
    return available_ && format.IsValid();
}

bool CHfcRecordingAudioOutput::Open(const HfcAudioFormat& format,
                                    CHfcAudioOutputListener& listener) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!available_ || open_ || !format.IsValid()) {
        return false;
    }
    open_ = true;
    listener_ = &listener;
    openedFormats_.push_back(format);
    changed_.notify_all();
    return true;
}

bool CHfcRecordingAudioOutput::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
}

bool CHfcRecordingAudioOutput::Write(int bufferId, const uint8_t* data, size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_ || data == nullptr) {
        return false;
    }
    queue_.push_back({bufferId, data, bytes});
    changed_.notify_all();
    return true;
}

void CHfcRecordingAudioOutput::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
    changed_.notify_all();
}

void CHfcRecordingAudioOutput::Close() {
    std::unique_lock<std::mutex> lock(mutex_);
    queue_.clear();
    open_ = false;
    // A notification under way must end before the listener may go away.
    changed_.wait(lock, [this] { return notifying_ == 0; });
    listener_ = nullptr;
    changed_.notify_all();
}

bool CHfcRecordingAudioOutput::PlayNext(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!changed_.wait_for(lock, timeout, [this] { return !queue_.empty(); })) {
        return false;
    }
    const Queued buffer = queue_.front();
    queue_.pop_front();
    recorded_.insert(recorded_.end(), buffer.data, buffer.data + buffer.bytes);
    CHfcAudioOutputListener* listener = listener_;
    ++notifying_;
    lock.unlock();
    listener->OnHfcAudioBufferDone(buffer.id);
    lock.lock();
    --notifying_;
    changed_.notify_all();
    return true;
}

bool CHfcRecordingAudioOutput::WaitForQueued(size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return queue_.size() >= count; });
}

size_t CHfcRecordingAudioOutput::QueuedCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
}

std::vector<uint8_t> CHfcRecordingAudioOutput::Recorded() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return recorded_;
}

void CHfcRecordingAudioOutput::ClearRecorded() {
    std::lock_guard<std::mutex> lock(mutex_);
    recorded_.clear();
}

std::vector<HfcAudioFormat> CHfcRecordingAudioOutput::OpenedFormats() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return openedFormats_;
}

void CHfcRecordingAudioOutput::SetDeviceAvailable(bool available) {
    std::lock_guard<std::mutex> lock(mutex_);
    available_ = available;
}
