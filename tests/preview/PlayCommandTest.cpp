#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

#include "support/CommandRun.h"

namespace {

namespace fs = std::filesystem;

// An all-data file whose bank B holds a one-second half-level tone made by sox, and a home
// folder whose ALSA configuration makes the default device a null sink that plays nothing.
class PlayCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "talvex-play-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        fs::create_directories(dir / "home");
        std::ofstream(dir / "home" / ".asoundrc") << "pcm.!default {\n    type null\n}\n";
        file = (dir / "x.t2a").string();
        const std::string tone = (dir / "tone.wav").string();
        ASSERT_EQ(
            RunCommand("sox -n -r 48000 -c 2 -b 16 '" + tone + "' synth 1 sine 440 vol 0.5").status,
            0);
        ASSERT_EQ(RunCommand(cli + " new --type all '" + file + "'").status, 0);
        ASSERT_EQ(RunCommand(cli + " import '" + tone + "' --bank B --into '" + file + "'").status,
                  0);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    std::string Play(const std::string& options) const {
        return "HOME='" + (dir / "home").string() + "' " + cli + " play '" + file + "' " + options +
               " < /dev/null";
    }

    const std::string cli = TALVEX_CLI_PATH;
    fs::path dir;
    std::string file;
};

TEST_F(PlayCommand, RefusesBadArgumentsAndEmptyBanks) {
    EXPECT_EQ(RunCommand(Play("--bank E")).status, 2);
    EXPECT_EQ(RunCommand(Play("--bank B --seconds -1")).status, 2);
    EXPECT_EQ(RunCommand(Play("--bank B --seconds x")).status, 2);
    EXPECT_EQ(RunCommand(Play("")).status, 2);
    const CommandRun empty = RunCommand(Play("--bank A --seconds 0.1"));
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.output.find("holds no audio"), std::string::npos) << empty.output;
}

TEST_F(PlayCommand, PlaysOnceWithAMeterOrSaysThereIsNoDevice) {
    const CommandRun result = RunCommand(Play("--bank b --once --seconds 20"));
#ifdef TALVEX_HAVE_PORTAUDIO
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("-6.0 dB"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("stopped at the end of the bank"), std::string::npos)
        << result.output;
#else
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("no audio output device"), std::string::npos) << result.output;
#endif
}

} // namespace
