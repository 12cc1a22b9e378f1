#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliDataFile.h"
#include "data/CTarnAllData.h"

namespace {

constexpr const char* kUsage = "usage: talvex-cli normalize FILE.t2a --bank A..D";

int BankIndex(const std::string& text) {
    if (text.size() != 1) {
        return -1;
    }
    const int c = std::toupper(static_cast<unsigned char>(text[0]));
    return c >= 'A' && c <= 'D' ? c - 'A' : -1;
}

int RunNormalize(const std::vector<std::string>& args) {
    std::string file;
    int bank = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--bank" && i + 1 < args.size()) {
            bank = BankIndex(args[++i]);
        } else if (file.empty() && !args[i].empty() && args[i][0] != '-') {
            file = args[i];
        } else {
            std::fprintf(stderr, "%s\n", kUsage);
            return 2;
        }
    }
    if (file.empty() || bank < 0) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    if (cli::KindOfPath(file) != cli::FileKind::kAll || cli::IsPredecessorPath(file)) {
        std::fprintf(stderr, "talvex-cli: normalize works on an all-data file (*.t2a)\n");
        return 2;
    }
    CTarnAllData data;
    if (!cli::LoadDataFile(file, cli::FileKind::kAll, data)) {
        return 1;
    }
    CTarnSampleData& sample = *data.Bank(bank);
    if (!sample.Normalize()) {
        // Silence stays silence; the file is left as it is.
        std::fprintf(stderr, "bank %c of %s holds no audio to normalize\n", 'A' + bank,
                     file.c_str());
        return 0;
    }
    if (!cli::SaveDataFile(file, cli::FileKind::kAll, data)) {
        return 1;
    }
    std::printf("bank %c of %s normalized\n", 'A' + bank, file.c_str());
    return 0;
}

const CliRegistration registration({"normalize",
                                    "normalize FILE.t2a --bank A..D   scale a bank's audio to "
                                    "full level",
                                    &RunNormalize});

} // namespace
