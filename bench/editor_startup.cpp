// The editor window's speed: start-up to the first painted main window, drawing the whole window
// once, creating and showing each page the first time, resident memory after start, and the CPU
// the real executable uses while idle. Runs on Qt's offscreen platform with a private home.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "ui/app/CTarnApplication.h"
#include "ui/main/CTarnMainContainer.h"
#include "ui/main/CTarnMainWindow.h"
#include "ui/main/CTarnSystemLayer.h"

namespace {

// Counts paint events of the main window's widgets.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(object, event);
    }
    int paints = 0;
};

double ResidentMegabytes(const std::string& process = "self") {
    std::ifstream status("/proc/" + process + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            std::istringstream in(line.substr(6));
            double kilobytes = 0;
            in >> kilobytes;
            return kilobytes / 1024.0;
        }
    }
    return 0;
}

CTarnEditorOptions EditorOptions() {
    CTarnEditorOptions options;
    options.virtualInstrument = true;
    return options;
}

void BM_StartUpToFirstPaint(benchmark::State& state) {
    double rss = 0;
    for (auto _ : state) {
        CTarnApplication editor(EditorOptions());
        PaintCounter counter;
        qApp->installEventFilter(&counter);
        std::string error;
        if (!editor.Start(error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        while (counter.paints == 0) {
            QCoreApplication::processEvents();
        }
        qApp->removeEventFilter(&counter);
        state.PauseTiming();
        rss = ResidentMegabytes();
        editor.Stop();
        state.ResumeTiming();
    }
    state.counters["rss_MB"] = rss;
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_DrawWholeWindow(benchmark::State& state) {
    CTarnApplication editor(EditorOptions());
    std::string error;
    if (!editor.Start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    QCoreApplication::processEvents();
    CTarnMainWindow* window = editor.MainWindow();
    for (auto _ : state) {
        window->repaint();
    }
    editor.Stop();
}
BENCHMARK(BM_DrawWholeWindow)->Unit(benchmark::kMillisecond);

// Creating a page the first time and showing it (painted once).
void BM_CreateAndShowPage(benchmark::State& state) {
    const int page = static_cast<int>(state.range(0));
    CTarnApplication editor(EditorOptions());
    std::string error;
    if (!editor.Start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    CTarnHost& host = editor.Host();
    for (auto _ : state) {
        state.PauseTiming();
        // A fresh window whose container has shown only another page.
        delete editor.MainWindow();
        host.SetPage(page == 0 ? 1 : 0);
        auto* window = new CTarnMainWindow(host);
        window->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        host.SetPage(page);
        window->Container()->Page(page)->repaint();
        state.PauseTiming();
        delete window;
        state.ResumeTiming();
    }
    editor.Stop();
}
BENCHMARK(BM_CreateAndShowPage)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The real executable with its window open and nothing happening, measured over 5 s after it
// settled, and its resident memory then.
void BM_IdleCpu(benchmark::State& state) {
    double percent = 0;
    double rss = 0;
    for (auto _ : state) {
        QProcess editor;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("HOME", QDir::tempPath() + "/talvex-bench-home");
        environment.insert("USER", "talvex-bench");
        editor.setProcessEnvironment(environment);
        editor.start(TALVEX_EDITOR_PATH, {"--virtual-instrument"});
        if (!editor.waitForStarted(5000)) {
            state.SkipWithError("talvex-editor did not start");
            break;
        }
        QThread::msleep(2000);
        auto cpuTicks = [&] {
            std::ifstream stat("/proc/" + std::to_string(editor.processId()) + "/stat");
            std::string text((std::istreambuf_iterator<char>(stat)),
                             std::istreambuf_iterator<char>());
            std::istringstream fields(text.substr(text.rfind(')') + 2));
            std::string field;
            long long utime = 0;
            long long stime = 0;
            for (int i = 3; i <= 15; ++i) {
                fields >> field;
                if (i == 14) {
                    utime = std::stoll(field);
                } else if (i == 15) {
                    stime = std::stoll(field);
                }
            }
            return utime + stime;
        };
        const long long before = cpuTicks();
        QElapsedTimer timer;
        timer.start();
        QThread::msleep(5000);
        const long long after = cpuTicks();
        percent = 100.0 * static_cast<double>(after - before) / sysconf(_SC_CLK_TCK) /
                  (static_cast<double>(timer.elapsed()) / 1000.0);
        rss = ResidentMegabytes(std::to_string(editor.processId()));
        editor.kill();
        editor.waitForFinished(5000);
    }
    state.counters["cpu_percent"] = percent;
    state.counters["editor_rss_MB"] = rss;
}
BENCHMARK(BM_IdleCpu)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
