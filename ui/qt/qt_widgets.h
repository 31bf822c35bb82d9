#pragma once

#include <QColor>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QPushButton>
#include <QRect>
#include <QRegion>
#include <QScrollBar>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

#include "ui/raster.h"

namespace halvic::ui {

/** A copy of a whole raster as an image, for a picture shown once (not kept in step). */
QImage imageOf(const Raster& raster);

/**
 * A label's text as it fits an area of that size, word-wrapped as labels are: nullopt when the
 * whole text fits; otherwise each line too wide for the area elided in the middle ("/home/...
 * /lamp.kr4"), so that both ends of a long path stay readable.
 */
std::optional<QString> elidedToFit(const QString& text, const QFontMetrics& metrics, QSize area);

/**
 * A raster shown on a widget with its top left pixel at origin (in the widget's coordinates).
 * While this object lives it is the raster's change listener, and a change repaints the widget
 * only where the changed pixels show. The raster and the widget must outlive it.
 *
 * Nothing is cached: each paint converts just the pixels it shows, straight from the raster. A
 * change is painted once, so a cache would only add a copy.
 */
class ShownRaster {
 public:
  ShownRaster(Raster& raster, QWidget& widget, QPoint origin);
  ~ShownRaster();
  ShownRaster(const ShownRaster&) = delete;
  ShownRaster& operator=(const ShownRaster&) = delete;

  /**
   * Paints region (in the widget's coordinates): the raster's pixels where they show, background
   * on the rest.
   */
  void paint(QPainter& painter, const QRegion& region, const QColor& background) const;

 private:
  /** Draws the raster's pixels inside area; returns the part of area they cover. */
  QRect paintPixels(QPainter& painter, const QRect& area) const;

  Raster& raster_;
  QPoint origin_;
};

/**
 * A push button whose caption wraps onto as many lines as its width needs, centred both ways, as
 * the layout's narrow buttons ("Calculate Line Wavelength" in 81 x 33) require.
 */
class WrappingButton : public QPushButton {
 public:
  explicit WrappingButton(QWidget* parent) : QPushButton(parent) {}

  /** Where the caption is laid out: inside the bevel. */
  QRect captionArea() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  /** Enter and Return press the focused button, as Space does, without it being a default. */
  void keyPressEvent(QKeyEvent* event) override;
};

/**
 * A combo box that takes the wheel only while it has the focus: a wheel turned over a window
 * scrolls past its lists instead of changing them (and opening an input box on the way).
 */
class FocusWheelComboBox : public QComboBox {
 public:
  explicit FocusWheelComboBox(QWidget* parent) : QComboBox(parent) {}

 protected:
  void wheelEvent(QWheelEvent* event) override;
};

/**
 * A horizontal scroll bar whose arrow keys move the thumb the way they point: Left and Up one step
 * towards the minimum, Right and Down towards the maximum. (Qt's own keys follow the wheel's
 * direction, which sends Left towards the maximum.)
 */
class HorizontalScrollBar : public QScrollBar {
 public:
  explicit HorizontalScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

/**
 * A picture box: a two-pixel sunken border around a drawing area of (width - 4) x (height - 4)
 * that shows a raster from its top left corner. Without a raster the area stays empty. Clicks and
 * wheel turns over it are reported in the drawing area's pixels and in whole notches.
 */
class PictureBoxWidget : public QFrame {
 public:
  /** raster may be nullptr; otherwise it must outlive this widget. */
  PictureBoxWidget(Raster* raster, QWidget* parent);
  PictureBoxWidget(const PictureBoxWidget&) = delete;
  PictureBoxWidget& operator=(const PictureBoxWidget&) = delete;

  /**
   * Run when the left button, pressed over the box, is released: with the pixel of the drawing
   * area it was released over, (0, 0) at its top left (outside the area when dragged off it).
   */
  void setOnClick(std::function<void(int x, int y)> onClick) { onClick_ = std::move(onClick); }
  /**
   * Run for each whole number of wheel notches turned over the box, positive away from the user;
   * the fractions a fine-grained wheel sends add up until they make a notch.
   */
  void setOnWheel(std::function<void(int steps)> onWheel) { onWheel_ = std::move(onWheel); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  std::optional<ShownRaster> shown_;
  QColor background_;
  std::function<void(int, int)> onClick_;
  std::function<void(int)> onWheel_;
  bool pressed_ = false;
  /** Wheel turn not yet a whole notch, in Qt's eighths of a degree. */
  int wheelRemainder_ = 0;
};

}  // namespace halvic::ui
