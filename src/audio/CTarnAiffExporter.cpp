#include "audio/CTarnAiffExporter.h"

#include "audio/CTarnAiffFileIO.h"
#include "data/CEfException.h"
#include "framework/CHfcFileDialog.h"

bool CTarnAiffExporter::Export(const CTarnSampleData& sample, CEfWindow* parent) {
    sample_ = &sample;
    const bool written = SaveAs(parent) == kSucceeded;
    sample_ = nullptr;
    return written;
}

bool CTarnAiffExporter::ExportTo(const std::string& path, const CTarnSampleData& sample) {
    sample_ = &sample;
    const bool written = SavePath(path) == kSucceeded;
    sample_ = nullptr;
    return written;
}

bool CTarnAiffExporter::Write(CHfcFile& file, const std::string&) {
    if (!sample_) {
        return false;
    }
    try {
        return CTarnAiffFileIO().Write(*sample_, nullptr, file);
    } catch (const CEfException& e) {
        e.Report();
        return false;
    }
}

void CTarnAiffExporter::SetUpSaveDialog(CHfcFileDialog& dialog) {
    dialog.SetTitle(SaveTitle());
    dialog.AddFilter(FilterDescription(), "*.aif");
    dialog.SetDefaultExtension("aif");
    dialog.SetInitialFileName(IsRemembered() ? FileName() : "Untitled.aif");
}
