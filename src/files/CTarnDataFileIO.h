#pragma once

#include <string>
#include <vector>

#include "framework/CEfFileIO.h"
#include "framework/CHfcFileDialog.h"

// What the global, program memory and all-data file objects share: their dialogs, the test of a
// file's extension (first three characters, case-insensitive) and header, the read step that
// loads into a temporary object and copies it into the target only on success, and the error
// messages the user sees.
class CTarnDataFileIO : public CEfFileIO {
protected:
    // Description and pattern of each filter of the open dialog.
    virtual std::vector<CHfcFileDialog::Filter> OpenFilters() const = 0;
    // Extensions read by this class, first the current model's.
    virtual std::vector<std::string> AcceptedExtensions() const = 0;
    // Whether the counts of a file header suit this file type.
    virtual bool CountsFit(int globCount, int progCount, int smplCount) const = 0;
    // Loads the file into a temporary object and copies that into the target; extension is the
    // accepted extension the name matched. Throws CEfException on a bad file.
    virtual bool ReadData(CHfcFile& file, const std::string& extension) = 0;
    // The target's SaveFile.
    virtual bool WriteData(CHfcFile& file) = 0;

    void SetUpOpenDialog(CHfcFileDialog& dialog) override;
    void SetUpSaveDialog(CHfcFileDialog& dialog) override;
    bool CanRead(CHfcFile& file, const std::string& name) override;
    bool Read(CHfcFile& file, const std::string& name) override;
    bool Write(CHfcFile& file, const std::string& name) override;
    void OnFileFailure(Failure failure, const std::string& path) override;

    // The save dialog's initial name: the remembered name or "Untitled" with the extension.
    std::string SuggestedName();

private:
    // The accepted extension name carries, or empty.
    std::string MatchedExtension(const std::string& name) const;
};
