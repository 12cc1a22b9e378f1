#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "audio/CFsConverter.h"
#include "data/CTarnFileException.h"
#include "data/CTarnSampleData.h"
#include "framework/CEfProgressFactory.h"
#include "framework/CEfUiServices.h"
#include "framework/CHfcFile.h"
#include "framework/CTarnProgressDialogListener.h"
#include "support/TempDir.h"

namespace {

// Progress windows that record what they were told and press Cancel after a number of steps;
// only the first cancelledWindows windows are cancelled when that is not negative.
class ScriptedProgress : public CEfProgressFactory {
public:
    explicit ScriptedProgress(int cancelAfterSteps, int cancelledWindows = -1)
        : cancelAfter_(cancelAfterSteps), cancelledWindows_(cancelledWindows) {
        CEfUiServices::SetProgress(this);
    }
    ~ScriptedProgress() override { CEfUiServices::SetProgress(nullptr); }
    ScriptedProgress(const ScriptedProgress&) = delete;
    ScriptedProgress& operator=(const ScriptedProgress&) = delete;

    std::unique_ptr<CTarnProgressDialog> CreateProgressDialog() override {
        ++opened;
        return std::make_unique<Dialog>(*this,
                                        cancelledWindows_ < 0 || opened <= cancelledWindows_);
    }

    int opened = 0;
    int steps = 0;
    int total = 0;
    std::string text;

private:
    class Dialog : public CTarnProgressDialog {
    public:
        Dialog(ScriptedProgress& owner, bool cancels) : owner_(owner), cancels_(cancels) {}

    protected:
        void Refresh() override {
            owner_.total = Total();
            owner_.text = Text();
            owner_.steps = Position();
            if (cancels_ && owner_.cancelAfter_ >= 0 && Position() >= owner_.cancelAfter_ &&
                Listener() && !Listener()->IsCancelled()) {
                PressCancel();
            }
        }

    private:
        ScriptedProgress& owner_;
        bool cancels_;
    };

    int cancelAfter_;
    int cancelledWindows_;
};

// A bank held at 44.1 kHz with frames loaded from fill(frame, channel).
template <class Fill> std::unique_ptr<CTarnSampleData> Bank441(int frames, Fill fill) {
    auto bank = std::make_unique<CTarnSampleData>();
    bank->Initialize();
    bank->SetSamplingRate(44100, false);
    bank->SetFrameCount(MaxSampleFrames, false);
    bank->Reallocate();
    for (int f = 0; f < frames; ++f) {
        bank->SetSample(f, 0, fill(f, 0));
        bank->SetSample(f, 1, fill(f, 1));
    }
    bank->SetLoadedFrames(frames);
    return bank;
}

std::vector<uint8_t> Bytes(const CTarnSampleData& bank) {
    return {bank.GetData(), bank.GetData() + bank.GetDataSize()};
}

} // namespace

TEST(ConvertTo48k, OneSecondBecomes48000FramesAt48k) {
    auto bank = Bank441(44100, [](int f, int c) { return (f * 37 + c * 1000) % 20000 - 10000; });
    bank->SetTempo(100.0);
    ASSERT_TRUE(bank->ConvertTo48k(false));
    EXPECT_EQ(bank->GetSamplingRate(), 48000);
    EXPECT_EQ(bank->GetFrameCount(), MaxSampleFrames);
    EXPECT_EQ(bank->GetLoadedFrames(), 48000);
    EXPECT_EQ(bank->GetLoadedBytes(), 48000 * 4);
    EXPECT_DOUBLE_EQ(bank->GetTempo(), 100.0);
    // Play range recomputed at the new rate: 8 beats at 100 bpm.
    EXPECT_EQ(bank->GetEndFrame(), 230400);
    EXPECT_EQ(bank->GetSample(48000, 0), 0);
}

