#pragma once
// Measuring and drawing a string of 3D text. Characters are bytes 0..255; each is drawn
// from its glyph (built on first need) in the glyph set the cache holds for the font and
// the Font3D. Drawing composites over whatever the canvas holds (or over a solid brush),
// through two scratch buffers shared by every text and only ever enlarged.

#include <optional>
#include <string_view>

#include "common/color.h"
#include "raster/canvas.h"
#include "text3d/font.h"
#include "text3d/font3d.h"
#include "text3d/glyph_cache.h"

namespace zefra::text3d {

enum class TextAlignment { Left, Right, Center };

int textWidth3D(const Font& font, Font3D& font3d, std::string_view text,
                GlyphCache& cache = GlyphCache::shared());
int textHeight3D(const Font& font, Font3D& font3d, std::string_view text,
                 GlyphCache& cache = GlyphCache::shared());

// Draws `text` with its top-left corner at (x, y) after the alignment shift. With a
// `brush` colour the text's rectangle is first filled with it; without one the text lies
// over the canvas pixels.
void textOut3D(raster::Canvas& canvas, int x, int y, TextAlignment alignment, const Font& font,
               Font3D& font3d, std::string_view text, std::optional<Color> brush = std::nullopt,
               GlyphCache& cache = GlyphCache::shared());

}  // namespace zefra::text3d
