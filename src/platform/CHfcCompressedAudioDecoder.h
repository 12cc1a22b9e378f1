#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "framework/CEfFileIO.h"

// Decodes a compressed audio file (MP3, M4A, FLAC, Ogg, ...) to 48000 Hz 32-bit float, one buffer
// per channel.
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

    // The file extensions this decoder reads here and now, lower case without the dot ("mp3",
    // "m4a", "flac", ...): those whose container and codec the libraries found at run time have.
    virtual std::vector<std::string> Extensions() const = 0;

    // Whether the text after the last '.' of the path's file name is one of Extensions(), in any
    // case.
    bool TakesFileName(const std::string& path) const {
        const std::string extension = CEfFileIO::LowerExtensionOf(path);
        if (extension.empty()) {
            return false;
        }
        const std::vector<std::string> list = Extensions();
        return std::find(list.begin(), list.end(), extension) != list.end();
    }
};
