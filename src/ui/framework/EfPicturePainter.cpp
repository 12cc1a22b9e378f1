#include "ui/framework/EfPicturePainter.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <utility>

#include "framework/CEfFontInfo.h"
#include "framework/CEfImage.h"

namespace ef {
namespace {

struct CachedPicture {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    uint64_t fingerprint = 0;
    QImage image;
    std::map<QRgb, QImage> tinted;
};

// A few pixels spread over the picture: tells a picture reloaded in place from the one cached.
uint64_t Fingerprint(const CEfImage& picture) {
    uint64_t hash = 1469598103934665603ull;
    const size_t count = picture.pixels.size();
    for (size_t i = 0; i < 16 && count > 0; ++i) {
        hash = (hash ^ picture.pixels[i * (count - 1) / 15]) * 1099511628211ull;
    }
    return hash;
}

// Pictures are drawn on the user-interface thread only.
std::unordered_map<const CEfImage*, CachedPicture>& Cache() {
    static std::unordered_map<const CEfImage*, CachedPicture> cache;
    return cache;
}

CachedPicture& Cached(const CEfImage& picture) {
    CachedPicture& entry = Cache()[&picture];
    const uint64_t fingerprint = Fingerprint(picture);
    // A picture reloaded in place is converted again.
    if (entry.pixels != picture.pixels.data() || entry.width != picture.width ||
        entry.height != picture.height || entry.fingerprint != fingerprint ||
        entry.image.isNull()) {
        entry = CachedPicture{};
        entry.pixels = picture.pixels.data();
        entry.width = picture.width;
        entry.height = picture.height;
        entry.fingerprint = fingerprint;
        const size_t needed = static_cast<size_t>(std::max(picture.width, 0)) *
                              static_cast<size_t>(std::max(picture.height, 0));
        if (picture.width > 0 && picture.height > 0 && picture.pixels.size() >= needed) {
            const bool opaque = std::all_of(picture.pixels.begin(), picture.pixels.begin() + needed,
                                            [](uint32_t pixel) { return (pixel >> 24) == 0xff; });
            if (opaque) {
                // Opaque pixels are the same straight or premultiplied: the picture's own
                // buffer is drawn as it is, without a copy (backgrounds are large).
                entry.image =
                    QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                           picture.height, picture.width * 4, QImage::Format_ARGB32_Premultiplied);
            } else {
                QImage straight(picture.width, picture.height, QImage::Format_ARGB32);
                for (int y = 0; y < picture.height; ++y) {
                    std::copy_n(picture.pixels.data() + static_cast<size_t>(y) * picture.width,
                                picture.width, reinterpret_cast<uint32_t*>(straight.scanLine(y)));
                }
                entry.image = straight.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            }
        } else {
            entry.image = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
            entry.image.fill(Qt::transparent);
        }
        entry.image.setDevicePixelRatio(std::max(picture.scale, 1));
    }
    return entry;
}

const QImage& TintedImage(const CEfImage& picture, const QColor& color) {
    CachedPicture& entry = Cached(picture);
    auto it = entry.tinted.find(color.rgba());
    if (it != entry.tinted.end()) {
        return it->second;
    }
    QImage tinted = entry.image.copy();
    {
        QPainter painter(&tinted);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(QRect(QPoint(0, 0), tinted.size()), color);
    }
    tinted.setDevicePixelRatio(entry.image.devicePixelRatio());
    return entry.tinted.emplace(color.rgba(), std::move(tinted)).first->second;
}

QRectF DeviceRect(const CEfImage& picture, const QRect& layout) {
    const int scale = std::max(picture.scale, 1);
    return QRectF(layout.x() * scale, layout.y() * scale, layout.width() * scale,
                  layout.height() * scale);
}

} // namespace

const QImage& PictureImage(const CEfImage& picture) {
    return Cached(picture).image;
}

void ForgetPicture(const CEfImage* picture) {
    Cache().erase(picture);
}

int StripStateHeight(const CEfImage& picture, int states) {
    return states > 0 ? picture.LayoutHeight() / states : picture.LayoutHeight();
}

void DrawStripState(QPainter& painter, const CEfImage& picture, int state, QPoint at, int states) {
    const int h = StripStateHeight(picture, states);
    const int w = picture.LayoutWidth();
    DrawPicturePart(painter, picture, QRect(0, state * h, w, h), QRect(at, QSize(w, h)));
}

void DrawPicturePart(QPainter& painter, const CEfImage& picture, const QRect& source,
                     const QRect& target) {
    if (source.isEmpty() || target.isEmpty()) {
        return;
    }
    painter.drawImage(QRectF(target), PictureImage(picture), DeviceRect(picture, source));
}

int TextWidth(const CEfFontInfo& font, std::string_view text) {
    int width = 0;
    for (char c : text) {
        width += font.Advance(c);
    }
    return width;
}

void DrawText(QPainter& painter, const CEfFontInfo& font, QPoint at, std::string_view text,
              const QColor& color) {
    if (font.image == nullptr || font.lineHeight <= 0) {
        return;
    }
    const QImage& glyphs = TintedImage(*font.image, color);
    const int cellWidth = font.image->LayoutWidth();
    int x = at.x();
    for (char c : text) {
        const int advance = font.Advance(c);
        const int code = static_cast<uint8_t>(c) & 0x7f;
        const int w = std::min(advance, cellWidth);
        if (w > 0) {
            const QRect source(0, code * font.lineHeight, w, font.lineHeight);
            painter.drawImage(QRectF(x, at.y(), w, font.lineHeight), glyphs,
                              DeviceRect(*font.image, source));
        }
        x += advance;
    }
}

void DrawTextIn(QPainter& painter, const CEfFontInfo& font, const QRect& box, std::string_view text,
                const QColor& color, EfTextAlign align) {
    const int width = TextWidth(font, text);
    int x = box.x();
    if (align == EfTextAlign::kCenter) {
        x = box.x() + (box.width() - width) / 2;
    } else if (align == EfTextAlign::kRight) {
        x = box.x() + box.width() - width;
    }
    const int glyphHeight = font.glyphHeight > 0 ? font.glyphHeight : font.lineHeight;
    const int y = box.y() + (box.height() - glyphHeight) / 2;
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    DrawText(painter, font, QPoint(x, y), text, color);
    painter.restore();
}

QColor TextColor() {
    return QColor(0xe8, 0xe8, 0xe8);
}
QColor DisabledTextColor() {
    return QColor(0x78, 0x78, 0x78);
}
QColor FocusColor() {
    return QColor(0x5f, 0xa8, 0xff);
}

} // namespace ef
