#include "framework/CHfcFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CHfcFile::~CHfcFile() {
    Close();
}

bool CHfcFile::Open(const std::string& path, int flags) {
    if (file_) {
        return false;
    }
    const bool binary = (flags & kBinary) != 0;
    const bool exclusive = (flags & kExclusive) != 0;
    int openFlags = O_CLOEXEC | O_NONBLOCK;
    const char* mode = nullptr;
    switch (flags & kReadWrite) {
    case kRead:
        openFlags |= O_RDONLY;
        mode = binary ? "rb" : "r";
        break;
    case kWrite:
        openFlags |= O_WRONLY | O_CREAT | (exclusive ? O_EXCL : 0);
        mode = binary ? "wb" : "w";
        break;
    case kReadWrite:
        openFlags |= O_RDWR;
        mode = binary ? "r+b" : "r+";
        break;
    default:
        return false;
    }
    if (exclusive && (flags & kReadWrite) != kWrite) {
        return false;
    }
    // Opened without blocking and checked before any byte moves: a FIFO without a writer would
    // block the open forever, and a device or FIFO never ends a read. Reading needs a regular
    // file; writing also accepts a device (a full disk is tested through /dev/full).
    const int fd = ::open(path.c_str(), openFlags, 0666);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const bool reading = (flags & kRead) != 0;
    const bool accepted =
        fstat(fd, &info) == 0 && (S_ISREG(info.st_mode) || (!reading && S_ISCHR(info.st_mode)));
    const int status = fcntl(fd, F_GETFL);
    if (!accepted || status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0 ||
        ((flags & kReadWrite) == kWrite && S_ISREG(info.st_mode) && ftruncate(fd, 0) != 0)) {
        ::close(fd);
        return false;
    }
    file_ = fdopen(fd, mode);
    if (!file_) {
        ::close(fd);
    }
    return file_ != nullptr;
}

bool CHfcFile::OpenMemory(const uint8_t* data, size_t size) {
    if (file_) {
        return false;
    }
    static const uint8_t empty = 0;
    // fmemopen refuses a zero size; an empty view reads nothing either way.
    if (size == 0) {
        file_ = fmemopen(const_cast<uint8_t*>(&empty), 1, "rb");
        if (file_) {
            std::fseek(file_, 0, SEEK_END);
        }
        return file_ != nullptr;
    }
    file_ = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    return file_ != nullptr;
}

bool CHfcFile::Close() {
    if (!file_) {
        return false;
    }
    const int rc = std::fclose(file_);
    file_ = nullptr;
    return rc == 0;
}

bool CHfcFile::Flush() {
    if (!file_) {
        return false;
    }
    if (std::fflush(file_) != 0) {
        return false;
    }
    const int fd = fileno(file_);
    // Memory views have no descriptor and nothing to sync.
    return fd < 0 || fsync(fd) == 0;
}

bool CHfcFile::SyncFolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = fsync(fd) == 0;
    ::close(fd);
    return synced;
}

size_t CHfcFile::Read(void* buffer, size_t n) {
    if (!file_ || n == 0) {
        return 0;
    }
    return std::fread(buffer, 1, n, file_);
}

size_t CHfcFile::Write(const void* buffer, size_t n) {
    if (!file_ || n == 0) {
        return 0;
    }
    return std::fwrite(buffer, 1, n, file_);
}

bool CHfcFile::Seek(long long offset, int origin) {
    if (!file_) {
        return false;
    }
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2) {
        return false;
    }
    return fseeko(file_, static_cast<off_t>(offset), whence[origin]) == 0;
}

long long CHfcFile::Tell() const {
    if (!file_) {
        return -1;
    }
    return static_cast<long long>(ftello(file_));
}

long long CHfcFile::Remaining() {
    if (!file_) {
        return 0;
    }
    const long long here = Tell();
    if (here < 0 || fseeko(file_, 0, SEEK_END) != 0) {
        return 0;
    }
    const long long end = Tell();
    fseeko(file_, static_cast<off_t>(here), SEEK_SET);
    return end > here ? end - here : 0;
}
