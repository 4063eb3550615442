#include "text3d/accelerator.h"

namespace zefra::text3d {

std::vector<CaptionChar> parseAccelerators(std::string_view caption) {
  std::vector<CaptionChar> out;
  out.reserve(caption.size());
  bool underlineNext = false;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    char c = caption[i];
    if (c == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out.push_back({'&', underlineNext});
        underlineNext = false;
        ++i;
      } else {
        underlineNext = true;
      }
      continue;
    }
    out.push_back({c, underlineNext});
    underlineNext = false;
  }
  return out;
}

std::string stripAccelerators(std::string_view caption) {
  std::string out;
  for (const CaptionChar& c : parseAccelerators(caption)) out += c.ch;
  return out;
}

}  // namespace zefra::text3d
