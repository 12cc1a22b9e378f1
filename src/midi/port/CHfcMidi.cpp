#include "midi/port/CHfcMidi.h"

#include <system_error>

#include "framework/CEfAutoLock.h"
#include "framework/EfTrace.h"
#include "midi/port/CHfcMidiMessage.h"
#include "midi/port/CHfcMidiSystem.h"

CHfcMidi::CHfcMidi() : CHfcMidi(CHfcMidiSystem::Driver()) {}

CHfcMidi::CHfcMidi(CHfcMidiDriver& driver) : driver_(driver) {}

CHfcMidi::~CHfcMidi() {
    MidiOutClose();
    MidiInClose();
    CHfcMidi::Destroy();
}

bool CHfcMidi::Create(const char* name) {
    if (thread_.joinable()) {
        return true;
    }
    running_ = true;
    try {
        thread_ = std::thread([this] { ThreadMain(); });
    } catch (const std::system_error&) {
        running_ = false;
        EfTrace("CHfcMidi::Create() - %s", "Faild to create thread.");
        return false;
    }
    EfTrace("CHfcMidi::Create() - %s started", name ? name : "");
    return true;
}

void CHfcMidi::Destroy() {
    if (!thread_.joinable()) {
        return;
    }
    running_ = false;
    Post({Event::kQuit, {}, 0, 0});
    if (thread_.get_id() == std::this_thread::get_id()) {
        // Called by a listener on the MIDI thread itself: the loop ends after this event.
        thread_.detach();
    } else {
        thread_.join();
    }
}

bool CHfcMidi::MidiInOpen(int index) {
    auto fail = [](const char* text) {
        EfTrace("CHfcMidi::MidiInOpen() - %s", text);
        return false;
    };
    std::lock_guard<std::mutex> ports(portMutex_);
    if (input_) {
        return fail("MIDI IN already opened.");
    }
    if (index < 0 || index >= static_cast<int>(driver_.InputDevices().size())) {
        return fail("Not found MIDI IN device.");
    }
    if (!running_) {
        EfTrace("CHfcMidi::MidiInOpen() - MIDI thread not running");
        return fail("Faild to midiInOpen()");
    }
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        ++inputSession_;
        inputAccepting_ = true;
        inputDropped_ = false;
    }
    portLost_ = false;
    std::string error;
    input_ = driver_.OpenInput(index, *this, error);
    if (!input_) {
        {
            std::lock_guard<std::mutex> lock(queueMutex_);
            inputAccepting_ = false;
        }
        EfTrace("CHfcMidi::MidiInOpen() - %s", error.c_str());
        return fail("Faild to midiInOpen()");
    }
    openedInIndex_ = index;
    return true;
}

bool CHfcMidi::MidiInClose() {
    std::lock_guard<std::mutex> ports(portMutex_);
    if (!input_) {
        return true;
    }
    openedInIndex_ = -1;
    {
        // Segments not yet parsed are dropped, and a backend waiting for room gives up.
        std::lock_guard<std::mutex> lock(queueMutex_);
        inputAccepting_ = false;
        ++inputSession_;
        std::erase_if(queue_, [](const Event& e) {
            return e.kind == Event::kInput || e.kind == Event::kOverrun;
        });
        queuedInputBytes_ = 0;
    }
    queueChanged_.notify_all();
    input_.reset();
    std::lock_guard<std::mutex> state(stateMutex_);
    receiving_ = false;
    return true;
}

bool CHfcMidi::MidiOutOpen(int index) {
    auto fail = [](const char* text) {
        EfTrace("CHfcMidi::MidiOutOpen() - %s", text);
        return false;
    };
    std::lock_guard<std::mutex> ports(portMutex_);
    if (output_) {
        return fail("MIDI OUT already opened.");
    }
    if (index < 0 || index >= static_cast<int>(driver_.OutputDevices().size())) {
        return fail("Not found MIDI OUT device.");
    }
    if (!running_) {
        EfTrace("CHfcMidi::MidiOutOpen() - MIDI thread not running");
        return fail("Faild to midiOutOpen()");
    }
    portLost_ = false;
    std::string error;
    output_ = driver_.OpenOutput(index, *this, error);
    if (!output_) {
        EfTrace("CHfcMidi::MidiOutOpen() - %s", error.c_str());
        return fail("Faild to midiOutOpen()");
    }
    openedOutIndex_ = index;
    return true;
}

bool CHfcMidi::MidiOutClose() {
    std::lock_guard<std::mutex> ports(portMutex_);
    if (!output_) {
        return true;
    }
    openedOutIndex_ = -1;
    // A piece being sent is finished; pieces still waiting are dropped.
    output_.reset();
    return true;
}

bool CHfcMidi::IsMidiInOpen() const {
    std::lock_guard<std::mutex> ports(portMutex_);
    return input_ != nullptr;
}

bool CHfcMidi::IsMidiOutOpen() const {
    std::lock_guard<std::mutex> ports(portMutex_);
    return output_ != nullptr;
}

