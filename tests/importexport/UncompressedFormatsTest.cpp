#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "ImportTestSupport.h"
#include "audio/CTarnAiffFileIO.h"
#include "audio/CTarnAudioFormatException.h"
#include "audio/CTarnWaveFileIO.h"

using namespace importtest;

namespace {

CTarnWaveFileIO wave;
CTarnAiffFileIO aiff;

// The 16-bit little-endian reference decode make_fixtures.sh stored beside a fixture.
std::vector<int16_t> Reference(const std::string& fixture) {
    const std::string name = fixture.substr(0, fixture.rfind('.')) + ".ref.raw";
    const std::vector<uint8_t> bytes = FixtureBytes(name);
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = int16_t(ef::ReadLE16(&bytes[i * 2]));
    }
    return samples;
}

struct Accepted {
    const char* fixture;
    // Channels of the reference decode: 1 for a mono source, which the bank gets on both sides.
    int referenceChannels;
    int rate;
    // Largest difference from the reference, in 16-bit steps, over the frames compared.
    int tolerance;
    // Frames at each end not compared (the two converters fade in and out differently).
    int edge;
};

// Imports a fixture with the reader its name asks for; kSucceeded or the error code.
int ImportFixture(const std::string& fixture, CTarnSampleData& s) {
    const bool isAiff = fixture.rfind("aif", 0) == 0;
    return ReadWith(isAiff ? static_cast<CEfAudioFileIO&>(aiff) : wave, FixtureBytes(fixture), s);
}

void ExpectMatchesReference(const Accepted& c) {
    SCOPED_TRACE(c.fixture);
    CTarnSampleData s;
    ASSERT_EQ(ImportFixture(c.fixture, s), kSucceeded);
    const std::vector<int16_t> ref = Reference(c.fixture);
    const int frames = int(ref.size()) / c.referenceChannels;
    EXPECT_EQ(s.GetSamplingRate(), c.rate);
    EXPECT_EQ(s.GetChannels(), 2);
    EXPECT_EQ(s.GetBitsPerSample(), 16);
    ASSERT_EQ(s.GetLoadedFrames(), frames);
    int worst = 0;
    int worstFrame = -1;
    for (int f = c.edge; f < frames - c.edge; ++f) {
        const int16_t left = ref[size_t(f * c.referenceChannels)];
        const int16_t right = ref[size_t(f * c.referenceChannels + c.referenceChannels - 1)];
        const int d = std::max(std::abs(Left(s, f) - left), std::abs(Right(s, f) - right));
        if (d > worst) {
            worst = d;
            worstFrame = f;
        }
    }
    EXPECT_LE(worst, c.tolerance) << "at frame " << worstFrame;
    // Nothing after the loaded frames.
    EXPECT_EQ(Left(s, frames), 0);
    EXPECT_EQ(Right(s, frames), 0);
}

TEST(UncompressedFormats, SixteenBitFilesAtTheirRateMatchTheReferenceExactly) {
    const Accepted cases[] = {
        // More than two channels: the front pair. ffmpeg's 5.1 has its own tone on each channel.
        {"wav_s16_51_48k_ext.wav", 2, 48000, 0, 0},
        {"wav_s16_6ch_extensible.wav", 2, 48000, 0, 0},
        {"wav_s16_6ch_48k.wav", 2, 48000, 0, 0},
        // AIFF-C with uncompressed big and little-endian samples.
        {"aifc_s16_stereo_48k.aifc", 2, 48000, 0, 0},
        {"aifc_twos_stereo_48k.aifc", 2, 48000, 0, 0},
        {"aifc_sowt_stereo_48k.aifc", 2, 48000, 0, 0},
        // libsndfile's 24 and 32-bit little-endian AIFF-C of 16-bit audio: its upper 16 bits.
        {"aifc_42n1_mono_48k.aifc", 1, 48000, 0, 0},
        {"aifc_23ni_mono_48k.aifc", 1, 48000, 0, 0},
        // The sound data before the common chunk.
        {"aiff_ssnd_first.aif", 2, 48000, 0, 0},
        // Streams whose sizes were never filled in.
        {"wav_pipe_sox.wav", 1, 48000, 0, 0},
        {"wav_pipe_ffmpeg.wav", 1, 48000, 0, 0},
        {"aiff_pipe_sox.aif", 1, 48000, 0, 0},
        {"aiff_pipe_ffmpeg.aif", 1, 48000, 0, 0},
    };
    for (const Accepted& c : cases) {
        ExpectMatchesReference(c);
    }
}

