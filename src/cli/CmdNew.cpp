#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliDataFile.h"
#include "data/CTarnAllData.h"

namespace {

constexpr const char* kUsage = "usage: talvex-cli new --type all|global|program OUT";

int RunNew(const std::vector<std::string>& args) {
    std::string type;
    std::string out;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--type" && i + 1 < args.size()) {
            type = args[++i];
        } else if (args[i].rfind("--type=", 0) == 0) {
            type = args[i].substr(7);
        } else if (out.empty() && !args[i].empty() && args[i][0] != '-') {
            out = args[i];
        } else {
            std::fprintf(stderr, "%s\n", kUsage);
            return 2;
        }
    }
    cli::FileKind kind;
    if (type == "all") {
        kind = cli::FileKind::kAll;
    } else if (type == "global") {
        kind = cli::FileKind::kGlobal;
    } else if (type == "program") {
        kind = cli::FileKind::kProgram;
    } else {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    if (out.empty()) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    if (cli::KindOfPath(out) != kind || cli::IsPredecessorPath(out)) {
        static const char* const extensions[] = {".t2a", ".t2g", ".t2p"};
        std::fprintf(stderr, "talvex-cli: %s is named *%s\n", cli::KindFile(kind).c_str(),
                     extensions[static_cast<int>(kind)]);
        return 2;
    }
    CTarnAllData data;
    if (!cli::SaveDataFile(out, kind, data)) {
        return 1;
    }
    std::printf("%s: %s with the factory defaults\n", out.c_str(), cli::KindFile(kind).c_str());
    return 0;
}

const CliRegistration registration({"new",
                                    "new --type all|global|program OUT   a file with the "
                                    "factory defaults",
                                    &RunNew});

} // namespace
