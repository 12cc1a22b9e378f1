#include "files/CTarnDataFileIO.h"

#include "data/CEfException.h"
#include "data/CTarnFileException.h"
#include "files/TarnChunk.h"
#include "framework/CHfcFile.h"
#include "framework/CTarnMessageBox.h"

namespace {

// Message codes of "Failed to open the file." and "Unable to write data to the file.".
constexpr int kMessageOpenFailed = 1;
constexpr int kMessageWriteFailed = 4;

} // namespace

void CTarnDataFileIO::SetUpOpenDialog(CHfcFileDialog& dialog) {
    dialog.SetTitle(OpenTitle());
    for (const CHfcFileDialog::Filter& filter : OpenFilters()) {
        dialog.AddFilter(filter.description, filter.pattern);
    }
}

void CTarnDataFileIO::SetUpSaveDialog(CHfcFileDialog& dialog) {
    dialog.SetTitle(SaveTitle());
    dialog.AddFilter(FilterDescription(), "*" + Extension());
    dialog.SetDefaultExtension(Extension().substr(1));
    dialog.SetInitialFileName(SuggestedName());
}

std::string CTarnDataFileIO::SuggestedName() {
    return IsRemembered() ? FileName() : FileName() + Extension();
}

std::string CTarnDataFileIO::MatchedExtension(const std::string& name) const {
    for (const std::string& extension : AcceptedExtensions()) {
        if (ExtensionMatches(name, extension)) {
            return extension;
        }
    }
    return {};
}

bool CTarnDataFileIO::CanRead(CHfcFile& file, const std::string& name) {
    if (MatchedExtension(name).empty()) {
        return false;
    }
    try {
        const tarn::TarnFileHeader header = tarn::ReadFileHeader(file);
        return CountsFit(header.globCount, header.progCount, header.smplCount);
    } catch (const CEfException&) {
        return false;
    }
}

bool CTarnDataFileIO::Read(CHfcFile& file, const std::string& name) {
    const std::string extension = MatchedExtension(name);
    if (extension.empty()) {
        return false;
    }
    try {
        if (!ReadData(file, extension)) {
            // A file that ends before its announced chunks: say so rather than fail silently.
            throw CTarnFileException(CTarnFileException::kReadFailed);
        }
        return true;
    } catch (const CEfException& error) {
        error.Report();
        return false;
    }
}

bool CTarnDataFileIO::Write(CHfcFile& file, const std::string&) {
    try {
        if (!WriteData(file)) {
            throw CTarnFileException(CTarnFileException::kWriteFailed);
        }
        return true;
    } catch (const CEfException& error) {
        error.Report();
        return false;
    }
}

void CTarnDataFileIO::OnFileFailure(Failure failure, const std::string& path) {
    CEfFileIO::OnFileFailure(failure, path);
    CTarnMessageBox::Show(failure == Failure::kFinishWriting ? kMessageWriteFailed
                                                             : kMessageOpenFailed,
                          CTarnMessageBox::kErrorStyle);
}
