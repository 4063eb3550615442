#pragma once
// Colour lookups answer the palette index for a colour and hand back the colour of the
// chosen entry, which the error-diffusion ditherers need to compute their error.

#include <array>
#include <cstdint>

#include "colour/palettes.h"

namespace zefra::colour {

class ColorLookup {
 public:
  explicit ColorLookup(int colorCount) : count(colorCount) {}
  virtual ~ColorLookup() = default;
  ColorLookup(const ColorLookup&) = delete;
  ColorLookup& operator=(const ColorLookup&) = delete;

  // Number of palette entries this lookup can answer; 0 for an empty palette.
  int colorCount() const { return count; }

  // Palette index for (red, green, blue); `chosen` receives the colour of that entry.
  virtual int indexFor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, Color& chosen) = 0;

 private:
  int count;
};

// Nearest by the sum of absolute channel differences, remembered per 5-bit-per-channel
// cell: each cell is searched at most once, after which every colour falling into it gets
// the same answer. A palette entry claims its own cell up front (lower index first), so
// colours of the palette itself are answered exactly unless two entries share a cell.
class NearestColorLookup final : public ColorLookup {
 public:
  explicit NearestColorLookup(const Palette& palette);
  int indexFor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, Color& chosen) override;

  static constexpr int cellOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return ((blue >> 3) << 10) | ((green >> 3) << 5) | (red >> 3);
  }

 private:
  std::array<Color, 256> entries{};
  std::array<std::int16_t, 32768> cells;
};

// The 216-colour web cube: each channel snaps to the nearest multiple of 51 (25 -> 0,
// 26 -> 51).
class WebCubeLookup final : public ColorLookup {
 public:
  WebCubeLookup() : ColorLookup(216) {}
  int indexFor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, Color& chosen) override;
};

// 256 greys by weighted brightness (77 R + 150 G + 29 B) / 256.
class GrayscaleLookup final : public ColorLookup {
 public:
  GrayscaleLookup() : ColorLookup(256) {}
  int indexFor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, Color& chosen) override;
};

// Black below a weighted brightness of 32513 (of 65280), white from there on.
class MonochromeLookup final : public ColorLookup {
 public:
  MonochromeLookup() : ColorLookup(2) {}
  int indexFor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, Color& chosen) override;

  static constexpr int kWhiteThreshold = 32513;
};

}  // namespace zefra::colour
