// Button strips and the other control pictures.
#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

#include "ArtCatalogue.h"
#include "ArtKit.h"

using namespace art;

namespace {

constexpr int kStates = 3;

// An action button of the page headers: icon and a spaced capital label.
ArtPicture ActionButton(const QString& name, const QString& label, Icon icon, int w = 84,
                        int h = 26) {
    return {name, w, h * kStates, [=](QPainter& p) {
                Strip(p, w, h * kStates, kStates, [&](QPainter& q, State s, const QRectF& r) {
                    ButtonFace(q, r, s);
                    const QColor ink = InkFor(s);
                    const QFont font = UiFont(9, true, 0.8);
                    const double textWidth = QFontMetricsF(font).horizontalAdvance(label);
                    const double iconSize = 12;
                    const double total = iconSize + 6 + textWidth;
                    const double x = std::round(r.left() + (r.width() - total) / 2);
                    DrawIcon(q, icon, QRectF(x, r.top() + (h - iconSize) / 2, iconSize, iconSize),
                             ink);
                    Label(q, QRectF(x + iconSize + 6, r.top(), textWidth + 2, h), label, font, ink,
                          Qt::AlignLeft | Qt::AlignVCenter);
                });
            }};
}

// A text-only button (tap).
ArtPicture TextButton(const QString& name, const QString& label, int w, int h) {
    return {name, w, h * kStates, [=](QPainter& p) {
                Strip(p, w, h * kStates, kStates, [&](QPainter& q, State s, const QRectF& r) {
                    ButtonFace(q, r, s);
                    Label(q, r, label, UiFont(9, true, 1.0), InkFor(s));
                });
            }};
}

// The toolbar's whole-instrument commands: a large icon over a small label.
ArtPicture ToolButton(const QString& name, const QString& label, Icon icon) {
    constexpr int w = 56;
    constexpr int h = 44;
    return {name, w, h * kStates, [=](QPainter& p) {
                Strip(p, w, h * kStates, kStates, [&](QPainter& q, State s, const QRectF& r) {
                    ButtonFace(q, r, s, 5);
                    const QColor ink = InkFor(s);
                    DrawIcon(q, icon, QRectF(r.left() + 18, r.top() + 6, 20, 20), ink);
                    Label(q, QRectF(r.left(), r.top() + 28, w, 12), label, UiFont(8, true, 0.3),
                          s == State::Normal ? kTextDim : ink);
                });
            }};
}

// A tab: flat when off, lit underline and bright text when on.
ArtPicture Tab(const QString& name, const QString& label, int w, int h, double textSize) {
    return {name, w, h * kStates, [=](QPainter& p) {
                Strip(p, w, h * kStates, kStates, [&](QPainter& q, State s, const QRectF& r) {
                    q.save();
                    q.setRenderHint(QPainter::Antialiasing, true);
                    QPainterPath shape;
                    const QRectF t = r.adjusted(0.5, 0.5, -0.5, 0);
                    shape.moveTo(t.bottomLeft());
                    shape.lineTo(t.left(), t.top() + 4);
                    shape.quadTo(t.topLeft(), QPointF(t.left() + 4, t.top()));
                    shape.lineTo(t.right() - 4, t.top());
                    shape.quadTo(t.topRight(), QPointF(t.right(), t.top() + 4));
                    shape.lineTo(t.bottomRight());
                    QLinearGradient g(r.topLeft(), r.bottomLeft());
                    if (s == State::On) {
                        g.setColorAt(0, QColor(0x3c, 0x40, 0x47));
                        g.setColorAt(1, QColor(0x30, 0x33, 0x39));
                    } else {
                        g.setColorAt(0, QColor(0x2a, 0x2d, 0x32));
                        g.setColorAt(1, QColor(0x22, 0x24, 0x28));
                    }
                    q.setPen(QPen(kPanelEdge, 1));
                    q.setBrush(g);
                    q.drawPath(shape);
                    q.restore();
                    if (s == State::On) {
                        q.fillRect(QRectF(r.left() + 1, r.top() + 1, r.width() - 2, 2), kAccent);
                    } else {
                        q.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), kPanelEdge);
                    }
                    const QColor ink = s == State::On       ? kText
                                       : s == State::Normal ? kTextDim
                                                            : kTextOff;
                    Label(q, r.adjusted(0, 1, 0, 0), label, UiFont(textSize, true, 0.4), ink);
                });
            }};
}

