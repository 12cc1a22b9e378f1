#include "platform/CHfcBackendModule.h"

#include <cstdlib>
#include <dlfcn.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/EfTrace.h"
#include "platform/HfcBackendModuleAbi.h"

namespace {

bool IsFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return {};
    }
    std::string text(path, static_cast<size_t>(length));
    const size_t slash = text.find_last_of('/');
    return slash == std::string::npos ? std::string() : text.substr(0, slash);
}

} // namespace

CHfcBackendModule::CHfcBackendModule(const char* name, const char* what)
    : fileName_(std::string("talvex-backend-") + name + ".so"), what_(what) {}

std::vector<std::string> CHfcBackendModule::SearchFolders() {
    if (const char* override = std::getenv("TALVEX_BACKEND_DIR"); override && *override) {
        return {override};
    }
    std::vector<std::string> folders;
    const std::string program = ProgramFolder();
    if (!program.empty()) {
        folders.push_back(program);
        // Relative, so that a tree installed under DESTDIR or moved elsewhere finds its own.
        folders.push_back(program + "/" + TALVEX_BACKEND_RELATIVE_DIR);
    }
    // The build tree keeps the modules in one folder apart from its programs; an installed
    // program never looks there.
    const std::string build = TALVEX_BACKEND_BUILD_DIR;
    const std::string buildRoot = std::string(TALVEX_BUILD_ROOT) + "/";
    if (!program.empty() && (program + "/").compare(0, buildRoot.size(), buildRoot) == 0) {
        folders.push_back(build);
    }
    return folders;
}

void* CHfcBackendModule::Function(const char* symbol) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ == State::kNotTried) {
        state_ = LoadLocked() ? State::kLoaded : State::kFailed;
        if (state_ == State::kFailed) {
            EfTrace("CHfcBackendModule - %s unavailable: %s", what_, failure_.c_str());
        }
    }
    if (state_ != State::kLoaded) {
        return nullptr;
    }
    void* address = dlsym(handle_, symbol);
    if (!address) {
        EfTrace("CHfcBackendModule - %s has no %s", fileName_.c_str(), symbol);
    }
    return address;
}

bool CHfcBackendModule::LoadLocked() {
    const std::vector<std::string> folders = SearchFolders();
    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + fileName_;
        if (!IsFile(path)) {
            continue;
        }
        // Every symbol bound now: a missing library or function shows here, not in the middle
        // of a command.
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) {
            const char* reason = dlerror();
            failure_ = reason ? reason : path + ": cannot be loaded";
            return false;
        }
        using AbiFunction = int (*)();
        const auto abi = reinterpret_cast<AbiFunction>(dlsym(handle_, kHfcBackendAbiSymbol));
        if (!abi || abi() != kHfcBackendAbiVersion) {
            // Left loaded: unloading code that may have started threads is not safe.
            handle_ = nullptr;
            failure_ = path + ": made by another build of this program";
            return false;
        }
        return true;
    }
    failure_ = fileName_ + " not found in";
    for (const std::string& folder : folders) {
        failure_ += " " + folder;
    }
    return false;
}

CHfcBackendModule::State CHfcBackendModule::GetState() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

std::string CHfcBackendModule::Failure() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_ == State::kFailed ? failure_ : std::string();
}

bool CHfcBackendModule::IsPresent() const {
    for (const std::string& folder : SearchFolders()) {
        if (IsFile(folder + "/" + fileName_)) {
            return true;
        }
    }
    return false;
}

CHfcBackendModule& FfmpegBackendModule() {
    static CHfcBackendModule module("ffmpeg", "compressed audio");
    return module;
}

CHfcBackendModule& PortAudioBackendModule() {
    static CHfcBackendModule module("portaudio", "audio output");
    return module;
}

CHfcBackendModule& AlsaBackendModule() {
    static CHfcBackendModule module("alsa", "MIDI devices");
    return module;
}
