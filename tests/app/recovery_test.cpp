// Autosave and recovery through the real window on the offscreen platform: an unsaved
// project is copied into the data folder a delay after its first change and at most once
// per delay; Save and a close without saving take the copy away; the next start offers
// the copies of editors that died in "Recover Unsaved Work", and Recover opens one as the
// modified project under its own name without writing the user's file.
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "dialogs/recovery_dialog.h"
#include "editor/recovery_store.h"
#include "io/lbl_reader.h"
#include "main_window.h"
#include "support/autosave.h"
#include "window_driver.h"

using namespace zefra;
using namespace zefra::app;
using namespace std::chrono_literals;

namespace {

constexpr Color kGreen = rgb(10, 200, 30);

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString accessibleName(QObject* object) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
  return face ? face->text(QAccessible::Name) : QString();
}

// Runs `look` on the next recovery dialog the application shows (it runs its own event
// loop); the timer belongs to the application, so one that never sees a dialog is still
// released at exit.
void onNextRecoveryDialog(std::function<void(RecoveryDialog*)> look) {
  auto* timer = new QTimer(QCoreApplication::instance());
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, look] {
    auto* dialog = qobject_cast<RecoveryDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    look(dialog);
    // A check that failed inside must not leave the window waiting for an answer.
    if (dialog->isVisible()) dialog->reject();
  });
  timer->start();
}

}  // namespace

class RecoveryTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir settingsDir;
  QTemporaryDir work;
  std::unique_ptr<QTemporaryDir> data;  // XDG_DATA_HOME, fresh for every test

  QString folder() const { return data->filePath(QStringLiteral("zefra/recovery")); }
  QStringList filesInFolder() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }
  static Autosave* autosave(Window& w) { return w.main->findChild<Autosave*>(); }

  // What an editor killed in the middle of its work leaves: `name` saved with one frame,
  // then a second frame and a text it never saved, copied under the stem `stem`.
  QString leaveCopyOfDeadEditor(const QString& name, const char* stem, std::int64_t when) {
    const QString path = work.filePath(name);
    editor::Editor lost("/nowhere/", 96);
    if (!lost.saveAs(path.toStdString()).ok) return {};
    lost.insertFrame();
    lost.editFrames(editor::EditScope::CurrentFrame, "Text",
                    [](model::FrameRecord& r) { r.text[0].assign("Not lost"); });
    editor::RecoveryStore store(folder().toStdString(), stem);
    store.write(lost.project(), when);
    return path;  // the store goes, and its lock with it, as with a killed process
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(settingsDir.isValid());
    QVERIFY(work.isValid());
    isolateSettings(settingsDir);
  }
  void init() {
    data = std::make_unique<QTemporaryDir>();
    QVERIFY(data->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(data->path()));
  }

  void anUnsavedChangeIsCopiedAfterTheDelayAndSaveTakesTheCopyAway() {
    Window w;
    Autosave* saver = autosave(w);
    QVERIFY(saver);
    QCOMPARE(saver->delay(), 20000ms);
    saver->setDelay(150ms);
    QCOMPARE(QString::fromStdString(saver->store().folder().string()), folder());
    w.saveAs(work.filePath("banner.lbl"));
    const QByteArray saved = fileBytes(work.filePath("banner.lbl"));
    QVERIFY(!saver->pending());

    QSignalSpy written(saver, &Autosave::written);
    w.colourCurrentFrame(kGreen);
    QVERIFY(saver->pending());
    QVERIFY(!saver->store().hasCopy());
    QVERIFY(written.wait(5000));
    QVERIFY(saver->store().hasCopy());
    const QStringList files = filesInFolder();
    QCOMPARE(files.filter(QStringLiteral(".lbl")).size(), 1);
    QCOMPARE(files.filter(QStringLiteral(".info")).size(), 1);

    auto copy = std::make_unique<model::LabelProject>();
    io::readLblFile(saver->store().projectPath(), *copy);
    QCOMPARE(copy->frame(1).frameColor, kGreen);
    QCOMPARE(fileBytes(work.filePath("banner.lbl")), saved);

    w.trigger("MSave");
    QVERIFY(!w.main->editor().modified());
    QVERIFY(!saver->store().hasCopy());
    QVERIFY(!saver->pending());
    QCOMPARE(filesInFolder(), QStringList());
  }

  // A copy is never more than one delay behind, even while the edits never pause, and it
  // is written no more often than once per delay.
  void continuousEditingIsCopiedOncePerDelay() {
    Window w;
    Autosave* saver = autosave(w);
    const int delay = 120;
    saver->setDelay(std::chrono::milliseconds(delay));
    QSignalSpy written(saver, &Autosave::written);
    QElapsedTimer clock;
    clock.start();
    int step = 0;
    while (clock.elapsed() < 8 * delay) {
      w.colourCurrentFrame(rgb(static_cast<std::uint8_t>(++step), 0, 0));
      QTest::qWait(15);
    }
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(written.size() >= 2, qPrintable(QString::number(written.size())));
    QVERIFY2(written.size() <= elapsed / delay + 1, qPrintable(QString::number(written.size())));
    w.main->session().discardChanges();
  }

  void aCloseWithoutSavingTakesTheCopyAwayACancelledOneKeepsIt() {
    {
      Window w;
      w.colourCurrentFrame(kGreen);
      autosave(w)->update();
      QCOMPARE(filesInFolder().size(), 3);  // project, sidecar, lock
      w.prompts->answers.push_back(QMessageBox::Cancel);
      QVERIFY(!w.main->close());
      QCOMPARE(filesInFolder().size(), 3);
      w.prompts->answers.push_back(QMessageBox::No);
      QVERIFY(w.main->close());
      QCOMPARE(filesInFolder(), QStringList());
    }
    {
      // New after No takes it away too: the unsaved changes were given up on purpose.
      Window w;
      w.colourCurrentFrame(kGreen);
      autosave(w)->update();
      QVERIFY(autosave(w)->store().hasCopy());
      w.prompts->answers.push_back(QMessageBox::No);
      w.trigger("MNew");
      QCOMPARE(filesInFolder(), QStringList());
    }
  }

  void recoverOpensTheLostWorkUnderItsOwnNameAsModified() {
    const QString path = leaveCopyOfDeadEditor(QStringLiteral("lost.lbl"), "zefra-4242-1", 1765000000);
    QVERIFY(!path.isEmpty());
    const QByteArray saved = fileBytes(path);
    bool seen = false;
    onNextRecoveryDialog([&](RecoveryDialog* dialog) {
      seen = true;
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Recover Unsaved Work"));
      auto* list = dialog->findChild<QListWidget*>(QStringLiteral("RecoveryList"));
      QVERIFY(list);
      QCOMPARE(accessibleName(list), QStringLiteral("Unsaved projects"));
      QCOMPARE(list->count(), 1);
      const QString when = QDateTime::fromSecsSinceEpoch(1765000000).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
      QCOMPARE(list->item(0)->text(), QStringLiteral("lost.lbl in %1, %2").arg(work.path(), when));
      QCOMPARE(list->item(0)->data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("2 frames"));
      QAccessibleInterface* face = QAccessible::queryAccessibleInterface(list);
      QVERIFY(face && face->childCount() == 1);
      QCOMPARE(face->child(0)->text(QAccessible::Name), list->item(0)->text());
      auto* recover = dialog->findChild<QPushButton*>(QStringLiteral("RecoverButton"));
      QCOMPARE(accessibleName(recover), QStringLiteral("Recover"));
      QCOMPARE(accessibleName(dialog->findChild<QPushButton*>(QStringLiteral("DiscardButton"))),
               QStringLiteral("Discard"));
      recover->click();
    });
    Window w;
    QTRY_VERIFY(seen);
    QTRY_COMPARE(w.main->windowTitle(), QStringLiteral("lost.lbl*"));
    QVERIFY(w.main->editor().modified());
    QVERIFY(w.action("MSave")->isEnabled());
    QCOMPARE(int(w.project().frameCount), 2);
    QCOMPARE(QString::fromStdString(w.project().frame(2).text[0].str()), QStringLiteral("Not lost"));
    QCOMPARE(QString::fromStdString(w.project().fileName.str()), path);
    QCOMPARE(fileBytes(path), saved);
    // The work is this editor's now: its own copy stands in for the dead editor's.
    const QStringList files = filesInFolder();
    QVERIFY2(!files.join(' ').contains(QStringLiteral("zefra-4242-1")), qPrintable(files.join(' ')));
    QVERIFY(autosave(w)->store().hasCopy());

    // Save writes where the user meant.
    w.trigger("MSave");
    QCOMPARE(w.main->windowTitle(), QStringLiteral("lost.lbl"));
    auto back = std::make_unique<model::LabelProject>();
    io::readLblFile(path.toStdString(), *back);
    QCOMPARE(int(back->frameCount), 2);
    QCOMPARE(QString::fromStdString(back->frame(2).text[0].str()), QStringLiteral("Not lost"));
    QCOMPARE(filesInFolder(), QStringList());
  }

  // Discard removes one copy; closing the dialog keeps the rest for the next start, and a
  // project named on the command line then opens as asked.
  void discardAndLaterKeepTheRestAndTheNamedProjectOpens() {
    QVERIFY(!leaveCopyOfDeadEditor(QStringLiteral("older.lbl"), "zefra-10-1", 1000).isEmpty());
    QVERIFY(!leaveCopyOfDeadEditor(QStringLiteral("newer.lbl"), "zefra-11-1", 2000).isEmpty());
    const QString named = work.filePath(QStringLiteral("named.lbl"));
    {
      editor::Editor e("/nowhere/", 96);
      QVERIFY(e.saveAs(named.toStdString()).ok);
    }
    QStringList offered;
    onNextRecoveryDialog([&](RecoveryDialog* dialog) {
      auto* list = dialog->findChild<QListWidget*>(QStringLiteral("RecoveryList"));
      for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text().section(' ', 0, 0);
      QCOMPARE(list->currentRow(), 0);
      dialog->findChild<QPushButton*>(QStringLiteral("DiscardButton"))->click();
      QCOMPARE(list->count(), 1);
      QVERIFY(dialog->isVisible());
      dialog->reject();
    });
    {
      Window w({named});
      QTRY_COMPARE(w.main->windowTitle(), QStringLiteral("named.lbl"));
      QCOMPARE(offered, (QStringList{"newer.lbl", "older.lbl"}));
      QVERIFY(!w.main->editor().modified());
      QCOMPARE(filesInFolder(), (QStringList{"zefra-10-1.info", "zefra-10-1.lbl", "zefra-10-1.lock"}));
    }
    offered.clear();
    onNextRecoveryDialog([&](RecoveryDialog* dialog) {
      auto* list = dialog->findChild<QListWidget*>(QStringLiteral("RecoveryList"));
      for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text().section(' ', 0, 0);
      dialog->findChild<QPushButton*>(QStringLiteral("DiscardButton"))->click();
    });
    Window again;
    QTRY_COMPARE(offered, QStringList{"older.lbl"});
    QTRY_COMPARE(filesInFolder(), QStringList());
    QCOMPARE(again.main->windowTitle(), QStringLiteral("untitled.lbl"));
  }

  // Two editors at once keep a copy each, and neither offers the other's.
  void twoRunningEditorsKeepSeparateCopies() {
    int dialogs = 0;
    auto* watch = new QTimer(this);
    watch->setInterval(10);
    connect(watch, &QTimer::timeout, this, [&dialogs] {
      if (auto* dialog = qobject_cast<RecoveryDialog*>(QApplication::activeModalWidget())) {
        ++dialogs;
        dialog->reject();
      }
    });
    watch->start();
    Window first;
    first.colourCurrentFrame(kGreen);
    autosave(first)->update();
    Window second;
    QTest::qWait(100);
    second.colourCurrentFrame(rgb(1, 2, 3));
    autosave(second)->update();
    QCOMPARE(dialogs, 0);
    QVERIFY(autosave(first)->store().projectPath() != autosave(second)->store().projectPath());
    QCOMPARE(filesInFolder().filter(QStringLiteral(".lbl")).size(), 2);
    watch->stop();
    first.main->session().discardChanges();
    second.main->session().discardChanges();
  }
};

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
