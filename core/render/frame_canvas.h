#pragma once
// The frame canvas: one width x height surface with one reusable layer object per slot
// (gradient, 10 shapes, 10 pictures, 10 texts, the border band), configured from a frame
// record by draw() and drawn bottom to top into a FastBitmap. The editor shows bitmap() and
// the export copies it, so both see exactly the same frame.
//
// Drawing order: frameColor; the gradient (whole canvas when gradientOn is 1); for k = 1..10
// shape k, picture k, text k; the border band on top. Every object is clipped to the canvas.
//
// Drawing never writes into the record. Picture and texture files are found by the
// file-name rule (render/file_resolution.h), reported in the LayoutReport, and read only
// when a slot's resolved name changes. A file that exists but cannot be read does
// not stop the layout: that slot stays hidden, the failure is returned once in the
// LayoutReport, and the same name is not read again until it changes or reloadPicture()
// is called. A text the painter cannot lay out or draw is reported the same way (file =
// its font name) and left out.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/frame_record.h"
#include "model/label_project.h"
#include "raster/fast_bitmap.h"
#include "raster/geometry.h"
#include "render/border_band.h"
#include "render/gradient_fill.h"
#include "render/picture.h"
#include "render/shape_layer.h"
#include "render/text_layer_painter.h"

namespace zefra::render {

struct CanvasSettings {
  std::string appDir;   // the program's folder, with a trailing separator
  int screenDpi = 96;   // pixels per inch of the display the project is shown on
  int designDpi = 96;   // pixels per inch recorded in the project (frame 1)
  std::string projectDir = {};  // the project file's folder; empty for a project never saved
};

// The settings a project is drawn with, in the editor and in the export alike: its
// program folder, display and design DPI, and the folder of its file.
CanvasSettings canvasSettingsFor(const model::LabelProject& project);

enum class CanvasObjectKind { Shape, Picture, Text, Border };

struct CanvasObject {
  CanvasObjectKind kind = CanvasObjectKind::Shape;
  int slot = 0;  // 1..10; 0 for the border band
  raster::Rect bounds;
  friend bool operator==(const CanvasObject&, const CanvasObject&) = default;
};

struct LoadFailure {
  CanvasObjectKind kind = CanvasObjectKind::Picture;  // Picture, or Text for a texture
  int slot = 0;
  std::string file;
  std::string message;
  int frame = 0;  // set by callers that draw several frames (the export)
};

struct LayoutReport {
  std::vector<LoadFailure> failures;
  // The files the names of the record resolved to, by slot (1 at index 0); empty where a
  // name is empty or names no file.
  std::array<std::string, model::kSlots> pictureFiles;
  std::array<std::string, model::kSlots> textureFiles;
  bool ok() const { return failures.empty(); }
};

// The record fields after whose edit moveObject() moves one object.
enum class PositionField { TextX, TextY, ShapeX, ShapeY, ShapeWidth, ShapeHeight, PictureX, PictureY };

// The layer style for a record's gradientStyle (0..8); other values give Horizontal.
GradientStyle gradientStyleFor(std::uint8_t recordStyle);

// round(designDpi / screenDpi x fontSize), halves to even; fontSize itself when a DPI is
// not positive.
int textPointSize(int designDpi, int screenDpi, int fontSize);

class FrameCanvas {
 public:
  explicit FrameCanvas(CanvasSettings settings = {});

  const CanvasSettings& settings() const { return config; }
  void setSettings(const CanvasSettings& settings) { config = settings; }
  // Not owned; nullptr (the default) draws no texts.
  void setTextLayerPainter(TextLayerPainter* painter) { textPainter = painter; }

  // Lays out every object from `record` and redraws the canvas; answers what the picture
  // and texture names resolved to and what could not be drawn.
  LayoutReport draw(const model::FrameRecord& record);

  // After an edit of one position or size field of slot `slot` (1..10): moves that one
  // object to the record's values and redraws.
  void moveObject(const model::FrameRecord& record, PositionField field, int slot);

