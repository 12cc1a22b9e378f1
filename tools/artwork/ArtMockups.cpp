#include "ArtMockups.h"

#include <QPainter>
#include <cmath>

namespace {

constexpr int kScale = 2;

class Canvas {
public:
    Canvas(const std::map<QString, QImage>& pictures, const std::vector<ArtFont>& fonts)
        : pictures_(pictures), fonts_(fonts),
          image_(700 * kScale, 526 * kScale, QImage::Format_ARGB32_Premultiplied) {
        image_.fill(Qt::black);
        p_.begin(&image_);
    }

    // Draws state `state` of a picture of `states` stacked states at layout (x, y).
    void Put(const QString& name, double x, double y, int state = 0, int states = 1) {
        const QImage& picture = pictures_.at(name);
        const int h = picture.height() / states;
        p_.drawImage(QPointF(x * kScale, y * kScale), picture,
                     QRect(0, state * h, picture.width(), h));
    }
    void Button(const QString& name, double x, double y, int state = 0) {
        Put(name, x, y, state, 3);
    }

    // Sets text with bitmap font `font` (0 12P, 1 13P, 2 7-seg), its top-left at (x, y).
    void Text(int font, double x, double y, const QString& text, const QColor& colour) {
        const ArtFont& f = fonts_[font];
        QImage glyphs = f.images[1].convertToFormat(QImage::Format_ARGB32_Premultiplied);
        {
            QPainter t(&glyphs);
            t.setCompositionMode(QPainter::CompositionMode_SourceIn);
            t.fillRect(glyphs.rect(), colour);
        }
        double cursor = x;
        for (QChar ch : text) {
            const int c = ch.unicode() & 0x7f;
            p_.drawImage(
                QPointF(cursor * kScale, y * kScale), glyphs,
                QRect(0, c * f.lineHeight * kScale, f.widths[c] * kScale, f.lineHeight * kScale));
            cursor += f.widths[c];
        }
    }
    // Text centred vertically in a field of height h.
    void FieldText(int font, double x, double y, double h, const QString& text,
                   const QColor& colour = QColor(0xdd, 0xe1, 0xe6)) {
        Text(font, x, y + std::floor((h - fonts_[font].lineHeight) / 2), text, colour);
    }
    // The box the editor's field controls paint behind their text.
    void Box(double x, double y, double w, double h) {
        const QRect r(x * kScale, y * kScale, w * kScale, h * kScale);
        p_.fillRect(r, QColor(0x16, 0x18, 0x1b));
        p_.fillRect(QRect(r.left(), r.top(), r.width(), kScale), QColor(0x3c, 0x42, 0x48));
        p_.fillRect(QRect(r.left(), r.bottom() - kScale + 1, r.width(), kScale),
                    QColor(0x3c, 0x42, 0x48));
        p_.fillRect(QRect(r.left(), r.top(), kScale, r.height()), QColor(0x3c, 0x42, 0x48));
        p_.fillRect(QRect(r.right() - kScale + 1, r.top(), kScale, r.height()),
                    QColor(0x3c, 0x42, 0x48));
    }
    // A pop-up as the editor's control draws it: as high as its marker (16 at least), the
    // field box left of the marker, text from box x + 3.
    void Popup(double x, double y, double w, const QString& text, const QString& marker,
               int font = 0) {
        const QImage& m = pictures_.at(marker);
        const double mw = m.width() / kScale;
        const double mh = m.height() / kScale / 3;
        const double h = std::max(mh, 16.0);
        Box(x, y, w - mw - 1, h);
        FieldText(font, x + 3, y, h, text);
        Button(marker, x + w - mw, y + (h - mh) / 2);
    }
    // A value control: up and down buttons stacked at its right end, the value centred in the
    // box left of them.
    void Value(double x, double y, double w, const QString& text, int font = 0,
               const QColor& colour = QColor(0xdd, 0xe1, 0xe6)) {
        const double h = 20;
        Box(x, y, w - 18, h);
        FieldText(font, x + (w - 18 - Width(font, text)) / 2, y, h, text, colour);
        Button("ButtonUpSmall", x + w - 16, y);
        Button("ButtonDownSmall", x + w - 16, y + 10);
    }
    int Width(int font, const QString& text) const {
        int w = 0;
        for (QChar ch : text) {
            w += fonts_[font].widths[ch.unicode() & 0x7f];
        }
        return w;
    }

