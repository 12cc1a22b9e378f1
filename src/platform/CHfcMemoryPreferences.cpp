#include "platform/CHfcMemoryPreferences.h"

bool CHfcMemoryPreferences::Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = available_;
    return open_;
}

void CHfcMemoryPreferences::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
}

int32_t CHfcMemoryPreferences::ReadInteger(const std::string& name, int32_t defaultValue) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = values_.find(name);
    if (!open_ || it == values_.end() || !std::holds_alternative<int32_t>(it->second)) {
        return defaultValue;
    }
    return std::get<int32_t>(it->second);
}

std::string CHfcMemoryPreferences::ReadString(const std::string& name,
                                              const std::string& defaultValue) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = values_.find(name);
    if (!open_ || it == values_.end() || !std::holds_alternative<std::string>(it->second)) {
        return defaultValue;
    }
    return std::get<std::string>(it->second);
}

void CHfcMemoryPreferences::WriteInteger(const std::string& name, int32_t value) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (open_) {
        values_[name] = value;
        ++writes_;
    }
}

void CHfcMemoryPreferences::WriteString(const std::string& name, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (open_) {
        values_[name] = text;
        ++writes_;
    }
}

void CHfcMemoryPreferences::SetAvailable(bool available) {
    std::lock_guard<std::mutex> lock(mutex_);
    available_ = available;
    if (!available) {
        open_ = false;
    }
}

bool CHfcMemoryPreferences::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
}

bool CHfcMemoryPreferences::Contains(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return values_.count(name) != 0;
}

int CHfcMemoryPreferences::WriteCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
}
