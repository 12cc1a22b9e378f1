#include "ArtKit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

namespace art {

QFont UiFont(double pixelSize, bool bold, double letterSpacing) {
    QFont font("DejaVu Sans");
    font.setPixelSize(static_cast<int>(pixelSize));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    if (letterSpacing != 0) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    }
    return font;
}

void PageBackground(QPainter& p, const QRectF& r) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, kPageTop);
    g.setColorAt(1, kPageBottom);
    p.fillRect(r, g);
}

void Panel(QPainter& p, const QRectF& r, const QString& title) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, kPanelTop);
    g.setColorAt(1, kPanelBottom);
    const QRectF outer = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(kPanelEdge, 1));
    p.setBrush(g);
    p.drawRoundedRect(outer, 5, 5);
    // A highlight along the top edge gives the panel its lift.
    p.setPen(QPen(kHighlight, 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(r.left() + 5, r.top() + 1.5), QPointF(r.right() - 5, r.top() + 1.5));
    p.restore();
    if (!title.isEmpty()) {
        Label(p, QRectF(r.left() + 12, r.top() + 5, r.width() - 24, 12), title,
              UiFont(9, true, 1.2), kTextDim, Qt::AlignLeft | Qt::AlignVCenter);
        p.fillRect(QRectF(r.left() + 1, r.top() + 6, 2, 10), kAccent);
    }
}

void Well(QPainter& p, const QRectF& r, double radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kWellEdge, 1));
    p.setBrush(kWell);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    // Light falls from above: the lower rim catches it.
    p.setPen(QPen(kHighlight, 1));
    p.drawLine(QPointF(r.left() + radius, r.bottom() + 0.5),
               QPointF(r.right() - radius, r.bottom() + 0.5));
    p.restore();
}

void Groove(QPainter& p, double x0, double x1, double y) {
    p.fillRect(QRectF(x0, y, x1 - x0, 1), kPanelEdge);
    p.fillRect(QRectF(x0, y + 1, x1 - x0, 1), kHighlight);
}

void ButtonFace(QPainter& p, const QRectF& r, State state, double radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF outer = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    switch (state) {
    case State::Normal:
        g.setColorAt(0, QColor(0x45, 0x49, 0x50));
        g.setColorAt(1, QColor(0x33, 0x36, 0x3c));
        break;
    case State::On:
        g.setColorAt(0, QColor(0x24, 0x26, 0x2a));
        g.setColorAt(1, QColor(0x2c, 0x2e, 0x33));
        break;
    case State::Disabled:
        g.setColorAt(0, QColor(0x2e, 0x30, 0x35));
        g.setColorAt(1, QColor(0x2a, 0x2c, 0x30));
        break;
    }
    p.setPen(QPen(QColor(0x0e, 0x0f, 0x11), 1));
    p.setBrush(g);
    p.drawRoundedRect(outer, radius, radius);
    const QRectF inner = outer.adjusted(1, 1, -1, -1);
    if (state == State::Normal) {
        p.setPen(QPen(QColor(255, 255, 255, 34), 1));
        p.drawLine(QPointF(inner.left() + radius - 1, inner.top()),
                   QPointF(inner.right() - radius + 1, inner.top()));
    } else if (state == State::On) {
        // Pressed in, with the accent glowing along the lower edge.
        p.setPen(QPen(QColor(0, 0, 0, 90), 1));
        p.drawLine(QPointF(inner.left() + radius - 1, inner.top()),
                   QPointF(inner.right() - radius + 1, inner.top()));
        p.setPen(QPen(kAccent, 1));
        p.drawLine(QPointF(inner.left() + radius, inner.bottom()),
                   QPointF(inner.right() - radius, inner.bottom()));
        p.setPen(QPen(kAccentGlow, 1));
        p.drawLine(QPointF(inner.left() + radius, inner.bottom() - 1),
                   QPointF(inner.right() - radius, inner.bottom() - 1));
    }
    p.restore();
}

QColor InkFor(State state) {
    switch (state) {
    case State::Normal:
        return kText;
    case State::On:
        return kAccent;
    case State::Disabled:
        return kTextOff;
    }
    return kText;
}

void Label(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
           const QColor& colour, int align) {
    p.save();
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, align, text);
    p.restore();
}

