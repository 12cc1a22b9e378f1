#pragma once

#include <memory>

#include "platform/CHfcCompressedAudioDecoder.h"

// The decoder of this build, or null when compressed audio cannot be read: the program was built
// without FFmpeg, or the MP3 or AAC decoder is missing from the FFmpeg found at run time.
std::unique_ptr<CHfcCompressedAudioDecoder> CreateCompressedAudioDecoder();
