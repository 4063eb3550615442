// What the controls of the window show, store and announce, driven through the real
// widgets: the colour dialog outliving the font dialog that opened it, widths the panel
// limits stored as shown, numbers typed past a limit, the project's undo keys from inside a
// text field or spin box, the live size read by a screen reader, unchanged colours that
// change nothing, and the names and keyboard paths a screen reader and a keyboard user need.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <vector>

#include "dialogs/color_dialog.h"
#include "dialogs/color_picker.h"
#include "dialogs/font_dialog.h"
#include "dialogs/panel_dialogs.h"
#include "raster/system_colors.h"
#include "widgets/color_button.h"
#include "window_driver.h"

namespace zefra::app {

namespace {

// Answers modal dialogs as they come up: each step waits for a modal widget of the kind it
// names and acts on it. Steps run from a timer, because the dialogs run their own loops.
class ModalScript {
 public:
  using Step = std::function<bool(QWidget* modal)>;  // true when it acted on `modal`
  explicit ModalScript(std::vector<Step> steps) : steps(std::move(steps)) {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || next >= this->steps.size()) return;
      if (this->steps[next](modal)) ++next;
    });
    timer.start(20);
  }
  bool finished() const { return next == steps.size(); }

 private:
  std::vector<Step> steps;
  std::size_t next = 0;
  QTimer timer;
};

template <typename Dialog>
ModalScript::Step onDialog(std::function<void(Dialog*)> act) {
  return [act](QWidget* modal) {
    auto* dialog = qobject_cast<Dialog*>(modal);
    if (!dialog) return false;
    // Acting from the timer would nest the next dialog's loop inside this callback.
    QTimer::singleShot(0, dialog, [act, dialog] { act(dialog); });
    return true;
  };
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

QString accessibleName(QWidget* widget) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  return face ? face->text(QAccessible::Name) : QString();
}

}  // namespace

class ControlValuesTest : public QObject {
  Q_OBJECT

  QTemporaryDir settingsDir;

  template <typename T>
  static T* child(const Window& w, const char* name) {
    return w.main->findChild<T*>(QLatin1String(name));
  }
  static void activate(Window& w) {
    w.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
  }
  static void showPage(Window& w, int index) { w.main->findChild<QTabWidget*>("PControl1")->setCurrentIndex(index); }

 private Q_SLOTS:
  void initTestCase() { isolateSettings(settingsDir); }

  // Font... -> Color: -> Cancel -> Cancel, then any colour button: the colour dialog
  // used to belong to the font dialog and die with it.
  void colourDialogOutlivesTheFontDialog() {
    QWidget host;
    host.show();
    PanelDialogs dialogs;
    ModalScript script({
        onDialog<FontDialog>([](FontDialog* d) { d->findChild<QPushButton*>("FontColor")->click(); }),
        onDialog<ColorDialog>([](ColorDialog* d) { d->findChild<QPushButton*>("B2")->click(); }),
        onDialog<FontDialog>([](FontDialog* d) { d->reject(); }),
        onDialog<ColorDialog>([](ColorDialog* d) { d->findChild<QPushButton*>("B2")->click(); }),
        onDialog<ColorDialog>([](ColorDialog* d) {
          d->findChild<QLineEdit*>("E1")->setFocus();
          d->findChild<QPushButton*>("B1")->click();
        }),
    });
    editor::FontChoice font;
    font.name = "Liberation Sans";
    font.size = 12;
    QVERIFY(!dialogs.chooseFont(&host, font));
    QVERIFY(!dialogs.chooseColor(&host, rgb(1, 2, 3)));
    // And once more with OK: the dialog answers the colour it was given.
    QCOMPARE(dialogs.chooseColor(&host, rgb(10, 20, 30)), std::optional<Color>(rgb(10, 20, 30)));
    QVERIFY(script.finished());
  }

  // With Lock Frames off a colour edit reaches every frame; OK on the colour already shown
  // must not copy it over the other frames' own colours.
  void unchangedColourIsNoEdit() {
    Window w;
    w.trigger("MInsert");
    w.main->session().apply([](editor::Editor& e) { return e.goToFrame(2); });
    w.colourCurrentFrame(rgb(200, 0, 0));
    w.main->session().apply([](editor::Editor& e) { return e.goToFrame(1); });
    // Frame 1 holds a system colour; the dialog answers colours as plain RGB.
    constexpr Color kButtonFace = 0x8000000Fu;
    w.colourCurrentFrame(kButtonFace);
    if (w.project().lockFrames) w.main->session().toggleLockFrames();
    w.main->session().discardChanges();
    const std::size_t steps = w.main->editor().undoCount();
    for (Color answer : {kButtonFace, raster::resolveColor(kButtonFace)}) {
      w.prompts->colors.push_back(answer);
      child<ColorButton>(w, "RZPanelFrBack")->click();
      QCOMPARE(w.project().frame(1).frameColor, kButtonFace);
      QCOMPARE(w.project().frame(2).frameColor, rgb(200, 0, 0));
      QVERIFY(!w.project().modified);
      QCOMPARE(w.main->editor().undoCount(), steps);
    }
    // A colour that differs is an edit, and reaches frame 2 with Lock Frames off.
    w.prompts->colors.push_back(rgb(1, 2, 3));
    child<ColorButton>(w, "RZPanelFrBack")->click();
    QCOMPARE(w.project().frame(2).frameColor, rgb(1, 2, 3));
    QVERIFY(w.project().modified);
  }