TEST(ConvertTo48k, FullBankFillsTheCapacityAndLongerBanksAreCut) {
    auto full = Bank441(390432, [](int f, int) { return (f % 200) * 100 - 10000; });
    ASSERT_TRUE(full->ConvertTo48k(false));
    EXPECT_EQ(full->GetLoadedFrames(), MaxSampleFrames);

    // More 44.1 kHz audio than a bank holds at 48 kHz keeps only what fits.
    auto longer = Bank441(MaxSampleFrames, [](int f, int) { return f % 1000; });
    ASSERT_TRUE(longer->ConvertTo48k(false));
    EXPECT_EQ(longer->GetLoadedFrames(), MaxSampleFrames);
    EXPECT_EQ(longer->GetDataSize(), MaxSampleFrames * 4);
}

TEST(ConvertTo48k, EmptyAndAlready48kBanks) {
    auto empty = Bank441(0, [](int, int) { return 0; });
    ASSERT_TRUE(empty->ConvertTo48k(true));
    EXPECT_EQ(empty->GetSamplingRate(), 48000);
    EXPECT_EQ(empty->GetLoadedFrames(), 0);

    CTarnSampleData native;
    native.Initialize();
    native.SetSample(5, 1, 1234);
    native.SetLoadedFrames(100);
    const std::vector<uint8_t> before = Bytes(native);
    ScriptedProgress progress(-1);
    ASSERT_TRUE(native.ConvertTo48k(true));
    EXPECT_EQ(progress.opened, 0);
    EXPECT_EQ(Bytes(native), before);
    EXPECT_EQ(native.GetLoadedFrames(), 100);
}

// Full-scale square waves overshoot after filtering; the result is clipped, never wrapped.
TEST(ConvertTo48k, FullScaleClipsToPlusMinus32767) {
    auto bank = Bank441(8820, [](int f, int c) {
        const bool high = (f / 441) % 2 == 0;
        return c == 0 ? (high ? 32767 : -32768) : (high ? -32768 : 32767);
    });
    ASSERT_TRUE(bank->ConvertTo48k(false));
    int highest = 0;
    int lowest = 0;
    for (int f = 0; f < bank->GetLoadedFrames(); ++f) {
        for (int c = 0; c < 2; ++c) {
            highest = std::max(highest, bank->GetSample(f, c));
            lowest = std::min(lowest, bank->GetSample(f, c));
        }
    }
    EXPECT_EQ(highest, 32767);
    EXPECT_EQ(lowest, -32767);
    // Frame 300 lies inside the first high half-period of the left channel (after the delay).
    EXPECT_GT(bank->GetSample(300, 0), 30000);
    EXPECT_LT(bank->GetSample(300, 1), -30000);
}

// Truncation toward zero is symmetric: a negated input gives exactly the negated output.
TEST(ConvertTo48k, TruncatesTowardZero) {
    auto fill = [](int f, int c) {
        return static_cast<int>(std::lround(12000.3 * std::sin(f * 0.05 + c)));
    };
    auto positive = Bank441(5000, fill);
    auto negative = Bank441(5000, [&](int f, int c) { return -fill(f, c); });
    ASSERT_TRUE(positive->ConvertTo48k(false));
    ASSERT_TRUE(negative->ConvertTo48k(false));
    ASSERT_EQ(positive->GetLoadedFrames(), negative->GetLoadedFrames());
    int nonzero = 0;
    for (int f = 0; f < positive->GetLoadedFrames(); ++f) {
        for (int c = 0; c < 2; ++c) {
            ASSERT_EQ(negative->GetSample(f, c), -positive->GetSample(f, c)) << f;
            nonzero += positive->GetSample(f, c) != 0;
        }
    }
    EXPECT_GT(nonzero, 9000);

    // A constant level passes with unity gain; truncation never rounds up past it.
    auto level = Bank441(4000, [](int, int c) { return c == 0 ? 10000 : -10000; });
    ASSERT_TRUE(level->ConvertTo48k(false));
    EXPECT_GE(level->GetSample(2000, 0), 9999);
    EXPECT_LE(level->GetSample(2000, 0), 10000);
    EXPECT_EQ(level->GetSample(2000, 1), -level->GetSample(2000, 0));
}

