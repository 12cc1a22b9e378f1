#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/CEfFileIO.h"
#include "framework/CHfcFile.h"
#include "support/RecordingTraceSink.h"
#include "support/ScriptedFileDialogs.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// A file object over plain text files: readable when they start with "OK", the write step writes
// `content`, optionally only half of it before failing or throwing.
class TextFileIO : public CEfFileIO {
public:
    enum class WriteMode { kWhole, kHalfThenFail, kHalfThenThrow };

    std::string content = "OK saved";
    std::string lastRead;
    WriteMode writeMode = WriteMode::kWhole;
    std::vector<Failure> failures;
    int reads = 0;

protected:
    bool CanRead(CHfcFile& file, const std::string&) override {
        char head[2] = {};
        return file.Read(head, 2) == 2 && head[0] == 'O' && head[1] == 'K';
    }
    bool Read(CHfcFile& file, const std::string&) override {
        ++reads;
        char buffer[256];
        const size_t n = file.Read(buffer, sizeof buffer);
        lastRead.assign(buffer, n);
        return n > 0;
    }
    bool Write(CHfcFile& file, const std::string&) override {
        const size_t size = writeMode == WriteMode::kWhole ? content.size() : content.size() / 2;
        if (file.Write(content.data(), size) != size) {
            return false;
        }
        if (writeMode == WriteMode::kHalfThenThrow) {
            throw std::runtime_error("write step failed");
        }
        return writeMode == WriteMode::kWhole;
    }
    void OnFileFailure(Failure failure, const std::string& path) override {
        failures.push_back(failure);
        CEfFileIO::OnFileFailure(failure, path);
    }
};

std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = TempDir::ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
    TempDir::WriteAll(path, std::vector<uint8_t>(text.begin(), text.end()));
}

} // namespace

TEST(FileIO, FreshObjectIsUntitledAndSaveAsksForAName) {
    ScriptedFileDialogs dialogs;
    TextFileIO io;
    EXPECT_EQ(io.FileName(), "Untitled");
    EXPECT_FALSE(io.IsRemembered());

    dialogs.Cancel();
    EXPECT_EQ(io.Save(nullptr), CEfFileIO::kNothingDone);
    ASSERT_EQ(dialogs.AllShown().size(), 1u);
    const ScriptedFileDialogs::Shown& shown = dialogs.LastShown();
    EXPECT_EQ(shown.kind, CHfcFileDialog::kSave);
    EXPECT_EQ(shown.title, "Save");
    ASSERT_EQ(shown.filters.size(), 2u);
    EXPECT_EQ(shown.filters[0].description, "Test Files (*.txt)");
    EXPECT_EQ(shown.filters[0].pattern, "*.txt");
    EXPECT_EQ(shown.filters[1].description, "All Files (*.*)");
    EXPECT_EQ(shown.filters[1].pattern, "*.*");
    EXPECT_EQ(shown.initialFileName, "Untitled");
    EXPECT_EQ(io.FileName(), "Untitled");
    EXPECT_TRUE(io.RememberedPath().empty());
}

TEST(FileIO, OpenDialogListsFoldersAndReadableFilesOnly) {
    ScriptedFileDialogs dialogs;
    TempDir dir;
    WriteText(dir.File("good.txt"), "OK one");
    WriteText(dir.File("bad.txt"), "no");
    WriteText(dir.File("empty.txt"), "");
    fs::create_directory(dir.File("sub"));
    // A dangling link is listed by the folder but cannot be opened.
    fs::create_symlink("gone.txt", dir.File("vanished.txt"));
    dialogs.ListFolder(dir.Path());

    TextFileIO io;
    RecordingTraceSink trace;
    dialogs.Choose(dir.File("good.txt"));
    EXPECT_EQ(io.Open(nullptr), CEfFileIO::kSucceeded);
    EXPECT_EQ(dialogs.LastShown().title, "Open");
    EXPECT_EQ(dialogs.LastShown().listed,
              (std::vector<std::string>{dir.File("good.txt"), dir.File("sub")}));
    EXPECT_TRUE(
        trace.Contains("CEfFileIO::OnHfcFileDialogWin32BrowseFilter - Failed to open file."));
    EXPECT_EQ(io.lastRead, "OK one");
    EXPECT_EQ(io.FileName(), "good.txt");
    EXPECT_EQ(io.RememberedPath(), dir.File("good.txt"));
}

