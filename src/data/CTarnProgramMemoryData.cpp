#include "data/CTarnProgramMemoryData.h"

#include <algorithm>

#include "data/TarnProgramCategory.h"
#include "files/TarnChunk.h"

int CTarnProgramMemoryData::DefaultProgramOf(int index) {
    return tarn::FirstProgramOf(index);
}

CTarnProgramMemoryData::CTarnProgramMemoryData() {
    InitForMemory(kMemoryCount - 1);
}

bool CTarnProgramMemoryData::SetBlockData(const uint8_t* in, int size) {
    if (!IsBlockDataValid(in, size)) {
        return false;
    }
    std::copy(in + 8, in + 8 + kImageSize, image_.begin());
    return true;
}

bool CTarnProgramMemoryData::IsBlockDataValid(const uint8_t* in, int size) const {
    return HasBlockHeader(in, size, kBlockSize - 1);
}

void CTarnProgramMemoryData::InitForMemory(int index) {
    image_.fill(0);
    image_[0] = static_cast<uint8_t>(DefaultProgramOf(index));
    image_[7] = kDefaultScale;
    image_[8] = kDefaultKey + kKeyBias;
}

bool CTarnProgramMemoryData::CopyFrom(const CTarnProgramMemoryData* other) {
    if (!other) {
        return false;
    }
    image_ = other->image_;
    return true;
}

bool CTarnProgramMemoryData::LoadChunk(CHfcFile& file) {
    tarn::ReadImageChunk(file, tarn::kChunkProg, image_.data(), image_.size());
    return true;
}

bool CTarnProgramMemoryData::SaveChunk(CHfcFile& file) {
    tarn::WriteImageChunk(file, tarn::kChunkProg, image_.data(), image_.size(),
                          kChunkSize / tarn::kBlockSize);
    return true;
}

void CTarnProgramMemoryData::SetParameter(ParamAddress address, int value) {
    switch (address.id) {
    case kParamProgram:
        image_[0] = static_cast<uint8_t>(value);
        break;
    case kParamValue1:
        ef::WriteBE16(&image_[2], static_cast<uint16_t>(value));
        break;
    case kParamValue2:
        ef::WriteBE16(&image_[4], static_cast<uint16_t>(value));
        break;
    case kParamScale:
        image_[7] = static_cast<uint8_t>(value);
        break;
    case kParamKey:
        image_[8] = static_cast<uint8_t>(value + kKeyBias);
        break;
    case kParamNoteRange:
        image_[9] = static_cast<uint8_t>((image_[9] & ~0x07) | (value & 0x07));
        break;
    default:
        break;
    }
}

int CTarnProgramMemoryData::GetParameter(ParamAddress address) const {
    switch (address.id) {
    case kParamProgram:
        return image_[0];
    case kParamValue1:
        return static_cast<int16_t>(ef::ReadBE16(&image_[2]));
    case kParamValue2:
        return static_cast<int16_t>(ef::ReadBE16(&image_[4]));
    case kParamScale:
        return image_[7];
    case kParamKey:
        return image_[8] - kKeyBias;
    case kParamNoteRange:
        return image_[9] & 0x07;
    default:
        return 0;
    }
}

bool CTarnProgramMemoryData::GetBlockData(uint8_t* out, int size, int sourceIndex) const {
    if (!out || size < kBlockSize) {
        return false;
    }
    ef::WriteLE32(out, kTag);
    ef::WriteLE32(out + 4, static_cast<uint32_t>(sourceIndex));
    std::copy(image_.begin(), image_.end(), out + 8);
    return true;
}

void CTarnProgramMemoryData::SetNativeData(const uint8_t* src) {
    if (src) {
        std::copy(src, src + kImageSize, image_.begin());
    }
}

int CTarnProgramMemoryData::SourceIndexOf(const uint8_t* in, int size) const {
    return IsBlockDataValid(in, size) ? static_cast<int>(ef::ReadLE32(in + 4)) : -1;
}
