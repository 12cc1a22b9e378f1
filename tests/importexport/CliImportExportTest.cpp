#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "ImportTestSupport.h"
#include "support/CommandRun.h"

using namespace importtest;

namespace {

CommandRun RunCli(const std::string& arguments, const std::string& prefix = "") {
    return RunCommand(prefix + TALVEX_CLI_PATH + " " + arguments);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliImportExport, ImportsExportsAndNormalizesABank) {
    TempDir dir;
    const std::string all = dir.File("set.t2a");
    // The all-data file is created with the defaults on the first import.
    CommandRun run =
        RunCli("import '" + Fixture("wav_acid_2beats.wav") + "' --bank b --into '" + all + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, "tempo 240.0 BPM, phrase length 2 beats, 24000 frames"))
        << run.output;

    // A refused file: the program's message and what the file is, a failure status, the file
    // untouched.
    const auto before = TempDir::ReadAll(all);
    run = RunCli("import '" + Fixture("wav_s16_mono_4k.wav") + "' --bank B --into '" + all + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.output, "Supported sampling rates: 48KH, 44.1KHz\n"
                                     "PCM, 16-bit, 4000 Hz, 1 channel\n"))
        << run.output;
    run = RunCli("import '" + dir.File("missing.wav") + "' --bank B --into '" + all + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.output, "Failed to open the file.")) << run.output;
    EXPECT_EQ(TempDir::ReadAll(all), before);
    EXPECT_EQ(RunCli("import x.wav --bank E --into '" + all + "'").status, 2);

    // Export the bank's play range (2 beats at 240 BPM = 24000 frames) in each format.
    run = RunCli("export '" + all + "' --bank B --wav '" + dir.File("b.wav") + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(TempDir::ReadAll(dir.File("b.wav")).size(), 44u + 96000u + 48u);
    run = RunCli("export '" + all + "' --bank B --aiff '" + dir.File("b.aif") + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(TempDir::ReadAll(dir.File("b.aif")).size(), 54u + 96000u);
    run = RunCli("export '" + all + "' --bank B --t2s '" + dir.File("b.t2s") + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(TempDir::ReadAll(dir.File("b.t2s")).size() % 512, 0u);
    run = RunCli("export '" + all + "' --bank B --wav '" + dir.File("no/such/b.wav") + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.output, "Failed to open the file.")) << run.output;

    // Normalizing brings the peak of the 8-bit loop to full scale (the single-precision factor
    // and the truncation may leave it one step below).
    run = RunCli("normalize '" + all + "' --bank B");
    ASSERT_EQ(run.status, 0) << run.output;
    run = RunCli("export '" + all + "' --bank B --wav '" + dir.File("n.wav") + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    const auto normalized = TempDir::ReadAll(dir.File("n.wav"));
    int peak = 0;
    for (size_t i = 44; i + 1 < 44 + 96000; i += 2) {
        peak = std::max(peak, std::abs(int(int16_t(ef::ReadLE16(normalized.data() + i)))));
    }
    EXPECT_GE(peak, 32766);
    // An empty bank stays as it is.
    run = RunCli("normalize '" + all + "' --bank D");
    EXPECT_EQ(run.status, 0) << run.output;
}

TEST(CliImportExport, SpecialFilesAreRefusedAtOnce) {
    TempDir dir;
    const std::string all = dir.File("set.t2a");
    ASSERT_EQ(
        RunCli("import '" + Fixture("wav_acid_2beats.wav") + "' --bank A --into '" + all + "'")
            .status,
        0);
    const auto before = TempDir::ReadAll(all);
    // FIFOs without a writer: each command is bounded by a timeout so a hang fails the test
    // instead of the suite (status 124).
    for (const char* name : {"in.wav", "in.aif", "in.mp3", "in.t2s", "in.t2a"}) {
        const std::string fifo = dir.File(name);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    }
    for (const char* name : {"in.wav", "in.aif", "in.mp3", "in.t2s"}) {
        const CommandRun run =
            RunCli("import '" + dir.File(name) + "' --bank B --into '" + all + "'", "timeout 10 ");
        EXPECT_EQ(run.status, 1) << name << run.output;
        EXPECT_TRUE(Contains(run.output, "Failed to open the file.")) << name << run.output;
    }
    CommandRun run = RunCli("info '" + dir.File("in.t2a") + "'", "timeout 10 ");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(Contains(run.output, "Failed to open the file.")) << run.output;
    // A device behind a link.
    const std::string link = dir.File("zero.wav");
    ASSERT_EQ(symlink("/dev/zero", link.c_str()), 0);
    run = RunCli("import '" + link + "' --bank B --into '" + all + "'", "timeout 10 ");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(Contains(run.output, "Failed to open the file.")) << run.output;
    EXPECT_EQ(TempDir::ReadAll(all), before);
}

TEST(CliImportExport, PrintsTheTempoAsStoredAndTheConvertedLength) {
    TempDir dir;
    const std::string all = dir.File("set.t2a");
    // 99000 frames at 48 kHz: 4 beats at 116.36 BPM, which the bank keeps as 116.3 (tenths, cut).
    TempDir::WriteAll(dir.File("odd.wav"), SilentWave(99000));
    CommandRun run = RunCli("import '" + dir.File("odd.wav") + "' --bank A --into '" + all + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, "tempo 116.3 BPM, phrase length 4 beats, 99000 frames"))
        << run.output;
    // A 96 kHz 24-bit extensible WAV of 0.1 s comes in as 4800 frames at 48 kHz.
    run = RunCli("import '" + Fixture("wav_s24_stereo_96k_ext.wav") + "' --bank B --into '" + all +
                 "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, "4800 frames at 48000 Hz\n")) << run.output;
}

} // namespace
