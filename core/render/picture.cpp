#include "render/picture.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "io/bmp_reader.h"

namespace zefra::render {

Picture loadPicture(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == ".gif") return loadGifPicture(path);
  if (ext == ".bmp") {
    Picture p;
    p.image = io::readBmpFile(path);
    return p;
  }
  throw PictureError("Unknown picture file extension (" + path.extension().string() + ")");
}

}  // namespace zefra::render
