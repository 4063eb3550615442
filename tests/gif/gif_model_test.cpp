// The GIF object model: colour tables, frames, extensions and their links, images.

#include <gtest/gtest.h>

#include "colour/color_reduction.h"
#include "colour/indexed_bitmap.h"
#include "gif/application_extension.h"
#include "gif/extension_registry.h"
#include "gif/gif_error.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/text_extensions.h"
#include "io/lbl_test_files.h"
#include "raster/fast_bitmap.h"

namespace zefra::gif {
namespace {

using colour::IndexedBitmap;
using Bytes = std::vector<std::uint8_t>;
using Warnings = std::vector<std::string>;

std::string errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const GifError& e) {
    return e.what();
  }
  return "";
}

struct WarningLog {
  Warnings messages;
  void attach(GifImage& image) {
    image.warningHandler = [this](const GifItem*, int, const std::string& m) { messages.push_back(m); };
  }
};

TEST(ColorMapModel, PixelBitsAndGrowth) {
  for (auto [count, bits] : {std::pair{0, 0}, {1, 1}, {2, 1}, {3, 2}, {5, 3}, {129, 8}, {256, 8}})
    EXPECT_EQ(ColorMap::pixelBitsFor(count), bits) << count;
  GifImage image;
  ColorMap& map = image.globalTable();
  map.grow(17);
  EXPECT_EQ(map.capacity(), 32);
  map.reset();
  map.grow(3);
  EXPECT_EQ(map.capacity(), 16);
  map.grow(250);
  EXPECT_EQ(map.capacity(), 256);
  EXPECT_EQ(map.count(), 0);
}

TEST(ColorMapModel, AppendFindAndRemove) {
  GifImage image;
  ColorMap& map = image.globalTable();
  for (int i = 0; i < 256; ++i) EXPECT_EQ(map.append(rgb(static_cast<std::uint8_t>(i), 1, 2)), i);
  EXPECT_EQ(errorOf([&] { map.append(rgb(1, 1, 1)); }), "Color table overflow");
  map.reset();

  const Color red = rgb(255, 0, 0);
  for (Color c : {rgb(0, 0, 0), rgb(1, 1, 1), red, rgb(2, 2, 2), rgb(3, 3, 3), red}) map.append(c);
  EXPECT_EQ(map.find(red), 5);  // unsorted: the last match
  map.setSorted(true);
  EXPECT_EQ(map.find(red), 2);  // sorted: the first match
  EXPECT_EQ(map.find(rgb(9, 9, 9)), -1);
  EXPECT_EQ(map.appendUnique(rgb(3, 3, 3)), 4);
  EXPECT_EQ(map.appendUnique(rgb(4, 4, 4)), 6);
  EXPECT_FALSE(map.sorted());

  map.removeAt(0);
  EXPECT_EQ(map.entryColor(0), rgb(1, 1, 1));
  EXPECT_EQ(map.count(), 6);
  EXPECT_EQ(errorOf([&] { map.removeAt(6); }), "Invalid color index");
  EXPECT_EQ(errorOf([&] { map.setEntryColor(-1, 0); }), "Invalid color index");
}

TEST(ColorMapModel, EntryColorOutsideTheTable) {
  GifImage image;
  WarningLog log;
  log.attach(image);
  ColorMap& map = image.globalTable();
  map.append(rgb(10, 20, 30));
  map.append(rgb(40, 50, 60));
  EXPECT_EQ(map.entryColor(300), rgb(10, 20, 30));
  EXPECT_EQ(log.messages, Warnings{"Invalid color index"});
  map.reset();
  EXPECT_EQ(errorOf([&] { map.entryColor(0); }), "Color table is empty");
}

TEST(ColorMapModel, Imports) {
  GifImage image;
  ColorMap& map = image.globalTable();
  const std::uint8_t quads[] = {1, 2, 3, 0, 4, 5, 6, 0};  // blue, green, red, reserved
  map.importFromColorTable(quads, 2);
  EXPECT_EQ(map.toPalette(), (std::vector<Color>{rgb(3, 2, 1), rgb(6, 5, 4)}));
  std::vector<Color> many(300, rgb(7, 7, 7));
  map.importColors(many);
  EXPECT_EQ(map.count(), 256);
}

