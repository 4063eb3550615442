#pragma once
// Reading project files: recognition of the two formats, the current LB1 format (the
// byte image of the frame records) and the conversion of 1.02 files. Nothing read from a
// file decides an allocation or an index without being checked first: a short file, a
// bad frame count or garbage ends in LblReadError.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "model/label_project.h"

namespace zefra::io {

enum class LblFormat { Lb1, V102 };

// what() is "Error reading the file " + path, the text the editor shows; reason() says
// why ("too short", "not a Zefra project", ...) and detail() is both, for the command line.
class LblReadError : public std::runtime_error {
 public:
  explicit LblReadError(std::string_view path, std::string reason = {});
  const std::string& reason() const { return why; }
  std::string detail() const { return why.empty() ? what() : std::string(what()) + ": " + why; }

 private:
  std::string why;
};

struct LblReadResult {
  LblFormat format = LblFormat::Lb1;
  std::string warning;  // the notice after a 1.02 conversion, empty for LB1
};

// The largest number of bytes a reader looks at; anything past it is ignored.
inline constexpr std::size_t kMaxLblBytes = model::kFrameRecordSize * model::kMaxFrames;

// The format named by the first four bytes, or nothing for a file that is not a project.
std::optional<LblFormat> recognizeLbl(std::span<const std::uint8_t> bytes);

// Reads a project from the bytes of a file into `project`, which the caller has cleared
// (clear). `path` names the file in messages. On success frameCount, currentFrame = 1
// and the project settings are set; records past frameCount are not touched. Throws
// LblReadError; the project then holds partial data and must be reset by the caller.
LblReadResult readLbl(std::span<const std::uint8_t> bytes, model::LabelProject& project, std::string_view path);

// Reads at most kMaxLblBytes of the file (a regular file; anything else is refused with
// the reason) and calls readLbl.
LblReadResult readLblFile(const std::filesystem::path& path, model::LabelProject& project);

}  // namespace zefra::io
