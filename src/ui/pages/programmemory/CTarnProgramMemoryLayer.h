#pragma once

#include "app/CTarnHostListener.h"
#include "ui/framework/CTarnLayerBase.h"

class CTarnHost;

// Page 1, the Program Memory page: the eight program memories. The page shows its background until
// its controls are built.
class CTarnProgramMemoryLayer : public CTarnLayerBase, public CTarnHostListener {
    Q_OBJECT

public:
    static constexpr int kPageNumber = 1;

    // Registers with the host for its lifetime.
    explicit CTarnProgramMemoryLayer(CTarnHost& host, QWidget* parent = nullptr);
    ~CTarnProgramMemoryLayer() override;

    int GetTarnHostPageNumber() const override { return kPageNumber; }

private:
    CTarnHost& host_;
};
