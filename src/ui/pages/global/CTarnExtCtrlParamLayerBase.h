#pragma once

#include <string>
#include <vector>

#include "ui/pages/global/CTarnGlobalTabLayer.h"

// Base of the External Controller tab's parameter layers (switch, slider, XY pad, pad note): the
// selected row's name in "C.Controller" over the layer's controls, which are laid out in rows of
// 30 pixels. Refreshes on messages 0, 3 and 5; every change posts message 5.
class CTarnExtCtrlParamLayerBase : public CTarnGlobalTabLayer {
    Q_OBJECT

public:
    static constexpr int kRowTop = 52;
    static constexpr int kRowHeight = 30;
    static constexpr int kControlX = 170;
    static constexpr const char* kFont = "TrebuchetMS12P";

    // Top of layout row r.
    static constexpr int Row(int r) { return kRowTop + kRowHeight * r; }

    CTarnExtCtrlParamLayerBase(CTarnHost& host, int kind, QWidget* parent = nullptr);

    // The controller kind this layer edits (0 switch, 1 slider, 2 XY pad, 3 pad note).
    int Kind() const { return kind_; }
    void Refresh(bool force) override;

protected:
    bool RefreshesOn(int32_t type) const override;
    void Edited() override;

private:
    int kind_;
    // "ExtControllerName", read once.
    std::vector<std::string> names_;
};
