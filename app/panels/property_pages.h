#pragma once
// The four property pages, placed into the tab pages of the page control.

class QTabWidget;

namespace zefra::app {

class EditorSession;
class GeneralPage;
class GifPropertiesPage;
class PanelDialogs;
class PicturesShapesPage;
class Text3DPage;

struct PropertyPages {
  GeneralPage* general = nullptr;
  PicturesShapesPage* picturesShapes = nullptr;
  Text3DPage* text3d = nullptr;
  GifPropertiesPage* gifProperties = nullptr;

  // Builds each page into tab 0..3 of `tabs` and fills it from the session's project.
  static PropertyPages build(QTabWidget& tabs, EditorSession& session, PanelDialogs& dialogs);
};

}  // namespace zefra::app
