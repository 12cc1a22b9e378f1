#pragma once

#include <cstdint>
#include <mutex>
#include <string>

class CHfcPreferences;

// The editor's persistent configuration: main window position, preview buffer size,
// transmission warnings and the MIDI port choice. ReadAll() loads every value once at start-up;
// each setter of a stored value keeps the value in memory and writes that one value to the store
// at once. The automatically detected MIDI ports live for the running program only.
// An unusable store is not an error: reads give the defaults and writes are skipped.
// All operations may be called from any thread.
class CTarnPreferencesData {
public:
    // Longest port name kept; longer stored names read as empty.
    static constexpr size_t kMaxNameLength = 255;
    // Stored port index meaning "no port chosen".
    static constexpr int32_t kNoDeviceIndex = -2;
    // Detected port index before (or without) a detection.
    static constexpr int32_t kNotDetectedIndex = -1;

    static constexpr int32_t kDefaultWindowX = 50;
    static constexpr int32_t kDefaultWindowY = 50;
    static constexpr int32_t kDefaultAudioBufferSize = 8192;

    // The store stays owned by the caller and must outlive this object.
    explicit CTarnPreferencesData(CHfcPreferences& store);
    CTarnPreferencesData(const CTarnPreferencesData&) = delete;
    CTarnPreferencesData& operator=(const CTarnPreferencesData&) = delete;

    // Reads every stored value (defaults for what is missing or unreadable) and resets the
    // detected ports.
    void ReadAll();

    int32_t GetMainWindowX() const;
    int32_t GetMainWindowY() const;
    int32_t GetAudioBufferSize() const;
    bool GetUseDirectAccess() const;
    bool GetWarnBeforeTransmit() const;
    bool GetMidiDeviceAutoDetect() const;
    std::string GetMidiInDeviceName() const;
    int32_t GetMidiInDeviceIndex() const;
    std::string GetMidiOutDeviceName() const;
    int32_t GetMidiOutDeviceIndex() const;
    bool GetSettingDataTransmit() const;
    bool GetWarnBeforeTransmitMacOSX7() const;

    void SetMainWindowX(int32_t x);
    void SetMainWindowY(int32_t y);
    void SetAudioBufferSize(int32_t bytes);
    void SetUseDirectAccess(bool on);
    void SetWarnBeforeTransmit(bool on);
    void SetMidiDeviceAutoDetect(bool on);
    // Names longer than kMaxNameLength bytes are cut at a character boundary.
    void SetMidiInDeviceName(const std::string& name);
    void SetMidiInDeviceIndex(int32_t index);
    void SetMidiOutDeviceName(const std::string& name);
    void SetMidiOutDeviceIndex(int32_t index);
    void SetSettingDataTransmit(bool on);
    void SetWarnBeforeTransmitMacOSX7(bool on);

    // Ports found by the automatic detection; memory only.
    std::string GetDetectedMidiInName() const;
    int32_t GetDetectedMidiInIndex() const;
    std::string GetDetectedMidiOutName() const;
    int32_t GetDetectedMidiOutIndex() const;
    void SetDetectedMidiInName(const std::string& name);
    void SetDetectedMidiInIndex(int32_t index);
    void SetDetectedMidiOutName(const std::string& name);
    void SetDetectedMidiOutIndex(int32_t index);

private:
    void WriteInteger(const char* name, int32_t value);
    void WriteString(const char* name, const std::string& text);

    CHfcPreferences& store_;
    mutable std::mutex mutex_;

    int32_t mainWindowX_ = kDefaultWindowX;
    int32_t mainWindowY_ = kDefaultWindowY;
    int32_t audioBufferSize_ = kDefaultAudioBufferSize;
    bool useDirectAccess_ = false;
    bool warnBeforeTransmit_ = true;
    bool midiDeviceAutoDetect_ = true;
    std::string midiInDeviceName_;
    int32_t midiInDeviceIndex_ = kNoDeviceIndex;
    std::string midiOutDeviceName_;
    int32_t midiOutDeviceIndex_ = kNoDeviceIndex;
    bool settingDataTransmit_ = true;
    bool warnBeforeTransmitMacOSX7_ = true;

    std::string detectedMidiInName_;
    int32_t detectedMidiInIndex_ = kNotDetectedIndex;
    std::string detectedMidiOutName_;
    int32_t detectedMidiOutIndex_ = kNotDetectedIndex;
};
