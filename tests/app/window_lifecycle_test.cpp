// Start-up, shut-down and what outlives a run: the command-line project, settings and the
// recent-files list read back by a new window, opening projects in place behind the save
// prompt, closing during a long job, and help on the page of the active tab.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "support/app_folders.h"
#include "dialogs/help_window.h"
#include "io/lbl_test_files.h"
#include "io/lbl_writer.h"
#include "main_window.h"
#include "scripted_prompts.h"
#include "window_driver.h"

using namespace zefra;
using namespace zefra::app;

namespace {

// Writes a project of `frames` frames whose frame k has background colour (k, 0, 0).
void writeProject(const QString& path, int frames) {
  auto project = std::make_unique<model::LabelProject>();
  project->clear();
  project->applyNewDefaults();
  for (int k = 2; k <= frames; ++k) project->frame(k) = project->frame(1);
  for (int k = 1; k <= frames; ++k) project->frame(k).frameColor = rgb(static_cast<std::uint8_t>(k), 0, 0);
  project->frameCount = static_cast<std::uint8_t>(frames);
  io::writeLblFile(path.toStdString(), *project);
}

}  // namespace

class WindowLifecycleTest : public QObject {
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
  void init() { QSettings().clear(); }

  void commandLineProjectOpensWithoutANewProjectFirst() {
    const QString path = QFileInfo(work.filePath("start.lbl")).absoluteFilePath();
    writeProject(path, 3);
    // Given relative to the current folder, as a shell passes it.
    const QString startFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    Window w({"start.lbl"}, false);
    QStringList titles;
    QObject::connect(w.main.get(), &QWidget::windowTitleChanged, [&](const QString& t) { titles << t; });
    w.main->show();
    QTRY_COMPARE(w.main->windowTitle(), QString("start.lbl"));
    QVERIFY(QDir::setCurrent(startFolder));
    QVERIFY2(!titles.contains("untitled.lbl"), qPrintable(titles.join(", ")));
    QCOMPARE(int(w.project().frameCount), 3);
    QCOMPARE(w.pane("RzPane2"), QString("Frame 1 of 3"));
    QCOMPARE(w.pane("RzPane1"), QString("OK"));
    QVERIFY(w.action("MSave")->isEnabled());
    QVERIFY(w.action("MStart")->isEnabled());
    // Later activations do not load the file again.
    w.main->onInsertFrame();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(w.main.get(), &activate);
    QCOMPARE(int(w.project().frameCount), 4);
    // The loaded file heads the recent-files list, with its full path.
    QCOMPARE(w.recentCaptions().at(0), "&1 " + path);
    QCOMPARE(QString::fromStdString(w.project().fileName.str()), path);
    w.main->session().discardChanges();
  }

  void unreadableCommandLineFileGivesANewProject() {
    const QString path = work.filePath("garbage.lbl");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a label at all");
    f.close();
    Window w({path});
    QTRY_COMPARE(w.log.errors.size(), 1);
    QCOMPARE(w.log.errors.at(0), "Zefra|Error reading the file " + path);
    QCOMPARE(w.main->windowTitle(), QString("untitled.lbl"));
    QCOMPARE(w.pane("RzPane1"), QString("OK"));
    QVERIFY(!w.action("MSave")->isEnabled());
    QVERIFY(w.recentCaptions().at(0).isEmpty());
  }

  void recentFilesNewestFirstCaseInsensitiveAndFiveAtMost() {
    Window w;
    QVERIFY(!w.main->findChild<QMenu*>("MRecent")->isEnabled());
    QStringList paths;
    for (int i = 1; i <= 6; ++i) paths << work.filePath(QString("p%1.lbl").arg(i));
    for (int i = 0; i < 5; ++i) w.saveAs(paths[i]);
    QVERIFY(w.main->findChild<QMenu*>("MRecent")->isEnabled());
    QCOMPARE(w.recentCaptions(), (QStringList{"&1 " + paths[4], "&2 " + paths[3], "&3 " + paths[2],
                                              "&4 " + paths[1], "&5 " + paths[0]}));
    // Saving a listed project again, even spelt in another case, keeps the order.
    w.saveAs(paths[2]);
    w.action("MSave")->trigger();
    QCOMPARE(w.recentCaptions().at(0), "&1 " + paths[4]);
    QCOMPARE(w.recentCaptions().at(2), "&3 " + paths[2]);
    w.saveAs(paths[3].toUpper().replace(".LBL", ".lbl").replace(work.path().toUpper(), work.path()));
    QCOMPARE(w.recentCaptions().at(1), "&2 " + paths[3]);
    // A sixth distinct project drops the oldest.
    w.saveAs(paths[5]);
    QCOMPARE(w.recentCaptions(), (QStringList{"&1 " + paths[5], "&2 " + paths[4], "&3 " + paths[3],
                                              "&4 " + paths[2], "&5 " + paths[1]}));
    // A new window shows the same list.
    w.main->close();
    Window again;
    QCOMPARE(again.recentCaptions(), w.recentCaptions());
  }

