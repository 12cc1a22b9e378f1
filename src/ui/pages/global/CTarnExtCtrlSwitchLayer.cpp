#include "ui/pages/global/CTarnExtCtrlSwitchLayer.h"

#include <array>

#include "data/CTarnGlobalData.h"

namespace {

using Base = CTarnExtCtrlParamLayerBase;
constexpr int kGroup = 1;
constexpr int kGroupAssign = 2;
constexpr int kSelected = CTarnGlobalTabLayer::kSelectedRow;

constexpr std::array<CTarnCheckBox::Description, 1> kEnable{{
    {"P.Enable", 16, Base::Row(0) + 7, "ButtonCheckBox", Base::kFont, "Enable"},
}};
constexpr std::array<CEfControlInfo, 1> kEnableInfo{{
    {kSelected, CTarnGlobalData::kSubEnable, 0, kGroup, true},
}};

// Note # and Control Change # share row 3; one of them is hidden.
constexpr std::array<CTarnStaticText::Description, 7> kCaptions{{
    {"C.AssignType", 16, Base::Row(1) + 9, 150, 12, Base::kFont, "Assign Type"},
    {"C.MidiCh", 16, Base::Row(2) + 9, 150, 12, Base::kFont, "MIDI Channel"},
    {"C.NoteNumber", 16, Base::Row(3) + 9, 150, 12, Base::kFont, "Note #"},
    {"C.CcNumber", 16, Base::Row(3) + 9, 150, 12, Base::kFont, "Control Change #"},
    {"C.MinValue", 16, Base::Row(4) + 9, 150, 12, Base::kFont, "Off Velocity"},
    {"C.MaxValue", 16, Base::Row(5) + 9, 150, 12, Base::kFont, "On Velocity"},
    {"C.SwType", 16, Base::Row(6) + 9, 150, 12, Base::kFont, "Button Behavior"},
}};

constexpr std::array<CTarnPopupParameter::Description, 4> kPopups{{
    {"P.AssignType", Base::kControlX, Base::Row(1) + 7, 140, Base::kFont, "ButtonDownSmall",
     "ExtMessageType", nullptr},
    {"P.MidiCh", Base::kControlX, Base::Row(2) + 7, 140, Base::kFont, "ButtonDownSmall", "MidiCh",
     nullptr},
    {"P.NoteNumber", Base::kControlX, Base::Row(3) + 7, 140, Base::kFont, "ButtonDownSmall",
     "AllNoteNumber", nullptr},
    {"P.SwType", Base::kControlX, Base::Row(6) + 7, 140, Base::kFont, "ButtonDownSmall",
     "ExtSwitchType", nullptr},
}};
constexpr std::array<CEfControlInfo, 4> kPopupInfo{{
    {kSelected, -1, 0, kGroupAssign, false},
    {kSelected, CTarnGlobalData::kSubChannel, 0, kGroup, true},
    {kSelected, CTarnGlobalData::kSubNumber, 0, kGroup, true},
    {kSelected, CTarnGlobalData::kSubSwitchType, 0, kGroup, true},
}};

constexpr std::array<CEfControlValueParameter::Description, 3> kValues{{
    {"P.CcNumber", Base::kControlX, Base::Row(3) + 5, 100, 20, Base::kFont, "ButtonUpSmall",
     "ButtonDownSmall", 0, 127, 0},
    {"P.MinValue", Base::kControlX, Base::Row(4) + 5, 100, 20, Base::kFont, "ButtonUpSmall",
     "ButtonDownSmall", 0, 127, 0},
    {"P.MaxValue", Base::kControlX, Base::Row(5) + 5, 100, 20, Base::kFont, "ButtonUpSmall",
     "ButtonDownSmall", 0, 127, 0},
}};
constexpr std::array<CEfControlInfo, 3> kValueInfo{{
    {kSelected, CTarnGlobalData::kSubNumber, 0, kGroup, true},
    {kSelected, CTarnGlobalData::kSubOffValue, 0, kGroup, true},
    {kSelected, CTarnGlobalData::kSubOnValue, 0, kGroup, true},
}};

// Hidden while a real-time message is assigned.
constexpr std::array<const char*, 12> kDetails{
    "P.MidiCh",   "C.MidiCh",   "P.SwType",     "C.SwType",     "P.MinValue", "C.MinValue",
    "P.MaxValue", "C.MaxValue", "P.NoteNumber", "C.NoteNumber", "P.CcNumber", "C.CcNumber",
};

} // namespace

CTarnExtCtrlSwitchLayer::CTarnExtCtrlSwitchLayer(CTarnHost& host, QWidget* parent)
    : CTarnExtCtrlParamLayerBase(host, CTarnGlobalData::kSwitch, parent) {
    CreateCheckBoxes(kEnable, kEnableInfo);
    CreateStaticTexts(kCaptions);
    CreatePopupParameters(kPopups, kPopupInfo);
    CreateValueParameters(kValues, kValueInfo);
    ColourCaptions();
    Refresh(true);
}

int CTarnExtCtrlSwitchLayer::AssignTypeOf(int realtime, int messageKind) {
    return realtime != 0 ? realtime + 1 : messageKind;
}

void CTarnExtCtrlSwitchLayer::ApplyAssignType(int type, int messageKind, int* realtime,
                                              int* newMessageKind) {
    if (type < kAssignStart) {
        *newMessageKind = type;
        *realtime = 0;
    } else {
        *realtime = type - 1;
        *newMessageKind = messageKind;
    }
}

void CTarnExtCtrlSwitchLayer::Refresh(bool force) {
    CTarnExtCtrlParamLayerBase::Refresh(force);
    const int parameter = ParameterOf({kSelected});
    const int realtime = Read(parameter, CTarnGlobalData::kSubRealtime);
    const int kind = Read(parameter, CTarnGlobalData::kSubMessageKind);
    const bool enabled = Read(parameter, CTarnGlobalData::kSubEnable) != 0;
    if (CEfControl* assign = FindControl("P.AssignType")) {
        const int type = AssignTypeOf(realtime, kind);
        if (assign->Value() != type) {
            assign->SetValue(type);
        }
        assign->SetControlEnabled(enabled);
    }
    for (const char* key : kDetails) {
        SetControlVisible(key, realtime == 0);
    }
    if (realtime == 0) {
        const bool note = kind == 0;
        SetControlVisible("P.NoteNumber", note);
        SetControlVisible("C.NoteNumber", note);
        SetControlVisible("P.CcNumber", !note);
        SetControlVisible("C.CcNumber", !note);
        SetControlText("C.MinValue", note ? "Off Velocity" : "Off Value");
        SetControlText("C.MaxValue", note ? "On Velocity" : "On Value");
    }
}

void CTarnExtCtrlSwitchLayer::OnEfControlChanged(CEfControl* control, int value) {
    if (control->Info().group != kGroupAssign) {
        CTarnExtCtrlParamLayerBase::OnEfControlChanged(control, value);
        return;
    }
    const int parameter = ParameterOf(control->Info());
    if (Global() == nullptr || parameter < 0) {
        return;
    }
    int realtime = 0;
    int kind = 0;
    ApplyAssignType(value, Read(parameter, CTarnGlobalData::kSubMessageKind), &realtime, &kind);
    Write({parameter, CTarnGlobalData::kSubMessageKind}, kind);
    Write({parameter, CTarnGlobalData::kSubRealtime}, realtime);
    Refresh(false);
    Edited();
}
