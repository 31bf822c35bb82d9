#include "ui/qt/qt_widgets.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QWheelEvent>
#include <limits>

#include "ui/qt/qt_look.h"

namespace halvic::ui {

QImage imageOf(const Raster& raster) {
  const QImage pixels(reinterpret_cast<const uchar*>(raster.pixels().data()), raster.width(),
                      raster.height(), raster.width() * static_cast<int>(sizeof(Rgb)),
                      QImage::Format_RGB888);
  return pixels.convertToFormat(QImage::Format_RGB32);  // a deep copy, free of the raster
}

namespace {

// Room between a button's edge and its caption: the bevel's outer line. Three lines of text just
// fit the 41-pixel-high buttons with it.
constexpr int kButtonTextMargin = 1;

// One notch of a mouse wheel in QWheelEvent::angleDelta: 15 degrees in eighths of a degree.
constexpr int kWheelNotch = 120;

/** Whether text fits area word-wrapped, as a label lays it out. */
bool fitsWrapped(const QString& text, const QFontMetrics& metrics, QSize area) {
  const QSize needed =
      metrics
          .boundingRect(QRect(0, 0, area.width(), std::numeric_limits<int>::max() / 2),
                        Qt::TextWordWrap, text)
          .size();
  return needed.width() <= area.width() && needed.height() <= area.height();
}

}  // namespace

// A line wider than the label would wrap onto rows there is no room for (a path breaks at its
// slashes), so each such line is kept to one row, with both of its ends.
std::optional<QString> elidedToFit(const QString& text, const QFontMetrics& metrics, QSize area) {
  if (fitsWrapped(text, metrics, area)) {
    return std::nullopt;
  }
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) {
    if (metrics.horizontalAdvance(line) > area.width()) {
      line = metrics.elidedText(line, Qt::ElideMiddle, area.width());
    }
  }
  QString elided = lines.join(QLatin1Char('\n'));
  if (elided == text) {
    return std::nullopt;  // too many short lines: nothing to shorten
  }
  return elided;
}

ShownRaster::ShownRaster(Raster& raster, QWidget& widget, QPoint origin)
    : raster_(raster), origin_(origin) {
  raster_.setChangeListener([this, &widget](const Rect& changed) {
    widget.update(QRect(changed.x, changed.y, changed.width, changed.height).translated(origin_));
  });
}

ShownRaster::~ShownRaster() { raster_.setChangeListener(nullptr); }

void ShownRaster::paint(QPainter& painter, const QRegion& region, const QColor& background) const {
  // Rectangle by rectangle: a region's bounding box can be many times its area.
  for (const QRect& area : region) {
    const QRect covered = paintPixels(painter, area);
    for (const QRect& rest : QRegion(area).subtracted(covered)) {
      painter.fillRect(rest, background);
    }
  }
}

QRect ShownRaster::paintPixels(QPainter& painter, const QRect& area) const {
  const QRect source =
      area.translated(-origin_).intersected(QRect(0, 0, raster_.width(), raster_.height()));
  if (source.isEmpty()) {
    return {};
  }
  // The pixels read in place as Qt's RGB888, whose bytes are laid out as Rgb, and converted by
  // Qt's own vectorised conversion; drawing the RGB888 image itself takes Qt's slow generic path.
  static_assert(sizeof(Rgb) == 3 && alignof(Rgb) == 1, "Rgb must match QImage::Format_RGB888");
  const size_t first = static_cast<size_t>(source.top()) * static_cast<size_t>(raster_.width()) +
                       static_cast<size_t>(source.left());
  const QImage pixels(reinterpret_cast<const uchar*>(raster_.pixels().data() + first),
                      source.width(), source.height(), static_cast<qsizetype>(raster_.width()) * 3,
                      QImage::Format_RGB888);
  painter.drawImage(source.topLeft() + origin_, pixels.convertToFormat(QImage::Format_RGB32));
  return source.translated(origin_);
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

void WrappingButton::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers() == Qt::NoModifier && !event->isAutoRepeat()) {
    click();
    event->accept();
    return;
  }
  QPushButton::keyPressEvent(event);
}

void FocusWheelComboBox::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();  // on to the window beneath
    return;
  }
  QComboBox::wheelEvent(event);
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
    background_ = toQColor(raster->background());
    // The frame and the raster (or its background) cover every pixel, so the window need not
    // paint what lies underneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
}

void PictureBoxWidget::paintEvent(QPaintEvent* event) {
  // A change of the raster repaints only inside the frame, which then need not be drawn again.
  if (!shown_ || !contentsRect().contains(event->rect())) {
    QFrame::paintEvent(event);
  }
  if (!shown_) {
    return;
  }
  QPainter painter(this);
  shown_->paint(painter, event->region().intersected(contentsRect()), background_);
}

void PictureBoxWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QFrame::mousePressEvent(event);
    return;
  }
  pressed_ = true;
  event->accept();
}

void PictureBoxWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) {
    QFrame::mouseReleaseEvent(event);
    return;
  }
  pressed_ = false;
  event->accept();
  if (onClick_) {
    const QPoint pixel = event->position().toPoint() - contentsRect().topLeft();
    onClick_(pixel.x(), pixel.y());
  }
}

void PictureBoxWidget::wheelEvent(QWheelEvent* event) {
  wheelRemainder_ += event->angleDelta().y();
  const int notches = wheelRemainder_ / kWheelNotch;  // towards zero: a part-notch waits
  wheelRemainder_ -= notches * kWheelNotch;
  event->accept();
  if (notches != 0 && onWheel_) {
    onWheel_(notches);
  }
}

}  // namespace halvic::ui
