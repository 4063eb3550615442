// The project-file reader on arbitrary bytes: it either rejects them or yields a project
// that the writer turns into an LB1 image which reads back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "io/lbl_reader.h"
#include "io/lbl_writer.h"
#include "model/label_project.h"

// Three frame records reach every path of the reader (first, middle and last frame, a count
// that disagrees, trailing bytes); longer inputs are skipped so each run stays fast.
constexpr std::size_t kMaxInputSize = 3 * zefra::model::kFrameRecordSize + 64;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInputSize) return 0;
  using namespace zefra;
  static auto project = std::make_unique<model::LabelProject>();
  static auto again = std::make_unique<model::LabelProject>();
  project->clear();
  try {
    io::readLbl(std::span<const std::uint8_t>(data, size), *project, "fuzz.lbl");
  } catch (const io::LblReadError&) {
    return 0;
  }
  if (project->frameCount < 1 || project->frameCount > model::kMaxFrames || project->currentFrame != 1) std::abort();

  const std::span<const std::uint8_t> image = io::prepareLblBytes(*project);
  if (image.size() != model::kFrameRecordSize * project->frameCount) std::abort();
  again->clear();
  const io::LblReadResult reread = io::readLbl(image, *again, "image.lbl");
  if (reread.format != io::LblFormat::Lb1 || again->frameCount != project->frameCount ||
      !(again->settings == project->settings) ||
      std::memcmp(again->records.data(), project->records.data(), image.size()) != 0) {
    std::abort();
  }
  return 0;
}
