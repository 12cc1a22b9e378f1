// The Program Memory page: layout, refresh and the controls' events. The header commands, the
// clipboard and drag and drop are in CTarnProgramMemoryCommands.cpp.
#include "ui/pages/programmemory/CTarnProgramMemoryLayer.h"

#include <QColor>
#include <algorithm>
#include <array>
#include <cstdio>

#include "app/CTarnHost.h"
#include "data/CTarnAllData.h"
#include "data/CTarnProgramMemoryData.h"
#include "data/CTarnProgramMemorySet.h"
#include "data/TarnProgramCategory.h"
#include "framework/CEfMessage.h"
#include "ui/dialogs/CTarnProgramMemoryMenu.h"
#include "ui/framework/CEfResourceResolver.h"

namespace {

using Layer = CTarnProgramMemoryLayer;
constexpr int kRows = Layer::kMemoryCount;

// Row i of the memory table has its top at y = 60 + 46 i, inside the panels and wells of the
// background picture: memory button, program name in the display well, then the scale, key and
// note range pop-ups under their column captions.
constexpr int RowTop(int row) {
    return 60 + 46 * row;
}
constexpr int kPopupOffset = 10;
constexpr int kNameX = 76;
constexpr int kNameWidth = 300;
constexpr int kNameHeight = 40;

template <class Description, class Make> constexpr std::array<Description, kRows> Rows(Make make) {
    std::array<Description, kRows> rows{};
    for (int i = 0; i < kRows; ++i) {
        rows[static_cast<size_t>(i)] = make(i);
    }
    return rows;
}

constexpr std::array<const char*, kRows> kMemoryKeys{"BtnMemory1", "BtnMemory2", "BtnMemory3",
                                                     "BtnMemory4", "BtnMemory5", "BtnMemory6",
                                                     "BtnMemory7", "BtnMemory8"};
constexpr std::array<const char*, kRows> kMemoryImages{
    "ButtonMemory1", "ButtonMemory2", "ButtonMemory3", "ButtonMemory4",
    "ButtonMemory5", "ButtonMemory6", "ButtonMemory7", "ButtonMemory8"};
constexpr std::array<const char*, kRows> kNameKeys{"MemoryName1", "MemoryName2", "MemoryName3",
                                                   "MemoryName4", "MemoryName5", "MemoryName6",
                                                   "MemoryName7", "MemoryName8"};
constexpr std::array<const char*, kRows> kScaleKeys{"Scale1", "Scale2", "Scale3", "Scale4",
                                                    "Scale5", "Scale6", "Scale7", "Scale8"};
constexpr std::array<const char*, kRows> kKeyKeys{"Key1", "Key2", "Key3", "Key4",
                                                  "Key5", "Key6", "Key7", "Key8"};
constexpr std::array<const char*, kRows> kRangeKeys{"NoteRange1", "NoteRange2", "NoteRange3",
                                                    "NoteRange4", "NoteRange5", "NoteRange6",
                                                    "NoteRange7", "NoteRange8"};

constexpr auto kMemoryButtons = Rows<CTarnButton::Description>([](int i) {
    return CTarnButton::Description{kMemoryKeys[i], 16, RowTop(i), kMemoryImages[i]};
});
constexpr auto kNames = Rows<CTarnStaticText::Description>([](int i) {
    return CTarnStaticText::Description{kNameKeys[i],
                                        kNameX,
                                        RowTop(i),
                                        kNameWidth,
                                        kNameHeight,
                                        "TrebuchetMS13P",
                                        "",
                                        EfTextAlign::kLeft,
                                        CTarnStaticText::kInteractive |
                                            CTarnStaticText::kSteppable};
});
constexpr auto kScales = Rows<CTarnPopupParameter::Description>([](int i) {
    return CTarnPopupParameter::Description{
        kScaleKeys[i],    392,        RowTop(i) + kPopupOffset, 128,
        "TrebuchetMS12P", "ButtonNo", "AllScaleList",           "ScaleList"};
});
constexpr auto kKeys = Rows<CTarnPopupParameter::Description>([](int i) {
    return CTarnPopupParameter::Description{
        kKeyKeys[i],  532,         RowTop(i) + kPopupOffset, 68, "TrebuchetMS12P", "ButtonNo",
        "NoteNumber", "NoteNumber"};
});
constexpr auto kRanges = Rows<CTarnPopupParameter::Description>([](int i) {
    return CTarnPopupParameter::Description{
        kRangeKeys[i],    612,        RowTop(i) + kPopupOffset, 72,
        "TrebuchetMS12P", "ButtonNo", "NoteRangeList",          "NoteRangeList"};
});

// parameter, sub-value, index (the memory), group, bound
template <int Parameter, int Group, bool Bound>
constexpr std::array<CEfControlInfo, kRows> Infos() {
    return Rows<CEfControlInfo>([](int i) {
        return CEfControlInfo{Parameter, -1, i, Group, Bound};
    });
}
constexpr auto kMemoryInfo = Infos<-1, Layer::kGroupMemory, false>();
constexpr auto kNameInfo = Infos<CTarnProgramMemoryData::kParamProgram, Layer::kGroupName, false>();
constexpr auto kScaleInfo = Infos<CTarnProgramMemoryData::kParamScale, Layer::kGroupScale, true>();
constexpr auto kKeyInfo = Infos<CTarnProgramMemoryData::kParamKey, Layer::kGroupKey, true>();
constexpr auto kRangeInfo =
    Infos<CTarnProgramMemoryData::kParamNoteRange, Layer::kGroupNoteRange, true>();

// The header commands, in the page headers' order.
constexpr std::array<CTarnButton::Description, 4> kCommands{{
    {"BtnLoad", 330, 5, "ButtonProgramLoad"},
    {"BtnSave", 420, 5, "ButtonProgramSave"},
    {"BtnReceive", 510, 5, "ButtonProgramReceive"},
    {"BtnTransmit", 600, 5, "ButtonProgramTransmit"},
}};

// The names glow like the instrument's display.
const QColor kNameColour(0xff, 0xb4, 0x5c);

} // namespace

