// The preview in the editor window: "&GIF Preview" builds the GIF in the background and
// shows it, the command stays off while the preview is open, the palette cells sit on the
// GIF properties page, "Set Color as Transparent" checks "Transparent GIF", a close request
// during the build cancels it, and the status bar's live size equals the command line's.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTabWidget>
#include <QtTest>
#include <cmath>
#include <deque>

#include "export/export_limits.h"
#include "preview/gif_size_meter.h"
#include "preview/playback_view.h"
#include "preview/preview_controller.h"
#include "preview/preview_window.h"
#include "preview/preview_wiring.h"
#include "widgets/color_button.h"
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

// The preview's own questions: the save dialog answers from a list, messages are noted.
struct PreviewAnswers {
  std::deque<QString> savePaths;
  std::deque<Color> colors;  // answers of the colour dialog; cancelled when empty
  QStringList messages;  // "information|text" or "warning|text"
};

class AnsweringPrompts : public PreviewPrompts {
 public:
  explicit AnsweringPrompts(PreviewAnswers& record) : answers(record) {}
  QString saveGifPath(QWidget*, const QString&, const QString&) override {
    if (answers.savePaths.empty()) return {};
    const QString path = answers.savePaths.front();
    answers.savePaths.pop_front();
    return path;
  }
  void information(QWidget*, const QString&, const QString& text) override { answers.messages << "information|" + text; }
  void warning(QWidget*, const QString&, const QString& text) override { answers.messages << "warning|" + text; }
  std::optional<Color> chooseColor(QWidget*, Color) override {
    if (answers.colors.empty()) return std::nullopt;
    const Color chosen = answers.colors.front();
    answers.colors.pop_front();
    return chosen;
  }

 private:
  PreviewAnswers& answers;
};

PreviewAnswers& answerPreview(Window& w) {
  static std::deque<PreviewAnswers> records;
  records.emplace_back();
  wiringOf(w).preview().setPrompts(std::make_unique<AnsweringPrompts>(records.back()));
  return records.back();
}

QTabWidget* pagesOf(Window& w) { return w.main->findChild<QTabWidget*>(QStringLiteral("PControl1")); }

// Links the demo's pictures and textures beside `dir`'s projects, so a project saved there
// draws as it does in the demo folder.
void linkDemoFiles(const QTemporaryDir& dir) {
  for (const QString& name : QDir(QStringLiteral(ZEFRA_SOURCE_DIR "/demo")).entryList({"*.gif", "*.bmp"}))
    QFile::link(QStringLiteral(ZEFRA_SOURCE_DIR "/demo/") + name, dir.filePath(name));
  QFile::link(QStringLiteral(ZEFRA_SOURCE_DIR "/textures"), dir.filePath("textures"));
}

