#pragma once
// A compressor that uses no string table of its own: it sends literal pixels, and codes a
// decoder's table is bound to hold at that point because earlier codes built them, as
// runs of a single pixel value. Output is valid image data that compresses only runs.

#include "gif/frame_encoder.h"

namespace zefra::gif {

class RunLengthEncoder final : public FrameEncoder {
 public:
  RunLengthEncoder(GifStream& destination, int bitsPerPixel, int allowedColors, const std::uint8_t* pixels,
                   bool interlaced, int height, int width);

  // Codes needed to send n pixels of one value from a fresh table, using runs of 1, 2,
  // 3, ... pixels in turn, when the table holds at most limit run codes.
  static unsigned costFromClear(unsigned n, unsigned limit);

 protected:
  void compressPixels() override;

 private:
  void emitCounted(unsigned code);
  void emitClear();
  void didClear();
  void raiseClearMark() { clearMark = tableLimit; }
  void resetClearMark();
  void flush();
  void flushFromClear(unsigned n);
  void flushClearOrRepeat(unsigned n);
  void flushWithTable(unsigned n);

  int runPixel = -1;
  unsigned runCount = 0;
  unsigned emitted = 0;        // codes since the last clear
  unsigned growMark = 0;       // emitted count at which the width grows next
  unsigned growMarkInitial = 0;
  unsigned clearMark = 0;      // emitted count at which a clear is forced
  unsigned clearMarkInitial = 0;
  unsigned longestRun = 0;     // longest run code the decoder's table holds
  int longestRunPixel = -1;
  unsigned tableLimit = 0;
  bool justCleared = false;
};

}  // namespace zefra::gif
