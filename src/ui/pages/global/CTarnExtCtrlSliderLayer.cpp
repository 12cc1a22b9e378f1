#include "ui/pages/global/CTarnExtCtrlSliderLayer.h"

#include <array>

#include "data/CTarnGlobalData.h"

namespace {

using Base = CTarnExtCtrlParamLayerBase;
constexpr int kGroup = 1;
constexpr int kSelected = CTarnGlobalTabLayer::kSelectedRow;

constexpr std::array<CTarnCheckBox::Description, 1> kEnable{{
    {"P.Enable", 16, Base::Row(0) + 7, "ButtonCheckBox", Base::kFont, "Enable"},
}};
constexpr std::array<CEfControlInfo, 1> kEnableInfo{{
    {kSelected, CTarnGlobalData::kSubEnable, 0, kGroup, true},
}};

constexpr std::array<CTarnStaticText::Description, 4> kCaptions{{
    {"C.MidiCh", 16, Base::Row(1) + 9, 150, 12, Base::kFont, "MIDI Channel"},
    {"C.CcNumber", 16, Base::Row(2) + 9, 150, 12, Base::kFont, "Control Change #"},
    {"C.MinValue", 16, Base::Row(3) + 9, 150, 12, Base::kFont, "Min Value"},
    {"C.MaxValue", 16, Base::Row(4) + 9, 150, 12, Base::kFont, "Max Value"},
}};

constexpr std::array<CTarnPopupParameter::Description, 1> kChannel{{
    {"P.MidiCh", Base::kControlX, Base::Row(1) + 7, 140, Base::kFont, "ButtonDownSmall", "MidiCh",
     nullptr},
}};
constexpr std::array<CEfControlInfo, 1> kChannelInfo{{
    {kSelected, CTarnGlobalData::kSubChannel, 0, kGroup, true},
}};

constexpr std::array<CEfControlValueParameter::Description, 3> kValues{{
    {"P.CcNumber", Base::kControlX, Base::Row(2) + 5, 100, 20, Base::kFont, "ButtonUpSmall",
     "ButtonDownSmall", 0, 127, 0},
    {"P.MinValue", Base::kControlX, Base::Row(3) + 5, 100, 20, Base::kFont, "ButtonUpSmall",
     "ButtonDownSmall", 0, 127, 0},
    {"P.MaxValue", Base::kControlX, Base::Row(4) + 5, 100, 20, Base::kFont, "ButtonUpSmall",
     "ButtonDownSmall", 0, 127, 0},
}};
constexpr std::array<CEfControlInfo, 3> kValueInfo{{
    {kSelected, CTarnGlobalData::kSubNumber, 0, kGroup, true},
    {kSelected, CTarnGlobalData::kSubOffValue, 0, kGroup, true},
    {kSelected, CTarnGlobalData::kSubOnValue, 0, kGroup, true},
}};

} // namespace

CTarnExtCtrlSliderLayer::CTarnExtCtrlSliderLayer(CTarnHost& host, QWidget* parent)
    : CTarnExtCtrlParamLayerBase(host, CTarnGlobalData::kSlider, parent) {
    CreateCheckBoxes(kEnable, kEnableInfo);
    CreateStaticTexts(kCaptions);
    CreatePopupParameters(kChannel, kChannelInfo);
    CreateValueParameters(kValues, kValueInfo);
    ColourCaptions();
    Refresh(true);
}
