#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Decodes a compressed audio file (MP3, M4A) to 48000 Hz 32-bit float, one buffer per channel.
class CHfcCompressedAudioDecoder {
public:
    static constexpr int kOutputRate = 48000;

    struct Result {
        // Channels the source has; may be more than the buffers returned.
        int sourceChannels = 0;
        // At most the requested number of channels, all of the same length (the decoded frames).
        std::vector<std::vector<float>> channels;
    };

    virtual ~CHfcCompressedAudioDecoder() = default;

    // Decodes at most maxFrames frames of the first maxChannels channels; longer audio is cut.
    // Returns false when the file cannot be opened or decoded; out is then unspecified.
    virtual bool Decode(const std::string& path, size_t maxFrames, int maxChannels,
                        Result& out) = 0;
};
