#include "ui/pages/samplelibrarian/CTarnSampleLibrarianLayer.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/CTarnHost.h"
#include "audio/CTarnAudioEngine.h"
#include "data/CTarnAllData.h"
#include "data/CTarnSampleData.h"
#include "framework/CEfMessage.h"
#include "framework/EfTrace.h"
#include "ui/framework/CTarnControlValueParameter.h"
#include "ui/pages/samplelibrarian/TarnSampleLibrarianValues.h"

namespace {

// ---- layout (layer coordinates of the 700 x 439 page) ----

const CTarnButton::Description kBankButtons[] = {
    {"BtnSampleBankA", 16, 44, "ButtonBankSelectA"},
    {"BtnSampleBankB", 78, 44, "ButtonBankSelectB"},
    {"BtnSampleBankC", 140, 44, "ButtonBankSelectC"},
    {"BtnSampleBankD", 202, 44, "ButtonBankSelectD"},
};
const CEfControlInfo kBankInfo[] = {
    // parameter, sub-value, index, group, bound
    {-1, -1, 0, CTarnSampleLibrarianLayer::kGroupBank, false},
    {-1, -1, 1, CTarnSampleLibrarianLayer::kGroupBank, false},
    {-1, -1, 2, CTarnSampleLibrarianLayer::kGroupBank, false},
    {-1, -1, 3, CTarnSampleLibrarianLayer::kGroupBank, false},
};

const CTarnButton::Description kCommandButtons[] = {
    {"BtnWaveImport", 330, 5, "ButtonSampleImport"},
    {"BtnWaveExport", 420, 5, "ButtonSampleExport"},
    {"BtnWaveReceive", 510, 5, "ButtonSampleReceive"},
    {"BtnWaveTransmit", 600, 5, "ButtonSampleWrite"},
    {"BtnTapTempo", 140, 343, "ButtonSampleTap"},
    {"BtnTempoInc", 108, 346, "ButtonUpSmall"},
    {"BtnTempoDec", 108, 356, "ButtonDownSmall"},
};

const CTarnButton::Description kPreviewButton[] = {
    {"BtnWavePreview", 600, 49, "ButtonSamplePreview"},
};

const CTarnEditText::Description kTempoField[] = {
    {"SampleTempo", 28, 346, 78, 20, "TrebuchetMS12P", 12, EfTextAlign::kCenter},
};

const CTarnStaticText::Description kCaptions[] = {
    {"C.SampleTempo", 28, 326, 200, 0, "TrebuchetMS12P", "Original BPM"},
    {"C.PhraseLength", 252, 326, 240, 0, "TrebuchetMS12P", "Phrase Length"},
    {"C.PlayLength", 252, 372, 240, 0, "TrebuchetMS12P", "Phrase Play Length"},
    {"C.PlayLevel", 520, 326, 160, 0, "TrebuchetMS12P", "Phrase Play Level"},
};

const CTarnPopupParameter::Description kLengthPopups[] = {
    {"PhraseLength", 252, 348, 140, "TrebuchetMS12P", "ButtonDownSmall", "PhraseLength",
     "PhraseLength"},
    {"PlayLength", 252, 394, 140, "TrebuchetMS12P", "ButtonDownSmall", "PhraseLength",
     "PhraseLength"},
};
const CEfControlInfo kLengthInfo[] = {
    {-1, -1, 0, CTarnSampleLibrarianLayer::kGroupPhraseLength, true},
    {-1, -1, 0, CTarnSampleLibrarianLayer::kGroupPlayLength, true},
};

const CEfControlValueParameter::Description kLevelValue[] = {
    {"PhraseLevel", 520, 346, 78, 20, "TrebuchetMS12P", "ButtonUpSmall", "ButtonDownSmall", 0, 127},
};
const CEfControlInfo kLevelInfo[] = {
    {-1, -1, 0, CTarnSampleLibrarianLayer::kGroupPlayLevel, true},
};

const CEfControlHorizontalVuMeter::Description kMeters[] = {
    {"VuMeterL", 318, 51, 256, 8, "VuMeterHorizontal", CTarnSampleLibrarianLayer::kMeterMinimumDb,
     0.0},
    {"VuMeterR", 318, 65, 256, 8, "VuMeterHorizontal", CTarnSampleLibrarianLayer::kMeterMinimumDb,
     0.0},
};

const CTarnControlWaveGraph::Description kWaveGraph[] = {
    {"WaveGraph", 18, 92, 664, 200, "WaveGraphImage"},
};

// The controls that only make sense for a loop.
const char* const kLoopOnlyKeys[] = {"SampleTempo", "BtnTempoInc", "BtnTempoDec", "BtnTapTempo"};

} // namespace

