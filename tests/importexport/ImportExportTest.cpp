#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

#include "ImportTestSupport.h"
#include "audio/CTarnAiffExporter.h"
#include "audio/CTarnAiffFileIO.h"
#include "audio/CTarnExternalSampleImporter.h"
#include "audio/CTarnLumoSampleExporter.h"
#include "audio/CTarnWaveExporter.h"
#include "audio/CTarnWaveFileIO.h"
#include "platform/CHfcCompressedAudioDecoderFactory.h"
#include "support/RecordingAlertPresenter.h"
#include "support/ScriptedFileDialogs.h"

using namespace importtest;

namespace {

using FileType = CTarnExternalSampleImporter::FileType;

// A 48 kHz bank at 120 BPM with phrase and play length 8 beats (192000 play frames) holding a
// ramp on the left and its negation on the right.
void MakeBank(CTarnSampleData& s, int loaded = 200000) {
    s.Initialize();
    for (int f = 0; f < loaded; ++f) {
        s.SetSample(f, 0, int16_t(f * 7));
        s.SetSample(f, 1, int16_t(-f * 7));
    }
    s.SetLoadedFrames(loaded);
    s.SetTempo(120.0);
    s.SetPhraseLength(7);
    s.SetPlayLength(7);
}

void MakeSetting(CTarnCurrentSettingData& cs) {
    cs.SetParameter(ParamAddress(CTarnCurrentSettingData::kParamTempo), 1337);
    cs.SetParameter(ParamAddress(CTarnCurrentSettingData::kParamValue1), 5);
    cs.SetParameter(ParamAddress(CTarnCurrentSettingData::kParamValue2), 64);
    cs.SetParameter(ParamAddress(CTarnCurrentSettingData::kParamValue3), 9);
}

std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) {
            out += buffer;
        }
        pclose(pipe);
    }
    return out;
}

TEST(SampleImporter, ClassifiesByTheExtensionsFirstLetters) {
    EXPECT_EQ(CTarnExternalSampleImporter::Classify("LOOP.T2S"), FileType::kSampleFile);
    EXPECT_EQ(CTarnExternalSampleImporter::Classify("old.txs"), FileType::kSampleFile);
    EXPECT_EQ(CTarnExternalSampleImporter::Classify("loop.Wav"), FileType::kWave);
    EXPECT_EQ(CTarnExternalSampleImporter::Classify("take.wave"), FileType::kWave);
    EXPECT_EQ(CTarnExternalSampleImporter::Classify("a.b.aif"), FileType::kAiff);
    EXPECT_EQ(CTarnExternalSampleImporter::Classify("x.AIFF"), FileType::kAiff);
    EXPECT_EQ(CTarnExternalSampleImporter::Classify("song.mp3"), FileType::kCompressed);
    EXPECT_EQ(CTarnExternalSampleImporter::Classify("song.M4A"), FileType::kCompressed);
    EXPECT_EQ(CTarnExternalSampleImporter::Classify("song.ogg"), FileType::kUnsupported);
    EXPECT_EQ(CTarnExternalSampleImporter::Classify("loop.wa"), FileType::kUnsupported);
    EXPECT_EQ(CTarnExternalSampleImporter::Classify("wav"), FileType::kUnsupported);
}

