#include <gtest/gtest.h>

#include "ui/app/CTarnApplication.h"
#include "ui/app/CTarnEditorOptions.h"

TEST(EditorOptions, OwnOptionsActOthersAreIgnored) {
    CTarnEditorOptions options;
    std::string error;
    ASSERT_TRUE(options.Parse(
        {"-reverse", "--virtual-instrument=/tmp/i.t2a", "/a/b.t2g", "--unknown", "c.wav"}, error));
    EXPECT_TRUE(options.virtualInstrument);
    EXPECT_EQ(options.virtualFile, "/tmp/i.t2a");
    EXPECT_EQ(options.files, (std::vector<std::string>{"/a/b.t2g", "c.wav"}));
    EXPECT_FALSE(options.help);
    EXPECT_FALSE(options.dumpControls);

    CTarnEditorOptions dump;
    ASSERT_TRUE(dump.Parse({"--dump-controls", "set.t2a", "--version"}, error));
    EXPECT_TRUE(dump.dumpControls);
    EXPECT_EQ(dump.dumpFile, "set.t2a");
    EXPECT_TRUE(dump.version);
    EXPECT_TRUE(dump.files.empty());

    CTarnEditorOptions bare;
    ASSERT_TRUE(bare.Parse({"--dump-controls", "--help"}, error));
    EXPECT_TRUE(bare.dumpFile.empty());
    EXPECT_TRUE(bare.help);

    CTarnEditorOptions bad;
    EXPECT_FALSE(bad.Parse({"--virtual-instrument="}, error));
    EXPECT_FALSE(error.empty());
}

TEST(EditorOptions, HandsOverAtMost1023Characters) {
    CTarnEditorOptions options;
    std::string error;
    ASSERT_TRUE(options.Parse({"--virtual-instrument", std::string(2000, 'a'), "b.t2a"}, error));
    EXPECT_EQ(options.FirstFile().size(), 1023u);
    EXPECT_TRUE(CTarnEditorOptions().FirstFile().empty());
}

TEST(EditorApplication, PicksThe2xPicturesFromOneAndAHalf) {
    EXPECT_EQ(CTarnApplication::PreferredScale(1.0), 1);
    EXPECT_EQ(CTarnApplication::PreferredScale(1.49), 1);
    EXPECT_EQ(CTarnApplication::PreferredScale(1.5), 2);
    EXPECT_EQ(CTarnApplication::PreferredScale(3.0), 2);
    EXPECT_FALSE(CTarnApplication::SettingsFolder().isEmpty());
}
