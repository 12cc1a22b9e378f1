#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CEfHost.h"
#include "app/CEfMenuBar.h"
#include "audio/CTarnAudioEngineListener.h"
#include "framework/CEfCriticalSection.h"
#include "platform/CHfcAudioOutput.h"

class CHfcCompressedAudioDecoder;
class CHfcMidiDriver;
class CHfcPreferences;
class CTarnAllData;
class CTarnAllDataIO;
class CTarnAudioEngine;
class CTarnDataManager;
class CTarnHostListener;
class CTarnHostWindow;
class CTarnMidiManager;
class CTarnPreferencesData;

// What the front end hands the host at start-up; everything stays owned by the caller except the
// audio output.
struct CTarnHostServices {
    // The preferences store (required); it must outlive the host.
    CHfcPreferences* preferencesStore = nullptr;
    // The MIDI system the transfers use; null takes the installed one (CHfcMidiSystem).
    CHfcMidiDriver* midiDriver = nullptr;
    // The preview output; null leaves the preview silent.
    std::unique_ptr<CHfcAudioOutput> audioOutput;
    // Null when no compressed audio can be decoded; it is then neither offered nor opened.
    CHfcCompressedAudioDecoder* decoder = nullptr;
    // Runs a task on the user-interface thread later; unset runs it at once (tests).
    std::function<void(std::function<void()>)> postToUserInterface;
    // Whether the resource services (pictures, fonts, clipboard formats, texts) are acquired.
    bool acquireResources = true;
};

// The editor's central object, reachable through Get() while it lives. It owns the data manager
// with the edited data set, the all-data file object, the preferences, the "HostFileLock" lock,
// the transfer manager, the preview engine, the menu-bar wrapper and the message manager, keeps
// the page state, and carries out every whole-instrument command for the window, the toolbar and
// the pages. It knows the main window only through CTarnHostWindow, so it needs no toolkit.
class CTarnHost : public CEfHost, private CTarnAudioEngineListener {
public:
    static constexpr const char* kApplicationName = "TALVEX PRO+ Editor";
    static constexpr int kPageCount = 3;
    static constexpr int kGlobalTabCount = 3;
    static constexpr int kExtCtrlLayerKindCount = 4;
    static constexpr int kExtControllerCount = 18;
    static constexpr int kBankCount = 4;
    // Preview format handed to the audio engine.
    static constexpr int kAudioRate = 48000;
    static constexpr int kAudioChannels = 2;
    static constexpr int kAudioBits = 16;
    static constexpr int kAudioBuffers = 4;

    CTarnHost();
    ~CTarnHost() override;

    // The living host or null.
    static CTarnHost* Get();

    // Creates the services in their fixed order; false when the message manager cannot be
    // created (nothing else then exists).
    bool Initialize(CTarnHostServices services);
    // Writes the window position and releases everything in the reverse order.
    void Terminate();
    bool IsInitialized() const { return initialized_; }

    CTarnDataManager* GetDataManager() const { return dataManager_.get(); }
    int32_t GetCurrentHandle() const { return currentHandle_; }
    // The edited data set.
    CTarnAllData* GetAllData() const;
    CTarnAllDataIO* GetAllDataIO() const { return allDataIO_.get(); }
    CTarnPreferencesData* GetPreferences() const { return preferences_.get(); }
    CTarnMidiManager* GetMidiManager() const { return midiManager_.get(); }
    CTarnAudioEngine* GetAudioEngine() const { return audioEngine_.get(); }
    CEfMenuBar* GetMenuBar() const { return menuBar_.get(); }
    CHfcCompressedAudioDecoder* GetDecoder() const { return decoder_; }
    bool HasCompressedAudio() const { return decoder_ != nullptr; }

    void SetWindow(CTarnHostWindow* window) { window_ = window; }
    CTarnHostWindow* GetWindow() const { return window_; }

    void AddListener(CTarnHostListener* listener);
    void RemoveListener(CTarnHostListener* listener);

    // ---- page state ----
    int GetPage() const { return page_; }
    int GetBank() const { return bank_; }
    void SetBank(int bank);
    int GetGlobalTab() const { return globalTab_; }
    int GetExtCtrlLayerKind() const { return extCtrlLayerKind_; }
    int GetSelectedExtController() const { return selectedExtController_; }
    // 0 to 17; other values are ignored.
    void SelectExtController(int controller);
    void SetLastNormalPosition(int x, int y);
    int GetLastNormalX() const { return lastNormalX_; }
    int GetLastNormalY() const { return lastNormalY_; }

