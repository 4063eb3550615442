#pragma once
// FreeType and fontconfig, loaded when the first text is drawn rather than when the
// program starts: most commands (gif-info, info, quantize) never draw text, and binding
// the two libraries with their own dependencies cost every run of the CLI about 2 ms of
// start-up. Every function the rasterizer calls is a member of the same name.

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#define ZEFRA_FREETYPE_FUNCTIONS(X)                                                                       \
  X(FT_Init_FreeType) X(FT_Done_FreeType) X(FT_New_Face) X(FT_Done_Face) X(FT_Select_Charmap)             \
  X(FT_Get_Sfnt_Table) X(FT_Set_Pixel_Sizes) X(FT_Select_Size) X(FT_Get_Char_Index) X(FT_Load_Glyph)      \
  X(FT_Outline_EmboldenXY) X(FT_Outline_Transform) X(FT_Render_Glyph)

#define ZEFRA_FONTCONFIG_FUNCTIONS(X)                                                                     \
  X(FcInit) X(FcFini) X(FcPatternCreate) X(FcPatternDestroy) X(FcPatternAddString) X(FcPatternAddInteger) \
  X(FcPatternAddBool) X(FcConfigSubstitute) X(FcDefaultSubstitute) X(FcFontMatch) X(FcPatternGetString)   \
  X(FcPatternGetInteger) X(FcPatternGetBool)

namespace zefra::text3d {

struct FontLibraries {
#define ZEFRA_FONT_FUNCTION_POINTER(name) decltype(&::name) name = nullptr;
  ZEFRA_FREETYPE_FUNCTIONS(ZEFRA_FONT_FUNCTION_POINTER)
  ZEFRA_FONTCONFIG_FUNCTIONS(ZEFRA_FONT_FUNCTION_POINTER)
#undef ZEFRA_FONT_FUNCTION_POINTER
};

// Loads both libraries on the first call (thread-safe) and keeps them for the rest of the
// run. Throws std::runtime_error naming the library or function that is missing; a later
// call tries again.
const FontLibraries& fontLibraries();

}  // namespace zefra::text3d
