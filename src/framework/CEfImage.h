#pragma once

#include <cstdint>
#include <vector>

// A decoded picture: straight (not premultiplied) 0xAARRGGBB pixels, row by row. `scale` is the
// number of device pixels per layout pixel (1, or 2 for the HiDPI set), so the picture covers
// width / scale by height / scale layout pixels; every position, state strip and glyph cell is
// given in layout pixels.
struct CEfImage {
    int width = 0;
    int height = 0;
    int scale = 1;
    std::vector<uint32_t> pixels;

    int LayoutWidth() const { return width / scale; }
    int LayoutHeight() const { return height / scale; }
};
