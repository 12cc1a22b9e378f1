#include "framework/CEfFileIO.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>

#include "framework/CEfUiServices.h"
#include "framework/CHfcFile.h"
#include "framework/CHfcFileDialog.h"
#include "framework/CHfcFileDialogFactory.h"
#include "framework/EfTrace.h"

namespace fs = std::filesystem;

namespace {

const char* const kUntitled = "Untitled";
constexpr int kTempNameAttempts = 64;
constexpr size_t kTempNameStemLength = 200;
constexpr size_t kTempSuffixLength = 6;
// A temporary older than this was left by a save that was killed; a save in flight (also in
// another process) is far younger.
constexpr auto kStaleTempAge = std::chrono::minutes(5);

// A temporary file that is removed unless it has been renamed into place.
class CTempFile {
public:
    ~CTempFile() {
        file.Close();
        if (!path.empty()) {
            std::error_code ec;
            fs::remove(path, ec);
        }
    }
    void Committed() { path.clear(); }

    CHfcFile file;
    fs::path path;
};

std::string RandomSuffix() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof letters - 2);
    std::string suffix(kTempSuffixLength, ' ');
    for (char& c : suffix) {
        c = letters[pick(generator)];
    }
    return suffix;
}

// The part of a temporary's name before its random suffix: "." and the target's (cut) name.
std::string TempStem(const fs::path& target) {
    return "." + target.filename().string().substr(0, kTempNameStemLength) + ".";
}

// Creates ".name.XXXXXX.tmp" next to target, exclusively, so that nothing else is overwritten.
bool CreateTempBeside(const fs::path& target, int flags, CTempFile& temp) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // Cut long names so that the temporary name stays within the file system's limit.
    const std::string stem = TempStem(target);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const fs::path candidate = folder / (stem + RandomSuffix() + ".tmp");
        errno = 0;
        if (temp.file.Open(candidate.string(), flags | CHfcFile::kWrite | CHfcFile::kExclusive)) {
            temp.path = candidate;
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

// Whether name is stem, six letters or digits and ".tmp", as CreateTempBeside makes them.
bool IsTempOf(const std::string& name, const std::string& stem) {
    const std::string tail = ".tmp";
    if (name.size() != stem.size() + kTempSuffixLength + tail.size() ||
        name.compare(0, stem.size(), stem) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0) {
        return false;
    }
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(stem.size()),
                       name.end() - static_cast<std::ptrdiff_t>(tail.size()), [](char c) {
                           return std::islower(static_cast<unsigned char>(c)) ||
                                  std::isdigit(static_cast<unsigned char>(c));
                       });
}

// Removes the temporaries an interrupted save of target left beside it. Only regular files of
// the exact pattern that have not been written for a while go; fresh ones may belong to a save
// in flight.
void RemoveStaleTemps(const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string stem = TempStem(target);
    const auto now = fs::file_time_type::clock::now();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code entryError;
        if (!IsTempOf(name, stem) || !it->is_regular_file(entryError) ||
            it->is_symlink(entryError)) {
            continue;
        }
        const auto written = it->last_write_time(entryError);
        if (!entryError && now - written > kStaleTempAge) {
            EfTrace("Removing a stale temporary file: %s", name.c_str());
            fs::remove(it->path(), entryError);
        }
    }
}

// The file a write to path should replace: a symbolic link is followed so that the link stays.
fs::path ResolveTarget(const std::string& path) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        const fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec) {
            return resolved;
        }
    }
    return fs::path(path);
}

} // namespace

CEfFileIO::CEfFileIO() : fileName_(kUntitled) {}

void CEfFileIO::OnHfcFileDialogFinished(CHfcFileDialog& dialog, bool ok, int kind) {
    if (!ok) {
        result_ = kNothingDone;
        return;
    }
    if (kind == CHfcFileDialog::kOpen) {
        result_ = ReadPath(dialog.ChosenPath());
    } else {
        result_ = WritePath(dialog.ChosenPath());
    }
}

bool CEfFileIO::OnHfcFileDialogWin32BrowseFilter(CHfcFileDialog&, const std::string& path,
                                                 bool isFolder, int kind) {
    if (isFolder || kind != CHfcFileDialog::kOpen) {
        return true;
    }
    CHfcFile file;
    if (!file.Open(path, FileModeFlags() | CHfcFile::kRead)) {
        EfTrace("CEfFileIO::OnHfcFileDialogWin32BrowseFilter - Failed to open file.");
        return false;
    }
    const bool readable = CanRead(file, FileNameOf(path));
    file.Close();
    return readable;
}

int CEfFileIO::Open(CEfWindow* parent, bool remember) {
    rememberOnSuccess_ = remember;
    return RunDialog(parent, CHfcFileDialog::kOpen);
}

int CEfFileIO::Save(CEfWindow* parent, bool remember) {
    if (!remembered_) {
        return SaveAs(parent, remember);
    }
    // A write step that fails is a failure (1), as in SaveAs; 0 would tell the caller that the
    // user cancelled and nothing needs reporting.
    result_ = WritePath(rememberedPath_);
    return result_;
}

int CEfFileIO::SaveAs(CEfWindow* parent, bool remember) {
    rememberOnSuccess_ = remember;
    return RunDialog(parent, CHfcFileDialog::kSave);
}

int CEfFileIO::OpenPath(const std::string& path) {
    result_ = ReadPath(path);
    return result_;
}

int CEfFileIO::SavePath(const std::string& path, bool remember) {
    rememberOnSuccess_ = remember;
    result_ = WritePath(path);
    return result_;
}

const std::string& CEfFileIO::FileName() {
    if (!remembered_) {
        fileName_ = kUntitled;
    }
    return fileName_;
}

