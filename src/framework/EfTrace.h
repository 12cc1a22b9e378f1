#pragma once

// Diagnostic trace: printf-style lines handed to a sink. The default sink discards them;
// EfTraceEnableFromEnvironment() switches to appending to "EfDebug.txt" in the current folder
// when TALVEX_TRACE is set to a non-empty value other than "0". No behaviour depends on the trace.

#include "framework/CEfTraceSink.h"

void EfTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Installs a sink (null restores the discarding one). The caller keeps ownership.
void EfSetTraceSink(CEfTraceSink* sink);

// Reads TALVEX_TRACE and, when set, installs the "EfDebug.txt" file sink.
void EfTraceEnableFromEnvironment();
