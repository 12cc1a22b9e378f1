#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "DataFileHelpers.h"
#include "data/CTarnGlobalData.h"

namespace {

using G = CTarnGlobalData;

int Get(const G& g, int id, int sub = -1) {
    return g.GetParameter(ParamAddress(id, sub));
}
void Set(G& g, int id, int sub, int value) {
    g.SetParameter(ParamAddress(id, sub), value);
}
uint8_t Byte(const G& g, int offset) {
    return g.GetNativeData()[offset];
}
std::vector<uint8_t> Image(const G& g) {
    return {g.GetNativeData(), g.GetNativeData() + G::kImageSize};
}

} // namespace

TEST(GlobalData, FactoryImageBytes) {
    const G g;
    const std::vector<uint8_t> head = {0x00, 0x0A, 'Q', 'X', '-',  '9',  ' ',  'N',
                                       'e',  'o',  ' ', ' ', 0x00, 0x01, 0x01, 0x00};
    EXPECT_EQ(std::vector<uint8_t>(g.GetNativeData(), g.GetNativeData() + 16), head);
    EXPECT_EQ(Byte(g, 0x10), 0x1E);
    EXPECT_EQ(Byte(g, 0x18), 0x06);
    EXPECT_EQ(Byte(g, 0x2B), 0x5A);
    EXPECT_EQ(Byte(g, 0x40), 0x07);
    const std::vector<uint8_t> program8 = {0xC0, 0xB8, 0x80, 0x7F};
    EXPECT_EQ(std::vector<uint8_t>(g.GetNativeData() + 0x7C, g.GetNativeData() + 0x80), program8);
    const std::vector<uint8_t> padNote = {0x90, 0x30, 0x3C, 0x30, 0x30, 0x24, 0x0C, 0x40, 0x64};
    EXPECT_EQ(std::vector<uint8_t>(g.GetNativeData() + 0xA0, g.GetNativeData() + 0xA9), padNote);
    EXPECT_EQ(Byte(g, 0xDC), 0x90);
    EXPECT_EQ(Byte(g, 0xDD), 0x4D);
    EXPECT_EQ(Byte(g, 0xFF), 0x00);
}

TEST(GlobalData, FactoryValuesAndMasking) {
    G g;
    EXPECT_EQ(Get(g, G::kParamIllumination), 10);
    EXPECT_EQ(Get(g, G::kParamScrollSpeed), 1);
    for (int id = G::kParamFilterSysEx; id <= G::kParamFilterProgramChange; ++id) {
        EXPECT_EQ(Get(g, id), 1) << id;
    }
    EXPECT_EQ(Get(g, G::kParamProgramLoad), 0);
    EXPECT_EQ(Get(g, G::kParamScrollText), 'Q');
    Set(g, G::kParamMidiChannel, -1, 17);
    EXPECT_EQ(Get(g, G::kParamMidiChannel), 1);
    // A one-bit field keeps its neighbours.
    Set(g, G::kParamFilterNote, -1, 0);
    EXPECT_EQ(Byte(g, 0x10), 0x16);
    Set(g, G::kParamFilterNote, -1, 3);
    EXPECT_EQ(Byte(g, 0x10), 0x1E);
    // Undefined ids read 0 and write nothing.
    const auto before = Image(g);
    Set(g, 61, 0, 99);
    Set(g, -1, 0, 99);
    EXPECT_EQ(Image(g), before);
    EXPECT_EQ(Get(g, 61), 0);
}

TEST(GlobalData, CcMapEnableIsInverted) {
    G g;
    EXPECT_EQ(Get(g, 18, G::kSubEnable), 1);
    Set(g, 18, G::kSubEnable, 0);
    EXPECT_EQ(Byte(g, 0x25), 0x8C);
    EXPECT_EQ(Get(g, 18, G::kSubEnable), 0);
    EXPECT_EQ(Get(g, 18, G::kSubNumber), 12);
    Set(g, 18, G::kSubEnable, 5);
    EXPECT_EQ(Byte(g, 0x25), 0x0C);
    Set(g, 18, G::kSubNumber, 0xFF);
    EXPECT_EQ(Byte(g, 0x25), 0x7F);
    const auto before = Image(g);
    Set(g, 18, G::kSubGlobalFlag, 1);
    EXPECT_EQ(Get(g, 18, G::kSubSwitchType), 0);
    EXPECT_EQ(Image(g), before);
}

TEST(GlobalData, PadPatternMapping) {
    G g;
    EXPECT_EQ(Get(g, G::kParamPadPattern), 0);
    Set(g, G::kParamPadPattern, -1, 1);
    EXPECT_EQ(Byte(g, 0x40), 0);
    EXPECT_EQ(Get(g, G::kParamPadPattern), 1);
    Set(g, G::kParamPadPattern, -1, 7);
    EXPECT_EQ(Byte(g, 0x40), 6);
    Set(g, G::kParamPadPattern, -1, 0);
    EXPECT_EQ(Byte(g, 0x40), 7);
}

