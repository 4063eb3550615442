// The main window's frame and file commands, driven through its actions on the offscreen
// platform: New, Insert, Delete, Reverse, navigation, Save as and Save, and the save prompt.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QToolButton>
#include <QMenuBar>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <vector>

#include "widgets/frame_view.h"
#include "io/lbl_reader.h"
#include "main_window.h"
#include "scripted_prompts.h"
#include "support/user_prompts.h"
#include "window_driver.h"

using namespace zefra;
using namespace zefra::app;

namespace {

// Answers the next message box the application shows with `button` and reports what it said.
struct BoxSeen {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool seen = false;
};

void answerNextMessageBox(QMessageBox::StandardButton button, BoxSeen* seen) {
  // Polls until the box is up (it runs its own event loop); the timer belongs to the
  // application, so one that never sees a box is still released at exit.
  auto* timer = new QTimer(QCoreApplication::instance());
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, button, seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    timer->stop();
    timer->deleteLater();
    seen->title = box->windowTitle();
    seen->text = box->text();
    seen->icon = box->icon();
    seen->seen = true;
    box->button(button)->click();
  });
  timer->start();
}

void readBack(const QString& path, std::unique_ptr<model::LabelProject>& holder) {
  holder = std::make_unique<model::LabelProject>();
  io::readLblFile(path.toStdString(), *holder);
}

}  // namespace

class WindowCommandsTest : public QObject {
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

  void newProjectIsUntitledWithOneLockedFrame() {
    Window w;
    QCOMPARE(w.main->windowTitle(), QString("untitled.lbl"));
    QCOMPARE(int(w.project().frameCount), 1);
    QVERIFY(w.action("MLock")->isChecked());
    QVERIFY(!w.action("MSave")->isEnabled());
    QCOMPARE(w.pane("RzPane1"), QString("OK"));
    QCOMPARE(w.pane("RzPane2"), QString("Frame 1 of 1"));
    QVERIFY(!w.main->editor().modified());
    // The canvas shows the label at 1:1 in the new frame colour.
    QCOMPARE(w.main->canvas()->size(), QSize(468, 60));
    QCOMPARE(w.canvasColour(), rgb(136, 136, 136));
    // New after navigating away returns to the first page and one frame.
    w.main->findChild<QTabWidget*>("PControl1")->setCurrentIndex(2);
    w.trigger("MInsert");
    w.prompts->answers.push_back(QMessageBox::No);
    w.trigger("MNew");
    QCOMPARE(int(w.project().frameCount), 1);
    QCOMPARE(w.main->findChild<QTabWidget*>("PControl1")->currentIndex(), 0);
    QCOMPARE(w.pane("RzPane2"), QString("Frame 1 of 1"));
  }

  void insertDeleteAndNavigationFollowTheCanvas() {
    Window w;
    w.colourCurrentFrame(rgb(255, 0, 0));
    w.trigger("MInsert");  // copy of frame 1 becomes frame 2
    QCOMPARE(w.pane("RzPane2"), QString("Frame 2 of 2"));
    QVERIFY(w.main->editor().modified());
    QCOMPARE(w.canvasColour(), rgb(255, 0, 0));
    w.colourCurrentFrame(rgb(0, 255, 0));
    QCOMPARE(w.canvasColour(), rgb(0, 255, 0));
    w.trigger("MInsert");
    w.colourCurrentFrame(rgb(0, 0, 255));
    QCOMPARE(w.pane("RzPane2"), QString("Frame 3 of 3"));

    w.trigger("MNext");  // wraps from the last to the first
    QCOMPARE(w.pane("RzPane2"), QString("Frame 1 of 3"));
    QCOMPARE(w.canvasColour(), rgb(255, 0, 0));
    w.trigger("MPrevious");  // wraps from the first to the last
    QCOMPARE(w.pane("RzPane2"), QString("Frame 3 of 3"));
    QCOMPARE(w.canvasColour(), rgb(0, 0, 255));
    w.trigger("MFirst");
    w.trigger("MNext");
    QCOMPARE(w.pane("RzPane2"), QString("Frame 2 of 3"));
    QCOMPARE(w.canvasColour(), rgb(0, 255, 0));
    w.trigger("MLast");
    QCOMPARE(w.pane("RzPane2"), QString("Frame 3 of 3"));

    // Deleting the last frame shows the new last one.
    w.trigger("MDelete");
    QCOMPARE(w.pane("RzPane2"), QString("Frame 2 of 2"));
    QCOMPARE(w.canvasColour(), rgb(0, 255, 0));
    // Deleting frame 1 shows the frame that followed it as frame 1.
    w.trigger("MFirst");
    w.trigger("MDelete");
    QCOMPARE(w.pane("RzPane2"), QString("Frame 1 of 1"));
    QCOMPARE(w.canvasColour(), rgb(0, 255, 0));
    QVERIFY(w.log.errors.isEmpty());
    w.trigger("MDelete");
    QCOMPARE(w.log.errors, QStringList{"Zefra|Could not delete this frame."});
    QCOMPARE(int(w.project().frameCount), 1);
  }

