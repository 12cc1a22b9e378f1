#include "ui/pages/global/CTarnExtCtrlPadNoteLayer.h"

#include <array>

#include "data/CTarnGlobalData.h"

namespace {

using Base = CTarnExtCtrlParamLayerBase;
using G = CTarnGlobalData;
constexpr int kGroup = 1;

constexpr std::array<CTarnCheckBox::Description, 1> kEnable{{
    {"P.Enable", 16, Base::Row(0) + 7, "ButtonCheckBox", Base::kFont, "Enable"},
}};
constexpr std::array<CEfControlInfo, 1> kEnableInfo{{
    {G::kParamPadNoteEnable, -1, 0, kGroup, true},
}};

constexpr std::array<CTarnStaticText::Description, 9> kCaptions{{
    {"C.PNMidiCh", 16, Base::Row(1) + 9, 150, 12, Base::kFont, "MIDI Channel"},
    {"C.ProgLeft", 16, Base::Row(2) + 9, 150, 12, Base::kFont, "\"Prog\" Left Note #"},
    {"C.Oct1Left", 16, Base::Row(3) + 9, 150, 12, Base::kFont, "\"1oct\" Left Note #"},
    {"C.Oct2Left", 16, Base::Row(4) + 9, 150, 12, Base::kFont, "\"2oct\" Left Note #"},
    {"C.Oct3Left", 16, Base::Row(5) + 9, 150, 12, Base::kFont, "\"3oct\" Left Note #"},
    {"C.Oct4Left", 16, Base::Row(6) + 9, 150, 12, Base::kFont, "\"4oct\" Left Note #"},
    {"C.FullLeft", 16, Base::Row(7) + 9, 150, 12, Base::kFont, "\"Full\" Left Note #"},
    {"C.PNNoteOff", 16, Base::Row(8) + 9, 150, 12, Base::kFont, "Note Off Velocity"},
    {"C.ONNoteOn", 16, Base::Row(9) + 9, 150, 12, Base::kFont, "Note On  Velocity"},
}};

constexpr std::array<CTarnPopupParameter::Description, 7> kPopups{{
    {"P.PNMidiCh", Base::kControlX, Base::Row(1) + 7, 140, Base::kFont, "ButtonDownSmall", "MidiCh",
     nullptr},
    {"P.ProgLeft", Base::kControlX, Base::Row(2) + 7, 140, Base::kFont, "ButtonDownSmall",
     "LeftNoteNumber", nullptr},
    {"P.Oct1Left", Base::kControlX, Base::Row(3) + 7, 140, Base::kFont, "ButtonDownSmall",
     "LeftNoteNumber", nullptr},
    {"P.Oct2Left", Base::kControlX, Base::Row(4) + 7, 140, Base::kFont, "ButtonDownSmall",
     "LeftNoteNumber", nullptr},
    {"P.Oct3Left", Base::kControlX, Base::Row(5) + 7, 140, Base::kFont, "ButtonDownSmall",
     "LeftNoteNumber", nullptr},
    {"P.Oct4Left", Base::kControlX, Base::Row(6) + 7, 140, Base::kFont, "ButtonDownSmall",
     "LeftNoteNumber", nullptr},
    {"P.FullLeft", Base::kControlX, Base::Row(7) + 7, 140, Base::kFont, "ButtonDownSmall",
     "LeftNoteNumber", nullptr},
}};
constexpr std::array<CEfControlInfo, 7> kPopupInfo{{
    {G::kParamPadNoteChannel, -1, 0, kGroup, true},
    {G::kParamPadNoteRangeFirst, -1, 0, kGroup, true},
    {G::kParamPadNoteRangeFirst + 1, -1, 1, kGroup, true},
    {G::kParamPadNoteRangeFirst + 2, -1, 2, kGroup, true},
    {G::kParamPadNoteRangeFirst + 3, -1, 3, kGroup, true},
    {G::kParamPadNoteRangeFirst + 4, -1, 4, kGroup, true},
    {G::kParamPadNoteRangeFirst + 5, -1, 5, kGroup, true},
}};

constexpr std::array<CEfControlValueParameter::Description, 2> kValues{{
    {"P.PNNoteOff", Base::kControlX, Base::Row(8) + 5, 100, 20, Base::kFont, "ButtonUpSmall",
     "ButtonDownSmall", 0, 127, 0},
    {"P.PNNoteOn", Base::kControlX, Base::Row(9) + 5, 100, 20, Base::kFont, "ButtonUpSmall",
     "ButtonDownSmall", 0, 127, 0},
}};
constexpr std::array<CEfControlInfo, 2> kValueInfo{{
    {G::kParamPadNoteOffVelocity, -1, 0, kGroup, true},
    {G::kParamPadNoteOnVelocity, -1, 0, kGroup, true},
}};

} // namespace

CTarnExtCtrlPadNoteLayer::CTarnExtCtrlPadNoteLayer(CTarnHost& host, QWidget* parent)
    : CTarnExtCtrlParamLayerBase(host, G::kPadNote, parent) {
    CreateCheckBoxes(kEnable, kEnableInfo);
    CreateStaticTexts(kCaptions);
    CreatePopupParameters(kPopups, kPopupInfo);
    CreateValueParameters(kValues, kValueInfo);
    ColourCaptions();
    Refresh(true);
}

bool CTarnExtCtrlPadNoteLayer::IsActive(const CEfControlInfo& info) const {
    if (info.parameter == G::kParamPadNoteEnable) {
        return true;
    }
    return Read(G::kParamPadNoteEnable, -1) != 0;
}