TEST(UncompressedFormats, WiderAndFloatSamplesAtTheirRateFollowTheTruncationRule) {
    // The references round to nearest; the bank truncates (integers keep their upper 16 bits,
    // floats become trunc(x * 32767) rather than x * 32768 rounded), so they may differ by a
    // step, by two for floats; a hot float is scaled to its own peak, the reference by 2/3.
    const Accepted cases[] = {
        {"wav_s32_mono_48k.wav", 1, 48000, 1, 0},
        {"wav_f32_stereo_48k_sndfile.wav", 2, 48000, 2, 0},
        {"wav_f64_mono_44k_sndfile.wav", 1, 44100, 2, 0},
        {"wav_f32_mono_48k.wav", 1, 48000, 2, 0},
        {"aifc_fl32_stereo_48k.aifc", 2, 48000, 2, 0},
        {"aifc_FL32_mono_48k.aifc", 1, 48000, 2, 0},
        {"aifc_FL64_mono_48k.aifc", 1, 48000, 2, 0},
        {"wav_f32_hot_48k.wav", 1, 48000, 8, 0},
    };
    for (const Accepted& c : cases) {
        ExpectMatchesReference(c);
    }
}

TEST(UncompressedFormats, OtherRatesAreConvertedTo48kHz) {
    // Against sox's very-high-quality rate conversion of the same file, away from the ends where
    // the two filters start and stop differently.
    const Accepted cases[] = {
        {"wav_s16_stereo_22k.wav", 2, 48000, 2, 480},
        {"wav_s16_mono_8k.wav", 1, 48000, 2, 480},
        {"wav_f32_stereo_192k.wav", 2, 48000, 2, 480},
        {"wav_s24_stereo_96k_ext.wav", 2, 48000, 2, 480},
    };
    for (const Accepted& c : cases) {
        ExpectMatchesReference(c);
    }
}

// A WAVE_FORMAT_EXTENSIBLE "fmt " chunk: the PCM fields, 22 extension bytes with the valid bits,
// the speaker mask and the sub-format GUID of the given tag.
std::vector<uint8_t> ExtensibleFmt(int channels, int rate, int bits, uint32_t mask, uint16_t sub) {
    std::vector<uint8_t> c = FmtChunk(channels, rate, bits, 0xFFFE);
    ef::WriteLE32(&c[4], 40);
    AppendLE16(c, 22);
    AppendLE16(c, uint16_t(bits));
    AppendLE32(c, mask);
    AppendLE16(c, sub);
    for (uint8_t b : {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71}) {
        c.push_back(b);
    }
    return c;
}

std::vector<uint8_t> Float32(std::initializer_list<float> values) {
    std::vector<uint8_t> out;
    for (float v : values) {
        AppendLE32(out, std::bit_cast<uint32_t>(v));
    }
    return out;
}

