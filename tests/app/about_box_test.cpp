// The About box and zefra-cli --version show the one version the build defines, and the
// About box states the licence.
#include <QLabel>
#include <QProcess>
#include <QtTest>

#include "dialogs/about_box.h"

using namespace zefra::app;

class AboutBoxTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void showsTheVersionTheCommandLineToolShows() {
    QProcess cli;
    cli.start(QStringLiteral(ZEFRA_CLI_PATH), {QStringLiteral("--version")});
    QVERIFY(cli.waitForFinished(30000));
    const QString line = QString::fromUtf8(cli.readAllStandardOutput()).trimmed();
    QVERIFY2(line.startsWith(QStringLiteral("zefra-cli ")), qPrintable(line));
    const QString version = line.mid(10);
    QVERIFY(!version.isEmpty());

    AboutBox box;
    QString texts;
    for (const QLabel* label : box.findChildren<QLabel*>()) texts += label->text() + '\n';
    QVERIFY2(texts.contains(QStringLiteral("<h2>Zefra ") + version + QStringLiteral("</h2>")), qPrintable(texts));
    QVERIFY2(texts.contains(QStringLiteral("GNU General Public License, version 3 or later")), qPrintable(texts));
  }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
