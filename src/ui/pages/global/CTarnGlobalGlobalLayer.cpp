#include "ui/pages/global/CTarnGlobalGlobalLayer.h"

#include <array>
#include <string_view>

#include "app/CTarnHost.h"
#include "data/CTarnGlobalData.h"

namespace {

enum Group { kGroupParameter = 1, kGroupScrollText = 2, kGroupChannelStep = 3 };

constexpr const char* kFont = "TrebuchetMS12P";
constexpr int kChannelCount = 16;
constexpr int kScrollTextLength = 10;

// Rows of the two upper panels: y = 40 + 28 r; captions 4 below the row, pop-ups 2 below.
constexpr int Row(int r) {
    return 40 + 28 * r;
}

constexpr std::array<CTarnStaticText::Description, 9> kCaptions{{
    {"C.LedSetting", 28, Row(0) + 4, 160, 12, kFont, "Illumination Setting"},
    {"C.ScrText", 28, Row(1) + 4, 160, 12, kFont, "Pad Scroll Text"},
    {"C.NameDisp", 28, Row(2) + 4, 160, 12, kFont, "Program Name Display"},
    {"C.ScrSpeed", 28, Row(3) + 4, 160, 12, kFont, "Message Scroll Speed"},
    {"C.Clock", 370, Row(0) + 4, 160, 12, kFont, "Clock"},
    {"C.BPMSync", 370, Row(1) + 4, 160, 12, kFont, "Loop Rec BPM Sync"},
    {"C.TouchCor", 370, Row(2) + 4, 160, 12, kFont, "Pad Touch Correction"},
    {"C.ProgMemLoad", 370, Row(3) + 4, 160, 12, kFont, "Program Memory Load"},
    {"C.GlMidiCh", 28, 202, 160, 12, kFont, "Global MIDI Channel"},
}};

constexpr std::array<CTarnPopupParameter::Description, 8> kPopups{{
    {"P.LedSetting", 190, Row(0) + 2, 140, kFont, "ButtonDownSmall", "PadLedSetting", nullptr},
    {"P.NameDisplay", 190, Row(2) + 2, 140, kFont, "ButtonDownSmall", "OnOff", nullptr},
    {"P.ScrSpeed", 190, Row(3) + 2, 140, kFont, "ButtonDownSmall", "ScrollSpeed", nullptr},
    {"P.Clock", 532, Row(0) + 2, 140, kFont, "ButtonDownSmall", "Clock", nullptr},
    {"P.BPMSync", 532, Row(1) + 2, 140, kFont, "ButtonDownSmall", "OnOff", nullptr},
    {"P.Touch", 532, Row(2) + 2, 140, kFont, "ButtonDownSmall", "OnOff", nullptr},
    {"P.ProgLoad", 532, Row(3) + 2, 140, kFont, "ButtonDownSmall", "ProgMemLoad", nullptr},
    {"P.GlMidiCh", 190, 198, 82, kFont, "ButtonNo", "MidiCh", nullptr},
}};
constexpr std::array<CEfControlInfo, 8> kPopupInfo{{
    {CTarnGlobalData::kParamIllumination, -1, 0, kGroupParameter, true},
    {CTarnGlobalData::kParamNameDisplay, -1, 0, kGroupParameter, true},
    {CTarnGlobalData::kParamScrollSpeed, -1, 0, kGroupParameter, true},
    {CTarnGlobalData::kParamClock, -1, 0, kGroupParameter, true},
    {CTarnGlobalData::kParamBpmSync, -1, 0, kGroupParameter, true},
    {CTarnGlobalData::kParamTouchCorrection, -1, 0, kGroupParameter, true},
    {CTarnGlobalData::kParamProgramLoad, -1, 0, kGroupParameter, true},
    {CTarnGlobalData::kParamMidiChannel, -1, 0, kGroupParameter, true},
}};

// The channel's step buttons, stacked at the pop-up's right end.
constexpr std::array<CTarnButton::Description, 2> kChannelSteps{{
    {"P.GlMidiCh.Up", 274, 198, "ButtonUpSmall"},
    {"P.GlMidiCh.Down", 274, 208, "ButtonDownSmall"},
}};
constexpr std::array<CEfControlInfo, 2> kChannelStepInfo{{
    {-1, -1, 1, kGroupChannelStep, false},
    {-1, -1, -1, kGroupChannelStep, false},
}};

constexpr std::array<CTarnCheckBox::Description, 4> kFilters{{
    {"P.FltSysEx", 372, 198, "ButtonCheckBox", kFont, "System Ex"},
    {"P.FltNote", 532, 198, "ButtonCheckBox", kFont, "Note"},
    {"P.FltCc", 372, 226, "ButtonCheckBox", kFont, "Control Change"},
    {"P.FltProgChg", 532, 226, "ButtonCheckBox", kFont, "Program Change"},
}};
constexpr std::array<CEfControlInfo, 4> kFilterInfo{{
    {CTarnGlobalData::kParamFilterSysEx, -1, 0, kGroupParameter, true},
    {CTarnGlobalData::kParamFilterNote, -1, 0, kGroupParameter, true},
    {CTarnGlobalData::kParamFilterCc, -1, 0, kGroupParameter, true},
    {CTarnGlobalData::kParamFilterProgramChange, -1, 0, kGroupParameter, true},
}};

constexpr std::array<CTarnEditText::Description, 1> kScrollText{{
    {"P.ScrText", 190, Row(1), 140, 20, kFont, kScrollTextLength},
}};
constexpr std::array<CEfControlInfo, 1> kScrollTextInfo{{
    {CTarnGlobalData::kParamScrollText, -1, 0, kGroupScrollText, false},
}};

// The instrument shows printable ASCII only; anything else becomes a blank.
std::string ToInstrumentText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size() && out.size() < kScrollTextLength; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            // Skip the continuation bytes of one UTF-8 character.
            while (i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
                ++i;
            }
            out.push_back(' ');
        } else {
            out.push_back(c < 0x20 || c == 0x7f ? ' ' : static_cast<char>(c));
        }
    }
    return out;
}

} // namespace

