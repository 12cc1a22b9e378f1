#include "data/CTarnFileException.h"

namespace {

// "MP3 and M4A files cannot be imported because no MP3 or AAC decoder is available."
constexpr int kMessageNoDecoder = 35;

} // namespace

int CTarnFileException::MessageOf(int code) const {
    if (code == kNoDecoder) {
        return kMessageNoDecoder;
    }
    return code >= 0 && code <= kAudioReadFailed ? code + 1 : 0;
}