TEST(FileIO, CancelledDialogChangesNothing) {
    ScriptedFileDialogs dialogs;
    TempDir dir;
    WriteText(dir.File("a.txt"), "OK a");
    TextFileIO io;
    ASSERT_EQ(io.OpenPath(dir.File("a.txt")), CEfFileIO::kSucceeded);

    dialogs.Cancel();
    EXPECT_EQ(io.Open(nullptr), CEfFileIO::kNothingDone);
    dialogs.Cancel();
    EXPECT_EQ(io.SaveAs(nullptr), CEfFileIO::kNothingDone);
    EXPECT_EQ(io.reads, 1);
    EXPECT_EQ(io.RememberedPath(), dir.File("a.txt"));
    EXPECT_EQ(io.FileName(), "a.txt");
    EXPECT_EQ(ReadText(dir.File("a.txt")), "OK a");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.txt"});
}

TEST(FileIO, MissingPathFailsAndKeepsTheRememberedPath) {
    TempDir dir;
    WriteText(dir.File("a.txt"), "OK a");
    TextFileIO io;
    ASSERT_EQ(io.OpenPath(dir.File("a.txt")), CEfFileIO::kSucceeded);
    EXPECT_EQ(io.OpenPath(dir.File("missing.txt")), CEfFileIO::kFailed);
    EXPECT_EQ(io.GetResult(), CEfFileIO::kFailed);
    EXPECT_EQ(io.RememberedPath(), dir.File("a.txt"));
    ASSERT_EQ(io.failures.size(), 1u);
    EXPECT_EQ(io.failures[0], TextFileIO::Failure::kOpenForReading);

    // A read step that fails leaves it too.
    WriteText(dir.File("zero.txt"), "");
    EXPECT_EQ(io.OpenPath(dir.File("zero.txt")), CEfFileIO::kFailed);
    EXPECT_EQ(io.RememberedPath(), dir.File("a.txt"));
}

TEST(FileIO, SaveAsWithoutRememberingKeepsThePreviousTarget) {
    ScriptedFileDialogs dialogs;
    TempDir dir;
    TextFileIO io;
    dialogs.Choose(dir.File("first.txt"));
    ASSERT_EQ(io.SaveAs(nullptr), CEfFileIO::kSucceeded);
    EXPECT_EQ(io.RememberedPath(), dir.File("first.txt"));

    io.content = "OK copy";
    dialogs.Choose(dir.File("copy.txt"));
    ASSERT_EQ(io.SaveAs(nullptr, false), CEfFileIO::kSucceeded);
    EXPECT_EQ(ReadText(dir.File("copy.txt")), "OK copy");
    EXPECT_EQ(io.RememberedPath(), dir.File("first.txt"));
    EXPECT_EQ(io.FileName(), "first.txt");

    io.content = "OK again";
    EXPECT_EQ(io.Save(nullptr), CEfFileIO::kSucceeded);
    EXPECT_EQ(dialogs.AllShown().size(), 2u);
    EXPECT_EQ(ReadText(dir.File("first.txt")), "OK again");
    EXPECT_EQ(ReadText(dir.File("copy.txt")), "OK copy");

    io.Forget();
    EXPECT_EQ(io.FileName(), "Untitled");
    dialogs.Cancel();
    EXPECT_EQ(io.Save(nullptr), CEfFileIO::kNothingDone);
    EXPECT_EQ(dialogs.AllShown().size(), 3u);
}

