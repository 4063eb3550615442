#include "render/frame_canvas.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>

#include "gif/animation_player.h"
#include "io/bmp_reader.h"
#include "raster/canvas.h"
#include "raster/system_colors.h"
#include "render/file_resolution.h"

namespace zefra::render {

GradientStyle gradientStyleFor(std::uint8_t recordStyle) {
  static constexpr GradientStyle kMap[] = {
      GradientStyle::Horizontal,        GradientStyle::Vertical,         GradientStyle::CornerBottomLeft,
      GradientStyle::CornerBottomRight, GradientStyle::CornerTopLeft,    GradientStyle::CornerTopRight,
      GradientStyle::DiagonalFalling,   GradientStyle::DiagonalRising,   GradientStyle::Pyramid,
  };
  return recordStyle < std::size(kMap) ? kMap[recordStyle] : GradientStyle::Horizontal;
}

int textPointSize(int designDpi, int screenDpi, int fontSize) {
  if (designDpi <= 0 || screenDpi <= 0) return fontSize;
  return static_cast<int>(std::nearbyint(static_cast<double>(designDpi) / screenDpi * fontSize));
}

FrameCanvas::FrameCanvas(CanvasSettings settings) : config(std::move(settings)) {
  gradientLayer.setStepWidth(1);
  gradientLayer.setDirection(GradientDirection::DownRight);
  gradientLayer.setSize(0, 0);
}

CanvasSettings canvasSettingsFor(const model::LabelProject& project) {
  CanvasSettings settings;
  settings.appDir = project.appDir;
  settings.screenDpi = project.screenDpi;
  settings.designDpi = project.settings.designDpi;
  if (!project.fileName.empty()) {
    std::error_code ec;
    const std::filesystem::path file = std::filesystem::absolute(project.fileName.str(), ec);
    if (!ec) settings.projectDir = file.parent_path().string();
  }
  return settings;
}

LayoutReport FrameCanvas::draw(const model::FrameRecord& r) {
  LayoutReport report;
  webSiteColor = r.webSiteColor;
  background = r.frameColor;
  const int W = std::max<int>(r.width, 0);
  const int H = std::max<int>(r.height, 0);
  if (W != pixels.width() || H != pixels.height()) pixels.resize(W, H);

  gradientLayer.setStyle(gradientStyleFor(r.gradientStyle));
  gradientLayer.setStartColor(r.gradientColor1);
  gradientLayer.setEndColor(r.gradientColor2);
  gradientOn = r.gradientOn == 1;
  if (gradientOn) {
    gradientLayer.setSize(W, H);
  } else {
    gradientLayer.setSize(0, 0);
  }

  band.layout(r, W, H);

  for (int k = 1; k <= model::kSlots; ++k) {
    layoutShape(r, k);
    layoutText(r, k, report);
    layoutPicture(r, k, report);
  }
  redraw(r, &report);
  return report;
}

namespace {

// Why a stored name found no file to read: something else stands there, or nothing does.
std::string unresolvedReason(const std::string& name) {
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0) {
    // A link loop or a folder that may not be entered is not a missing file.
    return errno == ENOENT || errno == ENOTDIR ? "file not found" : std::strerror(errno);
  }
  return S_ISREG(info.st_mode) ? "file not found" : "not a regular file";
}

}  // namespace

void FrameCanvas::layoutShape(const model::FrameRecord& r, int k) {
  ShapeLayer& s = shapes[index(k)];
  const std::size_t i = index(k);
  if (r.shapeStyle[i] < 1) {
    s.style = model::ShapeStyle::None;
    return;
  }
  s.style = r.shapeStyle[i] == 2 ? model::ShapeStyle::RndRectangle : model::ShapeStyle::Rectangle;
  s.bounds = raster::Rect::fromSize(r.shapeX[i], r.shapeY[i], r.shapeWidth[i], r.shapeHeight[i]);
  s.fill = r.shapeFillColor[i];
  s.pen = r.shapeBorderColor[i];
  s.penWidth = r.shapeBorderWidth[i];
}

void FrameCanvas::layoutPicture(const model::FrameRecord& r, int k, LayoutReport& report) {
  PictureSlot& p = pictures[index(k)];
  p.visible = false;
  const std::optional<std::string> file = resolveFileName(r.pictureFile[index(k)], config.appDir, config.projectDir);
  if (!file) {
    // A name that finds no file is reported like one that cannot be read, so nothing is
    // left out without a word.
    if (!r.pictureFile[index(k)].empty())
      report.failures.push_back({CanvasObjectKind::Picture, k, r.pictureFile[index(k)].str(), unresolvedReason(r.pictureFile[index(k)].str())});
    return;
  }
  report.pictureFiles[index(k)] = *file;
  if (*file != p.loadedFile) {
    if (*file == p.failedFile) return;  // already reported; read again once the name changes
    try {
      ++reads;
      Picture loaded = loadPicture(*file);
      p.picture = std::move(loaded);
      p.loadedFile = *file;
      p.animationStart = animationNow;
      p.shownStep = 0;
      p.failedFile.clear();
    } catch (const std::exception& e) {
      p.failedFile = *file;
      report.failures.push_back({CanvasObjectKind::Picture, k, *file, e.what()});
      return;
    }
  }
  p.x = r.pictureX[index(k)];
  p.y = r.pictureY[index(k)];
  p.visible = true;
}

