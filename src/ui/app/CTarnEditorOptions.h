#pragma once

#include <string>
#include <vector>

// The editor's command line. Our own options: --virtual-instrument[=FILE.t2a], --help,
// --version and --dump-controls [FILE]; any other argument beginning with '-' is an option of
// someone else and ignored; the rest are files to open.
struct CTarnEditorOptions {
    bool help = false;
    bool version = false;
    bool virtualInstrument = false;
    std::string virtualFile;
    bool dumpControls = false;
    std::string dumpFile;
    std::vector<std::string> files;

    // False, with the reason in error, on a malformed option of ours.
    bool Parse(const std::vector<std::string>& args, std::string& error);
    // The first file, at most 1023 characters (what a second start hands over), or empty.
    std::string FirstFile() const;

    // The help text; compressedExtensions are those the compressed-audio decoder found at run
    // time reads (none without one).
    static std::string Usage(const std::vector<std::string>& compressedExtensions);
};