void Led(QPainter& p, const QPointF& c, double radius, bool on, bool disabled) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    if (on) {
        p.setBrush(kAccentGlow);
        p.drawEllipse(c, radius + 1.5, radius + 1.5);
        p.setBrush(kAccent);
    } else {
        p.setBrush(disabled ? QColor(0x24, 0x26, 0x29) : QColor(0x1a, 0x1b, 0x1e));
    }
    p.drawEllipse(c, radius, radius);
    p.restore();
}

void DrawIcon(QPainter& p, Icon icon, const QRectF& b, const QColor& ink) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const double s = b.width();
    auto at = [&](double x, double y) { return QPointF(b.left() + x * s, b.top() + y * s); };
    // One-pixel strokes on pixel centres stay crisp at 1x and 2x.
    p.translate(0.5, 0.5);
    QPen pen(ink, s >= 16 ? 1.25 : 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    auto arrow = [&](QPointF from, QPointF to, double head) {
        p.drawLine(from, to);
        const QPointF d = to - from;
        const double len = std::hypot(d.x(), d.y());
        const QPointF u = d / len;
        const QPointF n(-u.y(), u.x());
        p.drawLine(to, to - u * head + n * head);
        p.drawLine(to, to - u * head - n * head);
    };
    auto tray = [&]() {
        QPainterPath path(at(0.1, 0.62));
        path.lineTo(at(0.1, 0.9));
        path.lineTo(at(0.9, 0.9));
        path.lineTo(at(0.9, 0.62));
        p.drawPath(path);
    };
    switch (icon) {
    case Icon::Open: {
        QPainterPath path(at(0.08, 0.84));
        path.lineTo(at(0.08, 0.2));
        path.lineTo(at(0.38, 0.2));
        path.lineTo(at(0.47, 0.31));
        path.lineTo(at(0.86, 0.31));
        path.lineTo(at(0.86, 0.44));
        p.drawPath(path);
        QPainterPath front(at(0.08, 0.84));
        front.lineTo(at(0.22, 0.46));
        front.lineTo(at(0.96, 0.46));
        front.lineTo(at(0.82, 0.84));
        front.closeSubpath();
        p.drawPath(front);
        break;
    }
    case Icon::Save: {
        QPainterPath path(at(0.12, 0.12));
        path.lineTo(at(0.72, 0.12));
        path.lineTo(at(0.88, 0.28));
        path.lineTo(at(0.88, 0.88));
        path.lineTo(at(0.12, 0.88));
        path.closeSubpath();
        p.drawPath(path);
        p.drawRect(QRectF(at(0.3, 0.12), at(0.64, 0.36)));
        p.drawRect(QRectF(at(0.26, 0.56), at(0.74, 0.88)));
        break;
    }
    case Icon::Receive:
        arrow(at(0.5, 0.08), at(0.5, 0.66), 0.2 * s);
        tray();
        break;
    case Icon::Transmit:
    case Icon::Write:
        arrow(at(0.5, 0.7), at(0.5, 0.1), 0.2 * s);
        tray();
        break;
    case Icon::Import:
        arrow(at(0.06, 0.5), at(0.62, 0.5), 0.18 * s);
        p.drawPolyline(QPolygonF({at(0.5, 0.14), at(0.9, 0.14), at(0.9, 0.86), at(0.5, 0.86)}));
        break;
    case Icon::Export:
        arrow(at(0.36, 0.5), at(0.94, 0.5), 0.18 * s);
        p.drawPolyline(QPolygonF({at(0.5, 0.14), at(0.1, 0.14), at(0.1, 0.86), at(0.5, 0.86)}));
        break;
    case Icon::Play: {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(QPolygonF({at(0.22, 0.12), at(0.86, 0.5), at(0.22, 0.88)}));
        break;
    }
    }
    p.restore();
}

void Strip(QPainter& p, double w, double h, int states,
           const std::function<void(QPainter&, State, const QRectF&)>& draw) {
    const double stateHeight = h / states;
    for (int i = 0; i < states; ++i) {
        p.save();
        const QRectF r(0, i * stateHeight, w, stateHeight);
        p.setClipRect(r);
        draw(p, static_cast<State>(i), r);
        p.restore();
    }
}

} // namespace art
