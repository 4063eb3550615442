#include "panels/property_pages.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "panels/general_page.h"
#include "panels/gif_properties_page.h"
#include "panels/pictures_shapes_page.h"
#include "panels/text3d_page.h"
#include "session/editor_session.h"

namespace zefra::app {

PropertyPages PropertyPages::build(QTabWidget& tabs, EditorSession& session, PanelDialogs& dialogs) {
  PropertyPages pages;
  const auto place = [&tabs](int index, PropertyPage* page) {
    QWidget* tab = tabs.widget(index);
    tab->setAccessibleName(tabs.tabText(index).remove(QLatin1Char('&')));
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
    page->fill();
  };
  QWidget* parent = tabs.widget(0);
  pages.general = new GeneralPage(session, dialogs, parent);
  place(0, pages.general);
  pages.picturesShapes = new PicturesShapesPage(session, dialogs, tabs.widget(1));
  place(1, pages.picturesShapes);
  pages.text3d = new Text3DPage(session, dialogs, tabs.widget(2));
  place(2, pages.text3d);
  pages.gifProperties = new GifPropertiesPage(session, dialogs, tabs.widget(3));
  place(3, pages.gifProperties);
  return pages;
}

}  // namespace zefra::app
