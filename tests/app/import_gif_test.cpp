// Import GIF in the window: the slow part runs on a worker thread, so the window keeps
// handling events while it runs, shows a progress dialog, and can be cancelled without
// leaving pictures or frames behind.
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <filesystem>

#include "gif/gif_builder.h"
#include "window_driver.h"

using namespace zefra;
using namespace zefra::app;

namespace {

// 60 frames of 400 x 300: long enough to take many timer ticks to import.
QString writeLongGif(const QTemporaryDir& dir) {
  testing::BuiltGif gif;
  gif.width = 400;
  gif.height = 300;
  gif.palette = {{255, 0, 0}, {0, 0, 255}, {0, 160, 0}, {255, 255, 255}};
  for (int k = 0; k < 60; ++k) {
    testing::BuiltFrame frame = testing::solidFrame(0, 0, 400, 300, static_cast<std::uint8_t>(k % 4));
    for (std::size_t i = 0; i < frame.indices.size(); i += 7) frame.indices[i] = static_cast<std::uint8_t>((k + 1) % 4);
    gif.frames.push_back(frame);
  }
  const QString path = dir.filePath(QStringLiteral("long.gif"));
  testing::writeGif(path.toStdString(), gif);
  return path;
}

int bitmapsIn(const QTemporaryDir& dir) {
  return static_cast<int>(QDir(dir.path()).entryList({QStringLiteral("*.bmp")}, QDir::Files).size());
}

}  // namespace

class ImportGifTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir settingsDir;

 private Q_SLOTS:
  void initTestCase() { isolateSettings(settingsDir); }

  void theWindowKeepsHandlingEventsWhileAGifIsImported() {
    Window w;
    QTemporaryDir pictures;
    w.prompts->gifPaths.push_back(writeLongGif(pictures));
    // Ticks seen while the import is under way; a job on the window's own thread would let
    // none through between its start and its end.
    int ticksWhileBusy = 0;
    QTimer ticker;
    ticker.setInterval(2);
    connect(&ticker, &QTimer::timeout, [&] {
      if (w.main->busy()) ++ticksWhileBusy;
    });
    ticker.start();
    w.trigger("MImportGif");
    ticker.stop();
    QCOMPARE(w.project().frameCount, 60);
    QCOMPARE(w.project().frame(1).width, 400);
    QCOMPARE(bitmapsIn(pictures), 60);
    QVERIFY2(ticksWhileBusy >= 3, qPrintable(QString::number(ticksWhileBusy)));
    QVERIFY(!w.main->busy());
  }

  void cancellingTheProgressDialogLeavesNothingBehind() {
    Window w;
    QTemporaryDir pictures;
    w.prompts->gifPaths.push_back(writeLongGif(pictures));
    bool cancelled = false;
    QTimer ticker;
    ticker.setInterval(2);
    connect(&ticker, &QTimer::timeout, [&] {
      auto* progress = w.main->findChild<QProgressDialog*>(QStringLiteral("ImportGifProgress"));
      if (progress && !cancelled && bitmapsIn(pictures) >= 2) {
        // As the user does: the dialog's Cancel button.
        auto* button = progress->findChild<QPushButton*>();
        QVERIFY(button);
        button->click();
        cancelled = true;
      }
    });
    ticker.start();
    w.trigger("MImportGif");
    ticker.stop();
    QVERIFY(cancelled);
    QCOMPARE(w.project().frameCount, 1);
    QCOMPARE(w.project().frame(1).width, 468);
    QCOMPARE(bitmapsIn(pictures), 0);
    QVERIFY(!w.main->busy());
    QVERIFY(w.log.errors.isEmpty());
  }
};

QTEST_MAIN(ImportGifTest)
#include "import_gif_test.moc"
