#pragma once

#include <string>

#include "audio/CTarnReportingFileIO.h"

class CEfWindow;
class CTarnSampleData;

// Exports a bank's play range as an AIFF file. No rate conversion.
class CTarnAiffExporter : public CTarnReportingFileIO {
public:
    // Shows the save dialog; true when the file was written.
    bool Export(const CTarnSampleData& sample, CEfWindow* parent);
    // Writes a path without a dialog.
    bool ExportTo(const std::string& path, const CTarnSampleData& sample);

protected:
    bool Write(CHfcFile& file, const std::string& name) override;
    void SetUpSaveDialog(CHfcFileDialog& dialog) override;
    std::string SaveTitle() const override { return "Export to AIFF"; }
    std::string Extension() const override { return ".aif"; }
    std::string FilterDescription() const override { return "AIFF Files (*.aif)"; }

private:
    const CTarnSampleData* sample_ = nullptr;
};
