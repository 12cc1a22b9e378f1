#include "sim/TarnSimFaultNames.h"

#include <cstdlib>

namespace tarn {

namespace {

struct FaultName {
    const char* name;
    CTarnSimFault fault;
    CTarnSimStage defaultStage;
    const char* what;
};

const FaultName kFaults[] = {
    {"busy-usb", CTarnSimFault::kBusyUsb, CTarnSimStage::kAnyRequest,
     "answers busy: in USB mode or accessing the SD card"},
    {"busy-recording", CTarnSimFault::kBusyRecording, CTarnSimStage::kAnyRequest,
     "answers busy: recording"},
    {"error", CTarnSimFault::kErrorReply, CTarnSimStage::kAnyRequest, "answers with an error"},
    {"no-reply", CTarnSimFault::kNoReply, CTarnSimStage::kAnyRequest, "does not answer"},
    {"identity-member1", CTarnSimFault::kIdentityMember1, CTarnSimStage::kInquiry,
     "identifies as another member of the family"},
    {"identity-foreign", CTarnSimFault::kIdentityForeign, CTarnSimStage::kInquiry,
     "identifies as another instrument"},
    {"sample-short", CTarnSimFault::kSampleDataShort, CTarnSimStage::kSampleDataRequest,
     "sends sample data 7 bytes short"},
    {"sample-halfway", CTarnSimFault::kSampleDataHalfway, CTarnSimStage::kSampleDataRequest,
     "stops sending sample data halfway"},
};

struct StageName {
    const char* name;
    CTarnSimStage stage;
};

const StageName kStages[] = {
    {"inquiry", CTarnSimStage::kInquiry},
    {"global-request", CTarnSimStage::kGlobalRequest},
    {"program-request", CTarnSimStage::kProgramRequest},
    {"header-request", CTarnSimStage::kHeaderRequest},
    {"sample-request", CTarnSimStage::kSampleDataRequest},
    {"global-dump", CTarnSimStage::kGlobalDump},
    {"program-dump", CTarnSimStage::kProgramDump},
    {"header-dump", CTarnSimStage::kHeaderDump},
    {"sample-dump", CTarnSimStage::kSampleDataDump},
    {"any-request", CTarnSimStage::kAnyRequest},
    {"any-dump", CTarnSimStage::kAnyDump},
};

} // namespace

bool ParseSimFault(const std::string& text, CTarnSimFaultPlan& plan, std::string& error) {
    const size_t colon = text.find(':');
    const std::string mode = text.substr(0, colon);
    std::string stage = colon == std::string::npos ? "" : text.substr(colon + 1);
    std::string skip;
    if (const size_t second = stage.find(':'); second != std::string::npos) {
        skip = stage.substr(second + 1);
        stage.resize(second);
    }
    const FaultName* fault = nullptr;
    for (const FaultName& f : kFaults) {
        if (mode == f.name) {
            fault = &f;
        }
    }
    if (!fault) {
        error = "unknown fault mode \"" + mode + "\"";
        return false;
    }
    CTarnSimFaultPlan result{fault->fault, fault->defaultStage, 0};
    if (colon != std::string::npos) {
        bool found = false;
        for (const StageName& s : kStages) {
            if (stage == s.name) {
                result.stage = s.stage;
                found = true;
            }
        }
        if (!found) {
            error = "unknown fault stage \"" + stage + "\"";
            return false;
        }
    }
    if (!skip.empty()) {
        char* end = nullptr;
        const long count = std::strtol(skip.c_str(), &end, 10);
        if (*end != '\0' || count < 0 || count > 1000000) {
            error = "the number of messages to skip must be 0 or more, not \"" + skip + "\"";
            return false;
        }
        result.skip = static_cast<int>(count);
    }
    plan = result;
    return true;
}

std::string SimFaultHelp() {
    std::string text = "fault modes (MODE[:STAGE[:SKIP]]; fires once, SKIP messages later):\n";
    for (const FaultName& f : kFaults) {
        text += "  " + std::string(f.name) + std::string(18 - std::string(f.name).size(), ' ') +
                f.what + "\n";
    }
    text += "stages:";
    for (const StageName& s : kStages) {
        text += std::string(" ") + s.name;
    }
    return text + "\n";
}

} // namespace tarn
