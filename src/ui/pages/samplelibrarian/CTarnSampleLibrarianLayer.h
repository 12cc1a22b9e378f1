#pragma once

#include <QPoint>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CTarnHostListener.h"
#include "audio/CTarnTapTempoQueue.h"
#include "ui/framework/CTarnLayerBase.h"
#include "ui/pages/samplelibrarian/CTarnTempoAutoRepeat.h"

class CTarnAudioEngine;
class CTarnHost;
class CTarnSampleData;

// Page 0, the Sample Librarian: the four loop-recorder banks of the edited data set. It shows the
// selected bank's waveform and the preview's output level, sets the bank's tempo (typed, stepped
// or tapped), phrase length, play length and play level, imports and exports a bank, receives and
// writes it from and to the instrument, previews it through the host's audio engine, and copies,
// pastes, drags and exchanges whole banks. The selected bank is the host's current bank, so files
// opened from outside go to the bank shown here. Every edit ends with the host's set modified
// (true); selecting a bank marks nothing.
class CTarnSampleLibrarianLayer : public CTarnLayerBase, public CTarnHostListener {
    Q_OBJECT

public:
    static constexpr int kPageNumber = 0;
    static constexpr int kBankCount = 4;
    // The longest dropped path the page takes.
    static constexpr size_t kMaxDropPath = 1023;
    // How fast a meter falls back when the level drops, in decibels per millisecond; the rise is
    // immediate. Without it a meter would blink between the rendered buffers (which come every
    // 43 ms at the default size) and the 30 ms ticks.
    static constexpr double kMeterReleaseDbPerMs = 0.05;
    static constexpr double kMeterMinimumDb = -48.0;

    // Control groups (the information record's group field).
    enum Group : int {
        kGroupBank = 0,
        kGroupPhraseLength = 7,
        kGroupPlayLength = 8,
        kGroupPlayLevel = 9,
    };

    // Shows a pop-up menu of texts at a point of the screen and returns the chosen index, or -1
    // when it was dismissed. Tests hand in a scripted one.
    using MenuChooser =
        std::function<int(const std::vector<std::string>& texts, QPoint globalPosition)>;

    // Registers with the host for its lifetime and starts the audio engine's stream.
    explicit CTarnSampleLibrarianLayer(CTarnHost& host, QWidget* parent = nullptr);
    ~CTarnSampleLibrarianLayer() override;

    int GetTarnHostPageNumber() const override { return kPageNumber; }

    // The selected bank (the host's current bank) and its data.
    int SelectedBank() const;
    CTarnSampleData* Bank() const;
    CTarnSampleData* BankAt(int index) const;
    const CTarnTapTempoQueue& TapQueue() const { return tapQueue_; }
    void SetMenuChooser(MenuChooser chooser) { menuChooser_ = std::move(chooser); }
    // The level a meter shows now (channel 0 left, 1 right), in decibels.
    double MeterLevel(int channel) const;

    // Makes `bank` (clamped to 0..3) the current bank and takes it up; marks nothing modified.
    void SelectBank(int bank);
    // Reads every control from the selected bank; the waveform is recomputed when the bank, its
    // audio or its play range changed, or always with `audioChanged`.
    void Refresh(bool audioChanged = false);
    // Refresh, then size the tap-tempo queue from the phrase length and hand the bank to the
    // engine: after every change of bank or of the bank's audio.
    void TakeUpBank(bool audioChanged);

    // Preview: start (the selected bank, from its start) or stop, and whether it plays.
    bool StartPreview();
    void StopPreview();
    bool IsPreviewing() const;

    // The header commands and the wave menu's Normalize; false when refused, cancelled or
    // failed. Export takes the position of "IF-ExportButtonMenu" (0 sample file, 1 WAV, 2 AIFF).
    bool Import();
    bool Export(int exporter);
    bool Receive();
    bool Write();
    bool Normalize();
    // Imports a file into a bank as a dropped file is, without the message round trip.
    bool ImportFile(const std::string& path, int bank);

