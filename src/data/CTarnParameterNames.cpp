#include "data/CTarnParameterNames.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "data/CTarnAllData.h"
#include "data/CTarnCurrentSettingData.h"
#include "data/CTarnGlobalData.h"
#include "data/CTarnProgramMemorySet.h"
#include "data/TarnProgramCategory.h"

namespace {

using G = CTarnGlobalData;
using P = CTarnProgramMemoryData;
using C = CTarnCurrentSettingData;
using Entry = CTarnParameterName;
using Texts = std::vector<std::string>;

const Texts kOffOn = {"Off", "On"};
const Texts kDisableEnable = {"Disable", "Enable"};

Texts Numbered(const std::string& prefix, int first, int last) {
    Texts texts;
    for (int i = first; i <= last; ++i) {
        texts.push_back(prefix + std::to_string(i));
    }
    return texts;
}

Texts ChannelTexts(bool withGlobal) {
    Texts texts = Numbered("", 1, 16);
    if (withGlobal) {
        texts.push_back("Global");
    }
    return texts;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

Entry Global(std::string name, std::string label, int id, int sub, int minimum, int maximum,
             Texts texts = {}) {
    Entry e;
    e.name = std::move(name);
    e.label = std::move(label);
    e.target = Entry::kGlobal;
    e.address = ParamAddress(id, sub);
    e.minimum = minimum;
    e.maximum = maximum;
    e.texts = std::move(texts);
    return e;
}

// The fields of one external-controller record (switch, slider or pad-assign).
void AddRecord(std::vector<Entry>& table, const std::string& prefix, const std::string& label,
               int id, bool isSwitch) {
    auto add = [&](const char* field, const char* what, int sub, int maximum, Texts texts = {}) {
        table.push_back(Global(prefix + "." + field, label + ": " + what, id, sub, 0, maximum,
                               std::move(texts)));
    };
    add("enable", "enable", G::kSubEnable, 1, kOffOn);
    if (isSwitch) {
        add("switch_type", "button behavior", G::kSubSwitchType, 1, {"Momentary", "Toggle"});
        add("realtime", "real-time message", G::kSubRealtime, 3,
            {"None", "Start", "Continue", "Stop"});
        add("channel", "MIDI channel", G::kSubChannel, G::kGlobalChannel, ChannelTexts(true));
        add("message", "message kind", G::kSubMessageKind, 1, {"Note", "CC"});
        add("number", "note or CC number", G::kSubNumber, 127);
        add("global_channel", "global channel flag", G::kSubGlobalFlag, 1, kOffOn);
        add("off_value", "off value", G::kSubOffValue, 127);
        add("on_value", "on value", G::kSubOnValue, 127);
    } else {
        add("channel", "MIDI channel", G::kSubChannel, G::kGlobalChannel, ChannelTexts(true));
        add("cc", "CC number", G::kSubNumber, 127);
        add("global_channel", "global channel flag", G::kSubGlobalFlag, 1, kOffOn);
        add("min", "minimum value", G::kSubOffValue, 127);
        add("max", "maximum value", G::kSubOnValue, 127);
    }
}

std::vector<Entry> BuildTable() {
    std::vector<Entry> t;
    Entry reserved =
        Global("global.reserved", "Reserved field of byte 0", G::kParamReserved, -1, 0, 3);
    reserved.readOnly = true;
    t.push_back(reserved);
    Texts illumination = {"Off", "Chara"};
    for (const std::string& s : Numbered("Type ", 1, 8)) {
        illumination.push_back(s);
    }
    illumination.push_back("Chain");
    t.push_back(Global("global.illumination", "Illumination Setting", G::kParamIllumination, -1, 0,
                       10, illumination));
    Entry text = Global("global.scroll_text", "Pad Scroll Text", G::kParamScrollText, -1, 0, 0);
    text.kind = Entry::kScrollText;
    t.push_back(text);
    t.push_back(Global("global.name_display", "Program Name Display", G::kParamNameDisplay, -1, 0,
                       1, kOffOn));
    t.push_back(Global("global.scroll_speed", "Message Scroll Speed", G::kParamScrollSpeed, -1, 0,
                       2, {"Slow", "Mid", "Fast"}));
    t.push_back(Global("midi.filter.sysex", "MIDI filter: System Ex", G::kParamFilterSysEx, -1, 0,
                       1, kDisableEnable));
    t.push_back(Global("midi.filter.note", "MIDI filter: Note", G::kParamFilterNote, -1, 0, 1,
                       kDisableEnable));
    t.push_back(Global("midi.filter.cc", "MIDI filter: Control Change", G::kParamFilterCc, -1, 0, 1,
                       kDisableEnable));
    t.push_back(Global("midi.filter.program_change", "MIDI filter: Program Change",
                       G::kParamFilterProgramChange, -1, 0, 1, kDisableEnable));
    t.push_back(
        Global("midi.clock", "Clock", G::kParamClock, -1, 0, 2, {"Internal", "External", "Auto"}));
    t.push_back(Global("global.bpm_sync", "Loop Rec BPM Sync", G::kParamBpmSync, -1, 0, 1, kOffOn));
    t.push_back(Global("global.touch_correction", "Pad Touch Correction", G::kParamTouchCorrection,
                       -1, 0, 1, kOffOn));
    t.push_back(Global("global.program_load", "Program Memory Load", G::kParamProgramLoad, -1, 0, 1,
                       {"Prog No.", "All Param"}));
    t.push_back(Global("midi.channel", "Global MIDI Channel", G::kParamMidiChannel, -1, 0, 15,
                       ChannelTexts(false)));

    const std::pair<const char*, const char*> ccMap[] = {
        {"bank_a", "Loop Recorder Bank A"},
        {"bank_b", "Loop Recorder Bank B"},
        {"bank_c", "Loop Recorder Bank C"},
        {"bank_d", "Loop Recorder Bank D"},
        {"pad_x", "Pad X"},
        {"pad_y", "Pad Y"},
        {"pad_touch", "Pad Touch"},
        {"program_volume", "Program Volume"},
        {"gate_arp_time", "Gate Arp Time"},
        {"gate_arp_speed", "Gate Arp Speed"},
        {"gate_arp_onoff", "Gate Arp On/Off"},
    };
    for (int i = 0; i < 11; ++i) {
        const std::string prefix = std::string("ccmap.") + ccMap[i].first;
        const std::string label = std::string("CC map: ") + ccMap[i].second;
        t.push_back(Global(prefix + ".enable", label + " enable", G::kParamCcMapFirst + i,
                           G::kSubEnable, 0, 1, kOffOn));
        t.push_back(Global(prefix + ".cc", label + " CC number", G::kParamCcMapFirst + i,
                           G::kSubNumber, 0, 127));
    }

    t.push_back(Global("extctrl.pad_pattern", "Pad Pattern", G::kParamPadPattern, -1, 0, 7, [] {
        Texts texts = {"Pattern Note"};
        for (const std::string& s : Numbered("Pattern ", 1, 7)) {
            texts.push_back(s);
        }
        return texts;
    }()));
    const std::pair<const char*, const char*> rows[] = {
        {"bank_a", "Loop Recorder Bank A"},
        {"bank_b", "Loop Recorder Bank B"},
        {"bank_c", "Loop Recorder Bank C"},
        {"bank_d", "Loop Recorder Bank D"},
        {"program1", "Program Memory 1"},
        {"program2", "Program Memory 2"},
        {"program3", "Program Memory 3"},
        {"program4", "Program Memory 4"},
        {"program5", "Program Memory 5"},
        {"program6", "Program Memory 6"},
        {"program7", "Program Memory 7"},
        {"program8", "Program Memory 8"},
        {"gate_arp", "Gate Arp"},
        {"pad_touch", "Pad Touch"},
        {"program_volume", "Program Volume"},
        {"gate_arp_time_speed", "Gate Arp Time/Speed"},
    };
    for (int row = 0; row < 16; ++row) {
        AddRecord(t, std::string("extctrl.") + rows[row].first, rows[row].second,
                  G::ExtCtrlParamOf(row), G::ExtCtrlKindOf(row) == G::kSwitch);
    }
    for (int pad = 0; pad < 8; ++pad) {
        AddRecord(t, "extctrl.pad_assign.pad" + std::to_string(pad + 1),
                  "Pad Assign: Pad " + std::to_string(pad + 1), G::kParamPadAssignFirst + pad,
                  false);
    }
    t.push_back(Global("extctrl.pad_note.enable", "Pad Note: enable", G::kParamPadNoteEnable, -1, 0,
                       1, kOffOn));
    t.push_back(Global("extctrl.pad_note.global_channel", "Pad Note: global channel flag",
                       G::kParamPadNoteGlobal, -1, 0, 1, kOffOn));
    t.push_back(Global("extctrl.pad_note.channel", "Pad Note: MIDI channel",
                       G::kParamPadNoteChannel, -1, 0, G::kGlobalChannel, ChannelTexts(true)));
    const std::pair<const char*, const char*> ranges[] = {
        {"prog", "Prog"}, {"1oct", "1oct"}, {"2oct", "2oct"},
        {"3oct", "3oct"}, {"4oct", "4oct"}, {"full", "Full"},
    };
    for (int i = 0; i < 6; ++i) {
        // Left note numbers 0-115 (C 0 to G 9) are stored with an offset of 12.
        t.push_back(Global(std::string("extctrl.pad_note.left_") + ranges[i].first,
                           std::string("Pad Note: \"") + ranges[i].second + "\" left note number",
                           G::kParamPadNoteRangeFirst + i, -1, 0, 115));
    }
    t.push_back(Global("extctrl.pad_note.off_velocity", "Pad Note: note off velocity",
                       G::kParamPadNoteOffVelocity, -1, 0, 127));
    t.push_back(Global("extctrl.pad_note.on_velocity", "Pad Note: note on velocity",
                       G::kParamPadNoteOnVelocity, -1, 0, 127));

    const Texts categories = {"Lead", "Acoustic", "Bass",    "Chord",
                              "SE",   "Drum",     "Pattern", "Vocoder"};
    for (int m = 0; m < P::kMemoryCount; ++m) {
        const std::string prefix = "program" + std::to_string(m + 1);
        const std::string label = "Program Memory " + std::to_string(m + 1);
        auto add = [&](const std::string& field, const std::string& what, int id, int minimum,
                       int maximum, Texts texts = {}) -> Entry& {
            Entry e;
            e.name = prefix + "." + field;
            e.label = label + ": " + what;
            e.target = Entry::kProgramMemory;
            e.memory = m;
            e.address = ParamAddress(id);
            e.minimum = minimum;
            e.maximum = maximum;
            e.texts = std::move(texts);
            t.push_back(std::move(e));
            return t.back();
        };
        add("program", "program number", P::kParamProgram, 0, tarn::kProgramCount - 1);
        add("category", "program category", P::kParamProgram, 0, tarn::kCategoryCount - 1,
            categories)
            .kind = Entry::kCategory;
        add("scale", "scale", P::kParamScale, 0, 35);
        add("key", "key (12 = C)", P::kParamKey, 0, 24);
        add("note_range", "note range", P::kParamNoteRange, 0, 5,
            {"Prog", "1oct", "2oct", "3oct", "4oct", "Full"});
        add("value1", "16-bit value 1", P::kParamValue1, -32768, 32767).readOnly = true;
        add("value2", "16-bit value 2", P::kParamValue2, -32768, 32767).readOnly = true;
    }

    auto addCurrent = [&](const char* name, const char* label, int id, int minimum, int maximum,
                          bool readOnly) {
        Entry e;
        e.name = name;
        e.label = label;
        e.target = Entry::kCurrentSetting;
        e.address = ParamAddress(id);
        e.minimum = minimum;
        e.maximum = maximum;
        e.readOnly = readOnly;
        t.push_back(std::move(e));
    };
    addCurrent("current.tempo", "Current setting: tempo x 10 (200 = 20.0 BPM)", C::kParamTempo, 200,
               3000, false);
    addCurrent("current.value1", "Current setting: byte 2", C::kParamValue1, 0, 255, true);
    addCurrent("current.value2", "Current setting: byte 3", C::kParamValue2, 0, 255, true);
    addCurrent("current.value3", "Current setting: byte 4", C::kParamValue3, 0, 255, true);
    return t;
}

bool Available(const CTarnParameterNames::Targets& targets, const Entry& entry) {
    switch (entry.target) {
    case Entry::kGlobal:
        return targets.global != nullptr;
    case Entry::kProgramMemory:
        return targets.programs != nullptr && targets.programs->Memory(entry.memory) != nullptr;
    case Entry::kCurrentSetting:
        return targets.current != nullptr;
    }
    return false;
}

bool PrintableAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return c >= 0x20 && c < 0x7F; });
}

} // namespace