TEST(UncompressedFormats, SamplesBecome16BitByTheirCodingsRule) {
    CTarnSampleData s;
    // 32-bit integers keep their upper 16 bits, as 24-bit ones do.
    std::vector<uint8_t> pcm;
    for (uint32_t v : {0x7FFFFFFFu, 0x80000000u, 0x0001FFFFu, 0xFFFFFFFFu}) {
        AppendLE32(pcm, v);
    }
    ASSERT_EQ(ReadWith(wave, Riff({FmtChunk(2, 48000, 32), DataChunk(pcm)}), s), kSucceeded);
    EXPECT_EQ(Left(s, 0), 32767);
    EXPECT_EQ(Right(s, 0), -32768);
    EXPECT_EQ(Left(s, 1), 1);
    EXPECT_EQ(Right(s, 1), -1);

    // Floats at full scale or below: trunc(x * 32767); what is not a number is silence.
    ASSERT_EQ(ReadWith(wave,
                       Riff({FmtChunk(2, 48000, 32, 3),
                             DataChunk(Float32({1.0f, -1.0f, 0.5f, -0.5f, NAN, INFINITY}))}),
                       s),
              kSucceeded);
    EXPECT_EQ(Left(s, 0), 32767);
    EXPECT_EQ(Right(s, 0), -32767);
    EXPECT_EQ(Left(s, 1), 16383);
    EXPECT_EQ(Right(s, 1), -16383);
    EXPECT_EQ(Left(s, 2), 0);
    EXPECT_EQ(Right(s, 2), 0);

    // A peak beyond full scale, on either side, brings the whole loop down by it.
    ASSERT_EQ(
        ReadWith(wave,
                 Riff({FmtChunk(2, 48000, 32, 3), DataChunk(Float32({0.5f, -1.5f, 1.0f, 0.75f}))}),
                 s),
        kSucceeded);
    EXPECT_EQ(Left(s, 0), 10922);
    EXPECT_EQ(Right(s, 0), -32767);
    EXPECT_EQ(Left(s, 1), 21844);
    EXPECT_EQ(Right(s, 1), 16383);

    // 64-bit float, extensible.
    std::vector<uint8_t> f64;
    for (double v : {0.25, -1.0}) {
        uint8_t b[8];
        ef::WriteLE64(b, std::bit_cast<uint64_t>(v));
        f64.insert(f64.end(), b, b + 8);
    }
    ASSERT_EQ(ReadWith(wave, Riff({ExtensibleFmt(1, 44100, 64, 0x4, 3), DataChunk(f64)}), s),
              kSucceeded);
    EXPECT_EQ(s.GetSamplingRate(), 44100);
    EXPECT_EQ(Left(s, 0), 8191);
    EXPECT_EQ(Right(s, 0), 8191);
    EXPECT_EQ(Left(s, 1), -32767);
    EXPECT_EQ(s.GetLoadedFrames(), 2);

    // An extensible chunk whose sub-format is not PCM or float, or whose GUID is not one of a
    // format tag, is refused like a compressed WAV.
    auto adpcm = ExtensibleFmt(2, 48000, 16, 0x3, 2);
    EXPECT_EQ(ReadWith(wave, Riff({adpcm, DataChunk(pcm)}), s), CTarnFileException::kWaveFormat);
    auto strange = ExtensibleFmt(2, 48000, 16, 0x3, 1);
    strange.back() ^= 1;
    EXPECT_EQ(ReadWith(wave, Riff({strange, DataChunk(pcm)}), s), CTarnFileException::kWaveFormat);
    // An extensible chunk cut before its sub-format.
    auto cut = ExtensibleFmt(2, 48000, 16, 0x3, 1);
    cut.resize(8 + 24);
    ef::WriteLE32(&cut[4], 24);
    EXPECT_EQ(ReadWith(wave, Riff({cut, DataChunk(pcm)}), s), CTarnFileException::kWaveFormat);
}

