// The backends (FFmpeg, PortAudio, the ALSA sequencer) are modules the programs load when a
// command first needs one. These tests run talvex-cli with the modules hidden (TALVEX_BACKEND_DIR
// naming an empty folder) or broken, and check the deferred wrappers the editor starts with.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/CHfcAudioOutputListener.h"
#include "platform/CHfcDeferredAudioOutput.h"
#include "platform/CHfcDeferredCompressedAudioDecoder.h"
#include "platform/CHfcDeferredMidiDriver.h"
#include "platform/CHfcNullAudioOutput.h"
#include "platform/CVirtualMidiDriver.h"
#include "support/CommandRun.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Runs talvex-cli with the environment's assignments (e.g. "TALVEX_BACKEND_DIR=/x") before it.
CommandRun RunCli(const std::string& environment, const std::string& arguments) {
    return RunCommand(environment + " " + std::string(TALVEX_CLI_PATH) + " " + arguments);
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

const std::string kFixtures = std::string(TALVEX_FIXTURES_DIR) + "/audio/";
const char* const kNoDecoder =
    "MP3 and M4A files cannot be imported because no MP3 or AAC decoder is available.";

class HiddenModules : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(modules_);
        hide_ = "TALVEX_BACKEND_DIR=" + modules_;
    }
    std::string File(const char* name) const { return dir_.File(name); }

    TempDir dir_;
    const std::string modules_ = dir_.File("modules");
    std::string hide_;
};

TEST_F(HiddenModules, FileCommandsRunWithoutAnyBackend) {
    const CommandRun help = RunCli(hide_, "--help");
    EXPECT_EQ(help.status, 0) << help.output;
#ifdef TALVEX_HAVE_FFMPEG
    EXPECT_NE(help.output.find("FFmpeg (not installed)"), std::string::npos) << help.output;
#endif

    const std::string all = File("a.t2a");
    ASSERT_EQ(RunCli(hide_, "new --type all " + all).status, 0);
    const CommandRun set = RunCli(hide_, "set " + all + " midi.channel=5");
    EXPECT_EQ(set.status, 0) << set.output;
    const CommandRun imported =
        RunCli(hide_, "import " + kFixtures + "wav_s16_stereo_48k.wav --bank A --into " + all);
    EXPECT_EQ(imported.status, 0) << imported.output;
    const CommandRun info = RunCli(hide_, "info " + all);
    EXPECT_EQ(info.status, 0) << info.output;
    EXPECT_NE(info.output.find("GLOB"), std::string::npos) << info.output;
    const CommandRun exported = RunCli(hide_, "export " + all + " --bank A --wav " + File("a.wav"));
    EXPECT_EQ(exported.status, 0) << exported.output;
    EXPECT_TRUE(fs::exists(File("a.wav")));
    // None of these needed a backend, so none is reported missing.
    for (const CommandRun* run : {&set, &imported, &info, &exported}) {
        EXPECT_EQ(run->output.find("unavailable"), std::string::npos) << run->output;
    }
}

TEST_F(HiddenModules, ImportOfCompressedAudioSaysTheDecoderIsMissingAndWhy) {
    const std::string all = File("a.t2a");
    ASSERT_EQ(RunCli(hide_, "new --type all " + all).status, 0);
    const std::vector<uint8_t> before = TempDir::ReadAll(all);
    const CommandRun run =
        RunCli(hide_, "import " + kFixtures + "sine_44k.mp3 --bank A --into " + all);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find(kNoDecoder), std::string::npos) << run.output;
    EXPECT_EQ(Count(run.output, "compressed audio unavailable: talvex-backend-ffmpeg.so not found"),
              1u)
        << run.output;
    EXPECT_EQ(TempDir::ReadAll(all), before);
}

