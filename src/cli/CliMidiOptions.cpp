#include "cli/CliMidiOptions.h"

#include <cstdio>
#include <cstdlib>

#include "app/CTarnPreferencesData.h"
#include "cli/CliBackends.h"
#include "cli/CliUi.h"
#include "midi/CTarnMidiManager.h"
#include "midi/port/CHfcMidiSystem.h"
#include "platform/CHfcBackendModule.h"
#include "platform/CHfcMemoryPreferences.h"
#include "platform/CVirtualMidiDriver.h"
#include "platform/SystemMidiDriver.h"
#include "sim/CTarnVirtualInstrument.h"
#include "sim/CTarnVirtualInstrumentDevice.h"
#include "sim/CTarnVirtualInstrumentSession.h"
#include "sim/TarnSimFaultNames.h"

namespace cli {

const char* const kMidiOptionsSynopsis =
    "[--in NAME] [--out NAME] [--virtual-instrument[=FILE.t2a]] "
    "[--virtual-instrument-fault=MODE[:STAGE]] [--virtual-instrument-rate=BYTES_PER_S] [--yes]";

namespace {

constexpr const char* kVirtualOption = "--virtual-instrument";
constexpr const char* kFaultOption = "--virtual-instrument-fault=";
constexpr const char* kRateOption = "--virtual-instrument-rate=";

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
        } else if (arg.rfind(kFaultOption, 0) == 0) {
            if (!tarn::ParseSimFault(arg.substr(std::string(kFaultOption).size()), fault, error)) {
                return false;
            }
            faultArmed = true;
        } else if (arg.rfind(kRateOption, 0) == 0) {
            const std::string value = arg.substr(std::string(kRateOption).size());
            char* end = nullptr;
            const long bytes = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || bytes < 0 || bytes > 100000000) {
                error = "--virtual-instrument-rate wants bytes per second from 0 to 100000000";
                return false;
            }
            rate = static_cast<int>(bytes);
        } else if (arg == "--yes" || arg == "-y") {
            yes = true;
        } else {
            rest.push_back(arg);
        }
    }
    if ((faultArmed || rate >= 0) && !virtualInstrument) {
        error =
            "--virtual-instrument-fault and --virtual-instrument-rate need --virtual-instrument";
        return false;
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
        CTarnVirtualInstrument& instrument = instrument_->Instrument().Instrument();
        if (options.faultArmed) {
            instrument.ArmFault(options.fault);
        }
        if (options.rate >= 0) {
            instrument.SetByteRate(options.rate);
        }
    } else {
        systemDriver_ = CreateSystemMidiDriver();
        driver_ = systemDriver_.get();
        ReportUnavailableBackend(AlsaBackendModule());
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