void FrameCanvas::layoutText(const model::FrameRecord& r, int k, LayoutReport& report) {
  TextSlot& t = texts[index(k)];
  const std::size_t i = index(k);
  if (r.text[i].empty()) {
    t.visible = false;
    return;
  }
  t.pointSize = textPointSize(config.designDpi, config.screenDpi, r.fontSize[i]);
  // Texture: a name that resolves replaces the texture when it differs from the loaded one;
  // an empty name removes it; a name that resolves to nothing leaves it as it was.
  if (r.textureFile[i].empty()) {
    t.hasTexture = false;
    t.texture = raster::FastBitmap();
    t.loadedTexture.clear();
    t.failedTexture.clear();
  } else if (const std::optional<std::string> file = resolveFileName(r.textureFile[i], config.appDir, config.projectDir)) {
    report.textureFiles[i] = *file;
    if (*file != t.loadedTexture && *file != t.failedTexture) {
      try {
        ++reads;
        t.texture = io::readBmpFile(*file);
        t.hasTexture = true;
        t.loadedTexture = *file;
        t.failedTexture.clear();
      } catch (const std::exception& e) {
        t.failedTexture = *file;
        report.failures.push_back({CanvasObjectKind::Text, k, *file, e.what()});
      }
    }
  } else {
    report.failures.push_back({CanvasObjectKind::Text, k, r.textureFile[i].str(), unresolvedReason(r.textureFile[i].str())});
  }
  t.visible = true;
  t.bounds = raster::Rect::fromSize(r.textX[i], r.textY[i], 0, 0);
  if (!textPainter) return;
  try {
    t.bounds = textPainter->bounds(textRequest(r, k));
  } catch (const std::exception& e) {
    // A text that cannot be laid out (no usable font, say) is left out like an unreadable
    // picture; the rest of the frame is still drawn.
    t.visible = false;
    report.failures.push_back({CanvasObjectKind::Text, k, r.fontName[i].str(), e.what()});
  }
}

std::optional<raster::Rect> FrameCanvas::paintedTextBox(const model::FrameRecord& r, int slot) const {
  if (slot < 1 || slot > model::kSlots || !textPainter) return std::nullopt;
  const TextSlot& t = texts[index(slot)];
  if (!t.visible || t.bounds.empty()) return std::nullopt;
  const raster::Rect box = t.bounds;
  // Drawn on black and on white: a pixel the text leaves alone keeps the background in
  // both, while no colour of the text can match both backgrounds.
  std::optional<raster::Rect> ink;
  raster::FastBitmap onBlack(box.width(), box.height());
  raster::FastBitmap onWhite(box.width(), box.height());
  onWhite.fill(rgb(255, 255, 255));
  try {
    for (raster::FastBitmap* scratch : {&onBlack, &onWhite}) {
      raster::Canvas canvas(*scratch, {-box.left, -box.top}, raster::Rect::fromSize(0, 0, box.width(), box.height()));
      textPainter->paint(canvas, textRequest(r, slot));
    }
  } catch (const std::exception&) {
    return std::nullopt;  // reported by the drawing that showed it
  }
  for (int y = 0; y < box.height(); ++y) {
    for (int x = 0; x < box.width(); ++x) {
      if (onBlack.pixel(x, y) == rgb(0, 0, 0) && onWhite.pixel(x, y) == rgb(255, 255, 255)) continue;
      const raster::Rect dot = raster::Rect::fromSize(box.left + x, box.top + y, 1, 1);
      ink = ink ? raster::Rect{std::min(ink->left, dot.left), std::min(ink->top, dot.top),
                               std::max(ink->right, dot.right), std::max(ink->bottom, dot.bottom)}
                : dot;
    }
  }
  return ink;
}

TextLayerRequest FrameCanvas::textRequest(const model::FrameRecord& r, int k) const {
  const TextSlot& t = texts[index(k)];
  return {&r, k, t.pointSize, t.hasTexture ? &t.texture : nullptr};
}

void FrameCanvas::moveObject(const model::FrameRecord& r, PositionField field, int slot) {
  if (slot < 1 || slot > model::kSlots) return;
  const std::size_t i = index(slot);
  switch (field) {
    case PositionField::TextX:
    case PositionField::TextY:
      if (texts[i].visible) {
        texts[i].bounds = raster::Rect::fromSize(r.textX[i], r.textY[i], 0, 0);
        if (textPainter) {
          try {
            texts[i].bounds = textPainter->bounds(textRequest(r, slot));
          } catch (const std::exception&) {
            texts[i].visible = false;  // reported by the layout that showed it
          }
        }
      }
      break;
    case PositionField::ShapeX:
    case PositionField::ShapeY:
    case PositionField::ShapeWidth:
    case PositionField::ShapeHeight:
      shapes[i].bounds = raster::Rect::fromSize(r.shapeX[i], r.shapeY[i], r.shapeWidth[i], r.shapeHeight[i]);
      break;
    case PositionField::PictureX:
    case PositionField::PictureY:
      if (r.pictureFile[i].empty()) return;
      pictures[i].x = r.pictureX[i];
      pictures[i].y = r.pictureY[i];
      break;
  }
  redraw(r, nullptr);
}

