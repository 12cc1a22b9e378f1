#include "data/CTarnCurrentSettingData.h"

#include <algorithm>

#include "files/TarnChunk.h"

CTarnCurrentSettingData::CTarnCurrentSettingData() {
    Initialize();
}

void CTarnCurrentSettingData::Initialize() {
    // Bytes 2-4 default like a program memory's scale, stored key and note range.
    image_ = {0x04, 0xB0, 2, 60, 0, 0, 0, 0};
}

bool CTarnCurrentSettingData::CopyFrom(const CTarnCurrentSettingData* other) {
    if (!other) {
        return false;
    }
    image_ = other->image_;
    return true;
}

bool CTarnCurrentSettingData::LoadChunk(CHfcFile& file) {
    tarn::ReadImageChunk(file, tarn::kChunkProg, image_.data(), image_.size());
    return true;
}

bool CTarnCurrentSettingData::SaveChunk(CHfcFile& file) {
    tarn::WriteImageChunk(file, tarn::kChunkProg, image_.data(), image_.size(),
                          kChunkSize / tarn::kBlockSize);
    return true;
}

void CTarnCurrentSettingData::SetParameter(ParamAddress address, int value) {
    if (address.id == kParamTempo) {
        ef::WriteBE16(&image_[0], static_cast<uint16_t>(value));
    } else if (address.id >= kParamValue1 && address.id <= kParamValue3) {
        image_[static_cast<size_t>(address.id + 1)] = static_cast<uint8_t>(value);
    }
}

int CTarnCurrentSettingData::GetParameter(ParamAddress address) const {
    if (address.id == kParamTempo) {
        return static_cast<int16_t>(ef::ReadBE16(&image_[0]));
    }
    if (address.id >= kParamValue1 && address.id <= kParamValue3) {
        return image_[static_cast<size_t>(address.id + 1)];
    }
    return 0;
}

void CTarnCurrentSettingData::SetNativeData(const uint8_t* src) {
    if (src) {
        std::copy(src, src + kImageSize, image_.begin());
    }
}
