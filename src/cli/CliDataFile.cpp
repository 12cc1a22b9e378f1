#include "cli/CliDataFile.h"

#include <cctype>
#include <cstdio>

#include "data/CEfException.h"
#include "data/CTarnAllData.h"
#include "files/CTarnAllDataIO.h"
#include "files/CTarnGlobalDataIO.h"
#include "files/CTarnProgramMemoryDataIO.h"
#include "framework/CEfFileIO.h"
#include "framework/CHfcFile.h"

namespace cli {

namespace {

bool ExtensionIs(const std::string& path, const char* accepted) {
    return CEfFileIO::ExtensionMatches(CEfFileIO::FileNameOf(path), accepted);
}

// Sample files have no file object of their own in the editor's data classes: the bank reads
// and writes them directly.
bool LoadSampleFile(const std::string& path, CTarnSampleData& bank) {
    CHfcFile file;
    if (!file.Open(path, CHfcFile::kRead | CHfcFile::kBinary)) {
        std::fprintf(stderr, "Failed to open the file.\n");
        return false;
    }
    CTarnSampleData temporary;
    try {
        if (!temporary.LoadFile(file)) {
            std::fprintf(stderr, "File format not supported.\n");
            return false;
        }
    } catch (const CEfException& e) {
        e.Report();
        return false;
    }
    bank.MoveFrom(&temporary);
    return true;
}

class CSampleFileWriter : public CEfFileIO {
public:
    explicit CSampleFileWriter(CTarnSampleData& bank) : bank_(bank) {}

protected:
    bool Write(CHfcFile& file, const std::string&) override {
        try {
            return bank_.SaveFile(file);
        } catch (const CEfException& e) {
            e.Report();
            return false;
        }
    }
    void OnFileFailure(Failure, const std::string&) override {
        std::fprintf(stderr, "Failed to open the file.\n");
    }

private:
    CTarnSampleData& bank_;
};

} // namespace

FileKind KindOfPath(const std::string& path) {
    if (ExtensionIs(path, "t2a") || ExtensionIs(path, "txa")) {
        return FileKind::kAll;
    }
    if (ExtensionIs(path, "t2g") || ExtensionIs(path, "txg")) {
        return FileKind::kGlobal;
    }
    if (ExtensionIs(path, "t2p")) {
        return FileKind::kProgram;
    }
    if (ExtensionIs(path, "t2s") || ExtensionIs(path, "txs")) {
        return FileKind::kSample;
    }
    return FileKind::kUnknown;
}

const char* KindName(FileKind kind) {
    switch (kind) {
    case FileKind::kAll:
        return "all data";
    case FileKind::kGlobal:
        return "global data";
    case FileKind::kProgram:
        return "program memory";
    case FileKind::kSample:
        return "loop-recorder sample";
    case FileKind::kUnknown:
        break;
    }
    return "unknown";
}

std::string KindFile(FileKind kind) {
    if (kind == FileKind::kAll) {
        return "an all-data file";
    }
    return std::string("a ") + KindName(kind) + " file";
}

bool IsPredecessorPath(const std::string& path) {
    return ExtensionIs(path, "txa") || ExtensionIs(path, "txg") || ExtensionIs(path, "txs");
}

bool LoadDataFile(const std::string& path, FileKind kind, CTarnAllData& data) {
    switch (kind) {
    case FileKind::kAll: {
        CTarnAllDataIO io;
        return io.OpenPath(data, path) == CEfFileIO::kSucceeded;
    }
    case FileKind::kGlobal: {
        CTarnGlobalDataIO io;
        return io.OpenPath(data.Global(), path) == CEfFileIO::kSucceeded;
    }
    case FileKind::kProgram: {
        CTarnProgramMemoryDataIO io;
        return io.OpenPath(data.Programs(), path) == CEfFileIO::kSucceeded;
    }
    case FileKind::kSample:
        return LoadSampleFile(path, *data.Bank(0));
    case FileKind::kUnknown:
        break;
    }
    std::fprintf(stderr, "File format not supported\n");
    return false;
}

bool SaveDataFile(const std::string& path, FileKind kind, CTarnAllData& data) {
    switch (kind) {
    case FileKind::kAll: {
        CTarnAllDataIO io;
        return io.SavePath(data, path) == CEfFileIO::kSucceeded;
    }
    case FileKind::kGlobal: {
        CTarnGlobalDataIO io;
        return io.SavePath(data.Global(), path) == CEfFileIO::kSucceeded;
    }
    case FileKind::kProgram: {
        CTarnProgramMemoryDataIO io;
        return io.SavePath(data.Programs(), path) == CEfFileIO::kSucceeded;
    }
    case FileKind::kSample: {
        CSampleFileWriter io(*data.Bank(0));
        return io.SavePath(path) == CEfFileIO::kSucceeded;
    }
    case FileKind::kUnknown:
        break;
    }
    std::fprintf(stderr, "File format not supported\n");
    return false;
}

} // namespace cli
