// The graph cursor, its mark between the strips, and the read-out.

#include "app/main_window.h"
#include "ui/number_format.h"
#include "ui/number_text.h"

namespace halvic {

namespace {

// The mark stands in the gap between the two strip frames, two rows clear of each.
constexpr int kMarkMargin = 2;
constexpr int kMarkTop = mainSpec("Shphart1").bottom() + kMarkMargin;
constexpr int kMarkBottom = mainSpec("shphart2").y - kMarkMargin;

}  // namespace

void MainWindow::moveCursorMark() {
  ws_.cursorPixel = static_cast<int16_t>(control("hsbspectra").value());
  const double origin = ws_.graphShowsCal ? ws_.calStripLeft : ws_.dataStripLeft;
  const int x = ws_.cursorPixel + static_cast<int>(ui::roundHalfEven(origin));
  // The old mark is erased where it was drawn, whichever strip it stood for then, so that a
  // switch between the graphed images or a load never leaves a second mark in the gap.
  if (cursorMarkX_) {
    window_.line(*cursorMarkX_, kMarkTop, *cursorMarkX_, kMarkBottom, ui::kWindowGrey);
  }
  window_.line(x, kMarkTop, x, kMarkBottom, ui::kRed);
  cursorMarkX_ = x;
  ws_.lastCursorPixel = ws_.cursorPixel;
}

void MainWindow::hsbspectra_Scroll() { moveCursorMark(); }

void MainWindow::hsbspectra_Change() {
  moveCursorMark();
  drawGraph();
  showReadout();
}

namespace {

std::string pixelValueLine(const Workspace& ws) {
  const auto value = static_cast<float>(ws.profile.at(ws.cursorPixel) - ws.profileMin);
  return "Pixel Value = " + ui::formatNumber(value, "######0");
}

}  // namespace

void MainWindow::showReadout() {
  if (ws_.calibrated) {
    ws_.readoutPixel = ws_.cursorPixel;
    showWavelengthReadout();
    return;
  }
  control("Lblwavelength")
      .setCaption("Pixel " + ui::formatNumber(ws_.cursorPixel, "##0.00") + "\r\n" +
                  pixelValueLine(ws_));
}

void MainWindow::showWavelengthReadout() {
  ws_.pixelWavelength = evaluateGratingModel(gratingModel(), ws_.readoutPixel, ws_.betaDeg);
  control("Lblwavelength")
      .setCaption("Wavelength of pixel " + ui::formatNumber(ws_.readoutPixel, "##0.00") +
                  "\r\n is " + ui::formatNumber(ws_.pixelWavelength, "###0.00") +
                  " Angstroms:\r\n" + pixelValueLine(ws_));
}

}  // namespace halvic