    void Toolbar(int page) {
        Put("BG_MainToolBar", 0, 0);
        const char* buttons[] = {"ButtonAllOpen", "ButtonAllSave", "ButtonAllReceive",
                                 "ButtonAllTransmit"};
        for (int i = 0; i < 4; ++i) {
            Button(buttons[i], 446 + i * 62, 6);
        }
        const char* tabs[] = {"ButtonTabModeSampleLibrarian", "ButtonTabModeProgramMemory",
                              "ButtonTabModeGlobal"};
        for (int i = 0; i < 3; ++i) {
            Button(tabs[i], 12 + i * 154, 57, i == page ? 1 : 0);
        }
    }
    void HeaderButtons(double top, const QStringList& names) {
        for (int i = 0; i < names.size(); ++i) {
            Button(names[i], 330 + i * 90, top + 5);
        }
    }

    QImage Finish() {
        p_.end();
        return image_;
    }

private:
    const std::map<QString, QImage>& pictures_;
    const std::vector<ArtFont>& fonts_;
    QImage image_;
    QPainter p_;
};

const QColor kCaption(0xa6, 0xad, 0xb6);
const QColor kValue(0xdd, 0xe1, 0xe6);
const QColor kLcd(0xff, 0xb4, 0x5c);

QImage ProgramMemory(Canvas& c) {
    c.Toolbar(1);
    const double top = 87;
    c.Put("BG_ProgramMemoryEdit", 0, top);
    c.HeaderButtons(top, {"ButtonProgramLoad", "ButtonProgramSave", "ButtonProgramReceive",
                          "ButtonProgramTransmit"});
    const char* names[] = {"[L.000]  Pulse Verb",  "[A.040]  Vibraphone",  "[B.055]  Sub Bass",
                           "[C.095]  Dance Chord", "[S.135]  Laser Zap",   "[D.165]  Kick 1",
                           "[P.195]  Arp Up",      "[V.235]  Vocod-Unison"};
    const char* scales[] = {"[02] ION", "[02] ION", "[07] AEO", "[09] HMN",
                            "[01] CHR", "[00] OFF", "[12] PMA", "[02] ION"};
    for (int i = 0; i < 8; ++i) {
        const double y = top + 60 + i * 46;
        c.Button(QString("ButtonMemory%1").arg(i + 1), 16, y, i == 2 ? 1 : 0);
        c.FieldText(1, 76, y, 40, names[i], kLcd);
        c.Popup(392, y + 10, 128, scales[i], "ButtonNo");
        c.Popup(532, y + 10, 68, i == 3 ? "D#" : "C", "ButtonNo");
        c.Popup(612, y + 10, 72, i == 5 ? "Full" : "Prog", "ButtonNo");
    }
    return c.Finish();
}

QImage SampleLibrarian(Canvas& c) {
    c.Toolbar(0);
    const double top = 87;
    c.Put("BG_SampleLibrarian", 0, top);
    c.HeaderButtons(top, {"ButtonSampleImport", "ButtonSampleExport", "ButtonSampleReceive",
                          "ButtonSampleWrite"});
    const char* banks[] = {"ButtonBankSelectA", "ButtonBankSelectB", "ButtonBankSelectC",
                           "ButtonBankSelectD"};
    for (int i = 0; i < 4; ++i) {
        c.Button(banks[i], 16 + i * 62, top + 44, i == 0 ? 1 : 0);
    }
    c.Put("VuMeterHorizontal", 318, top + 51, 0, 2);
    c.Put("VuMeterHorizontal", 318, top + 65, 0, 2);
    c.Button("ButtonSamplePreview", 600, top + 49, 1);
    // A sketched stereo waveform in the wave graph's colours.
    c.Put("__wave", 18, top + 92);
    c.Text(0, 28, top + 326, "Original BPM", kCaption);
    c.Value(28, top + 346, 96, "120.0", 2, kLcd);
    c.Button("ButtonSampleTap", 140, top + 344);
    c.Text(0, 252, top + 326, "Phrase Length", kCaption);
    c.Popup(252, top + 348, 140, "[L 4]  4/1", "ButtonDownSmall");
    c.Text(0, 252, top + 372, "Phrase Play Length", kCaption);
    c.Popup(252, top + 394, 140, "[L 4]  4/1", "ButtonDownSmall");
    c.Text(0, 520, top + 326, "Phrase Play Level", kCaption);
    c.Value(520, top + 346, 78, "100", 2, kLcd);
    return c.Finish();
}

QImage GlobalExtCtrl(Canvas& c) {
    c.Toolbar(2);
    const double top = 87;
    c.Put("BG_GlobalEditCommon", 0, top);
    c.HeaderButtons(top, {"ButtonGlobalLoad", "ButtonGlobalSave", "ButtonGlobalReceive",
                          "ButtonGlobalTransmit"});
    const char* tabs[] = {"ButtonTabGlobalGlobal", "ButtonTabGlobalExtCtrl",
                          "ButtonTabGlobalCcmap"};
    for (int i = 0; i < 3; ++i) {
        c.Button(tabs[i], 16 + i * 146, top + 48, i == 1 ? 1 : 0);
    }
    const double area = top + 81;
    c.Put("BG_ExtCtrlEdit", 0, area);
    const char* left[] = {"C  2 ", "C# 2 ", "D  2 ", "D# 2 ", "#095", "#094", "#093"};
    for (int r = 0; r < 8; ++r) {
        const double y = area + 28 + r * 27;
        if (r < 7) {
            c.Button("ButtonCcNumber", 102, y, r == 0 ? 1 : 0);
            c.FieldText(0, 102 + (64 - c.Width(0, left[r])) / 2, y, 24, left[r], kValue);
        }
        const QString memory = QString("#%1").arg(49 + r, 3, 10, QChar('0'));
        c.Button("ButtonCcNumber", 270, y);
        c.FieldText(0, 270 + (64 - c.Width(0, memory)) / 2, y, 24, memory, kValue);
    }
    const char* pads[] = {"Pad Touch", "Pad Assign", "Pad Note"};
    for (int i = 0; i < 3; ++i) {
        const double y = area + 274 + i * 26;
        c.Button("ButtonCcNumberPad", 20, y);
        c.FieldText(0, 20 + (100 - c.Width(0, pads[i])) / 2, y, 24, pads[i], kValue);
    }
    c.Popup(130, area + 298, 104, "Pattern Note", "ButtonDownSmall");
    c.Put("BitmapListPadPattern", 246, area + 276, 0, 8);
    c.Put("BG_ExtCtrlParamEdit", 360, area);
    c.FieldText(1, 384, area + 14, 30, "Loop Recorder Bank A", kLcd);
    c.Button("ButtonCheckBox", 376, area + 59, 1);
    c.Text(0, 398, area + 61, "Enable", kValue);
    const char* captions[] = {"Assign Type",  "MIDI Channel", "Note #",
                              "Off Velocity", "On Velocity",  "Button Behavior"};
    const char* values[] = {"Note", "Global", "C  2 ", "0", "127", "Momentary"};
    for (int r = 0; r < 6; ++r) {
        const double y = area + 87 + r * 30;
        c.Text(0, 376, y + 4, captions[r], kCaption);
        if (r == 3 || r == 4) {
            c.Value(530, y, 100, values[r]);
        } else {
            c.Popup(530, y + 2, 140, values[r], "ButtonDownSmall");
        }
    }
    return c.Finish();
}

void GlobalHeader(Canvas& c, int tab) {
    c.Toolbar(2);
    c.Put("BG_GlobalEditCommon", 0, 87);
    c.HeaderButtons(87, {"ButtonGlobalLoad", "ButtonGlobalSave", "ButtonGlobalReceive",
                         "ButtonGlobalTransmit"});
    const char* tabs[] = {"ButtonTabGlobalGlobal", "ButtonTabGlobalExtCtrl",
                          "ButtonTabGlobalCcmap"};
    for (int i = 0; i < 3; ++i) {
        c.Button(tabs[i], 16 + i * 146, 87 + 48, i == tab ? 1 : 0);
    }
}

void PopupField(Canvas& c, double x, double y, double w, const QString& text) {
    c.Popup(x, y + 2, w, text, "ButtonDownSmall");
}

void ValueField(Canvas& c, double x, double y, double w, const QString& text) {
    c.Value(x, y, w, text);
}

QImage GlobalGlobal(Canvas& c) {
    GlobalHeader(c, 0);
    const double area = 87 + 81;
    c.Put("BG_GlobalEdit", 0, area);
    const char* left[] = {"Illumination Setting", "Pad Scroll Text", "Program Name Display",
                          "Message Scroll Speed"};
    const char* leftValues[] = {"Chain", "QX-9 Neo", "On", "Mid"};
    const char* right[] = {"Clock", "Loop Rec BPM Sync", "Pad Touch Correction",
                           "Program Memory Load"};
    const char* rightValues[] = {"Internal", "On", "On", "Prog No."};
    for (int r = 0; r < 4; ++r) {
        const double y = area + 40 + 28 * r;
        c.Text(0, 28, y + 4, left[r], kCaption);
        if (r == 1) {
            c.Box(190, y, 140, 20);
            c.FieldText(0, 193, y, 20, leftValues[r], kValue);
        } else {
            PopupField(c, 190, y, 140, leftValues[r]);
        }
        c.Text(0, 370, y + 4, right[r], kCaption);
        PopupField(c, 532, y, 140, rightValues[r]);
    }
    c.Text(0, 28, area + 202, "Global MIDI Channel", kCaption);
    c.Value(190, area + 198, 100, "1");
    const char* filters[] = {"System Ex", "Note", "Control Change", "Program Change"};
    for (int i = 0; i < 4; ++i) {
        const double x = i % 2 == 0 ? 372 : 532;
        const double y = area + (i < 2 ? 198 : 226);
        c.Button("ButtonCheckBox", x, y, 1);
        c.Text(0, x + 22, y + 2, filters[i], kValue);
    }
    return c.Finish();
}

QImage GlobalCcMap(Canvas& c) {
    GlobalHeader(c, 2);
    const double area = 87 + 81;
    c.Put("BG_GlobalCcmapEdit", 0, area);
    const char* names[] = {"Loop Recorder Bank A",
                           "Loop Recorder Bank B",
                           "Loop Recorder Bank C",
                           "Loop Recorder Bank D",
                           "Pad X",
                           "Pad Y",
                           "Pad Touch",
                           "Program Volume",
                           "Gate Arp Time",
                           "Gate Arp Speed",
                           "Gate Arp On/Off"};
    const char* values[] = {"C  2 ", "C# 2 ", "D  2 ", "D# 2 ", "12", "13",
                            "92",    "94",    "93",    "91",    "90"};
    for (int i = 0; i < 11; ++i) {
        const double x = i < 6 ? 28 : 364;
        const double y = area + 48 + 40 * (i < 6 ? i : i - 6);
        c.Button("ButtonCheckBox", x, y + 2, i == 5 ? 0 : 1);
        c.Text(0, x + 28, y + 4, names[i], kCaption);
        if (i < 4) {
            PopupField(c, x + 200, y, 108, values[i]);
        } else {
            ValueField(c, x + 200, y, 108, values[i]);
        }
    }
    return c.Finish();
}

} // namespace

