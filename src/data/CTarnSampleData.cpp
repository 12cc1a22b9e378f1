#include "data/CTarnSampleData.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "audio/CTarnBankConverter.h"
#include "data/CTarnFileException.h"
#include "files/TarnChunk.h"
#include "framework/CEfMessagePump.h"
#include "framework/CEfProgressFactory.h"
#include "framework/CEfUiServices.h"
#include "framework/CHfcFile.h"
#include "framework/EfTrace.h"

namespace {

constexpr float kLengthTable[CTarnSampleData::kLengthCount] = {0.0625f, 0.125f, 0.25f, 0.5f, 1.0f,
                                                               2.0f,    4.0f,   8.0f,  16.0f};

// Offsets of the block data fields.
constexpr int kBlockBank = 4;
constexpr int kBlockFormat = 8;
constexpr int kBlockLoop = 28;
constexpr int kBlockSlices = 32;
constexpr int kBlockTempo = 64;
constexpr int kBlockPhraseLength = 72;
constexpr int kBlockPlayLength = 76;
constexpr int kBlockPlayLevel = 80;
constexpr int kBlockStart = 84;
constexpr int kBlockEnd = 88;
constexpr int kBlockPlayFrames = 92;
constexpr int kBlockLoaded = 96;
constexpr int kBlockLoadedBytes = 100;
constexpr int kBlockAudioBytes = 104;
constexpr int kBlockResetTrigger = 108;
constexpr int kBlockGateTrigger = 109;

int32_t ReadLEInt(const uint8_t* p) {
    return static_cast<int32_t>(ef::ReadLE32(p));
}

void WriteLEInt(uint8_t* p, int32_t v) {
    ef::WriteLE32(p, static_cast<uint32_t>(v));
}

double ReadLEDouble(const uint8_t* p) {
    const uint64_t bits = ef::ReadLE64(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void WriteLEDouble(uint8_t* p, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    ef::WriteLE64(p, bits);
}

// Bytes a load reads and converts at a time.
constexpr size_t kLoadBlockBytes = 64 * 1024;
// Frames a save converts and writes at a time.
constexpr int kSaveBlockFrames = 16384;

} // namespace

float CTarnSampleData::LengthBeats(int index) {
    return kLengthTable[std::clamp(index, 0, kLengthCount - 1)];
}

CTarnSampleData::CTarnSampleData() {
    RestoreHeaderDefaults();
}

void CTarnSampleData::RestoreHeaderDefaults() {
    sliceFlags_.fill(1);
    tempo_ = kDefaultTempo;
    loopFlag_ = 1;
    phraseLength_ = kDefaultLength;
    playLength_ = kDefaultLength;
    playLevel_ = kMaxPlayLevel;
    startFrame_ = 0;
    endFrame_ = 0;
    playFrames_ = 0;
    loadedFrames_ = 0;
    loadedBytes_ = 0;
    resetTrigger_ = 0;
    gateTrigger_ = 0;
}

void CTarnSampleData::Initialize() {
    CEfAudioData::Initialize();
    SetSamplingRate(kDeviceSampleRate, false);
    SetFrameCount(MaxSampleFrames, false);
    Reallocate();
    RestoreHeaderDefaults();
}

int CTarnSampleData::GetFileSize() const {
    return GetChunkSize() + 512;
}

int CTarnSampleData::GetBlockDataSize() const {
    return GetDataSize() + kBlockHeaderSize;
}

bool CTarnSampleData::IsBlockDataValid(const uint8_t* in, int size) const {
    EfTrace("IsBlockDataValid: %d", size);
    return HasBlockHeader(in, size, kBlockHeaderSize - 1);
}

bool CTarnSampleData::GetBlockData(uint8_t* out, int size, int sourceIndex) const {
    if (!out || size < GetBlockDataSize()) {
        return false;
    }
    std::memset(out, 0, kBlockHeaderSize);
    ef::WriteLE32(out, kBlockTag);
    WriteLEInt(out + kBlockBank, sourceIndex);
    WriteLEInt(out + kBlockFormat, GetChannels());
    WriteLEInt(out + kBlockFormat + 4, GetSamplingRate());
    WriteLEInt(out + kBlockFormat + 8, GetBitsPerSample());
    WriteLEInt(out + kBlockFormat + 12, GetBytesPerFrame());
    WriteLEInt(out + kBlockFormat + 16, GetFrameCount());
    WriteLEInt(out + kBlockLoop, loopFlag_);
    for (int i = 0; i < kSliceCount; ++i) {
        WriteLEInt(out + kBlockSlices + 4 * i, sliceFlags_[static_cast<size_t>(i)]);
    }
    WriteLEDouble(out + kBlockTempo, tempo_);
    WriteLEInt(out + kBlockPhraseLength, phraseLength_);
    WriteLEInt(out + kBlockPlayLength, playLength_);
    WriteLEInt(out + kBlockPlayLevel, playLevel_);
    WriteLEInt(out + kBlockStart, startFrame_);
    WriteLEInt(out + kBlockEnd, endFrame_);
    WriteLEInt(out + kBlockPlayFrames, playFrames_);
    WriteLEInt(out + kBlockLoaded, loadedFrames_);
    WriteLEInt(out + kBlockLoadedBytes, loadedBytes_);
    WriteLEInt(out + kBlockAudioBytes, GetDataSize());
    out[kBlockResetTrigger] = resetTrigger_;
    out[kBlockGateTrigger] = gateTrigger_;
    if (GetDataSize() > 0) {
        std::memcpy(out + kBlockHeaderSize, GetData(), static_cast<size_t>(GetDataSize()));
    }
    return true;
}

bool CTarnSampleData::SetBlockData(const uint8_t* in, int size) {
    if (!IsBlockDataValid(in, size)) {
        return false;
    }
    // The block may come from another program through the clipboard: a format this buffer
    // cannot hold is refused before anything changes.
    const int32_t channels = ReadLEInt(in + kBlockFormat);
    const int32_t rate = ReadLEInt(in + kBlockFormat + 4);
    const int32_t bits = ReadLEInt(in + kBlockFormat + 8);
    const int32_t capacity = ReadLEInt(in + kBlockFormat + 16);
    if ((channels != 1 && channels != 2) || rate <= 0 ||
        (bits != 8 && bits != 16 && bits != 24 && bits != 32) || capacity < 0 ||
        capacity > MaxSampleFrames) {
        EfTrace("SetBlockData: unsupported audio format (%d, %d, %d, %d)", channels, rate, bits,
                capacity);
        return false;
    }
    CEfAudioData audio;
    audio.SetChannels(channels, false);
    audio.SetSamplingRate(rate, false);
    audio.SetBitsPerSample(bits, false);
    audio.SetFrameCount(capacity, false);
    if (!audio.Reallocate()) {
        return false;
    }
    const uint32_t loop = static_cast<uint32_t>(ReadLEInt(in + kBlockLoop));
    if (loop < 2) {
        SetLoopFlag(static_cast<int>(loop));
    }
    SetTempo(ReadLEDouble(in + kBlockTempo));
    SetPhraseLength(ReadLEInt(in + kBlockPhraseLength));
    SetPlayLength(ReadLEInt(in + kBlockPlayLength));
    SetPlayLevel(ReadLEInt(in + kBlockPlayLevel));

    const int64_t available = size - kBlockHeaderSize;
    const int64_t announced = std::max<int64_t>(ReadLEInt(in + kBlockAudioBytes), 0);
    const int64_t copy = std::min({announced, available, int64_t{audio.GetDataSize()}});
    if (copy > 0) {
        std::memcpy(audio.GetData(), in + kBlockHeaderSize, static_cast<size_t>(copy));
    }
    CEfAudioData::operator=(std::move(audio));

    startFrame_ = std::clamp(ReadLEInt(in + kBlockStart), 0, capacity);
    SetLoadedFrames(std::clamp(ReadLEInt(in + kBlockLoaded), 0, capacity));
    loadedBytes_ = loadedFrames_ * GetBytesPerFrame();
    for (int i = 0; i < kSliceCount; ++i) {
        sliceFlags_[static_cast<size_t>(i)] = ReadLEInt(in + kBlockSlices + 4 * i);
    }
    resetTrigger_ = in[kBlockResetTrigger];
    gateTrigger_ = in[kBlockGateTrigger];
    RecalcPlayRange();
    return true;
}

void CTarnSampleData::CopyFrom(const CTarnSampleData* other) {
    if (!other || other == this) {
        return;
    }
    CEfAudioData::Assign(*other);
    CopyHeaderFrom(other);
    playLength_ = other->playLength_;
}

void CTarnSampleData::MoveFrom(CTarnSampleData* other) {
    if (!other || other == this) {
        return;
    }
    CEfAudioData::operator=(std::move(static_cast<CEfAudioData&>(*other)));
    CopyHeaderFrom(other);
    playLength_ = other->playLength_;
}

bool CTarnSampleData::CopyHeaderFrom(const CTarnSampleData* other) {
    if (!other) {
        return false;
    }
    loopFlag_ = other->loopFlag_;
    phraseLength_ = other->phraseLength_;
    tempo_ = other->tempo_;
    playLevel_ = other->playLevel_;
    startFrame_ = other->startFrame_;
    endFrame_ = other->endFrame_;
    playFrames_ = other->playFrames_;
    loadedFrames_ = other->loadedFrames_;
    loadedBytes_ = other->loadedBytes_;
    sliceFlags_ = other->sliceFlags_;
    resetTrigger_ = other->resetTrigger_;
    gateTrigger_ = other->gateTrigger_;
    return true;
}

bool CTarnSampleData::LoadFile(CHfcFile& file) {
    const tarn::TarnFileHeader header = tarn::ReadFileHeader(file);
    if (header.smplCount < 1) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    return LoadChunk(file);
}

bool CTarnSampleData::SaveFile(CHfcFile& file) {
    // A cancelled conversion is offered once more by SaveChunk before the bank is refused.
    ConvertTo48k(true);
    if (!tarn::WriteFileHeader(file, 0, 0, 1, static_cast<uint32_t>(GetFileSize()))) {
        return false;
    }
    return SaveChunk(file);
}

bool CTarnSampleData::LoadChunk(CHfcFile& file) {
    const tarn::TarnChunkHeader chunk = tarn::ReadChunkHeader(file, tarn::kChunkSmpl);
    const uint64_t length = chunk.dataLength;
    EfTrace("Sample Data Size: %d Bytes (%d)", static_cast<int>(length), int{chunk.blocks});
    std::array<uint8_t, kNativeHeaderSize> header{};
    tarn::ReadExact(file, header.data(), header.size());
    // Data beyond a full bank is never used; it is stepped over rather than held in memory.
    const uint64_t wanted = std::min<uint64_t>(length, uint64_t{kDeviceBytesPerFrame} *
                                                           (uint64_t{MaxSampleFrames} + 1));
    if (wanted > static_cast<uint64_t>(std::max(file.Remaining(), 0LL))) {
        throw CTarnFileException(CTarnFileException::kReadFailed);
    }
    const int frames = BeginNativeData(header.data(), static_cast<int>(wanted));
    const bool zeroed = AllocateForFrames(frames);
    if (!zeroed && !HasData()) {
        EfTrace("Faild to realloc audio data memory.");
        throw CTarnFileException(CTarnFileException::kSetSampleFailed);
    }
    const size_t held = std::min<size_t>(static_cast<size_t>(wanted), size_t(GetDataSize()));
    // Read a block at a time into a small buffer that stays in the processor's cache, and
    // swapped from there into the bank's buffer: the bank's memory is written once.
    uint8_t* audio = GetData();
    const size_t swapped = size_t(frames) * kDeviceBytesPerFrame;
    std::vector<uint8_t> block(std::min(kLoadBlockBytes, held));
    for (size_t at = 0; at < held; at += kLoadBlockBytes) {
        const size_t count = std::min(kLoadBlockBytes, held - at);
        tarn::ReadExact(file, block.data(), count);
        if (at < swapped) {
            ef::SwapBytes16Streaming(audio + at, block.data(),
                                     (std::min(at + count, swapped) - at) / 2);
        }
    }
    // A full bank's data ends with one frame more than the buffer holds.
    std::array<uint8_t, kDeviceBytesPerFrame> beyond{};
    tarn::ReadExact(file, beyond.data(), static_cast<size_t>(wanted) - held);
    if (!zeroed) {
        ZeroFramesFrom(frames);
    }
    if (wanted > 0) {
        FinishNativeData(header.data());
    }
    tarn::SkipToChunkEnd(file, chunk, tarn::kChunkHeaderSize + kNativeHeaderSize + length);
    return true;
}

bool CTarnSampleData::SaveChunk(CHfcFile& file) {
    ConvertForStorage();
    const int length = GetNativeDataSize();
    const int frames = length / kDeviceBytesPerFrame;
    std::array<uint8_t, kNativeHeaderSize> header{};
    GetNativeHeader(header.data());
    const uint64_t used = tarn::kChunkHeaderSize + kNativeHeaderSize + uint64_t(length);
    tarn::WriteChunkHeader(file, tarn::kChunkSmpl, static_cast<uint32_t>(length),
                           static_cast<uint16_t>(tarn::ChunkBlocks(length, 32)), 0xFFFF);
    tarn::WriteExact(file, header.data(), header.size());
    // Converted and written a block at a time: no image of the whole bank is built.
    std::vector<uint8_t> block(size_t{kDeviceBytesPerFrame} *
                               static_cast<size_t>(std::min(frames, kSaveBlockFrames)));
    for (int first = 0; first < frames; first += kSaveBlockFrames) {
        const int count = std::min(kSaveBlockFrames, frames - first);
        GetNativeFrames(block.data(), first, count);
        tarn::WriteExact(file, block.data(), size_t{kDeviceBytesPerFrame} * size_t(count));
    }
    tarn::WritePadding(file, tarn::PaddingFor(used));
    return true;
}

void CTarnSampleData::ConvertForStorage() {
    if (ConvertTo48k(true)) {
        return;
    }
    // The native form only describes 48 kHz audio: a bank left at 44.1 kHz cannot be stored.
    throw CTarnFileException(cancelListener_.IsCancelled() ? CTarnFileException::kWriteFailed
                                                           : CTarnFileException::kOutOfMemory);
}

int CTarnSampleData::GetChunkSize() const {
    const int bytes = kDeviceBytesPerFrame * (PhraseFrames() + 1) + 32;
    return (bytes + 511) / 512 * 512;
}

void CTarnSampleData::SetParameter(ParamAddress, int) {}

int CTarnSampleData::GetParameter(ParamAddress) const {
    return 0;
}

void CTarnSampleData::SetTempo(double bpm) {
    if (!(bpm > 0.0)) {
        return;
    }
    tempo_ = std::clamp(bpm, kMinTempo, kMaxTempo);
    ClampPhraseLengthToTempo();
    RecalcPlayRange();
}

void CTarnSampleData::SetPhraseLength(int index) {
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(kLengthCount)) {
        return;
    }
    phraseLength_ = index;
    ClampPhraseLengthToTempo();
    RecalcPlayRange();
}

bool CTarnSampleData::SetPhraseLengthBeats(float beats) {
    for (int i = 0; i < kLengthCount; ++i) {
        if (kLengthTable[i] == beats) {
            SetPhraseLength(i);
            return true;
        }
    }
    return false;
}

void CTarnSampleData::SetPlayLength(int index) {
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(kLengthCount)) {
        return;
    }
    playLength_ = index;
    ClampPhraseLengthToTempo();
    RecalcPlayRange();
}

