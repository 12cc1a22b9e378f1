#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "audio/CTarnAudioEngine.h"
#include "audio/CTarnAudioEngineListener.h"
#include "cli/CliBackends.h"
#include "cli/CliCommand.h"
#include "cli/CliDataFile.h"
#include "data/CTarnAllData.h"
#include "data/CTarnSampleData.h"
#include "platform/CHfcBackendModule.h"
#include "platform/DefaultAudioOutput.h"

namespace {

constexpr const char* kUsage =
    "usage: talvex-cli play FILE --bank A..D [--once] [--seconds N (at most 86400)]";
constexpr HfcAudioFormat kPreviewFormat{48000, 2, 16, 4};
constexpr int32_t kBufferBytes = 8192;
constexpr int kMeterWidth = 30;
// Lowest level the meter shows; anything quieter (and silence) is an empty bar.
constexpr double kMeterFloorDb = -60.0;

std::atomic<bool> gInterrupted{false};

void OnInterrupt(int) {
    gInterrupted = true;
}

int BankIndex(const std::string& text) {
    if (text.size() != 1) {
        return -1;
    }
    const int c = std::toupper(static_cast<unsigned char>(text[0]));
    return c >= 'A' && c <= 'D' ? c - 'A' : -1;
}

struct EndListener : CTarnAudioEngineListener {
    void OnTarnAudioPreviewFinished() override { finished = true; }
    void OnTarnAudioPreviewLooped() override {}
    std::atomic<bool> finished{false};
};

// Level of a peak against full scale in dB; silence is minus infinity.
double LevelDb(int32_t peak) {
    return 10.0 * std::log10(std::pow(static_cast<double>(peak) / 32767.0, 2.0));
}

std::string MeterBar(double db) {
    const double fraction = std::isfinite(db) ? (db - kMeterFloorDb) / -kMeterFloorDb : 0.0;
    const int filled = static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * kMeterWidth));
    return std::string(static_cast<size_t>(filled), '#') +
           std::string(static_cast<size_t>(kMeterWidth - filled), '-');
}

std::string MeterLine(int32_t left, int32_t right) {
    char text[160];
    const double l = LevelDb(left);
    const double r = LevelDb(right);
    std::snprintf(text, sizeof(text), "L [%s] %6.1f dB   R [%s] %6.1f dB", MeterBar(l).c_str(),
                  std::max(l, kMeterFloorDb), MeterBar(r).c_str(), std::max(r, kMeterFloorDb));
    return text;
}

// True once the user pressed Enter; stops watching standard input at its end.
bool EnterPressed(bool& watching) {
    if (!watching) {
        return false;
    }
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, 0) <= 0) {
        return false;
    }
    char bytes[256];
    const ssize_t n = read(STDIN_FILENO, bytes, sizeof(bytes));
    if (n <= 0) {
        watching = false;
        return false;
    }
    return std::string(bytes, static_cast<size_t>(n)).find('\n') != std::string::npos;
}

int RunPlay(const std::vector<std::string>& args) {
    std::string file;
    int bank = -1;
    bool once = false;
    double seconds = 0.0;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--bank" && i + 1 < args.size()) {
            bank = BankIndex(args[++i]);
        } else if (args[i] == "--once") {
            once = true;
        } else if (args[i] == "--seconds" && i + 1 < args.size()) {
            char* end = nullptr;
            seconds = std::strtod(args[++i].c_str(), &end);
            if (end == args[i].c_str() || *end != '\0' || !(seconds > 0.0) || seconds > 86400.0) {
                std::fprintf(
                    stderr,
                    "talvex-cli: --seconds wants a number of seconds above 0 and at most 86400\n");
                return 2;
            }
        } else if (file.empty() && !args[i].empty() && args[i][0] != '-') {
            file = args[i];
        } else {
            std::fprintf(stderr, "%s\n", kUsage);
            return 2;
        }
    }
    if (file.empty() || bank < 0) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    const cli::FileKind kind = cli::KindOfPath(file);
    if (kind != cli::FileKind::kAll && kind != cli::FileKind::kSample) {
        std::fprintf(stderr, "talvex-cli: the source must be an all-data or sample file "
                             "(*.t2a, *.txa, *.t2s, *.txs)\n");
        return 2;
    }
    if (kind == cli::FileKind::kSample && bank != 0) {
        std::fprintf(stderr, "talvex-cli: a sample file holds one bank: use --bank A\n");
        return 2;
    }
    CTarnAllData data;
    if (!cli::LoadDataFile(file, kind, data)) {
        return 1;
    }
    CTarnSampleData sample;
    sample.CopyFrom(data.Bank(bank));
    if (sample.GetLoadedFrames() == 0) {
        std::fprintf(stderr, "talvex-cli: bank %c of %s holds no audio\n", 'A' + bank,
                     file.c_str());
        return 1;
    }
    sample.SetLoopFlag(once ? 0 : 1);

    CTarnAudioEngine engine(CreateDefaultAudioOutput());
    EndListener listener;
    engine.AddListener(&listener);
    if (!engine.Setup(kPreviewFormat, kBufferBytes)) {
        cli::ReportUnavailableBackend(PortAudioBackendModule());
        std::fprintf(stderr, "talvex-cli: no audio output device\n");
        engine.RemoveListener(&listener);
        return 1;
    }
    engine.LoadSample(sample);
    engine.Play();
    if (!engine.Start()) {
        std::fprintf(stderr, "talvex-cli: the audio output device could not be opened\n");
        engine.RemoveListener(&listener);
        return 1;
    }
    std::printf("playing bank %c of %s: %d frames at %d Hz, %s; Enter stops\n", 'A' + bank,
                file.c_str(), sample.GetPlayFrames(), sample.GetSamplingRate(),
                once ? "once" : "looped");
    std::fflush(stdout);

    gInterrupted = false;
    auto previousHandler = std::signal(SIGINT, OnInterrupt);
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    bool watchingInput = true;
    const auto started = std::chrono::steady_clock::now();
    auto nextLine = started;
    int32_t lineLeft = 0;
    int32_t lineRight = 0;
    while (!gInterrupted && !listener.finished && !EnterPressed(watchingInput)) {
        const auto now = std::chrono::steady_clock::now();
        if (seconds > 0.0 && now - started >= std::chrono::duration<double>(seconds)) {
            break;
        }
        lineLeft = std::max(lineLeft, engine.ReadPeak(0));
        lineRight = std::max(lineRight, engine.ReadPeak(1));
        // On a terminal the meter line is redrawn in place; otherwise one line a second.
        if (terminal || now >= nextLine) {
            std::printf(terminal ? "\r%s" : "%s\n", MeterLine(lineLeft, lineRight).c_str());
            std::fflush(stdout);
            lineLeft = 0;
            lineRight = 0;
            nextLine = now + std::chrono::seconds(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::signal(SIGINT, previousHandler);
    if (listener.finished) {
        // The end is reported when it is rendered; the buffers still queued are yet to be heard.
        std::this_thread::sleep_for(std::chrono::milliseconds(
            1000 * CTarnAudioEngine::kBufferCount * engine.GetFramesPerBuffer() /
            engine.GetFormat().samplingRate));
    }
    engine.StopPlaying();
    engine.Stop();
    engine.Teardown();
    engine.RemoveListener(&listener);
    std::printf("%sstopped%s\n", terminal ? "\n" : "",
                listener.finished ? " at the end of the bank" : "");
    return 0;
}

const CliRegistration
    registration({"play",
                  "play FILE --bank A..D [--once] [--seconds N (at most 86400)]   preview a "
                  "bank through the default audio output",
                  &RunPlay});

} // namespace
