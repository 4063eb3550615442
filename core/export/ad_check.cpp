#include "export/ad_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "gif/application_extension.h"
#include "gif/graphic_control_extension.h"

namespace zefra::exporter {
namespace {

// 15000 -> "15 s", 15500 -> "15.5 s".
std::string secondsText(std::int64_t ms) {
  char text[32];
  if (ms % 1000 == 0) std::snprintf(text, sizeof text, "%lld s", static_cast<long long>(ms / 1000));
  else std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(ms) / 1000.0);
  return text;
}

std::string rateText(double fps) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", fps);
  std::string s = text;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s;
}

std::string lower(std::string_view text) {
  std::string s(text);
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

}  // namespace

AdProfile iabProfile() { return {"IAB", 150 * 1024, 15000, 3, 0}; }

AdProfile googleAdsProfile() { return {"Google Ads", 150 * 1024, 30000, 0, 5}; }

std::optional<AdProfile> adProfileNamed(std::string_view name) {
  const std::string key = lower(name);
  if (key == "iab") return iabProfile();
  if (key == "google" || key == "google ads") return googleAdsProfile();
  return std::nullopt;
}

GifTiming timingOf(const gif::GifImage& image) {
  GifTiming timing;
  const gif::LoopExtension* loop = nullptr;
  for (int i = 0; i < image.frames().count(); ++i) {
    const gif::GifFrame& frame = image.frames()[i];
    timing.delaysCs.push_back(frame.graphicControl ? frame.graphicControl->delayCs() : 0);
    for (const auto& e : frame.extensions())
      if (!loop) loop = dynamic_cast<const gif::LoopExtension*>(e.get());
  }
  timing.plays = !loop ? 1 : loop->loopCount == 0 ? 0 : loop->loopCount + 1;
  return timing;
}

AdCheck checkAd(const AdProfile& profile, std::uint64_t fileBytes, const GifTiming& timing) {
  AdCheck check;
  if (profile.maxBytes > 0 && fileBytes > profile.maxBytes) {
    check.broken.push_back("File size " + kilobytesText(fileBytes) + " (" + std::to_string(fileBytes) +
                           " bytes), at most " + kilobytesText(profile.maxBytes));
  }
  if (timing.delaysCs.size() < 2) return check;  // a still picture

  std::int64_t onePlayCs = 0;
  for (int d : timing.delaysCs) onePlayCs += std::max(d, 0);
  const bool forEver = timing.plays <= 0;
  if (profile.maxAnimationMs > 0) {
    const std::int64_t totalMs = onePlayCs * 10 * (forEver ? 1 : timing.plays);
    if (forEver && onePlayCs > 0) {
      check.broken.push_back("Animation time without end (it loops for ever), at most " +
                             secondsText(profile.maxAnimationMs));
    } else if (totalMs > profile.maxAnimationMs) {
      check.broken.push_back("Animation time " + secondsText(totalMs) + " (" + secondsText(onePlayCs * 10) + " x " +
                             std::to_string(timing.plays) + " plays), at most " + secondsText(profile.maxAnimationMs));
    }
  }
  if (profile.maxPlays > 0) {
    if (forEver) check.broken.push_back("Plays for ever, at most " + std::to_string(profile.maxPlays));
    else if (timing.plays > profile.maxPlays)
      check.broken.push_back("Plays " + std::to_string(timing.plays) + " times, at most " + std::to_string(profile.maxPlays));
  }
  if (profile.maxFramesPerSecond > 0) {
    const double frames = static_cast<double>(timing.delaysCs.size());
    if (onePlayCs == 0) {
      check.broken.push_back("Frame rate without limit (every delay is 0), at most " +
                             rateText(profile.maxFramesPerSecond) + " fps");
    } else {
      const double fps = frames * 100.0 / static_cast<double>(onePlayCs);
      if (fps > profile.maxFramesPerSecond + 1e-9)
        check.broken.push_back("Frame rate " + rateText(fps) + " fps on average, at most " +
                               rateText(profile.maxFramesPerSecond) + " fps");
    }
  }
  return check;
}

std::string adCheckSummary(const AdProfile& profile, const AdCheck& check) {
  if (check.passes()) return "Passes " + profile.name;
  std::string text;
  for (const std::string& rule : check.broken) text += (text.empty() ? "" : "; ") + rule;
  return text;
}

std::string kilobytesText(std::uint64_t bytes) {
  const std::uint64_t tenths = (bytes * 10 + 512) / 1024;
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10 != 0) text.append(".").append(std::to_string(tenths % 10));
  return text.append(" KB");
}

}  // namespace zefra::exporter
