#include "editor/banner_resize.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <stdexcept>
#include <system_error>

#include "editor/panel_rules.h"
#include "io/bmp_writer.h"
#include "raster/resample.h"
#include "render/file_resolution.h"
#include "render/frame_canvas.h"
#include "render/picture.h"

namespace zefra::editor {
namespace {

constexpr std::array<BannerSize, 13> kStandardSizes{{
    {"Full Banner", 468, 60},
    {"Half Banner", 234, 60},
    {"Leaderboard", 728, 90},
    {"Large Leaderboard", 970, 90},
    {"Billboard", 970, 250},
    {"Medium Rectangle", 300, 250},
    {"Large Rectangle", 336, 280},
    {"Square", 250, 250},
    {"Half Page", 300, 600},
    {"Wide Skyscraper", 160, 600},
    {"Skyscraper", 120, 600},
    {"Mobile Banner", 320, 50},
    {"Large Mobile Banner", 320, 100},
}};

constexpr std::array<Anchor, 9> kAnchors{Anchor::TopLeft,    Anchor::Top,    Anchor::TopRight,
                                         Anchor::Left,       Anchor::Center, Anchor::Right,
                                         Anchor::BottomLeft, Anchor::Bottom, Anchor::BottomRight};
constexpr std::array<std::string_view, 9> kAnchorNames{"top-left",    "top",    "top-right",
                                                       "left",        "center", "right",
                                                       "bottom-left", "bottom", "bottom-right"};

std::int16_t toInt16(double value) {
  return static_cast<std::int16_t>(std::clamp<double>(std::lround(value), std::numeric_limits<std::int16_t>::min(),
                                                      std::numeric_limits<std::int16_t>::max()));
}

// A size scaled by s within low..high; a zero (an unused slot) stays zero.
template <typename T>
T scaledSize(T value, double s, int low, int high) {
  if (value == 0) return value;
  return static_cast<T>(std::clamp<long>(std::lround(value * s), low, high));
}

bool sameFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::vector<std::uint8_t> held((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return held == bytes;
}

// Resamples the pictures the frames use, each file once, and answers the name each
// original name is to be replaced by.
class PictureScaler {
 public:
  PictureScaler(const model::LabelProject& project, const ResizeRequest& request, double s, ResizedFrames& out)
      : project(project), request(request), s(s), out(out) {}

  // The name to store for `stored`, or nothing to keep it.
  std::optional<std::string> replacementFor(const model::String255& stored, int frame, int slot) {
    const std::string key = stored.str();
    if (key.empty()) return std::nullopt;
    if (const auto found = done.find(key); found != done.end()) return found->second;
    std::optional<std::string> result;
    try {
      result = scale(stored, frame, slot);
    } catch (const std::system_error&) {
      throw;
    } catch (const std::exception& e) {
      out.notes.push_back("picture " + key + " keeps its size: " + e.what());
    }
    done.emplace(key, result);
    return result;
  }

 private:
  std::optional<std::string> scale(const model::String255& stored, int frame, int slot) {
    const std::optional<std::string> file = render::resolveFileName(stored, project.appDir, project.projectDir.str());
    if (!file) {
      out.notes.push_back("frame " + std::to_string(frame) + ", picture " + std::to_string(slot) + ": " + stored.str() +
                          " not found; it keeps its size");
      return std::nullopt;
    }
    const render::Picture picture = render::loadPicture(*file);
    if (picture.hasMask() || picture.hasAlpha() || picture.animation) {
      // A BMP holds neither transparency nor motion; the picture would lose them.
      out.notes.push_back("picture " + stored.str() + " keeps its size: " +
                          (picture.hasAlpha() ? "it is a PNG with transparency" : "it is a transparent or animated GIF"));
      return std::nullopt;
    }
    const int width = std::max(1, static_cast<int>(std::lround(picture.width() * s)));
    const int height = std::max(1, static_cast<int>(std::lround(picture.height() * s)));
    if (width == picture.width() && height == picture.height()) return std::nullopt;
    const raster::FastBitmap scaled = raster::resampled(picture.image, width, height);
    const std::vector<std::uint8_t> bytes = io::encodeBmp(scaled);

    const std::filesystem::path source(*file);
    const std::filesystem::path folder = request.pictureFolder.empty() ? source.parent_path() : request.pictureFolder;
    const std::string base = source.stem().string() + "-" + std::to_string(request.width) + "x" + std::to_string(request.height);
    std::filesystem::path target;
    for (int n = 1;; ++n) {
      std::string name = base;
      if (n > 1) name.append("-").append(std::to_string(n));
      target = folder / name.append(".bmp");
      std::error_code ec;
      if (!std::filesystem::exists(target, ec) && !ec) {
        io::writeBmpFile(scaled, target.string());
        out.writtenPictures.push_back(target.string());
        break;
      }
      if (sameFileBytes(target, bytes)) break;  // made by an earlier resize: use it again
    }
    // Beside the project the bare name is enough (names resolve in the project's folder).
    std::filesystem::path projectFolder = request.projectFolder;
    if (projectFolder.empty() && !project.fileName.empty())
      projectFolder = std::filesystem::path(project.fileName.str()).parent_path();
    std::error_code ec;
    const bool besideProject = !projectFolder.empty() && std::filesystem::equivalent(folder, projectFolder, ec);
    std::string name = besideProject ? target.filename().string() : std::filesystem::absolute(target, ec).string();
    if (name.size() > model::String255::kCapacity) {
      out.notes.push_back("picture " + stored.str() + " keeps its size: the path of " + target.string() +
                          " is too long to store");
      return std::nullopt;
    }
    return name;
  }

  const model::LabelProject& project;
  const ResizeRequest& request;
  double s;
  ResizedFrames& out;
  std::map<std::string, std::optional<std::string>> done;
};

// The anchor's share of a size difference, in halves: 0 (near edge), 1 (middle), 2 (far).
int horizontalHalves(Anchor a) {
  switch (a) {
    case Anchor::TopLeft: case Anchor::Left: case Anchor::BottomLeft: return 0;
    case Anchor::Top: case Anchor::Center: case Anchor::Bottom: return 1;
    default: return 2;
  }
}
int verticalHalves(Anchor a) {
  switch (a) {
    case Anchor::TopLeft: case Anchor::Top: case Anchor::TopRight: return 0;
    case Anchor::Left: case Anchor::Center: case Anchor::Right: return 1;
    default: return 2;
  }
}

// Half of an odd difference is rounded down (towards the top left), for growing and
// shrinking alike.
int anchorOffset(int difference, int halves) {
  const int twice = difference * halves;
  return twice >= 0 ? twice / 2 : -((-twice + 1) / 2);
}

// The drawn box of text slot index + 1 of `record`, at the point size the canvas uses.
raster::Rect measure(render::TextLayerPainter& painter, const model::LabelProject& project,
                     const model::FrameRecord& record, int index) {
  render::TextLayerRequest request;
  request.record = &record;
  request.slot = index + 1;
  request.pointSize = render::textPointSize(project.settings.designDpi, project.screenDpi, record.fontSize[index]);
  return painter.bounds(request);
}

}  // namespace

std::span<const BannerSize> standardBannerSizes() { return kStandardSizes; }

std::string bannerSizeText(const BannerSize& size) {
  return std::string(size.name) + " " + std::to_string(size.width) + " x " + std::to_string(size.height);
}

std::optional<BannerSize> parseBannerSize(std::string_view text) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos || x == 0 || x + 1 >= text.size()) return std::nullopt;
  int width = 0;
  int height = 0;
  const char* end = text.data() + text.size();
  const auto w = std::from_chars(text.data(), text.data() + x, width);
  const auto h = std::from_chars(text.data() + x + 1, end, height);
  if (w.ec != std::errc() || w.ptr != text.data() + x || h.ec != std::errc() || h.ptr != end) return std::nullopt;
  if (!model::isDrawableLabelSize(width, height)) return std::nullopt;
  return BannerSize{{}, width, height};
}

