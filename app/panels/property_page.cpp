#include "panels/property_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>

#include "raster/system_colors.h"
#include "session/editor_session.h"
#include "widgets/bounded_spin_box.h"
#include "widgets/color_button.h"

namespace zefra::app {

namespace {

QString controlName(editor::Field field) {
  const std::string_view name = editor::fieldEntry(field).control;
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

QString PropertyPage::captionName(QString text) {
  text.remove(QLatin1Char('&'));
  while (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char(' '))) text.chop(1);
  return text;
}

PropertyPage::PropertyPage(EditorSession& session, PanelDialogs& dialogs, QWidget* parent)
    : QWidget(parent), session(session), dialogs(dialogs) {
  connect(&session, &EditorSession::changed, this, [this] { fill(); });
  connect(&session, &EditorSession::lockFramesChanged, this, &PropertyPage::showLockFrames);
}

QSpinBox* PropertyPage::bindSpin(editor::Field field, const QString& hint) {
  auto* spin = new BoundedSpinBox(this);
  spin->setObjectName(controlName(field));
  spin->setToolTip(hint);
  spin->setAccessibleDescription(hint);
  spin->setAccelerated(true);
  connect(spin, &QSpinBox::valueChanged, this, [this, field](int value) { session.setField(field, value); });
  // A run of arrow clicks or typing in one spin is one undo step; leaving it ends the run.
  connect(spin, &QSpinBox::editingFinished, this, [this] { session.closeMerge(); });
  spin->installEventFilter(this);
  bindings.push_back({field, spin});
  return spin;
}

QComboBox* PropertyPage::bindChoice(editor::Field field, const QString& hint) {
  auto* list = new QComboBox(this);
  list->setObjectName(controlName(field));
  list->setToolTip(hint);
  list->setAccessibleName(hint);
  for (std::string_view option : editor::fieldEntry(field).options)
    list->addItem(QString::fromLatin1(option.data(), static_cast<qsizetype>(option.size())));
  connect(list, &QComboBox::currentIndexChanged, this, [this, field](int index) {
    if (index >= 0) session.setField(field, index);
  });
  bindings.push_back({field, list});
  return list;
}

QCheckBox* PropertyPage::bindFlag(editor::Field field, const QString& text, const QString& hint) {
  auto* box = new QCheckBox(text, this);
  box->setObjectName(controlName(field));
  if (!hint.isEmpty()) box->setToolTip(hint);
  connect(box, &QCheckBox::toggled, this, [this, field](bool on) { session.setField(field, on ? 1 : 0); });
  bindings.push_back({field, box});
  return box;
}

ColorButton* PropertyPage::bindColor(editor::Field field, const QString& hint) {
  auto* button = new ColorButton(this);
  button->setObjectName(controlName(field));
  button->setToolTip(hint);
  connect(button, &QPushButton::clicked, this, [this, field] {
    const auto current = static_cast<Color>(editor::fieldNumber(session.project(), field));
    const auto chosen = dialogs.chooseColor(this, current);
    // OK on the colour already there is no edit, even when the field holds a system colour
    // and the dialog answers its RGB value: with Lock Frames off it would otherwise copy this
    // frame's colour over every other frame's, and mark an untouched project modified.
    if (chosen && raster::resolveColor(*chosen) != raster::resolveColor(current))
      session.setField(field, static_cast<long>(*chosen));
  });
  bindings.push_back({field, button});
  return button;
}

QLabel* PropertyPage::caption(const char* name, const QString& text, QWidget* buddy, bool perFrame) {
  auto* label = new QLabel(text, this);
  label->setObjectName(QLatin1String(name));
  if (buddy) label->setBuddy(buddy);
  // A colour button has no text of its own: a screen reader names it by its caption
  // ("Frame Color") and reads the colour from its description.
  if (qobject_cast<ColorButton*>(buddy)) buddy->setAccessibleName(captionName(text));
  if (perFrame) perFrameCaptions.push_back(label);
  return label;
}

QGroupBox* PropertyPage::group(const char* name, const QString& title) {
  auto* box = new QGroupBox(title, this);
  box->setObjectName(QLatin1String(name));
  box->setAccessibleName(title);
  return box;
}

void PropertyPage::switchControls(const std::vector<QWidget*>& controls, bool on) {
  for (QWidget* w : controls) {
    w->setEnabled(on);
    if (auto* button = qobject_cast<ColorButton*>(w)) button->setShowsColor(on);
  }
}

void PropertyPage::markPerFrame(QWidget* widget) { perFrameCaptions.push_back(widget); }

editor::RangeContext PropertyPage::rangeContext() const {
  editor::RangeContext context;
  if (const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen()) {
    context.screenWidth = shown->geometry().width();
    context.screenHeight = shown->geometry().height();
  }
  if (const QWidget* area = window()->findChild<QWidget*>(QStringLiteral("Panel1"))) {
    context.workAreaWidth = area->width();
    context.workAreaHeight = area->height();
  }
  return context;
}

bool PropertyPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && qobject_cast<QSpinBox*>(watched)) session.closeMerge();
  return QWidget::eventFilter(watched, event);
}

void PropertyPage::fill() {
  for (const Binding& binding : bindings) fillBinding(binding);
  fillPage();
  showLockFrames(session.project().lockFrames);
}

void PropertyPage::fillBinding(const Binding& binding) {
  const model::LabelProject& project = session.project();
  const long value = editor::fieldNumber(project, binding.field);
  const QSignalBlocker blocker(binding.control);
  if (auto* spin = qobject_cast<QSpinBox*>(binding.control)) {
    // Ranges first: a value outside the old range would be cut to it.
    const editor::FieldRange range = editor::fieldRange(binding.field, project.current(), rangeContext());
    spin->setRange(static_cast<int>(range.minimum), static_cast<int>(range.maximum));
    if (spin->value() != value) spin->setValue(static_cast<int>(value));
  } else if (auto* list = qobject_cast<QComboBox*>(binding.control)) {
    list->setCurrentIndex(static_cast<int>(value));
  } else if (auto* box = qobject_cast<QCheckBox*>(binding.control)) {
    box->setChecked(value != 0);
  } else if (auto* button = qobject_cast<ColorButton*>(binding.control)) {
    button->setColor(static_cast<Color>(value));
  }
}

void PropertyPage::showLockFrames(bool locked) {
  for (QWidget* widget : perFrameCaptions) {
    if (locked) {
      // Disabled captions keep the grey that says they are disabled.
      QPalette red = widget->palette();
      for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        red.setColor(g, QPalette::WindowText, Qt::red);
        red.setColor(g, QPalette::ButtonText, Qt::red);
      }
      widget->setPalette(red);
    } else {
      widget->setPalette(QPalette());
    }
  }
}

}  // namespace zefra::app
