#pragma once
// The per-user settings store on QSettings: organisation "Pendrake", application "Zefra",
// every value in the group "1.5".

#include <QSettings>

#include "editor/settings_store.h"

namespace zefra::app {

class QtSettingsStore : public editor::SettingsStore {
 public:
  QtSettingsStore();

  bool open(bool create) override;
  void close() override;
  std::optional<std::string> value(std::string_view name) const override;
  void setValue(std::string_view name, std::string_view text) override;

 private:
  static QString key(std::string_view name);
  QSettings settings;
};

}  // namespace zefra::app
