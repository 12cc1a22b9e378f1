#pragma once

class CEfWindow;
class CTarnMidiPreferencesForm;

// What the host needs of the main window, kept free of any toolkit so that the commands can run
// (and be tested) without one.
class CTarnHostWindow {
public:
    virtual ~CTarnHostWindow() = default;

    // Disabled while a dialog guard is held, so that no second command starts underneath.
    virtual void EnableInput(bool enabled) = 0;
    // Ends the user-interface loop (Exit); the window closes afterwards.
    virtual void EndLoop() = 0;
    virtual void ShowAboutWindow() = 0;
    // Runs the preferences dialog over the form; true when it closed with OK.
    virtual bool RunPreferencesDialog(CTarnMidiPreferencesForm& form) = 0;
    // Parent of the file dialogs; may be null.
    virtual CEfWindow* DialogParent() = 0;
};
