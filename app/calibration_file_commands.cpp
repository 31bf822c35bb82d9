// "Save Calibration..." and "Load Calibration...": a calibration made once on a lamp serves the
// images taken after it, without marking lines again.

#include <span>
#include <string>
#include <vector>

#include "app/main_window.h"
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

}  // namespace

CalibrationSource MainWindow::calibrationSource() const {
  const ImageState& data = ws_.image(ImageKind::Data);
  const ImageState& lamp = ws_.image(ImageKind::Cal);
  CalibrationSource source{
      .dataCropRow1 = data.cropRow1,
      .dataCropRow2 = data.cropRow2,
      .lampCropRow1 = lamp.cropRow1,
      .lampCropRow2 = lamp.cropRow2,
      .filters = extractionOptions(),
      .reduction = lamp.fitsOrigin ? std::optional(lamp.fitsOrigin->reduction) : std::nullopt,
      .lampProfile = {},
      .lampElements = ws_.lines.lampElements,
      .refinedLines = ws_.calibration.refinedLines,
      .refinedRmsA = ws_.calibration.refinedRmsA};
  for (int column = 1; column <= lamp.width; ++column) {
    source.lampProfile.push_back(lamp.profile.at(column));
  }
  return source;
}

void MainWindow::mnuSaveCalibration_Click() {
  if (!ws_.calibration.calibrated) {
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
  const FileBytes file = buildCalibrationFile(ws_.calibration, calibrationSource());
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
  if (!read.calibration) {
    dialogs_.messageBox(std::string(kNotACalibration) + *path, read.reason);
    return;
  }
  // A file written before the spectrograph's settings leaves the session's as they are.
  Calibration next = *read.calibration;
  next.model.degreesPerRadian = ws_.calibration.model.degreesPerRadian;
  if (!read.holdsSpectrograph) {
    next.spectrograph = ws_.calibration.spectrograph;
  }
  ws_.calibrationLamp = read.source ? read.source->lampProfile : std::vector<int32_t>{};
  if (read.source) {
    next.refinedLines = read.source->refinedLines;
    next.refinedRmsA = read.source->refinedRmsA;
  }
  // The lamps it was made with, so that a re-identification looks for the same lines.
  if (read.source && read.source->lampElements) {
    chooseLamps(*read.source->lampElements);
  }
  changeCalibration(next, CalibrationChange{.name = "Load Calibration"});
}

}  // namespace halvic
