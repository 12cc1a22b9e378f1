#include "ui/framework/CEfContainerLayer.h"

#include <QPointer>
#include <algorithm>

CEfContainerLayer::CEfContainerLayer(QWidget* parent) : CEfWindowLayer(parent) {}

CEfContainerLayer::~CEfContainerLayer() {
    // The children are destroyed with this widget; they must not reach back into this list.
    for (CEfWindowLayer* child : layers_) {
        child->container_ = nullptr;
    }
}

void CEfContainerLayer::AddLayer(CEfWindowLayer* child, bool visible) {
    if (child == nullptr || child->container_ == this) {
        return;
    }
    if (child->container_ != nullptr) {
        child->container_->RemoveLayer(child);
    }
    const QPoint position = child->pos();
    child->setParent(this);
    child->move(position);
    child->container_ = this;
    layers_.push_back(child);
    child->AttachWindow(Window());
    if (visible) {
        ShowChild(child);
    } else {
        child->hide();
    }
}

bool CEfContainerLayer::RemoveLayer(CEfWindowLayer* child) {
    auto it = std::find(layers_.begin(), layers_.end(), child);
    if (it == layers_.end()) {
        return false;
    }
    layers_.erase(it);
    child->container_ = nullptr;
    child->AttachWindow(nullptr);
    return true;
}

void CEfContainerLayer::ShowChild(CEfWindowLayer* child) {
    if (std::find(layers_.begin(), layers_.end(), child) == layers_.end()) {
        return;
    }
    child->show();
    child->OnEfLayerShown();
}

void CEfContainerLayer::HideChild(CEfWindowLayer* child) {
    if (std::find(layers_.begin(), layers_.end(), child) == layers_.end()) {
        return;
    }
    child->hide();
}

std::vector<CEfWindowLayer*> CEfContainerLayer::VisibleLayers() const {
    std::vector<CEfWindowLayer*> visible;
    for (CEfWindowLayer* child : layers_) {
        if (child->IsLayerVisible()) {
            visible.push_back(child);
        }
    }
    return visible;
}

void CEfContainerLayer::DeliverMessage(CEfMessageManagerApp* manager, const CEfMessage& message) {
    CEfWindowLayer::DeliverMessage(manager, message);
    // A handler may create, show or destroy layers; hold the visible ones weakly.
    const std::vector<CEfWindowLayer*> visible = VisibleLayers();
    std::vector<QPointer<CEfWindowLayer>> children(visible.begin(), visible.end());
    for (const QPointer<CEfWindowLayer>& child : children) {
        if (child) {
            child->DeliverMessage(manager, message);
        }
    }
}

void CEfContainerLayer::DeliverTick(int elapsedMs) {
    CEfWindowLayer::DeliverTick(elapsedMs);
    const std::vector<CEfWindowLayer*> visible = VisibleLayers();
    std::vector<QPointer<CEfWindowLayer>> children(visible.begin(), visible.end());
    for (const QPointer<CEfWindowLayer>& child : children) {
        if (child) {
            child->DeliverTick(elapsedMs);
        }
    }
}

bool CEfContainerLayer::DeliverTargeted(CEfMessageManagerApp* manager, const CEfMessage& message) {
    if (CEfWindowLayer::DeliverTargeted(manager, message)) {
        return true;
    }
    const std::vector<CEfWindowLayer*> children = layers_;
    for (CEfWindowLayer* child : children) {
        if (child->DeliverTargeted(manager, message)) {
            return true;
        }
    }
    return false;
}

void CEfContainerLayer::AttachWindow(CEfWindow* window) {
    CEfWindowLayer::AttachWindow(window);
    for (CEfWindowLayer* child : layers_) {
        child->AttachWindow(window);
    }
}
