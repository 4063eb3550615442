#pragma once
// The dialogs the property pages open: the colour dialog, the font dialog and the picture
// and texture file dialogs. Pages ask through this class, so a test answers the dialogs
// from a script and a real session shows them.

#include <QString>
#include <QMessageBox>
#include <optional>

#include "common/color.h"
#include "editor/panel_edits.h"

class QWidget;

namespace zefra::app {

inline const QString kPictureFilter =
    QStringLiteral("All (*.bmp *.gif *.png);;Bitmaps (*.bmp);;GIF Images (*.gif);;PNG Images (*.png)");
inline const QString kTextureFilter = QStringLiteral("Bitmaps (*.bmp)");

class PanelDialogs {
 public:
  virtual ~PanelDialogs();

  // The colour dialog preset with `initial`; nothing when the user cancels.
  virtual std::optional<Color> chooseColor(QWidget* parent, Color initial);
  // The font dialog preset with `initial`; nothing when the user cancels.
  virtual std::optional<editor::FontChoice> chooseFont(QWidget* parent, const editor::FontChoice& initial);
  // File dialogs; an empty answer means the user cancelled. The picture dialog previews
  // the file under the cursor.
  virtual QString openPicturePath(QWidget* parent, const QString& directory, const QString& fileName);
  virtual QString openTexturePath(QWidget* parent, const QString& directory);
  // A refused entry ("Invalid label width. ..."): caption "Zefra", error icon.
  virtual void invalidEntry(QWidget* parent, const QString& text);
};

}  // namespace zefra::app
