#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "TransferFixture.h"
#include "data/CTarnGlobalData.h"
#include "framework/CHfcFile.h"
#include "sim/CTarnSimMemoryIo.h"
#include "sim/TarnSimFaultNames.h"
#include "support/CommandRun.h"

namespace {

class CliTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/talvex-cli-transfer-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    // Runs talvex-cli with stdin closed; gives the exit status and fills output (stdout and
    // stderr together).
    int Run(const std::string& args, std::string& output) {
        const std::string command =
            "cd '" + dir_ + "' && '" TALVEX_CLI_PATH "' " + args + " </dev/null";
        const CommandRun run = RunCommand(command);
        output = run.output;
        return run.status;
    }
    std::string Path(const char* name) const { return dir_ + "/" + name; }

    std::string dir_;
};

CTarnSimMemory LoadMemory(const std::string& path) {
    CTarnSimMemory memory;
    std::string error;
    EXPECT_TRUE(CTarnSimMemoryIo::Load(path, memory, error)) << error;
    return memory;
}

} // namespace

TEST_F(CliTransferTest, TransmitInOneRunIsReceivedInTheNext) {
    CTarnAllData all;
    FillAllData(all, 70);
    const CTarnSimMemory sent = CTarnSimMemoryIo::FromAllData(all);
    std::string error;
    ASSERT_TRUE(CTarnSimMemoryIo::Save(Path("source.t2a"), sent, error)) << error;

    std::string output;
    EXPECT_EQ(Run("transmit source.t2a --virtual-instrument=inst.t2a", output), 1) << output;
    EXPECT_NE(output.find("This operation will overwrite all data on the TALVEX PRO+."),
              std::string::npos);
    EXPECT_EQ(LoadMemory(Path("inst.t2a")), CTarnSimMemoryIo::Defaults());

    ASSERT_EQ(Run("transmit source.t2a --yes --virtual-instrument=inst.t2a", output), 0) << output;
    EXPECT_EQ(LoadMemory(Path("inst.t2a")), sent);

    ASSERT_EQ(Run("receive all -o back.t2a --virtual-instrument=inst.t2a", output), 0) << output;
    EXPECT_EQ(LoadMemory(Path("back.t2a")), sent);

    ASSERT_EQ(Run("receive bank C -o c.t2s --virtual-instrument=inst.t2a", output), 0) << output;
    ASSERT_EQ(Run("transmit c.t2s --bank B --yes --virtual-instrument=inst.t2a", output), 0)
        << output;
    EXPECT_EQ(LoadMemory(Path("inst.t2a")).banks[1], sent.banks[2]);
}

TEST_F(CliTransferTest, PortsAndFailuresGiveTheMessageAndAnExitStatus) {
    std::string output;
    ASSERT_EQ(Run("ports --virtual-instrument", output), 0) << output;
    EXPECT_NE(output.find("input 0 \"TALVEX PRO+ (virtual)\", output 0"), std::string::npos);

    EXPECT_EQ(Run("receive global -o g.t2g --virtual-instrument --in Nothing", output), 1);
    EXPECT_NE(output.find("Nothing"), std::string::npos);
    EXPECT_EQ(Run("receive global -o g.t2p --virtual-instrument", output), 2);
    EXPECT_EQ(Run("transmit missing.t2g --yes --virtual-instrument", output), 1);
    EXPECT_EQ(Run("receive program -o p.t2p --virtual-instrument=bad.t2a --yes", output), 0)
        << output;

    // Sending a global image that turns System Exclusive off asks a second question.
    CTarnGlobalData global;
    global.SetParameter(ParamAddress(CTarnGlobalData::kParamFilterSysEx), 0);
    {
        CHfcFile file;
        ASSERT_TRUE(file.Open(Path("deaf.t2g"), CHfcFile::kWrite | CHfcFile::kBinary));
        ASSERT_TRUE(global.SaveFile(file));
        ASSERT_TRUE(file.Close());
    }
    ASSERT_EQ(Run("transmit deaf.t2g --yes --virtual-instrument", output), 0) << output;
    EXPECT_NE(output.find("This operation will overwrite the Global Data on the TALVEX PRO+."),
              std::string::npos);
    EXPECT_NE(output.find("because the System Ex MIDI filter setting is  set to disable"),
              std::string::npos);

    // An unreadable instrument file is reported and left as it is.
    FILE* bad = std::fopen(Path("broken.t2a").c_str(), "wb");
    std::fputs("not an all-data file", bad);
    std::fclose(bad);
    EXPECT_EQ(Run("receive global -o g.t2g --virtual-instrument=broken.t2a", output), 1);
    CHfcFile file;
    ASSERT_TRUE(file.Open(Path("broken.t2a"), CHfcFile::kRead));
    EXPECT_EQ(file.Remaining(), 20);
}

