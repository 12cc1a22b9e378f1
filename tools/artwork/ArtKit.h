#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <functional>

// The drawing kit of the editor's artwork: one palette and the few shapes every picture is made
// of (panels, wells, button faces, labels, icons). All coordinates are layout pixels; the caller
// scales the painter for the 2x set, so 1-pixel lines sit on half-pixel positions.
namespace art {

// Palette: graphite panels, light text, one amber accent.
inline const QColor kPageTop{0x26, 0x28, 0x2d};
inline const QColor kPageBottom{0x1b, 0x1d, 0x21};
inline const QColor kPanelTop{0x30, 0x33, 0x39};
inline const QColor kPanelBottom{0x29, 0x2c, 0x31};
inline const QColor kPanelEdge{0x12, 0x13, 0x15};
inline const QColor kHighlight{255, 255, 255, 22};
inline const QColor kWell{0x13, 0x15, 0x18};
inline const QColor kWellEdge{0x0b, 0x0c, 0x0e};
inline const QColor kText{0xdd, 0xe1, 0xe6};
inline const QColor kTextDim{0x8d, 0x94, 0x9d};
inline const QColor kTextOff{0x55, 0x5a, 0x61};
inline const QColor kAccent{0xff, 0x9f, 0x2e};
inline const QColor kAccentDeep{0xc8, 0x6a, 0x10};
inline const QColor kAccentGlow{0xff, 0x9f, 0x2e, 60};

// Button states in a strip, top to bottom.
enum class State { Normal = 0, On = 1, Disabled = 2 };

QFont UiFont(double pixelSize, bool bold = false, double letterSpacing = 0);

// Fills the whole picture with the page gradient.
void PageBackground(QPainter& p, const QRectF& r);
// A raised panel; with a title, drawn small and spaced at its top left.
void Panel(QPainter& p, const QRectF& r, const QString& title = {});
// A recessed field (value, pop-up, display).
void Well(QPainter& p, const QRectF& r, double radius = 3);
// A horizontal groove line across (x0..x1) at y.
void Groove(QPainter& p, double x0, double x1, double y);

// The face of a push button in the given state (raised, pressed/lit, disabled).
void ButtonFace(QPainter& p, const QRectF& r, State state, double radius = 4);
// The colour text and icons take on a face of that state.
QColor InkFor(State state);
// Text centred in a rectangle.
void Label(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
           const QColor& colour, int align = Qt::AlignCenter);
// A small status light (on = lit accent).
void Led(QPainter& p, const QPointF& centre, double radius, bool on, bool disabled);

// Icons, drawn into a square box with the given ink.
enum class Icon { Open, Save, Receive, Transmit, Import, Export, Play, Write };
void DrawIcon(QPainter& p, Icon icon, const QRectF& box, const QColor& ink);

// Draws `states` equal-height states stacked vertically over a w x h picture.
void Strip(QPainter& p, double w, double h, int states,
           const std::function<void(QPainter&, State, const QRectF&)>& draw);

} // namespace art
