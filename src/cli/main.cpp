#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliUi.h"
#include "framework/EfTrace.h"
#include "platform/PlatformBackends.h"

namespace {

void PrintHelp() {
    std::puts("talvex-cli - TALVEX PRO+ Editor command-line tool\n"
              "\n"
              "usage: talvex-cli COMMAND [ARGS]\n"
              "       talvex-cli --help | --version\n"
              "\n"
              "commands:");
    std::vector<CliCommand> commands = CliCommands();
    std::sort(commands.begin(), commands.end(), [](const CliCommand& a, const CliCommand& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    for (const CliCommand& command : commands) {
        std::printf("  %s\n", command.synopsis);
    }
    std::printf("\nbackends: %s\n"
                "Set TALVEX_TRACE=1 to append a diagnostic trace to EfDebug.txt.\n",
                PlatformBackendNames().c_str());
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
            return command.run(std::vector<std::string>(argv + 2, argv + argc));
        }
    }
    std::fprintf(stderr, "talvex-cli: unknown command '%s' (see talvex-cli --help)\n", argv[1]);
    return 2;
}
