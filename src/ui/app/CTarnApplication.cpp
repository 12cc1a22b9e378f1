#include "ui/app/CTarnApplication.h"

#include <QApplication>
#include <QFileInfo>
#include <QPalette>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <iostream>

#include "app/CTarnResourceManager.h"
#include "app/CTarnStringTable.h"
#include "framework/CEfUiServices.h"
#include "framework/EfTrace.h"
#include "platform/CHfcCompressedAudioDecoderFactory.h"
#include "platform/CHfcDeferredAudioOutput.h"
#include "platform/CHfcDeferredCompressedAudioDecoder.h"
#include "platform/CHfcMemoryPreferences.h"
#include "platform/DefaultAudioOutput.h"
#include "platform/UserPreferencesStore.h"
#include "ui/app/CTarnSingleInstance.h"
#include "ui/dialogs/CTarnQtAlertPresenter.h"
#include "ui/dialogs/CTarnQtFileDialogs.h"
#include "ui/dialogs/CTarnQtProgressFactory.h"
#include "ui/framework/EfLayerDump.h"
#include "ui/main/CTarnAboutWindow.h"
#include "ui/main/CTarnMainWindow.h"

namespace {

// What the help text lists beside the editor's own files.
std::vector<std::string> CompressedExtensions() {
    const std::unique_ptr<CHfcCompressedAudioDecoder> decoder = CreateCompressedAudioDecoder();
    return decoder ? decoder->Extensions() : std::vector<std::string>{};
}

} // namespace

int CTarnApplication::Main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    CTarnEditorOptions options;
    std::string error;
    if (!options.Parse(args, error)) {
        std::fprintf(stderr, "talvex-editor: %s\n%s", error.c_str(),
                     CTarnEditorOptions::Usage(CompressedExtensions()).c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(CTarnEditorOptions::Usage(CompressedExtensions()).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("talvex-editor %s\n", kVersion);
        return 0;
    }
    if (options.dumpControls && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    EfTraceEnableFromEnvironment();

    QApplication app(argc, argv);
    // Qt has taken its own options (-style, -platform ...) and their values out of the list.
    args.clear();
    for (const QString& arg : QCoreApplication::arguments().mid(1)) {
        args.push_back(arg.toStdString());
    }
    options = CTarnEditorOptions();
    options.Parse(args, error);
    QApplication::setApplicationName(QStringLiteral("TALVEX PRO+ Editor"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    // Lets the desktop match the window to its menu entry and icon (needed on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vesk.TalvexProEditor"));
    // The loop ends through Exit (or the close button), not when the about window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    std::unique_ptr<CTarnSingleInstance> instance;
    if (!options.dumpControls) {
        instance = std::make_unique<CTarnSingleInstance>();
        if (instance->Start(QString::fromStdString(options.FirstFile())) ==
            CTarnSingleInstance::Role::kHandedOver) {
            return 0;
        }
    }

    CTarnApplication editor(options);
    if (!editor.Start(error)) {
        std::fprintf(stderr, "talvex-editor: %s\n", error.c_str());
        return 1;
    }
    if (options.dumpControls) {
        editor.DumpControls(std::cout);
        editor.Stop();
        return 0;
    }
    if (instance) {
        QObject::connect(instance.get(), &CTarnSingleInstance::Activated, &editor,
                         &CTarnApplication::Activate);
    }
    const int code = QApplication::exec();
    editor.Stop();
    return code;
}

CTarnApplication::CTarnApplication(CTarnEditorOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {}

CTarnApplication::~CTarnApplication() {
    Stop();
}

int CTarnApplication::PreferredScale(double devicePixelRatio) {
    return devicePixelRatio >= 1.5 ? 2 : 1;
}

QString CTarnApplication::SettingsFolder() {
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("VESK"),
                             QStringLiteral("TALVEX PRO+ Editor"));
    return QFileInfo(settings.fileName()).absolutePath();
}

void CTarnApplication::ApplyLook() {
    // The menu bar and the dialogs match the window's dark artwork.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x2b, 0x2e, 0x33));
    palette.setColor(QPalette::WindowText, QColor(0xdd, 0xe1, 0xe6));
    palette.setColor(QPalette::Base, QColor(0x1d, 0x1f, 0x23));
    palette.setColor(QPalette::AlternateBase, QColor(0x26, 0x29, 0x2e));
    palette.setColor(QPalette::Text, QColor(0xdd, 0xe1, 0xe6));
    palette.setColor(QPalette::Button, QColor(0x33, 0x37, 0x3d));
    palette.setColor(QPalette::ButtonText, QColor(0xdd, 0xe1, 0xe6));
    palette.setColor(QPalette::ToolTipBase, QColor(0x33, 0x37, 0x3d));
    palette.setColor(QPalette::ToolTipText, QColor(0xdd, 0xe1, 0xe6));
    palette.setColor(QPalette::Highlight, QColor(0xff, 0x8c, 0x1a));
    palette.setColor(QPalette::HighlightedText, QColor(0x1d, 0x1f, 0x23));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x7a, 0x80, 0x88));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x7a, 0x80, 0x88));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x7a, 0x80, 0x88));
    QApplication::setPalette(palette);
}

