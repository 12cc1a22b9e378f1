#pragma once

#include <array>

#include "app/CTarnHostListener.h"
#include "ui/framework/CTarnLayerBase.h"

class CTarnExtCtrlContainer;
class CTarnGlobalLayer;
class CTarnHost;

// Page 2, the Global page: the header (tabs and the global data's commands) and below it the
// tab the host's Global tab names: 0 Global, 1 External Controller, 2 CC Map. A tab is created
// the first time it is shown and kept until the page closes. The Edit commands reach the
// External Controller tab.
class CTarnGlobalContainer : public CTarnLayerBase, public CTarnHostListener {
    Q_OBJECT

public:
    static constexpr int kPageNumber = 2;
    static constexpr int kTabTop = 81;
    static constexpr int kTabHeight = 358;

    // Registers with the host for its lifetime.
    explicit CTarnGlobalContainer(CTarnHost& host, QWidget* parent = nullptr);
    ~CTarnGlobalContainer() override;

    int GetTarnHostPageNumber() const override { return kPageNumber; }

    CTarnGlobalLayer* Header() const { return header_; }
    // The tab's layer, or null before it was first shown.
    CEfWindowLayer* Tab(int tab) const;
    int ShownTab() const { return shown_; }
    CTarnExtCtrlContainer* ExtCtrl() const;

    void OnEfLayerShown() override;
    void OnTarnHostGlobalTabChanged(int tab) override;
    void OnTarnHostCut() override;
    void OnTarnHostCopy() override;
    void OnTarnHostPaste() override;
    void OnTarnHostClear() override;

private:
    void ShowTab(int tab);
    CEfWindowLayer* CreateTab(int tab);

    CTarnHost& host_;
    CTarnGlobalLayer* header_ = nullptr;
    std::array<CEfWindowLayer*, 3> tabs_{};
    int shown_ = -1;
};
