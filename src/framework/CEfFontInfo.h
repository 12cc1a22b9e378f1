#pragma once

#include <array>
#include <cstdint>

struct CEfImage;

// A bitmap font: one column of 128 glyph cells stacked top to bottom in `image`, cell c holding
// character code c, each lineHeight layout pixels high. Entries 128 to 255 of the advance widths
// repeat entries 0 to 127. All sizes are layout pixels (see CEfImage::scale).
struct CEfFontInfo {
    const CEfImage* image = nullptr;
    std::array<int32_t, 256> widths{};
    int32_t lineHeight = 0;
    int32_t glyphHeight = 0;

    int32_t Advance(char c) const { return widths[static_cast<uint8_t>(c)]; }
};