TEST(SampleImporter, OffersCompressedAudioOnlyWithADecoder) {
    ScriptedFileDialogs dialogs;
    dialogs.Cancel();
    dialogs.Cancel();
    CTarnSampleData s;
    CTarnCurrentSettingData cs;
    EXPECT_EQ(CTarnExternalSampleImporter().Import(s, cs, nullptr), CEfFileIO::kNothingDone);
    const auto without = dialogs.LastShown();
    EXPECT_EQ(without.title, "Import");
    ASSERT_EQ(without.filters.size(), 5u);
    EXPECT_EQ(without.filters[0].description,
              "Supported Files (*.t2s, *.txs,  *.wav, *.aif, *.aiff)");
    EXPECT_EQ(without.filters[0].pattern, "*.t2s;*.txs;*.wav;*.aif;*.aiff");
    EXPECT_EQ(without.filters[1].description, "TALVEX PRO+ Loop Recorder Data Files (*.t2s)");
    EXPECT_EQ(without.filters[2].description, "TALVEX PRO Loop Recorder Data Files (*.txs)");
    EXPECT_EQ(without.filters[3].pattern, "*.wav");
    EXPECT_EQ(without.filters[4].description, "AIFF Files (*.aif, *.aiff)");
    EXPECT_EQ(without.filters[4].pattern, "*.aif;*.aiff");

    auto decoder = CreateCompressedAudioDecoder();
    if (!decoder) {
        GTEST_SKIP() << "built without a compressed-audio decoder";
    }
    EXPECT_EQ(CTarnExternalSampleImporter(decoder.get()).Import(s, cs, nullptr),
              CEfFileIO::kNothingDone);
    const auto with = dialogs.LastShown();
    // Every compressed format the decoder reads here follows MP3, in the decoder's order.
    const std::vector<std::string> compressed = decoder->Extensions();
    ASSERT_GE(compressed.size(), 2u);
    EXPECT_EQ(compressed[0], "mp3");
    std::string description = "Supported Files (*.t2s, *.txs, *.wav, *.aif, *.aiff";
    std::string pattern = "*.t2s;*.txs;*.wav;*.aif;*.aiff";
    for (const std::string& e : compressed) {
        description += ", *." + e;
        pattern += ";*." + e;
    }
    ASSERT_EQ(with.filters.size(), 6u + compressed.size());
    EXPECT_EQ(with.filters[0].description, description + ")");
    EXPECT_EQ(with.filters[0].pattern, pattern);
    EXPECT_EQ(with.filters[4].description, "AIFF Files (*.aif, *.aiff)");
    EXPECT_EQ(with.filters[5].description, "MP3 Files (*.mp3)");
    EXPECT_EQ(with.filters[5].pattern, "*.mp3");
    for (size_t i = 1; i < compressed.size(); ++i) {
        EXPECT_EQ(with.filters[5 + i].pattern, "*." + compressed[i]);
    }
    EXPECT_EQ(with.filters.back().description, "All Files (*.*)");
    EXPECT_EQ(with.filters.back().pattern, "*.*");

    // An M4A chosen in the dialog is decoded from the chosen path.
    dialogs.Choose(Fixture("sine_48k.m4a"));
    CTarnExternalSampleImporter importer(decoder.get());
    EXPECT_EQ(importer.Import(s, cs, nullptr), CEfFileIO::kSucceeded);
    EXPECT_EQ(importer.FileName(), "sine_48k.m4a");
    EXPECT_NEAR(s.GetLoadedFrames(), 24000, 1200);
}

// What the editor holds when the decoder's module or its libraries are missing: a decoder that
// reads nothing.
class UnloadedDecoder : public CHfcCompressedAudioDecoder {
public:
    bool Decode(const std::string&, size_t, int, Result&) override { return false; }
    std::vector<std::string> Extensions() const override { return {}; }
};

TEST(SampleImporter, AMissingDecoderIsNamedForMp3AndM4a) {
    RecordingAlertPresenter alerts;
    CTarnSampleData bank;
    MakeBank(bank);
    CTarnSampleData before;
    before.CopyFrom(&bank);
    CTarnCurrentSettingData cs;
    TempDir dir;
    TempDir::WriteAll(dir.File("song.M4A"), FixtureBytes("sine_48k.m4a"));
    TempDir::WriteAll(dir.File("song.flac"), FixtureBytes("sine_48k.m4a"));
    UnloadedDecoder decoder;
    const std::pair<const char*, const char*> cases[] = {
        {"song.M4A",
         "MP3 and M4A files cannot be imported because no MP3 or AAC decoder is available."},
        {"song.flac", "File format not supported"},
    };
    for (const auto& [name, message] : cases) {
        alerts.alerts.clear();
        EXPECT_EQ(CTarnExternalSampleImporter(&decoder).Import(dir.File(name), bank, cs),
                  CEfFileIO::kFailed);
        ASSERT_EQ(alerts.alerts.size(), 1u) << name;
        EXPECT_EQ(alerts.alerts[0].text, message);
        EXPECT_EQ(0, memcmp(bank.GetData(), before.GetData(), size_t(bank.GetDataSize())));
    }
}

