#include "framework/EfPngDecoder.h"

#include <bit>
#include <cstring>
#include <png.h>

#include "framework/EfTrace.h"

bool EfDecodePng(const uint8_t* data, size_t size, int scale, CEfImage& out) {
    if (!data || size < 8) {
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        EfTrace("EfDecodePng - %s", image.message);
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > kMaxPngSide ||
        image.height > kMaxPngSide) {
        EfTrace("EfDecodePng - unsupported size %ux%u", image.width, image.height);
        png_image_free(&image);
        return false;
    }
    // One 32-bit word per pixel in memory order: BGRA on little-endian machines reads as
    // 0xAARRGGBB, ARGB on big-endian ones.
    image.format = std::endian::native == std::endian::little ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    CEfImage decoded;
    decoded.width = static_cast<int>(image.width);
    decoded.height = static_cast<int>(image.height);
    decoded.scale = scale;
    decoded.pixels.resize(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, decoded.pixels.data(), 0, nullptr)) {
        EfTrace("EfDecodePng - %s", image.message);
        png_image_free(&image);
        return false;
    }
    out = std::move(decoded);
    return true;
}
