#include "midi/CTarnMidiPortMenu.h"

#include <cstdio>

#include "app/CTarnPreferencesData.h"

namespace {

// Port names are compared as the stored preference holds them.
constexpr size_t kComparedNameLength = 256;

std::string Compared(const std::string& name) {
    return name.substr(0, kComparedNameLength);
}

} // namespace

CTarnMidiPortMenu::CTarnMidiPortMenu(Direction direction,
                                     const std::vector<CHfcMidiDeviceInfo>& devices,
                                     const std::string& storedName, int storedIndex)
    : devices_(devices) {
    items_.push_back(direction == Direction::kInput ? "Not use MIDI In port"
                                                    : "Not use MIDI Out port");
    for (const CHfcMidiDeviceInfo& device : devices_) {
        items_.push_back(device.name);
    }
    if (storedName.empty()) {
        return;
    }
    int match = -1;
    for (size_t i = 0; i < devices_.size(); ++i) {
        if (Compared(devices_[i].name) != Compared(storedName)) {
            continue;
        }
        if (match < 0 || devices_[i].index == storedIndex) {
            match = static_cast<int>(i);
        }
        if (devices_[i].index == storedIndex) {
            break;
        }
    }
    if (match >= 0) {
        selected_ = match + 1;
        return;
    }
    char text[CTarnPreferencesData::kMaxNameLength + 32];
    std::snprintf(text, sizeof(text), "%s (Not Connected)", storedName.c_str());
    items_.push_back(text);
    hasMissingItem_ = true;
    selected_ = static_cast<int>(items_.size()) - 1;
}

void CTarnMidiPortMenu::Select(int item) {
    if (item >= 0 && item < static_cast<int>(items_.size())) {
        selected_ = item;
    }
}

bool CTarnMidiPortMenu::Choice(std::string& name, int& index) const {
    if (hasMissingItem_ && selected_ == static_cast<int>(items_.size()) - 1) {
        return false;
    }
    if (selected_ == 0) {
        name.clear();
        index = CTarnPreferencesData::kNoDeviceIndex;
        return true;
    }
    const CHfcMidiDeviceInfo& device = devices_[selected_ - 1];
    name = device.name;
    index = device.index;
    return true;
}
