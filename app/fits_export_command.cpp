// "Export FITS...": the graphed profile as two FITS files, one resampled onto a linear wavelength
// grid for spectral databases and one per column with the exact grating coordinates.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "calibration/grating_choice.h"
#include "imagefile/atomic_file.h"
#include "imagefile/image_reader.h"
#include "output/export_names.h"
#include "output/fits_spectrum.h"
#include "output/observing_details.h"

namespace halvic {

namespace {

constexpr std::string_view kNotCalibrated = "Not calibrated; nothing exported.";
constexpr std::string_view kNoImage = "No image loaded; nothing exported.";
constexpr std::string_view kTooShort =
    "A profile of fewer than two columns has no wavelength axis; nothing exported.";
constexpr std::string_view kNotSaved = "FITS file not saved: ";
constexpr std::string_view kSaved = " saved as FITS file";
constexpr std::string_view kFallbackName = "spectrum";
/** Remembered observing details live under this prefix, one setting a field. */
constexpr std::string_view kSettingsPrefix = "fitsExport/";
constexpr int16_t kShortestExport = 2;

ui::SaveRequest fitsSaveRequest(const std::string& imagePath) {
  return ui::SaveRequest{
      .title = "Export FITS",
      .filters = {{"FITS Files (*.fits)", "*.fits"}},
      .suggestedName = suggestedExportName(imagePath, kFallbackName, kFitsExtension),
      .filesWritten = [](const std::string& path) { return fitsExportFiles(path); },
  };
}

std::string settingsKey(const std::string& field) { return std::string(kSettingsPrefix) + field; }

/** Why a file could not be written, naming it; nullopt when both were. */
struct WriteFailure {
  std::string fileName;
  std::string reason;
};

/**
 * Both files staged in full, then renamed together or not at all: the per-column file first, so
 * that NAME.fits, the file the user named, replaces its old self only once its companion is in
 * place.
 */
std::optional<WriteFailure> writeBoth(const std::vector<std::string>& names,
                                      const FitsSpectrumFiles& files) {
  const std::string& resampledName = names[0];
  const std::string& perColumnName = names[1];
  StagedFile resampled, perColumn;
  if (auto failure = resampled.stage(resampledName, std::span<const char>(files.resampled))) {
    return WriteFailure{resampledName, *failure};
  }
  if (auto failure = perColumn.stage(perColumnName, std::span<const char>(files.perColumn))) {
    return WriteFailure{perColumnName, *failure};
  }
  const std::array<StagedFile*, 2> inOrder{&perColumn, &resampled};
  if (auto failure = commitTogether(inOrder)) {
    return WriteFailure{failure->index == 0 ? perColumnName : resampledName, failure->reason};
  }
  return std::nullopt;
}

}  // namespace

ui::FormRequest MainWindow::observingForm() {
  std::vector<ui::FormField> fields = observingFormFields();
  for (ui::FormField& field : fields) {
    if (const std::optional<std::string> remembered = settings().value(settingsKey(field.name))) {
      field.value = *remembered;
    }
  }
  return ui::FormRequest{.title = std::string(kObservingFormTitle),
                         .text = {},
                         .fields = std::move(fields),
                         .validate = observingFormRefusal};
}

void MainWindow::rememberObservingDetails(const std::vector<ui::FormField>& fields) {
  for (const ui::FormField& field : fields) {
    settings().setValue(settingsKey(field.name), field.value);
  }
}

std::vector<std::string> MainWindow::historyOfThisCalibration() const {
  const Calibration& calibration = ws_.calibration;
  std::vector<std::string> history =
      calibrationHistory(calibration.marks, calibration.model, kMainWindowLayout.caption);
  history.insert(history.end() - 1, "Grating: " + gratingName(calibration.spectrograph.linesPerMm,
                                                              calibration.model.grooveSpacingUm));
  return history;
}

std::vector<std::string> MainWindow::exportHistory(const ImageState& exported) const {
  std::vector<std::string> history = historyOfThisCalibration();
  if (exported.fitsOrigin) {
    const std::vector<std::string> origin = fitsOriginHistory(*exported.fitsOrigin);
    history.insert(history.end(), origin.begin(), origin.end());
  }
  return history;
}

void MainWindow::mnuExportFits_Click() {
  if (!ws_.calibration.calibrated) {
    dialogs_.messageBox(kNotCalibrated);
    return;
  }
  const ImageState& graphed = ws_.graphedImage();
  if (graphed.fileName.empty()) {
    dialogs_.messageBox(kNoImage);
    return;
  }
  if (refuseExportOfDifferentReductions()) {
    return;
  }
  if (ws_.graph.profileLength < kShortestExport) {
    dialogs_.messageBox(kTooShort);
    return;
  }
  const std::optional<std::string> chosen = dialogs_.saveFile(fitsSaveRequest(graphed.fileName));
  if (!chosen || namesNoFile(*chosen)) {
    return;
  }
  const std::optional<std::vector<ui::FormField>> fields = dialogs_.showForm(observingForm());
  if (!fields) {
    return;
  }
  // Remembered as soon as the user takes them, so that a failed write does not lose them.
  rememberObservingDetails(*fields);
  const ObservingDetails details = observingDetailsOf(*fields);
  const std::optional<std::string> date = headerValue(graphed.headerBytes, kDateKey);
  const std::optional<std::string> time = headerValue(graphed.headerBytes, kTimeKey);
  const FitsSpectrumFiles files = buildFitsSpectrumFiles(FitsSpectrumInputs{
      .profile = ws_.graph.profile,
      .length = ws_.graph.profileLength,
      .model = gratingModel(),
      .details = details,
      .dateObs = date && time ? dateObsOf(*date, *time, details.utcOffsetHours) : std::nullopt,
      .history = exportHistory(graphed),
      .vacuum = vacuumRequested(*fields),
      .reduction = graphed.fitsOrigin ? std::optional<Reduction>(graphed.fitsOrigin->reduction)
                                      : std::nullopt,
  });
  const std::vector<std::string> names = fitsExportFiles(*chosen);
  std::optional<WriteFailure> failure;
  if (files.failure) {
    failure = WriteFailure{names[0], *files.failure};
  } else {
    failure = writeBoth(names, files);
  }
  if (failure) {
    dialogs_.messageBox(std::string(kNotSaved) + failure->fileName + " (" + failure->reason + ")",
                        failure->reason);
    return;
  }
  control("Lblwavelength").setCaption(names[0] + std::string(kSaved));
}

}  // namespace halvic
