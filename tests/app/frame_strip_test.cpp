// The frame strip "Frames" of the main window: what it lists and how a screen reader
// names it, choosing frames and editing all chosen ones from a page, moving frames as one
// undo step, its commands and the frame keys, and the window still showing everything.
#include <QAccessible>
#include <QLineEdit>
#include <QSpinBox>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "editor/frame_arrange.h"
#include "raster/fast_bitmap.h"
#include "io/bmp_writer.h"
#include "io/lbl_reader.h"
#include "main_window.h"
#include "scripted_prompts.h"
#include "widgets/frame_strip.h"
#include "window_driver.h"

using namespace zefra;
using namespace zefra::app;

namespace {

// `count` frames with delays 100, 110, 120, ... and frame colours of their own, frame 1 current.
void makeFrames(Window& w, int count) {
  for (int k = 1; k < count; ++k) w.trigger("MInsert");
  for (int k = 1; k <= count; ++k) {
    w.main->session().apply([k](editor::Editor& e) {
      e.selectFrame(k);
      return e.editFrames(editor::EditScope::CurrentFrame, "Mark", [k](model::FrameRecord& r) {
        r.delayMs = static_cast<std::int16_t>(90 + 10 * k);
        r.frameColor = rgb(static_cast<std::uint8_t>(20 * k), 40, 200);
        r.gradientOn = 0;
      });
    });
  }
  w.trigger("MFirst");
}

FrameStrip* stripOf(const Window& w) { return w.main->findChild<FrameStrip*>("FrameStrip"); }

void clickFrame(FrameStrip* strip, int frame, Qt::KeyboardModifiers modifiers = {}) {
  const QRect box = strip->visualItemRect(strip->item(frame - 1));
  QTest::mouseClick(strip->viewport(), Qt::LeftButton, modifiers, box.center());
}

std::vector<int> chosen(const Window& w) {
  std::vector<int> frames;
  const editor::FrameSet set = w.main->editor().selectedFrames();
  for (int k = 1; k <= w.project().frameCount; ++k)
    if (set.test(static_cast<std::size_t>(k))) frames.push_back(k);
  return frames;
}

std::vector<int> delays(const model::LabelProject& project) {
  std::vector<int> list;
  for (int k = 1; k <= project.frameCount; ++k) list.push_back(project.frame(k).delayMs);
  return list;
}

}  // namespace

class FrameStripTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir settingsDir;
  QTemporaryDir work;

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(settingsDir.isValid());
    QVERIFY(work.isValid());
    isolateSettings(settingsDir);
  }

  void listsEveryFrameAsAScreenReaderNamesIt() {
    Window w;
    makeFrames(w, 6);
    FrameStrip* strip = stripOf(w);
    QVERIFY(strip);
    QCOMPARE(strip->accessibleName(), QString("Frames"));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(strip);
    QVERIFY(list);
    QCOMPARE(list->childCount(), 6);
    for (int k = 1; k <= 6; ++k) {
      const QString name = QString("Frame %1, %2 ms").arg(k).arg(90 + 10 * k);
      QCOMPARE(list->child(k - 1)->text(QAccessible::Name), name);
      QCOMPARE(list->child(k - 1)->role(), QAccessible::ListItem);
      QCOMPARE(strip->item(k - 1)->text(), QString("%1: %2 ms").arg(k).arg(90 + 10 * k));
    }
    QVERIFY(list->child(0)->state().selected);
    // Every thumbnail arrives and shows its own frame's colour.
    QTRY_VERIFY(strip->thumbnailsWaiting() == 0 && strip->hasThumbnail(6));
    for (int k : {1, 6}) {
      const QImage thumb = strip->item(k - 1)->data(Qt::DecorationRole).value<QPixmap>().toImage();
      QVERIFY(thumb.width() <= FrameStrip::thumbnailBox().width() && thumb.height() <= FrameStrip::thumbnailBox().height());
      QCOMPARE(thumb.pixelColor(thumb.width() / 2, thumb.height() / 2), QColor(20 * k, 40, 200));
    }
    // An edit of one frame reaches its thumbnail and caption; a new frame gets an item.
    w.main->session().apply([](editor::Editor& e) {
      e.selectFrame(3);
      return e.editFrames(editor::EditScope::CurrentFrame, "Colour", [](model::FrameRecord& r) {
        r.frameColor = rgb(250, 250, 0);
        r.delayMs = 150;
      });
    });
    QCOMPARE(list->child(2)->text(QAccessible::Name), QString("Frame 3, 150 ms"));
    QTRY_COMPARE(strip->item(2)->data(Qt::DecorationRole).value<QPixmap>().toImage().pixelColor(10, 5),
                 QColor(250, 250, 0));
    w.trigger("MInsert");
    QCOMPARE(strip->count(), 7);
    QCOMPARE(list->child(3)->text(QAccessible::Name), QString("Frame 4, 150 ms"));
  }

  // A picture edited in a paint program changes no byte of the project; its thumbnails
  // follow all the same.
  void thumbnailsFollowAPictureEditedOnDisk() {
    Window w;
    makeFrames(w, 2);
    const QString picture = work.filePath("edited.bmp");
    const auto writePicture = [&](Color colour) {
      raster::FastBitmap bitmap(468, 60);
      bitmap.fill(colour);
      io::writeBmpFile(bitmap, picture.toStdString());
    };
    writePicture(rgb(0, 200, 0));
    w.main->session().apply([](editor::Editor& e) { return e.selectSlot(editor::SlotKind::Picture, 1); });
    w.main->session().apply([](editor::Editor& e) {
      e.selectFrames(editor::FrameSet().set(1).set(2), 1);
      return e.editFrames(editor::EditScope::CurrentFrame, "Picture", [](model::FrameRecord& r) { r.pictureX[0] = 0; });
    });
    w.main->session().setField(editor::Field::PictureFile, work.filePath("edited.bmp"));
    FrameStrip* strip = stripOf(w);
    const auto thumbColour = [&](int frame) {
      const QImage thumb = strip->item(frame - 1)->data(Qt::DecorationRole).value<QPixmap>().toImage();
      return thumb.isNull() ? QColor() : thumb.pixelColor(thumb.width() / 2, thumb.height() / 2);
    };
    QTRY_COMPARE(thumbColour(1), QColor(0, 200, 0));
    QTRY_COMPARE(thumbColour(2), QColor(0, 200, 0));
    writePicture(rgb(200, 0, 200));
    QVERIFY(w.main->session().reloadPictures({1}));
    QTRY_COMPARE(thumbColour(1), QColor(200, 0, 200));
    QTRY_COMPARE(thumbColour(2), QColor(200, 0, 200));
  }

  void keysWalkTheFramesButLeaveFieldsTheirKeys() {
    Window w;
    makeFrames(w, 5);
    FrameStrip* strip = stripOf(w);
    QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
    strip->setFocus();
    QTest::keyClick(strip, Qt::Key_PageDown);
    QCOMPARE(int(w.project().currentFrame), 2);
    QCOMPARE(w.pane("RzPane2"), QString("Frame 2 of 5"));
    QCOMPARE(strip->currentRow(), 1);
    QTest::keyClick(strip, Qt::Key_End);
    QCOMPARE(int(w.project().currentFrame), 5);
    QTest::keyClick(strip, Qt::Key_PageUp);
    QCOMPARE(int(w.project().currentFrame), 4);
    QTest::keyClick(strip, Qt::Key_Home);
    QCOMPARE(int(w.project().currentFrame), 1);

    // In the delay field Home and End move the cursor, and the frame stays.
    auto* delay = w.main->findChild<QLineEdit*>("CDelay");
    delay->setFocus();
    delay->setCursorPosition(1);
    QTest::keyClick(delay, Qt::Key_End);
    QCOMPARE(delay->cursorPosition(), delay->text().size());
    QTest::keyClick(delay, Qt::Key_Home);
    QCOMPARE(delay->cursorPosition(), 0);
    QCOMPARE(int(w.project().currentFrame), 1);
    // Page Down has no use in a one-line field: it goes on to the next frame from there.
    QTest::keyClick(delay, Qt::Key_PageDown);
    QCOMPARE(int(w.project().currentFrame), 2);
    QCOMPARE(delay->text(), QString("110"));
    QTest::keyClick(delay, Qt::Key_PageUp);
    QCOMPARE(int(w.project().currentFrame), 1);

    // A spin box keeps Page Up and Page Down: they step it by ten.
    QAbstractSpinBox* spin = nullptr;
    for (auto* candidate : w.main->findChildren<QSpinBox*>())
      if (candidate->isEnabled() && candidate->maximum() >= 20) spin = candidate;
    QVERIFY(spin);
    spin->setFocus();
    const QString before = spin->text();
    QTest::keyClick(spin, Qt::Key_PageUp);
    QVERIFY(spin->text() != before);
    QCOMPARE(int(w.project().currentFrame), 1);

    QCOMPARE(w.action("MStart")->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(w.action("MSaveas")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    // Ctrl+D duplicates, Delete in the strip deletes the chosen frames.
    strip->setFocus();
    QTest::keyClick(strip, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(delays(w.project()), (std::vector<int>{100, 100, 110, 120, 130, 140}));
    QCOMPARE(int(w.project().currentFrame), 2);
    clickFrame(strip, 4);
    clickFrame(strip, 6, Qt::ShiftModifier);
    QTRY_COMPARE(chosen(w), (std::vector<int>{4, 5, 6}));
    QTest::keyClick(strip, Qt::Key_Delete);
    QCOMPARE(delays(w.project()), (std::vector<int>{100, 100, 110}));
  }

  void aDelayTypedWithFramesChosenReachesThemAll() {
    Window w;
    makeFrames(w, 6);
    FrameStrip* strip = stripOf(w);
    clickFrame(strip, 2);
    clickFrame(strip, 4, Qt::ShiftModifier);
    QTRY_COMPARE(chosen(w), (std::vector<int>{2, 3, 4}));
    QCOMPARE(int(w.project().currentFrame), 4);
    clickFrame(strip, 6, Qt::ControlModifier);
    QTRY_COMPARE(chosen(w), (std::vector<int>{2, 3, 4, 6}));
    clickFrame(strip, 6, Qt::ControlModifier);
    QTRY_COMPARE(chosen(w), (std::vector<int>{2, 3, 4}));

    auto* delay = w.main->findChild<QLineEdit*>("CDelay");
    delay->setFocus();
    delay->selectAll();
    QTest::keyClicks(delay, "500");
    QTest::keyClick(delay, Qt::Key_Tab);
    QCOMPARE(delays(w.project()), (std::vector<int>{100, 500, 500, 500, 140, 150}));
    const QString path = work.filePath("chosen.lbl");
    w.saveAs(path);
    model::LabelProject saved;
    io::readLblFile(path.toStdString(), saved);
    QCOMPARE(delays(saved), (std::vector<int>{100, 500, 500, 500, 140, 150}));
    w.trigger("MUndo");
    QCOMPARE(delays(w.project()), (std::vector<int>{100, 110, 120, 130, 140, 150}));

    // Set Delay... on the same frames, one step too.
    w.prompts->delays.push_back(700);
    strip->findChild<QAction*>("StripSetDelay")->trigger();
    QCOMPARE(delays(w.project()), (std::vector<int>{100, 700, 700, 700, 140, 150}));
    QCOMPARE(w.main->editor().undoLabel(), std::string("Set Delay"));
    w.prompts->delays.push_back(650);
    w.trigger("MSetDelay");  // the Edit menu's command does the same
    QCOMPARE(delays(w.project()), (std::vector<int>{100, 650, 650, 650, 140, 150}));
    strip->findChild<QAction*>("StripReverse")->trigger();
    QCOMPARE(int(w.project().frame(2).frameColor), int(rgb(80, 40, 200)));
    QCOMPARE(int(w.project().frame(4).frameColor), int(rgb(40, 40, 200)));
  }

  void movingFramesIsOneUndoStep() {
    Window w;
    makeFrames(w, 6);
    FrameStrip* strip = stripOf(w);
    QVERIFY(strip->item(0)->flags() & Qt::ItemIsDragEnabled);
    QVERIFY(strip->dragEnabled() && strip->acceptDrops());
    const std::vector<model::FrameRecord> before(w.project().records.begin(), w.project().records.begin() + 6);
    clickFrame(strip, 2);
    clickFrame(strip, 3, Qt::ShiftModifier);
    QTRY_COMPARE(chosen(w), (std::vector<int>{2, 3}));
    strip->moveChosenFrames(6);
    QCOMPARE(delays(w.project()), (std::vector<int>{100, 130, 140, 110, 120, 150}));
    QCOMPARE(chosen(w), (std::vector<int>{4, 5}));
    QCOMPARE(strip->selectedItems().size(), 2);
    QCOMPARE(strip->item(3)->data(Qt::AccessibleTextRole).toString(), QString("Frame 4, 110 ms"));
    w.trigger("MUndo");
    QVERIFY(std::equal(before.begin(), before.end(), w.project().records.begin(), model::sameBytes));
    QCOMPARE(w.main->editor().redoLabel(), std::string("Move Frames"));
    QCOMPARE(w.main->editor().undoLabel(), std::string("Mark"));
  }

  void theWindowShowsEverythingAtItsDefaultSize() {
    for (const QSize label : {QSize(468, 60), QSize(728, 90)}) {
      Window w;
      w.main->session().setField(editor::Field::Width, label.width());
      w.main->session().setField(editor::Field::Height, label.height());
      QCoreApplication::processEvents();
      FrameStrip* strip = stripOf(w);
      const QWidget* central = w.main->centralWidget();
      const QRect work = w.main->findChild<QWidget*>("Panel1")->geometry();
      const QRect pages = w.main->findChild<QTabWidget*>("PControl1")->geometry();
      const QRect stripBox = strip->geometry();
      QVERIFY(strip->isVisible());
      QVERIFY2(central->rect().contains(work) && central->rect().contains(stripBox) && central->rect().contains(pages),
               qPrintable(QString("%1x%2").arg(label.width()).arg(label.height())));
      QVERIFY(work.bottom() < stripBox.top() && stripBox.bottom() < pages.top());
      QVERIFY(work.height() >= label.height());
      // A whole row of frames fits: the item and the scroll bar inside the strip.
      QVERIFY(strip->visualItemRect(strip->item(0)).bottom() < strip->viewport()->height());
    }
  }
};

QTEST_MAIN(FrameStripTest)
#include "frame_strip_test.moc"
