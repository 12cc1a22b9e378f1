#include <cstdio>
#include <cstring>

#include "framework/EfTrace.h"

namespace {

void PrintHelp() {
    std::puts("talvex-cli - TALVEX PRO+ Editor command-line tool\n"
              "\n"
              "usage: talvex-cli COMMAND [ARGS]\n");
}

} // namespace

int main(int argc, char** argv) {
    EfTraceEnableFromEnvironment();
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        PrintHelp();
        return 0;
    }
    std::fprintf(stderr, "talvex-cli: unknown command '%s'\n", argv[1]);
    return 2;
}
