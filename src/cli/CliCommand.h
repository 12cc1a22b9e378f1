#pragma once

#include <string>
#include <vector>

// A subcommand of talvex-cli. Each command lives in a file of its own and registers itself with
// a static CliRegistration; main() finds it by name and hands it the arguments after the name.
// The command returns the process exit status: 0 on success, non-zero after printing the reason
// (the program's own message text) to stderr.
struct CliCommand {
    const char* name;
    const char* synopsis; // one line for the help, e.g. "info FILE [--json]"
    int (*run)(const std::vector<std::string>& args);
};

const std::vector<CliCommand>& CliCommands();

struct CliRegistration {
    explicit CliRegistration(const CliCommand& command);
};
