// The string table singleton: the linked text file, a user's own file, slots and failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "app/CTarnStringTable.h"
#include "framework/CEfEmbeddedFiles.h"
#include "support/RecordingTraceSink.h"
#include "support/TempDir.h"

namespace {

std::string LinkedText() {
    const CEfEmbeddedFile* file = CEfEmbeddedFiles::Find(CTarnStringTable::kFileName);
    return file ? std::string(reinterpret_cast<const char*>(file->data), file->size) : "";
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override { CTarnStringTable::SetUserFilePath(""); }
    void TearDown() override {
        while (CTarnStringTable::RefCount() > 0) {
            CTarnStringTable::Release();
        }
        CTarnStringTable::SetUserFilePath("");
    }

    static std::string Text(const CTarnStringTable& table, const char* keyword, int index) {
        const std::string* text = table.GetString(keyword, index);
        return text ? *text : "<null>";
    }
};

TEST_F(StringTableTest, AcquireCountsAndReleaseDestroysAtZero) {
    CTarnStringTable* first = CTarnStringTable::Acquire();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CTarnStringTable::RefCount(), 1);
    EXPECT_EQ(CTarnStringTable::Acquire(), first);
    EXPECT_EQ(CTarnStringTable::RefCount(), 2);
    CTarnStringTable::Release();
    EXPECT_EQ(CTarnStringTable::Instance(), first);
    EXPECT_EQ(CTarnStringTable::RefCount(), 1);
    CTarnStringTable::Release();
    EXPECT_EQ(CTarnStringTable::Instance(), nullptr);
    EXPECT_EQ(CTarnStringTable::RefCount(), 0);
    CTarnStringTable::Release(); // one release too many does nothing
    EXPECT_EQ(CTarnStringTable::RefCount(), 0);
}

TEST_F(StringTableTest, LinkedFileBeginsWithACommentAndLoads) {
    const std::string text = LinkedText();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.front(), ';');
    CTarnStringTable* table = CTarnStringTable::Acquire();
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->UserFileLoaded());
    EXPECT_EQ(table->CurrentSlot(), 0);
}

