#include <gtest/gtest.h>

#include <array>

#include "DataFileHelpers.h"
#include "files/TarnChunk.h"

namespace {

std::vector<uint8_t> ImageChunkFile(const std::vector<uint8_t>& image, uint16_t blocks) {
    return WrittenBytes([&](CHfcFile& f) {
        tarn::WriteImageChunk(f, tarn::kChunkGlob, image.data(), image.size(), blocks);
    });
}

} // namespace

TEST(Chunk, WordSumChecksumExamples) {
    const uint8_t even[] = {0x01, 0x02, 0x03, 0x04};
    const uint8_t odd[] = {0x01, 0x02, 0x03};
    const uint8_t wrap[] = {0xFF, 0xFF, 0x00, 0x02};
    EXPECT_EQ(tarn::WordSumChecksum(even, 4), 0x0406);
    EXPECT_EQ(tarn::WordSumChecksum(odd, 3), 0x0402);
    EXPECT_EQ(tarn::WordSumChecksum(wrap, 4), 0x0001);
    EXPECT_EQ(tarn::WordSumChecksum(even, 0), 0);
}

TEST(Chunk, BlockCountsAndPadding) {
    EXPECT_EQ(tarn::ChunkBlocks(0, 32), 1u);
    EXPECT_EQ(tarn::ChunkBlocks(480, 32), 1u);
    EXPECT_EQ(tarn::ChunkBlocks(481, 32), 2u);
    EXPECT_EQ(tarn::PaddingFor(512), 0u);
    EXPECT_EQ(tarn::PaddingFor(513), 511u);
    EXPECT_EQ(tarn::PaddingFor(272), 240u);
}

TEST(Chunk, FileHeaderLayout) {
    const auto bytes =
        WrittenBytes([](CHfcFile& f) { EXPECT_TRUE(tarn::WriteFileHeader(f, 1, 8, 4, 0x1234)); });
    ASSERT_EQ(bytes.size(), 512u);
    const std::vector<uint8_t> head = {'T', 'X', 'P', 'F', 1, 8, 4, 0xFF, 0x00, 0x00, 0x12, 0x34};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 12), head);
    for (size_t i = 12; i < bytes.size(); ++i) {
        ASSERT_EQ(bytes[i], 0xFF) << i;
    }
}

TEST(Chunk, FileHeaderMagicAndShortRead) {
    auto bytes = WrittenBytes([](CHfcFile& f) { tarn::WriteFileHeader(f, 1, 0, 0, 1024); });
    tarn::TarnFileHeader header;
    auto read = [&](CHfcFile& f) {
        header = tarn::ReadFileHeader(f);
        return true;
    };
    EXPECT_EQ(ReadCode(bytes, read), -1);
    EXPECT_EQ(header.globCount, 1);
    EXPECT_EQ(header.totalSize, 1024u);
    bytes[3] = '+';
    EXPECT_EQ(ReadCode(bytes, read), -1);
    EXPECT_EQ(header.magic, tarn::kMagicAlternate);
    bytes[3] = 'G';
    EXPECT_EQ(ReadCode(bytes, read), CTarnFileException::kWrongFormat);
    bytes[3] = 'F';
    bytes.resize(511);
    EXPECT_EQ(ReadCode(bytes, read), CTarnFileException::kReadFailed);
}

TEST(Chunk, ImageChunkLayoutAndRoundTrip) {
    std::vector<uint8_t> image(30);
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    const auto bytes = ImageChunkFile(image, 2);
    ASSERT_EQ(bytes.size(), 1024u);
    const std::vector<uint8_t> head = {'G', 'L', 'O', 'B', 0, 0, 0, 30, 0, 2};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 10), head);
    const uint16_t sum = tarn::WordSumChecksum(image.data(), image.size());
    EXPECT_EQ(bytes[10], sum >> 8);
    EXPECT_EQ(bytes[11], sum & 0xFF);
    EXPECT_EQ(bytes[12], 0xFF);
    EXPECT_EQ(bytes[15], 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 16, bytes.begin() + 46), image);
    EXPECT_EQ(std::count(bytes.begin() + 46, bytes.end(), 0xFF), 978);

    std::vector<uint8_t> back(30, 0);
    long long end = 0;
    EXPECT_EQ(ReadCode(bytes,
                       [&](CHfcFile& f) {
                           tarn::ReadImageChunk(f, tarn::kChunkGlob, back.data(), back.size());
                           end = f.Tell();
                           return true;
                       }),
              -1);
    EXPECT_EQ(back, image);
    EXPECT_EQ(end, 1024);
}

TEST(Chunk, ImageChunkFailuresLeaveTheImage) {
    const std::vector<uint8_t> image(256, 0x42);
    auto bytes = ImageChunkFile(image, 1);
    std::vector<uint8_t> target(256, 0x11);
    auto read = [&](uint32_t id) {
        return [&, id](CHfcFile& f) {
            tarn::ReadImageChunk(f, id, target.data(), target.size());
            return true;
        };
    };
    EXPECT_EQ(ReadCode(bytes, read(tarn::kChunkProg)), CTarnFileException::kWrongFormat);
    auto corrupt = bytes;
    corrupt[16 + 100] ^= 0x01;
    EXPECT_EQ(ReadCode(corrupt, read(tarn::kChunkGlob)), CTarnFileException::kChecksum);
    auto truncated = bytes;
    truncated.resize(16 + 200);
    EXPECT_EQ(ReadCode(truncated, read(tarn::kChunkGlob)), CTarnFileException::kReadFailed);
    auto noBlocks = bytes;
    noBlocks[8] = noBlocks[9] = 0;
    EXPECT_EQ(ReadCode(noBlocks, read(tarn::kChunkGlob)), CTarnFileException::kWrongFormat);
    EXPECT_EQ(target, std::vector<uint8_t>(256, 0x11));
}

TEST(Chunk, ShortChunkKeepsTheRestOfTheImage) {
    // A chunk announcing 4 data bytes fills only those; the checksum covers the whole buffer.
    std::vector<uint8_t> target = {0, 0, 0, 0, 0x10, 0x20};
    const std::vector<uint8_t> data = {1, 2, 3, 4};
    std::vector<uint8_t> expected = {1, 2, 3, 4, 0x10, 0x20};
    const uint16_t sum = tarn::WordSumChecksum(expected.data(), expected.size());
    auto bytes = WrittenBytes([&](CHfcFile& f) {
        tarn::WriteChunkHeader(f, tarn::kChunkProg, 4, 1, sum);
        tarn::WriteExact(f, data.data(), data.size());
        tarn::WritePadding(f, 512 - 20);
    });
    EXPECT_EQ(ReadCode(bytes,
                       [&](CHfcFile& f) {
                           tarn::ReadImageChunk(f, tarn::kChunkProg, target.data(), target.size());
                           return true;
                       }),
              -1);
    EXPECT_EQ(target, expected);
}

TEST(Chunk, ShortWriteThrowsCode3) {
    ReadOnlyFile ro;
    const std::array<uint8_t, 8> image{};
    EXPECT_FALSE(tarn::WriteFileHeader(ro.File(), 1, 0, 0, 1024));
    try {
        tarn::WriteImageChunk(ro.File(), tarn::kChunkProg, image.data(), image.size(), 2);
        FAIL() << "no exception";
    } catch (const CTarnFileException& e) {
        EXPECT_EQ(e.GetCode(), CTarnFileException::kWriteFailed);
    }
}
