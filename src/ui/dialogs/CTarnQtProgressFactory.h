#pragma once

#include "framework/CEfMessagePump.h"
#include "framework/CEfProgressFactory.h"

// Progress windows on Qt (transfers, the sample dump window, conversions): each one is a
// CTarnProgressWindow above the active window, shown on creation and closed with the object.
// Cancel is offered only while the operation has a listener for it.
class CTarnQtProgressFactory : public CEfProgressFactory {
public:
    std::unique_ptr<CTarnProgressDialog> CreateProgressDialog() override;
};

// Lets pending Qt events run (paint the progress window, press its Cancel) without waiting.
class CTarnQtMessagePump : public CEfMessagePump {
public:
    void DispatchPending() override;
};
