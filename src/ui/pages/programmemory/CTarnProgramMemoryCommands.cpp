// The Program Memory page's header commands (load, save, receive, transmit), the edit commands
// on the selected memory through the "ProgramMemory" clipboard block, and drag and drop of whole
// memories.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <array>
#include <cstdint>

#include "app/CTarnBusyScope.h"
#include "app/CTarnDialogFlag.h"
#include "app/CTarnHost.h"
#include "app/CTarnHostWindow.h"
#include "app/CTarnPreferencesData.h"
#include "data/CTarnProgramMemoryData.h"
#include "data/CTarnProgramMemorySet.h"
#include "files/CTarnProgramMemoryDataIO.h"
#include "framework/CEfFileIO.h"
#include "framework/CTarnMessageBox.h"
#include "framework/EfTrace.h"
#include "midi/CTarnMidiTransfer.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/pages/programmemory/CTarnProgramMemoryLayer.h"

namespace {

constexpr const char* kFormat = "ProgramMemory";
constexpr int kMessageTransmitProgramMemory = 30;
constexpr int kYes = 2;

} // namespace

// ---- header commands ----

bool CTarnProgramMemoryLayer::LoadFile() {
    CTarnDialogFlag guard(host_);
    CTarnProgramMemorySet* programs = Programs();
    if (!programs || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        EfTrace("CTarnProgramMemoryLayer::LoadFile - Busy.");
        return false;
    }
    CTarnProgramMemoryDataIO io;
    CTarnHostWindow* window = host_.GetWindow();
    if (io.Open(*programs, window ? window->DialogParent() : nullptr) != CEfFileIO::kSucceeded) {
        return false;
    }
    host_.SetModified(true);
    Refresh();
    return true;
}

bool CTarnProgramMemoryLayer::SaveFile() {
    CTarnDialogFlag guard(host_);
    CTarnProgramMemorySet* programs = Programs();
    if (!programs || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        EfTrace("CTarnProgramMemoryLayer::SaveFile - Busy.");
        return false;
    }
    CTarnProgramMemoryDataIO io;
    CTarnHostWindow* window = host_.GetWindow();
    return io.SaveAs(*programs, window ? window->DialogParent() : nullptr) == CEfFileIO::kSucceeded;
}

bool CTarnProgramMemoryLayer::Receive() {
    CTarnDialogFlag guard(host_);
    CTarnProgramMemorySet* programs = Programs();
    if (!programs || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        EfTrace("CTarnProgramMemoryLayer::Receive - Busy.");
        return false;
    }
    if (!CTarnMidiTransfer::Receive(host_.GetMidiManager(), programs)) {
        return false;
    }
    host_.SetModified(true);
    Refresh();
    return true;
}

bool CTarnProgramMemoryLayer::Transmit() {
    CTarnDialogFlag guard(host_);
    CTarnProgramMemorySet* programs = Programs();
    if (!programs || !guard.Acquire()) {
        return false;
    }
    // A busy editor refuses before asking: a question answered Yes must lead to the transfer.
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        EfTrace("CTarnProgramMemoryLayer::Transmit - Busy.");
        return false;
    }
    const CTarnPreferencesData* preferences = host_.GetPreferences();
    if (preferences && preferences->GetWarnBeforeTransmit() &&
        CTarnMessageBox::Show(kMessageTransmitProgramMemory, CTarnMessageBox::kQuestionStyle) !=
            kYes) {
        return false;
    }
    return CTarnMidiTransfer::Transmit(host_.GetMidiManager(), programs);
}

// ---- blocks and the clipboard ----

QByteArray CTarnProgramMemoryLayer::BlockOf(int memory) const {
    const CTarnProgramMemoryData* data = Memory(memory);
    if (!data) {
        return {};
    }
    // The block's last two bytes are not part of the layout; they travel as zeros.
    std::array<uint8_t, CTarnProgramMemoryData::kBlockSize> block{};
    if (!data->GetBlockData(block.data(), static_cast<int>(block.size()), memory)) {
        return {};
    }
    return QByteArray(reinterpret_cast<const char*>(block.data()),
                      static_cast<qsizetype>(block.size()));
}

bool CTarnProgramMemoryLayer::LoadBlock(int memory, const QByteArray& block) {
    CTarnProgramMemoryData* data = Memory(memory);
    if (!data || !data->SetBlockData(reinterpret_cast<const uint8_t*>(block.constData()),
                                     static_cast<int>(block.size()))) {
        EfTrace("Failed to set block data.");
        return false;
    }
    return true;
}

