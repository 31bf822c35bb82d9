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

std::optional<float> MainWindow::centroidLine() {
  const GraphState& graph = ws_.graph;
  const Centroid centroid = halvic::centroidLine(graph.profile, graph.profileLength,
                                                 graph.cursorPixel, ws_.lines.centroidWidth);
  switch (centroid.status) {
    case CentroidStatus::Ok:
      return centroid.pixel;
    case CentroidStatus::NoProfile:
      dialogs_.messageBox(kNoProfile);
      return std::nullopt;
    case CentroidStatus::NoLine:
      dialogs_.messageBox(kNoLine);
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<MainWindow::Solved> MainWindow::solved(Calibration calibration) const {
  const SolveResult result = halvic::solveGratingModel(
      calibration.model, calibration.marks, calibration.dispersionAPerMm,
      calibration.focalLengthSolved, chosenGrooveSpacing(calibration.spectrograph.linesPerMm));
  if (!result.solved) {
    return std::nullopt;
  }
  calibration.model = result.model;
  calibration.focalLengthSolved = true;
  calibration.calibrated = true;
  // A new solve stands for the marked lines alone: the window is back to its two-line model.
  calibration.refinedLines = 0;
  calibration.refinedRmsA = 0.0;
  return Solved{calibration, result.betaDeg};
}

std::optional<MainWindow::Solved> MainWindow::solvedAgain(Calibration calibration) const {
  calibration.focalLengthSolved = false;
  return solved(calibration);
}

void MainWindow::changeToSolved(const Solved& solution, const CalibrationChange& change) {
  // The solve's last evaluation, as every evaluation leaves its angle; what the door draws
  // evaluates again after it.
  ws_.graph.betaDeg = solution.betaDeg;
  changeCalibration(solution.calibration, change);
}

void MainWindow::cmdmarkline1_Click() {
  const std::optional<float> centroid = centroidLine();
  if (!centroid) {
    return;
  }
  Calibration next = ws_.calibration;
  next.marks.line1Wavelength = ws_.lines.selectedWavelength;
  next.marks.line1Pixel = *centroid;
  // Once calibrated this is the angle-only re-fit: the scale shifts so that line 1 falls on its
  // wavelength, the focal length stays.
  std::optional<Solved> solution = Solved{next, ws_.graph.betaDeg};
  if (next.calibrated) {
    solution = solved(next);
    if (!solution) {
      dialogs_.messageBox(kLineWithoutSolution);
      return;
    }
  }
  ws_.lines.centroidPixel = *centroid;
  // The caption is the pixel just marked, also after a re-fit.
  control("Lblwavelength").setCaption("Pixel " + ui::formatNumber(*centroid, "##0.00"));
  changeToSolved(*solution,
                 CalibrationChange{.name = "Mark Line 1", .label = CalibrationLabel::AsIs});
}

void MainWindow::cmdmarkline2_Click() {
  Calibration next = ws_.calibration;
  next.marks.line2Wavelength = ws_.lines.selectedWavelength;
  if (next.marks.line2Wavelength == next.marks.line1Wavelength) {
    // The refusal keeps the wavelength just chosen as line 2, and nothing else.
    changeCalibration(next, CalibrationChange{.name = {}, .label = CalibrationLabel::AsIs});
    dialogs_.messageBox("Same spectral line as line 1!");
    return;
  }
  const std::optional<float> centroid = centroidLine();
  if (!centroid) {
    return;
  }
  next.marks.line2Pixel = *centroid;
  if (std::fabs(next.marks.line2Pixel - next.marks.line1Pixel) < kSmallestLineSeparation) {
    // The refusal keeps line 2 as just marked, and nothing else.
    ws_.lines.centroidPixel = *centroid;
    changeCalibration(next, CalibrationChange{.name = {}, .label = CalibrationLabel::AsIs});
    dialogs_.messageBox("Move cursor to new spectral line!");
    return;
  }
  const std::optional<float> dispersion =
      estimateDispersion(next.marks.line1Wavelength, next.marks.line1Pixel,
                         next.marks.line2Wavelength, next.marks.line2Pixel, next.model.xPixelSize);
  std::optional<Solved> solution;
  if (dispersion) {
    next.dispersionAPerMm = *dispersion;
    solution = solvedAgain(next);
  }
  if (!solution) {
    dialogs_.messageBox(kPairWithoutSolution);
    return;
  }
  ws_.lines.centroidPixel = *centroid;
  changeToSolved(*solution, CalibrationChange{.name = "Mark Line 2"});
}

void MainWindow::cmdemission_Click() {
  const std::optional<float> centroid = centroidLine();
  if (!centroid) {
    return;  // the read-out stays as it was
  }
  ws_.lines.centroidPixel = *centroid;
  ws_.graph.readoutPixel = *centroid;
  showWavelengthReadout();
}

}  // namespace halvic
