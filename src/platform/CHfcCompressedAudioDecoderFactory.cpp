#include "platform/CHfcCompressedAudioDecoderFactory.h"

#ifdef TALVEX_HAVE_FFMPEG
#include "platform/ffmpeg/CHfcFfmpegAudioDecoder.h"
#endif

std::unique_ptr<CHfcCompressedAudioDecoder> CreateCompressedAudioDecoder() {
#ifdef TALVEX_HAVE_FFMPEG
    if (CHfcFfmpegAudioDecoder::IsAvailable()) {
        return std::make_unique<CHfcFfmpegAudioDecoder>();
    }
#endif
    return nullptr;
}
