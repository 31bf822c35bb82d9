#include "ui/qt/qt_widgets.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "ui/qt/qt_look.h"

namespace halvic::ui {

namespace {

// Room between a button's edge and its caption: the bevel's outer line. Three lines of text just
// fit the 41-pixel-high buttons with it.
constexpr int kButtonTextMargin = 1;

}  // namespace

const QImage& RasterImage::image() {
  if (!stale_) {
    return image_;
  }
  if (image_.width() != raster_.width() || image_.height() != raster_.height()) {
    image_ = QImage(raster_.width(), raster_.height(), QImage::Format_RGB32);
  }
  const std::vector<Rgb>& pixels = raster_.pixels();
  const auto width = static_cast<size_t>(raster_.width());
  for (int y = 0; y < raster_.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    const size_t rowStart = static_cast<size_t>(y) * width;
    for (size_t x = 0; x < width; ++x) {
      const Rgb colour = pixels[rowStart + x];
      line[x] = qRgb(colour.red, colour.green, colour.blue);
    }
  }
  stale_ = false;
  return image_;
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

PictureBoxWidget::PictureBoxWidget(Raster* raster, QWidget* parent)
    : QFrame(parent), raster_(raster) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  if (raster_ != nullptr) {
    image_.emplace(*raster_);
    raster_->setChangeListener([this] {
      image_->invalidate();
      update();
    });
  }
}

PictureBoxWidget::~PictureBoxWidget() {
  if (raster_ != nullptr) {
    raster_->setChangeListener(nullptr);
  }
}

void PictureBoxWidget::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (!image_) {
    return;
  }
  QPainter painter(this);
  const QRect area = contentsRect();
  painter.setClipRect(area);
  painter.fillRect(area, toQColor(raster_->background()));
  painter.drawImage(area.topLeft(), image_->image());
}

}  // namespace halvic::ui