bool CTarnSampleData::SetPlayLengthBeats(float beats) {
    for (int i = 0; i < kLengthCount; ++i) {
        if (kLengthTable[i] == beats) {
            SetPlayLength(i);
            return true;
        }
    }
    return false;
}

void CTarnSampleData::SetPlayLevel(int value) {
    playLevel_ = std::clamp(value, 0, kMaxPlayLevel);
}

void CTarnSampleData::SetLoopFlag(int value) {
    if (static_cast<unsigned>(value) > 1u) {
        return;
    }
    loopFlag_ = value;
    RecalcPlayRange();
    if (value == 0) {
        resetTrigger_ = 0;
    }
}

int CTarnSampleData::GetSliceFlag(int index) const {
    if (index < 0 || index >= kSliceCount) {
        EfTrace("Slice number range over.");
        return 1;
    }
    return sliceFlags_[static_cast<size_t>(index)];
}

void CTarnSampleData::SetSliceFlag(int index, int value) {
    if (index < 0 || index >= kSliceCount) {
        EfTrace("Slice number range over.");
        return;
    }
    sliceFlags_[static_cast<size_t>(index)] = value;
}

void CTarnSampleData::SetLoadedFrames(int n) {
    if (n < 0 || n > MaxSampleFrames) {
        return;
    }
    loadedFrames_ = n;
    loadedBytes_ = n * GetBytesPerFrame();
    RecalcPlayRange();
}

