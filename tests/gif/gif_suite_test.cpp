// The shared GIF conformance corpora: every file decodes to the expected pixels (composed
// on the logical screen where the corpus gives whole screens), with the same geometry;
// files a corpus marks invalid give a clear error or load as the reading rules say, never
// a crash.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "gif/application_extension.h"
#include "gif/gif_error.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/text_extensions.h"
#include "gif_test_support.h"

namespace zefra::gif {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

fs::path suiteDir() { return fs::path(ZEFRA_TESTDATA_DIR) / "gif-suite"; }

#define SKIP_WITHOUT_SUITE(dir) \
  if (!fs::exists(dir)) GTEST_SKIP() << "GIF conformance corpus not found at " << (dir)

Bytes readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct Loaded {
  GifImage image;
  std::vector<std::string> warnings;
  std::string error;
  explicit Loaded(const fs::path& path) {
    image.warningHandler = [this](const GifItem*, int, const std::string& m) { warnings.push_back(m); };
    try {
      image.loadFromFile(path);
    } catch (const GifError& e) {
      error = e.what();
    }
  }
};

// A small compositor: frames drawn on an RGBA screen that starts transparent, with the
// disposal methods applied between frames.
class Screen {
 public:
  Screen(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0) {}

  void draw(const GifFrame& frame) {
    before = rgba;
    const ColorMap& map = frame.effectiveColorMap();
    const bool transparent = frame.hasTransparency && frame.graphicControl;
    const int key = transparent ? frame.graphicControl->transparentIndex() : -1;
    for (int y = 0; y < frame.height(); ++y) {
      for (int x = 0; x < frame.width(); ++x) {
        const int sx = frame.left() + x;
        const int sy = frame.top() + y;
        if (sx >= width || sy >= height || frame.empty()) continue;
        const int index = frame.pixels()[static_cast<std::size_t>(y) * frame.width() + x];
        if (index == key || index >= map.count()) continue;
        std::uint8_t* p = &rgba[(static_cast<std::size_t>(sy) * width + sx) * 4];
        p[0] = map[index].red;
        p[1] = map[index].green;
        p[2] = map[index].blue;
        p[3] = 255;
      }
    }
  }

  void dispose(const GifFrame& frame) {
    const Disposal d = frame.graphicControl ? frame.graphicControl->disposal() : Disposal::Unspecified;
    if (d == Disposal::RestorePrevious) {
      rgba = before;
    } else if (d == Disposal::RestoreBackground) {
      for (int y = frame.top(); y < std::min(height, frame.top() + frame.height()); ++y)
        for (int x = frame.left(); x < std::min(width, frame.left() + frame.width()); ++x)
          std::fill_n(&rgba[(static_cast<std::size_t>(y) * width + x) * 4], 4, 0);
    }
  }

  int width;
  int height;
  Bytes rgba;
  Bytes before;
};

// The composed screens a viewer shows: one after each image with a delay (every image
// when the corpus forces animation), and one after the last image.
std::vector<Bytes> composeDisplayFrames(const GifImage& image, bool everyImage) {
  std::vector<Bytes> shown;
  Screen screen(image.width(), image.height());
  std::vector<const GifFrame*> images;
  for (const auto& f : image.frames())
    if (!f->empty()) images.push_back(f.get());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const GifFrame& f = *images[i];
    screen.draw(f);
    const bool delayed = f.graphicControl && f.graphicControl->delayCs() > 0;
    if (everyImage || delayed || i + 1 == images.size()) shown.push_back(screen.rgba);
    screen.dispose(f);
  }
  if (images.empty()) shown.push_back(screen.rgba);  // the empty screen
  return shown;
}

std::map<std::string, std::map<std::string, std::string>> readIni(const fs::path& path) {
  std::map<std::string, std::map<std::string, std::string>> sections;
  std::ifstream in(path);
  std::string line;
  std::string section;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const auto eq = line.find(" = ");
    if (eq != std::string::npos) sections[section][line.substr(0, eq)] = line.substr(eq + 3);
    else if (line.size() > 2 && line.substr(line.size() - 2) == " =")
      sections[section][line.substr(0, line.size() - 2)] = "";
  }
  return sections;
}

std::vector<std::string> splitComma(const std::string& s) {
  std::vector<std::string> parts;
  std::stringstream in(s);
  std::string part;
  while (std::getline(in, part, ','))
    if (!part.empty()) parts.push_back(part);
  return parts;
}

// Files the corpus says a decoder must refuse (or show nothing for). The reading rules
// here differ for some of them; each entry says what Zefra does and why.
const std::map<std::string, std::string>& invalidFileOutcomes() {
  static const std::map<std::string, std::string> outcomes = {
      // Only a logical screen and no image at all: nothing to show.
      {"zero-width", "no images"},
      {"zero-height", "no images"},
      {"zero-size", "no images"},
      {"max-size", "no images"},
      // Minimum code sizes of 12 and 255: refused before any table is touched.
      {"overflow-codes", "error Invalid LZW minimum code size"},
      {"overflow-codes-max", "error Invalid LZW minimum code size"},
      // Codes beyond the next free code are read as the previous string plus its first
      // pixel rather than refused, so the image loads.
      {"invalid-code", "loads"},
      // Colour indices are not checked against the table when reading; drawing skips
      // indices beyond it.
      {"invalid-colors", "loads"},
      // A plain-text extension is kept as an extension; the image after it is read.
      {"plain-text", "loads"},
  };
  return outcomes;
}

