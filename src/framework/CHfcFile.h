#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// A buffered file over the C runtime. The object closes nothing by itself except on destruction:
// its owner closes it. Reads and writes on a closed object do nothing and return 0.
class CHfcFile {
public:
    enum Mode : int {
        kRead = 1,
        kWrite = 2,
        kReadWrite = 3,
        kBinary = 8,
        // With kWrite: fail when the file already exists instead of truncating it.
        kExclusive = 16,
    };
    enum Origin : int { kBegin = 0, kCurrent = 1, kEnd = 2 };

    CHfcFile() = default;
    ~CHfcFile();
    CHfcFile(const CHfcFile&) = delete;
    CHfcFile& operator=(const CHfcFile&) = delete;

    // Flags 1 read, 2 write, 3 read and write select "r", "w" or "r+"; flag 8 adds binary and
    // flag 16 makes a write open fail on an existing file. Reading needs a regular file (after
    // following links): a FIFO, socket or device is refused at once instead of blocking.
    bool Open(const std::string& path, int flags);
    // Opens a read-only view of memory the caller keeps alive (fuzzing, tests, clipboard).
    bool OpenMemory(const uint8_t* data, size_t size);
    bool Close();
    // Pushes buffered data to the operating system and asks it to put the data on the disk;
    // false when either step fails (for example a full disk).
    bool Flush();
    // Asks the operating system to put a folder's entries on the disk, so that a file just
    // renamed into it stays renamed after a crash; false when that is not possible.
    static bool SyncFolder(const std::string& path);
    size_t Read(void* buffer, size_t n);
    size_t Write(const void* buffer, size_t n);
    bool Seek(long long offset, int origin);
    long long Tell() const;
    bool IsOpen() const { return file_ != nullptr; }
    // Bytes from the current position to the end; 0 when closed.
    long long Remaining();

private:
    FILE* file_ = nullptr;
};