TEST(GraphicControlModel, TransparencyLinksAndIndexChecks) {
  GifImage image;
  WarningLog log;
  log.attach(image);
  auto frame = std::make_unique<GifFrame>(&image);
  frame->setPlacement(0, 0, 2, 2);
  for (int i = 0; i < 16; ++i) frame->localColorMap().append(rgb(static_cast<std::uint8_t>(i), 0, 0));
  auto first = std::make_unique<GraphicControlExtension>(*frame);
  auto second = std::make_unique<GraphicControlExtension>(*frame);
  EXPECT_EQ(frame->graphicControl, first.get());  // only the first links itself
  first->setTransparentIndex(255);
  EXPECT_EQ(first->transparentIndex(), 0);
  EXPECT_EQ(log.messages, Warnings{"Invalid color index"});
  first->setTransparentIndex(15);
  EXPECT_EQ(first->transparentIndex(), 15);
  first->setTransparencyOn(true);
  EXPECT_TRUE(frame->hasTransparency);
  first->setDisposal(Disposal::RestorePrevious);
  first->setDelayCs(0xABCD);
  EXPECT_EQ(first->packed(), 0x0D);
  EXPECT_EQ(first->delayCs(), 0xABCD);

  GraphicControlExtension* link = first.get();
  frame->extensions().add(std::move(first));
  frame->extensions().add(std::move(second));
  // Deleting the linked extension clears the link and the transparency it gave.
  frame->extensions().erase(0);
  EXPECT_EQ(frame->graphicControl, nullptr);
  EXPECT_FALSE(frame->hasTransparency);
  // Taking one out of the list does not free it.
  auto taken = frame->extensions().extract(0);
  EXPECT_EQ(frame->extensions().count(), 0);
  EXPECT_NE(taken.get(), link);
}

TEST(FrameModel, PlacementGrowsTheScreenWithWarnings) {
  GifImage image;
  WarningLog log;
  log.attach(image);
  GifFrame frame(&image);
  frame.setPlacement(2, 3, 10, 5);
  EXPECT_EQ(image.width(), 12);
  EXPECT_EQ(image.height(), 8);
  EXPECT_TRUE(log.messages.empty());  // the screen was 0 x 0
  EXPECT_EQ(frame.pixelCount(), 50u);
  frame.setWidth(20);
  EXPECT_EQ(log.messages, (Warnings{"Image width too small for contained frames", "Image exceeds Logical Screen size"}));
  EXPECT_EQ(image.width(), 22);
  EXPECT_EQ(frame.left(), 2);
  EXPECT_EQ(frame.height(), 5);
  EXPECT_EQ(frame.pixelCount(), 100u);
  EXPECT_EQ(errorOf([&] { frame.setPlacement(0, 0, 70000, 1); }), "Invalid image dimensions");
  image.limits.maxFramePixels = 1000;
  EXPECT_EQ(errorOf([&] { frame.setPlacement(0, 0, 100, 11); }), "Frame exceeds the pixel limit");
}

TEST(FrameModel, PixelAccessAndEmptiness) {
  GifImage image;
  GifFrame frame(&image);
  EXPECT_TRUE(frame.empty());
  EXPECT_EQ(errorOf([&] { frame.rowPointer(0); }), "Invalid pixel coordinates");
  frame.setPlacement(0, 0, 3, 2);
  frame.setPixelAt(2, 1, 9);
  EXPECT_EQ(frame.pixelAt(2, 1), 9);
  EXPECT_EQ(frame.rowPointer(1)[2], 9);
  EXPECT_EQ(errorOf([&] { frame.pixelAt(3, 0); }), "Invalid pixel coordinates");
  EXPECT_EQ(errorOf([&] { frame.pixelAt(0, -1); }), "Invalid pixel coordinates");
  frame.releasePixels();
  EXPECT_TRUE(frame.empty());
  EXPECT_EQ(frame.rowPointer(0)[0], 0);  // allocated again on demand
  frame.setPlacement(0, 0, 0, 2);
  EXPECT_EQ(errorOf([&] { frame.rowPointer(0); }), "Image is empty");
}

