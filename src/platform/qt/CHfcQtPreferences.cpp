#include "platform/qt/CHfcQtPreferences.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>
#include <limits>

#include "framework/EfTrace.h"

namespace {

const char* StatusText(QSettings::Status status) {
    switch (status) {
    case QSettings::NoError:
        return "no error";
    case QSettings::AccessError:
        return "access error";
    case QSettings::FormatError:
        return "format error";
    }
    return "unknown error";
}

QString Key(const std::string& name) {
    return QString::fromStdString(name);
}

} // namespace

CHfcQtPreferences::CHfcQtPreferences() = default;

CHfcQtPreferences::CHfcQtPreferences(std::string path) : path_(std::move(path)) {}

CHfcQtPreferences::~CHfcQtPreferences() {
    Close();
}

bool CHfcQtPreferences::Open() {
    Close();
    if (path_.empty()) {
        settings_ = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "VESK",
                                                "TALVEX PRO+ Editor");
    } else {
        settings_ =
            std::make_unique<QSettings>(QString::fromStdString(path_), QSettings::IniFormat);
    }
    // A file that cannot be parsed is left as it is: reads give defaults and writes are skipped
    // rather than replacing whatever the user has there.
    if (settings_->status() != QSettings::NoError) {
        EfTrace("CHfcQtPreferences::Open() - %s: %s", StatusText(settings_->status()),
                settings_->fileName().toStdString().c_str());
        settings_.reset();
        return false;
    }
    return true;
}

void CHfcQtPreferences::Close() {
    if (!settings_) {
        return;
    }
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        EfTrace("CHfcQtPreferences::Close() - %s: %s", StatusText(settings_->status()),
                settings_->fileName().toStdString().c_str());
    }
    settings_.reset();
}

int32_t CHfcQtPreferences::ReadInteger(const std::string& name, int32_t defaultValue) {
    if (!settings_) {
        return defaultValue;
    }
    const QVariant value = settings_->value(Key(name));
    if (!value.isValid() || value.typeId() == QMetaType::QStringList) {
        return defaultValue;
    }
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    // Like a 4-byte registry value: the unsigned spelling of a negative number is accepted too.
    if (!ok || number < std::numeric_limits<int32_t>::min() ||
        number > std::numeric_limits<uint32_t>::max()) {
        return defaultValue;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(number));
}

std::string CHfcQtPreferences::ReadString(const std::string& name,
                                          const std::string& defaultValue) {
    if (!settings_) {
        return defaultValue;
    }
    const QVariant value = settings_->value(Key(name));
    if (!value.isValid()) {
        return defaultValue;
    }
    // An unquoted text with commas comes back as a list; it is still the text that was stored.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(",").toStdString();
    }
    if (!value.canConvert<QString>()) {
        return defaultValue;
    }
    return value.toString().toStdString();
}

void CHfcQtPreferences::WriteInteger(const std::string& name, int32_t value) {
    if (settings_) {
        settings_->setValue(Key(name), static_cast<int>(value));
    }
}

void CHfcQtPreferences::WriteString(const std::string& name, const std::string& text) {
    if (settings_) {
        settings_->setValue(Key(name), QString::fromStdString(text));
    }
}