namespace {

TEST_F(CliTransferTest, WriteBackKeepsALongNameWithinTheLimit) {
    // 255 and 252 characters: a fixed ".tmp" suffix made the temporary name too long, so the
    // write-back failed after every successful transfer.
    for (size_t length : {size_t(255), size_t(252)}) {
        const std::string name = std::string(length - 4, 'n') + ".t2a";
        std::string output;
        ASSERT_EQ(Run("receive global -o g.t2g --yes --virtual-instrument=" + name, output), 0)
            << length << output;
        EXPECT_EQ(LoadMemory(dir_ + "/" + name), CTarnSimMemoryIo::Defaults()) << length;
    }
    // No temporary is left beside them.
    std::system(("ls -A '" + dir_ + "' | grep -c tmp > '" + dir_ + "/count' || true").c_str());
    FILE* count = std::fopen(Path("count").c_str(), "r");
    ASSERT_NE(count, nullptr);
    int temporaries = -1;
    EXPECT_EQ(std::fscanf(count, "%d", &temporaries), 1);
    std::fclose(count);
    EXPECT_EQ(temporaries, 0);
}

TEST_F(CliTransferTest, CommandsSharingAnInstrumentFileAllWriteBack) {
    std::string output;
    ASSERT_EQ(Run("receive global -o g.t2g --yes --virtual-instrument=shared.t2a", output), 0)
        << output;
    // Eight commands at once on the same file: each writes its own temporary and renames it.
    std::string script = "cd '" + dir_ + "' && status=0; pids=''; for i in 1 2 3 4 5 6 7 8; do '" +
                         TALVEX_CLI_PATH +
                         "' receive global -o g$i.t2g --yes --virtual-instrument=shared.t2a "
                         "</dev/null >out$i 2>&1 & pids=\"$pids $!\"; done; for p in $pids; do "
                         "wait $p || status=1; done; exit $status";
    const int status = std::system(script.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(LoadMemory(Path("shared.t2a")), CTarnSimMemoryIo::Defaults());
    for (int i = 1; i <= 8; ++i) {
        CHfcFile file;
        EXPECT_TRUE(file.Open(dir_ + "/g" + std::to_string(i) + ".t2g", CHfcFile::kRead)) << i;
    }
}

} // namespace

namespace {

TEST_F(CliTransferTest, FaultModesFromTheCommandLineGiveTheirMessages) {
    struct Case {
        std::string arguments;
        const char* message;
    };
    const Case cases[] = {
        {"receive global -o g.t2g --virtual-instrument-fault=busy-usb:global-request",
         "Cannot communicate while the TALVEX PRO+ is in the USB mode or while accessing the SD "
         "Card."},
        {"receive program -o p.t2p --virtual-instrument-fault=busy-recording",
         "Cannot communicate while the TALVEX PRO+ is recording."},
        {"receive global -o g.t2g --virtual-instrument-fault=identity-foreign",
         "Cannot find TALVEX PRO+."},
    };
    for (const Case& c : cases) {
        std::string output;
        EXPECT_EQ(Run(c.arguments + " --yes --virtual-instrument", output), 1) << c.arguments;
        EXPECT_NE(output.find(c.message), std::string::npos) << c.arguments << "\n" << output;
    }
    // The fault fires once: the next run of the same command succeeds, here on a slow link.
    std::string output;
    EXPECT_EQ(Run("receive global -o g.t2g --yes --virtual-instrument "
                  "--virtual-instrument-rate=31250",
                  output),
              0)
        << output;

    // ports: the result on standard output, the message on standard error.
    const std::string command = "cd '" + dir_ +
                                "' && '" TALVEX_CLI_PATH "' ports --virtual-instrument "
                                "--virtual-instrument-fault=no-reply:inquiry 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
        out.append(buffer, n);
    }
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(out.find("MIDI inputs:"), std::string::npos) << out;
    EXPECT_EQ(out.find("Cannot find TALVEX PRO+."), std::string::npos) << out;
    EXPECT_EQ(Run("ports --virtual-instrument --virtual-instrument-fault=no-reply:inquiry", output),
              1);
    EXPECT_NE(output.find("Cannot find TALVEX PRO+."), std::string::npos) << output;

    // Malformed options are usage errors; the help lists the modes.
    EXPECT_EQ(Run("receive global -o g.t2g --virtual-instrument --virtual-instrument-fault=bogus",
                  output),
              2);
    EXPECT_NE(output.find("unknown fault mode \"bogus\""), std::string::npos) << output;
    EXPECT_EQ(Run("receive global -o g.t2g --virtual-instrument-fault=error", output), 2);
    EXPECT_EQ(
        Run("receive global -o g.t2g --virtual-instrument --virtual-instrument-rate=x", output), 2);
    ASSERT_EQ(Run("--help", output), 0);
    EXPECT_NE(output.find("--virtual-instrument-fault=MODE[:STAGE]"), std::string::npos);
    EXPECT_NE(output.find("sample-halfway"), std::string::npos);
}

TEST(SimFaultNames, ParsesModesStagesAndSkips) {
    CTarnSimFaultPlan plan;
    std::string error;
    ASSERT_TRUE(tarn::ParseSimFault("no-reply", plan, error));
    EXPECT_EQ(plan.fault, CTarnSimFault::kNoReply);
    EXPECT_EQ(plan.stage, CTarnSimStage::kAnyRequest);
    ASSERT_TRUE(tarn::ParseSimFault("sample-halfway", plan, error));
    EXPECT_EQ(plan.stage, CTarnSimStage::kSampleDataRequest);
    ASSERT_TRUE(tarn::ParseSimFault("identity-member1", plan, error));
    EXPECT_EQ(plan.stage, CTarnSimStage::kInquiry);
    ASSERT_TRUE(tarn::ParseSimFault("error:program-dump:3", plan, error));
    EXPECT_EQ(plan.fault, CTarnSimFault::kErrorReply);
    EXPECT_EQ(plan.stage, CTarnSimStage::kProgramDump);
    EXPECT_EQ(plan.skip, 3);
    const CTarnSimFaultPlan before = plan;
    for (const char* bad :
         {"", "nope", "error:", "error:nowhere", "error:any-dump:x", "error:any-dump:-1"}) {
        EXPECT_FALSE(tarn::ParseSimFault(bad, plan, error)) << bad;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(plan.skip, before.skip);
    }
}

} // namespace
