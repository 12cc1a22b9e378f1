#include "data/CTarnGlobalData.h"

#include <algorithm>
#include <cstring>

#include "data/CTarnFileException.h"
#include "files/TarnChunk.h"

namespace {

// A bit field of the image: (image[offset] >> shift) & mask.
struct Field {
    int offset;
    int shift;
    int mask;
};

constexpr Field kNoField{-1, 0, 0};

constexpr int kScrollTextOffset = 2;
constexpr int kScrollTextLength = 10;
constexpr int kCcMapOffset = 0x21;
constexpr int kPadPatternOffset = 0x40;
constexpr int kPadPatternNote = 7;
constexpr int kSwitchOffset = 0x50;
constexpr int kSliderOffset = 0x88;
constexpr int kPadNoteOffset = 0xA0;
constexpr int kPadAssignOffset = 0xC0;
constexpr int kNoteRangeBias = 12;

// Ids 0-13, in id order.
constexpr Field kSettingFields[] = {
    {0x00, 0, 0x03}, {0x01, 0, 0x0F}, {0x02, 0, 0x7F}, {0x0D, 0, 0x01}, {0x0E, 0, 0x07},
    {0x10, 4, 0x01}, {0x10, 3, 0x01}, {0x10, 2, 0x01}, {0x10, 1, 0x01}, {0x11, 0, 0x03},
    {0x18, 2, 0x01}, {0x18, 1, 0x01}, {0x18, 0, 0x01}, {0x20, 0, 0x0F},
};

// Switch record fields by sub-index, offsets within the record.
constexpr Field kSwitchFields[] = {
    {0, 7, 0x01}, {0, 6, 0x01}, {0, 4, 0x03}, {0, 0, 0x0F}, {1, 7, 0x01},
    {1, 0, 0x7F}, {2, 7, 0x01}, {2, 0, 0x7F}, {3, 0, 0x7F},
};

// Slider and pad-assign record fields by sub-index; subs 1, 2 and 4 have none.
constexpr Field kSliderFields[] = {
    {0, 7, 0x01}, kNoField,     kNoField,     {0, 0, 0x0F}, kNoField,
    {1, 0, 0x7F}, {0, 4, 0x01}, {2, 0, 0x7F}, {3, 0, 0x7F},
};

// Switch record byte 1 of rows 0-13 (the factory message).
constexpr uint8_t kSwitchFactoryByte1[] = {0xD0, 0xD1, 0xD2, 0xD3, 0xB1, 0xB2, 0xB3,
                                           0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xDF, 0xDC};

std::array<uint8_t, CTarnGlobalData::kImageSize> MakeFactoryImage() {
    std::array<uint8_t, CTarnGlobalData::kImageSize> image{};
    image[0x01] = 0x0A;
    std::memcpy(&image[kScrollTextOffset], "QX-9 Neo  ", kScrollTextLength);
    image[0x0D] = 0x01;
    image[0x0E] = 0x01;
    image[0x10] = 0x1E;
    image[0x18] = 0x06;
    const uint8_t ccMap[] = {0x24, 0x25, 0x26, 0x27, 0x0C, 0x0D, 0x5C, 0x5E, 0x5D, 0x5B, 0x5A};
    std::copy(std::begin(ccMap), std::end(ccMap), &image[kCcMapOffset]);
    image[kPadPatternOffset] = kPadPatternNote;
    for (int row = 0; row < 14; ++row) {
        uint8_t* record = &image[static_cast<size_t>(kSwitchOffset + 4 * row)];
        record[0] = (row >= 4 && row <= 11) ? 0xC0 : 0x80;
        record[1] = kSwitchFactoryByte1[row];
        record[2] = 0x80;
        record[3] = 0x7F;
    }
    const uint8_t sliders[] = {0x90, 0x5E, 0x00, 0x7F, 0x90, 0x5D, 0x00, 0x7F};
    std::copy(std::begin(sliders), std::end(sliders), &image[kSliderOffset]);
    const uint8_t padNote[] = {0x90, 0x30, 0x3C, 0x30, 0x30, 0x24, 0x0C, 0x40, 0x64};
    std::copy(std::begin(padNote), std::end(padNote), &image[kPadNoteOffset]);
    const uint8_t padNotes[] = {0x46, 0x75, 0x48, 0x49, 0x76, 0x77, 0x4C, 0x4D};
    for (int pad = 0; pad < 8; ++pad) {
        image[static_cast<size_t>(kPadAssignOffset + 4 * pad)] = 0x90;
        image[static_cast<size_t>(kPadAssignOffset + 4 * pad + 1)] = padNotes[pad];
    }
    return image;
}

int ReadField(const std::array<uint8_t, CTarnGlobalData::kImageSize>& image, int base, Field f) {
    return (image[static_cast<size_t>(base + f.offset)] >> f.shift) & f.mask;
}

void WriteField(std::array<uint8_t, CTarnGlobalData::kImageSize>& image, int base, Field f,
                int value) {
    uint8_t& byte = image[static_cast<size_t>(base + f.offset)];
    const int bits = f.mask << f.shift;
    byte = static_cast<uint8_t>((byte & ~bits) | ((value & f.mask) << f.shift));
}

// The field of a record by sub-index; kNoField for a sub the record lacks.
Field RecordField(const Field* table, int sub) {
    return sub >= 0 && sub <= CTarnGlobalData::kSubOnValue ? table[sub] : kNoField;
}

// Image offset of the record of a switch, slider or pad-assign id; -1 for other ids.
int RecordOffset(int id, bool* isSwitch) {
    *isSwitch = false;
    if (id >= CTarnGlobalData::kParamSwitchFirst && id <= CTarnGlobalData::kParamSwitchLast) {
        *isSwitch = true;
        return kSwitchOffset + 4 * (id - CTarnGlobalData::kParamSwitchFirst);
    }
    if (id >= CTarnGlobalData::kParamSliderFirst && id <= CTarnGlobalData::kParamSliderLast) {
        return kSliderOffset + 4 * (id - CTarnGlobalData::kParamSliderFirst);
    }
    if (id >= CTarnGlobalData::kParamPadAssignFirst && id <= CTarnGlobalData::kParamPadAssignLast) {
        return kPadAssignOffset + 4 * (id - CTarnGlobalData::kParamPadAssignFirst);
    }
    return -1;
}

} // namespace

