#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/CEfObject.h"
#include "framework/CEfCriticalSection.h"
#include "framework/CEfSemaphore.h"
#include "framework/CTarnProgressDialogListener.h"
#include "midi/CTarnMidiScanResult.h"
#include "midi/CTarnSysExIdentity.h"
#include "midi/port/CHfcMidiListener.h"
#include "midi/port/ReceivedMidiBuffer.h"

class CHfcMidi;
class CHfcMidiDriver;
class CTarnAllData;
class CTarnGlobalData;
class CTarnPreferencesData;
class CTarnProgramMemorySet;
class CTarnProgressDialog;
class CTarnSampleData;

// Runs every exchange with the instrument: opens the ports, identifies the instrument, runs the
// request/dump/reply sequence of the operation with its time-outs and progress window, and closes
// the ports again on every exit path. Failures throw CTarnMidiException; receptions work on
// temporary copies, so a failed one leaves the caller's data as it was. All operations run on
// the user-interface thread; only the listener runs on the MIDI thread.
class CTarnMidiManager : public CEfObject,
                         private CHfcMidiListener,
                         public CTarnProgressDialogListener {
public:
    // How long each wait lasts; tests shorten them.
    struct Timing {
        std::chrono::milliseconds reply{5000};
        std::chrono::milliseconds dumpTick{50};
        int dumpIdleTicks = 90; // about 4.5 s without sample data
        std::chrono::milliseconds scanReply{500};
    };

    static constexpr int kBankSteps = 100;
    static constexpr int kAllDataSteps = 4 * kBankSteps + 8 + 1;

    // Uses the installed MIDI system, or the given driver (which must outlive the manager). The
    // preferences hold the chosen and the detected ports.
    explicit CTarnMidiManager(CTarnPreferencesData& preferences);
    CTarnMidiManager(CTarnPreferencesData& preferences, CHfcMidiDriver& driver);
    ~CTarnMidiManager() override;

    bool Initialize();
    void Shutdown();
    void SetTiming(const Timing& timing) { timing_ = timing; }
    const Timing& GetTiming() const { return timing_; }

    bool TransmitLoopRecorderData(int bank, CTarnSampleData* sample);
    bool TransmitProgramMemoryData(const CTarnProgramMemorySet* set);
    bool TransmitGlobalData(const CTarnGlobalData* global);
    bool TransmitAllData(CTarnAllData* all);
    bool ReceiveLoopRecorderData(int bank, CTarnSampleData* sample);
    bool ReceiveProgramMemoryData(CTarnProgramMemorySet* set);
    bool ReceiveGlobalData(CTarnGlobalData* global);
    bool ReceiveAllData(CTarnAllData* all);

    // which = 0 searches for the instrument and gives the input it answered on (empty and -2
    // when nothing answered); which = 1 gives the output of the last search.
    void Search(int which, std::string& name, int& index);
    // Runs a new search and keeps its ports as the detected ones (empty names and -2 when
    // nothing answered), as after the preferences dialog closes with automatic detection on.
    void DetectPorts();
    bool MidiInOpenByNameAndIndex(const std::string& name, int index);
    bool MidiOutOpenByNameAndIndex(const std::string& name, int index);
    // True when detection is automatic or both ports have been chosen.
    bool IsPortConfigured() const;

    int GetChannel() const { return channel_; }
    const CTarnSysExIdentity& GetIdentity() const { return identity_; }
    const CTarnMidiScanResult& GetScanResult() const { return scanResult_; }
    bool IsMidiInOpen() const;
    bool IsMidiOutOpen() const;
    // Device indices of the open ports, -1 when closed.
    int GetOpenedMidiInIndex() const;
    int GetOpenedMidiOutIndex() const;
    CHfcMidiDriver& Driver() { return driver_; }

private:
    class CSession;

    void OnHfcMidiInLongMessageReceived(CHfcMidi* source, size_t length,
                                        const uint8_t* bytes) override;
    void OnHfcMidiOutSysExSendComplete(CHfcMidi* source, size_t count) override;
    void OnHfcMidiPortLost(CHfcMidi* source) override;
    // Ends the operation with a send failure once the instrument's port has gone away.
    void FailIfPortLost();

    bool OpenPorts();
    void ClosePorts();
    void CheckDriver(int inputIndex, int outputIndex);
    void OpenProgress(int total, const char* title, const char* text, bool cancellable);
    void CloseProgress();
    void StepProgress(int steps = 1);
    [[noreturn]] void Fail(int code);

    void Send(const std::vector<uint8_t>& message, bool patchChannel);
    void SendPiece(const uint8_t* bytes, size_t length, bool patchChannel);
    midi::ReceivedMidiBufferItem WaitForReply(std::initializer_list<int> kinds,
                                              std::chrono::milliseconds timeout);
    bool IdentifyDevice(bool required);
    void IdentifyOrFail();
    // Throws the matching error for a busy, error or missing reply.
    void FailOnReply(const midi::ReceivedMidiBufferItem& reply);
    std::vector<uint8_t> TakePayload(size_t unpackedSize);

    void TransmitDump(const std::vector<uint8_t>& dump);
    void TransmitBank(int bank, CTarnSampleData& sample);
    // Sends a sample data dump in pieces and waits until the output has sent them all, so that
    // the wait for the instrument's reply does not run while a slow cable still carries the dump.
    void SendSampleData(const std::vector<uint8_t>& dump);
    void ReceiveGlobal(CTarnGlobalData& global);
    void ReceiveProgram(CTarnProgramMemorySet& set, int index);
    void ReceiveBank(int bank, CTarnSampleData& sample, int mode);

    CTarnPreferencesData& preferences_;
    CHfcMidiDriver& driver_;
    Timing timing_;
    std::unique_ptr<CHfcMidi> port_;

    CEfSemaphore recvSema_{1, "MidiManagerRecvSema"};
    CEfSemaphore arrivals_{0};
    midi::ReceivedMidiBuffer received_;
    CEfCriticalSection payloadCs_{"MidiManagerCs"};
    std::vector<uint8_t> payload_;

    // Bytes the output has reported sent, and a count per report to wake the waiting thread.
    std::atomic<uint64_t> sentBytes_{0};
    CEfSemaphore sendCompletions_{0};
    // Set (on the MIDI thread) when the device of an open port goes away; cleared on opening.
    std::atomic<bool> portLost_{false};

    int channel_ = 0;
    CTarnSysExIdentity identity_;
    std::unique_ptr<CTarnProgressDialog> progress_;
    int progressTotal_ = 0;
    int progressCount_ = 0;
    CTarnMidiScanResult scanResult_;
};
