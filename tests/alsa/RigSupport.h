#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/CHfcMidiInputSink.h"
#include "platform/CHfcMidiOutputSink.h"

namespace rig {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

// Waits for a condition on state guarded by the object's mutex.
class Waitable {
public:
    template <class Pred> bool WaitUntil(Pred pred, std::chrono::milliseconds timeout = 10000ms) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, pred);
    }

protected:
    void Changed() { changed_.notify_all(); }
    std::mutex mutex_;
    std::condition_variable changed_;
};

// Records what an output port reports; a check runs on every done report (on the port's
// thread) with the total reported so far.
class OutputRecorder : public CHfcMidiOutputSink, public Waitable {
public:
    std::function<void(uint64_t)> onDone;

    void OnHfcMidiOutputDone(size_t length) override {
        uint64_t total;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done.push_back(length);
            doneBytes += length;
            total = doneBytes;
        }
        if (onDone) {
            onDone(total);
        }
        Changed();
    }
    void OnHfcMidiOutputLost() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++lost;
        }
        Changed();
    }
    bool WaitForDone(size_t count) {
        return WaitUntil([&] { return done.size() >= count; });
    }
    bool WaitForLost() {
        return WaitUntil([&] { return lost > 0; });
    }

    std::vector<size_t> done;
    uint64_t doneBytes = 0;
    int lost = 0;
};

class InputRecorder : public CHfcMidiInputSink, public Waitable {
public:
    void OnHfcMidiInputData(const uint8_t* b, size_t n) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            bytes.insert(bytes.end(), b, b + n);
            segments.emplace_back(b, b + n);
        }
        Changed();
    }
    void OnHfcMidiInputOverrun() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++overruns;
        }
        Changed();
    }
    void OnHfcMidiInputLost() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++lost;
        }
        Changed();
    }
    bool WaitForBytes(size_t count) {
        return WaitUntil([&] { return bytes.size() >= count; });
    }
    Bytes Received() {
        std::lock_guard<std::mutex> lock(mutex_);
        return bytes;
    }

    Bytes bytes;
    std::vector<Bytes> segments;
    int overruns = 0;
    int lost = 0;
};

} // namespace rig
