#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliDataFile.h"
#include "data/CTarnAllData.h"
#include "data/CTarnParameterNames.h"

namespace {

constexpr const char* kUsage = "usage: talvex-cli set FILE NAME=VALUE ...";

// Every assignment is checked and applied to the loaded data first; the file is written only
// when all of them succeeded, so a mistake leaves it untouched.
int RunSet(const std::vector<std::string>& args) {
    if (args.size() < 2) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    const std::string& path = args[0];
    const cli::FileKind kind = cli::KindOfPath(path);
    if (kind == cli::FileKind::kUnknown) {
        std::fprintf(stderr, "File format not supported\n");
        return 1;
    }
    if (cli::IsPredecessorPath(path)) {
        std::fprintf(stderr, "talvex-cli: files of the predecessor model are only read, never "
                             "written\n");
        return 1;
    }
    CTarnAllData data;
    if (!cli::LoadDataFile(path, kind, data)) {
        return 1;
    }
    CTarnParameterNames::Targets targets = CTarnParameterNames::Targets::Of(data);
    if (kind == cli::FileKind::kGlobal) {
        targets.programs = nullptr;
        targets.current = nullptr;
    } else if (kind == cli::FileKind::kProgram) {
        targets.global = nullptr;
        targets.current = nullptr;
    } else if (kind == cli::FileKind::kSample) {
        targets = {};
    }
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& assignment = args[i];
        const size_t equals = assignment.find('=');
        if (equals == std::string::npos || equals == 0) {
            std::fprintf(stderr, "talvex-cli: '%s' is not NAME=VALUE\n", assignment.c_str());
            return 2;
        }
        const std::string name = assignment.substr(0, equals);
        const CTarnParameterName* entry = CTarnParameterNames::Find(name);
        if (!entry) {
            std::fprintf(stderr,
                         "talvex-cli: unknown parameter '%s' (talvex-cli info lists "
                         "them)\n",
                         name.c_str());
            return 1;
        }
        std::string error;
        if (!CTarnParameterNames::Assign(targets, *entry, assignment.substr(equals + 1), &error)) {
            std::fprintf(stderr, "talvex-cli: %s: %s; the file is unchanged\n", name.c_str(),
                         error.c_str());
            return 1;
        }
    }
    if (!cli::SaveDataFile(path, kind, data)) {
        return 1;
    }
    std::printf("%s: %zu parameter%s set\n", path.c_str(), args.size() - 1,
                args.size() == 2 ? "" : "s");
    return 0;
}

const CliRegistration registration({"set",
                                    "set FILE NAME=VALUE ...    edit parameters by name "
                                    "(the file is unchanged on any error)",
                                    &RunSet});

} // namespace
