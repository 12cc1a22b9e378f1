#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/CTarnAiffExporter.h"
#include "audio/CTarnLumoSampleExporter.h"
#include "audio/CTarnWaveExporter.h"
#include "cli/CliCommand.h"
#include "cli/CliDataFile.h"
#include "data/CTarnAllData.h"

namespace {

constexpr const char* kUsage =
    "usage: talvex-cli export FILE.t2a --bank A..D --wav|--aiff|--t2s OUT";

int BankIndex(const std::string& text) {
    if (text.size() != 1) {
        return -1;
    }
    const int c = std::toupper(static_cast<unsigned char>(text[0]));
    return c >= 'A' && c <= 'D' ? c - 'A' : -1;
}

int RunExport(const std::vector<std::string>& args) {
    std::string file;
    std::string format;
    std::string out;
    int bank = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--bank" && i + 1 < args.size()) {
            bank = BankIndex(args[++i]);
        } else if ((args[i] == "--wav" || args[i] == "--aiff" || args[i] == "--t2s") &&
                   format.empty() && i + 1 < args.size()) {
            format = args[i];
            out = args[++i];
        } else if (file.empty() && !args[i].empty() && args[i][0] != '-') {
            file = args[i];
        } else {
            std::fprintf(stderr, "%s\n", kUsage);
            return 2;
        }
    }
    if (file.empty() || format.empty() || out.empty() || bank < 0) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    if (cli::KindOfPath(file) != cli::FileKind::kAll) {
        std::fprintf(stderr, "talvex-cli: the source must be an all-data file (*.t2a, *.txa)\n");
        return 2;
    }
    CTarnAllData data;
    if (!cli::LoadDataFile(file, cli::FileKind::kAll, data)) {
        return 1;
    }
    CTarnSampleData& sample = *data.Bank(bank);
    bool written = false;
    if (format == "--wav") {
        written = CTarnWaveExporter().ExportTo(out, sample, data.CurrentSetting());
    } else if (format == "--aiff") {
        written = CTarnAiffExporter().ExportTo(out, sample);
    } else {
        written = CTarnLumoSampleExporter().ExportTo(out, sample);
    }
    if (!written) {
        return 1;
    }
    std::printf("bank %c of %s -> %s: %d frames at %d Hz, tempo %.1f BPM\n", 'A' + bank,
                file.c_str(), out.c_str(), sample.GetPlayFrames(), sample.GetSamplingRate(),
                sample.GetTempo());
    return 0;
}

const CliRegistration registration({"export",
                                    "export FILE.t2a --bank A..D --wav|--aiff|--t2s OUT   a "
                                    "bank's play range as WAV, AIFF or sample file",
                                    &RunExport});

} // namespace
