#include "framework/EfTrace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

constexpr size_t kTraceBufferSize = 1024;

class CFileTraceSink : public CEfTraceSink {
public:
    void OnEfTrace(const char* line) override {
        if (FILE* f = std::fopen("EfDebug.txt", "a")) {
            std::fprintf(f, "%s\n", line);
            std::fclose(f);
        }
    }
};

std::mutex traceMutex;
std::atomic<CEfTraceSink*> currentSink{nullptr};

} // namespace

void EfTrace(const char* format, ...) {
    CEfTraceSink* sink = currentSink.load(std::memory_order_acquire);
    if (!sink) {
        return;
    }
    char buffer[kTraceBufferSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::lock_guard<std::mutex> lock(traceMutex);
    sink->OnEfTrace(buffer);
}

void EfSetTraceSink(CEfTraceSink* sink) {
    std::lock_guard<std::mutex> lock(traceMutex);
    currentSink.store(sink, std::memory_order_release);
}

void EfTraceEnableFromEnvironment() {
    static CFileTraceSink fileSink;
    const char* value = std::getenv("TALVEX_TRACE");
    if (value && *value && std::strcmp(value, "0") != 0) {
        EfSetTraceSink(&fileSink);
    }
}
