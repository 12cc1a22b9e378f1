#pragma once

#include "files/CTarnDataFileIO.h"

class CTarnAllData;

// All-data files: ".t2a", and the predecessor's ".txa", whose program memories do not describe
// this instrument's programs and are replaced by their defaults. Save writes to the remembered
// file without a dialog. A predecessor file is never remembered, so that the next Save asks for
// a new name instead of writing this model's format under the old one. The target is borrowed
// for one call.
class CTarnAllDataIO : public CTarnDataFileIO {
public:
    int Open(CTarnAllData& target, CEfWindow* parent = nullptr);
    int Save(CTarnAllData& target, CEfWindow* parent = nullptr);
    int SaveAs(CTarnAllData& target, CEfWindow* parent = nullptr);
    int OpenPath(CTarnAllData& target, const std::string& path);
    int SavePath(CTarnAllData& target, const std::string& path);

    // Whether the last file read was a predecessor's.
    bool WasPredecessorFile() const { return predecessor_; }

protected:
    std::string OpenTitle() const override { return "Open TALVEX PRO+ All Data File"; }
    std::string SaveTitle() const override { return "Save TALVEX PRO+ All Data File"; }
    std::string Extension() const override { return ".t2a"; }
    std::string FilterDescription() const override { return "TALVEX PRO+ All Data Files (*.t2a)"; }
    std::vector<CHfcFileDialog::Filter> OpenFilters() const override;
    std::vector<std::string> AcceptedExtensions() const override { return {"t2a", "txa"}; }
    bool CountsFit(int, int, int) const override { return true; }
    bool ReadData(CHfcFile& file, const std::string& extension) override;
    bool WriteData(CHfcFile& file) override;

private:
    int AfterRead(int result);

    CTarnAllData* target_ = nullptr;
    bool predecessor_ = false;
};
