#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "audio/CTarnAiffExporter.h"
#include "audio/CTarnAiffFileIO.h"
#include "audio/CTarnExternalSampleImporter.h"
#include "audio/CTarnWaveExporter.h"
#include "audio/CTarnWaveFileIO.h"
#include "data/CTarnCurrentSettingData.h"
#include "data/CTarnSampleData.h"
#include "framework/CHfcFile.h"
#include "framework/EfByteOrder.h"
#include "platform/CHfcCompressedAudioDecoderFactory.h"

namespace {

// Files the benchmarks read and write, in a folder removed at exit.
ScratchFolder& Folder() {
    static ScratchFolder scratch;
    return scratch;
}

// 10 s of a 48 kHz stereo 16-bit chord, written once.
const std::string& TenSecondWave() {
    static const std::string path = [] {
        const uint32_t frames = 480000;
        std::vector<uint8_t> bytes(44 + frames * 4);
        uint8_t* p = bytes.data();
        ef::WriteBE32(p, ef::FourCC("RIFF"));
        ef::WriteLE32(p + 4, uint32_t(bytes.size() - 8));
        ef::WriteBE32(p + 8, ef::FourCC("WAVE"));
        ef::WriteBE32(p + 12, ef::FourCC("fmt "));
        ef::WriteLE32(p + 16, 16);
        ef::WriteLE16(p + 20, 1);
        ef::WriteLE16(p + 22, 2);
        ef::WriteLE32(p + 24, 48000);
        ef::WriteLE32(p + 28, 192000);
        ef::WriteLE16(p + 32, 4);
        ef::WriteLE16(p + 34, 16);
        ef::WriteBE32(p + 36, ef::FourCC("data"));
        ef::WriteLE32(p + 40, frames * 4);
        for (uint32_t f = 0; f < frames; ++f) {
            const double t = f / 48000.0;
            const auto v =
                int16_t(9000 * std::sin(2 * M_PI * 220 * t) + 9000 * std::sin(2 * M_PI * 330 * t));
            ef::WriteLE16(p + 44 + f * 4, uint16_t(v));
            ef::WriteLE16(p + 46 + f * 4, uint16_t(-v));
        }
        const std::string file = Folder().File("ten.wav");
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return file;
    }();
    return path;
}

// 10 s of a 96 kHz stereo 24-bit chord in a WAVE_FORMAT_EXTENSIBLE file (what sox and ffmpeg
// write for 24-bit audio), written once; the import converts it to 48 kHz.
const std::string& TenSecondExtensibleWave96k() {
    static const std::string path = [] {
        const uint32_t frames = 960000;
        const uint32_t header = 12 + 48 + 8;
        std::vector<uint8_t> bytes(header + frames * 6);
        uint8_t* p = bytes.data();
        ef::WriteBE32(p, ef::FourCC("RIFF"));
        ef::WriteLE32(p + 4, uint32_t(bytes.size() - 8));
        ef::WriteBE32(p + 8, ef::FourCC("WAVE"));
        ef::WriteBE32(p + 12, ef::FourCC("fmt "));
        ef::WriteLE32(p + 16, 40);
        ef::WriteLE16(p + 20, 0xFFFE);
        ef::WriteLE16(p + 22, 2);
        ef::WriteLE32(p + 24, 96000);
        ef::WriteLE32(p + 28, 96000 * 6);
        ef::WriteLE16(p + 32, 6);
        ef::WriteLE16(p + 34, 24);
        ef::WriteLE16(p + 36, 22);
        ef::WriteLE16(p + 38, 24);
        ef::WriteLE32(p + 40, 0x3);
        const uint8_t pcmGuid[16] = {1,    0, 0, 0,    0, 0,    0x10, 0,
                                     0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
        std::copy(pcmGuid, pcmGuid + 16, p + 44);
        ef::WriteBE32(p + 60, ef::FourCC("data"));
        ef::WriteLE32(p + 64, frames * 6);
        for (uint32_t f = 0; f < frames; ++f) {
            const double t = f / 96000.0;
            const auto v = int32_t(2300000 * std::sin(2 * M_PI * 220 * t) +
                                   2300000 * std::sin(2 * M_PI * 330 * t));
            ef::WriteLE24(p + header + f * 6, uint32_t(v));
            ef::WriteLE24(p + header + f * 6 + 3, uint32_t(-v));
        }
        const std::string file = Folder().File("ten96k.wav");
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return file;
    }();
    return path;
}

// 10 s of 320 kbit/s MP3 made by ffmpeg from the WAV; empty when ffmpeg is not installed.
const std::string& TenSecondMp3() {
    static const std::string path = [] {
        const std::string file = Folder().File("ten.mp3");
        const std::string command = "ffmpeg -loglevel error -y -i '" + TenSecondWave() +
                                    "' -c:a libmp3lame -b:a 320k '" + file + "' 2>/dev/null";
        return std::system(command.c_str()) == 0 ? file : std::string();
    }();
    return path;
}

void BM_ImportWave10s(benchmark::State& state) {
    CTarnSampleData bank;
    CTarnCurrentSettingData setting;
    for (auto _ : state) {
        if (CTarnExternalSampleImporter().Import(TenSecondWave(), bank, setting) != 2) {
            state.SkipWithError("import failed");
            break;
        }
        benchmark::DoNotOptimize(bank.GetData());
    }
}
BENCHMARK(BM_ImportWave10s)->Unit(benchmark::kMillisecond);

void BM_ImportExtensibleWave96k24bit10s(benchmark::State& state) {
    CTarnSampleData bank;
    CTarnCurrentSettingData setting;
    for (auto _ : state) {
        if (CTarnExternalSampleImporter().Import(TenSecondExtensibleWave96k(), bank, setting) !=
                2 ||
            bank.GetSamplingRate() != 48000) {
            state.SkipWithError("import failed");
            break;
        }
        benchmark::DoNotOptimize(bank.GetData());
    }
}
BENCHMARK(BM_ImportExtensibleWave96k24bit10s)->Unit(benchmark::kMillisecond);

void BM_ImportMp3_10s320k(benchmark::State& state) {
    const auto decoder = CreateCompressedAudioDecoder();
    if (!decoder || TenSecondMp3().empty()) {
        state.SkipWithError("no FFmpeg decoder or no ffmpeg to make the MP3");
        return;
    }
    CTarnSampleData bank;
    CTarnCurrentSettingData setting;
    for (auto _ : state) {
        if (CTarnExternalSampleImporter(decoder.get()).Import(TenSecondMp3(), bank, setting) != 2) {
            state.SkipWithError("import failed");
            break;
        }
        benchmark::DoNotOptimize(bank.GetData());
    }
}
BENCHMARK(BM_ImportMp3_10s320k)->Unit(benchmark::kMillisecond);

// A full bank: 16 beats at 120 BPM, 384000 frames of play range.
void FillBank(CTarnSampleData& bank) {
    bank.Initialize();
    for (int f = 0; f < MaxSampleFrames; ++f) {
        bank.SetSample(f, 0, f & 0x7FFF);
        bank.SetSample(f, 1, -(f & 0x7FFF));
    }
    bank.SetLoadedFrames(MaxSampleFrames);
    bank.SetTempo(120.0);
    bank.SetPhraseLength(8);
}

// The writers alone, to /dev/null: what an export costs apart from the disk. The ExportTo
// benchmarks below add the safe save (temporary file, fsync, rename), which the disk dominates.
void BM_WriteWaveFullBank(benchmark::State& state) {
    CTarnSampleData bank;
    FillBank(bank);
    CTarnCurrentSettingData setting;
    CHfcFile sink;
    sink.Open("/dev/null", CHfcFile::kWrite | CHfcFile::kBinary);
    for (auto _ : state) {
        CTarnWaveFileIO().Write(bank, &setting, sink);
    }
}
BENCHMARK(BM_WriteWaveFullBank)->Unit(benchmark::kMillisecond);

void BM_WriteAiffFullBank(benchmark::State& state) {
    CTarnSampleData bank;
    FillBank(bank);
    CHfcFile sink;
    sink.Open("/dev/null", CHfcFile::kWrite | CHfcFile::kBinary);
    for (auto _ : state) {
        CTarnAiffFileIO().Write(bank, nullptr, sink);
    }
}
BENCHMARK(BM_WriteAiffFullBank)->Unit(benchmark::kMillisecond);

void BM_ExportWaveFullBank(benchmark::State& state) {
    CTarnSampleData bank;
    FillBank(bank);
    CTarnCurrentSettingData setting;
    const std::string out = Folder().File("out.wav");
    for (auto _ : state) {
        if (!CTarnWaveExporter().ExportTo(out, bank, setting)) {
            state.SkipWithError("export failed");
            break;
        }
    }
}
BENCHMARK(BM_ExportWaveFullBank)->Unit(benchmark::kMillisecond);

void BM_ExportAiffFullBank(benchmark::State& state) {
    CTarnSampleData bank;
    FillBank(bank);
    const std::string out = Folder().File("out.aif");
    for (auto _ : state) {
        if (!CTarnAiffExporter().ExportTo(out, bank)) {
            state.SkipWithError("export failed");
            break;
        }
    }
}
BENCHMARK(BM_ExportAiffFullBank)->Unit(benchmark::kMillisecond);

} // namespace
