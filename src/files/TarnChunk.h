#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/EfByteOrder.h"

class CHfcFile;

// The editor's chunked file container: a 512-byte file header followed by chunks of whole
// 512-byte blocks, each a 16-byte chunk header, the data and FF padding. Numbers are big-endian.
// Read and write failures throw CTarnFileException: a short read code 2, a short write code 3,
// a wrong magic or chunk ID code 4, a checksum mismatch code 6.
namespace tarn {

constexpr size_t kBlockSize = 512;
constexpr size_t kFileHeaderSize = 512;
constexpr size_t kChunkHeaderSize = 16;

constexpr uint32_t kMagicCurrent = ef::FourCC("TXPF");
constexpr uint32_t kMagicAlternate = ef::FourCC("TXP+");
constexpr uint32_t kChunkGlob = ef::FourCC("GLOB");
constexpr uint32_t kChunkProg = ef::FourCC("PROG");
constexpr uint32_t kChunkSmpl = ef::FourCC("SMPL");

// Sum modulo 65536 of the big-endian 16-bit words of the data; an odd last byte counts as the
// high byte of a word.
uint16_t WordSumChecksum(const uint8_t* data, size_t size);

// Blocks a chunk of the given data length and fixed part occupies: ceil((length + fixed) / 512).
uint32_t ChunkBlocks(uint64_t dataLength, uint64_t fixedPart);

struct TarnFileHeader {
    uint32_t magic = 0;
    uint8_t globCount = 0;
    uint8_t progCount = 0;
    uint8_t smplCount = 0;
    uint32_t totalSize = 0;
};

// Writes the FF-filled file header with magic "TXPF". Returns false when it was written short;
// whether that is an error to throw is the caller's decision.
bool WriteFileHeader(CHfcFile& file, uint8_t globCount, uint8_t progCount, uint8_t smplCount,
                     uint32_t totalSize);

// Reads the file header and checks its magic ("TXPF" or "TXP+"). Throws code 2 or 4.
TarnFileHeader ReadFileHeader(CHfcFile& file);

struct TarnChunkHeader {
    uint32_t id = 0;
    uint32_t dataLength = 0;
    uint16_t blocks = 0;
    uint16_t checksum = 0;
    // File position of the chunk's first byte.
    long long start = 0;

    // Position of the next chunk.
    long long End() const { return start + static_cast<long long>(blocks) * kBlockSize; }
};

// Reads a chunk header at the current position and checks its ID. Throws code 2 or 4.
TarnChunkHeader ReadChunkHeader(CHfcFile& file, uint32_t expectedId);

// Reads the chunk header at the current position and returns to it; false when fewer than 16
// bytes are left.
bool PeekChunkHeader(CHfcFile& file, TarnChunkHeader* header);

// Writes a chunk header: ID, data length, block count, checksum and four FF bytes. Throws code 3.
void WriteChunkHeader(CHfcFile& file, uint32_t id, uint32_t dataLength, uint16_t blocks,
                      uint16_t checksum);

// Reads exactly size bytes (code 2 when short).
void ReadExact(CHfcFile& file, void* buffer, size_t size);
// Writes exactly size bytes (code 3 when short).
void WriteExact(CHfcFile& file, const void* buffer, size_t size);
// Writes size FF bytes (code 3 when short).
void WritePadding(CHfcFile& file, size_t size);
// FF bytes that complete the last block of a chunk whose used bytes (header included) are given.
size_t PaddingFor(uint64_t usedBytes);
// Moves to the chunk's end; a chunk too small for what was read of it is refused with code 4.
void SkipToChunkEnd(CHfcFile& file, const TarnChunkHeader& header, uint64_t bytesRead);

// Writes an image as a checksummed chunk of the given block count: header, image, FF padding.
void WriteImageChunk(CHfcFile& file, uint32_t id, const uint8_t* image, size_t size,
                     uint16_t blocks);

// Reads a checksummed image chunk into image (size bytes). A chunk shorter than size fills only
// its length; the rest keeps what image held. image changes only when the checksum matched.
// Throws code 2, 4 or 6.
void ReadImageChunk(CHfcFile& file, uint32_t id, uint8_t* image, size_t size);

} // namespace tarn