TEST(FrameModel, EffectiveColorMap) {
  GifImage image;
  GifFrame frame(&image);
  EXPECT_EQ(&frame.effectiveColorMap(), &frame.localColorMap());
  image.globalTable().append(rgb(1, 1, 1));
  EXPECT_EQ(&frame.effectiveColorMap(), &image.globalTable());
  frame.localColorMap().append(rgb(2, 2, 2));
  EXPECT_EQ(&frame.effectiveColorMap(), &frame.localColorMap());
}

TEST(FrameModel, AssignFromPaletteBitmaps) {
  for (int bpp : {1, 4, 8}) {
    IndexedBitmap bitmap(13, 3, bpp);
    const int colors = 1 << bpp;
    for (int i = 0; i < colors; ++i) bitmap.palette().push_back(Rgb{static_cast<std::uint8_t>(i), 9, 9});
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 13; ++x) bitmap.setIndex(x, y, static_cast<std::uint8_t>((x * 7 + y) % colors));
    GifImage image;
    image.addFrame(bitmap);
    const GifFrame& frame = image.frames()[0];
    EXPECT_EQ(frame.width(), 13);
    EXPECT_EQ(frame.localColorMap().count(), colors);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 13; ++x) EXPECT_EQ(frame.pixelAt(x, y), (x * 7 + y) % colors) << bpp << " bpp";
    EXPECT_EQ(image.width(), 13);
  }
}

TEST(FrameModel, AssignFromTrueColorTakesColorsInFirstSeenOrder) {
  raster::FastBitmap bitmap(5, 2);
  const Color c[] = {rgb(9, 0, 0), rgb(0, 9, 0), rgb(0, 0, 9)};
  const int layout[2][5] = {{0, 1, 1, 2, 0}, {2, 2, 1, 0, 0}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) bitmap.setPixel(x, y, c[layout[y][x]]);
  GifImage image;
  image.reductionMode = ReductionMode::None;
  image.addFrame(bitmap);
  const GifFrame& frame = image.frames()[0];
  EXPECT_EQ(frame.localColorMap().toPalette(), (std::vector<Color>{c[0], c[1], c[2]}));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(frame.pixelAt(x, y), layout[y][x]);
}

TEST(FrameModel, TrueColorWithTooManyColorsOverflows) {
  // More colours than the ring holds, revisited in a different order.
  raster::FastBitmap bitmap(300, 2);
  for (int x = 0; x < 300; ++x) {
    bitmap.setPixel(x, 0, rgb(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x >> 8), 0));
    bitmap.setPixel(x, 1, rgb(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x >> 8), 0));
  }
  GifImage image;
  image.reductionMode = ReductionMode::None;
  EXPECT_EQ(errorOf([&] { image.addFrame(bitmap); }), "Color table overflow");
  EXPECT_EQ(image.frames().count(), 0);  // the partly assigned frame is freed

  raster::FastBitmap few(20, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) few.setPixel(x, y, rgb(static_cast<std::uint8_t>((x * 13 + y * 7) % 11), 0, 0));
  image.addFrame(few);
  const GifFrame& frame = image.frames()[0];
  EXPECT_EQ(frame.localColorMap().count(), 11);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      EXPECT_EQ(toColor(frame.localColorMap()[frame.pixelAt(x, y)]), few.pixel(x, y)) << x << "," << y;
}

TEST(FrameModel, AssignFromTrueColorReducesWithTheImageSettings) {
  raster::FastBitmap src(20, 15);
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 20; ++x) src.setPixel(x, y, rgb(static_cast<std::uint8_t>(x * 12), static_cast<std::uint8_t>(y * 17), 99));
  GifImage image;
  image.reductionMode = ReductionMode::None;  // 300 distinct colours cannot be kept exactly
  try {
    image.addFrame(src);
    FAIL() << "no overflow";
  } catch (const GifError& e) {
    EXPECT_STREQ(e.what(), "Color table overflow");
  }

  image.reductionMode = ReductionMode::Octree;
  image.reductionBitCount = 4;
  image.ditherKind = DitherKind::FloydSteinberg;
  const int index = image.addFrame(src);
  const GifFrame& frame = image.frames()[index];
  const IndexedBitmap expected = colour::mapToPalette(src, ReductionMode::Octree, DitherKind::FloydSteinberg, 4);
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 20; ++x) {
      ASSERT_EQ(frame.pixelAt(x, y), expected.index(x, y));
      ASSERT_LT(frame.pixelAt(x, y), 16);
    }
}