CTarnParameterNames::Targets CTarnParameterNames::Targets::Of(CTarnAllData& data) {
    return Targets{&data.Global(), &data.Programs(), &data.CurrentSetting()};
}

const std::vector<CTarnParameterName>& CTarnParameterNames::All() {
    static const std::vector<CTarnParameterName> table = BuildTable();
    return table;
}

const CTarnParameterName* CTarnParameterNames::Find(std::string_view name) {
    const std::string key = Lower(name);
    for (const CTarnParameterName& entry : All()) {
        if (entry.name == key) {
            return &entry;
        }
    }
    return nullptr;
}

bool CTarnParameterNames::Get(const Targets& targets, const CTarnParameterName& entry, int* value) {
    if (!value || !Available(targets, entry) || entry.kind == Entry::kScrollText) {
        return false;
    }
    switch (entry.target) {
    case Entry::kGlobal:
        *value = targets.global->GetParameter(entry.address);
        break;
    case Entry::kProgramMemory:
        *value = targets.programs->Memory(entry.memory)->GetParameter(entry.address);
        if (entry.kind == Entry::kCategory) {
            *value = tarn::CategoryOf(*value);
        }
        break;
    case Entry::kCurrentSetting:
        *value = targets.current->GetParameter(entry.address);
        break;
    }
    return true;
}

