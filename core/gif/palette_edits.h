#pragma once
// The palette panel's edits of a built animation's global colour table. They change the
// image in place, so the preview and a following save show them; rebuilding the image
// from the frames discards them.

#include "common/color.h"

namespace zefra::gif {

class GifImage;

// "Delete Color" is offered only while the table holds more than one colour.
bool canDeleteGlobalColor(const GifImage& image);

// The entry takes the new colour; an entry that now equals another one stays separate.
// An index outside the table changes nothing.
void setGlobalColor(GifImage& image, int index, Color color);

// The entry takes the colour of entry 0 and the tables are merged again, so its pixels
// show entry 0's colour and the table loses the entry. Does nothing when the table holds
// one colour or the index is outside it.
void deleteGlobalColor(GifImage& image, int index);

}  // namespace zefra::gif
