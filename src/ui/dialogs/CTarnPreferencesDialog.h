#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class CTarnMidiPreferencesForm;

// The preferences dialog: the MIDI port pop-ups, automatic detection and the transmission
// warning, over the form that holds their values. OK writes the controls back into the form
// (the caller stores it); Cancel leaves the form as it was.
class CTarnPreferencesDialog : public QDialog {
    Q_OBJECT

public:
    explicit CTarnPreferencesDialog(CTarnMidiPreferencesForm& form, QWidget* parent = nullptr);

    QCheckBox* AutoDetectBox() const { return autoDetect_; }
    QCheckBox* WarnBox() const { return warn_; }
    QCheckBox* DirectAccessBox() const { return directAccess_; }
    QComboBox* InputMenu() const { return input_; }
    QComboBox* OutputMenu() const { return output_; }

    void accept() override;

private:
    void UpdatePortMenus();

    CTarnMidiPreferencesForm& form_;
    QCheckBox* autoDetect_;
    QComboBox* input_;
    QComboBox* output_;
    QCheckBox* warn_;
    QCheckBox* directAccess_;
};
