#pragma once

#include <optional>

#include "ui/framework/CEfControl.h"

// A horizontal level meter. The bar runs from the left edge with length
// trunc((level - minimum) / (maximum - minimum) * width), copied from the lit row of
// "VuMeterHorizontal" (row 0 unlit, row 1 lit) or filled when there is no picture; a peak-hold
// value draws a one-pixel mark at trunc(width * (peak - minimum) / (maximum - minimum)) - 1.
class CEfControlHorizontalVuMeter : public CEfControl {
    Q_OBJECT

public:
    struct Description {
        const char* key;
        int x;
        int y;
        // 0: the picture's size.
        int width;
        int height;
        const char* image;
        double minimum = -48.0;
        double maximum = 0.0;
    };

    // image may be null.
    CEfControlHorizontalVuMeter(const Description& description, const CEfImage* image,
                                const CEfControlInfo& info = {}, QWidget* parent = nullptr);

    double Level() const { return level_; }
    // Also sets the value to the level's whole part.
    void SetLevel(double level, bool redraw = true);
    std::optional<double> Peak() const { return peak_; }
    void SetPeak(std::optional<double> peak, bool redraw = true);
    double MinimumLevel() const { return minimum_; }
    double MaximumLevel() const { return maximum_; }

    // Bar length in layout pixels for a level (0 to width).
    int BarLength(double level) const;
    // x of the peak mark, or -1 when none is drawn.
    int PeakMarkX() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CEfImage* image_;
    double minimum_;
    double maximum_;
    double level_;
    std::optional<double> peak_;
};
