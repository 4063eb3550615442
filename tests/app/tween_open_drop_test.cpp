// The Tween Frames dialog and its choices in the window; File > Open and the command line
// taking a GIF; files dropped on the window (a project, a GIF, a picture).
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <cstring>

#include "dialogs/tween_dialog.h"
#include "editor/editor.h"
#include "gif/gif_builder.h"
#include "io/bmp_writer.h"
#include "raster/fast_bitmap.h"
#include "window_driver.h"

using namespace zefra;
using namespace zefra::app;

namespace {

// The caption a screen reader gives a control: the text of the label whose buddy it is.
QString buddyCaption(const QWidget& dialog, const QWidget* control) {
  for (const QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->buddy() == control) return label->text();
  }
  return {};
}

// Frame 1: shape 1 at x = 0 for 100 ms; frame 2: at x = 40 for 300 ms; frame 1 current.
void makeTwoFrames(Window& w) {
  w.main->session().apply([](editor::Editor& e) {
    return e.editFrames(editor::EditScope::AllFrames, "Shape", [](model::FrameRecord& r) {
      r.shapeStyle[0] = 1;
      r.delayMs = 100;
    });
  });
  w.trigger("MInsert");
  w.main->session().apply([](editor::Editor& e) {
    return e.editFrames(editor::EditScope::CurrentFrame, "Move", [](model::FrameRecord& r) {
      r.shapeX[0] = 40;
      r.delayMs = 300;
    });
  });
  w.main->session().apply([](editor::Editor& e) { return e.goToFrame(1); });
}

QList<int> shapeXs(const Window& w) {
  QList<int> xs;
  for (int k = 1; k <= w.project().frameCount; ++k) xs << w.project().frame(k).shapeX[0];
  return xs;
}

QList<int> delays(const Window& w) {
  QList<int> ds;
  for (int k = 1; k <= w.project().frameCount; ++k) ds << w.project().frame(k).delayMs;
  return ds;
}

// Four 8 x 6 frames, red and blue by turns.
QString writeGif(const QString& path) {
  testing::BuiltGif gif;
  gif.width = 8;
  gif.height = 6;
  gif.palette = {{255, 0, 0}, {0, 0, 255}};
  for (int k = 0; k < 4; ++k) gif.frames.push_back(testing::solidFrame(0, 0, 8, 6, static_cast<std::uint8_t>(k % 2)));
  testing::writeGif(path.toStdString(), gif);
  return path;
}

QString writeBmp(const QString& path, Color colour) {
  raster::FastBitmap bitmap(12, 10);
  bitmap.fill(colour);
  io::writeBmpFile(bitmap, path.toStdString());
  return path;
}

// Drags `path` over the window and drops it, as a file manager does; answers whether the
// window took the drag.
bool dropOn(Window& w, const QString& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  const QPoint at(w.main->width() / 2, 20);
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w.main.get(), &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w.main.get(), &drop);
  if (!drop.isAccepted()) return false;
  QCoreApplication::processEvents();  // the drop is handled once it is over
  return true;
}

}  // namespace

class TweenOpenDropTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir settingsDir;

 private Q_SLOTS:
  void initTestCase() { isolateSettings(settingsDir); }

  void tweenDialogOffersItsChoicesUnderTheirCaptions() {
    TweenDialog dialog(1, 6);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Tween Frames"));
    auto* count = dialog.findChild<QSpinBox*>(QStringLiteral("TweenCount"));
    auto* easing = dialog.findChild<QComboBox*>(QStringLiteral("TweenEasing"));
    auto* keep = dialog.findChild<QCheckBox*>(QStringLiteral("TweenKeepDelays"));
    auto* replace = dialog.findChild<QCheckBox*>(QStringLiteral("TweenReplace"));
    auto* to = dialog.findChild<QSpinBox*>(QStringLiteral("TweenToFrame"));
    QVERIFY(count && easing && keep && replace && to);
    QCOMPARE(buddyCaption(dialog, count), QStringLiteral("Frames to insert:"));
    QCOMPARE(buddyCaption(dialog, easing), QStringLiteral("Easing:"));
    QCOMPARE(buddyCaption(dialog, to), QStringLiteral("To frame:"));
    QCOMPARE(keep->text(), QStringLiteral("Keep delays"));
    QCOMPARE(replace->text(), QStringLiteral("Replace frames between"));
    QStringList curves;
    for (int i = 0; i < easing->count(); ++i) curves << easing->itemText(i);
    QCOMPARE(curves, (QStringList{"Linear", "Ease In", "Ease Out", "Ease In-Out"}));
    for (QWidget* control : std::initializer_list<QWidget*>{count, easing, keep, replace, to}) {
      QVERIFY2(!control->toolTip().isEmpty(), qPrintable(control->objectName()));
    }
    // At first: 4 frames inserted, linear, delays kept, nothing replaced.
    QCOMPARE(count->value(), 4);
    QCOMPARE(count->maximum(), 121);
    QVERIFY(keep->isChecked());
    QVERIFY(!to->isEnabled());
    editor::TweenOptions chosen = dialog.options();
    QCOMPARE(chosen.count, 4);
    QCOMPARE(chosen.easing, editor::Easing::Linear);
    QVERIFY(chosen.keepDelays);
    QCOMPARE(chosen.toFrame, 0);

    // Replacing the frames up to frame 4 offers as many as go away, and room for them.
    replace->setChecked(true);
    QVERIFY(to->isEnabled());
    QCOMPARE(to->minimum(), 3);
    QCOMPARE(to->maximum(), 6);
    to->setValue(4);
    QCOMPARE(count->value(), 2);
    QCOMPARE(count->maximum(), 123);
    easing->setCurrentIndex(3);
    keep->setChecked(false);
    chosen = dialog.options();
    QCOMPARE(chosen.count, 2);
    QCOMPARE(chosen.easing, editor::Easing::InOut);
    QVERIFY(!chosen.keepDelays);
    QCOMPARE(chosen.toFrame, 4);

    // Without a frame between this one and a later one there is nothing to replace.
    TweenDialog last(5, 6);
    QVERIFY(!last.findChild<QCheckBox*>(QStringLiteral("TweenReplace"))->isEnabled());
    QCOMPARE(last.options().toFrame, 0);
  }

  void theRealDialogOffersTheLastChoiceAndAnswersWhatWasSet() {
    UserPrompts prompts;
    editor::TweenOptions offered{0, editor::Easing::Out, false, 0};
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TweenDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      seen = true;
      QCOMPARE(dialog->findChild<QComboBox*>(QStringLiteral("TweenEasing"))->currentText(), QStringLiteral("Ease Out"));
      QVERIFY(!dialog->findChild<QCheckBox*>(QStringLiteral("TweenKeepDelays"))->isChecked());
      dialog->findChild<QSpinBox*>(QStringLiteral("TweenCount"))->setValue(3);
      dialog->accept();
    });
    const std::optional<editor::TweenOptions> answer = prompts.tweenOptions(nullptr, 1, 2, offered);
    QVERIFY(seen);
    QVERIFY(answer.has_value());
    QCOMPARE(answer->count, 3);
    QCOMPARE(answer->easing, editor::Easing::Out);
    QVERIFY(!answer->keepDelays);
  }

  void tweenFramesAppliesEasingKeptDelaysAndReplacing() {
    Window w;
    makeTwoFrames(w);
    w.prompts->tweens.push_back({3, editor::Easing::InOut, true, 0});
    w.trigger("MTween");
    QCOMPARE(shapeXs(w), (QList<int>{0, 6, 20, 34, 40}));
    QCOMPARE(delays(w), (QList<int>{100, 100, 100, 100, 300}));
    QCOMPARE(w.pane("RzPane2"), QStringLiteral("Frame 2 of 5"));

    // The next tween is offered the same curve and delays; re-tween all between 1 and 5.
    std::vector<model::FrameRecord> before;
    for (int k = 1; k <= 5; ++k) before.push_back(w.project().frame(k));
    w.trigger("MFirst");
    w.prompts->tweens.push_back({1, editor::Easing::Linear, false, 5});
    w.trigger("MTween");
    QCOMPARE(w.prompts->lastTweenOffered.easing, editor::Easing::InOut);
    QVERIFY(w.prompts->lastTweenOffered.keepDelays);
    QCOMPARE(shapeXs(w), (QList<int>{0, 20, 40}));
    QCOMPARE(delays(w), (QList<int>{100, 200, 300}));
    // One undo step gives the five frames back exactly.
    w.trigger("MUndo");
    QCOMPARE(w.project().frameCount, 5);
    for (int k = 1; k <= 5; ++k) {
      QVERIFY2(std::memcmp(&w.project().frame(k), &before[static_cast<std::size_t>(k - 1)], sizeof(model::FrameRecord)) == 0,
               qPrintable(QString::number(k)));
    }

    // Frames 2 to 5 chosen in the strip (the last clicked current): the tween runs from the
    // first of them and is offered to replace those up to the last.
    w.main->session().apply([](editor::Editor& e) {
      editor::FrameSet stretch;
      for (int k = 2; k <= 5; ++k) stretch.set(static_cast<std::size_t>(k));
      return e.selectFrames(stretch, 5);
    });
    w.prompts->tweens.push_back({2, editor::Easing::Linear, false, 5});
    w.trigger("MTween");
    QCOMPARE(w.prompts->lastTweenFrom, 2);
    QCOMPARE(w.prompts->lastTweenOffered.toFrame, 5);
    QCOMPARE(shapeXs(w), (QList<int>{0, 6, 17, 29, 40}));
    QCOMPARE(w.project().currentFrame, 3);
  }

  void openTakesAGifAsANewProjectAfterTheSavePrompt() {
    QTemporaryDir folder;
    const QString gif = writeGif(folder.filePath(QStringLiteral("anim.gif")));
    Window w;
    makeTwoFrames(w);
    // Cancel at the save prompt: no file dialog, nothing changes.
    w.prompts->answers.push_back(QMessageBox::Cancel);
    w.trigger("MOpen");
    QCOMPARE(w.log.questions.size(), 1);
    QCOMPARE(w.log.openDialogs, 0);
    QCOMPARE(w.project().frameCount, 2);

    w.prompts->answers.push_back(QMessageBox::No);
    w.prompts->openPaths.push_back(gif);
    w.trigger("MOpen");
    QCOMPARE(w.log.questions.size(), 2);
    QCOMPARE(w.log.openDialogs, 1);
    QCOMPARE(w.log.errors, QStringList());
    QCOMPARE(w.project().frameCount, 4);
    QCOMPARE(w.project().frame(1).width, 8);
    QCOMPARE(w.project().frame(1).shapeStyle[0], 0);  // nothing of the old project stays
    QCOMPARE(QString::fromStdString(w.project().frame(4).pictureFile[0].str()), folder.filePath("anim_004.bmp"));
    QVERIFY(QFile::exists(folder.filePath("anim_001.bmp")));
    QCOMPARE(w.canvasColour(), rgb(255, 0, 0));
    QCOMPARE(w.pane("RzPane2"), QStringLiteral("Frame 1 of 4"));
    // Saving proposes the GIF's name beside it, not the name of the project given up.
    QCOMPARE(QString::fromStdString(w.main->editor().caption()), QStringLiteral("untitled.lbl"));
    w.trigger("MSaveas");
    QCOMPARE(w.log.lastSaveProposal, QStringLiteral("anim"));
    QCOMPARE(w.log.lastSaveDirectory, folder.path());
  }

  void aGifThatCannotBeReadSaysWhyAndLeavesTheProject() {
    QTemporaryDir folder;
    const QString junk = folder.filePath(QStringLiteral("junk.gif"));
    QFile file(junk);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("plain text, not a picture");
    file.close();
    Window w;
    makeTwoFrames(w);
    w.prompts->answers.push_back(QMessageBox::No);
    w.prompts->openPaths.push_back(junk);
    w.trigger("MOpen");
    QCOMPARE(w.log.errors.size(), 1);
    QCOMPARE(w.log.errors.at(0), "Zefra|Error reading the file " + junk + " (Invalid GIF signature)");
    QCOMPARE(shapeXs(w), (QList<int>{0, 40}));
    QVERIFY(QDir(folder.path()).entryList({"*.bmp"}).isEmpty());
  }

  void aGifNamedOnTheCommandLineOpensAsAProject() {
    QTemporaryDir folder;
    const QString gif = writeGif(folder.filePath(QStringLiteral("start.gif")));
    Window w({gif});
    QTRY_COMPARE(w.project().frameCount, 4);
    QCOMPARE(w.project().frame(1).height, 6);
    QCOMPARE(w.log.errors, QStringList());
  }

  void droppedFilesOpenImportOrLoadAsAPicture() {
    QTemporaryDir folder;
    Window w;
    makeTwoFrames(w);
    // Something the window does not take is not accepted at all.
    QVERIFY(!dropOn(w, folder.filePath(QStringLiteral("notes.txt"))));

    // A picture goes into the selected picture slot of the current frame, as "Load
    // Picture..." puts it there, as one undo step.
    const QString blue = writeBmp(folder.filePath(QStringLiteral("blue.bmp")), rgb(0, 0, 255));
    w.main->session().apply([](editor::Editor& e) { return e.selectSlot(editor::SlotKind::Picture, 3); });
    const std::string undoBefore = w.main->editor().undoLabel();
    QVERIFY(dropOn(w, blue));
    QCOMPARE(QString::fromStdString(w.project().frame(1).pictureFile[2].str()), blue);
    QVERIFY(w.project().frame(2).pictureFile[2].str().empty());
    QCOMPARE(w.main->findChild<QTabWidget*>(QStringLiteral("PControl1"))->currentIndex(), 1);
    QCOMPARE(w.log.questions, QStringList());
    w.trigger("MUndo");
    QVERIFY(w.project().frame(1).pictureFile[2].str().empty());
    QCOMPARE(w.main->editor().undoLabel(), undoBefore);

    // A GIF asks first: Cancel does nothing, No loads it as the picture, Yes imports it.
    const QString gif = writeGif(folder.filePath(QStringLiteral("drop.gif")));
    w.prompts->answers.push_back(QMessageBox::Cancel);
    QVERIFY(dropOn(w, gif));
    QCOMPARE(w.log.questions.size(), 1);
    QVERIFY2(w.log.questions.at(0).contains("drop.gif") && w.log.questions.at(0).contains("Picture 3"),
             qPrintable(w.log.questions.at(0)));
    QCOMPARE(w.project().frameCount, 2);
    QVERIFY(w.project().frame(1).pictureFile[2].str().empty());
    w.prompts->answers.push_back(QMessageBox::No);
    QVERIFY(dropOn(w, gif));
    QCOMPARE(QString::fromStdString(w.project().frame(1).pictureFile[2].str()), gif);
    QCOMPARE(w.project().frameCount, 2);
    w.prompts->answers.push_back(QMessageBox::Yes);
    QVERIFY(dropOn(w, gif));
    QCOMPARE(w.project().frameCount, 6);
    QCOMPARE(w.project().currentFrame, 3);

    // A project opens after the save prompt.
    editor::Editor other("/nowhere/", 96);
    other.insertFrame();
    other.insertFrame();
    const QString lbl = folder.filePath(QStringLiteral("three.lbl"));
    QVERIFY(other.saveAs(lbl.toStdString()).ok);
    w.prompts->answers.push_back(QMessageBox::No);
    QVERIFY(dropOn(w, lbl));
    QCOMPARE(w.log.questions.size(), 4);
    QCOMPARE(w.project().frameCount, 3);
    QCOMPARE(QString::fromStdString(w.project().fileName.str()), lbl);
    QVERIFY(!w.main->editor().modified());
  }
};

QTEST_MAIN(TweenOpenDropTest)
#include "tween_open_drop_test.moc"
