#pragma once

#include <string>

class CHfcCompressedAudioDecoder;
class CTarnSampleData;

// Reads compressed audio (MP3, M4A, FLAC, ...) into a bank through the platform's decoder: 48 kHz,
// at most the bank's 424960 frames, levels above full scale brought down to it, mono copied to
// both channels and channels after the second dropped; the tempo is guessed from the length.
class CTarnCompressedAudioReader {
public:
    explicit CTarnCompressedAudioReader(CHfcCompressedAudioDecoder& decoder) : decoder_(decoder) {}

    // Throws CTarnFileException 14 when the file cannot be decoded, 5 when the bank's buffer
    // cannot be allocated.
    bool Read(CTarnSampleData& sample, const std::string& path);

private:
    CHfcCompressedAudioDecoder& decoder_;
};
