#include "ui/pages/global/CTarnGlobalCCMapLayer.h"

#include <array>
#include <string>

#include "data/CTarnGlobalData.h"

namespace {

constexpr const char* kFont = "TrebuchetMS12P";
constexpr int kGroupMap = 1;

struct MapRow {
    const char* name;
    const char* caption;
};

// In parameter order (14 to 24): the key suffix and the caption.
constexpr std::array<MapRow, CTarnGlobalCCMapLayer::kRowCount> kRows{{
    {"BankA", "Loop Recorder Bank A"},
    {"BankB", "Loop Recorder Bank B"},
    {"BankC", "Loop Recorder Bank C"},
    {"BankD", "Loop Recorder Bank D"},
    {"PadX", "Pad X"},
    {"PadY", "Pad Y"},
    {"PadTouch", "Pad Touch"},
    {"ProgVol", "Program Volume"},
    {"GateTime", "Gate Arp Time"},
    {"GateSpeed", "Gate Arp Speed"},
    {"GateArp", "Gate Arp On/Off"},
}};
constexpr int kBankRows = 4;
// Two columns: six rows on the left, five on the right; y = 48 + 40 r.
constexpr int kLeftRows = 6;

constexpr int RowX(int i) {
    return i < kLeftRows ? 28 : 364;
}
constexpr int RowY(int i) {
    return 48 + 40 * (i < kLeftRows ? i : i - kLeftRows);
}

// Keys live as long as the layer's tables: built once.
struct Keys {
    std::array<std::string, CTarnGlobalCCMapLayer::kRowCount> caption;
    std::array<std::string, CTarnGlobalCCMapLayer::kRowCount> number;
    std::array<std::string, CTarnGlobalCCMapLayer::kRowCount> enable;
    Keys() {
        for (size_t i = 0; i < kRows.size(); ++i) {
            caption[i] = std::string("C.") + kRows[i].name;
            number[i] = std::string("P.") + kRows[i].name;
            enable[i] = std::string("P.Sw.") + kRows[i].name;
        }
    }
};
const Keys& RowKeys() {
    static const Keys keys;
    return keys;
}

} // namespace

CTarnGlobalCCMapLayer::CTarnGlobalCCMapLayer(CTarnHost& host, QWidget* parent)
    : CTarnGlobalTabLayer(host, parent) {
    SetBackgroundImage("BG_GlobalCcmapEdit");
    const Keys& keys = RowKeys();
    std::array<CTarnStaticText::Description, kRowCount> captions{};
    std::array<CTarnCheckBox::Description, kRowCount> checks{};
    std::array<CEfControlInfo, kRowCount> checkInfo{};
    std::array<CTarnPopupParameter::Description, kBankRows> notes{};
    std::array<CEfControlInfo, kBankRows> noteInfo{};
    std::array<CEfControlValueParameter::Description, kRowCount - kBankRows> numbers{};
    std::array<CEfControlInfo, kRowCount - kBankRows> numberInfo{};
    for (int i = 0; i < kRowCount; ++i) {
        const int x = RowX(i);
        const int y = RowY(i);
        const int parameter = CTarnGlobalData::kParamCcMapFirst + i;
        captions[i] = {keys.caption[i].c_str(), x + 28, y + 4, 168, 12, kFont, kRows[i].caption};
        checks[i] = {keys.enable[i].c_str(), x, y + 2, "ButtonCheckBox", kFont, ""};
        checkInfo[i] = {parameter, CTarnGlobalData::kSubEnable, i, kGroupMap, true};
        const CEfControlInfo numberBinding{parameter, CTarnGlobalData::kSubNumber, i, kGroupMap,
                                           true};
        if (i < kBankRows) {
            notes[i] = {keys.number[i].c_str(), x + 200,         y + 2,  108, kFont,
                        "ButtonDownSmall",      "AllNoteNumber", nullptr};
            noteInfo[i] = numberBinding;
        } else {
            numbers[i - kBankRows] = {keys.number[i].c_str(), x + 200,           y, 108, 20, kFont,
                                      "ButtonUpSmall",        "ButtonDownSmall", 0, 127, 0};
            numberInfo[i - kBankRows] = numberBinding;
        }
    }
    CreateStaticTexts(captions);
    CreateCheckBoxes(checks, checkInfo);
    CreatePopupParameters(notes, noteInfo);
    CreateValueParameters(numbers, numberInfo);
    ColourCaptions();
    Refresh(true);
}
