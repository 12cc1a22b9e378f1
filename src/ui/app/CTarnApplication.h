#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <iosfwd>
#include <memory>
#include <string>

#include "app/CTarnHost.h"
#include "ui/app/CTarnEditorMidi.h"
#include "ui/app/CTarnEditorOptions.h"
#include "ui/app/CTarnManagerResolver.h"
#include "ui/main/CTarnMainWindow.h"

class CHfcCompressedAudioDecoder;
class CHfcPreferences;
class CTarnQtAlertPresenter;
class CTarnQtFileDialogs;
class CTarnQtMessagePump;
class CTarnQtProgressFactory;

// The editor program between start and exit: the host with its services, the Qt front ends of
// the message boxes, file dialogs and progress windows, the main window, and the files named on
// the command line. Created after the QApplication; Stop releases everything in reverse order.
class CTarnApplication : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kVersion = "1.0.0";

    // The whole program (talvex-editor's main); returns the exit code.
    static int Main(int argc, char** argv);

    explicit CTarnApplication(CTarnEditorOptions options, QObject* parent = nullptr);
    ~CTarnApplication() override;

    // Creates the host and the main window, shows it and opens the command-line files. False,
    // with the reason in error, when the program cannot start.
    bool Start(std::string& error);
    void Stop();

    CTarnHost& Host() { return host_; }
    CTarnMainWindow* MainWindow() const { return window_; }

    // A later start handed over a file (or only asked for the window).
    void Activate(const QString& path);
    // Creates every page, tab and parameter layer and the about window, and writes every layer
    // as JSON lines.
    void DumpControls(std::ostream& out);

    // 2 when the screen has at least 1.5 device pixels per layout pixel, else 1.
    static int PreferredScale(double devicePixelRatio);
    // The style and colours of the menu bar and the dialogs.
    static void ApplyLook();
    // The folder of the editor's settings file (where a user string-resource file may live).
    static QString SettingsFolder();

private:
    CTarnEditorOptions options_;
    CTarnHost host_;
    CTarnEditorMidi midi_;
    std::unique_ptr<CHfcPreferences> store_;
    std::unique_ptr<CHfcCompressedAudioDecoder> decoder_;
    std::unique_ptr<CTarnQtAlertPresenter> alerts_;
    std::unique_ptr<CTarnQtFileDialogs> fileDialogs_;
    std::unique_ptr<CTarnQtProgressFactory> progress_;
    std::unique_ptr<CTarnQtMessagePump> pump_;
    CTarnManagerResolver resolver_;
    QPointer<CTarnMainWindow> window_;
    bool started_ = false;
};
