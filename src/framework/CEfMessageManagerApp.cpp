#include "framework/CEfMessageManagerApp.h"

#include <algorithm>

#include "framework/CEfMessageWindow.h"

CEfMessageManagerApp::CEfMessageManagerApp() = default;

CEfMessageManagerApp::~CEfMessageManagerApp() {
    Terminate();
}

bool CEfMessageManagerApp::Initialize() {
    if (initialized_.load()) {
        return false;
    }
    {
        SemaLock lock(queueSema_);
        broadcast_.clear();
        targeted_.clear();
        nextSequence_ = 0;
    }
    {
        SemaLock lock(windowSema_);
        windows_.clear();
    }
    initialized_.store(true);
    return true;
}

void CEfMessageManagerApp::Terminate() {
    if (!initialized_.exchange(false)) {
        return;
    }
    {
        SemaLock lock(queueSema_);
        broadcast_.clear();
        targeted_.clear();
    }
    SemaLock lock(windowSema_);
    windows_.clear();
}

bool CEfMessageManagerApp::IsInitialized() const {
    return initialized_.load();
}

void CEfMessageManagerApp::RegisterWindow(CEfMessageWindow* window) {
    if (!initialized_.load() || window == nullptr) {
        return;
    }
    SemaLock lock(windowSema_);
    if (std::find(windows_.begin(), windows_.end(), window) == windows_.end()) {
        windows_.push_back(window);
    }
}

bool CEfMessageManagerApp::UnregisterWindow(CEfMessageWindow* window) {
    if (!initialized_.load()) {
        return false;
    }
    SemaLock lock(windowSema_);
    auto it = std::find(windows_.begin(), windows_.end(), window);
    if (it == windows_.end()) {
        return false;
    }
    windows_.erase(it);
    return true;
}

bool CEfMessageManagerApp::Post(int32_t type, int32_t p1, int32_t p2, int32_t p3, int32_t p4,
                                CEfMessageManagerListener* sender) {
    if (!initialized_.load()) {
        return true;
    }
    std::lock_guard<std::mutex> order(postOrder_);
    uint32_t sequence = 0;
    {
        SemaLock lock(queueSema_);
        sequence = nextSequence_++;
        broadcast_.push_back(CEfMessage{sequence, type, {p1, p2, p3, p4}, sender, nullptr});
    }
    SemaLock lock(windowSema_);
    for (CEfMessageWindow* window : windows_) {
        window->PostBroadcastNotice(sequence);
    }
    return true;
}

bool CEfMessageManagerApp::PostTo(CEfMessageManagerListener* target, int32_t type, int32_t p1,
                                  int32_t p2, int32_t p3, int32_t p4,
                                  CEfMessageManagerListener* sender) {
    if (!initialized_.load()) {
        return true;
    }
    std::lock_guard<std::mutex> order(postOrder_);
    uint32_t sequence = 0;
    {
        SemaLock lock(queueSema_);
        sequence = nextSequence_++;
        targeted_.push_back(CEfMessage{sequence, type, {p1, p2, p3, p4}, sender, target});
    }
    SemaLock lock(windowSema_);
    for (CEfMessageWindow* window : windows_) {
        if (window->HasListener(target)) {
            window->PostTargetedNotice(sequence);
            break;
        }
    }
    return true;
}

std::optional<CEfMessage> CEfMessageManagerApp::FetchBroadcast(uint32_t sequence) {
    if (!initialized_.load()) {
        return std::nullopt;
    }
    SemaLock lock(queueSema_);
    while (!broadcast_.empty() && broadcast_.front().sequence < sequence) {
        broadcast_.pop_front();
    }
    if (broadcast_.empty()) {
        return std::nullopt;
    }
    return broadcast_.front();
}

std::optional<CEfMessage> CEfMessageManagerApp::FetchTargeted(uint32_t sequence) {
    if (!initialized_.load()) {
        return std::nullopt;
    }
    SemaLock lock(queueSema_);
    while (!targeted_.empty() && targeted_.front().sequence < sequence) {
        targeted_.pop_front();
    }
    // A number no longer (or not yet) queued leaves the later messages for their own notices.
    if (targeted_.empty() || targeted_.front().sequence != sequence) {
        return std::nullopt;
    }
    CEfMessage message = targeted_.front();
    targeted_.pop_front();
    return message;
}
