// The Sample Librarian's file and instrument commands: import, export, receive and write of the
// selected bank, Normalize, and the import of a file dropped on the page.
#include <algorithm>

#include "app/CTarnBusyScope.h"
#include "app/CTarnDialogFlag.h"
#include "app/CTarnHost.h"
#include "app/CTarnPreferencesData.h"
#include "audio/CTarnAiffExporter.h"
#include "audio/CTarnAudioEngine.h"
#include "audio/CTarnExternalSampleImporter.h"
#include "audio/CTarnLumoSampleExporter.h"
#include "audio/CTarnWaveExporter.h"
#include "data/CTarnAllData.h"
#include "data/CTarnSampleData.h"
#include "framework/CEfFileIO.h"
#include "framework/CEfMessage.h"
#include "framework/CTarnMessageBox.h"
#include "framework/EfTrace.h"
#include "midi/CTarnMidiTransfer.h"
#include "ui/pages/samplelibrarian/CTarnSampleLibrarianLayer.h"

namespace {

// "This operation will overwrite the Loop Recorder Data on the TALVEX PRO+.\nContinue?"
constexpr int kMessageWriteBank = 29;
constexpr int kYes = 2;

} // namespace

bool CTarnSampleLibrarianLayer::Import() {
    CTarnDialogFlag guard(host_);
    CTarnAllData* all = host_.GetAllData();
    CTarnSampleData* bank = Bank();
    if (!all || !bank || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        return false;
    }
    CTarnExternalSampleImporter importer(host_.GetDecoder());
    if (importer.Import(*bank, all->CurrentSetting(), Window()) != CEfFileIO::kSucceeded) {
        return false;
    }
    AudioChanged();
    return true;
}

bool CTarnSampleLibrarianLayer::Export(int exporter) {
    if (exporter < 0 || exporter > 2) {
        return false;
    }
    CTarnDialogFlag guard(host_);
    CTarnAllData* all = host_.GetAllData();
    CTarnSampleData* bank = Bank();
    if (!all || !bank || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        return false;
    }
    bool written = false;
    switch (exporter) {
    case 0: {
        // Converts a 44.1 kHz bank to 48 kHz first, so the waveform is read again below.
        CTarnLumoSampleExporter lumo;
        written = lumo.Export(*bank, Window());
        break;
    }
    case 1: {
        CTarnWaveExporter wave;
        written = wave.Export(*bank, all->CurrentSetting(), Window());
        break;
    }
    default: {
        CTarnAiffExporter aiff;
        written = aiff.Export(*bank, Window());
        break;
    }
    }
    EfTrace(written ? "Export succeeded." : "Failed to export.");
    if (exporter == 0) {
        TakeUpBank(true);
    }
    return written;
}

bool CTarnSampleLibrarianLayer::Receive() {
    CTarnDialogFlag guard(host_);
    CTarnSampleData* bank = Bank();
    if (!bank || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        return false;
    }
    StopPreview();
    host_.PostMessage(kMsgStopPreview);
    const bool received = CTarnMidiTransfer::Receive(host_.GetMidiManager(), SelectedBank(), bank);
    if (received) {
        host_.SetModified(true);
    }
    TakeUpBank(received);
    return received;
}

bool CTarnSampleLibrarianLayer::Write() {
    // The guard is held for the whole command: the transfer lets window events run, and nothing
    // else may start underneath it.
    CTarnDialogFlag guard(host_);
    CTarnSampleData* bank = Bank();
    if (!bank || !guard.Acquire()) {
        return false;
    }
    const CTarnPreferencesData* preferences = host_.GetPreferences();
    if (preferences && preferences->GetWarnBeforeTransmit() &&
        CTarnMessageBox::Show(kMessageWriteBank, CTarnMessageBox::kQuestionStyle) != kYes) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        return false;
    }
    StopPreview();
    host_.PostMessage(kMsgStopPreview);
    const bool written = CTarnMidiTransfer::Transmit(host_.GetMidiManager(), SelectedBank(), bank);
    // Sending converts a 44.1 kHz bank to 48 kHz: the engine and the waveform take it again.
    TakeUpBank(true);
    return written;
}

bool CTarnSampleLibrarianLayer::Normalize() {
    CTarnSampleData* bank = Bank();
    // A silent or empty bank stays as it is and nothing is marked.
    if (!bank || !bank->Normalize()) {
        return false;
    }
    AudioChanged();
    return true;
}

bool CTarnSampleLibrarianLayer::ImportFile(const std::string& path, int bank) {
    CTarnAllData* all = host_.GetAllData();
    CTarnSampleData* target = BankAt(bank);
    if (!all || !target || host_.IsBusy()) {
        return false;
    }
    CTarnDialogFlag guard(host_);
    if (!guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        return false;
    }
    CTarnExternalSampleImporter importer(host_.GetDecoder());
    // A file that cannot be read is reported by the importer and leaves the bank as it was.
    if (importer.Import(path, *target, all->CurrentSetting()) != CEfFileIO::kSucceeded) {
        return false;
    }
    host_.SetModified(true);
    host_.SetBank(bank);
    TakeUpBank(true);
    return true;
}

void CTarnSampleLibrarianLayer::ImportPendingDrop(int bank) {
    if (!dropPending_) {
        return;
    }
    const std::string path = dropPath_;
    dropPending_ = false;
    dropPath_.clear();
    if (bank < 0 || bank >= kBankCount) {
        return;
    }
    ImportFile(path, bank);
}