TEST(ConvertTo48k, ProgressShowsResamplingInBlocks) {
    ScriptedProgress progress(-1);
    auto bank = Bank441(100000, [](int f, int) { return f % 3000; });
    ASSERT_TRUE(bank->ConvertTo48k(true));
    EXPECT_EQ(progress.opened, 1);
    EXPECT_EQ(progress.text, "Resampling...");
    EXPECT_EQ(progress.total, 100000 / 32768 + 1);
    EXPECT_EQ(progress.steps, 4);

    auto quiet = Bank441(1000, [](int, int) { return 1; });
    ASSERT_TRUE(quiet->ConvertTo48k(false));
    EXPECT_EQ(progress.opened, 1);
}

TEST(ConvertTo48k, CancelStopsEarlyAndLeavesTheBankUntouched) {
    ScriptedProgress progress(2);
    auto bank = Bank441(200000, [](int f, int c) { return (f + c) % 5000; });
    bank->SetTempo(90.0);
    const std::vector<uint8_t> before = Bytes(*bank);
    const int endBefore = bank->GetEndFrame();
    EXPECT_FALSE(bank->ConvertTo48k(true));
    EXPECT_EQ(progress.steps, 2);
    EXPECT_TRUE(bank->CancelListener().IsCancelled());
    EXPECT_EQ(bank->GetSamplingRate(), 44100);
    EXPECT_EQ(bank->GetLoadedFrames(), 200000);
    EXPECT_EQ(bank->GetEndFrame(), endBefore);
    EXPECT_EQ(Bytes(*bank), before);

    // A later conversion without a window is not stopped by the earlier Cancel.
    ASSERT_TRUE(bank->ConvertTo48k(false));
    EXPECT_EQ(bank->GetSamplingRate(), 48000);
    EXPECT_EQ(bank->GetLoadedFrames(), 217687);
}

// Saving offers the conversion twice; a bank still at 44.1 kHz after that is refused rather than
// stored under a 48 kHz header.
TEST(ConvertTo48k, SavingRetriesACancelledConversionOnceThenRefuses) {
    TempDir dir;
    const auto save = [&](CTarnSampleData& bank) {
        CHfcFile file;
        EXPECT_TRUE(file.Open(dir.File("bank.t2s"), CHfcFile::kWrite | CHfcFile::kBinary));
        try {
            bank.SaveFile(file);
        } catch (const CTarnFileException& e) {
            return e.GetCode();
        }
        return 0;
    };
    {
        ScriptedProgress progress(1, 1);
        auto bank = Bank441(100000, [](int f, int) { return f % 3000; });
        EXPECT_EQ(save(*bank), 0);
        EXPECT_EQ(progress.opened, 2);
        EXPECT_EQ(bank->GetSamplingRate(), 48000);
        EXPECT_EQ(TempDir::ReadAll(dir.File("bank.t2s")).size(),
                  static_cast<size_t>(bank->GetFileSize()));
    }
    {
        ScriptedProgress progress(1);
        auto bank = Bank441(100000, [](int f, int) { return f % 3000; });
        const std::vector<uint8_t> before = Bytes(*bank);
        EXPECT_EQ(save(*bank), CTarnFileException::kWriteFailed);
        EXPECT_EQ(progress.opened, 2);
        EXPECT_EQ(bank->GetSamplingRate(), 44100);
        EXPECT_EQ(Bytes(*bank), before);
    }
}