  void reverseMirrorsTheFramesWithoutMarkingModified() {
    Window w;
    const Color colours[] = {rgb(10, 0, 0), rgb(20, 0, 0), rgb(30, 0, 0), rgb(40, 0, 0)};
    w.colourCurrentFrame(colours[0]);
    for (int i = 1; i < 4; ++i) {
      w.trigger("MInsert");
      w.colourCurrentFrame(colours[i]);
    }
    w.prompts->savePaths.push_back(work.filePath("reverse.lbl"));
    w.trigger("MSaveas");
    QVERIFY(!w.main->editor().modified());
    w.trigger("MFirst");
    w.trigger("MNext");  // frame 2 of 4
    w.trigger("MReverse");
    QCOMPARE(w.pane("RzPane1"), QString("OK"));
    QCOMPARE(w.pane("RzPane2"), QString("Frame 2 of 4"));
    QCOMPARE(w.canvasColour(), colours[2]);  // frame 2 now holds the former frame 3
    for (int k = 1; k <= 4; ++k) QCOMPARE(w.project().frame(k).frameColor, colours[4 - k]);
    QVERIFY(!w.main->editor().modified());
  }

  void insertStopsAt127Frames() {
    Window w;
    for (int i = 1; i < 127; ++i) w.main->onInsertFrame();
    QCOMPARE(w.pane("RzPane2"), QString("Frame 127 of 127"));
    QVERIFY(w.log.errors.isEmpty());
    w.trigger("MInsert");
    QCOMPARE(w.log.errors, QStringList{"Zefra|Maximal numbers of frames is 127."});
    QCOMPARE(int(w.project().frameCount), 127);
    QCOMPARE(w.pane("RzPane2"), QString("Frame 127 of 127"));
  }

  void saveAsThenSaveWritesWhatTheCoreReads() {
    Window w;
    w.colourCurrentFrame(rgb(1, 2, 3));
    w.trigger("MInsert");
    w.colourCurrentFrame(rgb(4, 5, 6));
    const QString path = work.filePath("banner.lbl");
    w.prompts->savePaths.push_back(path);
    w.trigger("MSaveas");
    QCOMPARE(w.log.saveDialogs, 1);
    QCOMPARE(w.main->windowTitle(), QString("banner.lbl"));
    QVERIFY(w.action("MSave")->isEnabled());
    QVERIFY(!w.main->editor().modified());
    QCOMPARE(QFileInfo(path).size(), qint64(2 * 10852));

    std::unique_ptr<model::LabelProject> back;
    readBack(path, back);
    QCOMPARE(int(back->frameCount), 2);
    QCOMPARE(back->frame(1).frameColor, rgb(1, 2, 3));
    QCOMPARE(back->frame(2).frameColor, rgb(4, 5, 6));

    // The next Save writes to the same file without a dialog.
    w.trigger("MInsert");
    QVERIFY(w.main->editor().modified());
    w.trigger("MSave");
    QCOMPARE(w.log.saveDialogs, 1);
    QVERIFY(!w.main->editor().modified());
    readBack(path, back);
    QCOMPARE(int(back->frameCount), 3);
    QCOMPARE(back->frame(3).frameColor, rgb(4, 5, 6));

    // Save as proposes the current name without its extension, in the project's folder.
    w.prompts->savePaths.push_back(QString());  // cancelled
    w.trigger("MSaveas");
    QCOMPARE(w.log.lastSaveProposal, QString("banner"));
    QCOMPARE(QDir(w.log.lastSaveDirectory), QDir(work.path()));
    QCOMPARE(w.main->windowTitle(), QString("banner.lbl"));

    // New disables Save again and keeps the file name for the next Save as.
    w.trigger("MNew");
    QVERIFY(!w.action("MSave")->isEnabled());
    QCOMPARE(w.main->windowTitle(), QString("untitled.lbl"));
    w.prompts->savePaths.push_back(QString());
    w.trigger("MSaveas");
    QCOMPARE(w.log.lastSaveProposal, QString("banner"));
  }

