#pragma once

#include <alsa/asoundlib.h>

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/alsa/CAlsaClock.h"

// Where an output port's bytes go and how far they have got: written blocks until the device
// has room, Sent tells how many of the bytes written have left the wire, Drain waits until all
// have. Errors are negative errno values. Used from one thread at a time.
class CAlsaOutputWire {
public:
    virtual ~CAlsaOutputWire() = default;
    virtual int Write(const uint8_t* bytes, size_t length) = 0;
    virtual uint64_t Sent() = 0;
    virtual int Drain() = 0;
};

// A raw MIDI device opened for blocking writes; its buffer status tells what has left.
class CAlsaRawMidiWire : public CAlsaOutputWire {
public:
    // Takes the open device; null when it cannot be made blocking.
    static CAlsaRawMidiWire* Create(snd_rawmidi_t* device);
    ~CAlsaRawMidiWire() override;
    int Write(const uint8_t* bytes, size_t length) override;
    uint64_t Sent() override;
    int Drain() override;

private:
    CAlsaRawMidiWire(snd_rawmidi_t* device, size_t bufferSize)
        : device_(device), bufferSize_(bufferSize) {}
    snd_rawmidi_t* device_;
    size_t bufferSize_;
    uint64_t written_ = 0;
};

// Events through the sequencer, paced at a byte rate: the device's buffer is never given more
// than it can have sent at that rate plus a little ahead, and a byte counts as sent once the
// rate says it has left.
class CAlsaSequencerWire : public CAlsaOutputWire {
public:
    // Sends one event; a negative errno when the sequencer refused it.
    using Output = std::function<int(snd_seq_event_t&)>;
    // Bytes handed over ahead of the wire: a quarter of the kernel bridge's 4096-byte buffer,
    // so that a device a little slower than its nominal rate still loses nothing.
    static constexpr size_t kAheadBytes = 1024;

    CAlsaSequencerWire(Output output, CAlsaClock& clock, size_t bytesPerSecond)
        : output_(std::move(output)), clock_(clock), bytesPerSecond_(bytesPerSecond) {}
    int Write(const uint8_t* bytes, size_t length) override;
    uint64_t Sent() override;
    int Drain() override;

private:
    int Event(snd_seq_event_t& event, size_t wireBytes);
    CAlsaClock::Duration WireTime(size_t bytes) const;

    Output output_;
    CAlsaClock& clock_;
    size_t bytesPerSecond_;
    uint64_t written_ = 0;
    // When the wire has sent everything handed over so far.
    CAlsaClock::Duration wireFree_{0};
};