// A tone converted inside the bank keeps its pitch: zero crossings every 24 output frames.
TEST(ConvertTo48k, ToneKeepsItsPeriod) {
    auto bank = Bank441(44100, [](int f, int) {
        return static_cast<int>(20000.0 * std::sin(2.0 * std::numbers::pi * 1000.0 * f / 44100.0));
    });
    ASSERT_TRUE(bank->ConvertTo48k(false));
    std::vector<double> crossings;
    for (int f = 1000; f < 47000; ++f) {
        const int a = bank->GetSample(f, 0);
        const int b = bank->GetSample(f + 1, 0);
        if (a < 0 && b >= 0) {
            crossings.push_back(f + static_cast<double>(-a) / (b - a));
        }
    }
    ASSERT_GT(crossings.size(), 900u);
    const double period = (crossings.back() - crossings.front()) / (crossings.size() - 1);
    EXPECT_NEAR(48000.0 / period, 1000.0, 0.05);
}

namespace {

// Runs a shell command and returns its standard output and error; nothing when it failed.
std::optional<std::string> RunCommand(const std::string& command) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) {
        return std::nullopt;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        output += buffer;
    }
    if (pclose(pipe) != 0) {
        return std::nullopt;
    }
    return output;
}

double StatValue(const std::string& stat, const std::string& label) {
    const size_t at = stat.find(label);
    return at == std::string::npos ? -1.0 : std::atof(stat.c_str() + at + label.size());
}

} // namespace

// sox makes the 44.1 kHz tone and measures the converted result: one second at 48 kHz with the
// tone's level.
TEST(ConvertTo48k, SoxToneConvertsToOneSecondAt48k) {
    if (!RunCommand("sox --version")) {
        GTEST_SKIP() << "sox not installed";
    }
    TempDir dir;
    const std::string raw = "-t raw -c 2 -b 16 -e signed-integer";
    ASSERT_TRUE(RunCommand("sox -n -r 44100 " + raw + " " + dir.File("in.raw") +
                           " synth 1 sine 1000 vol 0.5")
                    .has_value());
    const std::vector<uint8_t> input = TempDir::ReadAll(dir.File("in.raw"));
    ASSERT_EQ(input.size(), 44100u * 4);
    auto bank = Bank441(44100, [&](int f, int c) {
        const size_t at = static_cast<size_t>(4 * f + 2 * c);
        return static_cast<int>(static_cast<int16_t>(input[at] | (input[at + 1] << 8)));
    });
    ASSERT_TRUE(bank->ConvertTo48k(false));
    ASSERT_EQ(bank->GetLoadedFrames(), 48000);
    TempDir::WriteAll(dir.File("out.raw"),
                      std::vector<uint8_t>(bank->GetData(), bank->GetData() + 48000 * 4));
    const std::optional<std::string> result =
        RunCommand("sox -r 48000 " + raw + " " + dir.File("out.raw") + " -n stat");
    ASSERT_TRUE(result.has_value());
    const std::string& stat = *result;
    EXPECT_NEAR(StatValue(stat, "Length (seconds):"), 1.0, 1e-6);
    EXPECT_NEAR(StatValue(stat, "RMS     amplitude:"), 0.5 / std::sqrt(2.0), 0.001);
    EXPECT_NEAR(StatValue(stat, "Maximum amplitude:"), 0.5, 0.002);
}

namespace {

// The frame of the largest magnitude in channel c.
int PeakFrame(const CTarnSampleData& bank, int c) {
    int peak = 0;
    for (int f = 0; f < bank.GetLoadedFrames(); ++f) {
        if (std::abs(bank.GetSample(f, c)) > std::abs(bank.GetSample(peak, c))) {
            peak = f;
        }
    }
    return peak;
}

int Rounded48k(int frames) {
    return static_cast<int>(std::floor(frames * 48000.0 / 44100.0 + 0.5));
}

// Runs the conversion with every kernel the CPU has and returns the banks' bytes per kernel.
template <class Make> std::vector<std::vector<uint8_t>> ConvertWithEachKernel(Make make) {
    std::vector<std::vector<uint8_t>> results;
    for (int mode = CFsConverter::kModeScalar; mode <= CFsConverter::kModeAvx2; ++mode) {
        if (!CFsConverter::IsModeSupported(mode)) {
            continue;
        }
        const int previous = CFsConverter::LimitAutoMode(mode);
        auto bank = make();
        EXPECT_TRUE(bank->ConvertTo48k(false));
        CFsConverter::LimitAutoMode(previous);
        results.push_back(Bytes(*bank));
    }
    return results;
}

} // namespace

