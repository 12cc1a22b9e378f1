#pragma once

#include <cstdint>
#include <vector>

#include "data/CTarnFileException.h"
#include "framework/CHfcFile.h"
#include "support/TempDir.h"

// Writes through `write` (called with a file opened for binary writing) and returns the bytes
// that reached the file.
template <class Write> std::vector<uint8_t> WrittenBytes(Write&& write) {
    TempDir dir;
    const std::string path = dir.File("out.bin");
    {
        CHfcFile file;
        if (!file.Open(path, CHfcFile::kWrite | CHfcFile::kBinary)) {
            return {};
        }
        write(file);
    }
    return TempDir::ReadAll(path);
}

// Runs `read` on a memory view of bytes and returns the CTarnFileException code it threw, or -1
// when it returned normally (its result goes to *result).
template <class Read>
int ReadCode(const std::vector<uint8_t>& bytes, Read&& read, bool* result = nullptr) {
    CHfcFile file;
    file.OpenMemory(bytes.data(), bytes.size());
    try {
        const bool ok = read(file);
        if (result) {
            *result = ok;
        }
        return -1;
    } catch (const CTarnFileException& e) {
        return e.GetCode();
    }
}

// A file that is open but refuses every write: the short-write path.
class ReadOnlyFile {
public:
    ReadOnlyFile() {
        const std::string path = dir_.File("ro.bin");
        TempDir::WriteAll(path, {});
        file_.Open(path, CHfcFile::kRead | CHfcFile::kBinary);
    }
    CHfcFile& File() { return file_; }

private:
    TempDir dir_;
    CHfcFile file_;
};