TEST(GlobalData, SwitchChannelAndGlobalFlag) {
    G g;
    ExtCtrlEntry zero;
    zero.kind = G::kSwitch;
    ASSERT_TRUE(g.SetExtCtrlEntry(0, &zero));
    Set(g, 26, G::kSubChannel, 16);
    EXPECT_EQ(Byte(g, 0x52), 0x80);
    EXPECT_EQ(Byte(g, 0x50), 0x00);
    EXPECT_EQ(Get(g, 26, G::kSubChannel), 16);
    Set(g, 26, G::kSubChannel, 3);
    EXPECT_EQ(Byte(g, 0x50), 0x03);
    EXPECT_EQ(Byte(g, 0x52), 0x00);
    // The flag keeps the channel bits underneath.
    Set(g, 26, G::kSubChannel, 16);
    Set(g, 26, G::kSubGlobalFlag, 0);
    EXPECT_EQ(Get(g, 26, G::kSubChannel), 3);
    Set(g, 26, G::kSubRealtime, 3);
    Set(g, 26, G::kSubSwitchType, 1);
    EXPECT_EQ(Byte(g, 0x50), 0x73);
    Set(g, 26, G::kSubOffValue, 0x80);
    EXPECT_EQ(Byte(g, 0x52), 0x00);
}

TEST(GlobalData, SliderAndPadAssignRecords) {
    G g;
    EXPECT_EQ(Get(g, 40, G::kSubChannel), 16);
    Set(g, 40, G::kSubChannel, 5);
    EXPECT_EQ(Byte(g, 0x88), 0x85);
    Set(g, 40, G::kSubChannel, 16);
    EXPECT_EQ(Byte(g, 0x88), 0x95);
    const auto before = Image(g);
    Set(g, 40, G::kSubSwitchType, 1);
    Set(g, 40, G::kSubMessageKind, 1);
    EXPECT_EQ(Get(g, 40, G::kSubSwitchType), 0);
    EXPECT_EQ(Image(g), before);
    Set(g, 60, G::kSubNumber, 0x33);
    EXPECT_EQ(Byte(g, 0xDD), 0x33);
    Set(g, 53, G::kSubEnable, 0);
    EXPECT_EQ(Byte(g, 0xC0), 0x10);
}

TEST(GlobalData, PadNoteFields) {
    G g;
    EXPECT_EQ(Get(g, G::kParamPadNoteChannel), 16);
    Set(g, G::kParamPadNoteChannel, -1, 9);
    EXPECT_EQ(Byte(g, 0xA0), 0x89);
    EXPECT_EQ(Get(g, G::kParamPadNoteGlobal), 0);
    Set(g, 45, -1, 36);
    EXPECT_EQ(Byte(g, 0xA1), 48);
    EXPECT_EQ(Get(g, 45), 36);
    EXPECT_EQ(Get(g, 50), 0);
    EXPECT_EQ(Get(g, G::kParamPadNoteOnVelocity), 100);
    Set(g, G::kParamPadNoteEnable, -1, 0);
    EXPECT_EQ(Byte(g, 0xA0), 0x09);
}

TEST(GlobalData, ScrollText) {
    G g;
    std::array<char, 11> text;
    text.fill('#');
    g.GetScrollText(text.data(), 10);
    EXPECT_EQ(text[0], '#');
    g.GetScrollText(text.data(), 11);
    EXPECT_STREQ(text.data(), "QX-9 Neo  ");
    g.SetScrollText("ABCDEFGHIJKL");
    g.GetScrollText(text.data(), 11);
    EXPECT_STREQ(text.data(), "ABCDEFGHIJ");
    EXPECT_EQ(Byte(g, 12), 0);
    EXPECT_EQ(Byte(g, 13), 1);
    g.SetScrollText("Hi");
    EXPECT_EQ(Byte(g, 4), 0);
    EXPECT_EQ(Byte(g, 11), 0);
}

TEST(GlobalData, ExternalControllerEntries) {
    G g;
    ExtCtrlEntry slider;
    ASSERT_TRUE(g.GetExtCtrlEntry(14, &slider));
    EXPECT_EQ(slider.kind, G::kSlider);
    EXPECT_FALSE(g.SetExtCtrlEntry(0, &slider));
    ASSERT_TRUE(g.SetExtCtrlEntry(15, &slider));
    EXPECT_EQ(Byte(g, 0x8D), 0x5E);
    ExtCtrlEntry any;
    EXPECT_FALSE(g.GetExtCtrlEntry(16, &any));
    EXPECT_FALSE(g.GetExtCtrlEntry(17, &any));
    EXPECT_FALSE(g.GetExtCtrlEntry(18, &any));
    EXPECT_FALSE(g.GetExtCtrlEntry(0, nullptr));

    std::array<uint8_t, ExtCtrlEntry::kClipboardSize> clip{};
    slider.ToBytes(clip.data());
    EXPECT_EQ(clip[0], 14);
    EXPECT_EQ(clip[4], 1);
    ExtCtrlEntry back;
    EXPECT_TRUE(back.FromBytes(clip.data(), clip.size()));
    EXPECT_EQ(back.bytes, slider.bytes);
    EXPECT_FALSE(back.FromBytes(clip.data(), 11));
}

