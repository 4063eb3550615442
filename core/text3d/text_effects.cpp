#include "text3d/text_effects.h"

#include <algorithm>
#include <vector>

#include "text3d/rounding.h"

namespace zefra::text3d {

std::uint8_t shadowChannel(std::uint8_t v, std::uint8_t s, int darkness) {
  int d = std::clamp(darkness, 0, 255);
  if (s == 255) return static_cast<std::uint8_t>(v * (255 - d) / 255);
  return static_cast<std::uint8_t>((v * s * (255 - d) / 255 + v * (255 - s)) / 255);
}

std::uint8_t faceChannel(std::uint8_t v, std::uint8_t r, std::uint8_t g, std::uint8_t front,
                         std::uint8_t border) {
  if (r == 255) return front;
  if (g == 255) return border;
  // Where a later character's border overlaps an earlier character's front, r + g can
  // pass 255 (each replaces only its own mask byte); the sum then overshoots full coverage
  // and must stay white rather than wrap around to a dark speck.
  int t = 255 - r - g;
  if (t < 0) t = 0;
  return static_cast<std::uint8_t>(std::clamp((t * v + r * front + g * border) / 255, 0, 255));
}

std::uint8_t effectChannel(std::uint8_t v, double effectColor) {
  long long q = roundHalfEven(v / effectColor);
  return static_cast<std::uint8_t>(std::clamp<long long>(q, 0, 255));
}

void applyShadow(raster::FastBitmap& out, const raster::FastBitmap& masks, int width, int height,
                 int darkness) {
  for (int y = 0; y < height; ++y) {
    std::uint8_t* o = out.row(y);
    const std::uint8_t* m = masks.row(y);
    for (int x = 0; x < width; ++x) {
      std::uint8_t s = m[3 * x];
      if (s == 0) continue;
      for (int c = 0; c < 3; ++c) o[3 * x + c] = shadowChannel(o[3 * x + c], s, darkness);
    }
  }
}

namespace {

// Per channel: begin + round(position / span * (end - begin)).
std::vector<Color> gradientRamp(Color begin, Color end, int count) {
  std::vector<Color> ramp(static_cast<std::size_t>(std::max(count, 0)));
  int span = count - 1;
  for (int p = 0; p < count; ++p) {
    double t = span > 0 ? static_cast<double>(p) / span : 0.0;
    auto channel = [&](std::uint8_t b, std::uint8_t e) {
      return static_cast<std::uint8_t>(b + roundHalfEven(t * (static_cast<int>(e) - b)));
    };
    ramp[p] = rgb(channel(redOf(begin), redOf(end)), channel(greenOf(begin), greenOf(end)),
                  channel(blueOf(begin), blueOf(end)));
  }
  return ramp;
}

Color divideColor(Color c, double effectColor) {
  return rgb(effectChannel(redOf(c), effectColor), effectChannel(greenOf(c), effectColor),
             effectChannel(blueOf(c), effectColor));
}

}  // namespace

void applyFaces(raster::FastBitmap& out, const raster::FastBitmap& masks, int width, int height,
                const Font3DSettings& settings, Color frontColor, Color borderColor,
                const raster::FastBitmap& texture) {
  bool textured = texture.width() > 0 && texture.height() > 0;
  bool gradient = !textured && settings.gradientActive;
  bool horizontal = settings.gradientKind == GradientKind::Horizontal;
  double effect = settings.borderEffectColor;
  std::vector<Color> ramp;
  if (gradient)
    ramp = gradientRamp(settings.gradientBeginColor, settings.gradientEndColor, horizontal ? width : height);

  // F and E carry over from one pixel to the next, as the colour choice only replaces
  // them where it applies.
  Color F = frontColor;
  Color E = borderColor;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* o = out.row(y);
    const std::uint8_t* m = masks.row(y);
    const std::uint8_t* texRow = textured ? texture.row(y % texture.height()) : nullptr;
    for (int x = 0; x < width; ++x) {
      std::uint8_t g = m[3 * x + 1];
      std::uint8_t r = m[3 * x + 2];
      if (r == 0 && g == 0) continue;  // t = 255: left alone
      if (textured) {
        const std::uint8_t* tp = texRow + 3 * (x % texture.width());
        Color tc = rgb(tp[2], tp[1], tp[0]);
        if (r > 0) F = tc;
        if (effect > 0 && g > 0) E = divideColor(tc, effect);
      } else if (gradient) {
        F = ramp[horizontal ? x : y];
        if (effect > 0 && g > 0) E = divideColor(F, effect);
      }
      std::uint8_t* p = o + 3 * x;
      p[0] = faceChannel(p[0], r, g, blueOf(F), blueOf(E));
      p[1] = faceChannel(p[1], r, g, greenOf(F), greenOf(E));
      p[2] = faceChannel(p[2], r, g, redOf(F), redOf(E));
    }
  }
}

}  // namespace zefra::text3d