std::optional<Anchor> anchorNamed(std::string_view name) {
  if (name == "centre") return Anchor::Center;
  for (std::size_t i = 0; i < kAnchorNames.size(); ++i)
    if (kAnchorNames[i] == name) return kAnchors[i];
  return std::nullopt;
}

std::string_view anchorName(Anchor anchor) { return kAnchorNames[static_cast<std::size_t>(anchor)]; }

std::span<const Anchor> allAnchors() { return kAnchors; }

double contentScale(int fromWidth, int fromHeight, int toWidth, int toHeight) {
  if (fromWidth <= 0 || fromHeight <= 0) return 1.0;
  return std::min(static_cast<double>(toWidth) / fromWidth, static_cast<double>(toHeight) / fromHeight);
}

ResizedFrames resizeFrames(const model::LabelProject& project, const ResizeRequest& request) {
  if (!model::isDrawableLabelSize(request.width, request.height))
    throw std::invalid_argument("a banner of " + std::to_string(request.width) + " x " + std::to_string(request.height) +
                                " cannot be drawn");
  ResizedFrames out;
  const int count = std::clamp<int>(project.frameCount, 1, model::kMaxFrames);
  const model::FrameRecord& first = project.frame(1);
  const double s = contentScale(first.width, first.height, request.width, request.height);
  PictureScaler pictures(project, request, s, out);

  for (int k = 1; k <= count; ++k) {
    model::FrameRecord r = project.frame(k);
    const int w = r.width;
    const int h = r.height;
    if (request.anchor) {
      const int dx = anchorOffset(request.width - w, horizontalHalves(*request.anchor));
      const int dy = anchorOffset(request.height - h, verticalHalves(*request.anchor));
      for (int i = 0; i < model::kSlots; ++i) {
        r.textX[i] = toInt16(r.textX[i] + dx);
        r.textY[i] = toInt16(r.textY[i] + dy);
        r.pictureX[i] = toInt16(r.pictureX[i] + dx);
        r.pictureY[i] = toInt16(r.pictureY[i] + dy);
        r.shapeX[i] = toInt16(r.shapeX[i] + dx);
        r.shapeY[i] = toInt16(r.shapeY[i] + dy);
      }
    } else {
      const double offsetX = (request.width - w * s) / 2;
      const double offsetY = (request.height - h * s) / 2;
      const auto mapX = [&](std::int16_t& x) { x = toInt16(x * s + offsetX); };
      const auto mapY = [&](std::int16_t& y) { y = toInt16(y * s + offsetY); };
      for (int i = 0; i < model::kSlots; ++i) {
        mapX(r.textX[i]);
        mapY(r.textY[i]);
        mapX(r.pictureX[i]);
        mapY(r.pictureY[i]);
        mapX(r.shapeX[i]);
        mapY(r.shapeY[i]);
        r.fontSize[i] = scaledSize(r.fontSize[i], s, 1, 72);
        r.shapeWidth[i] = scaledSize(r.shapeWidth[i], s, 1, std::numeric_limits<std::int16_t>::max());
        r.shapeHeight[i] = scaledSize(r.shapeHeight[i], s, 1, std::numeric_limits<std::int16_t>::max());
        r.shapeBorderWidth[i] = scaledSize(r.shapeBorderWidth[i], s, 1, 20);
        r.textBorderWidth[i] = scaledSize(r.textBorderWidth[i], s, 1, 20);
        if (const auto name = pictures.replacementFor(r.pictureFile[i], k, i + 1)) r.pictureFile[i].assign(*name);
      }
      if (request.textMeasure) {
        for (int i = 0; i < model::kSlots; ++i) {
          if (r.text[i].view().empty()) continue;
          const model::FrameRecord& old = project.frame(k);
          const raster::Rect before = measure(*request.textMeasure, project, old, i);
          const raster::Rect after = measure(*request.textMeasure, project, r, i);
          const double centreX = old.textX[i] + before.width() / 2.0;
          const double centreY = old.textY[i] + before.height() / 2.0;
          double x = centreX * s + offsetX - after.width() / 2.0;
          double y = centreY * s + offsetY - after.height() / 2.0;
          // A text that a font grown out of proportion pushes past an edge it kept to
          // moves back inside.
          if (old.textX[i] >= 0 && old.textX[i] + before.width() <= w && after.width() <= request.width)
            x = std::clamp(x, 0.0, static_cast<double>(request.width - after.width()));
          if (old.textY[i] >= 0 && old.textY[i] + before.height() <= h && after.height() <= request.height)
            y = std::clamp(y, 0.0, static_cast<double>(request.height - after.height()));
          r.textX[i] = toInt16(x);
          r.textY[i] = toInt16(y);
        }
      }
      r.borderWidth = scaledSize(r.borderWidth, s, 1, 255);
      r.bevelWidth = scaledSize(r.bevelWidth, s, 1, 255);
    }
    r.width = static_cast<std::int16_t>(request.width);
    r.height = static_cast<std::int16_t>(request.height);
    // A band that was as wide as the old size allowed may be too wide for the new one.
    fitBorderBand(r);
    out.records.push_back(r);
  }
  return out;
}

ResizeOutcome resizeProject(Editor& editor, ResizeRequest request) {
  const model::LabelProject& project = editor.project();
  if (request.pictureFolder.empty() && editor.saveEnabled())
    request.pictureFolder = std::filesystem::path(project.fileName.str()).parent_path();
  ResizedFrames resized = resizeFrames(project, request);
  ResizeOutcome outcome;
  outcome.change = editor.replaceFrames(kResizeBannerLabel, 1, project.frameCount, std::move(resized.records),
                                        project.currentFrame);
  outcome.writtenPictures = std::move(resized.writtenPictures);
  outcome.notes = std::move(resized.notes);
  return outcome;
}

}  // namespace zefra::editor
