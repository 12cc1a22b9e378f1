#include "audio/CTarnCompressedAudioReader.h"

#include <algorithm>
#include <cmath>

#include "audio/TarnAudioChunk.h"
#include "audio/TarnBpmDetection.h"
#include "audio/TarnSourceImport.h"
#include "data/CTarnFileException.h"
#include "data/CTarnSampleData.h"
#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"
#include "platform/CHfcCompressedAudioDecoder.h"

bool CTarnCompressedAudioReader::Read(CTarnSampleData& sample, const std::string& path) {
    CHfcCompressedAudioDecoder::Result decoded;
    if (!decoder_.Decode(path, MaxSampleFrames, 2, decoded) || decoded.channels.empty()) {
        throw CTarnFileException(CTarnFileException::kAudioReadFailed);
    }
    const std::vector<float>& left = decoded.channels[0];
    const std::vector<float>& right = decoded.channels.size() > 1 ? decoded.channels[1] : left;
    const int frames = static_cast<int>(
        std::min({left.size(), right.size(), static_cast<size_t>(MaxSampleFrames)}));

    tarn::ResetHeader(sample);
    tarn::PrepareDeviceBuffer(sample, CHfcCompressedAudioDecoder::kOutputRate);
    sample.SetLoadedFrames(frames);

    float peak = 0.0f;
    for (const std::vector<float>* channel : {&left, &right}) {
        for (int f = 0; f < frames; ++f) {
            peak = std::max(peak, (*channel)[static_cast<size_t>(f)]);
        }
    }
    float gain = 1.0f;
    if (peak > 1.0f) {
        EfTrace("The filled buffers have over 1.0f value.");
        gain = 1.0f / peak;
    }
    const float scale = 32767.0f * gain;
    uint8_t* out = sample.GetData();
    for (int f = 0; f < frames; ++f, out += 4) {
        ef::WriteLE16(out, tarn::ToDevice(left[static_cast<size_t>(f)], scale));
        ef::WriteLE16(out + 2, tarn::ToDevice(right[static_cast<size_t>(f)], scale));
    }

    tarn::DetectBpm(sample, frames, true);
    sample.RecalcPlayRange();
    sample.SetPlayLength(sample.GetPhraseLength());
    return true;
}
