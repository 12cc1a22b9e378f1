#include <gtest/gtest.h>

#include <cstring>

#include "ImportTestSupport.h"
#include "audio/CTarnAiffFileIO.h"
#include "audio/CTarnExternalSampleImporter.h"
#include "audio/CTarnWaveFileIO.h"
#include "support/RecordingAlertPresenter.h"

using namespace importtest;

namespace {

// Files whose chunk walk never reaches the audio. Each must be refused and leave the bank as it
// was; before, they loaded as an empty bank and replaced the user's audio with silence.

// A WAV with an unknown chunk that declares 0xFFFFFFFF bytes before the data chunk.
const uint8_t kWavHugeUnknownChunk[] = {
    'R',  'I',  'F',  'F',  0x38, 0x00, 0x00, 0x00, // RIFF, 56 bytes follow
    'W',  'A',  'V',  'E',                          // form type
    'f',  'm',  't',  ' ',  0x10, 0x00, 0x00, 0x00, // "fmt ", 16 bytes
    0x01, 0x00, 0x01, 0x00,                         // PCM, 1 channel
    0x80, 0xBB, 0x00, 0x00,                         // 48000 Hz
    0x00, 0x77, 0x01, 0x00,                         // 96000 bytes/s
    0x02, 0x00, 0x10, 0x00,                         // block align 2, 16 bits
    'j',  'u',  'n',  'k',  0xFF, 0xFF, 0xFF, 0xFF, // "junk", 4 GiB - 1 bytes declared
    'd',  'a',  't',  'a',  0x04, 0x00, 0x00, 0x00, // the audio the walk jumps over
    0x34, 0x12, 0x78, 0x56,                         // two frames
};

// A bare RIFF header: nothing after the form type.
const uint8_t kWavBareHeader[] = {
    'R', 'I', 'F', 'F', 0x04, 0x00, 0x00, 0x00, // RIFF, 4 bytes follow
    'W', 'A', 'V', 'E',                         // form type, no chunks
};

// A bare AIFF header.
const uint8_t kAiffBareHeader[] = {
    'F', 'O', 'R', 'M', 0x00, 0x00, 0x00, 0x04, // FORM, 4 bytes follow
    'A', 'I', 'F', 'F',                         // form type, no chunks
};

// An AIFF with an unknown chunk declaring 0xFFFFFFFF bytes between COMM and SSND.
const uint8_t kAiffHugeUnknownChunk[] = {
    'F',  'O',  'R',  'M',  0x00, 0x00, 0x00, 0x46,       // FORM, 70 bytes follow
    'A',  'I',  'F',  'F',                                // form type
    'C',  'O',  'M',  'M',  0x00, 0x00, 0x00, 0x12,       // "COMM", 18 bytes
    0x00, 0x01,                                           // 1 channel
    0x00, 0x00, 0x00, 0x02,                               // 2 frames
    0x00, 0x10,                                           // 16 bits
    0x40, 0x0E, 0xBB, 0x80, 0,    0,    0,    0,    0, 0, // 48000 Hz, 80-bit extended
    'A',  'N',  'N',  'O',  0xFF, 0xFF, 0xFF, 0xFF,       // "ANNO", 4 GiB - 1 bytes declared
    'S',  'S',  'N',  'D',  0x00, 0x00, 0x00, 0x0C,       // the sound data the walk jumps over
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,       // offset, block size
    0x12, 0x34, 0x56, 0x78,                               // two frames
};

// A WAV whose odd-sized "LIST" chunk has no pad byte but is followed directly by the "data"
// chunk, as some writers leave it: read the way it was written.
const uint8_t kWavOddChunkThenData[] = {
    'R',  'I',  'F',  'F',  0x33, 0x00, 0x00, 0x00, // RIFF, 51 bytes follow
    'W',  'A',  'V',  'E',                          // form type
    'f',  'm',  't',  ' ',  0x10, 0x00, 0x00, 0x00, // "fmt ", 16 bytes
    0x01, 0x00, 0x01, 0x00,                         // PCM, 1 channel
    0x80, 0xBB, 0x00, 0x00,                         // 48000 Hz
    0x00, 0x77, 0x01, 0x00,                         // 96000 bytes/s
    0x02, 0x00, 0x10, 0x00,                         // block align 2, 16 bits
    'L',  'I',  'S',  'T',  0x03, 0x00, 0x00, 0x00, // "LIST", 3 bytes (odd)
    'a',  'b',  'c',                                // its data, no pad byte
    'd',  'a',  't',  'a',  0x04, 0x00, 0x00, 0x00, // "data", 4 bytes, directly after
    0x34, 0x12, 0x78, 0x56,                         // frames 0x1234, 0x5678
};

template <size_t N> std::vector<uint8_t> Bytes(const uint8_t (&array)[N]) {
    return std::vector<uint8_t>(array, array + N);
}

void MakeBank(CTarnSampleData& bank) {
    bank.Initialize();
    for (int f = 0; f < 1000; ++f) {
        bank.SetSample(f, 0, int16_t(f * 11));
        bank.SetSample(f, 1, int16_t(-f * 11));
    }
    bank.SetLoadedFrames(1000);
}

TEST(NoAudioImport, ReadersRefuseAWalkThatNeverReachesTheAudio) {
    CTarnWaveFileIO wave;
    CTarnAiffFileIO aiff;
    CTarnSampleData s;
    EXPECT_EQ(ReadWith(wave, Bytes(kWavHugeUnknownChunk), s), CTarnFileException::kReadFailed);
    EXPECT_EQ(ReadWith(wave, Bytes(kWavBareHeader), s), CTarnFileException::kReadFailed);
    EXPECT_EQ(ReadWith(aiff, Bytes(kAiffBareHeader), s), CTarnFileException::kReadFailed);
    EXPECT_EQ(ReadWith(aiff, Bytes(kAiffHugeUnknownChunk), s), CTarnFileException::kReadFailed);
}

TEST(NoAudioImport, AnOddChunkWithoutItsPadByteIsSteppedOverAsWritten) {
    CTarnWaveFileIO wave;
    CTarnSampleData s;
    ASSERT_EQ(ReadWith(wave, Bytes(kWavOddChunkThenData), s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), 2);
    EXPECT_EQ(Left(s, 0), 0x1234);
    EXPECT_EQ(Left(s, 1), 0x5678);
    EXPECT_EQ(Right(s, 1), 0x5678);
    // Through the importer as well.
    RecordingAlertPresenter alerts;
    TempDir dir;
    TempDir::WriteAll(dir.File("nopad.wav"), Bytes(kWavOddChunkThenData));
    CTarnSampleData bank;
    CTarnCurrentSettingData cs;
    EXPECT_EQ(CTarnExternalSampleImporter().Import(dir.File("nopad.wav"), bank, cs),
              CEfFileIO::kSucceeded);
    EXPECT_EQ(bank.GetLoadedFrames(), 2);
    EXPECT_TRUE(alerts.alerts.empty());
    // A chunk with its pad byte is still walked past the pad.
    auto padded = Riff({FmtChunk(1, 48000, 16),
                        {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0},
                        DataChunk({0x34, 0x12})});
    ASSERT_EQ(ReadWith(wave, padded, s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), 1);
    EXPECT_EQ(Left(s, 0), 0x1234);
}

TEST(NoAudioImport, TheImportShowsTheReadFailureAndKeepsTheBank) {
    RecordingAlertPresenter alerts;
    TempDir dir;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } files[] = {
        {"huge.wav", Bytes(kWavHugeUnknownChunk)},
        {"bare.wav", Bytes(kWavBareHeader)},
        {"bare.aif", Bytes(kAiffBareHeader)},
        {"huge.aif", Bytes(kAiffHugeUnknownChunk)},
    };
    for (const auto& f : files) {
        const std::string path = dir.File(f.name);
        TempDir::WriteAll(path, f.bytes);
        CTarnSampleData bank;
        MakeBank(bank);
        CTarnSampleData before;
        before.CopyFrom(&bank);
        CTarnCurrentSettingData cs;
        alerts.alerts.clear();
        EXPECT_EQ(CTarnExternalSampleImporter().Import(path, bank, cs), CEfFileIO::kFailed)
            << f.name;
        ASSERT_EQ(alerts.alerts.size(), 1u) << f.name;
        EXPECT_EQ(alerts.alerts[0].text, "Unable to read data from the file.") << f.name;
        EXPECT_EQ(bank.GetLoadedFrames(), 1000) << f.name;
        EXPECT_EQ(0, std::memcmp(bank.GetData(), before.GetData(), size_t(bank.GetDataSize())))
            << f.name;
    }
}

} // namespace
