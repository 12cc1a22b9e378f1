// The host's commands: the menu, the toolbar, dropped and handed-over files.
#include <algorithm>

#include "app/CTarnAlert.h"
#include "app/CTarnBusyScope.h"
#include "app/CTarnCommandId.h"
#include "app/CTarnDialogFlag.h"
#include "app/CTarnHost.h"
#include "app/CTarnHostListener.h"
#include "app/CTarnHostWindow.h"
#include "app/CTarnPreferencesData.h"
#include "audio/CTarnExternalSampleImporter.h"
#include "data/CTarnDataManager.h"
#include "files/CTarnAllDataIO.h"
#include "files/CTarnGlobalDataIO.h"
#include "files/CTarnProgramMemoryDataIO.h"
#include "framework/CEfFileIO.h"
#include "framework/CEfMessage.h"
#include "framework/CTarnMessageBox.h"
#include "framework/EfTrace.h"
#include "midi/CTarnMidiManager.h"
#include "midi/CTarnMidiPreferencesForm.h"
#include "midi/CTarnMidiTransfer.h"
#include "platform/CHfcCompressedAudioDecoder.h"
#include "platform/CHfcMidiDriver.h"

namespace {

// Global data parameter holding the System Exclusive MIDI filter (0: disabled).
constexpr int kSysExFilterParameter = 5;
constexpr int kMessageTransmitAll = 32;
constexpr int kMessageSysExFilterOff = 34;
constexpr int kYes = 2;
constexpr int kNo = 3;
// The longest path taken from outside (drop, command line, second start).
constexpr size_t kMaxPathLength = 1023;

bool IsOneOf(const std::string& extension, std::initializer_list<const char*> list) {
    return std::any_of(list.begin(), list.end(), [&](const char* e) { return extension == e; });
}

} // namespace

CTarnDialogFlag::~CTarnDialogFlag() {
    if (acquired_) {
        host_.ReleaseDialogFlag();
    }
}

bool CTarnDialogFlag::Acquire() {
    if (!acquired_) {
        acquired_ = host_.AcquireDialogFlag();
    }
    return acquired_;
}

void CTarnHost::SetModified(bool modified) {
    if (CTarnAllData* all = GetAllData()) {
        all->SetModified(modified);
    }
    PostMessage(kMsgModifiedChanged);
}

bool CTarnHost::IsModified() const {
    const CTarnAllData* all = GetAllData();
    return all && all->GetModified();
}

std::string CTarnHost::TitleText() const {
    std::string title = allDataIO_ ? allDataIO_->FileName() : std::string("Untitled");
    if (IsModified()) {
        title += " *";
    }
    return title + " - " + kApplicationName;
}

bool CTarnHost::AskToSave() {
    if (!IsModified()) {
        return true;
    }
    const int answer = CTarnAlert::AskToSave(allDataIO_->FileName());
    if (answer == kYes) {
        if (allDataIO_->Save(*GetAllData(), window_ ? window_->DialogParent() : nullptr) !=
            CEfFileIO::kSucceeded) {
            return false;
        }
        SetModified(false);
        return true;
    }
    return answer == kNo;
}

bool CTarnHost::New() {
    CTarnDialogFlag guard(*this);
    if (!initialized_ || !guard.Acquire() || IsBusy() || !AskToSave()) {
        return false;
    }
    GetAllData()->Initialize();
    allDataIO_->Forget();
    SetModified(false);
    PostMessage(kMsgRefreshAll);
    return true;
}

