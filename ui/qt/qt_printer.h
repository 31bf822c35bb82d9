#pragma once

#include <QPrinter>
#include <memory>

#include "ui/printer.h"
#include "ui/qt/qt_paint_canvas.h"

namespace halvic::ui {

/**
 * One page on a QPrinter that the canvas owns, drawn by a QtPaintCanvas in the printer's device
 * units (its printable area, origin at the top left). The printer's own errors fail the job too.
 */
class QtPrinterCanvas : public PrinterCanvas {
 public:
  explicit QtPrinterCanvas(std::unique_ptr<QPrinter> printer);
  /** A job that was never ended is aborted, so that no half page is printed. */
  ~QtPrinterCanvas() override;
  QtPrinterCanvas(const QtPrinterCanvas&) = delete;
  QtPrinterCanvas& operator=(const QtPrinterCanvas&) = delete;

  void setLandscape() override { page_.setLandscape(); }
  int pageWidth() const override { return page_.pageWidth(); }
  int pageHeight() const override { return page_.pageHeight(); }
  double textWidth(std::string_view text) const override { return page_.textWidth(text); }
  double textHeight(std::string_view text) const override { return page_.textHeight(text); }
  void text(double x, double y, std::string_view text) override { page_.text(x, y, text); }
  void line(double x1, double y1, double x2, double y2) override { page_.line(x1, y1, x2, y2); }
  bool endDocument() override;

 private:
  std::unique_ptr<QPrinter> printer_;
  QtPaintCanvas page_;  // after the printer: it ends its painter before the printer goes
};

/** Print jobs on the system's default printer. */
class QtPrinters : public Printers {
 public:
  /** nullptr when the system has no default printer or it cannot be used. */
  std::unique_ptr<PrinterCanvas> startJob() override;
};

/** The default printer's QPrinter, or nullptr when the system has none or it cannot be used. */
std::unique_ptr<QPrinter> defaultPrinter();

/**
 * A printer for a print preview: the default printer, or, when there is none, one that prints
 * to a PDF file, so that a preview can always be shown.
 */
std::unique_ptr<QPrinter> previewPrinter();

}  // namespace halvic::ui
