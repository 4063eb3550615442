// The four property pages driven through their real widgets in the real window: names,
// captions and hints; typing, spins, lists, check boxes and colour buttons writing the
// project through the core; enabling of groups; Lock Frames captions; the font, picture
// and texture flows; and undo/redo through the Edit menu.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include "dialogs/font_dialog.h"
#include "editor/field_table.h"
#include "panels/gif_properties_page.h"
#include "widgets/color_button.h"
#include "window_driver.h"

namespace zefra::app {

class PropertyPagesTest : public QObject {
  Q_OBJECT

  QTemporaryDir settingsDir;

  template <typename T>
  static T* child(const Window& w, const char* name) {
    T* found = w.main->findChild<T*>(QLatin1String(name));
    if (!found) qWarning("no control %s", name);
    return found;
  }
  static QImage canvasImage(const Window& w) { return w.main->canvas()->image(); }
  static void showPage(Window& w, int index) { w.main->findChild<QTabWidget*>("PControl1")->setCurrentIndex(index); }
  static bool isRed(QWidget* widget) {
    return widget->palette().color(QPalette::Active, QPalette::WindowText) == QColor(Qt::red);
  }

 private Q_SLOTS:
  void initTestCase() { isolateSettings(settingsDir); }

  void everyFieldHasItsControlCaptionAndHint() {
    Window w;
    for (const editor::FieldEntry& entry : editor::fieldTable()) {
      const QString name = QString::fromLatin1(entry.control.data(), static_cast<qsizetype>(entry.control.size()));
      QWidget* control = w.main->findChild<QWidget*>(name);
      QVERIFY2(control, qPrintable(name));
      if (!qobject_cast<QRadioButton*>(control) && !qobject_cast<QCheckBox*>(control) &&
          !qobject_cast<QPushButton*>(control) && !name.startsWith("CW") && !name.startsWith("CH") &&
          !name.startsWith("CD") && name != "ETxt") {
        QVERIFY2(!control->toolTip().isEmpty(), qPrintable(name + " has no hint"));
      }
    }
    // Captions name their controls.
    const std::pair<const char*, const char*> buddies[] = {
        {"L1", "CWidth"}, {"L2", "CHeight"}, {"L5", "CDelay"}, {"L4", "RZPanelFrBack"}, {"L23", "SE9"},
        {"L28", "SE10"}, {"L30", "SE11"}, {"L34", "RzShapeCL"}, {"L9", "SE3"}, {"L17", "SE7"}, {"L16", "RzBorder"},
        {"L13", "RzTGR1"}};
    for (const auto& [label, control] : buddies) {
      QLabel* caption = child<QLabel>(w, label);
      QVERIFY2(caption && caption->buddy() == child<QWidget>(w, control), label);
    }
    QCOMPARE(child<QLabel>(w, "L4")->text(), QString("Frame Color:"));
    QCOMPARE(child<QWidget>(w, "CWidth")->toolTip(), QString("Width, pixels"));
    QCOMPARE(child<QWidget>(w, "SE7")->toolTip(), QString("Direction from where you look at the text"));
    QCOMPARE(child<QGroupBox>(w, "GroupBorders")->accessibleName(), QString("Borders"));
    QCOMPARE(w.main->page(3)->accessibleName(), QString("GIF Properties"));
    QCOMPARE(child<QPushButton>(w, "RzB5")->text(), QString("Load Picture..."));
    QCOMPARE(child<QCheckBox>(w, "ChBox4")->text(), QString("Transparent GIF"));
    QCOMPARE(child<QComboBox>(w, "CBox7")->itemText(9), QString("Shape 10: (empty)"));
    QCOMPARE(child<QComboBox>(w, "CBox3")->itemText(0), QString("Text String 1: (empty)"));
    QCOMPARE(child<QComboBox>(w, "CBox8")->itemText(2), QString("RndRectangle"));
  }

