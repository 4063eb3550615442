#include "dialogs/banner_size_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <functional>

#include "model/frame_record.h"

namespace zefra::app {
namespace {

// The chosen size as a rectangle of the same proportions, fitted into the widget.
class ProportionDrawing : public QWidget {
 public:
  ProportionDrawing(std::function<QSize()> chosen, QWidget* parent) : QWidget(parent), chosen(std::move(chosen)) {
    setFixedSize(130, 130);
    setAccessibleName(tr("Proportions"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QSize banner = chosen();
    if (banner.isEmpty()) return;
    const QSize room = this->size() - QSize(10, 10);
    const QSize shown = banner.scaled(room, Qt::KeepAspectRatio).expandedTo(QSize(2, 2));
    const QRect box(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
    painter.fillRect(box, palette().color(QPalette::Highlight));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
  }

 private:
  std::function<QSize()> chosen;
};

struct AnchorPlace {
  editor::Anchor anchor;
  const char* name;
  const char* arrow;
};
constexpr AnchorPlace kAnchorPlaces[] = {
    {editor::Anchor::TopLeft, QT_TRANSLATE_NOOP("BannerSizeDialog", "Top left"), "\u2196"},
    {editor::Anchor::Top, QT_TRANSLATE_NOOP("BannerSizeDialog", "Top"), "\u2191"},
    {editor::Anchor::TopRight, QT_TRANSLATE_NOOP("BannerSizeDialog", "Top right"), "\u2197"},
    {editor::Anchor::Left, QT_TRANSLATE_NOOP("BannerSizeDialog", "Left"), "\u2190"},
    {editor::Anchor::Center, QT_TRANSLATE_NOOP("BannerSizeDialog", "Centre"), "\u25CF"},
    {editor::Anchor::Right, QT_TRANSLATE_NOOP("BannerSizeDialog", "Right"), "\u2192"},
    {editor::Anchor::BottomLeft, QT_TRANSLATE_NOOP("BannerSizeDialog", "Bottom left"), "\u2199"},
    {editor::Anchor::Bottom, QT_TRANSLATE_NOOP("BannerSizeDialog", "Bottom"), "\u2193"},
    {editor::Anchor::BottomRight, QT_TRANSLATE_NOOP("BannerSizeDialog", "Bottom right"), "\u2198"},
};

}  // namespace

BannerSizeDialog::BannerSizeDialog(Purpose purpose, int width, int height, QWidget* parent) : QDialog(parent) {
  const bool resizing = purpose == Purpose::Resize;
  setObjectName(resizing ? QStringLiteral("ResizeBannerDialog") : QStringLiteral("NewBannerDialog"));
  setWindowTitle(resizing ? tr("Resize Banner") : tr("New Banner"));

  auto* sizeLabel = new QLabel(tr("&Size:"), this);
  sizes = new QListWidget(this);
  sizes->setObjectName(QStringLiteral("BannerSizes"));
  sizes->setToolTip(tr("The standard ad slot sizes, or Custom for a size of your own"));
  for (const editor::BannerSize& size : editor::standardBannerSizes()) {
    auto* item = new QListWidgetItem(QString::fromStdString(editor::bannerSizeText(size)), sizes);
    item->setData(Qt::UserRole, QSize(size.width, size.height));
  }
  new QListWidgetItem(tr("Custom"), sizes);
  sizes->setMinimumWidth(sizes->sizeHintForColumn(0) + 30);
  sizes->setMinimumHeight(sizes->sizeHintForRow(0) * sizes->count() + 2 * sizes->frameWidth() + 4);
  sizeLabel->setBuddy(sizes);

  widthSpin = new QSpinBox(this);
  widthSpin->setObjectName(QStringLiteral("BannerWidth"));
  heightSpin = new QSpinBox(this);
  heightSpin->setObjectName(QStringLiteral("BannerHeight"));
  for (QSpinBox* spin : {widthSpin, heightSpin}) {
    spin->setRange(1, model::kMaxLabelSide);
    spin->setSuffix(tr(" px"));
    connect(spin, &QSpinBox::valueChanged, this, &BannerSizeDialog::onCustomSize);
  }
  widthSpin->setToolTip(tr("Width in pixels"));
  heightSpin->setToolTip(tr("Height in pixels"));
  auto* custom = new QFormLayout;
  auto* widthLabel = new QLabel(tr("&W:"), this);
  widthLabel->setBuddy(widthSpin);
  auto* heightLabel = new QLabel(tr("&H:"), this);
  heightLabel->setBuddy(heightSpin);
  custom->addRow(widthLabel, widthSpin);
  custom->addRow(heightLabel, heightSpin);

  drawing = new ProportionDrawing([this] { return QSize(widthSpin->value(), heightSpin->value()); }, this);
  drawing->setObjectName(QStringLiteral("BannerProportions"));
  drawing->setToolTip(tr("The proportions of the chosen size"));

  auto* side = new QVBoxLayout;
  side->addLayout(custom);
  side->addWidget(drawing, 0, Qt::AlignHCenter);
  side->addStretch(1);

  auto* columns = new QHBoxLayout;
  auto* listColumn = new QVBoxLayout;
  listColumn->addWidget(sizeLabel);
  listColumn->addWidget(sizes);
  columns->addLayout(listColumn, 1);
  columns->addLayout(side);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);

  if (resizing) {
    auto* content = new QGroupBox(tr("Content"), this);
    content->setObjectName(QStringLiteral("BannerContent"));
    scaleButton = new QRadioButton(tr("S&cale content"), content);
    scaleButton->setObjectName(QStringLiteral("ScaleContent"));
    scaleButton->setToolTip(tr("Positions, fonts, shapes, borders and pictures follow the new size"));
    scaleButton->setChecked(true);
    anchorButton = new QRadioButton(tr("&Keep size, anchor:"), content);
    anchorButton->setObjectName(QStringLiteral("KeepSize"));
    anchorButton->setToolTip(tr("Every object keeps its size and moves with the chosen anchor"));
    // The two choices and the nine anchors are separate groups of radio buttons.
    auto* choice = new QButtonGroup(this);
    choice->addButton(scaleButton);
    choice->addButton(anchorButton);
    anchors = new QButtonGroup(this);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    int index = 0;
    for (const AnchorPlace& place : kAnchorPlaces) {
      auto* button = new QRadioButton(QString::fromUtf8(place.arrow), content);
      button->setObjectName(QStringLiteral("Anchor-") + QString::fromUtf8(editor::anchorName(place.anchor).data()));
      button->setAccessibleName(tr(place.name));
      button->setToolTip(tr(place.name));
      button->setChecked(place.anchor == editor::Anchor::Center);
      button->setEnabled(false);
      anchors->addButton(button, static_cast<int>(place.anchor));
      grid->addWidget(button, index / 3, index % 3);
      ++index;
    }
    connect(anchorButton, &QRadioButton::toggled, this, [this](bool on) {
      for (QAbstractButton* b : anchors->buttons()) b->setEnabled(on);
    });
    auto* contentLayout = new QHBoxLayout(content);
    auto* choices = new QVBoxLayout;
    choices->addWidget(scaleButton);
    choices->addWidget(anchorButton);
    choices->addStretch(1);
    contentLayout->addLayout(choices);
    contentLayout->addLayout(grid);
    layout->addWidget(content);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  connect(sizes, &QListWidget::currentRowChanged, this, &BannerSizeDialog::onSizeRow);
  selectSize(width, height);
  sizes->setFocus();
}

void BannerSizeDialog::selectSize(int width, int height) {
  {
    const QSignalBlocker blockWidth(widthSpin);
    const QSignalBlocker blockHeight(heightSpin);
    widthSpin->setValue(width);
    heightSpin->setValue(height);
  }
  onCustomSize();
}

void BannerSizeDialog::onSizeRow(int row) {
  const QListWidgetItem* item = sizes->item(row);
  if (!item) return;
  const QSize size = item->data(Qt::UserRole).toSize();
  if (size.isEmpty()) return;  // Custom: the fields keep what they hold
  const QSignalBlocker blockWidth(widthSpin);
  const QSignalBlocker blockHeight(heightSpin);
  widthSpin->setValue(size.width());
  heightSpin->setValue(size.height());
  drawing->update();
}

void BannerSizeDialog::onCustomSize() {
  // A typed size that is a standard one selects it; any other selects Custom.
  const QSize typed(widthSpin->value(), heightSpin->value());
  int row = sizes->count() - 1;
  for (int i = 0; i < sizes->count() - 1; ++i)
    if (sizes->item(i)->data(Qt::UserRole).toSize() == typed) row = i;
  const QSignalBlocker block(sizes);
  sizes->setCurrentRow(row);
  drawing->update();
}

int BannerSizeDialog::chosenWidth() const { return widthSpin->value(); }
int BannerSizeDialog::chosenHeight() const { return heightSpin->value(); }

std::optional<editor::Anchor> BannerSizeDialog::chosenAnchor() const {
  if (!anchorButton || !anchorButton->isChecked()) return std::nullopt;
  return static_cast<editor::Anchor>(anchors->checkedId());
}

}  // namespace zefra::app
