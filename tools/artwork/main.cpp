// talvex-artwork: draws the editor's pictures and bitmap fonts at 1x and 2x.
// Usage: talvex-artwork RESOURCES_DIR [--sheet CONTACT_SHEET.png]
//        talvex-artwork --icons ICONS_DIR
// Writes RESOURCES_DIR/images/<name>.png and <name>@2x.png, and the fonts' pictures and tables
// under RESOURCES_DIR/fonts. Runs on Qt's offscreen platform; needs DejaVu Sans.
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QTextStream>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <map>
#include <png.h>
#include <vector>

#include "ArtCatalogue.h"
#include "ArtFonts.h"
#include "ArtIcons.h"
#include "ArtKit.h"
#include "ArtMockups.h"

namespace {

QImage Render(const ArtPicture& picture, int scale) {
    QImage image(picture.width * scale, picture.height * scale,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(scale, scale);
    picture.draw(p);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Written with libpng without row filters: the pictures are smooth and compress as well
// unfiltered, and unfiltered rows decode about twice as fast when the editor starts.
bool Save(const QImage& source, const QString& path) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file) {
        std::fprintf(stderr, "talvex-artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<uint8_t> row(static_cast<size_t>(image.width()) * 4);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        std::fprintf(stderr, "talvex-artwork: cannot encode %s\n", qPrintable(path));
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, image.width(), image.height(), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            row[x * 4 + 0] = static_cast<uint8_t>(qRed(pixels[x]));
            row[x * 4 + 1] = static_cast<uint8_t>(qGreen(pixels[x]));
            row[x * 4 + 2] = static_cast<uint8_t>(qBlue(pixels[x]));
            row[x * 4 + 3] = static_cast<uint8_t>(qAlpha(pixels[x]));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

// Every 2x picture on one sheet, each with its name, for reviewing the set at a glance.
QImage ContactSheet(const std::vector<std::pair<QString, QImage>>& items) {
    const int width = 2900;
    const int gap = 24;
    int x = gap;
    int y = gap;
    int rowHeight = 0;
    std::vector<QPoint> places;
    for (const auto& [name, image] : items) {
        if (x + image.width() > width - gap) {
            x = gap;
            y += rowHeight + gap + 20;
            rowHeight = 0;
        }
        places.emplace_back(x, y);
        x += std::max(image.width(), 180) + gap;
        rowHeight = std::max(rowHeight, image.height());
    }
    QImage sheet(width, y + rowHeight + gap + 20, QImage::Format_ARGB32);
    sheet.fill(QColor(0x50, 0x53, 0x58));
    QPainter p(&sheet);
    p.setFont(art::UiFont(13));
    for (size_t i = 0; i < items.size(); ++i) {
        p.setPen(Qt::white);
        p.drawText(places[i] + QPoint(0, 14), items[i].first);
        p.drawImage(places[i] + QPoint(0, 20), items[i].second);
    }
    return sheet;
}

// Sample lines set with a bitmap font the way the editor's controls set them: glyph cells
// copied side by side at their advance widths, tinted. The 1x lines are shown enlarged 2x
// without smoothing, next to the 2x lines, to judge both sets.
QImage Specimen(const ArtFont& font) {
    const QStringList lines = {"[L.000]  Pulse Verb", "Loop Recorder Bank A  C  -1  D# 4",
                               "Phrase Play Level 127 +3 -12", "0123456789 120.0 BPM",
                               QString("Symbols ") + QChar(16) + QChar(17) + QChar(18) + QChar(19) +
                                   QChar(20) + QChar(21) + QChar(22)};
    const int lineHeight = font.lineHeight;
    QImage sheet(900, (lines.size() * lineHeight + 8) * 2, QImage::Format_ARGB32);
    sheet.fill(QColor(0x13, 0x15, 0x18));
    QPainter p(&sheet);
    for (int scale = 1; scale <= 2; ++scale) {
        QImage tinted = font.images[scale - 1].convertToFormat(QImage::Format_ARGB32_Premultiplied);
        {
            QPainter t(&tinted);
            t.setCompositionMode(QPainter::CompositionMode_SourceIn);
            t.fillRect(tinted.rect(),
                       scale == 1 ? QColor(0xdd, 0xe1, 0xe6) : QColor(0xff, 0x9f, 0x2e));
        }
        const int left = scale == 1 ? 8 : 450;
        for (int l = 0; l < lines.size(); ++l) {
            int x = 0;
            for (QChar ch : lines[l]) {
                const int c = ch.unicode() & 0x7f;
                const int w = font.widths[c];
                const QRect source(0, c * lineHeight * scale, w * scale, lineHeight * scale);
                // Both sets are shown at 2 device pixels per layout pixel.
                const QRect target(left + x * 2, 8 + l * lineHeight * 2, w * 2, lineHeight * 2);
                p.drawImage(target, tinted, source);
                x += w;
            }
        }
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: talvex-artwork RESOURCES_DIR [--sheet FILE.png]\n"
                             "       talvex-artwork --icons ICONS_DIR\n");
        return 2;
    }
    // The desktop icons (application and file types) are flat shapes and need no fonts.
    if (QString(argv[1]) == "--icons") {
        if (argc < 3) {
            std::fprintf(stderr, "usage: talvex-artwork --icons ICONS_DIR\n");
            return 2;
        }
        return WriteIcons(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QString sheetPath;
    if (argc >= 4 && QString(argv[2]) == "--sheet") {
        sheetPath = QString::fromLocal8Bit(argv[3]);
    }
    const char* fontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    const char* boldFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    if (QFontDatabase::addApplicationFont(fontFile) < 0) {
        std::fprintf(stderr, "talvex-artwork: %s is missing (package fonts-dejavu-core)\n",
                     fontFile);
        return 1;
    }
    QFontDatabase::addApplicationFont(boldFile);
    QDir().mkpath(out + "/images");
    QDir().mkpath(out + "/fonts");

    std::vector<std::pair<QString, QImage>> sheet;
    std::map<QString, QImage> drawn;
    std::vector<ArtPicture> pictures = BackgroundPictures();
    for (ArtPicture& picture : ControlPictures()) {
        pictures.push_back(std::move(picture));
    }
    for (const ArtPicture& picture : pictures) {
        for (int scale = 1; scale <= 2; ++scale) {
            const QImage image = Render(picture, scale);
            const QString suffix = scale == 2 ? "@2x" : "";
            if (!Save(image, out + "/images/" + picture.name + suffix + ".png")) {
                return 1;
            }
            if (scale == 2) {
                sheet.emplace_back(picture.name, image);
                drawn[picture.name] = image;
            }
        }
    }
    const std::vector<ArtFont> fonts = RenderFonts();
    for (const ArtFont& font : fonts) {
        if (!Save(font.images[0], out + "/fonts/" + font.pictureName + ".png") ||
            !Save(font.images[1], out + "/fonts/" + font.pictureName + "@2x.png")) {
            return 1;
        }
        QFile table(out + "/fonts/" + font.pictureName + ".font");
        if (!table.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "talvex-artwork: cannot write %s\n", qPrintable(table.fileName()));
            return 1;
        }
        QTextStream(&table) << FontTable(font);
        // The sheet shows the glyph column cut into four for a readable overview.
        const QImage& glyphs = font.images[1];
        const int quarter = glyphs.height() / 4;
        QImage panel(glyphs.width() * 4 + 30, quarter, QImage::Format_ARGB32);
        panel.fill(QColor(0x20, 0x22, 0x25));
        QPainter p(&panel);
        for (int i = 0; i < 4; ++i) {
            p.drawImage(i * (glyphs.width() + 10), 0,
                        glyphs.copy(0, i * quarter, glyphs.width(), quarter));
        }
        p.end();
        sheet.emplace_back(font.pictureName, panel);
        sheet.emplace_back(font.pictureName + " specimen (1x enlarged | 2x)", Specimen(font));
    }
    if (!sheetPath.isEmpty()) {
        std::vector<std::pair<QString, QImage>> previews = Mockups(drawn, fonts);
        for (size_t i = 0; i < previews.size(); ++i) {
            const QString path = QString(sheetPath).replace(".png", QString("-page%1.png").arg(i));
            if (!Save(previews[i].second, path)) {
                return 1;
            }
        }
        previews.insert(previews.end(), sheet.begin(), sheet.end());
        if (!Save(ContactSheet(previews), sheetPath)) {
            return 1;
        }
    }
    return 0;
}
