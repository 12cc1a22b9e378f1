#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// One file linked into the program (a picture, a font table, the string-resource text).
struct CEfEmbeddedFile {
    const char* name;
    const uint8_t* data; // null marks the name as absent (see Register)
    size_t size;
};

// The process-wide registry of linked files, looked up by file name ("BG_About.png"). The core
// only reads it; the library that carries the files registers its table when it is linked in,
// so the core itself links without any resources (the command-line tool). A table registered
// later hides entries of the same name in earlier ones; an entry with null data hides the name
// altogether. Thread-safe.
class CEfEmbeddedFiles {
public:
    // The table must stay valid until it is removed (static tables live for the program).
    // Registering the same table twice has no effect.
    static void Register(const CEfEmbeddedFile* files, size_t count);
    static void Remove(const CEfEmbeddedFile* files);

    // The entry of that name, or null when no table has it (or the newest entry hides it).
    static const CEfEmbeddedFile* Find(std::string_view name);
};
