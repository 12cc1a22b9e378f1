#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/CEfImage.h"

// Decodes a PNG held in memory into straight 0xAARRGGBB pixels (any colour type and bit depth;
// 16-bit channels are reduced to 8). `scale` is copied into the picture. False, leaving `out`
// untouched, for damaged data or a picture larger than kMaxPngSide on a side.
constexpr int kMaxPngSide = 8192;
bool EfDecodePng(const uint8_t* data, size_t size, int scale, CEfImage& out);
