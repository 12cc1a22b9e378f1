#pragma once

#include <memory>
#include <string>

class CHfcMidiDriver;
class CTarnVirtualInstrumentSession;

// The MIDI system of one editor run: the computer's own, or, with --virtual-instrument, an
// in-process virtual instrument exactly as the command-line tool sets it up (its memory written
// back to its file at the end). Installed as the process's MIDI system while it lives.
class CTarnEditorMidi {
public:
    CTarnEditorMidi();
    ~CTarnEditorMidi();
    CTarnEditorMidi(const CTarnEditorMidi&) = delete;
    CTarnEditorMidi& operator=(const CTarnEditorMidi&) = delete;

    // False, with the reason in error, when the virtual instrument's file cannot be read.
    bool Open(bool virtualInstrument, const std::string& file, std::string& error);
    // Uninstalls the system and writes the virtual instrument's memory back; false, with the
    // reason in error, when that failed.
    bool Close(std::string& error);

    CHfcMidiDriver* Driver() const { return driver_; }
    CTarnVirtualInstrumentSession* VirtualInstrument() const { return instrument_.get(); }

private:
    std::unique_ptr<CHfcMidiDriver> systemDriver_;
    std::unique_ptr<CTarnVirtualInstrumentSession> instrument_;
    CHfcMidiDriver* driver_ = nullptr;
};
