#pragma once
// What the four property pages share: each control is bound to its entry of the core's
// field table by one call that names it after the entry, sets its range and hint, and
// connects it to EditorSession::setField(). fill() shows the current frame and slots
// with the controls' signals blocked, so filling never writes back; every page refills
// on EditorSession::changed(). Captions are their controls' buddies; the captions of
// fields that stay in the current frame turn red while Lock Frames is on.

#include <QString>
#include <QWidget>
#include <vector>

#include "dialogs/panel_dialogs.h"
#include "editor/field_table.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;

namespace zefra::app {

class ColorButton;
class EditorSession;

class PropertyPage : public QWidget {
  Q_OBJECT

 public:
  PropertyPage(EditorSession& session, PanelDialogs& dialogs, QWidget* parent = nullptr);

  // Shows the project's current frame and slots in every control ("DAT" of this page).
  void fill();

 protected:
  // Controls bound to a field: the objectName is the entry's control name.
  QSpinBox* bindSpin(editor::Field field, const QString& hint);
  QComboBox* bindChoice(editor::Field field, const QString& hint);
  QCheckBox* bindFlag(editor::Field field, const QString& caption, const QString& hint = {});
  ColorButton* bindColor(editor::Field field, const QString& hint);

  // A caption label (objectName `name`) that names `buddy` for keyboard and screen reader.
  // `perFrame`: the field stays in the current frame while Lock Frames is on.
  QLabel* caption(const char* name, const QString& text, QWidget* buddy, bool perFrame);
  QGroupBox* group(const char* name, const QString& title);
  // A caption as a name: "&Frame Color:" -> "Frame Color".
  static QString captionName(QString text);
  // A control (button, check box) whose caption turns red while Lock Frames is on.
  void markPerFrame(QWidget* widget);
  // Controls that a check box (or a choice) switches on: disabled while it is off, and
  // colour buttons among them then show no colour.
  static void switchControls(const std::vector<QWidget*>& controls, bool on);

  // After the bound controls are filled: enabling, file names, slot lists.
  virtual void fillPage() {}
  // Releasing the mouse on a spin ends its drag: the next change is a new undo step.
  bool eventFilter(QObject* watched, QEvent* event) override;

  editor::RangeContext rangeContext() const;

  EditorSession& session;
  PanelDialogs& dialogs;

 private:
  struct Binding {
    editor::Field field;
    QWidget* control;
  };
  void fillBinding(const Binding& binding);
  void showLockFrames(bool locked);

  std::vector<Binding> bindings;
  std::vector<QWidget*> perFrameCaptions;
};

}  // namespace zefra::app
