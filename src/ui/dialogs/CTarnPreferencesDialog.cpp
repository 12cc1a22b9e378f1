#include "ui/dialogs/CTarnPreferencesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "midi/CTarnMidiPreferencesForm.h"

namespace {

QComboBox* MakePortMenu(const CTarnMidiPortMenu& menu, const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const std::string& item : menu.Items()) {
        box->addItem(QString::fromStdString(item));
    }
    box->setCurrentIndex(menu.Selected());
    return box;
}

} // namespace

CTarnPreferencesDialog::CTarnPreferencesDialog(CTarnMidiPreferencesForm& form, QWidget* parent)
    : QDialog(parent), form_(form) {
    setWindowTitle(tr("Preferences"));
    setObjectName("PreferencesDialog");

    auto* group = new QGroupBox(tr("MIDI Port"), this);
    autoDetect_ = new QCheckBox(tr("Find device automatically"), group);
    autoDetect_->setObjectName("FindDeviceAutomatically");
    autoDetect_->setChecked(form.autoDetect);
    input_ = MakePortMenu(form.inputMenu, "MidiIn", group);
    output_ = MakePortMenu(form.outputMenu, "MidiOut", group);
    auto* ports = new QFormLayout;
    ports->addRow(tr("MIDI In"), input_);
    ports->addRow(tr("MIDI Out"), output_);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(autoDetect_);
    groupLayout->addLayout(ports);

    warn_ = new QCheckBox(tr("Displays an alarm prior to data transmission"), this);
    warn_->setObjectName("WarnBeforeTransmit");
    warn_->setChecked(form.warnBeforeTransmit);
    // Stored and shown by value only: nothing in the editor depends on it.
    directAccess_ = new QCheckBox(tr("Use Direct Access Mode"), this);
    directAccess_->setObjectName("UseDirectAccess");
    directAccess_->setChecked(form.useDirectAccess);
    directAccess_->setVisible(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(warn_);
    layout->addWidget(directAccess_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(autoDetect_, &QCheckBox::toggled, this, [this] { UpdatePortMenus(); });
    UpdatePortMenus();
    if (!form.autoDetect) {
        input_->setFocus();
    }
}

void CTarnPreferencesDialog::UpdatePortMenus() {
    const bool enabled = !autoDetect_->isChecked();
    input_->setEnabled(enabled);
    output_->setEnabled(enabled);
}

void CTarnPreferencesDialog::accept() {
    form_.autoDetect = autoDetect_->isChecked();
    form_.warnBeforeTransmit = warn_->isChecked();
    form_.useDirectAccess = directAccess_->isChecked();
    form_.inputMenu.Select(input_->currentIndex());
    form_.outputMenu.Select(output_->currentIndex());
    QDialog::accept();
}
