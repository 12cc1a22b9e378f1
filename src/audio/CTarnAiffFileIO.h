#pragma once

#include "audio/CEfAudioFileIO.h"

// AIFF: reads uncompressed 8, 16 or 24-bit mono or stereo files at 48 or 44.1 kHz into a bank
// (tempo guessed from the length; AIFF carries none that is read) and writes a bank's play range
// as 16-bit AIFF. The current setting is neither read nor written.
class CTarnAiffFileIO : public CEfAudioFileIO {
public:
    // Throws CTarnFileException 2 (short read), 4 (not AIFF), 5, 7, 8, 9 or 11 (AIFC).
    bool Read(CTarnSampleData& sample, CTarnCurrentSettingData* setting, CHfcFile& file) override;
    bool Write(const CTarnSampleData& sample, const CTarnCurrentSettingData* setting,
               CHfcFile& file) override;
};
