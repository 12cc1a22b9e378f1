#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <variant>

#include "platform/CHfcPreferences.h"

// A preferences store held in memory: the store of builds without a settings backend, and of
// tests, which can also make it unavailable to see how callers cope with a store that cannot be
// opened.
class CHfcMemoryPreferences : public CHfcPreferences {
public:
    bool Open() override;
    void Close() override;
    int32_t ReadInteger(const std::string& name, int32_t defaultValue) override;
    std::string ReadString(const std::string& name, const std::string& defaultValue) override;
    void WriteInteger(const std::string& name, int32_t value) override;
    void WriteString(const std::string& name, const std::string& text) override;

    // While unavailable, Open fails; values already held stay.
    void SetAvailable(bool available);
    bool IsOpen() const;
    // Whether a value of that name is held, whatever its type.
    bool Contains(const std::string& name) const;
    // Number of writes that reached the store.
    int WriteCount() const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::variant<int32_t, std::string>> values_;
    bool available_ = true;
    bool open_ = false;
    int writes_ = 0;
};
