#include "audio/CTarnExternalSampleImporter.h"

#include "audio/CTarnAiffFileIO.h"
#include "audio/CTarnCompressedAudioReader.h"
#include "audio/CTarnWaveFileIO.h"
#include "data/CTarnCurrentSettingData.h"
#include "data/CTarnFileException.h"
#include "data/CTarnSampleData.h"
#include "framework/CHfcFileDialog.h"

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
    if (type == FileType::kCompressed && decoder_) {
        CTarnCompressedAudioReader(*decoder_).Read(sample, path_);
        sample_->CopyFrom(&sample);
        return;
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
    sample_->CopyFrom(&sample);
    setting_->CopyFrom(&setting);
}

void CTarnExternalSampleImporter::SetUpOpenDialog(CHfcFileDialog& dialog) {
    dialog.SetTitle(OpenTitle());
    if (decoder_) {
        dialog.AddFilter("Supported Files (*.t2s, *.txs, *.wav, *.aif, *.aiff, *.mp3)",
                         "*.t2s;*.txs;*.wav;*.aif;*.aiff;*.mp3");
    } else {
        dialog.AddFilter("Supported Files (*.t2s, *.txs,  *.wav, *.aif, *.aiff)",
                         "*.t2s;*.txs;*.wav;*.aif;*.aiff");
    }
    dialog.AddFilter("TALVEX PRO+ Loop Recorder Data Files (*.t2s)", "*.t2s");
    dialog.AddFilter("TALVEX PRO Loop Recorder Data Files (*.txs)", "*.txs");
    dialog.AddFilter("Wave Files (*.wav)", "*.wav");
    dialog.AddFilter("AIFF Files (*.aif, *.aiff)", "*.aif;*.aiff");
    if (decoder_) {
        dialog.AddFilter("MP3 Files (*.mp3)", "*.mp3");
        dialog.AddFilter("All Files (*.*)", "*.*");
    }
}
