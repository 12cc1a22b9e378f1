#pragma once

#include "app/CTarnHostListener.h"
#include "ui/framework/CTarnLayerBase.h"

class CTarnHost;

// The Global page's header: the three tab buttons (following the host's Global tab) and Load,
// Save, Receive and Transmit of the global data. Each command runs under the dialog guard with
// the busy flag held; Transmit asks message 31 when the transmit warning is on and then message
// 34 whenever the System Exclusive filter is off.
class CTarnGlobalLayer : public CTarnLayerBase, public CTarnHostListener {
    Q_OBJECT

public:
    static constexpr int kHeight = 81;

    explicit CTarnGlobalLayer(CTarnHost& host, QWidget* parent = nullptr);
    ~CTarnGlobalLayer() override;

    void UpdateTabs();

    // The four commands; each answers whether it was carried out.
    bool Load();
    bool Save();
    bool Receive();
    bool Transmit();

    void OnEfControlClicked(CEfControl* control) override;
    void OnTarnHostGlobalTabChanged(int tab) override;

private:
    CEfWindow* DialogParent() const;

    CTarnHost& host_;
};