TEST(GlobalData, InitExtCtrlEntryRestoresRows) {
    G g;
    ExtCtrlEntry zero;
    for (int row = 0; row < 16; ++row) {
        zero.kind = G::ExtCtrlKindOf(row);
        ASSERT_TRUE(g.SetExtCtrlEntry(row, &zero));
        g.InitExtCtrlEntry(row);
    }
    // A reset switch equals its factory record; a reset slider differs from it only in byte 3,
    // FF instead of 7F, and reads the same full 0..127 range.
    auto expected = Image(G());
    expected[0x88 + 3] = 0xFF;
    expected[0x8C + 3] = 0xFF;
    EXPECT_EQ(Image(g), expected);
    EXPECT_EQ(Get(g, 41, G::kSubOnValue), 127);
    EXPECT_EQ(Get(g, 40, G::kSubOnValue), 127);
    const auto before = Image(g);
    g.InitExtCtrlEntry(16);
    g.InitExtCtrlEntry(-1);
    EXPECT_EQ(Image(g), before);
}

TEST(GlobalData, BlockDataRoundTripAndRefusals) {
    G a;
    a.SetScrollText("Block");
    Set(a, G::kParamClock, -1, 2);
    std::vector<uint8_t> block(260);
    EXPECT_FALSE(a.GetBlockData(block.data(), 259));
    EXPECT_FALSE(a.GetBlockData(nullptr, 260));
    ASSERT_TRUE(a.GetBlockData(block.data(), 260));
    EXPECT_EQ(std::string(block.begin(), block.begin() + 4), "GPXT");
    G b;
    EXPECT_FALSE(b.SetBlockData(block.data(), 259));
    EXPECT_TRUE(b.IsBlockDataValid(block.data(), 260));
    ASSERT_TRUE(b.SetBlockData(block.data(), 260));
    EXPECT_EQ(Image(b), Image(a));

    G c;
    std::reverse(block.begin(), block.begin() + 4);
    EXPECT_FALSE(c.IsBlockDataValid(block.data(), 260));
    EXPECT_FALSE(c.SetBlockData(block.data(), 260));
    EXPECT_EQ(Image(c), Image(G()));
}

TEST(GlobalData, FileIsExactly1024Bytes) {
    G g;
    g.SetScrollText("File");
    const auto bytes = WrittenBytes([&](CHfcFile& f) { EXPECT_TRUE(g.SaveFile(f)); });
    ASSERT_EQ(bytes.size(), 1024u);
    EXPECT_EQ(g.GetFileSize(), 1024);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "TXPF");
    EXPECT_EQ(bytes[4], 1);
    EXPECT_EQ(bytes[5], 0);
    const std::vector<uint8_t> size = {0x00, 0x00, 0x04, 0x00};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 8, bytes.begin() + 12), size);
    EXPECT_EQ(std::string(bytes.begin() + 512, bytes.begin() + 516), "GLOB");
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 528, bytes.begin() + 784), Image(g));
    EXPECT_EQ(std::count(bytes.begin() + 784, bytes.end(), 0xFF), 240);

    G loaded;
    bool ok = false;
    EXPECT_EQ(ReadCode(
                  bytes, [&](CHfcFile& f) { return loaded.LoadFile(f); }, &ok),
              -1);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Image(loaded), Image(g));
}

TEST(GlobalData, BadFilesLeaveTheDataUntouched) {
    G source;
    source.SetScrollText("Other");
    const auto bytes = WrittenBytes([&](CHfcFile& f) { source.SaveFile(f); });
    G target;
    const auto factory = Image(target);
    auto load = [&](CHfcFile& f) { return target.LoadFile(f); };

    auto plus = bytes;
    plus[3] = '+';
    EXPECT_EQ(ReadCode(plus, load), -1);
    EXPECT_EQ(Image(target), Image(source));
    target.Initialize();

    auto magic = bytes;
    magic[3] = 'X';
    EXPECT_EQ(ReadCode(magic, load), CTarnFileException::kWrongFormat);
    auto noGlob = bytes;
    noGlob[4] = 0;
    EXPECT_EQ(ReadCode(noGlob, load), CTarnFileException::kWrongFormat);
    auto corrupt = bytes;
    corrupt[512 + 16 + 40] ^= 0x20;
    EXPECT_EQ(ReadCode(corrupt, load), CTarnFileException::kChecksum);
    auto wrongId = bytes;
    wrongId[512] = 'P';
    EXPECT_EQ(ReadCode(wrongId, load), CTarnFileException::kWrongFormat);
    auto shortFile = bytes;
    shortFile.resize(600);
    EXPECT_EQ(ReadCode(shortFile, load), CTarnFileException::kReadFailed);
    EXPECT_EQ(Image(target), factory);
}

TEST(GlobalData, ShortHeaderWriteReturnsFalse) {
    ReadOnlyFile ro;
    G g;
    EXPECT_FALSE(g.SaveFile(ro.File()));
}