TEST(SampleImporter, ReplacesBankAndSettingOnlyOnSuccess) {
    RecordingAlertPresenter alerts;
    ScriptedFileDialogs dialogs;
    CTarnSampleData bank;
    MakeBank(bank);
    CTarnCurrentSettingData cs;
    MakeSetting(cs);
    CTarnSampleData before;
    before.CopyFrom(&bank);

    struct Failure {
        std::string path;
        const char* message;
    };
    TempDir dir;
    TempDir::WriteAll(dir.File("song.ogg"), FixtureBytes("wav_s16_mono_44k.wav"));
    TempDir::WriteAll(dir.File("song.mp3"), FixtureBytes("sine_44k.mp3"));
    TempDir::WriteAll(dir.File("none.wav"), Riff({FmtChunk(0, 48000, 16), DataChunk({0, 0})}));
    TempDir::WriteAll(dir.File("f16.wav"), Riff({FmtChunk(2, 48000, 16, 3), DataChunk({0, 0})}));
    // sox's AIFF-C with its compression type changed to IMA ADPCM.
    auto ima4 = FixtureBytes("aifc_s16_stereo_48k.aifc");
    const auto type = std::search(ima4.begin(), ima4.end(), "NONE", "NONE" + 4);
    std::copy_n("ima4", 4, type);
    ef::WriteBE16(&ima4[size_t(type - ima4.begin()) - 18], 1);
    TempDir::WriteAll(dir.File("ima4.aifc"), ima4);
    const Failure failures[] = {
        // What a refused file is comes on a second line.
        {Fixture("wav_s16_mono_4k.wav"),
         "Supported sampling rates: 48KH, 44.1KHz\nPCM, 16-bit, 4000 Hz, 1 channel"},
        {Fixture("wav_ima_adpcm_8k.wav"),
         "Unsupported wave format\nIMA ADPCM, 4-bit, 8000 Hz, 1 channel"},
        {dir.File("none.wav"),
         "Supported channels: 1(mono) or 2(stereo)\nPCM, 16-bit, 48000 Hz, 0 channels"},
        {dir.File("f16.wav"),
         "Supported bit rates: 8bit, 16bit, 24bit\nIEEE float, 16-bit, 48000 Hz, 2 channels"},
        {dir.File("ima4.aifc"),
         "Compressed AIFF files are not supported.\nAIFF-C 'ima4', 16-bit, 48000 Hz, 1 channel"},
        {Fixture("empty.wav"), "Unable to read data from the file."},
        {dir.File("song.ogg"), "File format not supported"},
        // Without a decoder an MP3 or M4A says what is missing; other compressed kinds are
        // simply not supported.
        {dir.File("song.mp3"),
         "MP3 and M4A files cannot be imported because no MP3 or AAC decoder is available."},
    };
    for (const Failure& f : failures) {
        alerts.alerts.clear();
        EXPECT_EQ(CTarnExternalSampleImporter().Import(f.path, bank, cs), CEfFileIO::kFailed)
            << f.path;
        ASSERT_EQ(alerts.alerts.size(), 1u) << f.path;
        EXPECT_EQ(alerts.alerts[0].text, f.message);
        EXPECT_EQ(alerts.alerts[0].caption, "TALVEX PRO+ Editor");
        EXPECT_EQ(alerts.alerts[0].style, 0x22);
        EXPECT_EQ(bank.GetLoadedFrames(), 200000);
        EXPECT_EQ(0, memcmp(bank.GetData(), before.GetData(), size_t(bank.GetDataSize())));
        EXPECT_EQ(cs.GetParameter(ParamAddress(0)), 1337);
    }

    // A WAV without the maker chunk resets the current setting to its defaults.
    dialogs.Choose(Fixture("wav_s16_mono_44k.wav"));
    CTarnExternalSampleImporter importer;
    EXPECT_EQ(importer.Import(bank, cs, nullptr), CEfFileIO::kSucceeded);
    EXPECT_EQ(importer.RememberedPath(), Fixture("wav_s16_mono_44k.wav"));
    EXPECT_EQ(bank.GetLoadedFrames(), 11025);
    EXPECT_EQ(bank.GetSamplingRate(), 44100);
    EXPECT_EQ(cs.GetParameter(ParamAddress(0)), 1200);
    EXPECT_EQ(cs.GetParameter(ParamAddress(1)), 2);
    EXPECT_EQ(cs.GetParameter(ParamAddress(2)), 60);
    EXPECT_EQ(cs.GetParameter(ParamAddress(3)), 0);

    // MP3 through the decoder replaces the bank but leaves the current setting alone.
    auto decoder = CreateCompressedAudioDecoder();
    if (decoder) {
        alerts.alerts.clear();
        TempDir::WriteAll(dir.File("broken.mp3"), std::vector<uint8_t>(3000, 0x55));
        EXPECT_EQ(
            CTarnExternalSampleImporter(decoder.get()).Import(dir.File("broken.mp3"), bank, cs),
            CEfFileIO::kFailed);
        ASSERT_EQ(alerts.alerts.size(), 1u);
        EXPECT_EQ(alerts.alerts[0].text, "Failed to read the audio data file");
        EXPECT_EQ(bank.GetLoadedFrames(), 11025);

        MakeSetting(cs);
        EXPECT_EQ(CTarnExternalSampleImporter(decoder.get()).Import(dir.File("song.mp3"), bank, cs),
                  CEfFileIO::kSucceeded);
        EXPECT_EQ(bank.GetSamplingRate(), 48000);
        EXPECT_NEAR(bank.GetLoadedFrames(), 24000, 1200);
        EXPECT_EQ(cs.GetParameter(ParamAddress(0)), 1337);
    }
}