bool CTarnApplication::Start(std::string& error) {
    if (started_) {
        return true;
    }
    ApplyLook();
    const QScreen* screen = QGuiApplication::primaryScreen();
    CTarnResourceManager::SetPreferredScale(
        PreferredScale(screen ? screen->devicePixelRatio() : 1));
    CTarnStringTable::SetUserFilePath(
        (SettingsFolder() + QStringLiteral("/TalvexProStringResources.txt")).toStdString());

    // A scripted dump neither touches the user's settings nor the computer's MIDI ports.
    const bool dump = options_.dumpControls;
    store_ = dump ? std::make_unique<CHfcMemoryPreferences>() : CreateUserPreferencesStore();
    if (!midi_.Open(options_.virtualInstrument || dump, options_.virtualFile, error)) {
        error = "virtual instrument: " + error;
        return false;
    }
    // The backends load when first used, not before the window is painted.
    decoder_ = std::make_unique<CHfcDeferredCompressedAudioDecoder>(&CreateCompressedAudioDecoder);

    CTarnHostServices services;
    services.preferencesStore = store_.get();
    services.midiDriver = midi_.Driver();
    services.audioOutput =
        dump ? nullptr : std::make_unique<CHfcDeferredAudioOutput>(&CreateDefaultAudioOutput);
    services.decoder = decoder_.get();
    services.postToUserInterface = [](std::function<void()> task) {
        QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
    };
    if (!host_.Initialize(std::move(services))) {
        error = "Failed to create MessageManager.";
        return false;
    }

    if (!dump) {
        // A dump runs unattended: its message boxes stay in the trace.
        alerts_ = std::make_unique<CTarnQtAlertPresenter>();
        CEfUiServices::SetAlerts(alerts_.get());
    }
    fileDialogs_ = std::make_unique<CTarnQtFileDialogs>();
    progress_ = std::make_unique<CTarnQtProgressFactory>();
    pump_ = std::make_unique<CTarnQtMessagePump>();
    CEfUiServices::SetFileDialogs(dump ? nullptr : fileDialogs_.get());
    CEfUiServices::SetProgress(progress_.get());
    CEfUiServices::SetPump(pump_.get());
    CEfResourceResolver::SetDefault(&resolver_);

    window_ = new CTarnMainWindow(host_);
    if (screen) {
        window_->move(CTarnMainWindow::ClampedPosition(
            QPoint(host_.GetLastNormalX(), host_.GetLastNormalY()), screen->availableGeometry()));
    }
    connect(window_, &CTarnMainWindow::LoopEndRequested, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
    window_->show();
    // No control shows a focus frame until the keyboard is used.
    window_->setFocus();
    started_ = true;

    if (dump) {
        if (!options_.dumpFile.empty()) {
            host_.OpenPath(options_.dumpFile);
        }
    } else {
        for (const std::string& file : options_.files) {
            host_.OpenPath(file);
        }
    }
    return true;
}

void CTarnApplication::Stop() {
    if (!started_) {
        return;
    }
    started_ = false;
    delete window_.data();
    CEfResourceResolver::SetDefault(nullptr);
    CEfUiServices::SetAlerts(nullptr);
    CEfUiServices::SetFileDialogs(nullptr);
    CEfUiServices::SetProgress(nullptr);
    CEfUiServices::SetPump(nullptr);
    host_.Terminate();
    std::string error;
    if (!midi_.Close(error)) {
        std::fprintf(stderr, "talvex-editor: virtual instrument: %s\n", error.c_str());
    }
    store_.reset();
}

void CTarnApplication::Activate(const QString& path) {
    if (!window_) {
        return;
    }
    window_->Raise();
    if (!path.isEmpty()) {
        // After the hand-over's own event has finished.
        QTimer::singleShot(0, this, [this, path] { host_.OpenPath(path.toStdString()); });
    }
}

void CTarnApplication::DumpControls(std::ostream& out) {
    if (!window_) {
        return;
    }
    const int page = host_.GetPage();
    const int tab = host_.GetGlobalTab();
    const int kind = host_.GetExtCtrlLayerKind();
    for (int p = 0; p < CTarnHost::kPageCount; ++p) {
        host_.SetPage(p);
    }
    for (int t = 0; t < CTarnHost::kGlobalTabCount; ++t) {
        host_.SetGlobalTab(t);
    }
    host_.SetGlobalTab(1);
    for (int k = 0; k < CTarnHost::kExtCtrlLayerKindCount; ++k) {
        host_.SetExtCtrlLayerKind(k);
    }
    host_.SetExtCtrlLayerKind(kind);
    host_.SetGlobalTab(tab);
    host_.SetPage(page);
    window_->ShowAboutWindow();
    QCoreApplication::processEvents();
    out << ef::DumpWindowJson(*window_);
    if (CTarnAboutWindow* about = window_->AboutWindow()) {
        out << ef::DumpWindowJson(*about);
    }
    out.flush();
}
