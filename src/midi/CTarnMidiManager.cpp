#include "midi/CTarnMidiManager.h"

#include <algorithm>
#include <cstdio>

#include "app/CTarnPreferencesData.h"
#include "data/CTarnAllData.h"
#include "data/CTarnGlobalData.h"
#include "data/CTarnMidiException.h"
#include "data/CTarnProgramMemorySet.h"
#include "data/CTarnSampleData.h"
#include "framework/CEfAutoLock.h"
#include "framework/CEfMessagePump.h"
#include "framework/CEfProgressFactory.h"
#include "framework/CEfUiServices.h"
#include "framework/CTarnMessageBox.h"
#include "framework/CTarnProgressDialog.h"
#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"
#include "midi/CTarnDumpProgressDialog.h"
#include "midi/CTarnMidiPortScanner.h"
#include "midi/CTarnSysExBuilder.h"
#include "midi/CTarnSysExPacking.h"
#include "midi/CTarnSysExParser.h"
#include "midi/port/CHfcMidi.h"
#include "midi/port/CHfcMidiSystem.h"
#include "platform/CHfcMidiDriver.h"

namespace {

constexpr size_t kPieceSize = 128;
// Sample data queued beyond what the output has sent.
constexpr size_t kSendWindow = 16 * 1024;
constexpr int kDriverWarningMessage = 26;
constexpr uint16_t kDriverManufacturerId = 55;
constexpr uint16_t kDriverInputProductId = 5;
constexpr uint16_t kDriverOutputProductId = 6;

using Clock = std::chrono::steady_clock;

long long ElapsedMs(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The device at an index of a list, or null.
const CHfcMidiDeviceInfo* FindDevice(const std::vector<CHfcMidiDeviceInfo>& devices, int index) {
    for (const CHfcMidiDeviceInfo& device : devices) {
        if (device.index == index) {
            return &device;
        }
    }
    return nullptr;
}

// The device to open for a remembered name and index: the one at the remembered index when it
// still carries the name, else the first that does (devices are renumbered as others come and
// go); -1 when none carries it.
template <typename NameOf>
int ChooseDevice(int count, const std::string& name, int index, NameOf nameOf) {
    int chosen = -1;
    for (int i = 0; i < count; ++i) {
        std::string deviceName;
        if (!nameOf(i, deviceName) || deviceName != name) {
            continue;
        }
        if (chosen < 0 || i == index) {
            chosen = i;
        }
        if (i == index) {
            break;
        }
    }
    return chosen;
}

} // namespace

// One operation: its progress starts from nothing, and the progress window and the ports are
// closed when it ends, however it ends.
class CTarnMidiManager::CSession {
public:
    explicit CSession(CTarnMidiManager& manager) : manager_(manager) {
        manager_.progressCount_ = 0;
        manager_.progressTotal_ = 0;
    }
    ~CSession() {
        manager_.CloseProgress();
        manager_.ClosePorts();
    }
    CSession(const CSession&) = delete;
    CSession& operator=(const CSession&) = delete;

private:
    CTarnMidiManager& manager_;
};

CTarnMidiManager::CTarnMidiManager(CTarnPreferencesData& preferences)
    : CTarnMidiManager(preferences, CHfcMidiSystem::Driver()) {}

CTarnMidiManager::CTarnMidiManager(CTarnPreferencesData& preferences, CHfcMidiDriver& driver)
    : preferences_(preferences), driver_(driver) {
    SetName("CTarnMidiManager");
}

CTarnMidiManager::~CTarnMidiManager() {
    Shutdown();
}

bool CTarnMidiManager::Initialize() {
    if (port_) {
        return true;
    }
    port_ = std::make_unique<CHfcMidi>(driver_);
    if (!port_->Create("TALVEX PRO+ MIDI")) {
        port_.reset();
        return false;
    }
    port_->SetListener(this);
    CEfAutoLock lock(payloadCs_);
    payload_.clear();
    return true;
}

void CTarnMidiManager::Shutdown() {
    if (!port_) {
        return;
    }
    ClosePorts();
    port_->ClearListeners();
    port_->Destroy();
    port_.reset();
    CEfAutoLock lock(payloadCs_);
    payload_.clear();
}

bool CTarnMidiManager::IsMidiInOpen() const {
    return port_ && port_->IsMidiInOpen();
}

bool CTarnMidiManager::IsMidiOutOpen() const {
    return port_ && port_->IsMidiOutOpen();
}

int CTarnMidiManager::GetOpenedMidiInIndex() const {
    return port_ ? port_->GetOpenedMidiInIndex() : -1;
}

int CTarnMidiManager::GetOpenedMidiOutIndex() const {
    return port_ ? port_->GetOpenedMidiOutIndex() : -1;
}

// ---- the eight operations ----

bool CTarnMidiManager::TransmitLoopRecorderData(int bank, CTarnSampleData* sample) {
    if (!sample || bank < 0 || bank > 3) {
        return false;
    }
    CSession session(*this);
    if (!OpenPorts()) {
        Fail(CTarnMidiException::kPortOpenFailed);
    }
    OpenProgress(kBankSteps, "Transmit Loop Recorder Data", "Transmitting...", true);
    IdentifyOrFail();
    TransmitBank(bank, *sample);
    return !IsCancelled();
}

bool CTarnMidiManager::TransmitProgramMemoryData(const CTarnProgramMemorySet* set) {
    if (!set) {
        return false;
    }
    CSession session(*this);
    if (!OpenPorts()) {
        Fail(CTarnMidiException::kPortOpenFailed);
    }
    OpenProgress(CTarnProgramMemoryData::kMemoryCount, "Transmit Program Memory Data",
                 "Transmitting...", true);
    IdentifyOrFail();
    for (int i = 0; i < CTarnProgramMemoryData::kMemoryCount && !IsCancelled(); ++i) {
        TransmitDump(CTarnSysExBuilder::ProgramMemoryDump(
            i, {set->Memory(i)->GetNativeData(), CTarnSysExBuilder::kProgramMemoryImageSize}));
        CEfUiServices::Pump().DispatchPending();
    }
    return !IsCancelled();
}

bool CTarnMidiManager::TransmitGlobalData(const CTarnGlobalData* global) {
    if (!global) {
        return false;
    }
    CSession session(*this);
    if (!OpenPorts()) {
        Fail(CTarnMidiException::kPortOpenFailed);
    }
    OpenProgress(1, "Transmit Global Data", "Transmitting...", true);
    IdentifyOrFail();
    TransmitDump(CTarnSysExBuilder::GlobalDataDump(
        {global->GetNativeData(), CTarnSysExBuilder::kGlobalImageSize}));
    return true;
}

bool CTarnMidiManager::TransmitAllData(CTarnAllData* all) {
    if (!all) {
        return false;
    }
    CSession session(*this);
    if (!OpenPorts()) {
        Fail(CTarnMidiException::kPortOpenFailed);
    }
    OpenProgress(kAllDataSteps, "Transmit All Data", "Transmitting...", true);
    IdentifyOrFail();
    char text[64];
    for (int b = 0; b < CTarnSampleSet::kBankCount && !IsCancelled(); ++b) {
        std::snprintf(text, sizeof(text), "Transmit Loop Recorder Bank %c", 'A' + b);
        progress_->SetText(text);
        TransmitBank(b, *all->Bank(b));
    }
    for (int i = 0; i < CTarnProgramMemoryData::kMemoryCount && !IsCancelled(); ++i) {
        std::snprintf(text, sizeof(text), "Transmit Program Memory %d", i + 1);
        progress_->SetText(text);
        TransmitDump(
            CTarnSysExBuilder::ProgramMemoryDump(i, {all->ProgramMemory(i)->GetNativeData(),
                                                     CTarnSysExBuilder::kProgramMemoryImageSize}));
    }
    if (!IsCancelled()) {
        progress_->SetText("Transmit Global Data");
        TransmitDump(CTarnSysExBuilder::GlobalDataDump(
            {all->Global().GetNativeData(), CTarnSysExBuilder::kGlobalImageSize}));
    }
    return !IsCancelled();
}

bool CTarnMidiManager::ReceiveLoopRecorderData(int bank, CTarnSampleData* sample) {
    if (!sample || bank < 0 || bank > 3) {
        return false;
    }
    CSession session(*this);
    if (!OpenPorts()) {
        Fail(CTarnMidiException::kPortOpenFailed);
    }
    const auto start = Clock::now();
    progressTotal_ = kBankSteps;
    IdentifyOrFail();
    CTarnSampleData temporary;
    ReceiveBank(bank, temporary, CTarnDumpProgressDialog::kSingleBank);
    sample->MoveFrom(&temporary);
    EfTrace("Receive Sample Data (%d bytes) %lld msec", sample->GetNativeDataSize(),
            ElapsedMs(start));
    return true;
}

bool CTarnMidiManager::ReceiveProgramMemoryData(CTarnProgramMemorySet* set) {
    if (!set) {
        return false;
    }
    CSession session(*this);
    if (!OpenPorts()) {
        Fail(CTarnMidiException::kPortOpenFailed);
    }
    OpenProgress(CTarnProgramMemoryData::kMemoryCount, "Receive Program Memory Data",
                 "Receiving...", false);
    IdentifyOrFail();
    CTarnProgramMemorySet temporary;
    temporary.CopyFrom(set);
    for (int i = 0; i < CTarnProgramMemoryData::kMemoryCount; ++i) {
        ReceiveProgram(temporary, i);
    }
    set->CopyFrom(&temporary);
    return true;
}

bool CTarnMidiManager::ReceiveGlobalData(CTarnGlobalData* global) {
    if (!global) {
        return false;
    }
    CSession session(*this);
    if (!OpenPorts()) {
        Fail(CTarnMidiException::kPortOpenFailed);
    }
    OpenProgress(1, "Receive Global Data", "Receiving...", false);
    IdentifyOrFail();
    ReceiveGlobal(*global);
    return true;
}

bool CTarnMidiManager::ReceiveAllData(CTarnAllData* all) {
    if (!all) {
        return false;
    }
    CSession session(*this);
    if (!OpenPorts()) {
        Fail(CTarnMidiException::kPortOpenFailed);
    }
    const auto start = Clock::now();
    IdentifyOrFail();
    // Every bank is received into a buffer of its own; what is not received (the current
    // setting) is carried over, and the banks' buffers are moved in only on success.
    CTarnAllData temporary(CTarnSampleSet::Buffers::kNone);
    temporary.Programs().CopyFrom(&all->Programs());
    temporary.Global().CopyFrom(&all->Global());
    temporary.CurrentSetting().CopyFrom(&all->CurrentSetting());
    ClearCancel();
    progressTotal_ = kAllDataSteps;
    for (int b = 0; b < CTarnSampleSet::kBankCount; ++b) {
        ReceiveBank(b, *temporary.Bank(b), CTarnDumpProgressDialog::kAllData);
    }
    OpenProgress(kAllDataSteps, "Receive All Data", "Receiving...", false);
    progress_->SetPosition(progressCount_);
    for (int i = 0; i < CTarnProgramMemoryData::kMemoryCount; ++i) {
        ReceiveProgram(temporary.Programs(), i);
    }
    ReceiveGlobal(temporary.Global());
    all->MoveFrom(&temporary);
    const long long ms = ElapsedMs(start);
    EfTrace("%lld sec (%lld msec)", ms / 1000, ms);
    return true;
}

// ---- port choice ----

bool CTarnMidiManager::IsPortConfigured() const {
    if (preferences_.GetMidiDeviceAutoDetect()) {
        return true;
    }
    return preferences_.GetMidiInDeviceIndex() != CTarnPreferencesData::kNoDeviceIndex &&
           preferences_.GetMidiOutDeviceIndex() != CTarnPreferencesData::kNoDeviceIndex &&
           !preferences_.GetMidiInDeviceName().empty() &&
           !preferences_.GetMidiOutDeviceName().empty();
}

void CTarnMidiManager::Search(int which, std::string& name, int& index) {
    if (which == 0) {
        CTarnMidiPortScanner scanner(driver_, timing_.scanReply);
        CTarnMidiScanResult result;
        if (scanner.Scan(result)) {
            scanResult_ = result;
            name = result.inputName;
            index = result.inputIndex;
        } else {
            scanResult_ = CTarnMidiScanResult{};
            name.clear();
            index = CTarnPreferencesData::kNoDeviceIndex;
        }
        return;
    }
    if (scanResult_.outputIndex == -1) {
        name.clear();
        index = CTarnPreferencesData::kNoDeviceIndex;
    } else {
        name = scanResult_.outputName;
        index = scanResult_.outputIndex;
    }
}

void CTarnMidiManager::DetectPorts() {
    std::string name;
    int index = 0;
    Search(0, name, index);
    preferences_.SetDetectedMidiInName(name);
    preferences_.SetDetectedMidiInIndex(index);
    Search(1, name, index);
    preferences_.SetDetectedMidiOutName(name);
    preferences_.SetDetectedMidiOutIndex(index);
}

bool CTarnMidiManager::OpenPorts() {
    if (!port_) {
        return false; // not initialised: there is no port object to open
    }
    {
        recvSema_.Wait();
        received_.Clear();
        recvSema_.Release();
    }
    portLost_ = false;
    if (!IsPortConfigured()) {
        throw CTarnMidiException(CTarnMidiException::kNoPort);
    }
    std::string inName;
    std::string outName;
    int inIndex;
    int outIndex;
    if (preferences_.GetMidiDeviceAutoDetect()) {
        inName = preferences_.GetDetectedMidiInName();
        inIndex = preferences_.GetDetectedMidiInIndex();
        outName = preferences_.GetDetectedMidiOutName();
        outIndex = preferences_.GetDetectedMidiOutIndex();
        const bool complete = inIndex != CTarnPreferencesData::kNoDeviceIndex &&
                              outIndex != CTarnPreferencesData::kNoDeviceIndex && !inName.empty() &&
                              !outName.empty();
        if (!complete) {
            Search(0, inName, inIndex);
            Search(1, outName, outIndex);
            if (inIndex == CTarnPreferencesData::kNoDeviceIndex ||
                outIndex == CTarnPreferencesData::kNoDeviceIndex || inName.empty() ||
                outName.empty()) {
                throw CTarnMidiException(CTarnMidiException::kDeviceNotFound);
            }
            preferences_.SetDetectedMidiInName(inName);
            preferences_.SetDetectedMidiInIndex(inIndex);
            preferences_.SetDetectedMidiOutName(outName);
            preferences_.SetDetectedMidiOutIndex(outIndex);
        }
    } else {
        inName = preferences_.GetMidiInDeviceName();
        inIndex = preferences_.GetMidiInDeviceIndex();
        outName = preferences_.GetMidiOutDeviceName();
        outIndex = preferences_.GetMidiOutDeviceIndex();
    }
    CheckDriver(inIndex, outIndex);
    if (!MidiInOpenByNameAndIndex(inName, inIndex)) {
        return false;
    }
    return MidiOutOpenByNameAndIndex(outName, outIndex);
}

void CTarnMidiManager::CheckDriver(int inputIndex, int outputIndex) {
    // Only backends that know their devices' driver identifiers can tell a foreign driver; the
    // others (the ALSA sequencer) report none and get no warning.
    const std::vector<CHfcMidiDeviceInfo> inputs = driver_.InputDevices();
    const std::vector<CHfcMidiDeviceInfo> outputs = driver_.OutputDevices();
    const CHfcMidiDeviceInfo* input = FindDevice(inputs, inputIndex);
    const CHfcMidiDeviceInfo* output = FindDevice(outputs, outputIndex);
    const bool foreignInput = input && input->hasIds &&
                              (input->manufacturerId != kDriverManufacturerId ||
                               input->productId != kDriverInputProductId);
    const bool foreignOutput = output && output->hasIds &&
                               (output->manufacturerId != kDriverManufacturerId ||
                                output->productId != kDriverOutputProductId);
    if (foreignInput || foreignOutput) {
        CTarnMessageBox::Show(kDriverWarningMessage, CTarnMessageBox::kWarningStyle);
    }
}

bool CTarnMidiManager::MidiInOpenByNameAndIndex(const std::string& name, int index) {
    if (!port_) {
        return false;
    }
    port_->MidiInClose();
    if (name.empty() || index == CTarnPreferencesData::kNoDeviceIndex) {
        return true;
    }
    const int count = port_->GetMidiInDeviceCount();
    if (count == 0) {
        return false;
    }
    const int chosen = ChooseDevice(count, name, index, [this](int i, std::string& deviceName) {
        return port_->GetMidiInDeviceName(i, deviceName);
    });
    if (chosen < 0) {
        return false;
    }
    const bool opened = port_->MidiInOpen(chosen);
    if (opened) {
        EfTrace("MIDI in device at %d opened.", chosen);
    }
    return opened;
}

bool CTarnMidiManager::MidiOutOpenByNameAndIndex(const std::string& name, int index) {
    if (!port_) {
        return false;
    }
    port_->MidiOutClose();
    if (name.empty() || index == CTarnPreferencesData::kNoDeviceIndex) {
        return true;
    }
    const int count = port_->GetMidiOutDeviceCount();
    if (count == 0) {
        return false;
    }
    const int chosen = ChooseDevice(count, name, index, [this](int i, std::string& deviceName) {
        return port_->GetMidiOutDeviceName(i, deviceName);
    });
    if (chosen < 0) {
        return false;
    }
    const bool opened = port_->MidiOutOpen(chosen);
    if (opened) {
        EfTrace("MIDI out device at %d opened.", chosen);
    }
    return opened;
}

void CTarnMidiManager::ClosePorts() {
    if (!port_) {
        return;
    }
    if (port_->IsMidiInOpen()) {
        port_->MidiInClose();
    }
    if (port_->IsMidiOutOpen()) {
        port_->MidiOutClose();
    }
    recvSema_.Wait();
    received_.Clear();
    recvSema_.Release();
}

// ---- progress ----

void CTarnMidiManager::OpenProgress(int total, const char* title, const char* text,
                                    bool cancellable) {
    progressTotal_ = total;
    if (progress_) {
        return;
    }
    progress_ = CEfUiServices::Progress().CreateProgressDialog();
    ClearCancel();
    // Without a listener the window's Cancel does nothing: receptions cannot be cancelled.
    progress_->SetListener(cancellable ? this : nullptr);
    progress_->SetTitle(title);
    progress_->SetTotal(total);
    progress_->SetText(text);
    CEfUiServices::Pump().DispatchPending();
}

void CTarnMidiManager::CloseProgress() {
    progress_.reset();
}

void CTarnMidiManager::StepProgress(int steps) {
    progressCount_ += steps;
    if (progress_) {
        progress_->SetPosition(progressCount_);
    }
    CEfUiServices::Pump().DispatchPending();
}

void CTarnMidiManager::Fail(int code) {
    CloseProgress();
    ClosePorts();
    throw CTarnMidiException(code);
}

// ---- messages ----

void CTarnMidiManager::OnHfcMidiInLongMessageReceived(CHfcMidi* /*source*/, size_t length,
                                                      const uint8_t* bytes) {
    recvSema_.Wait();
    received_.Push(bytes, length);
    recvSema_.Release();
    arrivals_.Release();
}

void CTarnMidiManager::OnHfcMidiOutSysExSendComplete(CHfcMidi* /*source*/, size_t count) {
    sentBytes_ += count;
    sendCompletions_.Release();
}

void CTarnMidiManager::OnHfcMidiPortLost(CHfcMidi* /*source*/) {
    portLost_ = true;
    // Wake whatever waits, for a reply or for the output.
    arrivals_.Release();
    sendCompletions_.Release();
}

void CTarnMidiManager::FailIfPortLost() {
    if (portLost_ || (port_ && port_->IsPortLost())) {
        EfTrace("CTarnMidiManager - the instrument's MIDI port has gone");
        Fail(CTarnMidiException::kSendFailed);
    }
}

void CTarnMidiManager::Send(const std::vector<uint8_t>& message, bool patchChannel) {
    SendPiece(message.data(), message.size(), patchChannel);
}

void CTarnMidiManager::SendPiece(const uint8_t* bytes, size_t length, bool patchChannel) {
    std::vector<uint8_t> copy(bytes, bytes + length);
    if (patchChannel) {
        CTarnSysExBuilder::PatchChannel(copy, channel_);
    }
    if (!port_->Out(copy.size(), copy.data())) {
        Fail(CTarnMidiException::kSendFailed);
    }
}

midi::ReceivedMidiBufferItem CTarnMidiManager::WaitForReply(std::initializer_list<int> kinds,
                                                            std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        FailIfPortLost();
        midi::ReceivedMidiBufferItem item;
        recvSema_.Wait();
        if (received_.Count() > 0) {
            item = received_.Pop();
        }
        recvSema_.Release();
        if (item.IsReceived()) {
            int kind;
            {
                CEfAutoLock lock(payloadCs_);
                kind = CTarnSysExParser::Parse(item.bytes, &payload_);
            }
            if (std::find(kinds.begin(), kinds.end(), kind) != kinds.end()) {
                item.kind = kind;
                return item;
            }
            continue; // not what this step waits for: dropped
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return {};
        }
        arrivals_.Wait(std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
    }
}

bool CTarnMidiManager::IdentifyDevice(bool required) {
    if (!IsMidiInOpen() || !IsMidiOutOpen()) {
        return false;
    }
    Send(CTarnSysExBuilder::DeviceInquiry(), false);
    const midi::ReceivedMidiBufferItem reply =
        WaitForReply({CTarnSysExParser::kIdentityReply, CTarnSysExParser::kBusyUsbOrCard,
                      CTarnSysExParser::kBusyRecording},
                     timing_.reply);
    if (!reply.IsReceived() && required) {
        Fail(CTarnMidiException::kTimeout);
    }
    if (reply.kind == CTarnSysExParser::kIdentityReply) {
        CTarnSysExIdentity identity;
        identity.Decode(reply.bytes);
        if (identity.IsTalvex() || !required) {
            identity_ = identity;
            channel_ = identity.channel;
            return true;
        }
        Fail(CTarnMidiException::kWrongDevice);
    }
    ClosePorts();
    return false;
}

void CTarnMidiManager::IdentifyOrFail() {
    if (!IdentifyDevice(true)) {
        Fail(CTarnMidiException::kCannotCommunicate);
    }
}

void CTarnMidiManager::FailOnReply(const midi::ReceivedMidiBufferItem& reply) {
    if (!reply.IsReceived()) {
        Fail(CTarnMidiException::kTimeout);
    }
    switch (reply.kind) {
    case CTarnSysExParser::kBusyUsbOrCard:
        Fail(CTarnMidiException::kDeviceBusy);
    case CTarnSysExParser::kBusyRecording:
        Fail(CTarnMidiException::kDeviceRecording);
    case CTarnSysExParser::kErrorReply:
        Fail(CTarnMidiException::kDeviceError);
    default:
        break;
    }
}

std::vector<uint8_t> CTarnMidiManager::TakePayload(size_t unpackedSize) {
    std::vector<uint8_t> image(unpackedSize);
    CEfAutoLock lock(payloadCs_);
    if (payload_.size() < CTarnSysExPacking::PackedSize(unpackedSize)) {
        Fail(CTarnMidiException::kIncomplete);
    }
    CTarnSysExPacking::Unpack(image.data(), payload_.data(), unpackedSize);
    return image;
}

// ---- steps ----

void CTarnMidiManager::TransmitDump(const std::vector<uint8_t>& dump) {
    Send(dump, true);
    const midi::ReceivedMidiBufferItem reply =
        WaitForReply({CTarnSysExParser::kCompletedReply, CTarnSysExParser::kErrorReply,
                      CTarnSysExParser::kBusyUsbOrCard, CTarnSysExParser::kBusyRecording},
                     timing_.reply);
    FailOnReply(reply);
    StepProgress();
}

void CTarnMidiManager::TransmitBank(int bank, CTarnSampleData& sample) {
    CEfMessagePump& pump = CEfUiServices::Pump();
    if (sample.GetSamplingRate() != CTarnSampleData::kDeviceSampleRate) {
        const std::string text = progress_ ? progress_->Text() : std::string();
        if (progress_) {
            progress_->SetText("Resampling...");
        }
        pump.DispatchPending();
        // Sending audio at another rate than the one the header describes would corrupt the
        // bank on the instrument, so a conversion that fails ends the transfer.
        if (!sample.ConvertTo48k(false)) {
            Fail(CTarnMidiException::kOutOfMemory);
        }
        if (progress_) {
            progress_->SetText(text);
        }
    }
    uint8_t header[CTarnSysExBuilder::kSampleHeaderSize];
    sample.GetNativeHeader(header);
    Send(CTarnSysExBuilder::SampleHeaderDump(bank, header), true);
    FailOnReply(WaitForReply({CTarnSysExParser::kReadyReply, CTarnSysExParser::kBusyUsbOrCard,
                              CTarnSysExParser::kBusyRecording},
                             timing_.reply));
    if (sample.GetNumSamples() <= 0) {
        StepProgress(kBankSteps);
        return;
    }
    const int size = sample.GetNativeDataSize();
    std::vector<uint8_t> data(static_cast<size_t>(std::max(size, 0)));
    if (size <= 0 || !sample.GetNativeData(data.data(), size)) {
        Fail(CTarnMidiException::kOutOfMemory);
    }
    SendSampleData(CTarnSysExBuilder::SampleDataDump(data));
    if (IsCancelled()) {
        return; // the user stopped it: not an error
    }
    const midi::ReceivedMidiBufferItem reply =
        WaitForReply({CTarnSysExParser::kCompletedReply, CTarnSysExParser::kErrorReply,
                      CTarnSysExParser::kBusyUsbOrCard, CTarnSysExParser::kBusyRecording},
                     timing_.reply);
    if (!reply.IsReceived()) {
        Fail(CTarnMidiException::kTimeout);
    }
    if (reply.kind != CTarnSysExParser::kCompletedReply) {
        Fail(CTarnMidiException::kDeviceError);
    }
    StepProgress();
}

void CTarnMidiManager::SendSampleData(const std::vector<uint8_t>& dump) {
    CEfMessagePump& pump = CEfUiServices::Pump();
    const size_t total = dump.size();
    // Completions come in order and the instrument has already answered the header, so what is
    // reported from here on is this dump (or, at most, the header's own late report).
    const uint64_t before = sentBytes_.load();
    const auto sentOfDump = [&] {
        return static_cast<size_t>(std::min<uint64_t>(sentBytes_.load() - before, total));
    };
    const auto start = Clock::now();
    size_t step = 0;
    // Progress follows the bytes the output has sent, which over a slow cable trail far behind
    // the pieces queued.
    const auto advance = [&] {
        const size_t sent = sentOfDump();
        while (step < kBankSteps - 1 && sent > step * total / (kBankSteps - 1)) {
            ++step;
            progressCount_ += 1;
            if (progress_) {
                progress_->SetPosition(progressCount_);
            }
        }
        pump.DispatchPending();
    };
    // Waits, cancellable and with the bar moving, until the output has sent the given number of
    // the dump's bytes. A port that stops reporting sent pieces (a cable pulled out) must not
    // hold the transfer for ever: it fails once nothing has gone out for as long as a reply may
    // take.
    const auto waitUntilSent = [&](size_t target) {
        size_t lastSent = sentOfDump();
        auto lastMove = Clock::now();
        while (!IsCancelled() && lastSent < target) {
            sendCompletions_.Wait(timing_.dumpTick);
            FailIfPortLost();
            advance();
            const size_t sent = sentOfDump();
            if (sent != lastSent) {
                lastSent = sent;
                lastMove = Clock::now();
            } else if (Clock::now() - lastMove > timing_.reply) {
                EfTrace("Sample data not sent: %zu of %zu bytes", sent, total);
                Fail(CTarnMidiException::kSendFailed);
            }
        }
    };
    sendCompletions_.Reset();
    for (size_t offset = 0; offset < total && !IsCancelled(); offset += kPieceSize) {
        // Queuing runs at most a window ahead of the wire, so that Cancel leaves little on its
        // way; at USB speed the output keeps up and this hardly ever waits.
        if (offset > kSendWindow) {
            waitUntilSent(offset - kSendWindow);
            if (IsCancelled()) {
                break;
            }
        }
        const size_t length = std::min(kPieceSize, total - offset);
        SendPiece(dump.data() + offset, length, offset == 0);
        advance();
    }
    waitUntilSent(total);
    EfTrace("Dump sample data (%zu Bytes) : %lld msec", total, ElapsedMs(start));
}

void CTarnMidiManager::ReceiveGlobal(CTarnGlobalData& global) {
    Send(CTarnSysExBuilder::GlobalDataDumpRequest(), true);
    FailOnReply(WaitForReply({CTarnSysExParser::kGlobalDataDump, CTarnSysExParser::kBusyUsbOrCard,
                              CTarnSysExParser::kBusyRecording},
                             timing_.reply));
    const std::vector<uint8_t> image = TakePayload(CTarnSysExBuilder::kGlobalImageSize);
    global.SetNativeData(image.data());
    StepProgress();
}

void CTarnMidiManager::ReceiveProgram(CTarnProgramMemorySet& set, int index) {
    Send(CTarnSysExBuilder::ProgramMemoryDumpRequest(index), true);
    FailOnReply(WaitForReply({CTarnSysExParser::kProgramMemoryDump,
                              CTarnSysExParser::kBusyUsbOrCard, CTarnSysExParser::kBusyRecording},
                             timing_.reply));
    const std::vector<uint8_t> image = TakePayload(CTarnSysExBuilder::kProgramMemoryImageSize);
    set.Memory(index)->SetNativeData(image.data());
    StepProgress();
}

void CTarnMidiManager::ReceiveBank(int bank, CTarnSampleData& sample, int mode) {
    Send(CTarnSysExBuilder::SampleHeaderDumpRequest(bank), true);
    FailOnReply(WaitForReply({CTarnSysExParser::kSampleHeaderDump, CTarnSysExParser::kBusyUsbOrCard,
                              CTarnSysExParser::kBusyRecording},
                             timing_.reply));
    const std::vector<uint8_t> header = TakePayload(CTarnSysExBuilder::kSampleHeaderSize);
    if (static_cast<int32_t>(ef::ReadBE32(header.data() + 4)) < 1) {
        sample.SetNativeData(header.data(), nullptr, 0);
        StepProgress(kBankSteps);
        return;
    }
    const int start = progressCount_;
    CTarnDumpProgressDialog dialog(static_cast<CTarnDumpProgressDialog::Mode>(mode), sample,
                                   header.data(), this);
    dialog.SetTiming(timing_.dumpTick, timing_.dumpIdleTicks);
    dialog.SetTotal(progressTotal_);
    dialog.SetPosition(progressCount_);
    port_->SetListener(&dialog);
    int result;
    try {
        Send(CTarnSysExBuilder::SampleDataRequest(), true);
        result = dialog.DoModal();
    } catch (...) {
        port_->SetListener(this);
        throw;
    }
    // Waits for a notification still running on the MIDI thread, so the dialog can go.
    port_->SetListener(this);
    progressCount_ = dialog.GetPosition();
    switch (result) {
    case CTarnDumpProgressDialog::kSucceeded:
        progressCount_ = start + kBankSteps;
        break;
    case CTarnDumpProgressDialog::kTimedOut:
        Fail(CTarnMidiException::kTimeout);
    case CTarnDumpProgressDialog::kIncomplete:
        Fail(CTarnMidiException::kIncomplete);
    case CTarnDumpProgressDialog::kPortLost:
        Fail(CTarnMidiException::kSendFailed);
    default:
        Fail(CTarnMidiException::kDeviceError);
    }
}
