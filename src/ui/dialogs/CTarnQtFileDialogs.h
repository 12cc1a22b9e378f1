#pragma once

#include <QString>
#include <QStringList>

#include "framework/CHfcFileDialogFactory.h"

// Open and save dialogs on Qt (the widget-based dialog, so that the open dialog can hide the
// files its file object cannot read: a filter model asks the dialog's browse filter for every
// file and keeps every folder). The folder of the last chosen file is where the next dialog
// starts.
class CTarnQtFileDialogs : public CHfcFileDialogFactory {
public:
    std::unique_ptr<CHfcFileDialog> CreateOpenFileDialog() override;
    std::unique_ptr<CHfcFileDialog> CreateSaveFileDialog() override;

    // "TALVEX PRO+ All Data Files (*.t2a)" with "*.t2a" -> the same; "All Files (*.*)" with
    // "*.*" -> "All Files (*)"; patterns separated by ';' become one list.
    static QString NameFilter(const CHfcFileDialog::Filter& filter);
    static QStringList NameFilters(const CHfcFileDialog& dialog);
};