// Selection buttons with a large glyph and a status light (banks, memories).
ArtPicture SelectButton(const QString& name, const QString& glyph, const QString& caption, int w,
                        int h) {
    return {
        name, w, h * kStates, [=](QPainter& p) {
            Strip(p, w, h * kStates, kStates, [&](QPainter& q, State s, const QRectF& r) {
                ButtonFace(q, r, s, 4);
                const QColor ink = s == State::On ? kAccent : s == State::Normal ? kText : kTextOff;
                if (caption.isEmpty()) {
                    Label(q, r.adjusted(0, -1, 0, -1), glyph, UiFont(h * 0.45, true), ink);
                } else {
                    Label(q, QRectF(r.left() + 8, r.top(), w - 16, h), glyph, UiFont(h * 0.5, true),
                          ink, Qt::AlignRight | Qt::AlignVCenter);
                    Label(q, QRectF(r.left() + 8, r.top() + 6, 30, 10), caption,
                          UiFont(7, true, 0.8), s == State::Disabled ? kTextOff : kTextDim,
                          Qt::AlignLeft | Qt::AlignVCenter);
                }
                Led(q, QPointF(r.left() + (caption.isEmpty() ? 7 : 11), r.bottom() - 8), 2,
                    s == State::On, s == State::Disabled);
            });
        }};
}

// Keys of the external-controller list; the control draws its own text.
ArtPicture KeyButton(const QString& name, int w, int h) {
    return {name, w, h * kStates, [=](QPainter& p) {
                Strip(p, w, h * kStates, kStates, [&](QPainter& q, State s, const QRectF& r) {
                    if (s == State::On) {
                        q.save();
                        q.setRenderHint(QPainter::Antialiasing, true);
                        QLinearGradient g(r.topLeft(), r.bottomLeft());
                        g.setColorAt(0, QColor(0x5a, 0x3c, 0x16));
                        g.setColorAt(1, QColor(0x48, 0x30, 0x12));
                        q.setPen(QPen(kAccent, 1));
                        q.setBrush(g);
                        q.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
                        q.restore();
                    } else {
                        ButtonFace(q, r, s, 4);
                    }
                });
            }};
}

// Small step buttons: a triangle up or down.
ArtPicture StepButton(const QString& name, bool up) {
    constexpr int w = 16;
    constexpr int h = 10;
    return {name, w, h * kStates, [=](QPainter& p) {
                Strip(p, w, h * kStates, kStates, [&](QPainter& q, State s, const QRectF& r) {
                    ButtonFace(q, r, s == State::On ? State::Disabled : s, 2);
                    q.save();
                    q.setRenderHint(QPainter::Antialiasing, true);
                    q.setPen(Qt::NoPen);
                    q.setBrush(s == State::On ? kAccent : s == State::Normal ? kText : kTextOff);
                    const double cx = r.center().x();
                    const double cy = r.center().y();
                    if (up) {
                        q.drawPolygon(QPolygonF({QPointF(cx - 3.5, cy + 2),
                                                 QPointF(cx + 3.5, cy + 2), QPointF(cx, cy - 2)}));
                    } else {
                        q.drawPolygon(QPolygonF({QPointF(cx - 3.5, cy - 2),
                                                 QPointF(cx + 3.5, cy - 2), QPointF(cx, cy + 2)}));
                    }
                    q.restore();
                });
            }};
}

// The pop-up marker without a button: a small caret on the field itself.
ArtPicture NoButton() {
    constexpr int w = 14;
    constexpr int h = 20;
    return {"ButtonNo", w, h * kStates, [=](QPainter& p) {
                Strip(p, w, h * kStates, kStates, [&](QPainter& q, State s, const QRectF& r) {
                    q.save();
                    q.setRenderHint(QPainter::Antialiasing, true);
                    q.setPen(Qt::NoPen);
                    q.setBrush(s == State::On ? kAccent : s == State::Normal ? kTextDim : kTextOff);
                    const double cx = r.center().x();
                    const double cy = r.center().y();
                    q.drawPolygon(QPolygonF({QPointF(cx - 3, cy - 1.5), QPointF(cx + 3, cy - 1.5),
                                             QPointF(cx, cy + 2)}));
                    q.restore();
                });
            }};
}

