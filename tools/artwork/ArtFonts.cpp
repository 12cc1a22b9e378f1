// The three bitmap fonts, drawn from DejaVu Sans with the fixed widths the editor relies on:
// space 4, control codes 11 (12 in the 13-pixel font), symbols at 16-22 in the 13-pixel font,
// fixed-width seven-segment digits in the "with 7 seg" variant.
#include "ArtFonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

constexpr int kGlyphs = 128;

struct FontSpec {
    QString pictureName;
    int cellWidth;
    int lineHeight;
    int pixelSize;
    int baseline;
    bool symbols;
    bool sevenSegment;
};

bool IsControl(int c) {
    return c < 32 || c == 127;
}

// Symbols of the 13-pixel font at codes 16-22 with their widths.
constexpr int kSymbolWidths[7] = {8, 9, 8, 9, 7, 9, 5};

void DrawSymbol(QPainter& p, int code, double top) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const double cy = top + 6.5;
    switch (code) {
    case 16: // up
        p.drawPolygon(QPolygonF({QPointF(0.5, cy + 3), QPointF(7.5, cy + 3), QPointF(4, cy - 3)}));
        break;
    case 17: // right (play)
        p.drawPolygon(QPolygonF({QPointF(1.5, cy - 4), QPointF(8, cy), QPointF(1.5, cy + 4)}));
        break;
    case 18: // down
        p.drawPolygon(QPolygonF({QPointF(0.5, cy - 3), QPointF(7.5, cy - 3), QPointF(4, cy + 3)}));
        break;
    case 19: // left
        p.drawPolygon(QPolygonF({QPointF(7.5, cy - 4), QPointF(1, cy), QPointF(7.5, cy + 4)}));
        break;
    case 20: // eighth note
        p.drawEllipse(QPointF(2.6, cy + 3), 2.1, 1.7);
        p.fillRect(QRectF(4, cy - 5, 1, 8), Qt::white);
        p.drawPolygon(QPolygonF({QPointF(4, cy - 5), QPointF(6.8, cy - 2.2), QPointF(6.8, cy - 0.8),
                                 QPointF(4, cy - 3)}));
        break;
    case 21: // stop
        p.drawRect(QRectF(1, cy - 3.5, 7, 7));
        break;
    case 22: // bullet
        p.drawEllipse(QPointF(2.5, cy), 1.6, 1.6);
        break;
    }
    p.restore();
}

// A seven-segment digit in an 8-pixel cell, segments one layout pixel thick.
void DrawSevenSegment(QPainter& p, int digit, double top) {
    static const char* segments[10] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                       "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};
    auto seg = [&](char s) {
        switch (s) {
        case 'a':
            return QRectF(2, top + 1, 4, 1);
        case 'b':
            return QRectF(6, top + 2, 1, 3);
        case 'c':
            return QRectF(6, top + 6, 1, 3);
        case 'd':
            return QRectF(2, top + 9, 4, 1);
        case 'e':
            return QRectF(1, top + 6, 1, 3);
        case 'f':
            return QRectF(1, top + 2, 1, 3);
        default:
            return QRectF(2, top + 5, 4, 1);
        }
    };
    for (const char* s = segments[digit]; *s; ++s) {
        p.fillRect(seg(*s), Qt::white);
    }
}

ArtFont Render(const FontSpec& spec, const ArtFont* base) {
    ArtFont font;
    font.pictureName = spec.pictureName;
    font.lineHeight = spec.lineHeight;
    QFont face("DejaVu Sans");
    face.setPixelSize(spec.pixelSize);
    face.setHintingPreference(QFont::PreferFullHinting);
    const QFontMetricsF metrics(face);
    const int controlWidth = spec.cellWidth;
    font.widths.resize(kGlyphs);
    for (int c = 0; c < kGlyphs; ++c) {
        int width;
        if (IsControl(c)) {
            width = spec.symbols && c >= 16 && c <= 22 ? kSymbolWidths[c - 16] : controlWidth;
        } else if (c == ' ') {
            width = 4;
        } else if (spec.sevenSegment && c >= '0' && c <= '9') {
            width = 8;
        } else if (base) {
            width = base->widths[c];
        } else {
            width = std::clamp(qRound(metrics.horizontalAdvance(QChar(c))), 2, spec.cellWidth);
        }
        font.widths[c] = width;
    }
    for (int scale = 1; scale <= 2; ++scale) {
        QImage image(spec.cellWidth * scale, kGlyphs * spec.lineHeight * scale,
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.scale(scale, scale);
        p.setFont(face);
        p.setPen(Qt::white);
        for (int c = 0; c < kGlyphs; ++c) {
            const double top = c * spec.lineHeight;
            p.save();
            // Ink stays inside the glyph's advance, so neighbours never overlap.
            p.setClipRect(QRectF(0, top, font.widths[c], spec.lineHeight));
            if (spec.symbols && c >= 16 && c <= 22) {
                DrawSymbol(p, c, top);
            } else if (spec.sevenSegment && c >= '0' && c <= '9') {
                DrawSevenSegment(p, c - '0', top);
            } else if (!IsControl(c) && c != ' ') {
                const double advance = metrics.horizontalAdvance(QChar(c));
                // Glyphs narrower in the table than in the face are centred in their cell.
                // Glyphs reaching left of their origin (j) move right by that much.
                const double x =
                    std::max({0.0, (font.widths[c] - advance) / 2, -metrics.leftBearing(QChar(c))});
                p.drawText(QPointF(std::round(x), top + spec.baseline), QString(QChar(c)));
            }
            p.restore();
        }
        p.end();
        font.images[scale - 1] = image.convertToFormat(QImage::Format_ARGB32);
    }
    return font;
}

} // namespace

std::vector<ArtFont> RenderFonts() {
    std::vector<ArtFont> fonts;
    fonts.push_back(Render({"TrebuchetMS12P", 11, 12, 10, 9, false, false}, nullptr));
    fonts.push_back(Render({"TrebuchetMS13P", 12, 13, 11, 10, true, false}, nullptr));
    fonts.push_back(Render({"TrebuchetMS12with7Seg", 11, 12, 10, 9, false, true}, &fonts[0]));
    return fonts;
}

QString FontTable(const ArtFont& font) {
    QString text = QString("# %1: line height, glyph height, then the advance widths of codes "
                           "0-127 (layout pixels)\n%2 %2\n")
                       .arg(font.pictureName)
                       .arg(font.lineHeight);
    for (int c = 0; c < kGlyphs; ++c) {
        text += QString::number(font.widths[c]);
        text += (c % 16 == 15) ? "\n" : " ";
    }
    return text;
}