  void savePromptCancelKeepsEverything() {
    Window w;
    w.trigger("MInsert");
    BoxSeen box;
    answerNextMessageBox(QMessageBox::Cancel, &box);
    w.trigger("MNew");
    QVERIFY(box.seen);
    QCOMPARE(box.title, QString("Zefra"));
    QCOMPARE(box.text, QString("Project untitled.lbl has been modified. Save it?"));
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(int(w.project().frameCount), 2);
    QVERIFY(w.main->editor().modified());
    // Closing is refused the same way.
    answerNextMessageBox(QMessageBox::Cancel, &box);
    QVERIFY(!w.main->close());
    QVERIFY(w.main->isVisible());
  }

  void savePromptNoDiscards() {
    Window w;
    const QString path = work.filePath("keep.lbl");
    w.prompts->savePaths.push_back(path);
    w.trigger("MSaveas");
    const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    w.trigger("MInsert");
    BoxSeen box;
    answerNextMessageBox(QMessageBox::No, &box);
    w.trigger("MNew");
    QVERIFY(box.seen);
    QCOMPARE(box.text, QString("Project keep.lbl has been modified. Save it?"));
    QCOMPARE(int(w.project().frameCount), 1);
    QVERIFY(!w.main->editor().modified());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
  }

  void savePromptYesSavesFirst() {
    Window w;
    const QString path = work.filePath("yes.lbl");
    w.prompts->savePaths.push_back(path);
    w.trigger("MSaveas");
    w.trigger("MInsert");
    w.trigger("MInsert");
    BoxSeen box;
    answerNextMessageBox(QMessageBox::Yes, &box);
    w.trigger("MNew");
    QVERIFY(box.seen);
    QCOMPARE(w.log.saveDialogs, 1);  // titled: saved without a dialog
    QCOMPARE(QFileInfo(path).size(), qint64(3 * 10852));
    QCOMPARE(int(w.project().frameCount), 1);
    QVERIFY(!w.main->editor().modified());

    // Untitled: Yes goes through Save as.
    w.trigger("MInsert");
    const QString second = work.filePath("second.lbl");
    w.prompts->savePaths.push_back(second);
    w.prompts->answers.push_back(QMessageBox::Yes);
    w.trigger("MNew");
    QCOMPARE(QFileInfo(second).size(), qint64(2 * 10852));
    QCOMPARE(int(w.project().frameCount), 1);
  }

  void savePromptYesWithoutASavedFileKeepsTheChanges() {
    Window w;
    w.trigger("MInsert");
    w.prompts->answers.push_back(QMessageBox::Yes);
    w.prompts->savePaths.push_back(QString());  // the save dialog is cancelled
    w.trigger("MNew");
    QCOMPARE(w.log.saveDialogs, 1);
    QCOMPARE(int(w.project().frameCount), 2);
    QVERIFY(w.main->editor().modified());

    // A save that fails: the error is shown and nothing is given up.
    w.prompts->answers.push_back(QMessageBox::Yes);
    w.prompts->savePaths.push_back(work.filePath("no/such/folder/x.lbl"));
    w.trigger("MNew");
    QCOMPARE(w.log.errors.size(), 1);
    QVERIFY(w.log.errors.at(0).startsWith("Zefra|"));
    QCOMPARE(int(w.project().frameCount), 2);
    QVERIFY(w.main->editor().modified());
    QCOMPARE(w.main->windowTitle(), QString("untitled.lbl*"));
    QVERIFY(!w.action("MSave")->isEnabled());
  }