void CTarnSampleData::ClampPhraseLengthToTempo() {
    if (tempo_ < 108.5) {
        phraseLength_ = std::min(phraseLength_, 7);
    }
    if (tempo_ < static_cast<double>(54.3f)) {
        phraseLength_ = std::min(phraseLength_, 6);
    }
    if (tempo_ < static_cast<double>(27.2f)) {
        phraseLength_ = std::min(phraseLength_, 5);
    }
}

void CTarnSampleData::RecalcPlayRange() {
    const double beats = LengthBeats(phraseLength_);
    const double frames = std::trunc(GetSamplingRate() * (beats / tempo_ * 60.0));
    const int64_t end = int64_t{startFrame_} + static_cast<int64_t>(frames);
    endFrame_ = static_cast<int32_t>(std::min<int64_t>(end, GetFrameCount()));
    playFrames_ = endFrame_ - startFrame_;
}

int CTarnSampleData::PhraseFrames() const {
    if (loadedFrames_ == 0) {
        return 0;
    }
    const int32_t t = static_cast<int32_t>(tempo_ * -10.0);
    if (t == 0) {
        return 0;
    }
    const int32_t base = (1 - 57600000 / t) / 2;
    if (phraseLength_ < 4) {
        return base >> (4 - phraseLength_);
    }
    return base << (phraseLength_ - 4);
}

