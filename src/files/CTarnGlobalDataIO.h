#pragma once

#include "files/CTarnDataFileIO.h"

class CTarnGlobalData;

// Global data files: ".t2g", and the predecessor's ".txg" read as they are. Save always asks for
// a name. The target is borrowed for one call.
class CTarnGlobalDataIO : public CTarnDataFileIO {
public:
    int Open(CTarnGlobalData& target, CEfWindow* parent = nullptr);
    int Save(CTarnGlobalData& target, CEfWindow* parent = nullptr);
    int SaveAs(CTarnGlobalData& target, CEfWindow* parent = nullptr);
    int OpenPath(CTarnGlobalData& target, const std::string& path);
    int SavePath(CTarnGlobalData& target, const std::string& path);

protected:
    std::string OpenTitle() const override { return "Load TALVEX PRO+ Global Data File"; }
    std::string SaveTitle() const override { return "Save TALVEX PRO+ Global Data File"; }
    std::string Extension() const override { return ".t2g"; }
    std::string FilterDescription() const override {
        return "TALVEX PRO+ Global Data Files (*.t2g)";
    }
    std::vector<CHfcFileDialog::Filter> OpenFilters() const override;
    std::vector<std::string> AcceptedExtensions() const override { return {"t2g", "txg"}; }
    bool CountsFit(int globCount, int, int) const override { return globCount >= 1; }
    bool ReadData(CHfcFile& file, const std::string& extension) override;
    bool WriteData(CHfcFile& file) override;

private:
    CTarnGlobalData* target_ = nullptr;
};
