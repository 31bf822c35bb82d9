#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "ui/form.h"
#include "ui/menu.h"
#include "ui/qt/qt_form_window.h"
#include "ui/qt/qt_menu_bar.h"
#include "ui/raster.h"

namespace halvic::ui {

/**
 * A top-level window: a menu bar (QtMenuBar) above a form's client area (QtFormWindow), which
 * keeps the layout's fixed size and every control's place within it; the window is as wide as the
 * client area and as high as both together. Its title is the form's caption. The form, the
 * rasters and the menu bar must outlive the window.
 */
class QtMenuWindow : public QWidget {
 public:
  /** The client area is built as QtFormWindow builds it from these. */
  QtMenuWindow(Form& form, Raster* windowSurface, std::map<std::string, Raster*> pictureSurfaces,
               MenuBar& menus);
  QtMenuWindow(const QtMenuWindow&) = delete;
  QtMenuWindow& operator=(const QtMenuWindow&) = delete;

  QtFormWindow& clientArea() const { return *clientArea_; }
  QtMenuBar& menuBar() const { return *menuBar_; }

  /**
   * Run when the user closes the window with the window system's close control, instead of just
   * closing it; for the main window this ends the program.
   */
  void setOnClose(std::function<void()> onClose) { onClose_ = std::move(onClose); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QtMenuBar* menuBar_;
  QtFormWindow* clientArea_;
  std::function<void()> onClose_;
};

}  // namespace halvic::ui
