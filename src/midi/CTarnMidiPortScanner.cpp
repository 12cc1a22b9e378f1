#include "midi/CTarnMidiPortScanner.h"

#include "framework/CEfMessagePump.h"
#include "framework/CEfProgressFactory.h"
#include "framework/CEfUiServices.h"
#include "framework/EfTrace.h"
#include "midi/CTarnSysExBuilder.h"
#include "midi/CTarnSysExIdentity.h"
#include "midi/port/CHfcMidi.h"
#include "platform/CHfcMidiDriver.h"

CTarnMidiPortScanner::CTarnMidiPortScanner(CHfcMidiDriver& driver,
                                           std::chrono::milliseconds replyTimeout)
    : driver_(driver), replyTimeout_(replyTimeout) {}

CTarnMidiPortScanner::~CTarnMidiPortScanner() {
    CloseAll();
}

bool CTarnMidiPortScanner::Scan(CTarnMidiScanResult& result) {
    const int inputCount = static_cast<int>(driver_.InputDevices().size());
    const int outputCount = static_cast<int>(driver_.OutputDevices().size());
    if (inputCount == 0 || outputCount == 0) {
        return false;
    }
    answered_.Reset();
    answeringInput_.store(-1);
    for (int i = 0; i < inputCount; ++i) {
        auto port = std::make_unique<CHfcMidi>(driver_);
        port->Create("MidiPortScannerIn");
        port->SetListener(this);
        if (!port->MidiInOpen(i)) {
            EfTrace("MidiPortScanner: input %d does not open", i);
        }
        inputs_.push_back(std::move(port));
    }
    for (int j = 0; j < outputCount; ++j) {
        auto port = std::make_unique<CHfcMidi>(driver_);
        port->Create("MidiPortScannerOut");
        port->SetListener(this);
        if (!port->MidiOutOpen(j)) {
            EfTrace("MidiPortScanner: output %d does not open", j);
        }
        outputs_.push_back(std::move(port));
    }

    CEfMessagePump& pump = CEfUiServices::Pump();
    std::unique_ptr<CTarnProgressDialog> window = CEfUiServices::Progress().CreateProgressDialog();
    ClearCancel();
    window->SetListener(this);
    window->SetTotal(outputCount);
    window->SetText("Detecting...");
    pump.DispatchPending();

    const std::vector<uint8_t> inquiry = CTarnSysExBuilder::DeviceInquiry();
    bool found = false;
    for (int j = 0; j < outputCount && !IsCancelled(); ++j) {
        std::string outputName;
        outputs_[j]->GetMidiOutDeviceName(j, outputName);
        window->SetText(outputName);
        pump.DispatchPending();
        if (outputs_[j]->IsMidiOutOpen()) {
            outputs_[j]->Out(inquiry.size(), inquiry.data());
        }
        const bool signalled = answered_.Wait(replyTimeout_);
        window->Step();
        pump.DispatchPending();
        if (signalled) {
            const int input = answeringInput_.load();
            result.inputIndex = input;
            result.inputName.clear();
            inputs_[input]->GetMidiInDeviceName(input, result.inputName);
            result.outputIndex = j;
            result.outputName = outputName;
            found = true;
            break;
        }
    }
    window.reset();
    CloseAll();
    return found;
}

void CTarnMidiPortScanner::OnHfcMidiInLongMessageReceived(CHfcMidi* source, size_t length,
                                                          const uint8_t* bytes) {
    if (!CTarnSysExIdentity::IsTalvexIdentityReply({bytes, length})) {
        return;
    }
    const int input = source->GetOpenedMidiInIndex();
    if (input < 0) {
        return;
    }
    // Several instruments may answer one inquiry; the first reply decides.
    int none = -1;
    if (answeringInput_.compare_exchange_strong(none, input)) {
        answered_.Release();
    }
}

void CTarnMidiPortScanner::CloseAll() {
    for (auto& port : inputs_) {
        port->MidiInClose();
        port->Destroy();
    }
    for (auto& port : outputs_) {
        port->MidiOutClose();
        port->Destroy();
    }
    inputs_.clear();
    outputs_.clear();
}
