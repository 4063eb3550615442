#include "editor/gif_import.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <system_error>

#include "common/input_file.h"

#include "gif/animation_player.h"
#include "gif/gif_error.h"
#include "gif/gif_image.h"
#include "io/bmp_reader.h"
#include "io/bmp_writer.h"
#include "raster/fast_bitmap.h"
#include "raster/system_colors.h"

namespace zefra::editor {

namespace fs = std::filesystem;

namespace {

constexpr int kMinDelayMs = 30;

raster::FastBitmap flatten(const gif::RgbaImage& picture, Color background) {
  raster::FastBitmap bitmap(picture.width, picture.height);
  const int br = redOf(background), bg = greenOf(background), bb = blueOf(background);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t* p = picture.pixel(x, y);
      const int a = p[3];
      auto over = [a](int front, int back) { return static_cast<std::uint8_t>((front * a + back * (255 - a) + 127) / 255); };
      bitmap.setPixel(x, y, rgb(over(p[0], br), over(p[1], bg), over(p[2], bb)));
    }
  }
  return bitmap;
}

// Whether an existing file at `path` holds exactly `bytes`. Read under the input-file
// rules and never past the expected size, so nothing here waits or reads without end.
bool holdsBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  try {
    const FileBytes file = readInputFile(path, bytes.size());
    const auto held = file.bytes();
    return held.size() == bytes.size() && std::equal(held.begin(), held.end(), bytes.begin());
  } catch (const std::exception&) {
    return false;
  }
}

// The first of "<first>", "<first stem>-2.bmp", ... that is free (nothing there, not even
// a broken link) or is a regular file holding exactly `bytes` (`present` set).
fs::path pictureName(const fs::path& first, const std::vector<std::uint8_t>& bytes, bool& present) {
  present = false;
  fs::path path = first;
  for (int k = 2;; ++k) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return path;
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode) && holdsBytes(path, bytes)) {
      present = true;
      return path;
    }
    path = first.parent_path() / (first.stem().string() + "-" + std::to_string(k) + ".bmp");
  }
}

// The record every imported frame starts from when frames are appended: the last frame
// with every layer switched off (the settings of the slots stay, as after clearing them).
model::FrameRecord blankFrameAfter(const model::FrameRecord& last) {
  model::FrameRecord r = last;
  for (int i = 0; i < model::kSlots; ++i) {
    r.text[i].clear();
    r.pictureFile[i].clear();
    r.shapeStyle[i] = 0;
  }
  r.gradientOn = 0;
  r.bordersOn = 0;
  return r;
}

void removeFiles(const std::vector<fs::path>& files) {
  std::error_code ignored;
  for (const fs::path& p : files) fs::remove(p, ignored);
}

// The limits of a GIF whose screen becomes label-sized pictures.
void limitToPicture(gif::GifImage& image) {
  const std::uint64_t pixels = std::min<std::uint64_t>(static_cast<std::uint64_t>(model::kMaxLabelPixels), static_cast<std::uint64_t>(io::kMaxBmpPixels));
  image.limits.maxScreenPixels = pixels;
  image.limits.maxScreenSide = model::kMaxLabelSide;
}

}  // namespace

namespace {

std::vector<ComposedGifFrame> composeFrames(gif::AnimationPlayer& player) {
  std::vector<ComposedGifFrame> frames;
  frames.reserve(static_cast<std::size_t>(player.frameCount()));
  for (int i = 0; i < player.frameCount(); ++i) {
    ComposedGifFrame frame;
    frame.picture = player.pictureOfStep(i);
    const std::int64_t delay = player.timeline().scaledDelayMs(i);
    frame.delayMs = static_cast<int>(std::clamp<std::int64_t>(delay, kMinDelayMs, 32767));
    frames.push_back(std::move(frame));
  }
  return frames;
}

}  // namespace

std::vector<ComposedGifFrame> composeGifFrames(const fs::path& path) {
  gif::GifImage image;
  limitToPicture(image);
  image.loadFromFile(path);
  gif::AnimationPlayer player(image, gif::PlaybackOptions{});  // transparency honoured, animated
  return composeFrames(player);
}

bool isNewAndEmpty(const model::LabelProject& project) {
  if (project.frameCount != 1) return false;
  const model::FrameRecord& r = project.frame(1);
  if (r.gradientOn != 0 || r.bordersOn != 0) return false;
  for (int i = 0; i < model::kSlots; ++i) {
    if (!r.text[i].empty() || !r.pictureFile[i].empty() || r.shapeStyle[i] != 0) return false;
  }
  return true;
}

fs::path importedPicturePath(const fs::path& folder, const fs::path& gif, int frame) {
  char number[16];
  std::snprintf(number, sizeof number, "_%03d", frame);
  return folder / (gif.stem().string() + number + ".bmp");
}

GifImportPlan planGifImport(const model::LabelProject& project) {
  GifImportPlan plan;
  plan.replace = isNewAndEmpty(project);
  plan.kept = plan.replace ? 0 : project.frameCount;
  plan.base = plan.replace ? project.frame(1) : blankFrameAfter(project.frame(project.frameCount));
  plan.labelWidth = project.frame(1).width;
  plan.labelHeight = project.frame(1).height;
  return plan;
}

