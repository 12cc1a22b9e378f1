#pragma once

#include <vector>

#include "ui/framework/CEfWindowLayer.h"

// A layer holding further layers (pages, tabs, parameter layers) in order. Showing a child adds
// it to the drawing list, hiding removes it; messages and ticks reach the visible children.
class CEfContainerLayer : public CEfWindowLayer {
    Q_OBJECT

public:
    explicit CEfContainerLayer(QWidget* parent = nullptr);
    ~CEfContainerLayer() override;

    // Takes the child (as a child widget, placed by its own layer rectangle), hidden unless
    // `visible`.
    void AddLayer(CEfWindowLayer* child, bool visible = false);
    // Gives the child up without destroying it (it leaves the window too); whether it was a
    // child.
    bool RemoveLayer(CEfWindowLayer* child);
    const std::vector<CEfWindowLayer*>& Layers() const { return layers_; }

    void ShowChild(CEfWindowLayer* child);
    void HideChild(CEfWindowLayer* child);
    // The shown children, in order.
    std::vector<CEfWindowLayer*> VisibleLayers() const;

    void DeliverMessage(CEfMessageManagerApp* manager, const CEfMessage& message) override;
    void DeliverTick(int elapsedMs) override;
    bool DeliverTargeted(CEfMessageManagerApp* manager, const CEfMessage& message) override;

private:
    void AttachWindow(CEfWindow* window) override;

    std::vector<CEfWindowLayer*> layers_;
};
