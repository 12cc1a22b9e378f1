#pragma once

#include <array>

#include "app/CTarnHostListener.h"
#include "ui/framework/CEfContainerLayer.h"

class CTarnHost;
class CTarnSystemLayer;

// The main window's content: the toolbar on top and, below it, one page at a time. A page is
// created the first time it is shown and kept until the window closes.
class CTarnMainContainer : public CEfContainerLayer, public CTarnHostListener {
    Q_OBJECT

public:
    static constexpr int kWidth = 700;
    static constexpr int kHeight = 526;
    static constexpr int kPageTop = 87;

    // Registers with the host for its lifetime and shows the host's page.
    explicit CTarnMainContainer(CTarnHost& host, QWidget* parent = nullptr);
    ~CTarnMainContainer() override;

    CTarnSystemLayer* SystemLayer() const { return system_; }
    // The page object, or null while it has not been shown yet.
    CEfWindowLayer* Page(int page) const;
    // The page shown, -1 before the first.
    int ShownPage() const { return shown_; }

    void OnTarnHostPageChanged(int page) override;

private:
    CEfWindowLayer* CreatePage(int page);
    void ShowPage(int page);

    CTarnHost& host_;
    CTarnSystemLayer* system_;
    std::array<CEfWindowLayer*, 3> pages_{};
    int shown_ = -1;
};
