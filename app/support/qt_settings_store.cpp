#include "support/qt_settings_store.h"

#include "editor/settings.h"

namespace zefra::app {

QtSettingsStore::QtSettingsStore()
    : settings(QSettings::NativeFormat, QSettings::UserScope, editor::kSettingsOrganization,
               editor::kSettingsApplication) {}

QString QtSettingsStore::key(std::string_view name) {
  return QString::fromLatin1(editor::kSettingsGroup) + '/' + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

bool QtSettingsStore::open(bool create) {
  // The file is made on the first write, so "creating" the key needs nothing; a store
  // that cannot be written (read-only file or folder) refuses a write-only open.
  settings.sync();
  if (create) return true;
  return settings.isWritable() && settings.status() != QSettings::AccessError;
}

void QtSettingsStore::close() { settings.sync(); }

std::optional<std::string> QtSettingsStore::value(std::string_view name) const {
  const QString k = key(name);
  if (!settings.contains(k)) return std::nullopt;
  return settings.value(k).toString().toStdString();
}

void QtSettingsStore::setValue(std::string_view name, std::string_view text) {
  settings.setValue(key(name), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace zefra::app