bool CHfcMidi::Out(size_t length, const uint8_t* bytes) {
    std::lock_guard<std::mutex> ports(portMutex_);
    if (!output_) {
        return false;
    }
    if (portLost_) {
        EfTrace("CHfcMidi::Out() - %s", "the device has gone");
        return false;
    }
    if (!bytes || length == 0) {
        EfTrace("CHfcMidi::Out() - %s", "Faild to midiOutPrepare Header()");
        return false;
    }
    {
        std::lock_guard<std::mutex> state(stateMutex_);
        ++pendingSends_;
    }
    if (!output_->Send(bytes, length)) {
        {
            std::lock_guard<std::mutex> state(stateMutex_);
            --pendingSends_;
        }
        EfTrace("CHfcMidi::Out() - %s", "Faild to midiOutLongMsg()");
        return false;
    }
    return true;
}

int CHfcMidi::GetMidiInDeviceCount() const {
    return static_cast<int>(driver_.InputDevices().size());
}

int CHfcMidi::GetMidiOutDeviceCount() const {
    return static_cast<int>(driver_.OutputDevices().size());
}

namespace {

bool DeviceAt(const std::vector<CHfcMidiDeviceInfo>& devices, int index, CHfcMidiDeviceInfo& info) {
    if (index < 0 || index >= static_cast<int>(devices.size())) {
        return false;
    }
    info = devices[static_cast<size_t>(index)];
    return true;
}

bool NameOf(bool found, const CHfcMidiDeviceInfo& info, std::string& name, size_t maxLength) {
    if (!found) {
        return false;
    }
    name = info.name.substr(0, maxLength > 0 ? maxLength - 1 : 0);
    return true;
}

} // namespace

bool CHfcMidi::GetMidiInDeviceInfo(int index, CHfcMidiDeviceInfo& info) const {
    if (!DeviceAt(driver_.InputDevices(), index, info)) {
        EfTrace("CHfcMidi::GetMidiInDeviceInfo() - %s", "Faild to midiInGetDevCaps()");
        return false;
    }
    return true;
}

bool CHfcMidi::GetMidiOutDeviceInfo(int index, CHfcMidiDeviceInfo& info) const {
    if (!DeviceAt(driver_.OutputDevices(), index, info)) {
        EfTrace("CHfcMidi::GetMidiOutDeviceInfo() - %s", "Faild to midiOutGetDevCaps()");
        return false;
    }
    return true;
}

bool CHfcMidi::GetMidiInDeviceName(int index, std::string& name, size_t maxLength) const {
    CHfcMidiDeviceInfo info;
    return NameOf(GetMidiInDeviceInfo(index, info), info, name, maxLength);
}

bool CHfcMidi::GetMidiOutDeviceName(int index, std::string& name, size_t maxLength) const {
    CHfcMidiDeviceInfo info;
    return NameOf(GetMidiOutDeviceInfo(index, info), info, name, maxLength);
}

void CHfcMidi::AddListener(CHfcMidiListener* listener) {
    if (!listener) {
        return;
    }
    CEfAutoLock lock(listenerLock_);
    listeners_.push_back(listener);
}

void CHfcMidi::RemoveListener(CHfcMidiListener* listener) {
    CEfAutoLock lock(listenerLock_);
    std::erase(listeners_, listener);
}

void CHfcMidi::ClearListeners() {
    CEfAutoLock lock(listenerLock_);
    listeners_.clear();
}

void CHfcMidi::SetListener(CHfcMidiListener* listener) {
    CEfAutoLock lock(listenerLock_);
    listeners_.clear();
    if (listener) {
        listeners_.push_back(listener);
    }
}

bool CHfcMidi::IsReceiving() const {
    std::lock_guard<std::mutex> state(stateMutex_);
    return receiving_;
}

bool CHfcMidi::IsSending() const {
    std::lock_guard<std::mutex> state(stateMutex_);
    return pendingSends_ > 0;
}

void CHfcMidi::ThreadMain() {
    for (;;) {
        Event event;
        {
            std::unique_lock<std::mutex> lock(queueMutex_);
            queueChanged_.wait(lock, [this] { return !queue_.empty(); });
            event = std::move(queue_.front());
            queue_.pop_front();
            if (event.kind == Event::kInput) {
                queuedInputBytes_ -= event.bytes.size();
            }
        }
        queueChanged_.notify_all();
        switch (event.kind) {
        case Event::kQuit:
            return;
        case Event::kInput:
            HandleInput(event);
            break;
        case Event::kOverrun:
            HandleOverrun(event);
            break;
        case Event::kPortLost:
            HandlePortLost();
            break;
        case Event::kSendDone:
            HandleSendDone(event.count);
            break;
        }
    }
}

void CHfcMidi::Post(Event event) {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        queue_.push_back(std::move(event));
    }
    queueChanged_.notify_all();
}

void CHfcMidi::HandleInput(const Event& event) {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (event.session != inputSession_) {
            return;
        }
    }
    if (event.session != parserSession_) {
        parser_.Reset();
        parserSession_ = event.session;
    }
    parser_.Parse(event.bytes.data(), event.bytes.size());
}

