// "Mark Line 1", "Mark Line 2" and "Calculate Line Wavelength": centroids, the two-line solve
// and the calibration summary.

#include <cmath>

#include "app/main_window.h"
#include "calibration/calibration_summary.h"
#include "calibration/centroid.h"
#include "calibration/dispersion.h"
#include "calibration/grating_solve.h"
#include "ui/number_format.h"

namespace halvic {

namespace {

constexpr std::string_view kNoLine = "No line under the cursor; nothing marked.";
constexpr std::string_view kNoProfile = "No profile to measure a line in; nothing marked.";
constexpr std::string_view kPairWithoutSolution =
    "The two lines give no solution; calibration not changed.";
constexpr std::string_view kLineWithoutSolution =
    "The line gives no solution; calibration not changed.";

/** Centroids closer than this are taken for one line. */
constexpr float kSmallestLineSeparation = 3.0f;

}  // namespace

/**
 * Everything a press of a marking button may change, so that a press that finds no line or no
 * solution can put it all back.
 */
struct MainWindow::MarkingState {
  LineWavelength line1Wavelength, line2Wavelength;
  float line1Pixel, line2Pixel, centroidPixel;
  float dispersionAPerMm;
  double grooveSpacingUm, alphaDeg, betaDeg, focalLengthMm;
  bool focalLengthSolved, calibrated;
  std::string readout;
  int32_t refinedLines;
  double refinedRmsA;
};

MainWindow::MarkingState MainWindow::markingState() const {
  return MarkingState{ws_.line1Wavelength,
                      ws_.line2Wavelength,
                      ws_.line1Pixel,
                      ws_.line2Pixel,
                      ws_.centroidPixel,
                      ws_.dispersionAPerMm,
                      ws_.grooveSpacingUm,
                      ws_.alphaDeg,
                      ws_.betaDeg,
                      ws_.focalLengthMm,
                      ws_.focalLengthSolved,
                      ws_.calibrated,
                      control("Lblwavelength").caption(),
                      ws_.refinedLines,
                      ws_.refinedRmsA};
}

void MainWindow::restoreMarkingState(const MarkingState& state) {
  ws_.line1Wavelength = state.line1Wavelength;
  ws_.line2Wavelength = state.line2Wavelength;
  ws_.line1Pixel = state.line1Pixel;
  ws_.line2Pixel = state.line2Pixel;
  ws_.centroidPixel = state.centroidPixel;
  ws_.dispersionAPerMm = state.dispersionAPerMm;
  ws_.grooveSpacingUm = state.grooveSpacingUm;
  ws_.alphaDeg = state.alphaDeg;
  ws_.betaDeg = state.betaDeg;
  ws_.focalLengthMm = state.focalLengthMm;
  ws_.focalLengthSolved = state.focalLengthSolved;
  ws_.calibrated = state.calibrated;
  control("Lblwavelength").setCaption(state.readout);
  ws_.refinedLines = state.refinedLines;
  ws_.refinedRmsA = state.refinedRmsA;
  updateCalibrationMenus();
}

bool MainWindow::centroidLine() {
  const Centroid centroid =
      halvic::centroidLine(ws_.profile, ws_.profileLength, ws_.cursorPixel, ws_.centroidWidth);
  switch (centroid.status) {
    case CentroidStatus::Ok:
      ws_.centroidPixel = centroid.pixel;
      return true;
    case CentroidStatus::NoProfile:
      dialogs_.messageBox(kNoProfile);
      return false;
    case CentroidStatus::NoLine:
      dialogs_.messageBox(kNoLine);
      return false;
  }
  return false;
}

bool MainWindow::solveGratingModel() {
  const LineMarks marks{ws_.line1Wavelength, ws_.line2Wavelength, ws_.line1Pixel, ws_.line2Pixel};
  const SolveResult result =
      halvic::solveGratingModel(gratingModel(), marks, ws_.dispersionAPerMm, ws_.focalLengthSolved,
                                chosenGrooveSpacing(ws_.gratingChoice));
  if (!result.solved) {
    return false;
  }
  ws_.grooveSpacingUm = result.model.grooveSpacingUm;
  ws_.alphaDeg = result.model.alphaDeg;
  ws_.focalLengthMm = result.model.focalLengthMm;
  ws_.betaDeg = result.betaDeg;
  ws_.focalLengthSolved = true;
  ws_.calibrated = true;
  // A new solve stands for the marked lines alone: the window is back to its two-line model.
  ws_.refinedLines = 0;
  ws_.refinedRmsA = 0.0;
  updateCalibrationMenus();
  return true;
}

bool MainWindow::solveMarkedLinesAgain() {
  const MarkingState before = markingState();
  ws_.focalLengthSolved = false;
  if (!solveGratingModel()) {
    restoreMarkingState(before);
    return false;
  }
  return true;
}

void MainWindow::cmdmarkline1_Click() {
  const MarkingState before = markingState();
  ws_.line1Wavelength = ws_.selectedLineWavelength;
  if (!centroidLine()) {
    restoreMarkingState(before);
    return;
  }
  ws_.line1Pixel = ws_.centroidPixel;
  control("Lblwavelength").setCaption("Pixel " + ui::formatNumber(ws_.centroidPixel, "##0.00"));
  // Once calibrated this is the angle-only re-fit: the scale shifts so that line 1 falls on its
  // wavelength, the focal length stays. The caption stays the pixel just marked.
  if (ws_.calibrated && !solveGratingModel()) {
    restoreMarkingState(before);
    dialogs_.messageBox(kLineWithoutSolution);
  }
}

void MainWindow::cmdmarkline2_Click() {
  const MarkingState before = markingState();
  ws_.line2Wavelength = ws_.selectedLineWavelength;
  if (ws_.line2Wavelength == ws_.line1Wavelength) {
    dialogs_.messageBox("Same spectral line as line 1!");
    return;
  }
  if (!centroidLine()) {
    restoreMarkingState(before);
    return;
  }
  ws_.line2Pixel = ws_.centroidPixel;
  if (std::fabs(ws_.line2Pixel - ws_.line1Pixel) < kSmallestLineSeparation) {
    dialogs_.messageBox("Move cursor to new spectral line!");
    return;
  }
  ws_.focalLengthSolved = false;
  const std::optional<float> dispersion = estimateDispersion(
      ws_.line1Wavelength, ws_.line1Pixel, ws_.line2Wavelength, ws_.line2Pixel, ws_.xPixelSize);
  if (dispersion) {
    ws_.dispersionAPerMm = *dispersion;
  }
  if (!dispersion || !solveGratingModel()) {
    restoreMarkingState(before);
    dialogs_.messageBox(kPairWithoutSolution);
    return;
  }
  control("Lblwavelength").setCaption(calibrationSummaryText());
}

void MainWindow::cmdemission_Click() {
  if (!centroidLine()) {
    return;  // the read-out stays as it was
  }
  ws_.readoutPixel = ws_.centroidPixel;
  showWavelengthReadout();
}

}  // namespace halvic
