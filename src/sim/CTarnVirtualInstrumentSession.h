#pragma once

#include <memory>
#include <string>

class CTarnVirtualInstrumentDevice;
class CVirtualMidiDriver;

// What --virtual-instrument[=FILE.t2a] sets up for a front end (the command-line tool, the
// editor): an in-process MIDI system holding one virtual instrument. With a file, the instrument
// starts from the file's data (the editor's defaults when it does not exist yet) and its memory
// is written back by Close.
class CTarnVirtualInstrumentSession {
public:
    CTarnVirtualInstrumentSession();
    // Closes the session (writing the memory back) when Close was not called.
    ~CTarnVirtualInstrumentSession();
    CTarnVirtualInstrumentSession(const CTarnVirtualInstrumentSession&) = delete;
    CTarnVirtualInstrumentSession& operator=(const CTarnVirtualInstrumentSession&) = delete;

    // False, with the reason in error, when the file exists but cannot be read; nothing is
    // written back to it then.
    bool Open(const std::string& file, std::string& error);
    // Waits for the instrument to finish and writes its memory to the file; false, with the
    // reason in error, when that failed. The file's previous contents survive a failed write.
    bool Close(std::string& error);

    CVirtualMidiDriver& Driver() { return *driver_; }
    CTarnVirtualInstrumentDevice& Instrument() { return *instrument_; }

private:
    std::unique_ptr<CVirtualMidiDriver> driver_;
    std::unique_ptr<CTarnVirtualInstrumentDevice> instrument_;
    std::string file_;
};
