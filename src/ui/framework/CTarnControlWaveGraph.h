#pragma once

#include <vector>

#include "ui/framework/CEfControl.h"

class CTarnSampleData;

// The waveform of a loop-recorder bank, one lane per channel (1 or 2). Each pixel column spans
// play frames / width frames (at least 1) from the start frame; its strip runs from the
// largest to the smallest sample of the column (both starting at 0, so every column reaches the
// centre line), copied from "WaveGraphImage" when the control has it. The columns are computed
// once per change of the audio (SetSample / SampleChanged), so a repaint never reads the
// samples. A click reports clicked-at with the position.
class CTarnControlWaveGraph : public CEfControl {
    Q_OBJECT

public:
    struct Description {
        const char* key;
        int x;
        int y;
        int width;
        int height;
        const char* image;
    };

    // One pixel column of a lane: the strip covers rows centre - top to centre - bottom
    // (exclusive), so its height is top - bottom.
    struct Column {
        int top = 0;
        int bottom = 0;
    };

    // image may be null (the strip is then drawn in the pen colour).
    CTarnControlWaveGraph(const Description& description, const CEfImage* image,
                          const CEfControlInfo& info = {}, QWidget* parent = nullptr);

    // The bank to show (null: an empty graph); recomputes the columns.
    void SetSample(const CTarnSampleData* sample);
    const CTarnSampleData* Sample() const { return sample_; }
    // The bank's audio, start, end or play frames changed: recompute the columns and repaint.
    void SampleChanged();

    int LaneCount() const { return lanes_; }
    // Columns of lane `lane` up to the end of the drawn range (beyond it the centre line).
    const std::vector<Column>& LaneColumns(int lane) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void OnReleasedInside(QPoint position) override;
    void OnActivated() override;

private:
    void Rebuild();

    const CEfImage* image_;
    const CTarnSampleData* sample_ = nullptr;
    int lanes_ = 1;
    std::vector<Column> columns_[2];
};