TEST_F(StringTableTest, LinkedFileHoldsEveryListWithItsFixedTexts) {
    CTarnStringTable* table = CTarnStringTable::Acquire();
    ASSERT_NE(table, nullptr);
    const std::pair<const char*, int> counts[] = {
        {"OnOff", 2},
        {"ProgMemLoad", 2},
        {"EnaDis", 2},
        {"WaveChannels", 2},
        {"Ext-SwType", 2},
        {"IF-ExportButtonMenu", 3},
        {"PadLedSetting", 11},
        {"ScrollSpeed", 3},
        {"Clock", 3},
        {"PhraseLength", 9},
        {"MidiCh", 17},
        {"ExtControllerName", 18},
        {"ExtMessageType", 5},
        {"ExtSwitchType", 2},
        {"ExtPadPattern", 8},
        {"ExtRealTimeAssign", 4},
        {"NoteRangeList", 6},
        {"ScaleList", 36},
        {"AllScaleList", 36},
        {"NoteNumber", 25},
        {"AllNoteNumber", 128},
        {"LeftNoteNumber", 116},
        {"ProgramName", 250},
        {"ProgramCategory", 8},
        {"CategoryIni", 8},
        {"ErrorMessage-File", 15},
        {"ErrorMessage-MIDI", 13},
        {"WE-Normalize", 1},
    };
    for (const auto& [keyword, count] : counts) {
        EXPECT_EQ(table->GetCount(keyword), count) << keyword;
    }
    EXPECT_GT(table->GetCount("Osc1Wave"), 0);
    EXPECT_GT(table->GetCount("LooperType"), 0);

    EXPECT_EQ(Text(*table, "OnOff", 0), "Off");
    EXPECT_EQ(Text(*table, "OnOff", 1), "On");
    EXPECT_EQ(Text(*table, "ProgMemLoad", 0), "Prog No.");
    EXPECT_EQ(Text(*table, "ProgMemLoad", 1), "All Param");
    EXPECT_EQ(Text(*table, "IF-ExportButtonMenu", 0),
              "Export to TALVEX PRO+ Loop Recorder Data File");
    EXPECT_EQ(Text(*table, "IF-ExportButtonMenu", 1), "Export to WAVE File");
    EXPECT_EQ(Text(*table, "IF-ExportButtonMenu", 2), "Export to AIFF File");
    EXPECT_EQ(Text(*table, "PadLedSetting", 0), "Off");
    EXPECT_EQ(Text(*table, "PadLedSetting", 1), "Chara");
    EXPECT_EQ(Text(*table, "PadLedSetting", 2), "Type 1");
    EXPECT_EQ(Text(*table, "PadLedSetting", 9), "Type 8");
    EXPECT_EQ(Text(*table, "PadLedSetting", 10), "Chain");
    EXPECT_EQ(Text(*table, "ScrollSpeed", 1), "Mid");
    EXPECT_EQ(Text(*table, "Clock", 2), "Auto");
    const char* lengths[] = {"[L h]  1/16", "[L o]  1/8", "[L q]  1/4", "[L H]  1/2", "[L 1]  1/1",
                             "[L 2]  2/1",  "[L 4]  4/1", "[L 8]  8/1", "[L16]  16/1"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(Text(*table, "PhraseLength", i), lengths[i]);
    }
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(Text(*table, "MidiCh", i), std::to_string(i + 1));
    }
    EXPECT_EQ(Text(*table, "MidiCh", 16), "Global");
    EXPECT_EQ(Text(*table, "ExtControllerName", 0), "Loop Recorder Bank A");
    EXPECT_EQ(Text(*table, "ExtControllerName", 3), "Loop Recorder Bank D");
    EXPECT_EQ(Text(*table, "ExtControllerName", 4), "Program Memory 1");
    EXPECT_EQ(Text(*table, "ExtControllerName", 11), "Program Memory 8");
    EXPECT_EQ(Text(*table, "ExtControllerName", 12), "Gate Arp");
    EXPECT_EQ(Text(*table, "ExtControllerName", 13), "Pad Touch");
    EXPECT_EQ(Text(*table, "ExtControllerName", 14), "Program Volume");
    EXPECT_EQ(Text(*table, "ExtControllerName", 15), "Gate Arp Time/Speed");
    EXPECT_EQ(Text(*table, "ExtControllerName", 16), "Pad Assign");
    EXPECT_EQ(Text(*table, "ExtControllerName", 17), "Pad Note");
    const char* types[] = {"Note", "CC", "Start", "Continue", "Stop"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Text(*table, "ExtMessageType", i), types[i]);
    }
    EXPECT_EQ(Text(*table, "ExtSwitchType", 0), "Momentary");
    EXPECT_EQ(Text(*table, "ExtSwitchType", 1), "Toggle");
    EXPECT_EQ(Text(*table, "ExtPadPattern", 0), "Pattern Note");
    EXPECT_EQ(Text(*table, "ExtPadPattern", 7), "Pattern 7");
    // Indexed by the real-time message number, 1 Start to 3 Stop.
    EXPECT_EQ(Text(*table, "ExtRealTimeAssign", 1), "STT");
    EXPECT_EQ(Text(*table, "ExtRealTimeAssign", 2), "CONT");
    EXPECT_EQ(Text(*table, "ExtRealTimeAssign", 3), "STOP");
    const char* ranges[] = {"Prog", "1oct", "2oct", "3oct", "4oct", "Full"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Text(*table, "NoteRangeList", i), ranges[i]);
    }
    EXPECT_EQ(Text(*table, "ScaleList", 0), "[00] OFF");
    EXPECT_EQ(Text(*table, "ScaleList", 2), "[02] ION");
    EXPECT_EQ(Text(*table, "ScaleList", 35), "[35] OCT");
    EXPECT_EQ(Text(*table, "AllScaleList", 1), "[01] Chromatic");
    EXPECT_EQ(Text(*table, "AllScaleList", 9), "[09] Harmonic minor");
    EXPECT_EQ(Text(*table, "AllScaleList", 35), "[35] Octave");
    for (int i = 0; i < 36; ++i) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "[%02d] ", i);
        EXPECT_EQ(Text(*table, "ScaleList", i).substr(0, 5), prefix);
        EXPECT_EQ(Text(*table, "AllScaleList", i).substr(0, 5), prefix);
    }
    EXPECT_EQ(Text(*table, "WE-Normalize", 0), "Normalize");
}