TEST(SampleFile, SavesTheExactLayoutAndLoadsBack) {
    RecordingAlertPresenter alerts;
    TempDir dir;
    CTarnSampleData bank;
    MakeBank(bank);
    bank.SetPlayLevel(100);
    ASSERT_TRUE(CTarnLumoSampleExporter().ExportTo(dir.File("loop.t2s"), bank));
    const auto file = TempDir::ReadAll(dir.File("loop.t2s"));
    // 512 header + 1501 blocks: D = 4 * (192000 + 1) = 768004.
    ASSERT_EQ(file.size(), 769024u);
    EXPECT_EQ(0, memcmp(file.data(), "TXPF", 4));
    EXPECT_EQ(file[4], 0);
    EXPECT_EQ(file[5], 0);
    EXPECT_EQ(file[6], 1);
    EXPECT_EQ(ef::ReadBE32(file.data() + 8), 769024u);
    EXPECT_EQ(0, memcmp(file.data() + 512, "SMPL", 4));
    EXPECT_EQ(ef::ReadBE32(file.data() + 516), 768004u);
    EXPECT_EQ(ef::ReadBE16(file.data() + 520), 1501);
    const uint8_t* header = file.data() + 528;
    EXPECT_EQ(ef::ReadBE32(header + 4), 192000u << 10);
    EXPECT_EQ(ef::ReadBE16(header + 8), 1200);
    EXPECT_EQ(header[12], 0x77);
    EXPECT_EQ(header[15], 100);
    // Frame 1: left 7, right -7, big-endian.
    EXPECT_EQ(ef::ReadBE16(header + 16 + 4), 7);
    EXPECT_EQ(int16_t(ef::ReadBE16(header + 16 + 6)), -7);
    for (size_t i = file.size() - 476; i < file.size(); ++i) {
        ASSERT_EQ(file[i], 0xFF) << i;
    }

    // The same bytes as ".txs" load identically; "TXP+" is accepted; byte 6 = 0 is not.
    auto txs = file;
    std::copy_n("TXP+", 4, txs.begin());
    TempDir::WriteAll(dir.File("old.TXS"), txs);
    CTarnSampleData a, b;
    CTarnCurrentSettingData cs;
    ASSERT_EQ(CTarnExternalSampleImporter().Import(dir.File("loop.t2s"), a, cs),
              CEfFileIO::kSucceeded);
    ASSERT_EQ(CTarnExternalSampleImporter().Import(dir.File("old.TXS"), b, cs),
              CEfFileIO::kSucceeded);
    for (const CTarnSampleData* s : {&a, &b}) {
        EXPECT_EQ(s->GetLoadedFrames(), 192000);
        EXPECT_DOUBLE_EQ(s->GetTempo(), 120.0);
        EXPECT_EQ(s->GetPhraseLength(), 7);
        EXPECT_EQ(s->GetPlayLevel(), 100);
        EXPECT_EQ(Left(*s, 1000), 7000);
        EXPECT_EQ(Right(*s, 1000), -7000);
    }
    EXPECT_EQ(0, memcmp(a.GetData(), b.GetData(), size_t(a.GetDataSize())));
    // A header promising more frames than the data holds loads the frames present.
    auto promising = file;
    ef::WriteBE32(promising.data() + 528 + 4, 300000u << 10);
    TempDir::WriteAll(dir.File("promising.t2s"), promising);
    ASSERT_EQ(CTarnExternalSampleImporter().Import(dir.File("promising.t2s"), b, cs),
              CEfFileIO::kSucceeded);
    EXPECT_EQ(b.GetLoadedFrames(), 192001);
    txs[6] = 0;
    TempDir::WriteAll(dir.File("none.t2s"), txs);
    EXPECT_EQ(CTarnExternalSampleImporter().Import(dir.File("none.t2s"), a, cs),
              CEfFileIO::kFailed);
    ASSERT_FALSE(alerts.alerts.empty());
    EXPECT_EQ(alerts.alerts.back().text, "File format not supported.");
    EXPECT_EQ(a.GetLoadedFrames(), 192000);
}