  // Borders on, no bevel styles, bevel 5 and border 30 on a 60-pixel label; then a bevel
  // style: the spins show the new limits and the project holds what they show.
  void limitedWidthsAreStoredAsShown() {
    Window w;
    showPage(w, 0);
    child<QCheckBox>(w, "ChBox3")->setChecked(true);
    child<QComboBox>(w, "CBox4")->setCurrentIndex(0);
    child<QComboBox>(w, "CBox5")->setCurrentIndex(0);
    auto* bevel = child<QSpinBox>(w, "SE9");
    auto* border = child<QSpinBox>(w, "SE10");
    bevel->setValue(5);
    border->setValue(30);
    QCOMPARE(int(w.project().current().borderWidth), 30);
    // A border of half the label leaves the bevel no room: its spin and the project say 1.
    QCOMPARE(bevel->value(), 1);
    QCOMPARE(int(w.project().current().bevelWidth), 1);
    child<QComboBox>(w, "CBox4")->setCurrentIndex(1);
    QCOMPARE(bevel->value(), int(w.project().current().bevelWidth));
    QCOMPARE(border->value(), int(w.project().current().borderWidth));
    QCOMPARE(border->value(), 29);
    QVERIFY(2 * bevel->value() + 2 * border->value() <= 60);
    // One undo step brings back both the style and the widths.
    w.main->session().apply([](editor::Editor& e) { return e.undo(); });
    QCOMPARE(int(w.project().current().borderInnerStyle), 0);
    QCOMPARE(int(w.project().current().borderWidth), 30);
    // A lower label lowers them too, in every frame.
    w.main->session().apply([](editor::Editor& e) { return e.redo(); });
    w.trigger("MInsert");
    auto* height = child<QLineEdit>(w, "CHeight");
    height->setFocus();
    height->selectAll();
    QTest::keyClicks(height, "40");
    for (int k = 1; k <= w.project().frameCount; ++k) {
      const model::FrameRecord& r = w.project().frame(k);
      QCOMPARE(int(r.height), 40);
      QVERIFY2(2 * r.bevelWidth + 2 * r.borderWidth <= 40, qPrintable(QString::number(k)));
    }
    QCOMPARE(border->value(), int(w.project().current().borderWidth));
  }

  // A number typed past the limit becomes the limit, in the spin and in the project.
  void numbersTypedPastTheLimitBecomeTheLimit() {
    Window w;
    activate(w);
    showPage(w, 0);
    child<QCheckBox>(w, "ChBox3")->setChecked(true);
    auto* border = child<QSpinBox>(w, "SE10");
    border->setFocus();
    border->selectAll();
    QTest::keyClicks(border, "99999");
    QCOMPARE(border->value(), border->maximum());
    QCOMPARE(int(w.project().current().borderWidth), border->maximum());
    QCOMPARE(border->text(), QString::number(border->maximum()));
    // The delay field shows the delay it stored.
    auto* delay = child<QLineEdit>(w, "CDelay");
    delay->setFocus();
    delay->selectAll();
    QTest::keyClicks(delay, "99999");
    QCOMPARE(int(w.project().current().delayMs), 32767);
    QCOMPARE(delay->text(), QString("32767"));
    // A number on its way into the range is left as typed.
    delay->selectAll();
    QTest::keyClicks(delay, "1");
    QCOMPARE(delay->text(), QString("1"));
  }

