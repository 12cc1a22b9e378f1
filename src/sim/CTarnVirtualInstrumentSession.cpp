#include "sim/CTarnVirtualInstrumentSession.h"

#include <sys/stat.h>

#include "platform/CVirtualMidiDriver.h"
#include "sim/CTarnSimMemoryIo.h"
#include "sim/CTarnVirtualInstrumentDevice.h"

CTarnVirtualInstrumentSession::CTarnVirtualInstrumentSession()
    : driver_(std::make_unique<CVirtualMidiDriver>()) {}

CTarnVirtualInstrumentSession::~CTarnVirtualInstrumentSession() {
    std::string error;
    Close(error);
}

bool CTarnVirtualInstrumentSession::Open(const std::string& file, std::string& error) {
    CTarnSimMemory memory;
    struct stat info;
    const bool fromFile = !file.empty() && stat(file.c_str(), &info) == 0;
    if (fromFile && !CTarnSimMemoryIo::Load(file, memory, error)) {
        return false;
    }
    instrument_ = std::make_unique<CTarnVirtualInstrumentDevice>(*driver_);
    if (fromFile) {
        instrument_->Instrument().SetMemory(memory);
    }
    file_ = file;
    return true;
}

bool CTarnVirtualInstrumentSession::Close(std::string& error) {
    if (!instrument_) {
        return true;
    }
    instrument_->WaitIdle();
    bool saved = true;
    if (!file_.empty()) {
        saved = CTarnSimMemoryIo::Save(file_, instrument_->Instrument().Memory(), error);
    }
    instrument_.reset();
    return saved;
}