TEST(FileIO, FailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    ScriptedFileDialogs dialogs;
    TempDir dir;
    const std::string target = dir.File("data.txt");
    WriteText(target, "OK the original content");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    TextFileIO io;
    ASSERT_EQ(io.OpenPath(target), CEfFileIO::kSucceeded);
    io.content = "OK a new and longer content that replaces it";

    io.writeMode = TextFileIO::WriteMode::kHalfThenFail;
    EXPECT_EQ(io.Save(nullptr), CEfFileIO::kFailed);
    EXPECT_EQ(ReadText(target), "OK the original content");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"data.txt"});

    io.writeMode = TextFileIO::WriteMode::kHalfThenThrow;
    EXPECT_THROW(io.Save(nullptr), std::runtime_error);
    dialogs.Choose(target);
    EXPECT_THROW(io.SaveAs(nullptr), std::runtime_error);
    EXPECT_EQ(ReadText(target), "OK the original content");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"data.txt"});

    // A complete write replaces the file and keeps its permissions.
    io.writeMode = TextFileIO::WriteMode::kWhole;
    EXPECT_EQ(io.Save(nullptr), CEfFileIO::kSucceeded);
    EXPECT_EQ(ReadText(target), io.content);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"data.txt"});
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(io.failures.empty());
}

TEST(FileIO, WritingThroughALinkKeepsTheLink) {
    TempDir dir;
    WriteText(dir.File("real.txt"), "OK old");
    fs::create_symlink("real.txt", dir.File("link.txt"));
    TextFileIO io;
    ASSERT_EQ(io.SavePath(dir.File("link.txt")), CEfFileIO::kSucceeded);
    EXPECT_TRUE(fs::is_symlink(dir.File("link.txt")));
    EXPECT_EQ(ReadText(dir.File("real.txt")), "OK saved");
    EXPECT_EQ(io.RememberedPath(), dir.File("link.txt"));
}

TEST(FileIO, NamesAtTheLengthLimitStillSave) {
    TempDir dir;
    const std::string path = dir.File(std::string(250, 'n') + ".txt");
    TextFileIO io;
    ASSERT_EQ(io.SavePath(path), CEfFileIO::kSucceeded);
    ASSERT_EQ(io.SavePath(path), CEfFileIO::kSucceeded);
    EXPECT_EQ(ReadText(path), "OK saved");
    EXPECT_EQ(dir.Entries().size(), 1u);
}

TEST(FileIO, ASaveRemovesItsOwnStaleTemporariesOnly) {
    TempDir dir;
    const std::string target = dir.File("data.txt");
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(30);
    auto leave = [&](const std::string& name, bool stale) {
        WriteText(dir.File(name), "OK half");
        if (stale) {
            fs::last_write_time(dir.File(name), old);
        }
    };
    // Left by killed saves of this target half an hour ago: removed.
    leave(".data.txt.a1b2c3.tmp", true);
    leave(".data.txt.zzzzzz.tmp", true);
    // A save of this target in flight (just written): kept.
    leave(".data.txt.fresh1.tmp", false);
    // Old, but not this target's temporaries or not of the exact pattern: kept.
    leave(".other.txt.a1b2c3.tmp", true);
    leave(".data.txt.ABCDEF.tmp", true);
    leave(".data.txt.a1b2c.tmp", true);
    leave("data.txt.a1b2c3.tmp", true);
    leave(".data.txt.a1b2c3.tmp.keep", true);
    fs::create_directory(dir.File(".data.txt.dirdir.tmp"));
    fs::last_write_time(dir.File(".data.txt.dirdir.tmp"), old);

    TextFileIO io;
    ASSERT_EQ(io.SavePath(target), CEfFileIO::kSucceeded);
    EXPECT_EQ(ReadText(target), "OK saved");
    const std::vector<std::string> expected = {
        ".data.txt.ABCDEF.tmp",
        ".data.txt.a1b2c.tmp",
        ".data.txt.a1b2c3.tmp.keep",
        ".data.txt.dirdir.tmp",
        ".data.txt.fresh1.tmp",
        ".other.txt.a1b2c3.tmp",
        "data.txt",
        "data.txt.a1b2c3.tmp",
    };
    EXPECT_EQ(dir.Entries(), expected);

    // A long name's temporaries carry the cut name, and are found by it.
    const std::string longName = std::string(250, 'n') + ".txt";
    const std::string stale = "." + longName.substr(0, 200) + ".q9w8e7.tmp";
    leave(stale, true);
    ASSERT_EQ(io.SavePath(dir.File(longName)), CEfFileIO::kSucceeded);
    EXPECT_FALSE(fs::exists(dir.File(stale)));
}

