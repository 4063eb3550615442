#include "editor/export_preferences.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace zefra::editor {
namespace {

constexpr std::string_view kLastUsedName = "Export-Last";

int clampTo(int value, int low, int high) { return std::clamp(value, low, high); }

ExportPreferences withinRange(ExportPreferences p) {
  p.sizeLimitKb = clampTo(p.sizeLimitKb, 1, kMaxSizeLimitKb);
  p.adCheck = static_cast<AdCheckChoice>(clampTo(static_cast<int>(p.adCheck), 0, 3));
  p.plays = clampTo(p.plays, 0, 100);
  p.customMaxKb = clampTo(p.customMaxKb, 0, kMaxSizeLimitKb);
  p.customMaxSeconds = clampTo(p.customMaxSeconds, 0, 3600);
  p.customMaxPlays = clampTo(p.customMaxPlays, 0, 100);
  p.customMaxFps = clampTo(p.customMaxFps, 0, 100);
  return p;
}

}  // namespace

std::string exportPreferencesName(std::string_view projectFile) {
  if (projectFile.empty()) return {};
  std::uint64_t hash = 1469598103934665603ULL;  // FNV-1a
  for (const char c : projectFile) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  char text[32];
  std::snprintf(text, sizeof text, "Export-%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string exportPreferencesText(const ExportPreferences& p) {
  return "limit=" + std::to_string(p.sizeLimitOn ? 1 : 0) + ";kb=" + std::to_string(p.sizeLimitKb) +
         ";check=" + std::to_string(static_cast<int>(p.adCheck)) + ";plays=" + std::to_string(p.plays) +
         ";ckb=" + std::to_string(p.customMaxKb) + ";cs=" + std::to_string(p.customMaxSeconds) +
         ";cplays=" + std::to_string(p.customMaxPlays) + ";cfps=" + std::to_string(p.customMaxFps) +
         ";path=" + p.lastExportPath;
}

std::optional<ExportPreferences> parseExportPreferences(std::string_view text) {
  ExportPreferences p;
  while (!text.empty()) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view name = text.substr(0, equals);
    text.remove_prefix(equals + 1);
    if (name == "path") {
      p.lastExportPath = std::string(text);
      break;
    }
    const std::size_t end = std::min(text.find(';'), text.size());
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + end, value);
    if (ec != std::errc() || ptr != text.data() + end) return std::nullopt;
    if (name == "limit") p.sizeLimitOn = value != 0;
    else if (name == "kb") p.sizeLimitKb = value;
    else if (name == "check") p.adCheck = static_cast<AdCheckChoice>(value);
    else if (name == "plays") p.plays = value;
    else if (name == "ckb") p.customMaxKb = value;
    else if (name == "cs") p.customMaxSeconds = value;
    else if (name == "cplays") p.customMaxPlays = value;
    else if (name == "cfps") p.customMaxFps = value;
    // Names from a later version are passed over.
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return withinRange(p);
}

ExportPreferences readExportPreferences(SettingsStore& store, std::string_view projectFile) {
  const SettingsKey key(store, false);
  if (!key.opened()) return {};
  const std::string own = exportPreferencesName(projectFile);
  if (!own.empty()) {
    if (const auto text = store.value(own))
      if (const auto parsed = parseExportPreferences(*text)) return *parsed;
  }
  if (const auto text = store.value(kLastUsedName)) {
    if (auto parsed = parseExportPreferences(*text)) {
      parsed->lastExportPath.clear();  // another project's
      return *parsed;
    }
  }
  return {};
}

void writeExportPreferences(SettingsStore& store, std::string_view projectFile, const ExportPreferences& preferences) {
  const SettingsKey key(store, true);
  if (!key.opened()) return;
  const std::string text = exportPreferencesText(withinRange(preferences));
  const std::string own = exportPreferencesName(projectFile);
  if (!own.empty()) store.setValue(own, text);
  store.setValue(kLastUsedName, text);
}

}  // namespace zefra::editor
