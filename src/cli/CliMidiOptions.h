#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/CTarnSimFault.h"

class CHfcMidiDriver;
class CHfcMemoryPreferences;
class CTarnMidiManager;
class CTarnPreferencesData;
class CTarnVirtualInstrumentSession;

namespace cli {

// The options every MIDI command takes, anywhere after the command name:
//   --in NAME, --out NAME    the ports to use (either alone names both); otherwise the
//                            instrument is found automatically
//   --virtual-instrument[=FILE.t2a]
//                            talk to an in-process virtual instrument instead of the computer's
//                            MIDI system; with a file it starts from that file's data and writes
//                            its memory back to it at the end
//   --virtual-instrument-fault=MODE[:STAGE[:SKIP]]
//                            the virtual instrument gets one message wrong on purpose
//   --virtual-instrument-rate=BYTES_PER_S
//                            the virtual instrument's wire speed (0: not paced)
//   --yes                    answer every question with Yes
struct CliMidiOptions {
    std::string in;
    std::string out;
    bool virtualInstrument = false;
    std::string virtualFile;
    bool faultArmed = false;
    CTarnSimFaultPlan fault;
    // -1 leaves the instrument's own speed.
    int rate = -1;
    bool yes = false;
    // Everything that is not one of the options above, in order.
    std::vector<std::string> rest;

    // False, with the reason in error, on a malformed option.
    bool Parse(const std::vector<std::string>& args, std::string& error);
};

// Text for the usage lines of the MIDI commands.
extern const char* const kMidiOptionsSynopsis;

// The MIDI system, preferences and transfer manager of one command run. With a virtual
// instrument file, the instrument's memory is written back when the session ends.
class CliMidiSession {
public:
    CliMidiSession();
    ~CliMidiSession();
    CliMidiSession(const CliMidiSession&) = delete;
    CliMidiSession& operator=(const CliMidiSession&) = delete;

    // False, with the reason printed, when the session cannot start.
    bool Open(const CliMidiOptions& options);
    // Writes the virtual instrument's memory back to its file; false when that failed.
    bool Close();

    CTarnMidiManager& Manager() { return *manager_; }
    CHfcMidiDriver& Driver() { return *driver_; }

private:
    std::unique_ptr<CHfcMidiDriver> systemDriver_;
    std::unique_ptr<CTarnVirtualInstrumentSession> instrument_;
    CHfcMidiDriver* driver_ = nullptr;
    std::unique_ptr<CHfcMemoryPreferences> store_;
    std::unique_ptr<CTarnPreferencesData> preferences_;
    std::unique_ptr<CTarnMidiManager> manager_;
};

} // namespace cli
