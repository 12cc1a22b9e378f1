#include "app/CTarnPreferencesData.h"

#include "platform/CHfcPreferences.h"

namespace {

constexpr const char* kMainWindowX = "MainWindow-X";
constexpr const char* kMainWindowY = "MainWindow-Y";
constexpr const char* kAudioBufferSize = "AudioBufferSize";
constexpr const char* kUseDirectAccess = "UseDirectAccess";
constexpr const char* kWarnBeforeTransmit = "WarnBeforeTransmit";
constexpr const char* kMidiDeviceAutoDetect = "MidiDeviceAutoDetect";
// The misspelling is the stored value name; existing configurations use it.
constexpr const char* kMidiInDeviceName = "MidiInDeviecName";
constexpr const char* kMidiInDeviceIndex = "MidiInDeviceIndex";
constexpr const char* kMidiOutDeviceName = "MidiOutDeviceName";
constexpr const char* kMidiOutDeviceIndex = "MidiOutDeviceIndex";
constexpr const char* kSettingDataTransmit = "SettingDataTransmit";
constexpr const char* kWarnBeforeTransmitMacOSX7 = "WarnBeforeTransmitMacOSX7";

// A stored name that does not fit the name field is treated as unreadable.
std::string ReadName(CHfcPreferences& store, const char* name) {
    std::string text = store.ReadString(name, std::string());
    return text.size() > CTarnPreferencesData::kMaxNameLength ? std::string() : text;
}

// Cuts to the longest prefix that fits, without splitting a UTF-8 sequence.
std::string FitName(const std::string& name) {
    if (name.size() <= CTarnPreferencesData::kMaxNameLength) {
        return name;
    }
    size_t length = CTarnPreferencesData::kMaxNameLength;
    while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) {
        --length;
    }
    return name.substr(0, length);
}

} // namespace

CTarnPreferencesData::CTarnPreferencesData(CHfcPreferences& store) : store_(store) {}

void CTarnPreferencesData::ReadAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool open = store_.Open();
    warnBeforeTransmitMacOSX7_ = store_.ReadFlag(kWarnBeforeTransmitMacOSX7, true);
    warnBeforeTransmit_ = store_.ReadFlag(kWarnBeforeTransmit, true);
    settingDataTransmit_ = store_.ReadFlag(kSettingDataTransmit, true);
    useDirectAccess_ = store_.ReadFlag(kUseDirectAccess, false);
    mainWindowX_ = store_.ReadInteger(kMainWindowX, kDefaultWindowX);
    mainWindowY_ = store_.ReadInteger(kMainWindowY, kDefaultWindowY);
    audioBufferSize_ = store_.ReadInteger(kAudioBufferSize, kDefaultAudioBufferSize);
    midiDeviceAutoDetect_ = store_.ReadFlag(kMidiDeviceAutoDetect, true);
    midiInDeviceName_ = ReadName(store_, kMidiInDeviceName);
    midiInDeviceIndex_ = store_.ReadInteger(kMidiInDeviceIndex, kNoDeviceIndex);
    midiOutDeviceName_ = ReadName(store_, kMidiOutDeviceName);
    midiOutDeviceIndex_ = store_.ReadInteger(kMidiOutDeviceIndex, kNoDeviceIndex);
    if (open) {
        store_.Close();
    }
    detectedMidiInName_.clear();
    detectedMidiOutName_.clear();
    detectedMidiInIndex_ = kNotDetectedIndex;
    detectedMidiOutIndex_ = kNotDetectedIndex;
}

void CTarnPreferencesData::WriteInteger(const char* name, int32_t value) {
    if (store_.Open()) {
        store_.WriteInteger(name, value);
        store_.Close();
    }
}

void CTarnPreferencesData::WriteString(const char* name, const std::string& text) {
    if (store_.Open()) {
        store_.WriteString(name, text);
        store_.Close();
    }
}

int32_t CTarnPreferencesData::GetMainWindowX() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return mainWindowX_;
}

int32_t CTarnPreferencesData::GetMainWindowY() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return mainWindowY_;
}

int32_t CTarnPreferencesData::GetAudioBufferSize() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return audioBufferSize_;
}

bool CTarnPreferencesData::GetUseDirectAccess() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return useDirectAccess_;
}

