#pragma once

#include <cstdint>
#include <string>

// The per-user store of typed values behind the editor's preferences. A store is opened, read or
// written value by value, and closed again. Reads never fail loudly: a missing store, a missing
// value or a value of the wrong type or size gives the caller's default. Writes while the store
// is not open do nothing.
class CHfcPreferences {
public:
    virtual ~CHfcPreferences() = default;

    // Opens the store, creating it when it does not exist yet; false when neither works.
    virtual bool Open() = 0;
    virtual void Close() = 0;

    // A 32-bit value; negative values round-trip.
    virtual int32_t ReadInteger(const std::string& name, int32_t defaultValue) = 0;
    virtual std::string ReadString(const std::string& name, const std::string& defaultValue) = 0;
    virtual void WriteInteger(const std::string& name, int32_t value) = 0;
    virtual void WriteString(const std::string& name, const std::string& text) = 0;

    // Flags are integers: any non-zero stored value is true; true is written as 1.
    bool ReadFlag(const std::string& name, bool defaultValue) {
        return ReadInteger(name, defaultValue ? 1 : 0) != 0;
    }
    void WriteFlag(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
};