  // Clicking a spin's arrows leaves the focus in it; Ctrl+Z there undoes the project's step.
  void undoKeysWorkFromASpinBox() {
    Window w;
    activate(w);
    showPage(w, 2);
    auto* size = child<QSpinBox>(w, "SE8");
    const auto fontSize = [&w] { return int(editor::fieldNumber(w.project(), editor::Field::FontSize)); };
    const int before = fontSize();
    size->setFocus();
    QTRY_VERIFY(size->hasFocus());
    size->stepUp();
    size->stepUp();
    QCOMPARE(fontSize(), before + 2);
    QVERIFY(w.action("MUndo")->text().startsWith("&Undo "));
    QTest::keyClick(size, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(fontSize(), before);
    QCOMPARE(size->value(), before);
    QTest::keyClick(size, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(fontSize(), before + 2);
    QTest::keyClick(size, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(size, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(fontSize(), before + 2);
  }

  // A drag on the canvas leaves the focus on the canvas; Ctrl+Z there undoes the move, and
  // so it does from the text field.
  void undoKeysWorkFromTheCanvasAndTheTextFieldAfterADrag() {
    Window w;
    const QString demo = QString::fromUtf8(ZEFRA_SOURCE_DIR) + "/demo/shapes-and-texts.lbl";
    QVERIFY(w.main->openProject(demo));
    activate(w);
    QPoint grab(-1, -1);
    FrameView* view = w.main->canvas();
    for (const auto& o : w.main->session().canvas().objects()) {
      if (o.kind == render::CanvasObjectKind::Text && o.slot == 1)
        grab = QPoint((o.bounds.left + o.bounds.width() / 2) * view->zoom(), (o.bounds.top + o.bounds.height() / 2) * view->zoom());
    }
    QVERIFY(grab.x() >= 0);
    const int x = w.project().current().textX[0];
    sendMouse(view, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseMove, grab + QPoint(10, 0), Qt::NoButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseMove, grab + QPoint(20, 0), Qt::NoButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, grab + QPoint(20, 0), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(int(w.project().current().textX[0]), x + 20);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(view));
    QCOMPARE(w.action("MUndo")->text().remove('&'), QString("Undo Move Text"));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(int(w.project().current().textX[0]), x);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(int(w.project().current().textX[0]), x + 20);
    auto* field = child<QLineEdit>(w, "ETxt");
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(int(w.project().current().textX[0]), x);
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(int(w.project().current().textX[0]), x + 20);
  }

  // A screen reader reads the live size's figure, not just what the pane is.
  void liveSizeNamesItsFigure() {
    Window w;
    auto* pane = child<QLabel>(w, "GifSizePane");
    QVERIFY(pane);
    QTRY_VERIFY_WITH_TIMEOUT(pane->text().contains("bytes"), 20000);
    QCOMPARE(accessibleName(pane), pane->text());
    QVERIFY(accessibleName(pane).contains(QRegularExpression("[0-9]")));
  }

  void colourButtonsAndCoordinatesHaveTheirOwnNames() {
    Window w;
    auto* frame = child<ColorButton>(w, "RZPanelFrBack");
    QCOMPARE(accessibleName(frame), QString("Frame Color"));
    QVERIFY(frame->accessibleDescription().startsWith('#'));
    QCOMPARE(accessibleName(child<QWidget>(w, "RzShapeCL")), QString("Shape Color"));
    QCOMPARE(accessibleName(child<QWidget>(w, "RZGR1")), QString("Gradient Color1"));
    QStringList coordinates;
    for (const char* name : {"SE1", "SE2", "SE3", "SE4", "SE11", "SE12"}) coordinates << accessibleName(child<QWidget>(w, name));
    QCOMPARE(coordinates.removeDuplicates(), 0);
    for (const QString& n : coordinates) QVERIFY2(!n.isEmpty(), qPrintable(coordinates.join(',')));
  }

  // Swatches and the picker field take the keyboard: Tab reaches them, arrows move, Space
  // picks a swatch.
  void colourDialogWorksFromTheKeyboard() {
    ColorDialog dialog;
    dialog.setDialogColor(rgb(0, 0, 0));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QWidget* first = dialog.findChild<QWidget*>("RP1");
    QVERIFY(first->focusPolicy() & Qt::TabFocus);
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), dialog.findChild<QWidget*>("RP10"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(dialog.sampleColor(), ColorDialog::kSwatchColors[9]);
    QCOMPARE(dialog.swatchState(10), ColorDialog::SwatchState::Lowered);
    // Tab leaves the grid for the picker field; arrows change saturation and value.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* field = dialog.findChild<QWidget*>("PickerField");
    QCOMPARE(QApplication::focusWidget(), field);
    auto* picker = dialog.findChild<ColorPicker*>();
    const int value = picker->value();
    const int saturation = picker->saturation();
    QTest::keyClick(field, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(picker->value(), value - 16);
    QTest::keyClick(field, Qt::Key_Left);
    QCOMPARE(picker->saturation(), saturation - 1);
    QCOMPARE(dialog.sampleColor(), picker->pickColor());
    dialog.reject();
  }
};

}  // namespace zefra::app

QTEST_MAIN(zefra::app::ControlValuesTest)
#include "control_values_test.moc"