CTarnProgramMemoryLayer::CTarnProgramMemoryLayer(CTarnHost& host, QWidget* parent)
    : CTarnLayerBase(parent), host_(host), menu_(std::make_unique<CTarnProgramMemoryMenu>()) {
    SetBackgroundImage("BG_ProgramMemoryEdit");
    int count = 0;
    CreateOnOffButtons(kMemoryButtons, kMemoryInfo, &count);
    CreateStaticTexts(kNames, kNameInfo, &count);
    CreatePopupParameters(kScales, kScaleInfo, &count);
    CreatePopupParameters(kKeys, kKeyInfo, &count);
    CreatePopupParameters(kRanges, kRangeInfo, &count);
    CreateButtons(kCommands, {}, &count);
    for (CEfControl* control : Controls()) {
        if (control->Info().group == kGroupMemory) {
            control->SetDragSource(true);
        } else if (control->Info().group == kGroupName) {
            if (auto* name = qobject_cast<CTarnStaticText*>(control)) {
                name->SetTextColor(kNameColour);
            }
        }
    }
    host_.AddListener(this);
    Refresh();
}

CTarnProgramMemoryLayer::~CTarnProgramMemoryLayer() {
    host_.RemoveListener(this);
}

void CTarnProgramMemoryLayer::SetProgramMenu(std::unique_ptr<CTarnProgramMemoryMenu> menu) {
    if (menu) {
        menu_ = std::move(menu);
    }
}

CTarnProgramMemorySet* CTarnProgramMemoryLayer::Programs() const {
    CTarnAllData* all = host_.GetAllData();
    return all ? &all->Programs() : nullptr;
}

CTarnProgramMemoryData* CTarnProgramMemoryLayer::Memory(int index) const {
    CTarnProgramMemorySet* programs = Programs();
    return programs && index >= 0 && index < kMemoryCount ? programs->Memory(index) : nullptr;
}

int CTarnProgramMemoryLayer::ProgramNameCount() const {
    CEfResourceResolver* resolver = Resolver();
    return resolver ? resolver->GetStringCount("ProgramName") : 0;
}

std::string CTarnProgramMemoryLayer::NameText(int memory) const {
    const CTarnProgramMemoryData* data = Memory(memory);
    CEfResourceResolver* resolver = Resolver();
    if (!data || !resolver) {
        return {};
    }
    const int names = resolver->GetStringCount("ProgramName");
    const int categories = resolver->GetStringCount("ProgramCategory");
    if (names <= 0 || categories <= 0) {
        return {};
    }
    const int program = std::clamp(
        data->GetParameter(ParamAddress(CTarnProgramMemoryData::kParamProgram)), 0, names - 1);
    const int category = std::clamp(tarn::CategoryOf(program), 0, categories - 1);
    const std::string* initial = resolver->GetString("CategoryIni", category);
    const std::string* name = resolver->GetString("ProgramName", program);
    char text[300];
    std::snprintf(text, sizeof text, "[%s.%03d]  %s", initial ? initial->c_str() : "", program,
                  name ? name->c_str() : "");
    return text;
}

void CTarnProgramMemoryLayer::Refresh() {
    RefreshNames();
    RefreshGroup(kGroupScale);
    RefreshGroup(kGroupKey);
    RefreshGroup(kGroupNoteRange);
    RefreshSelection();
}

