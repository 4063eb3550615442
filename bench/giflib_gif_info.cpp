// The peer side of the whole-process GIF decoding comparison (compare_gif_info.sh): what
// `zefra-cli gif-info --pixels` does, done with giflib - read the file, decode every
// frame, print its CRC-32 - so the two can be timed as programs, start-up and page
// faults included, not only as in-process loops.
//
//   giflib_gif_info FILE.gif
#include <gif_lib.h>
#include <zlib.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: giflib_gif_info FILE.gif\n");
    return 2;
  }
  int error = 0;
  GifFileType* gif = DGifOpenFileName(argv[1], &error);
  if (!gif) {
    std::fprintf(stderr, "giflib_gif_info: %s\n", GifErrorString(error));
    return 1;
  }
  if (DGifSlurp(gif) != GIF_OK) {
    std::fprintf(stderr, "giflib_gif_info: %s\n", GifErrorString(gif->Error));
    DGifCloseFile(gif, &error);
    return 1;
  }
  std::printf("screen %d %d\n", gif->SWidth, gif->SHeight);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    const auto size = static_cast<uInt>(image.ImageDesc.Width * image.ImageDesc.Height);
    const unsigned long crc = crc32(crc32(0L, Z_NULL, 0), image.RasterBits, size);
    std::printf("frame %d width %d height %d crc32 %08lX\n", i, image.ImageDesc.Width, image.ImageDesc.Height, crc);
  }
  DGifCloseFile(gif, &error);
  return 0;
}
