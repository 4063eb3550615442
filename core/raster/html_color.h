#pragma once
// The "#RRGGBB" text of any colour a record or a dialog may hold, system colours included.

#include <string>

#include "common/color_text.h"
#include "raster/system_colors.h"

namespace zefra::raster {

// A system colour shows its current RGB value.
inline std::string colorToHtmlColor(Color c) { return htmlColorText(resolveColor(c)); }

}  // namespace zefra::raster
