#include "text3d/font_rasterizer.h"

#include <algorithm>
#include <array>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "text3d/font_libraries.h"

namespace zefra::text3d {

namespace {

// Sizes beyond these are clamped: a project file can ask for any size (its DPI ratio
// multiplies the point size), and a glyph is rendered at up to 16 times it. No banner
// text comes near 1000 pixels per em.
constexpr int kMaxPixelsPerEm = 1000;

struct ResolvedFace {
  std::string file;
  int index = 0;
  bool embolden = false;
  bool oblique = false;
};

struct Library {
  FT_Library ft = nullptr;
  std::mutex lock;
  std::map<std::tuple<std::string, bool, bool, int>, ResolvedFace> resolved;
  std::map<std::tuple<std::string, int, int, bool, bool, FontStyles>, std::weak_ptr<FontRasterizer>> live;
  // The same, by what was asked for, so a repeated request opens no face file.
  using RequestKey = std::tuple<std::string, FontStyles, int, int, int, int, int>;
  std::map<RequestKey, std::weak_ptr<FontRasterizer>> byRequest;
  // Recently used rasterizers stay alive here even when nobody holds them.
  std::vector<std::shared_ptr<FontRasterizer>> recent;

  Library() {
    const FontLibraries& api = fontLibraries();
    if (api.FT_Init_FreeType(&ft) != 0) ft = nullptr;
    api.FcInit();
  }
  ~Library() {
    const FontLibraries& api = fontLibraries();
    recent.clear();
    if (ft) api.FT_Done_FreeType(ft);
    // Releases fontconfig's configuration, so leak checkers see a clean exit.
    api.FcFini();
  }
};

Library& library() {
  static Library lib;
  return lib;
}

ResolvedFace resolveFace(const std::string& name, bool bold, bool italic, FontPitch pitch) {
  const FontLibraries& api = fontLibraries();
  ResolvedFace out;
  FcPattern* pat = api.FcPatternCreate();
  if (!pat) return out;
  api.FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  api.FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  api.FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  if (pitch == FontPitch::Fixed) api.FcPatternAddInteger(pat, FC_SPACING, FC_MONO);
  api.FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  api.FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  api.FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* match = api.FcFontMatch(nullptr, pat, &result);
  if (match) {
    FcChar8* file = nullptr;
    if (api.FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
      out.file = reinterpret_cast<const char*>(file);
    api.FcPatternGetInteger(match, FC_INDEX, 0, &out.index);
    FcBool emb = FcFalse;
    if (api.FcPatternGetBool(match, FC_EMBOLDEN, 0, &emb) == FcResultMatch) out.embolden = emb;
    int weight = FC_WEIGHT_REGULAR;
    if (bold && api.FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch &&
        weight < FC_WEIGHT_DEMIBOLD)
      out.embolden = true;
    int slant = FC_SLANT_ROMAN;
    if (italic && api.FcPatternGetInteger(match, FC_SLANT, 0, &slant) == FcResultMatch &&
        slant == FC_SLANT_ROMAN)
      out.oblique = true;
    api.FcPatternDestroy(match);
  }
  api.FcPatternDestroy(pat);
  return out;
}

long scaleUnits(long units, int ppem, int unitsPerEm) {
  if (unitsPerEm <= 0) return 0;
  long long v = static_cast<long long>(units) * ppem;
  return static_cast<long>(v >= 0 ? (v + unitsPerEm / 2) / unitsPerEm : -((-v + unitsPerEm / 2) / unitsPerEm));
}

}  // namespace

char32_t codePageToUnicode(std::uint8_t code) {
  static constexpr std::array<char32_t, 32> kHigh = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  if (code >= 0x80 && code < 0xA0) return kHigh[code - 0x80];
  return code;
}

struct CharBitmap {
  int advance = 0;
  int left = 0;  // ink offset from the pen position
  int top = 0;   // ink offset from the cell top
  TextMask mask;
};

namespace {
// FreeType wants face creation and destruction on one library serialised; a face may be
// released from whichever thread drops the last reference.
std::mutex& faceLifetimeLock() {
  static std::mutex m;
  return m;
}
}  // namespace

struct FontRasterizer::Impl {
  FT_Face face = nullptr;
  bool embolden = false;
  bool oblique = false;
  FontStyles style = 0;
  int ppem = 0;
  int ascent = 0;
  int underlineTop = 0;  // rows below the cell top
  int underlineThickness = 1;
  int strikeTop = 0;
  int strikeThickness = 1;
  std::array<std::optional<CharBitmap>, 256> chars;
  // Rasterizers are shared by every thread that draws text (the editor's canvas and a
  // background export), and a face and its glyph slot serve one caller at a time.
  std::mutex lock;

