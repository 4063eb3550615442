#pragma once
// The most an export may hold. Zefra's own GIF reader takes back at most its image pixel
// limit, so an export whose frames could hold more is refused before anything is drawn,
// with a message that names the size, rather than writing a GIF Zefra itself would not
// open, or running out of memory on the way. The command line and the editor (preview,
// "Save GIF...", live size) apply the same rule.

#include <cstdint>
#include <optional>
#include <string>

#include "model/label_project.h"

namespace zefra::exporter {

// The pixels of frames 1..frameCount together.
std::uint64_t exportPixels(const model::LabelProject& project);

// The refusal for a project over the limit, nothing for one within it.
std::optional<std::string> exportSizeProblem(const model::LabelProject& project);

// Throws std::runtime_error with exportSizeProblem's message for a project over the limit.
void checkExportSize(const model::LabelProject& project);

}  // namespace zefra::exporter