TEST(FileIO, UnwritablePlacesFailClearly) {
    ScriptedFileDialogs dialogs;
    TempDir dir;
    WriteText(dir.File("plain"), "OK");
    fs::create_directory(dir.File("folder.txt"));
    TextFileIO io;

    dialogs.Choose(dir.File("missing/x.txt"));
    EXPECT_EQ(io.SaveAs(nullptr), CEfFileIO::kFailed);
    dialogs.Choose(dir.File("plain/x.txt"));
    EXPECT_EQ(io.SaveAs(nullptr), CEfFileIO::kFailed);
    // A folder in the way is not replaced.
    EXPECT_EQ(io.SavePath(dir.File("folder.txt")), CEfFileIO::kFailed);
    EXPECT_TRUE(fs::is_directory(dir.File("folder.txt")));
    // So is a device.
    EXPECT_EQ(io.SavePath("/dev/null"), CEfFileIO::kFailed);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    EXPECT_EQ(io.failures,
              std::vector<TextFileIO::Failure>(4, TextFileIO::Failure::kOpenForWriting));
    EXPECT_FALSE(io.IsRemembered());
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"folder.txt", "plain"}));
}

TEST(FileIO, DialogsThatCannotBeShownGiveNothingDone) {
    ScriptedFileDialogs dialogs;
    RecordingTraceSink trace;
    TextFileIO io;
    dialogs.FailToCreate();
    EXPECT_EQ(io.Open(nullptr), CEfFileIO::kNothingDone);
    dialogs.FailToCreate();
    EXPECT_EQ(io.SaveAs(nullptr), CEfFileIO::kNothingDone);
    dialogs.FailToShow();
    EXPECT_EQ(io.Open(nullptr), CEfFileIO::kNothingDone);
    dialogs.FailToShow();
    EXPECT_EQ(io.Save(nullptr), CEfFileIO::kNothingDone);
    EXPECT_EQ(trace.Lines(),
              (std::vector<std::string>{"Failed to create CHfcOpenFileDialog.",
                                        "Failed to create CHfcSaveFileDialog.",
                                        "Failed to call CHfcOpenFileDialog::GetOneFile().",
                                        "Failed to call CHfcSaveFileDialog::GetOneFile()."}));
}

TEST(FileIO, NamesAndExtensions) {
    EXPECT_EQ(CEfFileIO::FileNameOf("/a/b/c.t2a"), "c.t2a");
    EXPECT_EQ(CEfFileIO::FileNameOf("c.t2a"), "c.t2a");
    EXPECT_EQ(CEfFileIO::FileNameOf("/a/b/"), "");
    EXPECT_TRUE(CEfFileIO::ExtensionMatches("x.T2A", "t2a"));
    EXPECT_TRUE(CEfFileIO::ExtensionMatches("x.old.txabc", "txa"));
    EXPECT_TRUE(CEfFileIO::ExtensionMatches("x.AIFFX", "aiff"));
    EXPECT_FALSE(CEfFileIO::ExtensionMatches("x.aif", "aiff"));
    EXPECT_FALSE(CEfFileIO::ExtensionMatches("x.t2", "t2a"));
    EXPECT_FALSE(CEfFileIO::ExtensionMatches("t2a", "t2a"));
    EXPECT_FALSE(CEfFileIO::ExtensionMatches("x.t2a.bak", "t2a"));
}
