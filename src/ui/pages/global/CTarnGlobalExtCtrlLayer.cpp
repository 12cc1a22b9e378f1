#include "ui/pages/global/CTarnGlobalExtCtrlLayer.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <array>
#include <cstdio>

#include "app/CTarnClipboardTypeManager.h"
#include "app/CTarnHost.h"
#include "data/CTarnGlobalData.h"
#include "framework/CEfFontInfo.h"
#include "framework/CEfImage.h"
#include "framework/CEfMessage.h"
#include "framework/EfTrace.h"
#include "ui/framework/CEfDragInfo.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/pages/global/CTarnExtCtrlButton.h"

namespace {

using G = CTarnGlobalData;
constexpr const char* kFont = "TrebuchetMS12P";
constexpr const char* kFormat = "ExtCtrlData";
constexpr int kGroupRow = 1;
constexpr int kGroupPattern = 2;

struct RowButton {
    const char* key;
    int x;
    int y;
    const char* image;
    // Fixed text of the pad rows; null for rows showing a summary.
    const char* fixedText;
};

// Left column: banks, Gate Arp, the two sliders; right column: the memories; pad rows below.
constexpr int LeftY(int k) {
    return 28 + 27 * k;
}
constexpr std::array<RowButton, CTarnGlobalExtCtrlLayer::kRows> kRowButtons{{
    {"A.BankA", 102, LeftY(0), "ButtonCcNumber", nullptr},
    {"A.BankB", 102, LeftY(1), "ButtonCcNumber", nullptr},
    {"A.BankC", 102, LeftY(2), "ButtonCcNumber", nullptr},
    {"A.BankD", 102, LeftY(3), "ButtonCcNumber", nullptr},
    {"A.PrgMem1", 270, LeftY(0), "ButtonCcNumber", nullptr},
    {"A.PrgMem2", 270, LeftY(1), "ButtonCcNumber", nullptr},
    {"A.PrgMem3", 270, LeftY(2), "ButtonCcNumber", nullptr},
    {"A.PrgMem4", 270, LeftY(3), "ButtonCcNumber", nullptr},
    {"A.PrgMem5", 270, LeftY(4), "ButtonCcNumber", nullptr},
    {"A.PrgMem6", 270, LeftY(5), "ButtonCcNumber", nullptr},
    {"A.PrgMem7", 270, LeftY(6), "ButtonCcNumber", nullptr},
    {"A.PrgMem8", 270, LeftY(7), "ButtonCcNumber", nullptr},
    {"A.GateArpSw", 102, LeftY(4), "ButtonCcNumber", nullptr},
    {"A.PadTouch", 20, 274, "ButtonCcNumberPad", "Pad Touch"},
    {"A.ProgVol", 102, LeftY(5), "ButtonCcNumber", nullptr},
    {"A.Slider", 102, LeftY(6), "ButtonCcNumber", nullptr},
    {"A.PadXY", 20, 300, "ButtonCcNumberPad", "Pad Assign"},
    {"A.PadNote", 20, 326, "ButtonCcNumberPad", "Pad Note"},
}};

constexpr std::array<CTarnPopupParameter::Description, 1> kPatternPopup{{
    {"P.PadPattern", 130, 298, 104, kFont, "ButtonDownSmall", "ExtPadPattern", nullptr},
}};
constexpr std::array<CEfControlBitmapList::Description, 1> kPatternPicture{{
    {"B.PadPattern", 246, 276, "BitmapListPadPattern", 8},
}};
constexpr std::array<CEfControlInfo, 1> kPatternInfo{{
    {G::kParamPadPattern, -1, 0, kGroupPattern, true},
}};

bool HasBlock(int row) {
    const int kind = G::ExtCtrlKindOf(row);
    return kind == G::kSwitch || kind == G::kSlider;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

} // namespace

CTarnGlobalExtCtrlLayer::CTarnGlobalExtCtrlLayer(CTarnHost& host, QWidget* parent)
    : CTarnGlobalTabLayer(host, parent) {
    SetBackgroundImage("BG_ExtCtrlEdit");
    noteNames_ = ListTexts("AllNoteNumber");
    for (std::string& name : noteNames_) {
        name = Trimmed(name);
    }
    realtimeTexts_ = ListTexts("ExtRealTimeAssign");
    CreateRowButtons();
    CreatePopupParameters(kPatternPopup, kPatternInfo);
    CreateBitmapLists(kPatternPicture, kPatternInfo);
    Refresh(true);
}

void CTarnGlobalExtCtrlLayer::CreateRowButtons() {
    CEfResourceResolver* resolver = Resolver();
    const CEfFontInfo* font = resolver != nullptr ? resolver->GetFontInfo(kFont) : nullptr;
    for (int row = 0; row < kRows; ++row) {
        const RowButton& b = kRowButtons[row];
        const CEfImage* image = resolver != nullptr ? resolver->GetImage(b.image) : nullptr;
        if (image == nullptr || font == nullptr) {
            EfTrace("Faild to get bitmap or font info.");
            return;
        }
        const CTarnTextButton::Description description{
            b.key, b.x, b.y, b.image, kFont, b.fixedText != nullptr ? b.fixedText : ""};
        auto* button = new CTarnExtCtrlButton(description, *image, *font,
                                              CEfControlInfo{-1, -1, row, kGroupRow, false});
        button->SetDragSource(HasBlock(row));
        AddControl(button);
    }
}

int CTarnGlobalExtCtrlLayer::LayerKindOfRow(int row) {
    if (row < 0 || row >= kRows) {
        return -1;
    }
    if (row <= 13) {
        return 0;
    }
    if (row <= 15) {
        return 1;
    }
    return row == kPadAssignRow ? 2 : 3;
}

const char* CTarnGlobalExtCtrlLayer::ButtonKey(int row) {
    return row >= 0 && row < kRows ? kRowButtons[row].key : "";
}

std::string CTarnGlobalExtCtrlLayer::Summary(int row) const {
    if (row < 0 || row >= kRows) {
        return {};
    }
    if (kRowButtons[row].fixedText != nullptr) {
        return kRowButtons[row].fixedText;
    }
    const int parameter = G::ExtCtrlParamOf(row);
    if (Read(parameter, G::kSubEnable) == 0) {
        return "---";
    }
    const int number = Read(parameter, G::kSubNumber);
    if (G::ExtCtrlKindOf(row) == G::kSwitch) {
        const int realtime = Read(parameter, G::kSubRealtime);
        if (realtime != 0) {
            return realtime < static_cast<int>(realtimeTexts_.size()) ? realtimeTexts_[realtime]
                                                                      : std::string();
        }
        if (Read(parameter, G::kSubMessageKind) == 0) {
            return number < static_cast<int>(noteNames_.size()) ? noteNames_[number]
                                                                : std::string();
        }
    }
    char text[8];
    std::snprintf(text, sizeof text, "#%03d", number);
    return text;
}

void CTarnGlobalExtCtrlLayer::Refresh(bool force) {
    CTarnGlobalTabLayer::Refresh(force);
    const int selected = Host().GetSelectedExtController();
    for (int row = 0; row < kRows; ++row) {
        CEfControl* button = FindControl(kRowButtons[row].key);
        if (button == nullptr) {
            continue;
        }
        const int on = row == selected ? 1 : 0;
        if (button->Value() != on) {
            button->SetValue(on);
        }
        const std::string summary = Summary(row);
        if (button->Text() != summary) {
            button->SetText(summary);
        }
    }
}

bool CTarnGlobalExtCtrlLayer::RefreshesOn(int32_t type) const {
    return type == kMsgRefreshAll || type == kMsgRefreshGlobal || type == kMsgRefreshExtCtrl;
}

void CTarnGlobalExtCtrlLayer::Edited() {
    CTarnGlobalTabLayer::Edited();
    PostExtCtrlChanged();
}

bool CTarnGlobalExtCtrlLayer::Select(int row) {
    const int kind = LayerKindOfRow(row);
    if (kind < 0) {
        return false;
    }
    CTarnHost& host = Host();
    const int previous = host.GetSelectedExtController();
    host.SelectExtController(row);
    if (!host.SetExtCtrlLayerKind(kind)) {
        host.SelectExtController(previous);
        return false;
    }
    Refresh(false);
    PostExtCtrlChanged();
    return true;
}

void CTarnGlobalExtCtrlLayer::OnEfControlClicked(CEfControl* control) {
    if (control->Info().group == kGroupRow) {
        Select(control->Info().index);
    }
}

void CTarnGlobalExtCtrlLayer::OnEfControlChanged(CEfControl* control, int value) {
    if (control->Info().group != kGroupPattern || Global() == nullptr) {
        return;
    }
    Write(control->Info(), value);
    Select(kPadAssignRow);
    Refresh(false);
    Edited();
}

std::string CTarnGlobalExtCtrlLayer::MimeType() const {
    if (CTarnClipboardTypeManager* types = CTarnClipboardTypeManager::Instance()) {
        return types->GetMimeType(kFormat);
    }
    CEfResourceResolver* resolver = Resolver();
    return resolver != nullptr ? resolver->GetMimeType(kFormat) : std::string();
}

QByteArray CTarnGlobalExtCtrlLayer::BlockOf(int row) const {
    const CTarnGlobalData* global = Global();
    ExtCtrlEntry entry;
    if (global == nullptr || !global->GetExtCtrlEntry(row, &entry)) {
        return {};
    }
    QByteArray bytes(static_cast<int>(ExtCtrlEntry::kClipboardSize), '\0');
    entry.ToBytes(reinterpret_cast<uint8_t*>(bytes.data()));
    return bytes;
}

std::optional<ExtCtrlEntry> CTarnGlobalExtCtrlLayer::ParseBlock(const QByteArray& bytes) {
    ExtCtrlEntry entry;
    if (bytes.size() != static_cast<int>(ExtCtrlEntry::kClipboardSize) ||
        !entry.FromBytes(reinterpret_cast<const uint8_t*>(bytes.constData()),
                         static_cast<size_t>(bytes.size()))) {
        EfTrace("CTarnGlobalExtCtrlLayer - Block of %d bytes refused.",
                static_cast<int>(bytes.size()));
        return std::nullopt;
    }
    // The row it names must be a row of the kind it names: anything else is not our block.
    if (!HasBlock(entry.row) || G::ExtCtrlKindOf(entry.row) != entry.kind) {
        EfTrace("CTarnGlobalExtCtrlLayer - Block of row %d, kind %d refused.", entry.row,
                entry.kind);
        return std::nullopt;
    }
    return entry;
}

bool CTarnGlobalExtCtrlLayer::WriteBlock(int row, const QByteArray& bytes) {
    CTarnGlobalData* global = Global();
    std::optional<ExtCtrlEntry> entry = ParseBlock(bytes);
    if (global == nullptr || !entry || !HasBlock(row) || G::ExtCtrlKindOf(row) != entry->kind) {
        EfTrace("CTarnGlobalExtCtrlLayer - Block not written into row %d.", row);
        return false;
    }
    entry->row = row;
    return global->SetExtCtrlEntry(row, &*entry);
}

void CTarnGlobalExtCtrlLayer::Copy() {
    const QByteArray block = BlockOf(Host().GetSelectedExtController());
    const std::string type = MimeType();
    if (block.isEmpty() || type.empty()) {
        EfTrace("Failed to copy ext ctrl data.");
        return;
    }
    auto* data = new QMimeData;
    data->setData(QString::fromStdString(type), block);
    QApplication::clipboard()->setMimeData(data);
}

void CTarnGlobalExtCtrlLayer::Cut() {
    const int row = Host().GetSelectedExtController();
    if (!HasBlock(row)) {
        return;
    }
    Copy();
    Clear();
}

void CTarnGlobalExtCtrlLayer::Paste() {
    const std::string type = MimeType();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data == nullptr || type.empty() || !data->hasFormat(QString::fromStdString(type))) {
        return;
    }
    if (!WriteBlock(Host().GetSelectedExtController(), data->data(QString::fromStdString(type)))) {
        return;
    }
    Refresh(false);
    Edited();
}