void CTarnSampleData::GetNativeHeader(uint8_t* out) const {
    if (!out) {
        return;
    }
    std::memset(out, 0, kNativeHeaderSize);
    ef::WriteBE32(out + 4, static_cast<uint32_t>(GetNumSamples()));
    const auto tempo10 = static_cast<int32_t>((tempo_ + static_cast<double>(0.0001f)) * 10.0);
    ef::WriteBE16(out + 8, static_cast<uint16_t>(tempo10));
    const auto loaded = static_cast<uint32_t>(loadedFrames_);
    out[10] = static_cast<uint8_t>(loaded >> 8);
    out[11] = static_cast<uint8_t>(loaded);
    out[12] = static_cast<uint8_t>((phraseLength_ & 0x0F) | ((playLength_ & 0x0F) << 4));
    out[13] = static_cast<uint8_t>(loaded >> 16);
    out[14] = 0xFF;
    out[15] = static_cast<uint8_t>(playLevel_ & 0x7F);
}

int CTarnSampleData::GetNativeDataSize() const {
    return kDeviceBytesPerFrame * (PhraseFrames() + 1);
}

int32_t CTarnSampleData::GetNumSamples() const {
    return PhraseFrames() << 10;
}

bool CTarnSampleData::GetNativeData(uint8_t* out, int length) const {
    const int size = GetNativeDataSize();
    if (!out || length < size) {
        return false;
    }
    GetNativeFrames(out, 0, size / kDeviceBytesPerFrame);
    return true;
}

