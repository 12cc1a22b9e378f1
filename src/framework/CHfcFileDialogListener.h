#pragma once

#include <string>

class CHfcFileDialog;

// Hears from a platform file dialog while it is shown. Kind is CHfcFileDialog::kOpen or kSave.
class CHfcFileDialogListener {
public:
    virtual ~CHfcFileDialogListener() = default;

    // The dialog closed: ok with a chosen path (CHfcFileDialog::ChosenPath), or cancelled.
    virtual void OnHfcFileDialogFinished(CHfcFileDialog& dialog, bool ok, int kind) = 0;

    // Asked for every entry the dialog is about to list; false hides the entry.
    virtual bool OnHfcFileDialogWin32BrowseFilter(CHfcFileDialog& dialog, const std::string& path,
                                                  bool isFolder, int kind) = 0;
};
