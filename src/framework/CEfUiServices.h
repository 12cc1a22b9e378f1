#pragma once

class CEfAlertPresenter;
class CEfProgressFactory;
class CEfMessagePump;
class CHfcFileDialogFactory;

// What core code needs from whichever front end runs it (the editor window, the command-line
// tool, a test): message boxes, progress windows and letting pending events run. Each front end
// installs its implementations at start-up; until then headless defaults apply (alerts go to the
// diagnostic trace and answer 0, progress windows draw nothing, the pump does nothing, file
// dialogs are cancelled).
// Installed objects stay owned by the caller; passing null restores the default.
class CEfUiServices {
public:
    static CEfAlertPresenter& Alerts();
    static CEfProgressFactory& Progress();
    static CEfMessagePump& Pump();
    static CHfcFileDialogFactory& FileDialogs();

    static void SetAlerts(CEfAlertPresenter* presenter);
    static void SetProgress(CEfProgressFactory* factory);
    static void SetPump(CEfMessagePump* pump);
    static void SetFileDialogs(CHfcFileDialogFactory* factory);
};