  void recentFileAsksBeforeDiscardingChanges() {
    const QString path = work.filePath("recent.lbl");
    writeProject(path, 2);
    Window w;
    w.saveAs(work.filePath("other.lbl"));
    {
      Window loader({path});  // puts `path` at the top of the stored list
      QTRY_COMPARE(loader.main->windowTitle(), QString("recent.lbl"));
      loader.main->close();
    }
    Window fresh;
    QCOMPARE(fresh.recentCaptions().at(0), "&1 " + path);
    fresh.main->onInsertFrame();  // unsaved change
    fresh.prompts->answers.push_back(QMessageBox::Cancel);
    fresh.action("N11")->trigger();
    QCOMPARE(fresh.log.questions.size(), 1);
    QCOMPARE(fresh.main->windowTitle(), QString("untitled.lbl*"));
    QCOMPARE(int(fresh.project().frameCount), 2);
    fresh.prompts->answers.push_back(QMessageBox::No);
    fresh.action("N11")->trigger();
    QCOMPARE(fresh.main->windowTitle(), QString("recent.lbl"));
    QCOMPARE(fresh.project().frame(2).frameColor, rgb(2, 0, 0));
    QVERIFY(!fresh.main->editor().modified());
  }

  void openLoadsInPlaceBehindTheSavePrompt() {
    const QString path = work.filePath("open.lbl");
    writeProject(path, 5);
    Window w;
    w.main->onInsertFrame();
    w.prompts->answers.push_back(QMessageBox::Cancel);
    w.action("MOpen")->trigger();
    QCOMPARE(w.log.openDialogs, 0);  // Cancel stops before the dialog
    w.prompts->answers.push_back(QMessageBox::No);
    w.prompts->openPaths.push_back(path);
    w.action("MOpen")->trigger();
    QCOMPARE(w.log.openDialogs, 1);
    QCOMPARE(w.main->windowTitle(), QString("open.lbl"));
    QCOMPARE(int(w.project().frameCount), 5);
    QVERIFY(w.main->isVisible());
    QCOMPARE(QString::fromStdString(w.project().projectDir.str()), QDir(work.path()).absolutePath());
    // The next Open starts in the project's folder; the settings were written on the way.
    w.prompts->openPaths.push_back(QString());
    w.action("MOpen")->trigger();
    QCOMPARE(w.log.lastOpenDirectory, QDir(work.path()).absolutePath());
    QVERIFY(QSettings().contains("1.5/LastDir"));
  }

  void settingsReadBackByANewWindow() {
    {
      Window w;
      w.main->move(40, 30);
      w.main->resize(900, 700);
      w.saveAs(work.filePath("placed.lbl"));
      QVERIFY(w.main->close());
    }
    QSettings stored;
    QCOMPARE(stored.value("1.5/LastDir").toString(), QDir(work.path()).absolutePath());
    QCOMPARE(stored.value("1.5/W").toInt(), 900);
    Window again;
    QCOMPARE(again.main->width(), 900);
    QCOMPARE(again.main->height(), 700);
    QCOMPARE(again.main->x(), stored.value("1.5/L").toInt());
    QCOMPARE(QString::fromStdString(again.project().projectDir.str()), QDir(work.path()).absolutePath());
  }

  void malformedPlacementValueStopsTheRest() {
    Window reference;
    const QSize defaultSize = reference.main->size();
    reference.main->close();
    QSettings().clear();
    {
      QSettings s;
      s.setValue("1.5/L", "12");
      s.setValue("1.5/T", "twenty");
      s.setValue("1.5/W", "1000");
      s.setValue("1.5/H", "700");
    }
    Window w;
    QCOMPARE(w.main->size(), defaultSize);  // W and H follow the bad T and are ignored
  }

  void closeDuringALongJobWaitsForIt() {
    const QString path = work.filePath("slow.lbl");
    writeProject(path, 2);
    Window w;
    // The close request arrives while the load lets events run.
    bool asked = false;
    QTimer::singleShot(0, w.main.get(), [&] {
      asked = true;
      QVERIFY(w.main->busy());
      QVERIFY(!w.main->close());
      QVERIFY(w.main->closePending());
    });
    w.main->openProject(path);
    QVERIFY(asked);
    QCOMPARE(w.main->windowTitle(), QString("slow.lbl"));
    // When the job is over the remembered request is carried out.
    QTRY_VERIFY(!w.main->isVisible());
  }

