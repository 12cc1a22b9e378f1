#pragma once

#include <vector>

#include "midi/CTarnMidiPortMenu.h"
#include "platform/CHfcMidiDeviceInfo.h"

class CTarnPreferencesData;

// The values behind the preferences dialog: filled from the preferences and the MIDI devices
// when the dialog opens, changed by its controls, stored by OK (Cancel simply drops the form).
class CTarnMidiPreferencesForm {
public:
    CTarnMidiPreferencesForm(const CTarnPreferencesData& preferences,
                             const std::vector<CHfcMidiDeviceInfo>& inputs,
                             const std::vector<CHfcMidiDeviceInfo>& outputs);

    bool warnBeforeTransmit;
    bool useDirectAccess;
    bool autoDetect;
    CTarnMidiPortMenu inputMenu;
    CTarnMidiPortMenu outputMenu;

    // The port pop-ups are usable only while automatic detection is off.
    bool PortMenusEnabled() const { return !autoDetect; }

    // What OK does: every value is written; a "(Not Connected)" selection keeps the stored port.
    void Store(CTarnPreferencesData& preferences) const;
};
