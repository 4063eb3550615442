// The preview in the editor window: "&GIF Preview" builds the GIF in the background and
// shows it, the command stays off while the preview is open, the palette cells sit on the
// GIF properties page, "Set Color as Transparent" checks "Transparent GIF", a close request
// during the build cancels it, and the status bar's live size equals the command line's.

#include <QCheckBox>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "preview/gif_size_meter.h"
#include "preview/preview_controller.h"
#include "preview/preview_window.h"
#include "preview/preview_wiring.h"
#include "widgets/palette_panel.h"
#include "window_driver.h"

namespace zefra::app {

namespace {

QString demoPath(const char* name) { return QStringLiteral(ZEFRA_SOURCE_DIR "/demo/") + QLatin1String(name); }

PreviewWiring& wiringOf(Window& w) { return *w.main->findChild<PreviewWiring*>(); }

bool openPreview(Window& w) {
  QSignalSpy shown(&wiringOf(w).preview(), &PreviewController::previewShown);
  w.trigger("MStart");
  return shown.wait(30000);
}

}  // namespace

class PreviewWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { QVERIFY(settingsDir.isValid()); isolateSettings(settingsDir); }

  void previewCommandWindowAndPalette() {
    Window w;
    QVERIFY(w.main->openProject(demoPath("zefra-banner.lbl")));
    QVERIFY(openPreview(w));
    PreviewWindow* preview = w.main->findChild<PreviewWindow*>(QStringLiteral("frmPreview"));
    QVERIFY(preview && preview->isVisible());
    QCOMPARE(preview->windowTitle(), QStringLiteral("GIF Preview"));
    const gif::GifImage& image = *wiringOf(w).preview().image();
    QCOMPARE(preview->paneText(1), QStringLiteral("Image Size: 468 x 60 pixels"));
    QCOMPARE(preview->paneText(2), QStringLiteral("File Size: %1 bytes").arg(image.saveToBytes().size()));
    QCOMPARE(preview->paneText(3), QStringLiteral("Frames: 6"));
    QCOMPARE(preview->paneText(4), QStringLiteral("Colors: %1").arg(image.globalTable().count()));
    QCOMPARE(w.pane("RzPane1"), QStringLiteral("OK"));
    QVERIFY(!w.action("MStart")->isEnabled());
    // The palette cells are on the GIF properties page and show exactly the table.
    PalettePanel* cells = wiringOf(w).palette();
    QVERIFY(cells && w.main->page(3)->isAncestorOf(cells));
    QCOMPARE(cells->colorCount(), image.globalTable().count());

    // "Set Color as Transparent" checks "Transparent GIF" and rebuilds the open preview.
    auto* transparentBox = w.main->findChild<QCheckBox*>(QStringLiteral("ChBox4"));
    QVERIFY(!w.project().settings.transparent);
    QVERIFY(transparentBox && !transparentBox->isChecked());
    QSignalSpy shown(&wiringOf(w).preview(), &PreviewController::previewShown);
    const Color colourFour = image.globalTable().entryColor(4);
    cells->openMenu(4, cells->mapToGlobal(QPoint(2, 2)));
    cells->popupMenu()->findChild<QAction*>(QStringLiteral("MSetasTransp"))->trigger();
    QVERIFY(w.project().settings.transparent);
    QCOMPARE(w.project().settings.transparentColor, colourFour);
    QVERIFY(transparentBox->isChecked());
    QVERIFY(shown.wait(30000));
    QVERIFY(!w.action("MStart")->isEnabled());

    // Closing the preview clears the palette and enables the command again.
    preview->close();
    QCOMPARE(cells->colorCount(), 0);
    QVERIFY(w.action("MStart")->isEnabled());
  }

  void closingTheWindowDuringTheBuildCancelsIt() {
    Window w;
    QVERIFY(w.main->openProject(demoPath("shapes-and-texts.lbl")));
    w.main->session().discardChanges();
    w.trigger("MStart");
    QVERIFY(wiringOf(w).preview().busy());
    QCOMPARE(w.pane("RzPane1"), QStringLiteral("Please wait..."));
    QVERIFY(w.main->close());
    QVERIFY(!wiringOf(w).preview().busy());
    QVERIFY(!w.main->isVisible());
  }

  void animatedPicturesPlayOnTheCanvas() {
    Window w;
    QVERIFY(w.main->openProject(demoPath("picture-banner.lbl")));  // spinner.gif: 8 frames
    QSignalSpy frames(&w.main->session(), &EditorSession::pictureFrameChanged);
    QVERIFY(frames.wait(2000));
    const QImage first = w.main->canvas()->image();
    QVERIFY(frames.wait(2000));
    QVERIFY(w.main->canvas()->image() != first);
    // A new project has no pictures: nothing plays any more.
    w.main->session().discardChanges();
    w.main->session().newProject();
    frames.clear();
    QTest::qWait(400);
    QCOMPARE(frames.count(), 0);
  }

  void liveSizeFollowsEditsAndEqualsTheCommandLine() {
    QTemporaryDir dir;
    Window w;
    QVERIFY(w.main->openProject(demoPath("picture-banner.lbl")));
    GifSizeMeter& meter = wiringOf(w).sizeMeter();
    QTRY_VERIFY_WITH_TIMEOUT(meter.upToDate(), 30000);
    const QString before = w.pane("GifSizePane");
    QVERIFY(before.startsWith("GIF: ") && before.endsWith(" bytes"));
    w.trigger("MInsert");
    QVERIFY(!meter.upToDate());
    QTRY_VERIFY_WITH_TIMEOUT(meter.upToDate(), 30000);
    QVERIFY(w.pane("GifSizePane") != before);
    // Saved beside (links to) the demo's pictures, the command line writes exactly that
    // many bytes.
    for (const QString& name : QDir(QStringLiteral(ZEFRA_SOURCE_DIR "/demo")).entryList({"*.gif", "*.bmp"}))
      QVERIFY(QFile::link(QStringLiteral(ZEFRA_SOURCE_DIR "/demo/") + name, dir.filePath(name)));
    const QString saved = dir.filePath("edited.lbl");
    w.saveAs(saved);
    QProcess cli;
    cli.start(QStringLiteral(ZEFRA_CLI_PATH), {QStringLiteral("export"), saved, dir.filePath("out.gif")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(w.pane("GifSizePane"), GifSizeMeter::paneText(static_cast<std::uint64_t>(QFileInfo(dir.filePath("out.gif")).size())));

    // "Classic export" measures what `export --classic` writes.
    auto* classic = w.main->findChild<QCheckBox*>(QStringLiteral("ChBoxClassic"));
    QVERIFY(classic);
    QCOMPARE(classic->text(), QStringLiteral("Classic export"));
    QVERIFY(!classic->toolTip().isEmpty());
    const QString standard = w.pane("GifSizePane");
    classic->setChecked(true);
    QVERIFY(!meter.upToDate());
    QTRY_VERIFY_WITH_TIMEOUT(meter.upToDate(), 30000);
    QVERIFY(w.pane("GifSizePane") != standard);
    cli.start(QStringLiteral(ZEFRA_CLI_PATH), {QStringLiteral("export"), saved, dir.filePath("classic.gif"), QStringLiteral("--classic")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(w.pane("GifSizePane"), GifSizeMeter::paneText(static_cast<std::uint64_t>(QFileInfo(dir.filePath("classic.gif")).size())));
  }

 private:
  QTemporaryDir settingsDir;
};

}  // namespace zefra::app

QTEST_MAIN(zefra::app::PreviewWindowTest)
#include "preview_window_test.moc"