bool CTarnParameterNames::Set(const Targets& targets, const CTarnParameterName& entry, int value) {
    if (!Available(targets, entry) || entry.readOnly || entry.kind == Entry::kScrollText ||
        value < entry.minimum || value > entry.maximum) {
        return false;
    }
    switch (entry.target) {
    case Entry::kGlobal:
        targets.global->SetParameter(entry.address, value);
        break;
    case Entry::kProgramMemory: {
        CTarnProgramMemoryData* memory = targets.programs->Memory(entry.memory);
        if (entry.kind == Entry::kCategory) {
            // Keep the program when it already belongs to the category.
            if (tarn::CategoryOf(memory->GetParameter(entry.address)) == value) {
                break;
            }
            value = tarn::FirstProgramOf(value);
        }
        memory->SetParameter(entry.address, value);
        break;
    }
    case Entry::kCurrentSetting:
        targets.current->SetParameter(entry.address, value);
        break;
    }
    return true;
}

std::string CTarnParameterNames::FormatValue(const CTarnParameterName& entry, int value) {
    const long index = long(value) - entry.minimum;
    if (index >= 0 && index < long(entry.texts.size())) {
        return entry.texts[static_cast<size_t>(index)];
    }
    return std::to_string(value);
}

bool CTarnParameterNames::ParseValue(const CTarnParameterName& entry, std::string_view text,
                                     int* value) {
    if (!value) {
        return false;
    }
    const std::string key = Lower(text);
    for (size_t i = 0; i < entry.texts.size(); ++i) {
        if (Lower(entry.texts[i]) == key) {
            *value = entry.minimum + static_cast<int>(i);
            return true;
        }
    }
    int number = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, number);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || number < entry.minimum ||
        number > entry.maximum) {
        return false;
    }
    *value = number;
    return true;
}

