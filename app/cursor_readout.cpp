// The graph cursor, its mark between the strips, and the read-out.

#include <algorithm>
#include <cstdint>

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
  ws_.graph.cursorPixel = static_cast<int16_t>(control("hsbspectra").value());
  const double origin = ws_.graphedImage().stripLeft;
  const int x = ws_.graph.cursorPixel + static_cast<int>(ui::roundHalfEven(origin));
  // The old mark is erased where it was drawn, whichever strip it stood for then, so that a
  // switch between the graphed images or a load never leaves a second mark in the gap.
  if (cursorMarkX_) {
    window_.line(*cursorMarkX_, kMarkTop, *cursorMarkX_, kMarkBottom, ui::kWindowGrey);
  }
  window_.line(x, kMarkTop, x, kMarkBottom, ui::kRed);
  cursorMarkX_ = x;
  ws_.graph.lastCursorPixel = ws_.graph.cursorPixel;
}

void MainWindow::hsbspectra_Scroll() { moveCursorMark(); }

void MainWindow::moveCursorTo(int column) { control("hsbspectra").setValue(column); }

void MainWindow::Form_MouseUp(int x, int y) {
  ws_.pixelPickMode = false;  // the pick mode ends with any release over the window
  if (x < 0 || y < 0 || x >= window_.width() || y >= window_.height()) {
    return;
  }
  for (const ImageKind kind : kImageKinds) {
    const ImageState& image = ws_.image(kind);
    const ui::ControlSpec& frame = control(imageControls(kind).frame).spec();
    const int column = x - static_cast<int>(ui::roundHalfEven(image.stripLeft));
    if (image.loaded && y >= frame.y && y < frame.bottom() && column >= 1 &&
        column <= image.width) {
      moveCursorTo(column);
      return;
    }
  }
}

void MainWindow::Picgraph_MouseUp(int x, int y) {
  const bool onGraph = x >= 0 && y >= 0 && x < graph_.width() && y < graph_.height();
  if (onGraph && ws_.graph.profileLength >= 1) {
    moveCursorTo(columnAtGraphX(x, graphInputs()));
  }
}

void MainWindow::Picgraph_MouseWheel(int steps) {
  if (ws_.graph.profileLength >= 1) {
    moveCursorTo(static_cast<int>(
        std::clamp<int64_t>(int64_t{ws_.graph.cursorPixel} - steps, INT32_MIN, INT32_MAX)));
  }
}

void MainWindow::hsbspectra_Change() {
  moveCursorMark();
  drawGraph();
  showReadout();
}

namespace {

std::string pixelValueLine(const GraphState& graph) {
  const auto value = static_cast<float>(graph.profile.at(graph.cursorPixel) - graph.profileMin);
  return "Pixel Value = " + ui::formatNumber(value, "######0");
}

}  // namespace

void MainWindow::showReadout() {
  if (ws_.calibration.calibrated) {
    ws_.graph.readoutPixel = ws_.graph.cursorPixel;
    showWavelengthReadout();
    return;
  }
  control("Lblwavelength")
      .setCaption("Pixel " + ui::formatNumber(ws_.graph.cursorPixel, "##0.00") + "\r\n" +
                  pixelValueLine(ws_.graph));
}

void MainWindow::showWavelengthReadout() {
  ws_.graph.pixelWavelength =
      evaluateGratingModel(gratingModel(), ws_.graph.readoutPixel, ws_.graph.betaDeg);
  control("Lblwavelength")
      .setCaption("Wavelength of pixel " + ui::formatNumber(ws_.graph.readoutPixel, "##0.00") +
                  "\r\n is " + ui::formatNumber(ws_.graph.pixelWavelength, "###0.00") +
                  " Angstroms:\r\n" + pixelValueLine(ws_.graph));
}

}  // namespace halvic
