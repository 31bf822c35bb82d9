#include "ui/qt/qt_printer.h"

#include <QPrinterInfo>

namespace halvic::ui {

QtPrinterCanvas::QtPrinterCanvas(std::unique_ptr<QPrinter> printer)
    : printer_(std::move(printer)), page_(*printer_) {}

QtPrinterCanvas::~QtPrinterCanvas() {
  if (page_.drawing()) {
    printer_->abort();
  }
}

bool QtPrinterCanvas::endDocument() {
  return page_.endDocument() && printer_->printerState() != QPrinter::Error;
}

std::unique_ptr<QPrinter> defaultPrinter() {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    return nullptr;
  }
  auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  if (!printer->isValid()) {
    return nullptr;
  }
  return printer;
}

std::unique_ptr<QPrinter> previewPrinter() {
  std::unique_ptr<QPrinter> printer = defaultPrinter();
  if (!printer) {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
  }
  return printer;
}

std::unique_ptr<PrinterCanvas> QtPrinters::startJob() {
  std::unique_ptr<QPrinter> printer = defaultPrinter();
  if (!printer) {
    return nullptr;
  }
  return std::make_unique<QtPrinterCanvas>(std::move(printer));
}

}  // namespace halvic::ui
