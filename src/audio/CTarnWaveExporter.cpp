#include "audio/CTarnWaveExporter.h"

#include "audio/CTarnWaveFileIO.h"
#include "data/CEfException.h"
#include "framework/CHfcFileDialog.h"

bool CTarnWaveExporter::Export(const CTarnSampleData& sample,
                               const CTarnCurrentSettingData& setting, CEfWindow* parent) {
    sample_ = &sample;
    setting_ = &setting;
    const bool written = SaveAs(parent) == kSucceeded;
    sample_ = nullptr;
    setting_ = nullptr;
    return written;
}

bool CTarnWaveExporter::ExportTo(const std::string& path, const CTarnSampleData& sample,
                                 const CTarnCurrentSettingData& setting) {
    sample_ = &sample;
    setting_ = &setting;
    const bool written = SavePath(path) == kSucceeded;
    sample_ = nullptr;
    setting_ = nullptr;
    return written;
}

bool CTarnWaveExporter::Write(CHfcFile& file, const std::string&) {
    if (!sample_) {
        return false;
    }
    try {
        return CTarnWaveFileIO().Write(*sample_, setting_, file);
    } catch (const CEfException& e) {
        e.Report();
        return false;
    }
}

void CTarnWaveExporter::SetUpSaveDialog(CHfcFileDialog& dialog) {
    dialog.SetTitle(SaveTitle());
    dialog.AddFilter(FilterDescription(), "*.wav");
    dialog.SetDefaultExtension("wav");
    dialog.SetInitialFileName(IsRemembered() ? FileName() : "Untitled.wav");
}
