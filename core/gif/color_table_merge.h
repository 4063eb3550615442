#pragma once
// One global colour table for a whole image. ColorMap::sortByUse is defined beside it.

namespace zefra::gif {

class GifImage;

// Merges the global table and every frame's local table into one global table of at most
// 256 colours, keeping the most used colours; a colour that does not fit is shown as the
// kept colour nearest in red + green + blue. When any frame shows its transparent colour,
// one black entry is appended at the end as the shared transparent index. Local tables are
// cleared and every frame's pixels are rewritten into the new table. Pixel indices outside
// their table are set to 0 with the warning "Color not in color table".
void mergeColorTables(GifImage& image);

}  // namespace zefra::gif
