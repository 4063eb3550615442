#pragma once
// The one error type of the GIF library. Its message is the fixed English text callers
// show and tests compare, so it is never decorated with positions or file names.

#include <stdexcept>
#include <string>

namespace zefra::gif {

class GifError : public std::runtime_error {
 public:
  explicit GifError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zefra::gif