void CTarnSampleData::GetNativeFrames(uint8_t* out, int first, int count) const {
    // Frames beyond the phrase's stored audio are zeros.
    const int stored = HasData() ? std::max(std::min(PhraseFrames(), GetFrameCount()), 0) : 0;
    const int end = first + count;
    int frame = first;
    const int copyEnd = std::min(end, stored);
    if (copyEnd > frame) {
        uint8_t* at = out;
        if (GetBitsPerSample() == 16 && GetChannels() == 2) {
            ef::SwapBytes16(at, GetData() + size_t(frame) * 4, size_t(copyEnd - frame) * 2);
        } else {
            for (int f = frame; f < copyEnd; ++f) {
                for (int c = 0; c < 2; ++c) {
                    ef::WriteBE16(at + 4 * (f - frame) + 2 * c,
                                  static_cast<uint16_t>(GetSample(f, c)));
                }
            }
        }
        frame = copyEnd;
    }
    if (end > frame) {
        std::memset(out + size_t(frame - first) * kDeviceBytesPerFrame, 0,
                    size_t(end - frame) * kDeviceBytesPerFrame);
    }
}

bool CTarnSampleData::SetNativeData(const uint8_t* header, const uint8_t* data, int length) {
    if (!header) {
        return false;
    }
    const bool withData = length > 0 && data;
    const int frames = BeginNativeData(header, length);
    const bool zeroed = AllocateForFrames(withData ? frames : 0);
    if (!zeroed && !HasData()) {
        EfTrace("Faild to realloc audio data memory.");
        return false;
    }
    if (!withData) {
        return true;
    }
    ef::SwapBytes16(GetData(), data, static_cast<size_t>(frames) * 2);
    if (!zeroed) {
        ZeroFramesFrom(frames);
    }
    FinishNativeData(header);
    return true;
}

