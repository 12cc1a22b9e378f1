#include "ArtIcons.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextStream>
#include <cstdio>
#include <vector>

#include "ArtKit.h"

namespace {

// Every icon is drawn on a 256 x 256 canvas.
constexpr double kCanvas = 256;
const int kPngSizes[] = {16, 24, 32, 48, 64, 128, 256};

// A rounded rectangle (points empty) or a closed polygon, filled and optionally outlined.
struct Shape {
    QRectF rect;
    double radius = 0;
    std::vector<QPointF> points;
    QColor fill;
    QColor stroke = Qt::transparent;
    double strokeWidth = 0;
};

struct IconDef {
    QString context; // "apps" or "mimetypes"
    QString name;
    std::vector<Shape> shapes;
};

const QColor kBody{0x26, 0x2a, 0x30};
const QColor kPadOff{0x9a, 0xa4, 0xb0};
const QColor kPaper{0xee, 0xf0, 0xf3};
const QColor kPaperEdge{0x8d, 0x94, 0x9d};
const QColor kFold{0xc9, 0xce, 0xd5};
const QColor kLegacy{0x7a, 0x84, 0x90};

Shape Box(double x, double y, double w, double h, double radius, const QColor& fill) {
    Shape s;
    s.rect = QRectF(x, y, w, h);
    s.radius = radius;
    s.fill = fill;
    return s;
}

// The editor's mark, as the editor window draws it when the theme has no icon: a graphite pad
// with an amber rim and four pads, lit on the diagonal.
const QColor kMarkAccent{0xff, 0x8c, 0x1a};

std::vector<Shape> AppMark(double x, double y, double size) {
    std::vector<Shape> shapes;
    const double rim = size / 16;
    Shape body = Box(x + rim / 2, y + rim / 2, size - rim, size - rim, size / 6, kBody);
    body.stroke = kMarkAccent;
    body.strokeWidth = rim;
    shapes.push_back(body);
    const double cell = size / 4;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            shapes.push_back(Box(x + cell * (0.8 + column * 1.3), y + cell * (0.8 + row * 1.3),
                                 cell * 1.1, cell * 1.1, size / 32,
                                 row == column ? kMarkAccent : kPadOff));
        }
    }
    return shapes;
}

// What a file of each kind holds, drawn on the page of its document icon.
enum class Glyph { AllData, Global, Programs, Sample };

void AddGlyph(std::vector<Shape>& shapes, Glyph glyph, const QColor& accent) {
    const QRectF area(72, 112, 112, 96);
    switch (glyph) {
    case Glyph::AllData:
        for (const Shape& s : AppMark(area.x() + 8, area.y() - 4, 96)) {
            Shape tinted = s;
            if (tinted.fill == kMarkAccent) {
                tinted.fill = accent;
            }
            if (tinted.stroke == kMarkAccent) {
                tinted.stroke = accent;
            }
            shapes.push_back(tinted);
        }
        break;
    case Glyph::Global:
        // Three faders.
        for (int i = 0; i < 3; ++i) {
            const double x = area.x() + 16 + i * 36;
            shapes.push_back(Box(x + 6, area.y(), 8, area.height(), 4, kBody));
            shapes.push_back(Box(x - 4, area.y() + 12 + i * 26, 28, 16, 4, accent));
        }
        break;
    case Glyph::Programs:
        // Eight memories.
        for (int i = 0; i < 8; ++i) {
            shapes.push_back(Box(area.x() + 4 + (i % 4) * 28, area.y() + 16 + (i / 4) * 40, 20, 28,
                                 4, i == 0 ? accent : kBody));
        }
        break;
    case Glyph::Sample: {
        // A waveform.
        const double heights[] = {20, 44, 72, 96, 60, 84, 40, 64, 28, 12};
        for (int i = 0; i < 10; ++i) {
            const double h = heights[i];
            shapes.push_back(
                Box(area.x() + 4 + i * 11, area.center().y() - h / 2, 7, h, 3.5, accent));
        }
        break;
    }
    }
}

