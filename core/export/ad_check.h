#pragma once
// Checking a GIF against what an ad network accepts: file size, total animation time,
// number of plays and average frame rate. The timing comes from the GIF as written (the
// delays of its frames and its loop block), so the check sees what a browser will play.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gif/gif_image.h"

namespace zefra::exporter {

enum class AdProfileKind { None, Iab, GoogleAds, Custom };

// A rule of 0 is no rule.
struct AdProfile {
  std::string name;
  std::uint64_t maxBytes = 0;
  int maxAnimationMs = 0;
  int maxPlays = 0;
  double maxFramesPerSecond = 0;
};

// IAB: 150 KB, at most 15 s of animation, at most 3 plays.
AdProfile iabProfile();
// Google Ads: 150 KB, at most 30 s of animation, at most 5 frames per second on average.
AdProfile googleAdsProfile();
// "iab" or "google" (any case); nothing for other names.
std::optional<AdProfile> adProfileNamed(std::string_view name);

// How a GIF plays: its frame delays in hundredths of a second and its number of plays
// (0 = for ever).
struct GifTiming {
  std::vector<int> delaysCs;
  int plays = 1;
};

// The timing a browser takes from `image`: no loop block plays once, a loop count of 0
// for ever, a loop count of N plays N + 1 times.
GifTiming timingOf(const gif::GifImage& image);

struct AdCheck {
  std::vector<std::string> broken;  // one line per broken rule
  bool passes() const { return broken.empty(); }
};

// Total animation time = the sum of the delays times the plays; a GIF that loops for ever
// plays without end. A single frame is a still picture: no animation rules apply to it.
AdCheck checkAd(const AdProfile& profile, std::uint64_t fileBytes, const GifTiming& timing);

// "Passes IAB", or the broken rules joined by "; ".
std::string adCheckSummary(const AdProfile& profile, const AdCheck& check);

// 34378 -> "33.6 KB" (KB = 1024 bytes, one decimal).
std::string kilobytesText(std::uint64_t bytes);

}  // namespace zefra::exporter
