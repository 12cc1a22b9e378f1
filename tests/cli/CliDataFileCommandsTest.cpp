#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/CommandRun.h"

namespace fs = std::filesystem;

namespace {

CommandRun RunCli(const std::string& arguments) {
    return RunCommand(std::string(TALVEX_CLI_PATH) + " " + arguments);
}

std::vector<char> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class CliDataFileCommands : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("talvex-cli-test-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

} // namespace

TEST_F(CliDataFileCommands, NewWritesEachTypeWithItsExactSize) {
    EXPECT_EQ(RunCli("new --type global " + Path("g.t2g")).status, 0);
    EXPECT_EQ(RunCli("new --type program " + Path("p.t2p")).status, 0);
    EXPECT_EQ(RunCli("new --type all " + Path("a.t2a")).status, 0);
    EXPECT_EQ(fs::file_size(Path("g.t2g")), 1024u);
    EXPECT_EQ(fs::file_size(Path("p.t2p")), 8704u);
    // Header, GLOB, eight PROG, four empty SMPL chunks of one block, the current setting.
    EXPECT_EQ(fs::file_size(Path("a.t2a")), 512u + 512 + 8192 + 4 * 512 + 1024);

    const CommandRun wrongName = RunCli("new --type global " + Path("g.t2p"));
    EXPECT_NE(wrongName.status, 0);
    EXPECT_FALSE(fs::exists(Path("g.t2p")));
}

TEST_F(CliDataFileCommands, InfoListsChunksAndParametersByName) {
    ASSERT_EQ(RunCli("new --type all " + Path("a.t2a")).status, 0);
    const CommandRun info = RunCli("info " + Path("a.t2a"));
    EXPECT_EQ(info.status, 0) << info.output;
    EXPECT_NE(info.output.find("GLOB"), std::string::npos);
    EXPECT_EQ(info.output.find("BROKEN"), std::string::npos);
    EXPECT_NE(info.output.find("global.illumination"), std::string::npos);
    EXPECT_NE(info.output.find("Chain"), std::string::npos);
    EXPECT_NE(info.output.find("Mid"), std::string::npos);
    EXPECT_NE(info.output.find("program8.category"), std::string::npos);
    EXPECT_NE(info.output.find("Vocoder"), std::string::npos);

    const CommandRun json = RunCli("info " + Path("a.t2a") + " --json");
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.output.front(), '{');
    EXPECT_NE(json.output.find("\"midi.channel\": {\"value\": 0, \"text\": \"1\""),
              std::string::npos)
        << json.output.substr(0, 400);
}

TEST_F(CliDataFileCommands, SetEditsByNameAndRefusesBadInputWithoutTouchingTheFile) {
    ASSERT_EQ(RunCli("new --type global " + Path("g.t2g")).status, 0);
    const CommandRun set =
        RunCli("set " + Path("g.t2g") + " midi.channel=16 global.scroll_speed=Fast");
    ASSERT_EQ(set.status, 0) << set.output;
    const CommandRun info = RunCli("info " + Path("g.t2g") + " --json");
    EXPECT_NE(info.output.find("\"midi.channel\": {\"value\": 15"), std::string::npos);
    EXPECT_NE(info.output.find("\"text\": \"Fast\""), std::string::npos);

    const std::vector<char> before = Bytes(Path("g.t2g"));
    const CommandRun unknown = RunCli("set " + Path("g.t2g") + " midi.channel=3 no.such.name=1");
    EXPECT_NE(unknown.status, 0);
    EXPECT_NE(unknown.output.find("no.such.name"), std::string::npos);
    const CommandRun range = RunCli("set " + Path("g.t2g") + " midi.channel=17");
    EXPECT_NE(range.status, 0);
    const CommandRun program = RunCli("set " + Path("g.t2g") + " program1.scale=3");
    EXPECT_NE(program.status, 0);
    EXPECT_EQ(Bytes(Path("g.t2g")), before);
}

