#pragma once

#include <string>

#include "audio/CTarnReportingFileIO.h"

class CEfWindow;
class CTarnSampleData;

// Exports a bank as a loop-recorder sample file (".t2s"), converting it to 48 kHz first.
class CTarnLumoSampleExporter : public CTarnReportingFileIO {
public:
    // Shows the save dialog; true when the file was written.
    bool Export(CTarnSampleData& sample, CEfWindow* parent);
    // Writes a path without a dialog.
    bool ExportTo(const std::string& path, CTarnSampleData& sample);

protected:
    bool Write(CHfcFile& file, const std::string& name) override;
    void SetUpSaveDialog(CHfcFileDialog& dialog) override;
    std::string SaveTitle() const override {
        return "Export to TALVEX PRO+ Loop Recorder Data File";
    }
    std::string Extension() const override { return ".t2s"; }
    std::string FilterDescription() const override {
        return "TALVEX PRO+ Loop Recorder Data Files (*.t2s)";
    }

private:
    CTarnSampleData* sample_ = nullptr;
};
