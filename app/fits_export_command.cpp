// "Export FITS...": the graphed profile as two FITS files, one resampled onto a linear wavelength
// grid for spectral databases and one per column with the exact grating coordinates.

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "calibration/grating_choice.h"
#include "imagefile/atomic_file.h"
#include "imagefile/image_reader.h"
#include "output/barycentre_fields.h"
#include "output/export_names.h"
#include "output/fits_spectrum.h"
#include "output/observing_details.h"
#include "output/spectrum_export.h"

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
/** The image the details were last given for, under the same prefix. */
constexpr std::string_view kLastImageKey = "image";
/** The fields that belong to the object, not to the observer: not carried to another image. */
constexpr std::array<std::string_view, 3> kObjectsOwnFields{kObjectKey, kRightAscensionKey,
                                                            kDeclinationKey};

ui::SaveRequest fitsSaveRequest(const std::string& imagePath) {
  return ui::SaveRequest{
      .title = "Export FITS",
      .filters = {{"FITS Files (*.fits)", "*.fits"}},
      .suggestedName = suggestedExportName(imagePath, kFallbackName, kFitsExtension),
      .filesWritten = [](const std::string& path) { return fitsExportFiles(path); },
  };
}

std::string settingsKey(const std::string& field) { return std::string(kSettingsPrefix) + field; }

}  // namespace

ui::FormRequest MainWindow::observingForm() {
  std::vector<ui::FormField> fields = observingFormFields();
  std::vector<ui::FormField> barycentre = barycentreFormFields();
  fields.insert(fields.end(), barycentre.begin(), barycentre.end());
  const ImageState& graphed = ws_.graphedImage();
  const bool sameImage =
      settings().value(settingsKey(std::string(kLastImageKey))) == graphed.fileName;
  for (ui::FormField& field : fields) {
    const bool object = std::find(kObjectsOwnFields.begin(), kObjectsOwnFields.end(), field.name) !=
                        kObjectsOwnFields.end();
    if (object && !sameImage) {
      continue;  // the last export's object is not this image's
    }
    if (const std::optional<std::string> remembered = settings().value(settingsKey(field.name))) {
      field.value = *remembered;
    }
  }
  // What a FITS image's own header says of the observation comes before what was typed last.
  if (const std::optional<FitsOrigin>& origin = graphed.fitsOrigin) {
    fields = withFitsHeaderValues(std::move(fields), origin->header);
  }
  return ui::FormRequest{.title = std::string(kObservingFormTitle),
                         .text = {},
                         .fields = std::move(fields),
                         .validate = [this](const std::vector<ui::FormField>& taken) {
                           if (std::optional<std::string> refusal = observingFormRefusal(taken)) {
                             return refusal;
                           }
                           return barycentreRefusal(taken, graphedDateObs(taken));
                         }};
}

std::optional<std::string> MainWindow::graphedDateObs(
    const std::vector<ui::FormField>& fields) const {
  return exportDateObs(ws_.graphedImage().headerBytes, fields);
}

void MainWindow::rememberObservingDetails(const std::vector<ui::FormField>& fields) {
  for (const ui::FormField& field : fields) {
    settings().setValue(settingsKey(field.name), field.value);
  }
  settings().setValue(settingsKey(std::string(kLastImageKey)), ws_.graphedImage().fileName);
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
  const FitsSpectrumFiles files = buildSpectrumExport(SpectrumExport{
      .profile = ws_.graph.profile,
      .length = ws_.graph.profileLength,
      .calibration = ws_.calibration,
      .fields = *fields,
      .header = graphed.headerBytes,
      .originHistory =
          graphed.fitsOrigin ? fitsOriginHistory(*graphed.fitsOrigin) : std::vector<std::string>{},
      .reduction = graphed.fitsOrigin ? std::optional<Reduction>(graphed.fitsOrigin->reduction)
                                      : std::nullopt,
  });
  const std::vector<std::string> names = fitsExportFiles(*chosen);
  const std::optional<ExportWriteFailure> failure = writeSpectrumFiles(names, files);
  if (failure) {
    dialogs_.messageBox(std::string(kNotSaved) + failure->fileName + " (" + failure->reason + ")",
                        failure->reason);
    return;
  }
  control("Lblwavelength").setCaption(names[0] + std::string(kSaved));
}

}  // namespace halvic
