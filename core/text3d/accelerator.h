#pragma once
// Accelerator marks in a caption: a single "&" is not shown and underlines the character
// after it; "&&" shows one "&".

#include <string>
#include <string_view>
#include <vector>

namespace zefra::text3d {

struct CaptionChar {
  char ch;
  bool underlined;
};

// The characters a caption shows, in order, with the marks resolved.
std::vector<CaptionChar> parseAccelerators(std::string_view caption);

// The caption with its marks removed.
std::string stripAccelerators(std::string_view caption);

}  // namespace zefra::text3d
