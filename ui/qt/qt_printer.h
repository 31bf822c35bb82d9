#pragma once

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <memory>

#include "ui/printer.h"

namespace halvic::ui {

/**
 * One page on a QPrinter, drawn in the printer's device units (its printable area, origin at the
 * top left). The painter starts on the first drawing call or page query, so landscape must be set
 * before those. Texts use a 10 point sans font, the canvas's own default.
 */
class QtPrinterCanvas : public PrinterCanvas {
 public:
  explicit QtPrinterCanvas(std::unique_ptr<QPrinter> printer);
  /** A job that was never ended is aborted, so that no half page is printed. */
  ~QtPrinterCanvas() override;
  QtPrinterCanvas(const QtPrinterCanvas&) = delete;
  QtPrinterCanvas& operator=(const QtPrinterCanvas&) = delete;

  void setLandscape() override;
  int pageWidth() const override;
  int pageHeight() const override;
  double textWidth(std::string_view text) const override;
  double textHeight(std::string_view text) const override;
  void text(double x, double y, std::string_view text) override;
  void line(double x1, double y1, double x2, double y2) override;
  bool endDocument() override;

 private:
  enum class State { NotStarted, Drawing, Failed, Ended };

  /** Starts the painter if it has not started; false once the job has failed or ended. */
  bool ensureDrawing() const;

  std::unique_ptr<QPrinter> printer_;
  QFont font_;
  mutable QPainter painter_;
  mutable State state_ = State::NotStarted;
};

/** Print jobs on the system's default printer. */
class QtPrinters : public Printers {
 public:
  /** nullptr when the system has no default printer or it cannot be used. */
  std::unique_ptr<PrinterCanvas> startJob() override;
};

}  // namespace halvic::ui
