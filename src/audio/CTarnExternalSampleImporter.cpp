#include "audio/CTarnExternalSampleImporter.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

#include "audio/CTarnAiffFileIO.h"
#include "audio/CTarnCompressedAudioReader.h"
#include "audio/CTarnWaveFileIO.h"
#include "data/CTarnCurrentSettingData.h"
#include "data/CTarnFileException.h"
#include "data/CTarnSampleData.h"
#include "framework/CHfcFileDialog.h"
#include "platform/CHfcCompressedAudioDecoder.h"

namespace {

// What the open dialog calls a compressed format.
std::string CompressedKindName(const std::string& extension) {
    static const std::map<std::string, std::string> names = {
        {"mp3", "MP3"},        {"m4a", "M4A"},   {"aac", "AAC"}, {"flac", "FLAC"},
        {"ogg", "Ogg Vorbis"}, {"opus", "Opus"}, {"caf", "CAF"}, {"wv", "WavPack"},
    };
    const auto known = names.find(extension);
    if (known != names.end()) {
        return known->second;
    }
    std::string upper = extension;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

} // namespace

CTarnExternalSampleImporter::CTarnExternalSampleImporter(CHfcCompressedAudioDecoder* decoder)
    : decoder_(decoder) {}

int CTarnExternalSampleImporter::Import(CTarnSampleData& sample, CTarnCurrentSettingData& setting,
                                        CEfWindow* parent) {
    sample_ = &sample;
    setting_ = &setting;
    const int result = Open(parent);
    sample_ = nullptr;
    setting_ = nullptr;
    return result;
}

int CTarnExternalSampleImporter::Import(const std::string& path, CTarnSampleData& sample,
                                        CTarnCurrentSettingData& setting) {
    sample_ = &sample;
    setting_ = &setting;
    path_ = path;
    const int result = OpenPath(path);
    sample_ = nullptr;
    setting_ = nullptr;
    return result;
}

CTarnExternalSampleImporter::FileType
CTarnExternalSampleImporter::Classify(const std::string& name) {
    if (ExtensionMatches(name, "t2s") || ExtensionMatches(name, "txs")) {
        return FileType::kSampleFile;
    }
    if (ExtensionMatches(name, "wav")) {
        return FileType::kWave;
    }
    if (ExtensionMatches(name, "aif")) {
        return FileType::kAiff;
    }
    if (ExtensionMatches(name, "mp3") || ExtensionMatches(name, "m4a")) {
        return FileType::kCompressed;
    }
    return FileType::kUnsupported;
}

void CTarnExternalSampleImporter::OnHfcFileDialogFinished(CHfcFileDialog& dialog, bool ok,
                                                          int kind) {
    path_ = dialog.ChosenPath();
    CTarnReportingFileIO::OnHfcFileDialogFinished(dialog, ok, kind);
}

bool CTarnExternalSampleImporter::Read(CHfcFile& file, const std::string& name) {
    if (!sample_ || !setting_) {
        return false;
    }
    try {
        ReadInto(file, name);
        return true;
    } catch (const CEfException& e) {
        e.Report();
        return false;
    }
}

void CTarnExternalSampleImporter::ReadInto(CHfcFile& file, const std::string& name) {
    const FileType type = Classify(name);
    CTarnSampleData sample;
    if (decoder_ && decoder_->TakesFileName(name)) {
        CTarnCompressedAudioReader(*decoder_).Read(sample, path_);
        sample_->MoveFrom(&sample);
        return;
    }
    if (type == FileType::kCompressed) {
        // Typed into the dialog or named on a command line while the decoder is missing.
        throw CTarnFileException(CTarnFileException::kNoDecoder);
    }
    CTarnCurrentSettingData setting;
    switch (type) {
    case FileType::kSampleFile:
        if (!sample.LoadFile(file)) {
            throw CTarnFileException(CTarnFileException::kReadFailed);
        }
        break;
    case FileType::kWave:
        CTarnWaveFileIO().Read(sample, &setting, file);
        break;
    case FileType::kAiff:
        CTarnAiffFileIO().Read(sample, &setting, file);
        break;
    default:
        throw CTarnFileException(CTarnFileException::kFormatNotSupported);
    }
    sample_->MoveFrom(&sample);
    setting_->CopyFrom(&setting);
}

void CTarnExternalSampleImporter::SetUpOpenDialog(CHfcFileDialog& dialog) {
    dialog.SetTitle(OpenTitle());
    const std::vector<std::string> compressed =
        decoder_ ? decoder_->Extensions() : std::vector<std::string>{};
    if (!compressed.empty()) {
        std::string description = "Supported Files (*.t2s, *.txs, *.wav, *.aif, *.aiff";
        std::string pattern = "*.t2s;*.txs;*.wav;*.aif;*.aiff";
        for (const std::string& extension : compressed) {
            description += ", *." + extension;
            pattern += ";*." + extension;
        }
        dialog.AddFilter(description + ")", pattern);
    } else {
        dialog.AddFilter("Supported Files (*.t2s, *.txs,  *.wav, *.aif, *.aiff)",
                         "*.t2s;*.txs;*.wav;*.aif;*.aiff");
    }
    dialog.AddFilter("TALVEX PRO+ Loop Recorder Data Files (*.t2s)", "*.t2s");
    dialog.AddFilter("TALVEX PRO Loop Recorder Data Files (*.txs)", "*.txs");
    dialog.AddFilter("Wave Files (*.wav)", "*.wav");
    dialog.AddFilter("AIFF Files (*.aif, *.aiff)", "*.aif;*.aiff");
    if (compressed.empty()) {
        return;
    }
    for (const std::string& extension : compressed) {
        dialog.AddFilter(CompressedKindName(extension) + " Files (*." + extension + ")",
                         "*." + extension);
    }
    dialog.AddFilter("All Files (*.*)", "*.*");
}