TEST(GifSuite, PygifDecoderTests) {
  const fs::path dir = suiteDir() / "pygif-test-suite";
  SKIP_WITHOUT_SUITE(dir);
  std::ifstream list(dir / "TESTS");
  std::string name;
  int checked = 0;
  while (std::getline(list, name)) {
    if (name.empty()) continue;
    SCOPED_TRACE(name);
    const auto ini = readIni(dir / (name + ".conf"));
    const auto& config = ini.at("config");
    Loaded l(dir / config.at("input"));
    const std::vector<std::string> expectedFrames = splitComma(config.at("frames"));

    if (expectedFrames.empty()) {
      const auto it = invalidFileOutcomes().find(name);
      ASSERT_NE(it, invalidFileOutcomes().end()) << "no recorded outcome for invalid file";
      if (it->second == "no images") {
        EXPECT_EQ(l.error, "");
        for (const auto& f : l.image.frames()) EXPECT_TRUE(f->empty());
      } else if (it->second == "loads") {
        EXPECT_EQ(l.error, "");
        EXPECT_GE(l.image.frames().count(), 1);
      } else {
        EXPECT_EQ("error " + l.error, it->second);
      }
      ++checked;
      continue;
    }

    // An image descriptor of zero width or height takes the screen size with a warning.
    // These files then carry no image data at all: the byte after the descriptor (the
    // trailer, 0x3B) is read as a minimum code size of 59 and refused, or the local table
    // the descriptor announces is missing.
    if (name == "image-zero-width") {
      EXPECT_EQ(l.error, "Invalid LZW minimum code size");
      EXPECT_EQ(l.warnings, std::vector<std::string>{"Image exceeds Logical Screen size"});
      ++checked;
      continue;
    }
    if (name == "image-zero-height" || name == "image-zero-size") {
      EXPECT_EQ(l.error, "Premature end of data");
      ++checked;
      continue;
    }

    ASSERT_EQ(l.error, "");
    EXPECT_EQ(l.image.width(), std::stoi(config.at("width")));
    EXPECT_EQ(l.image.height(), std::stoi(config.at("height")));
    EXPECT_EQ("GIF" + l.image.header().loadedVersion, config.at("version"));

    const LoopExtension* loop = nullptr;
    std::string comment;
    for (const auto& f : l.image.frames())
      for (const auto& e : f->extensions()) {
        if (!loop) loop = dynamic_cast<const LoopExtension*>(e.get());
        if (auto* c = dynamic_cast<const CommentExtension*>(e.get()))
          for (const auto& line : c->lines) comment += line;
      }
    const std::string loopCount = config.at("loop-count");
    if (loopCount == "0") {
      EXPECT_EQ(loop, nullptr);
    } else if (!(loop == nullptr && config.at("force-animation") == "yes")) {
      // (An animation the corpus forces plays for ever without any loop extension.)
      ASSERT_NE(loop, nullptr);
      EXPECT_EQ(loop->loopCount, loopCount == "infinite" ? 0 : std::stoi(loopCount));
    }
    if (config.count("buffer-size")) {
      ASSERT_NE(loop, nullptr);
      EXPECT_EQ(std::to_string(loop->bufferHint), config.at("buffer-size"));
    }
    if (config.count("comment") && name == "comment") {
      EXPECT_EQ("'" + comment + "'", config.at("comment"));
    }

    const auto shown = composeDisplayFrames(l.image, config.at("force-animation") == "yes");
    ASSERT_EQ(shown.size(), expectedFrames.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
      const Bytes expected = readFile(dir / ini.at(expectedFrames[i]).at("pixels"));
      EXPECT_TRUE(shown[i] == expected) << "display frame " << i;
    }
    ++checked;
  }
  EXPECT_EQ(checked, 84);
}

TEST(GifSuite, WuffsIndexedReferences) {
  const fs::path dir = suiteDir() / "wuffs-test-data";
  SKIP_WITHOUT_SUITE(dir);
  for (const std::string name : {"bricks-dither", "bricks-nodither", "bricks-gray"}) {
    SCOPED_TRACE(name);
    Loaded l(dir / (name + ".gif"));
    ASSERT_EQ(l.error, "");
    ASSERT_EQ(l.image.frames().count(), 1);
    const GifFrame& f = l.image.frames()[0];
    EXPECT_TRUE(Bytes(f.pixels(), f.pixels() + f.pixelCount()) == readFile(dir / (name + ".indexes")));
    if (fs::exists(dir / (name + ".palette"))) {
      const Bytes palette = readFile(dir / (name + ".palette"));
      const ColorMap& map = f.effectiveColorMap();
      ASSERT_EQ(map.count(), 256);
      for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(map[i].blue, palette[4 * i]);
        EXPECT_EQ(map[i].green, palette[4 * i + 1]);
        EXPECT_EQ(map[i].red, palette[4 * i + 2]);
      }
    }
  }
  Loaded m(dir / "muybridge.gif");
  ASSERT_EQ(m.error, "");
  ASSERT_EQ(m.image.frames().count(), 15);
  for (int i = 0; i < 15; ++i) {
    char file[64];
    std::snprintf(file, sizeof file, "muybridge-frame-%03d.indexes", i);
    const GifFrame& f = m.image.frames()[i];
    // Every frame covers the whole screen, so its indices are the composed frame.
    EXPECT_TRUE(Bytes(f.pixels(), f.pixels() + f.pixelCount()) == readFile(dir / file)) << file;
    EXPECT_EQ(f.graphicControl->delayCs(), 10);
  }
}