CTarnSampleLibrarianLayer::CTarnSampleLibrarianLayer(CTarnHost& host, QWidget* parent)
    : CTarnLayerBase(parent), host_(host) {
    meterLevels_.fill(-std::numeric_limits<double>::infinity());
    SetBackgroundImage("BG_SampleLibrarian");
    CreateControls();
    host_.AddListener(this);
    if (!Engine()) {
        EfTrace("Failed to get audio engine.");
    }
    TakeUpBank(true);
}

void CTarnSampleLibrarianLayer::paintEvent(QPaintEvent* event) {
    CTarnLayerBase::paintEvent(event);
    if (streamRequested_) {
        return;
    }
    streamRequested_ = true;
    // The stream runs (silently while nothing plays) for as long as the page lives; a device
    // that cannot be opened is reported when the user asks for a preview. Opening it loads the
    // audio backend, which the first picture of the window does not wait for.
    QTimer::singleShot(0, this, [this] {
        CTarnAudioEngine* engine = Engine();
        if (engine && !engine->IsStreaming() && !engine->Start()) {
            EfTrace("CTarnSampleLibrarianLayer - The preview output could not be opened.");
        }
    });
}

CTarnSampleLibrarianLayer::~CTarnSampleLibrarianLayer() {
    if (CTarnAudioEngine* engine = Engine()) {
        engine->StopPlaying();
    }
    host_.RemoveListener(this);
}

void CTarnSampleLibrarianLayer::CreateControls() {
    int count = 0;
    // Each array stands alone: a missing picture leaves out only the rest of its array.
    CreateOnOffButtons(kBankButtons, kBankInfo, &count);
    CreateButtons(kCommandButtons, {}, &count);
    CreateOnOffButtons(kPreviewButton, {}, &count);
    CreateStaticTexts(kCaptions, {}, &count);
    CreateEditTexts(kTempoField, {}, &count);
    CreatePopupParameters(kLengthPopups, kLengthInfo, &count);
    CreateValueParameters(kLevelValue, kLevelInfo, &count);
    CreateVuMeters(kMeters, {}, &count);
    CreateWaveGraphs(kWaveGraph, {}, &count);
    for (CEfControl* control : Controls()) {
        if (control->Info().group == kGroupBank) {
            control->SetDragSource(true);
        }
        if (control->Key().rfind("C.", 0) == 0) {
            static_cast<CTarnStaticText*>(control)->SetTextColor(QColor(0xa6, 0xad, 0xb6));
        }
    }
}

CTarnAudioEngine* CTarnSampleLibrarianLayer::Engine() const {
    return host_.GetAudioEngine();
}

int CTarnSampleLibrarianLayer::SelectedBank() const {
    return std::clamp(host_.GetBank(), 0, kBankCount - 1);
}

CTarnSampleData* CTarnSampleLibrarianLayer::BankAt(int index) const {
    CTarnAllData* all = host_.GetAllData();
    return all && index >= 0 && index < kBankCount ? all->Bank(index) : nullptr;
}

CTarnSampleData* CTarnSampleLibrarianLayer::Bank() const {
    return BankAt(SelectedBank());
}

double CTarnSampleLibrarianLayer::MeterLevel(int channel) const {
    return channel == 0 || channel == 1 ? meterLevels_[static_cast<size_t>(channel)]
                                        : -std::numeric_limits<double>::infinity();
}

int CTarnSampleLibrarianLayer::Menu(const std::vector<std::string>& texts, QPoint globalPosition) {
    if (texts.empty()) {
        return -1;
    }
    return menuChooser_ ? menuChooser_(texts, globalPosition) : DefaultMenu(texts, globalPosition);
}

int CTarnSampleLibrarianLayer::DefaultMenu(const std::vector<std::string>& texts,
                                           QPoint globalPosition) {
    QMenu menu;
    for (size_t i = 0; i < texts.size(); ++i) {
        QString text = QString::fromStdString(texts[i]);
        text.replace('&', QStringLiteral("&&"));
        menu.addAction(text)->setData(static_cast<int>(i));
    }
    const QAction* chosen = menu.exec(globalPosition);
    return chosen ? chosen->data().toInt() : -1;
}

// ---- refresh ----

void CTarnSampleLibrarianLayer::SelectBank(int bank) {
    host_.SetBank(std::clamp(bank, 0, kBankCount - 1));
    TakeUpBank(false);
}

