#include "ui/qt/qt_paint_canvas.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPoint>

#include "ui/number_text.h"
#include "ui/qt/qt_look.h"

namespace halvic::ui {

namespace {

constexpr int kPageFontPoints = 10;

/** The point in whole device units, or nullopt when a coordinate has none. */
std::optional<QPoint> wholePoint(double x, double y) {
  const std::optional<int> left = roundedToInt(x);
  const std::optional<int> top = roundedToInt(y);
  if (!left || !top) {
    return std::nullopt;
  }
  return QPoint(*left, *top);
}

}  // namespace

QtPaintCanvas::QtPaintCanvas(QPaintDevice& device, std::optional<QColor> paper)
    : device_(device), paper_(paper), font_(kDesktopFontFamily, kPageFontPoints) {
  font_.setStyleHint(QFont::SansSerif);
}

QtPaintCanvas::~QtPaintCanvas() {
  if (state_ == State::Drawing) {
    painter_.end();
  }
}

bool QtPaintCanvas::ensureDrawing() const {
  if (state_ == State::NotStarted) {
    if (painter_.begin(&device_)) {
      if (paper_) {
        painter_.fillRect(QRect(0, 0, device_.width(), device_.height()), *paper_);
      }
      painter_.setFont(font_);
      painter_.setPen(QPen(Qt::black, 0));
      state_ = State::Drawing;
    } else {
      state_ = State::Failed;
    }
  }
  return state_ == State::Drawing;
}

void QtPaintCanvas::setLandscape() {
  if (state_ != State::NotStarted) {
    return;
  }
  if (auto* paged = dynamic_cast<QPagedPaintDevice*>(&device_)) {
    paged->setPageOrientation(QPageLayout::Landscape);
  }
}

int QtPaintCanvas::pageWidth() const {
  ensureDrawing();
  return device_.width();
}

int QtPaintCanvas::pageHeight() const {
  ensureDrawing();
  return device_.height();
}

double QtPaintCanvas::textWidth(std::string_view text) const {
  return QFontMetricsF(font_, &device_).horizontalAdvance(shownText(text));
}

double QtPaintCanvas::textHeight(std::string_view /*text*/) const {
  return QFontMetricsF(font_, &device_).height();
}

void QtPaintCanvas::text(double x, double y, std::string_view text) {
  const std::optional<QPoint> corner = wholePoint(x, y);
  if (!ensureDrawing() || !corner) {
    return;
  }
  const double ascent = QFontMetricsF(font_, &device_).ascent();
  painter_.drawText(QPointF(corner->x(), corner->y() + ascent), shownText(text));
}

void QtPaintCanvas::line(double x1, double y1, double x2, double y2) {
  const std::optional<QPoint> start = wholePoint(x1, y1);
  const std::optional<QPoint> end = wholePoint(x2, y2);
  if (!ensureDrawing() || !start || !end) {
    return;
  }
  painter_.drawLine(*start, *end);
}

bool QtPaintCanvas::endDocument() {
  if (!ensureDrawing()) {
    return false;
  }
  const bool ended = painter_.end();
  state_ = State::Ended;
  return ended;
}

}  // namespace halvic::ui
