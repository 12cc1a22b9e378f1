#include "cli/CliMidiOptions.h"

#include <cstdio>

#include "app/CTarnPreferencesData.h"
#include "cli/CliUi.h"
#include "midi/CTarnMidiManager.h"
#include "midi/port/CHfcMidiSystem.h"
#include "platform/CHfcMemoryPreferences.h"
#include "platform/CVirtualMidiDriver.h"
#include "platform/SystemMidiDriver.h"
#include "sim/CTarnVirtualInstrumentSession.h"

namespace cli {

const char* const kMidiOptionsSynopsis =
    "[--in NAME] [--out NAME] [--virtual-instrument[=FILE.t2a]] [--yes]";

namespace {

constexpr const char* kVirtualOption = "--virtual-instrument";

// The index of the first device with the name, or -2.
int IndexOf(const std::vector<CHfcMidiDeviceInfo>& devices, const std::string& name) {
    for (const CHfcMidiDeviceInfo& device : devices) {
        if (device.name == name) {
            return device.index;
        }
    }
    return CTarnPreferencesData::kNoDeviceIndex;
}

} // namespace

bool CliMidiOptions::Parse(const std::vector<std::string>& args, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--in" || arg == "--out") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = arg + " needs a port name";
                return false;
            }
            (arg == "--in" ? in : out) = args[++i];
        } else if (arg.rfind("--in=", 0) == 0) {
            in = arg.substr(5);
        } else if (arg.rfind("--out=", 0) == 0) {
            out = arg.substr(6);
        } else if (arg == kVirtualOption) {
            virtualInstrument = true;
        } else if (arg.rfind(std::string(kVirtualOption) + "=", 0) == 0) {
            virtualInstrument = true;
            virtualFile = arg.substr(std::string(kVirtualOption).size() + 1);
            if (virtualFile.empty()) {
                error = "--virtual-instrument= needs a file name";
                return false;
            }
        } else if (arg == "--yes" || arg == "-y") {
            yes = true;
        } else {
            rest.push_back(arg);
        }
    }
    return true;
}

CliMidiSession::CliMidiSession() = default;

CliMidiSession::~CliMidiSession() {
    Close();
}

bool CliMidiSession::Open(const CliMidiOptions& options) {
    SetAssumeYes(options.yes);
    if (options.virtualInstrument) {
        instrument_ = std::make_unique<CTarnVirtualInstrumentSession>();
        std::string error;
        if (!instrument_->Open(options.virtualFile, error)) {
            std::fprintf(stderr, "talvex-cli: virtual instrument: %s\n", error.c_str());
            instrument_.reset();
            return false;
        }
        driver_ = &instrument_->Driver();
    } else {
        systemDriver_ = CreateSystemMidiDriver();
        driver_ = systemDriver_.get();
    }
    CHfcMidiSystem::SetDriver(driver_);

    store_ = std::make_unique<CHfcMemoryPreferences>();
    preferences_ = std::make_unique<CTarnPreferencesData>(*store_);
    preferences_->ReadAll();
    if (!options.in.empty() || !options.out.empty()) {
        // A device pair usually carries one name for both directions.
        const std::string in = options.in.empty() ? options.out : options.in;
        const std::string out = options.out.empty() ? options.in : options.out;
        preferences_->SetMidiDeviceAutoDetect(false);
        preferences_->SetMidiInDeviceName(in);
        preferences_->SetMidiInDeviceIndex(IndexOf(driver_->InputDevices(), in));
        preferences_->SetMidiOutDeviceName(out);
        preferences_->SetMidiOutDeviceIndex(IndexOf(driver_->OutputDevices(), out));
        if (preferences_->GetMidiInDeviceIndex() == CTarnPreferencesData::kNoDeviceIndex ||
            preferences_->GetMidiOutDeviceIndex() == CTarnPreferencesData::kNoDeviceIndex) {
            std::fprintf(stderr,
                         "talvex-cli: no MIDI %s port named \"%s\" (see talvex-cli ports)\n",
                         preferences_->GetMidiInDeviceIndex() < 0 ? "input" : "output",
                         preferences_->GetMidiInDeviceIndex() < 0 ? in.c_str() : out.c_str());
            return false;
        }
    }
    manager_ = std::make_unique<CTarnMidiManager>(*preferences_, *driver_);
    if (!manager_->Initialize()) {
        std::fprintf(stderr, "talvex-cli: the MIDI thread could not be started\n");
        return false;
    }
    return true;
}

bool CliMidiSession::Close() {
    if (manager_) {
        manager_->Shutdown();
        manager_.reset();
    }
    bool saved = true;
    if (instrument_) {
        std::string error;
        saved = instrument_->Close(error);
        if (!saved) {
            std::fprintf(stderr, "talvex-cli: virtual instrument: %s\n", error.c_str());
        }
        instrument_.reset();
    }
    if (driver_) {
        CHfcMidiSystem::SetDriver(nullptr);
        driver_ = nullptr;
    }
    return saved;
}

} // namespace cli