CTarnGlobalGlobalLayer::CTarnGlobalGlobalLayer(CTarnHost& host, QWidget* parent)
    : CTarnGlobalTabLayer(host, parent) {
    SetBackgroundImage("BG_GlobalEdit");
    CreateStaticTexts(kCaptions);
    CreatePopupParameters(kPopups, kPopupInfo);
    CreateButtons(kChannelSteps, kChannelStepInfo);
    CreateCheckBoxes(kFilters, kFilterInfo);
    CreateEditTexts(kScrollText, kScrollTextInfo);
    if (CEfControl* channel = FindControl("P.GlMidiCh")) {
        // The list also holds "Global"; the instrument's own channel is 1 to 16.
        channel->SetRange(0, kChannelCount - 1);
    }
    ColourCaptions();
    Refresh(true);
}

std::string CTarnGlobalGlobalLayer::StoredScrollText() const {
    const CTarnGlobalData* global = Global();
    if (global == nullptr) {
        return {};
    }
    char text[kScrollTextLength + 1] = {};
    global->GetScrollText(text, sizeof text);
    return text;
}

void CTarnGlobalGlobalLayer::Refresh(bool force) {
    CTarnGlobalTabLayer::Refresh(force);
    if (CEfControl* text = FindControl("P.ScrText")) {
        const std::string stored = StoredScrollText();
        if (force || text->Text() != stored) {
            text->SetText(stored);
            ++scrollTextRewrites_;
        }
    }
}

void CTarnGlobalGlobalLayer::OnEfControlClicked(CEfControl* control) {
    if (control->Info().group != kGroupChannelStep) {
        return;
    }
    CEfControl* channel = FindControl("P.GlMidiCh");
    if (channel == nullptr) {
        return;
    }
    const int value = channel->Clamp(channel->Value() + control->Info().index);
    if (value != channel->Value()) {
        OnEfControlChanged(channel, value);
    }
}

void CTarnGlobalGlobalLayer::OnEfControlTextChanged(CEfControl* control, const std::string& text) {
    CTarnGlobalData* global = Global();
    if (control->Info().group != kGroupScrollText || global == nullptr) {
        return;
    }
    global->SetScrollText(ToInstrumentText(text).c_str());
    Refresh(false);
    Edited();
}