TEST(UncompressedFormats, TheBankTakesTheFrontPairByTheSpeakerMask) {
    // Four channels of 16-bit samples, channel n holding n + 1 in every frame.
    const auto frames = [](int channels) {
        std::vector<uint8_t> pcm;
        for (int f = 0; f < 3; ++f) {
            for (int c = 0; c < channels; ++c) {
                AppendLE16(pcm, uint16_t(c + 1));
            }
        }
        return pcm;
    };
    struct Case {
        uint32_t mask;
        int channels;
        int left;
        int right;
    };
    const Case cases[] = {
        {0x33, 4, 1, 2},  // front left, front right, back left, back right
        {0x0, 4, 1, 2},   // no mask: the first two
        {0x630, 4, 3, 4}, // back and side pairs: the side pair, nearer the front
        {0x30, 4, 1, 2},  // back pair only
        {0xC, 2, 1, 1},   // front centre and LFE: the centre on both sides
        {0x4, 1, 1, 1},   // mono
        {0x60F, 4, 1, 2}, // more speakers named than channels present: still the front pair
        {0x200, 4, 1, 2}, // a side left alone is no pair: the first two
    };
    for (const Case& c : cases) {
        CTarnSampleData s;
        ASSERT_EQ(ReadWith(wave,
                           Riff({ExtensibleFmt(c.channels, 48000, 16, c.mask, 1),
                                 DataChunk(frames(c.channels))}),
                           s),
                  kSucceeded)
            << std::hex << c.mask;
        EXPECT_EQ(s.GetLoadedFrames(), 3);
        EXPECT_EQ(Left(s, 2), c.left) << std::hex << c.mask;
        EXPECT_EQ(Right(s, 2), c.right) << std::hex << c.mask;
    }
    // ffmpeg's 5.1: channel 1 is a 200 Hz tone, channel 2 400 Hz, the centre 600 Hz; the bank
    // holds the first two exactly (compared in SixteenBitFiles...), so here only that they differ.
    CTarnSampleData s;
    ASSERT_EQ(ImportFixture("wav_s16_51_48k_ext.wav", s), kSucceeded);
    int differing = 0;
    for (int f = 0; f < s.GetLoadedFrames(); ++f) {
        differing += Left(s, f) != Right(s, f);
    }
    EXPECT_GT(differing, s.GetLoadedFrames() / 2);
}

TEST(UncompressedFormats, SizesRunningPastTheEndLoadTheWholeFramesPresent) {
    CTarnSampleData s;
    // A recording cut short: 10000 of the 48044 bytes of a 16-bit stereo file.
    const auto cut = FixtureBytes("wav_truncated_data.wav");
    const auto whole = FixtureBytes("wav_s16_stereo_48k.wav");
    ASSERT_EQ(ReadWith(wave, cut, s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), (10000 - 44) / 4);
    for (int f : {0, 1000, 2488}) {
        EXPECT_EQ(Left(s, f), int16_t(ef::ReadLE16(&whole[44 + size_t(f) * 4])));
        EXPECT_EQ(Right(s, f), int16_t(ef::ReadLE16(&whole[46 + size_t(f) * 4])));
    }
    EXPECT_EQ(Left(s, 2489), 0);
    // The tempo comes from the frames present, not the 12000 declared: 1/8 beat in 2489 frames.
    EXPECT_NEAR(s.GetTempo(), 0.125 * 60 / (2489 / 48000.0), 1e-3);
    EXPECT_EQ(s.GetPhraseLength(), 1);

    // Data sizes of 0xFFFFFFFF and 0x7FFFF000 with 2.5 frames of 16-bit stereo present.
    for (uint32_t declared : {0xFFFFFFFFu, 0x7FFFF000u}) {
        auto wav = Riff({FmtChunk(2, 48000, 16), DataChunk({1, 0, 2, 0, 3, 0, 4, 0, 5, 0})});
        ef::WriteLE32(wav.data() + 12 + 24 + 4, declared);
        ASSERT_EQ(ReadWith(wave, wav, s), kSucceeded) << std::hex << declared;
        EXPECT_EQ(s.GetLoadedFrames(), 2);
        EXPECT_EQ(Right(s, 1), 4);
        EXPECT_EQ(Left(s, 2), 0);
    }
    // 2 s of 11.025 kHz audio behind a size that claims far more: the tempo is that of 2 s.
    auto longer = FixtureBytes("wav_u8_mono_11k_2s.wav");
    ef::WriteLE32(longer.data() + 40, 0x7FFFF000);
    ASSERT_EQ(ReadWith(wave, longer, s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), 96000);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 120.0);
    EXPECT_EQ(s.GetPhraseLength(), 6);

    // Declared frames with none of them present: nothing to load.
    auto none = Riff({FmtChunk(2, 48000, 16), DataChunk({})});
    ef::WriteLE32(none.data() + 12 + 24 + 4, 400);
    EXPECT_EQ(ReadWith(wave, none, s), CTarnFileException::kReadFailed);
    // A data chunk of no frames at all is an empty loop.
    ASSERT_EQ(ReadWith(wave, Riff({FmtChunk(2, 48000, 16), DataChunk({})}), s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), 0);
}

