#include "app/CTarnHost.h"

#include <algorithm>

#include "app/CTarnClipboardTypeManager.h"
#include "app/CTarnFontManager.h"
#include "app/CTarnHostListener.h"
#include "app/CTarnHostWindow.h"
#include "app/CTarnPreferencesData.h"
#include "app/CTarnResourceManager.h"
#include "app/CTarnStringTable.h"
#include "audio/CTarnAudioEngine.h"
#include "data/CTarnDataManager.h"
#include "files/CTarnAllDataIO.h"
#include "framework/CEfAutoLock.h"
#include "framework/CEfMessageManagerApp.h"
#include "framework/EfTrace.h"
#include "midi/CTarnMidiManager.h"
#include "platform/CHfcAudioOutput.h"
#include "platform/HfcAudioFormat.h"

namespace {

CTarnHost* instance = nullptr;

} // namespace

CTarnHost::CTarnHost() {
    instance = this;
}

CTarnHost::~CTarnHost() {
    Terminate();
    if (instance == this) {
        instance = nullptr;
    }
}

CTarnHost* CTarnHost::Get() {
    return instance;
}

bool CTarnHost::Initialize(CTarnHostServices services) {
    if (initialized_) {
        return true;
    }
    if (!services.preferencesStore || !CreateMessageManager()) {
        return false;
    }
    CreateServices(services);
    initialized_ = true;
    return true;
}

void CTarnHost::CreateServices(CTarnHostServices& services) {
    if (services.acquireResources) {
        AcquireResources();
    }

    dataManager_ = std::make_unique<CTarnDataManager>();
    dataManager_->Open();
    currentHandle_ = dataManager_->NewHandle();
    dataManager_->CreateData(currentHandle_);

    allDataIO_ = std::make_unique<CTarnAllDataIO>();

    preferences_ = std::make_unique<CTarnPreferencesData>(*services.preferencesStore);
    preferences_->ReadAll();

    fileLock_ = std::make_unique<CEfCriticalSection>("HostFileLock");

    midiManager_.reset(services.midiDriver
                           ? new CTarnMidiManager(*preferences_, *services.midiDriver)
                           : new CTarnMidiManager(*preferences_));
    if (!midiManager_->Initialize()) {
        EfTrace("CTarnHost - Failed to initialize the MIDI manager.");
        midiManager_.reset();
    }

    audioEngine_.reset(new CTarnAudioEngine(std::move(services.audioOutput)));
    const HfcAudioFormat format{kAudioRate, kAudioChannels, kAudioBits,
                                kAudioChannels * kAudioBits / 8};
    if (!audioEngine_->Setup(format, preferences_->GetAudioBufferSize())) {
        EfTrace("CTarnHost - The audio output is not available.");
    }
    audioEngine_->AddListener(this);

    decoder_ = services.decoder;
    postToUserInterface_ = std::move(services.postToUserInterface);

    lastNormalX_ = preferences_->GetMainWindowX();
    lastNormalY_ = preferences_->GetMainWindowY();

    menuBar_ = std::make_unique<CEfMenuBar>();
}

void CTarnHost::Terminate() {
    if (!initialized_) {
        return;
    }
    menuBar_.reset();
    preferences_->SetMainWindowX(lastNormalX_);
    preferences_->SetMainWindowY(lastNormalY_);
    if (audioEngine_) {
        audioEngine_->StopPlaying();
        audioEngine_->RemoveListener(this);
        audioEngine_->Stop();
        audioEngine_.reset();
    }
    if (midiManager_) {
        midiManager_->Shutdown();
        midiManager_.reset();
    }
    fileLock_.reset();
    allDataIO_.reset();
    preferences_.reset();
    if (dataManager_) {
        dataManager_->Close();
        dataManager_.reset();
    }
    ReleaseResources();
    listeners_.clear();
    window_ = nullptr;
    initialized_ = false;
    ReleaseMessageManager();
}

void CTarnHost::AcquireResources() {
    // Each acquire either counts or leaves its singleton empty; a missing service only leaves
    // pictures or texts out, so start-up goes on.
    if (!CTarnResourceManager::Acquire()) {
        EfTrace("CTarnHost - Failed to create the resource manager.");
    }
    if (!CTarnFontManager::Acquire()) {
        EfTrace("CTarnHost - Failed to create the font manager.");
    }
    if (!CTarnClipboardTypeManager::Acquire()) {
        EfTrace("CTarnHost - Failed to create the clipboard type manager.");
    }
    if (!CTarnStringTable::Acquire()) {
        EfTrace("CTarnHost - Failed to create the string table.");
    }
    resourcesAcquired_ = true;
}

void CTarnHost::ReleaseResources() {
    if (!resourcesAcquired_) {
        return;
    }
    // Only what was created is released; an empty singleton has nothing to count down.
    if (CTarnStringTable::Instance()) {
        CTarnStringTable::Release();
    }
    if (CTarnClipboardTypeManager::Instance()) {
        CTarnClipboardTypeManager::Release();
    }
    if (CTarnFontManager::Instance()) {
        CTarnFontManager::Release();
    }
    if (CTarnResourceManager::Instance()) {
        CTarnResourceManager::Release();
    }
    resourcesAcquired_ = false;
}

CTarnAllData* CTarnHost::GetAllData() const {
    return dataManager_ ? dataManager_->FindAllData(currentHandle_) : nullptr;
}

