#pragma once

#include <QColor>
#include <QFont>
#include <QPaintDevice>
#include <QPainter>
#include <optional>

#include "ui/printer.h"

namespace halvic::ui {

/**
 * One page drawn with a QPainter on any paint device: a printer, an image, an SVG or a PDF
 * generator. Coordinates are the device's own units (a printer's printable area, an image's
 * pixels), origin at the top left. The painter starts on the first drawing call or page query,
 * so landscape must be set before those; it turns a paged device (a printer, a PDF writer) to
 * landscape and leaves any other device as it was made. Texts use a 10 point sans font, sized by
 * the device's resolution. The device must outlive the canvas.
 */
class QtPaintCanvas : public PrinterCanvas {
 public:
  /** paper, when given, fills the whole page as the painter starts (an image has no paper). */
  explicit QtPaintCanvas(QPaintDevice& device, std::optional<QColor> paper = std::nullopt);
  /** A page that was never ended is ended here, as it stands. */
  ~QtPaintCanvas() override;
  QtPaintCanvas(const QtPaintCanvas&) = delete;
  QtPaintCanvas& operator=(const QtPaintCanvas&) = delete;

  void setLandscape() override;
  int pageWidth() const override;
  int pageHeight() const override;
  double textWidth(std::string_view text) const override;
  double textHeight(std::string_view text) const override;
  void text(double x, double y, std::string_view text) override;
  void line(double x1, double y1, double x2, double y2) override;
  /** Ends the page; false when the painter could not start or could not finish. */
  bool endDocument() override;

  /** Whether the painter has started on the page and the page has not been ended. */
  bool drawing() const { return state_ == State::Drawing; }

 private:
  enum class State { NotStarted, Drawing, Failed, Ended };

  /** Starts the painter if it has not started; false once the page has failed or ended. */
  bool ensureDrawing() const;

  QPaintDevice& device_;
  std::optional<QColor> paper_;
  QFont font_;
  mutable QPainter painter_;
  mutable State state_ = State::NotStarted;
};

}  // namespace halvic::ui
