#include <gtest/gtest.h>

#include <string>

#include "app/CTarnPreferencesData.h"
#include "platform/CHfcMemoryPreferences.h"

namespace {

TEST(PreferencesData, EmptyStoreGivesDefaultsAndFirstSetterCreatesTheValue) {
    CHfcMemoryPreferences store;
    CTarnPreferencesData prefs(store);
    prefs.ReadAll();
    EXPECT_EQ(prefs.GetMainWindowX(), 50);
    EXPECT_EQ(prefs.GetMainWindowY(), 50);
    EXPECT_EQ(prefs.GetAudioBufferSize(), 8192);
    EXPECT_FALSE(prefs.GetUseDirectAccess());
    EXPECT_TRUE(prefs.GetWarnBeforeTransmit());
    EXPECT_TRUE(prefs.GetMidiDeviceAutoDetect());
    EXPECT_EQ(prefs.GetMidiInDeviceName(), "");
    EXPECT_EQ(prefs.GetMidiInDeviceIndex(), -2);
    EXPECT_EQ(prefs.GetMidiOutDeviceName(), "");
    EXPECT_EQ(prefs.GetMidiOutDeviceIndex(), -2);
    EXPECT_TRUE(prefs.GetSettingDataTransmit());
    EXPECT_TRUE(prefs.GetWarnBeforeTransmitMacOSX7());
    EXPECT_EQ(prefs.GetDetectedMidiInName(), "");
    EXPECT_EQ(prefs.GetDetectedMidiInIndex(), -1);
    EXPECT_EQ(prefs.GetDetectedMidiOutName(), "");
    EXPECT_EQ(prefs.GetDetectedMidiOutIndex(), -1);
    EXPECT_EQ(store.WriteCount(), 0);
    EXPECT_FALSE(store.IsOpen());

    prefs.SetMainWindowX(120);
    EXPECT_TRUE(store.Contains("MainWindow-X"));
    EXPECT_FALSE(store.Contains("MainWindow-Y"));
    EXPECT_FALSE(store.IsOpen());
}

TEST(PreferencesData, EachSetterWritesItsValueUnderItsOwnName) {
    CHfcMemoryPreferences store;
    CTarnPreferencesData prefs(store);
    prefs.ReadAll();
    auto integer = [&](const char* name) {
        store.Open();
        const int32_t value = store.ReadInteger(name, 12345);
        store.Close();
        return value;
    };
    auto text = [&](const char* name) {
        store.Open();
        std::string value = store.ReadString(name, "<none>");
        store.Close();
        return value;
    };
    prefs.SetMainWindowX(-30);
    EXPECT_EQ(integer("MainWindow-X"), -30);
    prefs.SetMainWindowY(700);
    EXPECT_EQ(integer("MainWindow-Y"), 700);
    prefs.SetAudioBufferSize(16384);
    EXPECT_EQ(integer("AudioBufferSize"), 16384);
    prefs.SetUseDirectAccess(true);
    EXPECT_EQ(integer("UseDirectAccess"), 1);
    prefs.SetWarnBeforeTransmit(false);
    EXPECT_EQ(integer("WarnBeforeTransmit"), 0);
    prefs.SetMidiDeviceAutoDetect(false);
    EXPECT_EQ(integer("MidiDeviceAutoDetect"), 0);
    prefs.SetMidiInDeviceName("TALVEX PRO+ MIDI 1");
    EXPECT_EQ(text("MidiInDeviecName"), "TALVEX PRO+ MIDI 1");
    prefs.SetMidiInDeviceIndex(3);
    EXPECT_EQ(integer("MidiInDeviceIndex"), 3);
    prefs.SetMidiOutDeviceName("TALVEX PRO+ MIDI 2");
    EXPECT_EQ(text("MidiOutDeviceName"), "TALVEX PRO+ MIDI 2");
    prefs.SetMidiOutDeviceIndex(-2);
    EXPECT_EQ(integer("MidiOutDeviceIndex"), -2);
    prefs.SetSettingDataTransmit(false);
    EXPECT_EQ(integer("SettingDataTransmit"), 0);
    prefs.SetWarnBeforeTransmitMacOSX7(false);
    EXPECT_EQ(integer("WarnBeforeTransmitMacOSX7"), 0);
    EXPECT_EQ(store.WriteCount(), 12);

    // The detected ports are never stored.
    prefs.SetDetectedMidiInName("In");
    prefs.SetDetectedMidiInIndex(0);
    prefs.SetDetectedMidiOutName("Out");
    prefs.SetDetectedMidiOutIndex(1);
    EXPECT_EQ(store.WriteCount(), 12);
    EXPECT_EQ(prefs.GetDetectedMidiOutName(), "Out");
    EXPECT_EQ(prefs.GetDetectedMidiOutIndex(), 1);

    // A second instance over the same store reads back what the first wrote, and starts with no
    // detected ports.
    CTarnPreferencesData again(store);
    again.ReadAll();
    EXPECT_EQ(again.GetMainWindowX(), -30);
    EXPECT_EQ(again.GetAudioBufferSize(), 16384);
    EXPECT_TRUE(again.GetUseDirectAccess());
    EXPECT_FALSE(again.GetWarnBeforeTransmit());
    EXPECT_FALSE(again.GetMidiDeviceAutoDetect());
    EXPECT_EQ(again.GetMidiInDeviceName(), "TALVEX PRO+ MIDI 1");
    EXPECT_EQ(again.GetMidiInDeviceIndex(), 3);
    EXPECT_EQ(again.GetMidiOutDeviceName(), "TALVEX PRO+ MIDI 2");
    EXPECT_FALSE(again.GetWarnBeforeTransmitMacOSX7());
    EXPECT_EQ(again.GetDetectedMidiInName(), "");
    EXPECT_EQ(again.GetDetectedMidiInIndex(), -1);
}

TEST(PreferencesData, StoredValuesAreInterpretedAsTheirTypes) {
    CHfcMemoryPreferences store;
    store.Open();
    store.WriteInteger("MidiInDeviceIndex", -1);
    store.WriteInteger("WarnBeforeTransmit", 5);
    store.WriteInteger("MidiDeviceAutoDetect", 0);
    // Wrong types read as the defaults.
    store.WriteString("MainWindow-X", "300");
    store.WriteInteger("MidiOutDeviceName", 7);
    store.WriteString("MidiInDeviecName", std::string(256, 'x'));
    store.Close();

    CTarnPreferencesData prefs(store);
    prefs.ReadAll();
    EXPECT_EQ(prefs.GetMidiInDeviceIndex(), -1);
    EXPECT_TRUE(prefs.GetWarnBeforeTransmit());
    EXPECT_FALSE(prefs.GetMidiDeviceAutoDetect());
    EXPECT_EQ(prefs.GetMainWindowX(), 50);
    EXPECT_EQ(prefs.GetMidiOutDeviceName(), "");
    EXPECT_EQ(prefs.GetMidiInDeviceName(), "");

    // Written back, the flag becomes 1.
    prefs.SetWarnBeforeTransmit(prefs.GetWarnBeforeTransmit());
    store.Open();
    EXPECT_EQ(store.ReadInteger("WarnBeforeTransmit", 0), 1);
    store.Close();
}

TEST(PreferencesData, OverlongNamesAreCutWithoutSplittingACharacter) {
    CHfcMemoryPreferences store;
    CTarnPreferencesData prefs(store);
    prefs.ReadAll();
    prefs.SetMidiOutDeviceName(std::string(300, 'a'));
    EXPECT_EQ(prefs.GetMidiOutDeviceName(), std::string(255, 'a'));
    // 254 ASCII bytes then a two-byte character: the character does not fit and is dropped.
    prefs.SetMidiInDeviceName(std::string(254, 'b') + "\xC3\xA9" + "c");
    EXPECT_EQ(prefs.GetMidiInDeviceName(), std::string(254, 'b'));

    CTarnPreferencesData again(store);
    again.ReadAll();
    EXPECT_EQ(again.GetMidiOutDeviceName(), std::string(255, 'a'));
}

TEST(PreferencesData, UnavailableStoreGivesDefaultsAndKeepsSettingsInMemory) {
    CHfcMemoryPreferences store;
    store.Open();
    store.WriteInteger("MainWindow-X", 400);
    store.Close();
    store.SetAvailable(false);

    CTarnPreferencesData prefs(store);
    prefs.ReadAll();
    EXPECT_EQ(prefs.GetMainWindowX(), 50);
    prefs.SetMainWindowY(99);
    prefs.SetMidiInDeviceName("Port");
    EXPECT_EQ(prefs.GetMainWindowY(), 99);
    EXPECT_EQ(prefs.GetMidiInDeviceName(), "Port");
    EXPECT_EQ(store.WriteCount(), 1);
    EXPECT_FALSE(store.Contains("MainWindow-Y"));
}

} // namespace
