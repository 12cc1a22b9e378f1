#include "files/TarnChunk.h"

#include <algorithm>
#include <array>
#include <vector>

#include "data/CTarnFileException.h"
#include "framework/CHfcFile.h"

namespace tarn {

uint16_t WordSumChecksum(const uint8_t* data, size_t size) {
    uint32_t sum = 0;
    size_t i = 0;
    for (; i + 1 < size; i += 2) {
        sum += ef::ReadBE16(data + i);
    }
    if (i < size) {
        sum += uint32_t(data[i]) << 8;
    }
    return static_cast<uint16_t>(sum);
}

uint32_t ChunkBlocks(uint64_t dataLength, uint64_t fixedPart) {
    return static_cast<uint32_t>((dataLength + fixedPart + kBlockSize - 1) / kBlockSize);
}

bool WriteFileHeader(CHfcFile& file, uint8_t globCount, uint8_t progCount, uint8_t smplCount,
                     uint32_t totalSize) {
    std::array<uint8_t, kFileHeaderSize> header;
    header.fill(0xFF);
    ef::WriteBE32(header.data(), kMagicCurrent);
    header[4] = globCount;
    header[5] = progCount;
    header[6] = smplCount;
    ef::WriteBE32(header.data() + 8, totalSize);
    return file.Write(header.data(), header.size()) == header.size();
}

TarnFileHeader ReadFileHeader(CHfcFile& file) {
    std::array<uint8_t, kFileHeaderSize> raw;
    ReadExact(file, raw.data(), raw.size());
    TarnFileHeader header;
    header.magic = ef::ReadBE32(raw.data());
    if (header.magic != kMagicCurrent && header.magic != kMagicAlternate) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    header.globCount = raw[4];
    header.progCount = raw[5];
    header.smplCount = raw[6];
    header.totalSize = ef::ReadBE32(raw.data() + 8);
    return header;
}

namespace {

TarnChunkHeader ParseChunkHeader(const uint8_t* raw, long long start) {
    TarnChunkHeader header;
    header.start = start;
    header.id = ef::ReadBE32(raw);
    header.dataLength = ef::ReadBE32(raw + 4);
    header.blocks = ef::ReadBE16(raw + 8);
    header.checksum = ef::ReadBE16(raw + 10);
    return header;
}

} // namespace

TarnChunkHeader ReadChunkHeader(CHfcFile& file, uint32_t expectedId) {
    const long long start = file.Tell();
    std::array<uint8_t, kChunkHeaderSize> raw;
    ReadExact(file, raw.data(), raw.size());
    const TarnChunkHeader header = ParseChunkHeader(raw.data(), start);
    if (header.id != expectedId) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    return header;
}

bool PeekChunkHeader(CHfcFile& file, TarnChunkHeader* header) {
    const long long start = file.Tell();
    std::array<uint8_t, kChunkHeaderSize> raw;
    const bool complete = file.Read(raw.data(), raw.size()) == raw.size();
    if (!file.Seek(start, CHfcFile::kBegin)) {
        throw CTarnFileException(CTarnFileException::kReadFailed);
    }
    if (complete) {
        *header = ParseChunkHeader(raw.data(), start);
    }
    return complete;
}

void WriteChunkHeader(CHfcFile& file, uint32_t id, uint32_t dataLength, uint16_t blocks,
                      uint16_t checksum) {
    std::array<uint8_t, kChunkHeaderSize> raw;
    raw.fill(0xFF);
    ef::WriteBE32(raw.data(), id);
    ef::WriteBE32(raw.data() + 4, dataLength);
    ef::WriteBE16(raw.data() + 8, blocks);
    ef::WriteBE16(raw.data() + 10, checksum);
    WriteExact(file, raw.data(), raw.size());
}

void ReadExact(CHfcFile& file, void* buffer, size_t size) {
    if (size != 0 && file.Read(buffer, size) != size) {
        throw CTarnFileException(CTarnFileException::kReadFailed);
    }
}

void WriteExact(CHfcFile& file, const void* buffer, size_t size) {
    if (size != 0 && file.Write(buffer, size) != size) {
        throw CTarnFileException(CTarnFileException::kWriteFailed);
    }
}

void WritePadding(CHfcFile& file, size_t size) {
    static const std::array<uint8_t, kBlockSize> ff = [] {
        std::array<uint8_t, kBlockSize> a;
        a.fill(0xFF);
        return a;
    }();
    while (size > 0) {
        const size_t n = std::min(size, ff.size());
        WriteExact(file, ff.data(), n);
        size -= n;
    }
}

size_t PaddingFor(uint64_t usedBytes) {
    const uint64_t rest = usedBytes % kBlockSize;
    return rest == 0 ? 0 : static_cast<size_t>(kBlockSize - rest);
}

void SkipToChunkEnd(CHfcFile& file, const TarnChunkHeader& header, uint64_t bytesRead) {
    // A block count below what the chunk itself occupies would send the next read back into
    // this chunk's data.
    if (uint64_t(header.blocks) * kBlockSize < bytesRead) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    if (!file.Seek(header.End(), CHfcFile::kBegin)) {
        throw CTarnFileException(CTarnFileException::kReadFailed);
    }
}

void WriteImageChunk(CHfcFile& file, uint32_t id, const uint8_t* image, size_t size,
                     uint16_t blocks) {
    WriteChunkHeader(file, id, static_cast<uint32_t>(size), blocks, WordSumChecksum(image, size));
    WriteExact(file, image, size);
    const uint64_t total = uint64_t(blocks) * kBlockSize;
    const uint64_t used = kChunkHeaderSize + size;
    WritePadding(file, total > used ? static_cast<size_t>(total - used) : 0);
}

void ReadImageChunk(CHfcFile& file, uint32_t id, uint8_t* image, size_t size) {
    const TarnChunkHeader header = ReadChunkHeader(file, id);
    const size_t n = std::min<size_t>(header.dataLength, size);
    std::vector<uint8_t> buffer(image, image + size);
    ReadExact(file, buffer.data(), n);
    if (WordSumChecksum(buffer.data(), size) != header.checksum) {
        throw CTarnFileException(CTarnFileException::kChecksum);
    }
    SkipToChunkEnd(file, header, kChunkHeaderSize + n);
    std::copy(buffer.begin(), buffer.end(), image);
}

} // namespace tarn
