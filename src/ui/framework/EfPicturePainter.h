#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <string_view>

struct CEfFontInfo;
struct CEfImage;
class QPainter;

// Where a text sits inside its box.
enum class EfTextAlign { kLeft, kCenter, kRight };

// Drawing from the editor's pictures and bitmap fonts. Each CEfImage is converted to a QImage
// once (with its device-pixel ratio, so a 2x picture stays crisp in a 1x layout rectangle) and
// cached; an opaque picture is drawn straight from its own buffer. ForgetPicture drops the
// cached conversion of a picture that is freed.
namespace ef {

// The cached QImage of a picture (devicePixelRatio = picture scale).
const QImage& PictureImage(const CEfImage& picture);
// Drops cached conversions of a picture (and its tinted copies).
void ForgetPicture(const CEfImage* picture);

// Layout height of one state of a strip of `states` stacked pictures.
int StripStateHeight(const CEfImage& picture, int states = 3);
// Draws state `state` of a strip of `states` stacked pictures with its top-left at `at`.
void DrawStripState(QPainter& painter, const CEfImage& picture, int state, QPoint at,
                    int states = 3);
// Draws the layout rectangle `source` of a picture into `target` (layout pixels both).
void DrawPicturePart(QPainter& painter, const CEfImage& picture, const QRect& source,
                     const QRect& target);

// Width of text in the font, from its advance widths.
int TextWidth(const CEfFontInfo& font, std::string_view text);
// Draws text with its top-left at `at`, glyphs tinted with `color`.
void DrawText(QPainter& painter, const CEfFontInfo& font, QPoint at, std::string_view text,
              const QColor& color);
// Draws text inside `box`: aligned horizontally, centred vertically by the glyph height, clipped
// to the box.
void DrawTextIn(QPainter& painter, const CEfFontInfo& font, const QRect& box, std::string_view text,
                const QColor& color, EfTextAlign align);

// The colours the controls use.
QColor TextColor();
QColor DisabledTextColor();
QColor FocusColor();

} // namespace ef
