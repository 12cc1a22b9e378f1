#pragma once

#include "audio/CEfAudioFileIO.h"

// AIFF and uncompressed AIFF-C ("NONE", "twos", "sowt", "fl32", "fl64", ...): reads 8 to 32-bit
// integer or 32/64-bit float samples at 8 to 192 kHz with any number of channels into a bank
// (see tarn::ImportSourceFrames; tempo guessed from the length, AIFF carries none that is read),
// its chunks in any order; writes a bank's play range as 16-bit AIFF. The current setting is
// neither read nor written.
class CTarnAiffFileIO : public CEfAudioFileIO {
public:
    // Throws CTarnFileException 2 (no sound data present), 4 (not AIFF), 5, or, naming the
    // file's format on a second line, 7, 8, 9 or 11 (compressed AIFF-C).
    bool Read(CTarnSampleData& sample, CTarnCurrentSettingData* setting, CHfcFile& file) override;
    bool Write(const CTarnSampleData& sample, const CTarnCurrentSettingData* setting,
               CHfcFile& file) override;
};
