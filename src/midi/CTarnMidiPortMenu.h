#pragma once

#include <string>
#include <vector>

#include "platform/CHfcMidiDeviceInfo.h"

// One MIDI port pop-up of the preferences dialog (MIDI In or MIDI Out) as plain data: the items,
// which one is selected, and what choosing it stores.
class CTarnMidiPortMenu {
public:
    enum class Direction { kInput, kOutput };

    // Item 0 means "no port"; items 1.. are the devices in index order; a stored name that no
    // device has is kept as a last "(Not Connected)" item and selected.
    CTarnMidiPortMenu(Direction direction, const std::vector<CHfcMidiDeviceInfo>& devices,
                      const std::string& storedName, int storedIndex);

    const std::vector<std::string>& Items() const { return items_; }
    int Selected() const { return selected_; }
    // Ignored outside the item range.
    void Select(int item);

    // The port the selection stands for: false when it changes nothing (the "(Not Connected)"
    // item); otherwise name and index to store (empty and -2 for item 0).
    bool Choice(std::string& name, int& index) const;

private:
    std::vector<std::string> items_;
    std::vector<CHfcMidiDeviceInfo> devices_;
    int selected_ = 0;
    bool hasMissingItem_ = false;
};
