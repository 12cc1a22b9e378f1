#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliMidiOptions.h"
#include "midi/CTarnMidiManager.h"
#include "platform/CHfcMidiDriver.h"

namespace {

void PrintDevices(const char* title, const std::vector<CHfcMidiDeviceInfo>& devices) {
    std::printf("%s:\n", title);
    if (devices.empty()) {
        std::printf("  (none)\n");
    }
    for (const CHfcMidiDeviceInfo& device : devices) {
        std::printf("  %d: %s", device.index, device.name.c_str());
        if (device.hasIds) {
            std::printf("  [manufacturer %u, product %u]", device.manufacturerId, device.productId);
        }
        std::printf("\n");
    }
}

int RunPorts(const std::vector<std::string>& args) {
    cli::CliMidiOptions options;
    std::string error;
    if (!options.Parse(args, error) || !options.rest.empty()) {
        std::fprintf(stderr, "talvex-cli ports: %s\n",
                     error.empty() ? ("unexpected argument " + options.rest.front()).c_str()
                                   : error.c_str());
        return 2;
    }
    cli::CliMidiSession session;
    if (!session.Open(options)) {
        return 1;
    }
    PrintDevices("MIDI inputs", session.Driver().InputDevices());
    PrintDevices("MIDI outputs", session.Driver().OutputDevices());

    std::string inName;
    std::string outName;
    int inIndex = 0;
    int outIndex = 0;
    session.Manager().Search(0, inName, inIndex);
    session.Manager().Search(1, outName, outIndex);
    if (inIndex < 0 || outIndex < 0) {
        std::fprintf(stderr, "Cannot find TALVEX PRO+.\n");
        session.Close();
        return 1;
    }
    std::printf("TALVEX PRO+ answered: input %d \"%s\", output %d \"%s\"\n", inIndex,
                inName.c_str(), outIndex, outName.c_str());
    return session.Close() ? 0 : 1;
}

CliRegistration reg({"ports",
                     "ports [--virtual-instrument[=FILE.t2a]]  list MIDI ports and find the "
                     "instrument",
                     &RunPorts});

} // namespace
