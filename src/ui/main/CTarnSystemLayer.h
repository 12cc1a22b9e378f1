#pragma once

#include "ui/framework/CTarnLayerBase.h"

class CTarnHost;

// The toolbar across the top of the main window: Open, Save As, Receive All and Transmit All,
// and the three page tabs, which form one group following the host's page.
class CTarnSystemLayer : public CTarnLayerBase {
    Q_OBJECT

public:
    static constexpr int kHeight = 87;

    explicit CTarnSystemLayer(CTarnHost& host, QWidget* parent = nullptr);

    // Each tab on when its page is the host's page, off otherwise.
    void UpdateTabs();

    void OnEfControlClicked(CEfControl* control) override;

private:
    CTarnHost& host_;
};
