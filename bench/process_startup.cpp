// What starting talvex-cli costs as a whole process: the shared objects it loads and initialises
// for --help, and its time against a C++ program that does nothing. The backends (FFmpeg,
// PortAudio, ALSA) are modules loaded on first use, so --help should pay for the C++ runtime and
// little else. Processes are started alternately, so the machine's load affects both alike; the
// CPU time is the child's own (user + system), the steadiest figure on a busy machine.
#include <benchmark/benchmark.h>

#include <chrono>
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

} // namespace
