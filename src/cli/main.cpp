#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliUi.h"
#include "framework/EfTrace.h"
#include "platform/PlatformBackends.h"
#include "sim/TarnSimFaultNames.h"

namespace {

void PrintHelp() {
    std::puts("talvex-cli - TALVEX PRO+ Editor command-line tool\n"
              "\n"
              "usage: talvex-cli COMMAND [ARGS]\n"
              "       talvex-cli --help | --version\n"
              "Messages go to standard error, results to standard output; '--' ends the\n"
              "options, so that a file named '-x' can be given.\n"
              "\n"
              "commands:");
    std::vector<CliCommand> commands = CliCommands();
    std::sort(commands.begin(), commands.end(), [](const CliCommand& a, const CliCommand& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    for (const CliCommand& command : commands) {
        std::printf("  %s\n", command.synopsis);
    }
    std::printf("\nThe MIDI commands also take --virtual-instrument-fault=MODE[:STAGE] and\n"
                "--virtual-instrument-rate=BYTES_PER_S with --virtual-instrument.\n"
                "Virtual instrument %s",
                tarn::SimFaultHelp().c_str());
    std::printf("\nbackends: %s\n"
                "Set TALVEX_TRACE=1 to append a diagnostic trace to EfDebug.txt.\n",
                PlatformBackendNames().c_str());
}

// "--" ends the options: it is dropped, and each later argument starting with '-' is given as
// "./-x". Every argument that is not an option names a file (or a bank, a parameter setting,
// which never start with '-'), so the commands read it as the file it is.
std::vector<std::string> EndOptions(std::vector<std::string> args) {
    const auto dashes = std::find(args.begin(), args.end(), "--");
    if (dashes == args.end()) {
        return args;
    }
    for (auto it = dashes + 1; it != args.end(); ++it) {
        if (!it->empty() && (*it)[0] == '-') {
            *it = "./" + *it;
        }
    }
    args.erase(dashes);
    return args;
}

} // namespace

int main(int argc, char** argv) {
    EfTraceEnableFromEnvironment();
    cli::InstallTerminalUi();
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0 ||
        std::strcmp(argv[1], "-h") == 0) {
        PrintHelp();
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::puts("talvex-cli 1.0.0");
        return 0;
    }
    for (const CliCommand& command : CliCommands()) {
        if (std::strcmp(command.name, argv[1]) == 0) {
            return command.run(EndOptions(std::vector<std::string>(argv + 2, argv + argc)));
        }
    }
    std::fprintf(stderr, "talvex-cli: unknown command '%s' (see talvex-cli --help)\n", argv[1]);
    return 2;
}