  // One signal per operation: what it changed, already drawn; a refused operation
  // reports its message instead and changes nothing.
  void sessionPublishesEachOperationOnce() {
    Window w;
    EditorSession& session = w.main->session();
    QSignalSpy changes(&session, &EditorSession::changed);
    QSignalSpy refusals(&session, &EditorSession::refused);
    w.trigger("MInsert");
    QCOMPARE(changes.size(), 1);
    const auto change = changes.at(0).at(0).value<editor::Change>();
    QVERIFY(change.frameCountChanged);
    QVERIFY(change.frames.test(2));
    session.setField(editor::Field::FrameColor, long{rgb(0, 0, 200)});
    QCOMPARE(changes.size(), 2);
    QCOMPARE(w.canvasColour(), rgb(0, 0, 200));
    QCOMPARE(Color(session.canvas().bitmap().pixel(0, 0)), rgb(0, 0, 200));
    // The same value again changes nothing and redraws nothing.
    session.setField(editor::Field::FrameColor, long{rgb(0, 0, 200)});
    QCOMPARE(changes.size(), 3);
    QVERIFY(changes.at(2).at(0).value<editor::Change>().frames.none());
    w.trigger("MDelete");
    w.trigger("MDelete");
    QCOMPARE(refusals.size(), 1);
    QCOMPARE(refusals.at(0).at(0).toString(), QString("Could not delete this frame."));
    QCOMPARE(w.log.errors.size(), 1);
    QCOMPARE(changes.size(), 4);
  }

