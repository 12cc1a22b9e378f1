#pragma once

#include "app/CTarnHostListener.h"
#include "ui/framework/CTarnLayerBase.h"

class CTarnHost;

// Page 2, the Global page with its Global, External Controller and CC Map tabs. The page shows its
// header background until its tabs are built.
class CTarnGlobalContainer : public CTarnLayerBase, public CTarnHostListener {
    Q_OBJECT

public:
    static constexpr int kPageNumber = 2;

    // Registers with the host for its lifetime.
    explicit CTarnGlobalContainer(CTarnHost& host, QWidget* parent = nullptr);
    ~CTarnGlobalContainer() override;

    int GetTarnHostPageNumber() const override { return kPageNumber; }

private:
    CTarnHost& host_;
};
