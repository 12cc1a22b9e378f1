#pragma once

#include "ui/framework/CEfControl.h"

// One picture of a strip holding `itemCount` pictures stacked vertically; the value selects the
// picture. A click asks for the next picture (wrapping), the arrow keys for the next or previous
// one: changed is sent and the page sets the value.
class CEfControlBitmapList : public CEfControl {
    Q_OBJECT

public:
    struct Description {
        const char* key;
        int x;
        int y;
        const char* image;
        int itemCount;
    };

    CEfControlBitmapList(const Description& description, const CEfImage& image,
                         const CEfControlInfo& info = {}, QWidget* parent = nullptr);

    int ItemCount() const { return itemCount_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void OnReleasedInside(QPoint position) override;
    void OnActivated() override;
    bool OnStepKey(int delta) override;

private:
    void Choose(int item);

    const CEfImage& image_;
    int itemCount_;
};
