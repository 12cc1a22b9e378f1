#include "ui/pages/global/CTarnExtCtrlXyPadLayer.h"

#include <array>
#include <string>

#include "data/CTarnGlobalData.h"

namespace {

using Base = CTarnExtCtrlParamLayerBase;
constexpr int kGroup = 1;
constexpr int kPads = CTarnExtCtrlXyPadLayer::kPadCount;
constexpr int kCcX = 110;
constexpr int kChannelX = 216;

constexpr std::array<CTarnStaticText::Description, 2> kHeadings{{
    {"C.CC#", kCcX, Base::Row(0) + 9, 90, 12, Base::kFont, "CC#"},
    {"C.MidiCh", kChannelX, Base::Row(0) + 9, 100, 12, Base::kFont, "MIDI Ch"},
}};

// Keys and captions of the pads, built once.
struct PadKeys {
    std::array<std::string, kPads> enable, caption, captionText, cc, channel;
    PadKeys() {
        for (int i = 0; i < kPads; ++i) {
            const std::string n = std::to_string(i + 1);
            enable[i] = "P.Pad" + n + "Ena";
            caption[i] = "C.Pad" + n;
            captionText[i] = "Pad " + n;
            cc[i] = "P.P" + n + ".Cc#";
            channel[i] = "P.P" + n + ".Ch";
        }
    }
};
const PadKeys& Keys() {
    static const PadKeys keys;
    return keys;
}

} // namespace

CTarnExtCtrlXyPadLayer::CTarnExtCtrlXyPadLayer(CTarnHost& host, QWidget* parent)
    : CTarnExtCtrlParamLayerBase(host, CTarnGlobalData::kPadAssign, parent) {
    const PadKeys& keys = Keys();
    std::array<CTarnCheckBox::Description, kPads> checks{};
    std::array<CTarnStaticText::Description, kPads> captions{};
    std::array<CEfControlValueParameter::Description, kPads> numbers{};
    std::array<CTarnPopupParameter::Description, kPads> channels{};
    std::array<CEfControlInfo, kPads> checkInfo{}, numberInfo{}, channelInfo{};
    for (int i = 0; i < kPads; ++i) {
        const int row = Row(i + 1);
        const int parameter = CTarnGlobalData::kParamPadAssignFirst + i;
        checks[i] = {keys.enable[i].c_str(), 16, row + 7, "ButtonCheckBox", kFont, ""};
        captions[i] = {keys.caption[i].c_str(),    40, row + 9, 60, 12, kFont,
                       keys.captionText[i].c_str()};
        numbers[i] = {keys.cc[i].c_str(), kCcX, row + 5, 90, 20, kFont, "ButtonUpSmall",
                      "ButtonDownSmall",  0,    127,     0};
        channels[i] = {keys.channel[i].c_str(), kChannelX, row + 7, 100, kFont,
                       "ButtonDownSmall",       "MidiCh",  nullptr};
        checkInfo[i] = {parameter, CTarnGlobalData::kSubEnable, i, kGroup, true};
        numberInfo[i] = {parameter, CTarnGlobalData::kSubNumber, i, kGroup, true};
        channelInfo[i] = {parameter, CTarnGlobalData::kSubChannel, i, kGroup, true};
    }
    CreateStaticTexts(kHeadings);
    CreateStaticTexts(captions);
    CreateCheckBoxes(checks, checkInfo);
    CreateValueParameters(numbers, numberInfo);
    CreatePopupParameters(channels, channelInfo);
    ColourCaptions();
    Refresh(true);
}
