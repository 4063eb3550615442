#pragma once
// The questions the preview and the palette panel put to the user: the GIF save dialog,
// the two messages of saving and the colour dialog. Tests answer them without a person.

#include <QMessageBox>
#include <QString>
#include <optional>

#include "common/color.h"

class QWidget;

namespace zefra::app {

inline const QString kGifFilter = QStringLiteral("GIF Image (*.gif)");

class PreviewPrompts {
 public:
  virtual ~PreviewPrompts() = default;
  // The save dialog: asks before overwriting, the folder must exist, ".gif" is the default
  // extension. An empty answer means the user cancelled.
  virtual QString saveGifPath(QWidget* parent, const QString& directory, const QString& proposedName);
  virtual void information(QWidget* parent, const QString& caption, const QString& text);
  virtual void warning(QWidget* parent, const QString& caption, const QString& text);
  // The program's colour dialog; nothing when cancelled.
  virtual std::optional<Color> chooseColor(QWidget* parent, Color start);
};

}  // namespace zefra::app
