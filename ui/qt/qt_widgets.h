#pragma once

#include <QFrame>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <optional>

#include "ui/raster.h"

namespace halvic::ui {

/** A Raster's pixels as an image, converted again only after the raster has changed. */
class RasterImage {
 public:
  /** The raster must outlive this image. */
  explicit RasterImage(const Raster& raster) : raster_(raster) {}

  /** The raster has changed; the next image() converts it again. */
  void invalidate() { stale_ = true; }
  const QImage& image();

 private:
  const Raster& raster_;
  QImage image_;
  bool stale_ = true;
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
 * that shows a raster from its top left corner. Without a raster the area stays empty.
 */
class PictureBoxWidget : public QFrame {
 public:
  /** raster may be nullptr; otherwise it must outlive this widget. */
  PictureBoxWidget(Raster* raster, QWidget* parent);
  ~PictureBoxWidget() override;
  PictureBoxWidget(const PictureBoxWidget&) = delete;
  PictureBoxWidget& operator=(const PictureBoxWidget&) = delete;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Raster* raster_;
  std::optional<RasterImage> image_;
};

}  // namespace halvic::ui