void CTarnProgramMemoryLayer::RefreshNames() {
    for (int i = 0; i < kMemoryCount; ++i) {
        const std::string text = NameText(i);
        if (CEfControl* name = FindControl(kNameKeys[static_cast<size_t>(i)]);
            name && name->Text() != text) {
            name->SetText(text);
        }
    }
}

void CTarnProgramMemoryLayer::RefreshGroup(int group) {
    for (CEfControl* control : Controls()) {
        const CEfControlInfo& info = control->Info();
        if (!info.bound || info.group != group) {
            continue;
        }
        if (const CTarnProgramMemoryData* memory = Memory(info.index)) {
            const int value = memory->GetParameter(ParamAddress(info.parameter));
            if (control->Value() != value) {
                control->SetValue(value);
            }
        }
    }
}

void CTarnProgramMemoryLayer::RefreshSelection() {
    for (int i = 0; i < kMemoryCount; ++i) {
        SetControlValue(kMemoryKeys[static_cast<size_t>(i)], i == selected_ ? 1 : 0);
    }
}

void CTarnProgramMemoryLayer::SelectMemory(int memory) {
    selected_ = std::clamp(memory, 0, kMemoryCount - 1);
    RefreshSelection();
}

void CTarnProgramMemoryLayer::OnEfControlClicked(CEfControl* control) {
    const CEfControlInfo& info = control->Info();
    if (info.group == kGroupMemory) {
        SelectMemory(info.index);
        return;
    }
    if (info.group == kGroupName) {
        OpenProgramMenu(control, info.index);
        return;
    }
    const std::string& key = control->Key();
    if (key == "BtnLoad") {
        LoadFile();
    } else if (key == "BtnSave") {
        SaveFile();
    } else if (key == "BtnReceive") {
        Receive();
    } else if (key == "BtnTransmit") {
        Transmit();
    }
}

void CTarnProgramMemoryLayer::OnEfControlChanged(CEfControl* control, int value) {
    const CEfControlInfo& info = control->Info();
    if (info.group == kGroupName) {
        StepProgram(info.index, value);
        return;
    }
    if (!info.bound) {
        return;
    }
    CTarnProgramMemoryData* memory = Memory(info.index);
    if (!memory) {
        return;
    }
    memory->SetParameter(ParamAddress(info.parameter), value);
    RefreshGroup(info.group);
    host_.SetModified(true);
}

void CTarnProgramMemoryLayer::OpenProgramMenu(CEfControl* nameControl, int memory) {
    const CTarnProgramMemoryData* data = Memory(memory);
    const int names = ProgramNameCount();
    if (!data || names <= 0) {
        return;
    }
    const int current = std::clamp(
        data->GetParameter(ParamAddress(CTarnProgramMemoryData::kParamProgram)), 0, names - 1);
    menu_->SetCurrentProgram(current);
    const QPoint at = nameControl->mapTo(window(), QPoint(0, 0));
    const int chosen = menu_->Show(at.x(), at.y(), window());
    if (chosen < 0) {
        return;
    }
    const int program = std::clamp(chosen, 0, names - 1);
    if (program != current) {
        SetProgram(memory, program);
    }
}

void CTarnProgramMemoryLayer::StepProgram(int memory, int reported) {
    const CTarnProgramMemoryData* data = Memory(memory);
    const int names = ProgramNameCount();
    if (!data || names <= 0) {
        return;
    }
    const int current = data->GetParameter(ParamAddress(CTarnProgramMemoryData::kParamProgram));
    const int next = std::clamp(reported < 1 ? current - 1 : current + 1, 0, names - 1);
    if (next != current) {
        SetProgram(memory, next);
    }
}

void CTarnProgramMemoryLayer::SetProgram(int memory, int program) {
    CTarnProgramMemoryData* data = Memory(memory);
    if (!data) {
        return;
    }
    data->SetParameter(ParamAddress(CTarnProgramMemoryData::kParamProgram), program);
    RefreshNames();
    host_.SetModified(true);
}

bool CTarnProgramMemoryLayer::OnEfMessageReceived(CEfMessageManagerApp* /*manager*/, int32_t type,
                                                  int32_t /*p1*/, int32_t /*p2*/, int32_t /*p3*/,
                                                  int32_t /*p4*/,
                                                  CEfMessageManagerListener* /*sender*/) {
    if (type == kMsgRefreshAll || type == kMsgRefreshProgramMemory) {
        Refresh();
    }
    return false;
}

void CTarnProgramMemoryLayer::OnEfLayerShown() {
    // Messages do not reach a hidden page; it catches up when shown.
    Refresh();
}