void CTarnSampleLibrarianLayer::TakeUpBank(bool audioChanged) {
    Refresh(audioChanged);
    ResizeTapQueue();
    if (CTarnAudioEngine* engine = Engine(); engine && Bank()) {
        engine->LoadSample(*Bank());
    }
}

void CTarnSampleLibrarianLayer::ResizeTapQueue() {
    if (const CTarnSampleData* bank = Bank()) {
        tapQueue_.SetCapacity(static_cast<int>(bank->GetPhraseLengthBeats()));
    }
}

void CTarnSampleLibrarianLayer::Refresh(bool audioChanged) {
    const int selected = SelectedBank();
    const CTarnSampleData* bank = Bank();
    for (CEfControl* control : Controls()) {
        const CEfControlInfo& info = control->Info();
        if (info.group == kGroupBank) {
            control->SetValue(info.index == selected ? 1 : 0);
        } else if (bank && info.bound && info.group == kGroupPhraseLength) {
            control->SetValue(bank->GetPhraseLength());
        } else if (bank && info.bound && info.group == kGroupPlayLength) {
            control->SetValue(bank->GetPlayLength());
        } else if (bank && info.bound && info.group == kGroupPlayLevel) {
            control->SetValue(bank->GetPlayLevel());
        }
    }
    if (bank) {
        RefreshTempo(*bank);
    }
    if (auto* graph = FindControlAs<CTarnControlWaveGraph>("WaveGraph")) {
        WaveKey key;
        if (bank) {
            key = {bank,
                   bank->GetFrameCount(),
                   bank->GetChannels(),
                   bank->GetStartFrame(),
                   bank->GetEndFrame(),
                   bank->GetPlayFrames()};
        }
        // The columns are computed only when what they show changed; a repaint never reads
        // the audio.
        if (graph->Sample() != bank) {
            graph->SetSample(bank);
        } else if (audioChanged || !(key == waveKey_)) {
            graph->SampleChanged();
        }
        waveKey_ = key;
    }
    UpdatePreviewButton();
}

void CTarnSampleLibrarianLayer::RefreshTempo(const CTarnSampleData& bank) {
    const double tempo = bank.GetTempo();
    if (CEfControl* field = FindControl("SampleTempo")) {
        field->SetValue(static_cast<int>(tempo), false);
        field->SetText(tarn::TempoText(tempo));
    }
    const bool loop = bank.GetLoopFlag() == 1;
    for (const char* key : kLoopOnlyKeys) {
        SetControlEnabled(key, loop);
    }
}

// ---- edits ----

void CTarnSampleLibrarianLayer::HeaderChanged() {
    host_.SetModified(true);
    if (CTarnAudioEngine* engine = Engine(); engine && Bank()) {
        engine->UpdateHeader(*Bank());
    }
    Refresh();
}

void CTarnSampleLibrarianLayer::AudioChanged() {
    host_.SetModified(true);
    TakeUpBank(true);
}

void CTarnSampleLibrarianLayer::SetTempo(double bpm) {
    CTarnSampleData* bank = Bank();
    if (!bank) {
        return;
    }
    const double tempo = std::clamp(bpm, tarn::kMinTempo, tarn::kMaxTempo);
    if (!tarn::TempoDiffers(tempo, bank->GetTempo())) {
        return;
    }
    EfTrace("Tempo: %f", tempo);
    bank->SetTempo(tempo);
    HeaderChanged();
}

void CTarnSampleLibrarianLayer::StepTempo(int direction) {
    if (const CTarnSampleData* bank = Bank(); bank && bank->GetLoopFlag() == 1) {
        SetTempo(bank->GetTempo() + direction);
    }
}

void CTarnSampleLibrarianLayer::Tap() {
    const CTarnSampleData* bank = Bank();
    if (!bank || bank->GetLoopFlag() != 1) {
        return;
    }
    if (tapQueue_.Tap()) {
        SetTempo(tapQueue_.Tempo());
    }
}

void CTarnSampleLibrarianLayer::RunAutoRepeat(int elapsedMs) {
    int held = 0;
    for (const auto& [key, direction] : {std::pair{"BtnTempoInc", 1}, {"BtnTempoDec", -1}}) {
        const CEfControl* button = FindControl(key);
        if (button && button->IsPressedDown() && button->IsPointerInside() &&
            button->IsControlEnabled()) {
            held = direction;
        }
    }
    // Released, or the pointer left the button: the next press starts from the beginning.
    if (held == 0) {
        autoRepeat_.Reset();
        return;
    }
    if (autoRepeat_.Tick(elapsedMs)) {
        StepTempo(held);
    }
}

