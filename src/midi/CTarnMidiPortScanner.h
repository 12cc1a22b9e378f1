#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

#include "framework/CEfSemaphore.h"
#include "framework/CTarnProgressDialogListener.h"
#include "midi/CTarnMidiScanResult.h"
#include "midi/port/CHfcMidiListener.h"

class CHfcMidi;
class CHfcMidiDriver;

// Finds the instrument: opens every MIDI port at once, sends the device inquiry out of each
// output in turn and waits for the instrument's identity reply on any input. One object serves
// one search; every port it opened is closed again before Scan returns.
class CTarnMidiPortScanner : private CHfcMidiListener, public CTarnProgressDialogListener {
public:
    static constexpr std::chrono::milliseconds kDefaultReplyTimeout{500};

    // The driver must outlive the scanner.
    explicit CTarnMidiPortScanner(CHfcMidiDriver& driver,
                                  std::chrono::milliseconds replyTimeout = kDefaultReplyTimeout);
    ~CTarnMidiPortScanner() override;
    CTarnMidiPortScanner(const CTarnMidiPortScanner&) = delete;
    CTarnMidiPortScanner& operator=(const CTarnMidiPortScanner&) = delete;

    // True, with the result filled, when the instrument answered; the first output in index
    // order that gets an answer wins, together with the input that delivered it. Cancel in the
    // progress window ends the search early without a result.
    bool Scan(CTarnMidiScanResult& result);

private:
    void OnHfcMidiInLongMessageReceived(CHfcMidi* source, size_t length,
                                        const uint8_t* bytes) override;
    void CloseAll();

    CHfcMidiDriver& driver_;
    std::chrono::milliseconds replyTimeout_;
    CEfSemaphore answered_{0, "MidiPortScanner"};
    std::vector<std::unique_ptr<CHfcMidi>> inputs_;
    std::vector<std::unique_ptr<CHfcMidi>> outputs_;
    std::atomic<int> answeringInput_{-1};
};
