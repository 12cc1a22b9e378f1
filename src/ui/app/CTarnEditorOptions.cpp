#include "ui/app/CTarnEditorOptions.h"

namespace {

constexpr const char* kVirtualOption = "--virtual-instrument";
constexpr size_t kMaxHandOver = 1023;

} // namespace

bool CTarnEditorOptions::Parse(const std::vector<std::string>& args, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == kVirtualOption) {
            virtualInstrument = true;
        } else if (arg.rfind(std::string(kVirtualOption) + "=", 0) == 0) {
            virtualInstrument = true;
            virtualFile = arg.substr(std::string(kVirtualOption).size() + 1);
            if (virtualFile.empty()) {
                error = "--virtual-instrument= needs a file name";
                return false;
            }
        } else if (arg == "--dump-controls") {
            dumpControls = true;
            if (i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] != '-') {
                dumpFile = args[++i];
            }
        } else if (!arg.empty() && arg[0] == '-') {
            // Someone else's option (Qt's among them): not ours to act upon.
        } else if (!arg.empty()) {
            files.push_back(arg);
        }
    }
    return true;
}

std::string CTarnEditorOptions::FirstFile() const {
    if (files.empty()) {
        return {};
    }
    return files.front().substr(0, kMaxHandOver);
}

std::string CTarnEditorOptions::Usage(const std::vector<std::string>& compressedExtensions) {
    std::string sampleFiles = "      .t2s/.txs/.wav/.aif/.aiff";
    for (const std::string& extension : compressedExtensions) {
        sampleFiles += "/." + extension;
    }
    sampleFiles += " into the selected bank.\n";
    return "Usage: talvex-editor [OPTIONS] [FILE...]\n"
           "The TALVEX PRO+ Editor: edit, load, save, receive and transmit the instrument's data.\n"
           "FILE: .t2a/.txa all data, .t2g/.txg global data, .t2p program memories,\n" +
           sampleFiles +
           "A running editor takes the file over and comes to the front.\n\n"
           "Options:\n"
           "  --virtual-instrument[=FILE.t2a]  talk to an in-process virtual instrument; with a\n"
           "                                   file it starts from that file's data and writes\n"
           "                                   its memory back to it at exit\n"
           "  --dump-controls [FILE]           print every layer and control as JSON lines\n"
           "                                   (offscreen) after opening FILE, then exit\n"
           "  --help                           show this text\n"
           "  --version                        show the version\n";
}
