// The colour dialog and its picker driven through their real widgets: swatches and their
// border states, the "#RRGGBB" field's key filter, typing and pasting, the error for text
// that is not a colour, the picker, and the OK/Cancel protocol.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "dialogs/color_dialog.h"
#include "dialogs/color_picker.h"
#include "raster/system_colors.h"

namespace zefra::app {

class ColorDialogTest : public QObject {
  Q_OBJECT

 private:
  struct Shown {
    ColorDialog dialog;
    QStringList errors;
    QLineEdit* text = nullptr;
    explicit Shown(Color color) {
      dialog.reportError = [this](QWidget*, const QString& message) { errors << message; };
      dialog.setDialogColor(color);
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      dialog.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&dialog));
      text = dialog.findChild<QLineEdit*>("E1");
      QVERIFY(text);
    }
    // Gives the text field the focus with its text selected, as a user clicking into it.
    void focusText() {
      text->setFocus(Qt::MouseFocusReason);
      QTRY_VERIFY(text->hasFocus());
      text->selectAll();
    }
  };

 private Q_SLOTS:
  void layoutAndNames() {
    ColorDialog dialog;
    QCOMPARE(dialog.windowTitle(), QString("Select Color"));
    QCOMPARE(dialog.accessibleName(), QString("Select Color"));
    for (int n = 1; n <= 40; ++n) QVERIFY2(dialog.findChild<QWidget*>(QString("RP%1").arg(n)), qPrintable(QString::number(n)));
    QCOMPARE(dialog.findChild<QPushButton*>("B1")->text().remove('&'), QString("OK"));
    QCOMPARE(dialog.findChild<QPushButton*>("B2")->text().remove('&'), QString("Cancel"));
    QCOMPARE(dialog.findChild<QLineEdit*>("E1")->maxLength(), 7);
    QVERIFY(dialog.findChild<ColorPicker*>("ColorPicker1"));
  }

  void showsTheColourItWasGiven() {
    Shown shown(rgb(255, 136, 34));
    QCOMPARE(shown.text->text(), QString("#FF8822"));
    QCOMPARE(shown.dialog.sampleColor(), rgb(255, 136, 34));
    QCOMPARE(shown.dialog.findChild<ColorPicker*>()->pickColor(), rgb(255, 136, 34));
    QVERIFY(shown.errors.isEmpty());
  }

  void aSystemColourShowsItsValue() {
    const Color window = 0x80000005u;
    Shown shown(window);
    const Color value = raster::resolveColor(window);
    QCOMPARE(shown.dialog.sampleColor(), value);
    QCOMPARE(shown.text->text(), QString::asprintf("#%02X%02X%02X", redOf(value), greenOf(value), blueOf(value)));
    QTest::mouseClick(shown.dialog.findChild<QPushButton*>("B1"), Qt::LeftButton);
    QCOMPARE(shown.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(shown.dialog.dialogColor(), value); // OK gives back the plain RGB value
  }

  void swatchesAndTheirBorders() {
    Shown shown(rgb(0, 0, 0));
    QWidget* swatch18 = shown.dialog.findChild<QWidget*>("RP18");
    QTest::mouseClick(swatch18, Qt::LeftButton);
    QCOMPARE(shown.text->text(), QString("#FF8822"));
    QCOMPARE(shown.dialog.sampleColor(), rgb(255, 136, 34));
    QCOMPARE(shown.dialog.swatchState(18), ColorDialog::SwatchState::Lowered);
    QTest::mouseClick(shown.dialog.findChild<QWidget*>("RP3"), Qt::LeftButton);
    QCOMPARE(shown.dialog.swatchState(3), ColorDialog::SwatchState::Lowered);
    QCOMPARE(shown.dialog.swatchState(18), ColorDialog::SwatchState::Flat);

    // Hover raises a flat swatch and leaving flattens it again; the clicked one stays sunk.
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QEvent leave(QEvent::Leave);
    QWidget* swatch7 = shown.dialog.findChild<QWidget*>("RP7");
    QApplication::sendEvent(swatch7, &enter);
    QCOMPARE(shown.dialog.swatchState(7), ColorDialog::SwatchState::Bump);
    QApplication::sendEvent(swatch7, &leave);
    QCOMPARE(shown.dialog.swatchState(7), ColorDialog::SwatchState::Flat);
    QWidget* swatch3 = shown.dialog.findChild<QWidget*>("RP3");
    QApplication::sendEvent(swatch3, &enter);
    QApplication::sendEvent(swatch3, &leave);
    QCOMPARE(shown.dialog.swatchState(3), ColorDialog::SwatchState::Lowered);

    // Showing the dialog again starts with every swatch flat.
    shown.dialog.hide();
    shown.dialog.show();
    QCOMPARE(shown.dialog.swatchState(3), ColorDialog::SwatchState::Flat);
    QVERIFY(shown.errors.isEmpty());
  }

  void typingAHexColour() {
    Shown shown(rgb(200, 200, 200));
    shown.focusText();
    QTest::keyClick(shown.text, Qt::Key_Backspace);
    QCOMPARE(shown.dialog.sampleColor(), rgb(0, 0, 0)); // an empty text is black
    QTest::keyClicks(shown.text, "#1");
    QCOMPARE(shown.dialog.sampleColor(), rgb(0x10, 0, 0));
    QTest::keyClicks(shown.text, "2");
    QCOMPARE(shown.text->text(), QString("#12"));
    QCOMPARE(shown.dialog.sampleColor(), rgb(0x12, 0, 0));
    QCOMPARE(shown.text->text(), QString("#12")); // the picker does not rewrite the text while typing

    // Small a..f become capitals; anything else that is not hex is dropped.
    QTest::keyClicks(shown.text, "azg-b c");
    QCOMPARE(shown.text->text(), QString("#12ABC"));
    QCOMPARE(shown.dialog.sampleColor(), rgb(0x12, 0xAB, 0xC0));
    QCOMPARE(shown.dialog.findChild<ColorPicker*>()->pickColor(), rgb(0x12, 0xAB, 0xC0));
    QTest::keyClicks(shown.text, "DEF");
    QCOMPARE(shown.text->text(), QString("#12ABCD")); // at most 7 characters
    // Select all works as everywhere; other control keys type nothing.
    QTest::keyClick(shown.text, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(shown.text->selectedText(), QString("#12ABCD"));
    QTest::keyClick(shown.text, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(shown.text->text(), QString("#12ABCD"));
    QTest::keyClicks(shown.text, "#ff8822");
    QCOMPARE(shown.dialog.sampleColor(), rgb(255, 136, 34));
    QVERIFY(shown.errors.isEmpty());
  }

  void pastingTextThatIsNotAColour() {
    Shown shown(rgb(200, 200, 200));
    shown.focusText();
    QApplication::clipboard()->setText("#1#2");
    QTest::keyClick(shown.text, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(shown.text->text(), QString("#1#2"));
    QCOMPARE(shown.errors, QStringList{"#1#2 is not a valid color value. Enter a HEX value (#RRGGBB)."});
    QCOMPARE(shown.dialog.sampleColor(), rgb(0, 0, 0));

    // A valid paste is read like typing.
    shown.errors.clear();
    shown.text->selectAll();
    QApplication::clipboard()->setText("#00FF7F");
    QTest::keyClick(shown.text, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(shown.dialog.sampleColor(), rgb(0, 255, 127));
    QVERIFY(shown.errors.isEmpty());
  }

  void textSetByTheProgramIsNeverAnError() {
    Shown shown(rgb(1, 2, 3));
    // Without the focus even invalid text is not read.
    shown.dialog.findChild<QPushButton*>("B1")->setFocus();
    QTRY_VERIFY(!shown.text->hasFocus());
    shown.text->setText("#XYZ");
    QVERIFY(shown.errors.isEmpty());
    QCOMPARE(shown.dialog.sampleColor(), rgb(1, 2, 3));
    // With the focus, a swatch click and a pick rewrite the text without complaint.
    shown.focusText();
    QTest::mouseClick(shown.dialog.findChild<QWidget*>("RP40"), Qt::LeftButton);
    QCOMPARE(shown.text->text(), QString("#FFFFFF"));
    shown.dialog.findChild<ColorPicker*>()->pickInHueBar(0);
    QVERIFY(shown.errors.isEmpty());
  }

  void pickerChangesSampleAndText() {
    Shown shown(rgb(255, 0, 0));
    auto* picker = shown.dialog.findChild<ColorPicker*>();
    QSignalSpy changes(picker, &ColorPicker::colorChanged);
    picker->pickInField(QPoint(0, 0));  // no saturation, full value: white
    QCOMPARE(shown.dialog.sampleColor(), rgb(255, 255, 255));
    QCOMPARE(shown.text->text(), QString("#FFFFFF"));
    picker->pickInField(QPoint(88, 88));  // no value: black
    QCOMPARE(shown.text->text(), QString("#000000"));
    picker->pickInField(QPoint(88, 0));
    picker->pickInHueBar(44);  // half way round: cyan
    QCOMPARE(shown.text->text(), QString("#00FFFF"));
    QCOMPARE(changes.count(), 4);

    // The red/green/blue edits: digits only, limited to 255.
    auto* red = picker->findChild<QLineEdit*>("PickerRed");
    red->setFocus();
    red->selectAll();
    QTest::keyClicks(red, "3x00");
    QCOMPARE(red->text(), QString("255"));
    QCOMPARE(picker->pickColor(), rgb(255, 255, 255));
    QCOMPARE(shown.text->text(), QString("#FFFFFF"));
    red->selectAll();
    QTest::keyClick(red, Qt::Key_Backspace);
    QTest::keyClick(red, Qt::Key_Tab);
    QCOMPARE(red->text(), QString("0")); // an emptied edit becomes 0 when left
    QCOMPARE(shown.dialog.sampleColor(), rgb(0, 255, 255));

    // Setting the colour from outside raises nothing.
    changes.clear();
    picker->setPickColor(rgb(10, 20, 30));
    QCOMPARE(changes.count(), 0);
    QCOMPARE(red->text(), QString("10"));
  }

  void cancelKeepsTheCallersColour() {
    ColorDialog dialog;
    dialog.setDialogColor(rgb(9, 8, 7));
    QTimer::singleShot(0, &dialog, [&] {
      QTest::mouseClick(dialog.findChild<QWidget*>("RP17"), Qt::LeftButton);
      QCOMPARE(dialog.sampleColor(), rgb(255, 0, 0));
      QTest::mouseClick(dialog.findChild<QPushButton*>("B2"), Qt::LeftButton);
    });
    QVERIFY(!dialog.execute());
    QCOMPARE(dialog.dialogColor(), rgb(9, 8, 7));

    QTimer::singleShot(0, &dialog, [&] {
      QTest::mouseClick(dialog.findChild<QWidget*>("RP17"), Qt::LeftButton);
      QTest::mouseClick(dialog.findChild<QPushButton*>("B1"), Qt::LeftButton);
    });
    QVERIFY(dialog.execute());
    QCOMPARE(dialog.dialogColor(), rgb(255, 0, 0));
  }
};

}  // namespace zefra::app

QTEST_MAIN(zefra::app::ColorDialogTest)
#include "color_dialog_test.moc"
