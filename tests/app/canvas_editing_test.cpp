// Editing on the canvas and the frame tools, driven through the real window on the
// offscreen platform: a press selects the object's slot, page and control; a drag moves it
// as one undo step (never with Ctrl); the status pane names the object under the mouse;
// zoom keeps the pixel mapping; the arrow keys nudge; the frame tool commands; and "Edit
// Picture..." with a stand-in editor that saves the file by renaming a new one over it.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "gif/gif_builder.h"
#include "editor/gif_import.h"
#include "io/bmp_writer.h"
#include "main_window.h"
#include "scripted_prompts.h"
#include "support/external_picture_editor.h"
#include "widgets/canvas_editing.h"
#include "widgets/frame_view.h"
#include "window_driver.h"

using namespace zefra;
using namespace zefra::app;

namespace {

constexpr Color kRed = rgb(220, 20, 20);
constexpr Color kBlue = rgb(20, 20, 220);

// A mouse event with exactly the buttons and modifiers given, at a widget position.
void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons, modifiers);
  QApplication::sendEvent(widget, &event);
}

void drag(QWidget* widget, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, modifiers);
  const QPoint half = from + (to - from) / 2;
  sendMouse(widget, QEvent::MouseMove, half, Qt::NoButton, Qt::LeftButton, modifiers);
  sendMouse(widget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, modifiers);
  sendMouse(widget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, modifiers);
}

void hover(QWidget* widget, QPoint at) { sendMouse(widget, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }

QString writePicture(const QString& path, int w, int h, Color colour) {
  raster::FastBitmap bitmap(w, h);
  bitmap.fill(colour);
  io::writeBmpFile(bitmap, path.toStdString());
  return path;
}

Color pixelAt(const Window& w, int x, int y) {
  const raster::FastBitmap& b = w.main->session().canvas().bitmap();
  return b.pixel(x, y);
}

}  // namespace

class CanvasEditingTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir settingsDir;
  QTemporaryDir work;

  // A 200 x 60 label: shape 2 at (10, 10) 30 x 20, picture 1 at (60, 10) 20 x 20 (red),
  // text 3 "Hi" at (120, 5).
  static void setUpObjects(Window& w, const QString& picture) {
    w.main->session().apply([&](editor::Editor& e) {
      return e.editFrames(editor::EditScope::AllFrames, "Set up", [&](model::FrameRecord& r) {
        r.width = 200;
        r.height = 60;
        r.shapeStyle[1] = 1;
        r.shapeX[1] = 10;
        r.shapeY[1] = 10;
        r.shapeWidth[1] = 30;
        r.shapeHeight[1] = 20;
        r.pictureFile[0].assign(picture.toStdString());
        r.pictureX[0] = 60;
        r.pictureY[0] = 10;
        r.text[2].assign("Hi");
        r.textX[2] = 120;
        r.textY[2] = 5;
      });
    });
  }
  FrameView* view(Window& w) { return w.main->canvas(); }
  QTabWidget* pages(Window& w) { return w.main->findChild<QTabWidget*>(QStringLiteral("PControl1")); }
  // The centre of an object's box, as a widget position at the canvas's zoom.
  QPoint centreOf(Window& w, render::CanvasObjectKind kind, int slot) {
    for (const auto& o : w.main->session().canvas().objects()) {
      if (o.kind == kind && o.slot == slot) {
        const int z = view(w)->zoom();
        return {(o.bounds.left + o.bounds.width() / 2) * z, (o.bounds.top + o.bounds.height() / 2) * z};
      }
    }
    return {-1, -1};
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(settingsDir.isValid());
    QVERIFY(work.isValid());
    isolateSettings(settingsDir);
  }
  void init() { QSettings().clear(); }

  void pressOnATextSelectsItsSlotPageAndKeepsTheFocusForTheArrows() {
    Window w;
    setUpObjects(w, writePicture(work.filePath("red.bmp"), 20, 20, kRed));
    const QPoint text = centreOf(w, render::CanvasObjectKind::Text, 3);
    QVERIFY(text.x() >= 0);
    sendMouse(view(w), QEvent::MouseButtonPress, text, Qt::LeftButton, Qt::LeftButton);
    sendMouse(view(w), QEvent::MouseButtonRelease, text, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(w.project().currentText, 3);
    QCOMPARE(pages(w)->currentIndex(), 2);
    QCOMPARE(pages(w)->tabText(2), QStringLiteral("3D&Text"));
    // The canvas keeps the focus for the arrow keys; typing goes on into the text field.
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(view(w)));
    if (auto* list = w.main->findChild<QComboBox*>(QStringLiteral("CBox3"))) QCOMPARE(list->currentIndex(), 2);
    QWidget* field = w.main->findChild<QWidget*>(QStringLiteral("ETxt"));
    if (!field) QSKIP("the text page (ETxt) is not built yet");
    QTest::keyClick(view(w), Qt::Key_A);
    QTRY_COMPARE(QApplication::focusWidget(), field);
  }

  void pressesOnShapesPicturesLabelAndWorkArea() {
    Window w;
    setUpObjects(w, writePicture(work.filePath("red.bmp"), 20, 20, kRed));
    sendMouse(view(w), QEvent::MouseButtonPress, centreOf(w, render::CanvasObjectKind::Shape, 2), Qt::RightButton,
              Qt::RightButton);
    QCOMPARE(w.project().currentShape, 2);
    QCOMPARE(pages(w)->currentIndex(), 1);
    QCOMPARE(w.main->findChild<CanvasEditing*>()->selection()->slot, 2);
    sendMouse(view(w), QEvent::MouseButtonPress, centreOf(w, render::CanvasObjectKind::Picture, 1), Qt::LeftButton,
              Qt::LeftButton);
    sendMouse(view(w), QEvent::MouseButtonRelease, centreOf(w, render::CanvasObjectKind::Picture, 1), Qt::LeftButton,
              Qt::NoButton);
    QCOMPARE(w.project().currentPicture, 1);
    QCOMPARE(pages(w)->currentIndex(), 1);
    // The label's empty background: the General page.
    sendMouse(view(w), QEvent::MouseButtonPress, QPoint(190, 55), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(pages(w)->currentIndex(), 0);
    QVERIFY(!view(w)->selection().has_value());
    // The work area around it: General, with the focus on the web site colour.
    pages(w)->setCurrentIndex(2);
    QWidget* area = w.main->findChild<QWidget*>(QStringLiteral("Panel1"));
    sendMouse(area, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(pages(w)->currentIndex(), 0);
    if (QWidget* webSite = w.main->findChild<QWidget*>(QStringLiteral("RZPanelWebSite"))) {
      QTRY_COMPARE(QApplication::focusWidget(), webSite);
    }
  }

  void dragMovesAsOneUndoStepAndNeverWithCtrl() {
    Window w;
    setUpObjects(w, writePicture(work.filePath("red.bmp"), 20, 20, kRed));
    w.main->session().apply([](editor::Editor& e) { return e.insertFrame(); });
    w.trigger("MLock");  // Lock Frames off: every frame follows
    QVERIFY(!w.project().lockFrames);
    const QPoint grab = centreOf(w, render::CanvasObjectKind::Picture, 1) + QPoint(3, 2);
    drag(view(w), grab, grab + QPoint(10, 0));
    QCOMPARE(w.project().frame(1).pictureX[0], 70);
    QCOMPARE(w.project().frame(2).pictureX[0], 70);
    QCOMPARE(w.project().frame(2).pictureY[0], 10);
    QCOMPARE(pixelAt(w, 88, 15), kRed);  // the canvas shows it at once
    // The grabbed point stayed under the mouse.
    QCOMPARE(w.main->session().canvas().objectAt(grab.x() + 10, grab.y())->slot, 1);
    QCOMPARE(QString::fromStdString(w.main->editor().undoLabel()), QStringLiteral("Move Picture"));
    w.main->session().apply([](editor::Editor& e) { return e.undo(); });
    QCOMPARE(w.project().frame(1).pictureX[0], 60);
    QCOMPARE(w.project().frame(2).pictureX[0], 60);
    QCOMPARE(QString::fromStdString(w.main->editor().undoLabel()), QStringLiteral("Insert Frame"));

    // (Alt only suspends snapping: see the alignment tests.)
    for (Qt::KeyboardModifier held : {Qt::ControlModifier, Qt::ShiftModifier}) {
      drag(view(w), grab, grab + QPoint(25, 5), held);
      QCOMPARE(w.project().current().pictureX[0], 60);
      QCOMPARE(w.project().current().pictureY[0], 10);
    }
    // The right button does not drag either.
    sendMouse(view(w), QEvent::MouseButtonPress, grab, Qt::RightButton, Qt::RightButton);
    sendMouse(view(w), QEvent::MouseMove, grab + QPoint(9, 0), Qt::NoButton, Qt::RightButton);
    sendMouse(view(w), QEvent::MouseButtonRelease, grab + QPoint(9, 0), Qt::RightButton, Qt::NoButton);
    QCOMPARE(w.project().current().pictureX[0], 60);
  }

  void demoTextDraggedUndoneRedoneAndSavedShowsInInfo() {
    const QString demo = QString::fromUtf8(ZEFRA_SOURCE_DIR) + "/demo/shapes-and-texts.lbl";
    const QString copy = work.filePath("drag-demo.lbl");
    QFile::remove(copy);
    QVERIFY(QFile::copy(demo, copy));
    Window w;
    QVERIFY(w.main->openProject(copy));
    QCOMPARE(w.project().frame(1).textX[0], 12);
    const int secondFrameX = w.project().frame(2).textX[0];
    const QPoint grab = centreOf(w, render::CanvasObjectKind::Text, 1);
    QVERIFY(grab.x() >= 0);
    // With Alt the text goes exactly where the mouse says (its top would snap to the middle).
    drag(view(w), grab, grab + QPoint(20, 0), Qt::AltModifier);
    QCOMPARE(w.project().frame(1).textX[0], 32);
    QCOMPARE(w.project().frame(1).textY[0], 4);
    QVERIFY(w.project().modified);
    w.main->session().apply([](editor::Editor& e) { return e.undo(); });
    QCOMPARE(w.project().frame(1).textX[0], 12);
    w.main->session().apply([](editor::Editor& e) { return e.redo(); });
    QCOMPARE(w.project().frame(1).textX[0], 32);
    const QString saved = work.filePath("dragged.lbl");
    w.saveAs(saved);
    QProcess info;
    info.start(QString::fromUtf8(ZEFRA_CLI_PATH), {QStringLiteral("info"), saved});
    QVERIFY(info.waitForFinished(10000));
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(out.contains(QStringLiteral("  Text String 1 at 32, 4: \"SALE\"\n")), qPrintable(out));
    // The other frames kept their text where it was (Lock Frames is on).
    QCOMPARE(w.project().frame(2).textX[0], secondFrameX);
    QVERIFY2(out.contains(QStringLiteral("  Text String 1 at %1, ").arg(secondFrameX)), qPrintable(out));
  }

  void hoverNamesTheObjectUnderTheMouse() {
    Window w;
    setUpObjects(w, writePicture(work.filePath("red.bmp"), 20, 20, kRed));
    hover(view(w), centreOf(w, render::CanvasObjectKind::Picture, 1));
    QCOMPARE(w.pane("RzPane4"), QStringLiteral("Object: Picture 1"));
    hover(view(w), centreOf(w, render::CanvasObjectKind::Text, 3));
    QCOMPARE(w.pane("RzPane4"), QStringLiteral("Object: Text String 3"));
    hover(view(w), centreOf(w, render::CanvasObjectKind::Shape, 2));
    QCOMPARE(w.pane("RzPane4"), QStringLiteral("Object: Shape 2"));
    hover(view(w), QPoint(190, 55));
    QCOMPARE(w.pane("RzPane4"), QString());
  }

  void zoomKeepsOneToOneMappingAndArrowsNudge() {
    Window w;
    setUpObjects(w, writePicture(work.filePath("red.bmp"), 20, 20, kRed));
    w.main->session().apply([](editor::Editor& e) {
      return e.editFrames(editor::EditScope::AllFrames, "Size", [](model::FrameRecord& r) {
        r.width = 120;
        r.height = 40;
      });
    });
    const QImage before = view(w)->image();
    w.trigger("MZoom200");
    QCOMPARE(view(w)->zoom(), 2);
    QCOMPARE(view(w)->size(), QSize(240, 80));
    QCOMPARE(view(w)->labelPixelAt(QPoint(121, 21)), QPoint(60, 10));
    QCOMPARE(view(w)->labelPixelAt(QPoint(119, 21)), QPoint(59, 10));
    // The zoomed widget paints every label pixel as a 2 x 2 square of the same colour.
    const QImage shown = view(w)->grab().toImage();
    QCOMPARE(shown.pixelColor(120, 20), shown.pixelColor(121, 21));
    QCOMPARE(shown.pixelColor(120, 20), QColor(220, 20, 20));
    QCOMPARE(view(w)->image(), before);  // the picture itself is unchanged
    // A drag at 200 % moves by label pixels: 20 screen pixels are 10 label pixels.
    const QPoint grab = centreOf(w, render::CanvasObjectKind::Picture, 1);
    drag(view(w), grab, grab + QPoint(20, 0));
    QCOMPARE(w.project().current().pictureX[0], 70);
    w.trigger("MZoomIn");
    QCOMPARE(view(w)->zoom(), 4);
    QVERIFY(w.action("MZoom400")->isChecked());
    w.trigger("MZoomOut");
    w.trigger("MZoomOut");
    QCOMPARE(view(w)->zoom(), 1);
    QVERIFY(w.action("MZoom100")->isChecked());

    // The outline of the selected picture is on screen only.
    QCOMPARE(view(w)->selection(), std::optional(raster::Rect::fromSize(70, 10, 20, 20)));
    const QImage outlined = view(w)->grab().toImage();
    QVERIFY(outlined.pixelColor(69, 15) != QColor(136, 136, 136));
    QCOMPARE(view(w)->image().pixelColor(69, 15), QColor(136, 136, 136));

    view(w)->setFocus();
    QTest::keyClick(view(w), Qt::Key_Right);
    QCOMPARE(w.project().current().pictureX[0], 71);
    QTest::keyClick(view(w), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(w.project().current().pictureY[0], 20);
    QTest::keyClick(view(w), Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(w.project().current().pictureX[0], 61);
  }

  void zoomNeverGrowsTheWindowPastTheScreen() {
    Window w;  // a new label: 468 x 60
    const QRect screen = w.main->desktopArea();
    w.trigger("MZoom400");
    QVERIFY(view(w)->zoom() >= 1);
    QVERIFY2(view(w)->width() <= screen.width(), qPrintable(QString::number(view(w)->width())));
    QCOMPARE(view(w)->width(), 468 * view(w)->zoom());
    // "Fit" takes the largest whole factor that fits, and nothing larger fits.
    w.trigger("MZoomFit");
    const int fit = view(w)->zoom();
    QVERIFY(w.action("MZoomFit")->isChecked());
    QVERIFY(468 * fit <= screen.width());
    QVERIFY(fit == 8 || 468 * (fit + 1) > screen.width() - 40 || 60 * (fit + 1) > screen.height());
    // A smaller label lets the fitted zoom grow.
    w.main->session().apply([](editor::Editor& e) {
      return e.editFrames(editor::EditScope::AllFrames, "Size", [](model::FrameRecord& r) {
        r.width = 60;
        r.height = 20;
      });
    });
    QVERIFY(view(w)->zoom() > fit);
    QCOMPARE(view(w)->size(), QSize(60 * view(w)->zoom(), 20 * view(w)->zoom()));
  }

  void frameToolCommands() {
    Window w;
    w.colourCurrentFrame(kRed);
    w.trigger("MInsert");
    w.colourCurrentFrame(kBlue);
    QVERIFY(!w.action("MMoveRight")->isEnabled());
    w.trigger("MMoveLeft");
    QCOMPARE(w.project().currentFrame, 1);
    QCOMPARE(w.project().frame(1).frameColor, kBlue);
    QCOMPARE(w.canvasColour(), kBlue);
    QCOMPARE(w.pane("RzPane2"), QStringLiteral("Frame 1 of 2"));
    QCOMPARE(w.action("MMoveLeft")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left));
    // Tween 3 frames from blue to red.
    w.prompts->tweenCounts.push_back(3);
    w.trigger("MTween");
    QCOMPARE(w.project().frameCount, 5);
    QCOMPARE(w.project().frame(3).frameColor, rgb(120, 20, 120));
    QCOMPARE(w.pane("RzPane2"), QStringLiteral("Frame 2 of 5"));
    // Cancelled: nothing happens.
    w.trigger("MTween");
    QCOMPARE(w.project().frameCount, 5);

    QTemporaryDir pictures;
    testing::BuiltGif redBlue;
    redBlue.width = 8;
    redBlue.height = 6;
    redBlue.palette = {{255, 0, 0}, {0, 0, 255}};
    for (int k = 0; k < 4; ++k) redBlue.frames.push_back(testing::solidFrame(0, 0, 8, 6, static_cast<std::uint8_t>(k % 2)));
    testing::writeGif(pictures.filePath("anim.gif").toStdString(), redBlue);
    w.prompts->gifPaths.push_back(pictures.filePath("anim.gif"));
    w.trigger("MImportGif");
    QCOMPARE(w.project().frameCount, 9);
    QCOMPARE(w.project().currentFrame, 6);
    QVERIFY(QFile::exists(pictures.filePath("anim_001.bmp")));
  }

  void editPictureReloadsEverySlotShowingTheFile() {
    Window w;
    const QString file = writePicture(work.filePath("shared.bmp"), 20, 20, kRed);
    setUpObjects(w, file);
    w.main->session().apply([&](editor::Editor& e) {
      return e.editFrames(editor::EditScope::CurrentFrame, "Second", [&](model::FrameRecord& r) {
        r.pictureFile[4].assign(file.toStdString());
        r.pictureX[4] = 150;
        r.pictureY[4] = 30;
      });
    });
    QCOMPARE(pixelAt(w, 65, 15), kRed);
    QCOMPARE(pixelAt(w, 155, 35), kRed);
    const QString blue = writePicture(work.filePath("blue.bmp"), 20, 20, kBlue);
    // The stand-in editor saves a blue picture by renaming it over the file, then stays
    // open a little, as an editor window would.
    const QString script = work.filePath("fake-editor.sh");
    QFile f(script);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("#!/bin/sh\nsleep 0.3\ncp '%1' \"$1.new\" && mv \"$1.new\" \"$1\"\nsleep 3.2\n").arg(blue).toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    QSettings().setValue(QStringLiteral("1.5/ImageEditor"), script);

    auto* editor = w.main->findChild<ExternalPictureEditor*>();
    QVERIFY(editor);
    w.main->onEditPicture();
    QVERIFY(editor->watching());
    QCOMPARE(editor->pictureWatch().slots(), (std::vector<int>{1, 5}));
    QTRY_COMPARE_WITH_TIMEOUT(pixelAt(w, 65, 15), kBlue, 5000);
    QCOMPARE(pixelAt(w, 155, 35), kBlue);
    // Reloading a picture is not an edit of the project.
    QCOMPARE(QString::fromStdString(w.main->editor().undoLabel()), QStringLiteral("Second"));
    // The editor closes: watching ends.
    QTRY_VERIFY_WITH_TIMEOUT(!editor->watching(), 8000);
  }

  void aHalfWrittenPictureKeepsTheOldOneUntilItIsWhole() {
    Window w;
    const QString file = writePicture(work.filePath("partial.bmp"), 20, 20, kRed);
    setUpObjects(w, file);
    const QString blue = writePicture(work.filePath("blue2.bmp"), 20, 20, kBlue);
    // First half a file (cut in the pixels), a second later the whole one.
    const QString script = work.filePath("slow-editor.sh");
    QFile f(script);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("#!/bin/sh\nsleep 0.2\nhead -c 100 '%1' > \"$1.new\" && mv \"$1.new\" \"$1\"\n"
                           "sleep 1.6\ncp '%1' \"$1.new\" && mv \"$1.new\" \"$1\"\nsleep 4\n")
                .arg(blue)
                .toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    QSettings().setValue(QStringLiteral("1.5/ImageEditor"), script);

    w.main->onEditPicture();
    // While the file is cut short the red picture stays.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() == 100, 3000);
    QTest::qWait(1100);
    QCOMPARE(pixelAt(w, 65, 15), kRed);
    QTRY_COMPARE_WITH_TIMEOUT(pixelAt(w, 65, 15), kBlue, 6000);
  }

  void theDesktopsApplicationIsWatchedUntilTheProjectIsReplaced() {
    Window w;
    const QString file = writePicture(work.filePath("desk.bmp"), 20, 20, kRed);
    setUpObjects(w, file);
    auto* editor = w.main->findChild<ExternalPictureEditor*>();
    QVERIFY(editor);
    // No setting and none of the paint programs installed: the desktop opens the file.
    editor->setInstalledCheck([](const std::string&) { return false; });
    QList<QUrl> opened;
    editor->setDesktopOpener([&](const QUrl& url) {
      opened << url;
      return true;
    });
    w.main->onEditPicture();
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(file)});
    QVERIFY(editor->lastCommand().desktopDefault);
    QVERIFY(editor->watching());
    QTest::qWait(1200);
    QVERIFY(editor->watching());  // no process to follow: still watching
    w.prompts->answers.push_back(QMessageBox::No);  // the set-up is not saved
    w.trigger("MNew");
    QVERIFY(!editor->watching());
  }

  void movingTheMouseOffTheLabelEmptiesTheObjectPane() {
    Window w;
    setUpObjects(w, writePicture(work.filePath("red.bmp"), 20, 20, kRed));
    hover(view(w), centreOf(w, render::CanvasObjectKind::Picture, 1));
    QCOMPARE(w.pane("RzPane4"), QStringLiteral("Object: Picture 1"));
    QWidget* area = w.main->findChild<QWidget*>(QStringLiteral("Panel1"));
    QVERIFY(area->hasMouseTracking());
    hover(area, QPoint(2, 2));
    QCOMPARE(w.pane("RzPane4"), QString());
  }

  // The status pane names a picture or texture that cannot be drawn only while it cannot:
  // a good picture in its place, or another project, takes the message away; what the
  // pane says about the object under the mouse is not the editor's to take back.
  void aPictureOrTextureErrorGoesWithItsCause() {
    Window w;
    const QString good = writePicture(work.filePath("good.bmp"), 20, 20, kRed);
    const QString missing = work.filePath("missing.bmp");
    setUpObjects(w, missing);
    QVERIFY2(w.pane("RzPane4").startsWith(QStringLiteral("Picture 1: ")), qPrintable(w.pane("RzPane4")));
    setUpObjects(w, good);
    QCOMPARE(w.pane("RzPane4"), QString());
    w.saveAs(work.filePath("fine.lbl"));

    w.main->session().apply([&](editor::Editor& e) {
      return e.editFrames(editor::EditScope::AllFrames, "Texture",
                          [&](model::FrameRecord& r) { r.textureFile[2].assign(missing.toStdString()); });
    });
    QVERIFY2(w.pane("RzPane4").startsWith(QStringLiteral("Texture 3: ")), qPrintable(w.pane("RzPane4")));
    w.saveAs(work.filePath("broken.lbl"));
    w.main->onNew();
    QCOMPARE(w.pane("RzPane4"), QString());
    QVERIFY(w.main->openProject(work.filePath("broken.lbl")));
    QVERIFY(w.pane("RzPane4").startsWith(QStringLiteral("Texture 3: ")));
    QVERIFY(w.main->openProject(work.filePath("fine.lbl")));
    QCOMPARE(w.pane("RzPane4"), QString());

    w.main->onNew();
    setUpObjects(w, good);
    hover(view(w), centreOf(w, render::CanvasObjectKind::Picture, 1));
    QCOMPARE(w.pane("RzPane4"), QStringLiteral("Object: Picture 1"));
    w.colourCurrentFrame(kBlue);
    QCOMPARE(w.pane("RzPane4"), QStringLiteral("Object: Picture 1"));
    w.main->session().discardChanges();
  }

  void aMissingPictureGivesUpSilently() {
    Window w;
    const QString file = writePicture(work.filePath("gone.bmp"), 20, 20, kRed);
    setUpObjects(w, file);
    QFile::remove(file);
    QSettings().setValue(QStringLiteral("1.5/ImageEditor"), QStringLiteral("/bin/true"));
    w.main->onEditPicture();
    QVERIFY(!w.main->findChild<ExternalPictureEditor*>()->watching());
    QVERIFY(w.log.errors.isEmpty());
  }
};

QTEST_MAIN(CanvasEditingTest)
#include "canvas_editing_test.moc"
