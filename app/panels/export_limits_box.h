#pragma once
// The "Export" group of the GIF Properties page: the size limit, the ad check (with the
// rules of the Custom profile) and the play count. None of them has a field in the
// project file; the window keeps them per project in the settings.

#include <QGroupBox>

#include <cstdint>
#include <optional>

#include "editor/export_preferences.h"
#include "export/ad_check.h"

class QCheckBox;
class QComboBox;
class QSpinBox;
class QWidget;

namespace zefra::app {

// The ad profile the choices ask for, or nothing for "None".
std::optional<exporter::AdProfile> adProfileOf(const editor::ExportPreferences& preferences);
// The size limit in bytes, 0 when it is off.
std::uint64_t sizeLimitOf(const editor::ExportPreferences& preferences);

class ExportLimitsBox : public QGroupBox {
  Q_OBJECT

 public:
  explicit ExportLimitsBox(QWidget* parent = nullptr);

  // The controls' values; the export path is not shown and stays as set.
  editor::ExportPreferences preferences() const;
  // Fills the controls without emitting changed().
  void setPreferences(const editor::ExportPreferences& preferences);

 Q_SIGNALS:
  // The user changed a control.
  void changed();
  // setPreferences() filled the controls (another project's choices).
  void shown();

 private:
  void showCustomRules();

  editor::ExportPreferences held;
  QCheckBox* limitBox = nullptr;
  QSpinBox* limitSpin = nullptr;
  QComboBox* checkCombo = nullptr;
  QSpinBox* playsSpin = nullptr;
  QWidget* customRules = nullptr;
  QSpinBox* customKb = nullptr;
  QSpinBox* customSeconds = nullptr;
  QSpinBox* customPlays = nullptr;
  QSpinBox* customFps = nullptr;
};

}  // namespace zefra::app