void CTarnHost::AddListener(CTarnHostListener* listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
        listeners_.push_back(listener);
    }
}

void CTarnHost::RemoveListener(CTarnHostListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

template <class F> void CTarnHost::ForEachListener(F fn) {
    const std::vector<CTarnHostListener*> listeners = listeners_;
    for (CTarnHostListener* listener : listeners) {
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
            fn(*listener);
        }
    }
}

void CTarnHost::SetBank(int bank) {
    if (bank >= 0 && bank < kBankCount) {
        bank_ = bank;
    }
}

void CTarnHost::SelectExtController(int controller) {
    if (controller >= 0 && controller < kExtControllerCount) {
        selectedExtController_ = controller;
    }
}

void CTarnHost::SetLastNormalPosition(int x, int y) {
    lastNormalX_ = x;
    lastNormalY_ = y;
}

bool CTarnHost::SetPage(int page) {
    if (page < 0 || page >= kPageCount) {
        return false;
    }
    bool allowed = true;
    ForEachListener(
        [&](CTarnHostListener& l) { allowed = allowed && l.OnTarnHostPageChangeRequested(page); });
    if (!allowed) {
        return false;
    }
    page_ = page;
    ForEachListener([&](CTarnHostListener& l) { l.OnTarnHostPageChanged(page); });
    return true;
}

bool CTarnHost::SetGlobalTab(int tab) {
    if (tab < 0 || tab >= kGlobalTabCount) {
        return false;
    }
    bool allowed = true;
    ForEachListener([&](CTarnHostListener& l) {
        allowed = allowed && l.OnTarnHostGlobalTabChangeRequested(tab);
    });
    if (!allowed) {
        return false;
    }
    globalTab_ = tab;
    ForEachListener([&](CTarnHostListener& l) { l.OnTarnHostGlobalTabChanged(tab); });
    return true;
}

bool CTarnHost::SetExtCtrlLayerKind(int kind) {
    if (kind < 0 || kind >= kExtCtrlLayerKindCount) {
        return false;
    }
    bool allowed = true;
    ForEachListener([&](CTarnHostListener& l) {
        allowed = allowed && l.OnTarnHostExtCtrlLayerChangeRequested(kind);
    });
    if (!allowed) {
        return false;
    }
    extCtrlLayerKind_ = kind;
    ForEachListener([&](CTarnHostListener& l) { l.OnTarnHostExtCtrlLayerChanged(kind); });
    return true;
}

bool CTarnHost::IsBusy() const {
    if (!fileLock_) {
        return busy_;
    }
    CEfAutoLock lock(*fileLock_);
    return busy_;
}

void CTarnHost::SetBusy(bool busy) {
    if (!fileLock_) {
        return;
    }
    CEfAutoLock lock(*fileLock_);
    busy_ = busy;
}

bool CTarnHost::TryBeginBusy() {
    if (!fileLock_) {
        return false;
    }
    CEfAutoLock lock(*fileLock_);
    if (busy_) {
        EfTrace("CTarnHost - Busy.");
        return false;
    }
    busy_ = true;
    return true;
}

bool CTarnHost::IsDialogShown() const {
    if (!fileLock_) {
        return dialogShown_;
    }
    CEfAutoLock lock(*fileLock_);
    return dialogShown_;
}

bool CTarnHost::AcquireDialogFlag() {
    if (!fileLock_) {
        return false;
    }
    {
        CEfAutoLock lock(*fileLock_);
        if (dialogShown_) {
            EfTrace("Dialog box is already shown.");
            return false;
        }
        dialogShown_ = true;
        EfTrace("Dialog Flag: TRUE");
    }
    if (window_) {
        window_->EnableInput(false);
    }
    return true;
}

void CTarnHost::ReleaseDialogFlag() {
    if (!fileLock_) {
        return;
    }
    {
        CEfAutoLock lock(*fileLock_);
        dialogShown_ = false;
        EfTrace("Dialog Flag: FALSE");
    }
    if (window_) {
        window_->EnableInput(true);
    }
}

void CTarnHost::PostMessage(int32_t type, int32_t p1, int32_t p2) {
    if (CEfMessageManagerApp* manager = GetMessageManager()) {
        manager->Post(type, p1, p2);
    }
}

void CTarnHost::OnTarnAudioPreviewFinished() {
    // Rendering thread: the listeners are user-interface objects.
    auto task = [] {
        if (CTarnHost* host = Get()) {
            host->ForEachListener([](CTarnHostListener& l) { l.OnTarnHostPreviewEnded(); });
        }
    };
    if (postToUserInterface_) {
        postToUserInterface_(task);
    } else {
        task();
    }
}

void CTarnHost::OnTarnAudioPreviewLooped() {
    auto task = [] {
        if (CTarnHost* host = Get()) {
            host->ForEachListener([](CTarnHostListener& l) { l.OnTarnHostPreviewLooped(); });
        }
    };
    if (postToUserInterface_) {
        postToUserInterface_(task);
    } else {
        task();
    }
}

CTarnHostListener* CTarnHost::ListenerOfCurrentPage() const {
    for (CTarnHostListener* listener : listeners_) {
        if (listener->GetTarnHostPageNumber() == page_) {
            return listener;
        }
    }
    return nullptr;
}
