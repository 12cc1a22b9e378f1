// talvex-sim: the virtual instrument on a port of the ALSA sequencer, so that the editor (or any
// other program) can talk to it on a Linux desktop without the hardware. Its memory lives in an
// all-data file: read at start (the editor's defaults when the file does not exist yet) and
// written back when the program ends (Ctrl+C).

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/EfTrace.h"
#include "sim/CTarnSimMemoryIo.h"
#include "sim/CTarnSimOutput.h"
#include "sim/CTarnVirtualInstrument.h"
#include "sim/CTarnVirtualInstrumentDevice.h"
#include "sim/TarnSimFaultNames.h"

#ifdef TALVEX_HAVE_ALSA
#include "platform/alsa/CAlsaVirtualMidiPort.h"
#endif

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
    stopRequested = 1;
}

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: talvex-sim FILE.t2a [--name NAME] [--device-id N] [--rate BYTES_PER_S]\n"
                 "                  [--fault MODE[:STAGE]]\n"
                 "       talvex-sim --help | --version\n"
                 "Puts a virtual TALVEX PRO+ on an ALSA sequencer port. FILE.t2a holds its\n"
                 "memory: read at start, written back when the program ends (Ctrl+C).\n"
                 "--rate paces both directions in bytes per second: 3125 behaves like a DIN\n"
                 "MIDI cable, the default 100000 like USB-MIDI; 0 does not pace at all.\n"
                 "--fault makes the instrument get one message wrong on purpose.\n"
                 "Virtual instrument %s",
                 tarn::SimFaultHelp().c_str());
}

#ifdef TALVEX_HAVE_ALSA
// Joins the instrument to the sequencer port in both directions.
class CAlsaLink : public CTarnSimOutput, public CHfcMidiInputSink {
public:
    CAlsaVirtualMidiPort port;
    CTarnVirtualInstrument* instrument = nullptr;

    void OnSimOutput(const uint8_t* bytes, size_t length) override { port.Send(bytes, length); }
    void OnHfcMidiInputData(const uint8_t* bytes, size_t length) override {
        if (instrument) {
            instrument->Input(bytes, length);
        }
    }
};
#endif

} // namespace

int main(int argc, char** argv) {
    EfTraceEnableFromEnvironment();
    std::string file;
    std::string name = CTarnVirtualInstrumentDevice::kDefaultName;
    int deviceId = 0;
    // Paced like a USB-MIDI cable by default: unpaced, a dump floods whatever reads the port.
    int rate = 100000;
    CTarnSimFaultPlan fault;
    bool faultArmed = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--name" && hasValue) {
            name = argv[++i];
        } else if (arg == "--device-id" && hasValue) {
            deviceId = std::atoi(argv[++i]);
        } else if ((arg == "--fault" && hasValue) || arg.rfind("--fault=", 0) == 0) {
            const std::string text = arg == "--fault" ? std::string(argv[++i]) : arg.substr(8);
            std::string faultError;
            if (!tarn::ParseSimFault(text, fault, faultError)) {
                std::fprintf(stderr, "talvex-sim: %s\n", faultError.c_str());
                return 2;
            }
            faultArmed = true;
        } else if (arg == "--rate" && hasValue) {
            rate = std::atoi(argv[++i]);
        } else if (arg == "-h" || arg == "--help") {
            PrintUsage();
            return 0;
        } else if (arg == "--version") {
            std::puts("talvex-sim 1.0.0");
            return 0;
        } else if (file.empty() && arg[0] != '-') {
            file = arg;
        } else {
            PrintUsage();
            return 2;
        }
    }
    if (file.empty() || deviceId < 0 || deviceId > 0x7F || rate < 0) {
        PrintUsage();
        return 2;
    }
    CTarnSimMemory memory = CTarnSimMemoryIo::Defaults();
    struct stat info;
    std::string error;
    if (stat(file.c_str(), &info) == 0 && !CTarnSimMemoryIo::Load(file, memory, error)) {
        std::fprintf(stderr, "talvex-sim: %s\n", error.c_str());
        return 1;
    }

#ifdef TALVEX_HAVE_ALSA
    CAlsaLink link;
    if (!link.port.Open(name, name, static_cast<size_t>(rate), link, error)) {
        std::fprintf(stderr, "talvex-sim: %s\n", error.c_str());
        return 1;
    }
    CTarnVirtualInstrument instrument(link, static_cast<uint8_t>(deviceId));
    instrument.SetMemory(memory);
    instrument.SetByteRate(rate);
    if (faultArmed) {
        instrument.ArmFault(fault);
    }
    link.instrument = &instrument;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::printf("talvex-sim: \"%s\" on ALSA sequencer port %s, memory in %s\n", name.c_str(),
                link.port.Address().c_str(), file.c_str());
    std::fflush(stdout);
    while (!stopRequested) {
        usleep(100000);
    }
    link.port.Close();
    link.instrument = nullptr;
    instrument.WaitIdle(std::chrono::seconds(5));
    if (!CTarnSimMemoryIo::Save(file, instrument.Memory(), error)) {
        std::fprintf(stderr, "talvex-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("talvex-sim: memory written to %s\n", file.c_str());
    return 0;
#else
    std::fprintf(stderr, "talvex-sim: this build has no ALSA sequencer support\n");
    return 1;
#endif
}
