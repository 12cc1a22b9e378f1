#pragma once

#include <QMimeData>
#include <QPoint>
#include <memory>
#include <string>

#include "ui/framework/CEfDragInfo.h"

class CEfControl;

// Events of a layer's controls. Every layer is the listener of its own controls; page layers
// override what they use. Positions are in the control's coordinates.
class CEfControlListener {
public:
    virtual ~CEfControlListener() = default;

    // Released inside the control after a press on it (not at the end of a drag).
    virtual void OnEfControlClicked(CEfControl* /*control*/) {}
    // A pop-up choice, check box toggle, step or typed value; the control shows the new value
    // only once the page sets it (except the check box, which toggles itself).
    virtual void OnEfControlChanged(CEfControl* /*control*/, int /*value*/) {}
    // An edit was committed.
    virtual void OnEfControlTextChanged(CEfControl* /*control*/, const std::string& /*text*/) {}
    // The pointer went down on the control.
    virtual void OnEfControlPressed(CEfControl* /*control*/, QPoint /*position*/) {}
    // A click on a control that reports where it was clicked (the wave graph).
    virtual void OnEfControlClickedAt(CEfControl* /*control*/, QPoint /*position*/) {}
    // The pointer moved with the button down on a drag source: the data to drag, or null for no
    // drag. The drag shows a white rectangle of the control's size.
    virtual std::unique_ptr<QMimeData> OnEfControlBeginDrag(CEfControl* /*control*/,
                                                            QPoint /*position*/) {
        return nullptr;
    }
    // A drag hovers over `control` (null: over the layer itself); the answer is shown to the
    // user and kNone refuses.
    virtual EfDropEffect OnEfControlDragOver(CEfControl* /*control*/, const CEfDragInfo& /*info*/) {
        return EfDropEffect::kNone;
    }
    // The drop itself; the answer tells the drag source what happened.
    virtual EfDropEffect OnEfControlDrop(CEfControl* /*control*/, const CEfDragInfo& /*info*/) {
        return EfDropEffect::kNone;
    }
    // A drag started on `source` has ended with `effect`.
    virtual void OnEfControlDragEnded(CEfControl* /*source*/, EfDropEffect /*effect*/) {}
};