bool CTarnSampleData::AllocateForFrames(int frames) {
    // A block mostly left at zero comes zero-filled from the allocator (fresh pages cost nothing
    // until used); one mostly written gets no fill, and only its tail is zeroed afterwards.
    if (int64_t{frames} * 2 <= GetFrameCount()) {
        return Allocate();
    }
    AllocateUninitialized();
    return false;
}

int CTarnSampleData::BeginNativeData(const uint8_t* header, int length) {
    if (length < 0) {
        length = 0;
    }
    // The native data is always 16-bit stereo; the buffer's current format does not matter.
    int32_t n = static_cast<int32_t>(ef::ReadBE32(header + 4));
    if (n > 0) {
        n >>= 10;
        EfTrace("SetNativeData: %d, %d", length, 4 * n);
        if (kDeviceBytesPerFrame * int64_t{n} > length) {
            EfTrace("Data length is too short : %d > %d", kDeviceBytesPerFrame * n, length);
            n = length / kDeviceBytesPerFrame;
        }
    } else {
        n = 0;
    }
    RestoreHeaderDefaults();
    SetSamplingRate(kDeviceSampleRate, false);
    SetBitsPerSample(16, false);
    SetChannels(2, false);
    SetFrameCount(MaxSampleFrames, false);
    if (n > MaxSampleFrames) {
        EfTrace("Loaded Sample Frame Length is longer than max sample frame length.");
    } else {
        SetLoadedFrames(n);
    }
    return std::min(n, MaxSampleFrames);
}

