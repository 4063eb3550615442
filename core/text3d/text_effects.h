#pragma once
// The two pixel steps of drawing a 3D string: darkening what lies under the shadow, then
// painting the 3D border and the front face (plain colours, gradient or tiled texture).
// `masks` holds per pixel blue = shadow, green = border, red = front coverage; `out` holds
// the pixels under the text. Both are worked over the area (0, 0)-(width, height).

#include <cstdint>

#include "common/color.h"
#include "raster/fast_bitmap.h"
#include "text3d/font3d.h"

namespace zefra::text3d {

// One channel under shadow coverage s with darkness d.
std::uint8_t shadowChannel(std::uint8_t v, std::uint8_t s, int darkness);

// One channel under border coverage g and front coverage r (g + r <= 255).
std::uint8_t faceChannel(std::uint8_t v, std::uint8_t r, std::uint8_t g, std::uint8_t front,
                         std::uint8_t border);

// A colour channel divided by the effect divisor, rounded halves to even, limited to 255.
std::uint8_t effectChannel(std::uint8_t v, double effectColor);

void applyShadow(raster::FastBitmap& out, const raster::FastBitmap& masks, int width, int height,
                 int darkness);

// `frontColor` and `borderColor` must be plain colours (system colours resolved).
void applyFaces(raster::FastBitmap& out, const raster::FastBitmap& masks, int width, int height,
                const Font3DSettings& settings, Color frontColor, Color borderColor,
                const raster::FastBitmap& texture);

}  // namespace zefra::text3d
