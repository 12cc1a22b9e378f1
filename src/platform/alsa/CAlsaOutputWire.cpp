#include "platform/alsa/CAlsaOutputWire.h"

#include <algorithm>

#include "platform/alsa/AlsaEventBytes.h"

namespace {

// The largest SysEx event: the size the kernel itself splits raw MIDI input into.
constexpr size_t kMaxEventBytes = 256;

} // namespace

CAlsaRawMidiWire* CAlsaRawMidiWire::Create(snd_rawmidi_t* device) {
    snd_rawmidi_params_t* params;
    snd_rawmidi_params_alloca(&params);
    if (snd_rawmidi_nonblock(device, 0) < 0 || snd_rawmidi_params_current(device, params) < 0) {
        snd_rawmidi_close(device);
        return nullptr;
    }
    return new CAlsaRawMidiWire(device, snd_rawmidi_params_get_buffer_size(params));
}

CAlsaRawMidiWire::~CAlsaRawMidiWire() {
    // Closing lets the kernel send what is still in the buffer.
    snd_rawmidi_close(device_);
}

int CAlsaRawMidiWire::Write(const uint8_t* bytes, size_t length) {
    while (length > 0) {
        const ssize_t n = snd_rawmidi_write(device_, bytes, length);
        if (n < 0) {
            return static_cast<int>(n);
        }
        bytes += n;
        length -= static_cast<size_t>(n);
        written_ += static_cast<uint64_t>(n);
    }
    return 0;
}

uint64_t CAlsaRawMidiWire::Sent() {
    snd_rawmidi_status_t* status;
    snd_rawmidi_status_alloca(&status);
    if (snd_rawmidi_status(device_, status) < 0) {
        return 0;
    }
    const size_t avail = std::min(snd_rawmidi_status_get_avail(status), bufferSize_);
    const uint64_t buffered = bufferSize_ - avail;
    return written_ > buffered ? written_ - buffered : 0;
}

int CAlsaRawMidiWire::Drain() {
    return snd_rawmidi_drain(device_);
}

CAlsaClock::Duration CAlsaSequencerWire::WireTime(size_t bytes) const {
    return std::chrono::nanoseconds(static_cast<int64_t>(bytes * 1000000000ull / bytesPerSecond_));
}

int CAlsaSequencerWire::Write(const uint8_t* bytes, size_t length) {
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    if (alsa_bytes::ToEvent(bytes, length, ev)) {
        return Event(ev, length); // a short message as the event any program understands
    }
    // SysEx and its continuation pieces travel as raw bytes, exactly as given.
    for (size_t pos = 0; pos < length;) {
        const size_t count = std::min(kMaxEventBytes, length - pos);
        snd_seq_ev_clear(&ev);
        snd_seq_ev_set_sysex(&ev, static_cast<unsigned>(count), const_cast<uint8_t*>(bytes + pos));
        if (const int err = Event(ev, count); err < 0) {
            return err;
        }
        pos += count;
    }
    return 0;
}

int CAlsaSequencerWire::Event(snd_seq_event_t& ev, size_t wireBytes) {
    // Waits until the bytes fit beside what the wire still has to send.
    for (;;) {
        const CAlsaClock::Duration now = clock_.Now();
        const CAlsaClock::Duration backlog = std::max(wireFree_ - now, CAlsaClock::Duration(0));
        if (backlog.count() == 0 || backlog + WireTime(wireBytes) <= WireTime(kAheadBytes)) {
            break;
        }
        clock_.SleepUntil(wireFree_ - (WireTime(kAheadBytes) - WireTime(wireBytes)));
    }
    // No retry: a refused event may already have reached some subscriber, and pacing keeps the
    // receiver from filling up in the first place.
    if (const int err = output_(ev); err < 0) {
        return err;
    }
    wireFree_ = std::max(wireFree_, clock_.Now()) + WireTime(wireBytes);
    written_ += wireBytes;
    return 0;
}

uint64_t CAlsaSequencerWire::Sent() {
    const CAlsaClock::Duration backlog =
        std::max(wireFree_ - clock_.Now(), CAlsaClock::Duration(0));
    const uint64_t buffered =
        (static_cast<uint64_t>(backlog.count()) * bytesPerSecond_ + 999999999ull) / 1000000000ull;
    return written_ > buffered ? written_ - buffered : 0;
}

int CAlsaSequencerWire::Drain() {
    clock_.SleepUntil(wireFree_);
    return 0;
}