// ---- controls ----

void CTarnSampleLibrarianLayer::OnEfControlPressed(CEfControl* control, QPoint /*position*/) {
    const std::string& key = control->Key();
    if (key == "BtnTapTempo") {
        Tap();
        return;
    }
    // Any other control breaks a series of taps.
    tapQueue_.Clear();
    if (key == "BtnTempoInc" || key == "BtnTempoDec") {
        autoRepeat_.Reset();
        StepTempo(key == "BtnTempoInc" ? 1 : -1);
    }
}

void CTarnSampleLibrarianLayer::OnEfControlClicked(CEfControl* control) {
    const std::string& key = control->Key();
    if (control->Info().group == kGroupBank) {
        SelectBank(control->Info().index);
    } else if (key == "BtnWavePreview") {
        TogglePreview();
    } else if (key == "BtnWaveImport") {
        Import();
    } else if (key == "BtnWaveExport") {
        const QPoint below = control->mapToGlobal(QPoint(0, control->height()));
        Export(Menu(ListTexts("IF-ExportButtonMenu"), below));
    } else if (key == "BtnWaveReceive") {
        Receive();
    } else if (key == "BtnWaveTransmit") {
        Write();
    }
}

void CTarnSampleLibrarianLayer::OnEfControlChanged(CEfControl* control, int value) {
    CTarnSampleData* bank = Bank();
    if (!bank) {
        return;
    }
    switch (control->Info().group) {
    case kGroupPhraseLength:
        // A slow tempo may hold the length below the choice; only a real change counts.
        if (const int before = bank->GetPhraseLength(); value != before) {
            bank->SetPhraseLength(value);
            if (bank->GetPhraseLength() != before) {
                ResizeTapQueue();
                HeaderChanged();
            } else {
                Refresh();
            }
        }
        break;
    case kGroupPlayLength:
        if (const int before = bank->GetPlayLength(); value != before) {
            bank->SetPlayLength(value);
            if (bank->GetPlayLength() != before) {
                HeaderChanged();
            } else {
                Refresh();
            }
        }
        break;
    case kGroupPlayLevel:
        if (std::clamp(value, 0, 127) != bank->GetPlayLevel()) {
            bank->SetPlayLevel(value);
            HeaderChanged();
        }
        break;
    default:
        break;
    }
}

void CTarnSampleLibrarianLayer::OnEfControlTextChanged(CEfControl* control,
                                                       const std::string& text) {
    if (control->Key() != "SampleTempo") {
        return;
    }
    // Text that is no number changes nothing; the field shows the bank's tempo again.
    if (const auto tempo = tarn::ParseTempo(text)) {
        SetTempo(*tempo);
    }
    if (const CTarnSampleData* bank = Bank()) {
        RefreshTempo(*bank);
    }
}

void CTarnSampleLibrarianLayer::OnEfControlClickedAt(CEfControl* control, QPoint position) {
    if (control->Key() != "WaveGraph") {
        return;
    }
    if (Menu(ListTexts("WE-Normalize"), control->mapToGlobal(position)) == 0) {
        Normalize();
    }
}

// ---- messages, ticks, host ----

bool CTarnSampleLibrarianLayer::OnEfMessageReceived(CEfMessageManagerApp* /*manager*/, int32_t type,
                                                    int32_t p1, int32_t p2, int32_t /*p3*/,
                                                    int32_t /*p4*/,
                                                    CEfMessageManagerListener* /*sender*/) {
    switch (type) {
    case kMsgRefreshAll:
    case kMsgRefreshSampleLibrarian:
        TakeUpBank(true);
        break;
    case kMsgFileDropped:
        if (p1 == 1) {
            ImportPendingDrop(p2);
        }
        break;
    case kMsgStopPreview:
        StopPreview();
        break;
    default:
        break;
    }
    return false;
}

void CTarnSampleLibrarianLayer::OnEfLayerTick(int elapsedMs) {
    UpdateMeters(elapsedMs);
    RunAutoRepeat(elapsedMs);
}

void CTarnSampleLibrarianLayer::OnEfLayerShown() {
    // Messages do not reach a hidden page: whatever changed meanwhile is read now.
    TakeUpBank(true);
}

void CTarnSampleLibrarianLayer::OnTarnHostPageChanged(int /*page*/) {
    StopPreview();
}