TEST(FrameModel, TransparencyMaskAddsABlackEntryAndAGraphicControl) {
  raster::FastBitmap bitmap(4, 1);
  bitmap.setPixel(0, 0, rgb(200, 0, 0));
  bitmap.setPixel(1, 0, rgb(0, 200, 0));
  bitmap.setPixel(2, 0, rgb(200, 0, 0));
  bitmap.setPixel(3, 0, rgb(0, 0, 200));
  const Bytes mask = {0, 1, 0, 0};
  GifImage image;
  image.reductionMode = ReductionMode::None;
  auto frame = std::make_unique<GifFrame>(&image);
  frame->assign(bitmap, mask);
  ASSERT_NE(frame->graphicControl, nullptr);
  EXPECT_TRUE(frame->hasTransparency);
  const int key = frame->graphicControl->transparentIndex();
  EXPECT_EQ(key, frame->localColorMap().count() - 1);
  EXPECT_EQ(frame->localColorMap().entryColor(key), rgb(0, 0, 0));
  EXPECT_EQ(frame->pixelAt(1, 0), key);
  for (int x : {0, 2, 3}) EXPECT_EQ(frame->localColorMap().entryColor(frame->pixelAt(x, 0)), bitmap.pixel(x, 0));

  // Nothing masked: no transparent entry, no graphic control.
  auto plain = std::make_unique<GifFrame>(&image);
  plain->assign(bitmap, Bytes(4, 0));
  EXPECT_EQ(plain->graphicControl, nullptr);
  EXPECT_EQ(plain->localColorMap().count(), 3);
  EXPECT_THROW(plain->assign(bitmap, Bytes(3, 1)), std::invalid_argument);
}

TEST(FrameModel, AssignFromAnotherFrameCopiesEverythingOwnedByTheCopy) {
  GifImage source;
  source.globalTable().append(rgb(1, 2, 3));
  auto frame = std::make_unique<GifFrame>(&source);
  frame->setPlacement(1, 2, 3, 1);
  frame->setPixels({0, 1, 0});
  frame->localColorMap().append(rgb(4, 5, 6));
  frame->localColorMap().append(rgb(7, 8, 9));
  auto gce = std::make_unique<GraphicControlExtension>(*frame);
  gce->setTransparencyOn(true);
  gce->setTransparentIndex(1);
  frame->extensions().add(std::move(gce));
  auto comment = std::make_unique<CommentExtension>(*frame);
  comment->lines = {"hello"};
  frame->extensions().add(std::move(comment));
  source.addFrame(std::move(frame));
  source.addFrame(std::make_unique<GifFrame>(&source));  // an empty frame with an extension
  source.frames()[1].extensions().add(std::make_unique<LoopExtension>(source.frames()[1]));

  GifImage copy;
  copy.assign(source);
  ASSERT_EQ(copy.frames().count(), 2);
  const GifFrame& f = copy.frames()[0];
  EXPECT_EQ(f.left(), 1);
  EXPECT_EQ(f.top(), 2);
  EXPECT_EQ(f.pixelAt(1, 0), 1);
  EXPECT_EQ(f.localColorMap().count(), 2);
  EXPECT_TRUE(f.hasTransparency);
  ASSERT_EQ(f.extensions().count(), 2);
  EXPECT_EQ(f.graphicControl, &f.extensions()[0]);
  EXPECT_EQ(&f.graphicControl->frame(), &f);
  EXPECT_EQ(f.graphicControl->transparentIndex(), 1);
  EXPECT_EQ(copy.globalTable().count(), 1);
  EXPECT_EQ(copy.frames()[1].extensions().count(), 1);
  // The copy is independent of the source.
  source.resetImage();
  EXPECT_EQ(f.graphicControl->transparentIndex(), 1);
}

