#pragma once

#include "app/CTarnHostListener.h"
#include "ui/framework/CTarnLayerBase.h"

class CTarnHost;

// Page 0, the Sample Librarian: the four loop-recorder banks. The page shows its background until
// its controls are built.
class CTarnSampleLibrarianLayer : public CTarnLayerBase, public CTarnHostListener {
    Q_OBJECT

public:
    static constexpr int kPageNumber = 0;

    // Registers with the host for its lifetime.
    explicit CTarnSampleLibrarianLayer(CTarnHost& host, QWidget* parent = nullptr);
    ~CTarnSampleLibrarianLayer() override;

    int GetTarnHostPageNumber() const override { return kPageNumber; }

private:
    CTarnHost& host_;
};
