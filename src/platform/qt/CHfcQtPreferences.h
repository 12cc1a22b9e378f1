#pragma once

#include <memory>
#include <string>

#include "platform/CHfcPreferences.h"

class QSettings;

// Preferences kept in an INI file through QSettings: by default the user's
// "VESK/TALVEX PRO+ Editor.ini" in the configuration folder, or a file of the caller's choice.
// Integers are stored as decimal text; a value that is not a 32-bit number reads as the default.
class CHfcQtPreferences : public CHfcPreferences {
public:
    CHfcQtPreferences();
    explicit CHfcQtPreferences(std::string path);
    ~CHfcQtPreferences() override;

    bool Open() override;
    void Close() override;
    int32_t ReadInteger(const std::string& name, int32_t defaultValue) override;
    std::string ReadString(const std::string& name, const std::string& defaultValue) override;
    void WriteInteger(const std::string& name, int32_t value) override;
    void WriteString(const std::string& name, const std::string& text) override;

private:
    std::string path_;
    std::unique_ptr<QSettings> settings_;
};
