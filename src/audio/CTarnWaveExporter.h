#pragma once

#include <string>

#include "audio/CTarnReportingFileIO.h"

class CEfWindow;
class CTarnCurrentSettingData;
class CTarnSampleData;

// Exports a bank's play range as a WAV file with the editor's "vesk" chunk, which carries the
// tempo, the lengths and the current setting back in on import. No rate conversion.
class CTarnWaveExporter : public CTarnReportingFileIO {
public:
    // Shows the save dialog; true when the file was written.
    bool Export(const CTarnSampleData& sample, const CTarnCurrentSettingData& setting,
                CEfWindow* parent);
    // Writes a path without a dialog.
    bool ExportTo(const std::string& path, const CTarnSampleData& sample,
                  const CTarnCurrentSettingData& setting);

protected:
    bool Write(CHfcFile& file, const std::string& name) override;
    void SetUpSaveDialog(CHfcFileDialog& dialog) override;
    std::string SaveTitle() const override { return "Export to Wave"; }
    std::string Extension() const override { return ".wav"; }
    std::string FilterDescription() const override { return "Wave Files (*.wav)"; }

private:
    const CTarnSampleData* sample_ = nullptr;
    const CTarnCurrentSettingData* setting_ = nullptr;
};
