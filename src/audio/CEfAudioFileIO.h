#pragma once

class CHfcFile;
class CTarnCurrentSettingData;
class CTarnSampleData;

// A reader and writer of one audio file format. Read fills a fresh sample (and, for formats that
// carry it, the current setting) from the file's current position, or throws CTarnFileException;
// the caller copies the result into the bank only on success. Write stores the sample's play
// range and throws CTarnFileException 3 on a short write.
class CEfAudioFileIO {
public:
    virtual ~CEfAudioFileIO() = default;

    virtual bool Read(CTarnSampleData& sample, CTarnCurrentSettingData* setting,
                      CHfcFile& file) = 0;
    virtual bool Write(const CTarnSampleData& sample, const CTarnCurrentSettingData* setting,
                       CHfcFile& file) = 0;
};
