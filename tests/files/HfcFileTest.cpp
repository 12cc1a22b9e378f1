#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "framework/CHfcFile.h"
#include "support/TempDir.h"

TEST(HfcFile, ModesAndClosedObjects) {
    TempDir dir;
    const std::string path = dir.File("f.bin");
    CHfcFile file;
    uint8_t byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), 0u);
    EXPECT_EQ(file.Write(&byte, 1), 0u);
    EXPECT_FALSE(file.Close());
    EXPECT_FALSE(file.Flush());
    EXPECT_FALSE(file.Seek(0, CHfcFile::kBegin));
    EXPECT_EQ(file.Tell(), -1);

    EXPECT_FALSE(file.Open(path, CHfcFile::kRead | CHfcFile::kBinary));
    EXPECT_FALSE(file.Open(path, CHfcFile::kBinary));
    ASSERT_TRUE(file.Open(path, CHfcFile::kWrite | CHfcFile::kBinary | CHfcFile::kExclusive));
    const uint8_t data[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(file.Write(data, sizeof data), sizeof data);
    EXPECT_TRUE(file.Flush());
    EXPECT_TRUE(file.Close());

    // Exclusive creation refuses an existing file and leaves it alone.
    EXPECT_FALSE(file.Open(path, CHfcFile::kWrite | CHfcFile::kBinary | CHfcFile::kExclusive));
    EXPECT_FALSE(file.Open(path, CHfcFile::kReadWrite | CHfcFile::kExclusive));
    EXPECT_EQ(TempDir::ReadAll(path), (std::vector<uint8_t>{1, 2, 3, 4, 5}));

    ASSERT_TRUE(file.Open(path, CHfcFile::kReadWrite | CHfcFile::kBinary));
    EXPECT_TRUE(file.Seek(-2, CHfcFile::kEnd));
    EXPECT_EQ(file.Tell(), 3);
    EXPECT_EQ(file.Remaining(), 2);
    const uint8_t nine = 9;
    EXPECT_EQ(file.Write(&nine, 1), 1u);
    EXPECT_TRUE(file.Seek(0, CHfcFile::kBegin));
    uint8_t back[8] = {};
    EXPECT_EQ(file.Read(back, sizeof back), 5u);
    EXPECT_EQ(back[3], 9);
    EXPECT_FALSE(file.Seek(0, 3));
    EXPECT_TRUE(file.Close());

    EXPECT_TRUE(CHfcFile::SyncFolder(dir.Path()));
    EXPECT_FALSE(CHfcFile::SyncFolder(path));

    const uint8_t memory[] = {7, 8};
    ASSERT_TRUE(file.OpenMemory(memory, sizeof memory));
    EXPECT_EQ(file.Read(back, sizeof back), 2u);
    EXPECT_TRUE(file.Close());
}

namespace {

// Opens a path in a child process that an alarm ends after 5 s, so an open that blocks fails
// the test instead of hanging the suite. 1: opened, 0: refused, -1: did not finish.
int OpenInChild(const std::string& path, int flags) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(5);
        CHfcFile file;
        _exit(file.Open(path, flags) ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

} // namespace

TEST(HfcFile, OnlyRegularFilesAreRead) {
    TempDir dir;
    const std::string fifo = dir.File("in.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto started = std::chrono::steady_clock::now();
    // A FIFO without a writer is refused at once for reading and for writing.
    EXPECT_EQ(OpenInChild(fifo, CHfcFile::kRead | CHfcFile::kBinary), 0);
    EXPECT_EQ(OpenInChild(fifo, CHfcFile::kReadWrite | CHfcFile::kBinary), 0);
    EXPECT_EQ(OpenInChild(fifo, CHfcFile::kWrite | CHfcFile::kBinary), 0);
    // Devices, also behind a link, and folders never read.
    EXPECT_EQ(OpenInChild("/dev/zero", CHfcFile::kRead | CHfcFile::kBinary), 0);
    EXPECT_EQ(OpenInChild("/dev/null", CHfcFile::kRead | CHfcFile::kBinary), 0);
    const std::string link = dir.File("zero.wav");
    ASSERT_EQ(symlink("/dev/zero", link.c_str()), 0);
    EXPECT_EQ(OpenInChild(link, CHfcFile::kRead | CHfcFile::kBinary), 0);
    EXPECT_EQ(OpenInChild(dir.File(""), CHfcFile::kRead | CHfcFile::kBinary), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));

    // A link to a regular file reads it; a device still takes writes (a full disk is tested
    // through /dev/full).
    const std::string real = dir.File("real.bin");
    TempDir::WriteAll(real, {1, 2, 3});
    const std::string realLink = dir.File("real.lnk");
    ASSERT_EQ(symlink(real.c_str(), realLink.c_str()), 0);
    CHfcFile file;
    ASSERT_TRUE(file.Open(realLink, CHfcFile::kRead | CHfcFile::kBinary));
    uint8_t bytes[4] = {};
    EXPECT_EQ(file.Read(bytes, sizeof bytes), 3u);
    EXPECT_EQ(bytes[2], 3);
    file.Close();
    EXPECT_TRUE(file.Open("/dev/null", CHfcFile::kWrite | CHfcFile::kBinary));
    file.Close();
    // A write open still truncates a regular file.
    ASSERT_TRUE(file.Open(real, CHfcFile::kWrite | CHfcFile::kBinary));
    file.Close();
    EXPECT_TRUE(TempDir::ReadAll(real).empty());
}
