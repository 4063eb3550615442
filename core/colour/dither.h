#pragma once
// Ditherers decide the palette index of each pixel while a picture is mapped to a palette.
// Every kind walks the picture in serpentine order: the first row left to right, then
// alternating. The error-diffusion kinds spread each pixel's rounding error over the pixels
// not yet done, in integer arithmetic, with guard cells that absorb the shares aimed
// beyond the picture's edges.

#include <cstdint>
#include <memory>
#include <vector>

#include "colour/color_lookup.h"
#include "colour/colour_types.h"

namespace zefra::colour {

// The plain engine: the lookup's answer for the pixel's own colour.
class DitherEngine {
 public:
  DitherEngine(int width, ColorLookup& lookup) : lookup(lookup), width(width) {}
  virtual ~DitherEngine() = default;
  DitherEngine(const DitherEngine&) = delete;
  DitherEngine& operator=(const DitherEngine&) = delete;

  // Index for the pixel at column(); afterwards the column moves one step in direction().
  virtual int pickIndex(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  // Called after each row: flips the direction and moves to the new row's first column.
  virtual void endRow();

  int column() const { return col; }
  int direction() const { return dir; }
  int pictureWidth() const { return width; }

 protected:
  ColorLookup& lookup;
  int width;
  int dir = 1;
  int col = 0;
};

// One share of a pixel's error: `rowOffset` rows below (0 = the current row), `ahead`
// columns in the row's direction of travel (negative = behind), `weight` / divisor.
struct KernelTap {
  int rowOffset;
  int ahead;
  int weight;
};

// Error diffusion over a fixed kernel with one accumulator row per kernel row and channel.
class ErrorDiffusionDitherer : public DitherEngine {
 public:
  ErrorDiffusionDitherer(int width, ColorLookup& lookup, std::vector<KernelTap> kernel,
                         int divisor);

  int pickIndex(std::uint8_t red, std::uint8_t green, std::uint8_t blue) override;
  void endRow() override;

  int divisor() const { return div; }
  int guardCells() const { return guard; }

 private:
  std::int32_t* accumulator(int row, int channel) {
    return errors.data() + (static_cast<std::size_t>(row) * 3 + static_cast<std::size_t>(channel)) * span;
  }

  std::vector<KernelTap> kernel;
  int div;
  int rows;
  int guard;
  std::size_t span;  // width plus a guard on each side
  // rows x 3 channels x span; row 0 is the current row. `order` maps logical rows to
  // storage so that moving to the next row rotates indices instead of copying arrays.
  std::vector<std::int32_t> errors;
  std::vector<int> order;
};

class FloydSteinbergDitherer final : public ErrorDiffusionDitherer {
 public:
  FloydSteinbergDitherer(int width, ColorLookup& lookup);
};

// The three five-wide, three-row kernels.
class FiveByThreeDitherer : public ErrorDiffusionDitherer {
 protected:
  FiveByThreeDitherer(int width, ColorLookup& lookup, std::vector<KernelTap> kernel, int divisor)
      : ErrorDiffusionDitherer(width, lookup, std::move(kernel), divisor) {}
};

class StuckiDitherer final : public FiveByThreeDitherer {
 public:
  StuckiDitherer(int width, ColorLookup& lookup);
};

class SierraDitherer final : public FiveByThreeDitherer {
 public:
  SierraDitherer(int width, ColorLookup& lookup);
};

class JarvisJudiceNinkeDitherer final : public FiveByThreeDitherer {
 public:
  JarvisJudiceNinkeDitherer(int width, ColorLookup& lookup);
};

class StevensonArceDitherer final : public ErrorDiffusionDitherer {
 public:
  StevensonArceDitherer(int width, ColorLookup& lookup);
};

class BurkesDitherer final : public ErrorDiffusionDitherer {
 public:
  BurkesDitherer(int width, ColorLookup& lookup);
};

// The ditherer of a kind, or nullptr for a value outside the known kinds.
std::unique_ptr<DitherEngine> createDitherer(DitherKind kind, int width, ColorLookup& lookup);

}  // namespace zefra::colour
