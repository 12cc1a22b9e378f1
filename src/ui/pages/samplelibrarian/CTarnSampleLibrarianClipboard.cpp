// The Sample Librarian's edit commands and drag and drop: whole banks travel as their
// "SampleData" block on the clipboard and in drags; audio and sample files dropped on the page
// are imported.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <algorithm>

#include "app/CTarnHost.h"
#include "data/CTarnSampleData.h"
#include "framework/CEfFileIO.h"
#include "framework/CEfMessage.h"
#include "framework/CEfMessageManagerApp.h"
#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"
#include "platform/CHfcCompressedAudioDecoder.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/pages/samplelibrarian/CTarnSampleLibrarianLayer.h"

namespace {

constexpr const char* kFormat = "SampleData";
// Offsets in a bank block.
constexpr size_t kBankField = 4;
constexpr size_t kAudioBytesField = 104;

} // namespace

// ---- blocks ----

std::vector<uint8_t> CTarnSampleLibrarianLayer::BlockOf(int bank) const {
    const CTarnSampleData* sample = BankAt(bank);
    if (!sample) {
        return {};
    }
    std::vector<uint8_t> block(static_cast<size_t>(sample->GetBlockDataSize()));
    if (!sample->GetBlockData(block.data(), static_cast<int>(block.size()), bank)) {
        return {};
    }
    return block;
}

bool CTarnSampleLibrarianLayer::IsAcceptableBlock(const uint8_t* bytes, size_t size) {
    // The tag, and a size that holds exactly the audio the block announces: a cut-off or padded
    // block is refused rather than half taken.
    if (!bytes || size < static_cast<size_t>(CTarnSampleData::kBlockHeaderSize) ||
        ef::ReadLE32(bytes) != CTarnSampleData::kBlockTag) {
        return false;
    }
    const uint32_t audioBytes = ef::ReadLE32(bytes + kAudioBytesField);
    return size - static_cast<size_t>(CTarnSampleData::kBlockHeaderSize) == audioBytes;
}

bool CTarnSampleLibrarianLayer::LoadBlock(int bank, const uint8_t* bytes, size_t size) {
    CTarnSampleData* sample = BankAt(bank);
    // Read into a bank of its own first, so that a block refused halfway changes nothing.
    CTarnSampleData incoming;
    if (!sample || !IsAcceptableBlock(bytes, size) ||
        !incoming.SetBlockData(bytes, static_cast<int>(size))) {
        EfTrace("Failed to set block data.");
        return false;
    }
    sample->CopyFrom(&incoming);
    return true;
}

void CTarnSampleLibrarianLayer::ResetBank() {
    if (CTarnSampleData* bank = Bank()) {
        bank->Initialize();
        AudioChanged();
    }
}

// ---- edit commands ----

void CTarnSampleLibrarianLayer::OnTarnHostCopy() {
    const std::vector<uint8_t> block = BlockOf(SelectedBank());
    const std::string mime = Resolver() ? Resolver()->GetMimeType(kFormat) : std::string();
    QClipboard* clipboard = QApplication::clipboard();
    if (block.empty() || mime.empty() || !clipboard) {
        EfTrace("Failed to copy sample data.");
        return;
    }
    auto data = std::make_unique<QMimeData>();
    data->setData(QString::fromStdString(mime),
                  QByteArray(reinterpret_cast<const char*>(block.data()),
                             static_cast<qsizetype>(block.size())));
    clipboard->setMimeData(data.release());
}

void CTarnSampleLibrarianLayer::OnTarnHostCut() {
    OnTarnHostCopy();
    ResetBank();
}

void CTarnSampleLibrarianLayer::OnTarnHostPaste() {
    const std::string mime = Resolver() ? Resolver()->GetMimeType(kFormat) : std::string();
    const QClipboard* clipboard = QApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (mime.empty() || !data || !data->hasFormat(QString::fromStdString(mime))) {
        EfTrace("Failed to get clipboard data.");
        return;
    }
    const QByteArray bytes = data->data(QString::fromStdString(mime));
    if (!LoadBlock(SelectedBank(), reinterpret_cast<const uint8_t*>(bytes.constData()),
                   static_cast<size_t>(bytes.size()))) {
        return;
    }
    AudioChanged();
}

void CTarnSampleLibrarianLayer::OnTarnHostClear() {
    ResetBank();
}

// ---- drag and drop ----

bool CTarnSampleLibrarianLayer::IsImportable(const std::string& name) const {
    const std::string extension = CEfFileIO::LowerExtensionOf(name);
    for (const char* type : {"t2s", "txs", "wav", "aif", "aiff"}) {
        if (extension == type) {
            return true;
        }
    }
    const CHfcCompressedAudioDecoder* decoder = host_.GetDecoder();
    return decoder && decoder->TakesFileName(name);
}

