#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/CTarnExternalSampleImporter.h"
#include "cli/CliBackends.h"
#include "cli/CliCommand.h"
#include "cli/CliDataFile.h"
#include "data/CTarnAllData.h"
#include "framework/CTarnMessageBox.h"
#include "framework/EfByteOrder.h"
#include "platform/CHfcBackendModule.h"
#include "platform/CHfcCompressedAudioDecoderFactory.h"

namespace {

// "MP3 and M4A files cannot be imported because no MP3 or AAC decoder is available."
constexpr int kMessageNoDecoder = 35;

constexpr const char* kUsage = "usage: talvex-cli import AUDIO --bank A..D --into FILE.t2a";

// The usage line and the kinds of AUDIO taken here: the editor's own and what the decoder found
// at run time reads.
void PrintUsage() {
    std::string kinds = ".wav .aif .aiff .t2s .txs";
    if (const std::unique_ptr<CHfcCompressedAudioDecoder> decoder =
            CreateCompressedAudioDecoder()) {
        for (const std::string& extension : decoder->Extensions()) {
            kinds += " ." + extension;
        }
    }
    std::fprintf(stderr, "%s\nAUDIO: %s\n", kUsage, kinds.c_str());
}

int BankIndex(const std::string& text) {
    if (text.size() != 1) {
        return -1;
    }
    const int c = std::toupper(static_cast<unsigned char>(text[0]));
    return c >= 'A' && c <= 'D' ? c - 'A' : -1;
}

const char* BeatsText(float beats) {
    static const char* const texts[] = {"1/16", "1/8", "1/4", "1/2", "1", "2", "4", "8", "16"};
    for (int i = 0; i < CTarnSampleData::kLengthCount; ++i) {
        if (CTarnSampleData::LengthBeats(i) == beats) {
            return texts[i];
        }
    }
    return "?";
}

// The all-data file is read first (or starts from the defaults when it does not exist yet) and
// written back only after a successful import, so a bad audio file changes nothing.
int RunImport(const std::vector<std::string>& args) {
    std::string audio;
    std::string into;
    int bank = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--bank" && i + 1 < args.size()) {
            bank = BankIndex(args[++i]);
        } else if (args[i] == "--into" && i + 1 < args.size()) {
            into = args[++i];
        } else if (audio.empty() && !args[i].empty() && args[i][0] != '-') {
            audio = args[i];
        } else {
            PrintUsage();
            return 2;
        }
    }
    if (audio.empty() || into.empty() || bank < 0) {
        PrintUsage();
        return 2;
    }
    if (cli::KindOfPath(into) != cli::FileKind::kAll || cli::IsPredecessorPath(into)) {
        std::fprintf(stderr, "talvex-cli: the target must be an all-data file (*.t2a)\n");
        return 2;
    }

    CTarnAllData data;
    std::error_code ec;
    if (std::filesystem::exists(into, ec) && !cli::LoadDataFile(into, cli::FileKind::kAll, data)) {
        return 1;
    }
    const std::unique_ptr<CHfcCompressedAudioDecoder> decoder = CreateCompressedAudioDecoder();
    using FileType = CTarnExternalSampleImporter::FileType;
    const FileType type = CTarnExternalSampleImporter::Classify(audio);
    if (!decoder && type == FileType::kCompressed) {
        std::fprintf(stderr, "%s\n", CTarnMessageBox::Text(kMessageNoDecoder));
        cli::ReportUnavailableBackend(FfmpegBackendModule());
        return 1;
    }
    CTarnExternalSampleImporter importer(decoder.get());
    CTarnSampleData& sample = *data.Bank(bank);
    if (importer.Import(audio, sample, data.CurrentSetting()) != CEfFileIO::kSucceeded) {
        if (!decoder && type == FileType::kUnsupported) {
            // Perhaps a kind the missing decoder would have read.
            cli::ReportUnavailableBackend(FfmpegBackendModule());
        }
        return 1;
    }
    const int importedRate = sample.GetSamplingRate();
    const int importedFrames = sample.GetLoadedFrames();
    if (!cli::SaveDataFile(into, cli::FileKind::kAll, data)) {
        return 1;
    }
    // The tempo as the file keeps it, in tenths (the unrounded value may print a tenth higher).
    uint8_t header[CTarnSampleData::kNativeHeaderSize];
    sample.GetNativeHeader(header);
    const int tenths = static_cast<int16_t>(ef::ReadBE16(header + 8));
    std::printf("%s -> bank %c of %s: tempo %d.%d BPM, phrase length %s beats, %d frames at %d Hz",
                audio.c_str(), 'A' + bank, into.c_str(), tenths / 10, tenths % 10,
                BeatsText(sample.GetPhraseLengthBeats()), importedFrames, importedRate);
    if (importedRate != sample.GetSamplingRate()) {
        std::printf(" (stored as %d frames at %d Hz)", sample.GetLoadedFrames(),
                    sample.GetSamplingRate());
    }
    std::printf("\n");
    return 0;
}

const CliRegistration registration({"import",
                                    "import AUDIO --bank A..D --into FILE.t2a   a WAV, AIFF, "
                                    "compressed audio (MP3, M4A, FLAC, ...) or sample file into "
                                    "a bank",
                                    &RunImport});

} // namespace