void CEfFileIO::Forget() {
    remembered_ = false;
    rememberedPath_.clear();
    fileName_ = kUntitled;
}

std::string CEfFileIO::FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string CEfFileIO::LowerExtensionOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) {
        return {};
    }
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool CEfFileIO::ExtensionMatches(const std::string& name, const std::string& accepted) {
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || accepted.empty()) {
        return false;
    }
    const std::string extension = name.substr(dot + 1);
    if (extension.size() < accepted.size()) {
        return false;
    }
    for (size_t i = 0; i < accepted.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(extension[i])) !=
            std::tolower(static_cast<unsigned char>(accepted[i]))) {
            return false;
        }
    }
    return true;
}

bool CEfFileIO::CanRead(CHfcFile&, const std::string&) {
    return true;
}

bool CEfFileIO::Read(CHfcFile&, const std::string&) {
    return false;
}

bool CEfFileIO::Write(CHfcFile&, const std::string&) {
    return false;
}

void CEfFileIO::SetUpOpenDialog(CHfcFileDialog& dialog) {
    dialog.SetTitle(OpenTitle());
    dialog.AddFilter(FilterDescription(), "*" + Extension());
    dialog.AddFilter("All Files (*.*)", "*.*");
}

void CEfFileIO::SetUpSaveDialog(CHfcFileDialog& dialog) {
    dialog.SetTitle(SaveTitle());
    dialog.AddFilter(FilterDescription(), "*" + Extension());
    dialog.AddFilter("All Files (*.*)", "*.*");
    dialog.SetInitialFileName(kUntitled);
}

int CEfFileIO::FileModeFlags() const {
    return CHfcFile::kBinary;
}

void CEfFileIO::OnFileFailure(Failure failure, const std::string& path) {
    switch (failure) {
    case Failure::kOpenForReading:
        EfTrace("CEfFileIO - Failed to open %s for reading.", path.c_str());
        break;
    case Failure::kOpenForWriting:
        EfTrace("CEfFileIO - Failed to open %s for writing.", path.c_str());
        break;
    case Failure::kFinishWriting:
        EfTrace("CEfFileIO - Failed to finish writing %s.", path.c_str());
        break;
    }
}

int CEfFileIO::RunDialog(CEfWindow* parent, int kind) {
    const bool open = kind == CHfcFileDialog::kOpen;
    CHfcFileDialogFactory& factory = CEfUiServices::FileDialogs();
    std::unique_ptr<CHfcFileDialog> dialog =
        open ? factory.CreateOpenFileDialog() : factory.CreateSaveFileDialog();
    if (!dialog) {
        EfTrace(open ? "Failed to create CHfcOpenFileDialog."
                     : "Failed to create CHfcSaveFileDialog.");
        return kNothingDone;
    }
    result_ = kNothingDone;
    dialog->Init(parent, this);
    if (open) {
        SetUpOpenDialog(*dialog);
    } else {
        SetUpSaveDialog(*dialog);
    }
    if (!dialog->GetOneFile()) {
        EfTrace(open ? "Failed to call CHfcOpenFileDialog::GetOneFile()."
                     : "Failed to call CHfcSaveFileDialog::GetOneFile().");
        return kNothingDone;
    }
    return result_;
}

int CEfFileIO::ReadPath(const std::string& path) {
    CHfcFile file;
    if (!file.Open(path, FileModeFlags() | CHfcFile::kRead)) {
        OnFileFailure(Failure::kOpenForReading, path);
        return kFailed;
    }
    // An exception from the read step closes the file on its way out.
    const bool ok = Read(file, FileNameOf(path));
    file.Close();
    if (!ok) {
        return kFailed;
    }
    Remember(path);
    return kSucceeded;
}

int CEfFileIO::WritePath(const std::string& path) {
    const fs::path target = ResolveTarget(path);
    std::error_code ec;
    const bool replacing = fs::exists(target, ec);
    if (replacing) {
        // Renaming would replace even a file we may not write, a folder or a device; refuse
        // where writing in place would have been refused, and anything but a regular file.
        CHfcFile probe;
        if (!fs::is_regular_file(target, ec) ||
            !probe.Open(target.string(), CHfcFile::kReadWrite | CHfcFile::kBinary)) {
            OnFileFailure(Failure::kOpenForWriting, path);
            return kFailed;
        }
        probe.Close();
    }
    // Before the new temporary, so their space is free again on a nearly full disk.
    RemoveStaleTemps(target);
    CTempFile temp;
    if (!CreateTempBeside(target, FileModeFlags(), temp)) {
        OnFileFailure(Failure::kOpenForWriting, path);
        return kFailed;
    }
    if (!Write(temp.file, FileNameOf(path))) {
        return kFailed;
    }
    const bool flushed = temp.file.Flush();
    if (!temp.file.Close() || !flushed) {
        OnFileFailure(Failure::kFinishWriting, path);
        return kFailed;
    }
    if (replacing) {
        const fs::perms perms = fs::status(target, ec).permissions();
        if (!ec) {
            fs::permissions(temp.path, perms, ec);
        }
    }
    fs::rename(temp.path, target, ec);
    if (ec) {
        OnFileFailure(Failure::kFinishWriting, path);
        return kFailed;
    }
    // The new file is complete either way; this only makes the rename itself durable.
    CHfcFile::SyncFolder(temp.path.parent_path().string());
    temp.Committed();
    Remember(path);
    return kSucceeded;
}

void CEfFileIO::Remember(const std::string& path) {
    if (!rememberOnSuccess_) {
        return;
    }
    rememberedPath_ = path;
    fileName_ = FileNameOf(path);
    remembered_ = true;
}
