#pragma once
// Renders one character of a glyph set: the character is drawn many times at a
// supersampled size (shadow levels, the steps of the 3D border, the front face) and the
// result is box-filtered down into three coverage masks.

#include <cstdint>

#include "text3d/font3d.h"
#include "text3d/glyph_set.h"

namespace zefra::text3d {

// Supersampling factor for a line height hX (1 without anti-aliasing).
int supersamplingFactor(bool antialiasing, int lineHeight);

// Builds glyph `code` of `set` with the set's own font and 3D settings, and stores the
// cell overlap in both the set and `font3d`.
void buildGlyph(GlyphSet& set, Font3D& font3d, std::uint8_t code);

}  // namespace zefra::text3d
