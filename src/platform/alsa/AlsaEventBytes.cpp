#include "platform/alsa/AlsaEventBytes.h"

#include <cstring>

namespace alsa_bytes {

size_t MessageLength(uint8_t status) {
    if (status < 0xc0 || (status >= 0xe0 && status < 0xf0)) {
        return 3;
    }
    if (status < 0xe0 || status == 0xf1 || status == 0xf3) {
        return 2;
    }
    return status == 0xf2 ? 3 : 1;
}

namespace {

struct RealTime {
    snd_seq_event_type_t type;
    uint8_t byte;
};

constexpr RealTime kSystem[] = {
    {SND_SEQ_EVENT_TUNE_REQUEST, 0xf6}, {SND_SEQ_EVENT_CLOCK, 0xf8},    {SND_SEQ_EVENT_TICK, 0xf9},
    {SND_SEQ_EVENT_START, 0xfa},        {SND_SEQ_EVENT_CONTINUE, 0xfb}, {SND_SEQ_EVENT_STOP, 0xfc},
    {SND_SEQ_EVENT_SENSING, 0xfe},      {SND_SEQ_EVENT_RESET, 0xff},
};

} // namespace

size_t FromEvent(const snd_seq_event_t& ev, uint8_t* out) {
    const uint8_t channel = ev.data.note.channel & 0x0f;
    switch (ev.type) {
    case SND_SEQ_EVENT_NOTEON:
    case SND_SEQ_EVENT_NOTEOFF:
    case SND_SEQ_EVENT_KEYPRESS:
        out[0] = static_cast<uint8_t>((ev.type == SND_SEQ_EVENT_NOTEON    ? 0x90
                                       : ev.type == SND_SEQ_EVENT_NOTEOFF ? 0x80
                                                                          : 0xa0) |
                                      channel);
        out[1] = ev.data.note.note & 0x7f;
        out[2] = ev.data.note.velocity & 0x7f;
        return 3;
    case SND_SEQ_EVENT_CONTROLLER:
        out[0] = static_cast<uint8_t>(0xb0 | (ev.data.control.channel & 0x0f));
        out[1] = ev.data.control.param & 0x7f;
        out[2] = ev.data.control.value & 0x7f;
        return 3;
    case SND_SEQ_EVENT_PGMCHANGE:
    case SND_SEQ_EVENT_CHANPRESS:
        out[0] = static_cast<uint8_t>((ev.type == SND_SEQ_EVENT_PGMCHANGE ? 0xc0 : 0xd0) |
                                      (ev.data.control.channel & 0x0f));
        out[1] = ev.data.control.value & 0x7f;
        return 2;
    case SND_SEQ_EVENT_PITCHBEND: {
        const int value = ev.data.control.value + 8192;
        out[0] = static_cast<uint8_t>(0xe0 | (ev.data.control.channel & 0x0f));
        out[1] = value & 0x7f;
        out[2] = (value >> 7) & 0x7f;
        return 3;
    }
    case SND_SEQ_EVENT_SONGPOS:
        out[0] = 0xf2;
        out[1] = ev.data.control.value & 0x7f;
        out[2] = (ev.data.control.value >> 7) & 0x7f;
        return 3;
    case SND_SEQ_EVENT_SONGSEL:
    case SND_SEQ_EVENT_QFRAME:
        out[0] = ev.type == SND_SEQ_EVENT_SONGSEL ? 0xf3 : 0xf1;
        out[1] = ev.data.control.value & 0x7f;
        return 2;
    default:
        for (const RealTime& r : kSystem) {
            if (r.type == ev.type) {
                out[0] = r.byte;
                return 1;
            }
        }
        return 0;
    }
}

bool ToEvent(const uint8_t* b, size_t length, snd_seq_event_t& ev) {
    if (length == 0 || b[0] < 0x80 || b[0] == 0xf0 || b[0] == 0xf7 ||
        length != MessageLength(b[0])) {
        return false;
    }
    for (size_t i = 1; i < length; ++i) {
        if (b[i] >= 0x80) {
            return false;
        }
    }
    const uint8_t channel = b[0] & 0x0f;
    switch (b[0] & 0xf0) {
    case 0x80:
    case 0x90:
    case 0xa0:
        ev.type = (b[0] & 0xf0) == 0x90   ? SND_SEQ_EVENT_NOTEON
                  : (b[0] & 0xf0) == 0x80 ? SND_SEQ_EVENT_NOTEOFF
                                          : SND_SEQ_EVENT_KEYPRESS;
        ev.data.note.channel = channel;
        ev.data.note.note = b[1];
        ev.data.note.velocity = b[2];
        return true;
    case 0xb0:
        ev.type = SND_SEQ_EVENT_CONTROLLER;
        ev.data.control.channel = channel;
        ev.data.control.param = b[1];
        ev.data.control.value = b[2];
        return true;
    case 0xc0:
    case 0xd0:
        ev.type = (b[0] & 0xf0) == 0xc0 ? SND_SEQ_EVENT_PGMCHANGE : SND_SEQ_EVENT_CHANPRESS;
        ev.data.control.channel = channel;
        ev.data.control.value = b[1];
        return true;
    case 0xe0:
        ev.type = SND_SEQ_EVENT_PITCHBEND;
        ev.data.control.channel = channel;
        ev.data.control.value = (b[1] | (b[2] << 7)) - 8192;
        return true;
    default:
        break;
    }
    switch (b[0]) {
    case 0xf2:
        ev.type = SND_SEQ_EVENT_SONGPOS;
        ev.data.control.value = b[1] | (b[2] << 7);
        return true;
    case 0xf3:
    case 0xf1:
        ev.type = b[0] == 0xf3 ? SND_SEQ_EVENT_SONGSEL : SND_SEQ_EVENT_QFRAME;
        ev.data.control.value = b[1];
        return true;
    default:
        for (const RealTime& r : kSystem) {
            if (r.byte == b[0]) {
                ev.type = r.type;
                return true;
            }
        }
        return false;
    }
}

} // namespace alsa_bytes
