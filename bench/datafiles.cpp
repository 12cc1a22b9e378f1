#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "data/CTarnAllData.h"
#include "files/CTarnAllDataIO.h"
#include "framework/CEfFileIO.h"

extern char** environ;

// Loads and saves of an all-data file with four full banks, each measured beside the raw system
// calls that move the same bytes: the counters give the ratios, which stay comparable on a busy
// machine where absolute times do not.

namespace {

using Clock = std::chrono::steady_clock;

// An all-data set with four full banks: a 16-beat phrase at 108.5 BPM fills a bank (about
// 6.8 MB of file).
void FillAllData(CTarnAllData& data) {
    std::mt19937 generator(42);
    for (int b = 0; b < CTarnSampleSet::kBankCount; ++b) {
        CTarnSampleData& bank = *data.Bank(b);
        bank.Initialize();
        bank.SetTempo(108.5);
        bank.SetPhraseLength(8);
        bank.SetPlayLength(8);
        bank.SetLoadedFrames(MaxSampleFrames);
        uint8_t* audio = bank.GetData();
        for (int i = 0; i < bank.GetDataSize(); ++i) {
            audio[i] = static_cast<uint8_t>(generator());
        }
    }
}

// A saved four-bank file in a scratch folder.
class SavedFile {
public:
    SavedFile() : path_(folder_.File("bench.t2a")) {
        CTarnAllData data;
        FillAllData(data);
        CTarnAllDataIO io;
        ok_ = io.SavePath(data, path_) == CEfFileIO::kSucceeded;
    }
    bool Ok() const { return ok_; }
    const std::string& Path() const { return path_; }
    const ScratchFolder& Folder() const { return folder_; }
    int64_t Size() const { return static_cast<int64_t>(std::filesystem::file_size(path_)); }

private:
    ScratchFolder folder_;
    std::string path_;
    bool ok_ = false;
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// open, read() until the end into buffer, close.
bool RawRead(const std::string& path, std::vector<uint8_t>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    size_t done = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return done == buffer.size();
}

// What a safe save does at the least: write a temporary beside the target, fsync, rename.
bool RawWrite(const std::string& folder, const std::string& path,
              const std::vector<uint8_t>& bytes) {
    const std::string temporary = folder + "/raw.tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    const bool ok = done == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    return ok && std::rename(temporary.c_str(), path.c_str()) == 0;
}

// fsync of the folder, which a save does after its rename so that the rename survives a crash.
bool SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void BM_LoadAllData(benchmark::State& state) {
    SavedFile file;
    if (!file.Ok()) {
        state.SkipWithError("save failed");
        return;
    }
    CTarnAllDataIO io;
    CTarnAllData target;
    std::vector<uint8_t> buffer(static_cast<size_t>(file.Size()));
    double load = 0.0;
    double read = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (io.OpenPath(target, file.Path()) != CEfFileIO::kSucceeded) {
            state.SkipWithError("load failed");
            break;
        }
        const auto loaded = Clock::now();
        if (!RawRead(file.Path(), buffer)) {
            state.SkipWithError("read failed");
            break;
        }
        read += Seconds(Clock::now() - loaded);
        load += Seconds(loaded - start);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["load_ms"] = benchmark::Counter(1000.0 * load / double(state.iterations()));
    state.counters["read_ms"] = benchmark::Counter(1000.0 * read / double(state.iterations()));
    state.counters["load_over_read"] = benchmark::Counter(read > 0.0 ? load / read : 0.0);
    state.SetBytesProcessed(state.iterations() * file.Size());
}
BENCHMARK(BM_LoadAllData)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_SaveAllData(benchmark::State& state) {
    SavedFile file;
    if (!file.Ok()) {
        state.SkipWithError("save failed");
        return;
    }
    CTarnAllData data;
    FillAllData(data);
    CTarnAllDataIO io;
    std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
    const std::string target = file.Folder().File("saved.t2a");
    const std::string raw = file.Folder().File("raw.t2a");
    double save = 0.0;
    double write = 0.0;
    double folderSync = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (io.SavePath(data, target) != CEfFileIO::kSucceeded) {
            state.SkipWithError("save failed");
            break;
        }
        const auto saved = Clock::now();
        if (!RawWrite(file.Folder().Path(), raw, bytes)) {
            state.SkipWithError("write failed");
            break;
        }
        const auto written = Clock::now();
        if (!SyncFolder(file.Folder().Path())) {
            state.SkipWithError("folder sync failed");
            break;
        }
        folderSync += Seconds(Clock::now() - written);
        write += Seconds(written - saved);
        save += Seconds(saved - start);
    }
    state.counters["save_ms"] = benchmark::Counter(1000.0 * save / double(state.iterations()));
    state.counters["write_ms"] = benchmark::Counter(1000.0 * write / double(state.iterations()));
    state.counters["save_over_write"] = benchmark::Counter(write > 0.0 ? save / write : 0.0);
    // The same with the folder's fsync counted on the raw side too.
    state.counters["save_over_write_and_folder_sync"] =
        benchmark::Counter(write + folderSync > 0.0 ? save / (write + folderSync) : 0.0);
    state.SetBytesProcessed(state.iterations() * file.Size());
}
BENCHMARK(BM_SaveAllData)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The command-line program: TALVEX_CLI, or talvex-cli where the build puts it beside the
// benchmarks.
std::string CliPath() {
    if (const char* path = std::getenv("TALVEX_CLI")) {
        return path;
    }
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (self.parent_path().parent_path() / "src" / "cli" / "talvex-cli").string();
}

// CPU seconds (user + system) of one run of a program with its output thrown away; negative
// when it could not run or failed.
double ChildCpuSeconds(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return -1.0;
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1.0;
    }
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU time of `talvex-cli info` on the file against reading the file into one fresh buffer
// (dd bs=8M) plus starting the program (`talvex-cli --help`).
void BM_CliInfoCpu(benchmark::State& state) {
    SavedFile file;
    const std::string cli = CliPath();
    if (!file.Ok() || !std::filesystem::exists(cli)) {
        state.SkipWithError("no file or no talvex-cli (set TALVEX_CLI)");
        return;
    }
    double info = 0.0;
    double dd = 0.0;
    double help = 0.0;
    for (auto _ : state) {
        const double i = ChildCpuSeconds({cli, "info", file.Path()});
        const double d = ChildCpuSeconds({"/bin/dd", "if=" + file.Path(), "of=/dev/null", "bs=8M"});
        const double h = ChildCpuSeconds({cli, "--help"});
        if (i < 0.0 || d < 0.0 || h < 0.0) {
            state.SkipWithError("a program failed");
            break;
        }
        info += i;
        dd += d;
        help += h;
    }
    const double n = double(state.iterations());
    state.counters["info_cpu_ms"] = benchmark::Counter(1000.0 * info / n);
    state.counters["dd_cpu_ms"] = benchmark::Counter(1000.0 * dd / n);
    state.counters["help_cpu_ms"] = benchmark::Counter(1000.0 * help / n);
    state.counters["info_over_dd_plus_help"] =
        benchmark::Counter(dd + help > 0.0 ? info / (dd + help) : 0.0);
}
BENCHMARK(BM_CliInfoCpu)->Unit(benchmark::kMillisecond)->Iterations(40);

} // namespace
