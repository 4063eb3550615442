#include "preview/preview_wiring.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "export/export_settings.h"
#include "main_window.h"
#include "panels/export_limits_box.h"
#include "preview/gif_size_meter.h"
#include "preview/preview_controller.h"
#include "session/editor_session.h"
#include "widgets/color_button.h"
#include "widgets/frame_view.h"
#include "widgets/palette_panel.h"

namespace zefra::app {

namespace {

// Changes after which the exported GIF may differ: anything but moving between frames or
// choosing another slot in a list.
bool changesTheGif(const editor::Change& change) {
  return change.applied && (change.frames.any() || change.frameCountChanged || change.settingsChanged ||
                            change.projectReplaced);
}

}  // namespace

PreviewWiring::PreviewWiring(MainWindow& mainWindow) : QObject(&mainWindow), window(mainWindow) {
  EditorSession& session = window.session();
  QAction* previewAction = window.findChild<QAction*>(QStringLiteral("MStart"));
  QLabel* statusPane = window.findChild<QLabel*>(QStringLiteral("RzPane1"));
  QWidget* workArea = window.findChild<QWidget*>(QStringLiteral("Panel1"));

  PreviewHost host;
  host.window = &window;
  host.project = [&session]() -> const model::LabelProject& { return session.project(); };
  host.settings = [this] { return exportSettings(); };
  host.workAreaColor = [workArea] { return workArea ? workArea->palette().color(QPalette::Window) : QColor(Qt::gray); };
  host.previewAction = previewAction;
  host.statusPane = statusPane;
  host.statusBar = window.statusBar();
  host.makeTransparent = [&session](Color color) {
    session.apply([color](editor::Editor& e) {
      return e.editSettings("Transparent Color", [color](model::ProjectSettings& s) {
        s.transparentColor = color;
        s.transparent = true;
      });
    });
  };
  host.showPalettePage = [this] {
    if (auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PControl1"))) pages->setCurrentIndex(3);
  };
  host.showTransparentColor = [this](Color color) {
    if (auto* button = window.findChild<ColorButton*>(QStringLiteral("RzTransp"))) button->setColor(color);
  };
  auto* limits = window.findChild<ExportLimitsBox*>(QStringLiteral("GroupExport"));
  host.sizeLimit = [limits] { return limits ? sizeLimitOf(limits->preferences()) : std::uint64_t(0); };
  host.adProfile = [limits] { return limits ? adProfileOf(limits->preferences()) : std::nullopt; };
  controller = std::make_unique<PreviewController>(host);
  if (previewAction) connect(previewAction, &QAction::triggered, controller.get(), &PreviewController::startPreview);

  auto* sizePane = new QLabel(window.statusBar());
  sizePane->setObjectName(QStringLiteral("GifSizePane"));
  // No accessible name of its own: a screen reader then reads the label's text, the
  // figure itself ("GIF: 14,786 bytes"); what the pane is goes into the description.
  sizePane->setAccessibleDescription(tr("GIF size"));
  window.statusBar()->addPermanentWidget(sizePane);
  meter = std::make_unique<GifSizeMeter>(sizePane, [this, &session] {
    return std::make_pair(&session.project(), exportSettings());
  });

  connect(&session, &EditorSession::changed, this, [this](const editor::Change& change) {
    controller->projectChanged(change);
    if (!changesTheGif(change)) return;
    if (change.projectReplaced) meter->measureNow();
    else meter->projectChanged();
  });
  // The size limit of the GIF page is what the figure is measured against; the play count
  // changes the loop block and so the size.
  if (limits) {
    const auto applyLimit = [this, limits] {
      const editor::ExportPreferences p = limits->preferences();
      meter->setLimit(p.sizeLimitOn ? std::optional<std::uint64_t>(std::uint64_t(p.sizeLimitKb) * 1024) : std::nullopt);
    };
    // The limit and the ad check decide what an open preview shows.
    connect(limits, &ExportLimitsBox::changed, this, [this, applyLimit] {
      applyLimit();
      meter->projectChanged();
      controller->rebuildIfOpen();
    });
    connect(limits, &ExportLimitsBox::shown, this, [this, applyLimit] {
      applyLimit();
      controller->rebuildIfOpen();
    });
    applyLimit();
  }
  placePalette();
  for (const char* name : {"ChBox5", "ChBoxClassic"}) {
    if (auto* box = window.findChild<QCheckBox*>(QLatin1String(name))) {
      connect(box, &QCheckBox::toggled, this, [this] {
        controller->rebuildIfOpen();
        meter->projectChanged();
      });
    }
  }
  // Animated GIF pictures on the canvas show each new frame.
  connect(&session, &EditorSession::pictureFrameChanged, this, [this, &session] {
    if (FrameView* view = window.canvas()) view->setPicture(session.canvas().bitmap());
  });
  window.installEventFilter(this);
  meter->measureNow();
}

PreviewWiring::~PreviewWiring() = default;

// The project's settings with the page's two export choices, "Loop" and "Classic export".
exporter::ExportSettings PreviewWiring::exportSettings() const {
  exporter::ExportSettings settings = exporter::exportSettingsOf(window.session().project());
  const auto* loop = window.findChild<QCheckBox*>(QStringLiteral("ChBox5"));
  settings.loop = loop ? loop->isChecked() : true;
  const auto* classic = window.findChild<QCheckBox*>(QStringLiteral("ChBoxClassic"));
  if (classic && classic->isChecked()) settings.method = exporter::ExportMethod::Classic;
  if (const auto* limits = window.findChild<ExportLimitsBox*>(QStringLiteral("GroupExport")))
    settings.plays = limits->preferences().plays;
  return settings;
}

void PreviewWiring::placePalette() {
  QWidget* page = window.page(3);
  if (!page) return;
  auto* group = page->findChild<QGroupBox*>(QStringLiteral("GroupGlobalPalette"));
  cells = new PalettePanel;
  if (group) {
    if (!group->layout()) new QVBoxLayout(group);
    group->layout()->addWidget(cells);
  } else {
    // The page has no controls yet: the palette group and the two check boxes the preview
    // needs ("Transparent GIF", which "Set Color as Transparent" checks, and "Loop").
    group = new QGroupBox(QStringLiteral("Global Palette"));
    group->setObjectName(QStringLiteral("Gr11"));
    (new QVBoxLayout(group))->addWidget(cells);
    EditorSession& session = window.session();
    auto* transparent = new QCheckBox(QStringLiteral("Transparent GIF"));
    transparent->setObjectName(QStringLiteral("ChBox4"));
    auto* loop = new QCheckBox(QStringLiteral("Loop"));
    loop->setObjectName(QStringLiteral("ChBox5"));
    loop->setChecked(true);
    const auto fill = [transparent, &session] {
      const QSignalBlocker block(transparent);
      transparent->setChecked(session.project().settings.transparent);
    };
    fill();
    connect(&session, &EditorSession::changed, transparent, fill);
    connect(transparent, &QCheckBox::toggled, this,
            [&session](bool on) { session.setField(editor::Field::Transparent, on ? 1 : 0); });
    auto* column = new QVBoxLayout;
    column->addWidget(transparent);
    column->addWidget(loop);
    column->addStretch();
    auto* controls = new QWidget(page);
    auto* row = new QHBoxLayout(controls);
    row->addLayout(column);
    row->addWidget(group, 1);
    if (!page->layout()) new QVBoxLayout(page);
    page->layout()->addWidget(controls);
  }
  controller->setPalettePanel(cells);
}

bool PreviewWiring::eventFilter(QObject* watched, QEvent* event) {
  // A close request while the GIF is being built stops the build, so the window closes
  // now instead of when the export would have ended.
  if (watched == &window && event->type() == QEvent::Close && controller->busy()) controller->cancel();
  return QObject::eventFilter(watched, event);
}

}  // namespace zefra::app