QByteArray cliExport(const QString& project, const QString& gif, QString* errors = nullptr) {
  QProcess cli;
  cli.start(QStringLiteral(ZEFRA_CLI_PATH), {QStringLiteral("export"), project, gif});
  if (!cli.waitForFinished(60000)) return {};
  if (errors) *errors = QString::fromUtf8(cli.readAllStandardError());
  if (cli.exitCode() != 0) return {};
  QFile file(gif);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class PreviewWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { QVERIFY(settingsDir.isValid()); isolateSettings(settingsDir); }

  void previewCommandWindowAndPalette() {
    Window w;
    QVERIFY(w.main->openProject(demoPath("zefra-banner.lbl")));
    PreviewAnswers& answers = answerPreview(w);
    pagesOf(w)->setCurrentIndex(0);
    QVERIFY(openPreview(w));
    PreviewWindow* preview = w.main->findChild<PreviewWindow*>(QStringLiteral("frmPreview"));
    QVERIFY(preview && preview->isVisible());
    // The built GIF's palette comes into view.
    QCOMPARE(pagesOf(w)->currentIndex(), 3);
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
    // The cell's colour is one the palette made up, and its pixels are now transparent:
    // nothing to warn about.
    QVERIFY2(answers.messages.isEmpty(), qPrintable(answers.messages.join('\n')));
    QCOMPARE(preview->noticeText(), QString());

    // Closing the preview clears the palette and enables the command again.
    preview->close();
    QCOMPARE(cells->colorCount(), 0);
    QVERIFY(w.action("MStart")->isEnabled());
  }

  // The open preview follows the edits; Save GIF right after them writes what the command
  // line exports for the project as saved, and the panes describe that file.
  void openPreviewFollowsEditsAndSavesTheCurrentGif() {
    QTemporaryDir dir;
    linkDemoFiles(dir);
    Window w;
    QVERIFY(w.main->openProject(demoPath("zefra-banner.lbl")));
    QVERIFY(openPreview(w));
    PreviewAnswers& answers = answerPreview(w);
    PreviewController& controller = wiringOf(w).preview();
    PreviewWindow* preview = controller.window();
    const std::vector<std::uint8_t> shownBytes = controller.image()->saveToBytes();
    const QByteArray before(reinterpret_cast<const char*>(shownBytes.data()), static_cast<qsizetype>(shownBytes.size()));
    QVERIFY(controller.upToDate());
    QCOMPARE(preview->noticeText(), QString());

    EditorSession& session = w.main->session();
    session.setField(editor::Field::Width, 728);
    session.setField(editor::Field::Height, 90);
    QVERIFY(preview->updating());
    QCOMPARE(preview->noticeText(), QStringLiteral("Updating..."));
    QVERIFY(!controller.upToDate());
    session.setField(editor::Field::GradientColor1, static_cast<long>(rgb(200, 30, 90)));
    session.setField(editor::Field::Text, QStringLiteral("Live preview"));
    QCOMPARE(w.project().frame(1).width, 728);

    // Saved at once, while the rebuild has not even begun: the save waits for it.
    pagesOf(w)->setCurrentIndex(2);
    const QString gifPath = dir.filePath("saved.gif");
    answers.savePaths.push_back(gifPath);
    QSignalSpy saved(&controller, &PreviewController::gifSaved);
    preview->saveButton()->click();
    QVERIFY(saved.wait(60000));
    QCOMPARE(saved.at(0).at(0).toBool(), true);
    QCOMPARE(answers.messages, QStringList{"information|File saved.gif has been successfully created!"});
    QVERIFY(controller.upToDate());
    QVERIFY(!preview->updating());
    QCOMPARE(pagesOf(w)->currentIndex(), 3);

    QFile written(gifPath);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QVERIFY(bytes != before);
    const QString project = dir.filePath("edited.lbl");
    w.saveAs(project);
    QVERIFY(QFileInfo::exists(project));
    const QByteArray exported = cliExport(project, dir.filePath("cli.gif"));
    QVERIFY(!exported.isEmpty());
    QCOMPARE(bytes.size(), exported.size());
    QVERIFY(bytes == exported);
    // The four panes describe that file.
    QCOMPARE(preview->paneText(1), QStringLiteral("Image Size: 728 x 90 pixels"));
    QCOMPARE(preview->view()->size(), QSize(728, 90));
    QVERIFY(preview->width() >= 728);
    QCOMPARE(preview->paneText(2), QStringLiteral("File Size: %1 bytes").arg(bytes.size()));
    QCOMPARE(preview->paneText(3), QStringLiteral("Frames: %1").arg(int{w.project().frameCount}));
    QCOMPARE(preview->paneText(4), QStringLiteral("Colors: %1").arg(controller.image()->globalTable().count()));
    QCOMPARE(preview->findChild<QLabel*>(QStringLiteral("Status2"))->accessibleName(), preview->paneText(2));
  }

  // With "Size limit:" on, the preview shows and Save GIF writes the best GIF within it,
  // saying what the search gave up; the "Check:" pane judges that GIF against the chosen
  // profile; a limit nothing reaches leaves the reason and nothing to save.
  void sizeLimitAndAdCheckInThePreview() {
    QTemporaryDir dir;
    Window w;
    QVERIFY(w.main->openProject(demoPath("zefra-banner.lbl")));
    auto* limit = w.main->findChild<QCheckBox*>(QStringLiteral("ChBoxSizeLimit"));
    auto* kb = w.main->findChild<QSpinBox*>(QStringLiteral("SizeLimitKb"));
    auto* check = w.main->findChild<QComboBox*>(QStringLiteral("AdCheck"));
    QVERIFY(limit && kb && check);
    check->setCurrentIndex(0);  // None
    limit->setChecked(true);
    kb->setValue(20);
    QVERIFY(openPreview(w));
    PreviewAnswers& answers = answerPreview(w);
    PreviewController& controller = wiringOf(w).preview();
    PreviewWindow* preview = controller.window();
    auto* checkPane = preview->findChild<QLabel*>(QStringLiteral("PreviewCheck"));
    QVERIFY(checkPane);
    QVERIFY(checkPane->isHidden());
    // The demo's own export is 34,378 bytes: the search had to give something up.
    QVERIFY2(controller.fileSize() <= 20 * 1024, qPrintable(QString::number(controller.fileSize())));
    QVERIFY2(preview->noticeText().startsWith(QStringLiteral("Size limit: ")), qPrintable(preview->noticeText()));
    const QString gifPath = dir.filePath("limited.gif");
    answers.savePaths.push_back(gifPath);
    QSignalSpy saved(&controller, &PreviewController::gifSaved);
    preview->saveButton()->click();
    QVERIFY(saved.size() == 1 || saved.wait(60000));
    QCOMPARE(saved.at(0).at(0).toBool(), true);
    QVERIFY(QFileInfo(gifPath).size() > 0);
    QVERIFY(QFileInfo(gifPath).size() <= 20 * 1024);
    QCOMPARE(QFileInfo(gifPath).size(), qint64(controller.fileSize()));
    QVERIFY2(answers.messages.last().contains(QStringLiteral("Size limit: ")), qPrintable(answers.messages.last()));

    // A Custom profile with only a size rule: 1 KB is broken, 100 KB passes.
    check->setCurrentIndex(3);
    for (const char* rule : {"CustomMaxSeconds", "CustomMaxPlays", "CustomMaxFps"})
      w.main->findChild<QSpinBox*>(QLatin1String(rule))->setValue(0);
    w.main->findChild<QSpinBox*>(QStringLiteral("CustomMaxKb"))->setValue(1);
    QTRY_VERIFY_WITH_TIMEOUT(controller.upToDate(), 60000);
    QVERIFY(!checkPane->isHidden());
    QVERIFY2(checkPane->text().startsWith(QStringLiteral("Check: File size ")), qPrintable(checkPane->text()));
    QVERIFY2(checkPane->text().contains(QStringLiteral("at most 1 KB")), qPrintable(checkPane->text()));
    QVERIFY(checkPane->accessibleName().isEmpty());  // read as its text
    QCOMPARE(checkPane->accessibleDescription(), QStringLiteral("Ad check"));
    w.main->findChild<QSpinBox*>(QStringLiteral("CustomMaxKb"))->setValue(100);
    QTRY_VERIFY_WITH_TIMEOUT(controller.upToDate(), 60000);
    QCOMPARE(checkPane->text(), QStringLiteral("Check: Passes Custom"));
    check->setCurrentIndex(0);
    QTRY_VERIFY_WITH_TIMEOUT(controller.upToDate(), 60000);
    QVERIFY(checkPane->isHidden());

    // Nothing fits in 1 KB: the preview names the smallest size and has nothing to save.
    kb->setValue(1);
    QTRY_VERIFY_WITH_TIMEOUT(controller.upToDate() || (!controller.busy() && !controller.image()), 60000);
    QVERIFY(!controller.image());
    QVERIFY2(preview->noticeText().contains(QStringLiteral("smallest reachable")), qPrintable(preview->noticeText()));
    QVERIFY(!preview->saveButton()->isEnabled());
    const QString tiny = dir.filePath("tiny.gif");
    answers.savePaths.push_back(tiny);
    controller.saveGif();
    QVERIFY(!QFileInfo::exists(tiny));
    // The last choices used are every project's defaults: the other tests export freely.
    kb->setValue(150);
    limit->setChecked(false);
  }

  // A preview closed while it is being rebuilt stays closed.
  void closedPreviewStaysClosedWhenItsRebuildEnds() {
    Window w;
    QVERIFY(w.main->openProject(demoPath("shapes-and-texts.lbl")));
    QVERIFY(openPreview(w));
    PreviewController& controller = wiringOf(w).preview();
    QSignalSpy shown(&controller, &PreviewController::previewShown);
    w.main->session().setField(editor::Field::ColorCount, 2);
    w.main->session().setField(editor::Field::FrameColor, static_cast<long>(rgb(10, 99, 10)));
    QVERIFY(controller.busy());
    controller.window()->close();
    QVERIFY(!controller.busy());
    QTest::qWait(3000);
    QCOMPARE(shown.count(), 0);
    QVERIFY(!controller.window()->isVisible());
    QVERIFY(w.action("MStart")->isEnabled());
    QCOMPARE(wiringOf(w).palette()->colorCount(), 0);
  }

  // A project past the reader's pixel limit is refused up front, with the command line's
  // message, by the live size and the preview; no export of it ever begins.
  void oversizeProjectIsRefusedWithoutAnExport() {
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.lbl");
    {
      editor::Editor e(dir.path().toStdString(), 96);
      e.newProject();
      e.editFrames(editor::EditScope::AllFrames, "Size", [](model::FrameRecord& r) {
        r.width = 4096;
        r.height = 4096;
      });
      for (int i = 0; i < 8; ++i) e.insertFrame();
      QVERIFY(e.saveAs(path.toStdString()).ok);
    }
    QString cliErrors;
    QVERIFY(cliExport(path, dir.filePath("huge.gif"), &cliErrors).isEmpty());
    Window w;
    GifSizeMeter& meter = wiringOf(w).sizeMeter();
    QTRY_VERIFY_WITH_TIMEOUT(meter.upToDate(), 30000);
    const int exportsBefore = meter.exportsRun();
    QVERIFY(w.main->openProject(path));
    QCOMPARE(int{w.project().frameCount}, 9);
    const QString message = QString::fromStdString(*exporter::exportSizeProblem(w.project()));
    QVERIFY(cliErrors.contains(message));
    auto* sizePane = w.main->findChild<QLabel*>(QStringLiteral("GifSizePane"));
    QTRY_COMPARE_WITH_TIMEOUT(sizePane->toolTip(), message, 5000);
    QCOMPARE(sizePane->text(), QStringLiteral("GIF: ?"));

    PreviewAnswers& answers = answerPreview(w);
    w.trigger("MStart");
    QTRY_COMPARE_WITH_TIMEOUT(answers.messages, QStringList{"warning|" + message}, 5000);
    PreviewController& controller = wiringOf(w).preview();
    QVERIFY(!controller.busy());
    QVERIFY(!controller.window()->isVisible());
    QCOMPARE(w.pane("RzPane1"), QStringLiteral("OK"));
    QVERIFY(w.action("MStart")->isEnabled());
    QCOMPARE(meter.exportsRun(), exportsBefore);
    QCOMPARE(controller.exportsRun(), 0);
  }

  // With the classic export a transparent colour missing from the table makes entry 0
  // transparent: "Transp. Color:" shows that colour and the preview says what happened.
  void classicExportShowsTheColourMadeTransparent() {
    Window w;
    QVERIFY(w.main->openProject(demoPath("shapes-and-texts.lbl")));
    PreviewAnswers& answers = answerPreview(w);
    w.main->findChild<QCheckBox*>(QStringLiteral("ChBoxClassic"))->setChecked(true);
    EditorSession& session = w.main->session();
    session.setField(editor::Field::Transparent, 1);
    session.setField(editor::Field::TransparentColor, static_cast<long>(rgb(1, 2, 3)));
    auto* button = w.main->findChild<ColorButton*>(QStringLiteral("RzTransp"));
    QVERIFY(button);
    QCOMPARE(button->color(), rgb(1, 2, 3));
    QVERIFY(openPreview(w));
    const gif::GifImage& image = *wiringOf(w).preview().image();
    QVERIFY(image.globalTable().find(rgb(1, 2, 3)) < 0);
    const Color made = image.globalTable().entryColor(0);
    QCOMPARE(button->color(), made);
    QCOMPARE(w.project().settings.transparentColor, rgb(1, 2, 3));  // the project keeps the choice
    const QString notice = wiringOf(w).preview().window()->noticeText();
    QVERIFY2(notice.startsWith(QStringLiteral("#010203 is not among the GIF's colours; ")), qPrintable(notice));
    QVERIFY(notice.endsWith(QStringLiteral(" was made transparent")));
    QVERIFY(answers.messages.isEmpty());  // shown in the preview, not in a message box

    // Chosen from a palette cell, the warning comes at once, in a message: here a cell
    // given a colour of its own, which the rebuild (from the frames) does not have.
    PalettePanel* cells = wiringOf(w).palette();
    answers.colors.push_back(rgb(7, 8, 9));
    cells->openMenu(1, cells->mapToGlobal(QPoint(2, 2)));
    cells->popupMenu()->findChild<QAction*>(QStringLiteral("MEditColor"))->trigger();
    QCOMPARE(cells->cell(1)->color(), rgb(7, 8, 9));
    QSignalSpy shown(&wiringOf(w).preview(), &PreviewController::previewShown);
    cells->openMenu(1, cells->mapToGlobal(QPoint(2, 2)));
    cells->popupMenu()->findChild<QAction*>(QStringLiteral("MSetasTransp"))->trigger();
    QCOMPARE(w.project().settings.transparentColor, rgb(7, 8, 9));
    QVERIFY(shown.wait(30000));
    QCOMPARE(answers.messages.size(), 1);
    QVERIFY2(answers.messages[0].startsWith(QStringLiteral("warning|#070809 is not among the GIF's colours; ")),
             qPrintable(answers.messages[0]));
    QCOMPARE(button->color(), wiringOf(w).preview().image()->globalTable().entryColor(0));
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

  // A PNG picture with alpha loaded through "Load Picture..." is blended over the label on
  // the canvas and in the previewed GIF, its clear part leaving the label as it was.
  void pngPictureWithAlphaIsBlendedOnTheCanvasAndInThePreview() {
    Window w;
    QTemporaryDir dir;
    QImage png(6, 2, QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 6; ++x)
        png.setPixel(x, y, x < 2 ? qRgba(200, 0, 200, 0) : x < 4 ? qRgba(0, 0, 255, 128) : qRgba(255, 0, 0, 255));
    QVERIFY(png.save(dir.filePath("logo.png")));
    const raster::FastBitmap before = w.main->session().canvas().bitmap();
    w.prompts->picturePaths.push_back(dir.filePath("logo.png"));
    w.main->findChild<QPushButton*>(QStringLiteral("RzB5"))->click();
    QCOMPARE(w.project().current().pictureFile[0].str(), dir.filePath("logo.png").toStdString());
    const int px = w.project().current().pictureX[0], py = w.project().current().pictureY[0];
    const Color under = before.pixel(px + 2, py);
    // Straight alpha in real numbers, rounded to the nearest.
    const auto mix = [](int src, int dst) { return static_cast<std::uint8_t>(std::lround((src * 128 + dst * 127) / 255.0)); };
    const Color blended = rgb(mix(0, redOf(under)), mix(0, greenOf(under)), mix(255, blueOf(under)));
    const raster::FastBitmap& canvas = w.main->session().canvas().bitmap();
    QCOMPARE(canvas.pixel(px, py), before.pixel(px, py));
    QCOMPARE(canvas.pixel(px + 3, py + 1), blended);
    QCOMPARE(canvas.pixel(px + 5, py + 1), rgb(255, 0, 0));

    QVERIFY(openPreview(w));
    const QImage shown = wiringOf(w).preview().window()->view()->picture();
    QCOMPARE(shown.pixelColor(px, py), QColor(redOf(under), greenOf(under), blueOf(under)));
    QCOMPARE(shown.pixelColor(px + 2, py), QColor(redOf(blended), greenOf(blended), blueOf(blended)));
    QCOMPARE(shown.pixelColor(px + 4, py), QColor(255, 0, 0));
    w.main->session().discardChanges();
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