ArtPicture CheckBox() {
    constexpr int w = 16;
    constexpr int h = 16;
    return {"ButtonCheckBox", w, h * kStates, [=](QPainter& p) {
                Strip(p, w, h * kStates, kStates, [&](QPainter& q, State s, const QRectF& r) {
                    const QRectF box = r.adjusted(1, 1, -1, -1);
                    q.save();
                    q.setRenderHint(QPainter::Antialiasing, true);
                    if (s == State::On) {
                        q.setPen(QPen(kAccentDeep, 1));
                        q.setBrush(kAccent);
                        q.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
                        QPen tick(QColor(0x1a, 0x12, 0x08), 1.8, Qt::SolidLine, Qt::RoundCap,
                                  Qt::RoundJoin);
                        q.setPen(tick);
                        q.setBrush(Qt::NoBrush);
                        q.drawPolyline(QPolygonF({QPointF(box.left() + 3.5, box.top() + 7.5),
                                                  QPointF(box.left() + 6, box.top() + 10),
                                                  QPointF(box.left() + 10.5, box.top() + 4)}));
                    } else {
                        q.setPen(QPen(s == State::Disabled ? QColor(0x30, 0x32, 0x36)
                                                           : QColor(0x5c, 0x61, 0x69),
                                      1));
                        q.setBrush(s == State::Disabled ? QColor(0x1e, 0x20, 0x23) : kWell);
                        q.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
                    }
                    q.restore();
                });
            }};
}

// Row 0 unlit, row 1 lit: green to amber to red segments.
ArtPicture VuMeter() {
    constexpr int w = 256;
    constexpr int h = 8;
    return {"VuMeterHorizontal", w, h * 2, [=](QPainter& p) {
                for (int row = 0; row < 2; ++row) {
                    const double y = row * h;
                    p.fillRect(QRectF(0, y, w, h), QColor(0x0e, 0x0f, 0x11));
                    for (int x = 1; x + 2 < w; x += 4) {
                        const double f = static_cast<double>(x) / w;
                        QColor c = f < 0.7    ? QColor(0x3c, 0xd6, 0x7c)
                                   : f < 0.88 ? QColor(0xff, 0xb0, 0x2e)
                                              : QColor(0xff, 0x4a, 0x3a);
                        if (row == 0) {
                            c = QColor(c.red() / 6 + 0x16, c.green() / 6 + 0x16,
                                       c.blue() / 6 + 0x16);
                        }
                        p.fillRect(QRectF(x, y + 1, 3, h - 2), c);
                    }
                }
            }};
}

// The colour of a waveform column, by row: bright at the centre line, deeper at the rims.
ArtPicture WaveColours() {
    constexpr int w = 4;
    constexpr int h = 200;
    return {"WaveGraphImage", w, h, [=](QPainter& p) {
                QLinearGradient g(QPointF(0, 0), QPointF(0, h));
                g.setColorAt(0, kAccentDeep);
                g.setColorAt(0.5, QColor(0xff, 0xc4, 0x7a));
                g.setColorAt(1, kAccentDeep);
                p.fillRect(QRectF(0, 0, w, h), g);
            }};
}

