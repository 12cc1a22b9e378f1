// The linked-file registry and the bytes the build links in.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TalvexResources.h"
#include "framework/CEfEmbeddedFiles.h"

namespace {

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(EmbeddedFiles, EveryFileUnderResourcesIsLinkedByteForByte) {
    size_t count = 0;
    for (const char* folder : {"images", "fonts", "strings"}) {
        for (const auto& entry : std::filesystem::directory_iterator(
                 std::filesystem::path(TALVEX_RESOURCES_DIR) / folder)) {
            const std::string name = entry.path().filename().string();
            const CEfEmbeddedFile* file = CEfEmbeddedFiles::Find(name);
            ASSERT_NE(file, nullptr) << name;
            const std::vector<uint8_t> disk = ReadFile(entry.path());
            ASSERT_EQ(file->size, disk.size()) << name;
            EXPECT_TRUE(std::equal(disk.begin(), disk.end(), file->data)) << name;
            ++count;
        }
    }
    // 57 pictures minus the 3 font pictures, at 1x and 2x; 3 fonts with 2 pictures and a table.
    EXPECT_EQ(count, 54u * 2 + 3u * 3 + 1u);
}

TEST(EmbeddedFiles, LaterTablesHideEarlierOnesUntilRemoved) {
    static const uint8_t first[] = {1, 2, 3};
    static const uint8_t second[] = {4, 5};
    static const CEfEmbeddedFile a[] = {{"test-only.bin", first, sizeof first}};
    static const CEfEmbeddedFile b[] = {{"test-only.bin", second, sizeof second}};
    static const CEfEmbeddedFile hide[] = {{"test-only.bin", nullptr, 0}};
    EXPECT_EQ(CEfEmbeddedFiles::Find("test-only.bin"), nullptr);
    CEfEmbeddedFiles::Register(a, 1);
    ASSERT_NE(CEfEmbeddedFiles::Find("test-only.bin"), nullptr);
    EXPECT_EQ(CEfEmbeddedFiles::Find("test-only.bin")->size, 3u);
    CEfEmbeddedFiles::Register(b, 1);
    EXPECT_EQ(CEfEmbeddedFiles::Find("test-only.bin")->size, 2u);
    CEfEmbeddedFiles::Register(a, 1); // already registered: keeps its place
    EXPECT_EQ(CEfEmbeddedFiles::Find("test-only.bin")->size, 2u);
    CEfEmbeddedFiles::Register(hide, 1);
    EXPECT_EQ(CEfEmbeddedFiles::Find("test-only.bin"), nullptr);
    CEfEmbeddedFiles::Remove(hide);
    CEfEmbeddedFiles::Remove(b);
    EXPECT_EQ(CEfEmbeddedFiles::Find("test-only.bin")->size, 3u);
    CEfEmbeddedFiles::Remove(a);
    EXPECT_EQ(CEfEmbeddedFiles::Find("test-only.bin"), nullptr);
}

TEST(EmbeddedFiles, RegisteringTheLinkedTableAgainChangesNothing) {
    const CEfEmbeddedFile* before = CEfEmbeddedFiles::Find("BG_About.png");
    ASSERT_NE(before, nullptr);
    TalvexResourcesRegister();
    EXPECT_EQ(CEfEmbeddedFiles::Find("BG_About.png"), before);
    EXPECT_EQ(CEfEmbeddedFiles::Find("bg_about.png"), nullptr); // names are exact
}

} // namespace
