// The preview pieces on their own: the playback widget on its timer, the preview's
// playback controls, the picture dialog's preview pane, the palette panel's cells and
// menu, the preview controller with a core editor (build in the background, the four
// panes, palette edits, save), and the live size meter against the command line.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <filesystem>

#include "editor/editor.h"
#include "export/export_settings.h"
#include "gif/application_extension.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "dialogs/panel_dialogs.h"
#include "dialogs/picture_file_dialog.h"
#include "preview/gif_size_meter.h"
#include "preview/playback_view.h"
#include "preview/preview_controller.h"
#include "preview/preview_window.h"
#include "widgets/palette_panel.h"

namespace zefra::app {

namespace {

QString demoPath(const char* name) { return QStringLiteral(ZEFRA_SOURCE_DIR "/demo/") + QLatin1String(name); }

struct PromptRecord {
  QStringList messages;  // "information|caption|text" or "warning|caption|text"
  std::deque<QString> savePaths;
  std::deque<std::optional<Color>> colors;
  QString lastProposal;
};

class TestPrompts : public PreviewPrompts {
 public:
  explicit TestPrompts(PromptRecord& record) : log(record) {}
  QString saveGifPath(QWidget*, const QString&, const QString& proposedName) override {
    log.lastProposal = proposedName;
    if (log.savePaths.empty()) return {};
    QString p = log.savePaths.front();
    log.savePaths.pop_front();
    return p;
  }
  void information(QWidget*, const QString& caption, const QString& text) override {
    log.messages << "information|" + caption + '|' + text;
  }
  void warning(QWidget*, const QString& caption, const QString& text) override {
    log.messages << "warning|" + caption + '|' + text;
  }
  std::optional<Color> chooseColor(QWidget*, Color) override {
    if (log.colors.empty()) return std::nullopt;
    auto c = log.colors.front();
    log.colors.pop_front();
    return c;
  }
  PromptRecord& log;
};

// Three 2 x 1 frames, red, green, blue, 10 hundredths each, looping.
std::unique_ptr<gif::GifImage> threeColours() {
  auto image = std::make_unique<gif::GifImage>();
  for (Color c : {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)}) image->globalTable().append(c);
  for (int i = 0; i < 3; ++i) {
    auto frame = std::make_unique<gif::GifFrame>(image.get());
    if (i == 0) frame->extensions().add(std::make_unique<gif::LoopExtension>(*frame));
    auto gce = std::make_unique<gif::GraphicControlExtension>(*frame);
    gce->setDelayCs(10);
    frame->extensions().add(std::move(gce));
    frame->setPlacement(0, 0, 2, 1);
    frame->setPixels({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)});
    image->addFrame(std::move(frame));
  }
  return image;
}

// `count` 2 x 1 frames, frame i in grey level 20 * i, 10 hundredths each, looping.
std::unique_ptr<gif::GifImage> greyFrames(int count) {
  auto image = threeColours();
  image->frames().erase(2);
  image->frames().erase(1);
  for (int i = 0; i < count; ++i) image->globalTable().append(rgb(20 * i, 20 * i, 20 * i));
  image->frames()[0].setPixels({3, 3});
  for (int i = 1; i < count; ++i) {
    auto frame = std::make_unique<gif::GifFrame>(image.get());
    auto gce = std::make_unique<gif::GraphicControlExtension>(*frame);
    gce->setDelayCs(10);
    frame->extensions().add(std::move(gce));
    frame->setPlacement(0, 0, 2, 1);
    frame->setPixels({static_cast<std::uint8_t>(3 + i), static_cast<std::uint8_t>(3 + i)});
    image->addFrame(std::move(frame));
  }
  return image;
}

int greyShown(const PlaybackView& view) { return view.picture().pixelColor(0, 0).red() / 20; }

// The editor with the controls the preview needs around it.
struct Bench {
  QWidget window;
  QLabel* statusPane = new QLabel(&window);
  QStatusBar* statusBar = new QStatusBar(&window);
  QAction* previewAction = new QAction(QStringLiteral("&GIF Preview"), &window);
  PalettePanel* palette = new PalettePanel(&window);
  editor::Editor editor{std::string(ZEFRA_SOURCE_DIR "/demo/"), 96};
  PromptRecord prompts;
  std::unique_ptr<PreviewController> controller;
  bool loop = true;

