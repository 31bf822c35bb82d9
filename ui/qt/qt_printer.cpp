#include "ui/qt/qt_printer.h"

#include <QFontMetricsF>
#include <QPrinterInfo>

#include "ui/number_text.h"
#include "ui/qt/qt_look.h"

namespace halvic::ui {

namespace {

constexpr int kPrinterFontPoints = 10;

int rounded(double value) { return static_cast<int>(roundHalfEven(value)); }

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
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
  return QFontMetricsF(font_, printer_.get()).horizontalAdvance(fromUtf8(text));
}

double QtPrinterCanvas::textHeight(std::string_view /*text*/) const {
  return QFontMetricsF(font_, printer_.get()).height();
}

void QtPrinterCanvas::text(double x, double y, std::string_view text) {
  if (!ensureDrawing()) {
    return;
  }
  const double ascent = QFontMetricsF(font_, printer_.get()).ascent();
  painter_.drawText(QPointF(rounded(x), rounded(y) + ascent), fromUtf8(text));
}

void QtPrinterCanvas::line(double x1, double y1, double x2, double y2) {
  if (!ensureDrawing()) {
    return;
  }
  painter_.drawLine(QPoint(rounded(x1), rounded(y1)), QPoint(rounded(x2), rounded(y2)));
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