const std::array<uint8_t, CTarnGlobalData::kImageSize>& CTarnGlobalData::FactoryImage() {
    static const std::array<uint8_t, kImageSize> image = MakeFactoryImage();
    return image;
}

int CTarnGlobalData::ExtCtrlKindOf(int row) {
    if (row < 0 || row >= kExtCtrlRows) {
        return -1;
    }
    if (row <= 13) {
        return kSwitch;
    }
    if (row <= 15) {
        return kSlider;
    }
    return row == 16 ? kPadAssign : kPadNote;
}

int CTarnGlobalData::ExtCtrlParamOf(int row) {
    if (row < 0 || row >= kExtCtrlRows) {
        return -1;
    }
    if (row <= 15) {
        return kParamSwitchFirst + row;
    }
    return row == 16 ? kParamPadAssignFirst : kParamPadNoteEnable;
}

int CTarnGlobalData::ExtCtrlOffsetOf(int row) {
    if (row < 0 || row >= kExtCtrlRows) {
        return -1;
    }
    if (row <= 13) {
        return kSwitchOffset + 4 * row;
    }
    if (row <= 15) {
        return kSliderOffset + 4 * (row - 14);
    }
    return row == 16 ? kPadAssignOffset : kPadNoteOffset;
}

CTarnGlobalData::CTarnGlobalData() : image_(FactoryImage()) {}

void CTarnGlobalData::Initialize() {
    image_ = FactoryImage();
}

bool CTarnGlobalData::LoadFile(CHfcFile& file) {
    const tarn::TarnFileHeader header = tarn::ReadFileHeader(file);
    if (header.globCount < 1) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    return LoadChunk(file);
}

bool CTarnGlobalData::SaveFile(CHfcFile& file) {
    if (!tarn::WriteFileHeader(file, 1, 0, 0, static_cast<uint32_t>(GetFileSize()))) {
        return false;
    }
    return SaveChunk(file);
}

bool CTarnGlobalData::GetBlockData(uint8_t* out, int size) const {
    if (!out || size < kBlockSize) {
        return false;
    }
    ef::WriteLE32(out, kTag);
    std::copy(image_.begin(), image_.end(), out + 4);
    return true;
}