bool CTarnPreferencesData::GetWarnBeforeTransmit() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return warnBeforeTransmit_;
}

bool CTarnPreferencesData::GetMidiDeviceAutoDetect() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return midiDeviceAutoDetect_;
}

std::string CTarnPreferencesData::GetMidiInDeviceName() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return midiInDeviceName_;
}

int32_t CTarnPreferencesData::GetMidiInDeviceIndex() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return midiInDeviceIndex_;
}

std::string CTarnPreferencesData::GetMidiOutDeviceName() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return midiOutDeviceName_;
}

int32_t CTarnPreferencesData::GetMidiOutDeviceIndex() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return midiOutDeviceIndex_;
}

bool CTarnPreferencesData::GetSettingDataTransmit() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settingDataTransmit_;
}

bool CTarnPreferencesData::GetWarnBeforeTransmitMacOSX7() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return warnBeforeTransmitMacOSX7_;
}

void CTarnPreferencesData::SetMainWindowX(int32_t x) {
    std::lock_guard<std::mutex> lock(mutex_);
    mainWindowX_ = x;
    WriteInteger(kMainWindowX, x);
}

void CTarnPreferencesData::SetMainWindowY(int32_t y) {
    std::lock_guard<std::mutex> lock(mutex_);
    mainWindowY_ = y;
    WriteInteger(kMainWindowY, y);
}

void CTarnPreferencesData::SetAudioBufferSize(int32_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    audioBufferSize_ = bytes;
    WriteInteger(kAudioBufferSize, bytes);
}

void CTarnPreferencesData::SetUseDirectAccess(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    useDirectAccess_ = on;
    WriteInteger(kUseDirectAccess, on ? 1 : 0);
}

void CTarnPreferencesData::SetWarnBeforeTransmit(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    warnBeforeTransmit_ = on;
    WriteInteger(kWarnBeforeTransmit, on ? 1 : 0);
}

void CTarnPreferencesData::SetMidiDeviceAutoDetect(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    midiDeviceAutoDetect_ = on;
    WriteInteger(kMidiDeviceAutoDetect, on ? 1 : 0);
}

void CTarnPreferencesData::SetMidiInDeviceName(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    midiInDeviceName_ = FitName(name);
    WriteString(kMidiInDeviceName, midiInDeviceName_);
}

void CTarnPreferencesData::SetMidiInDeviceIndex(int32_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    midiInDeviceIndex_ = index;
    WriteInteger(kMidiInDeviceIndex, index);
}

void CTarnPreferencesData::SetMidiOutDeviceName(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    midiOutDeviceName_ = FitName(name);
    WriteString(kMidiOutDeviceName, midiOutDeviceName_);
}

void CTarnPreferencesData::SetMidiOutDeviceIndex(int32_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    midiOutDeviceIndex_ = index;
    WriteInteger(kMidiOutDeviceIndex, index);
}

void CTarnPreferencesData::SetSettingDataTransmit(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    settingDataTransmit_ = on;
    WriteInteger(kSettingDataTransmit, on ? 1 : 0);
}

void CTarnPreferencesData::SetWarnBeforeTransmitMacOSX7(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    warnBeforeTransmitMacOSX7_ = on;
    WriteInteger(kWarnBeforeTransmitMacOSX7, on ? 1 : 0);
}

std::string CTarnPreferencesData::GetDetectedMidiInName() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return detectedMidiInName_;
}

int32_t CTarnPreferencesData::GetDetectedMidiInIndex() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return detectedMidiInIndex_;
}

std::string CTarnPreferencesData::GetDetectedMidiOutName() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return detectedMidiOutName_;
}

int32_t CTarnPreferencesData::GetDetectedMidiOutIndex() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return detectedMidiOutIndex_;
}

void CTarnPreferencesData::SetDetectedMidiInName(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    detectedMidiInName_ = FitName(name);
}

void CTarnPreferencesData::SetDetectedMidiInIndex(int32_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    detectedMidiInIndex_ = index;
}

void CTarnPreferencesData::SetDetectedMidiOutName(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    detectedMidiOutName_ = FitName(name);
}

void CTarnPreferencesData::SetDetectedMidiOutIndex(int32_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    detectedMidiOutIndex_ = index;
}
