#pragma once

#include "audio/CEfAudioFileIO.h"

// RIFF WAVE: reads 8, 16 or 24-bit PCM, mono or stereo, at 48 or 44.1 kHz into a bank, with the
// tempo from the editor's own "vesk" chunk, else from an "acid" beat count, else guessed from the
// length; writes a bank's play range followed by the "vesk" chunk that carries its tempo, its
// lengths and the current setting.
class CTarnWaveFileIO : public CEfAudioFileIO {
public:
    // Throws CTarnFileException 2 (short read), 4 (not RIFF WAVE), 5, 7, 8, 9 or 10.
    bool Read(CTarnSampleData& sample, CTarnCurrentSettingData* setting, CHfcFile& file) override;
    // Without a current setting its defaults are written.
    bool Write(const CTarnSampleData& sample, const CTarnCurrentSettingData* setting,
               CHfcFile& file) override;
};
