#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One MIDI message as handed to listeners: its bytes and helpers to read channel messages and
// meta events.
class CHfcMidiMessage {
public:
    CHfcMidiMessage() = default;
    explicit CHfcMidiMessage(uint8_t status);
    CHfcMidiMessage(uint8_t status, uint8_t data1);
    CHfcMidiMessage(uint8_t status, uint8_t data1, uint8_t data2);
    CHfcMidiMessage(const uint8_t* bytes, size_t length);

    // A meta event: FF, type & 7F, data length (one byte, so at most 255 data bytes), data.
    static CHfcMidiMessage Meta(uint8_t type, const uint8_t* data, size_t length);

    const uint8_t* Data() const { return bytes_.data(); }
    size_t Length() const { return bytes_.size(); }

    bool IsMetaEvent() const;
    int MetaType() const; // -1 when not a meta event
    size_t MetaLength() const;
    const uint8_t* MetaData() const; // null when there is no meta data
    std::string MetaText() const;

    int Channel() const; // -1 unless a channel message (status 80 to EF)
    void SetChannel(int channel);

    bool IsNoteOn() const;
    bool IsNoteOff() const;
    bool IsNote() const;
    bool IsControlChange() const;
    bool IsPitchBend() const;
    bool IsProgramChange() const;
    bool IsSysEx() const;
    bool IsClock() const;

    uint8_t Status() const;     // 0 when empty
    uint8_t FirstData() const;  // 0 when absent
    uint8_t SecondData() const; // 0 when absent

private:
    uint8_t At(size_t i) const { return i < bytes_.size() ? bytes_[i] : 0; }
    uint8_t StatusKind() const { return Status() & 0xf0; }

    std::vector<uint8_t> bytes_;
};
