#include "ui/framework/CEfControlHorizontalVuMeter.h"

#include <QPainter>
#include <cmath>

#include "framework/CEfImage.h"

CEfControlHorizontalVuMeter::CEfControlHorizontalVuMeter(const Description& description,
                                                         const CEfImage* image,
                                                         const CEfControlInfo& info,
                                                         QWidget* parent)
    : CEfControl(description.key, info, parent), image_(image), minimum_(description.minimum),
      maximum_(description.maximum), level_(description.minimum) {
    int width = description.width;
    int height = description.height;
    if (image_ != nullptr) {
        if (width <= 0) {
            width = image_->LayoutWidth();
        }
        if (height <= 0) {
            height = ef::StripStateHeight(*image_, 2);
        }
    }
    setGeometry(description.x, description.y, width, height);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    SetValue(static_cast<int>(minimum_), false);
}

void CEfControlHorizontalVuMeter::SetLevel(double level, bool redraw) {
    const int before = BarLength(level_);
    level_ = level;
    SetValue(std::isfinite(level) ? static_cast<int>(std::clamp(level, -1e9, 1e9))
                                  : static_cast<int>(minimum_),
             false);
    // Meters are set on every tick: repaint only when the bar moved.
    if (redraw && BarLength(level_) != before) {
        update();
    }
}

void CEfControlHorizontalVuMeter::SetPeak(std::optional<double> peak, bool redraw) {
    const int before = PeakMarkX();
    peak_ = peak;
    if (redraw && PeakMarkX() != before) {
        update();
    }
}

int CEfControlHorizontalVuMeter::BarLength(double level) const {
    if (!(maximum_ > minimum_)) {
        return 0;
    }
    const double length = (level - minimum_) / (maximum_ - minimum_) * width();
    // Silence gives -infinity decibels; NaN draws nothing either.
    if (!(length > 0.0)) {
        return 0;
    }
    if (length >= width()) {
        return width();
    }
    return static_cast<int>(length);
}

int CEfControlHorizontalVuMeter::PeakMarkX() const {
    if (!peak_ || !(maximum_ > minimum_)) {
        return -1;
    }
    const double position = width() * (*peak_ - minimum_) / (maximum_ - minimum_);
    if (!(position >= 1.0)) {
        return -1;
    }
    if (position >= width()) {
        return width() - 1;
    }
    return static_cast<int>(position) - 1;
}

void CEfControlHorizontalVuMeter::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const int bar = BarLength(level_);
    if (image_ != nullptr) {
        const int row = ef::StripStateHeight(*image_, 2);
        const int imageWidth = image_->LayoutWidth();
        ef::DrawPicturePart(painter, *image_, QRect(0, 0, imageWidth, row), rect());
        if (bar > 0) {
            const int sourceWidth = std::max(1, bar * imageWidth / std::max(width(), 1));
            ef::DrawPicturePart(painter, *image_, QRect(0, row, sourceWidth, row),
                                QRect(0, 0, bar, height()));
        }
    } else {
        painter.fillRect(rect(), QColor(0x14, 0x16, 0x18));
        painter.fillRect(QRect(0, 0, bar, height()), QColor(0x3c, 0xd0, 0x70));
    }
    const int peak = PeakMarkX();
    if (peak >= 0) {
        painter.fillRect(QRect(peak, 0, 1, height()), QColor(0xff, 0xe0, 0x60));
    }
}