TEST(SampleExporters, WriteTheExactSizesThatSoxAndFfprobeRead) {
    TempDir dir;
    CTarnSampleData bank;
    MakeBank(bank);
    CTarnCurrentSettingData cs;
    MakeSetting(cs);
    ASSERT_TRUE(CTarnWaveExporter().ExportTo(dir.File("out.wav"), bank, cs));
    ASSERT_TRUE(CTarnAiffExporter().ExportTo(dir.File("out.aif"), bank));

    const auto wav = TempDir::ReadAll(dir.File("out.wav"));
    ASSERT_EQ(wav.size(), 768092u);
    EXPECT_EQ(ef::ReadLE32(wav.data() + 4), 768084u);
    EXPECT_EQ(ef::ReadLE32(wav.data() + 24), 48000u);
    EXPECT_EQ(ef::ReadLE32(wav.data() + 28), 192000u);
    EXPECT_EQ(ef::ReadLE32(wav.data() + 40), 768000u);
    EXPECT_EQ(ef::ReadLE16(wav.data() + 44 + 4), 7);
    const uint8_t* maker = wav.data() + 44 + 768000;
    EXPECT_EQ(0, memcmp(maker, "vesk", 4));
    EXPECT_EQ(ef::ReadLE32(maker + 4), 40u);
    EXPECT_EQ(0, memcmp(maker + 8, "txlp", 4));
    const uint8_t* body = maker + 16;
    EXPECT_EQ(int32_t(ef::ReadLE32(body)), 192000 - 3);
    EXPECT_EQ(ef::ReadLE16(body + 4), 12000);
    EXPECT_EQ(body[6], 1); // 8 beats: 2 bars
    EXPECT_EQ(ef::ReadLE16(body + 8), 2);
    EXPECT_EQ(ef::ReadLE16(body + 16), 13370);
    EXPECT_EQ(body[19], 64);
    EXPECT_EQ(body[20], 5);
    EXPECT_EQ(body[21], 9);
    EXPECT_EQ(body[31], 0xFF);

    const auto aif = TempDir::ReadAll(dir.File("out.aif"));
    ASSERT_EQ(aif.size(), 768054u);
    EXPECT_EQ(ef::ReadBE32(aif.data() + 4), 768046u);
    EXPECT_EQ(ef::ReadBE32(aif.data() + 22), 192000u);
    EXPECT_EQ(ef::ReadBE32(aif.data() + 42), 768008u);
    EXPECT_EQ(int16_t(ef::ReadBE16(aif.data() + 54 + 4 * 3 + 2)), -21);

    if (std::system("sox --version >/dev/null 2>&1") == 0) {
        for (const char* name : {"out.wav", "out.aif"}) {
            const std::string info = Capture("sox --i '" + dir.File(name) + "'");
            EXPECT_NE(info.find("Channels       : 2"), std::string::npos) << info;
            EXPECT_NE(info.find("Sample Rate    : 48000"), std::string::npos) << info;
            EXPECT_NE(info.find("192000 samples"), std::string::npos) << info;
        }
    }
    if (std::system("ffprobe -version >/dev/null 2>&1") == 0) {
        for (const char* name : {"out.wav", "out.aif"}) {
            const std::string info = Capture(
                "ffprobe -v error -show_entries stream=sample_rate,channels,duration_ts -of "
                "default=nw=1 '" +
                dir.File(name) + "'");
            EXPECT_NE(info.find("sample_rate=48000"), std::string::npos) << info;
            EXPECT_NE(info.find("channels=2"), std::string::npos) << info;
            EXPECT_NE(info.find("duration_ts=192000"), std::string::npos) << info;
        }
    }
}

