#pragma once

#include <QImage>
#include <QString>
#include <vector>

// One bitmap font: 128 glyph cells stacked vertically, white on transparent, with its table.
struct ArtFont {
    QString pictureName;
    int lineHeight;
    std::vector<int> widths; // 128 advance widths, layout pixels
    QImage images[2];        // 1x and 2x
};

// Renders the three bitmap fonts from DejaVu Sans.
std::vector<ArtFont> RenderFonts();
// The table file "<picture>.font": line height, glyph height, the 128 widths.
QString FontTable(const ArtFont& font);