TEST(GifSuite, WuffsAnimationComposesToItsReferenceFrames) {
  const fs::path dir = suiteDir() / "wuffs-test-data";
  SKIP_WITHOUT_SUITE(dir);
  Loaded l(dir / "animated-red-blue.gif");
  ASSERT_EQ(l.error, "");
  ASSERT_EQ(l.image.frames().count(), 4);
  const LoopExtension* loop = nullptr;
  for (const auto& e : l.image.frames()[0].extensions())
    if (!loop) loop = dynamic_cast<const LoopExtension*>(e.get());
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->loopCount, 2);
  const auto shown = composeDisplayFrames(l.image, true);
  ASSERT_EQ(shown.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(l.image.frames()[i].graphicControl->delayCs(), 10 * (i + 1));
    char file[64];
    std::snprintf(file, sizeof file, "animated-red-blue.%06d.nie", i);
    const Bytes nie = readFile(dir / file);
    ASSERT_EQ(nie.size(), 16u + 64u * 48u * 4u);
    Bytes rgba(nie.size() - 16);
    for (std::size_t p = 0; p < rgba.size(); p += 4) {
      rgba[p] = nie[16 + p + 2];
      rgba[p + 1] = nie[16 + p + 1];
      rgba[p + 2] = nie[16 + p];
      rgba[p + 3] = nie[16 + p + 3];
    }
    EXPECT_TRUE(shown[static_cast<std::size_t>(i)] == rgba) << file;
  }
}

// The photographs and hand-made edge cases: Zefra and giflib agree on geometry and pixels
// wherever giflib accepts the file; nothing crashes either way.
TEST(GifSuite, WuffsFilesAgreeWithGiflib) {
  const fs::path dir = suiteDir() / "wuffs-test-data";
  SKIP_WITHOUT_SUITE(dir);
  std::vector<fs::path> files;
  for (const auto& sub : {dir, dir / "artificial-gif"})
    for (const auto& entry : fs::directory_iterator(sub))
      if (entry.path().extension() == ".gif") files.push_back(entry.path());
  ASSERT_GE(files.size(), 30u);
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    Loaded l(path);
#ifdef ZEFRA_HAVE_GIFLIB
    const auto peer = testing::giflibDecode(readFile(path));
    if (!peer.ok) continue;
    if (!l.error.empty()) {
      // giflib stops quietly at some damage Zefra reports; a truncated file is one.
      EXPECT_NE(path.filename().string().find("truncated"), std::string::npos) << l.error;
      continue;
    }
    EXPECT_EQ(l.image.width(), peer.width);
    EXPECT_EQ(l.image.height(), peer.height);
    std::vector<const GifFrame*> images;
    for (const auto& f : l.image.frames())
      if (f->width() > 0 && f->height() > 0 && f->pixelCount() > 0) images.push_back(f.get());
    ASSERT_EQ(images.size(), peer.frames.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
      const GifFrame& f = *images[i];
      const auto& p = peer.frames[i];
      EXPECT_EQ(f.left(), p.left);
      EXPECT_EQ(f.top(), p.top);
      EXPECT_EQ(f.width(), p.width);
      EXPECT_EQ(f.height(), p.height);
      EXPECT_TRUE(Bytes(f.pixels(), f.pixels() + f.pixelCount()) == p.pixels) << "frame " << i;
    }
#endif
  }
}

TEST(GifSuite, TruncatedFileGivesAPartialImageWithAWarning) {
  const fs::path path = suiteDir() / "wuffs-test-data" / "hippopotamus.interlaced.truncated.gif";
  SKIP_WITHOUT_SUITE(path);
  Loaded l(path);
  EXPECT_EQ(l.error, "");
  ASSERT_EQ(l.image.frames().count(), 1);
  EXPECT_EQ(l.warnings, std::vector<std::string>{"Premature end of data"});
  Loaded full(suiteDir() / "wuffs-test-data" / "hippopotamus.interlaced.gif");
  ASSERT_EQ(full.error, "");
  // The first interlace pass (every 8th row) is complete in the first 1024 bytes' worth.
  const GifFrame& a = l.image.frames()[0];
  const GifFrame& b = full.image.frames()[0];
  EXPECT_TRUE(std::equal(a.pixels(), a.pixels() + a.width(), b.pixels()));
}

}  // namespace
}  // namespace zefra::gif