TEST_F(CliDataFileCommands, BrokenChecksumIsReportedWithTheEditorsMessage) {
    ASSERT_EQ(RunCli("new --type global " + Path("g.t2g")).status, 0);
    {
        std::fstream f(Path("g.t2g"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(512 + 16 + 1);
        f.put('\x05');
    }
    const std::vector<char> before = Bytes(Path("g.t2g"));
    const CommandRun info = RunCli("info " + Path("g.t2g"));
    EXPECT_NE(info.status, 0);
    EXPECT_NE(info.output.find("The file is broken (Checksum error)"), std::string::npos);
    EXPECT_NE(info.output.find("BROKEN"), std::string::npos);

    const CommandRun set = RunCli("set " + Path("g.t2g") + " midi.channel=2");
    EXPECT_NE(set.status, 0);
    EXPECT_EQ(Bytes(Path("g.t2g")), before);
}

TEST_F(CliDataFileCommands, MissingAndForeignFilesFailClearly) {
    const CommandRun missing = RunCli("info " + Path("none.t2a"));
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.output.find("Failed to open the file."), std::string::npos);
    std::ofstream(Path("x.wav")) << "RIFF";
    const CommandRun foreign = RunCli("info " + Path("x.wav"));
    EXPECT_NE(foreign.status, 0);
    EXPECT_NE(foreign.output.find("File format not supported"), std::string::npos);
}

namespace {

// Runs talvex-cli in dir with standard output and standard error kept apart.
struct SplitRun {
    int status = -1;
    std::string out;
    std::string err;
};

SplitRun RunSplit(const fs::path& dir, const std::string& arguments) {
    SplitRun run;
    const std::string errPath = (dir / "stderr.txt").string();
    const std::string command = "cd '" + dir.string() + "' && '" + TALVEX_CLI_PATH + "' " +
                                arguments + " 2>'" + errPath + "' </dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.out.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::vector<char> err = Bytes(errPath);
    run.err.assign(err.begin(), err.end());
    fs::remove(errPath);
    return run;
}

} // namespace

TEST_F(CliDataFileCommands, MessagesGoToStandardErrorAndResultsToStandardOutput) {
    SplitRun run = RunSplit(dir_, "new --type all a.t2a");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "a.t2a: an all-data file with the factory defaults\n");
    EXPECT_EQ(run.err, "");
    run = RunSplit(dir_, "new --type all a.t2g");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "talvex-cli: an all-data file is named *.t2a\n");
    run = RunSplit(dir_, "receive all -o x.t2g --virtual-instrument");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("an all-data file needs the extension .t2a"), std::string::npos)
        << run.err;
    run = RunSplit(dir_, "info missing.t2a");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Failed to open the file.\n");
    // Normalizing silence changes nothing and says so on standard error.
    run = RunSplit(dir_, "normalize a.t2a --bank A");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("holds no audio to normalize"), std::string::npos);
}

TEST_F(CliDataFileCommands, DoubleDashEndsTheOptions) {
    SplitRun run = RunSplit(dir_, "new --type global -- -g.t2g");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fs::file_size(Path("-g.t2g")), 1024u);
    run = RunSplit(dir_, "info -- -g.t2g");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("global"), std::string::npos);
    // Without it the name is an unknown option.
    EXPECT_EQ(RunSplit(dir_, "info -g.t2g").status, 2);
}

TEST_F(CliDataFileCommands, HelpStatesTheLimitOfSeconds) {
    const SplitRun help = RunSplit(dir_, "--help");
    EXPECT_NE(help.out.find("[--seconds N (at most 86400)]"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("'--' ends the"), std::string::npos);
    const SplitRun run = RunSplit(dir_, "play x.t2a --bank A --seconds 90000");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "talvex-cli: --seconds wants a number of seconds above 0 and at most 86400\n");
}
