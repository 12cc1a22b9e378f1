#pragma once

#include <mutex>
#include <string>
#include <vector>

// A backend built as a module of its own (talvex-backend-NAME.so) and loaded the first time a
// program asks for it, so that every program starts without the backend's libraries and runs
// every command that does not need them. A module is never unloaded: the objects it made live in
// its code.
//
// Where modules are looked for: only in $TALVEX_BACKEND_DIR when that is set (tests hide the
// modules with an empty folder); otherwise beside the program, in the private library folder
// relative to the program's installed place, and in the build tree when the program runs from
// there.
class CHfcBackendModule {
public:
    enum class State { kNotTried, kLoaded, kFailed };

    // name: "ffmpeg", "portaudio" or "alsa"; what: what it gives, in the user's words ("audio
    // output"), for the failure text.
    CHfcBackendModule(const char* name, const char* what);
    CHfcBackendModule(const CHfcBackendModule&) = delete;
    CHfcBackendModule& operator=(const CHfcBackendModule&) = delete;

    // The address of one of the module's functions, loading the module on the first call; null
    // when the module, one of its libraries or the function is missing. A failure is written to
    // the trace once and kept for Failure(). Safe from any thread.
    void* Function(const char* symbol);

    State GetState() const;
    // Why loading failed (the loader's own text); empty unless the state is kFailed.
    std::string Failure() const;
    // Whether the module's file is in one of the folders, without loading it.
    bool IsPresent() const;

    const std::string& FileName() const { return fileName_; }
    const char* What() const { return what_; }

    // The folders searched, in order.
    static std::vector<std::string> SearchFolders();

private:
    bool LoadLocked();

    std::string fileName_;
    const char* what_;
    mutable std::mutex mutex_;
    State state_ = State::kNotTried;
    void* handle_ = nullptr;
    std::string failure_;
};

// The three modules of this program.
CHfcBackendModule& FfmpegBackendModule();
CHfcBackendModule& PortAudioBackendModule();
CHfcBackendModule& AlsaBackendModule();