TEST_F(StringTableTest, NoteNamesKeepTheirBlanks) {
    CTarnStringTable* table = CTarnStringTable::Acquire();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(Text(*table, "NoteNumber", 0), "C  -");
    EXPECT_EQ(Text(*table, "NoteNumber", 1), "C# -");
    EXPECT_EQ(Text(*table, "NoteNumber", 12), "C");
    EXPECT_EQ(Text(*table, "NoteNumber", 13), "C#");
    EXPECT_EQ(Text(*table, "NoteNumber", 24), "C  +");
    EXPECT_EQ(Text(*table, "AllNoteNumber", 0), "C  -1");
    EXPECT_EQ(Text(*table, "AllNoteNumber", 36), "C  2 ");
    EXPECT_EQ(Text(*table, "AllNoteNumber", 63), "D# 4 ");
    EXPECT_EQ(Text(*table, "AllNoteNumber", 127), "G  9 ");
    EXPECT_EQ(Text(*table, "LeftNoteNumber", 0), "C  0 ");
    EXPECT_EQ(Text(*table, "LeftNoteNumber", 115), "G  9 ");
    // The left-note list is the full list from note 12 on.
    for (int i = 0; i < 116; ++i) {
        EXPECT_EQ(Text(*table, "LeftNoteNumber", i), Text(*table, "AllNoteNumber", i + 12));
    }
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(Text(*table, "AllNoteNumber", i).size(), 5u) << i;
    }
}

TEST_F(StringTableTest, ProgramNamesFillTheEightCategories) {
    CTarnStringTable* table = CTarnStringTable::Acquire();
    ASSERT_NE(table, nullptr);
    const char* categories[] = {"Lead", "Acoustic", "Bass",    "Chord",
                                "SE",   "Drum",     "Pattern", "Vocoder"};
    const char* initials[] = {"L", "A", "B", "C", "S", "D", "P", "V"};
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(Text(*table, "ProgramCategory", c), categories[c]);
        EXPECT_EQ(Text(*table, "CategoryIni", c), initials[c]);
    }
    std::set<std::string> names;
    for (int p = 0; p < 250; ++p) {
        const std::string name = Text(*table, "ProgramName", p);
        EXPECT_FALSE(name.empty());
        EXPECT_LE(name.size(), 12u) << name;
        EXPECT_NE(name.back(), ' ') << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 250u);

    // The memory name text of the Program Memory page.
    auto memoryText = [&](int program, int category) {
        char text[64];
        std::snprintf(text, sizeof text, "[%s.%03d]  %s",
                      Text(*table, "CategoryIni", category).c_str(), program,
                      Text(*table, "ProgramName", program).c_str());
        return std::string(text);
    };
    EXPECT_EQ(memoryText(0, 0), "[L.000]  Pulse Verb");
    EXPECT_EQ(memoryText(40, 1), "[A.040]  Vibraphone");
    EXPECT_EQ(memoryText(235, 7), "[V.235]  Vocod-Unison");
}