// The filter's delay is compensated and its tail flushed: exactly the rounded number of frames,
// and a click stays where it was in time, at either end of the bank too.
TEST(ConvertTo48k, FrameCountIsExactAndAClickKeepsItsPlace) {
    for (int frames : {1, 2, 146, 147, 1000, 44100, 100003}) {
        auto bank = Bank441(frames, [](int, int) { return 1000; });
        ASSERT_TRUE(bank->ConvertTo48k(false));
        EXPECT_EQ(bank->GetLoadedFrames(), Rounded48k(frames)) << frames;
    }
    for (int loop : {0, 1}) {
        for (int k : {0, 1, 47, 48, 5000, 32767, 32768, 40000, 44099}) {
            auto bank = Bank441(
                44100, [k](int f, int c) { return f == k ? (c == 0 ? 30000 : -20000) : 0; });
            bank->SetLoopFlag(loop);
            ASSERT_TRUE(bank->ConvertTo48k(false));
            ASSERT_EQ(bank->GetLoadedFrames(), 48000);
            const int expected = Rounded48k(k);
            EXPECT_NEAR(PeakFrame(*bank, 0), expected, 1) << "click at " << k << " loop " << loop;
            EXPECT_EQ(PeakFrame(*bank, 1), PeakFrame(*bank, 0));
            // Between two output frames the click's energy is shared by both.
            EXPECT_GT(bank->GetSample(PeakFrame(*bank, 0), 0), 18000);
            EXPECT_LT(bank->GetSample(PeakFrame(*bank, 1), 1), -12000);
        }
    }
}

// A one-shot bank's click near the end rings into silence after it; a looping bank's rings
// around to the start.
TEST(ConvertTo48k, ALoopingBankWrapsTheFilterAroundTheLoop) {
    const int k = 44099;
    for (int loop : {0, 1}) {
        auto bank = Bank441(44100, [](int f, int) { return f == k ? 30000 : 0; });
        bank->SetLoopFlag(loop);
        ASSERT_TRUE(bank->ConvertTo48k(false));
        int ringingAtStart = 0;
        for (int f = 0; f < 3; ++f) {
            ringingAtStart = std::max(ringingAtStart, std::abs(bank->GetSample(f, 0)));
        }
        if (loop == 1) {
            EXPECT_GT(ringingAtStart, 1000);
        } else {
            EXPECT_EQ(ringingAtStart, 0);
        }
    }
}