  ~Impl() {
    std::lock_guard<std::mutex> guard(faceLifetimeLock());
    if (face) fontLibraries().FT_Done_Face(face);
  }

  // A filled slot never changes again, so the reference stays valid after the lock.
  const CharBitmap& charBitmap(std::uint8_t code) {
    std::lock_guard<std::mutex> guard(lock);
    std::optional<CharBitmap>& slot = chars[code];
    if (slot) return *slot;
    CharBitmap cb;
    const FontLibraries& api = fontLibraries();
    FT_UInt gi = api.FT_Get_Char_Index(face, codePageToUnicode(code));
    FT_Int32 flags = FT_LOAD_TARGET_MONO;
    if (FT_IS_SCALABLE(face)) flags |= FT_LOAD_NO_BITMAP;
    if (api.FT_Load_Glyph(face, gi, flags) == 0) {
      FT_GlyphSlot g = face->glyph;
      int extra = 0;
      if (g->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (embolden) {
          FT_Pos strength = std::max<FT_Pos>(64, static_cast<FT_Pos>(ppem) * 64 / 32);
          api.FT_Outline_EmboldenXY(&g->outline, strength, 0);
          extra = static_cast<int>(strength >> 6);
        }
        if (oblique) {
          FT_Matrix shear = {0x10000, 0x0366A, 0, 0x10000};  // about 0.2
          api.FT_Outline_Transform(&g->outline, &shear);
        }
      }
      cb.advance = static_cast<int>((g->advance.x + 32) >> 6) + extra;
      if (api.FT_Render_Glyph(g, FT_RENDER_MODE_MONO) == 0) {
        const FT_Bitmap& bm = g->bitmap;
        cb.left = g->bitmap_left;
        cb.top = ascent - g->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row) {
          const unsigned char* p = bm.buffer + static_cast<long>(row) * bm.pitch;
          int runStart = -1;
          for (unsigned col = 0; col <= bm.width; ++col) {
            bool on = false;
            if (col < bm.width) {
              if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                on = (p[col >> 3] & (0x80 >> (col & 7))) != 0;
              else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                on = p[col] >= 128;
            }
            if (on && runStart < 0) runStart = static_cast<int>(col);
            if (!on && runStart >= 0) {
              cb.mask.spans.push_back({cb.top + static_cast<int>(row), cb.left + runStart, cb.left + static_cast<int>(col)});
              runStart = -1;
            }
          }
        }
      }
    }
    slot = std::move(cb);
    return *slot;
  }
};

FontRasterizer::FontRasterizer(std::unique_ptr<Impl> i) : impl(std::move(i)) {}
FontRasterizer::~FontRasterizer() = default;

std::shared_ptr<FontRasterizer> FontRasterizer::get(const Font& font, int scale) {
  Library& lib = library();
  const FontLibraries& api = fontLibraries();
  std::lock_guard<std::mutex> guard(lib.lock);
  if (!lib.ft) throw std::runtime_error("Font engine unavailable");
  Library::RequestKey requestKey{font.name, font.style, static_cast<int>(font.pitch), font.height,
                                 font.size, font.pixelsPerInch, scale};
  if (auto it = lib.byRequest.find(requestKey); it != lib.byRequest.end())
    if (auto existing = it->second.lock()) return existing;
  bool bold = font.has(kBold);
  bool italic = font.has(kItalic);
  auto resolvedKey = std::make_tuple(font.name, bold, italic, static_cast<int>(font.pitch));
  auto found = lib.resolved.find(resolvedKey);
  if (found == lib.resolved.end())
    found = lib.resolved.emplace(resolvedKey, resolveFace(font.name, bold, italic, font.pitch)).first;
  const ResolvedFace& rf = found->second;

  FT_Face face = nullptr;
  std::unique_lock<std::mutex> faceGuard(faceLifetimeLock());
  if (rf.file.empty() || api.FT_New_Face(lib.ft, rf.file.c_str(), rf.index, &face) != 0) {
    // Last resort: whatever fontconfig offers for an unnamed family.
    ResolvedFace any = resolveFace("sans-serif", bold, italic, FontPitch::Default);
    if (any.file.empty() || api.FT_New_Face(lib.ft, any.file.c_str(), any.index, &face) != 0)
      throw std::runtime_error("No usable font for \"" + font.name + "\"");
  }
  faceGuard.unlock();
  api.FT_Select_Charmap(face, FT_ENCODING_UNICODE);

  int unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 2048;
  long winAscent = face->ascender;
  long winDescent = -face->descender;
  if (auto* os2 = static_cast<TT_OS2*>(api.FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
      os2 && os2->version != 0xFFFF && (os2->usWinAscent + os2->usWinDescent) > 0) {
    winAscent = os2->usWinAscent;
    winDescent = os2->usWinDescent;
  }
  long cellUnits = std::max<long>(1, winAscent + winDescent);
  long long want;
  int ppi = font.pixelsPerInch > 0 ? font.pixelsPerInch : kDefaultPixelsPerInch;
  if (font.height >= 1)
    want = static_cast<long long>(font.height) * scale * unitsPerEm / cellUnits;
  else
    want = pointsToPixels(font.size * scale, ppi);
  int ppem = static_cast<int>(std::clamp<long long>(want, 1, static_cast<long long>(kMaxPixelsPerEm) * scale));

  auto liveKey = std::make_tuple(rf.file, rf.index, ppem, rf.embolden, rf.oblique, font.style);
  if (auto it = lib.live.find(liveKey); it != lib.live.end()) {
    if (auto existing = it->second.lock()) {
      faceGuard.lock();
      api.FT_Done_Face(face);
      faceGuard.unlock();
      lib.byRequest[requestKey] = existing;
      return existing;
    }
  }

  if (FT_IS_SCALABLE(face)) api.FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem));
  else if (face->num_fixed_sizes > 0) api.FT_Select_Size(face, 0);