  explicit Bench(const char* demo) {
    previewAction->setObjectName(QStringLiteral("MStart"));
    palette->resize(300, 150);
    const auto loaded = editor.load(demoPath(demo).toStdString());
    if (!loaded.ok) qFatal("cannot load %s", demo);
    PreviewHost host;
    host.window = &window;
    host.project = [this]() -> const model::LabelProject& { return editor.project(); };
    host.settings = [this] {
      exporter::ExportSettings s = exporter::exportSettingsOf(editor.project());
      s.loop = loop;
      return s;
    };
    host.workAreaColor = [] { return QColor(Qt::darkGray); };
    host.previewAction = previewAction;
    host.statusPane = statusPane;
    host.statusBar = statusBar;
    host.makeTransparent = [this](Color c) {
      const editor::Change change = editor.editSettings("Transparent", [c](model::ProjectSettings& s) {
        s.transparent = true;
        s.transparentColor = c;
      });
      controller->projectChanged(change);
    };
    controller = std::make_unique<PreviewController>(host, std::make_unique<TestPrompts>(prompts));
    controller->setPalettePanel(palette);
    window.show();
  }
  bool preview() {
    QSignalSpy shown(controller.get(), &PreviewController::previewShown);
    previewAction->setEnabled(false);
    controller->startPreview();
    return shown.wait(20000);
  }
};

}  // namespace

class PreviewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void playbackFollowsTheTimerAndStopsWhenHidden() {
    QWidget host;
    PlaybackView view(&host);
    view.resize(20, 10);
    host.show();
    QSignalSpy drawn(&view, &PlaybackView::frameDrawn);
    QSignalSpy looped(&view, &PlaybackView::playLooped);
    view.setImage(*threeColours());
    QVERIFY(view.playing());
    QCOMPARE(view.currentFrame(), 0);
    QCOMPARE(view.picture().pixelColor(0, 0), QColor(255, 0, 0));
    QTRY_VERIFY_WITH_TIMEOUT(looped.count() >= 1, 2000);  // 300 ms per pass
    QList<int> frames;
    for (const auto& args : drawn) frames << args.at(0).toInt();
    QCOMPARE(frames.mid(0, 4), (QList<int>{0, 1, 2, 0}));
    // Hidden: no more frames.
    host.hide();
    QVERIFY(!view.playing());
    const int count = drawn.count();
    QTest::qWait(350);
    QCOMPARE(drawn.count(), count);
    // Replaced by a still picture: drawn once, not playing.
    host.show();
    auto still = threeColours();
    still->frames().erase(2);
    still->frames().erase(1);
    view.setImage(*still);
    QVERIFY(!view.playing());
    QCOMPARE(view.picture().pixelColor(1, 0), QColor(255, 0, 0));
    view.clear();
    QVERIFY(view.picture().isNull());
  }

  // Play/Pause, the frame steps and the frame pane, by button and by key: a paused preview
  // holds its frame, a step pauses and wraps, and a rebuild while paused keeps the frame.
  void previewPausesStepsAndResumes() {
    PreviewWindow window;
    const auto image = greyFrames(9);
    window.showGif(*image, exporter::GifStatistics{0, 9, 12, 2, 1}, QSize(20, 10), Qt::darkGray);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    PlaybackView* view = window.view();
    QPushButton* play = window.playButton();
    QVERIFY(view->playing());
    QCOMPARE(play->text(), QStringLiteral("Pause"));
    QCOMPARE(window.previousButton()->text(), QStringLiteral("Previous Frame"));
    QCOMPARE(window.nextButton()->text(), QStringLiteral("Next Frame"));
    auto* pane = window.findChild<QLabel*>(QStringLiteral("FramePane"));
    QTRY_COMPARE_WITH_TIMEOUT(window.frameText(), QStringLiteral("Frame 3 of 9"), 2000);
    QCOMPARE(pane->accessibleName(), pane->text());

    play->click();
    QCOMPARE(play->text(), QStringLiteral("Play"));
    QVERIFY(view->paused() && !view->playing());
    const int held = view->currentFrame();
    QCOMPARE(greyShown(*view), held);
    QTest::qWait(350);  // three delays
    QCOMPARE(view->currentFrame(), held);
    QCOMPARE(window.frameText(), QStringLiteral("Frame %1 of 9").arg(held + 1));

    // Steps while paused; from the first frame back to the last.
    window.nextButton()->click();
    QCOMPARE(view->currentFrame(), (held + 1) % 9);
    QCOMPARE(greyShown(*view), (held + 1) % 9);
    for (int i = 0; i <= (held + 1) % 9; ++i) window.previousButton()->click();
    QCOMPARE(window.frameText(), QStringLiteral("Frame 9 of 9"));
    QCOMPARE(pane->accessibleName(), QStringLiteral("Frame 9 of 9"));
    QCOMPARE(greyShown(*view), 8);
    QTest::keyClick(&window, Qt::Key_Right);
    QCOMPARE(window.frameText(), QStringLiteral("Frame 1 of 9"));
    QTest::keyClick(&window, Qt::Key_Right);
    QCOMPARE(window.frameText(), QStringLiteral("Frame 2 of 9"));
    QCOMPARE(play->text(), QStringLiteral("Play"));

    // A rebuild after an edit while paused shows the new GIF at the same frame, paused.
    window.showGif(*greyFrames(9), exporter::GifStatistics{0, 9, 12, 2, 1}, QSize(20, 10), Qt::darkGray);
    QCOMPARE(window.frameText(), QStringLiteral("Frame 2 of 9"));
    QVERIFY(view->paused());
    QCOMPARE(greyShown(*view), 1);

    // Space goes on playing from there; a step while playing pauses.
    QTest::keyClick(&window, Qt::Key_Space);
    QCOMPARE(play->text(), QStringLiteral("Pause"));
    QVERIFY(view->playing());
    QTRY_VERIFY_WITH_TIMEOUT(view->currentFrame() >= 2, 1000);
    QTest::keyClick(&window, Qt::Key_Left);
    QVERIFY(view->paused());
    QCOMPARE(play->text(), QStringLiteral("Play"));
    const int stepped = view->currentFrame();
    window.nextButton()->click();
    QCOMPARE(view->currentFrame(), (stepped + 1) % 9);
    play->click();
    QVERIFY(view->playing());

    // A still picture has nothing to play or step.
    auto still = greyFrames(1);
    window.showGif(*still, exporter::GifStatistics{0, 1, 4, 2, 1}, QSize(20, 10), Qt::darkGray);
    QCOMPARE(window.frameText(), QStringLiteral("Frame 1 of 1"));
    QVERIFY(!play->isEnabled() && !window.nextButton()->isEnabled() && !window.previousButton()->isEnabled());
    window.showFailure(QStringLiteral("broken"));
    QCOMPARE(window.frameText(), QString());
  }

  // The picture dialog is Qt's own, offers PNG files, and previews the file under the
  // cursor with its size, transparency over a checkerboard, or why it cannot be used.
  void pictureDialogPreviewsTheFile() {
    QTemporaryDir dir;
    QImage logo(40, 20, QImage::Format_ARGB32);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x) logo.setPixel(x, y, x < 20 ? qRgba(200, 0, 200, 0) : qRgba(255, 0, 0, 255));
    QVERIFY(logo.save(dir.filePath("logo.png")));
    QFile bad(dir.filePath("bad.png"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("\x89PNG\r\n\x1a\nnot really");
    bad.close();

    PictureFileDialog dialog(nullptr, QStringLiteral("Load Picture"), dir.filePath("logo.png"), kPictureFilter);
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
    QVERIFY(dialog.nameFilters().front().contains(QStringLiteral("*.png")));
    QVERIFY(dialog.nameFilters().contains(QStringLiteral("PNG Images (*.png)")));
    dialog.show();
    PicturePreviewPane* pane = dialog.preview();
    QCOMPARE(pane->title(), QStringLiteral("Preview"));
    QTRY_COMPARE(pane->description(), QStringLiteral("logo.png: 40 x 20 pixels, transparent"));
    auto* info = pane->findChild<QLabel*>(QStringLiteral("PreviewInfo"));
    QCOMPARE(info->accessibleName(), info->text());
    const QImage shown = pane->shownImage();
    QCOMPARE(shown.size(), QSize(200, 100));
    const QColor clear = shown.pixelColor(10, 10);
    QVERIFY(clear == QColor(255, 255, 255) || clear == QColor(204, 204, 204));
    QVERIFY(shown.pixelColor(10, 10) != shown.pixelColor(10, 50));  // the checkerboard
    QCOMPARE(shown.pixelColor(150, 50), QColor(255, 0, 0));

    dialog.selectFile(dir.filePath("bad.png"));
    QTRY_VERIFY2(pane->description().startsWith(QStringLiteral("bad.png cannot be used: ")), qPrintable(pane->description()));
    QVERIFY(pane->shownImage().isNull());
    pane->showFile(dir.path());
    QCOMPARE(pane->description(), QStringLiteral("No picture selected"));
    pane->showFile(QStringLiteral(ZEFRA_SOURCE_DIR "/README.md"));
    QCOMPARE(pane->description(), QStringLiteral("README.md: not a BMP, GIF or PNG picture"));
  }

  void paletteCellsHintsAndMenu() {
    PalettePanel panel;
    panel.resize(26 * 11 + 25, 150);
    panel.show();
    std::vector<Color> colors;
    for (int i = 0; i < 40; ++i) colors.push_back(rgb(static_cast<std::uint8_t>(i), 0x0A, 0xFF));
    panel.showPalette(colors);
    int visible = 0;
    for (int i = 0; i < PalettePanel::kCellCount; ++i) visible += panel.cell(i)->isVisible() ? 1 : 0;
    QCOMPARE(visible, 40);
    QCOMPARE(panel.cell(39)->toolTip(), QStringLiteral("#270AFF"));
    // 26 to a row, 1 pixel apart: cell 26 starts the second row, cell 255 is row 9 column 21.
    const int size = panel.cell(0)->width();
    QCOMPARE(size, 11);
    QCOMPARE(panel.cell(26)->geometry().topLeft(), QPoint(0, size + 1));
    QCOMPARE(panel.cell(25)->geometry().right(), panel.width() - 1);
    QCOMPARE(panel.cell(255)->geometry().topLeft(), QPoint(21 * (size + 1), 9 * (size + 1)));
    QSignalSpy deleted(&panel, &PalettePanel::deleteColorRequested);
    QTest::mouseClick(panel.cell(7), Qt::LeftButton);
    QTRY_VERIFY(panel.popupMenu()->isVisible());
    QCOMPARE(panel.menuIndex(), 7);
    QAction* del = panel.popupMenu()->findChild<QAction*>(QStringLiteral("MDeleteColor"));
    QVERIFY(del && del->isEnabled());
    del->trigger();
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.at(0).at(0).toInt(), 7);
    panel.popupMenu()->hide();
    // With one colour "Delete Color" is disabled.
    panel.showPalette({rgb(1, 2, 3)});
    panel.openMenu(0, panel.mapToGlobal(QPoint(10, 20)));
    QVERIFY(!del->isEnabled());
    panel.popupMenu()->hide();
    panel.clearPalette();
    QCOMPARE(panel.colorCount(), 0);
    QVERIFY(!panel.cell(0)->isVisible());
  }

  void previewShowsTheBuiltGifAndItsFigures() {
    Bench b("zefra-banner.lbl");
    QVERIFY(b.preview());
    PreviewWindow* w = b.controller->window();
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("GIF Preview"));
    const gif::GifImage& image = *b.controller->image();
    const auto bytes = image.saveToBytes().size();
    QCOMPARE(w->paneText(1), QStringLiteral("Image Size: 468 x 60 pixels"));
    QCOMPARE(w->paneText(2), QStringLiteral("File Size: %1 bytes").arg(bytes));
    QCOMPARE(w->paneText(3), QStringLiteral("Frames: 6"));
    QCOMPARE(w->paneText(4), QStringLiteral("Colors: %1").arg(image.globalTable().count()));
    QCOMPARE(b.palette->colorCount(), image.globalTable().count());
    QCOMPARE(b.statusPane->text(), QStringLiteral("OK"));
    QVERIFY(!b.previewAction->isEnabled());
    QVERIFY(w->view()->playing());
    QVERIFY(w->saveButton()->font().bold());
    // Centred in the window's image area.
    QCOMPARE(w->view()->size(), QSize(468, 60));

    // Palette edits change the built image and the figures.
    const int colours = image.globalTable().count();
    QVERIFY(colours > 6);
    const Color fifth = image.globalTable().entryColor(5);
    QAction* del = b.palette->popupMenu()->findChild<QAction*>(QStringLiteral("MDeleteColor"));
    b.palette->openMenu(5, b.palette->mapToGlobal(QPoint(5, 5)));
    del->trigger();
    QCOMPARE(b.controller->image()->globalTable().count(), colours - 1);
    QCOMPARE(b.palette->colorCount(), colours - 1);
    QCOMPARE(w->paneText(4), QStringLiteral("Colors: %1").arg(colours - 1));
    QVERIFY(b.controller->image()->globalTable().find(fifth) < 0);
    b.prompts.colors.push_back(rgb(1, 2, 3));
    b.palette->openMenu(2, b.palette->mapToGlobal(QPoint(5, 5)));
    b.palette->popupMenu()->findChild<QAction*>(QStringLiteral("MEditColor"))->trigger();
    QCOMPARE(b.controller->image()->globalTable().entryColor(2), rgb(1, 2, 3));
    QCOMPARE(b.palette->cell(2)->toolTip(), QStringLiteral("#010203"));

    // "Set Color as Transparent" makes the project transparent and rebuilds, which
    // discards the palette edits.
    QSignalSpy shown(b.controller.get(), &PreviewController::previewShown);
    b.palette->openMenu(3, b.palette->mapToGlobal(QPoint(5, 5)));
    const Color third = b.controller->image()->globalTable().entryColor(3);
    b.palette->popupMenu()->findChild<QAction*>(QStringLiteral("MSetasTransp"))->trigger();
    QVERIFY(b.editor.project().settings.transparent);
    QCOMPARE(b.editor.project().settings.transparentColor, third);
    QVERIFY(shown.wait(20000));
    QVERIFY(b.controller->image()->globalTable().find(rgb(1, 2, 3)) < 0);

    // Closing clears the palette and offers the command again.
    w->close();
    QCOMPARE(b.palette->colorCount(), 0);
    QVERIFY(b.previewAction->isEnabled());
  }

  void saveGifNamesAndMessages() {
    Bench b("picture-banner.lbl");
    QVERIFY(b.preview());
    QTemporaryDir dir;
    b.prompts.savePaths = {dir.filePath("Sale.GIF"), dir.filePath("banner.png"), QString(),
                           dir.filePath("missing/folder/x")};
    b.controller->saveGif();
    QCOMPARE(b.prompts.lastProposal, QStringLiteral("picture-banner"));
    QVERIFY(QFileInfo::exists(dir.filePath("Sale.GIF")));
    QCOMPARE(QFileInfo(dir.filePath("Sale.GIF")).size(), static_cast<qint64>(b.controller->fileSize()));
    b.controller->saveGif();
    QVERIFY(QFileInfo::exists(dir.filePath("banner.png.gif")));
    b.controller->saveGif();  // cancelled: nothing
    b.controller->saveGif();
    QCOMPARE(b.prompts.messages,
             (QStringList{"information|Zefra|File Sale.GIF has been successfully created!",
                          "information|Zefra|File banner.png.gif has been successfully created!",
                          "warning|Zefra|Error writing the file x.gif"}));
    QCOMPARE(b.statusPane->text(), QStringLiteral("OK"));
  }

  // An edit that takes the project past the export size limit leaves the open preview
  // with the reason and nothing to save: never the GIF of the project before the edit.
  void livePreviewRefusingAnEditKeepsNothingToSave() {
    Bench b("shapes-and-texts.lbl");
    QVERIFY(b.preview());
    PreviewWindow* w = b.controller->window();
    QVERIFY(w->saveButton()->isEnabled());
    editor::Change change = b.editor.editFrames(editor::EditScope::AllFrames, "Size", [](model::FrameRecord& r) {
      r.width = 4096;
      r.height = 4096;
    });
    while (b.editor.project().frameCount < 9) change.frameCountChanged |= b.editor.insertFrame().applied;
    const int exports = b.controller->exportsRun();
    QSignalSpy busy(b.controller.get(), &PreviewController::busyChanged);
    b.controller->projectChanged(change);
    QVERIFY(w->updating());
    QVERIFY(busy.wait(5000));
    QVERIFY(!b.controller->busy());
    QCOMPARE(b.controller->exportsRun(), exports);
    QVERIFY(w->isVisible());
    QVERIFY(!w->updating());
    QVERIFY(w->noticeText().startsWith(QStringLiteral("the export needs ")));
    QVERIFY(!w->saveButton()->isEnabled());
    QCOMPARE(w->paneText(2), QString());
    QVERIFY(b.controller->image() == nullptr);
    QCOMPARE(b.palette->colorCount(), 0);
    QTemporaryDir dir;
    b.prompts.savePaths = {dir.filePath("stale.gif")};
    b.controller->saveGif();
    QVERIFY(!QFileInfo::exists(dir.filePath("stale.gif")));
    QVERIFY(b.prompts.messages.isEmpty());
  }

  void closingDuringTheExportCancelsIt() {
    Bench b("shapes-and-texts.lbl");
    QSignalSpy shown(b.controller.get(), &PreviewController::previewShown);
    b.controller->startPreview();
    QVERIFY(b.controller->busy());
    QCOMPARE(b.statusPane->text(), QStringLiteral("Please wait..."));
    QVERIFY(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    b.controller->cancel();
    QVERIFY(!b.controller->busy());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(b.statusPane->text(), QStringLiteral("OK"));
    QTest::qWait(1500);
    QCOMPARE(shown.count(), 0);  // the cancelled export never shows up
    QVERIFY(b.previewAction->isEnabled());
  }

  void liveSizeEqualsTheCommandLineExport() {
    QTemporaryDir dir;
    editor::Editor editor(std::string(ZEFRA_SOURCE_DIR "/demo/"), 96);
    QVERIFY(editor.load(demoPath("shapes-and-texts.lbl").toStdString()).ok);
    QLabel pane;
    GifSizeMeter meter(&pane, [&] {
      return std::make_pair(&editor.project(), exporter::exportSettingsOf(editor.project()));
    });
    QSignalSpy measured(&meter, &GifSizeMeter::sizeChanged);
    meter.measureNow();
    QVERIFY(measured.wait(20000));
    const quint64 before = measured.last().at(0).toULongLong();
    // An edit: a different background colour in every frame. Two quick edits in a row
    // give one measurement.
    editor.editFrames(editor::EditScope::AllFrames, "Frame Color", [](model::FrameRecord& r) { r.frameColor = rgb(10, 20, 30); });
    meter.projectChanged();
    QVERIFY(!pane.isEnabled());
    editor.editFrames(editor::EditScope::AllFrames, "Frame Color", [](model::FrameRecord& r) { r.frameColor = rgb(200, 20, 30); });
    meter.projectChanged();
    measured.clear();
    QVERIFY(measured.wait(20000));
    QTest::qWait(GifSizeMeter::kPauseMs + 200);
    QCOMPARE(measured.count(), 1);
    const quint64 after = measured.last().at(0).toULongLong();
    QVERIFY(after != before);
    QCOMPARE(pane.text(), GifSizeMeter::paneText(after));
    QVERIFY(pane.isEnabled());

    // Saved where its texture ("../textures/gold.bmp") is found as from the demo folder.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("project")));
    QVERIFY(QFile::link(QStringLiteral(ZEFRA_SOURCE_DIR "/textures"), dir.filePath("textures")));
    const QString saved = dir.filePath("project/edited.lbl");
    QVERIFY(editor.saveAs(saved.toStdString()).ok);
    QProcess cli;
    cli.start(QStringLiteral(ZEFRA_CLI_PATH), {QStringLiteral("export"), saved, dir.filePath("out.gif")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(static_cast<quint64>(QFileInfo(dir.filePath("out.gif")).size()), after);
  }

  void groupedNumbers() {
    QCOMPARE(GifSizeMeter::paneText(48512), QStringLiteral("GIF: 48,512 bytes"));
    QCOMPARE(GifSizeMeter::paneText(999), QStringLiteral("GIF: 999 bytes"));
    QCOMPARE(GifSizeMeter::paneText(1234567), QStringLiteral("GIF: 1,234,567 bytes"));
  }
};

}  // namespace zefra::app

QTEST_MAIN(zefra::app::PreviewTest)
#include "preview_test.moc"