TEST_F(StringTableTest, LookupsOutsideTheListsGiveNothing) {
    CTarnStringTable* table = CTarnStringTable::Acquire();
    ASSERT_NE(table, nullptr);
    RecordingTraceSink trace;
    EXPECT_EQ(table->GetString("NoSuchList", 0), nullptr);
    EXPECT_TRUE(trace.Contains("CEfStringTable::GetString : Not found key \"NoSuchList\""));
    EXPECT_EQ(table->GetCount("NoSuchList"), 0);
    EXPECT_EQ(table->GetString("MidiCh", 17), nullptr);
    EXPECT_EQ(table->GetString("MidiCh", -1), nullptr);
}

TEST_F(StringTableTest, FailedLoadLeavesTheSlotAsItWas) {
    CTarnStringTable* table = CTarnStringTable::Acquire();
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->LoadFromText("stray\n*OnOff\nX\n"));
    EXPECT_FALSE(table->LoadFromText("*OnOff\n*\n"));
    EXPECT_FALSE(table->LoadFromText("*OnOff\nX\n", 2));
    EXPECT_EQ(table->GetCount("ProgramName"), 250);
    EXPECT_EQ(Text(*table, "OnOff", 0), "Off");
}

TEST_F(StringTableTest, SecondSlotFallsBackToTheFirst) {
    CTarnStringTable* table = CTarnStringTable::Acquire();
    ASSERT_NE(table, nullptr);
    ASSERT_TRUE(table->LoadFromText("*OnOff\n\xA5\xAA\xA5\xD5\n\xA5\xAA\xA5\xF3\n", 1));
    table->SelectSlot(1);
    EXPECT_EQ(table->CurrentSlot(), 1);
    EXPECT_EQ(Text(*table, "OnOff", 0), "\xA5\xAA\xA5\xD5");
    EXPECT_EQ(Text(*table, "Clock", 0), "Internal");
    table->SelectSlot(5); // not a slot: ignored
    EXPECT_EQ(table->CurrentSlot(), 1);
    table->SelectSlot(0);
    EXPECT_EQ(Text(*table, "OnOff", 0), "Off");
}

TEST_F(StringTableTest, AutomaticSlotFollowsTheLocale) {
    struct SavedVariable {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<SavedVariable> saved;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        saved.push_back({name, value ? value : "", value != nullptr});
        unsetenv(name);
    }
    CTarnStringTable* table = CTarnStringTable::Acquire();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(CTarnStringTable::AutomaticSlot(), 0);
    setenv("LANG", "ja_JP.UTF-8", 1);
    EXPECT_EQ(CTarnStringTable::AutomaticSlot(), 1);
    table->SelectSlot(CTarnStringTable::kAutomaticSlot);
    EXPECT_EQ(table->CurrentSlot(), 1);
    EXPECT_EQ(Text(*table, "OnOff", 1), "On"); // the shipped file fills only slot 0
    setenv("LC_ALL", "en_GB.UTF-8", 1);        // LC_ALL wins over LANG
    table->SelectSlot(CTarnStringTable::kAutomaticSlot);
    EXPECT_EQ(table->CurrentSlot(), 0);
    setenv("LC_ALL", "ja", 1);
    EXPECT_EQ(CTarnStringTable::AutomaticSlot(), 1);
    for (const SavedVariable& variable : saved) {
        if (variable.set) {
            setenv(variable.name, variable.value.c_str(), 1);
        } else {
            unsetenv(variable.name);
        }
    }
}

TEST_F(StringTableTest, ValidUserFileReplacesTheLinkedOne) {
    TempDir dir;
    std::string text = LinkedText();
    const size_t at = text.find("Pulse Verb");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 10, "My Own Lead");
    WriteFile(dir.File(CTarnStringTable::kFileName), text);
    for (const std::string& where : {dir.Path(), dir.File(CTarnStringTable::kFileName)}) {
        CTarnStringTable::SetUserFilePath(where);
        CTarnStringTable* table = CTarnStringTable::Acquire();
        ASSERT_NE(table, nullptr);
        EXPECT_TRUE(table->UserFileLoaded());
        EXPECT_EQ(Text(*table, "ProgramName", 0), "My Own Lead");
        EXPECT_EQ(Text(*table, "ProgramName", 1), "Saw Lead");
        CTarnStringTable::Release();
    }
}

