// "Save Calibration..." and "Load Calibration...": a calibration made once on a lamp serves the
// images taken after it, without marking lines again.

#include <span>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "calibration/calibration_summary.h"
#include "imagefile/atomic_file.h"
#include "output/calibration_file.h"
#include "output/export_names.h"

namespace halvic {

namespace {

constexpr std::string_view kNotCalibrated = "Not calibrated; nothing saved.";
constexpr std::string_view kNotSaved = "Calibration not saved: ";
constexpr std::string_view kSaved = " saved as calibration";
constexpr std::string_view kNotACalibration = "Not a calibration file: ";
constexpr std::string_view kSuggestedName = "calibration.fits";

const std::vector<ui::FileFilter>& calibrationFilters() {
  static const std::vector<ui::FileFilter> filters{{"FITS Files (*.fits)", "*.fits"},
                                                   {"All Files (*.*)", "*.*"}};
  return filters;
}

CalibrationValues calibrationValuesOf(const Workspace& ws) {
  return CalibrationValues{
      .line1Wavelength = ws.line1Wavelength,
      .line2Wavelength = ws.line2Wavelength,
      .line1Pixel = ws.line1Pixel,
      .line2Pixel = ws.line2Pixel,
      .dispersionAPerMm = ws.dispersionAPerMm,
      .grooveSpacingUm = ws.grooveSpacingUm,
      .alphaDeg = ws.alphaDeg,
      .gammaDeg = ws.gammaDeg,
      .focalLengthMm = ws.focalLengthMm,
      .focalLengthSolved = ws.focalLengthSolved,
      .xPixelSize = ws.xPixelSize,
  };
}

void restoreCalibration(Workspace& ws, const CalibrationValues& values) {
  ws.line1Wavelength = values.line1Wavelength;
  ws.line2Wavelength = values.line2Wavelength;
  ws.line1Pixel = values.line1Pixel;
  ws.line2Pixel = values.line2Pixel;
  ws.dispersionAPerMm = values.dispersionAPerMm;
  ws.grooveSpacingUm = values.grooveSpacingUm;
  ws.alphaDeg = values.alphaDeg;
  ws.gammaDeg = values.gammaDeg;
  ws.focalLengthMm = values.focalLengthMm;
  ws.focalLengthSolved = values.focalLengthSolved;
  ws.xPixelSize = values.xPixelSize;
  ws.calibrated = true;
  // The file holds a model, not the refine that may have made it.
  ws.refinedLines = 0;
  ws.refinedRmsA = 0.0;
}

}  // namespace

void MainWindow::mnuSaveCalibration_Click() {
  if (!ws_.calibrated) {
    dialogs_.messageBox(kNotCalibrated);
    return;
  }
  const std::optional<std::string> chosen = dialogs_.saveFile(ui::SaveRequest{
      .title = "Save Calibration",
      .filters = {{"FITS Files (*.fits)", "*.fits"}},
      .suggestedName = std::string(kSuggestedName),
      .filesWritten =
          [](const std::string& path) {
            return std::vector<std::string>{withExtension(path, kFitsExtension)};
          },
  });
  if (!chosen || namesNoFile(*chosen)) {
    return;
  }
  const std::string fileName = withExtension(*chosen, kFitsExtension);
  const FileBytes file = buildCalibrationFile(calibrationValuesOf(ws_), ws_.degreesPerRadian);
  std::optional<std::string> failure = file.failure;
  if (!failure) {
    failure = writeFileAtomically(fileName, std::span<const char>(file.bytes));
  }
  if (failure) {
    dialogs_.messageBox(std::string(kNotSaved) + fileName + " (" + *failure + ")", *failure);
    return;
  }
  control("Lblwavelength").setCaption(fileName + std::string(kSaved));
}

void MainWindow::mnuLoadCalibration_Click() {
  const std::optional<std::string> path =
      dialogs_.openFile("Load Calibration", calibrationFilters(), 0);
  if (!path || path->empty()) {
    return;
  }
  const CalibrationRead read = readCalibrationFile(*path);
  if (!read.values) {
    dialogs_.messageBox(std::string(kNotACalibration) + *path, read.reason);
    return;
  }
  restoreCalibration(ws_, *read.values);
  updateCalibrationMenus();
  redrawModelViews();
  // Last, as after "Mark Line 2", so that betaDeg is the angle at pixel 381.
  control("Lblwavelength")
      .setCaption(calibrationSummary(gratingModel(), ws_.dispersionAPerMm, ws_.betaDeg));
}

void MainWindow::redrawModelViews() {
  if (!expandChecked()) {
    return;  // the raw strips do not show the model
  }
  if (ws_.dataLoaded) {
    drawDataStrip();
  }
  if (ws_.calLoaded) {
    drawCalStrip();
  }
}

}  // namespace halvic