// Eight pad-assignment pictures: the instrument's 4 x 2 pads, lit by pattern.
ArtPicture PadPatterns() {
    constexpr int w = 96;
    constexpr int h = 64;
    constexpr int items = 8;
    // Brightness of pads 1-8 per pattern (0 dark to 3 full).
    static const int levels[items][8] = {
        {3, 3, 3, 3, 3, 3, 3, 3}, {3, 2, 1, 0, 3, 2, 1, 0}, {0, 1, 2, 3, 0, 1, 2, 3},
        {3, 3, 3, 3, 0, 0, 0, 0}, {3, 0, 3, 0, 0, 3, 0, 3}, {0, 3, 3, 0, 3, 0, 0, 3},
        {1, 2, 2, 1, 2, 3, 3, 2}, {3, 1, 1, 3, 3, 1, 1, 3},
    };
    return {
        "BitmapListPadPattern", w, h * items, [=](QPainter& p) {
            for (int item = 0; item < items; ++item) {
                const QRectF cell(0, item * h, w, h);
                p.fillRect(cell, kWell);
                p.fillRect(QRectF(0, item * h + h - 1, w, 1), kWellEdge);
                const double pad = 17;
                const double gap = 5;
                const double x0 = (w - (4 * pad + 3 * gap)) / 2;
                const double y0 = item * h + (h - (2 * pad + gap)) / 2;
                p.save();
                p.setRenderHint(QPainter::Antialiasing, true);
                for (int i = 0; i < 8; ++i) {
                    const QRectF r(x0 + (i % 4) * (pad + gap), y0 + (i / 4) * (pad + gap), pad,
                                   pad);
                    const int level = levels[item][i];
                    QColor c = level == 0 ? QColor(0x2a, 0x2d, 0x32)
                                          : QColor::fromHsv(kAccent.hue(), 200, 100 + level * 51);
                    p.setPen(QPen(level == 0 ? QColor(0x3a, 0x3e, 0x44) : kAccentDeep, 1));
                    p.setBrush(c);
                    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
                    if (item == 0) {
                        // Pattern Note: each pad plays a note.
                        p.setPen(Qt::NoPen);
                        p.setBrush(QColor(0x1a, 0x12, 0x08));
                        p.drawEllipse(QPointF(r.center().x() - 1.5, r.center().y() + 3), 2.6, 2.1);
                        p.fillRect(QRectF(r.center().x() + 0.6, r.top() + 4, 1.2, 8),
                                   QColor(0x1a, 0x12, 0x08));
                    }
                }
                p.restore();
            }
        }};
}

} // namespace

std::vector<ArtPicture> ControlPictures() {
    std::vector<ArtPicture> list;
    for (int i = 0; i < 4; ++i) {
        const QString letter(QChar('A' + i));
        list.push_back(SelectButton("ButtonBankSelect" + letter, letter, "BANK", 56, 36));
    }
    list.push_back(StepButton("ButtonDownSmall", false));
    list.push_back(StepButton("ButtonUpSmall", true));
    for (const QString& area : {QString("Program"), QString("Global")}) {
        list.push_back(ActionButton("Button" + area + "Receive", "RECEIVE", Icon::Receive));
        list.push_back(ActionButton("Button" + area + "Transmit", "TRANSMIT", Icon::Transmit));
        list.push_back(ActionButton("Button" + area + "Load", "LOAD", Icon::Open));
        list.push_back(ActionButton("Button" + area + "Save", "SAVE", Icon::Save));
    }
    list.push_back(ActionButton("ButtonSampleExport", "EXPORT", Icon::Export));
    list.push_back(ActionButton("ButtonSampleImport", "IMPORT", Icon::Import));
    list.push_back(ActionButton("ButtonSamplePreview", "PREVIEW", Icon::Play));
    list.push_back(ActionButton("ButtonSampleReceive", "RECEIVE", Icon::Receive));
    list.push_back(ActionButton("ButtonSampleWrite", "WRITE", Icon::Write));
    list.push_back(TextButton("ButtonSampleTap", "TAP", 48, 26));
    list.push_back(Tab("ButtonTabGlobalExtCtrl", "External Controller", 140, 26, 10));
    list.push_back(Tab("ButtonTabGlobalGlobal", "Global", 140, 26, 10));
    list.push_back(Tab("ButtonTabGlobalCcmap", "CC Map", 140, 26, 10));
    list.push_back(Tab("ButtonTabModeSampleLibrarian", "Sample Librarian", 150, 30, 11));
    list.push_back(Tab("ButtonTabModeProgramMemory", "Program Memory", 150, 30, 11));
    list.push_back(Tab("ButtonTabModeGlobal", "Global", 150, 30, 11));
    for (int i = 1; i <= 8; ++i) {
        list.push_back(
            SelectButton(QString("ButtonMemory%1").arg(i), QString::number(i), {}, 40, 40));
    }
    list.push_back(CheckBox());
    list.push_back(KeyButton("ButtonCcNumber", 64, 24));
    list.push_back(KeyButton("ButtonCcNumberPad", 100, 24));
    list.push_back(ToolButton("ButtonAllOpen", "OPEN", Icon::Open));
    list.push_back(ToolButton("ButtonAllSave", "SAVE", Icon::Save));
    list.push_back(ToolButton("ButtonAllReceive", "RECEIVE", Icon::Receive));
    list.push_back(ToolButton("ButtonAllTransmit", "TRANSMIT", Icon::Transmit));
    list.push_back(PadPatterns());
    list.push_back(VuMeter());
    list.push_back(WaveColours());
    list.push_back(NoButton());
    return list;
}
