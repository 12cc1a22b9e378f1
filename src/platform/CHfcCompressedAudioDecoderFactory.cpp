#include "platform/CHfcCompressedAudioDecoderFactory.h"

#include "platform/CHfcBackendModule.h"
#include "platform/HfcBackendModuleAbi.h"

std::unique_ptr<CHfcCompressedAudioDecoder> CreateCompressedAudioDecoder() {
#ifdef TALVEX_HAVE_FFMPEG
    using Create = CHfcCompressedAudioDecoder* (*)();
    if (const auto create =
            reinterpret_cast<Create>(FfmpegBackendModule().Function(kHfcCreateDecoderSymbol))) {
        return std::unique_ptr<CHfcCompressedAudioDecoder>(create());
    }
#endif
    return nullptr;
}
