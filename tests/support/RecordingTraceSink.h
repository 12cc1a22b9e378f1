#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "framework/EfTrace.h"

// Collects diagnostic trace lines, installed for its lifetime.
class RecordingTraceSink : public CEfTraceSink {
public:
    RecordingTraceSink() { EfSetTraceSink(this); }
    ~RecordingTraceSink() override { EfSetTraceSink(nullptr); }
    RecordingTraceSink(const RecordingTraceSink&) = delete;
    RecordingTraceSink& operator=(const RecordingTraceSink&) = delete;

    void OnEfTrace(const char* line) override {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.emplace_back(line);
    }

    std::vector<std::string> Lines() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    bool Contains(const std::string& line) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};
