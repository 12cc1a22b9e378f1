#include "midi/port/CHfcMidiMessage.h"

#include <algorithm>

CHfcMidiMessage::CHfcMidiMessage(uint8_t status) : bytes_{status} {}

CHfcMidiMessage::CHfcMidiMessage(uint8_t status, uint8_t data1) : bytes_{status, data1} {}

CHfcMidiMessage::CHfcMidiMessage(uint8_t status, uint8_t data1, uint8_t data2)
    : bytes_{status, data1, data2} {}

CHfcMidiMessage::CHfcMidiMessage(const uint8_t* bytes, size_t length) {
    if (bytes && length > 0) {
        bytes_.assign(bytes, bytes + length);
    }
}

CHfcMidiMessage CHfcMidiMessage::Meta(uint8_t type, const uint8_t* data, size_t length) {
    size_t kept = data ? std::min<size_t>(length, 0xff) : 0;
    CHfcMidiMessage message;
    message.bytes_.resize(3 + kept);
    message.bytes_[0] = 0xff;
    message.bytes_[1] = static_cast<uint8_t>(type & 0x7f);
    message.bytes_[2] = static_cast<uint8_t>(kept);
    std::copy(data, data + kept, message.bytes_.begin() + 3);
    return message;
}

bool CHfcMidiMessage::IsMetaEvent() const {
    return bytes_.size() >= 3 && bytes_[0] == 0xff;
}

int CHfcMidiMessage::MetaType() const {
    return IsMetaEvent() ? bytes_[1] : -1;
}

size_t CHfcMidiMessage::MetaLength() const {
    return IsMetaEvent() ? std::min<size_t>(bytes_[2], bytes_.size() - 3) : 0;
}

const uint8_t* CHfcMidiMessage::MetaData() const {
    return MetaLength() > 0 ? bytes_.data() + 3 : nullptr;
}

std::string CHfcMidiMessage::MetaText() const {
    const uint8_t* data = MetaData();
    return data ? std::string(reinterpret_cast<const char*>(data), MetaLength()) : std::string();
}

int CHfcMidiMessage::Channel() const {
    uint8_t status = Status();
    return status >= 0x80 && status <= 0xef ? status & 0x0f : -1;
}

void CHfcMidiMessage::SetChannel(int channel) {
    if (Channel() >= 0) {
        bytes_[0] = static_cast<uint8_t>((bytes_[0] & 0xf0) | (channel & 0x0f));
    }
}

bool CHfcMidiMessage::IsNoteOn() const {
    return StatusKind() == 0x90;
}

bool CHfcMidiMessage::IsNoteOff() const {
    return StatusKind() == 0x80;
}

bool CHfcMidiMessage::IsNote() const {
    return IsNoteOn() || IsNoteOff();
}

bool CHfcMidiMessage::IsControlChange() const {
    return StatusKind() == 0xb0;
}

bool CHfcMidiMessage::IsPitchBend() const {
    return StatusKind() == 0xe0;
}

bool CHfcMidiMessage::IsProgramChange() const {
    return StatusKind() == 0xc0;
}

bool CHfcMidiMessage::IsSysEx() const {
    return Status() == 0xf0;
}

bool CHfcMidiMessage::IsClock() const {
    return Status() == 0xf8;
}

uint8_t CHfcMidiMessage::Status() const {
    return At(0);
}

uint8_t CHfcMidiMessage::FirstData() const {
    return At(1);
}

uint8_t CHfcMidiMessage::SecondData() const {
    return At(2);
}