  // Opening a project and saving it without an edit writes the bytes it was read from:
  // pictures found beside the project are drawn from there, and their names stay as stored.
  void everyDemoSavesBackToTheSameBytes() {
    const QDir demo(QStringLiteral(ZEFRA_SOURCE_DIR "/demo"));
    const QStringList projects = demo.entryList({"*.lbl"}, QDir::Files, QDir::Name);
    if (projects.isEmpty()) QSKIP("no sample projects in the source tree");
    QTemporaryDir copy;
    QVERIFY(copy.isValid());
    for (const QString& name : demo.entryList(QDir::Files)) {
      QVERIFY(QFile::copy(demo.filePath(name), copy.filePath(name)));
    }
    for (const QString& name : projects) {
      const QString path = copy.filePath(name);
      QFile file(path);
      QVERIFY(file.open(QIODevice::ReadOnly));
      const QByteArray before = file.readAll();
      file.close();
      Window w;
      QVERIFY2(w.main->openProject(path), qPrintable(name));
      for (int k = 1; k <= w.project().frameCount; ++k) w.trigger("MNext");  // draw every frame
      QVERIFY2(!w.main->editor().modified(), qPrintable(name));
      w.trigger("MSave");
      QVERIFY(file.open(QIODevice::ReadOnly));
      QVERIFY2(file.readAll() == before, qPrintable(name));
      file.close();
    }
  }

  // The notice about a 1.02 file comes while the file is read: the window still shows
  // the previous project and the job is still running.
  void oldFormatNoticeComesBeforeTheProjectShows() {
    const QString path = work.filePath("old.lbl");
    testing::writeBytes(path.toStdString(), testing::v102File({testing::V102Frame().delay(70).size(200, 30)}));
    Window w;
    QString titleAtNotice, statusAtNotice, recentAtNotice;
    QSize canvasAtNotice;
    w.prompts->onWarning = [&] {
      titleAtNotice = w.main->windowTitle();
      statusAtNotice = w.pane("RzPane1");
      recentAtNotice = w.recentCaptions().at(0);
      canvasAtNotice = w.main->canvas()->size();
    };
    QVERIFY(w.main->openProject(path));
    QCOMPARE(w.log.warnings.size(), 1);
    QCOMPARE(w.log.warnings.at(0),
             "WARNING|The file old.lbl has been created with Zefra 1.02. Probably, it will be displayed with some "
             "distortions.");
    QCOMPARE(titleAtNotice, QString("untitled.lbl"));
    QCOMPARE(statusAtNotice, QString("Please wait..."));
    QVERIFY(recentAtNotice.isEmpty());
    QCOMPARE(canvasAtNotice, QSize(468, 60));
    QCOMPARE(w.main->windowTitle(), QString("old.lbl"));
    QCOMPARE(w.main->canvas()->size(), QSize(200, 30));
    QCOMPARE(w.pane("RzPane1"), QString("OK"));
  }

  // "&GIF Preview" (menu item and toolbar button) is off while a project is read, whether
  // the load ends with the old-format notice, with an error or cleanly, and on again after.
  void previewCommandIsDisabledWhileAProjectLoads() {
    const QString old = work.filePath("old-preview.lbl");
    testing::writeBytes(old.toStdString(), testing::v102File({testing::V102Frame().delay(70).size(200, 30)}));
    const QString broken = work.filePath("broken-preview.lbl");
    QFile f(broken);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("LB1 but not really");
    f.close();
    const QString good = work.filePath("good-preview.lbl");
    writeProject(good, 2);

    Window w;
    QWidget* button = w.main->findChild<QWidget*>("RzStart");
    QVERIFY(button);
    QAction* item = w.action("MStart");
    QVERIFY(item->isEnabled());
    QVERIFY(button->isEnabled());
    int looked = 0;
    const auto lookWhileLoading = [&] {
      ++looked;
      QVERIFY(!item->isEnabled());
      QVERIFY(!button->isEnabled());
      QCOMPARE(w.pane("RzPane1"), QString("Please wait..."));
    };
    w.prompts->onWarning = lookWhileLoading;
    w.prompts->onError = lookWhileLoading;
    QVERIFY(w.main->openProject(old));
    QVERIFY(!w.main->openProject(broken));
    QCOMPARE(looked, 2);
    QCOMPARE(w.log.warnings.size(), 1);
    QCOMPARE(w.log.errors.size(), 1);
    QVERIFY(item->isEnabled());
    QVERIFY(button->isEnabled());
    QCOMPARE(w.pane("RzPane1"), QString("OK"));

    // A clean load: the state while reading is seen through the first change it publishes.
    bool disabledDuringLoad = false;
    const auto connection = QObject::connect(item, &QAction::changed, [&] { disabledDuringLoad |= !item->isEnabled(); });
    QVERIFY(w.main->openProject(good));
    QObject::disconnect(connection);
    QVERIFY(disabledDuringLoad);
    QVERIFY(item->isEnabled());
    QVERIFY(button->isEnabled());
  }

