#include "text3d/glyph_set.h"

#include "text3d/rounding.h"

namespace zefra::text3d {

bool sameGlyphSet(const Font& a, const Font3DSettings& sa, const Font& b, const Font3DSettings& sb) {
  // Cheap comparisons first: a lookup scans up to a thousand sets.
  return a.height == b.height && a.size == b.size && a.name == b.name && a.pitch == b.pitch &&
         a.pixelsPerInch == b.pixelsPerInch && a.style == b.style &&
         roundHalfEven(sa.altitude * 100) == roundHalfEven(sb.altitude * 100) &&
         roundHalfEven(sa.borderHeight * 100) == roundHalfEven(sb.borderHeight * 100) &&
         sa.shadowColor == sb.shadowColor && sa.shadowStyle == sb.shadowStyle &&
         sa.site == sb.site && sa.viewDirection == sb.viewDirection &&
         sa.antialiasing == sb.antialiasing;
}

}  // namespace zefra::text3d
