#pragma once

#include <string>

class CTarnAllData;

// The editor data files the command-line tool opens and writes, told apart by extension (its
// first three characters, case-insensitive) as the editor does.
namespace cli {

enum class FileKind { kAll, kGlobal, kProgram, kSample, kUnknown };

FileKind KindOfPath(const std::string& path);
// "all data", "global data", "program memory", "loop-recorder sample".
const char* KindName(FileKind kind);
// The kind with its article for sentences: "an all-data file", "a global data file".
std::string KindFile(FileKind kind);
// True for the predecessor's ".txa", ".txg" and ".txs".
bool IsPredecessorPath(const std::string& path);

// Reads a file of the given kind into the matching members of data (a sample file into bank A)
// through the editor's file objects, so the checks and messages are the editor's. On failure the
// message has been shown and data is unchanged.
bool LoadDataFile(const std::string& path, FileKind kind, CTarnAllData& data);

// Writes the matching members of data as a file of the given kind. The file is replaced only when
// the whole write succeeded.
bool SaveDataFile(const std::string& path, FileKind kind, CTarnAllData& data);

} // namespace cli
