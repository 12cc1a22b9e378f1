#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "data/CTarnAllData.h"
#include "data/CTarnParameterNames.h"

namespace {

using N = CTarnParameterNames;

const CTarnParameterName& Entry(const char* name) {
    const CTarnParameterName* entry = N::Find(name);
    if (!entry) {
        ADD_FAILURE() << "no entry " << name;
        static const CTarnParameterName none;
        return none;
    }
    return *entry;
}

} // namespace

TEST(ParameterNames, TableIsCompleteAndUnique) {
    std::set<std::string> names;
    int switchFields = 0;
    for (const CTarnParameterName& e : N::All()) {
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
        for (char c : e.name) {
            EXPECT_FALSE(std::isupper(static_cast<unsigned char>(c))) << e.name;
        }
        EXPECT_TRUE(e.texts.empty() || int(e.texts.size()) == e.maximum - e.minimum + 1) << e.name;
        if (e.address.id >= 26 && e.address.id <= 39) {
            ++switchFields;
        }
    }
    EXPECT_EQ(switchFields, 14 * 9);
    EXPECT_NE(N::Find("MIDI.Channel"), nullptr);
    EXPECT_EQ(N::Find("midi.channels"), nullptr);
    for (const char* name : {"global.scroll_text", "ccmap.gate_arp_onoff.cc", "extctrl.pad_pattern",
                             "extctrl.pad_assign.pad8.max", "extctrl.pad_note.left_full",
                             "program8.note_range", "current.tempo"}) {
        EXPECT_NE(N::Find(name), nullptr) << name;
    }
}

TEST(ParameterNames, EveryRangeFitsItsField) {
    CTarnAllData data;
    const N::Targets targets = N::Targets::Of(data);
    for (const CTarnParameterName& e : N::All()) {
        if (e.kind == CTarnParameterName::kScrollText) {
            continue;
        }
        int value = -99999;
        ASSERT_TRUE(N::Get(targets, e, &value)) << e.name;
        EXPECT_GE(value, e.minimum) << e.name;
        EXPECT_LE(value, e.maximum) << e.name;
        if (e.readOnly) {
            EXPECT_FALSE(N::Set(targets, e, value)) << e.name;
            continue;
        }
        for (int v : {e.minimum, e.maximum}) {
            ASSERT_TRUE(N::Set(targets, e, v)) << e.name;
            ASSERT_TRUE(N::Get(targets, e, &value)) << e.name;
            EXPECT_EQ(value, v) << e.name;
        }
        EXPECT_FALSE(N::Set(targets, e, e.maximum + 1)) << e.name;
        EXPECT_FALSE(N::Set(targets, e, e.minimum - 1)) << e.name;
    }
}

TEST(ParameterNames, TextsAndNumbers) {
    CTarnAllData data;
    const N::Targets targets = N::Targets::Of(data);
    CTarnGlobalData& g = data.Global();
    std::string text;
    std::string error;
    ASSERT_TRUE(N::Format(targets, Entry("global.illumination"), &text));
    EXPECT_EQ(text, "Chain");
    ASSERT_TRUE(N::Format(targets, Entry("global.scroll_speed"), &text));
    EXPECT_EQ(text, "Mid");
    ASSERT_TRUE(N::Format(targets, Entry("global.program_load"), &text));
    EXPECT_EQ(text, "Prog No.");

    EXPECT_TRUE(N::Assign(targets, Entry("midi.channel"), "16", &error));
    EXPECT_EQ(g.GetParameter(ParamAddress(CTarnGlobalData::kParamMidiChannel)), 15);
    EXPECT_TRUE(N::Assign(targets, Entry("global.illumination"), "type 3", &error));
    EXPECT_EQ(g.GetParameter(ParamAddress(CTarnGlobalData::kParamIllumination)), 4);
    EXPECT_FALSE(N::Assign(targets, Entry("global.illumination"), "11", &error));
    EXPECT_NE(error.find("\"Chain\""), std::string::npos);
    EXPECT_FALSE(N::Assign(targets, Entry("global.illumination"), "4x", &error));
    EXPECT_FALSE(N::Assign(targets, Entry("global.illumination"), "", &error));
    EXPECT_EQ(g.GetParameter(ParamAddress(CTarnGlobalData::kParamIllumination)), 4);

    EXPECT_TRUE(N::Assign(targets, Entry("ccmap.pad_x.enable"), "Off", &error));
    EXPECT_EQ(g.GetNativeData()[0x25], 0x8C);
    EXPECT_TRUE(N::Assign(targets, Entry("extctrl.bank_a.channel"), "Global", &error));
    EXPECT_TRUE(N::Assign(targets, Entry("extctrl.bank_a.realtime"), "stop", &error));
    EXPECT_EQ(g.GetNativeData()[0x50], 0xB0);
    ASSERT_TRUE(N::Format(targets, Entry("extctrl.bank_a.channel"), &text));
    EXPECT_EQ(text, "Global");
    EXPECT_TRUE(N::Assign(targets, Entry("extctrl.pad_note.left_prog"), "0", &error));
    EXPECT_EQ(g.GetNativeData()[0xA1], 12);
}

TEST(ParameterNames, CategoryScrollTextAndReadOnly) {
    CTarnAllData data;
    const N::Targets targets = N::Targets::Of(data);
    std::string error;
    std::string text;
    EXPECT_TRUE(N::Assign(targets, Entry("program3.category"), "se", &error));
    EXPECT_EQ(data.ProgramMemory(2)->GetParameter(ParamAddress(0)), 135);
    EXPECT_TRUE(N::Assign(targets, Entry("program3.program"), "140", &error));
    EXPECT_TRUE(N::Assign(targets, Entry("program3.category"), "SE", &error));
    EXPECT_EQ(data.ProgramMemory(2)->GetParameter(ParamAddress(0)), 140);

    EXPECT_TRUE(N::Assign(targets, Entry("global.scroll_text"), "Hello", &error));
    ASSERT_TRUE(N::Format(targets, Entry("global.scroll_text"), &text));
    EXPECT_EQ(text, "Hello");
    EXPECT_FALSE(N::Assign(targets, Entry("global.scroll_text"), "ABCDEFGHIJK", &error));
    EXPECT_FALSE(N::Assign(targets, Entry("global.scroll_text"), "caf\xC3\xA9", &error));
    ASSERT_TRUE(N::Format(targets, Entry("global.scroll_text"), &text));
    EXPECT_EQ(text, "Hello");

    EXPECT_FALSE(N::Assign(targets, Entry("program1.value1"), "5", &error));
    EXPECT_FALSE(N::Assign(targets, Entry("global.reserved"), "1", &error));

    N::Targets globalOnly;
    globalOnly.global = &data.Global();
    EXPECT_FALSE(N::Format(globalOnly, Entry("program1.scale"), &text));
    EXPECT_FALSE(N::Assign(globalOnly, Entry("current.tempo"), "1300", &error));
    EXPECT_TRUE(N::Assign(globalOnly, Entry("midi.clock"), "auto", &error));
}
