#pragma once

#include <memory>

#include "framework/CHfcFileDialog.h"

// Creates the front end's open and save dialogs; null when a dialog cannot be created.
class CHfcFileDialogFactory {
public:
    virtual ~CHfcFileDialogFactory() = default;
    virtual std::unique_ptr<CHfcFileDialog> CreateOpenFileDialog() = 0;
    virtual std::unique_ptr<CHfcFileDialog> CreateSaveFileDialog() = 0;
};