bool CTarnGlobalData::SetBlockData(const uint8_t* in, int size) {
    if (!IsBlockDataValid(in, size)) {
        return false;
    }
    std::copy(in + 4, in + kBlockSize, image_.begin());
    return true;
}

bool CTarnGlobalData::IsBlockDataValid(const uint8_t* in, int size) const {
    return HasBlockHeader(in, size, kBlockSize - 1);
}

bool CTarnGlobalData::CopyFrom(const CTarnGlobalData* other) {
    if (!other) {
        return false;
    }
    image_ = other->image_;
    return true;
}

bool CTarnGlobalData::LoadChunk(CHfcFile& file) {
    tarn::ReadImageChunk(file, tarn::kChunkGlob, image_.data(), image_.size());
    return true;
}

bool CTarnGlobalData::SaveChunk(CHfcFile& file) {
    tarn::WriteImageChunk(file, tarn::kChunkGlob, image_.data(), image_.size(), 1);
    return true;
}

void CTarnGlobalData::SetParameter(ParamAddress address, int value) {
    const int id = address.id;
    const int sub = address.index1;
    if (id >= 0 && id <= kParamMidiChannel) {
        WriteField(image_, 0, kSettingFields[id], value);
    } else if (id >= kParamCcMapFirst && id <= kParamCcMapLast) {
        const int offset = kCcMapOffset + id - kParamCcMapFirst;
        if (sub == kSubEnable) {
            // The stored bit means "does not send".
            WriteField(image_, offset, {0, 7, 1}, value == 0 ? 1 : 0);
        } else if (sub == kSubNumber) {
            WriteField(image_, offset, {0, 0, 0x7F}, value);
        }
    } else if (id == kParamPadPattern) {
        WriteField(image_, kPadPatternOffset, {0, 0, 0x0F},
                   value == 0 ? kPadPatternNote : value - 1);
    } else if (id == kParamPadNoteChannel) {
        if (value == kGlobalChannel) {
            WriteField(image_, kPadNoteOffset, {0, 4, 1}, 1);
        } else {
            WriteField(image_, kPadNoteOffset, {0, 0, 0x0F}, value);
            WriteField(image_, kPadNoteOffset, {0, 4, 1}, 0);
        }
    } else if (id == kParamPadNoteEnable || id == kParamPadNoteGlobal) {
        WriteField(image_, kPadNoteOffset, {0, id == kParamPadNoteEnable ? 7 : 4, 1}, value);
    } else if (id >= kParamPadNoteRangeFirst && id <= kParamPadNoteRangeLast) {
        WriteField(image_, kPadNoteOffset + 1 + id - kParamPadNoteRangeFirst, {0, 0, 0x7F},
                   value + kNoteRangeBias);
    } else if (id == kParamPadNoteOffVelocity || id == kParamPadNoteOnVelocity) {
        WriteField(image_, kPadNoteOffset + 7 + id - kParamPadNoteOffVelocity, {0, 0, 0x7F}, value);
    } else {
        bool isSwitch = false;
        const int offset = RecordOffset(id, &isSwitch);
        if (offset < 0) {
            return;
        }
        const Field* table = isSwitch ? kSwitchFields : kSliderFields;
        if (sub == kSubChannel) {
            const Field flag = isSwitch ? Field{2, 7, 1} : Field{0, 4, 1};
            if (value == kGlobalChannel) {
                WriteField(image_, offset, flag, 1);
            } else {
                WriteField(image_, offset, table[kSubChannel], value);
                WriteField(image_, offset, flag, 0);
            }
            return;
        }
        const Field f = RecordField(table, sub);
        if (f.offset >= 0) {
            WriteField(image_, offset, f, value);
        }
    }
}