bool CTarnParameterNames::Format(const Targets& targets, const CTarnParameterName& entry,
                                 std::string* text) {
    if (!text || !Available(targets, entry)) {
        return false;
    }
    if (entry.kind == Entry::kScrollText) {
        char buffer[11] = {};
        targets.global->GetScrollText(buffer, sizeof buffer);
        *text = buffer;
        return true;
    }
    int value = 0;
    if (!Get(targets, entry, &value)) {
        return false;
    }
    *text = FormatValue(entry, value);
    return true;
}

bool CTarnParameterNames::Assign(const Targets& targets, const CTarnParameterName& entry,
                                 std::string_view text, std::string* error) {
    auto fail = [&](std::string why) {
        if (error) {
            *error = std::move(why);
        }
        return false;
    };
    if (!Available(targets, entry)) {
        return fail(entry.name + " is not part of this data");
    }
    if (entry.readOnly) {
        return fail(entry.name + " is kept as stored and cannot be set");
    }
    if (entry.kind == Entry::kScrollText) {
        if (text.size() > 10 || !PrintableAscii(text)) {
            return fail(entry.name + " takes up to 10 printable ASCII characters");
        }
        targets.global->SetScrollText(std::string(text).c_str());
        return true;
    }
    int value = 0;
    if (!ParseValue(entry, text, &value) || !Set(targets, entry, value)) {
        std::string why = entry.name + " takes " + std::to_string(entry.minimum) + " to " +
                          std::to_string(entry.maximum);
        if (!entry.texts.empty()) {
            why += " or one of:";
            for (const std::string& s : entry.texts) {
                why += " \"" + s + "\"";
            }
        }
        return fail(why);
    }
    return true;
}