std::string
CTarnSampleLibrarianLayer::FirstImportable(const std::vector<std::string>& files) const {
    for (const std::string& file : files) {
        if (IsImportable(file)) {
            return file;
        }
    }
    return {};
}

std::unique_ptr<QMimeData> CTarnSampleLibrarianLayer::OnEfControlBeginDrag(CEfControl* control,
                                                                           QPoint /*position*/) {
    if (control->Info().group != kGroupBank || !Resolver()) {
        return nullptr;
    }
    const std::string mime = Resolver()->GetMimeType(kFormat);
    const std::vector<uint8_t> block = BlockOf(control->Info().index);
    if (mime.empty() || block.empty()) {
        return nullptr;
    }
    tapQueue_.Clear();
    auto data = std::make_unique<QMimeData>();
    data->setData(QString::fromStdString(mime),
                  QByteArray(reinterpret_cast<const char*>(block.data()),
                             static_cast<qsizetype>(block.size())));
    return data;
}

EfDropEffect CTarnSampleLibrarianLayer::OnEfControlDragOver(CEfControl* control,
                                                            const CEfDragInfo& info) {
    const bool onBank = control && control->Info().group == kGroupBank;
    if (onBank && info.HasFormat(kFormat)) {
        // A bank dragged back onto its own button would change nothing.
        if (info.source == control && !info.CopyModifier()) {
            return EfDropEffect::kNone;
        }
        return info.CopyModifier() ? EfDropEffect::kCopy : EfDropEffect::kMove;
    }
    // Files are taken on a bank button and anywhere else on the page (asked with no control);
    // other controls leave the answer to the page.
    if ((onBank || !control) && !FirstImportable(info.files).empty()) {
        return dropPending_ || host_.IsBusy() ? EfDropEffect::kNone : EfDropEffect::kCopy;
    }
    return EfDropEffect::kNone;
}

EfDropEffect CTarnSampleLibrarianLayer::OnEfControlDrop(CEfControl* control,
                                                        const CEfDragInfo& info) {
    const bool onBank = control && control->Info().group == kGroupBank;
    if (onBank && info.HasFormat(kFormat)) {
        return DropBlock(control->Info().index, info);
    }
    if (onBank || !control) {
        return DropFile(onBank ? control->Info().index : SelectedBank(), info);
    }
    return EfDropEffect::kNone;
}

EfDropEffect CTarnSampleLibrarianLayer::DropBlock(int target, const CEfDragInfo& info) {
    const QByteArray bytes = info.Bytes(kFormat);
    const auto* block = reinterpret_cast<const uint8_t*>(bytes.constData());
    const auto size = static_cast<size_t>(bytes.size());
    if (!BankAt(target) || !IsAcceptableBlock(block, size)) {
        EfTrace("Failed to set block data.");
        return EfDropEffect::kNone;
    }
    // Only a drag from this page without the copy modifier exchanges; anything else copies.
    const bool fromThisPage = info.source && info.source->Listener() == this;
    const bool copy = !fromThisPage || info.CopyModifier();
    const auto source = static_cast<int32_t>(ef::ReadLE32(block + kBankField));
    CTarnSampleData* sourceBank = BankAt(source);
    if (!copy && (source == target || !sourceBank)) {
        return EfDropEffect::kNone;
    }
    CTarnSampleData incoming;
    if (!incoming.SetBlockData(block, static_cast<int>(size))) {
        EfTrace("Failed to set block data.");
        return EfDropEffect::kNone;
    }
    if (!copy) {
        // The source bank takes the target's contents, the target the dragged bank's.
        sourceBank->CopyFrom(BankAt(target));
    }
    BankAt(target)->CopyFrom(&incoming);
    host_.SetModified(true);
    host_.SetBank(target);
    TakeUpBank(true);
    return copy ? EfDropEffect::kCopy : EfDropEffect::kMove;
}

EfDropEffect CTarnSampleLibrarianLayer::DropFile(int target, const CEfDragInfo& info) {
    const std::string file = FirstImportable(info.files);
    // A drop while a file operation runs, or while another drop waits, is ignored.
    if (file.empty() || dropPending_ || host_.IsBusy()) {
        return EfDropEffect::kNone;
    }
    if (file.size() > kMaxDropPath) {
        EfTrace("CTarnSampleLibrarianLayer - Dropped path too long (%zu characters).", file.size());
        return EfDropEffect::kNone;
    }
    CEfMessageManagerApp* manager = host_.GetMessageManager();
    if (!manager) {
        return EfDropEffect::kNone;
    }
    dropPath_ = file;
    dropPending_ = true;
    // Imported once the drop has ended, from the page's own message.
    manager->PostTo(this, kMsgFileDropped, 1, target, -1, -1, this);
    return EfDropEffect::kCopy;
}