bool CTarnHost::Open() {
    CTarnDialogFlag guard(*this);
    if (!initialized_ || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(*this);
    if (!busy.Held() || !AskToSave()) {
        return false;
    }
    CTarnAllData& all = *GetAllData();
    if (allDataIO_->Open(all, window_ ? window_->DialogParent() : nullptr) !=
        CEfFileIO::kSucceeded) {
        return false;
    }
    if (allDataIO_->WasPredecessorFile()) {
        allDataIO_->Forget();
    }
    SetModified(false);
    PostMessage(kMsgRefreshAll);
    return true;
}

bool CTarnHost::Save() {
    return SaveCommand(false);
}

bool CTarnHost::SaveAs() {
    return SaveCommand(true);
}

bool CTarnHost::SaveCommand(bool always) {
    CTarnDialogFlag guard(*this);
    if (!initialized_ || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(*this);
    if (!busy.Held()) {
        return false;
    }
    CTarnAllData& all = *GetAllData();
    CEfWindow* parent = window_ ? window_->DialogParent() : nullptr;
    const int result = always ? allDataIO_->SaveAs(all, parent) : allDataIO_->Save(all, parent);
    if (result != CEfFileIO::kSucceeded) {
        return false;
    }
    SetModified(false);
    return true;
}

bool CTarnHost::Exit() {
    if (!CloseRequested()) {
        return false;
    }
    if (window_) {
        window_->EndLoop();
    }
    return true;
}

bool CTarnHost::CloseRequested() {
    CTarnDialogFlag guard(*this);
    if (!initialized_) {
        return true;
    }
    return guard.Acquire() && AskToSave();
}

bool CTarnHost::ReceiveAll() {
    CTarnDialogFlag guard(*this);
    if (!initialized_ || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(*this);
    if (!busy.Held()) {
        return false;
    }
    PostMessage(kMsgStopPreview);
    if (!CTarnMidiTransfer::Receive(midiManager_.get(), GetAllData())) {
        return false;
    }
    SetModified(true);
    PostMessage(kMsgRefreshAll);
    return true;
}

bool CTarnHost::TransmitAll() {
    // The guard is held for the whole command, not only around the first question: the
    // transfer lets window events run, and nothing else may start underneath it.
    CTarnDialogFlag guard(*this);
    if (!initialized_ || !guard.Acquire()) {
        return false;
    }
    if (preferences_->GetWarnBeforeTransmit() &&
        CTarnMessageBox::Show(kMessageTransmitAll, CTarnMessageBox::kQuestionStyle) != kYes) {
        return false;
    }
    CTarnAllData& all = *GetAllData();
    if (all.Global().GetParameter(ParamAddress(kSysExFilterParameter)) == 0 &&
        CTarnMessageBox::Show(kMessageSysExFilterOff, CTarnMessageBox::kQuestionStyle) != kYes) {
        return false;
    }
    CTarnBusyScope busy(*this);
    if (!busy.Held()) {
        return false;
    }
    PostMessage(kMsgStopPreview);
    return CTarnMidiTransfer::Transmit(midiManager_.get(), &all);
}

bool CTarnHost::Preferences() {
    CTarnDialogFlag guard(*this);
    if (!initialized_ || !window_ || !guard.Acquire()) {
        return false;
    }
    std::vector<CHfcMidiDeviceInfo> inputs;
    std::vector<CHfcMidiDeviceInfo> outputs;
    if (midiManager_) {
        inputs = midiManager_->Driver().InputDevices();
        outputs = midiManager_->Driver().OutputDevices();
    }
    CTarnMidiPreferencesForm form(*preferences_, inputs, outputs);
    if (!window_->RunPreferencesDialog(form)) {
        return false;
    }
    form.Store(*preferences_);
    if (preferences_->GetMidiDeviceAutoDetect() && midiManager_) {
        midiManager_->DetectPorts();
    }
    return true;
}

void CTarnHost::About() {
    CTarnDialogFlag guard(*this);
    if (window_ && guard.Acquire()) {
        window_->ShowAboutWindow();
    }
}

void CTarnHost::Cut() {
    CTarnDialogFlag guard(*this);
    if (CTarnHostListener* listener = ListenerOfCurrentPage(); listener && guard.Acquire()) {
        listener->OnTarnHostCut();
    }
}

void CTarnHost::Copy() {
    CTarnDialogFlag guard(*this);
    if (CTarnHostListener* listener = ListenerOfCurrentPage(); listener && guard.Acquire()) {
        listener->OnTarnHostCopy();
    }
}

void CTarnHost::Paste() {
    CTarnDialogFlag guard(*this);
    if (CTarnHostListener* listener = ListenerOfCurrentPage(); listener && guard.Acquire()) {
        listener->OnTarnHostPaste();
    }
}

void CTarnHost::Clear() {
    CTarnDialogFlag guard(*this);
    if (CTarnHostListener* listener = ListenerOfCurrentPage(); listener && guard.Acquire()) {
        listener->OnTarnHostClear();
    }
}

bool CTarnHost::RunCommand(int command) {
    switch (command) {
    case kCmdNew:
        New();
        return true;
    case kCmdOpen:
        Open();
        return true;
    case kCmdSave:
        Save();
        return true;
    case kCmdSaveAs:
        SaveAs();
        return true;
    case kCmdExit:
        Exit();
        return true;
    case kCmdCut:
        Cut();
        return true;
    case kCmdCopy:
        Copy();
        return true;
    case kCmdPaste:
        Paste();
        return true;
    case kCmdClear:
        Clear();
        return true;
    case kCmdReceiveAll:
        ReceiveAll();
        return true;
    case kCmdTransmitAll:
        TransmitAll();
        return true;
    case kCmdPreferences:
        Preferences();
        return true;
    case kCmdAbout:
        About();
        return true;
    default:
        return false;
    }
}

CTarnHost::EditMenuState CTarnHost::GetEditMenuState() const {
    switch (page_) {
    case 0:
        return {true, "SampleData"};
    case 1:
        return {true, "ProgramMemory"};
    default:
        // Only the switch and slider layers of the External Controller tab hold copyable rows.
        if (globalTab_ == 1 && (extCtrlLayerKind_ == 0 || extCtrlLayerKind_ == 1)) {
            return {true, "ExtCtrlData"};
        }
        return {};
    }
}

void CTarnHost::UpdateEditMenu(const std::function<bool(const std::string&)>& hasFormat) {
    if (!menuBar_) {
        return;
    }
    const EditMenuState state = GetEditMenuState();
    menuBar_->EnableCommand(kCmdCut, state.cutCopyClear);
    menuBar_->EnableCommand(kCmdCopy, state.cutCopyClear);
    menuBar_->EnableCommand(kCmdClear, state.cutCopyClear);
    menuBar_->EnableCommand(kCmdPaste, !state.pasteFormat.empty() && hasFormat &&
                                           hasFormat(state.pasteFormat));
}

// ---- open by path ----

bool CTarnHost::IsOpenableByPath(const std::string& name) const {
    const std::string extension = CEfFileIO::LowerExtensionOf(name);
    return IsOneOf(extension,
                   {"t2a", "txa", "t2g", "txg", "t2p", "t2s", "txs", "wav", "aif", "aiff"}) ||
           (decoder_ && decoder_->TakesFileName(name));
}

bool CTarnHost::OpenPath(const std::string& path) {
    if (!initialized_ || path.empty()) {
        return false;
    }
    if (path.size() > kMaxPathLength) {
        EfTrace("CTarnHost::OpenPath - Path too long (%zu characters).", path.size());
        return false;
    }
    if (IsBusy()) {
        EfTrace("CTarnHost::OpenPath - Busy.");
        return false;
    }
    CTarnDialogFlag guard(*this);
    if (!guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(*this);
    if (!busy.Held()) {
        return false;
    }
    return OpenPathLocked(path);
}

bool CTarnHost::OpenPathLocked(const std::string& path) {
    const std::string extension = CEfFileIO::LowerExtensionOf(path);
    CTarnAllData& all = *GetAllData();

    if (IsOneOf(extension, {"t2a", "txa"})) {
        if (!AskToSave() || allDataIO_->OpenPath(all, path) != CEfFileIO::kSucceeded) {
            return false;
        }
        if (allDataIO_->WasPredecessorFile()) {
            allDataIO_->Forget();
        }
        SetModified(false);
        PostMessage(kMsgRefreshAll);
        return true;
    }
    if (IsOneOf(extension, {"t2s", "txs", "wav", "aif", "aiff"}) ||
        (decoder_ && decoder_->TakesFileName(path))) {
        return ImportSample(path);
    }
    if (IsOneOf(extension, {"t2g", "txg"})) {
        CTarnGlobalDataIO io;
        if (io.OpenPath(all.Global(), path) != CEfFileIO::kSucceeded) {
            return false;
        }
        SetModified(true);
        SetPage(2);
        PostMessage(kMsgRefreshAll);
        return true;
    }
    if (extension == "t2p") {
        CTarnProgramMemoryDataIO io;
        if (io.OpenPath(all.Programs(), path) != CEfFileIO::kSucceeded) {
            return false;
        }
        SetModified(true);
        SetPage(1);
        PostMessage(kMsgRefreshAll);
        return true;
    }
    EfTrace("CTarnHost::OpenPath - Not a file of the editor: %s", path.c_str());
    return false;
}

bool CTarnHost::ImportSample(const std::string& path) {
    CTarnAllData& all = *GetAllData();
    CTarnSampleData* bank = all.Bank(bank_);
    if (!bank) {
        return false;
    }
    CTarnExternalSampleImporter importer(decoder_);
    if (importer.Import(path, *bank, all.CurrentSetting()) != CEfFileIO::kSucceeded) {
        return false;
    }
    SetModified(true);
    SetPage(0);
    PostMessage(kMsgRefreshAll);
    return true;
}
