#include "gif/palette_edits.h"

#include "gif/color_table_merge.h"
#include "gif/gif_image.h"

namespace zefra::gif {

bool canDeleteGlobalColor(const GifImage& image) { return image.globalTable().count() > 1; }

void setGlobalColor(GifImage& image, int index, Color color) {
  if (index < 0 || index >= image.globalTable().count()) return;
  image.globalTable().setEntryColor(index, color & 0xFFFFFF);
  image.releaseCaches();
}

void deleteGlobalColor(GifImage& image, int index) {
  if (!canDeleteGlobalColor(image) || index <= 0 || index >= image.globalTable().count()) return;
  image.globalTable().setEntryColor(index, image.globalTable().entryColor(0));
  mergeColorTables(image);
  image.releaseCaches();
}

}  // namespace zefra::gif