TEST_F(StringTableTest, InvalidUserFileIsIgnoredWithATrace) {
    TempDir dir;
    const std::string linked = LinkedText();
    std::string missingList = linked;
    missingList.replace(missingList.find("*WE-Normalize"), 13, "*WE-Something");
    std::string shortList = linked;
    shortList.replace(shortList.find("Vocod-Space\n"), 12, "");
    const std::string cases[] = {
        "Pulse Verb\n*ProgramName\n", // text before the first keyword
        linked + "\n*\n",             // lone star
        "; nothing but a comment\n",  // no lists at all
        missingList,                  // a list is missing
        shortList,                    // a list is shorter
        std::string("\0\0\0", 3),     // not text
    };
    for (const std::string& text : cases) {
        WriteFile(dir.File(CTarnStringTable::kFileName), text);
        CTarnStringTable::SetUserFilePath(dir.Path());
        RecordingTraceSink trace;
        CTarnStringTable* table = CTarnStringTable::Acquire();
        ASSERT_NE(table, nullptr);
        EXPECT_FALSE(table->UserFileLoaded());
        EXPECT_EQ(Text(*table, "ProgramName", 0), "Pulse Verb");
        EXPECT_EQ(table->GetCount("WE-Normalize"), 1);
        bool traced = false;
        for (const std::string& line : trace.Lines()) {
            traced = traced || line.find("Ignored") != std::string::npos;
        }
        EXPECT_TRUE(traced) << text.substr(0, 40);
        CTarnStringTable::Release();
    }
}

TEST_F(StringTableTest, MissingUserFileUsesTheLinkedOneQuietly) {
    TempDir dir;
    CTarnStringTable::SetUserFilePath(dir.File("nothing-here.txt"));
    CTarnStringTable* table = CTarnStringTable::Acquire();
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->UserFileLoaded());
    EXPECT_EQ(table->GetCount("ProgramName"), 250);
}

TEST_F(StringTableTest, DefaultUserFileLivesInTheSettingsFolder) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfig = config ? config : "";
    setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(CTarnStringTable::DefaultUserFilePath(),
              "/tmp/cfg/VESK/TalvexProStringResources.txt");
    unsetenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (home && *home) {
        EXPECT_EQ(CTarnStringTable::DefaultUserFilePath(),
                  std::string(home) + "/.config/VESK/TalvexProStringResources.txt");
    }
    if (config) {
        setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    }
}

TEST_F(StringTableTest, DamagedLinkedFileFailsCreationAndLeavesTheSingletonEmpty) {
    static const uint8_t damaged[] = "stray text before a keyword\n*OnOff\nOff\n";
    static const CEfEmbeddedFile overrides[] = {
        {CTarnStringTable::kFileName, damaged, sizeof damaged - 1}};
    static const CEfEmbeddedFile hidden[] = {{CTarnStringTable::kFileName, nullptr, 0}};
    for (const CEfEmbeddedFile* table : {overrides, hidden}) {
        CEfEmbeddedFiles::Register(table, 1);
        RecordingTraceSink trace;
        EXPECT_EQ(CTarnStringTable::Acquire(), nullptr);
        EXPECT_EQ(CTarnStringTable::Instance(), nullptr);
        EXPECT_EQ(CTarnStringTable::RefCount(), 0);
        EXPECT_TRUE(
            trace.Contains("CTarnStringTable::Create - Failed to load texts from resource."));
        CEfEmbeddedFiles::Remove(table);
    }
    ASSERT_NE(CTarnStringTable::Acquire(), nullptr);
    EXPECT_EQ(CTarnStringTable::RefCount(), 1);
}

} // namespace
