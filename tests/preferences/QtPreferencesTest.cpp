#ifdef TALVEX_HAVE_QT

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/CTarnPreferencesData.h"
#include "platform/qt/CHfcQtPreferences.h"

namespace {

namespace fs = std::filesystem;

// QSettings fixes the user's configuration folder on first use, so the temporary one must be in
// place before any test runs; it is removed when the program ends.
class TemporaryConfigHome {
public:
    TemporaryConfigHome() {
        std::string pattern = (fs::temp_directory_path() / "talvex-prefs-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            dir_ = pattern;
            setenv("HOME", dir_.c_str(), 1);
            setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
        }
    }
    ~TemporaryConfigHome() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    const fs::path& Dir() const { return dir_; }

private:
    fs::path dir_;
};
const TemporaryConfigHome kHome;

const fs::path& ConfigHome() {
    return kHome.Dir();
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

TEST(QtPreferences, UserStoreLivesInTheConfigFolderAndRoundTrips) {
    ASSERT_FALSE(ConfigHome().empty());
    const fs::path file = ConfigHome() / "config" / "VESK" / "TALVEX PRO+ Editor.ini";
    fs::remove(file);
    {
        CHfcQtPreferences store;
        CTarnPreferencesData prefs(store);
        prefs.ReadAll();
        EXPECT_EQ(prefs.GetMidiInDeviceIndex(), -2);
        EXPECT_FALSE(fs::exists(file));
        prefs.SetMidiInDeviceIndex(-1);
        // Written at once, not when the object goes away.
        EXPECT_TRUE(fs::exists(file));
        prefs.SetMidiOutDeviceName("TALVEX PRO+, Port \"2\"");
        prefs.SetMainWindowX(-1200);
        prefs.SetUseDirectAccess(true);
    }
    CHfcQtPreferences store;
    CTarnPreferencesData prefs(store);
    prefs.ReadAll();
    EXPECT_EQ(prefs.GetMidiInDeviceIndex(), -1);
    EXPECT_EQ(prefs.GetMidiOutDeviceName(), "TALVEX PRO+, Port \"2\"");
    EXPECT_EQ(prefs.GetMainWindowX(), -1200);
    EXPECT_TRUE(prefs.GetUseDirectAccess());
    EXPECT_EQ(prefs.GetAudioBufferSize(), 8192);
    EXPECT_NE(ReadText(file).find("MidiInDeviceIndex=-1"), std::string::npos);
}

TEST(QtPreferences, HandWrittenValuesAreReadLikeRegistryValues) {
    const fs::path file = ConfigHome() / "hand.ini";
    WriteText(file, "[General]\n"
                    "WarnBeforeTransmit=5\n"
                    "MidiOutDeviceIndex=4294967295\n"
                    "MainWindow-X=abc\n"
                    "MainWindow-Y=99999999999\n"
                    "AudioBufferSize= 4096 \n"
                    "MidiInDeviecName=Port A, Port B\n");
    CHfcQtPreferences store(file.string());
    CTarnPreferencesData prefs(store);
    prefs.ReadAll();
    EXPECT_TRUE(prefs.GetWarnBeforeTransmit());
    EXPECT_EQ(prefs.GetMidiOutDeviceIndex(), -1);
    EXPECT_EQ(prefs.GetMainWindowX(), 50);
    EXPECT_EQ(prefs.GetMainWindowY(), 50);
    EXPECT_EQ(prefs.GetAudioBufferSize(), 4096);
    EXPECT_EQ(prefs.GetMidiInDeviceName(), "Port A,Port B");
}

TEST(QtPreferences, GarbageFileGivesDefaults) {
    const fs::path file = ConfigHome() / "garbage.ini";
    std::string garbage = "\x00\xff\xfe[[[=\n=\n\x01\x02MainWindow-X\n[General\n";
    garbage.push_back('\0');
    WriteText(file, garbage);
    CHfcQtPreferences store(file.string());
    CTarnPreferencesData prefs(store);
    prefs.ReadAll();
    EXPECT_EQ(prefs.GetMainWindowX(), 50);
    EXPECT_EQ(prefs.GetMidiInDeviceIndex(), -2);
    EXPECT_TRUE(prefs.GetMidiDeviceAutoDetect());
    // Saving replaces the unreadable content with readable settings.
    prefs.SetMainWindowY(77);
    CTarnPreferencesData again(store);
    again.ReadAll();
    EXPECT_EQ(again.GetMainWindowY(), 77);
    EXPECT_EQ(again.GetMainWindowX(), 50);
}

TEST(QtPreferences, StoreThatCannotBeCreatedGivesDefaultsAndSkipsWrites) {
    // The file's folder is a plain file, so nothing can be read or created there.
    const fs::path blocker = ConfigHome() / "blocker";
    WriteText(blocker, "not a folder");
    const fs::path file = blocker / "prefs.ini";
    CHfcQtPreferences store(file.string());
    CTarnPreferencesData prefs(store);
    prefs.ReadAll();
    EXPECT_EQ(prefs.GetAudioBufferSize(), 8192);
    prefs.SetMidiOutDeviceIndex(5);
    EXPECT_EQ(prefs.GetMidiOutDeviceIndex(), 5);
    EXPECT_EQ(ReadText(blocker), "not a folder");

    CTarnPreferencesData again(store);
    again.ReadAll();
    EXPECT_EQ(again.GetMidiOutDeviceIndex(), -2);
}

} // namespace

#endif