void discardGifImport(PreparedGifImport& prepared) {
  removeFiles(prepared.created);
  prepared.created.clear();
  prepared.records.clear();
  prepared.pictures.clear();
}

PreparedGifImport prepareGifImport(const GifImportPlan& plan, const fs::path& gif, const fs::path& pictureFolder,
                                   const GifImportControl& control) {
  PreparedGifImport prepared;
  prepared.replace = plan.replace;
  prepared.kept = plan.kept;
  const auto refuse = [&prepared](std::string message) {
    discardGifImport(prepared);
    prepared.refusal = std::move(message);
    return std::move(prepared);
  };
  gif::GifImage image;
  limitToPicture(image);
  std::unique_ptr<gif::AnimationPlayer> player;
  try {
    image.loadFromFile(gif);
  } catch (const std::exception& error) {
    const int w = image.width(), h = image.height();
    if (static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) > image.limits.maxScreenPixels ||
        w > image.limits.maxScreenSide || h > image.limits.maxScreenSide) {
      return refuse("The GIF " + gif.string() + " is " + std::to_string(w) + " x " + std::to_string(h) +
                    " pixels; a picture can have at most " + std::to_string(model::kMaxLabelSide) + " pixels a side and " +
                    std::to_string(image.limits.maxScreenPixels) + " in all.");
    }
    return refuse(readErrorMessage(gif.string()) + " (" + error.what() + ")");
  }
  const int width = image.width();
  const int height = image.height();
  if (width < 1 || height < 1) return refuse(readErrorMessage(gif.string()) + " (the GIF's screen is empty)");
  try {
    player = std::make_unique<gif::AnimationPlayer>(image, gif::PlaybackOptions{});  // transparency honoured
  } catch (const std::bad_alloc&) {
    return refuse("Not enough memory to import " + gif.string() + ".");
  }
  const int count = player->frameCount();
  if (count == 0) return refuse(readErrorMessage(gif.string()) + " (the GIF has no frames)");
  // Counted before anything is composed: a long animation is refused at once.
  if (plan.kept + count > model::kMaxFrames) return refuse(std::string(kMaxFramesMessage));

  model::FrameRecord base = plan.base;
  if (plan.replace) {
    base.width = static_cast<std::int16_t>(width);
    base.height = static_cast<std::int16_t>(height);
  }
  prepared.resizes = plan.replace && (width != plan.labelWidth || height != plan.labelHeight);
  const Color background = raster::resolveColor(base.frameColor);
  prepared.records.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (control.cancel && control.cancel->load()) return refuse(std::string(kCancelledImport));
    raster::FastBitmap bitmap;
    int delayMs = kMinDelayMs;
    try {
      bitmap = flatten(player->pictureOfStep(i), background);
      delayMs = static_cast<int>(std::clamp<std::int64_t>(player->timeline().scaledDelayMs(i), kMinDelayMs, 32767));
    } catch (const std::bad_alloc&) {
      return refuse("Not enough memory to import " + gif.string() + ".");
    }
    const std::vector<std::uint8_t> bytes = io::encodeBmp(bitmap);
    // Take the first name that is free or already holds exactly these pixels.
    bool present = false;
    const fs::path path = pictureName(importedPicturePath(pictureFolder, gif, i + 1), bytes, present);
    const std::string name = fs::absolute(path).lexically_normal().string();
    if (name.size() > 255) return refuse("The picture path " + name + " is too long for a project.");
    if (!present) {
      try {
        io::writeBmpFile(bitmap, name);
      } catch (const std::system_error& error) {
        return refuse("Could not write " + name + ": " + error.code().message());
      }
      prepared.created.push_back(path);
    }
    model::FrameRecord record = base;
    record.delayMs = static_cast<std::int16_t>(delayMs);
    record.pictureFile[0].assign(name);
    record.pictureX[0] = 0;
    record.pictureY[0] = 0;
    prepared.records.push_back(record);
    prepared.pictures.push_back(name);
    if (control.progress) control.progress(i + 1, count);
  }
  return prepared;
}

GifImportResult applyGifImport(Editor& editor, PreparedGifImport prepared) {
  GifImportResult result;
  if (!prepared.refusal.empty()) {
    discardGifImport(prepared);
    result.change = Change::refused(prepared.refusal);
    return result;
  }
  const model::LabelProject& project = editor.project();
  // The project may have changed while the frames were prepared elsewhere.
  if (prepared.replace ? !isNewAndEmpty(project) : project.frameCount != prepared.kept) {
    discardGifImport(prepared);
    result.change = Change::refused("The project changed during the GIF import; nothing was imported.");
    return result;
  }
  const int at = prepared.replace ? 1 : prepared.kept + 1;
  result.change = editor.replaceFrames(kImportGifLabel, at, prepared.replace ? 1 : 0, std::move(prepared.records), at);
  if (!result.change.applied) {
    discardGifImport(prepared);
    return result;
  }
  result.pictures = std::move(prepared.pictures);
  result.resized = prepared.resizes;
  return result;
}

GifImportResult importGif(Editor& editor, const fs::path& gif, const fs::path& pictureFolder) {
  return applyGifImport(editor, prepareGifImport(planGifImport(editor.project()), gif, pictureFolder));
}

}  // namespace zefra::editor
