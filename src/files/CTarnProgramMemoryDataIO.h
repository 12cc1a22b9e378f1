#pragma once

#include "files/CTarnDataFileIO.h"

class CTarnProgramMemorySet;

// Program memory files (".t2p", all eight memories). Save always asks for a name. The target is
// borrowed for one call.
class CTarnProgramMemoryDataIO : public CTarnDataFileIO {
public:
    int Open(CTarnProgramMemorySet& target, CEfWindow* parent = nullptr);
    int Save(CTarnProgramMemorySet& target, CEfWindow* parent = nullptr);
    int SaveAs(CTarnProgramMemorySet& target, CEfWindow* parent = nullptr);
    int OpenPath(CTarnProgramMemorySet& target, const std::string& path);
    int SavePath(CTarnProgramMemorySet& target, const std::string& path);

protected:
    std::string OpenTitle() const override { return "Load TALVEX PRO+ Program Memory Data File"; }
    std::string SaveTitle() const override { return "Save TALVEX PRO+ Program Memory Data File"; }
    std::string Extension() const override { return ".t2p"; }
    std::string FilterDescription() const override {
        return "TALVEX PRO+ Program Memory Data Files (*.t2p)";
    }
    std::vector<CHfcFileDialog::Filter> OpenFilters() const override;
    std::vector<std::string> AcceptedExtensions() const override { return {"t2p"}; }
    bool CountsFit(int, int progCount, int) const override { return progCount == 8; }
    bool ReadData(CHfcFile& file, const std::string& extension) override;
    bool WriteData(CHfcFile& file) override;

private:
    CTarnProgramMemorySet* target_ = nullptr;
};
