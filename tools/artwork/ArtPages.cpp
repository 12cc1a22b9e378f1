// Backgrounds: toolbar, pages, Global tabs, about window. The positions here are the layout
// that resources/README.md documents for the pages.
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include "ArtCatalogue.h"
#include "ArtKit.h"

using namespace art;

namespace {

constexpr int kPageW = 700;
constexpr int kPageH = 439;
constexpr int kTabAreaH = 358;

// The header band of a page: title at the left, room for four 84 x 26 buttons at the right.
void Header(QPainter& p, const QString& title) {
    QLinearGradient g(QPointF(0, 0), QPointF(0, 36));
    g.setColorAt(0, QColor(0x2d, 0x30, 0x35));
    g.setColorAt(1, QColor(0x27, 0x29, 0x2e));
    p.fillRect(QRectF(0, 0, kPageW, 36), g);
    Groove(p, 0, kPageW, 36);
    p.fillRect(QRectF(16, 11, 3, 14), kAccent);
    Label(p, QRectF(26, 0, 300, 36), title, UiFont(12, true, 1.6), kText,
          Qt::AlignLeft | Qt::AlignVCenter);
}

void Caption(QPainter& p, double x, double y, const QString& text, int align = Qt::AlignLeft,
             double w = 160) {
    const double left = align == Qt::AlignHCenter ? x - w / 2 : x;
    Label(p, QRectF(left, y, w, 12), text, UiFont(8, true, 1.0), kTextDim,
          align | Qt::AlignVCenter);
}

ArtPicture Toolbar() {
    return {"BG_MainToolBar", kPageW, 87, [](QPainter& p) {
                QLinearGradient g(QPointF(0, 0), QPointF(0, 87));
                g.setColorAt(0, QColor(0x31, 0x34, 0x3a));
                g.setColorAt(0.62, QColor(0x25, 0x28, 0x2c));
                g.setColorAt(1, QColor(0x1f, 0x21, 0x25));
                p.fillRect(QRectF(0, 0, kPageW, 87), g);
                p.fillRect(QRectF(0, 0, kPageW, 1), kHighlight);
                // Wordmark.
                const QFont mark = UiFont(21, true, 1.5);
                const double markW = QFontMetricsF(mark).horizontalAdvance("TALVEX");
                Label(p, QRectF(18, 8, 200, 28), "TALVEX", mark, kText,
                      Qt::AlignLeft | Qt::AlignVCenter);
                Label(p, QRectF(18 + markW + 7, 8, 100, 28), "PRO+", mark, kAccent,
                      Qt::AlignLeft | Qt::AlignVCenter);
                Label(p, QRectF(19, 36, 300, 12), "PHRASE SYNTHESIZER EDITOR", UiFont(8, true, 2.2),
                      kTextDim, Qt::AlignLeft | Qt::AlignVCenter);
                // The well holding the four command buttons.
                Well(p, QRectF(440, 3, 254, 50), 6);
                // The line the page tabs stand on.
                p.fillRect(QRectF(0, 86, kPageW, 1), kPanelEdge);
            }};
}

ArtPicture ProgramMemory() {
    return {"BG_ProgramMemoryEdit", kPageW, kPageH, [](QPainter& p) {
                PageBackground(p, QRectF(0, 0, kPageW, kPageH));
                Header(p, "PROGRAM MEMORY");
                Caption(p, 16, 42, "MEMORY");
                Caption(p, 72, 42, "PROGRAM");
                Caption(p, 392, 42, "SCALE");
                Caption(p, 532, 42, "KEY");
                Caption(p, 612, 42, "RANGE");
                for (int i = 0; i < 8; ++i) {
                    const double y = 60 + i * 46;
                    Panel(p, QRectF(10, y - 3, 680, 46));
                    Well(p, QRectF(64, y, 318, 40), 4);
                }
            }};
}

ArtPicture SampleLibrarian() {
    return {"BG_SampleLibrarian", kPageW, kPageH, [](QPainter& p) {
                PageBackground(p, QRectF(0, 0, kPageW, kPageH));
                Header(p, "SAMPLE LIBRARIAN");
                // Meters beside the bank buttons.
                Well(p, QRectF(292, 45, 296, 34), 4);
                Label(p, QRectF(298, 48, 16, 12), "L", UiFont(8, true), kTextDim);
                Label(p, QRectF(298, 63, 16, 12), "R", UiFont(8, true), kTextDim);
                // Waveform display with faint grid lines.
                Well(p, QRectF(16, 90, 668, 204), 4);
                for (int i = 1; i < 8; ++i) {
                    p.fillRect(QRectF(18 + i * 83, 92, 1, 200), QColor(255, 255, 255, 9));
                }
                p.fillRect(QRectF(18, 192, 664, 1), QColor(255, 255, 255, 12));
                Panel(p, QRectF(16, 304, 216, 124), "TEMPO");
                Panel(p, QRectF(240, 304, 260, 124), "PHRASE");
                Panel(p, QRectF(508, 304, 176, 124), "OUTPUT");
            }};
}

// The Global page: header with the tab row; the tab layers cover y 81 to 439.
ArtPicture GlobalCommon() {
    return {"BG_GlobalEditCommon", kPageW, kPageH, [](QPainter& p) {
                PageBackground(p, QRectF(0, 0, kPageW, kPageH));
                Header(p, "GLOBAL");
                p.fillRect(QRectF(0, 80, kPageW, 1), kPanelEdge);
            }};
}

ArtPicture GlobalTab() {
    return {"BG_GlobalEdit", kPageW, kTabAreaH, [](QPainter& p) {
                PageBackground(p, QRectF(0, 0, kPageW, kTabAreaH));
                Panel(p, QRectF(16, 12, 326, 146), "PAD & DISPLAY");
                Panel(p, QRectF(358, 12, 326, 146), "CLOCK & PERFORMANCE");
                Panel(p, QRectF(16, 170, 326, 84), "MIDI");
                Panel(p, QRectF(358, 170, 326, 84), "MIDI FILTER");
                for (int r = 0; r < 4; ++r) {
                }
            }};
}

ArtPicture CcMapTab() {
    return {"BG_GlobalCcmapEdit", kPageW, kTabAreaH, [](QPainter& p) {
                PageBackground(p, QRectF(0, 0, kPageW, kTabAreaH));
                Panel(p, QRectF(16, 12, 668, 334), "CC MAP");
                for (int column = 0; column < 2; ++column) {
                    const double x = column == 0 ? 28 : 364;
                    Caption(p, x, 32, "ON");
                    Caption(p, x + 28, 32, "CONTROL");
                    Caption(p, x + 200, 32, "CC #");
                    const int rows = column == 0 ? 6 : 5;
                    for (int r = 0; r < rows; ++r) {
                        const double y = 48 + r * 40;
                        if (r + 1 < rows) {
                            Groove(p, x, x + 308, y + 30);
                        }
                    }
                }
                p.fillRect(QRectF(349, 34, 1, 290), kPanelEdge);
                p.fillRect(QRectF(350, 34, 1, 290), kHighlight);
            }};
}

ArtPicture ExtCtrlList() {
    return {"BG_ExtCtrlEdit", 360, kTabAreaH, [](QPainter& p) {
                PageBackground(p, QRectF(0, 0, 360, kTabAreaH));
                Panel(p, QRectF(8, 4, 344, 244), "SWITCHES & SLIDERS");
                static const char* left[] = {"BANK A",   "BANK B", "BANK C",    "BANK D",
                                             "GATE ARP", "VOLUME", "TIME/SPEED"};
                for (int r = 0; r < 8; ++r) {
                    const double y = 28 + r * 27;
                    if (r < 7) {
                        Caption(p, 16, y + 6, left[r], Qt::AlignRight, 80);
                    }
                    Caption(p, 184, y + 6, QString("MEMORY %1").arg(r + 1), Qt::AlignRight, 80);
                }
                p.fillRect(QRectF(176, 30, 1, 210), kPanelEdge);
                p.fillRect(QRectF(177, 30, 1, 210), kHighlight);
                Panel(p, QRectF(8, 254, 344, 100), "PADS");
                Caption(p, 130, 282, "PAD PATTERN");
                Well(p, QRectF(245, 275, 98, 66), 3);
            }};
}

ArtPicture ExtCtrlParameters() {
    return {"BG_ExtCtrlParamEdit", 340, kTabAreaH, [](QPainter& p) {
                PageBackground(p, QRectF(0, 0, 340, kTabAreaH));
                Panel(p, QRectF(4, 6, 328, 346));
                // The title display naming the selected controller.
                Well(p, QRectF(14, 14, 308, 30), 4);
                p.fillRect(QRectF(16, 20, 2, 18), kAccent);
                // Ten 30-pixel rows from y 52: every parameter layer sets one control per row.
                for (int r = 0; r < 10; ++r) {
                    if (r % 2 == 1) {
                        p.fillRect(QRectF(10, 52 + r * 30, 316, 30), QColor(0, 0, 0, 28));
                    }
                }
            }};
}

ArtPicture About() {
    return {"BG_About", 300, 300, [](QPainter& p) {
                QRadialGradient g(QPointF(150, 96), 240);
                g.setColorAt(0, QColor(0x34, 0x37, 0x3e));
                g.setColorAt(1, QColor(0x17, 0x18, 0x1b));
                p.fillRect(QRectF(0, 0, 300, 300), g);
                // The instrument's eight pads as the emblem.
                p.save();
                p.setRenderHint(QPainter::Antialiasing, true);
                for (int i = 0; i < 8; ++i) {
                    const QRectF r(90 + (i % 4) * 31, 44 + (i / 4) * 31, 26, 26);
                    const bool lit = i == 1 || i == 2 || i == 4 || i == 7;
                    p.setPen(QPen(lit ? kAccentDeep : QColor(0x44, 0x48, 0x4f), 1));
                    p.setBrush(lit ? kAccent : QColor(0x2b, 0x2e, 0x33));
                    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
                }
                p.restore();
                const QFont big = UiFont(22, true, 1.0);
                const QFont light = UiFont(22, false, 0.5);
                const QFontMetricsF bigMetrics(big);
                const QString name = "TALVEX PRO+";
                const double nameW = bigMetrics.horizontalAdvance(name);
                const double editorW = QFontMetricsF(light).horizontalAdvance(" Editor");
                const double x = (300 - nameW - editorW) / 2;
                Label(p, QRectF(x, 128, nameW + 2, 32), name, big, kText,
                      Qt::AlignLeft | Qt::AlignVCenter);
                Label(p, QRectF(x + nameW, 128, editorW + 2, 32), " Editor", light, kAccent,
                      Qt::AlignLeft | Qt::AlignVCenter);
                Groove(p, 60, 240, 172);
                Label(p, QRectF(0, 184, 300, 12), "VERSION", UiFont(8, true, 2.0), kTextDim);
                Label(p, QRectF(0, 270, 300, 12), "\u00A9 VESK", UiFont(8, false, 1.0), kTextOff);
            }};
}

} // namespace

std::vector<ArtPicture> BackgroundPictures() {
    return {About(),         SampleLibrarian(), ExtCtrlList(), ExtCtrlParameters(),
            ProgramMemory(), GlobalCommon(),    GlobalTab(),   CcMapTab(),
            Toolbar()};
}
