#include <gtest/gtest.h>

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