std::vector<Shape> Document(Glyph glyph, bool legacy) {
    std::vector<Shape> shapes;
    Shape page;
    page.points = {{48, 16}, {168, 16}, {216, 64}, {216, 240}, {48, 240}};
    page.fill = kPaper;
    page.stroke = kPaperEdge;
    page.strokeWidth = 6;
    shapes.push_back(page);
    Shape fold;
    fold.points = {{168, 16}, {216, 64}, {168, 64}};
    fold.fill = kFold;
    fold.stroke = kPaperEdge;
    fold.strokeWidth = 6;
    shapes.push_back(fold);
    // A band across the top names the family: amber for this instrument, grey for the
    // predecessor's files.
    shapes.push_back(Box(72, 72, 112, 16, 4, legacy ? kLegacy : art::kAccent));
    AddGlyph(shapes, glyph, legacy ? kLegacy : art::kAccent);
    return shapes;
}

std::vector<IconDef> Icons() {
    return {
        {"apps", "org.vesk.TalvexProEditor", AppMark(8, 8, 240)},
        {"mimetypes", "application-x-talvex-all-data", Document(Glyph::AllData, false)},
        {"mimetypes", "application-x-talvex-global", Document(Glyph::Global, false)},
        {"mimetypes", "application-x-talvex-programs", Document(Glyph::Programs, false)},
        {"mimetypes", "application-x-talvex-sample", Document(Glyph::Sample, false)},
        {"mimetypes", "application-x-talvex-legacy-all-data", Document(Glyph::AllData, true)},
        {"mimetypes", "application-x-talvex-legacy-global", Document(Glyph::Global, true)},
        {"mimetypes", "application-x-talvex-legacy-sample", Document(Glyph::Sample, true)},
    };
}

QString SvgColour(const QColor& colour) {
    return colour.alpha() == 0 ? QStringLiteral("none") : colour.name(QColor::HexRgb);
}

QString Number(double value) {
    return QString::number(value, 'g', 6);
}

QString Svg(const IconDef& icon) {
    QString text;
    QTextStream out(&text);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kCanvas << "\" height=\""
        << kCanvas << "\" viewBox=\"0 0 " << kCanvas << ' ' << kCanvas << "\">\n";
    for (const Shape& s : icon.shapes) {
        QString paint = QString(" fill=\"%1\"").arg(SvgColour(s.fill));
        if (s.strokeWidth > 0) {
            paint += QString(" stroke=\"%1\" stroke-width=\"%2\" stroke-linejoin=\"round\"")
                         .arg(SvgColour(s.stroke), Number(s.strokeWidth));
        }
        if (s.points.empty()) {
            out << "  <rect x=\"" << Number(s.rect.x()) << "\" y=\"" << Number(s.rect.y())
                << "\" width=\"" << Number(s.rect.width()) << "\" height=\""
                << Number(s.rect.height()) << "\" rx=\"" << Number(s.radius) << '"' << paint
                << "/>\n";
        } else {
            out << "  <polygon points=\"";
            for (size_t i = 0; i < s.points.size(); ++i) {
                out << (i ? " " : "") << Number(s.points[i].x()) << ',' << Number(s.points[i].y());
            }
            out << '"' << paint << "/>\n";
        }
    }
    out << "</svg>\n";
    return text;
}

QImage Png(const IconDef& icon, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kCanvas, size / kCanvas);
    for (const Shape& s : icon.shapes) {
        p.setBrush(s.fill);
        if (s.strokeWidth > 0) {
            QPen pen(s.stroke, s.strokeWidth);
            pen.setJoinStyle(Qt::RoundJoin);
            p.setPen(pen);
        } else {
            p.setPen(Qt::NoPen);
        }
        if (s.points.empty()) {
            p.drawRoundedRect(s.rect, s.radius, s.radius);
        } else {
            p.drawPolygon(QPolygonF(QList<QPointF>(s.points.begin(), s.points.end())));
        }
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

bool WriteIcons(const QString& dir) {
    for (const IconDef& icon : Icons()) {
        const QString svgDir = dir + "/scalable/" + icon.context;
        QDir().mkpath(svgDir);
        QFile svg(svgDir + "/" + icon.name + ".svg");
        if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            svg.write(Svg(icon).toUtf8()) < 0) {
            std::fprintf(stderr, "talvex-artwork: cannot write %s\n", qPrintable(svg.fileName()));
            return false;
        }
        for (int size : kPngSizes) {
            const QString pngDir = dir + QString("/%1x%1/").arg(size) + icon.context;
            QDir().mkpath(pngDir);
            const QString path = pngDir + "/" + icon.name + ".png";
            if (!Png(icon, size).save(path)) {
                std::fprintf(stderr, "talvex-artwork: cannot write %s\n", qPrintable(path));
                return false;
            }
        }
    }
    return true;
}
