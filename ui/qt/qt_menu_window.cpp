#include "ui/qt/qt_menu_window.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace halvic::ui {

QtMenuWindow::QtMenuWindow(Form& form, Raster* windowSurface,
                           std::map<std::string, Raster*> pictureSurfaces, MenuBar& menus)
    : menuBar_(new QtMenuBar(menus, this)),
      clientArea_(new QtFormWindow(form, windowSurface, std::move(pictureSurfaces), this)) {
  setWindowTitle(clientArea_->windowTitle());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(menuBar_);
  layout->addWidget(clientArea_);
  // The client area has the layout's fixed size; the window takes its size from it.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void QtMenuWindow::closeEvent(QCloseEvent* event) {
  if (onClose_) {
    onClose_();
  }
  event->accept();
}

}  // namespace halvic::ui
