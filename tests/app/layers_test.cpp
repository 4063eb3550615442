// The layer tools in the real window: the slot lists name what each layer holds as it is
// typed or loaded, the drawing order their hints describe is the one on the canvas, and
// the Edit menu's Copy Layer to All Frames, Copy Style / Paste Style and Bring Forward /
// Send Backward (with their keys) edit the project as one undo step each.
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QtTest>

#include "editor/field_table.h"
#include "window_driver.h"

namespace zefra::app {

class LayersTest : public QObject {
  Q_OBJECT

  QTemporaryDir settingsDir;

  static QComboBox* list(const Window& w, const char* name) { return w.main->findChild<QComboBox*>(QLatin1String(name)); }
  static void showPage(Window& w, int index) { w.main->findChild<QTabWidget*>("PControl1")->setCurrentIndex(index); }
  static void typeText(Window& w, const QString& text) {
    QLineEdit* edit = w.main->findChild<QLineEdit*>("ETxt");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);  // ends the run of typing
  }
  static int pixelsOf(const Window& w, Color c) {
    const QImage image = w.main->canvas()->image();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor p = image.pixelColor(x, y);
        if (rgb(static_cast<std::uint8_t>(p.red()), static_cast<std::uint8_t>(p.green()), static_cast<std::uint8_t>(p.blue())) == c) ++count;
      }
    }
    return count;
  }

 private Q_SLOTS:
  void initTestCase() { isolateSettings(settingsDir); }

  void listsNameWhatEachLayerHolds() {
    Window w;
    w.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
    QComboBox* texts = list(w, "CBox3");
    QCOMPARE(texts->accessibleName(), QString("Select text layer"));
    QCOMPARE(texts->itemText(0), QString("Text String 1: (empty)"));
    showPage(w, 2);
    typeText(w, "Fresh bread daily");
    QCOMPARE(texts->itemText(0), QString("Text String 1: Fresh bread daily"));
    QCOMPARE(texts->currentText(), QString("Text String 1: Fresh bread daily"));
    typeText(w, "Fresh bread daily, warm rolls every morning");
    QCOMPARE(texts->itemText(0), QString("Text String 1: Fresh bread daily, warm rolls\u2026"));

    showPage(w, 1);
    list(w, "CBox6")->setCurrentIndex(1);
    w.main->session().setField(editor::Field::PictureFile, QString("/nowhere/art/logo.bmp"));
    QCOMPARE(list(w, "CBox6")->itemText(1), QString("Picture 2: logo.bmp"));
    QCOMPARE(list(w, "CBox6")->itemText(0), QString("Picture 1: (empty)"));
    w.main->findChild<QComboBox*>("CBox8")->setCurrentIndex(2);
    QCOMPARE(list(w, "CBox7")->itemText(0), QString("Shape 1: Rounded rectangle"));
    QCOMPARE(list(w, "CBox7")->itemText(9), QString("Shape 10: (empty)"));

    // The names are those of the frame shown.
    w.trigger("MInsert");
    w.main->session().setField(editor::Field::Text, QString("Second"));
    QCOMPARE(texts->itemText(0), QString("Text String 1: Second"));
    w.trigger("MPrevious");
    QCOMPARE(texts->itemText(0), QString("Text String 1: Fresh bread daily, warm rolls\u2026"));

    // Every list hints at the drawing order, for the mouse and the screen reader.
    for (const char* name : {"CBox3", "CBox6", "CBox7"}) {
      QVERIFY2(list(w, name)->toolTip().contains("Shape 2 covers Text String 1"), name);
      QVERIFY2(list(w, name)->accessibleDescription().contains("border on top"), name);
    }
  }

  void drawingOrderIsTheOneDescribedAndBringForwardChangesIt() {
    Window w;
    w.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
    const Color red = rgb(230, 0, 0);
    const Color blue = rgb(0, 0, 230);
    // Text String 1 in red under Shape 2, a blue rectangle over the whole label.
    w.main->session().apply([&](editor::Editor& e) {
      return e.editFrames(editor::EditScope::CurrentFrame, "layers", [&](model::FrameRecord& f) {
        f.text[0] = "MMMM";
        f.fontName[0] = "DejaVu Sans";
        f.fontColor[0] = red;
        f.textX[0] = 20;
        f.textY[0] = 5;
        f.viewAngle[0] = 0;
        f.shadowDarkness[0] = 0;
        f.textBorderWidth[0] = 0;
        f.textGradientOn[0] = 0;
        f.shapeStyle[1] = 1;
        f.shapeWidth[1] = f.width;
        f.shapeHeight[1] = f.height;
        f.shapeFillColor[1] = f.shapeBorderColor[1] = blue;
      });
    });
    QVERIFY(pixelsOf(w, blue) > 0);
    QCOMPARE(pixelsOf(w, red), 0);  // Shape 2 covers Text String 1

    // Ctrl+] on the text page moves the text to slot 2, over the shape; the list follows.
    showPage(w, 2);
    w.main->findChild<QLineEdit*>("ETxt")->setFocus();
    QTest::keyClick(w.main.get(), Qt::Key_BracketRight, Qt::ControlModifier);
    QCOMPARE(w.project().currentText, 2);
    QCOMPARE(list(w, "CBox3")->currentIndex(), 1);
    QCOMPARE(list(w, "CBox3")->itemText(1), QString("Text String 2: MMMM"));
    QCOMPARE(list(w, "CBox3")->itemText(0), QString("Text String 1: (empty)"));
    QVERIFY(pixelsOf(w, red) > 0);
    QCOMPARE(w.action("MUndo")->text(), QString("&Undo Bring Forward"));
    QVERIFY(w.action("MSendBackward")->isEnabled());
    // Undo puts the text and the list's selection back; redo moves both again.
    w.trigger("MUndo");
    QCOMPARE(list(w, "CBox3")->currentIndex(), 0);
    QCOMPARE(pixelsOf(w, red), 0);
    w.trigger("MRedo");
    QCOMPARE(list(w, "CBox3")->currentIndex(), 1);

    // Ctrl+[ sends it back under the shape; at slot 1 Send Backward has nowhere to go.
    QTest::keyClick(w.main.get(), Qt::Key_BracketLeft, Qt::ControlModifier);
    QCOMPARE(w.project().currentText, 1);
    QCOMPARE(pixelsOf(w, red), 0);
    QVERIFY(!w.action("MSendBackward")->isEnabled());

    // A press on the shape selects it on the canvas, and the keys then move the shape:
    // Shape 2 goes under Text String 1.
    showPage(w, 0);
    QWidget* view = w.main->canvas();
    const QPoint onShape(view->width() - 10, view->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(onShape), view->mapToGlobal(QPointF(onShape)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(onShape), view->mapToGlobal(QPointF(onShape)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &release);
    QCOMPARE(w.project().currentShape, 2);
    QTest::keyClick(w.main.get(), Qt::Key_BracketLeft, Qt::ControlModifier);
    QCOMPARE(w.project().current().shapeStyle[0], 1);
    QCOMPARE(w.project().current().shapeStyle[1], 0);
    QCOMPARE(list(w, "CBox7")->currentIndex(), 0);
    QVERIFY(pixelsOf(w, red) > 0);  // now Text String 1 lies over Shape 1
  }

  void copyLayerToAllFramesReachesEveryFrameAsOneStep() {
    Window w;
    w.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
    for (int k = 0; k < 3; ++k) w.trigger("MInsert");
    w.trigger("MFirst");
    QVERIFY(!w.action("MPasteStyle")->isEnabled());
    showPage(w, 2);
    typeText(w, "Fresh bread daily");
    QVERIFY(w.project().frame(2).text[0].empty());  // Lock Frames kept it in frame 1

    w.trigger("MCopyLayer");
    for (int k = 1; k <= 4; ++k) QCOMPARE(w.project().frame(k).text[0].str(), std::string("Fresh bread daily"));
    QCOMPARE(w.action("MUndo")->text(), QString("&Undo Copy Layer to All Frames"));
    w.trigger("MLast");
    QCOMPARE(list(w, "CBox3")->itemText(0), QString("Text String 1: Fresh bread daily"));
    w.trigger("MUndo");
    QVERIFY(w.project().frame(4).text[0].empty());
    QCOMPARE(w.project().frame(1).text[0].str(), std::string("Fresh bread daily"));
  }

  void copyAndPasteStyleThroughTheEditMenu() {
    Window w;
    showPage(w, 2);
    w.main->session().setField(editor::Field::Text, QString("Sale"));
    w.main->session().setField(editor::Field::FontSize, 40);
    w.main->session().setField(editor::Field::ViewAngle, 200);
    w.trigger("MCopyStyle");
    QVERIFY(w.action("MPasteStyle")->isEnabled());
    list(w, "CBox3")->setCurrentIndex(1);  // seeded with "text" from slot 1
    w.main->session().setField(editor::Field::FontSize, 12);
    w.main->session().setField(editor::Field::ViewAngle, 10);
    w.main->session().setField(editor::Field::TextX, 77);
    w.trigger("MPasteStyle");
    const model::FrameRecord& f = w.project().current();
    QCOMPARE(int(f.fontSize[1]), 40);
    QCOMPARE(int(f.viewAngle[1]), 200);
    QCOMPARE(f.text[1].str(), std::string("text"));
    QCOMPARE(int(f.textX[1]), 77);
    QCOMPARE(w.action("MUndo")->text(), QString("&Undo Paste Style"));

    // The commands sit in the Edit menu under the captions a screen reader finds.
    QMenu* edit = w.main->findChild<QMenu*>("Edit1");
    for (const char* name : {"MCopyLayer", "MCopyStyle", "MPasteStyle", "MBringForward", "MSendBackward"}) {
      QVERIFY2(edit->actions().contains(w.action(name)), name);
    }
    QCOMPARE(w.action("MCopyLayer")->text().remove('&'), QString("Copy Layer to All Frames"));
    QCOMPARE(w.action("MBringForward")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_BracketRight));
  }
};

}  // namespace zefra::app

QTEST_MAIN(zefra::app::LayersTest)
#include "layers_test.moc"
