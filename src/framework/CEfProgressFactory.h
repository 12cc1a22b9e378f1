#pragma once

#include <memory>

#include "framework/CTarnProgressDialog.h"

// Creates the front end's progress windows. The window is shown on creation and closed when the
// returned object is destroyed.
class CEfProgressFactory {
public:
    virtual ~CEfProgressFactory() = default;
    virtual std::unique_ptr<CTarnProgressDialog> CreateProgressDialog() = 0;
};