  auto impl = std::make_unique<Impl>();
  impl->face = face;
  impl->embolden = rf.embolden;
  impl->oblique = rf.oblique;
  impl->style = font.style;
  impl->ppem = ppem;
  int ascent = static_cast<int>(scaleUnits(winAscent, ppem, unitsPerEm));
  int descent = static_cast<int>(scaleUnits(winDescent, ppem, unitsPerEm));
  impl->ascent = ascent;

  long ulPos = face->underline_position;   // centre of the stroke, below the baseline
  long ulThick = face->underline_thickness;
  if (ulThick <= 0) ulThick = unitsPerEm / 14;
  if (ulPos == 0) ulPos = -unitsPerEm / 10;
  impl->underlineThickness = std::max<int>(1, static_cast<int>(scaleUnits(ulThick, ppem, unitsPerEm)));
  impl->underlineTop = ascent + static_cast<int>(scaleUnits(-ulPos, ppem, unitsPerEm)) - impl->underlineThickness / 2;
  long stPos = unitsPerEm * 26 / 100;
  long stSize = ulThick;
  if (auto* os2 = static_cast<TT_OS2*>(api.FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
      os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    stPos = os2->yStrikeoutPosition;
    stSize = os2->yStrikeoutSize;
  }
  impl->strikeThickness = std::max<int>(1, static_cast<int>(scaleUnits(stSize, ppem, unitsPerEm)));
  impl->strikeTop = ascent - static_cast<int>(scaleUnits(stPos, ppem, unitsPerEm));

  std::shared_ptr<FontRasterizer> r(new FontRasterizer(std::move(impl)));
  r->file = rf.file;
  r->ppem = ppem;
  r->asc = ascent;
  r->desc = descent;
  lib.live[liveKey] = r;
  lib.byRequest[requestKey] = r;
  lib.recent.push_back(r);
  if (lib.recent.size() > 24) lib.recent.erase(lib.recent.begin());
  return r;
}

void FontRasterizer::releaseUnused() {
  Library& lib = library();
  std::lock_guard<std::mutex> guard(lib.lock);
  lib.recent.clear();
  std::erase_if(lib.live, [](const auto& entry) { return entry.second.expired(); });
  std::erase_if(lib.byRequest, [](const auto& entry) { return entry.second.expired(); });
}

int FontRasterizer::charWidth(std::uint8_t code) { return impl->charBitmap(code).advance; }

int FontRasterizer::textWidth(std::string_view text) {
  int w = 0;
  for (char ch : text) w += charWidth(static_cast<std::uint8_t>(ch));
  return w;
}

TextMask FontRasterizer::drawText(std::string_view text) {
  TextMask out;
  int pen = 0;
  for (char ch : text) {
    const CharBitmap& cb = impl->charBitmap(static_cast<std::uint8_t>(ch));
    out.merge(cb.mask, pen, 0);
    pen += cb.advance;
  }
  if (impl->style & kUnderline)
    out.addRect(0, impl->underlineTop, pen, impl->underlineTop + impl->underlineThickness);
  if (impl->style & kStrikeOut)
    out.addRect(0, impl->strikeTop, pen, impl->strikeTop + impl->strikeThickness);
  return out;
}

}  // namespace zefra::text3d
