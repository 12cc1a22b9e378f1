#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/CEfCriticalSection.h"
#include "midi/port/CHfcMidiListener.h"
#include "midi/port/CHfcMidiSegmentParser.h"
#include "platform/CHfcMidiDriver.h"

// The editor's MIDI port object: holds at most one input and one output port of a MIDI system,
// runs a MIDI thread of its own that parses the input and notifies the listeners (in the order
// they were added), and sends pieces of bytes asynchronously. Failures go to the diagnostic trace
// and give a false result; nothing here throws. Ports open only while the MIDI thread runs (after
// Create). A listener must stay alive until it is removed or the object is destroyed.
class CHfcMidi : private CHfcMidiInputSink,
                 private CHfcMidiOutputSink,
                 private CHfcMidiSegmentSink {
public:
    // Input segments are handed to the parser in pieces of at most this many bytes.
    static constexpr size_t kInputBufferSize = 2048;
    // Input bytes waiting for the MIDI thread. The backend is never held back (its own buffers
    // would overrun); beyond this the input is dropped and reported as an overrun. Two full
    // banks, so only a listener stuck for many seconds loses anything.
    static constexpr size_t kInputQueueBytes = 4u << 20;

    // Uses the installed MIDI system (CHfcMidiSystem).
    CHfcMidi();
    // The driver must outlive the object.
    explicit CHfcMidi(CHfcMidiDriver& driver);
    virtual ~CHfcMidi();
    CHfcMidi(const CHfcMidi&) = delete;
    CHfcMidi& operator=(const CHfcMidi&) = delete;

    // Starts the MIDI thread. The name is only for the trace.
    virtual bool Create(const char* name);
    // Stops the MIDI thread; the ports stay as they are, input arriving from now on is dropped.
    virtual void Destroy();

    bool MidiInOpen(int index);
    bool MidiInClose();
    bool MidiOutOpen(int index);
    bool MidiOutClose();
    bool IsMidiInOpen() const;
    bool IsMidiOutOpen() const;
    int GetOpenedMidiInIndex() const { return openedInIndex_.load(); }
    int GetOpenedMidiOutIndex() const { return openedOutIndex_.load(); }

    // Sends one piece asynchronously; completion reaches OnHfcMidiOutSysExSendComplete.
    bool Out(size_t length, const uint8_t* bytes);

    // The devices of the MIDI system this object uses.
    int GetMidiInDeviceCount() const;
    int GetMidiOutDeviceCount() const;
    bool GetMidiInDeviceInfo(int index, CHfcMidiDeviceInfo& info) const;
    bool GetMidiOutDeviceInfo(int index, CHfcMidiDeviceInfo& info) const;
    // Product name, at most maxLength - 1 characters (the rest is cut).
    bool GetMidiInDeviceName(int index, std::string& name, size_t maxLength = 256) const;
    bool GetMidiOutDeviceName(int index, std::string& name, size_t maxLength = 256) const;

    void AddListener(CHfcMidiListener* listener);
    void RemoveListener(CHfcMidiListener* listener);
    void ClearListeners();
    // Makes the listener the only one.
    void SetListener(CHfcMidiListener* listener);

    // True while a SysEx message is being collected.
    bool IsReceiving() const;
    // True from a send until its completion has been processed by the MIDI thread.
    bool IsSending() const;
    // True once the device of the open output or input has gone away; cleared by opening.
    bool IsPortLost() const { return portLost_.load(); }

private:
    struct Event {
        enum Kind { kInput, kOverrun, kPortLost, kSendDone, kQuit } kind;
        std::vector<uint8_t> bytes;
        size_t count = 0;
        uint64_t session = 0;
    };

    void ThreadMain();
    void Post(Event event);
    void HandleInput(const Event& event);
    void HandleSendDone(size_t count);
    void HandleOverrun(const Event& event);
    void HandlePortLost();
    void PostInputEvent(Event::Kind kind);

    void OnHfcMidiInputData(const uint8_t* bytes, size_t length) override;
    void OnHfcMidiInputOverrun() override;
    void OnHfcMidiInputLost() override;
    void OnHfcMidiOutputDone(size_t length) override;
    void OnHfcMidiOutputLost() override;
    void OnSegmentShortMessage(const uint8_t* bytes, size_t length) override;
    void OnSegmentSysExProgress(const uint8_t* bytes, size_t count) override;
    void OnSegmentSysExComplete(const uint8_t* bytes, size_t length) override;
    void OnSegmentReceivingChanged(bool receiving) override;

    CHfcMidiDriver& driver_;

    std::atomic<int> openedInIndex_{-1};
    std::atomic<int> openedOutIndex_{-1};

    // Guards the ports against concurrent open, close and send.
    mutable std::mutex portMutex_;
    std::unique_ptr<CHfcMidiInputPort> input_;
    std::unique_ptr<CHfcMidiOutputPort> output_;

    CEfCriticalSection listenerLock_{"CHfcMidi:Listeners"};
    std::vector<CHfcMidiListener*> listeners_;

    mutable std::mutex stateMutex_;
    bool receiving_ = false;
    size_t pendingSends_ = 0;

    // Touched only by the MIDI thread; reset whenever segments of a new input session arrive.
    CHfcMidiSegmentParser parser_{*this};
    uint64_t parserSession_ = 0;

    std::mutex queueMutex_;
    std::condition_variable queueChanged_;
    std::deque<Event> queue_;
    size_t queuedInputBytes_ = 0;
    // Set when input had to be dropped; the overrun is reported once room is back.
    bool inputDropped_ = false;
    // Input segments are tagged with the session of the open input; a close starts a new session
    // so that segments of a closed port are dropped, and producers waiting for room give up.
    uint64_t inputSession_ = 0;
    bool inputAccepting_ = false;

    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> portLost_{false};
};
