#pragma once

#include <string>

#include "ui/printer.h"

namespace halvic::ui {

/**
 * Print jobs on pages held in memory. Each page the program ends is written to a file as its
 * drawing operations, one a line: "text X Y TEXT" and "line X1 Y1 X2 Y2", coordinates rounded as
 * PrinterCanvas says. Text measures 10 units a character wide and 20 units high.
 */
class HeadlessPrinters : public Printers {
 public:
  enum class Mode { None, Fail, Page };

  /** From now on jobs go to a page of width by height units, written to path. */
  void usePage(int width, int height, std::string path);
  void useFailingPrinter() { mode_ = Mode::Fail; }
  void useNoPrinter() { mode_ = Mode::None; }

  std::unique_ptr<PrinterCanvas> startJob() override;

 private:
  Mode mode_ = Mode::None;
  int width_ = 0;
  int height_ = 0;
  std::string path_;
};

}  // namespace halvic::ui