void CTarnGlobalExtCtrlLayer::Clear() {
    CTarnGlobalData* global = Global();
    const int row = Host().GetSelectedExtController();
    if (global == nullptr || !HasBlock(row)) {
        return;
    }
    global->InitExtCtrlEntry(row);
    Refresh(false);
    Edited();
}

std::unique_ptr<QMimeData> CTarnGlobalExtCtrlLayer::OnEfControlBeginDrag(CEfControl* control,
                                                                         QPoint /*position*/) {
    if (control->Info().group != kGroupRow) {
        return nullptr;
    }
    const QByteArray block = BlockOf(control->Info().index);
    const std::string type = MimeType();
    if (block.isEmpty() || type.empty()) {
        return nullptr;
    }
    auto data = std::make_unique<QMimeData>();
    data->setData(QString::fromStdString(type), block);
    return data;
}

int CTarnGlobalExtCtrlLayer::DropTarget(CEfControl* control, const CEfDragInfo& info,
                                        std::optional<ExtCtrlEntry>* entry) const {
    if (control == nullptr || control->Info().group != kGroupRow || !info.HasFormat(kFormat)) {
        return -1;
    }
    const int row = control->Info().index;
    *entry = ParseBlock(info.Bytes(kFormat));
    if (!*entry || !HasBlock(row) || G::ExtCtrlKindOf(row) != (*entry)->kind) {
        return -1;
    }
    return row;
}