void CHfcMidi::HandleSendDone(size_t count) {
    {
        std::lock_guard<std::mutex> state(stateMutex_);
        if (pendingSends_ > 0) {
            --pendingSends_;
        }
    }
    CEfAutoLock lock(listenerLock_);
    for (size_t i = 0; i < listeners_.size(); ++i) {
        listeners_[i]->OnHfcMidiOutSysExSendComplete(this, count);
    }
}

void CHfcMidi::OnHfcMidiInputData(const uint8_t* bytes, size_t length) {
    bool overran = false;
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        // Without the MIDI thread nothing would ever take the input: it is dropped.
        if (!inputAccepting_ || !running_) {
            return;
        }
        if (queuedInputBytes_ + length > kInputQueueBytes) {
            // Never wait: the backend's thread must keep reading its device. The gap is queued
            // once, after the bytes before it, so that the parser never joins across it.
            overran = !inputDropped_;
            if (overran) {
                queue_.push_back({Event::kOverrun, {}, 0, inputSession_});
            }
            inputDropped_ = true;
        } else {
            inputDropped_ = false;
            while (length > 0) {
                const size_t piece = std::min(length, kInputBufferSize);
                queue_.push_back(
                    {Event::kInput, std::vector<uint8_t>(bytes, bytes + piece), 0, inputSession_});
                queuedInputBytes_ += piece;
                bytes += piece;
                length -= piece;
            }
        }
    }
    if (overran) {
        EfTrace("CHfcMidi - input queue full, input dropped");
    }
    queueChanged_.notify_all();
}

void CHfcMidi::PostInputEvent(Event::Kind kind) {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (!inputAccepting_ || !running_) {
            return;
        }
        queue_.push_back({kind, {}, 0, inputSession_});
    }
    queueChanged_.notify_all();
}

void CHfcMidi::OnHfcMidiInputOverrun() {
    EfTrace("CHfcMidi - input overrun, bytes lost");
    PostInputEvent(Event::kOverrun);
}

void CHfcMidi::OnHfcMidiInputLost() {
    EfTrace("CHfcMidi - MIDI IN device lost");
    portLost_ = true;
    PostInputEvent(Event::kPortLost);
}

void CHfcMidi::OnHfcMidiOutputLost() {
    EfTrace("CHfcMidi - MIDI OUT device lost");
    portLost_ = true;
    if (running_) {
        Post({Event::kPortLost, {}, 0, 0});
    }
}

void CHfcMidi::HandleOverrun(const Event& event) {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (event.session != inputSession_) {
            return;
        }
    }
    // Whatever was collected misses bytes: it must never be joined to what follows.
    parser_.Reset();
    parserSession_ = event.session;
    CEfAutoLock lock(listenerLock_);
    for (size_t i = 0; i < listeners_.size(); ++i) {
        listeners_[i]->OnHfcMidiInOverrun(this);
    }
}

void CHfcMidi::HandlePortLost() {
    CEfAutoLock lock(listenerLock_);
    for (size_t i = 0; i < listeners_.size(); ++i) {
        listeners_[i]->OnHfcMidiPortLost(this);
    }
}

void CHfcMidi::OnHfcMidiOutputDone(size_t length) {
    if (!running_) {
        // No MIDI thread to report to: only keep the sending state right.
        std::lock_guard<std::mutex> state(stateMutex_);
        if (pendingSends_ > 0) {
            --pendingSends_;
        }
        return;
    }
    Post({Event::kSendDone, {}, length, 0});
}

void CHfcMidi::OnSegmentShortMessage(const uint8_t* bytes, size_t length) {
    CHfcMidiMessage message(bytes, length);
    CEfAutoLock lock(listenerLock_);
    for (size_t i = 0; i < listeners_.size(); ++i) {
        listeners_[i]->OnHfcMidiInMessageReceived(this, message);
        listeners_[i]->OnHfcMidiInShortMessageReceived(this, length, bytes);
    }
}

void CHfcMidi::OnSegmentSysExProgress(const uint8_t* bytes, size_t count) {
    CEfAutoLock lock(listenerLock_);
    for (size_t i = 0; i < listeners_.size(); ++i) {
        listeners_[i]->OnHfcMidiInLongMessageReceiving(this, count, bytes);
    }
}

void CHfcMidi::OnSegmentSysExComplete(const uint8_t* bytes, size_t length) {
    CHfcMidiMessage message(bytes, length);
    CEfAutoLock lock(listenerLock_);
    for (size_t i = 0; i < listeners_.size(); ++i) {
        listeners_[i]->OnHfcMidiInLongMidiMessageReceived(this, message);
        listeners_[i]->OnHfcMidiInLongMessageReceived(this, length, bytes);
    }
}

void CHfcMidi::OnSegmentReceivingChanged(bool receiving) {
    std::lock_guard<std::mutex> state(stateMutex_);
    receiving_ = receiving;
}
