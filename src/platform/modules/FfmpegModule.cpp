// talvex-backend-ffmpeg.so: compressed audio through FFmpeg.
#include "platform/HfcBackendModuleAbi.h"
#include "platform/ffmpeg/CHfcFfmpegAudioDecoder.h"

TALVEX_BACKEND_EXPORT int TalvexBackendAbiVersion() {
    return kHfcBackendAbiVersion;
}

// No exception leaves a module. Null when the FFmpeg found at run time lacks the decoders this
// program needs.
TALVEX_BACKEND_EXPORT CHfcCompressedAudioDecoder* TalvexBackendCreateDecoder() {
    try {
        return CHfcFfmpegAudioDecoder::IsAvailable() ? new CHfcFfmpegAudioDecoder() : nullptr;
    } catch (...) {
        return nullptr;
    }
}