TEST_F(HiddenModules, PlaySaysThereIsNoAudioOutput) {
    const std::string all = File("a.t2a");
    ASSERT_EQ(RunCli(hide_, "new --type all " + all).status, 0);
    ASSERT_EQ(RunCli(hide_, "import " + kFixtures + "wav_s16_stereo_48k.wav --bank A --into " + all)
                  .status,
              0);
    const CommandRun run = RunCli(hide_, "play " + all + " --bank A --once --seconds 1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("no audio output device"), std::string::npos) << run.output;
#ifdef TALVEX_HAVE_PORTAUDIO
    EXPECT_EQ(Count(run.output, "audio output unavailable: talvex-backend-portaudio.so"), 1u)
        << run.output;
#endif
}

TEST_F(HiddenModules, ReceiveFindsNoMidiDeviceAndSaysWhy) {
    const CommandRun run = RunCli(hide_, "receive all -o " + File("r.t2a"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("Cannot find TALVEX PRO+."), std::string::npos) << run.output;
#ifdef TALVEX_HAVE_ALSA_MODULE
    EXPECT_EQ(Count(run.output, "MIDI devices unavailable: talvex-backend-alsa.so"), 1u)
        << run.output;
#endif
    EXPECT_FALSE(fs::exists(File("r.t2a")));
}

TEST_F(HiddenModules, ABrokenModuleIsReportedOnceWithTheLoadersReason) {
    // A file by the module's name that is no shared object at all.
    TempDir::WriteAll(modules_ + "/talvex-backend-ffmpeg.so", {'n', 'o', 't', ' ', 'E', 'L', 'F'});
    const std::string all = File("a.t2a");
    ASSERT_EQ(RunCli(hide_, "new --type all " + all).status, 0);
    const CommandRun run =
        RunCli(hide_, "import " + kFixtures + "sine_44k.mp3 --bank A --into " + all);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find(kNoDecoder), std::string::npos) << run.output;
    EXPECT_EQ(Count(run.output, "compressed audio unavailable: "), 1u) << run.output;
    EXPECT_NE(run.output.find("talvex-backend-ffmpeg.so"), std::string::npos) << run.output;
    const CommandRun help = RunCli(hide_, "--help");
    EXPECT_EQ(help.status, 0);
}

#ifdef TALVEX_HAVE_FFMPEG
TEST(BackendModules, TheDecoderModuleLoadsFromTheBuildAndFromAnotherFolder) {
    TempDir dir;
    const std::string all = dir.File("a.t2a");
    ASSERT_EQ(RunCli("", "new --type all " + all).status, 0);
    const CommandRun found =
        RunCli("", "import " + kFixtures + "sine_44k.mp3 --bank A --into " + all);
    EXPECT_EQ(found.status, 0) << found.output;

    // The same module copied elsewhere and named by the override.
    const std::string folder = dir.File("modules");
    fs::create_directory(folder);
    fs::copy_file(std::string(TALVEX_BACKEND_BUILD_DIR) + "/talvex-backend-ffmpeg.so",
                  folder + "/talvex-backend-ffmpeg.so");
    const CommandRun copied = RunCli("TALVEX_BACKEND_DIR=" + folder,
                                     "import " + kFixtures + "sine_48k.m4a --bank B --into " + all);
    EXPECT_EQ(copied.status, 0) << copied.output;
}
#endif

// Records nothing; the deferred output only needs a listener to hand on.
class SilentListener : public CHfcAudioOutputListener {
public:
    void OnHfcAudioBufferDone(int) override {}
};

TEST(DeferredBackends, NothingIsMadeBeforeFirstUseAndOnlyOnce) {
    int made = 0;
    CHfcDeferredMidiDriver midi([&made] {
        ++made;
        return std::make_unique<CVirtualMidiDriver>();
    });
    CHfcDeferredCompressedAudioDecoder decoder([&made] {
        ++made;
        return std::unique_ptr<CHfcCompressedAudioDecoder>();
    });
    CHfcDeferredAudioOutput output([&made] {
        ++made;
        return std::make_unique<CHfcNullAudioOutput>();
    });
    const HfcAudioFormat format{48000, 2, 16, 4};
    // The host asks the output about the format at start-up: answered without making it.
    EXPECT_TRUE(output.IsFormatSupported(format));
    EXPECT_FALSE(output.IsOpen());
    EXPECT_EQ(made, 0);
    EXPECT_FALSE(midi.IsMade() || decoder.IsMade() || output.IsMade());

    EXPECT_TRUE(midi.InputDevices().empty());
    EXPECT_TRUE(midi.OutputDevices().empty());
    EXPECT_TRUE(decoder.Extensions().empty());
    EXPECT_FALSE(decoder.TakesFileName("x.mp3"));
    CHfcCompressedAudioDecoder::Result result;
    EXPECT_FALSE(decoder.Decode("x.mp3", 10, 2, result));
    SilentListener listener;
    EXPECT_TRUE(output.Open(format, listener));
    output.Close();
    EXPECT_EQ(made, 3);
    EXPECT_TRUE(midi.IsMade() && decoder.IsMade() && output.IsMade());
}

TEST(DeferredBackends, AMissingAudioOutputFailsToOpenAndThenSaysSo) {
    CHfcDeferredAudioOutput output([] { return std::unique_ptr<CHfcAudioOutput>(); });
    const HfcAudioFormat format{48000, 2, 16, 4};
    EXPECT_TRUE(output.IsFormatSupported(format));
    SilentListener listener;
    EXPECT_FALSE(output.Open(format, listener));
    EXPECT_FALSE(output.IsOpen());
    EXPECT_FALSE(output.IsFormatSupported(format));
    const uint8_t bytes[4] = {};
    EXPECT_FALSE(output.Write(0, bytes, sizeof bytes));
    output.Reset();
    output.Close();
}

TEST(DeferredBackends, AMissingMidiSystemHasNoDevicesAndOpensNothing) {
    CHfcDeferredMidiDriver midi([] { return std::unique_ptr<CHfcMidiDriver>(); });
    struct Sinks : CHfcMidiInputSink, CHfcMidiOutputSink {
        void OnHfcMidiInputData(const uint8_t*, size_t) override {}
        void OnHfcMidiOutputDone(size_t) override {}
    } sinks;
    std::string error;
    EXPECT_FALSE(midi.OpenInput(0, sinks, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(midi.OpenOutput(0, sinks, error));
    EXPECT_FALSE(error.empty());
}

TEST(DeferredBackends, ThreadsAskingAtOnceMakeTheMidiSystemOnce) {
    std::atomic<int> made{0};
    CHfcDeferredMidiDriver midi([&made] {
        ++made;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return std::make_unique<CVirtualMidiDriver>();
    });
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&midi] { midi.InputDevices(); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(made.load(), 1);
}

} // namespace