bool CTarnProgramMemoryLayer::CopyToClipboard(int memory) {
    CEfResourceResolver* resolver = Resolver();
    const std::string mime = resolver ? resolver->GetMimeType(kFormat) : std::string();
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QByteArray block = BlockOf(memory);
    if (mime.empty() || !clipboard || block.isEmpty()) {
        EfTrace("Failed to copy program memory data.");
        return false;
    }
    auto* data = new QMimeData;
    data->setData(QString::fromStdString(mime), block);
    clipboard->setMimeData(data);
    return true;
}

void CTarnProgramMemoryLayer::ResetMemory(int memory) {
    if (CTarnProgramMemoryData* data = Memory(memory)) {
        data->InitForMemory(memory);
    }
}

void CTarnProgramMemoryLayer::OnTarnHostCopy() {
    CopyToClipboard(selected_);
}

void CTarnProgramMemoryLayer::OnTarnHostCut() {
    // A memory whose copy did not reach the clipboard is kept: clearing it would lose it.
    if (!CopyToClipboard(selected_)) {
        return;
    }
    ResetMemory(selected_);
    Refresh();
    host_.SetModified(true);
}

void CTarnProgramMemoryLayer::OnTarnHostPaste() {
    CEfResourceResolver* resolver = Resolver();
    const std::string mime = resolver ? resolver->GetMimeType(kFormat) : std::string();
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (mime.empty() || !data || !data->hasFormat(QString::fromStdString(mime))) {
        EfTrace("Failed to get clipboard data.");
        return;
    }
    if (!LoadBlock(selected_, data->data(QString::fromStdString(mime)))) {
        return;
    }
    Refresh();
    host_.SetModified(true);
}

void CTarnProgramMemoryLayer::OnTarnHostClear() {
    ResetMemory(selected_);
    Refresh();
    host_.SetModified(true);
}

// ---- drag and drop ----

std::unique_ptr<QMimeData> CTarnProgramMemoryLayer::OnEfControlBeginDrag(CEfControl* control,
                                                                         QPoint /*position*/) {
    if (control->Info().group != kGroupMemory) {
        return nullptr;
    }
    CEfResourceResolver* resolver = Resolver();
    const std::string mime = resolver ? resolver->GetMimeType(kFormat) : std::string();
    const QByteArray block = BlockOf(control->Info().index);
    if (mime.empty() || block.isEmpty()) {
        return nullptr;
    }
    auto data = std::make_unique<QMimeData>();
    data->setData(QString::fromStdString(mime), block);
    return data;
}

bool CTarnProgramMemoryLayer::StartedHere(const CEfDragInfo& info) const {
    return info.source != nullptr && info.source->Listener() == this;
}

EfDropEffect CTarnProgramMemoryLayer::OnEfControlDragOver(CEfControl* control,
                                                          const CEfDragInfo& info) {
    if (!control || control->Info().group != kGroupMemory || !info.HasFormat(kFormat)) {
        return EfDropEffect::kNone;
    }
    return info.CopyModifier() ? EfDropEffect::kCopy : EfDropEffect::kMove;
}

EfDropEffect CTarnProgramMemoryLayer::OnEfControlDrop(CEfControl* control,
                                                      const CEfDragInfo& info) {
    if (!control || control->Info().group != kGroupMemory || !info.HasFormat(kFormat)) {
        return EfDropEffect::kNone;
    }
    const int target = control->Info().index;
    CTarnProgramMemoryData* targetData = Memory(target);
    const QByteArray block = info.Bytes(kFormat);
    if (!targetData ||
        !targetData->IsBlockDataValid(reinterpret_cast<const uint8_t*>(block.constData()),
                                      static_cast<int>(block.size()))) {
        EfTrace("Failed to set block data.");
        return EfDropEffect::kNone;
    }
    EfDropEffect effect = EfDropEffect::kCopy;
    if (StartedHere(info)) {
        const int source = targetData->SourceIndexOf(
            reinterpret_cast<const uint8_t*>(block.constData()), static_cast<int>(block.size()));
        if (source == target) {
            return EfDropEffect::kNone;
        }
        // Without the copy modifier the source takes the target's contents before the target
        // takes the block: the two exchange. A source index outside the eight memories makes the
        // drop a plain copy.
        CTarnProgramMemoryData* sourceData = Memory(source);
        if (!info.CopyModifier() && sourceData) {
            sourceData->CopyFrom(targetData);
            effect = EfDropEffect::kMove;
        }
    }
    LoadBlock(target, block);
    host_.SetModified(true);
    selected_ = target;
    Refresh();
    return effect;
}
