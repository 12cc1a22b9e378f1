#include "midi/CTarnMidiPreferencesForm.h"

#include "app/CTarnPreferencesData.h"

CTarnMidiPreferencesForm::CTarnMidiPreferencesForm(const CTarnPreferencesData& preferences,
                                                   const std::vector<CHfcMidiDeviceInfo>& inputs,
                                                   const std::vector<CHfcMidiDeviceInfo>& outputs)
    : warnBeforeTransmit(preferences.GetWarnBeforeTransmit()),
      useDirectAccess(preferences.GetUseDirectAccess()),
      autoDetect(preferences.GetMidiDeviceAutoDetect()),
      inputMenu(CTarnMidiPortMenu::Direction::kInput, inputs, preferences.GetMidiInDeviceName(),
                preferences.GetMidiInDeviceIndex()),
      outputMenu(CTarnMidiPortMenu::Direction::kOutput, outputs, preferences.GetMidiOutDeviceName(),
                 preferences.GetMidiOutDeviceIndex()) {}

void CTarnMidiPreferencesForm::Store(CTarnPreferencesData& preferences) const {
    preferences.SetWarnBeforeTransmit(warnBeforeTransmit);
    preferences.SetSettingDataTransmit(warnBeforeTransmit);
    preferences.SetUseDirectAccess(useDirectAccess);
    preferences.SetMidiDeviceAutoDetect(autoDetect);
    std::string name;
    int index = 0;
    if (inputMenu.Choice(name, index)) {
        preferences.SetMidiInDeviceName(name);
        preferences.SetMidiInDeviceIndex(index);
    }
    if (outputMenu.Choice(name, index)) {
        preferences.SetMidiOutDeviceName(name);
        preferences.SetMidiOutDeviceIndex(index);
    }
}