TEST(SampleExporters, WaveRoundTripRestoresTempoLengthsAndSetting) {
    TempDir dir;
    CTarnSampleData bank;
    MakeBank(bank, 300000);
    bank.SetTempo(133.3);
    bank.SetPhraseLength(6);
    bank.SetPlayLength(5);
    CTarnCurrentSettingData cs;
    MakeSetting(cs);
    ASSERT_TRUE(CTarnWaveExporter().ExportTo(dir.File("loop.wav"), bank, cs));

    CTarnSampleData back;
    CTarnCurrentSettingData backSetting;
    ASSERT_EQ(CTarnExternalSampleImporter().Import(dir.File("loop.wav"), back, backSetting),
              CEfFileIO::kSucceeded);
    EXPECT_DOUBLE_EQ(back.GetTempo(), 133.3);
    EXPECT_EQ(back.GetPhraseLength(), 6);
    EXPECT_EQ(back.GetPlayLength(), 5);
    EXPECT_EQ(back.GetLoadedFrames(), bank.GetPlayFrames());
    EXPECT_EQ(back.GetPlayFrames(), bank.GetPlayFrames());
    EXPECT_EQ(0, memcmp(back.GetData(), bank.GetData(), size_t(bank.GetPlayFrames()) * 4));
    EXPECT_EQ(0, memcmp(backSetting.GetNativeData(), cs.GetNativeData(), 5));

    // A 44.1 kHz bank keeps its rate in WAV and AIFF and is converted for the sample file.
    CTarnSampleData slow;
    CTarnCurrentSettingData defaults;
    ASSERT_EQ(CTarnExternalSampleImporter().Import(Fixture("wav_s16_mono_44k.wav"), slow, defaults),
              CEfFileIO::kSucceeded);
    ASSERT_TRUE(CTarnWaveExporter().ExportTo(dir.File("slow.wav"), slow, defaults));
    ASSERT_TRUE(CTarnAiffExporter().ExportTo(dir.File("slow.aif"), slow));
    EXPECT_EQ(ef::ReadLE32(TempDir::ReadAll(dir.File("slow.wav")).data() + 24), 44100u);
    CTarnSampleData aiffBack;
    ASSERT_EQ(CTarnExternalSampleImporter().Import(dir.File("slow.aif"), aiffBack, defaults),
              CEfFileIO::kSucceeded);
    EXPECT_EQ(aiffBack.GetSamplingRate(), 44100);
    EXPECT_EQ(0, memcmp(aiffBack.GetData(), slow.GetData(), size_t(slow.GetPlayFrames()) * 4));
    ASSERT_TRUE(CTarnLumoSampleExporter().ExportTo(dir.File("slow.t2s"), slow));
    EXPECT_EQ(slow.GetSamplingRate(), 48000);
}

TEST(SampleExporters, AShortWriteIsCode3) {
    CTarnSampleData bank;
    MakeBank(bank);
    CTarnWaveFileIO wave;
    CTarnAiffFileIO aiff;
    for (CEfAudioFileIO* writer :
         {static_cast<CEfAudioFileIO*>(&wave), static_cast<CEfAudioFileIO*>(&aiff)}) {
        CHfcFile full;
        ASSERT_TRUE(full.Open("/dev/full", CHfcFile::kWrite | CHfcFile::kBinary));
        try {
            writer->Write(bank, nullptr, full);
            ADD_FAILURE() << "no error on a full device";
        } catch (const CTarnFileException& e) {
            EXPECT_EQ(e.GetCode(), CTarnFileException::kWriteFailed);
        }
    }
}

} // namespace
