#include "ui/qt/qt_printer.h"

#include <QFontMetricsF>
#include <QPoint>
#include <QPrinterInfo>
#include <optional>

#include "ui/number_text.h"
#include "ui/qt/qt_look.h"

namespace halvic::ui {

namespace {

constexpr int kPrinterFontPoints = 10;

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

QtPrinterCanvas::QtPrinterCanvas(std::unique_ptr<QPrinter> printer)
    : printer_(std::move(printer)), font_(kDesktopFontFamily, kPrinterFontPoints) {
  font_.setStyleHint(QFont::SansSerif);
}

QtPrinterCanvas::~QtPrinterCanvas() {
  if (state_ == State::Drawing) {
    printer_->abort();
    painter_.end();
  }
}

bool QtPrinterCanvas::ensureDrawing() const {
  if (state_ == State::NotStarted) {
    if (painter_.begin(printer_.get())) {
      painter_.setFont(font_);
      painter_.setPen(QPen(Qt::black, 0));
      state_ = State::Drawing;
    } else {
      state_ = State::Failed;
    }
  }
  return state_ == State::Drawing;
}

void QtPrinterCanvas::setLandscape() {
  if (state_ == State::NotStarted) {
    printer_->setPageOrientation(QPageLayout::Landscape);
  }
}

int QtPrinterCanvas::pageWidth() const {
  ensureDrawing();
  return printer_->width();
}

int QtPrinterCanvas::pageHeight() const {
  ensureDrawing();
  return printer_->height();
}

double QtPrinterCanvas::textWidth(std::string_view text) const {
  return QFontMetricsF(font_, printer_.get()).horizontalAdvance(shownText(text));
}

double QtPrinterCanvas::textHeight(std::string_view /*text*/) const {
  return QFontMetricsF(font_, printer_.get()).height();
}

void QtPrinterCanvas::text(double x, double y, std::string_view text) {
  const std::optional<QPoint> corner = wholePoint(x, y);
  if (!ensureDrawing() || !corner) {
    return;
  }
  const double ascent = QFontMetricsF(font_, printer_.get()).ascent();
  painter_.drawText(QPointF(corner->x(), corner->y() + ascent), shownText(text));
}

void QtPrinterCanvas::line(double x1, double y1, double x2, double y2) {
  const std::optional<QPoint> start = wholePoint(x1, y1);
  const std::optional<QPoint> end = wholePoint(x2, y2);
  if (!ensureDrawing() || !start || !end) {
    return;
  }
  painter_.drawLine(*start, *end);
}

bool QtPrinterCanvas::endDocument() {
  if (!ensureDrawing()) {
    return false;
  }
  const bool ended = painter_.end();
  state_ = State::Ended;
  return ended && printer_->printerState() != QPrinter::Error;
}

std::unique_ptr<PrinterCanvas> QtPrinters::startJob() {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    return nullptr;
  }
  auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  if (!printer->isValid()) {
    return nullptr;
  }
  return std::make_unique<QtPrinterCanvas>(std::move(printer));
}

}  // namespace halvic::ui