    // Host listener.
    void OnTarnHostPageChanged(int page) override;
    void OnTarnHostPreviewEnded() override;
    void OnTarnHostPreviewLooped() override;
    void OnTarnHostCut() override;
    void OnTarnHostCopy() override;
    void OnTarnHostPaste() override;
    void OnTarnHostClear() override;

    // Controls.
    void OnEfControlClicked(CEfControl* control) override;
    void OnEfControlChanged(CEfControl* control, int value) override;
    void OnEfControlTextChanged(CEfControl* control, const std::string& text) override;
    void OnEfControlPressed(CEfControl* control, QPoint position) override;
    void OnEfControlClickedAt(CEfControl* control, QPoint position) override;
    std::unique_ptr<QMimeData> OnEfControlBeginDrag(CEfControl* control, QPoint position) override;
    EfDropEffect OnEfControlDragOver(CEfControl* control, const CEfDragInfo& info) override;
    EfDropEffect OnEfControlDrop(CEfControl* control, const CEfDragInfo& info) override;

    // Messages 0 and 1 refresh everything and hand the bank to the engine, 6 with first
    // parameter 1 imports the dropped file, 7 stops the preview.
    bool OnEfMessageReceived(CEfMessageManagerApp* manager, int32_t type, int32_t p1, int32_t p2,
                             int32_t p3, int32_t p4, CEfMessageManagerListener* sender) override;
    // Level meters and the tempo buttons' auto-repeat.
    void OnEfLayerTick(int elapsedMs) override;
    void OnEfLayerShown() override;
    // Starts the preview's stream once the page has been painted the first time.
    void paintEvent(QPaintEvent* event) override;

private:
    // What the waveform was computed from; a change means it must be computed again.
    struct WaveKey {
        const CTarnSampleData* bank = nullptr;
        int frames = 0;
        int channels = 0;
        int start = 0;
        int end = 0;
        int playFrames = 0;
        bool operator==(const WaveKey&) const = default;
    };

    void CreateControls();
    CTarnAudioEngine* Engine() const;
    int Menu(const std::vector<std::string>& texts, QPoint globalPosition);
    static int DefaultMenu(const std::vector<std::string>& texts, QPoint globalPosition);

    // Tempo, lengths and level.
    void RefreshTempo(const CTarnSampleData& bank);
    void StepTempo(int direction);
    void Tap();
    void SetTempo(double bpm);
    void ResizeTapQueue();
    // A header field of the bank changed: mark, tell the engine, refresh.
    void HeaderChanged();
    // The bank's audio changed: mark, take the bank up again.
    void AudioChanged();
    void RunAutoRepeat(int elapsedMs);

    // Preview and meters.
    void TogglePreview();
    void UpdatePreviewButton();
    void UpdateMeters(int elapsedMs);
    // Runs on the user-interface thread, handing the call over when it comes from another one.
    void OnUserInterfaceThread(void (CTarnSampleLibrarianLayer::*handler)());
    void PreviewEnded();
    void PreviewLooped();

    // Clipboard and drag and drop.
    std::vector<uint8_t> BlockOf(int bank) const;
    // Whether the bytes are a bank block this editor can take (tag and size).
    static bool IsAcceptableBlock(const uint8_t* bytes, size_t size);
    bool LoadBlock(int bank, const uint8_t* bytes, size_t size);
    bool IsImportable(const std::string& name) const;
    std::string FirstImportable(const std::vector<std::string>& files) const;
    EfDropEffect DropBlock(int target, const CEfDragInfo& info);
    EfDropEffect DropFile(int target, const CEfDragInfo& info);
    void ImportPendingDrop(int bank);
    void ResetBank();

    CTarnHost& host_;
    CTarnTapTempoQueue tapQueue_;
    CTarnTempoAutoRepeat autoRepeat_;
    MenuChooser menuChooser_;
    std::array<double, 2> meterLevels_;
    WaveKey waveKey_;
    // A dropped file waiting for its message.
    bool dropPending_ = false;
    std::string dropPath_;
    // The preview device failed to open and the user has been told once.
    bool deviceFailureShown_ = false;
    bool streamRequested_ = false;
};