  // Every command's menu caption, shortcut and toolbar hint as the user sees them, and the
  // order of the items in each menu. (Other tests find the actions by object name only.)
  void menusAndToolbarShowTheirCaptionsHintsAndShortcuts() {
    Window w;
    struct Command {
      const char* action;
      const char* caption;
      QKeySequence shortcut;
      const char* button;  // toolbar button, or nullptr
      const char* hint;
    };
    const QKeySequence none;
    const std::vector<std::pair<const char*, std::vector<Command>>> menus = {
        {"&File",
         {{"MNew", "&New...", QKeySequence(Qt::CTRL | Qt::Key_N), "RzNew", "New"},
          {"MOpen", "&Open Project...", QKeySequence(Qt::CTRL | Qt::Key_O), "RzOpen", "Open Project..."},
          {"MSave", "&Save Project", QKeySequence(Qt::CTRL | Qt::Key_S), "RzSave", "Save Project"},
          {"MSaveas", "Save Project as...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), "RzSaveas", "Save Project as..."},
          {"MExit", "E&xit", QKeySequence(Qt::CTRL | Qt::Key_Q), nullptr, nullptr}}},
        {"&Edit",
         {{"MInsert", "&Insert Frame", none, "RzInsert", "Insert Frame"},
          {"MDuplicate", "D&uplicate Frame", QKeySequence(Qt::CTRL | Qt::Key_D), nullptr, nullptr},
          {"MSetDelay", "Set De&lay...", none, nullptr, nullptr},
          {"MDelete", "&Delete Frame", none, "RzDelete", "Delete Frame"},
          {"MReverse", "&Reverse Frame Order", none, "RzReverse", "Reverse Frame Order"},
          {"MLock", "&Lock Frames", none, "RzLock", "Lock/Unlock Frames"}}},
        {"&View",
         {{"MNext", "&Next Frame", QKeySequence(Qt::Key_PageDown), "RzNext", "Next Frame"},
          {"MPrevious", "&Previous Frame", QKeySequence(Qt::Key_PageUp), "RzPrevious", "Previous Frame"},
          {"MFirst", "&First Frame", QKeySequence(Qt::Key_Home), "RzFirst", "First Frame"},
          {"MLast", "&Last Frame", QKeySequence(Qt::Key_End), "RzLast", "Last Frame"},
          {"MStart", "&GIF Preview", QKeySequence(Qt::Key_F5), "RzStart", nullptr}}},
        {"&Help", {{"MContents", "&Contents", none, "RzHelp", "Help"}, {"MAbout", "&About...", none, nullptr, nullptr}}},
    };
    QStringList titles;
    for (QAction* top : w.main->menuBar()->actions())
      if (top->menu()) titles << top->text();
    // Align sits between View and Help, which stays last of the four.
    QCOMPARE(titles.indexOf("&Align") + 1, titles.indexOf("&Help"));
    titles.removeAll("&Align");
    QCOMPARE(titles.mid(0, 4), (QStringList{"&File", "&Edit", "&View", "&Help"}));
    for (const auto& [title, commands] : menus) {
      QMenu* menu = nullptr;
      for (QAction* top : w.main->menuBar()->actions())
        if (top->menu() && top->text() == QLatin1String(title)) menu = top->menu();
      QVERIFY2(menu, title);
      const QList<QAction*> items = menu->actions();
      qsizetype last = -1;
      for (const Command& c : commands) {
        QAction* a = w.action(c.action);
        QVERIFY2(a, c.action);
        const qsizetype at = items.indexOf(a);
        QVERIFY2(at > last, qPrintable(QString("%1 missing or out of order in %2").arg(c.action, title)));
        last = at;
        QCOMPARE(a->text(), QString(c.caption));
        QCOMPARE(a->shortcut(), c.shortcut);
        if (!c.button) continue;
        auto* button = w.main->findChild<QToolButton*>(QLatin1String(c.button));
        QVERIFY2(button, c.button);
        QCOMPARE(button->defaultAction(), a);
        if (c.hint) QCOMPARE(button->toolTip(), QString(c.hint));
      }
    }
    QMenu* recent = w.main->findChild<QMenu*>("MRecent");
    QVERIFY(recent);
    QCOMPARE(recent->title(), QString("Recent &Files"));
    QVERIFY(w.action("MLock")->isCheckable());
    QVERIFY(!w.action("MSave")->isEnabled());  // until the project has a file name
  }

  // The notices as the user sees them: the default prompts put the caption and icon the
  // window asks for on a real message box.
  void noticesUseTheirCaptionsAndIcons() {
    UserPrompts prompts;
    BoxSeen box;
    answerNextMessageBox(QMessageBox::Ok, &box);
    prompts.warning(nullptr, "WARNING", "The file old.lbl has been created with Zefra 1.02.");
    QVERIFY(box.seen);
    QCOMPARE(box.title, QString("WARNING"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.text, QString("The file old.lbl has been created with Zefra 1.02."));

    box = BoxSeen();
    answerNextMessageBox(QMessageBox::Ok, &box);
    prompts.error(nullptr, "Zefra", "Error reading the file x.lbl");
    QVERIFY(box.seen);
    QCOMPARE(box.title, QString("Zefra"));
    QCOMPARE(box.icon, QMessageBox::Critical);

    box = BoxSeen();
    answerNextMessageBox(QMessageBox::No, &box);
    QCOMPARE(prompts.question(nullptr, "Project a.lbl has been modified. Save it?"), QMessageBox::No);
    QCOMPARE(box.title, QString("Zefra"));
    QCOMPARE(box.icon, QMessageBox::Question);
  }

  void labelWiderThanTheWindowWidensIt() {
    Window w;
    w.main->session().apply([](editor::Editor& e) {
      return e.editFrames(editor::EditScope::AllFrames, "Size", [](model::FrameRecord& r) {
        r.width = 900;
        r.height = 100;
      });
    });
    QCOMPARE(w.main->canvas()->size(), QSize(900, 100));
    QVERIFY(w.main->width() >= 928);
    QWidget* panel = w.main->findChild<QWidget*>("Panel1");
    QVERIFY(panel->height() >= 104);
    // The canvas is centred in the work area (offsets truncated).
    QCOMPARE(w.main->canvas()->x(), (panel->width() - 900) / 2);
    QCOMPARE(w.main->canvas()->y(), (panel->height() - 100) / 2);
    // Shrinking the window below the minimum is undone.
    w.main->resize(300, 100);
    QVERIFY(w.main->width() >= 928);
    QVERIFY(panel->height() >= 104);
  }
};

QTEST_MAIN(WindowCommandsTest)
#include "window_commands_test.moc"
