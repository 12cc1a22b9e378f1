#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/CHfcAudioOutput.h"
#include "platform/CHfcAudioOutputListener.h"

// An output whose device can fail the way a real one does: the writer's blocking write errors
// out (unplugged, sound server restarted), the output stops, reports it from its writer thread and
// refuses every later write until it is closed and opened again; or the failure is noticed inside
// Write itself, on the caller's thread. Playing is left to the wrapped output.
class FailingAudioOutput : public CHfcAudioOutput {
public:
    explicit FailingAudioOutput(std::unique_ptr<CHfcAudioOutput> inner)
        : inner_(std::move(inner)) {}
    ~FailingAudioOutput() override { Close(); }
    FailingAudioOutput(const FailingAudioOutput&) = delete;
    FailingAudioOutput& operator=(const FailingAudioOutput&) = delete;

    bool IsFormatSupported(const HfcAudioFormat& format) override {
        return inner_->IsFormatSupported(format);
    }

    bool Open(const HfcAudioFormat& format, CHfcAudioOutputListener& listener) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!available_) {
                ++refusedOpens_;
                return false;
            }
        }
        if (!inner_->Open(format, listener)) {
            return false;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        listener_ = &listener;
        failed_ = false;
        ++opens_;
        return true;
    }

    bool IsOpen() const override { return inner_->IsOpen(); }

    bool Write(int bufferId, const uint8_t* data, size_t bytes) override {
        CHfcAudioOutputListener* listener = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (failed_) {
                return false;
            }
            if (failNextWrite_) {
                failNextWrite_ = false;
                failed_ = true;
                listener = listener_;
            }
        }
        if (listener == nullptr) {
            return inner_->Write(bufferId, data, bytes);
        }
        inner_->Reset();
        listener->OnHfcAudioOutputFailed();
        return false;
    }

    void Reset() override { inner_->Reset(); }

    void Close() override {
        {
            // No report may come after Close returns.
            std::unique_lock<std::mutex> lock(mutex_);
            closing_ = true;
            changed_.wait(lock, [this] { return notifying_ == 0; });
        }
        inner_->Close();
        std::lock_guard<std::mutex> lock(mutex_);
        listener_ = nullptr;
        closing_ = false;
        failed_ = false;
    }

    // The device fails under the writer thread: buffers queued are dropped and the failure is
    // reported from a thread of the output's own. False when the output was not playing.
    bool FailFromWriterThread() {
        CHfcAudioOutputListener* listener = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (listener_ == nullptr || closing_ || failed_) {
                return false;
            }
            failed_ = true;
            listener = listener_;
            ++notifying_;
        }
        inner_->Reset();
        std::thread writer([listener] { listener->OnHfcAudioOutputFailed(); });
        writer.join();
        std::lock_guard<std::mutex> lock(mutex_);
        --notifying_;
        changed_.notify_all();
        return true;
    }

    // The next Write finds the device gone and reports it before returning false.
    void FailNextWrite(bool fail = true) {
        std::lock_guard<std::mutex> lock(mutex_);
        failNextWrite_ = fail;
    }

    void SetDeviceAvailable(bool available) {
        std::lock_guard<std::mutex> lock(mutex_);
        available_ = available;
    }

    int Opens() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return opens_;
    }

    int RefusedOpens() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return refusedOpens_;
    }

private:
    std::unique_ptr<CHfcAudioOutput> inner_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    CHfcAudioOutputListener* listener_ = nullptr;
    int notifying_ = 0;
    int opens_ = 0;
    int refusedOpens_ = 0;
    bool closing_ = false;
    bool failed_ = false;
    bool failNextWrite_ = false;
    bool available_ = true;
};
