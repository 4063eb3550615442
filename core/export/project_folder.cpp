#include "export/project_folder.h"

#include <algorithm>

#include "render/file_resolution.h"

namespace zefra::exporter {

namespace {

bool completeName(model::String255& field, const std::filesystem::path& folder, const std::string& appDir) {
  if (field.empty()) return false;
  const std::string name = field.str();
  if (std::filesystem::path(name).is_absolute()) return false;
  if (render::isExistingFile(name) || render::isExistingFile(appDir + name)) return false;
  const std::string completed = (folder / name).lexically_normal().string();
  if (completed.size() > model::String255::kCapacity || !render::isExistingFile(completed)) return false;
  field.assign(completed);
  return true;
}

}  // namespace

int completeNamesFromProjectFolder(model::LabelProject& project, const std::filesystem::path& folder,
                                   const std::string& appDir) {
  int changed = 0;
  const int frameCount = std::clamp<int>(project.frameCount, 1, model::kMaxFrames);
  for (int i = 1; i <= frameCount; ++i) {
    model::FrameRecord& r = project.frame(i);
    for (int k = 0; k < model::kSlots; ++k) {
      changed += completeName(r.pictureFile[k], folder, appDir) ? 1 : 0;
      changed += completeName(r.textureFile[k], folder, appDir) ? 1 : 0;
    }
  }
  return changed;
}

}  // namespace zefra::exporter
