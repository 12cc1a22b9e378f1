#pragma once

#include "audio/CEfAudioFileIO.h"

// RIFF WAVE: reads 8 to 32-bit integer or 32/64-bit float samples (plain or
// WAVE_FORMAT_EXTENSIBLE) at 8 to 192 kHz with any number of channels into a bank (see
// tarn::ImportSourceFrames), with the tempo from the editor's own "vesk" chunk, else from an "acid"
// beat count, else guessed from the length; writes a bank's play range followed by the "vesk" chunk
// that carries its tempo, its lengths and the current setting.
class CTarnWaveFileIO : public CEfAudioFileIO {
public:
    // Throws CTarnFileException 2 (no audio present), 4 (not RIFF WAVE), 5, or, naming the
    // file's format on a second line, 7, 8, 9 or 10 (compressed WAV).
    bool Read(CTarnSampleData& sample, CTarnCurrentSettingData* setting, CHfcFile& file) override;
    // Without a current setting its defaults are written.
    bool Write(const CTarnSampleData& sample, const CTarnCurrentSettingData* setting,
               CHfcFile& file) override;
};