  // Hides every object and forgets the loaded picture and texture names.
  void clear();

  // Animated GIF pictures: each plays from the moment its file was loaded into the slot,
  // so `ms` is the caller's clock (a picture loaded at clock value L shows its frame at
  // ms - L). Answers whether a visible picture changed; the caller then redraws with draw().
  // A canvas nobody animates keeps every picture on its first frame, which is what the
  // export draws.
  bool advanceAnimations(std::int64_t ms);
  // The clock value at which a visible animated picture changes next; nothing when none will.
  std::optional<std::int64_t> nextAnimationChange(std::int64_t ms) const;
  // The clock value a picture loaded by the next draw() starts playing at.
  void setAnimationClock(std::int64_t ms) { animationNow = ms; }
  // Forgets what slot `slot` (1..10) has loaded, so the next draw() reads its file again
  // (after the file was edited outside).
  void reloadPicture(int slot);
  // Reads the file slot `slot` (1..10) shows again at once, after it was edited in another
  // program. A file that cannot be read now (still being written, say) keeps the picture
  // shown before. Answers whether a new picture was read; false too for a slot without a
  // file.
  bool refreshPicture(int slot);

  const raster::FastBitmap& bitmap() const { return pixels; }
  int width() const { return pixels.width(); }
  int height() const { return pixels.height(); }
  Color workAreaColor() const { return webSiteColor; }

  // Visible objects, bottom to top, and the topmost one under a canvas pixel.
  std::vector<CanvasObject> objects() const;
  std::optional<CanvasObject> objectAt(int x, int y) const;
  // What text slot `slot` of `r` (the record this canvas shows) paints: its letters, 3D
  // depth and shadow, which can be narrower than its box, since the box ends where the
  // last letter's advance ends rather than where its ink does. Nothing when the slot
  // paints nothing.
  std::optional<raster::Rect> paintedTextBox(const model::FrameRecord& r, int slot) const;

  const std::string& loadedPictureFile(int slot) const { return pictures.at(index(slot)).loadedFile; }
  const std::string& loadedTextureFile(int slot) const { return texts.at(index(slot)).loadedTexture; }
  // Number of picture and texture files read so far (each read is a disk access).
  int fileReads() const { return reads; }

  const GradientFill& gradient() const { return gradientLayer; }
  const BorderBand& borderBand() const { return band; }

 private:
  struct PictureSlot {
    Picture picture;
    std::string loadedFile;
    std::string failedFile;
    bool visible = false;
    int x = 0;
    int y = 0;
    std::int64_t animationStart = 0;
    std::int64_t shownStep = 0;
  };
  struct TextSlot {
    std::string loadedTexture;
    std::string failedTexture;
    raster::FastBitmap texture;
    bool hasTexture = false;
    bool visible = false;
    int pointSize = 0;
    raster::Rect bounds;
  };

  static std::size_t index(int slot) { return static_cast<std::size_t>(slot - 1); }
  void layoutShape(const model::FrameRecord& r, int k);
  void layoutPicture(const model::FrameRecord& r, int k, LayoutReport& report);
  void layoutText(const model::FrameRecord& r, int k, LayoutReport& report);
  TextLayerRequest textRequest(const model::FrameRecord& r, int k) const;
  void redraw(const model::FrameRecord& r, LayoutReport* report);

  CanvasSettings config;
  TextLayerPainter* textPainter = nullptr;
  raster::FastBitmap pixels;
  Color webSiteColor = 0;
  Color background = 0;
  bool gradientOn = false;
  GradientFill gradientLayer;
  std::array<ShapeLayer, model::kSlots> shapes{};
  std::array<PictureSlot, model::kSlots> pictures{};
  std::array<TextSlot, model::kSlots> texts{};
  BorderBand band;
  int reads = 0;
  std::int64_t animationNow = 0;
};

}  // namespace zefra::render