  void typingTextRedrawsMarksModifiedAndIsOneUndoStep() {
    Window w;
    w.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
    showPage(w, 2);
    QLineEdit* text = child<QLineEdit>(w, "ETxt");
    QCOMPARE(text->text(), QString::fromStdString(w.project().current().text[0].str()));
    const QImage before = canvasImage(w);
    text->setFocus();
    text->selectAll();
    QTest::keyClicks(text, "Zefra ");
    for (const QString& letter : {QString(QChar(0xE9)), QString("t"), QString(QChar(0xE9))}) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, letter);
      QApplication::sendEvent(text, &press);
    }
    QCOMPARE(w.project().current().text[0].view(), std::string_view("Zefra \xe9t\xe9"));  // one byte per letter
    QVERIFY(w.main->editor().modified());
    QVERIFY(canvasImage(w) != before);
    QCOMPARE(text->text(), QString("Zefra \u00e9t\u00e9"));
    QTest::keyClick(text, Qt::Key_Tab);  // leaving ends the run of typing

    QAction* undo = w.action("MUndo");
    QCOMPARE(undo->text(), QString("&Undo Text"));
    undo->trigger();
    QCOMPARE(text->text(), QString::fromStdString(w.project().current().text[0].str()));
    QVERIFY(!w.main->editor().canUndo());  // the whole run was one step
    QCOMPARE(canvasImage(w), before);
  }

  void spinRangesAndComputedMaxima() {
    Window w;
    QCOMPARE(child<QSpinBox>(w, "SE8")->minimum(), 1);
    QCOMPARE(child<QSpinBox>(w, "SE8")->maximum(), 72);
    QCOMPARE(child<QSpinBox>(w, "SE5")->maximum(), 20);
    QCOMPARE(child<QSpinBox>(w, "SE6")->maximum(), 255);
    QCOMPARE(child<QSpinBox>(w, "SE7")->maximum(), 360);
    QCOMPARE(child<QSpinBox>(w, "SE15")->minimum(), 1);
    QCOMPARE(child<QSpinBox>(w, "SE15")->maximum(), 20);

    child<QCheckBox>(w, "ChBox3")->setChecked(true);
    child<QComboBox>(w, "CBox4")->setCurrentIndex(1);  // Inset
    child<QComboBox>(w, "CBox5")->setCurrentIndex(2);  // Raised
    child<QSpinBox>(w, "SE10")->setValue(0);
    child<QSpinBox>(w, "SE9")->setValue(5);
    QCOMPARE(w.project().current().bevelWidth, 5);
    QCOMPARE(child<QSpinBox>(w, "SE10")->maximum(), 20);  // (60 - 2 * 2 * 5) / 2 on 468 x 60
    child<QSpinBox>(w, "SE10")->setValue(50);
    QCOMPARE(child<QSpinBox>(w, "SE10")->value(), 20);
    QCOMPARE(w.project().current().borderWidth, 20);
  }

  void groupsFollowTheirSwitches() {
    Window w;
    auto* bordersOn = child<QCheckBox>(w, "ChBox3");
    bordersOn->setChecked(false);
    QVERIFY(!child<QWidget>(w, "CBox4")->isEnabled());
    QVERIFY(!child<ColorButton>(w, "RzH")->showsColor());
    QVERIFY(!child<QLabel>(w, "L23")->isEnabled());
    bordersOn->setChecked(true);
    QCOMPARE(w.project().current().bordersOn, 1);
    QVERIFY(child<QWidget>(w, "CBox4")->isEnabled());
    QVERIFY(child<ColorButton>(w, "RzH")->showsColor());

    child<QCheckBox>(w, "ChBox1")->setChecked(false);
    QVERIFY(!child<QWidget>(w, "RZGR1")->isEnabled());
    child<QCheckBox>(w, "ChBox1")->setChecked(true);
    QVERIFY(child<QWidget>(w, "RZGR1")->isEnabled());

    // Shape controls follow the style of the selected slot.
    child<QComboBox>(w, "CBox8")->setCurrentIndex(0);
    QVERIFY(!child<QWidget>(w, "SE11")->isEnabled());
    child<QComboBox>(w, "CBox8")->setCurrentIndex(1);
    QVERIFY(child<QWidget>(w, "SE11")->isEnabled());
    QCOMPARE(w.project().current().shapeStyle[0], 1);

    // Colour counts are for the Windows palette only; the transparent colour for a
    // transparent GIF only.
    child<QRadioButton>(w, "RB2")->click();
    QCOMPARE(w.project().settings.paletteKind, 1);
    QVERIFY(!child<QWidget>(w, "RB5")->isEnabled());
    child<QRadioButton>(w, "RB1")->click();
    QVERIFY(child<QWidget>(w, "RB5")->isEnabled());
    child<QRadioButton>(w, "RB7")->click();
    QCOMPARE(w.project().settings.colorCountIndex, 3);
    child<QRadioButton>(w, "RB10")->click();
    QCOMPARE(w.project().settings.colorCountIndex, 0);
    QVERIFY(!child<QWidget>(w, "RzTransp")->isEnabled());
    QSignalSpy rebuilds(w.main->propertyPages().gifProperties, &GifPropertiesPage::exportSettingsChanged);
    child<QCheckBox>(w, "ChBox4")->click();
    QVERIFY(child<QWidget>(w, "RzTransp")->isEnabled());
    QCOMPARE(w.project().settings.transparent, 1);
    child<QCheckBox>(w, "ChBox5")->click();
    QVERIFY(!w.main->propertyPages().gifProperties->loop());
    QCOMPARE(rebuilds.count(), 2);
  }

  void colourButtonsAndLockFrames() {
    Window w;
    w.trigger("MInsert");
    w.trigger("MInsert");
    w.trigger("MPrevious");  // frame 2 of 3
    QVERIFY(w.project().lockFrames);
    const Color frame1 = w.project().frame(1).frameColor;
    w.prompts->colors.push_back(rgb(1, 2, 3));
    child<QPushButton>(w, "RZPanelFrBack")->click();
    QCOMPARE(w.prompts->lastColorOffered, std::optional<Color>(frame1));
    QCOMPARE(w.project().frame(2).frameColor, rgb(1, 2, 3));
    QCOMPARE(w.project().frame(1).frameColor, frame1);
    QCOMPARE(child<ColorButton>(w, "RZPanelFrBack")->color(), rgb(1, 2, 3));

    // The web-site colour reaches every frame even when locked.
    w.prompts->colors.push_back(rgb(9, 9, 9));
    child<QPushButton>(w, "RZPanelWebSite")->click();
    for (int k = 1; k <= 3; ++k) QCOMPARE(w.project().frame(k).webSiteColor, rgb(9, 9, 9));

    // A cancelled dialog changes nothing and records no step.
    const std::string label = w.main->editor().undoLabel();
    child<QPushButton>(w, "RZPanelFrBack")->click();  // no answer queued: cancelled
    QCOMPARE(w.main->editor().undoLabel(), label);

    // Per-frame captions are red while Lock Frames is on.
    QVERIFY(isRed(child<QLabel>(w, "L4")));
    QVERIFY(!isRed(child<QLabel>(w, "L1")));
    QVERIFY(!isRed(child<QLabel>(w, "L3")));
    w.trigger("MLock");
    QVERIFY(!w.project().lockFrames);
    QVERIFY(!isRed(child<QLabel>(w, "L4")));
    w.prompts->colors.push_back(rgb(7, 7, 7));
    child<QPushButton>(w, "RZPanelFrBack")->click();
    for (int k = 1; k <= 3; ++k) QCOMPARE(w.project().frame(k).frameColor, rgb(7, 7, 7));

    // The border colour brings its bevel colours.
    child<QCheckBox>(w, "ChBox3")->setChecked(true);
    w.prompts->colors.push_back(rgb(255, 0, 0));
    child<QPushButton>(w, "RzBorderCL")->click();
    QCOMPARE(w.project().current().highlightColor, rgb(255, 171, 171));
    QCOMPARE(child<ColorButton>(w, "RzS")->color(), rgb(168, 0, 0));
  }

  void sizeAndDelayFields() {
    Window w;
    // The field being typed in keeps its text: that needs the focus, so an active window.
    w.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
    w.trigger("MInsert");
    auto* width = child<QLineEdit>(w, "CWidth");
    width->setFocus();
    width->selectAll();
    QTest::keyClicks(width, "3x0-0");  // only digits get through
    QCOMPARE(width->text(), QString("300"));
    QCOMPARE(w.project().frame(1).width, 300);
    QCOMPARE(w.project().frame(2).width, 300);

    auto* delay = child<QLineEdit>(w, "CDelay");
    delay->setFocus();
    delay->selectAll();
    QTest::keyClicks(delay, "10");
    QCOMPARE(w.project().current().delayMs, 30);
    QCOMPARE(delay->text(), QString("10"));  // the user's text stays while typing
    QTest::keyClick(delay, Qt::Key_Tab);
    QCOMPARE(delay->text(), QString("30"));

    auto* height = child<QLineEdit>(w, "CHeight");
    height->setFocus();
    height->selectAll();
    QTest::keyClick(height, Qt::Key_Backspace);
    QTest::keyClick(height, Qt::Key_Tab);
    QCOMPARE(height->text(), QString("1"));
    QCOMPARE(w.project().current().height, 1);

    // Wider than the desktop can show: refused with the message, nothing stored.
    width->setFocus();
    width->selectAll();
    QTest::keyClicks(width, "99999");
    // Each digit that makes the width too large is refused as it is typed.
    QVERIFY(!w.log.errors.isEmpty());
    for (const QString& error : w.log.errors)
      QVERIFY2(error.startsWith("Zefra|Invalid label width. Valid values 1 to "), qPrintable(error));
    QVERIFY(w.project().current().width < 9999);
    QCOMPARE(width->text(), QString("99999"));  // the field keeps the text
  }

  void fontPictureAndTextureFlows() {
    Window w;
    editor::FontChoice font;
    font.name = "DejaVu Serif";
    font.size = 30;
    font.color = rgb(10, 20, 30);
    font.bold = true;
    font.strikeOut = true;
    w.prompts->fonts.push_back(font);
    child<QPushButton>(w, "RZB1")->click();
    const model::FrameRecord& r = w.project().current();
    QCOMPARE(r.fontName[0].str(), std::string("DejaVu Serif"));
    QCOMPARE(r.fontSize[0], 30);
    QCOMPARE(r.fontColor[0], rgb(10, 20, 30));
    QCOMPARE(r.fontBold[0], 1);
    QCOMPARE(r.fontItalic[0], 0);
    QCOMPARE(r.fontStrikeOut[0], 1);
    QCOMPARE(child<QSpinBox>(w, "SE8")->value(), 30);
    QCOMPARE(child<ColorButton>(w, "RzFont")->color(), rgb(10, 20, 30));

    // Pictures: the dialog starts in the program folder for an empty slot.
    QCOMPARE(child<QLabel>(w, "L8")->text(), QString("No picture"));
    QVERIFY(!child<QWidget>(w, "RzB6")->isEnabled());
    w.prompts->picturePaths.push_back("/somewhere/pictures/logo.bmp");
    child<QPushButton>(w, "RzB5")->click();
    QCOMPARE(w.prompts->lastPictureDirectory, QString::fromStdString(w.project().appDir));
    QCOMPARE(w.project().current().pictureFile[0].str(), std::string("/somewhere/pictures/logo.bmp"));
    QCOMPARE(child<QLabel>(w, "L8")->text(), QString("logo.bmp"));
    QVERIFY(child<QWidget>(w, "RzB6")->isEnabled());
    QVERIFY(child<QWidget>(w, "RzB7")->isEnabled());
    // The next time it starts beside the picture, with its name.
    child<QPushButton>(w, "RzB5")->click();  // cancelled
    QCOMPARE(w.prompts->lastPictureDirectory, QString("/somewhere/pictures"));
    QCOMPARE(w.prompts->lastPictureName, QString("logo.bmp"));
    QCOMPARE(w.project().current().pictureFile[0].str(), std::string("/somewhere/pictures/logo.bmp"));
    // A bare name found beside the saved project, not in the program folder: the dialog
    // starts beside the project, with the name.
    QTemporaryDir beside;
    QVERIFY(QFile::copy(QStringLiteral(ZEFRA_SOURCE_DIR "/demo/zefra-logo.bmp"), beside.filePath("beside-logo.bmp")));
    w.saveAs(beside.filePath("p.lbl"));
    w.main->session().setField(editor::Field::PictureFile, QStringLiteral("beside-logo.bmp"));
    child<QPushButton>(w, "RzB5")->click();  // cancelled
    QCOMPARE(w.prompts->lastPictureDirectory, QFileInfo(beside.path()).absoluteFilePath());
    QCOMPARE(w.prompts->lastPictureName, QString("beside-logo.bmp"));
    child<QPushButton>(w, "RzB6")->click();
    QVERIFY(w.project().current().pictureFile[0].empty());
    QCOMPARE(child<QLabel>(w, "L8")->text(), QString("No picture"));

    // Textures start in the Textures folder.
    w.prompts->texturePaths.push_back("/t/stone.bmp");
    child<QPushButton>(w, "RzB2")->click();
    QVERIFY(w.prompts->lastTextureDirectory.endsWith("Textures"));
    QCOMPARE(child<QLabel>(w, "L20")->text(), QString("stone.bmp"));
    child<QPushButton>(w, "RzB3")->click();
    QCOMPARE(child<QLabel>(w, "L20")->text(), QString("No texture"));
    QVERIFY(!child<QWidget>(w, "RzB3")->isEnabled());
  }

  void slotListsSeedNewLayers() {
    Window w;
    w.main->session().setField(editor::Field::Text, QString("Hello"));
    QComboBox* texts = child<QComboBox>(w, "CBox3");
    texts->setCurrentIndex(1);
    QCOMPARE(w.project().currentText, 2);
    QCOMPARE(w.project().current().text[1].str(), std::string("text"));
    QCOMPARE(child<QLineEdit>(w, "ETxt")->text(), QString("text"));
    child<QComboBox>(w, "CBox6")->setCurrentIndex(4);
    QCOMPARE(w.project().currentPicture, 5);
  }

  void undoAndRedoThroughTheMenu() {
    Window w;
    QAction* undo = w.action("MUndo");
    QAction* redo = w.action("MRedo");
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));

    const Color before = w.project().current().frameColor;
    w.prompts->colors.push_back(rgb(5, 5, 5));
    child<QPushButton>(w, "RZPanelFrBack")->click();
    QVERIFY(undo->isEnabled());
    QCOMPARE(undo->text(), QString("&Undo Frame Color"));
    undo->trigger();
    QCOMPARE(w.project().current().frameColor, before);
    QCOMPARE(child<ColorButton>(w, "RZPanelFrBack")->color(), before);
    QVERIFY(!undo->isEnabled());
    QCOMPARE(redo->text(), QString("&Redo Frame Color"));
    redo->trigger();
    QCOMPARE(w.project().current().frameColor, rgb(5, 5, 5));

    // A drag of a spin is one step; letting go of the mouse ends it.
    auto* angle = child<QSpinBox>(w, "SE7");
    const int angleBefore = angle->value();
    angle->stepUp();
    angle->stepUp();
    angle->stepUp();
    QTest::mouseRelease(angle, Qt::LeftButton);
    QCOMPARE(w.project().current().viewAngle[0], angleBefore + 3);
    angle->stepUp();
    QTest::mouseRelease(angle, Qt::LeftButton);
    undo->trigger();
    QCOMPARE(w.project().current().viewAngle[0], angleBefore + 3);
    QCOMPARE(undo->text(), QString("&Undo View Angle"));
    undo->trigger();
    QCOMPARE(w.project().current().viewAngle[0], angleBefore);

    // Frame commands are steps too.
    w.trigger("MInsert");
    QCOMPARE(undo->text(), QString("&Undo Insert Frame"));
    undo->trigger();
    QCOMPARE(w.project().frameCount, 1);
    QCOMPARE(w.pane("RzPane2"), QString("Frame 1 of 1"));
  }

  void fontDialogShowsTheChoiceAndTheColour() {
    int colourAsked = 0;
    FontDialog dialog([&](QWidget*, Color) -> std::optional<Color> {
      ++colourAsked;
      return rgb(1, 1, 1);
    });
    editor::FontChoice font;
    font.name = "DejaVu Sans";
    font.size = 18;
    font.color = rgb(200, 0, 0);
    font.italic = true;
    font.underline = true;
    dialog.setChoice(font);
    QVERIFY(dialog.fontChooser()->testOption(QFontDialog::ScalableFonts));
    editor::FontChoice back = dialog.choice();
    QCOMPARE(back.size, 18);
    QVERIFY(back.italic);
    QVERIFY(back.underline);
    QVERIFY(!back.bold);
    QCOMPARE(back.color, rgb(200, 0, 0));
    QCOMPARE(back.name, std::string("DejaVu Sans"));
    // A face the system lacks keeps its name unless another face is picked.
    editor::FontChoice missing = font;
    missing.name = "No Such Face Anywhere";
    dialog.setChoice(missing);
    QCOMPARE(dialog.choice().name, std::string("No Such Face Anywhere"));
    dialog.setChoice(font);
    dialog.colorButton()->click();
    QCOMPARE(colourAsked, 1);
    QCOMPARE(dialog.choice().color, rgb(1, 1, 1));
  }
};

}  // namespace zefra::app

QTEST_MAIN(zefra::app::PropertyPagesTest)
#include "property_pages_test.moc"
