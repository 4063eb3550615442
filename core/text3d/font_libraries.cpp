#include "text3d/font_libraries.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace zefra::text3d {
namespace {

// The libraries' stable binary interfaces: these names have not changed in fifteen years.
constexpr const char* kFreeType = "libfreetype.so.6";
constexpr const char* kFontconfig = "libfontconfig.so.1";

void* openLibrary(const char* name) {
  void* handle = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = ::dlerror();
    throw std::runtime_error(std::string("Cannot load ") + name + (why ? std::string(": ") + why : std::string()));
  }
  return handle;
}

template <class Function>
void bind(void* handle, const char* library, const char* name, Function& target) {
  void* symbol = ::dlsym(handle, name);
  if (!symbol) throw std::runtime_error(std::string("Cannot find ") + name + " in " + library);
  target = reinterpret_cast<Function>(symbol);
}

FontLibraries load() {
  // Handles stay open for the rest of the run: fonts and patterns outlive any caller.
  void* freetype = openLibrary(kFreeType);
  void* fontconfig = openLibrary(kFontconfig);
  FontLibraries api;
#define ZEFRA_BIND_FREETYPE(name) bind(freetype, kFreeType, #name, api.name);
#define ZEFRA_BIND_FONTCONFIG(name) bind(fontconfig, kFontconfig, #name, api.name);
  ZEFRA_FREETYPE_FUNCTIONS(ZEFRA_BIND_FREETYPE)
  ZEFRA_FONTCONFIG_FUNCTIONS(ZEFRA_BIND_FONTCONFIG)
#undef ZEFRA_BIND_FREETYPE
#undef ZEFRA_BIND_FONTCONFIG
  return api;
}

}  // namespace

const FontLibraries& fontLibraries() {
  static const FontLibraries api = load();
  return api;
}

}  // namespace zefra::text3d
