// Renders the editor's main window (each page) and the about window to PNG files on the
// offscreen platform: talvex-screenshots FOLDER [SCALE]. With SCALE 2 the 2x pictures are
// drawn at twice the pixel size, as on a HiDPI screen.
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <string>

#include "ui/app/CTarnApplication.h"
#include "ui/main/CTarnAboutWindow.h"
#include "ui/main/CTarnMainWindow.h"
#include "ui/pages/global/TarnGlobalScreens.h"
#include "ui/pages/samplelibrarian/TarnSampleLibrarianScreens.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "Usage: talvex-screenshots FOLDER [SCALE]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int scale = argc > 2 && std::string(argv[2]) == "2" ? 2 : 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", scale == 2 ? "2" : "1");
    QApplication app(argc, argv);

    CTarnEditorOptions options;
    // The unattended set-up: settings in memory, the virtual instrument, no message boxes.
    options.dumpControls = true;
    CTarnApplication editor(options);
    std::string error;
    if (!editor.Start(error)) {
        std::fprintf(stderr, "talvex-screenshots: %s\n", error.c_str());
        return 1;
    }
    const QString suffix = scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
    const char* const pages[] = {"sample-librarian", "program-memory", "global"};
    bool ok = true;
    for (int page = 0; page < 3; ++page) {
        editor.Host().SetPage(page);
        QApplication::processEvents();
        const QString file = folder + "/" + pages[page] + suffix;
        ok = editor.MainWindow()->grab().save(file) && ok;
        std::printf("%s\n", file.toLocal8Bit().constData());
    }
    editor.Host().SetPage(0);
    QApplication::processEvents();
    ok = tarn::SaveSampleLibrarianStates(editor.Host(), *editor.MainWindow(), folder, suffix) && ok;
    ok = tarn::SaveGlobalStates(editor.Host(), *editor.MainWindow(), folder, suffix) && ok;
    editor.Host().SetPage(0);
    QApplication::processEvents();
    editor.MainWindow()->ShowAboutWindow();
    QApplication::processEvents();
    const QString about = folder + "/about" + suffix;
    ok = editor.MainWindow()->AboutWindow()->grab().save(about) && ok;
    std::printf("%s\n", about.toLocal8Bit().constData());
    editor.Stop();
    return ok ? 0 : 1;
}
