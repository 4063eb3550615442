#pragma once
// Every question and notice the main window puts to the user goes through this class, so
// a test can answer the file dialogs without a person. The default implementation shows
// the real message boxes (caption and icon as the caller says) and file dialogs.

#include <QMessageBox>
#include <QString>
#include <optional>

#include "dialogs/panel_dialogs.h"
#include "editor/frame_tools.h"

class QWidget;

namespace zefra::app {

inline const QString kLblFilter = QStringLiteral("LBL - Zefra Format (*.lbl)");
// Open takes a GIF too (it becomes a new project); both are shown at first.
inline const QString kOpenFilters = kLblFilter + QStringLiteral(";;GIF Images (*.gif);;Projects and GIF Images (*.lbl *.gif)");

// The property pages' dialogs (colour, font, picture and texture files) are part of it.
class UserPrompts : public PanelDialogs {
 public:
  ~UserPrompts() override = default;

  // A Yes/No/Cancel question with the caption "Zefra" and a question icon.
  virtual QMessageBox::StandardButton question(QWidget* parent, const QString& text);
  virtual void error(QWidget* parent, const QString& caption, const QString& text);
  virtual void warning(QWidget* parent, const QString& caption, const QString& text);

  // The open dialog for projects and GIFs; an empty answer means the user cancelled.
  virtual QString openProjectPath(QWidget* parent, const QString& directory);
  // The save dialog for projects: asks before overwriting, adds ".lbl" when no extension
  // is typed; an empty answer means the user cancelled.
  virtual QString saveProjectPath(QWidget* parent, const QString& directory, const QString& proposedName);
  // "Tween Frames...": the tween to make from frame `currentFrame` of `frameCount` (count,
  // easing, kept delays, frames to replace), offering the easing and delay choice of
  // `last`; nothing when cancelled.
  virtual std::optional<editor::TweenOptions> tweenOptions(QWidget* parent, int currentFrame, int frameCount,
                                                           const editor::TweenOptions& last);
  // "Set Delay...": one delay (minimum..maximum ms) for `frames` selected frames, offering
  // `delayMs`; nothing when cancelled.
  virtual std::optional<int> frameDelay(QWidget* parent, int delayMs, int minimum, int maximum, int frames);
  // "Import GIF...": the GIF file to import; an empty answer means the user cancelled.
  virtual QString openGifPath(QWidget* parent, const QString& directory);
  // "Export GIF...": where to write the GIF, starting at `proposedPath` (its folder and
  // name); asks before overwriting; an empty answer means the user cancelled.
  virtual QString saveGifPath(QWidget* parent, const QString& proposedPath);

  // A refused entry of a property page, as an error with the caption "Zefra".
  void invalidEntry(QWidget* parent, const QString& text) override { error(parent, QStringLiteral("Zefra"), text); }
};

}  // namespace zefra::app
