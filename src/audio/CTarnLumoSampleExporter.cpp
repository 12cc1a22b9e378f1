#include "audio/CTarnLumoSampleExporter.h"

#include "data/CTarnFileException.h"
#include "data/CTarnSampleData.h"
#include "framework/CHfcFileDialog.h"

bool CTarnLumoSampleExporter::Export(CTarnSampleData& sample, CEfWindow* parent) {
    sample_ = &sample;
    const bool written = SaveAs(parent) == kSucceeded;
    sample_ = nullptr;
    return written;
}

bool CTarnLumoSampleExporter::ExportTo(const std::string& path, CTarnSampleData& sample) {
    sample_ = &sample;
    const bool written = SavePath(path) == kSucceeded;
    sample_ = nullptr;
    return written;
}

bool CTarnLumoSampleExporter::Write(CHfcFile& file, const std::string&) {
    if (!sample_) {
        return false;
    }
    try {
        // A header written short is no less a failed write than a short chunk.
        if (!sample_->SaveFile(file)) {
            throw CTarnFileException(CTarnFileException::kWriteFailed);
        }
        return true;
    } catch (const CEfException& e) {
        e.Report();
        return false;
    }
}

void CTarnLumoSampleExporter::SetUpSaveDialog(CHfcFileDialog& dialog) {
    dialog.SetTitle(SaveTitle());
    dialog.AddFilter(FilterDescription(), "*.t2s");
    dialog.SetDefaultExtension("t2s");
    dialog.SetInitialFileName(IsRemembered() ? FileName() : "Untitled.t2s");
}
