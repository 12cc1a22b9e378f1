#include "platform/CHfcNullAudioOutput.h"

#include <chrono>

#include "platform/CHfcAudioOutputListener.h"

CHfcNullAudioOutput::~CHfcNullAudioOutput() {
    Close();
}

bool CHfcNullAudioOutput::IsFormatSupported(const HfcAudioFormat& format) {
    return format.IsValid();
}

bool CHfcNullAudioOutput::Open(const HfcAudioFormat& format, CHfcAudioOutputListener& listener) {
    if (!format.IsValid() || IsOpen()) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        format_ = format;
        listener_ = &listener;
        queue_.clear();
        stopping_ = false;
        open_ = true;
    }
    thread_ = std::thread(&CHfcNullAudioOutput::Run, this);
    return true;
}

bool CHfcNullAudioOutput::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
}

bool CHfcNullAudioOutput::Write(int bufferId, const uint8_t* data, size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_ || data == nullptr) {
        return false;
    }
    queue_.push_back(
        {bufferId, bytes / static_cast<size_t>(format_.bytesPerFrame), nextSequence_++});
    wake_.notify_all();
    return true;
}

void CHfcNullAudioOutput::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
    wake_.notify_all();
}

void CHfcNullAudioOutput::Close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!open_) {
            return;
        }
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
    listener_ = nullptr;
}

void CHfcNullAudioOutput::Run() {
    using Clock = std::chrono::steady_clock;
    std::unique_lock<std::mutex> lock(mutex_);
    Clock::time_point playedUntil = Clock::now();
    while (!stopping_) {
        if (queue_.empty()) {
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            continue;
        }
        const Queued current = queue_.front();
        // Playing continues from where the last buffer ended unless the queue ran dry.
        const auto length =
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                static_cast<double>(current.frames) / format_.samplingRate));
        playedUntil = std::max(playedUntil, Clock::now()) + length;
        const bool dropped = wake_.wait_until(lock, playedUntil, [&] {
            return stopping_ || queue_.empty() || queue_.front().sequence != current.sequence;
        });
        if (dropped) {
            playedUntil = Clock::now();
            continue;
        }
        queue_.pop_front();
        CHfcAudioOutputListener* listener = listener_;
        lock.unlock();
        listener->OnHfcAudioBufferDone(current.id);
        lock.lock();
    }
}