void FrameCanvas::clear() {
  for (ShapeLayer& s : shapes) s.style = model::ShapeStyle::None;
  for (PictureSlot& p : pictures) p = PictureSlot{};
  for (TextSlot& t : texts) t = TextSlot{};
  gradientOn = false;
  gradientLayer.setSize(0, 0);
  band.hide();
}

bool FrameCanvas::advanceAnimations(std::int64_t ms) {
  animationNow = ms;
  bool changed = false;
  for (PictureSlot& p : pictures) {
    if (!p.picture.animation) continue;
    gif::AnimationPlayer& player = *p.picture.animation;
    const gif::PlaybackStep step = player.stepAt(ms - p.animationStart);
    if (step.number == p.shownStep) continue;
    p.shownStep = step.number;
    const gif::RgbaImage& screen = player.pictureOfStep(step.number);
    setPictureFromRgba(p.picture, screen.width, screen.height, screen.pixels.data());
    changed = changed || p.visible;
  }
  return changed;
}

std::optional<std::int64_t> FrameCanvas::nextAnimationChange(std::int64_t ms) const {
  std::optional<std::int64_t> next;
  for (const PictureSlot& p : pictures) {
    if (!p.visible || !p.picture.animation) continue;
    const auto change = p.picture.animation->nextChangeAfter(ms - p.animationStart);
    if (change && (!next || *change + p.animationStart < *next)) next = *change + p.animationStart;
  }
  return next;
}

void FrameCanvas::reloadPicture(int slot) {
  if (slot < 1 || slot > model::kSlots) return;
  pictures[index(slot)].loadedFile.clear();
  pictures[index(slot)].failedFile.clear();
}

bool FrameCanvas::refreshPicture(int slot) {
  if (slot < 1 || slot > model::kSlots) return false;
  PictureSlot& p = pictures[index(slot)];
  const std::string file = !p.loadedFile.empty() ? p.loadedFile : p.failedFile;
  if (file.empty()) return false;
  try {
    ++reads;
    Picture loaded = loadPicture(file);
    p.picture = std::move(loaded);
    p.loadedFile = file;
    p.failedFile.clear();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void FrameCanvas::redraw(const model::FrameRecord& r, LayoutReport* report) {
  if (pixels.empty()) return;
  raster::Canvas canvas(pixels);
  pixels.fill(raster::resolveColor(background));
  if (gradientOn) gradientLayer.paint(canvas, 0, 0);
  for (int k = 1; k <= model::kSlots; ++k) {
    const std::size_t i = index(k);
    shapes[i].paint(canvas);
    const PictureSlot& p = pictures[i];
    if (p.visible) {
      if (p.picture.hasMask()) {
        canvas.drawMasked(p.x, p.y, p.picture.image, p.picture.mask);
      } else if (p.picture.hasAlpha()) {
        canvas.drawBlended(p.x, p.y, p.picture.image, p.picture.alpha);
      } else {
        canvas.draw(p.x, p.y, p.picture.image);
      }
    }
    if (texts[i].visible && textPainter) {
      try {
        textPainter->paint(canvas, textRequest(r, k));
      } catch (const std::exception& e) {
        if (report) report->failures.push_back({CanvasObjectKind::Text, k, r.fontName[i].str(), e.what()});
      }
    }
  }
  band.paint(canvas);
}

std::vector<CanvasObject> FrameCanvas::objects() const {
  std::vector<CanvasObject> list;
  for (int k = 1; k <= model::kSlots; ++k) {
    const std::size_t i = index(k);
    if (shapes[i].visible()) list.push_back({CanvasObjectKind::Shape, k, shapes[i].bounds});
    const PictureSlot& p = pictures[i];
    if (p.visible) {
      list.push_back({CanvasObjectKind::Picture, k, raster::Rect::fromSize(p.x, p.y, p.picture.width(), p.picture.height())});
    }
    if (texts[i].visible) list.push_back({CanvasObjectKind::Text, k, texts[i].bounds});
  }
  if (band.visible() && band.thickness() > 0) {
    for (const BorderStrip& s : band.strips()) {
      if (!s.strip.empty()) list.push_back({CanvasObjectKind::Border, 0, s.strip});
    }
  }
  return list;
}

std::optional<CanvasObject> FrameCanvas::objectAt(int x, int y) const {
  const std::vector<CanvasObject> list = objects();
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (it->bounds.contains(x, y)) return *it;
  }
  return std::nullopt;
}

}  // namespace zefra::render
