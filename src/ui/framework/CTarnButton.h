#pragma once

#include "ui/framework/CEfControl.h"

// An image button: picture strip of 3 states (normal, pressed, disabled); sends pressed when the
// pointer goes down and clicked on a release inside. Can be a drag source.
class CTarnButton : public CEfControl {
    Q_OBJECT

public:
    struct Description {
        const char* key;
        int x;
        int y;
        const char* image;
    };

    CTarnButton(const std::string& key, const CEfImage& image, const CEfControlInfo& info = {},
                QWidget* parent = nullptr);
    CTarnButton(const Description& description, const CEfImage& image,
                const CEfControlInfo& info = {}, QWidget* parent = nullptr);

    const CEfImage& Image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Whether the "on" state is shown (pressed for a plain button).
    virtual bool ShowsOn() const;

private:
    const CEfImage& image_;
};
