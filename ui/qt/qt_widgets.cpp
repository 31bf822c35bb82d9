#include "ui/qt/qt_widgets.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <cstring>

#include "ui/qt/qt_look.h"

namespace halvic::ui {

namespace {

// Room between a button's edge and its caption: the bevel's outer line. Three lines of text just
// fit the 41-pixel-high buttons with it.
constexpr int kButtonTextMargin = 1;

}  // namespace

RasterImage::RasterImage(const Raster& raster)
    : raster_(raster),
      image_(raster.width(), raster.height(), QImage::Format_RGB32),
      stale_(image_.rect()) {}

const QImage& RasterImage::image() {
  const QRect area = stale_.intersected(image_.rect());
  stale_ = QRect();
  if (area.isEmpty()) {
    return image_;
  }
  // The stale part read in place as Qt's RGB888, whose bytes are laid out as Rgb, and converted
  // by Qt's own vectorised conversion, in about half the time of a loop over the pixels here.
  static_assert(sizeof(Rgb) == 3 && alignof(Rgb) == 1, "Rgb must match QImage::Format_RGB888");
  const size_t first = static_cast<size_t>(area.top()) * static_cast<size_t>(raster_.width()) +
                       static_cast<size_t>(area.left());
  const QImage stale(reinterpret_cast<const uchar*>(raster_.pixels().data() + first), area.width(),
                     area.height(), static_cast<qsizetype>(raster_.width()) * 3,
                     QImage::Format_RGB888);
  const QImage converted = stale.convertToFormat(QImage::Format_RGB32);
  const auto rowBytes = static_cast<size_t>(area.width()) * sizeof(QRgb);
  for (int row = 0; row < area.height(); ++row) {
    std::memcpy(image_.scanLine(area.top() + row) + static_cast<size_t>(area.left()) * sizeof(QRgb),
                converted.constScanLine(row), rowBytes);
  }
  return image_;
}

ShownRaster::ShownRaster(Raster& raster, QWidget& widget, QPoint origin)
    : raster_(raster), origin_(origin), image_(raster) {
  raster_.setChangeListener([this, &widget](const Rect& changed) {
    const QRect area(changed.x, changed.y, changed.width, changed.height);
    image_.invalidate(area);
    widget.update(area.translated(origin_));
  });
}

ShownRaster::~ShownRaster() { raster_.setChangeListener(nullptr); }

void ShownRaster::paint(QPainter& painter, const QRect& area) {
  const QImage& image = image_.image();
  const QRect source = area.translated(-origin_).intersected(image.rect());
  painter.drawImage(source.topLeft() + origin_, image, source);
}

QRect WrappingButton::captionArea() const {
  return rect().adjusted(kButtonTextMargin, kButtonTextMargin, -kButtonTextMargin,
                         -kButtonTextMargin);
}

void WrappingButton::paintEvent(QPaintEvent* /*event*/) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();  // the bevel and the focus frame only; the caption follows, wrapped
  painter.drawControl(QStyle::CE_PushButton, option);
  painter.drawItemText(captionArea(), Qt::AlignCenter | Qt::TextWordWrap, option.palette,
                       isEnabled(), text(), QPalette::ButtonText);
}

void HorizontalScrollBar::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      triggerAction(SliderSingleStepSub);
      event->accept();
      return;
    case Qt::Key_Right:
    case Qt::Key_Down:
      triggerAction(SliderSingleStepAdd);
      event->accept();
      return;
    default:
      QScrollBar::keyPressEvent(event);
      return;
  }
}

PictureBoxWidget::PictureBoxWidget(Raster* raster, QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  if (raster != nullptr) {
    shown_.emplace(*raster, *this, contentsRect().topLeft());
  }
}

void PictureBoxWidget::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (!shown_) {
    return;
  }
  QPainter painter(this);
  const QRect area = contentsRect().intersected(event->rect());
  painter.setClipRect(area);
  painter.fillRect(area, toQColor(shown_->raster().background()));
  shown_->paint(painter, area);
}

}  // namespace halvic::ui
