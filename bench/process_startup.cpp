// What starting talvex-cli costs as a whole process: the shared objects it loads and initialises
// for --help, and its time against a C++ program that does nothing. The backends (FFmpeg,
// PortAudio, ALSA) are modules loaded on first use, so --help should pay for the C++ runtime and
// little else; `info` on a big file should cost little more than reading it. Processes are started
// alternately, so the machine's load affects both alike; the CPU time is the child's own (user +
// system), the steadiest figure on a busy machine.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Cost {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    bool ok = false;
};

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
}

// Runs the program with its output going to a file descriptor (or /dev/null) and waits for it.
Cost Run(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnv = {},
         int errorFd = -1) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<std::string> envText;
    for (char** entry = environ; *entry; ++entry) {
        envText.emplace_back(*entry);
    }
    envText.insert(envText.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (std::string& entry : envText) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (errorFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, errorFd, STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    Cost cost;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return cost;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        return cost;
    }
    cost.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cost.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    cost.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return cost;
}

// The shared objects the dynamic loader initialises for the program ("calling init" lines of
// LD_DEBUG=libs).
int InitialisedObjects(const std::vector<std::string>& arguments) {
    char path[] = "/tmp/talvex-startup-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        return -1;
    }
    unlink(path);
    const Cost cost = Run(arguments, {"LD_DEBUG=libs"}, fd);
    std::string text;
    lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    if (!cost.ok) {
        return -1;
    }
    int count = 0;
    for (size_t at = text.find("calling init"); at != std::string::npos;
         at = text.find("calling init", at + 1)) {
        ++count;
    }
    return count;
}

const std::vector<std::string> kEmpty = {TALVEX_EMPTY_PROGRAM_PATH};
const std::vector<std::string> kHelp = {TALVEX_CLI_PATH, "--help"};

void RunAlone(benchmark::State& state, const std::vector<std::string>& arguments) {
    double cpu = 0;
    for (auto _ : state) {
        const Cost cost = Run(arguments);
        if (!cost.ok) {
            state.SkipWithError("the program failed");
            return;
        }
        cpu += cost.cpuSeconds;
        state.SetIterationTime(cost.wallSeconds);
    }
    state.counters["cpu_ms"] = 1e3 * cpu / static_cast<double>(state.iterations());
    state.counters["shared_objects"] = InitialisedObjects(arguments);
}

void BM_EmptyCxxProgram(benchmark::State& state) {
    RunAlone(state, kEmpty);
}
BENCHMARK(BM_EmptyCxxProgram)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_CliHelp(benchmark::State& state) {
    RunAlone(state, kHelp);
}
BENCHMARK(BM_CliHelp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

// Both programs in turn; the ratios are the figures to hold: at most 12 shared objects and at most
// 1.5 times the empty program.
void BM_CliHelpVersusEmptyProgram(benchmark::State& state) {
    Cost empty;
    Cost help;
    for (auto _ : state) {
        const Cost a = Run(kEmpty);
        const Cost b = Run(kHelp);
        if (!a.ok || !b.ok) {
            state.SkipWithError("a program failed");
            return;
        }
        empty.wallSeconds += a.wallSeconds;
        empty.cpuSeconds += a.cpuSeconds;
        help.wallSeconds += b.wallSeconds;
        help.cpuSeconds += b.cpuSeconds;
        state.SetIterationTime(b.wallSeconds);
    }
    state.counters["wall_ratio"] = help.wallSeconds / empty.wallSeconds;
    state.counters["cpu_ratio"] = help.cpuSeconds / empty.cpuSeconds;
    state.counters["shared_objects"] = InitialisedObjects(kHelp);
}
BENCHMARK(BM_CliHelpVersusEmptyProgram)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(500);

// An all-data file whose four banks are full (424960 stereo frames each), made once through the
// command-line tool itself from a WAV file written here.
class FullBanksFile {
public:
    FullBanksFile() {
        char pattern[] = "/tmp/talvex-startup-XXXXXX";
        if (!mkdtemp(pattern)) {
            return;
        }
        folder_ = pattern;
        const std::string wav = folder_ + "/full.wav";
        if (!WriteWave(wav)) {
            return;
        }
        const std::string all = folder_ + "/full.t2a";
        if (!Run({TALVEX_CLI_PATH, "new", "--type", "all", all}).ok) {
            return;
        }
        for (const char* bank : {"A", "B", "C", "D"}) {
            if (!Run({TALVEX_CLI_PATH, "import", wav, "--bank", bank, "--into", all}).ok) {
                return;
            }
        }
        unlink(wav.c_str());
        path_ = all;
    }
    ~FullBanksFile() {
        if (!path_.empty()) {
            unlink(path_.c_str());
        }
        if (!folder_.empty()) {
            rmdir(folder_.c_str());
        }
    }
    const std::string& Path() const { return path_; }

private:
    static bool WriteWave(const std::string& path) {
        constexpr uint32_t kFrames = 424960;
        constexpr uint32_t kDataBytes = kFrames * 4;
        std::vector<uint8_t> bytes(44 + kDataBytes);
        auto put32 = [&bytes](size_t at, uint32_t value) {
            for (int i = 0; i < 4; ++i) {
                bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
            }
        };
        std::memcpy(bytes.data(), "RIFF", 4);
        put32(4, 36 + kDataBytes);
        std::memcpy(bytes.data() + 8, "WAVEfmt ", 8);
        put32(16, 16);
        put32(20, 1 | (2u << 16));  // PCM, two channels
        put32(24, 48000);           // frames per second
        put32(28, 48000 * 4);       // bytes per second
        put32(32, 4 | (16u << 16)); // bytes per frame, bits per sample
        std::memcpy(bytes.data() + 36, "data", 4);
        put32(40, kDataBytes);
        uint32_t noise = 1;
        for (size_t at = 44; at < bytes.size(); ++at) {
            noise = noise * 1664525u + 1013904223u;
            bytes[at] = static_cast<uint8_t>(noise >> 24);
        }
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) {
            return false;
        }
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        return std::fclose(file) == 0 && written;
    }

    std::string folder_;
    std::string path_;
};

// The CPU time of `talvex-cli info` on the four full banks against reading the file into one
// fresh buffer (dd bs=8M) plus starting the program (--help): at most 2 times.
void BM_CliInfoVersusReadingTheFile(benchmark::State& state) {
    static const FullBanksFile file;
    if (file.Path().empty()) {
        state.SkipWithError("the four-bank file could not be made");
        return;
    }
    const std::vector<std::string> info = {TALVEX_CLI_PATH, "info", file.Path()};
    const std::vector<std::string> dd = {"/bin/dd", "if=" + file.Path(), "of=/dev/null", "bs=8M"};
    double infoCpu = 0;
    double baseCpu = 0;
    for (auto _ : state) {
        const Cost a = Run(info);
        const Cost b = Run(dd);
        const Cost c = Run(kHelp);
        if (!a.ok || !b.ok || !c.ok) {
            state.SkipWithError("a program failed");
            return;
        }
        infoCpu += a.cpuSeconds;
        baseCpu += b.cpuSeconds + c.cpuSeconds;
        state.SetIterationTime(a.wallSeconds);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["info_cpu_ms"] = 1e3 * infoCpu / runs;
    state.counters["dd_plus_help_cpu_ms"] = 1e3 * baseCpu / runs;
    state.counters["cpu_ratio"] = infoCpu / baseCpu;
}
BENCHMARK(BM_CliInfoVersusReadingTheFile)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);

} // namespace
