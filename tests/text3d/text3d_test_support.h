#pragma once
// Helpers shared by the 3D text tests: a scratch folder that is removed afterwards, and a
// glyph cache that never touches the program's own cache folder.

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "text3d/font_rasterizer.h"
#include "text3d/glyph_cache.h"

namespace zefra::text3d::testing {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zefra_text3d_XXXXXX").string();
    char* made = ::mkdtemp(tmpl.data());
    dir = made ? std::filesystem::path(made) : std::filesystem::path();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  const std::filesystem::path& path() const { return dir; }

 private:
  std::filesystem::path dir;
};

inline std::unique_ptr<GlyphCache> memoryOnlyCache() {
  auto c = std::make_unique<GlyphCache>();
  c->setUseDiskCache(false);
  return c;
}

inline std::unique_ptr<GlyphCache> diskCache(const std::filesystem::path& dir) {
  auto c = std::make_unique<GlyphCache>();
  c->setDiskCacheDirectory(dir);
  return c;
}

// Whether "Arial" is served by the metric-compatible Liberation face on this machine.
inline bool arialIsLiberation() {
  auto r = FontRasterizer::get(makeFont("Arial", 26));
  return r->fileName().find("Liberation") != std::string::npos;
}

}  // namespace zefra::text3d::testing