std::vector<std::pair<QString, QImage>> Mockups(const std::map<QString, QImage>& pictures,
                                                const std::vector<ArtFont>& fonts) {
    std::map<QString, QImage> all = pictures;
    // A stereo waveform drawn the way the wave graph draws one: columns copied from the colour
    // strip, each lane 100 high with its centre line in the middle.
    const QImage& strip = pictures.at("WaveGraphImage");
    QImage wave(664 * kScale, 200 * kScale, QImage::Format_ARGB32_Premultiplied);
    wave.fill(Qt::transparent);
    {
        QPainter w(&wave);
        for (int lane = 0; lane < 2; ++lane) {
            const int half = 50;
            const int centre = lane * 100 + half;
            for (int x = 0; x < 664; ++x) {
                const double env = std::exp(-std::fmod(x, 166.0) / 60.0);
                const double v = env * (0.55 + 0.45 * std::sin(x * 0.9 + lane)) *
                                 (0.6 + 0.4 * std::sin(x * 0.13));
                const int t = std::max(1, static_cast<int>(half * v * 0.95));
                const int u = -t;
                w.drawImage(QRect(x * kScale, (centre - t) * kScale, kScale, (t - u) * kScale),
                            strip, QRect(0, (half - t) * kScale, kScale, (t - u) * kScale));
            }
        }
    }
    all["__wave"] = wave;
    std::vector<std::pair<QString, QImage>> out;
    {
        Canvas c(all, fonts);
        out.emplace_back("Preview: Sample Librarian", SampleLibrarian(c));
    }
    {
        Canvas c(all, fonts);
        out.emplace_back("Preview: Program Memory", ProgramMemory(c));
    }
    {
        Canvas c(all, fonts);
        out.emplace_back("Preview: Global / External Controller", GlobalExtCtrl(c));
    }
    {
        Canvas c(all, fonts);
        out.emplace_back("Preview: Global / Global", GlobalGlobal(c));
    }
    {
        Canvas c(all, fonts);
        out.emplace_back("Preview: Global / CC Map", GlobalCcMap(c));
    }
    return out;
}
