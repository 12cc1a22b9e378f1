#pragma once

#include <string>

#include "audio/CTarnReportingFileIO.h"

class CEfWindow;
class CHfcCompressedAudioDecoder;
class CTarnCurrentSettingData;
class CTarnSampleData;

// Brings a file into a loop-recorder bank: the editor's sample files (".t2s", ".txs"), WAV, AIFF
// and, when a compressed-audio decoder is available, the compressed formats it lists (MP3, M4A,
// FLAC, ...). The reader is chosen by the file's extension; the file is read into a temporary
// sample, and only a successful read replaces the bank (and, except for compressed audio, the
// current setting). Errors are shown to the user.
class CTarnExternalSampleImporter : public CTarnReportingFileIO {
public:
    enum class FileType { kSampleFile, kWave, kAiff, kCompressed, kUnsupported };

    // Without a decoder compressed audio is neither offered nor read.
    explicit CTarnExternalSampleImporter(CHfcCompressedAudioDecoder* decoder = nullptr);

    // Shows the "Import" dialog and imports the chosen file. Returns kSucceeded (2) when a file
    // was imported, kNothingDone when the dialog was cancelled and kFailed otherwise.
    int Import(CTarnSampleData& sample, CTarnCurrentSettingData& setting, CEfWindow* parent);
    // The same for a path already chosen (a dropped file, the command line).
    int Import(const std::string& path, CTarnSampleData& sample, CTarnCurrentSettingData& setting);

    // By the text after the last '.', case-insensitively: its first three letters ("wav" also
    // takes "take.wave"), or "aiff".
    static FileType Classify(const std::string& name);
    bool OffersCompressedAudio() const { return decoder_ != nullptr; }

    void OnHfcFileDialogFinished(CHfcFileDialog& dialog, bool ok, int kind) override;

protected:
    bool Read(CHfcFile& file, const std::string& name) override;
    void SetUpOpenDialog(CHfcFileDialog& dialog) override;
    std::string OpenTitle() const override { return "Import"; }

private:
    // Throws CTarnFileException; the targets change only when it returns.
    void ReadInto(CHfcFile& file, const std::string& name);

    CHfcCompressedAudioDecoder* decoder_;
    CTarnSampleData* sample_ = nullptr;
    CTarnCurrentSettingData* setting_ = nullptr;
    // The compressed-audio decoder reads by path rather than from the open file.
    std::string path_;
};