// A sine of whole periods in a loop of a multiple of 147 frames converts to a loop without a
// step at the seam: the wrap from the last frame to the first is no larger than any step
// inside, and the converted loop equals the middle of a long run of the same loop.
TEST(ConvertTo48k, ASeamlessLoopStaysSeamless) {
    constexpr int kLoop = 147 * 20; // 2940 frames at 44.1 kHz, 3200 at 48 kHz
    const auto sine = [](int f, int c) {
        const double phase = 2.0 * std::numbers::pi * 7.0 * (f % kLoop) / kLoop + c;
        return static_cast<int>(std::lround(20000.0 * std::sin(phase)));
    };
    auto loop = Bank441(kLoop, sine);
    ASSERT_EQ(loop->GetLoopFlag(), 1);
    ASSERT_TRUE(loop->ConvertTo48k(false));
    ASSERT_EQ(loop->GetLoadedFrames(), 3200);
    for (int c = 0; c < 2; ++c) {
        int largestInside = 0;
        for (int f = 0; f + 1 < 3200; ++f) {
            largestInside = std::max(largestInside,
                                     std::abs(loop->GetSample(f + 1, c) - loop->GetSample(f, c)));
        }
        const int seam = std::abs(loop->GetSample(0, c) - loop->GetSample(3199, c));
        EXPECT_LE(seam, largestInside) << "channel " << c;
    }

    auto run = Bank441(kLoop * 5, sine);
    run->SetLoopFlag(0);
    ASSERT_TRUE(run->ConvertTo48k(false));
    for (int f = 0; f < 3200; ++f) {
        for (int c = 0; c < 2; ++c) {
            ASSERT_NEAR(loop->GetSample(f, c), run->GetSample(2 * 3200 + f, c), 1) << f;
        }
    }

    // Without the loop flag the same audio starts against silence: the filter rings there.
    auto oneShot = Bank441(kLoop, sine);
    oneShot->SetLoopFlag(0);
    ASSERT_TRUE(oneShot->ConvertTo48k(false));
    int ringing = 0;
    for (int f = 0; f < 16; ++f) {
        ringing = std::max(ringing, std::abs(oneShot->GetSample(f, 1) - loop->GetSample(f, 1)));
    }
    EXPECT_GT(ringing, 300);
}

// Every kernel gives the same 16-bit output, for random audio and for full-scale square waves
// that clip, at both loop settings.
TEST(ConvertTo48k, EveryKernelGivesTheSameBytes) {
    for (int loop : {0, 1}) {
        const auto random = ConvertWithEachKernel([loop] {
            std::mt19937 rng(21);
            std::uniform_int_distribution<int> dist(-32768, 32767);
            std::vector<int> values(2 * 70001);
            for (int& v : values) {
                v = dist(rng);
            }
            auto bank = Bank441(70001, [&](int f, int c) { return values[size_t(2 * f + c)]; });
            bank->SetLoopFlag(loop);
            return bank;
        });
        const auto fullScale = ConvertWithEachKernel([loop] {
            auto bank = Bank441(
                20000, [](int f, int c) { return ((f / (3 + c)) % 2 == 0) ? 32767 : -32768; });
            bank->SetLoopFlag(loop);
            return bank;
        });
        for (size_t i = 1; i < random.size(); ++i) {
            EXPECT_TRUE(random[i] == random[0]) << "kernel " << i << " loop " << loop;
            EXPECT_TRUE(fullScale[i] == fullScale[0]) << "kernel " << i << " loop " << loop;
        }
    }
}

// A loop shorter than the filter wraps around itself as often as needed: a constant loop of a
// few frames stays constant; played once, the same frames fade in and out against silence.
TEST(ConvertTo48k, ALoopShorterThanTheFilterWrapsAroundItself) {
    for (int frames : {1, 2, 7, 98, 147}) {
        auto loop = Bank441(frames, [](int, int c) { return c == 0 ? 10000 : -10000; });
        ASSERT_TRUE(loop->ConvertTo48k(false));
        ASSERT_EQ(loop->GetLoadedFrames(), Rounded48k(frames));
        for (int f = 0; f < loop->GetLoadedFrames(); ++f) {
            EXPECT_NEAR(loop->GetSample(f, 0), 10000, 2) << frames << " frames, frame " << f;
            EXPECT_NEAR(loop->GetSample(f, 1), -10000, 2) << frames << " frames, frame " << f;
        }
    }
    auto once = Bank441(7, [](int, int) { return 10000; });
    once->SetLoopFlag(0);
    ASSERT_TRUE(once->ConvertTo48k(false));
    int deviation = 0;
    for (int f = 0; f < once->GetLoadedFrames(); ++f) {
        deviation = std::max(deviation, std::abs(once->GetSample(f, 0) - 10000));
    }
    EXPECT_GT(deviation, 500);
}
