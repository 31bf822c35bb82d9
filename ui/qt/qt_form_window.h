#pragma once

#include <QRegion>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "ui/control.h"
#include "ui/form.h"
#include "ui/qt/qt_widgets.h"
#include "ui/raster.h"

namespace halvic::ui {

/**
 * A window built from a Form: one widget for each control at the layout's position and size, in
 * client pixels, on a client area of the layout's fixed size. The window shows the Form's state
 * and feeds the user's input back into it; it decides nothing itself. Widget signals are blocked
 * while the window mirrors a change of the model, so that only the user's input reaches the
 * controls' user* operations.
 *
 * The window's own drawing surface is painted as its background, then the shapes and lines of the
 * layout on top of it, then the child widgets. The form and every raster must outlive the window.
 */
class QtFormWindow : public QWidget, public ControlView {
 public:
  /**
   * windowSurface: the window's persistent drawing, may be nullptr (then the layout's background
   * colour shows). pictureSurfaces: the raster of each picture box, by control name; a name that
   * is not a picture box of the layout throws std::invalid_argument.
   */
  QtFormWindow(Form& form, Raster* windowSurface, std::map<std::string, Raster*> pictureSurfaces,
               QWidget* parent = nullptr);
  ~QtFormWindow() override;
  QtFormWindow(const QtFormWindow&) = delete;
  QtFormWindow& operator=(const QtFormWindow&) = delete;

  /** The widget of a control, or nullptr for a shape, a line or an unknown name. */
  QWidget* widget(std::string_view controlName) const;
  /** The widget of a picture box, or nullptr when controlName names none. */
  PictureBoxWidget* pictureBox(std::string_view controlName) const;

  /**
   * Run when the user closes the window with the window system's close control, instead of just
   * closing it; for the main window this ends the program.
   */
  void setOnClose(std::function<void()> onClose) { onClose_ = std::move(onClose); }
  /**
   * Run when the left button, pressed on the window's own surface (not on a control's widget), is
   * released: with the client pixel it was released over, which lies outside the client area
   * when the pointer was dragged off it.
   */
  void setOnSurfaceClick(std::function<void(int x, int y)> onSurfaceClick) {
    onSurfaceClick_ = std::move(onSurfaceClick);
  }

  /**
   * Run when a file from the file manager is dropped on the window: with the client x it was
   * dropped at and its local path (the first, when several are dropped). Without it the window
   * takes no drops.
   */
  void setOnFileDropped(std::function<void(int x, const std::string& path)> onFileDropped) {
    onFileDropped_ = std::move(onFileDropped);
    setAcceptDrops(static_cast<bool>(onFileDropped_));
  }

  void controlChanged(const Control& control) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QWidget* createWidget(Control& control, const std::map<std::string, Raster*>& pictureSurfaces);
  void mirror(const Control& control, QWidget& widget);
  void applyTabOrder();
  /** The shapes and lines that reach into region, over the window's drawing. */
  void paintGraphicalControls(QPainter& painter, const QRegion& region) const;

  Form& form_;
  std::optional<ShownRaster> surface_;
  std::unordered_map<const Control*, QWidget*> widgets_;
  std::function<void()> onClose_;
  std::function<void(int, int)> onSurfaceClick_;
  std::function<void(int, const std::string&)> onFileDropped_;
  /** Whether the left button went down on the surface, so that its release is a click there. */
  bool pressedOnSurface_ = false;
};

}  // namespace halvic::ui
