#include "ui/framework/CTarnControlWaveGraph.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>

#include "data/CTarnSampleData.h"
#include "framework/CEfImage.h"
#include "framework/EfByteOrder.h"
#include "ui/framework/CEfControlListener.h"

namespace {
const QColor kBackground(0x10, 0x14, 0x18);
// The centre row of "WaveGraphImage", so that silence and the strips read as one colour.
const QColor kPen(0xe4, 0x97, 0x45);
} // namespace

CTarnControlWaveGraph::CTarnControlWaveGraph(const Description& description, const CEfImage* image,
                                             const CEfControlInfo& info, QWidget* parent)
    : CEfControl(description.key, info, parent), image_(image) {
    setGeometry(description.x, description.y, description.width, description.height);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CTarnControlWaveGraph::SetSample(const CTarnSampleData* sample) {
    sample_ = sample;
    SampleChanged();
}

void CTarnControlWaveGraph::SampleChanged() {
    Rebuild();
    update();
}

const std::vector<CTarnControlWaveGraph::Column>&
CTarnControlWaveGraph::LaneColumns(int lane) const {
    return columns_[std::clamp(lane, 0, 1)];
}

void CTarnControlWaveGraph::Rebuild() {
    columns_[0].clear();
    columns_[1].clear();
    lanes_ = sample_ != nullptr ? std::clamp(sample_->GetChannels(), 1, 2) : 1;
    const int columnCount = width();
    if (sample_ == nullptr || !sample_->HasData() || columnCount <= 0) {
        return;
    }
    const int half = height() / lanes_ / 2;
    const int64_t maxValue = std::max(sample_->GetMaxSampleValue(), 1);
    const int start = std::max(sample_->GetStartFrame(), 0);
    const int end = std::min(sample_->GetEndFrame(), sample_->GetFrameCount());
    const int framesPerColumn = std::max(sample_->GetPlayFrames() / columnCount, 1);
    // Every bank the editor holds is 16-bit: its samples are read straight from the buffer, one
    // column of frames at a time for both lanes, which keeps a full bank within a few
    // milliseconds.
    const uint8_t* data = sample_->GetData();
    const int bytesPerFrame = sample_->GetBytesPerFrame();
    const bool direct = data != nullptr && sample_->GetBitsPerSample() == 16 &&
                        bytesPerFrame == 2 * sample_->GetChannels();
    for (int lane = 0; lane < lanes_; ++lane) {
        columns_[lane].reserve(static_cast<size_t>(columnCount));
    }
    int position = start;
    for (int x = 0; x < columnCount && position < end; ++x) {
        const int stop = std::min(end, position + framesPerColumn);
        int32_t highest[2] = {0, 0};
        int32_t lowest[2] = {0, 0};
        for (int lane = 0; lane < lanes_; ++lane) {
            int32_t high = 0;
            int32_t low = 0;
            if (direct) {
                const uint8_t* in = data + static_cast<size_t>(position) * bytesPerFrame + lane * 2;
                for (int f = position; f < stop; ++f, in += bytesPerFrame) {
                    const int32_t sample = static_cast<int16_t>(ef::ReadLE16(in));
                    high = std::max(high, sample);
                    low = std::min(low, sample);
                }
            } else {
                for (int f = position; f < stop; ++f) {
                    const int32_t sample = sample_->GetSample(f, lane);
                    high = std::max(high, sample);
                    low = std::min(low, sample);
                }
            }
            highest[lane] = high;
            lowest[lane] = low;
        }
        position = stop;
        for (int lane = 0; lane < lanes_; ++lane) {
            Column column;
            column.top = static_cast<int>(half * static_cast<int64_t>(highest[lane]) / maxValue);
            column.bottom = static_cast<int>(half * static_cast<int64_t>(lowest[lane]) / maxValue);
            if (column.top == column.bottom) {
                column.top = column.bottom + 1;
            }
            columns_[lane].push_back(column);
        }
    }
}

void CTarnControlWaveGraph::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const int laneHeight = height() / lanes_;
    const int half = laneHeight / 2;
    for (int lane = 0; lane < lanes_; ++lane) {
        const int top = lane * laneHeight;
        const int centre = top + half;
        painter.fillRect(QRect(0, top, width(), laneHeight), kBackground);
        const std::vector<Column>& columns = columns_[lane];
        for (size_t x = 0; x < columns.size(); ++x) {
            const Column& column = columns[x];
            const int stripHeight = column.top - column.bottom;
            const QRect target(static_cast<int>(x), centre - column.top, 1, stripHeight);
            if (image_ != nullptr) {
                // The strip is as high as a lane; a column of full scale may reach one row
                // beyond it (t = u + 1), which repeats the strip's edge row.
                const int sourceTop =
                    std::clamp(half - column.top, 0, std::max(image_->LayoutHeight() - 1, 0));
                ef::DrawPicturePart(painter, *image_, QRect(0, sourceTop, 1, stripHeight), target);
            } else {
                painter.fillRect(target, kPen);
            }
        }
        if (static_cast<int>(columns.size()) < width()) {
            painter.fillRect(QRect(static_cast<int>(columns.size()), centre,
                                   width() - static_cast<int>(columns.size()), 1),
                             kPen);
        }
    }
    if (height() > lanes_ * laneHeight) {
        painter.fillRect(QRect(0, lanes_ * laneHeight, width(), height() - lanes_ * laneHeight),
                         kBackground);
    }
    PaintFocusFrame(painter);
}

void CTarnControlWaveGraph::resizeEvent(QResizeEvent* event) {
    CEfControl::resizeEvent(event);
    Rebuild();
}

void CTarnControlWaveGraph::OnReleasedInside(QPoint position) {
    if (Listener() != nullptr) {
        Listener()->OnEfControlClickedAt(this, position);
    }
}

void CTarnControlWaveGraph::OnActivated() {
    if (Listener() != nullptr) {
        Listener()->OnEfControlClickedAt(this, rect().center());
    }
}
