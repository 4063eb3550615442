// Banners for ad slots in the window: New Banner and Resize Banner through their dialogs,
// Export GIF writing what zefra-cli writes, the size limit and the ad check on the GIF
// page, kept per project, and Ctrl+S on a project without a file.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <functional>

#include "dialogs/banner_size_dialog.h"
#include "editor/banner_resize.h"
#include "editor/editor.h"
#include "export/export_settings.h"
#include "export/project_export.h"
#include "gif/gif_image.h"
#include "panels/export_limits_box.h"
#include "preview/gif_size_meter.h"
#include "window_driver.h"

namespace zefra::app {
namespace {

// Runs `fill` on the dialog the next command opens, then presses OK.
void answerBannerDialog(const std::function<void(BannerSizeDialog&)>& fill) {
  QTimer::singleShot(0, [fill] {
    auto* dialog = qobject_cast<BannerSizeDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog);
    fill(*dialog);
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
}

void chooseRow(BannerSizeDialog& dialog, const QString& text) {
  auto* list = dialog.findChild<QListWidget*>(QStringLiteral("BannerSizes"));
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  QCOMPARE(found.size(), 1);
  list->setCurrentItem(found.front());
}

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class BannerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { isolateSettings(settingsDir); }
  void init() { QSettings().clear(); }

  void newBannerTakesAStandardSize() {
    Window w;
    int shownWidth = 0;
    answerBannerDialog([&](BannerSizeDialog& d) {
      QCOMPARE(d.windowTitle(), QStringLiteral("New Banner"));
      chooseRow(d, QStringLiteral("Leaderboard 728 x 90"));
      shownWidth = d.findChild<QSpinBox*>(QStringLiteral("BannerWidth"))->value();
      QVERIFY(d.findChild<QSpinBox*>(QStringLiteral("BannerHeight"))->isEnabled());
    });
    w.trigger("MNewBanner");
    QCOMPARE(shownWidth, 728);
    QCOMPARE(w.project().frame(1).width, 728);
    QCOMPARE(w.project().frame(1).height, 90);
    QCOMPARE(int(w.project().frameCount), 1);
    QVERIFY(!w.main->editor().modified());
    // The General page shows the new width.
    auto* widthField = w.main->findChild<QLineEdit*>(QStringLiteral("CWidth"));
    QVERIFY(widthField);
    QCOMPARE(widthField->text(), QStringLiteral("728"));

    // A typed size that is not standard selects Custom.
    answerBannerDialog([&](BannerSizeDialog& d) {
      d.findChild<QSpinBox*>(QStringLiteral("BannerWidth"))->setValue(500);
      d.findChild<QSpinBox*>(QStringLiteral("BannerHeight"))->setValue(77);
      QCOMPARE(d.findChild<QListWidget*>(QStringLiteral("BannerSizes"))->currentItem()->text(), QStringLiteral("Custom"));
    });
    w.trigger("MNewBanner");
    QCOMPARE(w.project().frame(1).width, 500);
    QCOMPARE(w.project().frame(1).height, 77);
  }

  void newBannerAsksToSaveChangesFirst() {
    Window w;
    w.colourCurrentFrame(rgb(1, 2, 3));
    w.prompts->answers.push_back(QMessageBox::Cancel);
    answerBannerDialog([](BannerSizeDialog& d) { chooseRow(d, QStringLiteral("Square 250 x 250")); });
    w.trigger("MNewBanner");
    QCOMPARE(w.log.questions.size(), 1);
    QCOMPARE(w.project().frame(1).width, 468);  // cancelled: the project stays
  }

  void resizeBannerScalesOrAnchors() {
    Window w;
    w.main->session().apply([](editor::Editor& e) {
      return e.editFrames(editor::EditScope::AllFrames, "Shape", [](model::FrameRecord& f) {
        f.shapeStyle[0] = 1;
        f.shapeX[0] = 100;
        f.shapeY[0] = 10;
        f.shapeWidth[0] = 40;
      });
    });
    answerBannerDialog([](BannerSizeDialog& d) {
      QCOMPARE(d.windowTitle(), QStringLiteral("Resize Banner"));
      QVERIFY(d.findChild<QRadioButton*>(QStringLiteral("ScaleContent"))->isChecked());
      QVERIFY(!d.findChild<QRadioButton*>(QStringLiteral("Anchor-center"))->isEnabled());
      chooseRow(d, QStringLiteral("Leaderboard 728 x 90"));
    });
    w.trigger("MResizeBanner");
    QCOMPARE(w.project().frame(1).width, 728);
    QCOMPARE(w.project().frame(1).shapeX[0], 163);  // 100 x 1.5 + 13
    QCOMPARE(w.project().frame(1).shapeWidth[0], 60);
    QCOMPARE(QString::fromStdString(w.main->editor().undoLabel()), QStringLiteral("Resize Banner"));

    answerBannerDialog([](BannerSizeDialog& d) {
      d.findChild<QRadioButton*>(QStringLiteral("KeepSize"))->setChecked(true);
      auto* corner = d.findChild<QRadioButton*>(QStringLiteral("Anchor-bottom-right"));
      QVERIFY(corner->isEnabled());
      corner->setChecked(true);
      chooseRow(d, QStringLiteral("Large Leaderboard 970 x 90"));
    });
    w.trigger("MResizeBanner");
    QCOMPARE(w.project().frame(1).width, 970);
    QCOMPARE(w.project().frame(1).shapeX[0], 163 + 242);
    QCOMPARE(w.project().frame(1).shapeWidth[0], 60);
  }

  void ctrlSOnAnUntitledProjectOpensSaveAs() {
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(w.main.get()));
    QVERIFY(!w.action("MSave")->isEnabled());
    QVERIFY(w.action("MSaveUntitled")->isEnabled());
    QTest::keyClick(w.main.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(w.log.saveDialogs, 1);
    // Saved once, Ctrl+S saves without asking.
    const QString path = scratch.filePath(QStringLiteral("titled.lbl"));
    w.prompts->savePaths.push_back(path);
    QTest::keyClick(w.main.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(w.log.saveDialogs, 2);
    QVERIFY(QFile::exists(path));
    w.colourCurrentFrame(rgb(9, 9, 9));
    QTest::keyClick(w.main.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(w.log.saveDialogs, 2);
    QVERIFY(!w.main->editor().modified());
  }

  void fileDialogsStartInTheLastFolderElsePicturesOrHome() {
    Window w;
    w.main->session().setProjectDir("");
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString expected = QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
    w.trigger("MOpen");
    QCOMPARE(w.log.lastOpenDirectory, expected);
    w.trigger("MSaveas");
    QCOMPARE(w.log.lastSaveDirectory, expected);
    QVERIFY(!w.log.lastOpenDirectory.startsWith(QCoreApplication::applicationDirPath()));
    // A folder used before wins while it exists.
    w.main->session().setProjectDir(scratch.path().toStdString());
    w.trigger("MOpen");
    QCOMPARE(w.log.lastOpenDirectory, scratch.path());
    w.main->session().setProjectDir((scratch.path() + QStringLiteral("/gone")).toStdString());
    w.trigger("MSaveas");
    QCOMPARE(w.log.lastSaveDirectory, expected);
  }

  void exportGifWritesWhatTheCommandLineWrites() {
    const QString project = copyDemo();
    Window w({project});
    QTRY_COMPARE(QString::fromStdString(w.project().fileName.str()), project);
    const QString gif = scratch.filePath(QStringLiteral("editor.gif"));
    w.prompts->gifSavePaths.push_back(gif);
    QTest::keyClick(w.main.get(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(w.prompts->lastGifProposal, scratch.filePath(QStringLiteral("zefra-banner.gif")));
    QVERIFY(QFile::exists(gif));
    const QString cliGif = scratch.filePath(QStringLiteral("cli.gif"));
    QProcess cli;
    cli.start(QStringLiteral(ZEFRA_CLI_PATH), {QStringLiteral("export"), project, cliGif, QStringLiteral("--quiet")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(fileBytes(gif), fileBytes(cliGif));
    const QString pane = w.pane("RzPaneExport");
    QVERIFY2(pane.startsWith(QStringLiteral("Exported editor.gif: ")) && pane.endsWith(QStringLiteral(" KB")),
             qPrintable(pane));
    // The next export starts where this one went.
    w.prompts->gifSavePaths.push_back(QString());
    w.trigger("MExportGif");
    QCOMPARE(w.prompts->lastGifProposal, gif);
  }

  void liveSizeTextWithALimit() {
    QCOMPARE(GifSizeMeter::paneText(34378, std::nullopt), QStringLiteral("GIF: 34,378 bytes"));
    QCOMPARE(GifSizeMeter::paneText(34378, 40 * 1024), QStringLiteral("GIF: 34,378 bytes (33.6 KB of 40 KB)"));
    QCOMPARE(GifSizeMeter::paneText(34378, 20 * 1024),
             QStringLiteral("GIF: 34,378 bytes (33.6 KB of 20 KB, over by 13.6 KB)"));
    QCOMPARE(GifSizeMeter::paneText(20480, 20 * 1024), QStringLiteral("GIF: 20,480 bytes (20 KB of 20 KB)"));
  }

  // A lone edit is measured at once; edits that follow each other within the pause (a run
  // of keystrokes) are measured once, after the last, with the figure of the last state.
  void liveSizeMeasuresALoneEditAtOnceAndARunOnce() {
    editor::Editor editor(std::string(ZEFRA_SOURCE_DIR "/demo/"), 96);
    editor.editFrames(editor::EditScope::AllFrames, "Gradient", [](model::FrameRecord& r) { r.gradientOn = 1; });
    for (int i = 0; i < 3; ++i) editor.insertFrame();
    QLabel pane;
    GifSizeMeter meter(&pane, [&] {
      return std::make_pair(&editor.project(), exporter::exportSettingsOf(editor.project()));
    });
    QSignalSpy measured(&meter, &GifSizeMeter::sizeChanged);
    meter.measureNow();
    QVERIFY(measured.wait(20000));
    const auto paint = [&](Color c) {
      editor.editFrames(editor::EditScope::AllFrames, "Frame Color", [c](model::FrameRecord& r) { r.frameColor = c; });
      meter.projectChanged();
    };
    const auto exportedSize = [&] {
      gif::GifImage image;
      exporter::exportProject(editor.project(), exporter::exportSettingsOf(editor.project()), image);
      return static_cast<quint64>(image.saveToBytes().size());
    };

    measured.clear();
    paint(rgb(10, 20, 30));
    QVERIFY(!meter.pausing());
    QVERIFY(!meter.upToDate());
    QVERIFY(measured.wait(20000));
    QCOMPARE(measured.count(), 1);
    QCOMPARE(measured.last().at(0).toULongLong(), exportedSize());

    QTest::qWait(GifSizeMeter::kPauseMs + 50);
    measured.clear();
    paint(rgb(200, 20, 30));
    QVERIFY(!meter.pausing());
    paint(rgb(30, 200, 30));  // cancels the export under way
    QVERIFY(meter.pausing());
    paint(rgb(30, 30, 200));
    QVERIFY(meter.pausing());
    QVERIFY(measured.wait(20000));
    QTest::qWait(GifSizeMeter::kPauseMs + 300);
    QCOMPARE(measured.count(), 1);
    QCOMPARE(measured.last().at(0).toULongLong(), exportedSize());
    QVERIFY(meter.upToDate());
  }

  void sizeLimitAndAdCheckAreKeptPerProject() {
    const QString project = copyDemo();
    {
      Window w({project});
      QTRY_COMPARE(QString::fromStdString(w.project().fileName.str()), project);
      auto* limit = w.main->findChild<QCheckBox*>(QStringLiteral("ChBoxSizeLimit"));
      auto* kb = w.main->findChild<QSpinBox*>(QStringLiteral("SizeLimitKb"));
      QVERIFY(limit && kb);
      QCOMPARE(kb->value(), 150);
      limit->setChecked(true);
      kb->setValue(20);
      w.main->findChild<QComboBox*>(QStringLiteral("AdCheck"))->setCurrentIndex(1);  // IAB
      w.main->findChild<QSpinBox*>(QStringLiteral("Plays"))->setValue(3);
      const QString gif = scratch.filePath(QStringLiteral("limited.gif"));
      w.prompts->gifSavePaths.push_back(gif);
      w.trigger("MExportGif");
      QVERIFY(QFile::exists(gif));
      QVERIFY(QFileInfo(gif).size() <= 20 * 1024);
      const QString pane = w.pane("RzPaneExport");
      QVERIFY2(pane.contains(QStringLiteral(" of 20 KB")), qPrintable(pane));
      QVERIFY2(pane.contains(QStringLiteral("IAB")), qPrintable(pane));
      // The live size measures against the limit: the demo's 34,378 bytes are over 20 KB.
      auto* sizePane = w.main->findChild<QLabel*>(QStringLiteral("GifSizePane"));
      QVERIFY(sizePane);
      QTRY_VERIFY2(sizePane->text().contains(QStringLiteral(" KB of 20 KB, over by ")), qPrintable(sizePane->text()));
      QVERIFY(sizePane->text().startsWith(QStringLiteral("GIF: ")));
      QVERIFY(sizePane->accessibleName().isEmpty());  // read as its text, the figure included
      QVERIFY(sizePane->styleSheet().contains(QStringLiteral("color")));
      kb->setValue(100);
      QTRY_VERIFY2(sizePane->text().endsWith(QStringLiteral(" KB of 100 KB)")), qPrintable(sizePane->text()));
      QVERIFY(sizePane->styleSheet().isEmpty());
      kb->setValue(20);
      // A limit nothing reaches writes nothing and says how small it can get.
      kb->setValue(1);
      const QString tiny = scratch.filePath(QStringLiteral("tiny.gif"));
      w.prompts->gifSavePaths.push_back(tiny);
      w.trigger("MExportGif");
      QVERIFY(!QFile::exists(tiny));
      QCOMPARE(w.log.errors.size(), 1);
      QVERIFY2(w.log.errors.front().contains(QStringLiteral("smallest reachable")), qPrintable(w.log.errors.front()));
      kb->setValue(20);
    }
    Window again({project});
    QTRY_COMPARE(QString::fromStdString(again.project().fileName.str()), project);
    QVERIFY(again.main->findChild<QCheckBox*>(QStringLiteral("ChBoxSizeLimit"))->isChecked());
    QCOMPARE(again.main->findChild<QSpinBox*>(QStringLiteral("SizeLimitKb"))->value(), 20);
    QCOMPARE(again.main->findChild<QComboBox*>(QStringLiteral("AdCheck"))->currentIndex(), 1);
    QCOMPARE(again.main->findChild<QSpinBox*>(QStringLiteral("Plays"))->value(), 3);
  }

 private:
  QString copyDemo() {
    const QString folder = QString::fromUtf8(ZEFRA_SOURCE_DIR) + QStringLiteral("/demo/");
    const QString copy = scratch.filePath(QStringLiteral("zefra-banner.lbl"));
    QFile::remove(copy);
    QFile::copy(folder + QStringLiteral("zefra-banner.lbl"), copy);
    QFile::remove(scratch.filePath(QStringLiteral("zefra-logo.bmp")));
    QFile::copy(folder + QStringLiteral("zefra-logo.bmp"), scratch.filePath(QStringLiteral("zefra-logo.bmp")));
    return copy;
  }

  QTemporaryDir settingsDir;
  QTemporaryDir scratch;
};

}  // namespace zefra::app

QTEST_MAIN(zefra::app::BannerTest)
#include "banner_test.moc"