    // Ask every listener, then tell them; false when the value is out of range or a listener
    // refused.
    bool SetPage(int page);
    bool SetGlobalTab(int tab);
    bool SetExtCtrlLayerKind(int kind);

    // ---- busy and dialog flags, under "HostFileLock" ----
    bool IsBusy() const;
    void SetBusy(bool busy);
    // Sets the busy flag unless it is set already.
    bool TryBeginBusy();
    bool IsDialogShown() const;
    // Used by CTarnDialogFlag.
    bool AcquireDialogFlag();
    void ReleaseDialogFlag();

    // ---- commands ----
    bool New();
    bool Open();
    bool Save();
    bool SaveAs();
    // Asks to save and ends the loop; false when the user cancelled.
    bool Exit();
    // The window's close button: as Exit; true when the window may close.
    bool CloseRequested();
    bool ReceiveAll();
    bool TransmitAll();
    bool Preferences();
    void About();
    void Cut();
    void Copy();
    void Paste();
    void Clear();
    // Runs a menu command by identifier (CTarnCommandId); false for an unknown one.
    bool RunCommand(int command);

    // Opens a file chosen by the user outside a dialog (dropped, command line, second start),
    // by its extension. False when refused or failed.
    bool OpenPath(const std::string& path);
    // Whether OpenPath would take a file of this name.
    bool IsOpenableByPath(const std::string& name) const;

    // Sets the data set's modified flag and posts message 4.
    void SetModified(bool modified);
    bool IsModified() const;
    // False when the user cancelled (or the save failed): the command stops.
    bool AskToSave();
    // "NAME[ *] - TALVEX PRO+ Editor".
    std::string TitleText() const;

    // Which Edit items the current view supports, and the clipboard format Paste needs (short
    // name, empty when Paste is off whatever the clipboard holds).
    struct EditMenuState {
        bool cutCopyClear = false;
        std::string pasteFormat;
    };
    EditMenuState GetEditMenuState() const;
    // Enables the four Edit items through the menu bar; hasFormat tells whether the clipboard
    // holds a short-named format.
    void UpdateEditMenu(const std::function<bool(const std::string&)>& hasFormat);

    // Broadcasts a message through the message manager.
    void PostMessage(int32_t type, int32_t p1 = -1, int32_t p2 = -1);

private:
    void OnTarnAudioPreviewFinished() override;
    void OnTarnAudioPreviewLooped() override;

    void CreateServices(CTarnHostServices& services);
    void AcquireResources();
    void ReleaseResources();
    // Runs fn for every listener; a copy of the list, as listeners may register meanwhile.
    template <class F> void ForEachListener(F fn);
    CTarnHostListener* ListenerOfCurrentPage() const;

    bool SaveCommand(bool always);
    bool OpenPathLocked(const std::string& path);
    bool ImportSample(const std::string& path);

    bool initialized_ = false;
    bool resourcesAcquired_ = false;
    std::unique_ptr<CTarnDataManager> dataManager_;
    int32_t currentHandle_ = 0;
    std::unique_ptr<CTarnAllDataIO> allDataIO_;
    std::unique_ptr<CTarnPreferencesData> preferences_;
    std::unique_ptr<CEfCriticalSection> fileLock_;
    CEfObjectPtr<CTarnMidiManager> midiManager_;
    CEfObjectPtr<CTarnAudioEngine> audioEngine_;
    std::unique_ptr<CEfMenuBar> menuBar_;
    CHfcCompressedAudioDecoder* decoder_ = nullptr;
    std::function<void(std::function<void()>)> postToUserInterface_;
    CTarnHostWindow* window_ = nullptr;
    std::vector<CTarnHostListener*> listeners_;

    int page_ = 0;
    int bank_ = 0;
    int globalTab_ = 1;
    int extCtrlLayerKind_ = 0;
    int selectedExtController_ = 4;
    int lastNormalX_ = 0;
    int lastNormalY_ = 0;
    bool busy_ = false;
    bool dialogShown_ = false;
};
