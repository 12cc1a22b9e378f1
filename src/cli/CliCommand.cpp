#include "cli/CliCommand.h"

namespace {

std::vector<CliCommand>& Registry() {
    static std::vector<CliCommand> commands;
    return commands;
}

} // namespace

const std::vector<CliCommand>& CliCommands() {
    return Registry();
}

CliRegistration::CliRegistration(const CliCommand& command) {
    Registry().push_back(command);
}
