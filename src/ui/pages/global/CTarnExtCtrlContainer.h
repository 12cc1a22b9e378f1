#pragma once

#include <array>

#include "app/CTarnHostListener.h"
#include "ui/framework/CTarnLayerBase.h"

class CTarnExtCtrlParamLayerBase;
class CTarnGlobalExtCtrlLayer;
class CTarnHost;

// The External Controller tab: the controller list with the pad pattern on its left 360 pixels
// and, to its right, the parameter layer of the host's layer kind (0 switch, 1 slider, 2 XY pad,
// 3 pad note), each created the first time its kind is shown.
class CTarnExtCtrlContainer : public CTarnLayerBase, public CTarnHostListener {
    Q_OBJECT

public:
    static constexpr int kListWidth = 360;
    static constexpr int kParamWidth = 340;
    static constexpr int kHeight = 358;

    explicit CTarnExtCtrlContainer(CTarnHost& host, QWidget* parent = nullptr);
    ~CTarnExtCtrlContainer() override;

    CTarnGlobalExtCtrlLayer* List() const { return list_; }
    // The parameter layer of a kind, or null before it was first shown.
    CTarnExtCtrlParamLayerBase* ParamLayer(int kind) const;
    int ShownKind() const { return shown_; }

    void OnEfLayerShown() override;
    void OnTarnHostExtCtrlLayerChanged(int kind) override;

private:
    void ShowKind(int kind);
    CTarnExtCtrlParamLayerBase* CreateKind(int kind);

    CTarnHost& host_;
    CTarnGlobalExtCtrlLayer* list_ = nullptr;
    std::array<CTarnExtCtrlParamLayerBase*, 4> params_{};
    int shown_ = -1;
};
