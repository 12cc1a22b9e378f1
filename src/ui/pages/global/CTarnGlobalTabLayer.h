#pragma once

#include "app/CTarnHostListener.h"
#include "ui/framework/CTarnLayerBase.h"

class CTarnGlobalData;
class CTarnHost;
class QColor;

// Base of the Global page's tab and parameter layers: every bound control reads and writes one
// parameter (and sub-value) of the edited global data. A control naming parameter -2 stands for
// the controller row selected in the host. A control bound to a sub-value above 0 is enabled
// only while sub-value 0 (enable) of its record is on. Every edit ends with set modified; the
// External Controller layers also post message 5.
class CTarnGlobalTabLayer : public CTarnLayerBase, public CTarnHostListener {
    Q_OBJECT

public:
    // Parameter number of a control bound to the selected controller row.
    static constexpr int kSelectedRow = -2;

    // Registers with the host for its lifetime.
    explicit CTarnGlobalTabLayer(CTarnHost& host, QWidget* parent = nullptr);
    ~CTarnGlobalTabLayer() override;

    // Writes the data into every bound control; force also rewrites what only changes on demand
    // (the scroll text).
    virtual void Refresh(bool force);

    void OnEfLayerShown() override;
    bool OnEfMessageReceived(CEfMessageManagerApp* manager, int32_t type, int32_t p1, int32_t p2,
                             int32_t p3, int32_t p4, CEfMessageManagerListener* sender) override;
    void OnEfControlChanged(CEfControl* control, int value) override;

    // The caption colour of the page's static texts.
    static QColor CaptionColor();

protected:
    CTarnHost& Host() const { return host_; }
    // The edited global data, or null while the host has none.
    CTarnGlobalData* Global() const;

    // The parameter a control stands for, -1 for none.
    int ParameterOf(const CEfControlInfo& info) const;
    int Read(const CEfControlInfo& info) const;
    int Read(int parameter, int subValue) const;
    void Write(const CEfControlInfo& info, int value);
    // Whether a bound control may be used now (its record enabled).
    virtual bool IsActive(const CEfControlInfo& info) const;

    // Message types this layer refreshes on (0 and 3 unless overridden).
    virtual bool RefreshesOn(int32_t type) const;
    // After every edit: set modified and, for the External Controller layers, message 5.
    virtual void Edited();
    // Posts message 5 with this layer as the sender.
    void PostExtCtrlChanged();
    // Gives every static text whose key starts "C." the caption colour.
    void ColourCaptions();

private:
    CTarnHost& host_;
};