int CTarnGlobalData::GetParameter(ParamAddress address) const {
    const int id = address.id;
    const int sub = address.index1;
    if (id >= 0 && id <= kParamMidiChannel) {
        return ReadField(image_, 0, kSettingFields[id]);
    }
    if (id >= kParamCcMapFirst && id <= kParamCcMapLast) {
        const int offset = kCcMapOffset + id - kParamCcMapFirst;
        if (sub == kSubEnable) {
            return ReadField(image_, offset, {0, 7, 1}) == 0 ? 1 : 0;
        }
        return sub == kSubNumber ? ReadField(image_, offset, {0, 0, 0x7F}) : 0;
    }
    if (id == kParamPadPattern) {
        const int stored = ReadField(image_, kPadPatternOffset, {0, 0, 0x0F});
        return stored == kPadPatternNote ? 0 : stored + 1;
    }
    if (id == kParamPadNoteChannel) {
        return ReadField(image_, kPadNoteOffset, {0, 4, 1}) != 0
                   ? kGlobalChannel
                   : ReadField(image_, kPadNoteOffset, {0, 0, 0x0F});
    }
    if (id == kParamPadNoteEnable || id == kParamPadNoteGlobal) {
        return ReadField(image_, kPadNoteOffset, {0, id == kParamPadNoteEnable ? 7 : 4, 1});
    }
    if (id >= kParamPadNoteRangeFirst && id <= kParamPadNoteRangeLast) {
        return ReadField(image_, kPadNoteOffset + 1 + id - kParamPadNoteRangeFirst, {0, 0, 0x7F}) -
               kNoteRangeBias;
    }
    if (id == kParamPadNoteOffVelocity || id == kParamPadNoteOnVelocity) {
        return ReadField(image_, kPadNoteOffset + 7 + id - kParamPadNoteOffVelocity, {0, 0, 0x7F});
    }
    bool isSwitch = false;
    const int offset = RecordOffset(id, &isSwitch);
    if (offset < 0) {
        return 0;
    }
    const Field* table = isSwitch ? kSwitchFields : kSliderFields;
    if (sub == kSubChannel) {
        const Field flag = isSwitch ? Field{2, 7, 1} : Field{0, 4, 1};
        return ReadField(image_, offset, flag) != 0 ? kGlobalChannel
                                                    : ReadField(image_, offset, table[sub]);
    }
    const Field f = RecordField(table, sub);
    return f.offset >= 0 ? ReadField(image_, offset, f) : 0;
}

void CTarnGlobalData::SetNativeData(const uint8_t* src) {
    if (src) {
        std::copy(src, src + kImageSize, image_.begin());
    }
}

void CTarnGlobalData::GetScrollText(char* out, int size) const {
    if (!out || size < kScrollTextLength + 1) {
        return;
    }
    std::memcpy(out, &image_[kScrollTextOffset], kScrollTextLength);
    out[kScrollTextLength] = '\0';
}

void CTarnGlobalData::SetScrollText(const char* text) {
    if (!text) {
        return;
    }
    char* field = reinterpret_cast<char*>(&image_[kScrollTextOffset]);
    std::strncpy(field, text, kScrollTextLength + 1);
    field[kScrollTextLength] = '\0';
}

bool CTarnGlobalData::GetExtCtrlEntry(int row, ExtCtrlEntry* out) const {
    const int kind = ExtCtrlKindOf(row);
    if (!out || (kind != kSwitch && kind != kSlider)) {
        return false;
    }
    out->row = row;
    out->kind = kind;
    const size_t offset = static_cast<size_t>(ExtCtrlOffsetOf(row));
    std::copy(image_.begin() + offset, image_.begin() + offset + 4, out->bytes.begin());
    return true;
}

bool CTarnGlobalData::SetExtCtrlEntry(int row, const ExtCtrlEntry* in) {
    const int kind = ExtCtrlKindOf(row);
    if (!in || (kind != kSwitch && kind != kSlider) || in->kind != kind) {
        return false;
    }
    const size_t offset = static_cast<size_t>(ExtCtrlOffsetOf(row));
    std::copy(in->bytes.begin(), in->bytes.end(), image_.begin() + offset);
    return true;
}

void CTarnGlobalData::InitExtCtrlEntry(int row) {
    const int kind = ExtCtrlKindOf(row);
    if (kind != kSwitch && kind != kSlider) {
        return;
    }
    // A reset row is enabled on the global channel with its factory message and full range.
    const size_t offset = static_cast<size_t>(ExtCtrlOffsetOf(row));
    std::copy_n(FactoryImage().begin() + offset, 4, image_.begin() + offset);
    if (kind == kSwitch) {
        image_[offset + 2] = 0x80;
        image_[offset + 3] = 0x7F;
    } else {
        // The instrument's own reset value: FF, whose seven field bits read 127.
        image_[offset] = 0x90;
        image_[offset + 2] = 0x00;
        image_[offset + 3] = 0xFF;
    }
}