  // A recent project that no longer loads reports the error and gives a new project, and
  // its entry keeps its place in the list.
  void recentEntryThatFailsToLoadStaysInTheList() {
    const QString first = work.filePath("keep1.lbl");
    const QString second = work.filePath("keep2.lbl");
    Window w;
    w.saveAs(first);
    w.saveAs(second);
    const QStringList before = w.recentCaptions();
    QCOMPARE(before.at(0), "&1 " + second);
    QCOMPARE(before.at(1), "&2 " + first);

    QFile damaged(first);
    QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("damaged");
    damaged.close();
    w.action("N21")->trigger();
    QCOMPARE(w.log.errors, QStringList{"Zefra|Error reading the file " + first});
    QCOMPARE(w.main->windowTitle(), QString("untitled.lbl"));
    QVERIFY(!w.action("MSave")->isEnabled());
    QCOMPARE(w.recentCaptions(), before);

    QVERIFY(QFile::remove(second));
    w.action("N11")->trigger();
    QCOMPARE(w.log.errors.size(), 2);
    QCOMPARE(w.log.errors.at(1), "Zefra|Error reading the file " + second);
    QCOMPARE(w.recentCaptions(), before);
    // And so does the stored list that the next start reads.
    w.main->close();
    Window again;
    QCOMPARE(again.recentCaptions(), before);
  }

  void programFoldersInBuildAndInstalledLayouts() {
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QDir dir(root.path());
    // Installed: <prefix>/bin/zefra with <prefix>/share/zefra/{Demo,Textures,Help}.
    QVERIFY(dir.mkpath("usr/bin"));
    QVERIFY(dir.mkpath("usr/share/zefra/Demo"));
    QVERIFY(dir.mkpath("usr/share/zefra/Textures"));
    const QString bin = dir.filePath("usr/bin");
    QCOMPARE(findProgramFolder(bin, "Demo"), dir.filePath("usr/share/zefra/Demo") + '/');
    QCOMPARE(findProgramFolder(bin, "Help"), QString());
    QCOMPARE(findDataRoot(bin), dir.filePath("usr/share/zefra") + '/');
    // Portable or build tree: the folders beside the executable win.
    QVERIFY(dir.mkpath("usr/bin/Demo"));
    QCOMPARE(findProgramFolder(bin, "Demo"), dir.filePath("usr/bin/Demo") + '/');
    QCOMPARE(findDataRoot(bin), bin + '/');
    // Nothing anywhere: the executable's own folder.
    QVERIFY(dir.mkpath("lonely"));
    QCOMPARE(findDataRoot(dir.filePath("lonely")), dir.filePath("lonely") + '/');
  }

  void helpOpensOnThePageOfTheActiveTab() {
    Window w;
    auto* pages = w.main->findChild<QTabWidget*>("PControl1");
    QCOMPARE(pages->count(), 4);
    QCOMPARE(pages->tabText(0), QString("&General"));
    QCOMPARE(pages->tabText(1), QString("&Pictures/Shapes"));
    QCOMPARE(pages->tabText(2), QString("3D&Text"));
    QCOMPARE(pages->tabText(3), QString("GIF P&roperties"));
    const char* const expected[] = {"general.html", "pictures_shapes.html", "text3d.html", "gif_properties.html"};
    for (int i = 0; i < 4; ++i) {
      pages->setCurrentIndex(i);
      QCOMPARE(w.main->helpContext(), i + 1);
      w.main->onContextHelp();
      QVERIFY(w.main->help()->isVisible());
      QCOMPARE(w.main->help()->currentPage(), QString(expected[i]));
    }
    w.action("MContents")->trigger();
    QCOMPARE(w.main->help()->currentPage(), QString("index.html"));
  }
};

QTEST_MAIN(WindowLifecycleTest)
#include "window_lifecycle_test.moc"
