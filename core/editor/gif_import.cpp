#include "editor/gif_import.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "gif/animation_player.h"
#include "gif/gif_error.h"
#include "gif/gif_image.h"
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

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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

GifImportResult refused(std::string message) {
  GifImportResult result;
  result.change = Change::refused(message);
  return result;
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

GifImportResult importGif(Editor& editor, const fs::path& gif, const fs::path& pictureFolder) {
  const model::LabelProject& project = editor.project();
  const bool replace = isNewAndEmpty(project);
  const int kept = replace ? 0 : project.frameCount;
  std::vector<ComposedGifFrame> frames;
  try {
    gif::GifImage image;
    image.loadFromFile(gif);
    gif::AnimationPlayer player(image, gif::PlaybackOptions{});
    if (player.frameCount() == 0) return refused(readErrorMessage(gif.string()) + " (the GIF has no frames)");
    // Counted before anything is composed: a long animation is refused at once.
    if (kept + player.frameCount() > model::kMaxFrames) return refused(std::string(kMaxFramesMessage));
    frames = composeFrames(player);
  } catch (const std::exception& error) {
    return refused(readErrorMessage(gif.string()) + " (" + error.what() + ")");
  }
  const int width = frames.front().picture.width;
  const int height = frames.front().picture.height;
  if (replace && !model::isDrawableLabelSize(width, height)) {
    return refused("The GIF " + gif.string() + " is larger than a label can be.");
  }

  const bool resizes = replace && (width != project.frame(1).width || height != project.frame(1).height);
  model::FrameRecord base = replace ? project.frame(1) : blankFrameAfter(project.frame(project.frameCount));
  if (replace) {
    base.width = static_cast<std::int16_t>(width);
    base.height = static_cast<std::int16_t>(height);
  }
  const Color background = raster::resolveColor(base.frameColor);

  GifImportResult result;
  std::vector<fs::path> created;
  auto undoWrites = [&created] {
    std::error_code ignored;
    for (const fs::path& p : created) fs::remove(p, ignored);
  };
  std::vector<model::FrameRecord> records;
  records.reserve(frames.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const raster::FastBitmap bitmap = flatten(frames[i].picture, background);
    const std::vector<std::uint8_t> bytes = io::encodeBmp(bitmap);
    // Take the first name that is free or already holds exactly these pixels.
    const fs::path first = importedPicturePath(pictureFolder, gif, static_cast<int>(i) + 1);
    fs::path path = first;
    bool present = false;
    for (int k = 2; fs::exists(path); ++k) {
      if (fileBytes(path) == bytes) {
        present = true;
        break;
      }
      path = first.parent_path() / (first.stem().string() + "-" + std::to_string(k) + ".bmp");
    }
    const std::string name = fs::absolute(path).lexically_normal().string();
    if (name.size() > 255) {
      undoWrites();
      return refused("The picture path " + name + " is too long for a project.");
    }
    if (!present) {
      try {
        io::writeBmpFile(bitmap, name);
      } catch (const std::system_error& error) {
        undoWrites();
        return refused("Could not write " + name + ": " + error.code().message());
      }
      created.push_back(path);
    }
    model::FrameRecord record = base;
    record.delayMs = static_cast<std::int16_t>(frames[i].delayMs);
    record.pictureFile[0].assign(name);
    record.pictureX[0] = 0;
    record.pictureY[0] = 0;
    records.push_back(record);
    result.pictures.push_back(name);
  }

  const int at = replace ? 1 : project.frameCount + 1;
  result.change = editor.replaceFrames(kImportGifLabel, at, replace ? 1 : 0, std::move(records), at);
  if (!result.change.applied) {
    undoWrites();
    result.pictures.clear();
    return result;
  }
  result.resized = resizes;
  return result;
}

}  // namespace zefra::editor