TEST(UncompressedFormats, ConvertedRatesKeepTimingAndTempo) {
    CTarnSampleData s;
    // A click at 96 kHz frame 4800 lands at 48 kHz frame 2400; 0.1 s gives 4800 frames.
    ASSERT_EQ(ImportFixture("wav_click_s24_96k.wav", s), kSucceeded);
    EXPECT_EQ(s.GetSamplingRate(), 48000);
    EXPECT_EQ(s.GetLoadedFrames(), 4800);
    int peak = 0;
    for (int f = 1; f < 4800; ++f) {
        if (std::abs(Left(s, f)) > std::abs(Left(s, peak))) {
            peak = f;
        }
    }
    EXPECT_NEAR(peak, 2400, 1);
    EXPECT_EQ(Left(s, peak), Right(s, peak));

    // 2.000 s at 11025 Hz: 96000 frames at 48 kHz, 4 beats at 120 BPM from the source's length.
    ASSERT_EQ(ImportFixture("wav_u8_mono_11k_2s.wav", s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), 96000);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 120.0);
    EXPECT_EQ(s.GetPhraseLength(), 6);
    EXPECT_EQ(s.GetPlayFrames(), 96000);

    // 10 s at 22050 Hz fills the bank's 424960 frames; the guess uses all 10 s: 96 BPM.
    ASSERT_EQ(ReadWith(wave, SilentWave(220500, 22050), s), kSucceeded);
    EXPECT_EQ(s.GetSamplingRate(), 48000);
    EXPECT_EQ(s.GetLoadedFrames(), MaxSampleFrames);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 96.0);
    // 3 s at 8 kHz and at 192 kHz: 144000 frames, 8 beats at 160 BPM.
    for (int rate : {8000, 192000}) {
        ASSERT_EQ(ReadWith(wave, SilentWave(3 * rate, rate), s), kSucceeded) << rate;
        EXPECT_EQ(s.GetLoadedFrames(), 144000) << rate;
        EXPECT_DOUBLE_EQ(s.GetTempo(), 160.0) << rate;
    }
}

TEST(UncompressedFormats, ChunksMayComeInAnyOrderInAiff) {
    // Built by hand: an AIFF-C "sowt" whose sound data comes first, then the version and common
    // chunks.
    std::vector<uint8_t> file = {
        'F', 'O', 'R', 'M', 0, 0, 0, 0, 'A', 'I', 'F', 'C',
        // SSND: 16 bytes, offset 4 (skipped bytes), block size 0
        'S', 'S', 'N', 'D', 0, 0, 0, 16, 0, 0, 0, 4, 0, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE,
        // one stereo frame, little-endian: 0x1234, -2
        0x34, 0x12, 0xFE, 0xFF, 'F', 'V', 'E', 'R', 0, 0, 0, 4, 0xA2, 0x80, 0x51, 0x40,
        // COMM: 2 channels, 1 frame, 16 bits, 44100 Hz, "sowt", no name
        'C', 'O', 'M', 'M', 0, 0, 0, 24, 0, 2, 0, 0, 0, 1, 0, 16, 0x40, 0x0E, 0xAC, 0x44, 0, 0, 0,
        0, 0, 0, 's', 'o', 'w', 't', 0, 0};
    ef::WriteBE32(&file[4], uint32_t(file.size() - 8));
    CTarnSampleData s;
    ASSERT_EQ(ReadWith(aiff, file, s), kSucceeded);
    EXPECT_EQ(s.GetSamplingRate(), 44100);
    EXPECT_EQ(s.GetLoadedFrames(), 1);
    EXPECT_EQ(Left(s, 0), 0x1234);
    EXPECT_EQ(Right(s, 0), -2);
}

} // namespace
