#pragma once

#include "platform/CHfcCompressedAudioDecoder.h"

// Compressed audio through libavformat, libavcodec and libswresample.
class CHfcFfmpegAudioDecoder : public CHfcCompressedAudioDecoder {
public:
    // True when the FFmpeg libraries loaded at run time can decode both MP3 and AAC.
    static bool IsAvailable();

    bool Decode(const std::string& path, size_t maxFrames, int maxChannels, Result& out) override;
    std::vector<std::string> Extensions() const override;
};