TEST(FrameModel, ClearFrame) {
  GifImage image;
  GifFrame frame(&image);
  frame.setPlacement(4, 4, 2, 2);
  frame.localColorMap().append(rgb(1, 1, 1));
  auto gce = std::make_unique<GraphicControlExtension>(frame);
  gce->setTransparencyOn(true);
  frame.extensions().add(std::move(gce));
  frame.clearFrame();
  EXPECT_TRUE(frame.empty());
  EXPECT_EQ(frame.width(), 0);
  EXPECT_EQ(frame.extensions().count(), 0);
  EXPECT_EQ(frame.localColorMap().count(), 0);
  EXPECT_FALSE(frame.hasTransparency);
  EXPECT_EQ(frame.graphicControl, nullptr);
}

TEST(ImageModel, ScreenSizeChecksAndCaches) {
  GifImage image;
  auto frame = std::make_unique<GifFrame>(&image);
  frame->setPlacement(5, 5, 10, 10);
  frame->localColorMap().append(rgb(1, 2, 3));
  image.addFrame(std::move(frame));
  EXPECT_EQ(errorOf([&] { image.setScreenWidth(14); }), "Image width too small for contained frames");
  EXPECT_EQ(errorOf([&] { image.setScreenHeight(14); }), "Image height too small for contained frames");
  int changes = 0;
  image.changeHandler = [&] { ++changes; };
  image.setScreenWidth(30);
  image.setScreenWidth(30);
  EXPECT_EQ(image.width(), 30);
  EXPECT_EQ(changes, 1);

  image.releaseCaches();
  EXPECT_EQ(image.globalTable().count(), 1);
  EXPECT_EQ(image.frames()[0].localColorMap().count(), 0);
}

TEST(ImageModel, FramesMustBelongToTheImage) {
  GifImage a;
  GifImage b;
  EXPECT_EQ(errorOf([&] { a.addFrame(std::make_unique<GifFrame>(&b)); }), "Object type not supported for operation");
}

TEST(ImageModel, SaveAndLoadThroughAFile) {
  GifImage image;
  image.globalTable().append(rgb(0, 0, 0));
  image.globalTable().append(rgb(255, 255, 255));
  auto frame = std::make_unique<GifFrame>(&image);
  frame->setPlacement(0, 0, 4, 1);
  frame->setPixels({0, 1, 1, 0});
  image.addFrame(std::move(frame));
  const zefra::testing::TempDir dir;
  const auto path = dir / "model.gif";
  image.saveToFile(path);
  GifImage back;
  back.loadFromFile(path);
  std::filesystem::remove(path);
  ASSERT_EQ(back.frames().count(), 1);
  EXPECT_EQ(back.frames()[0].pixelAt(2, 0), 1);
  EXPECT_THROW(back.loadFromFile(path), std::exception);
}

TEST(RegistryModel, LookupsScanFromTheLastEntry) {
  EXPECT_EQ(ExtensionRegistry::instance().find(0xF9), &GraphicControlExtension::kClass);
  EXPECT_EQ(ExtensionRegistry::instance().find(0x01), &PlainTextExtension::kClass);
  EXPECT_EQ(ExtensionRegistry::instance().find(0x02), nullptr);
  EXPECT_EQ(ApplicationExtensionRegistry::instance().find(applicationId("NETSCAPE2.0")), &LoopExtension::kClass);
  EXPECT_EQ(ApplicationExtensionRegistry::instance().find(applicationId("netscape2.0")), nullptr);
  // A later registration of the same identifier wins.
  const ApplicationId id = applicationId("ZEFRAREG1.0");
  ApplicationExtensionRegistry::instance().add(id, &UnknownApplicationExtension::kClass);
  ApplicationExtensionRegistry::instance().add(id, &LoopExtension::kClass);
  EXPECT_EQ(ApplicationExtensionRegistry::instance().find(id), &LoopExtension::kClass);
}

}  // namespace
}  // namespace zefra::gif