void CTarnSampleData::FinishNativeData(const uint8_t* header) {
    SetTempo(static_cast<int16_t>(ef::ReadBE16(header + 8)) / 10.0);
    if ((header[12] & 0x0F) <= 8) {
        SetPhraseLength(header[12] & 0x0F);
    }
    if ((header[12] >> 4) <= 8) {
        SetPlayLength(header[12] >> 4);
    }
    loopFlag_ = 1;
    RecalcPlayRange();
    playLevel_ = std::clamp(static_cast<int>(header[15]), 0, kMaxPlayLevel);
}

void CTarnSampleData::ZeroFramesFrom(int frame) {
    const size_t from = size_t(frame) * size_t(GetBytesPerFrame());
    const size_t size = size_t(GetDataSize());
    if (from < size) {
        std::memset(GetData() + from, 0, size - from);
    }
}

bool CTarnSampleData::ConvertTo48k(bool showProgress) {
    if (GetSamplingRate() != kSourceSampleRate) {
        EfTrace("already sampling rate converted.");
        return true;
    }
    // A flag left over from an earlier cancelled conversion must not stop this one.
    cancelListener_.ClearCancel();
    const int frames = HasData() ? std::clamp(loadedFrames_, 0, GetFrameCount()) : 0;
    // A looping bank is converted as the loop it plays, so that its seam stays seamless.
    CTarnBankConverter bank(*this, frames, loopFlag_ == 1);
    CEfAudioData converted;
    if (!bank.Begin(converted, MaxSampleFrames)) {
        EfTrace("Failed to allocate audio data memory.");
        return false;
    }

    std::unique_ptr<CTarnProgressDialog> progress;
    if (showProgress) {
        progress = CEfUiServices::Progress().CreateProgressDialog();
        progress->SetTotal(frames / CTarnBankConverter::kBlockFrames + 1);
        progress->SetListener(&cancelListener_);
        progress->SetText("Resampling...");
        CEfUiServices::Pump().DispatchPending();
    }
    while (!cancelListener_.IsCancelled() && bank.Step()) {
        if (progress) {
            progress->Step();
            CEfUiServices::Pump().DispatchPending();
        }
    }
    progress.reset();
    if (cancelListener_.IsCancelled()) {
        return false;
    }
    if (bank.OutputFrames() > MaxSampleFrames) {
        // Only what fits the bank is kept.
        EfTrace("Loaded Sample Frame Length is longer than max sample frame length.");
    }
    CEfAudioData::operator=(std::move(converted));
    SetLoadedFrames(std::min(bank.OutputFrames(), MaxSampleFrames));
    RecalcPlayRange();
    return true;
}

bool CTarnSampleData::Normalize() {
    const int frames = std::min(loadedFrames_, GetFrameCount());
    if (!HasData() || frames <= 0) {
        return false;
    }
    const int channels = GetChannels();
    int64_t peak = 0;
    for (int f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            peak = std::max<int64_t>(peak, std::llabs(int64_t{GetSample(f, c)}));
        }
    }
    if (peak == 0) {
        return false;
    }
    const int64_t maximum = GetMaxSampleValue();
    const auto ratio = static_cast<float>(static_cast<double>(maximum) / static_cast<double>(peak));
    for (int f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            // Products are single precision like the ratio, then truncated toward zero.
            const double scaled = std::trunc(static_cast<float>(GetSample(f, c)) * ratio);
            const auto value = static_cast<int64_t>(
                std::clamp(scaled, -static_cast<double>(maximum) - 1.0, double(maximum)));
            SetSample(f, c, static_cast<int32_t>(value));
        }
    }
    return true;
}