EfDropEffect CTarnGlobalExtCtrlLayer::OnEfControlDragOver(CEfControl* control,
                                                          const CEfDragInfo& info) {
    std::optional<ExtCtrlEntry> entry;
    if (DropTarget(control, info, &entry) < 0) {
        return EfDropEffect::kNone;
    }
    const bool exchange =
        info.source != nullptr && info.source->Listener() == this && !info.CopyModifier();
    return exchange ? EfDropEffect::kMove : EfDropEffect::kCopy;
}

EfDropEffect CTarnGlobalExtCtrlLayer::OnEfControlDrop(CEfControl* control,
                                                      const CEfDragInfo& info) {
    CTarnGlobalData* global = Global();
    std::optional<ExtCtrlEntry> entry;
    const int target = DropTarget(control, info, &entry);
    if (global == nullptr || target < 0) {
        return EfDropEffect::kNone;
    }
    const bool exchange =
        info.source != nullptr && info.source->Listener() == this && !info.CopyModifier();
    if (exchange && entry->row == target) {
        // Dropped back onto itself: nothing changes.
        Select(target);
        return EfDropEffect::kNone;
    }
    if (!exchange) {
        entry->row = target;
        global->SetExtCtrlEntry(target, &*entry);
    } else {
        // Both records as they are now: the dragged row's own bytes, not the drag's copy.
        ExtCtrlEntry dragged;
        ExtCtrlEntry dropped;
        if (!global->GetExtCtrlEntry(entry->row, &dragged) ||
            !global->GetExtCtrlEntry(target, &dropped)) {
            return EfDropEffect::kNone;
        }
        std::swap(dragged.bytes, dropped.bytes);
        global->SetExtCtrlEntry(entry->row, &dragged);
        global->SetExtCtrlEntry(target, &dropped);
    }
    Select(target);
    Refresh(false);
    Edited();
    return exchange ? EfDropEffect::kMove : EfDropEffect::kCopy;
}
