#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace halvic::ui {

/**
 * One page of a print job. Coordinates are the canvas's own units, origin top left, y down;
 * fractional coordinates are allowed and rounded half to even to whole units (roundedToInt). A
 * text or line with a coordinate that has no whole unit (not a number, or beyond int's range) is
 * left out. A canvas that has failed keeps failing: every later call does nothing and endDocument
 * reports the failure.
 */
class PrinterCanvas {
 public:
  virtual ~PrinterCanvas() = default;

  /** Landscape orientation for the page, set before anything is drawn. */
  virtual void setLandscape() = 0;
  virtual int pageWidth() const = 0;
  virtual int pageHeight() const = 0;
  virtual double textWidth(std::string_view text) const = 0;
  virtual double textHeight(std::string_view text) const = 0;
  /** Prints text with its top left corner at (x, y). */
  virtual void text(double x, double y, std::string_view text) = 0;
  virtual void line(double x1, double y1, double x2, double y2) = 0;
  /** Sends the page; false when the printer reported an error at any point of the job. */
  virtual bool endDocument() = 0;
};

/** Where print jobs go. */
class Printers {
 public:
  virtual ~Printers() = default;
  /** A new job on the default printer, or nullptr when there is no printer or it failed. */
  virtual std::unique_ptr<PrinterCanvas> startJob() = 0;
};

}  // namespace halvic::ui
